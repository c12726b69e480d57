#pragma once
#include "platform/Math.h"

#include <cmath>

// Small vector helpers for the world code.
namespace vecops {

inline Vec3 add(const Vec3& a, const Vec3& b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
inline Vec3 sub(const Vec3& a, const Vec3& b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
inline Vec3 scale(const Vec3& a, float s) { return {a.x * s, a.y * s, a.z * s}; }
inline float dot(const Vec3& a, const Vec3& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
inline Vec3 cross(const Vec3& a, const Vec3& b)
{
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
inline float length(const Vec3& a) { return std::sqrt(dot(a, a)); }
// The zero vector (and one with a NaN) comes back as `fallback`.
inline Vec3 normalizeOr(const Vec3& a, const Vec3& fallback)
{
    const float len = length(a);
    if (!(len > 1e-20f) || !std::isfinite(len))
        return fallback;
    return scale(a, 1.0f / len);
}
inline float clampf(float v, float lo, float hi) { return v < lo ? lo : (v > hi ? hi : v); }
inline float lerpf(float a, float b, float t) { return a + (b - a) * t; }

// Column-order 4x4 transforms (translation in m[12..14]).
inline Vec3 transformPoint(const Mat4& m, const Vec3& p)
{
    return {m.m[0] * p.x + m.m[4] * p.y + m.m[8] * p.z + m.m[12],
            m.m[1] * p.x + m.m[5] * p.y + m.m[9] * p.z + m.m[13],
            m.m[2] * p.x + m.m[6] * p.y + m.m[10] * p.z + m.m[14]};
}
inline Vec3 transformDirection(const Mat4& m, const Vec3& d)
{
    return {m.m[0] * d.x + m.m[4] * d.y + m.m[8] * d.z,
            m.m[1] * d.x + m.m[5] * d.y + m.m[9] * d.z,
            m.m[2] * d.x + m.m[6] * d.y + m.m[10] * d.z};
}
Mat4 multiply(const Mat4& a, const Mat4& b);
// Inverse of an affine transform (last row 0 0 0 1); false when it is singular.
bool invertAffine(const Mat4& m, Mat4& out);

}  // namespace vecops
