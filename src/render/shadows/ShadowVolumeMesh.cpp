#include "render/shadows/ShadowVolumeMesh.h"

#include "platform/Math.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdlib>
#include <unordered_map>

namespace {

bool finite(const Vec3& p) { return std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.z); }

// Equal positions weld; -0 and +0 are one position.
struct PositionKey {
    std::uint32_t x, y, z;
    bool operator==(const PositionKey&) const = default;
};
struct PositionHash {
    std::size_t operator()(const PositionKey& k) const
    {
        std::uint64_t h = k.x * 0x9e3779b97f4a7c15ull;
        h ^= (h >> 29) + k.y * 0xbf58476d1ce4e5b9ull;
        h ^= (h >> 31) + k.z * 0x94d049bb133111ebull;
        return static_cast<std::size_t>(h ^ (h >> 32));
    }
};
PositionKey keyOf(const Vec3& p)
{
    return {std::bit_cast<std::uint32_t>(p.x + 0.0f), std::bit_cast<std::uint32_t>(p.y + 0.0f),
            std::bit_cast<std::uint32_t>(p.z + 0.0f)};
}

}  // namespace

ShadowVolumeMesh::ShadowVolumeMesh(std::span<const Vec3> triangles)
{
    std::unordered_map<PositionKey, std::uint32_t, PositionHash> welded;
    std::unordered_map<std::uint64_t, std::uint32_t> edgeOf;
    const auto vertexOf = [&](const Vec3& p) {
        const auto [it, added] = welded.try_emplace(keyOf(p), static_cast<std::uint32_t>(m_positions.size()));
        if (added) {
            m_positions.push_back(p);
            m_radius = std::max(m_radius, std::sqrt(vec3Dot(p, p)));
        }
        return it->second;
    };
    const std::size_t count = triangles.size() / 3 * 3;
    for (std::size_t i = 0; i < count; i += 3) {
        if (!finite(triangles[i]) || !finite(triangles[i + 1]) || !finite(triangles[i + 2]))
            continue;
        Triangle t{};
        for (std::size_t k = 0; k < 3; ++k)
            t.corners[k] = vertexOf(triangles[i + k]);
        if (t.corners[0] == t.corners[1] || t.corners[1] == t.corners[2] || t.corners[0] == t.corners[2])
            continue;
        for (std::size_t k = 0; k < 3; ++k) {
            const std::uint32_t from = t.corners[k], to = t.corners[(k + 1) % 3];
            const Edge e{std::min(from, to), std::max(from, to)};
            const auto [it, added] = edgeOf.try_emplace((std::uint64_t{e.low} << 32) | e.high,
                                                        static_cast<std::uint32_t>(m_edges.size()));
            if (added)
                m_edges.push_back(e);
            t.edges[k] = it->second;
            t.along[k] = from < to ? 1 : -1;
        }
        m_triangles.push_back(t);
    }
    // Closed: every edge is walked as often in one direction as in the other.
    std::vector<int> balance(m_edges.size(), 0);
    for (const Triangle& t : m_triangles)
        for (std::size_t k = 0; k < 3; ++k)
            balance[t.edges[k]] += t.along[k];
    m_closed = std::all_of(balance.begin(), balance.end(), [](int b) { return b == 0; });
}

bool ShadowVolumeMesh::appendVolume(const Mat4& matrix, const Vec3& towardSun, float extrusion,
                                    ShadowVolumeBatch& out, std::size_t* silhouetteEdges,
                                    ShadowCounting counting) const
{
    if (silhouetteEdges)
        *silhouetteEdges = 0;
    if (!std::all_of(std::begin(matrix.m), std::end(matrix.m), [](float v) { return std::isfinite(v); }))
        return false;
    const float det = mat4LinearDeterminant(matrix);
    if (!(std::fabs(det) > 1e-12f) || !std::isfinite(det))
        return false;
    if (m_triangles.empty())
        return true;
    if (!out.fits(volumeVertexCount()))
        return false;

    const std::size_t n = m_positions.size();
    std::vector<Vec3> world(n);
    Vec3 low{1e30f, 1e30f, 1e30f}, high{-1e30f, -1e30f, -1e30f};
    for (std::size_t i = 0; i < n; ++i) {
        world[i] = mat4TransformPoint(matrix, m_positions[i]);
        low = {std::min(low.x, world[i].x), std::min(low.y, world[i].y), std::min(low.z, world[i].z)};
        high = {std::max(high.x, world[i].x), std::max(high.y, world[i].y), std::max(high.z, world[i].z)};
    }
    if (!finite(high - low))
        return false;
    // The near cap sits a hair behind the dark side (half a percent of the
    // caster's size), far enough that depth rounding does not speckle the
    // caster itself.
    const float hair = std::max(0.005f * std::sqrt(vec3Dot(high - low, high - low)), 0.01f);
    const Vec3 nearShift = towardSun * -hair, farShift = towardSun * -extrusion;
    const std::size_t base = out.vertexCount();
    out.vertices.reserve(out.vertices.size() + 2 * n * ShadowVolumeBatch::kFloatsPerVertex);
    for (const Vec3& shift : {nearShift, farShift})
        for (const Vec3& p : world)
            out.vertices.insert(out.vertices.end(), {p.x + shift.x, p.y + shift.y, p.z + shift.z, 0.0f, 0.0f});

    // A mirroring matrix turns every winding: facing and output are turned back.
    const bool mirrored = det < 0.0f;
    const bool farCap = counting == ShadowCounting::DepthFail;
    std::vector<std::uint16_t>& indices = farCap ? out.indices : out.passIndices;
    const auto emit = [&](std::uint32_t a, std::uint32_t b, std::uint32_t c) {
        if (mirrored)
            std::swap(b, c);
        indices.insert(indices.end(), {static_cast<std::uint16_t>(base + a), static_cast<std::uint16_t>(base + b),
                                       static_cast<std::uint16_t>(base + c)});
    };
    const std::uint32_t far = static_cast<std::uint32_t>(n);
    std::vector<int> border(m_edges.size(), 0);  // how the swept triangles walk each edge
    for (const Triangle& t : m_triangles) {
        const Vec3& a = world[t.corners[0]];
        const float facing = vec3Dot(vec3CrossB(world[t.corners[1]] - a, world[t.corners[2]] - a), towardSun);
        const bool lit = mirrored ? facing < 0.0f : facing > 0.0f;
        if (lit && m_closed)
            continue;
        // Of an open mesh a lit triangle is swept turned round.
        const int turn = lit ? -1 : 1;
        std::uint32_t p = t.corners[0], q = t.corners[1], r = t.corners[2];
        if (turn < 0)
            std::swap(q, r);
        emit(p, r, q);  // near cap, facing the sun
        if (farCap)
            emit(p + far, q + far, r + far);  // far cap, facing away
        for (std::size_t k = 0; k < 3; ++k)
            border[t.edges[k]] += t.along[k] * turn;
    }
    std::size_t walls = 0;
    for (std::size_t e = 0; e < m_edges.size(); ++e) {
        const int walk = border[e];
        const std::uint32_t from = walk > 0 ? m_edges[e].low : m_edges[e].high;
        const std::uint32_t to = walk > 0 ? m_edges[e].high : m_edges[e].low;
        for (int w = 0; w < std::abs(walk); ++w) {
            emit(from, to, to + far);
            emit(from, to + far, from + far);
            ++walls;
        }
    }
    if (silhouetteEdges)
        *silhouetteEdges = walls;
    return true;
}
