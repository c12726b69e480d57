#include "ui/widgets/SpriteKeyboard.h"

#include "platform/Clock.h"
#include "platform/Input.h"
#include "platform/ScreenMetrics.h"
#include "platform/Text.h"
#include "render/2d/CFont.h"
#include "render/2d/CSprite.h"
#include "render/2d/Render2D.h"
#include "render/2d/SpriteSets.h"
#include "ui/MenuFrame.h"
#include "ui/MenuHooks.h"
#include "ui/widgets/SceneMenuFrame.h"
#include "ui/widgets/SpriteEditBox.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

namespace {
SpriteKeyboard* g_keyboard = nullptr;
std::array<int, 2> g_markers{-1, -1};
constexpr int kCloseString = 15;
constexpr int kLastKeySizeFrame = 20;

// What each part of the keyboard picture types: part 0 is the text area, the
// last the space bar; the two keys at the end of the bottom letter row erase
// and accept, so a player with only a mouse can finish a name.
constexpr std::array<char32_t, SpriteKeyboard::kPartCount> kKeyCharacters = {
    0,   U'Q', U'W', U'E', U'R', U'T', U'Y', U'U', U'I', U'O', U'P', U'A', U'S', U'D', U'F', U'G',
    U'H', U'J', U'K', U'L', U'-', U'Z', U'X', U'C', U'V', U'B', U'N', U'M', Input::kTypedBackspace,
    Input::kTypedEnter, U' '};

CSprite* keyboardSprite()
{
    return getSprite(SpriteKeyboard::kSet);
}
}  // namespace

int keyboardMarker(int which)
{
    return g_markers[static_cast<std::size_t>(which & 1)];
}

SpriteKeyboard& SpriteKeyboard::instance()
{
    if (!g_keyboard) {
        g_keyboard = new SpriteKeyboard();   // lives for the whole program
        setMenuKeyboard(g_keyboard);
    }
    return *g_keyboard;
}

SpriteKeyboard* SpriteKeyboard::existing()
{
    return g_keyboard;
}

SpriteKeyboard::SpriteKeyboard()
{
    const ScreenMetrics& m = screenMetrics();
    int w = 0;
    keyboardSprite()->frameBounds(kFrame, w, keyboardHeight);
    width = w;
    height = keyboardHeight;
    visible = false;

    closeButton = std::make_unique<ResizableButton>(kCloseString);
    closeButton->touchMargin = 2.0f;
    closeButton->setup(155, 156, 157, 1);
    closeButton->alignment = 0x22;
    closeButton->labelAlignment = 0x22;
    closeButton->playClickSound = false;
    closeButton->focusable = true;
    closeButton->anchorMode = kAnchorAbsolute;
    closeButton->onClick = [this] { cancel(); };

    caption = std::make_unique<SpriteLabel>(2, u"PLEASE FILL");
    caption->alignment = 0x60;
    caption->anchorMode = kAnchorAbsolute;
    caption->x = m.halfWidth;

    brightness = 1.0f;
    x = m.halfWidth;
    y = m.screenHeight;
    targetY = m.screenHeight - keyboardHeight;
}

void SpriteKeyboard::setText(std::u16string_view text)
{
    text = text.substr(0, std::min(text.size(), kMaxText));
    m_edit.assign(text);
    m_start.assign(text);
    caret = static_cast<int>(m_edit.size());
}

void SpriteKeyboard::show()
{
    const ScreenMetrics& m = screenMetrics();
    // The sheets and the screen may have changed since the last opening.
    int w = 0;
    keyboardSprite()->frameBounds(kFrame, w, keyboardHeight);
    width = w;
    height = keyboardHeight;
    x = m.halfWidth;
    caption->x = m.halfWidth;
    closeButton->setup(155, 156, 157, 1);
    input().clearKeys();
    input().clearTyped();
    pressedLook = false;
    closePressed = false;
    cancelled = false;
    m_closing = false;
    visible = true;
    targetY = m.screenHeight -
              static_cast<int>(static_cast<float>(m.screenHeight) - 207.0f * m.uiScale - static_cast<float>(keyboardHeight)) / 2 -
              keyboardHeight;
    y = targetY;
    g_markers = {0, 4};
}

void SpriteKeyboard::openOver(SceneMenuFrame* page, IKeyboardListener& to, std::u16string_view text, int maxTextLength,
                              float startBrightness)
{
    if (page)
        page->fullDraw = false;
    maxLength = maxTextLength;
    caption->setText(u" ");
    setText(text);
    brightness = startBrightness;
    listener = &to;
    show();
    if (page) {
        std::vector<MenuItem*> items;
        collectFocusableItems(*page, items);
        for (MenuItem* item : items)
            item->clearNeighbours();
        page->focusedItem = closeButton.get();
    }
    setMenuFocusedItem(closeButton.get());
}

void SpriteKeyboard::hide()
{
    const int below = 2 * screenMetrics().screenHeight;
    targetY = below;
    y = below;
    m_closing = false;
    visible = false;
    g_markers = {-1, -1};
}

void SpriteKeyboard::startClosing()
{
    targetY = 2 * screenMetrics().screenHeight;
    m_closing = true;
    y = targetY;
    g_markers = {-1, -1};
}

void SpriteKeyboard::accept()
{
    if (m_edit.find_first_not_of(u' ') != std::u16string::npos) {
        startClosing();
        return;
    }
    m_edit = m_start;
    caret = static_cast<int>(m_edit.size());
}

void SpriteKeyboard::cancel()
{
    if (!visible || m_closing)
        return;
    // The listener hears it from the closing step, once.
    cancelled = true;
    startClosing();
}

void SpriteKeyboard::type(char32_t c)
{
    if (c == Input::kTypedEnter) {
        accept();
        return;
    }
    if (c == Input::kTypedBackspace) {
        if (caret > 0) {
            m_edit.erase(static_cast<std::size_t>(caret - 1), 1);
            --caret;
        }
        return;
    }
    if (static_cast<int>(m_edit.size()) >= std::min(maxLength, static_cast<int>(kMaxText)) || c > 0xFFFF)
        return;
    caret = std::clamp(caret, 0, static_cast<int>(m_edit.size()));
    m_edit.insert(static_cast<std::size_t>(caret), 1, static_cast<char16_t>(c));
    if (widthLimitFont && widthLimitFont->measure(m_edit).width > static_cast<float>(maxWidth)) {
        m_edit.erase(static_cast<std::size_t>(caret), 1);
        return;
    }
    ++caret;
}

void SpriteKeyboard::update()
{
    if (y != targetY) {
        y = targetY;
    } else if (m_closing) {
        m_closing = false;
        IKeyboardListener* told = listener;
        const bool wasCancelled = cancelled;
        visible = false;
        cancelled = false;
        if (told) {
            if (wasCancelled)
                told->onTextCancelled(m_start);
            else
                told->onTextAccepted(m_edit);
        }
    } else if (visible) {
        while (input().typedCount() > 0 && visible && !m_closing) {
            const char32_t c = input().popTyped();
            if (c == 0)
                break;
            type(c);
        }
    }
    setMenuFocusedItem(nullptr);
}

char32_t SpriteKeyboard::keyCharacter(int part)
{
    return part >= 0 && part < kPartCount ? kKeyCharacters[static_cast<std::size_t>(part)] : 0;
}

int SpriteKeyboard::keyAt(int px, int py) const
{
    const CSprite* sprite = keyboardSprite();
    const SpriteSheet& sheet = sprite->sheet();
    if (kFrame >= static_cast<int>(sheet.frames.size()))
        return -1;
    const SpriteSheet::Frame& frame = sheet.frames[kFrame];
    const ScreenMetrics& m = screenMetrics();
    const float growX = 7.0f * m.screenScaleX, growY = 14.0f * m.screenScaleY;
    const CSprite::Rect whole = sprite->frameRect(kFrame);
    const float left = static_cast<float>(x) - whole.w / 2.0f;
    const int parts = std::min<int>(kPartCount, static_cast<int>(frame.partCount));
    for (int i = 0; i < parts; ++i) {
        const SpriteSheet::Part& part = sheet.parts[frame.firstPart + static_cast<std::size_t>(i)];
        float w = sprite->moduleWidth(part.module), h = sprite->moduleHeight(part.module);
        float kx = left + part.x * sprite->baseScale();
        const float ky = static_cast<float>(y) + part.y * sprite->baseScale();
        if (i == 30) {
            // The space bar sits in the middle of its row.
            const CSprite::Rect last = sprite->frameRect(kLastKeySizeFrame);
            kx += (w - last.w) / 2.0f;
            w = last.w;
            h = last.h;
        }
        if (px >= kx - growX && px <= kx + w + growX && py >= ky - growY && py <= ky + h + growY)
            return i;
    }
    return -1;
}

bool SpriteKeyboard::onClearArea(int px, int py) const
{
    const CSprite* sprite = keyboardSprite();
    const SpriteSheet& sheet = sprite->sheet();
    if (kFrame >= static_cast<int>(sheet.frames.size()) || sheet.frames[kFrame].partCount == 0)
        return false;
    const SpriteSheet::Part& part = sheet.parts[sheet.frames[kFrame].firstPart];
    const CSprite::Rect whole = sprite->frameRect(kFrame);
    const float kx = static_cast<float>(x) - whole.w / 2.0f + part.x * sprite->baseScale();
    const float ky = static_cast<float>(y) + part.y * sprite->baseScale();
    const float w = sprite->moduleWidth(part.module), h = sprite->moduleHeight(part.module);
    return px >= kx - 14.0f && px <= kx + w + 14.0f && py >= ky - 28.0f && py <= ky + h + 28.0f;
}

bool SpriteKeyboard::onTouchDown(int px, int py)
{
    if (y != targetY)
        return false;
    m_downKey = keyAt(px, py);
    m_downOnText = onClearArea(px, py);
    if (m_downKey < 0)
        pressedLook = m_downOnText;
    if (closeButton->contains(px, py, 10.0f)) {
        closeButton->onTouchDown(px, py);
        closePressed = true;
    }
    touchActive = true;
    return false;
}

bool SpriteKeyboard::onTouchMove(int px, int py)
{
    if (touchActive && keyAt(px, py) < 0 && closePressed)
        pressedLook = onClearArea(px, py);
    return false;
}

bool SpriteKeyboard::onTouchUp(int px, int py)
{
    // Only a touch that began on the keyboard acts: the release of the click
    // that opened it must not empty the text it opened with.
    if (touchActive && !closePressed) {
        const int key = keyAt(px, py);
        if (key > 0 && key == m_downKey)
            type(keyCharacter(key));
        else if (m_downOnText && onClearArea(px, py)) {
            m_edit.clear();
            caret = 0;
        }
    }
    touchActive = false;
    m_downKey = -1;
    m_downOnText = false;
    closeButton->onTouchUp(px, py);
    pressedLook = false;
    closePressed = false;
    return false;
}

void SpriteKeyboard::draw()
{
    CSprite* sprite = keyboardSprite();
    CFont* textFont = getFont(textFontId);
    if (!sprite->isLoaded() || !textFont)
        return;
    const ScreenMetrics& m = screenMetrics();
    const float a = m.uiScale;
    flushSpriteBatch();
    setGlobalColorFactor(brightness, brightness, brightness, brightness);
    closeButton->x = static_cast<int>(20.0f * a);
    closeButton->y = y - closeButton->height / 2;
    closeButton->layout(0, 0);
    closeButton->draw();
    caption->y = y - closeButton->height;
    caption->layout(0, 0);
    caption->draw();
    const CSprite::Rect whole = sprite->frameRect(kFrame);
    sprite->drawFrame(kFrame, static_cast<float>(x) - whole.w / 2.0f - whole.x, static_cast<float>(y) - whole.y);
    // The text sits in the middle of the text area, the picture's first part.
    float textY = static_cast<float>(y);
    const SpriteSheet& sheet = sprite->sheet();
    if (!sheet.frames.empty() && sheet.frames[kFrame].partCount > 0) {
        const SpriteSheet::Part& area = sheet.parts[sheet.frames[kFrame].firstPart];
        textY += area.y * sprite->baseScale() - whole.y + sprite->moduleHeight(area.module) / 2.0f;
    }
    const bool caretShown = std::fmod(menuClockNow(), 1.0f) > 0.5f;
    const float textWidth = textFont->measure(m_edit).width;
    const std::u16string shown = caretShown ? m_edit + u"_" : m_edit;
    textFont->draw(shown, static_cast<float>(m.screenWidth) * 0.5f - 12.0f * a - textWidth / 2.0f, textY,
                   CFont::kCentreY);
    flushSpriteBatch();
    setGlobalColorFactor(1.0f, 1.0f, 1.0f, 1.0f);
}
