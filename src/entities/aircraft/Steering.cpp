#include "entities/aircraft/Steering.h"

#include "entities/aircraft/Airplane.h"
#include "entities/aircraft/FlightModel.h"

#include <algorithm>
#include <cmath>

namespace {
constexpr float kPitchGain = 3.0f;
constexpr float kYawGain = 2.5f;
constexpr float kRollGain = 2.0f;
// Below this angle off the nose the plane yaws and pitches instead of rolling,
// so the wings do not hunt about a goal straight ahead.
constexpr float kRollStart = 0.05f;
constexpr float kRollFull = 0.25f;
}  // namespace

Vec3 steerInputs(const Quat& orientation, const Vec3& direction)
{
    Vec3 d = direction;
    if (vec3Length(d) < 1e-6f)
        return {};
    d = vec3Normalize(d);
    const Vec3 local = quatRotateVector(quatConjugate(orientation), d);
    const float off = std::acos(std::clamp(-local.z, -1.0f, 1.0f));
    const float rollWeight = std::clamp((off - kRollStart) / (kRollFull - kRollStart), 0.0f, 1.0f);
    const float rollError = std::atan2(local.x, std::max(local.y, -0.2f));
    const float pitch = std::clamp(std::atan2(local.y, -local.z) * kPitchGain, -1.0f, 1.0f);
    const float yaw = std::clamp(std::atan2(-local.x, -local.z) * kYawGain, -1.0f, 1.0f);
    const float roll = std::clamp(-rollError * kRollGain, -1.0f, 1.0f) * rollWeight;
    return {pitch, yaw, roll};
}

Vec3 levelInputs(const Quat& orientation, float pitchGoal)
{
    const float pitchError = pitchGoal - pitchOf(orientation);
    const float bank = bankOf(orientation);
    const float pitch = std::clamp(pitchError * kPitchGain * std::cos(bank), -1.0f, 1.0f);
    return {pitch, 0.0f, std::clamp(-bank * kRollGain, -1.0f, 1.0f)};
}

void steerAirplaneAlong(Airplane& plane, const Vec3& direction, float speed, float authority)
{
    const float a = std::clamp(authority, 0.0f, 1.0f);
    const Vec3 stick = steerInputs(plane.orientation(), direction);
    plane.setControlType(ControlType::Full);
    plane.setControlVector({stick.x * a, stick.y, stick.z});
    plane.setThrottleForSpeed(speed);
}

void steerAirplaneTo(Airplane& plane, const Vec3& point, float speed, float authority)
{
    steerAirplaneAlong(plane, point - plane.position(), speed, authority);
}
