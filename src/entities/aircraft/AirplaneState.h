#pragma once
#include "platform/Math.h"

#include <cstdint>

// What the airplane's network state block carries, decoded. The block's
// bytes are written and read by the match layer; what it accepts is finite,
// clamped to the ranges below, with a unit quaternion.
struct AirplaneNetState {
    static constexpr int kSize = 34;
    static constexpr float kWorldLimit = 1.0e6f;  // |coordinate|
    static constexpr float kSpeedLimit = 2000.0f;
    static constexpr int kMaxFlightState = 11;

    enum Flags : std::uint8_t {
        kFireGroup0 = 1,
        kFireGroup1 = 2,
        kFireGroup2 = 4,
        kBoost = 8,
        kLanded = 16,
        kEjectFlag = 32,
    };

    Vec3 position;
    Quat orientation;
    float speed = 0.0f;
    float health = 1.0f;     // -1..1
    float throttle = 0.0f;   // -1..1
    Vec3 inputs;             // nose up, turn, roll, each -1..1
    int flightState = 0;
    std::uint8_t flags = 0;
};
