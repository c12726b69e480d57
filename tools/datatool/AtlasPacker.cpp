#include "AtlasPacker.h"

#include <algorithm>
#include <limits>
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

// The top of what is packed so far, as runs of equal height left to right.
struct Run {
    int x, y, w;
};

// Packs the padded rectangles in `order` into `width` columns: each goes where
// its top ends lowest along the skyline (leftmost of equals), so short pieces
// fill the room beside tall ones instead of a shelf's blank remainder.
bool packSkyline(const std::vector<AtlasSize>& sizes, const std::vector<std::size_t>& order, int padding, int width,
                 int maxSide, AtlasLayout& out)
{
    std::vector<Run> sky{{0, 0, width}};
    AtlasLayout layout;
    layout.width = width;
    layout.placements.resize(sizes.size());
    int top = 0;
    for (std::size_t i : order) {
        const int w = sizes[i].w + 2 * padding, h = sizes[i].h + 2 * padding;
        int bestY = std::numeric_limits<int>::max(), bestX = 0;
        std::size_t bestRun = 0;
        for (std::size_t r = 0; r < sky.size(); ++r) {
            if (sky[r].x + w > width)
                break;
            int y = 0, covered = 0;
            for (std::size_t k = r; k < sky.size() && covered < w; ++k) {
                y = std::max(y, sky[k].y);
                covered += sky[k].w;
            }
            if (y < bestY) {
                bestY = y;
                bestX = sky[r].x;
                bestRun = r;
            }
        }
        if (bestY == std::numeric_limits<int>::max() || bestY + h > maxSide)
            return false;
        layout.placements[i] = AtlasPlacement{bestX + padding, bestY + padding};
        top = std::max(top, bestY + h);
        // The new run replaces what it covers; a run it covers in part keeps its rest.
        const int end = bestX + w;
        std::size_t k = bestRun;
        while (k < sky.size() && sky[k].x + sky[k].w <= end)
            ++k;
        std::vector<Run> next(sky.begin(), sky.begin() + static_cast<std::ptrdiff_t>(bestRun));
        next.push_back({bestX, bestY + h, w});
        if (k < sky.size()) {
            Run rest = sky[k];
            rest.w -= end - rest.x;
            rest.x = end;
            if (rest.w > 0)
                next.push_back(rest);
            next.insert(next.end(), sky.begin() + static_cast<std::ptrdiff_t>(k) + 1, sky.end());
        }
        // Neighbours of one height are one run.
        sky.clear();
        for (const Run& run : next) {
            if (!sky.empty() && sky.back().y == run.y)
                sky.back().w += run.w;
            else
                sky.push_back(run);
        }
    }
    // Only as tall as the pieces reach: a power of two would leave up to half
    // the texture blank, and every sheet is sampled clamped without mipmaps,
    // which any height allows.
    layout.height = roundUp(std::max(top, 1), kHeightStep);
    if (layout.height > maxSide)
        return false;
    out = std::move(layout);
    return true;
}
}  // namespace

bool packAtlas(const std::vector<AtlasSize>& sizes, int padding, int maxSide, AtlasLayout& out)
{
    int widest = 1;
    for (const AtlasSize& s : sizes)
        widest = std::max(widest, s.w + 2 * padding);
    const int narrowest = nextPowerOfTwo(std::max(widest, 64));
    if (narrowest > maxSide)
        return false;

    // Tallest first, then widest, each placed where it ends lowest.
    std::vector<std::size_t> order(sizes.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
        return sizes[a].h != sizes[b].h ? sizes[a].h > sizes[b].h : sizes[a].w > sizes[b].w;
    });
    // Of the widths that fit, the one that needs the fewest texels; of equal
    // ones the narrower.
    bool found = false;
    long long bestArea = 0;
    for (int width = narrowest; width <= maxSide; width *= 2) {
        AtlasLayout layout;
        if (!packSkyline(sizes, order, padding, width, maxSide, layout))
            continue;
        const long long area = static_cast<long long>(layout.width) * layout.height;
        if (!found || area < bestArea) {
            found = true;
            bestArea = area;
            out = std::move(layout);
        }
    }
    return found;
}
