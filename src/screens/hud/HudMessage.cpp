#include "screens/hud/HudMessage.h"

#include "platform/Language.h"
#include "platform/ScreenMetrics.h"
#include "render/2d/CFont.h"
#include "render/2d/CSprite.h"
#include "render/2d/Render2D.h"
#include "render/2d/SpriteSets.h"
#include "ui/TextFitLog.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <vector>

namespace {

HudFontSource g_fontSource = nullptr;

constexpr int kNoticeIconSet = 19;
constexpr int kPanelFrame = kMenuPanelFrame;   // the menus' nine-patch box, on its own texture in play
constexpr int kBigFont = 2;
// Room the wrap may add to a text: breaks put in between ideographs. The wrap
// never writes past the buffer, so a longer text is cut, not overrun.
constexpr std::size_t kWrapSpare = 32;

bool isCjkLanguage()
{
    const int language = currentLanguage();
    return language >= 6 && language <= 8;
}

// `text` wrapped to `width` with the font; the line count in `lines`.
std::u16string wrapText(const CFont* font, std::u16string_view text, float width, int& lines)
{
    std::vector<char16_t> buffer(text.size() + kWrapSpare, 0);
    lines = drawTextWrapped(font, text, width, buffer);
    return std::u16string(buffer.data());
}

}  // namespace

void setHudFontSource(HudFontSource source)
{
    g_fontSource = source;
}

CFont* hudFont(int id)
{
    return g_fontSource ? g_fontSource(id) : getFont(id);
}

void HudMessage::measure()
{
    const CFont::TextSize size = measureText(hudFont(font), shownText());
    width = static_cast<int>(size.width);
    height = static_cast<int>(size.height);
}

std::u16string_view HudMessage::shownText() const
{
    // A warning that wrapped keeps its number to be found by, and shows its
    // own wrapped lines.
    if (!text.empty() || stringId == 0)
        return text;
    return getStringByIndex(stringId);
}

void HudMessage::initFromText(int fontId, std::u16string_view source, float wrapWidth, bool silent)
{
    font = fontId;
    stringId = 0;
    if (wrapWidth == -1.0f) {
        text = std::u16string(source);
        lineCount = 1;
    } else {
        text = wrapText(hudFont(font), source, wrapWidth, lineCount);
        lineCount = std::max(lineCount, 1);
    }
    measure();
    duration = timeLeft =
        static_cast<float>(source.size()) * kSecondsPerCharacter * (isCjkLanguage() ? 5.0f : 1.0f);
    color = Color4{};
    shown = silent;
    icon = 0;
}

void HudMessage::initFromId(int id, float wrapWidth, bool silent)
{
    font = kBigFont;
    stringId = id;
    text.clear();
    lineCount = 1;
    if (wrapWidth != -1.0f) {
        int lines = 0;
        std::u16string wrapped = wrapText(hudFont(font), getStringByIndex(id), wrapWidth, lines);
        if (lines > 1) {
            text = std::move(wrapped);
            stringId = 0;
            lineCount = lines;
        }
    }
    measure();
    const ScreenMetrics& m = screenMetrics();
    duration = timeLeft = static_cast<float>(lineCount) * kSecondsPerLine * (m.spriteScale == 4.0f ? 1.6f : 1.0f);
    height = std::max(height, static_cast<int>(28.0f * m.uiScale));
    popIn = true;
    color = Color4{};
    shown = silent;
}

void HudMessage::fitWidth(float room)
{
    if (text.empty() || static_cast<float>(width) <= room)
        return;
    const CFont* f = hudFont(font);
    while (!text.empty()) {
        text.pop_back();
        // No colour code is left open at the cut, nor a space before the ellipsis.
        while (!text.empty() && (text.back() < u' ' || text.back() == u' '))
            text.pop_back();
        if (measureText(f, text + u"\u2026").width <= room)
            break;
    }
    text += u"\u2026";
    measure();
}

void HudMessage::setIcon(int newIcon)
{
    if (icon != 0) {
        icon = newIcon;
        return;
    }
    if (newIcon > 0 && newIcon <= getSprite(kNoticeIconSet)->frameCount()) {
        int w = 0, h = 0;
        getSprite(kNoticeIconSet)->frameBounds(newIcon - 1, w, h);
        width += w + static_cast<int>(20.0f * screenMetrics().uiScale);
        height = std::max(height, h);
    }
    icon = newIcon;
}

bool HudMessage::hitTest(float cx, float cy, float x, float y) const
{
    const float ui = screenMetrics().uiScale;
    const float left = static_cast<float>(static_cast<int>(cx - 20.0f * ui - width / 2.0f));
    const float top = static_cast<float>(static_cast<int>(cy - 20.0f * ui - height / 2.0f));
    return x > left && x < left + width + 40.0f * ui && y > top && y < top + height + 45.0f * ui;
}

CSprite::Rect HudMessage::plateRect(float x, float y) const
{
    const float ui = screenMetrics().uiScale;
    return {x - 15.0f * ui - width / 2.0f, y - 15.0f * ui - height / 2.0f, width + 30.0f * ui, height + 30.0f * ui};
}

void HudMessage::drawPanel(float x, float y, float s, Color4 panelColor) const
{
    const float ui = screenMetrics().uiScale;
    CSprite* panel = getMenuPanelSprite();
    panel->setColor(panelColor);
    const float left = x - 15.0f * ui - s * width / 2.0f, top = y - 15.0f * ui - s * height / 2.0f;
    panel->drawNinePatch(kPanelFrame, left, top, s * width + 30.0f * ui, s * height + 30.0f * ui);
    panel->setColor(Color4{});
    if (duration != 0.0f) {
        // The time bar under the panel shrinks from both ends as the entry ages.
        const float full = width + 40.0f * ui;
        const float shown = std::clamp(timeLeft / duration, 0.0f, 1.0f) * full;
        const float start = x - 20.0f * ui - width / 2.0f;
        const std::uint8_t a = static_cast<std::uint8_t>(100 * panelColor.a / 255);
        drawFilledRect(start + (full - shown) / 2.0f, y + height / 2.0f + 19.0f * ui, shown, 4.0f * ui, 100, 100,
                       100, a);
    }
    // A number the icon set does not hold (a map's typo) shows no icon.
    if (icon > 0 && icon <= getSprite(kNoticeIconSet)->frameCount()) {
        CSprite* icons = getSprite(kNoticeIconSet);
        icons->setColor(panelColor);
        icons->drawFrame(icon - 1, left + 15.0f * ui, top + 15.0f * ui);
        icons->setColor(Color4{});
    }
}

namespace {

// Centred text moves right by half the room the icon takes, so the two sit
// side by side in the panel.
float iconShift(int icon, int alignment)
{
    if (icon <= 0 || !(alignment & CFont::kCentreX) || icon > getSprite(kNoticeIconSet)->frameCount())
        return 0.0f;
    int w = 0, h = 0;
    getSprite(kNoticeIconSet)->frameBounds(icon - 1, w, h);
    return (static_cast<float>(w) + 20.0f * screenMetrics().uiScale) / 2.0f;
}

}  // namespace

void HudMessage::draw(float x, float y, int alignment) const
{
    if (empty())
        return;
    if (alignment == (CFont::kCentreX | CFont::kCentreY)) {
        float s = 1.0f;
        if (duration != 0.0f && popIn && timeLeft > duration - kPopInSeconds)
            s = (duration - timeLeft) * 0.7f / kPopInSeconds + 0.3f;
        drawPanel(x, y, s, Color4{});
        if (s < 1.0f)
            return;
    }
    CFont* f = hudFont(font);
    if (!f)
        return;
    const Color4 old = f->color();
    f->setColor(color);
    {
        const bool plated = alignment == (CFont::kCentreX | CFont::kCentreY);
        std::optional<TextFrameScope> plate;
        if (plated) {
            const CSprite::Rect r = plateRect(x, y);
            plate.emplace(r.x, r.y, r.w, r.h, "HudMessage");
        }
        drawText(f, shownText(), x + iconShift(icon, alignment), y, alignment);
    }
    f->setColor(old);
}

void HudMessage::drawFaded(float x, float y, float opacity) const
{
    if (empty())
        return;
    opacity = std::clamp(opacity, 0.0f, 1.0f);
    const std::uint8_t o = static_cast<std::uint8_t>(std::lround(opacity * 255.0f));
    // Straight alpha: the fade is in alpha alone.
    drawPanel(x, y, 1.0f, Color4{255, 255, 255, o});
    CFont* f = hudFont(font);
    if (!f)
        return;
    const Color4 old = f->color();
    f->setColor(Color4{color.r, color.g, color.b, static_cast<std::uint8_t>(color.a * opacity)});
    const CSprite::Rect r = plateRect(x, y);
    const TextFrameScope plate(r.x, r.y, r.w, r.h, "HudMessage");
    drawText(f, shownText(), x + iconShift(icon, CFont::kCentreX), y, CFont::kCentreX | CFont::kCentreY);
    f->setColor(old);
}
