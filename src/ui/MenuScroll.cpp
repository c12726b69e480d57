// How a container routes touches, wheel, swipe and cancel to its children,
// and how it scrolls its content.
#include "ui/MenuContainer.h"

#include "platform/Clock.h"
#include "platform/ScreenMetrics.h"
#include "ui/MenuHooks.h"

#include <algorithm>
#include <cmath>

namespace {
constexpr float kTouchMargin = 10.0f;
constexpr float kDragThreshold = 3.0f;      // x the UI scale, per step
constexpr float kRubberBand = 1.2f;
constexpr float kFlingDecay = 600.0f;       // pixels per second, each second
constexpr float kFlingStop = 17.0f;         // pixels per second
constexpr float kBounceDamping = 0.6f;
constexpr float kSpringSpeed = 700.0f;      // pixels per second at the rest point
constexpr float kScrollToSnap = 10.0f;      // x the art scale
constexpr float kWheelMaxDelta = 2.0f;

// The step damped past either end: the further past, the less the content follows.
float rubberBandStep(float step, float offset, float size, float content, int limit)
{
    if (limit == 0)
        return step;
    const float over = -((content - size) + offset);
    float factor = 1.0f;
    if (over > 0.0f)
        factor = 1.0f - over / static_cast<float>(limit) * kRubberBand;
    else if (offset > 0.0f)
        factor = 1.0f - offset / static_cast<float>(limit) * kRubberBand;
    // Far past the end the factor would turn negative and push against the finger.
    return step * std::max(factor, 0.0f);
}

float clampOffset(float offset, float size, float content, int limit)
{
    const float low = size - static_cast<float>(limit) - content;
    const float high = static_cast<float>(limit);
    return std::clamp(offset, std::min(low, high), high);
}

float sign(float v)
{
    return v < 0.0f ? -1.0f : 1.0f;
}
}  // namespace

bool MenuContainer::onTouchDown(int px, int py)
{
    if (touchMode != kTouchPage && !MenuItem::contains(px, py, kTouchMargin))
        return false;
    if (kinetic) {
        m_samples[0] = {menuClockNow(), static_cast<float>(px), static_cast<float>(py)};
        m_sampleIndex = 0;
        m_sampleCount = 0;
        flingVelocityX = flingVelocityY = 0.0f;
    }
    if (scrollBar.shown)
        scrollBar.state = kBarFadingIn;
    m_touchedChild = nullptr;
    m_dragged = false;
    bool handled = false;
    const std::vector<MenuItem*> children = m_inputList;
    for (MenuItem* child : children) {
        if (!child)
            break;
        if (!child->enabled || !child->contains(px, py, kTouchMargin))
            continue;
        m_touchedChild = child;
        if (touchMode == kTouchList)
            continue;
        if (child->onTouchDown(px, py)) {
            handled = true;
            break;
        }
    }
    if (!handled) {
        m_lastTouchX = px;
        m_lastTouchY = py;
        m_dragPending = true;
    }
    if (touchMode == kTouchList && m_touchedChild)
        return true;
    return swallowTouches || handled;
}

bool MenuContainer::onTouchMove(int px, int py)
{
    if (kinetic) {
        m_sampleIndex = (m_sampleIndex + 1) % 4;
        m_samples[static_cast<std::size_t>(m_sampleIndex)] = {menuClockNow(), static_cast<float>(px),
                                                              static_cast<float>(py)};
        ++m_sampleCount;
    }
    bool handled = false;
    if (m_touchedChild)
        handled = m_touchedChild->onTouchMove(px, py);
    bool moved = false;
    if (fillWhenShort || (!handled && m_dragPending && touchMode == kTouchList)) {
        const ScreenMetrics& metrics = screenMetrics();
        if (std::abs(m_lastTouchX - px) > kDragThreshold * metrics.screenScaleX ||
            std::abs(m_lastTouchY - py) > kDragThreshold * metrics.screenScaleY)
            m_dragged = true;
        const float W = static_cast<float>(width), H = static_cast<float>(height);
        const float cw = static_cast<float>(contentWidth), ch = static_cast<float>(contentHeight);
        if (width < contentWidth || scrollX != 0.0f) {
            const float step = static_cast<float>(m_lastTouchX - px);
            scrollX -= rubberBandStep(step, scrollX, W, cw, overscrollLimitX);
            scrollX = clampOffset(scrollX, W, cw, overscrollLimitX);
            moved = true;
        }
        const float d = static_cast<float>(m_lastTouchY - py);
        if (height < contentHeight) {
            scrollY -= rubberBandStep(d, scrollY, H, ch, overscrollLimitY);
            scrollY = clampOffset(scrollY, H, ch, overscrollLimitY);
            moved = true;
        } else if (scrollY != 0.0f) {
            // The content fits: only a step back towards rest.
            const float limit = static_cast<float>(overscrollLimitY);
            if (scrollY > 0.0f && d > 0.0f) {
                scrollY = std::max(scrollY - d, -limit);
                moved = true;
            } else if (scrollY < 0.0f && d < 0.0f) {
                scrollY = std::min(scrollY - d, limit);
                moved = true;
            }
        }
        m_lastTouchX = px;
        m_lastTouchY = py;
    }
    relayoutSelf();
    return swallowTouches || handled || moved;
}

bool MenuContainer::onTouchUp(int px, int py)
{
    if (kinetic && m_dragged) {
        const int n = std::min(m_sampleCount, 3);
        const TouchSample& reference = m_samples[static_cast<std::size_t>((m_sampleIndex - n + 4) % 4)];
        const float now = menuClockNow();
        if (reference.time != now) {
            const float dt = now - reference.time;
            if (width < contentWidth)
                flingVelocityX = (static_cast<float>(px) - reference.x) / dt;
            if (height < contentHeight)
                flingVelocityY = (static_cast<float>(py) - reference.y) / dt;
        }
    }
    if (flingVelocityX == 0.0f && flingVelocityY == 0.0f && scrollBar.state != kBarHidden)
        scrollBar.state = kBarFadingOut;
    bool handled = false;
    MenuItem* child = m_touchedChild;
    const bool dragged = m_dragged;
    m_dragPending = false;
    // The touched child stays known while its release runs: a click's action
    // may ask which child of its row fired (the language flags do).
    if (child) {
        if (touchMode == kTouchList) {
            if (!dragged) {
                child->onTouchDown(px, py);
                handled = child->onTouchUp(px, py);
            }
        } else {
            handled = child->onTouchUp(px, py);
        }
    }
    m_touchedChild = nullptr;
    return swallowTouches || handled;
}

bool MenuContainer::onTouchCancel()
{
    m_dragPending = false;
    m_touchedChild = nullptr;
    const std::vector<MenuItem*> children = m_inputList;
    for (MenuItem* child : children) {
        if (child && child->enabled && child->onTouchCancel())
            return true;
    }
    return false;
}

bool MenuContainer::onSwipe(float vx, float vy)
{
    const std::vector<MenuItem*> children = m_inputList;
    for (MenuItem* child : children) {
        if (child && child->enabled && child->onSwipe(vx, vy))
            return true;
    }
    return false;
}

bool MenuContainer::onScroll(float dx, float dy)
{
    if (scrollBar.shown && touchMode == kTouchList) {
        const float cdx = std::clamp(dx, -kWheelMaxDelta, kWheelMaxDelta);
        const float cdy = std::clamp(dy, -kWheelMaxDelta, kWheelMaxDelta);
        const float W = static_cast<float>(width), H = static_cast<float>(height);
        const float cw = static_cast<float>(contentWidth), ch = static_cast<float>(contentHeight);
        if (width < contentWidth && static_cast<int>(std::abs(dy)) <= static_cast<int>(std::abs(dx))) {
            const float step = cdx / 10.0f * static_cast<float>(width / 2);
            scrollX -= rubberBandStep(step, scrollX, W, cw, overscrollLimitX);
            scrollX = clampOffset(scrollX, W, cw, overscrollLimitX);
            relayoutSelf();
            return true;
        }
        if (height < contentHeight) {
            const float step = cdy / 10.0f * static_cast<float>(height / 2);
            scrollY -= rubberBandStep(step, scrollY, H, ch, overscrollLimitY);
            scrollY = clampOffset(scrollY, H, ch, overscrollLimitY);
            relayoutSelf();
            return true;
        }
    }
    const std::vector<MenuItem*> children = m_inputList;
    for (MenuItem* child : children) {
        if (child && child->enabled && child->onScroll(dx, dy))
            return true;
    }
    return false;
}

void MenuContainer::scrollToItem(MenuItem* child)
{
    if (!child)
        return;
    if (width < contentWidth) {
        const int d = child->width / 2 - width / 2 + child->absX - absX;
        if (d != 0) {
            scrollToXActive = true;
            scrollTargetX = scrollX - static_cast<float>(d);
        }
    }
    if (height < contentHeight) {
        const int d = child->height / 2 - height / 2 + child->absY - absY;
        if (d != 0) {
            scrollToYActive = true;
            scrollTargetY = scrollY - static_cast<float>(d);
        }
    }
}

namespace {
// One axis of a fling; true when the offset changed.
void flingAxis(float& v, float& offset, float size, float content, int limit, float dt, int& barState)
{
    if (v == 0.0f)
        return;
    const float before = v;
    v -= sign(v) * kFlingDecay * dt;
    // A long frame must not turn the fling around.
    if (std::abs(v) < kFlingStop || sign(v) != sign(before)) {
        v = 0.0f;
        barState = MenuContainer::kBarFadingOut;
    }
    offset += v * dt;
    const float rest = size - content;
    if (offset <= rest) {
        v *= kBounceDamping;
        if (offset <= rest - static_cast<float>(limit)) {
            v = 0.0f;
            offset = rest - static_cast<float>(limit);
        }
    } else if (offset >= 0.0f) {
        v *= kBounceDamping;
        if (offset > static_cast<float>(limit)) {
            v = 0.0f;
            offset = static_cast<float>(limit);
        }
    }
}

void springAxis(float& offset, float size, float content, int limit, float dt, int& barState)
{
    const float rest = size - content;
    const float l = static_cast<float>(limit);
    if (offset > 0.0f) {
        offset -= (offset / l * kSpringSpeed + kSpringSpeed) * dt;
        if (offset < 0.0f) {
            offset = 0.0f;
            barState = MenuContainer::kBarFadingOut;
        }
    } else if (offset < rest) {
        const float over = offset - rest;
        offset += (kSpringSpeed - over / l * kSpringSpeed) * dt;
        if (offset > rest) {
            offset = rest;
            barState = MenuContainer::kBarFadingOut;
        }
    }
}

// One step of an animated scroll; false when it ended.
bool scrollToAxis(float& offset, float target, float size, float content)
{
    if (offset == target)
        return false;
    const float d = target - offset;
    if (std::abs(d) <= kScrollToSnap * screenMetrics().uiScale) {
        offset = target;
        return false;
    }
    offset += d / 2.0f;
    const float rest = size - content;
    if (offset > 0.0f) {
        offset = 0.0f;
        return false;
    }
    if (offset < rest) {
        offset = rest;
        return false;
    }
    return true;
}
}  // namespace

void MenuContainer::update()
{
    const float dt = frameDelta();
    const float W = static_cast<float>(width), H = static_cast<float>(height);
    const float cw = static_cast<float>(contentWidth), ch = static_cast<float>(contentHeight);
    if (kinetic && !m_dragPending && (flingVelocityX != 0.0f || flingVelocityY != 0.0f)) {
        flingAxis(flingVelocityX, scrollX, W, cw, overscrollLimitX, dt, scrollBar.state);
        flingAxis(flingVelocityY, scrollY, H, ch, overscrollLimitY, dt, scrollBar.state);
        needsRelayout = true;
    }
    if (!m_dragPending && touchMode == kTouchList) {
        const float beforeX = scrollX, beforeY = scrollY;
        if (contentWidth > width && overscrollLimitX != 0 && flingVelocityX == 0.0f)
            springAxis(scrollX, W, cw, overscrollLimitX, dt, scrollBar.state);
        if (contentHeight > height && overscrollLimitY != 0 && flingVelocityY == 0.0f)
            springAxis(scrollY, H, ch, overscrollLimitY, dt, scrollBar.state);
        if (scrollX != beforeX || scrollY != beforeY)
            needsRelayout = true;
    }
    if (scrollToXActive) {
        scrollToXActive = scrollToAxis(scrollX, scrollTargetX, W, cw);
        needsRelayout = true;
    }
    if (scrollToYActive) {
        scrollToYActive = scrollToAxis(scrollY, scrollTargetY, H, ch);
        needsRelayout = true;
    }
    const std::vector<MenuItem*> children = m_drawList;
    for (MenuItem* child : children) {
        if (child)
            child->update();
    }
    if (needsRelayout) {
        needsRelayout = false;
        if (!parent)
            layout(0, 0);
        else if (anchorMode == kAnchorParent)
            layout(parent->absX, parent->absY);
        else if (anchorMode == kAnchorAbsolute)
            layout(x, y);
        else
            parent->needsRelayout = true;
    }
    if (scrollBar.state == kBarFadingIn) {
        scrollBar.alpha += dt;
        if (scrollBar.alpha > 1.0f) {
            scrollBar.alpha = 1.0f;
            scrollBar.state = kBarShown;
        }
    } else if (scrollBar.state == kBarFadingOut) {
        scrollBar.alpha -= dt;
        if (scrollBar.alpha <= 0.0f) {
            scrollBar.alpha = 0.0f;
            scrollBar.state = kBarHidden;
        }
    }
}
