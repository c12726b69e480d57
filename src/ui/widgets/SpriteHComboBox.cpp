#include "ui/widgets/SpriteHComboBox.h"

#include "platform/ScreenMetrics.h"
#include "render/2d/CFont.h"
#include "render/2d/CSprite.h"
#include "render/2d/SpriteSets.h"
#include "ui/MenuContainer.h"

#include <algorithm>

namespace {
constexpr float kDotReach = 20.0f;   // x the horizontal UI scale
// Marked pages: {current, other} frames of marks 1 and 2.
constexpr int kMarkFrames[2][2] = {{186, 187}, {184, 185}};

int frameWidth(CSprite* sprite, int frame)
{
    int w = 0, h = 0;
    if (sprite)
        sprite->frameBounds(frame, w, h);
    return w;
}
}  // namespace

SpriteHComboBox::SpriteHComboBox(std::u16string_view packed)
{
    sprite = getSprite(kSpriteSetMenus);
    font = getFont(1);
    packed = packed.substr(0, std::min(packed.size(), kMaxUnits - 1));
    std::size_t start = 0;
    for (;;) {
        const std::size_t end = packed.find(u'\0', start);
        m_items.emplace_back(packed.substr(start, end == std::u16string_view::npos ? std::u16string_view::npos : end - start));
        // The list ends at a double 0, or where the units run out.
        if (end == std::u16string_view::npos || end + 1 >= packed.size() || packed[end + 1] == u'\0')
            break;
        start = end + 1;
    }
    select(0);
    focusable = true;
    interactive = true;
    fitHeight();
    enabled = true;
}

const std::u16string* SpriteHComboBox::itemText(int index) const
{
    if (index < 0 || index >= itemCount())
        return nullptr;
    return &m_items[static_cast<std::size_t>(index)];
}

void SpriteHComboBox::select(int index)
{
    selected = std::clamp(index, 0, itemCount() - 1);
}

void SpriteHComboBox::setHeight(int h)
{
    height = h;
    float widest = 0.0f;
    for (const std::u16string& text : m_items)
        widest = std::max(widest, measureText(font, text).width);
    width = static_cast<int>(widest) + frameWidth(sprite, baseFrame) + frameWidth(sprite, baseFrame + 3);
    if (parent)
        layout(parent->absX, parent->absY);
}

void SpriteHComboBox::fitHeight()
{
    if (!sprite)
        return;
    int w = 0, h = 0;
    sprite->frameBounds(baseFrame + 2, w, h);
    setHeight(h);
}

void SpriteHComboBox::step(int direction)
{
    lastStep = direction;
    int next = selected + direction;
    if (next < 0)
        next = itemCount() - 1;
    if (next >= itemCount())
        next = 0;
    select(next);
    if (onChange)
        onChange();
}

void SpriteHComboBox::stepLeft()
{
    step(-1);
}

void SpriteHComboBox::stepRight()
{
    step(1);
}

bool SpriteHComboBox::onTouchDown(int px, int)
{
    lastStep = 0;
    if (px < absX + frameWidth(sprite, baseFrame))
        step(-1);
    else if (px > absX + width - frameWidth(sprite, baseFrame + 3))
        step(1);
    return true;
}

bool SpriteHComboBox::onTouchUp(int, int)
{
    lastStep = 0;
    return true;
}

void SpriteHComboBox::draw()
{
    const float x = static_cast<float>(absX) + scrollX, y = static_cast<float>(absY) + scrollY;
    if (sprite) {
        const int left = frameWidth(sprite, baseFrame), right = frameWidth(sprite, baseFrame + 3);
        const int middle = std::max(1, frameWidth(sprite, baseFrame + 2));
        sprite->drawFrame(baseFrame + (lastStep == -1 ? 1 : 0), x, y);
        sprite->setScale(static_cast<float>(std::max(0, width - left - right)) / static_cast<float>(middle), 1.0f);
        sprite->drawFrame(baseFrame + 2, x + static_cast<float>(left), y);
        sprite->setScale(1.0f, 1.0f);
        sprite->drawFrame(baseFrame + (lastStep == 1 ? 4 : 3), x + static_cast<float>(width - right), y);
    }
    if (const std::u16string* text = itemText(selected); text && font)
        font->draw(*text, x + static_cast<float>(width) / 2.0f, y + static_cast<float>(height) / 2.0f,
                   CFont::kCentreX | CFont::kCentreY);
}

// ---- SpritePageIndicator ----

SpritePageIndicator::SpritePageIndicator(int dotSpacing, int count, bool isVertical)
    : pageCount(count), spacing(dotSpacing), vertical(isVertical)
{
    sprite = getSprite(kSpriteSetMenus);
    if (sprite)
        sprite->frameBounds(dotFrame, dotWidth, dotHeight);
    measure();
}

void SpritePageIndicator::setSprite(CSprite* sheet)
{
    sprite = sheet;
    dotWidth = dotHeight = 0;
    if (sprite)
        sprite->frameBounds(dotFrame, dotWidth, dotHeight);
    measure();
}

void SpritePageIndicator::measure()
{
    const int n = std::max(pageCount, 0);
    const int along = (vertical ? dotHeight : dotWidth) * n + spacing * std::max(n - 1, 0);
    if (vertical) {
        width = dotWidth;
        height = along;
    } else {
        width = along;
        height = dotHeight;
    }
}

void SpritePageIndicator::setPageCount(int count, int dotSpacing)
{
    m_marks.fill(0);
    pageCount = std::max(count, 0);
    spacing = dotSpacing;
    currentPage = 0;
    measure();
}

void SpritePageIndicator::setMark(int page, int value)
{
    if (page >= 0 && page < kMarkCount)
        m_marks[static_cast<std::size_t>(page)] = static_cast<std::uint8_t>(value);
}

void SpritePageIndicator::setAllMarks(int value)
{
    m_marks.fill(static_cast<std::uint8_t>(value));
}

int SpritePageIndicator::mark(int page) const
{
    return page >= 0 && page < kMarkCount ? m_marks[static_cast<std::size_t>(page)] : 0;
}

int SpritePageIndicator::frameFor(int page) const
{
    const bool current = page == currentPage;
    const int m = mark(page);
    if (m == 1 || m == 2)
        return kMarkFrames[m - 1][current ? 0 : 1];
    return current ? currentDotFrame : dotFrame;
}

int SpritePageIndicator::pageAt(int px, int py) const
{
    const float reach = kDotReach * screenMetrics().screenScaleX;
    for (int i = 0; i < pageCount; ++i) {
        const int ox = absX + (vertical ? 0 : i * (dotWidth + spacing));
        const int oy = absY + (vertical ? i * (dotHeight + spacing) : 0);
        const float dx = static_cast<float>(px - ox), dy = static_cast<float>(py - oy);
        if (dx * dx + dy * dy < reach * reach)
            return i;
    }
    return -1;
}

bool SpritePageIndicator::onTouchUp(int px, int py)
{
    const bool previous = vertical ? py < absY + height / 2 : px < absX + width / 2;
    const MenuAction& action = previous ? onPrevious : onNext;
    if (action)
        action();
    return true;
}

bool SpritePageIndicator::contains(int px, int py, float) const
{
    const int m = static_cast<int>(kDotReach * screenMetrics().screenScaleX);
    return px >= absX - m && px <= absX + width + m && py >= absY - m && py <= absY + height + m;
}

void SpritePageIndicator::activate()
{
    if (onNext)
        onNext();
}

void SpritePageIndicator::draw()
{
    if (pageCount < 2 || !sprite)
        return;
    float x = static_cast<float>(absX) + scrollX, y = static_cast<float>(absY) + scrollY;
    for (int i = 0; i < pageCount; ++i) {
        sprite->drawFrame(frameFor(i), x, y);
        if (vertical)
            y += static_cast<float>(dotHeight + spacing);
        else
            x += static_cast<float>(dotWidth + spacing);
    }
}
