#pragma once
#include "render/world/PropWorld.h"

#include <cmath>
#include <string>
#include <vector>

// A box-shaped prop model: a closed box mesh as its collision triangles and
// one drawn piece (the box's top face) with a given texture.
class FakeBoxShape : public IPropShape {
public:
    FakeBoxShape(Vec3 lo, Vec3 hi, std::string texture, bool withMesh = true)
        : m_lo(lo), m_hi(hi), m_texture(std::move(texture))
    {
        const Vec3 c[8] = {{lo.x, lo.y, lo.z}, {hi.x, lo.y, lo.z}, {lo.x, hi.y, lo.z}, {hi.x, hi.y, lo.z},
                           {lo.x, lo.y, hi.z}, {hi.x, lo.y, hi.z}, {lo.x, hi.y, hi.z}, {hi.x, hi.y, hi.z}};
        const int faces[6][4] = {{0, 1, 3, 2}, {4, 6, 7, 5}, {0, 2, 6, 4}, {1, 5, 7, 3}, {0, 4, 5, 1}, {2, 3, 7, 6}};
        if (withMesh)
            for (const auto& f : faces) {
                m_tris.push_back({c[f[0]], c[f[1]], c[f[2]]});
                m_tris.push_back({c[f[0]], c[f[2]], c[f[3]]});
            }
        m_vertices = {{lo.x, hi.y, lo.z, 0, 1, 0, 0, 0}, {lo.x, hi.y, hi.z, 0, 1, 0, 0, 1},
                      {hi.x, hi.y, lo.z, 0, 1, 0, 1, 0}, {hi.x, hi.y, hi.z, 0, 1, 0, 1, 1}};
        m_indices = {0, 1, 2, 2, 1, 3};
    }
    Vec3 boundsMin() const override { return m_lo; }
    Vec3 boundsMax() const override { return m_hi; }
    std::span<const PropTriangle> collisionTriangles() const override { return m_tris; }
    std::size_t pieceCount() const override { return 1; }
    PropPiece piece(std::size_t) const override { return PropPiece{m_texture, m_vertices, m_indices, Mat4{}}; }

private:
    Vec3 m_lo, m_hi;
    std::string m_texture;
    std::vector<PropTriangle> m_tris;
    std::vector<PropVertex> m_vertices;
    std::vector<std::uint16_t> m_indices;
};

class FakePropWorld : public IPropWorld {
public:
    void add(const IPropShape* shape, Vec3 position, float yawRadians = 0.0f)
    {
        PropPlacement p;
        p.shape = shape;
        const float c = std::cos(yawRadians), s = std::sin(yawRadians);
        p.matrix.m[0] = c;
        p.matrix.m[2] = -s;
        p.matrix.m[8] = s;
        p.matrix.m[10] = c;
        p.matrix.m[12] = position.x;
        p.matrix.m[13] = position.y;
        p.matrix.m[14] = position.z;
        m_items.push_back(p);
    }
    void addRaw(const PropPlacement& p) { m_items.push_back(p); }
    std::size_t propCount() const override { return m_items.size(); }
    PropPlacement prop(std::size_t index) const override { return m_items[index]; }

private:
    std::vector<PropPlacement> m_items;
};
