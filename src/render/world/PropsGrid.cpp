#include "render/world/PropsGrid.h"
#include "platform/Log.h"

#include "render/assets/CollisionMesh.h"
#include "render/world/PropWorld.h"
#include "platform/Math.h"

#include <algorithm>
#include <cmath>
#include <cstdio>


namespace {

bool finiteMatrix(const Mat4& m)
{
    for (float v : m.m)
        if (!std::isfinite(v))
            return false;
    return true;
}

}  // namespace

void PropsGrid::clear()
{
    m_props.clear();
    m_triangles.clear();
    m_cellStart.clear();
    m_cellProps.clear();
    m_cellsX = m_cellsZ = 0;
    m_top = 0.0f;
}

void PropsGrid::build(const IPropWorld& world)
{
    clear();
    const std::size_t count = world.propCount();
    for (std::size_t item = 0; item < count; ++item) {
        const PropPlacement placement = world.prop(item);
        if (!placement.shape)
            continue;
        Prop prop;
        prop.item = item;
        prop.shape = placement.shape;
        prop.matrix = placement.matrix;
        prop.boxMin = placement.shape->boundsMin();
        prop.boxMax = placement.shape->boundsMax();
        const bool boxOk = prop.boxMin.x <= prop.boxMax.x && prop.boxMin.y <= prop.boxMax.y &&
                           prop.boxMin.z <= prop.boxMax.z && std::isfinite(prop.boxMin.x + prop.boxMin.y +
                                                                           prop.boxMin.z + prop.boxMax.x +
                                                                           prop.boxMax.y + prop.boxMax.z);
        if (!boxOk || !finiteMatrix(prop.matrix) || !mat4InvertAffine(prop.matrix, prop.inverse)) {
            logWarning("render", "props grid: item %zu has a bad box or matrix, left out", item);
            continue;
        }
        Vec3 lo{1e30f, 1e30f, 1e30f}, hi{-1e30f, -1e30f, -1e30f};
        for (int corner = 0; corner < 8; ++corner) {
            const Vec3 local{corner & 1 ? prop.boxMax.x : prop.boxMin.x, corner & 2 ? prop.boxMax.y : prop.boxMin.y,
                             corner & 4 ? prop.boxMax.z : prop.boxMin.z};
            const Vec3 w = mat4TransformPoint(prop.matrix, local);
            lo = Vec3{std::min(lo.x, w.x), std::min(lo.y, w.y), std::min(lo.z, w.z)};
            hi = Vec3{std::max(hi.x, w.x), std::max(hi.y, w.y), std::max(hi.z, w.z)};
        }
        if (!std::isfinite(lo.x + lo.y + lo.z + hi.x + hi.y + hi.z)) {
            // A placed box past the float range would size the grid by infinity.
            logWarning("render", "props grid: item %zu lies outside the world, left out", item);
            continue;
        }
        prop.worldMin = lo;
        prop.worldMax = hi;
        // Anything as flat as a road is rolled over like the ground under it.
        prop.solid = placement.solid && hi.y - lo.y > kFlatHeight;
        prop.firstTriangle = static_cast<std::uint32_t>(m_triangles.size());
        for (const PropTriangle& t : placement.shape->collisionTriangles())
            m_triangles.push_back(GlmTriangle{mat4TransformPoint(prop.matrix, t.a), mat4TransformPoint(prop.matrix, t.b),
                                              mat4TransformPoint(prop.matrix, t.c)});
        prop.triangleCount = static_cast<std::uint32_t>(m_triangles.size()) - prop.firstTriangle;
        m_top = std::max(m_top, hi.y);
        m_props.push_back(prop);
    }
    if (m_props.empty())
        return;

    float minX = 1e30f, minZ = 1e30f, maxX = -1e30f, maxZ = -1e30f;
    for (const Prop& p : m_props) {
        minX = std::min(minX, p.worldMin.x);
        minZ = std::min(minZ, p.worldMin.z);
        maxX = std::max(maxX, p.worldMax.x);
        maxZ = std::max(maxZ, p.worldMax.z);
    }
    m_originX = minX;
    m_originZ = minZ;
    m_cellSize = std::max({kCellSize, (maxX - minX) / static_cast<float>(kMaxCellsPerSide - 1),
                           (maxZ - minZ) / static_cast<float>(kMaxCellsPerSide - 1)});
    m_cellsX = static_cast<int>((maxX - minX) / m_cellSize) + 1;
    m_cellsZ = static_cast<int>((maxZ - minZ) / m_cellSize) + 1;

    // Two passes over the props: count per cell, then fill (props stay in world order).
    const std::size_t cells = static_cast<std::size_t>(m_cellsX) * static_cast<std::size_t>(m_cellsZ);
    m_cellStart.assign(cells + 1, 0);
    auto forCells = [this](const Prop& p, auto&& fn) {
        int x0, z0, x1, z1;
        cellOf(p.worldMin.x, p.worldMin.z, x0, z0);
        cellOf(p.worldMax.x, p.worldMax.z, x1, z1);
        for (int z = z0; z <= z1; ++z)
            for (int x = x0; x <= x1; ++x)
                fn(static_cast<std::size_t>(z) * static_cast<std::size_t>(m_cellsX) + static_cast<std::size_t>(x));
    };
    for (const Prop& p : m_props)
        forCells(p, [this](std::size_t cell) { ++m_cellStart[cell + 1]; });
    for (std::size_t c = 0; c < cells; ++c)
        m_cellStart[c + 1] += m_cellStart[c];
    m_cellProps.resize(m_cellStart[cells]);
    std::vector<std::uint32_t> fill(m_cellStart.begin(), m_cellStart.end() - 1);
    for (std::size_t i = 0; i < m_props.size(); ++i)
        forCells(m_props[i], [&](std::size_t cell) { m_cellProps[fill[cell]++] = static_cast<std::uint32_t>(i); });
}

bool PropsGrid::cellOf(float x, float z, int& cx, int& cz) const
{
    if (m_cellsX <= 0)
        return false;
    const float fx = (x - m_originX) / m_cellSize;
    const float fz = (z - m_originZ) / m_cellSize;
    const bool inside = fx >= 0.0f && fz >= 0.0f && fx < static_cast<float>(m_cellsX) &&
                        fz < static_cast<float>(m_cellsZ);
    cx = std::clamp(static_cast<int>(clampf(0.0f, fx, static_cast<float>(m_cellsX - 1))), 0, m_cellsX - 1);
    cz = std::clamp(static_cast<int>(clampf(0.0f, fz, static_cast<float>(m_cellsZ - 1))), 0, m_cellsZ - 1);
    return inside;
}

bool PropsGrid::meshConfirms(const Prop& prop, const Vec3& point, float radius) const
{
    if (prop.triangleCount == 0)
        return true;
    return meshTouches(std::span<const GlmTriangle>(m_triangles).subspan(prop.firstTriangle, prop.triangleCount),
                       point, radius);
}

const PropsGrid::Prop* PropsGrid::findHit(const Vec3& point, float radius, bool solidOnly) const
{
    if (m_props.empty() || !std::isfinite(point.x + point.y + point.z))
        return nullptr;
    const float r = std::isfinite(radius) && radius > 0.0f ? radius : 0.0f;
    if (point.y - r > m_top)
        return nullptr;  // above every prop: most questions are asked up here
    int x0, z0, x1, z1;
    const bool lowInside = cellOf(point.x - r, point.z - r, x0, z0);
    const bool highInside = cellOf(point.x + r, point.z + r, x1, z1);
    if (!lowInside && !highInside) {
        // Both corners outside can still straddle the grid; reject only when the
        // sphere's square misses the grid's extent.
        const float gx1 = m_originX + m_cellSize * static_cast<float>(m_cellsX);
        const float gz1 = m_originZ + m_cellSize * static_cast<float>(m_cellsZ);
        if (point.x + r < m_originX || point.x - r >= gx1 || point.z + r < m_originZ || point.z - r >= gz1)
            return nullptr;
    }
    const Prop* best = nullptr;
    for (int z = z0; z <= z1; ++z)
        for (int x = x0; x <= x1; ++x) {
            const std::size_t cell = static_cast<std::size_t>(z) * static_cast<std::size_t>(m_cellsX) +
                                     static_cast<std::size_t>(x);
            for (std::uint32_t k = m_cellStart[cell]; k < m_cellStart[cell + 1]; ++k) {
                const Prop& p = m_props[m_cellProps[k]];
                if (best && best <= &p)
                    break;  // ascending within a cell: nothing earlier follows
                if (solidOnly && !p.solid)
                    continue;
                const Vec3 local = mat4TransformPoint(p.inverse, point);
                const Vec3 clamped{clampf(p.boxMin.x, local.x, p.boxMax.x), clampf(p.boxMin.y, local.y, p.boxMax.y),
                                   clampf(p.boxMin.z, local.z, p.boxMax.z)};
                const Vec3 d = (mat4TransformPoint(p.matrix, clamped) - point);
                if (vec3Dot(d, d) > r * r)
                    continue;
                if (meshConfirms(p, point, r))
                    best = &p;
            }
        }
    return best;
}

const PropsGrid::Prop* PropsGrid::findPropAtPoint(float x, float z) const
{
    int cx, cz;
    if (m_props.empty() || !cellOf(x, z, cx, cz))
        return nullptr;
    const std::size_t cell = static_cast<std::size_t>(cz) * static_cast<std::size_t>(m_cellsX) +
                             static_cast<std::size_t>(cx);
    for (std::uint32_t k = m_cellStart[cell]; k < m_cellStart[cell + 1]; ++k) {
        const Prop& p = m_props[m_cellProps[k]];
        // Taken at the box's mid height, so a yawed box is tested by its footprint.
        const float midY = (p.worldMin.y + p.worldMax.y) * 0.5f;
        const Vec3 local = mat4TransformPoint(p.inverse, Vec3{x, midY, z});
        if (local.x >= p.boxMin.x && local.x <= p.boxMax.x && local.z >= p.boxMin.z && local.z <= p.boxMax.z)
            return &p;
    }
    return nullptr;
}
