#include "render/world/PropsGrid.h"
#include "platform/Log.h"

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

// Closest point of triangle abc to p (Ericson, Real-Time Collision Detection 5.1.5).
Vec3 closestOnTriangle(const Vec3& p, const Vec3& a, const Vec3& b, const Vec3& c)
{
    const Vec3 ab = (b - a), ac = (c - a), ap = (p - a);
    const float d1 = vec3Dot(ab, ap), d2 = vec3Dot(ac, ap);
    if (d1 <= 0.0f && d2 <= 0.0f)
        return a;
    const Vec3 bp = (p - b);
    const float d3 = vec3Dot(ab, bp), d4 = vec3Dot(ac, bp);
    if (d3 >= 0.0f && d4 <= d3)
        return b;
    const float vc = d1 * d4 - d3 * d2;
    if (vc <= 0.0f && d1 >= 0.0f && d3 <= 0.0f)
        return (a + (ab * (d1 / (d1 - d3))));
    const Vec3 cp = (p - c);
    const float d5 = vec3Dot(ab, cp), d6 = vec3Dot(ac, cp);
    if (d6 >= 0.0f && d5 <= d6)
        return c;
    const float vb = d5 * d2 - d1 * d6;
    if (vb <= 0.0f && d2 >= 0.0f && d6 <= 0.0f)
        return (a + (ac * (d2 / (d2 - d6))));
    const float va = d3 * d6 - d5 * d4;
    if (va <= 0.0f && (d4 - d3) >= 0.0f && (d5 - d6) >= 0.0f)
        return b + (c - b) * ((d4 - d3) / ((d4 - d3) + (d5 - d6)));
    const float denom = 1.0f / (va + vb + vc);
    return (a + ((ab * (vb * denom)) + (ac * (vc * denom))));
}

// True when the upward vertical ray from p crosses triangle abc.
bool rayUpCrosses(const Vec3& p, const Vec3& a, const Vec3& b, const Vec3& c)
{
    const float area = (b.x - a.x) * (c.z - a.z) - (c.x - a.x) * (b.z - a.z);
    if (std::fabs(area) < 1e-12f)
        return false;
    const float w0 = ((b.x - p.x) * (c.z - p.z) - (c.x - p.x) * (b.z - p.z)) / area;
    const float w1 = ((c.x - p.x) * (a.z - p.z) - (a.x - p.x) * (c.z - p.z)) / area;
    const float w2 = 1.0f - w0 - w1;
    if (w0 < 0.0f || w1 < 0.0f || w2 < 0.0f)
        return false;
    return w0 * a.y + w1 * b.y + w2 * c.y > p.y;
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
        prop.firstTriangle = static_cast<std::uint32_t>(m_triangles.size() / 3);
        for (const PropTriangle& t : placement.shape->collisionTriangles()) {
            m_triangles.push_back(mat4TransformPoint(prop.matrix, t.a));
            m_triangles.push_back(mat4TransformPoint(prop.matrix, t.b));
            m_triangles.push_back(mat4TransformPoint(prop.matrix, t.c));
        }
        prop.triangleCount = static_cast<std::uint32_t>(m_triangles.size() / 3) - prop.firstTriangle;
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
    const Vec3* t = &m_triangles[static_cast<std::size_t>(prop.firstTriangle) * 3];
    // The parity ray starts a hair off the point so that it does not run
    // exactly through the shared edges of modelled faces (counted twice).
    const Vec3 rayStart{point.x + 0.0137f, point.y, point.z + 0.0291f};
    int crossings = 0;
    for (std::uint32_t i = 0; i < prop.triangleCount; ++i, t += 3) {
        const Vec3 closest = closestOnTriangle(point, t[0], t[1], t[2]);
        const Vec3 d = (point - closest);
        if (vec3Dot(d, d) <= radius * radius)
            return true;
        if (rayUpCrosses(rayStart, t[0], t[1], t[2]))
            ++crossings;
    }
    return (crossings & 1) != 0;
}

const PropsGrid::Prop* PropsGrid::findHit(const Vec3& point, float radius, bool solidOnly) const
{
    if (m_props.empty() || !std::isfinite(point.x + point.y + point.z))
        return nullptr;
    const float r = std::isfinite(radius) && radius > 0.0f ? radius : 0.0f;
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
