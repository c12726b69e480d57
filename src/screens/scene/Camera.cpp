#include "screens/scene/Camera.h"

#include "sound/Sound.h"

#include <cmath>

namespace {
Camera* g_activeCamera = nullptr;
}  // namespace

Camera* activeCamera() { return g_activeCamera; }

void setActiveCamera(Camera* camera) { g_activeCamera = camera; }

Camera::Camera(int ownerId) : owner(ownerId), active(true)
{
    reset();
    previousOrientation = Quat{};
    fixedRotation = mat4MakeRotationX(-kPi / 2.0f);
}

void Camera::reset()
{
    orientationMatrix = Mat4{};
    viewRotation = Mat4{};
    viewMatrix = Mat4{};
    worldMatrix = Mat4{};
    orientation = Quat{};
    position = {};
    forward = {0.0f, 0.0f, -1.0f};
    right = {1.0f, 0.0f, 0.0f};
    up = {0.0f, 1.0f, 0.0f};
    velocity = {};
    mode = 0;
    fromMode = 0;
    blend = 1.0f;
}

void Camera::placeAxes()
{
    orientation = quatNormalize(orientation);
    orientationMatrix = quatToMatrix(orientation);
    const float* m = orientationMatrix.m;
    // Camera to world: the columns are the eye's axes in the world.
    right = {m[0], m[1], m[2]};
    up = {m[4], m[5], m[6]};
    forward = {-m[8], -m[9], -m[10]};
    heading = std::atan2(-forward.x, -forward.z);
}

void Camera::updateMatrices(float dt)
{
    m_dt = dt;
    const Vec3 oldPosition = position;
    if (blend >= 1.0f) {
        update();
        placeAxes();
        snap();
    } else {
        const int current = mode;
        mode = fromMode;
        m_placingOld = true;
        update();
        placeAxes();
        snap();
        m_placingOld = false;
        const Quat oldOrientation = orientation;
        const Vec3 oldPlace = position;
        mode = current;
        update();
        placeAxes();
        snap();
        orientation = quatSlerp(oldOrientation, orientation, blend);
        position = vec3LerpClamped(oldPlace, position, blend);
        placeAxes();
        blend = std::min(1.0f, blend + 2.0f * dt);
    }
    finishMatrices();
    // A frame of no time keeps the last velocity instead of dividing by zero.
    if (dt > 0.0f)
        velocity = (position - oldPosition) * (1.0f / dt);
}

void Camera::finishMatrices()
{
    viewRotation = mat4Transpose(orientationMatrix);
    viewMatrix = viewRotation;
    mat4Translate(viewMatrix, -position.x, -position.y, -position.z);
    worldMatrix = orientationMatrix;
    eyePosition = position;
    const Quat& q = orientation;
    headingMatrix = mat4MakeRotationY(std::atan2(2.0f * (q.x * q.z + q.y * q.w), 1.0f - 2.0f * (q.x * q.x + q.y * q.y)));
    previousOrientation = orientation;
    const float* v = viewMatrix.m;
    billboardRight = {v[0], v[4], v[8]};
    billboardUp = {v[1], v[5], v[9]};
}

void Camera::buildViewFrom(const Quat& q)
{
    orientation = q;
    placeAxes();
    finishMatrices();
}

void Camera::buildForwardView() { buildViewFrom(previousOrientation); }

void Camera::buildBackView()
{
    const Quat keep = previousOrientation;
    buildViewFrom(quatMultiply(quatFromAngleY(kPi), keep));
    previousOrientation = keep;
}

void Camera::moveListener() const { Sound::setListener(position, forward, up); }
