#include "Mesh.h"

#include <cmath>

namespace {
Vec3 normalised(Vec3 a)
{
    return vec3Normalize(a);
}
Vec3 positionOf(const GlmVertex& v)
{
    return {v.x, v.y, v.z};
}
Vec3 normalOf(const GlmVertex& v)
{
    return {v.nx, v.ny, v.nz};
}

// Areas below this (square metres, doubled) are treated as no triangle.
constexpr float kMinDoubleArea = 1e-8f;

Vec2 uvAt(const MeshUv& uv, Vec3 p, float along, float around)
{
    switch (uv.mode) {
    case MeshUv::Mode::Wrapped:
        return {along, around};
    case MeshUv::Mode::PlanarXY:
        return {0.5f + p.x / (2.0f * uv.radius), 0.5f + p.y / (2.0f * uv.radius)};
    case MeshUv::Mode::Swatch:
        break;
    }
    return uv.at;
}

std::uint16_t pushVertex(Mesh& mesh, Vec3 p, Vec3 n, Vec2 t)
{
    mesh.vertices.push_back(GlmVertex{p.x, p.y, p.z, n.x, n.y, n.z, t.x, t.y});
    return static_cast<std::uint16_t>(mesh.vertices.size() - 1);
}

// Appends the triangle wound so that its face points along facing; skips it
// when it has no area.
void pushTriangle(Mesh& mesh, std::uint16_t a, std::uint16_t b, std::uint16_t c, Vec3 facing)
{
    const Vec3 pa = positionOf(mesh.vertices[a]);
    const Vec3 face = vec3CrossB(positionOf(mesh.vertices[b]) - pa, positionOf(mesh.vertices[c]) - pa);
    if (vec3Length(face) < kMinDoubleArea)
        return;
    if (vec3Dot(face, facing) < 0.0f)
        std::swap(b, c);
    mesh.indices.insert(mesh.indices.end(), {a, b, c});
}

// Superellipse-like ring point of a section at angle a.
Vec3 ringPoint(const LoftSection& s, float a)
{
    const float c = std::cos(a), sn = std::sin(a);
    const float power = 2.0f / s.exponent;
    const float x = std::copysign(std::pow(std::fabs(c), power), c);
    const float y = std::copysign(std::pow(std::fabs(sn), power), sn);
    return {s.x + s.w * x, s.y + (y >= 0.0f ? s.top : s.bottom) * y, s.z};
}

void addCap(Mesh& mesh, const LoftSection& s, int segments, const MeshUv& uv, Vec3 normal)
{
    const Vec3 centre{s.x, s.y, s.z};
    const std::uint16_t middle = pushVertex(mesh, centre, normal, uvAt(uv, centre, 0.5f, 0.5f));
    const std::uint16_t first = static_cast<std::uint16_t>(mesh.vertices.size());
    for (int j = 0; j < segments; ++j) {
        const Vec3 p = ringPoint(s, 2.0f * kPi * float(j) / float(segments));
        pushVertex(mesh, p, normal, uvAt(uv, p, 0.5f, float(j) / float(segments)));
    }
    for (int j = 0; j < segments; ++j)
        pushTriangle(mesh, middle, static_cast<std::uint16_t>(first + j),
                     static_cast<std::uint16_t>(first + (j + 1) % segments), normal);
}

// Maps a z-axis build onto another axis by a proper rotation, so winding holds.
Vec3 toAxis(Vec3 p, Axis axis)
{
    switch (axis) {
    case Axis::X:
        return {p.z, p.y, -p.x};
    case Axis::Y:
        return {p.x, p.z, -p.y};
    case Axis::Z:
        break;
    }
    return p;
}
}  // namespace

MeshUv swatchUv(Vec2 at)
{
    MeshUv uv;
    uv.at = at;
    return uv;
}

MeshUv wrappedUv()
{
    MeshUv uv;
    uv.mode = MeshUv::Mode::Wrapped;
    return uv;
}

MeshUv planarUv(float radius)
{
    MeshUv uv;
    uv.mode = MeshUv::Mode::PlanarXY;
    uv.radius = radius;
    return uv;
}

void addLoft(Mesh& mesh, std::span<const LoftSection> sections, int segments, const MeshUv& uv, bool capEnds)
{
    const std::size_t rings = sections.size();
    if (rings < 2 || segments < 3)
        return;
    const auto seg = static_cast<std::size_t>(segments);
    std::vector<Vec3> points(rings * seg);
    std::vector<Vec3> normals(rings * seg);
    for (std::size_t i = 0; i < rings; ++i)
        for (std::size_t j = 0; j < seg; ++j)
            points[i * seg + j] = ringPoint(sections[i], 2.0f * kPi * float(j) / float(segments));
    // Each quad's normal (the cross product of its diagonals, so area
    // weighted and outward as vec3CrossB(ring, z)) goes to its four corners alike:
    // symmetric, so thin flat sections keep their edge normals sideways.
    std::vector<Vec3> quadNormals((rings - 1) * seg);
    for (std::size_t i = 0; i + 1 < rings; ++i)
        for (std::size_t j = 0; j < seg; ++j) {
            const std::size_t a = i * seg + j, b = i * seg + (j + 1) % seg;
            const std::size_t c = (i + 1) * seg + j, d = (i + 1) * seg + (j + 1) % seg;
            const Vec3 n = vec3CrossB(points[d] - points[a], points[c] - points[b]);
            quadNormals[i * seg + j] = n;
            for (std::size_t k : {a, b, c, d})
                normals[k] = normals[k] + n;
        }
    const float z0 = sections.front().z, span = sections.back().z - z0;
    const std::uint16_t first = static_cast<std::uint16_t>(mesh.vertices.size());
    for (std::size_t i = 0; i < rings; ++i)
        for (std::size_t j = 0; j <= seg; ++j) {
            const std::size_t k = i * seg + j % seg;
            const float along = span > 0.0f ? (sections[i].z - z0) / span : 0.0f;
            pushVertex(mesh, points[k], normalised(normals[k]), uvAt(uv, points[k], along, float(j) / float(segments)));
        }
    const std::size_t row = seg + 1;
    for (std::size_t i = 0; i + 1 < rings; ++i)
        for (std::size_t j = 0; j < seg; ++j) {
            const auto a = static_cast<std::uint16_t>(first + i * row + j);
            const auto b = static_cast<std::uint16_t>(a + 1);
            const auto c = static_cast<std::uint16_t>(a + row);
            const auto d = static_cast<std::uint16_t>(c + 1);
            const Vec3 facing = quadNormals[i * seg + j];
            pushTriangle(mesh, a, b, c, facing);
            pushTriangle(mesh, b, d, c, facing);
        }
    if (capEnds) {
        const LoftSection& head = sections.front();
        const LoftSection& tail = sections.back();
        if (head.w > 0.0f && head.top + head.bottom > 0.0f)
            addCap(mesh, head, segments, uv, Vec3{0, 0, -1});
        if (tail.w > 0.0f && tail.top + tail.bottom > 0.0f)
            addCap(mesh, tail, segments, uv, Vec3{0, 0, 1});
    }
}

void addHexahedron(Mesh& mesh, const Vec3 (&corners)[8], const MeshUv& uv)
{
    static constexpr int kFaces[6][4] = {{0, 2, 6, 4}, {1, 3, 7, 5}, {0, 1, 5, 4},
                                         {2, 3, 7, 6}, {0, 1, 3, 2}, {4, 5, 7, 6}};
    Vec3 solidCentre;
    for (const Vec3& c : corners)
        solidCentre = solidCentre + c * 0.125f;
    for (const auto& face : kFaces) {
        // Newell's normal copes with collapsed corners.
        Vec3 n, faceCentre;
        for (int k = 0; k < 4; ++k) {
            const Vec3 p = corners[face[k]], q = corners[face[(k + 1) % 4]];
            n = n + Vec3{(p.y - q.y) * (p.z + q.z), (p.z - q.z) * (p.x + q.x), (p.x - q.x) * (p.y + q.y)};
            faceCentre = faceCentre + p * 0.25f;
        }
        if (vec3Length(n) < kMinDoubleArea)
            continue;
        if (vec3Dot(n, faceCentre - solidCentre) < 0.0f)
            n = -n;
        n = normalised(n);
        std::uint16_t v[4];
        for (int k = 0; k < 4; ++k)
            v[k] = pushVertex(mesh, corners[face[k]], n, uvAt(uv, corners[face[k]], 0.0f, 0.0f));
        pushTriangle(mesh, v[0], v[1], v[2], n);
        pushTriangle(mesh, v[0], v[2], v[3], n);
    }
}

void addBox(Mesh& mesh, Vec3 lo, Vec3 hi, const MeshUv& uv)
{
    Vec3 corners[8];
    for (int i = 0; i < 8; ++i)
        corners[i] = Vec3{i & 1 ? hi.x : lo.x, i & 2 ? hi.y : lo.y, i & 4 ? hi.z : lo.z};
    addHexahedron(mesh, corners, uv);
}

void addCylinder(Mesh& mesh, Vec3 centre, Axis axis, float radius, float h, int segments, const MeshUv& uv)
{
    Mesh local;
    const LoftSection ends[2] = {LoftSection{-h, radius, radius, radius, 0, 0, 2.0f},
                                 LoftSection{h, radius, radius, radius, 0, 0, 2.0f}};
    addLoft(local, ends, segments, uv, true);
    const auto base = static_cast<std::uint16_t>(mesh.vertices.size());
    for (GlmVertex v : local.vertices) {
        const Vec3 p = toAxis(positionOf(v), axis) + centre;
        const Vec3 n = toAxis(normalOf(v), axis);
        mesh.vertices.push_back(GlmVertex{p.x, p.y, p.z, n.x, n.y, n.z, v.u, v.v});
    }
    for (std::uint16_t i : local.indices)
        mesh.indices.push_back(static_cast<std::uint16_t>(base + i));
}

void addSheet(Mesh& mesh, Vec3 c0, Vec3 c1, Vec3 c2, Vec3 c3, Vec3 normal)
{
    normal = normalised(normal);
    const std::uint16_t a = pushVertex(mesh, c0, normal, {1, 0});
    const std::uint16_t b = pushVertex(mesh, c1, normal, {1, 1});
    const std::uint16_t c = pushVertex(mesh, c2, normal, {0, 1});
    const std::uint16_t d = pushVertex(mesh, c3, normal, {0, 0});
    pushTriangle(mesh, a, b, c, normal);
    pushTriangle(mesh, a, c, d, normal);
}

void appendMesh(Mesh& mesh, const Mesh& other)
{
    const auto base = static_cast<std::uint16_t>(mesh.vertices.size());
    mesh.vertices.insert(mesh.vertices.end(), other.vertices.begin(), other.vertices.end());
    for (std::uint16_t i : other.indices)
        mesh.indices.push_back(static_cast<std::uint16_t>(base + i));
}

void addMirroredX(Mesh& mesh, const Mesh& source)
{
    const auto base = static_cast<std::uint16_t>(mesh.vertices.size());
    for (GlmVertex v : source.vertices) {
        v.x = -v.x;
        v.nx = -v.nx;
        mesh.vertices.push_back(v);
    }
    for (std::size_t t = 0; t + 2 < source.indices.size(); t += 3)
        mesh.indices.insert(mesh.indices.end(),
                            {static_cast<std::uint16_t>(base + source.indices[t]),
                             static_cast<std::uint16_t>(base + source.indices[t + 2]),
                             static_cast<std::uint16_t>(base + source.indices[t + 1])});
}

int countInvertedTriangles(const Mesh& mesh)
{
    int inverted = 0;
    for (std::size_t t = 0; t + 2 < mesh.indices.size(); t += 3) {
        const GlmVertex& a = mesh.vertices[mesh.indices[t]];
        const GlmVertex& b = mesh.vertices[mesh.indices[t + 1]];
        const GlmVertex& c = mesh.vertices[mesh.indices[t + 2]];
        const Vec3 face = vec3CrossB(positionOf(b) - positionOf(a), positionOf(c) - positionOf(a));
        const Vec3 normals = normalOf(a) + normalOf(b) + normalOf(c);
        if (vec3Dot(face, normals) < 0.0f)
            ++inverted;
    }
    return inverted;
}
