#pragma once
#include "render/assets/TextureImage.h"

#include <cstdint>
#include <functional>

class File;

// File decoders behind Texture2D. They need no GL context. Each returns false,
// with `out` untouched, on a damaged or short file, and never reads past its end.

// PNG of any color type, expanded to RGBA8 with the color multiplied by
// alpha (every blend of the game expects premultiplied texels). One level.
[[nodiscard]] bool decodePng(File& file, TextureImage& out);
// Only the rows firstRow to firstRow + rowCount - 1 (cut at the image's end;
// a negative count: to the end), decoded without holding the other rows.
[[nodiscard]] bool decodePngRows(File& file, int firstRow, int rowCount, TextureImage& out);
// The image a band of `bandRows` rows at a time (the last may be shorter), as
// decodePng gives them, so that no more than a band is ever held: `start`
// gets the size first and may decline; `band` gets each band's premultiplied
// RGBA8 rows and may stop the decode. False when either declines, the file
// is damaged or short, or the image is interlaced (its rows come together
// only at the last pass); what `band` took of a failed decode is not whole.
[[nodiscard]] bool decodePngBands(File& file, int bandRows, const std::function<bool(int width, int height)>& start,
                                  const std::function<bool(int firstRow, int rows, const std::uint8_t* rgba)>& band);

// Headerless texels of a size the caller knows: LuminanceAlpha8 or Alpha8
// (any format is accepted). A file shorter than width x height x bytes per
// texel is rejected; bytes past that are ignored.
[[nodiscard]] bool decodeRaw(File& file, TextureFormat format, int width, int height, TextureImage& out);
