#include "render/world/WorldView.h"

#include "platform/Math.h"

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
