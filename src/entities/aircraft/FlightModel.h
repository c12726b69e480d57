#pragma once
#include "platform/Math.h"

struct PlaneCfg;

// The arcade flight model shared by players, the autopilot and AI pilots.
// It advances in fixed steps of kFlightStep so that a manoeuvre ends in the
// same place at any frame rate.
constexpr float kFlightStep = 1.0f / 120.0f;

// Effective gravity along the nose: climbing costs speed, diving gains it.
constexpr float kFlightGravity = 20.0f;
// Braking on the ground, units/s^2.
constexpr float kGroundBrake = 40.0f;

enum class ControlType : int {
    Full = 0,    // pitch, yaw and roll as given
    Arcade = 1,  // the turn input banks and turns together; wings level themselves
    Mouse = 2,   // steer toward an aim direction
};

struct FlightParams {
    float minSpeed = 100.0f;
    float speedSpan = 100.0f;
    float stallSpeed = 40.0f;
    float cruiseSpeed = 100.0f;
    float accel = 0.5f;
    float pitchRate = 1.5f, rollRate = 3.0f, yawRate = 0.5f;
    float maxBank = 1.2f;          // rad, the arcade turn's bank at full input
    float boostFactor = 1.35f;     // multiplies the target speed
    float boostCapacity = 5.0f;    // s of boost when full
    float boostRecharge = 0.25f;   // s of boost regained per second
    float maxThrust = 30.0f;       // units/s^2 the engine adds at most
    float maxDrag = 45.0f;         // units/s^2 the engine term removes at most
    float groundOffset = 2.0f;     // height of the model's origin over its wheels

    static FlightParams fromRecord(const PlaneCfg& record);
    // The speed a throttle setting (-1..1) aims at; never below 0.
    float targetSpeed(float throttle) const;
    float topSpeed() const { return minSpeed + speedSpan; }
};

struct FlightInput {
    float pitch = 0.0f;  // nose up > 0
    float turn = 0.0f;   // left > 0
    float roll = 0.0f;   // left wing down > 0
    float throttleCommand = 0.0f;
    bool boost = false;
    ControlType controlType = ControlType::Full;
    bool engineDead = false;
    float authorityScale = 1.0f;  // a hit on the controls lowers it
};

struct FlightBody {
    Vec3 position;
    Quat orientation;
    Vec3 direction{0.0f, 0.0f, -1.0f};  // of the velocity
    Vec3 velocity;
    float speed = 0.0f;
    float throttle = 0.0f;  // setting, follows the command at 1 per second
    float boostReserve = 5.0f;
    bool boosting = false;
    // Pitch, yaw and roll rates, each -1..1 of the plane's maximum; yaw > 0 to the left.
    Vec3 rates;
};

Vec3 forwardOf(const Quat& q);
Vec3 upOf(const Quat& q);
Vec3 sideOf(const Quat& q);
// Positive with the left wing down.
float bankOf(const Quat& q);
// Nose angle over the horizon.
float pitchOf(const Quat& q);

// One step in the air.
void flightStep(FlightBody& body, const FlightParams& params, const FlightInput& input, float h);
// One step rolling on a runway at ground height groundY: the wings and the
// nose stay level, the turn input steers, a negative command brakes to 0.
void groundStep(FlightBody& body, const FlightParams& params, const FlightInput& input, float groundY, float h);
// Whether the rolling plane lifts off now.
bool readyToLiftOff(const FlightBody& body, const FlightParams& params, const FlightInput& input);
