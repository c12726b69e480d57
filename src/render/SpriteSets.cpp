#include "render/SpriteSets.h"

#include "render/CFont.h"
#include "render/CSprite.h"
#include "render/internal/SheetTexture.h"

#include <array>
#include <memory>
#include <string>

namespace {

// Sets 1, 4 and 18 are not used by the game; their empty names never match
// and never load.
constexpr std::array<std::string_view, kSpriteSetCount> kSetNames = {
    "data/sprites/keyboard",         "",
    "data/sprites/hud_wwii",         "data/sprites/particles",
    "",                              "data/sprites/loading",
    "data/sprites/splats",           "data/sprites/menus",
    "data/sprites/campaign0_thumbs", "data/sprites/campaign1_thumbs",
    "data/sprites/campaign2_thumbs", "data/sprites/mapThumbs",
    "data/sprites/achievements",     "data/sprites/tutorial",
    "data/sprites/tutorialThumbs",   "data/sprites/flags",
    "data/sprites/logo",             "data/sprites/ranks",
    "",                              "data/sprites/noticeIcons",
    "data/sprites/photo",            "data/sprites/campaign_map",
    "data/sprites/c1m1",             "data/sprites/c1m2",
    "data/sprites/c1m3",             "data/sprites/c1m4",
    "data/sprites/c1m5",             "data/sprites/c1m6",
    "data/sprites/c1m7",             "data/sprites/c1m8",
    "data/sprites/c2m1",             "data/sprites/c2m2",
    "data/sprites/c2m3",             "data/sprites/c2m4",
    "data/sprites/c2m5",             "data/sprites/c2m6",
    "data/sprites/c2m7",             "data/sprites/c2m8",
    "data/sprites/c3m1",             "data/sprites/c3m2",
    "data/sprites/c3m3",             "data/sprites/c3m4",
    "data/sprites/c3m5",             "data/sprites/c3m6",
    "data/sprites/c3m7",             "data/sprites/c3m8",
};

struct SpriteSlot {
    CSprite sprite;
    bool tried = false;   // a failed load is not retried every frame
};

float g_loadScale = 2.0f;
std::array<SpriteSlot, kSpriteSetCount> g_sets;
SpriteSlot g_hudSprite;
CSprite g_emptySprite;

struct FontSlot {
    CFont font;
    bool tried = false;
};
std::array<FontSlot, kFontCount> g_fonts;
FontSlot g_hudFont;
CFont g_emptyFont;

// Loads the first variant of a sheet that exists: low detail, high density, plain.
bool loadSetVariant(CSprite& sprite, std::string_view name, float scale)
{
    const std::string base(name);
    if (spriteQualityTier() < 2 && sheetFileExists(base + "_low.bspr") && sprite.load(base + "_low.bspr", scale))
        return true;
    if (g_loadScale > 2.0f && sheetFileExists(base + "_2x.bspr") && sprite.load(base + "_2x.bspr", scale))
        return true;
    return sprite.load(base + ".bspr", scale);
}

std::string fontPath(int id)
{
    return "data/fonts/font" + std::to_string(id) + ".bspr";
}

}  // namespace

std::span<const std::string_view> spriteSetNames()
{
    return kSetNames;
}

int spriteSetByName(std::string_view name)
{
    if (name.size() >= 5 && name.substr(name.size() - 5) == ".bspr")
        name.remove_suffix(5);
    if (name.empty())
        return -1;
    for (int i = 0; i < kSpriteSetCount; ++i) {
        if (kSetNames[static_cast<std::size_t>(i)] == name)
            return i;
    }
    return -1;
}

void setSpriteLoadScale(float scale)
{
    if (scale > 0.0f)
        g_loadScale = scale;
}

float spriteLoadScale()
{
    return g_loadScale;
}

CSprite* getSprite(int set, int, int)
{
    if (set < 0 || set >= kSpriteSetCount)
        return &g_emptySprite;
    SpriteSlot& slot = g_sets[static_cast<std::size_t>(set)];
    const std::string_view name = kSetNames[static_cast<std::size_t>(set)];
    if (!slot.sprite.isLoaded() && !slot.tried && !name.empty()) {
        slot.tried = true;
        if (!loadSetVariant(slot.sprite, name, g_loadScale))
            slot.sprite.free();
    }
    return &slot.sprite;
}

void unloadSprite(int set)
{
    if (set < 0 || set >= kSpriteSetCount)
        return;
    SpriteSlot& slot = g_sets[static_cast<std::size_t>(set)];
    slot.sprite.free(true);
    slot.tried = false;
}

CSprite* loadHudSprite(float scale)
{
    g_hudSprite.sprite.free(true);
    if (!loadSetVariant(g_hudSprite.sprite, kSetNames[kSpriteSetHud], scale))
        g_hudSprite.sprite.free();
    return &g_hudSprite.sprite;
}

void preloadMenuSprites(int)
{
    for (int set : {kSpriteSetMenus, kSpriteSetHud, 11, 17})
        getSprite(set);
    for (int id = 0; id < kFontCount; ++id)
        getFont(id);
}

CFont* getFont(int id)
{
    if (id < 0 || id >= kFontCount)
        return &g_emptyFont;
    FontSlot& slot = g_fonts[static_cast<std::size_t>(id)];
    if (!slot.font.isLoaded() && !slot.tried) {
        slot.tried = true;
        if (!slot.font.load(fontPath(id), g_loadScale))
            slot.font.free();
    }
    return &slot.font;
}

void reloadFonts()
{
    for (FontSlot& slot : g_fonts) {
        slot.font.free(true);
        slot.tried = false;
    }
}

CFont* loadHudFont(float scale)
{
    g_hudFont.font.free(true);
    if (!g_hudFont.font.load(fontPath(0), scale))
        g_hudFont.font.free();
    return &g_hudFont.font;
}
