#include "render/world/TerrainPatches.h"

#include "render/world/Terrain.h"
#include "platform/Math.h"

#include <algorithm>
#include <cmath>

namespace {

// Skirt rows in vertex order: edge z-min, x-max, z-max, x-min; each runs over
// t = 0..kCells. Gives the grid (i, j) of edge e at position t.
void edgeCell(int edge, int t, int& i, int& j)
{
    constexpr int n = TerrainPatches::kCells;
    switch (edge) {
    case 0: i = t; j = 0; break;
    case 1: i = n; j = t; break;
    case 2: i = t; j = n; break;
    default: i = 0; j = t; break;
    }
}

// Largest difference between the full-detail edge and its level-l linear
// interpolation, over every level.
float edgeError(const float* h)
{
    constexpr int n = TerrainPatches::kCells;
    float worst = 0.0f;
    for (int level = 1; level < TerrainPatches::kLevels; ++level) {
        const int step = 1 << level;
        for (int a = 0; a < n; a += step)
            for (int k = 1; k < step; ++k) {
                const float t = static_cast<float>(k) / static_cast<float>(step);
                const float coarse = h[a] + (h[a + step] - h[a]) * t;
                worst = std::max(worst, std::fabs(coarse - h[a + k]));
            }
    }
    return worst;
}

}  // namespace

bool TerrainPatches::start(const Terrain& terrain)
{
    buildIndices();
    const int grid = terrain.layout().grid;
    if (terrain.empty() || grid <= 0)
        return false;
    m_perSide = (grid + kCells - 1) / kCells;
    m_patchSize = static_cast<float>(kCells) * terrain.layout().cellSize;
    m_patches.reserve(static_cast<std::size_t>(m_perSide) * static_cast<std::size_t>(m_perSide));
    return true;
}

TerrainPatches::TerrainPatches(const Terrain& terrain)
{
    if (!start(terrain))
        return;
    m_vertices.reserve(vertexCount(terrain));
    for (int pr = 0; pr < m_perSide; ++pr)
        for (int pc = 0; pc < m_perSide; ++pc)
            buildPatch(terrain, pc, pr, m_vertices);
}

TerrainPatches::TerrainPatches(const Terrain& terrain, const VertexSink& sink)
{
    if (!start(terrain))
        return;
    m_heights.reserve(vertexCount(terrain));
    std::vector<Vertex> one;
    one.reserve(kVerticesPerPatch);
    for (int pr = 0; pr < m_perSide; ++pr)
        for (int pc = 0; pc < m_perSide; ++pc) {
            one.clear();
            buildPatch(terrain, pc, pr, one);
            for (const Vertex& v : one)
                m_heights.push_back(v.y);
            if (sink)
                sink(static_cast<int>(m_patches.size()) - 1, one);
        }
}

std::size_t TerrainPatches::vertexCount(const Terrain& terrain)
{
    const int grid = terrain.layout().grid;
    if (terrain.empty() || grid <= 0)
        return 0;
    const auto perSide = static_cast<std::size_t>((grid + kCells - 1) / kCells);
    return perSide * perSide * kVerticesPerPatch;
}

void TerrainPatches::keepHeightsOnly()
{
    if (m_vertices.empty())
        return;
    m_heights.clear();
    m_heights.reserve(m_vertices.size());
    for (const Vertex& v : m_vertices)
        m_heights.push_back(v.y);
    std::vector<Vertex>().swap(m_vertices);
}

void TerrainPatches::buildPatch(const Terrain& terrain, int pc, int pr, std::vector<Vertex>& out)
{
    const Terrain::Layout& layout = terrain.layout();
    const float half = terrain.size() * 0.5f;
    const float cell = layout.cellSize;
    Patch patch;
    patch.col = pc;
    patch.row = pr;
    const std::size_t base = out.size();
    float minY = 1e30f, maxY = -1e30f;
    for (int j = 0; j < kSide; ++j)
        for (int i = 0; i < kSide; ++i) {
            const int col = std::min(pc * kCells + i, layout.grid);
            const int row = std::min(pr * kCells + j, layout.grid);
            Vertex v;
            v.x = -half + static_cast<float>(col) * cell;
            v.z = -half + static_cast<float>(row) * cell;
            v.y = terrain.sampleHeight(col, row);
            // Smooth shading: central differences over the neighbouring samples.
            const Vec3 n = vec3NormalizeOr(
                Vec3{terrain.sampleHeight(col - 1, row) - terrain.sampleHeight(col + 1, row), 2.0f * cell,
                     terrain.sampleHeight(col, row - 1) - terrain.sampleHeight(col, row + 1)},
                Vec3{0, 1, 0});
            v.nx = n.x;
            v.ny = n.y;
            v.nz = n.z;
            minY = std::min(minY, v.y);
            maxY = std::max(maxY, v.y);
            out.push_back(v);
        }
    float depth = 0.0f;
    float edge[kSide];
    for (int e = 0; e < 4; ++e) {
        for (int t = 0; t < kSide; ++t) {
            int i, j;
            edgeCell(e, t, i, j);
            edge[t] = out[base + static_cast<std::size_t>(j * kSide + i)].y;
        }
        depth = std::max(depth, edgeError(edge));
    }
    // Two patches at different levels can be off by the error of each; a
    // small floor hides depth-buffer seams on flat ground.
    patch.skirtDepth = 2.0f * depth + 0.05f * cell + 1.0f;
    // Along the field's own border there is no neighbour: the skirt hangs down
    // below sea level and the lowest ground, so land that reaches the border
    // ends in a wall standing in the sea rather than floating over a gap.
    const bool border[4] = {pr == 0, (pc + 1) * kCells >= layout.grid, (pr + 1) * kCells >= layout.grid, pc == 0};
    const float borderFloor = std::min(layout.baseHeight, 0.0f) - patch.skirtDepth;
    float lowest = minY - patch.skirtDepth;
    for (int e = 0; e < 4; ++e)
        for (int t = 0; t < kSide; ++t) {
            int i, j;
            edgeCell(e, t, i, j);
            Vertex v = out[base + static_cast<std::size_t>(j * kSide + i)];
            v.y = border[e] ? std::min(v.y - patch.skirtDepth, borderFloor) : v.y - patch.skirtDepth;
            lowest = std::min(lowest, v.y);
            out.push_back(v);
        }
    const Vertex& first = out[base];
    const Vertex& last = out[base + kGridVertices - 1];
    patch.boundsMin = Vec3{first.x, lowest, first.z};
    patch.boundsMax = Vec3{last.x, maxY, last.z};
    m_patches.push_back(patch);
}

void TerrainPatches::buildIndices()
{
    auto grid = [](int i, int j) { return static_cast<std::uint16_t>(j * kSide + i); };
    auto skirt = [](int e, int t) { return static_cast<std::uint16_t>(kGridVertices + e * kSide + t); };
    for (int level = 0; level < kLevels; ++level) {
        const int step = 1 << level;
        for (unsigned edges = 0; edges <= kAllEdges; ++edges) {
            IndexRange& range = m_ranges[level][edges];
            range.first = static_cast<int>(m_indices.size());
            for (int j = 0; j < kCells; j += step)
                for (int i = 0; i < kCells; i += step) {
                    // Same split as Terrain::heightAt: diagonal from (i + s, j) to (i, j + s).
                    const std::uint16_t a = grid(i, j), b = grid(i, j + step), c = grid(i + step, j),
                                        d = grid(i + step, j + step);
                    m_indices.insert(m_indices.end(), {a, b, c, c, b, d});
                }
            for (int e = 0; e < 4; ++e) {
                if (!(edges & (1u << e)))
                    continue;
                for (int t = 0; t < kCells; t += step) {
                    int i0, j0, i1, j1;
                    edgeCell(e, t, i0, j0);
                    edgeCell(e, t + step, i1, j1);
                    const std::uint16_t top0 = grid(i0, j0), top1 = grid(i1, j1);
                    const std::uint16_t low0 = skirt(e, t), low1 = skirt(e, t + step);
                    // Both windings: the skirt is seen from either side of a crack.
                    m_indices.insert(m_indices.end(), {top0, low0, top1, top1, low0, low1});
                    m_indices.insert(m_indices.end(), {top0, top1, low0, top1, low1, low0});
                }
            }
            range.count = static_cast<int>(m_indices.size()) - range.first;
        }
    }
}

int TerrainPatches::neighbour(int col, int row, int edge) const
{
    static constexpr int kStep[4][2] = {{0, -1}, {1, 0}, {0, 1}, {-1, 0}};
    if (edge < 0 || edge > 3)
        return -1;
    const int c = col + kStep[edge][0], r = row + kStep[edge][1];
    if (c < 0 || r < 0 || c >= m_perSide || r >= m_perSide)
        return -1;
    return r * m_perSide + c;
}

int TerrainPatches::chooseLevel(const Patch& patch, const Vec3& eye, float fieldOfView) const
{
    // Distance to the patch's box; a wider view shrinks what is on screen, so
    // it counts as farther.
    const float dx = std::max({patch.boundsMin.x - eye.x, 0.0f, eye.x - patch.boundsMax.x});
    const float dy = std::max({patch.boundsMin.y - eye.y, 0.0f, eye.y - patch.boundsMax.y});
    const float dz = std::max({patch.boundsMin.z - eye.z, 0.0f, eye.z - patch.boundsMax.z});
    const float fov = clampf(0.05f, fieldOfView, 3.0f);
    const float widen = std::tan(fov * 0.5f) / std::tan(kPi / 8.0f);
    const float distance = std::sqrt(dx * dx + dy * dy + dz * dz) * widen;
    if (!(m_patchSize > 0.0f) || !(distance >= 0.0f))
        return kLevels - 1;
    float limit = m_patchSize * 0.5f;
    for (int level = 0; level < kLevels - 1; ++level, limit *= 2.0f)
        if (distance < limit)
            return level;
    return kLevels - 1;
}
