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
    const int bandTop = absY + static_cast<int>(10.0f * u);
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

ScoreEntry::Columns ScoreEntry::columns(int rowWidth, int rowHeight, bool extraColumn, bool muteStrip)
{
    const float u = unit();
    const float w = static_cast<float>(rowWidth), h = static_cast<float>(rowHeight);
    // The mute strip and the swatch keep their places at the right end; the
    // number columns stand right before them, and the name has what is left.
    const float swatch = w - 5.0f * h / 4.0f;
    const float right = swatch - (muteStrip ? 10.0f * u + 4.0f * h / 5.0f + 6.0f * u : 12.0f * u);
    Columns c;
    c.placeRight = 36.0f * u;
    c.glyph = 52.0f * u;
    c.nameLeft = 68.0f * u;
    const float numbers = extraColumn ? 3.0f : 2.0f;
    const float wanted = (numbers * 66.0f + 84.0f) * u;
    const float room = right - c.nameLeft - 120.0f * u;
    // Narrow rows (team tables on small screens) squeeze the columns and the
    // text a little before the name gets cut.
    const float k = std::clamp(room / wanted, 0.55f, 1.0f);
    c.columnWidth = 66.0f * u * k;
    c.planeWidth = 84.0f * u * k;
    c.textScale = k < 1.0f ? std::max(0.5f + 0.5f * k, 0.78f) : 1.0f;
    c.plane = right - c.planeWidth / 2.0f;
    float x = right - c.planeWidth;
    if (extraColumn) {
        c.extra = x - c.columnWidth / 2.0f;
        x -= c.columnWidth;
    }
    c.deaths = x - c.columnWidth / 2.0f;
    x -= c.columnWidth;
    c.score = x - c.columnWidth / 2.0f;
    x -= c.columnWidth;
    c.nameRight = std::max(x - 6.0f * u, c.nameLeft);
    return c;
}

float ScoreEntry::lineCentre(int rowHeight)
{
    return 10.0f * unit() + static_cast<float>(rowHeight) / 4.0f;
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
    const float lineY = y + lineCentre(height);
    CSprite* menus = getSprite(kSpriteSetMenus);
    // The shade of odd rows is centred on the row's line.
    if (alternate && menus)
        menus->drawNinePatch(kShadeFrame, x, lineY - h / 2.0f, w, h);
    CFont* font = getFont(0);
    if (!font)
        return;
    const Columns c = columns(width, height, hasExtraColumn(), networkGame);
    const Color4 saved = font->color();
    const float oldScaleX = font->scaleX(), oldScaleY = font->scaleY();
    const float scale = c.textScale;
    font->setScale(oldScaleX * scale, oldScaleY * scale);
    font->setColor(kDefaultTextColor);
    constexpr int centred = CFont::kCentreX | CFont::kCentreY;
    char16_t text[96];
    wideFormat(text, 96, "%d.", position);
    drawText(font, text, x + c.placeRight, lineY, CFont::kRight | CFont::kCentreY);
    // Out of play or carrying a flag: that icon stands in for the rank glyph
    // (drawn below), as the one line has no other room for it.
    const bool statusIcon = menus && (flags & (kOutOfPlay | kCarriesFlag));
    if (!statusIcon) {
        const int rank = std::clamp(t->rank(), 0, 17);
        const char16_t glyph[2] = {static_cast<char16_t>(kFirstRankGlyph + rank), 0};
        drawText(font, glyph, x + c.glyph, lineY, centred);
    }
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
        m_shownPlane = fit(std::u16string(plane.begin(), plane.end()), c.planeWidth - 4.0f * u, 0.7f, m_planeShrink);
    }
    font->setScale(lineScaleX * m_nameShrink, lineScaleY * m_nameShrink);
    drawText(font, m_shownName, x + c.nameLeft, lineY, CFont::kCentreY);
    font->setScale(lineScaleX, lineScaleY);
    wideFormat(text, 96, "%d", scoreOf(*t, Airplane::kScorePoints));
    drawText(font, text, x + c.score, lineY, centred);
    wideFormat(text, 96, "%d", scoreOf(*t, Airplane::kScoreDeaths));
    drawText(font, text, x + c.deaths, lineY, centred);
    if (c.extra >= 0.0f) {
        if (gameType == GameType::DestroyTheBase)
            wideFormat(text, 96, "%d", scoreOf(*t, Airplane::kScoreBases));
        else
            wideFormat(text, 96, "%d/%d", scoreOf(*t, Airplane::kScoreFlagsCaptured),
                       scoreOf(*t, Airplane::kScoreFlagsReturned));
        drawText(font, text, x + c.extra, lineY, centred);
    }
    // A pilot without a plane record gets an empty plane column.
    font->setScale(lineScaleX * m_planeShrink, lineScaleY * m_planeShrink);
    drawText(font, m_shownPlane, x + c.plane, lineY, centred);
    font->setColor(saved);
    font->setScale(oldScaleX, oldScaleY);
    if (!menus)
        return;
    if (statusIcon) {
        const int frame = (flags & kOutOfPlay) ? kOutFrame : kFlagFrame;
        const CSprite::Rect r = menus->frameRect(frame);
        const float side = 26.0f * u;
        const float s = r.h > 0.0f ? side / r.h : 1.0f;
        menus->setScale(s, s);
        menus->drawFrame(frame, x + c.glyph - r.w * s / 2.0f - r.x * s, lineY - r.h * s / 2.0f - r.y * s);
        menus->setScale(1.0f, 1.0f);
    }
    const float swatchX = x + static_cast<float>(swatchLeft());
    const float swatchY = y + 10.0f * u;
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
        menus->drawFrame(frame, stripLeft + (4.0f * h / 5.0f - r.w) / 2.0f - r.x, lineY - r.h / 2.0f - r.y);
    }
}
