#pragma once
#include "render/assets/TextureImage.h"

#include <cstdint>
#include <span>
#include <vector>

// The game's .pvr texture container: uncompressed texels with an optional mip
// chain. Little-endian, 16-byte header followed by every level, largest first,
// tightly packed:
//   char magic[4] = "SPVR"
//   u16  version  = 1
//   u16  format   (TextureFormat number)
//   u16  width, height   (1 .. kMaxTextureSide)
//   u16  mipCount        (1 .. full chain length)
//   u16  reserved = 0
// The file holds exactly the header plus the bytes of every level; anything
// shorter or longer is damaged.
constexpr std::size_t kPvrHeaderBytes = 16;
constexpr std::uint16_t kPvrVersion = 1;

// The file bytes of an image; empty when the image is inconsistent (no
// levels, a level of the wrong size, a size out of range). The data tool writes
// textures through this.
std::vector<std::uint8_t> encodePvr(const TextureImage& image);

// Reads a .pvr. `dropLevels` skips that many top mip levels (kept only when the
// file has more levels than that), for the reduced textures of low tiers.
// False, with `out` untouched, when the header, the sizes or the length disagree.
[[nodiscard]] bool decodePvr(std::span<const std::uint8_t> bytes, TextureImage& out, int dropLevels = 0);
