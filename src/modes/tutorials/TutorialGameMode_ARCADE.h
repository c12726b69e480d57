#pragma once
#include "modes/tutorials/DummyWP.h"
#include "modes/tutorials/TutorialGameMode.h"

// Tutorial 1: the arcade controls (control type 1) - throttle and brake,
// turning, nose up and down, boost, the autopilot and two waypoints.
class TutorialGameMode_ARCADE : public TutorialGameMode {
public:
    static constexpr int kIndex = 1;
    static constexpr float kFastSpeed = 167.64f, kSlowSpeed = 111.76f;
    static constexpr int kAutopilotElement = 23;

    TutorialGameMode_ARCADE();
    ~TutorialGameMode_ARCADE() override;
    void drawHud() override;

    const DummyWP& waypoint() const { return m_waypoint; }
    std::uint8_t savedFlightHint = 1;

protected:
    void buildPlayers() override;
    void startMatch() override;
    void setUpHud() override;
    void runStep(float dt) override;
    std::uint64_t extraMask() const override;
    int reminderAction(int textId) const override;
    void putBackPlayer(Airplane& airplane, CrashCause cause) override;
    bool usesInputLock() const override { return true; }

private:
    // Holds the stick component at full while the player holds it that way.
    bool holdInput(int component, float sign);
    DummyWP m_waypoint;
};
