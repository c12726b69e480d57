#include "render/assets/GlmFormat.h"

#include "platform/ByteReader.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {
constexpr char kMagic[4] = {'G', 'L', 'M', '1'};
constexpr std::uint32_t kVersion = 1;
// Smallest encoded sizes, used to refuse counts the remaining bytes cannot hold
// before anything is allocated.
constexpr std::size_t kTextureMinBytes = 2;
constexpr std::size_t kObjectMinBytes = 2 + 8 + 28 + 8;
constexpr std::size_t kNodeMinBytes = 2 + 8 + 64 + 16 + 4 + 20;
constexpr std::size_t kTriangleBytes = 36;

bool readVec3(ByteReader& in, Vec3& out)
{
    return in.f32(out.x) && in.f32(out.y) && in.f32(out.z);
}

// A name: u16 length, then its bytes.
bool readText(ByteReader& in, std::string& out)
{
    std::uint16_t length = 0;
    if (!in.count(length, 1))
        return false;
    out.resize(length);
    return in.bytes(out.data(), length);
}

bool readObject(ByteReader& in, GlmObject& o)
{
    return readText(in, o.name) && in.u32(o.firstNode) && in.u32(o.nodeCount) && readVec3(in, o.boundsMin) &&
           readVec3(in, o.boundsMax) && in.f32(o.radius) && in.u32(o.collFirstTriangle) &&
           in.u32(o.collTriangleCount);
}

bool readNode(ByteReader& in, GlmNode& n)
{
    if (!readText(in, n.name) || !in.u32(n.flags) || !in.i32(n.parent))
        return false;
    for (float& f : n.matrix.m)
        if (!in.f32(f))
            return false;
    return in.u32(n.firstIndex) && in.u32(n.indexCount) && in.u32(n.vertexBase) && in.u32(n.vertexCount) &&
           in.i32(n.texture) && readVec3(in, n.centre) && in.f32(n.radius) && in.f32(n.size);
}

bool readVertex(ByteReader& in, GlmVertex& v)
{
    return in.f32(v.x) && in.f32(v.y) && in.f32(v.z) && in.f32(v.nx) && in.f32(v.ny) && in.f32(v.nz) &&
           in.f32(v.u) && in.f32(v.v);
}

// a + b <= limit without overflow.
bool rangeInside(std::uint32_t first, std::uint32_t count, std::size_t limit)
{
    return first <= limit && count <= limit - first;
}

std::string checkObject(const GlmFile& file, std::size_t k)
{
    const GlmObject& o = file.objects[k];
    if (!rangeInside(o.firstNode, o.nodeCount, file.nodes.size()))
        return "object " + std::to_string(k) + " node range outside the node table";
    if (!rangeInside(o.collFirstTriangle, o.collTriangleCount, file.collision.size()))
        return "object " + std::to_string(k) + " collision range outside the triangle table";
    if (o.boundsMin.x > o.boundsMax.x || o.boundsMin.y > o.boundsMax.y || o.boundsMin.z > o.boundsMax.z ||
        o.radius < 0.0f)
        return "object " + std::to_string(k) + " has inverted bounds";
    for (std::uint32_t i = o.firstNode; i < o.firstNode + o.nodeCount; ++i) {
        const std::int32_t parent = file.nodes[i].parent;
        if (parent != -1 && (parent < static_cast<std::int64_t>(o.firstNode) || parent >= static_cast<std::int64_t>(i)))
            return "node " + std::to_string(i) + " has a parent outside its object or after it";
    }
    return {};
}

std::string checkNode(const GlmFile& file, std::size_t k)
{
    const GlmNode& n = file.nodes[k];
    const std::string which = "node " + std::to_string(k);
    if (!rangeInside(n.vertexBase, n.vertexCount, file.vertices.size()))
        return which + " vertex range outside the vertex table";
    if (!rangeInside(n.firstIndex, n.indexCount, file.indices.size()))
        return which + " index range outside the index table";
    if (n.indexCount % 3 != 0)
        return which + " index count is not whole triangles";
    if (n.texture < -1 || n.texture >= static_cast<std::int64_t>(file.textures.size()))
        return which + " texture outside the texture table";
    if (n.radius < 0.0f || n.size < 0.0f)
        return which + " has negative bounding values";
    const auto first = file.indices.begin() + n.firstIndex;
    const bool inside = std::all_of(first, first + n.indexCount, [&](std::uint16_t i) { return i < n.vertexCount; });
    if (!inside)
        return which + " index past its vertices";
    return {};
}

void putU16(std::vector<std::uint8_t>& out, std::uint16_t v)
{
    out.push_back(static_cast<std::uint8_t>(v));
    out.push_back(static_cast<std::uint8_t>(v >> 8));
}
void putU32(std::vector<std::uint8_t>& out, std::uint32_t v)
{
    for (int shift = 0; shift < 32; shift += 8)
        out.push_back(static_cast<std::uint8_t>(v >> shift));
}
void putF32(std::vector<std::uint8_t>& out, float f)
{
    std::uint32_t raw = 0;
    std::memcpy(&raw, &f, 4);
    putU32(out, raw);
}
void putVec3(std::vector<std::uint8_t>& out, const Vec3& v)
{
    putF32(out, v.x);
    putF32(out, v.y);
    putF32(out, v.z);
}
void putText(std::vector<std::uint8_t>& out, const std::string& text)
{
    const std::size_t length = std::min<std::size_t>(text.size(), 0xFFFF);
    putU16(out, static_cast<std::uint16_t>(length));
    out.insert(out.end(), text.begin(), text.begin() + static_cast<std::ptrdiff_t>(length));
}
void putCount(std::vector<std::uint8_t>& out, std::size_t n)
{
    putU32(out, static_cast<std::uint32_t>(n));
}
}  // namespace

std::string checkGlm(const GlmFile& file)
{
    for (std::size_t k = 0; k < file.nodes.size(); ++k)
        if (std::string fault = checkNode(file, k); !fault.empty())
            return fault;
    for (std::size_t k = 0; k < file.objects.size(); ++k)
        if (std::string fault = checkObject(file, k); !fault.empty())
            return fault;
    return {};
}

bool readGlm(std::span<const std::uint8_t> bytes, GlmFile& out, std::string& fault)
{
    const auto fail = [&fault](std::string why) {
        fault = std::move(why);
        return false;
    };
    ByteReader in(bytes);
    GlmFile file;
    std::uint32_t version = 0, vertexCount = 0, indexCount = 0, triangleCount = 0, count = 0;
    char magic[4] = {};
    if (!in.bytes(magic, 4) || std::memcmp(magic, kMagic, 4) != 0 || !in.u32(version))
        return fail("not a model file");
    if (version != kVersion)
        return fail("unknown version " + std::to_string(version));
    // The data blocks sit at the end, so their counts are checked once the
    // tables are read: the rest of the file must be exactly their size.
    if (!in.u32(vertexCount) || !in.u32(indexCount) || !in.u32(triangleCount))
        return fail("truncated header");
    if (!in.count(count, kTextureMinBytes))
        return fail("texture count past the end");
    file.textures.resize(count);
    for (std::string& name : file.textures)
        if (!readText(in, name))
            return fail("truncated texture table");
    if (!in.count(count, kObjectMinBytes))
        return fail("object count past the end");
    file.objects.resize(count);
    for (GlmObject& o : file.objects)
        if (!readObject(in, o))
            return fail("truncated or non-finite object table");
    if (!in.count(count, kNodeMinBytes))
        return fail("node count past the end");
    file.nodes.resize(count);
    for (GlmNode& n : file.nodes)
        if (!readNode(in, n))
            return fail("truncated or non-finite node table");
    const std::uint64_t dataBytes = std::uint64_t{vertexCount} * sizeof(GlmVertex) + std::uint64_t{indexCount} * 2 +
                                    std::uint64_t{triangleCount} * kTriangleBytes;
    if (dataBytes != in.remaining())
        return fail("data size " + std::to_string(in.remaining()) + " does not match the counts");
    file.vertices.resize(vertexCount);
    for (GlmVertex& v : file.vertices)
        if (!readVertex(in, v))
            return fail("non-finite vertex");
    file.indices.resize(indexCount);
    for (std::uint16_t& i : file.indices)
        if (!in.u16(i))
            return fail("truncated index data");
    file.collision.resize(triangleCount);
    for (GlmTriangle& t : file.collision)
        if (!readVec3(in, t.a) || !readVec3(in, t.b) || !readVec3(in, t.c))
            return fail("non-finite collision triangle");
    if (std::string bad = checkGlm(file); !bad.empty())
        return fail(std::move(bad));
    if (file.objects.empty())
        return fail("no objects");
    out = std::move(file);
    return true;
}

std::vector<std::uint8_t> writeGlm(const GlmFile& file)
{
    std::vector<std::uint8_t> out(kMagic, kMagic + 4);
    putU32(out, kVersion);
    putCount(out, file.vertices.size());
    putCount(out, file.indices.size());
    putCount(out, file.collision.size());
    putCount(out, file.textures.size());
    for (const std::string& name : file.textures)
        putText(out, name);
    putCount(out, file.objects.size());
    for (const GlmObject& o : file.objects) {
        putText(out, o.name);
        putU32(out, o.firstNode);
        putU32(out, o.nodeCount);
        putVec3(out, o.boundsMin);
        putVec3(out, o.boundsMax);
        putF32(out, o.radius);
        putU32(out, o.collFirstTriangle);
        putU32(out, o.collTriangleCount);
    }
    putCount(out, file.nodes.size());
    for (const GlmNode& n : file.nodes) {
        putText(out, n.name);
        putU32(out, n.flags);
        putU32(out, static_cast<std::uint32_t>(n.parent));
        for (float f : n.matrix.m)
            putF32(out, f);
        putU32(out, n.firstIndex);
        putU32(out, n.indexCount);
        putU32(out, n.vertexBase);
        putU32(out, n.vertexCount);
        putU32(out, static_cast<std::uint32_t>(n.texture));
        putVec3(out, n.centre);
        putF32(out, n.radius);
        putF32(out, n.size);
    }
    for (const GlmVertex& v : file.vertices)
        for (float f : {v.x, v.y, v.z, v.nx, v.ny, v.nz, v.u, v.v})
            putF32(out, f);
    for (std::uint16_t i : file.indices)
        putU16(out, i);
    for (const GlmTriangle& t : file.collision) {
        putVec3(out, t.a);
        putVec3(out, t.b);
        putVec3(out, t.c);
    }
    return out;
}
