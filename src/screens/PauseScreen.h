#pragma once
#include "screens/IGameScreen.h"
#include "screens/MenuTouchRouter.h"

class MenuFrame;

// The overlay that shows a menu page over the game: the pause menus, the
// end-of-match tables, the first choice of control type. The game below
// keeps updating, and the pause screen takes the input.
class PauseScreen : public IGameScreen {
public:
    // The page to show; set by whoever opens the pause screen.
    MenuFrame* frame = nullptr;

    void onEnter() override;
    void update() override;
    void draw() override;
    void onTouchDown(int id, int x, int y) override;
    void onTouchUp(int id, int x, int y) override;
    void onTouchMove(int id, int x, int y) override;
    void onTouchCancel(int id) override;
    void onScroll(int id, float dx, float dy) override;
    void onSwipe(int id, float vx, float vy) override;
    void onBack() override;
    float loadStep() override;
    bool updatesScreenBelow() const override { return m_letsGameUpdate; }
    bool isLoaded() const override { return m_loaded; }
    bool takesInputAsOverlay() const override { return m_takesInput; }

    int trackedTouch() const { return m_touches.tracked(); }

private:
    bool m_loaded = false;
    bool m_letsGameUpdate = true;   // nothing changes these two
    bool m_takesInput = true;
    MenuTouchRouter m_touches;
};

PauseScreen& pauseScreen();
