#pragma once
#include "modes/PlayerControls.h"

#include <cstdint>
#include <memory>

class GameMode;
class RecordingTutorialHud;

// A player at the keyboard: holds the keys bound to control actions in the
// game's input, and each frame runs the game's action dispatch (so a step's
// action mask applies). What the dispatch hands on reaches the mode the way
// the game screen passes it: the stick and throttle of the player's
// airplane, the triggers, boost, autopilot, eject, squadron orders, and the
// camera and weapon link (on the recording HUD).
class TutorialPilot {
public:
    TutorialPilot(GameMode& mode, RecordingTutorialHud& hud);
    ~TutorialPilot();
    TutorialPilot(const TutorialPilot&) = delete;
    TutorialPilot& operator=(const TutorialPilot&) = delete;

    // The key of the action down or up.
    void hold(ControlAction action, bool down);
    // Down for this frame only.
    void tap(ControlAction action);
    void releaseAll();
    // The dispatch of one frame; call before the mode's update.
    void frame();

    // What the dispatch let through so far.
    int actionsStarted(ControlAction action) const;

    class Handler;

private:
    std::unique_ptr<Handler> m_handler;
    std::uint64_t m_held = 0, m_tapped = 0;
};
