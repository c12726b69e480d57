#pragma once
#include "Mesh.h"
#include "render/assets/GlmFormat.h"

#include <string>

// Assembles a .glm file object by object from node meshes, filling in what
// the game reads without looking at vertices: node bounding values, object
// bounds and radius, and the collision triangles (the drawn nodes' triangles
// in object space).
class GlmBuilder {
public:
    // Index of a texture file name, added on first use.
    int texture(const std::string& name);

    void beginObject(const std::string& name);
    // A node from a mesh in node space; matrix takes it to object space.
    // Returns the node's index within the current object.
    int addNode(const std::string& name, const Mesh& mesh, int texture, std::uint32_t flags = 0, int parent = -1,
                const Mat4& matrix = Mat4{});
    void endObject();

    const GlmFile& file() const { return m_file; }

private:
    GlmFile m_file;
    bool m_open = false;
};
