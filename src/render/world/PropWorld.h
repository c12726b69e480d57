#pragma once
#include "platform/Math.h"
#include "render/assets/GlmFormat.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

// What the props code needs of the map's static items: their models' drawn
// pieces, bounds and collision triangles, and where each item stands. The
// game world implements IPropWorld over its item table; tests use small fakes.

// The model's 32-byte vertex and its collision triangle.
using PropVertex = GlmVertex;
using PropTriangle = GlmTriangle;

// One drawn piece of a model: a triangle list with one texture.
struct PropPiece {
    std::string_view texture;                 // file name, "units.pvr"
    std::span<const PropVertex> vertices;     // piece space
    std::span<const std::uint16_t> indices;   // three a triangle, below vertices.size()
    Mat4 matrix;                              // piece space to shape space
};

class IPropShape {
public:
    virtual ~IPropShape() = default;
    // Shape space box of the drawn pieces.
    virtual Vec3 boundsMin() const = 0;
    virtual Vec3 boundsMax() const = 0;
    // Shape space; empty when the model has none, and the box alone then
    // decides a collision.
    virtual std::span<const PropTriangle> collisionTriangles() const = 0;
    virtual std::size_t pieceCount() const = 0;
    virtual PropPiece piece(std::size_t index) const = 0;
    // Around each bake of the shape's pieces into a prop batch: beforeBake
    // may bring back pieces a free of model data dropped, markBaked says the
    // pieces now live in a batch. A shape over a shared model passes both on
    // to the model; the default does nothing.
    virtual void beforeBake() const {}
    virtual void markBaked() const {}
};

struct PropPlacement {
    const IPropShape* shape = nullptr;  // null: no prop at this item
    Mat4 matrix;                        // shape space to world space
    bool solid = true;                  // false: rolled over or flown through, never crashed into
};

class IPropWorld {
public:
    virtual ~IPropWorld() = default;
    virtual std::size_t propCount() const = 0;
    virtual PropPlacement prop(std::size_t index) const = 0;
};
