#pragma once
#include "platform/Math.h"

#include <cstdint>
#include <span>

// The airplane's network state block. Bytes 0-2 are left for the message
// type and the airplane id; the whole block fits the 35 bytes the player
// record keeps for it.
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

// Writes from byte 0; returns the length, or 0 when out is too short.
int encodeAirplaneState(const AirplaneNetState& state, std::span<std::uint8_t> out);
// False for a short block, NaN or infinite values or a zero quaternion;
// what it accepts is clamped to the ranges above and the quaternion made unit.
bool decodeAirplaneState(std::span<const std::uint8_t> in, AirplaneNetState& out);
