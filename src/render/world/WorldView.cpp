#include "render/world/WorldView.h"

#include "platform/Math.h"

#include <algorithm>

WorldView WorldView::fromMatrices(const Vec3& eye, const Mat4& view, const Mat4& projection)
{
    WorldView v;
    v.eye = eye;
    setCameraMatrices(v.camera, projection, view);
    return v;
}

bool WorldView::boxVisible(const Vec3& boxMin, const Vec3& boxMax) const
{
    const Vec3 centre = (boxMin + boxMax) * 0.5f;
    return boxInFrustum(camera, centre, (boxMax - boxMin) * 0.5f);
}

bool directionInSidePlanes(const Mat4& projection, const Mat4& view, const Vec3& direction, float margin)
{
    const Mat4 m = mat4Multiply(projection, view);
    // Rows of m as plane normals for w = 0: row 3 plus or minus rows 0 and 1.
    auto row = [&m](int r) { return Vec3{m.m[r], m.m[4 + r], m.m[8 + r]}; };
    const Vec3 w = row(3);
    for (int axis = 0; axis < 2; ++axis)
        for (float sign : {1.0f, -1.0f}) {
            const Vec3 n = w + row(axis) * sign;
            const float length = vec3Length(n);
            if (length > 0.0f && vec3Dot(n, direction) < -margin * length)
                return false;
        }
    return true;
}

Mat4 lookAtMatrix(const Vec3& eye, const Vec3& target, const Vec3& up)
{
    // The camera's rotation looks down its -z axis; the view matrix is its inverse.
    const Mat4 rotation = mat4FromForwardUp(target - eye, up);
    Mat4 view = mat4Transpose(rotation);
    view.m[3] = view.m[7] = view.m[11] = 0.0f;
    const Vec3 moved = rotateVector3x3(view, eye);
    view.m[12] = -moved.x;
    view.m[13] = -moved.y;
    view.m[14] = -moved.z;
    return view;
}

ScreenRect::ScreenRect(const Mat4& viewProjection, bool wholeScreenBehindNearPlane)
    : m_m(viewProjection.m), m_nearTest(wholeScreenBehindNearPlane)
{
}

bool ScreenRect::add(const Vec3& p)
{
    const float* m = m_m;
    const float w = m[3] * p.x + m[7] * p.y + m[11] * p.z + m[15];
    const float z = m[2] * p.x + m[6] * p.y + m[10] * p.z + m[14];
    if (!(w > 1e-3f) || (m_nearTest && z < -w)) {
        m_r[0] = m_r[1] = -1.0f;
        m_r[2] = m_r[3] = 1.0f;
        return false;
    }
    const float x = (m[0] * p.x + m[4] * p.y + m[8] * p.z + m[12]) / w;
    const float y = (m[1] * p.x + m[5] * p.y + m[9] * p.z + m[13]) / w;
    m_r[0] = std::min(m_r[0], x);
    m_r[1] = std::min(m_r[1], y);
    m_r[2] = std::max(m_r[2], x);
    m_r[3] = std::max(m_r[3], y);
    return true;
}

void ScreenRect::write(float margin, float rect[4]) const
{
    for (int k = 0; k < 4; ++k)
        rect[k] = std::clamp(m_r[k] + (k < 2 ? -margin : margin), -1.0f, 1.0f);
}
