#include "ui/widgets/SpriteCheckbox.h"

#include "platform/Language.h"
#include "platform/ScreenMetrics.h"
#include "render/2d/CFont.h"
#include "render/2d/CSprite.h"
#include "render/2d/SpriteSets.h"
#include "ui/MenuNavigation.h"

#include <algorithm>

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

void SpriteCheckbox::updateLayout()
{
    const ScreenMetrics& metrics = screenMetrics();
    const std::u16string_view text = labelText();
    const int textWidth = text.empty() ? 0 : static_cast<int>(measureText(font, text).width);
    const int line = font ? static_cast<int>(font->lineHeight()) : 0;
    width = std::max(minimumWidth, textWidth);
    height = line;
    int bw = 0, bh = 0;
    if (sprite)
        sprite->frameBounds(frameOn, bw, bh);
    if (text.empty()) {
        width = bw;
        height = bh;
        return;
    }
    if (!labelBelow) {
        const int gap = static_cast<int>(kLabelGapX * metrics.screenScaleX);
        labelX = bw + gap;
        labelY = (bh - line) / 2;
        width = bw + gap + width;
        height = std::max(line, bh);
    } else {
        boxX = width / 2 - bw / 2;
        labelX = 0;
        labelY = bh + static_cast<int>(kLabelGapY * metrics.screenScaleY);
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
    const std::u16string_view text = labelText();
    if (!font || text.empty())
        return;
    if (focused)
        font->setColor(tint);
    if (labelBelow)
        font->draw(text, x + static_cast<float>(width / 2 + labelX), y + static_cast<float>(labelY), CFont::kCentreX);
    else
        font->draw(text, x + static_cast<float>(labelX), y + static_cast<float>(labelY), 0);
    if (focused)
        font->setColor(kDefaultTextColor);
}
