#pragma once
#include <vector>

// Places rectangles in a texture atlas: taller rectangles first, each where
// its top ends lowest on what is placed so far, at the power-of-two width that
// needs the fewest texels; `padding` pixels around each (filled by the caller
// with the rectangle's edge pixels so that filtering never reads a neighbour).
struct AtlasPlacement {
    int x = 0, y = 0;   // top-left of the rectangle itself, inside its padding
};
// Rows of texels the atlas height is rounded up to.
inline constexpr int kHeightStep = 4;

struct AtlasLayout {
    int width = 0;    // a power of two
    int height = 0;   // the shelves' height rounded up to kHeightStep
    std::vector<AtlasPlacement> placements;   // in the order of the sizes given
};

struct AtlasSize {
    int w = 0, h = 0;
};
// False when a rectangle is wider than maxSide or the atlas would need to be
// taller than maxSide.
[[nodiscard]] bool packAtlas(const std::vector<AtlasSize>& sizes, int padding, int maxSide, AtlasLayout& out);
