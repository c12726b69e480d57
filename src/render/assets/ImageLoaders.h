#pragma once
#include "render/assets/TextureImage.h"

class File;

// File decoders behind Texture2D. They need no GL context. Each returns false,
// with `out` untouched, on a damaged or short file, and never reads past its end.

// PNG of any color type, expanded to RGBA8 with the color multiplied by
// alpha (every blend of the game expects premultiplied texels). One level.
[[nodiscard]] bool decodePng(File& file, TextureImage& out);
// Only the rows firstRow to firstRow + rowCount - 1 (cut at the image's end;
// a negative count: to the end), decoded without holding the other rows.
[[nodiscard]] bool decodePngRows(File& file, int firstRow, int rowCount, TextureImage& out);

// Headerless texels of a size the caller knows: LuminanceAlpha8 or Alpha8
// (any format is accepted). A file shorter than width x height x bytes per
// texel is rejected; bytes past that are ignored.
[[nodiscard]] bool decodeRaw(File& file, TextureFormat format, int width, int height, TextureImage& out);
