#pragma once
#include "render/2d/CFont.h"
#include "render/2d/CSprite.h"
#include "render/2d/SpriteSheet.h"

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

// The staged menu sheet and fonts read without textures: they measure and
// place exactly as the game's do, and draw nothing.
inline bool readStagedSheet(const std::string& path, SpriteSheet& sheet)
{
    std::ifstream in(std::string(SKYFRONT_STAGE_DIR) + "/" + path, std::ios::binary);
    const std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(in), {}};
    return readSpriteSheet(bytes, sheet);
}

inline CSprite& stagedMenuSprite()
{
    static CSprite sprite;
    if (!sprite.isLoaded()) {
        SpriteSheet sheet;
        if (readStagedSheet("data/sprites/menus.bspr", sheet))
            sprite.loadSheet(std::move(sheet), 2.0f);
    }
    return sprite;
}

inline CFont& stagedMenuFont(int id)
{
    static CFont fonts[3];
    CFont& font = fonts[id];
    if (!font.isLoaded()) {
        SpriteSheet sheet;
        if (readStagedSheet("data/fonts/font" + std::to_string(id) + ".bspr", sheet))
            (void)font.loadSheet(std::move(sheet), 1.0f);
    }
    return font;
}
