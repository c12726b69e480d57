#include "render/internal/VecOps.h"

#include <cmath>

namespace vecops {

Vec3 normalizeOr(const Vec3& a, const Vec3& fallback)
{
    const float len = std::sqrt(vec3Dot(a, a));
    if (!(len > 1e-20f) || !std::isfinite(len))
        return fallback;
    return a * (1.0f / len);
}

float linearDeterminant(const Mat4& m)
{
    const float a = m.m[0], b = m.m[4], c = m.m[8];
    const float d = m.m[1], e = m.m[5], f = m.m[9];
    const float g = m.m[2], h = m.m[6], i = m.m[10];
    return a * (e * i - f * h) - b * (d * i - f * g) + c * (d * h - e * g);
}

bool invertAffine(const Mat4& m, Mat4& out)
{
    // The 3x3 part by cofactors, then the translation.
    const float a = m.m[0], b = m.m[4], c = m.m[8];
    const float d = m.m[1], e = m.m[5], f = m.m[9];
    const float g = m.m[2], h = m.m[6], i = m.m[10];
    const float det = linearDeterminant(m);
    if (!(std::fabs(det) > 1e-12f) || !std::isfinite(det))
        return false;
    const float k = 1.0f / det;
    Mat4 r;
    r.m[0] = (e * i - f * h) * k;
    r.m[4] = (c * h - b * i) * k;
    r.m[8] = (b * f - c * e) * k;
    r.m[1] = (f * g - d * i) * k;
    r.m[5] = (a * i - c * g) * k;
    r.m[9] = (c * d - a * f) * k;
    r.m[2] = (d * h - e * g) * k;
    r.m[6] = (b * g - a * h) * k;
    r.m[10] = (a * e - b * d) * k;
    const Vec3 t{m.m[12], m.m[13], m.m[14]};
    const Vec3 it = rotateVector3x3(r, t);
    r.m[12] = -it.x;
    r.m[13] = -it.y;
    r.m[14] = -it.z;
    r.m[3] = r.m[7] = r.m[11] = 0.0f;
    r.m[15] = 1.0f;
    out = r;
    return true;
}

}  // namespace vecops
