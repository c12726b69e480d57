#include "screens/PauseScreen.h"

#include "ui/MenuFrame.h"
#include "ui/MenuNavigation.h"

void PauseScreen::onEnter()
{
    // Without a pause page of its own nothing of the menus belongs over the game.
    if (!frame)
        clearFrameHistory();
    if (frame) {
        if (currentFrame() == frame) {
            frame->onShow();
        } else {
            clearFrameHistory();
            goToFrame(frame);
        }
    }
    m_touches.reset();
}

void PauseScreen::update()
{
    updateMenuFrames();
}

void PauseScreen::draw()
{
    drawMenuFrames();   // in its own 2-D pass; the pop-ups come over all screens
}

void PauseScreen::onTouchDown(int id, int x, int y) { m_touches.down(id, x, y); }
void PauseScreen::onTouchUp(int id, int x, int y) { m_touches.up(id, x, y); }
void PauseScreen::onTouchMove(int id, int x, int y) { m_touches.move(id, x, y); }
void PauseScreen::onTouchCancel(int id) { m_touches.cancel(id); }
void PauseScreen::onScroll(int, float dx, float dy) { dispatchScroll(dx, dy); }
void PauseScreen::onSwipe(int, float vx, float vy) { dispatchSwipe(vx, vy); }
void PauseScreen::onBack() { dispatchBackKey(); }

float PauseScreen::loadStep()
{
    m_touches.reset();
    m_loaded = true;
    return 1.0f;
}

PauseScreen& pauseScreen()
{
    static PauseScreen screen;
    return screen;
}
