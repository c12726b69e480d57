#pragma once
#include "modes/ServerData.h"

#include <cstdint>
#include <span>

// The kinds' server data, little-endian, by layout:
//   Time 4 bytes:       0 f32 elapsed
//   Flags 9 bytes:      0 f32 elapsed, 4 two u16 carrier ids (0xFFFF none), 8 home bits
//   Rounds 8 bytes:     0 f32 elapsed, 4 f32 round timer
//   LastStand 13 bytes: 0 f32 elapsed, 4 f32 round timer, 8 play stopped, 9 f32 restart count-down
//   Waves 10 bytes:     0 f32 elapsed, 4 f32 wave timer, 8 i16 wave
// The match-end message carries the same bytes before its count-down.

// The length of a layout's data; 0 for None.
int serverDataSize(ServerData::Layout layout);
// Writes the data as its layout says; returns the length, or 0 when out is
// too short or the layout is None.
int encodeServerData(const ServerData& data, std::span<std::uint8_t> out);
// Reads the layout's bytes from the front of in; returns how many it read,
// or 0, with out unchanged, when in is too short. Floats that are not
// numbers read as 0 (the elapsed time of the time layout as -1: ignored).
int decodeServerData(std::span<const std::uint8_t> in, ServerData::Layout layout, ServerData& out);
