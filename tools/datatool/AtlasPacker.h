#pragma once
#include <vector>

// Places rectangles in a texture atlas: shelves filled left to right, taller
// rectangles first, `padding` pixels around each (filled by the caller with
// the rectangle's edge pixels so that filtering never reads a neighbour).
struct AtlasPlacement {
    int x = 0, y = 0;   // top-left of the rectangle itself, inside its padding
};
struct AtlasLayout {
    int width = 0, height = 0;   // powers of two
    std::vector<AtlasPlacement> placements;   // in the order of the sizes given
};

struct AtlasSize {
    int w = 0, h = 0;
};
// False when a rectangle is wider than maxSide or the atlas would need to be
// taller than maxSide.
[[nodiscard]] bool packAtlas(const std::vector<AtlasSize>& sizes, int padding, int maxSide, AtlasLayout& out);
