#pragma once
#include "platform/TouchQueue.h"

#include <functional>
#include <string>

// Where the main loop calls into the subsystems above the platform. main.cpp
// fills these at start; an empty slot is skipped, and with no screens drawn
// the loop clears to a fixed color (the empty screen).
struct AppHooks {
    // Start-up, in this order, once the window and the input devices are open.
    // Renderer and its programs, screen target, projections; false ends the
    // program as a window or context failure does.
    std::function<bool()> startRenderer;
    // Frees every GL name while the context still lives; called at shut-down
    // (and after a failed start) before the window and its context close.
    std::function<void()> stopRenderer;
    // The aircraft list; after the frame clock and random seed. False ends the
    // program with exit code 1 (nothing to fly), the settings left untouched.
    std::function<bool()> loadGameData;
    std::function<void()> startSound;       // after the settings file: the saved volumes apply
    std::function<void()> stopSound;        // at shut-down, after the screens have gone
    std::function<void()> showFirstScreen;  // the splash screen; "controls.cfg" is read after it

    // Each pass of the main loop.
    std::function<void()> ensureQuitOverlay;
    std::function<void()> updateQuitOverlay;
    std::function<bool()> quitConfirmed;    // the quit overlay's yes: the loop ends after this pass
    std::function<void()> drawScreens;      // current screen, overlay, quit overlay
    // Clears the screen to a color (RGB 0..1); the loop's empty screen while
    // no screens draw.
    std::function<void(float r, float g, float b)> clearScreen;
    // Writes the frame just drawn (before the swap) to a PNG file; false when
    // it could not. Used by the "-dumpframe" test option.
    std::function<bool(const std::string& path)> saveFrame;
    std::function<void()> updateScreens;
    std::function<void()> updateSound;
    std::function<void()> updateAchievementPopups;
    std::function<void()> rebuildMenusForLanguage;  // when the language was changed

    // Input delivered by the touch dispatch: the quit overlay while it is shown,
    // else the input screen. Back is the Escape or back key.
    std::function<void(const TouchEvent&)> touch;
    std::function<void()> back;
    // The drawable's new size in pixels, once the screen metrics took it (a
    // minimised window's 0 x 0 never arrives): the renderer's screen follows.
    std::function<void(int width, int height)> screenResized;
    // Window focus: volumes down and a running game paused; volumes restored.
    std::function<void()> focusLost;
    std::function<void()> focusGained;
    // The centre of the focused menu item in drawable pixels; false when none.
    // The "-inputscript" click on the focus reads it.
    std::function<bool(int& x, int& y)> focusedItemCentre;
};
