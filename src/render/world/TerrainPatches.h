#pragma once
#include "platform/Math.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>
#include <vector>

class Terrain;

// The level-of-detail blocks of a terrain, built on the CPU. A patch covers
// kCells x kCells cells; level l draws every (1 << l)-th sample. Neighbours at
// different levels never show cracks: each patch hangs a skirt below its four
// edges, deep enough to cover the largest gap any pair of levels can leave
// along that edge. Along an edge every level interpolates the same edge
// samples linearly, so that gap depends on the edge samples alone. Skirts on
// the field's outer border reach below sea level and the base height.
class TerrainPatches {
public:
    static constexpr int kCells = 32;
    static constexpr int kLevels = 4;  // steps 1, 2, 4, 8
    static constexpr int kSide = kCells + 1;
    static constexpr int kGridVertices = kSide * kSide;
    static constexpr int kVerticesPerPatch = kGridVertices + 4 * kSide;  // grid, then four skirt rows

    struct Vertex {
        float x, y, z;
        float nx, ny, nz;
    };
    struct Patch {
        int col = 0, row = 0;      // patch coordinates
        Vec3 boundsMin, boundsMax; // including the skirt
        float skirtDepth = 0.0f;
    };
    struct IndexRange {
        int first = 0, count = 0;  // into indices()
    };

    explicit TerrainPatches(const Terrain& terrain);
    // Builds the same patches but hands each one's vertices to `sink` as it
    // is made (the patch's index, its kVerticesPerPatch vertices) instead of
    // keeping them: only their heights stay, as after keepHeightsOnly. The
    // GPU upload builds them so and never holds the whole field at once.
    using VertexSink = std::function<void(int patch, std::span<const Vertex> vertices)>;
    TerrainPatches(const Terrain& terrain, const VertexSink& sink);
    // The vertices all of a terrain's patches hold.
    static std::size_t vertexCount(const Terrain& terrain);

    int patchesPerSide() const { return m_perSide; }
    const std::vector<Patch>& patches() const { return m_patches; }
    // kVerticesPerPatch vertices per patch, patch after patch. Samples past the
    // field's edge (a grid that is not a multiple of kCells) are clamped, so the
    // extra triangles collapse.
    // Empty after keepHeightsOnly.
    const std::vector<Vertex>& vertices() const { return m_vertices; }
    // The vertices' heights in the same order; filled by keepHeightsOnly.
    const std::vector<float>& heights() const { return m_heights; }
    // Once the vertices are in a GPU buffer only their heights are read (the
    // water's pictures keep a band of the ground): the rest is let go.
    void keepHeightsOnly();
    // Triangle lists shared by every patch, indices relative to the patch's
    // first vertex; level l's surface then its skirts (both windings).
    const std::vector<std::uint16_t>& indices() const { return m_indices; }
    // Edge bits for skirtedRange, in the skirt rows' order (see the vertices).
    enum EdgeBit : unsigned {
        kEdgeZMin = 1u,
        kEdgeXMax = 2u,
        kEdgeZMax = 4u,
        kEdgeXMin = 8u,
        kAllEdges = 15u,
    };
    IndexRange levelRange(int level) const { return skirtedRange(level, kAllEdges); }
    // Level l's surface with skirts on the edges in `edges` only: a skirt
    // fills the crack to a neighbour drawn at another level, and along an
    // edge shared with one at the same level nothing opens (the same edge
    // samples), so the thin wall would only cost its pixels.
    IndexRange skirtedRange(int level, unsigned edges) const
    {
        return m_ranges[level < 0 ? 0 : (level >= kLevels ? kLevels - 1 : level)][edges & kAllEdges];
    }
    // The patch across edge `edge` (0..3, the bits' order) of patch (col, row);
    // -1 past the field's border.
    int neighbour(int col, int row, int edge) const;

    // Level for a patch seen from `eye` with a vertical field of view in
    // radians: finer when near, coarser with distance and with a wider view.
    int chooseLevel(const Patch& patch, const Vec3& eye, float fieldOfView) const;

private:
    void buildIndices();
    // Sizes the lists; false for a terrain without samples.
    bool start(const Terrain& terrain);
    // Appends patch (pc, pr)'s vertices to `out`.
    void buildPatch(const Terrain& terrain, int pc, int pr, std::vector<Vertex>& out);

    int m_perSide = 0;
    float m_patchSize = 0.0f;
    std::vector<Patch> m_patches;
    std::vector<Vertex> m_vertices;
    std::vector<float> m_heights;
    std::vector<std::uint16_t> m_indices;
    IndexRange m_ranges[kLevels][kAllEdges + 1];
};
