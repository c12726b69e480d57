#pragma once
#include "platform/Math.h"

// Vector helpers of the world code that the shared math lacks.
namespace vecops {

// Unit length by an exact square root; the zero vector (and one with a NaN or
// an infinity) comes back as `fallback`.
Vec3 normalizeOr(const Vec3& a, const Vec3& fallback);
inline float lerpf(float a, float b, float t) { return a + (b - a) * t; }
// Inverse of an affine transform (last row 0 0 0 1); false when it is singular.
bool invertAffine(const Mat4& m, Mat4& out);

}  // namespace vecops
