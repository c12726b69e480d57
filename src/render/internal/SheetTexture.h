#pragma once
#include "render/2d/SpriteSheet.h"
#include "render/Texture2D.h"

#include <string>
#include <string_view>


// Reads a .bspr by name through the file layer; false (with a log line naming
// the file) when it is missing or damaged.
[[nodiscard]] bool readSheetFile(std::string_view path, SpriteSheet& out);
// The texture file of a sheet: its texture name taken relative to the sheet's
// folder, or the sheet's own name with ".png" for ".bspr" when it names none.
std::string sheetTextureName(std::string_view sheetPath, const SpriteSheet& sheet);
// The sheet's texture; empty when it cannot be loaded or its size differs
// from the size the sheet's UVs were made for.
TextureRef acquireSheetTexture(std::string_view sheetPath, const SpriteSheet& sheet);
// True when the file layer can open the name (pak entries included).
bool sheetFileExists(std::string_view path);
// The renderer's quality tier (0 to 3): below 2 the low-detail sheets are used.
int spriteQualityTier();
