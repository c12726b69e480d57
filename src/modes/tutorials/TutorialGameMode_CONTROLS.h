#pragma once
#include "modes/tutorials/DummyWP.h"
#include "modes/tutorials/TutorialGameMode.h"

// Tutorial 2: the full controls (control type 0) - throttle and brake, yaw,
// roll with the nose kept level, pitch, braking and banked turns, a climb, a
// stall and its recovery, three waypoints and ejection. Mouse players (device
// 2) first fly a short waypoint exercise and skip the yaw and roll lessons.
class TutorialGameMode_CONTROLS : public TutorialGameMode {
public:
    static constexpr int kIndex = 2;
    static constexpr float kFastSpeed = 195.58f, kSlowSpeed = 111.76f, kStallSpeed = 15.0f;
    static constexpr float kClimbHeight = 3000.0f;
    static constexpr int kEjectStep = 22;
    static constexpr int kTightTurnReminder = 497;

    TutorialGameMode_CONTROLS();
    ~TutorialGameMode_CONTROLS() override;
    void update(float dt) override;
    void clearLevel() override;
    void ejectPilot(Airplane& airplane, float value, bool force) override;

    const DummyWP& waypoint() const { return m_waypoint; }
    bool skipRecovery = false;

protected:
    void buildPlayers() override { startInAir(); }
    void startMatch() override;
    void setUpHud() override;
    void runStep(float dt) override;
    std::uint64_t extraMask() const override;
    int reminderAction(int textId) const override;
    void showReminder(int textId) override;
    void putBackPlayer(Airplane& airplane, CrashCause cause) override;
    bool usesInputLock() const override { return true; }

private:
    void keepPitch(bool avoidGround, bool levelWings);
    void setInputs(float noseUp, float turn, float roll);
    void placeWaypoint(float dx, float dz);
    DummyWP m_waypoint;
};
