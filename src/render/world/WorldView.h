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

// View matrix of an eye looking at a point; `up` must not be parallel to the view line.
Mat4 lookAtMatrix(const Vec3& eye, const Vec3& target, const Vec3& up);
