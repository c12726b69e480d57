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
