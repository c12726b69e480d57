#pragma once
#include "render/assets/TextureImage.h"

#include <cstddef>
#include <string>

// What the GL holds for the game: textures (with their mip levels), render
// targets and vertex and index buffers, counted in the bytes the software
// renderer stores them in rather than the formats' nominal sizes.
struct GpuMemoryTally {
    std::size_t textureBytes = 0;   // loaded and made textures, render targets' colour excluded
    std::size_t targetBytes = 0;    // render targets: colour plus depth and stencil
    std::size_t bufferBytes = 0;
    int textures = 0, targets = 0, buffers = 0;
    std::size_t total() const { return textureBytes + targetBytes + bufferBytes; }
};

// Bytes of one texture of `levels` levels as the software renderer keeps it:
// each level padded to whole 4x4 blocks, rows to 64 bytes, and 3-byte texels
// widened to 4.
std::size_t storedTextureBytes(TextureFormat format, int width, int height, int levels);
// Bytes of a depth (and stencil) buffer of that size.
std::size_t storedDepthBytes(int width, int height, bool withStencil);

// Walks every live texture, render target and buffer.
GpuMemoryTally tallyGpuMemory();
// One line: "textures N (X MiB), targets N (X MiB), buffers N (X MiB)".
std::string describeGpuMemory(const GpuMemoryTally& tally);
// The textures, largest first, one per line (name or "target", size, format,
// levels, MiB), at most `count` of them.
std::string listLargestTextures(int count);
