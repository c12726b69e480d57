#pragma once
#include "entities/aircraft/AirplaneState.h"

#include <cstdint>
#include <span>

// The airplane's network state block, 34 bytes little-endian. Bytes 0-2 are
// left for the message type and the airplane id; the whole block fits the 35
// bytes the player record keeps for it:
//   3 three f32 position, 15 four i16 quaternion x y z w (x 32000),
//   23 f32 speed, 27 i8 health (x 125), 28 i8 throttle, 29 three i8 stick
//   inputs (x 127), 32 flight state, 33 flags.
// Writes from byte 0 (0-2 zero); returns the length, or 0 when out is too short.
int encodeAirplaneState(const AirplaneNetState& state, std::span<std::uint8_t> out);
// False for a short block, NaN or infinite values or a zero quaternion;
// what it accepts is clamped to the ranges of AirplaneNetState and the
// quaternion made unit. Bytes past the 34th are not read.
bool decodeAirplaneState(std::span<const std::uint8_t> in, AirplaneNetState& out);
