#pragma once
#include "platform/Math.h"

#include <cstdint>
#include <span>
#include <string>
#include <vector>

// The .glm model file, little-endian:
//
//   char magic[4] = "GLM1"; u32 version = 1
//   u32 vertexCount, indexCount            vertices 32 bytes, indices u16
//   u32 collisionTriangleCount             triangles of 9 floats, object space
//   u32 textureCount { u16 len; char name[len] }
//   u32 objectCount  { u16 len; char name[len]; u32 firstNode, nodeCount;
//                      f32 boundsMin[3], boundsMax[3], radius;
//                      u32 collFirstTriangle, collTriangleCount }
//   u32 nodeCount    { u16 len; char name[len]; u32 flags; i32 parent; f32 matrix[16];
//                      u32 firstIndex, indexCount, vertexBase, vertexCount; i32 texture;
//                      f32 centre[3], radius, size }
//   vertex data; index data; collision triangle data
//
// One file holds one or more objects ("name.glm_<k>" addresses object k); an
// object owns a run of nodes. Node indices count from the node's vertexBase,
// so every index of a node is below its vertexCount. A node's vertices are in
// node space; its matrix takes node space to object space and already holds
// the parents' transforms (the parent index only records the hierarchy).

struct GlmVertex {
    float x = 0.0f, y = 0.0f, z = 0.0f;
    float nx = 0.0f, ny = 0.0f, nz = 0.0f;
    float u = 0.0f, v = 0.0f;
};
static_assert(sizeof(GlmVertex) == 32, "the model vertex is 32 bytes");

struct GlmTriangle {
    Vec3 a, b, c;
};

struct GlmNode {
    static constexpr std::uint32_t kHelper = 1;   // not drawn with the model: effect meshes, markers

    std::string name;
    std::uint32_t flags = 0;
    std::int32_t parent = -1;                  // file node index, -1 for a root
    Mat4 matrix;                               // node space to object space
    std::uint32_t firstIndex = 0, indexCount = 0;   // triangle list, three indices a triangle
    std::uint32_t vertexBase = 0, vertexCount = 0;
    std::int32_t texture = -1;                 // into the file's texture names, -1 for none
    // Bounding values in node space: the box centre, half the box depth
    // along z, and the longest box edge. A jet mesh thus runs along z from
    // centre.z - radius (the nozzle) to centre.z + radius (the flame tip).
    Vec3 centre;
    float radius = 0.0f;
    float size = 0.0f;
};

struct GlmObject {
    std::string name;
    std::uint32_t firstNode = 0, nodeCount = 0;
    Vec3 boundsMin, boundsMax;                 // object space, drawn nodes only
    float radius = 0.0f;                       // farthest drawn vertex from the object origin
    std::uint32_t collFirstTriangle = 0, collTriangleCount = 0;
};

struct GlmFile {
    std::vector<std::string> textures;         // file names such as "units.pvr"
    std::vector<GlmObject> objects;
    std::vector<GlmNode> nodes;
    std::vector<GlmVertex> vertices;
    std::vector<std::uint16_t> indices;
    std::vector<GlmTriangle> collision;
};

// Decodes a whole file. False, with out untouched and fault set to a short
// reason, when any count or offset disagrees with the file size or with the
// other tables, when a number is not finite, or when bytes are left over.
[[nodiscard]] bool readGlm(std::span<const std::uint8_t> bytes, GlmFile& out, std::string& fault);

// The tables' cross-checks alone (what readGlm also applies): every range
// inside its table, every index inside its node's vertices, parents earlier in
// the same object. Empty when sound, else the first fault.
std::string checkGlm(const GlmFile& file);

// Encodes a file; the caller makes sure checkGlm passes. Names are cut at
// 65535 bytes.
std::vector<std::uint8_t> writeGlm(const GlmFile& file);
