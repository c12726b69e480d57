#include "ui/widgets/SpriteCheckbox.h"

#include "platform/Language.h"
#include "platform/ScreenMetrics.h"
#include "render/2d/CFont.h"
#include "render/2d/CSprite.h"
#include "render/2d/SpriteSets.h"
#include "ui/MenuNavigation.h"

#include <algorithm>
#include <array>

namespace {
constexpr int kLabelFont = 2;
constexpr float kLabelGapX = 10.0f;   // x the horizontal UI scale
constexpr float kLabelGapY = 5.0f;    // x the vertical UI scale
}  // namespace

SpriteCheckbox::SpriteCheckbox()
{
    init(-1, kFrameOn, kFrameOff, false);
}

SpriteCheckbox::SpriteCheckbox(int stringId, int on, int off, bool below)
{
    init(stringId, on, off, below);
}

SpriteCheckbox::SpriteCheckbox(int stringId)
{
    init(stringId, kFrameOnBelow, kFrameOffBelow, true);
}

void SpriteCheckbox::init(int stringId, int on, int off, bool below)
{
    focusable = true;
    interactive = true;
    sprite = getSprite(kSpriteSetMenus);
    font = getFont(kLabelFont);
    labelStringId = stringId;
    frameOn = on;
    frameOff = off;
    labelBelow = below;
    updateLayout();
}

std::u16string_view SpriteCheckbox::labelText() const
{
    if (labelStringId >= 0)
        return getStringByIndex(labelStringId);
    return label;
}

void SpriteCheckbox::setText(std::u16string_view text)
{
    label.assign(text.substr(0, std::min(text.size(), kMaxLabel)));
    const std::size_t end = label.find(u'\0');
    if (end != std::u16string::npos)
        label.resize(end);
    labelX = labelY = boxX = boxY = 0;
    updateLayout();
}

float SpriteCheckbox::fitLabel(float textRoom, float heightRoom)
{
    m_shown.assign(labelText());
    m_labelScale = 1.0f;
    CFont::TextSize size = measureText(font, m_shown);
    if (fitWidth <= 0 || size.width <= textRoom || textRoom <= 0.0f || !font)
        return size.width;
    // (A label that fits its width is never made smaller for its height.)
    if (labelBelow) {
        std::array<char16_t, kMaxLabel * 2 + 2> wrapped{};
        if (font->wrap(m_shown, textRoom, wrapped) > 1) {
            m_shown = wrapped.data();
            size = measureText(font, m_shown);
        }
    }
    if (size.width > textRoom)
        m_labelScale = textRoom / size.width;
    if (heightRoom > 0.0f && size.height * m_labelScale > heightRoom)
        m_labelScale = heightRoom / size.height;
    return size.width * m_labelScale;
}

void SpriteCheckbox::updateLayout()
{
    const ScreenMetrics& metrics = screenMetrics();
    int bw = 0, bh = 0;
    if (sprite)
        sprite->frameBounds(frameOn, bw, bh);
    const int gap = static_cast<int>(kLabelGapX * metrics.screenScaleX);
    const float room = static_cast<float>(labelBelow ? fitWidth : fitWidth - bw - gap);
    const std::u16string_view text = labelText();
    const int labelTop = bh + static_cast<int>(kLabelGapY * metrics.screenScaleY);
    const float heightRoom = labelBelow && fitHeight > 0 ? static_cast<float>(std::max(1, fitHeight - labelTop)) : 0.0f;
    const int textWidth = text.empty() ? 0 : static_cast<int>(fitLabel(room, heightRoom));
    const float lineHeight = font ? font->lineHeight() : 0.0f;
    const int line = static_cast<int>(std::max(lineHeight, measureText(font, shownLabel()).height) * m_labelScale);
    width = std::max(minimumWidth, textWidth);
    height = line;
    if (text.empty()) {
        width = bw;
        height = bh;
        return;
    }
    if (!labelBelow) {
        labelX = bw + gap;
        labelY = (bh - line) / 2;
        width = bw + gap + width;
        height = std::max(line, bh);
    } else {
        width = std::max(width, bw);
        boxX = width / 2 - bw / 2;
        labelX = 0;
        labelY = labelTop;
        height = line + labelY;
    }
}

bool SpriteCheckbox::onTouchDown(int, int)
{
    checked = !checked;
    const MenuAction& action = checked ? onCheck : onUncheck;
    if (action)
        action();
    if (onChange)
        onChange();
    return true;
}

void SpriteCheckbox::draw()
{
    const bool focused = menuFocusedItem() == this;
    const std::uint8_t level = focusPulseLevel();
    const Color4 tint = focused ? Color4{255, level, level, 255} : Color4{255, 255, 255, 255};
    const float x = static_cast<float>(absX) + scrollX, y = static_cast<float>(absY) + scrollY;
    if (sprite) {
        sprite->setColor(tint);
        sprite->drawFrame(checked ? frameOn : frameOff, x + static_cast<float>(boxX), y + static_cast<float>(boxY));
        sprite->setColorBytes(255, 255, 255, 255);
    }
    const std::u16string_view text = shownLabel();
    if (!font || text.empty())
        return;
    if (focused)
        font->setColor(tint);
    const bool scaled = m_labelScale != 1.0f;
    if (scaled)
        font->setScale(m_labelScale, m_labelScale);
    if (labelBelow)
        font->draw(text, x + static_cast<float>(width / 2 + labelX), y + static_cast<float>(labelY), CFont::kCentreX);
    else
        font->draw(text, x + static_cast<float>(labelX), y + static_cast<float>(labelY), 0);
    if (scaled)
        font->setScale(1.0f, 1.0f);
    if (focused)
        font->setColor(kDefaultTextColor);
}
