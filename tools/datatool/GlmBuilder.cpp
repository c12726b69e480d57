#include "GlmBuilder.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {
Vec3 transformPoint(const Mat4& m, const GlmVertex& v)
{
    return mat4TransformPoint(m, Vec3{v.x, v.y, v.z});
}

struct Box {
    Vec3 lo{std::numeric_limits<float>::max(), std::numeric_limits<float>::max(), std::numeric_limits<float>::max()};
    Vec3 hi{-std::numeric_limits<float>::max(), -std::numeric_limits<float>::max(),
            -std::numeric_limits<float>::max()};
    bool empty() const { return lo.x > hi.x; }
    void grow(Vec3 p)
    {
        lo = {std::min(lo.x, p.x), std::min(lo.y, p.y), std::min(lo.z, p.z)};
        hi = {std::max(hi.x, p.x), std::max(hi.y, p.y), std::max(hi.z, p.z)};
    }
};
}  // namespace

int GlmBuilder::texture(const std::string& name)
{
    const auto found = std::find(m_file.textures.begin(), m_file.textures.end(), name);
    if (found != m_file.textures.end())
        return static_cast<int>(found - m_file.textures.begin());
    m_file.textures.push_back(name);
    return static_cast<int>(m_file.textures.size() - 1);
}

void GlmBuilder::beginObject(const std::string& name)
{
    GlmObject object;
    object.name = name;
    object.firstNode = static_cast<std::uint32_t>(m_file.nodes.size());
    object.collFirstTriangle = static_cast<std::uint32_t>(m_file.collision.size());
    m_file.objects.push_back(object);
    m_open = true;
}

int GlmBuilder::addNode(const std::string& name, const Mesh& mesh, int texture, std::uint32_t flags, int parent,
                        const Mat4& matrix)
{
    const GlmObject& object = m_file.objects.back();
    GlmNode node;
    node.name = name;
    node.flags = flags;
    node.parent = parent < 0 ? -1 : static_cast<std::int32_t>(object.firstNode) + parent;
    node.matrix = matrix;
    node.texture = texture;
    node.vertexBase = static_cast<std::uint32_t>(m_file.vertices.size());
    node.vertexCount = static_cast<std::uint32_t>(mesh.vertices.size());
    node.firstIndex = static_cast<std::uint32_t>(m_file.indices.size());
    node.indexCount = static_cast<std::uint32_t>(mesh.indices.size());
    Box box;
    for (const GlmVertex& v : mesh.vertices)
        box.grow(Vec3{v.x, v.y, v.z});
    if (!box.empty()) {
        node.centre = Vec3{(box.lo.x + box.hi.x) / 2, (box.lo.y + box.hi.y) / 2, (box.lo.z + box.hi.z) / 2};
        node.radius = (box.hi.z - box.lo.z) / 2;
        node.size = std::max({box.hi.x - box.lo.x, box.hi.y - box.lo.y, box.hi.z - box.lo.z});
    }
    m_file.vertices.insert(m_file.vertices.end(), mesh.vertices.begin(), mesh.vertices.end());
    m_file.indices.insert(m_file.indices.end(), mesh.indices.begin(), mesh.indices.end());
    m_file.nodes.push_back(node);
    return static_cast<int>(m_file.nodes.size() - 1 - object.firstNode);
}

void GlmBuilder::endObject()
{
    if (!m_open)
        return;
    m_open = false;
    GlmObject& object = m_file.objects.back();
    object.nodeCount = static_cast<std::uint32_t>(m_file.nodes.size()) - object.firstNode;
    Box box;
    float radiusSq = 0.0f;
    for (std::uint32_t n = object.firstNode; n < object.firstNode + object.nodeCount; ++n) {
        const GlmNode& node = m_file.nodes[n];
        if (node.flags & GlmNode::kHelper)
            continue;
        const auto vertex = [&](std::uint32_t i) { return transformPoint(node.matrix, m_file.vertices[node.vertexBase + i]); };
        for (std::uint32_t i = 0; i < node.vertexCount; ++i) {
            const Vec3 p = vertex(i);
            box.grow(p);
            radiusSq = std::max(radiusSq, p.x * p.x + p.y * p.y + p.z * p.z);
        }
        for (std::uint32_t t = 0; t + 2 < node.indexCount; t += 3) {
            const std::uint16_t* index = &m_file.indices[node.firstIndex + t];
            m_file.collision.push_back(GlmTriangle{vertex(index[0]), vertex(index[1]), vertex(index[2])});
        }
    }
    if (!box.empty()) {
        object.boundsMin = box.lo;
        object.boundsMax = box.hi;
    }
    object.radius = std::sqrt(radiusSq);
    object.collTriangleCount = static_cast<std::uint32_t>(m_file.collision.size()) - object.collFirstTriangle;
}
