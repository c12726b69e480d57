#include "menus/ingame/ScoreEntry.h"

#include "entities/Target.h"
#include "entities/aircraft/Airplane.h"
#include "gamedata/records/PlaneCfg.h"
#include "platform/ScreenMetrics.h"
#include "platform/Text.h"
#include "render/2d/CFont.h"
#include "render/2d/CSprite.h"
#include "render/2d/Render2D.h"
#include "render/2d/SpriteSets.h"
#include "screens/hud/HudMessageQueue.h"
#include "ui/MenuContainer.h"

#include <algorithm>
#include <string>

const std::array<Color4, 5> ScoreEntry::kMarkerColours = {{
    {255, 165, 0, 255},
    {148, 0, 211, 255},
    {156, 93, 4, 255},
    {153, 255, 51, 255},
    {51, 0, 255, 255},
}};

namespace {
float unit() { return screenMetrics().uiScale; }

int scoreOf(const Target& t, int index)
{
    const auto* a = dynamic_cast<const Airplane*>(&t);
    return a ? a->scores[static_cast<std::size_t>(index)] : 0;
}
}  // namespace

ScoreEntry::ScoreEntry(Target* plane, int place, int odd, bool team)
    : airplane(plane), position(place), alternate(odd), teamLayout(team)
{
    int w = 0, h = 0;
    if (CSprite* menus = getSprite(kSpriteSetMenus))
        menus->frameBounds(kRowWidthFrame, w, h);
    width = w > 0 ? w : static_cast<int>(400.0f * unit());
    height = static_cast<int>(kRowHeightUnits * unit());
    interactive = plane != nullptr;
    if (plane) {
        flags = plane->inPlay ? 0u : kOutOfPlay;
        markerColour = plane->markerColorIndex;
    }
}

int ScoreEntry::nextMarkerColour(int colour)
{
    const int next = colour + 1;
    return next >= static_cast<int>(kMarkerColours.size()) || next < -1 ? -1 : next;
}

int ScoreEntry::swatchLeft() const
{
    return width - 5 * height / 4;
}

bool ScoreEntry::showsMute() const
{
    const Target* t = target();
    return networkGame && t && !own;
}

bool ScoreEntry::contains(int px, int py, float) const
{
    return px >= absX && px < absX + width && py >= absY && py < absY + height;
}

bool ScoreEntry::onTouchDown(int px, int py)
{
    Target* t = target();
    if (!t)
        return false;
    const float u = unit();
    const int bandTop = absY + static_cast<int>(columns(width, height, teamLayout, gameType, networkGame).swatchTop);
    if (py < bandTop || py > bandTop + height / 2)
        return false;
    const int swatch = absX + swatchLeft();
    if (px >= swatch && px <= swatch + height) {
        markerColour = nextMarkerColour(markerColour);
        t->markerColorIndex = markerColour;
        return true;
    }
    const int muteRight = swatch - static_cast<int>(10.0f * u);
    if (px >= muteRight - 4 * height / 5 && px < muteRight) {
        if (showsMute()) {
            HudTeamList& muted = HudMessageQueue::instance().players();
            const EntityHandle handle(t);
            if (muted.contains(handle))
                muted.remove(handle);
            else
                muted.add(handle);
        }
        return true;
    }
    return false;
}

ScoreEntry::Columns ScoreEntry::columns(int rowWidth, int rowHeight, bool teamLayout, GameType type, bool muteStrip)
{
    const float u = unit();
    const float w = static_cast<float>(rowWidth), h = static_cast<float>(rowHeight);
    // The offsets in layout units. The team tables stand closer together;
    // with a bases or flags column their columns start 30 u further left.
    const bool extra = teamLayout && (type == GameType::CaptureTheFlag || type == GameType::DestroyTheBase);
    float place = 60.0f, firstTop = 20.0f, glyph = 90.0f, score = 150.0f, deaths = 240.0f, extraAt = -1.0f;
    float plane = 330.0f, step = 90.0f;
    if (teamLayout) {
        const float base = extra ? -30.0f : 0.0f;
        place = 50.0f;
        firstTop = 25.0f;
        glyph = 87.5f;
        score = base + 160.0f;
        deaths = base + 240.0f;
        extraAt = extra ? base + 320.0f : -1.0f;
        plane = extra ? base + 400.0f : 320.0f;
        step = 80.0f;
    }
    // The larger sheets' rank glyphs sit lower.
    const float glyphY = screenMetrics().spriteScale >= 4.0f ? 65.0f : 59.0f;
    // A table narrower than the columns need squeezes them sideways; a full
    // table's shorter rows squeeze the two lines together.
    const float needed = (plane + step / 2.0f) * u;
    const float kx = needed > w && needed > 0.0f ? w / needed : 1.0f;
    const float full = static_cast<float>(kRowHeightUnits) * u;
    const float ky = full > h && full > 0.0f ? h / full : 1.0f;
    Columns c;
    // The team rows' first line sits 5 u lower: their texts a little smaller
    // keep its descenders off the numbers below.
    c.textScale = std::clamp(std::min({kx, ky, teamLayout ? 0.9f : 1.0f}), 0.6f, 1.0f);
    c.placeRight = place * u * kx;
    c.nameLeft = c.placeRight;
    c.firstLine = firstTop * u * ky;
    c.glyph = glyph * u * kx;
    c.glyphLine = glyphY * u * ky;
    c.secondLine = 55.0f * u * ky;
    c.score = score * u * kx;
    c.deaths = deaths * u * kx;
    c.extra = extraAt >= 0.0f ? extraAt * u * kx : -1.0f;
    c.plane = plane * u * kx;
    c.columnWidth = step * u * kx;
    c.planeWidth = (step - 6.0f) * u * kx;
    c.iconX = 33.0f * u * kx;
    c.iconY = 43.0f * u * ky;
    c.shadeTop = 9.0f * u * ky;
    c.swatchTop = 10.0f * u * ky;
    // The name has the first line up to the mute strip or the swatch.
    const float swatch = w - 5.0f * h / 4.0f;
    const float right = muteStrip ? swatch - 10.0f * u - 4.0f * h / 5.0f : swatch;
    c.nameRight = std::max(right - 6.0f * u, c.nameLeft);
    return c;
}

std::u16string ScoreEntry::fitted(const CFont& font, std::u16string text, float width)
{
    if (font.measure(text).width <= width)
        return text;
    while (!text.empty() && font.measure(text + u"...").width > width)
        text.pop_back();
    return text.empty() ? std::u16string() : text + u"...";
}

bool ScoreEntry::hasExtraColumn() const
{
    return teamLayout && (gameType == GameType::CaptureTheFlag || gameType == GameType::DestroyTheBase);
}

void ScoreEntry::draw()
{
    const Target* t = target();
    if (!visible || !t)
        return;
    const float u = unit();
    const float x = static_cast<float>(absX) + scrollX, y = static_cast<float>(absY) + scrollY;
    const float w = static_cast<float>(width), h = static_cast<float>(height);
    // Rows scrolled out of the table cost nothing.
    if (parent && (y + h + 10.0f * u < static_cast<float>(parent->absY) ||
                   y > static_cast<float>(parent->absY + parent->height)))
        return;
    const Columns c = columns(width, height, teamLayout, gameType, networkGame);
    CSprite* menus = getSprite(kSpriteSetMenus);
    if (alternate && menus)
        menus->drawNinePatch(kShadeFrame, x, y + c.shadeTop, w, h);
    CFont* font = getFont(0);
    if (!font)
        return;
    const Color4 saved = font->color();
    const float oldScaleX = font->scaleX(), oldScaleY = font->scaleY();
    font->setScale(oldScaleX * c.textScale, oldScaleY * c.textScale);
    font->setColor(kDefaultTextColor);
    constexpr int centred = CFont::kCentreX | CFont::kCentreY;
    const float firstLine = y + c.firstLine, secondLine = y + c.secondLine;
    char16_t text[96];
    wideFormat(text, 96, "%d.", position);
    drawText(font, text, x + c.placeRight, firstLine, CFont::kRight);
    const int rank = std::clamp(t->rank(), 0, 17);
    const char16_t glyph[2] = {static_cast<char16_t>(kFirstRankGlyph + rank), 0};
    drawText(font, glyph, x + c.glyph, y + c.glyphLine, centred);
    if (own)
        font->setColor(kOwnRowColour);
    // The name and the plane shrink a little, then are cut; once per width,
    // not every frame.
    const float lineScaleX = font->scaleX(), lineScaleY = font->scaleY();
    if (m_fittedWidth != width || m_fittedScale != lineScaleX) {
        m_fittedWidth = width;
        m_fittedScale = lineScaleX;
        const std::string plane = t->planeRecord ? t->planeRecord->shortname : std::string();
        const auto fit = [&](const std::u16string& whole, float room, float smallest, float& shrink) {
            const float w0 = font->measure(whole).width;
            shrink = w0 > room && w0 > 0.0f ? std::max(room / w0, smallest) : 1.0f;
            font->setScale(lineScaleX * shrink, lineScaleY * shrink);
            std::u16string shown = fitted(*font, whole, room);
            font->setScale(lineScaleX, lineScaleY);
            return shown;
        };
        m_shownName = fit(t->pilotName, c.nameRight - c.nameLeft, 0.9f, m_nameShrink);
        m_shownPlane = fit(std::u16string(plane.begin(), plane.end()), c.planeWidth, 0.7f, m_planeShrink);
    }
    font->setScale(lineScaleX * m_nameShrink, lineScaleY * m_nameShrink);
    drawText(font, m_shownName, x + c.nameLeft, firstLine, 0);
    font->setScale(lineScaleX, lineScaleY);
    wideFormat(text, 96, "%d", scoreOf(*t, Airplane::kScorePoints));
    drawText(font, text, x + c.score, secondLine, centred);
    wideFormat(text, 96, "%d", scoreOf(*t, Airplane::kScoreDeaths));
    drawText(font, text, x + c.deaths, secondLine, centred);
    if (c.extra >= 0.0f) {
        if (gameType == GameType::DestroyTheBase)
            wideFormat(text, 96, "%d", scoreOf(*t, Airplane::kScoreBases));
        else
            wideFormat(text, 96, "%d/%d", scoreOf(*t, Airplane::kScoreFlagsCaptured),
                       scoreOf(*t, Airplane::kScoreFlagsReturned));
        drawText(font, text, x + c.extra, secondLine, centred);
    }
    // A pilot without a plane record gets an empty plane column.
    font->setScale(lineScaleX * m_planeShrink, lineScaleY * m_planeShrink);
    drawText(font, m_shownPlane, x + c.plane, secondLine, centred);
    font->setColor(saved);
    font->setScale(oldScaleX, oldScaleY);
    if (!menus)
        return;
    // Out of play, or carrying a flag: the icon stands left of the rank glyph.
    if (flags & (kOutOfPlay | kCarriesFlag)) {
        const int frame = (flags & kOutOfPlay) ? kOutFrame : kFlagFrame;
        // As tall as the second line's texts, its top-left at the icon's place.
        const CSprite::Rect r = menus->frameRect(frame);
        const float s = r.h > 0.0f ? kIconUnits * u * c.textScale / r.h : 1.0f;
        menus->setScale(s, s);
        menus->drawFrame(frame, x + c.iconX - r.x * s, y + c.iconY - r.y * s);
        menus->setScale(1.0f, 1.0f);
    }
    const float swatchX = x + static_cast<float>(swatchLeft());
    const float swatchY = y + c.swatchTop;
    menus->drawNinePatch(kSwatchFrame, swatchX, swatchY, h, h / 2.0f);
    const Color4 colour = markerColour >= 0 && markerColour < static_cast<int>(kMarkerColours.size())
                              ? kMarkerColours[static_cast<std::size_t>(markerColour)]
                              : kNoMarkerColour;
    drawFilledRect(swatchX + 4.0f * u, swatchY + 4.0f * u, h - 8.0f * u, h / 2.0f - 8.0f * u, colour.r, colour.g,
                   colour.b, colour.a);
    if (showsMute()) {
        const bool muted = HudMessageQueue::instance().players().contains(EntityHandle(t));
        const int frame = muted ? kMuteOnFrame : kMuteOffFrame;
        const CSprite::Rect r = menus->frameRect(frame);
        // Centred in the mute strip, level with the swatch.
        const float stripLeft = swatchX - 10.0f * u - 4.0f * h / 5.0f;
        menus->drawFrame(frame, stripLeft + (4.0f * h / 5.0f - r.w) / 2.0f - r.x,
                         swatchY + h / 4.0f - r.h / 2.0f - r.y);
    }
}
