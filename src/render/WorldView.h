#pragma once
#include "platform/Math.h"

// What the world passes need of the camera: the eye, the view and projection
// matrices and the six frustum planes taken from their product. The scene
// builds one per frame from its camera record; tests build one by hand.
struct WorldView {
    Vec3 eye;
    Mat4 view;
    Mat4 projection;
    // Normalised planes (a, b, c, d): a point is inside when a x + b y + c z + d >= 0.
    // Order: left, right, bottom, top, near, far.
    float planes[6][4] = {};

    static WorldView fromMatrices(const Vec3& eye, const Mat4& view, const Mat4& projection);
    bool sphereVisible(const Vec3& centre, float radius) const;
    bool boxVisible(const Vec3& boxMin, const Vec3& boxMax) const;
};

// Right-handed perspective (camera looks down -z), GL clip space; fovY in radians.
Mat4 perspectiveMatrix(float fovY, float aspect, float nearPlane, float farPlane);
// View matrix of an eye looking at a point; `up` must not be parallel to the view line.
Mat4 lookAtMatrix(const Vec3& eye, const Vec3& target, const Vec3& up);
