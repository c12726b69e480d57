#include "screens/hud/CamRotateControl.h"

#include "platform/Clock.h"
#include "platform/ScreenMetrics.h"
#include "render/2d/CSprite.h"
#include "render/2d/SpriteSets.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

float CamRotateControl::timeNow() const { return clock ? clock() : Clock::now(); }

bool CamRotateControl::containsPoint(float x, float y) const
{
    if (m_touchId >= 0)
        return true;
    if (!enabled)
        return false;
    const ScreenMetrics& m = screenMetrics();
    const float w = static_cast<float>(m.screenWidth), h = static_cast<float>(m.screenHeight);
    const float left = w / 2.5f, top = h / 4.0f;
    return x > left && x < left + static_cast<float>(m.screenWidth / 3) && y > top && y < top + 0.75f * h;
}

bool CamRotateControl::touchBegan(int id, float x, float y)
{
    touchStartTime = timeNow();
    touchStartX = x;
    touchStartY = y;
    if (!keepsLook)
        lookX = lookY = 0.0f;
    m_touchId = id;
    m_dragging = false;
    return true;
}

void CamRotateControl::touchMoved(int id, float x, float y)
{
    (void)id;
    // The hold keeps swipes apart from the look; without gestures there is
    // nothing to keep apart, and a quick drag must not come to nothing.
    const float slop = kDragSlop * screenMetrics().uiScale;
    if (!gesturesOn && std::fabs(x - touchStartX) + std::fabs(y - touchStartY) > slop)
        m_dragging = true;
    if (!m_dragging && timeNow() - touchStartTime < kLookDelay) {
        lookX = lookY = 0.0f;
        return;
    }
    const ScreenMetrics& m = screenMetrics();
    const float hw = static_cast<float>(m.screenWidth) / 2.0f, hh = static_cast<float>(m.screenHeight) / 2.0f;
    lookX = std::clamp((hw - x) / hw, -1.0f, 1.0f);
    lookY = std::clamp((hh - y) / hh, -1.0f, 1.0f);
}

int CamRotateControl::gestureCode(float x, float y, float now) const
{
    if (lastEndTime >= 0.0f && now - lastEndTime < kDoubleTapTime)
        return 7;
    if (now - touchStartTime >= kLookDelay)
        return 0;
    const ScreenMetrics& m = screenMetrics();
    const float dx = touchStartX - x, dy = touchStartY - y;
    if (std::abs(static_cast<int>(dy)) < std::abs(static_cast<int>(dx))) {
        if (dx > 60.0f * m.screenScaleX && dy < dx)
            return 3;
        if (x - touchStartX > 60.0f * m.screenScaleX && x - touchStartX > touchStartY - y)
            return 4;
        return 0;
    }
    if (dy > 40.0f * m.screenScaleY)
        return 2;
    if (y - touchStartY > 40.0f * m.screenScaleY)
        return 1;
    return 0;
}

void CamRotateControl::touchEnded(int id, float x, float y)
{
    (void)id;
    const float now = timeNow();
    if (gesturesOn && gestures) {
        if (const int code = gestureCode(x, y, now))
            gestures(code);
    }
    lastEndTime = now;
    lookX = lookY = 0.0f;
    m_touchId = -1;
}

void CamRotateControl::reset()
{
    lookX = lookY = 0.0f;
    m_touchId = -1;
}

void CamRotateControl::updateInertia(float ax, float ay)
{
    if (ax == 0.0f && ay == 0.0f) {
        lookX = lookY = 0.0f;
        return;
    }
    const float dt = frameDelta();
    if (ax < 0.0f)
        lookX = std::min(lookX + dt, 1.0f);
    else if (ax > 0.0f)
        lookX = std::max(lookX - dt, -1.0f);
    if (ay < 0.0f)
        lookY = std::min(lookY + dt, 1.0f);
    else if (ay > 0.0f)
        lookY = std::max(lookY - dt, -1.0f);
}

void ControlsDpad::layout(float kw, float kh, float rw, float rh, float x36, float y36, float x37, float y37,
                          bool flip)
{
    knobW = kw, knobH = kh, ringW = rw, ringH = rh;
    ring.w = rw, ring.h = rh;
    area.x = std::min(x36, x37) + rw / 4.0f;
    area.w = std::max(std::fabs(x36 - x37) - rw / 2.0f, rw / 4.0f);
    area.y = std::min(y36, y37) + rh / 4.0f;
    area.h = std::max(std::fabs(y36 - y37) - rh / 2.0f, rh / 4.0f);
    flipped = flip;
    if (flip)
        area.x = static_cast<float>(screenMetrics().screenWidth) - area.x - area.w;
    centreX = area.x + area.w / 2.0f;
    centreY = area.y + area.h / 2.0f;
    radius = rw / 2.0f;
    active = false;
    enabled = true;
}

bool ControlsDpad::containsPoint(float x, float y) const
{
    if (!enabled)
        return false;
    if (m_touchId < 0)
        return x > area.x && x < area.x + area.w && y > area.y && y < area.y + area.h;
    const float half = static_cast<float>(screenMetrics().screenWidth / 2);
    return flipped ? x > half : x < half;
}

void ControlsDpad::updateAxes()
{
    // Integer halves, as the ring's size is whole pixels; a ring under 2 pixels has no axes.
    const int hw = static_cast<int>(ringW) / 2, hh = static_cast<int>(ringH) / 2;
    axisX = hw > 0 ? -offsetX / static_cast<float>(hw) : 0.0f;
    axisY = hh > 0 ? -offsetY / static_cast<float>(hh) : 0.0f;
}

void ControlsDpad::clampToArea(float& x, float& y) const
{
    x = std::clamp(x, area.x, area.x + area.w);
    y = std::clamp(y, area.y, area.y + area.h);
}

bool ControlsDpad::touchBegan(int id, float x, float y)
{
    // A touch the pad refuses is not its touch: keeping its id would shut the pad out.
    if (!containsPoint(x, y))
        return false;
    m_touchId = id;
    ring.x = std::clamp(x - ring.w / 2.0f, area.x, std::max(area.x, area.x + area.w - ring.w));
    ring.y = std::clamp(y - ring.h / 2.0f, area.y, std::max(area.y, area.y + area.h - ring.h));
    centreX = ring.x + ring.w / 2.0f;
    centreY = ring.y + ring.h / 2.0f;
    startX = lastX = x;
    startY = lastY = y;
    offsetX = x - centreX;
    offsetY = y - centreY;
    active = true;
    updateAxes();
    return true;
}

void ControlsDpad::touchMoved(int id, float x, float y)
{
    if (id != m_touchId || m_touchId < 0)
        return;
    clampToArea(x, y);
    deltaX = x - lastX;
    deltaY = y - lastY;
    lastX = x;
    lastY = y;
    offsetX += deltaX;
    offsetY += deltaY;
    updateAxes();
}

void ControlsDpad::touchEnded(int id, float x, float y)
{
    (void)x, (void)y;
    if (id != m_touchId || m_touchId < 0)
        return;
    reset();
}

void ControlsDpad::reset()
{
    offsetX = offsetY = 0.0f;
    m_touchId = -1;
    active = false;
    axisX = axisY = 0.0f;
}

void ControlsDpad::resetState()
{
    offsetX = offsetY = lastX = lastY = deltaX = deltaY = startX = startY = 0.0f;
    axisX = axisY = 0.0f;
    active = false;
    m_touchId = -1;
    pulse = 0.0f;
    enabled = true;
    highlighted = false;
}

void ControlsDpad::setVisible(bool on)
{
    highlighted = on;
    pulse = 0.0f;
}

void ControlsDpad::axes(float& x, float& y) const
{
    const int hw = static_cast<int>(ringW) / 2, hh = static_cast<int>(ringH) / 2;
    x = hw > 0 ? offsetX / static_cast<float>(hw) : 0.0f;
    y = hh > 0 ? offsetY / static_cast<float>(hh) : 0.0f;
}

void ControlsDpad::draw()
{
    if (!enabled || !planeInPlay || (!active && !highlighted))
        return;
    CSprite* sheet = getSprite(kSpriteSetHud);
    if (!sheet)
        return;
    if (highlighted) {
        pulse += 5.0f * frameDelta();
        sheet->setColor(Color4::lerp(Color4{}, Color4{255, 140, 0, 255}, std::fabs(std::sin(pulse))));
    }
    sheet->drawModule(kRingModule, centreX - ringW / 2.0f, centreY - ringH / 2.0f);
    sheet->drawModule(kKnobModule, centreX + offsetX - knobW / 2.0f, centreY + offsetY - knobH / 2.0f);
    sheet->setColor(Color4{});
}
