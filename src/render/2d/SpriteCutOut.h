#pragma once
#include "render/2d/SpriteSheet.h"
#include "render/assets/TextureImage.h"

#include <span>

// A few frames of a large sheet on a small texture of their own, for a
// stretch of the game that draws only those frames: the big texture can go.
//
// The sheet keeps every frame, part and module number; the modules of the
// kept frames move to the small texture, each with a border of the texels
// that surrounded it (a filtered edge samples the same neighbours as on the
// full sheet); every other module becomes empty, so other frames draw
// nothing and measure 0 x 0. False, with the outputs untouched, when the
// image is not the sheet's size, a frame number is unknown or the cut-out
// would be too large.
[[nodiscard]] bool cutOutFrames(const SpriteSheet& sheet, const TextureImage& image, std::span<const int> frames,
                                SpriteSheet& cutSheet, TextureImage& cutImage);

// The rows of the sheet's texture that a cut-out of `frames` reads (their
// modules with the borders above): `firstRow` and, as `band`, the sheet as
// seen from a texture of only those rows, modules off them emptied. A cut of
// the band's texels gives the same texture and sheet as a cut of the whole.
[[nodiscard]] bool cutOutBand(const SpriteSheet& sheet, std::span<const int> frames, SpriteSheet& band,
                              int& firstRow);
