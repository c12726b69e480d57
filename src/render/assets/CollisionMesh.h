#pragma once
#include "platform/Math.h"
#include "render/assets/GlmFormat.h"

#include <span>

class Model;

// Contact tests against closed triangle meshes (the collision triangles every
// model carries), all in the triangles' own space.

// Whether a sphere meets the mesh: a triangle lies within radius of the
// point, or the point is inside (an upward ray from it crosses the mesh an
// odd number of times).
bool meshTouches(std::span<const GlmTriangle> triangles, const Vec3& point, float radius);

// Whether the mesh lies above the point: an upward ray from it meets a triangle.
bool meshCovers(std::span<const GlmTriangle> triangles, const Vec3& point);

// A model's contact with a sphere around a point in model space: the model's
// box widened by radius is the cheap reject, then its collision triangles
// decide. A model without triangles is its box; one without a box is touched
// everywhere.
bool modelTouches(const Model& model, const Vec3& localPoint, float radius);
