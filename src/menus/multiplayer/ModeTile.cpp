#include "menus/multiplayer/ModeTile.h"

#include "platform/Language.h"
#include "render/2d/CFont.h"
#include "render/2d/CSprite.h"
#include "render/2d/SpriteSets.h"

#include <algorithm>

namespace mode_tile {
namespace {
constexpr int kNameFont = 1;
// The icons' art is 150 pixels high; its plate runs from 8 in at the sides,
// from 110 to 142 down.
constexpr float kArtHeight = 150.0f, kPlateInset = 8.0f, kPlateTop = 110.0f, kPlateBottom = 142.0f;
}  // namespace

int iconFrame(int gameType)
{
    switch (gameType) {
    case 3: return 33;
    case 4: return 29;
    case 5: return 35;
    case 6: return 37;
    case 10: return 44;
    case 13: return 55;
    default: return 36;
    }
}

int nameString(int gameType)
{
    switch (gameType) {
    case 3: return 48;
    case 4: return 17;
    case 5: return 21;
    case 6: return 881;
    case 10: return 888;
    case 13: return 25;
    default: return 26;
    }
}

NamePlace namePlace(int gameType)
{
    NamePlace place;
    const CSprite* art = getSprite(kSpriteSetMenus);
    if (!art)
        return place;
    const CSprite::Rect icon = art->frameRect(iconFrame(gameType));
    const float k = icon.h / kArtHeight;
    place.plateWidth = icon.w - 2.0f * kPlateInset * k;
    place.plateHeight = (kPlateBottom - kPlateTop) * k;
    place.centreX = icon.w / 2.0f;
    place.centreY = (kPlateTop + kPlateBottom) / 2.0f * k;
    const CFont* font = getFont(kNameFont);
    const CFont::TextSize size = measureText(font, getStringByIndex(nameString(gameType)));
    const float line = font ? font->lineHeight() : 0.0f;
    if (size.width > place.plateWidth && size.width > 0.0f)
        place.scale = place.plateWidth / size.width;
    if (line * place.scale > place.plateHeight && line > 0.0f)
        place.scale = place.plateHeight / line;
    place.width = size.width * place.scale;
    place.height = line * place.scale;
    return place;
}

void draw(int gameType, float x, float y, float scale)
{
    CSprite* art = getSprite(kSpriteSetMenus);
    if (!art)
        return;
    art->setScale(scale, scale);
    art->drawFrame(iconFrame(gameType), x, y);
    art->setScale(1.0f, 1.0f);
    CFont* font = getFont(kNameFont);
    if (!font)
        return;
    const NamePlace place = namePlace(gameType);
    font->setScale(place.scale * scale, place.scale * scale);
    font->draw(getStringByIndex(nameString(gameType)), x + place.centreX * scale, y + place.centreY * scale,
               CFont::kCentreX | CFont::kCentreY);
    font->setScale(1.0f, 1.0f);
}

}  // namespace mode_tile
