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
    // A drag turns the view enough for the lesson when the look reaches this
    // far from straight ahead, or has travelled this far in the step's drags.
    static constexpr float kDragReach = 0.8f, kDragTravel = 0.25f;

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
    bool viewTurnedByDrag(float amount);
    void logCameraButton();
    float m_drawPhase = 0.0f;
    float m_dragTravel = 0.0f, m_lastDrag = 0.0f;
};
