#include "ui/MenuItem.h"

#include "platform/ScreenMetrics.h"
#include "ui/MenuContainer.h"

void MenuItem::moveBy(float dx, float dy)
{
    absX = static_cast<int>(offsetX + dx);
    absY = static_cast<int>(offsetY + dy);
}

void MenuItem::layout(int originX, int originY)
{
    float bx = 0.0f, by = 0.0f;
    if (anchorMode == kAnchorParent) {
        bx = static_cast<float>(x) + offsetX + static_cast<float>(originX);
        by = static_cast<float>(y) + offsetY + static_cast<float>(originY);
    } else if (anchorMode == kAnchorAbsolute) {
        bx = static_cast<float>(x) + offsetX;
        by = static_cast<float>(y) + offsetY;
    } else {
        bx = offsetX + static_cast<float>(originX);
        by = offsetY + static_cast<float>(originY);
    }
    int ax = static_cast<int>(bx), ay = static_cast<int>(by);
    if (anchorMode != kAnchorParent && anchorMode != kAnchorAbsolute) {
        x = ax;
        y = ay;
    }
    if (!(alignment & kAlignLeft)) {
        if (alignment & kAlignCentreX)
            ax -= width / 2;
        else if (alignment & kAlignRight)
            ax -= width;
    }
    if (!(alignment & kAlignTop)) {
        if (alignment & kAlignCentreY)
            ay -= height / 2;
        else if (alignment & kAlignBottom)
            ay -= height;
    }
    if (parent && anchorMode != kAnchorAbsolute) {
        ax = static_cast<int>(static_cast<float>(ax) + parent->scrollX);
        ay = static_cast<int>(static_cast<float>(ay) + parent->scrollY);
    }
    absX = ax;
    absY = ay;
}

bool MenuItem::onTouchDown(int, int)
{
    return false;
}

bool MenuItem::onTouchMove(int, int)
{
    return false;
}

bool MenuItem::onTouchUp(int, int)
{
    return false;
}

bool MenuItem::onScroll(float, float)
{
    return false;
}

bool MenuItem::onSwipe(float, float)
{
    return false;
}

MenuItem* MenuItem::pickAt(int px, int py)
{
    const float margin = static_cast<float>(static_cast<int>(kPickMargin * screenMetrics().screenScaleX));
    return contains(px, py, margin) ? this : nullptr;
}

bool MenuItem::contains(int px, int py, float margin) const
{
    const float m = margin * screenMetrics().screenScaleX;
    const float fx = static_cast<float>(px), fy = static_cast<float>(py);
    return static_cast<float>(absX) - m <= fx && fx <= static_cast<float>(absX + width) + m &&
           static_cast<float>(absY) - m <= fy && fy <= static_cast<float>(absY + height) + m;
}

void MenuItem::setNeighbour(int direction, MenuItem* target)
{
    if (direction < 0 || direction >= kLinkCount)
        return;
    links[static_cast<std::size_t>(direction)] = target;
    if (!target)
        return;
    MenuItem*& back = target->links[static_cast<std::size_t>((direction + 4) % kLinkCount)];
    if (!back)
        back = this;
}

MenuItem* MenuItem::neighbour(int direction) const
{
    if (direction < 0 || direction >= kLinkCount)
        return nullptr;
    return links[static_cast<std::size_t>(direction)];
}
