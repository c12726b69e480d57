#pragma once
#include "platform/Math.h"

// What the world passes need of the camera: its matrices and frustum (the
// scene's camera record) and the eye.
struct WorldView {
    Vec3 eye;
    CameraMatrices camera;

    static WorldView fromMatrices(const Vec3& eye, const Mat4& view, const Mat4& projection);
    const Mat4& view() const { return camera.view; }
    const Mat4& projection() const { return camera.projection; }
    bool boxVisible(const Vec3& boxMin, const Vec3& boxMax) const;
};

// The NDC rectangle a set of world points covers on screen. A point behind the
// eye makes it the whole screen, and so does one behind the near plane when
// asked (clipping there would make new corners).
class ScreenRect {
public:
    ScreenRect(const Mat4& viewProjection, bool wholeScreenBehindNearPlane);
    // False once the rectangle is the whole screen: later points change nothing.
    bool add(const Vec3& p);
    // The rectangle widened by `margin` on every side and held to the screen.
    void write(float margin, float rect[4]) const;

private:
    const float* m_m;
    bool m_nearTest;
    float m_r[4] = {1.0f, 1.0f, -1.0f, -1.0f};
};

// Whether a direction (a point at infinity) lies inside the four side planes
// of projection x view, or outside one by less than `margin` (the sine of the
// angle past it). Near and far are left out: they do not bound a direction.
bool directionInSidePlanes(const Mat4& projection, const Mat4& view, const Vec3& direction, float margin);

// View matrix of an eye looking at a point; `up` must not be parallel to the view line.
Mat4 lookAtMatrix(const Vec3& eye, const Vec3& target, const Vec3& up);
