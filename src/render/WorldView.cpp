#include "render/WorldView.h"

#include "render/internal/VecOps.h"

#include <cmath>

using namespace vecops;

WorldView WorldView::fromMatrices(const Vec3& eye, const Mat4& view, const Mat4& projection)
{
    WorldView v;
    v.eye = eye;
    v.view = view;
    v.projection = projection;
    const Mat4 clip = multiply(projection, view);
    auto row = [&clip](int r, int c) { return clip.m[c * 4 + r]; };
    // Gribb and Hartmann: plane = row 3 +/- row k.
    const int rows[6] = {0, 0, 1, 1, 2, 2};
    const float signs[6] = {1, -1, 1, -1, 1, -1};
    for (int p = 0; p < 6; ++p) {
        float plane[4];
        for (int c = 0; c < 4; ++c)
            plane[c] = row(3, c) + signs[p] * row(rows[p], c);
        const float len = std::sqrt(plane[0] * plane[0] + plane[1] * plane[1] + plane[2] * plane[2]);
        const float k = len > 1e-20f ? 1.0f / len : 0.0f;
        for (int c = 0; c < 4; ++c)
            v.planes[p][c] = plane[c] * k;
    }
    return v;
}

bool WorldView::sphereVisible(const Vec3& centre, float radius) const
{
    for (const auto& p : planes)
        if (p[0] * centre.x + p[1] * centre.y + p[2] * centre.z + p[3] < -radius)
            return false;
    return true;
}

bool WorldView::boxVisible(const Vec3& boxMin, const Vec3& boxMax) const
{
    for (const auto& p : planes) {
        // The corner farthest along the plane normal.
        const float x = p[0] >= 0.0f ? boxMax.x : boxMin.x;
        const float y = p[1] >= 0.0f ? boxMax.y : boxMin.y;
        const float z = p[2] >= 0.0f ? boxMax.z : boxMin.z;
        if (p[0] * x + p[1] * y + p[2] * z + p[3] < 0.0f)
            return false;
    }
    return true;
}

Mat4 perspectiveMatrix(float fovY, float aspect, float nearPlane, float farPlane)
{
    const float f = 1.0f / std::tan(fovY * 0.5f);
    Mat4 m;
    for (float& v : m.m)
        v = 0.0f;
    m.m[0] = f / (aspect > 0.0f ? aspect : 1.0f);
    m.m[5] = f;
    m.m[10] = (farPlane + nearPlane) / (nearPlane - farPlane);
    m.m[11] = -1.0f;
    m.m[14] = 2.0f * farPlane * nearPlane / (nearPlane - farPlane);
    return m;
}

Mat4 lookAtMatrix(const Vec3& eye, const Vec3& target, const Vec3& up)
{
    const Vec3 f = normalizeOr(sub(target, eye), Vec3{0, 0, -1});
    const Vec3 s = normalizeOr(cross(f, up), Vec3{1, 0, 0});
    const Vec3 u = cross(s, f);
    Mat4 m;
    m.m[0] = s.x;
    m.m[4] = s.y;
    m.m[8] = s.z;
    m.m[1] = u.x;
    m.m[5] = u.y;
    m.m[9] = u.z;
    m.m[2] = -f.x;
    m.m[6] = -f.y;
    m.m[10] = -f.z;
    m.m[12] = -dot(s, eye);
    m.m[13] = -dot(u, eye);
    m.m[14] = dot(f, eye);
    return m;
}
