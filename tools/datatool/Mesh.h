#pragma once
#include "render/assets/GlmFormat.h"

#include <cstdint>
#include <span>
#include <vector>

// Procedural geometry for the generated models: triangles wound
// counter-clockwise seen from outside, with outward normals. Coordinates are
// metres; a model's nose or bow points to -z, up is +y.
struct Mesh {
    std::vector<GlmVertex> vertices;
    std::vector<std::uint16_t> indices;
};

// How a primitive sets texture coordinates.
struct MeshUv {
    enum class Mode {
        Swatch,      // every vertex at one point: a flat color cell of a palette texture
        Wrapped,     // u along the length (0 at the first section, 1 at the last), v around
        PlanarXY,    // u, v from x, y about the centre, 0..1 over the given radius
    };
    Mode mode = Mode::Swatch;
    Vec2 at;                 // Swatch: the texture point
    float radius = 1.0f;     // PlanarXY: the radius mapped to the texture's edge
};
MeshUv swatchUv(Vec2 at);
MeshUv wrappedUv();
MeshUv planarUv(float radius);

// One cross-section of a lofted body: an ellipse-like ring at depth z
// centred at (x, y) with half width w, height top above and bottom below the
// centre. exponent 2 is an ellipse; larger values square the ring off.
struct LoftSection {
    float z = 0.0f;
    float w = 0.0f, top = 0.0f, bottom = 0.0f;
    float x = 0.0f, y = 0.0f;
    float exponent = 2.0f;
};

// A closed body through the sections (z ascending), smooth around. The ends
// are capped flat when capEnds is set and the end ring is not a point.
void addLoft(Mesh& mesh, std::span<const LoftSection> sections, int segments, const MeshUv& uv, bool capEnds);

// A convex six-faced solid from eight corners indexed as a box (bit 0: +x,
// bit 1: +y, bit 2: +z side); flat faces, so it serves boxes, wedges,
// tapered wings and fins. Collapsed corners are allowed: zero-area
// triangles are left out.
void addHexahedron(Mesh& mesh, const Vec3 (&corners)[8], const MeshUv& uv);
void addBox(Mesh& mesh, Vec3 lo, Vec3 hi, const MeshUv& uv);

enum class Axis { X, Y, Z };
// A capped cylinder along an axis, centred at centre, half length h.
void addCylinder(Mesh& mesh, Vec3 centre, Axis axis, float radius, float h, int segments, const MeshUv& uv);

// A flat two-sided-free sheet (one face, normal as given) over four corners
// in order around it; u runs from 1 at the first edge (c0-c1) to 0 at the
// opposite one, v across. Used for vapour sheets.
void addSheet(Mesh& mesh, Vec3 c0, Vec3 c1, Vec3 c2, Vec3 c3, Vec3 normal);

// Appends another mesh's triangles.
void appendMesh(Mesh& mesh, const Mesh& other);

// Reflects the mesh across x = 0 (keeping outward winding) and appends it.
void addMirroredX(Mesh& mesh, const Mesh& source);

// Number of triangles whose winding disagrees with their vertex normals;
// 0 for a well-formed mesh.
int countInvertedTriangles(const Mesh& mesh);
