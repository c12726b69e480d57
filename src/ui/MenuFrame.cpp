#include "ui/MenuFrame.h"

#include "platform/ScreenMetrics.h"
#include "render/2d/CSprite.h"
#include "render/2d/Render2D.h"
#include "render/2d/SpriteSets.h"
#include "ui/MenuNavigation.h"
#include "ui/widgets/SpriteButton.h"
#include "ui/widgets/SpriteHComboBox.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace {
constexpr float kMinFocusAngle = 0.2617994f;   // 15 degrees: nearer to a straight line scores the same
constexpr float kFocusStart = 1000000.0f;

bool contains(const std::vector<MenuItem*>& list, const MenuItem* item)
{
    return std::find(list.begin(), list.end(), item) != list.end();
}

// Whether the item is the container or lies somewhere below it.
bool isWithin(const MenuItem* item, const MenuContainer* container)
{
    for (const MenuItem* at = item; at; at = at->parent) {
        if (at == container)
            return true;
    }
    return false;
}
}  // namespace

MenuFrame::MenuFrame()
{
    const ScreenMetrics& metrics = screenMetrics();
    width = metrics.screenWidth;
    height = metrics.screenHeight;
    touchMode = kTouchPage;
    layoutMode = kLayoutList;
    childAlignment = kChildLeft;
    paddingX = 0;
    paddingY = static_cast<int>(100.0f * metrics.screenScaleY);

    auto* back = new ResizableButton(kBackStringId);
    back->setup(kBackLeftCap, kBackMiddle, kBackRightCap, kBackFont);
    back->anchorMode = kAnchorAbsolute;
    back->alignment = kAlignLeft | kAlignCentreY;
    back->x = static_cast<int>(20.0f * metrics.uiScale);
    back->y = static_cast<int>(144.5f * metrics.uiScale);
    back->onClick = [this] { onBack(); };
    back->focusable = true;
    back->visible = false;
    back->enabled = false;
    addItem(back);
    m_backButton = back;
    focusedItem = back;
}

void MenuFrame::onBack()
{
    goBack();
}

void MenuFrame::removeItem(MenuItem* item)
{
    if (item == m_backButton)
        m_backButton = nullptr;
    if (focusedItem && (focusedItem == item || isWithin(focusedItem, dynamic_cast<MenuContainer*>(item))))
        focusedItem = m_backButton;
    MenuContainer::removeItem(item);
}

void MenuFrame::clear()
{
    // The focus must not outlive the deleted children; the back button goes with them.
    if (menuFocusedItem() && isWithin(menuFocusedItem(), this))
        setMenuFocusedItem(nullptr);
    focusedItem = nullptr;
    m_backButton = nullptr;
    MenuContainer::clear();
}

void MenuFrame::draw()
{
    if (m_frameBackground && backgroundFrame != -1) {
        for (int i = 0; i < 2; ++i)
            m_frameBackground->drawNinePatch(backgroundFrame, static_cast<float>(absX), static_cast<float>(absY),
                                             static_cast<float>(width), static_cast<float>(height));
    }
    setMenuFocusedItem(focusedItem);
    MenuContainer::draw();
    if (focusedItem && !focusedItem->drawsOwnFocus())
        drawFocusHighlight(*focusedItem);
}

namespace {
struct Box {
    float left, top, right, bottom;
    bool empty() const { return !(right > left && bottom > top); }
};
}  // namespace

void MenuFrame::drawFocusHighlight(const MenuItem& item)
{
    CSprite* sprite = getSprite(kSpriteSetMenus);
    if (!sprite)
        return;
    const float s = screenMetrics().uiScale;
    const float fx = static_cast<float>(item.absX), fy = static_cast<float>(item.absY);
    const float fw = static_cast<float>(item.width), fh = static_cast<float>(item.height);
    const Box marked{fx, fy, fx + fw, fy + fh};
    // Where the highlight may show: around the item, but where a list cuts the
    // item off, the highlight is cut off at the same edge.
    Box area{fx - 15.0f * s - 1.0f, fy - 15.0f * s - 1.0f, fx + fw + 15.0f * s + 1.0f, fy + fh + 15.0f * s + 1.0f};
    for (const MenuContainer* p = item.parent; p && p != this; p = p->parent) {
        if (p->touchMode == kTouchPage)
            continue;
        const Box clip{static_cast<float>(p->absX) - p->clipMarginX, static_cast<float>(p->absY) - p->clipMarginY,
                       static_cast<float>(p->absX + p->width) + p->clipMarginX,
                       static_cast<float>(p->absY + p->height) + p->clipMarginY};
        if (marked.left < clip.left)
            area.left = std::max(area.left, clip.left);
        if (marked.top < clip.top)
            area.top = std::max(area.top, clip.top);
        if (marked.right > clip.right)
            area.right = std::min(area.right, clip.right);
        if (marked.bottom > clip.bottom)
            area.bottom = std::min(area.bottom, clip.bottom);
    }
    // Four strips around the item: the highlight never covers what it marks.
    const float midTop = std::max(marked.top, area.top), midBottom = std::min(marked.bottom, area.bottom);
    const Box strips[] = {{area.left, area.top, area.right, std::min(marked.top, area.bottom)},
                          {area.left, std::max(marked.bottom, area.top), area.right, area.bottom},
                          {area.left, midTop, std::min(marked.left, area.right), midBottom},
                          {std::max(marked.right, area.left), midTop, area.right, midBottom}};
    const std::uint8_t level = focusPulseLevel();
    sprite->setColorBytes(255, level, level, 255);
    for (const Box& strip : strips) {
        if (strip.empty())
            continue;
        // Each strip cuts the box on the CPU, to whole pixels as a scissor
        // would, so the four strips join the page's last run.
        const float left = std::floor(strip.left), top = std::floor(strip.top);
        pushCropRect(left, top, std::ceil(strip.right) - left, std::ceil(strip.bottom) - top);
        for (const float grow : {15.0f, 12.0f}) {
            const int bx = static_cast<int>(fx - grow * s), by = static_cast<int>(fy - grow * s);
            const int bw = static_cast<int>(fw + 2.0f * grow * s), bh = static_cast<int>(fh + 2.0f * grow * s);
            sprite->drawNinePatch(kFocusBoxFrame, static_cast<float>(bx), static_cast<float>(by),
                                  static_cast<float>(bw), static_cast<float>(bh));
        }
        popCropRect();
    }
    sprite->setColorBytes(255, 255, 255, 255);
}

void MenuFrame::moveFocus(int direction)
{
    if (!focusedItem)
        return;
    // A focused page indicator drives its pager along its own row (or column).
    if (auto* pages = dynamic_cast<SpritePageIndicator*>(focusedItem)) {
        const int back = pages->vertical ? MenuItem::kUp : MenuItem::kLeft;
        const int ahead = pages->vertical ? MenuItem::kDown : MenuItem::kRight;
        if (direction == back || direction == ahead) {
            if (const MenuAction& step = direction == back ? pages->onPrevious : pages->onNext)
                step();
            setMenuFocusedItem(focusedItem);
            return;
        }
    }
    if (MenuItem* next = focusedItem->neighbour(direction)) {
        focusedItem = next;
        if (next->parent)
            next->parent->scrollToChild(next);
    }
    setMenuFocusedItem(focusedItem);
}

void MenuFrame::activateFocused()
{
    if (!focusedItem)
        return;
    MenuItem* item = focusedItem;
    setMenuActivatedItem(item);
    item->activate();
    setMenuActivatedItem(nullptr);
}

void MenuFrame::rebuildFocusLinks()
{
    layout(0, 0);
    std::vector<MenuItem*> items;
    collectFocusableItems(*this, items);
    for (MenuItem* item : items)
        item->clearNeighbours();
    for (MenuItem* item : items)
        computeFocusNeighbours(*item, items);
}

void collectFocusableItems(const MenuContainer& container, std::vector<MenuItem*>& out)
{
    for (MenuItem* child : container.drawList()) {
        if (!child || !child->enabled || !child->visible)
            continue;
        if (child->isContainer())
            collectFocusableItems(static_cast<const MenuContainer&>(*child), out);
        if (child->focusable && !contains(out, child))
            out.push_back(child);
    }
}

void computeFocusNeighbours(MenuItem& item, const std::vector<MenuItem*>& items)
{
    // Up, right, down, left: the link direction and the unit vector.
    constexpr std::array<int, 4> kDirections = {MenuItem::kUp, MenuItem::kRight, MenuItem::kDown, MenuItem::kLeft};
    constexpr std::array<float, 4> kUnitX = {0.0f, 1.0f, 0.0f, -1.0f};
    constexpr std::array<float, 4> kUnitY = {-1.0f, 0.0f, 1.0f, 0.0f};
    std::array<float, 4> bestAngle, bestDistance;
    bestAngle.fill(kFocusStart);
    bestDistance.fill(kFocusStart);
    std::array<MenuItem*, 4> best{};
    for (MenuItem* other : items) {
        if (!other || other == &item)
            continue;
        const float dx = static_cast<float>(other->absX - item.absX);
        const float dy = static_cast<float>(other->absY - item.absY);
        const float d2 = dx * dx + dy * dy;
        if (d2 <= 0.0f)
            continue;
        const float length = std::sqrt(d2);
        for (std::size_t d = 0; d < 4; ++d) {
            const bool towards = (d == 0 && dy < 0.0f) || (d == 1 && dx > 0.0f) || (d == 2 && dy > 0.0f) ||
                                 (d == 3 && dx < 0.0f);
            if (!towards)
                continue;
            const float cosine = std::clamp((dx * kUnitX[d] + dy * kUnitY[d]) / length, -1.0f, 1.0f);
            const float angle = std::max(std::acos(cosine), kMinFocusAngle);
            const float r = angle / bestAngle[d];
            if ((2.0f * r + d2 / bestDistance[d]) / 3.0f < 1.0f) {
                best[d] = other;
                bestAngle[d] = angle;
                bestDistance[d] = d2;
            }
        }
    }
    for (std::size_t d = 0; d < 4; ++d) {
        if (best[d])
            item.setNeighbour(kDirections[d], best[d]);
    }
}
