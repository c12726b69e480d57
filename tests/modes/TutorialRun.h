#pragma once
#include "modes/tutorials/TutorialGameMode.h"
#include "support/modes/ModeHarness.h"
#include "support/modes/TutorialFakes.h"
#include "support/modes/TutorialPilot.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>

// One tutorial played headless on the generated data with the recording HUD,
// pause screens and achievements, and a scripted pilot at the keys.
struct TutorialRun {
    static constexpr float kFrame = ModeHarness::kFrame;

    ModeHarness harness;
    RecordingTutorialHud hud;
    RecordingOverlays overlays;
    RecordingProgress progress;
    TutorialGameMode* mode = nullptr;
    std::unique_ptr<TutorialPilot> pilot;
    float elapsed = 0.0f;

    // False (with the reason) when the data or the tutorial does not start.
    bool start(int index, std::string& error);
    ~TutorialRun();
    // One frame: the notices' time, the keys' dispatch, the mode's update.
    void frame();
    // Frames until the test holds or the time is up; false when it never held.
    bool runUntil(const std::function<bool()>& done, float seconds);
    void run(float seconds);
    int step() const { return mode->step; }
};
