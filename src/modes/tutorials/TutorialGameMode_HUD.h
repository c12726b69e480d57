#pragma once
#include "modes/tutorials/TutorialGameMode.h"

// Tutorial 0: the flight HUD piece by piece while the autopilot flies - the
// camera drag and button, the weapon gauges, the speed dial, the altimeter,
// the radar and two friends on it. The player only works the camera.
class TutorialGameMode_HUD : public TutorialGameMode {
public:
    static constexpr int kIndex = 0;
    static constexpr int kCameraReminder = 437;
    // The HUD sheet elements the arrow points at.
    static constexpr int kCameraElement = 19, kGaugesElement = 152, kSpeedElement = 3, kAltimeterElement = 4,
                         kRadarElement = 24;
    // The game camera's view behind the aircraft.
    static constexpr int kChaseCamera = 2;

    TutorialGameMode_HUD();
    void clearLevel() override;
    void drawHud() override;

protected:
    void buildPlayers() override { startInAir(); }
    void startMatch() override;
    void setUpHud() override;
    void runStep(float dt) override;
    std::uint64_t extraMask() const override;
    int reminderAction(int textId) const override;
    void putBackPlayer(Airplane& airplane, CrashCause cause) override;

private:
    void climbOrHold();
    float m_drawPhase = 0.0f;
};
