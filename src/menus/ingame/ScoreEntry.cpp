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
    CSprite* menus = getSprite(kSpriteSetMenus);
    if (alternate && menus)
        menus->drawNinePatch(kShadeFrame, x, y + 9.0f * u, w, h);
    CFont* font = getFont(0);
    if (!font)
        return;
    const Color4 saved = font->color();
    font->setColor(kDefaultTextColor);
    char16_t text[96];
    const float lineTop = y + (teamLayout ? 25.0f : 20.0f) * u;
    const float placeX = x + (teamLayout ? 50.0f : 60.0f) * u;
    wideFormat(text, 96, "%d.", position);
    drawText(font, text, placeX, lineTop, CFont::kRight);
    const int rank = std::clamp(t->rank(), 0, 17);
    const char16_t glyph[2] = {static_cast<char16_t>(kFirstRankGlyph + rank), 0};
    const float glyphY = (screenMetrics().spriteScale >= 4.0f ? 65.0f : 59.0f) * u;
    drawText(font, glyph, x + (teamLayout ? 87.5f : 90.0f) * u, y + glyphY, CFont::kCentreX | CFont::kCentreY);
    if (own)
        font->setColor(kOwnRowColour);
    drawText(font, t->pilotName, placeX, lineTop, 0);
    if (menus) {
        if (flags & kOutOfPlay)
            menus->drawFrame(kOutFrame, x + 33.0f * u, y + 43.0f * u);
        else if (flags & kCarriesFlag)
            menus->drawFrame(kFlagFrame, x + 33.0f * u, y + 43.0f * u);
    }
    const bool objective = gameType == GameType::CaptureTheFlag || gameType == GameType::DestroyTheBase;
    const float shift = teamLayout && objective ? -30.0f : 0.0f;
    const float scoreX = (teamLayout ? 160.0f : 150.0f) + shift;
    const float deathsX = 240.0f + shift;
    const float planeX = (teamLayout && objective ? 400.0f : teamLayout ? 320.0f : 330.0f) + shift;
    const float columnY = y + (teamLayout ? 55.0f : 55.0f) * u;
    wideFormat(text, 96, "%d", scoreOf(*t, Airplane::kScorePoints));
    drawText(font, text, x + scoreX * u, columnY, CFont::kCentreX | CFont::kCentreY);
    wideFormat(text, 96, "%d", scoreOf(*t, Airplane::kScoreDeaths));
    drawText(font, text, x + deathsX * u, columnY, CFont::kCentreX | CFont::kCentreY);
    if (teamLayout && gameType == GameType::DestroyTheBase) {
        wideFormat(text, 96, "%d", scoreOf(*t, Airplane::kScoreBases));
        drawText(font, text, x + (320.0f + shift) * u, columnY, CFont::kCentreX | CFont::kCentreY);
    } else if (teamLayout && gameType == GameType::CaptureTheFlag) {
        wideFormat(text, 96, "%d/%d", scoreOf(*t, Airplane::kScoreFlagsCaptured),
                   scoreOf(*t, Airplane::kScoreFlagsReturned));
        drawText(font, text, x + (320.0f + shift) * u, columnY, CFont::kCentreX | CFont::kCentreY);
    }
    // A pilot without a plane record gets an empty plane column.
    const std::string shortName = t->planeRecord ? t->planeRecord->shortname : std::string();
    wideFormat(text, 96, "%s", shortName);
    drawText(font, text, x + planeX * u, columnY, CFont::kCentreX | CFont::kCentreY);
    font->setColor(saved);
    if (!menus)
        return;
    const float swatchX = x + static_cast<float>(swatchLeft());
    const float swatchY = y + 10.0f * u;
    menus->drawNinePatch(kSwatchFrame, swatchX, swatchY, h, h / 2.0f);
    const Color4 c = markerColour >= 0 && markerColour < static_cast<int>(kMarkerColours.size())
                         ? kMarkerColours[static_cast<std::size_t>(markerColour)]
                         : kNoMarkerColour;
    drawFilledRect(swatchX + 4.0f * u, swatchY + 4.0f * u, h - 8.0f * u, h / 2.0f - 8.0f * u, c.r, c.g, c.b, c.a);
    if (showsMute()) {
        const bool muted = HudMessageQueue::instance().players().contains(EntityHandle(t));
        const int frame = muted ? kMuteOnFrame : kMuteOffFrame;
        const CSprite::Rect r = menus->frameRect(frame);
        const float iconX = swatchX - 10.0f * u - 4.0f * h / 5.0f;
        menus->drawFrame(frame, iconX - r.x, swatchY - r.y);
    }
}
