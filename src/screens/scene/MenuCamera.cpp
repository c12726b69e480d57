#include "screens/scene/MenuCamera.h"

#include <algorithm>
#include <cmath>

namespace {
float easeSine(float t) { return Math::sinf(std::clamp(t, 0.0f, 1.0f) * kPi / 2.0f); }
}  // namespace

Quat MenuCamera::orientationFor(int m)
{
    const CameraPlane& p = *showcase;
    const float dt = frameDelta();
    Quat toward;
    {
        const Vec3 d = p.position() - position;
        if (vec3Length(d) > 0.001f)
            quatFromDirectionTo(toward, vec3NormalizeOr(d, {0.0f, 0.0f, -1.0f}));
        else
            toward = orientation;
    }
    switch (m) {
    case 0:
    case 1: {
        const float s = Math::sinf(idleTime) * 0.15f + 1.15f;
        const float pitch = -0.3f - Math::sinf(idleTime * 0.5f) * 0.1f;
        // The idle orbit turns about the plane: heading of the plane's course.
        const Vec3 f = quatRotateVector(p.orientation(), {0.0f, 0.0f, -1.0f});
        Quat q = quatFromAngleY(Math::atan2f(-f.x, -f.z));
        q = quatMulAxisY(q, 4.2411504f - s * kPi);
        q = quatMulAxisY(q, -menuTurn * kPi / 3.0f * 1.1f);
        q = quatMulAxisX(q, pitch * kPi / 2.0f + kPi / 10.0f);
        return q;
    }
    case 2:
    case 3: {
        const Vec3 f = quatRotateVector(p.orientation(), {0.0f, 0.0f, -1.0f});
        const float planeHeading = Math::atan2f(-f.x, -f.z);
        return m == 2 ? quatMulAxisZ(p.orientation(), planeHeading) : quatMulAxisY(p.orientation(), planeHeading);
    }
    case 4: {
        float t = dt * 8.0f * 1.25f * (1.0f - pullBack);
        if (p.evading())
            t *= std::min(p.speedFactor() + 1.0f, 1.0f);
        m_stored = quatSlerp(m_stored, p.orientation(), t);
        Quat q = quatMulAxisY(m_stored, dragYaw * kPi + 3.926991f + p.rollInput() * kPi / 4.0f * pullBack);
        return quatMulAxisX(q, dragPitch * kPi / 2.0f - kPi / 6.0f);
    }
    default:
        return toward;
    }
}

void MenuCamera::update()
{
    if (!showcase)
        return;
    if ((mode == 0 || mode == 1) && moveBlend >= 1.0f && !placingOldMode())
        idleTime += frameDelta();
    const Quat wanted = orientationFor(mode);
    if (moveBlend < 1.0f) {
        const float t = (mode == 0 || mode == 1) ? moveBlend * moveBlend * moveBlend * moveBlend : easeSine(moveBlend);
        orientation = quatSlerp(m_moveFromOrientation, wanted, t);
    } else {
        orientation = wanted;
        m_moveFromOrientation = wanted;
    }
}

Vec3 MenuCamera::computeOrbit(int m)
{
    if (!showcase)
        return position;
    const CameraPlane& p = *showcase;
    const CameraPlane::Size s = p.size();
    const Vec3 f = quatRotateVector(p.orientation(), {0.0f, 0.0f, -1.0f});
    switch (m) {
    case 0:
    case 1:
    case 4: {
        const int code = p.manoeuvreCode();
        const bool calm = code == 0 || code == 7 || code == 8;
        if (!placingOldMode() && m == mode)
            pullBack = std::clamp(pullBack + (calm ? -frameDelta() : frameDelta()), 0.0f, 1.0f);
        const float k = m == 4 ? 1.25f : 1.25f * 1.6f;
        const float distance = (1.0f + pullBack) * (projection2 * 0.25f * s.menu1 +
                                                    (s.menu1 * k + s.menu2 + std::min(s.menu3, 0.0f)) * kPi / 4.0f /
                                                        projection1);
        Vec3 eye = p.position() - forward * distance;
        if (m != 4)
            eye = eye + quatRotateVector(p.orientation(), {1.0f, 0.0f, 0.0f}) * (13.0f * sideScale);
        // A swipe moves the eye against it, so the plane follows the finger.
        eye = eye - quatRotateVector(orientation, {slideX, slideY, 0.0f}) * (distance * 0.25f);
        return eye;
    }
    case 2:
        return p.position() + f * 6.0f + Vec3{0.0f, 7.0f + 1.5f * s.height, 0.0f};
    case 3:
        return p.position() + quatRotateVector(p.orientation(), {0.0f, 2.0f, 1.6f});
    default:
        return position;
    }
}

void MenuCamera::snap()
{
    if (!showcase)
        return;
    Vec3 place = computeOrbit(mode);
    if (moveBlend < 1.0f) {
        const Vec3 from = useStoredStart ? moveStart : computeOrbit(moveFromMode);
        place = vec3LerpClamped(from, place, easeSine(moveBlend));
        if (!placingOldMode())
            moveBlend = std::min(1.0f, moveBlend + kMoveRate * frameDelta());
    }
    const float ground = terrainHeight ? std::max(0.0f, terrainHeight(place.x, place.z)) : 0.0f;
    place.y = std::max(place.y, ground + 4.0f);
    position = place;
    heightAboveGround = place.y - ground;
}

void MenuCamera::setMode(int newMode)
{
    if (newMode == mode)
        return;
    blend = 0.0f;
    fromMode = mode;
    if (showcase)
        moveStart = computeOrbit(mode);
    m_moveFromOrientation = orientation;
    moveBlend = 0.0f;
    moveFromMode = mode;
    mode = newMode;
    useStoredStart = false;
}

void MenuCamera::returnToDefaultMode()
{
    if (mode == 0)
        return;
    if (showcase)
        moveStart = computeOrbit(mode);
    m_moveFromOrientation = orientation;
    moveBlend = 0.0f;
    moveFromMode = mode;
    mode = 0;
    useStoredStart = true;
}

void MenuCamera::rotateByDrag(float dx, float dy)
{
    if (windowWidth <= 0 || windowHeight <= 0)
        return;
    dragYaw -= dx / static_cast<float>(windowWidth) * 2.0f * kPi;
    dragPitch -= dy / static_cast<float>(windowHeight) * kPi;
    dragPitch = std::min(dragPitch, kPitchMax);
    dragPitch = std::max(dragPitch, kPitchMin);
}
