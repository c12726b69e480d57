#include "render/2d/SpriteSets.h"

#include "platform/Language.h"
#include "render/2d/CFont.h"
#include "render/2d/CSprite.h"
#include "render/internal/RenderGlobals.h"
#include "render/internal/SheetTexture.h"

#include <array>
#include <cctype>
#include <memory>
#include <string>
#include <vector>

namespace {

// Sets 1, 4 and 18 are not used by the game; their empty names never match
// and never load. The particle set 3 lives beside its texture, so the effects
// texture the menu preloads ("data/FX/fx.png", "fx_low.png" below tier 2) is
// the very texture of the sheet and its low-detail variant.
constexpr std::array<std::string_view, kSpriteSetCount> kSetNames = {
    "data/sprites/keyboard",         "",
    "data/sprites/hud_wwii",         "data/FX/fx",
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

SpriteTables& tables()
{
    return renderGlobals().sprites;
}

// The variants of a sheet that exist, in the order they are tried: low
// detail, high density, plain (always named, last).
std::vector<std::string> setVariants(std::string_view name)
{
    const std::string base(name);
    std::vector<std::string> variants;
    if (spriteQualityTier() < 2 && sheetFileExists(base + "_low.bspr"))
        variants.push_back(base + "_low.bspr");
    if (tables().loadScale > 2.0f && sheetFileExists(base + "_2x.bspr"))
        variants.push_back(base + "_2x.bspr");
    variants.push_back(base + ".bspr");
    return variants;
}

// Loads the first variant that loads.
bool loadSetVariant(CSprite& sprite, std::string_view name, float scale)
{
    for (const std::string& path : setVariants(name))
        if (sprite.load(path, scale))
            return true;
    return false;
}

// "font<n>_<language code>.bspr" when the interface language has a font of
// its own (scripts the common fonts lack), else "font<n>.bspr".
std::string fontPath(int id)
{
    const std::string base = "data/fonts/font" + std::to_string(id);
    const int language = currentLanguage();
    if (language >= 0 && language < kLanguageCount) {
        std::string variant = base + "_";
        for (const char* c = languageTable[language].code; *c; ++c)
            variant += static_cast<char>(std::tolower(static_cast<unsigned char>(*c)));
        variant += ".bspr";
        if (sheetFileExists(variant))
            return variant;
    }
    return base + ".bspr";
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
        tables().loadScale = scale;
}

float spriteLoadScale()
{
    return tables().loadScale;
}

CSprite* getSprite(int set)
{
    if (set < 0 || set >= kSpriteSetCount)
        return &tables().emptySprite;
    SpriteSlot& slot = tables().sets[static_cast<std::size_t>(set)];
    const std::string_view name = kSetNames[static_cast<std::size_t>(set)];
    if (!slot.sprite.isLoaded() && !slot.tried && !name.empty()) {
        slot.tried = true;
        if (!loadSetVariant(slot.sprite, name, tables().loadScale))
            slot.sprite.free();
    }
    return &slot.sprite;
}

unsigned spriteTablesGeneration()
{
    return renderGlobals().cachesDropped();
}

bool spriteLoaded(int set)
{
    return set >= 0 && set < kSpriteSetCount && tables().sets[static_cast<std::size_t>(set)].sprite.isLoaded();
}

void releaseSpriteTexture(int set)
{
    if (set >= 0 && set < kSpriteSetCount)
        tables().sets[static_cast<std::size_t>(set)].sprite.releaseTexture();
}

bool spriteTextureResident(int set)
{
    if (!spriteLoaded(set))
        return false;
    return tables().sets[static_cast<std::size_t>(set)].sprite.textureResident();
}

void unloadSprite(int set)
{
    if (set < 0 || set >= kSpriteSetCount)
        return;
    SpriteSlot& slot = tables().sets[static_cast<std::size_t>(set)];
    slot.sprite.free();
    slot.tried = false;
}

namespace {
CSprite* cutOutSlot(SpriteSlot& slot, int set, std::span<const int> frames)
{
    if (!slot.sprite.isLoaded() && !slot.tried) {
        slot.tried = true;
        bool loaded = false;
        for (const std::string& path : setVariants(kSetNames[static_cast<std::size_t>(set)]))
            if ((loaded = slot.sprite.loadCutOut(path, tables().loadScale, frames)))
                break;
        if (!loaded)
            slot.sprite.free();
    }
    return &slot.sprite;
}
}  // namespace

CSprite* getMenuPanelSprite()
{
    const int frames[] = {kMenuPanelFrame};
    return cutOutSlot(tables().menuPanel, kSpriteSetMenus, frames);
}

CSprite* getHudCornersSprite()
{
    return cutOutSlot(tables().hudCorners, kSpriteSetHud, kHudCornerFrames);
}

void preloadMenuSprites()
{
    for (int set : {kSpriteSetMenus, kSpriteSetHud, 11, 17})
        getSprite(set);
    // Few pages draw the ranks or more of the HUD's art than the corners (see
    // getHudCornersSprite): their frames are here for layout, their textures
    // come with the first draw.
    releaseSpriteTexture(17);
    releaseSpriteTexture(kSpriteSetHud);
    for (int id = 0; id < kFontCount; ++id)
        getFont(id);
}

CFont* getFont(int id)
{
    if (id < 0 || id >= kFontCount)
        return &tables().emptyFont;
    FontSlot& slot = tables().fonts[static_cast<std::size_t>(id)];
    if (!slot.font.isLoaded() && !slot.tried) {
        slot.tried = true;
        if (!slot.font.load(fontPath(id), tables().loadScale))
            slot.font.free();
    }
    return &slot.font;
}

void reloadFonts()
{
    for (FontSlot& slot : tables().fonts) {
        slot.font.free();
        slot.tried = false;
    }
    // The HUD keeps its font pointer, so a loaded HUD font is loaded again at
    // once, at its scale, rather than left empty.
    if (tables().hudFont.font.isLoaded())
        loadHudFont(tables().hudFontScale);
}

CFont* loadHudFont(float scale)
{
    CFont& font = tables().hudFont.font;
    font.free();
    tables().hudFontScale = scale;
    if (!font.load(fontPath(0), scale))
        font.free();
    return &font;
}
