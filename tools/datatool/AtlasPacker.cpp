#include "AtlasPacker.h"

#include <algorithm>
#include <numeric>

namespace {
int nextPowerOfTwo(int v)
{
    int p = 1;
    while (p < v)
        p *= 2;
    return p;
}
int roundUp(int v, int step)
{
    return (v + step - 1) / step * step;
}
}  // namespace

bool packAtlas(const std::vector<AtlasSize>& sizes, int padding, int maxSide, AtlasLayout& out)
{
    long long area = 0;
    int widest = 1;
    for (const AtlasSize& s : sizes) {
        area += static_cast<long long>(s.w + 2 * padding) * (s.h + 2 * padding);
        widest = std::max(widest, s.w + 2 * padding);
    }
    // Roughly square: the side of the area, at least the widest rectangle.
    int width = nextPowerOfTwo(std::max(widest, 64));
    while (static_cast<long long>(width) * width < area && width < maxSide)
        width *= 2;
    if (widest > width || width > maxSide)
        return false;

    std::vector<std::size_t> order(sizes.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) { return sizes[a].h > sizes[b].h; });

    AtlasLayout layout;
    layout.placements.resize(sizes.size());
    int x = 0, y = 0, shelfHeight = 0;
    for (std::size_t i : order) {
        const int w = sizes[i].w + 2 * padding, h = sizes[i].h + 2 * padding;
        if (x + w > width) {
            y += shelfHeight;
            x = 0;
            shelfHeight = 0;
        }
        layout.placements[i] = AtlasPlacement{x + padding, y + padding};
        x += w;
        shelfHeight = std::max(shelfHeight, h);
    }
    layout.width = width;
    // Only as tall as the shelves reach: a power of two would leave up to
    // half the texture blank, and every sheet is sampled clamped without
    // mipmaps, which any height allows.
    layout.height = roundUp(std::max(y + shelfHeight, 1), kHeightStep);
    if (layout.height > maxSide)
        return false;
    out = std::move(layout);
    return true;
}
