#pragma once
#include "modes/PlayerRecord.h"

#include <cstdint>
#include <span>

// The player record's bytes, little-endian:
//   0 zero, 1 state, 2 team, 3 zero, 4 network role (0 is sent as 2), 5 kind,
//   6 i16 entity id, 8 i16 map item (-1 none), 10 four zero bytes,
//   14 four i32 player values; an entity that is not an airplane ends at 30.
// A flag (kind 19) adds 30 three f32 position (42 bytes), a base (kind 6)
// 30 i8 health clamped to -1..1 x 125, then 31 f32 its whole health (35
// bytes; a reader that stops at 31 sees the byte alone, and a record of
// 31 is read by its byte); both carry u16 id and map object index at 6
// and 8 and their state as bits (2 out, 4 waiting). An airplane goes on:
//   30 four zero bytes, 34 nine i32 statistics (the first is the rank),
//   70 i32 spawn counter, 74 the airplane's state block (35 bytes; 74 holds
//   3 and 75-76 the id), 109 plane id, 110 six i16 paint values (hues / 360,
//   all clamped to -1..1, times 32000), 122 six zero bytes, 128 three u16
//   weapon ids (0xFFFF none), 134 the pilot name, 32 16-bit units with a
//   terminating 0 among them; 198 bytes.

// Writes the record as its kind and extra say; returns its length (30, 35,
// 42 or 198), or 0, with nothing written, when out is too short.
int encodePlayerRecord(const PlayerRecord& record, std::span<std::uint8_t> out);
// False, with out unchanged, for a record that is too short for its kind,
// names an entity id outside 0..255, a map item outside the world's items, a
// weapon id nobody has, a role of 0 or above 2 or a name without its
// terminating 0. Nothing past in.size() is read.
bool decodePlayerRecord(std::span<const std::uint8_t> in, const PlayerRecordLimits& limits, PlayerRecord& out);

// What a joining player sends the host (115 bytes, little-endian):
//   0 zero, 1 u32 tag 0x7d1acb91, 5 f32 the plane's value, 9 rank,
//   10 the name (32 16-bit units, a 0 among them), 74 plane id,
//   75 six i16 paint values (as in the player record), 87 six zero bytes,
//   93 two u16 loadout weapon ids (0xFFFF none), 97 u16 a settings value,
//   99 four u32 player words.
// Returns the length written (115), or 0 when out is too short.
int encodeJoinRequest(const JoinRequest& request, std::span<std::uint8_t> out);
// False, with out unchanged, for a short message, a wrong tag or a value
// that is not a number; a rank above 17 reads as 17, an unknown loadout
// weapon as -1 (the plane's own) and a name without its 0 as its first 31 units.
bool decodeJoinRequest(std::span<const std::uint8_t> in, const PlayerRecordLimits& limits, JoinRequest& out);
