#pragma once
#include "platform/Math.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

// How a volume is counted into the stencil. Depth-fail needs both caps and
// works wherever the eye stands; depth-pass needs no far cap (it lies under
// the ground, never in front of what is seen) but only holds while the eye and
// the near plane are outside the volume.
enum class ShadowCounting { DepthFail, DepthPass };

// Shadow volume geometry of one frame: world-space vertices in the PosTex20
// layout (x y z, then an unused u v) and 16-bit triangle indices, wound
// counter-clockwise seen from outside the volume.
struct ShadowVolumeBatch {
    static constexpr std::size_t kMaxVertices = 65536;  // what 16-bit indices reach
    static constexpr std::size_t kFloatsPerVertex = 5;

    std::vector<float> vertices;
    std::vector<std::uint16_t> indices;      // volumes counted depth-fail
    std::vector<std::uint16_t> passIndices;  // volumes counted depth-pass, no far cap

    std::size_t vertexCount() const { return vertices.size() / kFloatsPerVertex; }
    bool fits(std::size_t moreVertices) const { return vertexCount() + moreVertices <= kMaxVertices; }
    Vec3 vertex(std::size_t i) const
    {
        const float* v = &vertices[i * kFloatsPerVertex];
        return {v[0], v[1], v[2]};
    }
    void clear()
    {
        vertices.clear();
        indices.clear();
        passIndices.clear();
    }
};

// The welded form of a caster's triangle soup, made once per triangle set:
// equal positions merged into one vertex, every edge numbered with the
// triangles that use it, and whether the mesh is closed. Triangles with a
// non-finite corner or two corners at one position are left out.
//
// The volume of a sun direction is the sweep, away from the sun, of the
// triangles that face away from it (the dark side). Its near cap lies on the
// dark side, pushed back by a hair so the caster does not shadow its own skin;
// its far cap lies `extrusion` world units further, a finite distance so that
// the depth-fail count works with the scene's finite far plane. Its sides
// stand on the silhouette: the edges between a lit and a dark triangle.
//
// An open mesh (an edge used by one triangle only, or by two that disagree on
// the winding) has no inside and no dark side of its own, so every triangle
// is taken as two-sided: each is turned to face away from the sun and swept.
// Its open edges then lie on the swept surface's border and become silhouette
// edges, so the volume stays closed and never floods the screen.
class ShadowVolumeMesh {
public:
    explicit ShadowVolumeMesh(std::span<const Vec3> triangles);

    std::size_t vertexCount() const { return m_positions.size(); }
    std::size_t triangleCount() const { return m_triangles.size(); }
    std::size_t edgeCount() const { return m_edges.size(); }
    bool isClosed() const { return m_closed; }
    // The farthest vertex from the caster's origin, in its own units.
    float radius() const { return m_radius; }
    // The vertices a volume adds to a batch: a near and a far copy of each.
    std::size_t volumeVertexCount() const { return m_positions.size() * 2; }

    // Appends the volume for the caster's `matrix` (caster to world) and the
    // unit direction `towardSun`. False, with nothing appended, when the matrix
    // holds a non-finite value or flattens the caster, or the volume does not
    // fit the batch. `silhouetteEdges`, when given, receives the number of
    // side walls built (0 for an empty mesh, which appends nothing). A
    // depth-pass volume goes to the batch's passIndices without its far cap.
    [[nodiscard]] bool appendVolume(const Mat4& matrix, const Vec3& towardSun, float extrusion,
                                    ShadowVolumeBatch& out, std::size_t* silhouetteEdges = nullptr,
                                    ShadowCounting counting = ShadowCounting::DepthFail) const;

private:
    struct Triangle {
        std::array<std::uint32_t, 3> corners;
        std::array<std::uint32_t, 3> edges;  // edge k runs from corner k to corner k + 1
        std::array<std::int8_t, 3> along;    // +1 when it runs from the edge's low to its high vertex
    };
    struct Edge {
        std::uint32_t low, high;  // vertex numbers, low < high
    };

    std::vector<Vec3> m_positions;
    std::vector<Triangle> m_triangles;
    std::vector<Edge> m_edges;
    float m_radius = 0.0f;
    bool m_closed = true;
};
