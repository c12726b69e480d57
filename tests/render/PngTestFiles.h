#pragma once
#include <cstdint>
#include <string>
#include <vector>

// PNG bytes made with libpng's writer: `pixels` rows top first, in the
// color type's own layout (channels x 8 bits).
std::string encodeTestPng(int width, int height, int colorType, const std::vector<std::uint8_t>& pixels,
                          const std::vector<std::uint8_t>& palette = {});
