#pragma once
#include <span>
#include <string_view>

class CFont;
class CSprite;

// The sprite sets and fonts of the game, by fixed number, loaded on first use.
constexpr int kSpriteSetCount = 46;
constexpr int kSpriteSetHud = 2;
constexpr int kSpriteSetMenus = 7;
constexpr int kMenuPanelFrame = 95;   // the menus' nine-patch box
constexpr int kFontCount = 3;   // 0 the HUD font, 1 small, 2 big

// The set names in number order, without the ".bspr" the loader appends.
std::span<const std::string_view> spriteSetNames();
// The number of the set with that name (with or without ".bspr"); -1 when none.
int spriteSetByName(std::string_view name);

// The screen's sprite scale (1, 1.5, 2 or 4 by screen height), by which sheets
// and fonts are loaded; set when the window is made, before the first load.
void setSpriteLoadScale(float scale);
float spriteLoadScale();

// The sprite set, loaded on first use: "<name>_low.bspr" first below quality
// tier 2, "<name>_2x.bspr" first at sprite scales above 2, then "<name>.bspr".
// Never null: an unknown number or a set that fails to load gives an empty
// sprite that draws nothing (a failed set is tried again after unloadSprite).
CSprite* getSprite(int set);
// Changes when the renderer lets go of everything it loaded (its restart):
// the sprites and fonts are unloaded then. A pointer from getSprite or getFont
// stays good for the program's life; what was built from the sheet's frames
// then, laid out anew.
unsigned spriteTablesGeneration();
// Drops the set's texture reference and marks it unloaded.
void unloadSprite(int set);
// Whether the set is loaded now; never loads it.
bool spriteLoaded(int set);
// Lets a loaded set's texture go but keeps its frames (pages keep their
// layout); its next draw loads the texture again.
void releaseSpriteTexture(int set);
// Whether the set is loaded with its texture; never loads it.
bool spriteTextureResident(int set);
// A few frames of a set (the same variant and scale) on a small texture of
// their own, loaded on first use, for what draws only those frames while the
// set's texture is let go; other frames draw nothing. Never null.
// The menus' panel (kMenuPanelFrame): the HUD's message boxes in play.
CSprite* getMenuPanelSprite();
// The HUD sheet's four screen corners (kHudCornerFrames): the menu pages'
// frame, while the HUD's sheet waits for a page that draws more of it.
constexpr int kHudCornerFrames[] = {133, 134, 135, 136};
CSprite* getHudCornersSprite();
// Loads the sets and fonts the menus draw first (7, 2, 11, 17, fonts 0 to 2);
// sets already loaded are skipped, so any menu loading step may call it.
void preloadMenuSprites();

// The font, loaded on first use from "data/fonts/font<n>_<code>.bspr" when the
// interface language (code in lower case, "ja") has its own, else from
// "data/fonts/font<n>.bspr"; an empty font (draws and measures nothing) for an
// unknown number or a failed load.
CFont* getFont(int id);
// Frees every loaded font; each loads again on its next use, in the file of
// the language then current. A loaded HUD font is loaded again at once.
void reloadFonts();
// The HUD font loaded again at `scale`.
CFont* loadHudFont(float scale);
