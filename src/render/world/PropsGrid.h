#pragma once
#include "platform/Math.h"
#include "render/assets/GlmFormat.h"

#include <cstddef>
#include <cstdint>
#include <vector>

class IPropShape;
class IPropWorld;

// The collision grid of the map's static props: a uniform grid over x and z
// whose cells list the props whose boxes reach into them. Built once a level
// from the world's items; collision tests and the "what stands here" query
// look only at the cells around the point.
class PropsGrid {
public:
    struct Prop {
        std::size_t item = 0;        // index in the world the grid was built from
        const IPropShape* shape = nullptr;
        Mat4 matrix;                 // shape space to world space
        Mat4 inverse;
        Vec3 boxMin, boxMax;         // shape space
        Vec3 worldMin, worldMax;     // world box around the placed box
        std::uint32_t firstTriangle = 0, triangleCount = 0;  // world-space collision triangles
        bool solid = true;           // an airplane touching it crashes
    };
    static constexpr float kCellSize = 512.0f;
    static constexpr int kMaxCellsPerSide = 1024;  // larger maps get larger cells
    static constexpr float kFlatHeight = 2.0f;       // a prop no higher than this is never solid

    // Replaces the grid with the world's props. Items without a shape, with a
    // singular or non-finite matrix, an empty box or a placed box beyond the
    // float range are left out (logged).
    void build(const IPropWorld& world);
    void clear();

    std::size_t propCount() const { return m_props.size(); }
    const Prop* prop(std::size_t index) const { return index < m_props.size() ? &m_props[index] : nullptr; }
    // Highest world y of any prop box; never below 0, so 0 while empty.
    float top() const { return m_top; }

    // The first prop (in world order) whose box lies within `radius` of the
    // point and whose collision mesh confirms it: a triangle within the radius,
    // or the point inside the closed mesh. Null when none, and outside the grid.
    // With solidOnly, props an airplane may touch (runways, roads, aprons and
    // other flat pieces, tunnels) are passed over.
    const Prop* findHit(const Vec3& point, float radius, bool solidOnly = false) const;
    // The first prop of the grid cell under (x, z) whose box, seen from above,
    // contains the point. Null when none, and outside the grid.
    const Prop* findPropAtPoint(float x, float z) const;

private:
    bool cellOf(float x, float z, int& cx, int& cz) const;
    bool meshConfirms(const Prop& prop, const Vec3& point, float radius) const;

    std::vector<Prop> m_props;
    std::vector<GlmTriangle> m_triangles;     // world space
    std::vector<std::uint32_t> m_cellStart;   // cells + 1 entries into m_cellProps
    std::vector<std::uint32_t> m_cellProps;   // prop indices, ascending within a cell
    float m_originX = 0.0f, m_originZ = 0.0f, m_cellSize = kCellSize;
    int m_cellsX = 0, m_cellsZ = 0;
    float m_top = 0.0f;
};
