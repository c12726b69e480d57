#include "entities/aircraft/FlightModel.h"

#include "gamedata/records/PlaneCfg.h"

#include <algorithm>
#include <cmath>

namespace {
constexpr float kThrottleRate = 1.0f;     // per second
constexpr float kDirectionFollow = 6.0f;  // 1/s: how fast the flight path follows the nose
constexpr float kTurnBleed = 0.15f;       // share of the speed a full pull costs per second
constexpr float kStallNoseDrop = 1.2f;    // rad/s at a full stall
constexpr float kSinkPerSlowness = 0.5f;  // sink rate per unit of speed below the stall
constexpr float kStallDrag = 30.0f;       // units/s^2 a fully stalled wing adds
constexpr float kArcadeTurn = 0.6f;       // world turn rate per sin(bank), share of the pitch rate
constexpr float kBankTurn = 0.25f;        // the same for full controls: a banked plane drifts round
constexpr float kArcadeBankGain = 3.0f;   // roll input per radian of bank error
constexpr float kLiftOffFactor = 1.05f;   // of the stall speed
constexpr float kLiftOffPitch = 0.2f;

Quat axisAngle(const Vec3& axis, float angle)
{
    const float s = std::sin(angle * 0.5f);
    return {axis.x * s, axis.y * s, axis.z * s, std::cos(angle * 0.5f)};
}

// Turns the body by body-axis rates over h (rates in rad/s).
Quat rotateBody(const Quat& q, const Vec3& omega, float h)
{
    const float rate = vec3Length(omega);
    if (rate < 1e-9f)
        return q;
    return quatMultiply(q, axisAngle(omega * (1.0f / rate), rate * h));
}

Quat rotateWorld(const Quat& q, const Vec3& axis, float angle)
{
    if (angle == 0.0f)
        return q;
    return quatMultiply(axisAngle(axis, angle), q);
}

float moveToward(float value, float goal, float step)
{
    if (value < goal)
        return std::min(value + step, goal);
    return std::max(value - step, goal);
}

float headingOf(const Vec3& forward) { return std::atan2(-forward.x, -forward.z); }

void updateThrottleAndBoost(FlightBody& body, const FlightParams& params, const FlightInput& input, float h)
{
    body.throttle = moveToward(body.throttle, std::clamp(input.throttleCommand, -1.0f, 1.0f), kThrottleRate * h);
    body.boosting = input.boost && body.boostReserve > 0.0f && !input.engineDead;
    if (body.boosting)
        body.boostReserve = std::max(body.boostReserve - h, 0.0f);
    else
        body.boostReserve = std::min(body.boostReserve + params.boostRecharge * h, params.boostCapacity);
}

float goalSpeed(const FlightBody& body, const FlightParams& params, const FlightInput& input)
{
    if (input.engineDead)
        return 0.0f;
    const float goal = params.targetSpeed(body.throttle);
    return body.boosting ? goal * params.boostFactor : goal;
}
}  // namespace

FlightParams FlightParams::fromRecord(const PlaneCfg& r)
{
    FlightParams p;
    p.minSpeed = r.pMinSpeed;
    p.speedSpan = std::max(r.pSpeedSpan, 1.0f);
    p.stallSpeed = std::max(r.pStallSpeed, 1.0f);
    p.cruiseSpeed = std::max(r.pCruiseSpeed, 1.0f);
    p.accel = std::max(r.pAccel, 0.05f);
    p.pitchRate = std::max(r.pPitchRate, 0.1f);
    p.rollRate = std::max(r.pRollRate, 0.1f);
    p.yawRate = std::max(r.pYawRate, 0.05f);
    return p;
}

float FlightParams::targetSpeed(float throttle) const
{
    return std::max(minSpeed + std::clamp(throttle, -1.0f, 1.0f) * speedSpan, 0.0f);
}

Vec3 forwardOf(const Quat& q) { return quatRotateVector(q, {0.0f, 0.0f, -1.0f}); }
Vec3 upOf(const Quat& q) { return quatRotateVector(q, {0.0f, 1.0f, 0.0f}); }
Vec3 sideOf(const Quat& q) { return quatRotateVector(q, {1.0f, 0.0f, 0.0f}); }
float bankOf(const Quat& q) { return std::asin(std::clamp(sideOf(q).y, -1.0f, 1.0f)); }
float pitchOf(const Quat& q) { return std::asin(std::clamp(forwardOf(q).y, -1.0f, 1.0f)); }

void flightStep(FlightBody& body, const FlightParams& params, const FlightInput& input, float h)
{
    updateThrottleAndBoost(body, params, input, h);
    const float v = body.speed;
    const float goal = goalSpeed(body, params, input);

    const float stall = v < params.stallSpeed ? 1.0f - v / params.stallSpeed : 0.0f;
    const float authority = std::clamp((v - 0.5f * params.stallSpeed) / params.stallSpeed, 0.15f, 1.0f) *
                            input.authorityScale * (1.0f - stall);

    const Vec3 forwardBefore = forwardOf(body.orientation);
    const float bank = bankOf(body.orientation);
    const float p = std::clamp(input.pitch, -1.0f, 1.0f);
    const float t = std::clamp(input.turn, -1.0f, 1.0f);
    float r = std::clamp(input.roll, -1.0f, 1.0f);
    float yawInput = t;
    float worldTurn = 0.0f;
    if (input.controlType == ControlType::Arcade) {
        // The turn input picks a bank; the bank turns the plane round the vertical.
        r = std::clamp((t * params.maxBank - bank) * kArcadeBankGain, -1.0f, 1.0f);
        // The direct share of the turn goes round the vertical too: a yaw about
        // the banked body axis would drop the nose.
        yawInput = 0.0f;
        worldTurn = (std::sin(bank) * params.pitchRate * kArcadeTurn + t * params.yawRate * 0.5f) * authority;
    } else {
        worldTurn = std::sin(bank) * std::sqrt(forwardBefore.x * forwardBefore.x + forwardBefore.z * forwardBefore.z) *
                    params.pitchRate * kBankTurn * authority;
    }
    const Vec3 omega{p * params.pitchRate * authority, yawInput * params.yawRate * authority,
                     r * params.rollRate * authority};

    Quat q = rotateBody(body.orientation, omega, h);
    q = rotateWorld(q, {0.0f, 1.0f, 0.0f}, worldTurn * h);
    if (stall > 0.0f) {
        // A stalled wing lets the nose fall toward the ground.
        const Vec3 f = forwardOf(q);
        Vec3 axis = vec3CrossB(f, {0.0f, -1.0f, 0.0f});
        const float len = vec3Length(axis);
        if (len > 1e-4f) {
            const float angleToDown = std::acos(std::clamp(-f.y, -1.0f, 1.0f));
            q = rotateWorld(q, axis * (1.0f / len), std::min(kStallNoseDrop * stall * h, angleToDown));
        }
    }
    body.orientation = quatNormalize(q);
    const Vec3 forward = forwardOf(body.orientation);

    const float engine = std::clamp((goal - v) * params.accel, -params.maxDrag, params.maxThrust);
    const float pull = std::fabs(omega.x) / params.pitchRate;
    const float dv = engine - kFlightGravity * forward.y - kTurnBleed * pull * v - kStallDrag * stall;
    body.speed = std::max(v + dv * h, 0.0f);

    const float follow = 1.0f - std::exp(-kDirectionFollow * h);
    Vec3 d = body.direction + (forward - body.direction) * follow;
    if (vec3Length(d) < 1e-6f)
        d = forward;
    body.direction = vec3Normalize(d);
    const float sink = std::max(params.stallSpeed - body.speed, 0.0f) * kSinkPerSlowness;
    body.velocity = body.direction * body.speed + Vec3{0.0f, -sink, 0.0f};
    body.position = body.position + body.velocity * h;

    float headingRate = headingOf(forward) - headingOf(forwardBefore);
    if (headingRate > kPi)
        headingRate -= 2.0f * kPi;
    if (headingRate < -kPi)
        headingRate += 2.0f * kPi;
    body.rates = {std::clamp(omega.x / params.pitchRate, -1.0f, 1.0f),
                  std::clamp(headingRate / h / params.yawRate, -1.0f, 1.0f),
                  std::clamp(omega.z / params.rollRate, -1.0f, 1.0f)};
}

void groundStep(FlightBody& body, const FlightParams& params, const FlightInput& input, float groundY, float h)
{
    updateThrottleAndBoost(body, params, input, h);
    const float goal = goalSpeed(body, params, input);
    if (input.throttleCommand < 0.0f) {
        // Braking stops at exactly 0: the take-off lesson ends only on a plane
        // that stands still on a runway.
        const float floor = goal < 1.0f ? 0.0f : std::min(goal, body.speed);
        body.speed = std::max(body.speed - kGroundBrake * h, floor);
    } else if (goal < body.speed) {
        body.speed = std::max(body.speed - std::min((body.speed - goal) * params.accel, params.maxDrag) * h, goal);
    } else {
        body.speed += std::min((goal - body.speed) * params.accel, params.maxThrust) * h;
    }
    const Vec3 f = forwardOf(body.orientation);
    float heading = headingOf(f);
    if (body.speed > 1.0f)
        heading += std::clamp(input.turn, -1.0f, 1.0f) * params.yawRate * 0.5f * h;
    body.orientation = quatFromEuler(heading, 0.0f, 0.0f);
    body.direction = forwardOf(body.orientation);
    body.velocity = body.direction * body.speed;
    body.position = body.position + body.velocity * h;
    body.position.y = groundY + params.groundOffset;
    body.rates = {};
}

bool readyToLiftOff(const FlightBody& body, const FlightParams& params, const FlightInput& input)
{
    return body.speed > kLiftOffFactor * params.stallSpeed && input.pitch > kLiftOffPitch;
}
