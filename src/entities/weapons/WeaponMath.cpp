#include "entities/weapons/WeaponMath.h"

#include "entities/IEntityHost.h"
#include "entities/Target.h"
#include "platform/Random.h"

#include <algorithm>
#include <cmath>

Vec3 leadPoint(const Vec3& from, const Vec3& targetPosition, const Vec3& targetVelocity, float projectileSpeed,
               int iterations)
{
    Vec3 p = targetPosition;
    if (!(projectileSpeed > 1e-3f))
        return p;
    for (int i = 0; i < iterations; ++i) {
        const float t = vec3Length(p - from) / projectileSpeed;
        p = targetPosition + targetVelocity * t;
    }
    return p;
}

Vec3 leadPointPrecise(const Vec3& from, const Target& target, float projectileSpeed)
{
    return leadPoint(from, target.position(), target.velocity(), projectileSpeed, 5);
}

Vec3 leadPointFast(const Vec3& from, const Target& target, float projectileSpeed)
{
    return leadPoint(from, target.position(), target.velocity(), projectileSpeed, 2);
}

float closestParameter(const Vec3& a, const Vec3& b, const Vec3& p)
{
    const Vec3 ab = b - a;
    const float len2 = vec3Dot(ab, ab);
    if (len2 < 1e-12f)
        return 0.0f;
    return std::clamp(vec3Dot(p - a, ab) / len2, 0.0f, 1.0f);
}

float segmentDistanceSq(const Vec3& a, const Vec3& b, const Vec3& p)
{
    const float t = closestParameter(a, b, p);
    return vec3DistanceSq(a + (b - a) * t, p);
}

bool predictBallisticImpact(const IEntityHost& host, const Vec3& p, const Vec3& v, float maxTime, Vec3& impact,
                            float& time)
{
    // Solve p.y + v.y t - g t^2 / 2 = ground under the point reached, a few
    // times over so that hills along the way count. A lake's surface stops it
    // as the sea's does.
    const auto surfaceAt = [&host](float x, float z) {
        return std::fmax(host.groundHeightAt(x, z), host.waterLevelAt(x, z));
    };
    float ground = surfaceAt(p.x, p.z);
    float t = 0.0f;
    for (int i = 0; i < 6; ++i) {
        const float h = p.y - ground;
        if (h <= 0.0f) {
            t = 0.0f;
        } else {
            const float disc = v.y * v.y + 2.0f * kGravity * h;
            t = (v.y + std::sqrt(disc)) / kGravity;
        }
        const float x = p.x + v.x * t, z = p.z + v.z * t;
        const float next = surfaceAt(x, z);
        if (std::fabs(next - ground) < 0.05f) {
            ground = next;
            break;
        }
        ground = next;
    }
    time = t;
    impact = {p.x + v.x * t, ground, p.z + v.z * t};
    return std::isfinite(t) && t <= maxTime;
}

Vec3 jitterDirection(const Vec3& direction, float spread)
{
    if (!(spread > 0.0f))
        return direction;
    Vec3 side = std::fabs(direction.y) < 0.9f ? vec3CrossB(direction, Vec3{0.0f, 1.0f, 0.0f})
                                               : vec3CrossB(direction, Vec3{1.0f, 0.0f, 0.0f});
    vec3Normalize(side);
    const Vec3 up = vec3CrossB(side, direction);
    // A round pattern: uniform in a disc of the spread's radius.
    const float a = randAngle();
    const float r = spread * std::sqrt(rand01());
    Vec3 d = direction + side * (r * std::cos(a)) + up * (r * std::sin(a));
    return vec3Normalize(d);
}
