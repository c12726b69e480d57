#include "ui/widgets/SpriteLabel.h"

#include "platform/Language.h"
#include "platform/ScreenMetrics.h"
#include "render/2d/CFont.h"
#include "render/2d/CSprite.h"
#include "render/2d/Render2D.h"
#include "render/2d/SpriteSets.h"
#include "ui/MenuContainer.h"

#include <algorithm>
#include <array>

namespace {
std::u16string cut(std::u16string_view text, std::size_t units)
{
    std::u16string out(text.substr(0, std::min(text.size(), units)));
    const std::size_t end = out.find(u'\0');
    if (end != std::u16string::npos)
        out.resize(end);
    return out;
}
}  // namespace

void SpriteLabel::init(int font, MenuContainer* parentItem)
{
    fontId = font;
    enabled = false;
    if (parentItem)
        parentItem->placeItem(this);
}

SpriteLabel::SpriteLabel(std::u16string_view literal) : SpriteLabel(0, literal) {}

SpriteLabel::SpriteLabel(int font, std::u16string_view literal)
{
    init(font, nullptr);
    text = cut(literal, kMaxText);
    updateSize();
}

SpriteLabel::SpriteLabel(int font, std::u16string_view literal, MenuContainer* parentItem)
{
    fontId = font;
    enabled = false;
    text = cut(literal, kMaxText);
    updateSize();
    if (parentItem)
        parentItem->placeItem(this);
}

SpriteLabel::SpriteLabel(int font, int wrapWidth, MenuContainer* parentItem, std::u16string_view literal)
{
    fontId = font;
    enabled = false;
    std::array<char16_t, kBufferUnits> wrapped{};
    drawTextWrapped(getFont(fontId), cut(literal, kMaxText), static_cast<float>(wrapWidth), wrapped);
    text = wrapped.data();
    updateSize();
    if (parentItem)
        parentItem->placeItem(this);
}

SpriteLabel::SpriteLabel(int font, std::u16string_view literal, MenuContainer* parentItem, int fixedHeight)
{
    fontId = font;
    enabled = false;
    text = cut(literal, kMaxText);
    if (parentItem)
        parentItem->placeItem(this);
    setHeight(fixedHeight);
}

SpriteLabel::SpriteLabel(int number) : SpriteLabel(0, number) {}

SpriteLabel::SpriteLabel(int font, int number, MenuContainer* parentItem)
{
    fontId = font;
    enabled = false;
    stringId = number;
    updateSize();
    if (parentItem)
        parentItem->placeItem(this);
}

SpriteLabel::SpriteLabel(int font, int number)
{
    fontId = font;
    enabled = false;
    stringId = number;
    updateSize();
}

CFont* SpriteLabel::font() const
{
    return getFont(fontId);
}

std::u16string_view SpriteLabel::shownText() const
{
    if (stringId >= 0)
        return getStringByIndex(stringId);
    return text;
}

void SpriteLabel::setText(std::u16string_view literal)
{
    text = cut(literal, kMaxText);
    stringId = -1;
    updateSize();
}

void SpriteLabel::setWrappedText(int number, int wrapWidth)
{
    std::array<char16_t, kBufferUnits> wrapped{};
    drawTextWrapped(font(), number, static_cast<float>(wrapWidth), wrapped);
    text = wrapped.data();
    stringId = -1;
    updateSize();
}

void SpriteLabel::placeAgain()
{
    if (!parent)
        MenuItem::layout(0, 0);
    else if (anchorMode == kAnchorParent)
        MenuItem::layout(parent->absX, parent->absY);
    else if (anchorMode == kAnchorAbsolute)
        MenuItem::layout(0, 0);
    else   // placed: the stored point less the offset gives the same base point
        MenuItem::layout(static_cast<int>(static_cast<float>(x) - offsetX), static_cast<int>(static_cast<float>(y) - offsetY));
}

void SpriteLabel::updateSize()
{
    CFont* f = font();
    if (!hasText()) {
        width = height = 0;
        textOffsetX = textOffsetY = 0;
        placeAgain();
        return;
    }
    const std::u16string_view shown = shownText();
    const CFont::TextSize size = measureText(f, shown);
    const float line = f ? f->lineHeight() : 0.0f;
    float h = std::max(size.height, line);
    if (shown.find(u'\n') == std::u16string_view::npos)
        h = line;
    width = static_cast<int>(size.width);
    height = static_cast<int>(h);
    textOffsetX = textOffsetY = 0;
    placeAgain();
}

void SpriteLabel::setHeight(int fixedHeight)
{
    const CFont::TextSize size = measureText(font(), shownText());
    width = static_cast<int>(size.width);
    height = fixedHeight;
    textOffsetX = textOffsetY = 0;
    placeAgain();
}

void SpriteLabel::draw()
{
    CFont* f = font();
    if (!f || !hasText())
        return;
    if (useTextColor) {
        flushSpriteBatch();
        f->setColor(textColor);
    }
    f->draw(shownText(), static_cast<float>(absX + textOffsetX), static_cast<float>(absY + textOffsetY), textFlags);
    if (useTextColor) {
        flushSpriteBatch();
        f->setColor(kDefaultTextColor);
    }
}

bool SpriteLabel::contains(int px, int py, float margin) const
{
    const float m = margin * screenMetrics().screenScaleX;
    const float fx = static_cast<float>(px), fy = static_cast<float>(py);
    const float left = (textFlags & CFont::kRight) ? static_cast<float>(absX - width) : static_cast<float>(absX);
    return left - m <= fx && fx <= left + static_cast<float>(width) + m && static_cast<float>(absY) - m <= fy &&
           fy <= static_cast<float>(absY + height) + m;
}

// ---- ResizableLabel ----

ResizableLabel::ResizableLabel(std::u16string_view literal) : SpriteLabel(literal) {}

void ResizableLabel::setup(int left, int middleFrame, int right, int font)
{
    sprite = getSprite(kSpriteSetMenus);
    leftCap = left;
    middle = middleFrame;
    rightCap = right;
    fontId = font;
    updateSize();
}

void ResizableLabel::updateSize()
{
    if (!sprite || leftCap == -1 || rightCap == -1 || middle == -1) {
        width = height = static_cast<int>(5.0f * screenMetrics().uiScale);
        return;
    }
    int lw = 0, lh = 0, mw = 0, mh = 0, rw = 0, rh = 0;
    sprite->frameBounds(leftCap, lw, lh);
    sprite->frameBounds(middle, mw, mh);
    sprite->frameBounds(rightCap, rw, rh);
    height = mh;
    int w = 0;
    if (hasText()) {
        const CFont::TextSize size = measureText(font(), shownText());
        w = static_cast<int>(size.width);
        const int h = static_cast<int>(size.height);
        textOffsetX = lw;
        if (textFlags & CFont::kBottom)
            textOffsetY = h / 2;
        else if (textFlags & 16)
            textOffsetY = height - h / 2;
        else
            textOffsetY = height / 2;
    }
    width = lw + w + rw;
    labelLanguage = currentLanguage();
}

void ResizableLabel::draw()
{
    CFont* f = font();
    if (useTextColor && f) {
        flushSpriteBatch();
        f->setColor(textColor);
    }
    const float fx = static_cast<float>(absX), fy = static_cast<float>(absY);
    if (ninePart) {
        if (sprite)
            sprite->drawNinePatch(singleFrame, fx, fy, static_cast<float>(width), static_cast<float>(height));
        if (f)
            f->draw(shownText(), fx + static_cast<float>(width / 2), fy + static_cast<float>(height / 2),
                    CFont::kCentreX | CFont::kCentreY);
    } else if (useSingleFrame) {
        if (sprite) {
            int w = 0, h = 0;
            sprite->frameBounds(singleFrame, w, h);
            const float s = w > 0 ? static_cast<float>(width) / static_cast<float>(w) : 1.0f;
            sprite->setScale(s, s);
            sprite->drawFrame(singleFrame, fx, fy);
            sprite->setScale(1.0f, 1.0f);
        }
        if (f)
            f->draw(shownText(), fx + static_cast<float>(textOffsetX), fy + static_cast<float>(textOffsetY),
                    CFont::kCentreY);
    } else {
        const int language = currentLanguage();
        if (labelLanguage != language) {
            // Measured again with the caps; a plain setHeight would drop them from the width.
            updateSize();
        }
        if (sprite) {
            int lw = 0, lh = 0, mw = 0, mh = 0, rw = 0, rh = 0;
            sprite->frameBounds(leftCap, lw, lh);
            sprite->frameBounds(middle, mw, mh);
            sprite->frameBounds(rightCap, rw, rh);
            sprite->drawFrame(leftCap, fx, fy);
            sprite->drawFrame(rightCap, fx + static_cast<float>(width - rw), fy);
            if (mw > 0) {
                sprite->setScale(static_cast<float>(width - lw - rw) / static_cast<float>(mw), 1.0f);
                sprite->drawFrame(middle, fx + static_cast<float>(lw), fy);
                sprite->setScale(1.0f, 1.0f);
            }
            sprite->setColorBytes(255, 255, 255, 255);
            if (f)
                f->draw(shownText(), fx + static_cast<float>(textOffsetX), fy + static_cast<float>(textOffsetY),
                        CFont::kCentreY);
        }
    }
    if (useTextColor && f) {
        flushSpriteBatch();
        f->setColor(kDefaultTextColor);
    }
}
