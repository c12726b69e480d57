// Where a touch goes: the fast-forward zone, the controls, the direction
// pad, then the buttons panel by panel.
#include "screens/hud/PlaneHud.h"
#include "screens/hud/HudMessageQueue.h"

#include "platform/Clock.h"
#include "platform/ScreenMetrics.h"

bool PlaneHud::controlCandidate(const HudControl& c) const
{
    if (controlsActive && !roundOver)
        return true;
    return !controlsActive && m_state.spectating && &c == &m_camRotate;
}

bool PlaneHud::buttonCandidate(const HudButton& b) const
{
    if (controlsActive && !roundOver)
        return true;
    if (b.id == 17 || b.id == 3 || b.id == 26)
        return true;
    return b.id == 12 && m_state.spectating;
}

bool PlaneHud::touchDownControls(int id, float x, float y)
{
    for (HudControl* c : m_controlList) {
        if (!controlCandidate(*c))
            continue;
        if (c->containsPoint(x, y) && c->touchId() < 0 && c->touchBegan(id, x, y))
            return true;
    }
    // The pad after the controls and before the buttons, so a finger on it steers.
    if (controlsActive && !roundOver && m_dpad.touchId() < 0 && m_dpad.containsPoint(x, y) &&
        m_dpad.touchBegan(id, x, y))
        return true;
    return false;
}

void PlaneHud::touchDownButtons(int id, float x, float y)
{
    // Panel by panel, button by button: the first free one hit takes it. The
    // sheet keeps the buttons' zones apart, so order decides nothing in play.
    for (HudPanel& panel : m_panels)
        for (const std::unique_ptr<HudButton>& b : panel.buttons) {
            if (!buttonCandidate(*b) || b->touchId >= 0 || !b->hitTest(x, y))
                continue;
            b->touchId = id;
            b->pressed = true;
            pressButton(b->id);
            return;
        }
}

void PlaneHud::onTouchDown(int id, int x, int y)
{
    if (!m_built)
        return;
    const ScreenMetrics& m = screenMetrics();
    if (roundOver && x > 5 * m.screenWidth / 8 && y > 5 * m.screenHeight / 8) {
        fastForwardHeld = true;
        setTimeScale(kFastForwardScale);
    }
    const float fx = static_cast<float>(x), fy = static_cast<float>(y);
    if (touchDownControls(id, fx, fy))
        return;
    touchDownButtons(id, fx, fy);
}

void PlaneHud::onTouchMove(int id, int x, int y)
{
    if (!m_built)
        return;
    const float fx = static_cast<float>(x), fy = static_cast<float>(y);
    auto follow = [&](HudControl& c) {
        if (c.containsPoint(fx, fy)) {
            c.touchMoved(id, fx, fy);
        } else {
            // Sliding off a control ends its touch; the finger may land on a button.
            c.touchEnded(id, fx, fy);
            onTouchDown(id, x, y);
        }
    };
    for (HudControl* c : m_controlList)
        if (controlCandidate(*c) && c->touchId() == id) {
            follow(*c);
            return;
        }
    if (m_dpad.touchId() == id) {
        follow(m_dpad);
        return;
    }
    for (HudPanel& panel : m_panels)
        for (const std::unique_ptr<HudButton>& b : panel.buttons)
            if (buttonCandidate(*b) && b->touchId == id)
                return;
    // A finger on the notice stays the notice's as it moves over it.
    if (HudMessageQueue::instance().hitHeadNotice(fx, fy))
        return;
    onTouchDown(id, x, y);
}

void PlaneHud::onTouchUp(int id, int x, int y)
{
    if (!m_built)
        return;
    if (fastForwardHeld) {
        fastForwardHeld = false;
        setTimeScale(1.0f);
    }
    const float fx = static_cast<float>(x), fy = static_cast<float>(y);
    for (HudControl* c : m_controlList)
        if (c->touchId() == id) {
            c->touchEnded(id, fx, fy);
            return;
        }
    if (m_dpad.touchId() == id) {
        m_dpad.touchEnded(id, fx, fy);
        return;
    }
    for (HudPanel& panel : m_panels)
        for (const std::unique_ptr<HudButton>& b : panel.buttons)
            if (buttonCandidate(*b) && b->touchId == id) {
                b->touchId = -1;
                b->pressed = false;
                releaseButton(b->id);
                return;
            }
}
