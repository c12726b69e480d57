#pragma once
#include "render/assets/TextureImage.h"

#include <cstdint>
#include <string>

class DataContext;

// A colour channel 0..1 as a byte, clamped.
std::uint8_t toByte(float v);
// Writes the image as a .pvr with its whole mip chain; false, with the fault
// reported to the context, when it cannot.
bool writeMippedPvr(DataContext& context, const std::string& name, TextureImage image);
// The same for an RGB picture kept at 16 bits a texel (5-6-5): the levels are
// averaged at 8 bits first, then each rounded. Half the memory of RGB, which
// the GL widens to four bytes a texel.
bool writeMippedPvr565(DataContext& context, const std::string& name, TextureImage rgb);
// An RGB image as 5-6-5 texels, each channel rounded to its nearest step;
// empty levels when the image is not RGB.
TextureImage toRgb565(const TextureImage& rgb);
