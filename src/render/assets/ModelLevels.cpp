#include "render/assets/ModelLevels.h"

#include "render/assets/Model.h"

#include <cmath>
#include <unordered_map>
#include <unordered_set>

namespace {
// A simplified vertex may move by up to a cell; the cell stays this much of a
// pixel, so the coarser level looks like the full one.
constexpr float kMaxCellPixels = 0.5f;
constexpr std::size_t kMaxVertices = 65536;

struct Cube {
    int x, y, z;
    bool operator==(const Cube&) const = default;
};
// A cube, a texture point and a normal direction: one simplified vertex.
struct Cluster {
    Cube cube;
    int u, v;
    int nx, ny, nz;
    bool operator==(const Cluster&) const = default;
};
std::size_t mix(std::size_t h, int v) { return (h ^ static_cast<std::size_t>(static_cast<unsigned>(v))) * 1099511628211ull; }
struct CubeHash {
    std::size_t operator()(const Cube& c) const { return mix(mix(mix(14695981039346656037ull, c.x), c.y), c.z); }
};
struct ClusterHash {
    std::size_t operator()(const Cluster& c) const
    {
        return mix(mix(mix(mix(mix(CubeHash{}(c.cube), c.u), c.v), c.nx), c.ny), c.nz);
    }
};
struct Sum {
    double x = 0, y = 0, z = 0, u = 0, v = 0;
    int count = 0;
};

// Swatch points are cell centres of small palettes: 1/256 keeps them apart.
int quantizeUv(float t) { return static_cast<int>(std::lround(t * 256.0f)); }
// Normals within about 30 degrees of each other share a vertex; box faces do not.
int quantizeNormal(float n) { return static_cast<int>(std::lround(n * 2.0f)); }

GlmVertex toModelSpace(const Model::Node& node, const GlmVertex& v)
{
    const Vec3 p = mat4TransformPoint(node.matrix, {v.x, v.y, v.z});
    const Vec3 n = vec3NormalizeOr(rotateVector3x3(node.matrix, {v.nx, v.ny, v.nz}), {0.0f, 1.0f, 0.0f});
    return GlmVertex{p.x, p.y, p.z, n.x, n.y, n.z, v.u, v.v};
}

// Appends the node's vertices gathered into clusters; map[i] is the new index
// (from the mesh's first vertex) of the node's vertex i.
void clusterNode(const std::vector<GlmVertex>& source, float cell, MergedMesh& out, std::vector<std::uint32_t>& map)
{
    auto cubeOf = [cell](const GlmVertex& v) {
        return Cube{static_cast<int>(std::floor(v.x / cell)), static_cast<int>(std::floor(v.y / cell)),
                    static_cast<int>(std::floor(v.z / cell))};
    };
    // Every cluster of a cube sits at the cube's mean point, so hard edges
    // split by normal do not open.
    std::unordered_map<Cube, Sum, CubeHash> cubes;
    for (const GlmVertex& v : source) {
        Sum& s = cubes[cubeOf(v)];
        s.x += v.x;
        s.y += v.y;
        s.z += v.z;
        ++s.count;
    }
    std::unordered_map<Cluster, std::uint32_t, ClusterHash> clusters;
    std::vector<Sum> normals;
    const std::size_t base = out.vertices.size();
    map.resize(source.size());
    for (std::size_t i = 0; i < source.size(); ++i) {
        const GlmVertex& v = source[i];
        const Cube cube = cubeOf(v);
        const Cluster key{cube, quantizeUv(v.u), quantizeUv(v.v), quantizeNormal(v.nx), quantizeNormal(v.ny),
                          quantizeNormal(v.nz)};
        auto [it, added] = clusters.try_emplace(key, static_cast<std::uint32_t>(out.vertices.size()));
        if (added) {
            const Sum& c = cubes[cube];
            out.vertices.push_back(GlmVertex{static_cast<float>(c.x / c.count), static_cast<float>(c.y / c.count),
                                             static_cast<float>(c.z / c.count), 0, 0, 0, 0, 0});
            normals.emplace_back();
        }
        Sum& n = normals[it->second - base];
        n.x += v.nx;
        n.y += v.ny;
        n.z += v.nz;
        n.u += v.u;
        n.v += v.v;
        ++n.count;
        map[i] = it->second;
    }
    for (std::size_t k = 0; k < normals.size(); ++k) {
        const Sum& n = normals[k];
        GlmVertex& v = out.vertices[base + k];
        const Vec3 normal = vec3NormalizeOr(Vec3{static_cast<float>(n.x), static_cast<float>(n.y), static_cast<float>(n.z)},
                                            {0.0f, 1.0f, 0.0f});
        v.nx = normal.x;
        v.ny = normal.y;
        v.nz = normal.z;
        v.u = static_cast<float>(n.u / n.count);
        v.v = static_cast<float>(n.v / n.count);
    }
}

// Clusters of one cube share its mean point: a triangle with two corners
// there has no area, and drawing it only costs vertex and set-up work.
bool samePoint(const GlmVertex& a, const GlmVertex& b) { return a.x == b.x && a.y == b.y && a.z == b.z; }

// A triangle turned so that its smallest index comes first: the same
// triangle with the same winding gives the same key.
std::uint64_t triangleKey(std::uint32_t a, std::uint32_t b, std::uint32_t c)
{
    while (a > b || a > c) {
        const std::uint32_t t = a;
        a = b;
        b = c;
        c = t;
    }
    return std::uint64_t{a} << 42 | std::uint64_t{b} << 21 | c;
}
}  // namespace

bool buildMergedMesh(const Model& model, float cell, MergedMesh& out)
{
    out = MergedMesh{};
    out.nodeStart.reserve(model.nodeCount() + 1);
    std::vector<std::uint32_t> map;
    std::unordered_set<std::uint64_t> seen;
    for (std::size_t i = 0; i < model.nodeCount(); ++i) {
        const Model::Node& node = *model.node(i);
        out.nodeStart.push_back(static_cast<std::uint32_t>(out.indices.size()));
        if (node.isHelper() || node.indexCount == 0)
            continue;
        if (node.vertices.size() != node.vertexCount || node.indices.size() != node.indexCount) {
            out = MergedMesh{};  // CPU data freed: nothing to merge
            return false;
        }
        std::vector<GlmVertex> local;
        local.reserve(node.vertices.size());
        for (const GlmVertex& v : node.vertices)
            local.push_back(toModelSpace(node, v));
        if (cell > 0.0f) {
            clusterNode(local, cell, out, map);
        } else {
            map.resize(local.size());
            for (std::size_t k = 0; k < local.size(); ++k)
                map[k] = static_cast<std::uint32_t>(out.vertices.size() + k);
            out.vertices.insert(out.vertices.end(), local.begin(), local.end());
        }
        if (out.vertices.size() > kMaxVertices) {
            out = MergedMesh{};
            return false;
        }
        seen.clear();
        for (std::size_t t = 0; t + 2 < node.indices.size(); t += 3) {
            const std::uint16_t* tri = &node.indices[t];
            if (tri[0] >= map.size() || tri[1] >= map.size() || tri[2] >= map.size())
                continue;
            const std::uint32_t a = map[tri[0]], b = map[tri[1]], c = map[tri[2]];
            if (cell > 0.0f && (a == b || b == c || a == c || samePoint(out.vertices[a], out.vertices[b]) ||
                                samePoint(out.vertices[b], out.vertices[c]) ||
                                samePoint(out.vertices[a], out.vertices[c]) ||
                                !seen.insert(triangleKey(a, b, c)).second))
                continue;
            out.indices.insert(out.indices.end(), {static_cast<std::uint16_t>(a), static_cast<std::uint16_t>(b),
                                                   static_cast<std::uint16_t>(c)});
        }
    }
    out.nodeStart.push_back(static_cast<std::uint32_t>(out.indices.size()));
    return true;
}

int modelLevelFor(float projectedRadius, std::span<const bool> present)
{
    int level = 0;
    for (int k = 1; k < kModelLevelCount && static_cast<std::size_t>(k) < present.size(); ++k)
        if (present[static_cast<std::size_t>(k)] && projectedRadius <= kMaxCellPixels * kLevelDivisions[k])
            level = k;
    return level;
}
