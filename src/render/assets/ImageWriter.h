#pragma once
#include <cstdint>
#include <span>
#include <string>

// Writes RGBA8 pixels as an RGB PNG file. `rgba` holds width x height pixels
// with the bottom row first, as read back from a render target. False when
// the sizes disagree or the file cannot be written.
[[nodiscard]] bool writePngFile(const std::string& path, int width, int height, std::span<const std::uint8_t> rgba);
