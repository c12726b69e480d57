#include "ui/widgets/HMenuItemsSlider.h"

#include "platform/Clock.h"
#include "platform/ScreenMetrics.h"
#include "ui/MenuHooks.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace {
constexpr float kTouchMargin = 10.0f;
constexpr float kRubberBand = 1.2f;
constexpr float kMaxReleaseSpeed = 2000.0f;
constexpr float kFlingStart = 10.0f;

int signOf(int v)
{
    return (v > 0) - (v < 0);
}
}  // namespace

HMenuItemsSlider::HMenuItemsSlider()
{
    const ScreenMetrics& metrics = screenMetrics();
    layoutMode = kLayoutRow;
    touchMode = kTouchList;
    spacing = static_cast<int>(20.0f * metrics.screenScaleX);
    width = metrics.screenWidth;
    height = metrics.screenHeight;
    overscrollLimitX = overscrollLimitY = 0;
}

int HMenuItemsSlider::indexOf(MenuItem* item) const
{
    const auto found = m_indexes.find(item);
    return found == m_indexes.end() ? 0 : found->second;
}

int HMenuItemsSlider::centreOffset(const MenuItem& child) const
{
    return child.width / 2 - width / 2 + child.absX - absX;
}

void HMenuItemsSlider::relayoutNow()
{
    // The children's places must follow the offset at once: the snap measures them.
    if (!parent)
        layout(0, 0);
    else if (anchorMode == kAnchorParent)
        layout(parent->absX, parent->absY);
    else if (anchorMode == kAnchorAbsolute)
        layout(x, y);
    else
        layout(static_cast<int>(static_cast<float>(x) - offsetX), static_cast<int>(static_cast<float>(y) - offsetY));
}

void HMenuItemsSlider::placeItem(MenuItem* item)
{
    if (!item)
        return;
    MenuContainer::placeItem(item);
    item->parent = this;
    overscrollLimitX = overscrollLimitY = 0;
    snapToCentre();
}

void HMenuItemsSlider::addItemWithIndex(MenuItem* item, int index)
{
    if (!item)
        return;
    placeItem(item);
    m_indexes[item] = index;
}

MenuItem* HMenuItemsSlider::nearestTo(int px) const
{
    MenuItem* best = nullptr;
    int bestDistance = 0;
    for (MenuItem* child : m_drawList) {
        if (!child)
            continue;
        const int d = std::abs(child->width / 2 + child->absX - px);
        if (!best || d < bestDistance) {
            best = child;
            bestDistance = d;
        }
    }
    return best;
}

MenuItem* HMenuItemsSlider::nearestCentre() const
{
    return nearestTo(absX + width / 2);
}

void HMenuItemsSlider::makeCurrent(MenuItem* item)
{
    m_current = item;
    m_direction = item ? signOf(centreOffset(*item)) : 0;
}

void HMenuItemsSlider::snapToCentre()
{
    makeCurrent(nearestCentre());
}

void HMenuItemsSlider::report(const MenuAction& action, MenuItem* item)
{
    if (!action || !item)
        return;
    m_reported = item;
    action();
}

void HMenuItemsSlider::reportCentre(MenuItem* item)
{
    report(onCentre, item);
}

void HMenuItemsSlider::scrollToIndex(int n)
{
    MenuItem* child = itemAt(n);
    if (!child || child == m_current)
        return;
    m_current = child;
    scrollX -= static_cast<float>(centreOffset(*child));
    m_direction = 0;
    relayoutNow();
}

void HMenuItemsSlider::nextPage()
{
    const auto found = std::find(m_drawList.begin(), m_drawList.end(), m_current);
    if (found == m_drawList.end() || found + 1 == m_drawList.end())
        return;
    m_current = *(found + 1);
    m_direction = 1;
}

void HMenuItemsSlider::prevPage()
{
    const auto found = std::find(m_drawList.begin(), m_drawList.end(), m_current);
    if (found == m_drawList.end() || found == m_drawList.begin())
        return;
    m_current = *(found - 1);
    m_direction = -1;
}

void HMenuItemsSlider::scrollBy(float step)
{
    const float W = static_cast<float>(width), content = static_cast<float>(contentWidth);
    const float limit = static_cast<float>(edgeLimit);
    const float over = scrollX > 0.0f ? scrollX : std::max(0.0f, (W - content) - scrollX);
    if (over > 0.0f && limit > 0.0f)
        step *= std::max(0.0f, 1.0f - over / limit * kRubberBand);
    scrollX = std::clamp(scrollX + step, std::min(W - limit - content, limit), limit);
    relayoutNow();
}

bool HMenuItemsSlider::onTouchDown(int px, int py)
{
    m_downX = m_prevX = m_prev2X = m_lastTouchX = px;
    m_downY = m_prevY = m_prev2Y = m_lastTouchY = py;
    m_velocity = 0.0f;
    m_axisLock = 0;
    m_sliderDragged = false;
    m_touchedChild = nullptr;
    for (MenuItem* child : m_inputList) {
        if (child && child->enabled && child->contains(px, py, kTouchMargin)) {
            m_touchedChild = child;
            child->onTouchDown(px, py);
            break;
        }
    }
    if (!MenuItem::contains(px, py, kTouchMargin) && !m_touchedChild)
        return false;
    m_dragPending = true;
    m_lastMoveTime = m_previousMoveTime = menuClockNow();
    return true;
}

bool HMenuItemsSlider::onTouchMove(int px, int py)
{
    if (m_axisLock == 0)
        m_axisLock = std::abs(m_lastTouchX - px) >= std::abs(m_lastTouchY - py) ? 1 : 2;
    if (m_touchedChild && m_axisLock == 2 && contentHeight > 0)
        m_touchedChild->onTouchMove(px, py);
    if (m_dragPending && contentWidth > width && m_axisLock == 1)
        scrollBy(-static_cast<float>(m_lastTouchX - px));
    m_prev2X = m_prevX;
    m_prev2Y = m_prevY;
    m_prevX = px;
    m_prevY = py;
    m_previousMoveTime = m_lastMoveTime;
    m_lastMoveTime = menuClockNow();
    m_lastTouchX = px;
    m_lastTouchY = py;
    const ScreenMetrics& metrics = screenMetrics();
    if (static_cast<float>(std::abs(m_downX - px)) > kDragDistance * metrics.screenScaleX ||
        static_cast<float>(std::abs(m_downY - py)) > kDragDistance * metrics.screenScaleY)
        m_sliderDragged = true;
    reportCentre(nearestTo(px));
    return true;
}

float HMenuItemsSlider::releaseVelocity(float dx, float dt) const
{
    if (dt == 0.0f)
        return 0.0f;
    return std::clamp(dx / dt / (2.0f * screenMetrics().screenScaleX), -kMaxReleaseSpeed, kMaxReleaseSpeed);
}

bool HMenuItemsSlider::onTouchUp(int px, int py)
{
    m_dragPending = false;
    MenuItem* touched = m_touchedChild;
    m_touchedChild = nullptr;
    bool handled = false;
    if (touched)
        handled = touched->onTouchUp(px, py);
    if (m_drawList.empty())
        return handled;
    if (!m_sliderDragged) {
        MenuItem* child = nearestTo(px);
        if (!child)
            return handled;
        if (child == m_current) {
            m_direction = signOf(centreOffset(*child));
            if (std::abs(child->width / 2 + child->absX - px) < child->width / 2)
                report(onTap, child);
        } else {
            makeCurrent(child);
            report(onSelect, child);
        }
        return true;
    }
    const float now = menuClockNow();
    m_releaseTime = now;
    float v = 0.0f;
    // The finger must have travelled since two moves back: a finger that
    // stopped before lifting snaps instead of flinging.
    if (m_lastMoveTime != now && std::abs(m_prev2X - px) > kFlingReach)
        v = releaseVelocity(static_cast<float>(px - m_prev2X), now - m_previousMoveTime);
    if (std::fabs(v) > kFlingStart)
        m_velocity = v * frameDelta();
    else
        snapToCentre();
    return true;
}

bool HMenuItemsSlider::onScroll(float dx, float dy)
{
    if (dx == 0.0f && dy == 0.0f)
        return false;
    if (m_axisLock == 0)
        m_axisLock = static_cast<int>(std::fabs(dx)) >= static_cast<int>(std::fabs(dy)) ? 1 : 2;
    if (m_axisLock == 1 && contentWidth > width)
        scrollBy(-dx);
    m_lastMoveTime = menuClockNow();
    return true;
}

bool HMenuItemsSlider::onSwipe(float vx, float)
{
    m_releaseTime = menuClockNow();
    const float v = std::clamp(vx / (2.0f * screenMetrics().screenScaleX), -kMaxReleaseSpeed, kMaxReleaseSpeed);
    if (std::fabs(v) <= kFlingStart)
        snapToCentre();
    else
        m_velocity = v * frameDelta();
    return true;
}

void HMenuItemsSlider::updateSnap()
{
    if (!m_current || m_direction == 0)
        return;
    const float before = scrollX;
    const int d = centreOffset(*m_current);
    if (d != 0) {
        scrollX += (m_direction > 0 ? -1.0f : 1.0f) * kSnapSpeed * screenMetrics().screenScaleX;
        relayoutNow();
    }
    const int after = centreOffset(*m_current);
    if (d == 0 || signOf(after) != m_direction) {
        // Passed the centre: stop exactly on it.
        m_direction = 0;
        scrollX = before - static_cast<float>(d);
        relayoutNow();
        MenuItem* item = m_current;
        report(onCentre, item);
        report(onSnapped, item);
    }
}

void HMenuItemsSlider::updateFling()
{
    scrollX += std::trunc(m_velocity);
    m_velocity -= (m_velocity < 0.0f ? -1.0f : 1.0f) * kFlingDecay * frameDelta();
    if (std::fabs(m_velocity) < kFlingStop)
        m_velocity = 0.0f;
    relayoutNow();
    const float low = static_cast<float>(width - contentWidth - edgeLimit), high = static_cast<float>(edgeLimit);
    if (scrollX < std::min(low, high) || scrollX > high) {
        scrollX = std::clamp(scrollX, std::min(low, high), high);
        m_velocity = 0.0f;
        relayoutNow();
    }
    reportCentre(nearestCentre());
    if (std::fabs(m_velocity) < 1.0f)
        snapToCentre();
}

void HMenuItemsSlider::update()
{
    if (edgeLimit == 0)
        edgeLimit = width / 2;
    if (m_velocity == 0.0f) {
        if (!m_dragPending)
            updateSnap();
        if (m_direction == 0 && !m_dragPending && scrollBar.state != kBarHidden)
            scrollBar.state = kBarFadingOut;
    } else {
        updateFling();
    }
    MenuContainer::update();
}

MenuContainerSlider::MenuContainerSlider(float w, float h)
{
    width = static_cast<int>(w);
    height = static_cast<int>(h);
    x = y = 0;
    edgeLimit = static_cast<int>(w / 5.0f);
}
