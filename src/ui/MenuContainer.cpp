#include "ui/MenuContainer.h"

#include "platform/ScreenMetrics.h"
#include "render/2d/CSprite.h"
#include "render/2d/Render2D.h"
#include "render/2d/SpriteSets.h"
#include "ui/TextFitLog.h"

#include <algorithm>
#include <cmath>

namespace {
void eraseFirst(std::vector<MenuItem*>& list, MenuItem* item)
{
    const auto found = std::find(list.begin(), list.end(), item);
    if (found != list.end())
        list.erase(found);
}

void moveToFront(std::vector<MenuItem*>& list, MenuItem* item)
{
    eraseFirst(list, item);
    list.insert(list.begin(), item);
}
}  // namespace

MenuContainer::MenuContainer()
{
    spacing = static_cast<int>(5.0f * screenMetrics().screenScaleY);
}

MenuContainer::~MenuContainer()
{
    m_inputList.clear();
    for (MenuItem* child : m_drawList)
        delete child;
    m_drawList.clear();
}

int MenuContainer::listChildX(const MenuItem& child, int originX) const
{
    const int w = child.width;
    const int base = originX + paddingX;
    const bool left = (child.alignment & kAlignLeft) != 0;
    const bool centre = !left && (child.alignment & kAlignCentreX) != 0;
    switch (childAlignment) {
    case kChildLeft:
        return left ? base : centre ? base + w / 2 : base + w;
    case kChildRight:
        return left ? base + width - w : centre ? base + width - w / 2 : base + width;
    default:
        return left ? base + (width - w) / 2 : centre ? base + width / 2 : base + width - (width - w) / 2;
    }
}

void MenuContainer::layout(int originX, int originY)
{
    // A placed grid keeps its laid-out position in x: adding it again would
    // move it further at every layout.
    if (layoutMode == kLayoutGrid && anchorMode == kAnchorParent)
        originX += x;
    MenuItem::layout(originX, originY);
    const int X = absX, Y = absY, W = width, H = height;
    switch (layoutMode) {
    case kLayoutList: {
        contentHeight = 0;
        for (MenuItem* child : m_drawList) {
            if (!child || !child->visible)
                continue;
            if (child->anchorMode == kAnchorAbsolute) {
                // Absolute children keep their place; laid out so that they have one.
                child->layout(X, Y);
                continue;
            }
            if (child->anchorMode == kAnchorParent) {
                child->layout(X, Y);
                continue;
            }
            const int cx = listChildX(*child, X);
            const int cy = bottomUp ? Y + H - paddingY - child->height - contentHeight : Y + paddingY + contentHeight;
            child->layout(cx, cy);
            contentHeight += child->height + spacing;
        }
        contentHeight += paddingY;
        if (contentHeight < H && fillWhenShort) {
            contentHeight = H + 1;
            filled = true;
            overscrollLimitY = H / 2;
        } else {
            filled = false;
        }
        break;
    }
    case kLayoutRow:
        contentWidth = 0;
        for (MenuItem* child : m_drawList) {
            if (!child || !child->visible)
                continue;
            if (child->anchorMode == kAnchorParent || child->anchorMode == kAnchorAbsolute) {
                child->layout(X, Y);
                continue;
            }
            child->layout(X + paddingX + contentWidth, Y + paddingY);
            contentWidth += child->width + spacing;
        }
        contentWidth += paddingX - spacing;
        break;
    case kLayoutStacked:
        for (MenuItem* child : m_drawList) {
            if (child)
                child->layout(X + paddingX, Y + paddingY);
        }
        break;
    case kLayoutGrid: {
        if (m_drawList.empty())
            break;
        int px = paddingX;
        const int step = m_drawList.front()->width + spacing;
        // A zero-width first item with no spacing gives no column width: keep the padding.
        if (step > 0)
            px = ((W - ((W - spacing) / step) * step) + spacing) / 2;
        const int x0 = static_cast<int>(static_cast<float>(px) + scrollX);
        int cx = x0;
        int cy = static_cast<int>(scrollY + static_cast<float>(spacing + paddingY));
        for (MenuItem* child : m_drawList) {
            if (!child)
                continue;
            if (static_cast<float>(cx) - scrollX + static_cast<float>(child->width + spacing) > static_cast<float>(W)) {
                cx = x0;
                cy += child->height + spacing;
            }
            child->layout(X + cx, Y + cy);
            cx += spacing + child->width;
        }
        break;
    }
    default:   // paged: the page slider lays the pages out
        for (MenuItem* child : m_drawList) {
            if (child)
                child->layout(X, Y);
        }
        break;
    }
    if (autoSize) {
        width = contentWidth;
        height = contentHeight;
    }
}

void MenuContainer::placeItem(MenuItem* item)
{
    if (!item)
        return;
    if (layoutMode == kLayoutPaged) {
        placePagedItem(item);
        return;
    }
    item->offsetX = offsetX;
    item->offsetY = offsetY;
    switch (layoutMode) {
    case kLayoutList: {
        item->anchorMode = kAnchorPlaced;
        item->parent = this;
        const int cx = listChildX(*item, absX);
        const int cy = bottomUp ? y + height - paddingY - item->height - contentHeight : y + paddingY + contentHeight;
        item->layout(cx, cy);
        if (item->visible) {
            contentHeight += spacing + item->height;
            contentWidth = std::max(contentWidth, item->width);
        }
        break;
    }
    case kLayoutRow:
        item->anchorMode = kAnchorPlaced;
        item->parent = this;
        item->layout(absX + paddingX + contentWidth, absY + paddingY);
        if (item->visible) {
            contentWidth += spacing + item->width;
            contentHeight = std::max(contentHeight, item->height);
        }
        break;
    default:
        break;
    }
    if (touchMode == kTouchPage) {
        if (!fixedSize) {
            width = std::max(width, contentWidth + paddingX);
            height = std::max(height, contentHeight + paddingY);
        } else if (width < contentWidth + paddingX || height < contentHeight + paddingY) {
            overflowed = true;
        }
    } else if (autoSize) {
        width = contentWidth;
        height = contentHeight;
    }
    m_inputList.push_back(item);
    if (bottomUp)
        m_drawList.insert(m_drawList.begin(), item);
    else
        m_drawList.push_back(item);
    item->parent = this;
    recomputeOverscrollLimits();
}

void MenuContainer::recomputeOverscrollLimits()
{
    const int denominator = width - scrollBar.barWidth;
    if (scrollBar.shown && scrollBar.barWidth > 0 && denominator > 0)
        overscrollLimitX = ((contentWidth - width) * scrollBar.barWidth) / denominator;
    else
        overscrollLimitX = 0;
    overscrollLimitY = height / 2;
}

void MenuContainer::addItem(MenuItem* item)
{
    if (!item)
        return;
    item->parent = this;
    m_inputList.push_back(item);
    m_drawList.push_back(item);
}

void MenuContainer::addItemFront(MenuItem* item)
{
    if (!item)
        return;
    item->parent = this;
    m_inputList.insert(m_inputList.begin(), item);
    m_drawList.insert(m_drawList.begin(), item);
}

void MenuContainer::forget(MenuItem* item)
{
    if (m_touchedChild == item)
        m_touchedChild = nullptr;
}

void MenuContainer::removeItem(MenuItem* item)
{
    forget(item);
    const bool child = std::find(m_drawList.begin(), m_drawList.end(), item) != m_drawList.end();
    eraseFirst(m_inputList, item);
    eraseFirst(m_drawList, item);
    if (child && item && item->parent == this)
        item->parent = nullptr;
    relayoutSelf();
}

MenuItem* MenuContainer::itemAt(int index) const
{
    if (index < 0 || index >= static_cast<int>(m_drawList.size()))
        return nullptr;
    return m_drawList[static_cast<std::size_t>(index)];
}

void MenuContainer::clear()
{
    m_inputList.clear();
    std::vector<MenuItem*> children;
    children.swap(m_drawList);
    m_touchedChild = nullptr;
    pageSlider = nullptr;
    pageIndicator = nullptr;
    for (MenuItem* child : children)
        delete child;
    if (touchMode == kTouchPage && !fixedSize) {
        width = height = 0;
        overflowed = false;
    }
    contentWidth = contentHeight = 0;
    scrollX = scrollY = 0.0f;
    flingVelocityX = flingVelocityY = 0.0f;
    scrollToXActive = scrollToYActive = false;
}

void MenuContainer::setBackground(CSprite* sprite, bool flag)
{
    m_frameBackground = sprite;
    m_backgroundFlag = flag;
    if (sprite && backgroundFrame != -1)
        sprite->frameBounds(backgroundFrame, width, height);
}

void MenuContainer::sendToBack(MenuItem* item)
{
    moveToFront(m_drawList, item);
}

void MenuContainer::giveInputPriority(MenuItem* item)
{
    moveToFront(m_inputList, item);
}

void MenuContainer::bringToFront(MenuItem* item)
{
    eraseFirst(m_drawList, item);
    m_drawList.push_back(item);
}

void MenuContainer::relayoutSelf()
{
    if (!parent)
        layout(0, 0);
    else if (anchorMode == kAnchorParent)
        layout(parent->absX, parent->absY);
    else if (anchorMode == kAnchorAbsolute)
        layout(0, 0);
    else
        parent->needsRelayout = true;
}

void MenuContainer::draw()
{
    const bool clip = touchMode != kTouchPage;
    const int X = absX, Y = absY, W = width, H = height;
    if (clip) {
        // The children's quads are cut on the CPU instead of under a scissor
        // of their own, so a page of panels still draws in a few runs; the cut
        // keeps to whole pixels as the scissor did.
        const float left = std::floor(static_cast<float>(X) - clipMarginX);
        const float top = std::floor(static_cast<float>(Y) - clipMarginY);
        const float right = std::ceil(static_cast<float>(X + W) + clipMarginX);
        const float bottom = std::ceil(static_cast<float>(Y + H) + clipMarginY);
        pushCropRect(left, top, right - left, bottom - top);
        if (textFitLog().enabled())
            textFitLog().pushCrop(scrollBar.shown || contentHeight > H || contentWidth > W);
    }
    for (std::size_t i = 0; i < m_drawList.size(); ++i) {
        MenuItem* child = m_drawList[i];
        if (!child || !child->visible)
            continue;
        if (clip && (child->absX <= X - child->width || child->absX >= X + W || child->absY <= Y - child->height ||
                     child->absY >= Y + H))
            continue;
        const TextFrameScope frame(*child);
        child->draw();
    }
    drawScrollBars();
    if (clip) {
        popCropRect();
        if (textFitLog().enabled())
            textFitLog().popCrop();
    }
}

void MenuContainer::drawScrollBars()
{
    if (!scrollBar.shown || scrollBar.state == kBarHidden)
        return;
    CSprite* sprite = getSprite(kSpriteSetMenus);
    if (!sprite || !sprite->isLoaded())
        return;
    const int X = absX, Y = absY, W = width, H = height;
    const auto alpha = static_cast<std::uint8_t>(std::clamp(scrollBar.alpha, 0.0f, 1.0f) * 255.0f);
    sprite->setColorBytes(255, 255, 255, alpha);
    if (W > 0 && W < contentWidth) {
        const float along = scrollX / static_cast<float>(W - contentWidth) * static_cast<float>(W - scrollBar.barWidth);
        sprite->drawFrame(scrollBar.thumbFrame, static_cast<float>(X) + scrollBar.offsetX + static_cast<float>(static_cast<int>(along)),
                          static_cast<float>(Y) + scrollBar.offsetY + static_cast<float>(H - scrollBar.thumbHeight));
    }
    if (H > 0 && H < contentHeight && !filled) {
        const float barX = static_cast<float>(X) + scrollBar.offsetX + static_cast<float>(W - scrollBar.barWidth);
        if (scrollBar.trackFrame >= 0)
            sprite->drawFrame(scrollBar.trackFrame, barX, static_cast<float>(Y));
        const float along =
            scrollY / static_cast<float>(H - contentHeight) * static_cast<float>(H - scrollBar.thumbHeight);
        sprite->drawFrame(scrollBar.thumbFrame, barX, static_cast<float>(Y + static_cast<int>(along)));
    }
    sprite->setColorBytes(255, 255, 255, 255);
}

MenuItem* MenuContainer::pickAt(int px, int py)
{
    const float margin = static_cast<float>(static_cast<int>(kPickMargin * screenMetrics().screenScaleX));
    for (MenuItem* child : m_drawList) {
        if (!child || !child->enabled || !child->contains(px, py, margin))
            continue;
        MenuItem* picked = child->pickAt(px, py);
        if (picked && picked->isInteractive())
            return picked;
    }
    return nullptr;
}

bool MenuContainer::contains(int px, int py, float) const
{
    if (touchMode == kTouchPage && fixedSize && overflowed)
        return true;
    if (absX <= px && px <= absX + width && absY <= py && py <= absY + height)
        return true;
    if (scrollBar.shown && scrollBar.offsetX > 0.0f) {
        const float right = static_cast<float>(absX + width) + scrollBar.offsetX;
        const float fx = static_cast<float>(px);
        return right - static_cast<float>(scrollBar.barWidth) <= fx && fx <= right && absY <= py &&
               py <= absY + height;
    }
    return false;
}

void MenuContainer::setScrollBar(int thumbFrame, float barOffsetX, float barOffsetY)
{
    scrollBar.thumbFrame = thumbFrame;
    scrollBar.barWidth = scrollBar.thumbHeight = 0;
    if (CSprite* sprite = getSprite(kSpriteSetMenus))
        sprite->frameBounds(thumbFrame, scrollBar.barWidth, scrollBar.thumbHeight);
    scrollBar.offsetX = barOffsetX;
    scrollBar.offsetY = barOffsetY;
    scrollBar.shown = true;
    recomputeOverscrollLimits();
    scrollBar.state = kBarHidden;
    scrollBar.alpha = 0.0f;
}
