#pragma once
#include "modes/tutorials/DummyWP.h"
#include "modes/tutorials/TutorialGameMode.h"

class Runway;

// Tutorial 3: standing on a runway, the player takes off and flies to a
// waypoint; the aircraft is then moved onto an approach in front of the
// runway and the player lands it to a full stop.
class TutorialGameMode_TAKEOFFLAND : public TutorialGameMode {
public:
    static constexpr int kIndex = 3;
    static constexpr const char* kRunwayModel = "runway_field.glm_0";
    static constexpr float kApproachSpeed = 250.0f;
    static constexpr float kRespawnDelay = 1.8f;

    TutorialGameMode_TAKEOFFLAND();
    ~TutorialGameMode_TAKEOFFLAND() override;
    void drawHud() override;

    const DummyWP& waypoint() const { return m_waypoint; }
    // Null on a map without the runway (the tutorial then starts in the air).
    const Runway* runway() const { return m_runway; }
    const Vec3& runwayPoint() const { return m_runwayPoint; }
    float runwayHeading = 0.0f;
    Vec3 startPoint;
    // The unit vector from the approach towards the runway's far end.
    Vec3 alongRunway() const;

protected:
    void buildPlayers() override;
    void startMatch() override;
    void setUpHud() override;
    void runStep(float dt) override;
    std::uint64_t extraMask() const override;
    bool writesMask() const override { return step >= 2; }
    void putBackPlayer(Airplane& airplane, CrashCause cause) override;

private:
    void standOnRunway(Airplane& airplane);
    void levelFlight(float dt);
    DummyWP m_waypoint;
    Runway* m_runway = nullptr;
    Vec3 m_runwayPoint;
};
