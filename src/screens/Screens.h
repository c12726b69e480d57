#pragma once
#include <cstddef>

class IGameScreen;

// The flow of screens: one current screen, at most one open overlay drawn and
// updated above it, a queue of overlays waiting to open (the next update opens
// one), and the screen that receives touches and keys.
IGameScreen* currentScreen();
IGameScreen* previousScreen();
IGameScreen* overlayScreen();
IGameScreen* inputScreen();
std::size_t overlayQueueSize();

// previous = current, current = screen; the old screen leaves, the new one
// enters and takes the input. Null screens are skipped.
void setCurrentScreen(IGameScreen* screen);
// previous = current, current = screen, which takes the input; no screen
// leaves or enters (a page put in front of a load that goes on afterwards).
void swapCurrentScreen(IGameScreen* screen);
// The same, carried out when the running screen update has finished: the game
// mode and the scene ask for switches from inside their update.
void requestScreenSwitch(IGameScreen* screen);
bool screenSwitchPending();
// Once a frame: with an overlay open, the screen below updates first when the
// overlay allows it, then the overlay if that update left it open; else a
// waiting overlay opens (pausing the screen below) and nothing updates this
// frame; else the current screen updates.
void updateScreens();
// The current screen, then the open overlay, then the achievement pop-ups
// (unless the HUD drew them), then what floats over everything: the OK
// message and the quit question when shown.
void drawScreens();
// Moves the achievement pop-ups on, whatever page stands.
void updateAchievementPopups(float dt);

// Drops any overlay and the queue, then queues the pause screen, which opens
// on the next update with the frame its opener gave it.
void openPauseScreen();
// The overlay leaves, the screen below resumes and takes the input again.
// Nothing when no overlay is open.
void closeOverlayScreen();
// Empties the queue and forgets the open overlay without its leave and
// without resuming the screen below.
void dropOverlayScreens();
// The open overlay, else the first one waiting, else null.
IGameScreen* topOverlayScreen();

// Input from the platform's touch queue: to the quit question while it is
// shown, else the OK message while shown, else the input screen. A touch id
// of 0 means "no touch" to the screens and is never passed on.
struct TouchEvent;
void dispatchTouchToScreens(const TouchEvent& event);
void dispatchBackToScreens();

// Stand-ins for the pause and menu screens, for tests; null (the default)
// uses the game's own.
struct ScreenHooks {
    IGameScreen* pauseScreen = nullptr;   // opened by openPauseScreen
    IGameScreen* menuScreen = nullptr;    // loaded after the splash
};
void setScreenHooks(const ScreenHooks& hooks);
IGameScreen* pauseScreenToOpen();
IGameScreen* menuScreenToLoad();

// Connects the screens to the menus and controls at start-up: key and
// controller navigation reaches a shown overlay, menu actions reach the pages.
void startScreens();

// Back to the start state: no screens, empty queue. For tests.
void resetScreens();
