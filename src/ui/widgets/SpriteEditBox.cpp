#include "ui/widgets/SpriteEditBox.h"

#include "platform/Language.h"
#include "render/2d/CFont.h"
#include "render/2d/CSprite.h"
#include "render/2d/SpriteSets.h"
#include "ui/MenuContainer.h"
#include "ui/MenuNavigation.h"
#include "ui/widgets/SceneMenuFrame.h"
#include "ui/widgets/SpriteKeyboard.h"

#include <algorithm>
#include <array>
#include <vector>

namespace {
constexpr std::u16string_view kCollapsing = u"^*.,' ";
constexpr std::u16string_view kSymbols = u"~`!@#$%^&*()_-+=\\|[]{}'\";:/?.<>,";
constexpr int kMinPlainCharacters = 3;
constexpr std::size_t kNameUnits = 64;
}  // namespace

std::size_t sanitizeNameText(std::span<char16_t> out, std::u16string_view source)
{
    if (out.empty())
        return 0;
    const std::size_t room = out.size() - 1;
    std::size_t n = 0;
    char16_t previous = source.empty() ? u'\0' : source.front();
    for (char16_t c : source) {
        if (n >= room)
            break;
        if (kCollapsing.find(c) != std::u16string_view::npos && c == previous)
            continue;
        out[n++] = c;
        previous = c;
    }
    int plain = 0;
    for (std::size_t i = 0; i < n; ++i) {
        if (kSymbols.find(out[i]) == std::u16string_view::npos)
            ++plain;
    }
    if (plain < kMinPlainCharacters)
        n = 0;
    out[n] = u'\0';
    return n;
}

std::u16string sanitizeNameText(std::u16string_view source)
{
    std::vector<char16_t> buffer(source.size() + 1);
    const std::size_t n = sanitizeNameText(buffer, source);
    return std::u16string(buffer.data(), n);
}

SpriteEditBox::SpriteEditBox(std::u16string_view initial, MenuContainer* parentItem)
{
    focusable = true;
    interactive = true;
    setText(initial);
    updateLayout();
    if (parentItem) {
        parentItem->placeItem(this);
        parent = parentItem;
    }
}

void SpriteEditBox::setText(std::u16string_view newText)
{
    newText = newText.substr(0, std::min(newText.size(), kMaxText));
    const std::size_t end = newText.find(u'\0');
    if (end != std::u16string_view::npos)
        newText = newText.substr(0, end);
    m_text.assign(newText);
    m_mask.assign(m_text.size(), u'*');
    updateLayout();
}

void SpriteEditBox::updateLayout()
{
    getSprite(kSpriteSetMenus)->frameBounds(kSizeFrame, width, height);
    const CFont* font = getFont(fontId);
    const int line = font ? static_cast<int>(font->lineHeight()) : 0;
    captionX = width / 2;
    captionY = static_cast<int>(-1.5f * static_cast<float>(line));
    textX = width / 2;
    textY = height / 2 - line / 2;
    if (parent)
        layout(parent->absX, parent->absY);
}

void SpriteEditBox::draw()
{
    const float fx = static_cast<float>(absX), fy = static_cast<float>(absY);
    getSprite(kSpriteSetMenus)->drawNinePatch(kBoxFrame, fx, fy, static_cast<float>(width), static_cast<float>(height));
    CFont* font = getFont(fontId);
    if (captionStringId >= 0)
        drawText(font, getStringByIndex(captionStringId), fx + static_cast<float>(captionX),
                 fy + static_cast<float>(captionY), CFont::kCentreX);
    drawText(font, masked ? m_mask : m_text, fx + static_cast<float>(textX), fy + static_cast<float>(textY),
             CFont::kCentreX);
}

bool SpriteEditBox::onTouchUp(int, int)
{
    openKeyboard();
    return true;
}

void SpriteEditBox::openKeyboard()
{
    cancelled = false;
    m_openedOnPlaceholder = !placeholder.empty() && m_text == placeholder;
    SpriteKeyboard::instance().openOver(ownerFrame, *this, m_openedOnPlaceholder ? std::u16string_view() : m_text,
                                        maxLength, keyboardBrightness);
}

void SpriteEditBox::onTextAccepted(std::u16string_view accepted)
{
    if (ownerFrame)
        ownerFrame->fullDraw = true;
    if (nameRules) {
        std::array<char16_t, kNameUnits> name{};
        const std::size_t n = sanitizeNameText(name, accepted);
        setText(std::u16string_view(name.data(), n));
    } else {
        setText(accepted);
    }
    updateLayout();
    if (onChange)
        onChange(m_text);
    if (SpriteKeyboard* keyboard = SpriteKeyboard::existing())
        keyboard->maxLength = 19;
    if (ownerFrame) {
        ownerFrame->focusedItem = ownerFrame->backButton();
        ownerFrame->rebuildFocusLinks();
    }
}

void SpriteEditBox::onTextCancelled(std::u16string_view startText)
{
    if (ownerFrame)
        ownerFrame->fullDraw = true;
    cancelled = true;
    onTextAccepted(m_openedOnPlaceholder ? std::u16string(m_text) : std::u16string(startText));
}
