#pragma once
#include "render/assets/GlmFormat.h"

#include <cstdint>
#include <string>

// A small two-object model file for the .glm and Model tests: object 0
// "plane" has a drawn "body" box, a helper "jetglow" quad and a child
// "canopy"; object 1 "hangar" has one box. Values are chosen so that no two
// fields share a number.
inline void addBox(GlmFile& file, const char* name, Vec3 lo, Vec3 hi, std::uint32_t flags, std::int32_t parent,
                   std::int32_t texture)
{
    GlmNode node;
    node.name = name;
    node.flags = flags;
    node.parent = parent;
    node.vertexBase = static_cast<std::uint32_t>(file.vertices.size());
    node.firstIndex = static_cast<std::uint32_t>(file.indices.size());
    node.texture = texture;
    for (int i = 0; i < 8; ++i)
        file.vertices.push_back(GlmVertex{i & 1 ? hi.x : lo.x, i & 2 ? hi.y : lo.y, i & 4 ? hi.z : lo.z, 0, 1, 0,
                                          float(i & 1), float((i >> 1) & 1)});
    const std::uint16_t faces[12][3] = {{0, 2, 1}, {1, 2, 3}, {4, 5, 6}, {5, 7, 6}, {0, 1, 4}, {1, 5, 4},
                                        {2, 6, 3}, {3, 6, 7}, {0, 4, 2}, {2, 4, 6}, {1, 3, 5}, {3, 7, 5}};
    for (const auto& f : faces)
        file.indices.insert(file.indices.end(), {f[0], f[1], f[2]});
    node.vertexCount = 8;
    node.indexCount = 36;
    node.centre = Vec3{(lo.x + hi.x) / 2, (lo.y + hi.y) / 2, (lo.z + hi.z) / 2};
    node.radius = (hi.z - lo.z) / 2;
    node.size = hi.z - lo.z;
    file.nodes.push_back(node);
}

inline GlmFile makeTestGlm()
{
    GlmFile file;
    file.textures = {"units.pvr", "canopy.png"};
    addBox(file, "body", {-1, -1, -6}, {1, 1, 6}, 0, -1, 0);
    addBox(file, "jetglow", {-0.5f, -0.5f, 6}, {0.5f, 0.5f, 7}, GlmNode::kHelper, 0, -1);
    addBox(file, "canopy", {-0.5f, 1, -3}, {0.5f, 1.5f, -1}, 0, 0, 1);
    file.nodes[2].matrix.m[12] = 0.25f;
    file.nodes[2].matrix.m[13] = 0.5f;
    file.nodes[2].matrix.m[14] = -0.75f;
    addBox(file, "hangar", {-20, 0, -30}, {20, 15, 30}, 0, -1, 0);
    file.collision = {GlmTriangle{{-1, -1, -6}, {1, -1, -6}, {1, 1, -6}},
                      GlmTriangle{{-20, 0, -30}, {20, 0, -30}, {20, 15, -30}},
                      GlmTriangle{{-20, 0, 30}, {20, 0, 30}, {20, 15, 30}}};
    GlmObject plane;
    plane.name = "plane";
    plane.firstNode = 0;
    plane.nodeCount = 3;
    plane.boundsMin = Vec3{-1, -1, -6};
    plane.boundsMax = Vec3{1, 2, 6};
    plane.radius = 6.2f;
    plane.collFirstTriangle = 0;
    plane.collTriangleCount = 1;
    GlmObject hangar;
    hangar.name = "hangar";
    hangar.firstNode = 3;
    hangar.nodeCount = 1;
    hangar.boundsMin = Vec3{-20, 0, -30};
    hangar.boundsMax = Vec3{20, 15, 30};
    hangar.radius = 39.0f;
    hangar.collFirstTriangle = 1;
    hangar.collTriangleCount = 2;
    file.objects = {plane, hangar};
    return file;
}

// A unit cube centred on the origin: one drawn node "box" with a flat normal
// per face, wound counter-clockwise seen from outside, no texture.
inline GlmFile makeCubeGlm()
{
    GlmFile file;
    GlmNode node;
    node.name = "box";
    // Per face: the normal, then two edge directions s and t with cross(s, t) = normal.
    const float faces[6][3][3] = {{{1, 0, 0}, {0, 1, 0}, {0, 0, 1}},  {{-1, 0, 0}, {0, 0, 1}, {0, 1, 0}},
                                  {{0, 1, 0}, {0, 0, 1}, {1, 0, 0}},  {{0, -1, 0}, {1, 0, 0}, {0, 0, 1}},
                                  {{0, 0, 1}, {1, 0, 0}, {0, 1, 0}},  {{0, 0, -1}, {0, 1, 0}, {1, 0, 0}}};
    for (const auto& face : faces) {
        const float* f = face[0];
        const float* s = face[1];
        const float* t = face[2];
        const auto base = static_cast<std::uint16_t>(file.vertices.size());
        for (int k = 0; k < 4; ++k) {
            const float a = (k & 1) ? 0.5f : -0.5f, b = (k & 2) ? 0.5f : -0.5f;
            file.vertices.push_back(GlmVertex{f[0] * 0.5f + s[0] * a + t[0] * b, f[1] * 0.5f + s[1] * a + t[1] * b,
                                              f[2] * 0.5f + s[2] * a + t[2] * b, f[0], f[1], f[2], float(k & 1),
                                              float(k >> 1)});
        }
        file.indices.insert(file.indices.end(), {base, std::uint16_t(base + 1), std::uint16_t(base + 3), base,
                                                 std::uint16_t(base + 3), std::uint16_t(base + 2)});
    }
    node.vertexCount = 24;
    node.indexCount = 36;
    node.radius = 0.5f;
    node.size = 1.0f;
    file.nodes.push_back(node);
    GlmObject cube;
    cube.name = "cube";
    cube.nodeCount = 1;
    cube.boundsMin = Vec3{-0.5f, -0.5f, -0.5f};
    cube.boundsMax = Vec3{0.5f, 0.5f, 0.5f};
    cube.radius = 0.87f;
    file.objects.push_back(cube);
    return file;
}
