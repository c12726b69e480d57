#pragma once
#include "ui/widgets/SceneMenuFrame.h"

#include <functional>

// The empty page behind a join asked for from outside the game ("+connect"):
// it connects the game client to the requested host and starts the match
// when the join completes, or ends on the main menu with a notice.
class MultiPlayerMenuFrameSteam : public FilledMenuFrame {
public:
    static constexpr int kJoinFailedString = 177;
    enum State : int { Busy = -1, Idle = 0, Connect = 1, Waiting = 2 };

    MultiPlayerMenuFrameSteam();

    // The scene's frame with a join request waiting: the running match ends,
    // the menus come up on this page (main menu behind it), connecting next.
    void openFromGame();
    // True when a waiting request was taken this frame (only while idle).
    bool takeRequest();

    void update() override;
    void onShow() override {}
    void onBack() override;
    bool onEscape() override;

    int state = Idle;
    // The match start of a completed join; the game's own unless a test sets it.
    std::function<void(int type, int map)> launch;
    // The menu screen made current; the game's own unless a test sets it.
    std::function<void()> showMenuScreen;
};
