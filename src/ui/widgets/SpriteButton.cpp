#include "ui/widgets/SpriteButton.h"

#include "platform/Language.h"
#include "platform/ScreenMetrics.h"
#include "render/2d/CFont.h"
#include "render/2d/CSprite.h"
#include "render/2d/Render2D.h"
#include "render/2d/SpriteSets.h"
#include "ui/MenuContainer.h"
#include "ui/MenuNavigation.h"

#include <algorithm>

namespace {
constexpr float kMinTextButtonWidth = 90.0f;    // x the horizontal UI scale
constexpr float kMinTextButtonHeight = 50.0f;   // x the vertical UI scale
constexpr float kTextButtonMargin = 20.0f;      // x the horizontal UI scale
constexpr float kResizableTouchMargin = 2.0f;
constexpr std::uint8_t kPressedAlpha = 153;     // 0.6
constexpr std::uint8_t kPressedGrey = 178;      // 0.7

Color4 focusTint()
{
    const std::uint8_t level = focusPulseLevel();
    return Color4{255, level, level, 255};
}
}  // namespace

SpriteButton::SpriteButton(std::u16string_view text)
{
    init(kSpriteSetMenus, 0, 1);
    setText(text);
    MenuItem::layout(0, 0);
}

SpriteButton::SpriteButton(int stringId)
{
    init(kSpriteSetMenus, 0, 1);
    labelStringId = stringId;
    updateLabel();
    MenuItem::layout(0, 0);
}

SpriteButton::SpriteButton(BaseOnly, int stringId)
{
    init(kSpriteSetMenus, 0, 1);
    labelStringId = stringId;
    updateLabel();
}

SpriteButton::SpriteButton(int frameNumber, std::u16string_view text)
{
    init(kSpriteSetMenus, frameNumber, 1);
    setText(text);
}

SpriteButton::SpriteButton(int set, int frameNumber, int fontId, std::u16string_view text, MenuContainer* parentItem)
{
    init(set, frameNumber, fontId);
    setText(text);
    if (parentItem)
        parentItem->placeItem(this);
}

SpriteButton::SpriteButton(int set, int frameNumber, int fontId, int stringId, MenuContainer* parentItem)
{
    init(set, frameNumber, fontId);
    labelStringId = stringId;
    updateLabel();
    if (parentItem)
        parentItem->placeItem(this);
}

void SpriteButton::init(int set, int frameNumber, int fontId)
{
    focusable = true;
    interactive = true;
    sprite = set >= 0 ? getSprite(set) : nullptr;
    frame = frameNumber;
    font = fontId >= 0 ? getFont(fontId) : nullptr;
}

std::u16string_view SpriteButton::labelText() const
{
    if (labelStringId >= 1)
        return getStringByIndex(labelStringId);
    return label;
}

bool SpriteButton::hasLabel() const
{
    return labelStringId >= 1 || !label.empty();
}

void SpriteButton::setText(std::u16string_view text)
{
    labelStringId = 0;
    label.assign(text.substr(0, std::min(text.size(), kMaxLabel)));
    const std::size_t end = label.find(u'\0');
    if (end != std::u16string::npos)
        label.resize(end);
    updateLabel();
}

void SpriteButton::updateLabel()
{
    m_labelFit = 1.0f;
    const ScreenMetrics& metrics = screenMetrics();
    const float s = effectiveTextScale();
    if (isFrameButton()) {
        int w = 0, h = 0;
        sprite->frameBounds(frame, w, h);
        width = static_cast<int>(static_cast<float>(w) * scale);
        height = static_cast<int>(static_cast<float>(h) * scale);
        if (captionStringId >= 1) {
            const CFont::TextSize caption = measureText(font, getStringByIndex(captionStringId));
            const int cw = static_cast<int>(caption.width * scale);
            const int ch = static_cast<int>((font ? font->lineHeight() : 0.0f) * scale);
            captionX = (width - cw) / 2 + cw / 2;
            captionY = (height / 2 - ch) / 2 + ch / 2;
        }
    } else {
        const CFont::TextSize text = measureText(font, labelText());
        const float line = (font ? font->lineHeight() : 0.0f) * s;
        width = static_cast<int>(std::max(kTextButtonMargin * metrics.screenScaleX + text.width * s,
                                          kMinTextButtonWidth * metrics.screenScaleX));
        height = static_cast<int>(std::max(line, kMinTextButtonHeight * metrics.screenScaleY));
        if (fixedWidth != 0)
            width = static_cast<int>(scale * static_cast<float>(fixedWidth));
    }
    if (hasLabel()) {
        const CFont::TextSize text = measureText(font, labelText());
        const int tw = static_cast<int>(text.width * s), th = static_cast<int>(text.height * s);
        if (labelAlignment & kAlignLeft)
            labelX = tw / 2;
        else if (labelAlignment & kAlignRight)
            labelX = width - tw / 2;
        else
            labelX = width / 2;
        if (labelAlignment & kAlignTop)
            labelY = th / 2;
        else if (labelAlignment & kAlignBottom)
            labelY = height - static_cast<int>(font ? font->lineHeight() : 0.0f);
        else
            labelY = height / 2;
        if (isFrameButton() && labelBox.set())
            fitLabelIntoBox();
    }
    labelLanguage = currentLanguage();
}

void SpriteButton::fitLabelIntoBox()
{
    const float base = effectiveTextScale();
    const CFont::TextSize text = measureText(font, labelText());
    const float textW = text.width * base, lineH = (font ? font->lineHeight() : 0.0f) * base;
    const float boxW = (labelBox.right - labelBox.left) * static_cast<float>(width);
    const float boxH = (labelBox.bottom - labelBox.top) * static_cast<float>(height);
    if (textW > boxW && textW > 0.0f)
        m_labelFit = boxW / textW;
    if (lineH * m_labelFit > boxH && lineH > 0.0f)
        m_labelFit = boxH / lineH;
    labelX = static_cast<int>((labelBox.left + labelBox.right) / 2.0f * static_cast<float>(width));
    labelY = static_cast<int>((labelBox.top + labelBox.bottom) / 2.0f * static_cast<float>(height));
}

void SpriteButton::followLanguage()
{
    const int language = currentLanguage();
    if (labelLanguage == language)
        return;
    labelLanguage = language;
    if (hasLabel())
        updateLabel();
}

Color4 SpriteButton::focusedColor() const
{
    return useFocusColor ? focusColor : focusTint();
}

void SpriteButton::layout(int originX, int originY)
{
    followLanguage();
    MenuItem::layout(originX, originY);
}

void SpriteButton::draw()
{
    followLanguage();
    const bool focused = menuFocusedItem() == this;
    const float drawX = static_cast<float>(absX) + scrollX, drawY = static_cast<float>(absY) + scrollY;
    if (isFrameButton()) {
        sprite->setColor(focused ? focusedColor() : Color4{color.r, color.g, color.b, 255});
        sprite->setScale(scale, scale);
        int drawn = frame;
        if (pressed && pressedFrameOffset >= 1)
            drawn += pressedFrameOffset;
        if (pressed && pressedFrameOffset == 0)
            sprite->setColorBytes(255, 255, 255, kPressedAlpha);
        sprite->drawFrame(drawn, drawX, drawY);
        sprite->setScale(1.0f, 1.0f);
        sprite->setColorBytes(255, 255, 255, 255);
    }
    drawTexts(focused);
}

void SpriteButton::drawTexts(bool focused)
{
    if (!font)
        return;
    const float s = effectiveTextScale();
    const int baseSpacing = font->baseLetterSpacing();
    if (s != 1.0f)
        font->setLetterSpacing(static_cast<int>(baseSpacing - static_cast<int>(static_cast<float>(font->letterSpacing()) * s)));
    font->setScale(s, s);
    if (useTextColor) {
        flushSpriteBatch();
        font->setColor(textColor);
    }
    if (focused)
        font->setColor(focusedColor());
    const bool bottomLine = (labelAlignment & kAlignBottom) && !(isFrameButton() && labelBox.set());
    const int flags = CFont::kCentreX | (bottomLine ? 0 : CFont::kCentreY);
    const float drawX = static_cast<float>(absX) + scrollX, drawY = static_cast<float>(absY) + scrollY;
    if (captionStringId >= 1)
        font->draw(getStringByIndex(captionStringId), drawX + static_cast<float>(captionX),
                   drawY + static_cast<float>(captionY), flags);
    if (hasLabel())
        font->draw(labelText(), drawX + static_cast<float>(labelX + labelNudgeX),
                   drawY + static_cast<float>(labelY + labelNudgeY), flags);
    if (s != 1.0f)
        font->setLetterSpacing(baseSpacing);
    if (useTextColor) {
        flushSpriteBatch();
        font->setColor(kDefaultTextColor);
    }
    font->setScale(1.0f, 1.0f);
    if (focused)
        font->setColor(kDefaultTextColor);
}

bool SpriteButton::onTouchDown(int, int)
{
    pressed = true;
    pressX = absX;
    pressY = absY;
    return true;
}

bool SpriteButton::releaseHits(int px, int py) const
{
    return absX == pressX && absY == pressY && contains(px, py, 0.0f);
}

bool SpriteButton::onTouchUp(int px, int py)
{
    if (!releaseHits(px, py)) {
        // Released off the button or after its list scrolled: no click, and no pressed look left behind.
        pressed = false;
        return false;
    }
    fire();
    return true;
}

bool SpriteButton::onTouchCancel()
{
    pressed = false;
    return false;
}

bool SpriteButton::contains(int px, int py, float) const
{
    return MenuItem::contains(px, py, static_cast<float>(static_cast<int>(touchMargin)));
}

void SpriteButton::activate()
{
    pressed = true;
    fire();
}

void SpriteButton::fire()
{
    if (onClick) {
        if (playClickSound)
            playMenuSound(MenuSound::Click);
        const MenuAlertHooks& alert = menuAlertHooks();
        // The alert gets its own copy: the button may be gone when it closes.
        if (confirmStringId >= 1) {
            if (alert.showConfirm)
                alert.showConfirm(confirmStringId, onClick);
        } else if (alertText) {
            if (alert.showAlert)
                alert.showAlert(alertText, onClick);
            else
                onClick();
        } else {
            onClick();
        }
    }
    if (onClick2)
        onClick2();
    if (targetFrame) {
        playMenuSound(MenuSound::Click);
        goToFrame(targetFrame);
    }
    pressed = false;
}

// ---- SpriteButton2 ----

SpriteButton2::SpriteButton2() : SpriteButton(kSpriteSetMenus, -1, 2, -1) {}

bool SpriteButton2::drawsOwnFocus()
{
    constexpr int kFocusBoxFrame = 94;
    if (menuFocusedItem() != this)
        return true;
    if (CSprite* box = getSprite(kSpriteSetMenus)) {
        const std::uint8_t level = focusPulseLevel();
        box->setColorBytes(255, level, level, 255);
        box->drawNinePatch(kFocusBoxFrame, static_cast<float>(absX + 50), static_cast<float>(absY + 30),
                           static_cast<float>(width - 100), static_cast<float>(height - 60));
        box->setColorBytes(255, 255, 255, 255);
    }
    return true;
}

// ---- SpriteButtonR ----

SpriteButtonR::SpriteButtonR(int set, int frameNumber, int fontId, int stringId)
    : SpriteButton(set, frameNumber, fontId, stringId)
{
}

bool SpriteButtonR::onTouchDown(int, int)
{
    if (onPress)
        onPress();
    pressX = absX;
    pressY = absY;
    pressed = true;
    return false;
}

bool SpriteButtonR::onTouchUp(int px, int py)
{
    if (releaseHits(px, py)) {
        if (onRelease) {
            playMenuSound(MenuSound::Click);
            onRelease();
        }
        if (targetFrame) {
            playMenuSound(MenuSound::Click);
            goToFrame(targetFrame);
        }
    }
    pressed = false;
    return false;
}

void SpriteButtonR::activate()
{
    if (onPress)
        onPress();
    if (onRelease) {
        playMenuSound(MenuSound::Click);
        onRelease();
    }
    if (targetFrame) {
        playMenuSound(MenuSound::Click);
        goToFrame(targetFrame);
    }
}

// ---- ResizableButton ----

ResizableButton::ResizableButton(int stringId) : SpriteButton(stringId)
{
    touchMargin = kResizableTouchMargin;
    sprite = nullptr;
    updateLabel();
}

ResizableButton::ResizableButton(std::u16string_view text) : SpriteButton(text)
{
    touchMargin = kResizableTouchMargin;
    sprite = nullptr;
    updateLabel();
}

void ResizableButton::setup(int left, int middleFrame, int right, int fontId)
{
    sprite = getSprite(kSpriteSetMenus);
    leftCap = left;
    middle = middleFrame;
    rightCap = right;
    font = getFont(fontId);
    updateLabel();
}

void ResizableButton::updateLabel()
{
    const float art = screenMetrics().uiScale;
    if (!sprite || leftCap == -1 || middle == -1 || rightCap == -1) {
        width = height = static_cast<int>(5.0f * art);
        labelLanguage = currentLanguage();
        return;
    }
    int lw = 0, lh = 0, mw = 0, mh = 0, rw = 0, rh = 0;
    sprite->frameBounds(leftCap, lw, lh);
    sprite->frameBounds(middle, mw, mh);
    sprite->frameBounds(rightCap, rw, rh);
    height = mh;
    if (icon != -1) {
        width = lw + mw + rw;
    } else if (hasLabel()) {
        const CFont::TextSize text = measureText(font, labelText());
        const int th = static_cast<int>(text.height);
        labelX = lw;
        if (labelAlignment & kAlignTop)
            labelY = th / 2;
        else if (labelAlignment & kAlignBottom)
            labelY = height - th / 2;
        else
            labelY = height / 2;
        width = lw + static_cast<int>(text.width) + rw;
    } else {
        width = lw + rw;
    }
    labelLanguage = currentLanguage();
}

void ResizableButton::draw()
{
    const int language = currentLanguage();
    if (labelLanguage != language) {
        labelLanguage = language;
        if (icon == -1 && hasLabel())
            updateLabel();
    }
    const bool focused = menuFocusedItem() == this;
    if (!sprite || leftCap == -1 || middle == -1 || rightCap == -1)
        return;
    if (pressed && pressedFrameOffset == 0)
        sprite->setColorBytes(kPressedGrey, kPressedGrey, kPressedGrey, 255);
    if (focused) {
        sprite->setColor(focusTint());
        if (font)
            font->setColor(focusTint());
    }
    const int offset = pressed ? pressedFrameOffset : 0;
    int lw = 0, lh = 0, mw = 0, mh = 0, rw = 0, rh = 0;
    sprite->frameBounds(leftCap, lw, lh);
    sprite->frameBounds(middle, mw, mh);
    sprite->frameBounds(rightCap, rw, rh);
    const float fx = static_cast<float>(absX), fy = static_cast<float>(absY);
    sprite->drawFrame(leftCap + offset, fx, fy);
    sprite->drawFrame(rightCap, fx + static_cast<float>(width - rw), fy);
    if (mw > 0) {
        sprite->setScale(static_cast<float>(width - lw - rw) / static_cast<float>(mw), 1.0f);
        sprite->drawFrame(middle, fx + static_cast<float>(lw), fy);
        sprite->setScale(1.0f, 1.0f);
    }
    if (!focused)
        sprite->setColorBytes(255, 255, 255, 255);
    if (icon != -1) {
        int iw = 0, ih = 0;
        sprite->frameBounds(icon + offset, iw, ih);
        sprite->drawFrame(icon + offset, fx + static_cast<float>((mw - (width - lw - rw) + lw) / 2),
                          fy + static_cast<float>((mh - ih) / 2));
    } else if (font && hasLabel()) {
        font->draw(labelText(), fx + static_cast<float>(labelX + labelNudgeX), fy + static_cast<float>(labelY + labelNudgeY),
                   CFont::kCentreY);
    }
    if (focused) {
        sprite->setColorBytes(255, 255, 255, 255);
        if (font)
            font->setColor(kDefaultTextColor);
    }
    if (badge >= 0)
        sprite->drawFrame(badge, fx + static_cast<float>(width / 2), fy);
}
