#pragma once
#include "platform/Settings.h"

#include <array>
#include <cstdint>
#include <functional>
#include <span>
#include <string>

// The record a match sends for each player airplane or map entity when a
// player joins. Little-endian; an entity that is not an airplane sends only
// the first 30 bytes, an airplane all 198:
//   0 zero, 1 state, 2 team, 3 zero, 4 network role (0 is sent as 2), 5 kind,
//   6 i16 entity id, 8 i16 map item (-1 none), 10 four zero bytes,
//   14 four i32 player values,
//   34 nine i32 statistics (the first is the rank), 70 i32 spawn counter,
//   74 the airplane's state block (35 bytes; 74 holds 3 and 75-76 the id),
//   109 plane id, 110 six i16 paint values (hues / 360, all clamped to
//   -1..1, times 32000), 128 three u16 weapon ids (0xFFFF none),
//   134 the pilot name, 32 16-bit units with a terminating 0 among them.
struct PlayerRecord {
    static constexpr int kEntitySize = 30;
    static constexpr int kAirplaneSize = 198;
    static constexpr int kStateBlockOffset = 74;
    static constexpr int kStateBlockSize = 35;
    static constexpr int kNameOffset = 134;
    static constexpr int kNameUnits = 32;  // 31 characters and the 0
    static constexpr int kMaxEntityId = 255;
    static constexpr std::uint16_t kNoWeapon = 0xFFFF;
    static constexpr float kPaintScale = 32000.0f;

    enum class State : int { InPlay = 0, OutForGood = 2, Waiting = 4 };

    State state = State::InPlay;
    int team = 0;
    int role = 2;  // as sent: 0 never appears
    int kind = 0;
    int entityId = 0;
    int mapItem = -1;
    std::array<std::int32_t, 4> playerValues{};
    // Airplanes only.
    std::array<std::int32_t, 9> stats{};
    std::int32_t spawnCounter = 0;
    std::array<std::uint8_t, kStateBlockSize> stateBlock{};
    int planeId = 0;
    PlanePaint paint;
    std::array<int, 3> weaponIds{-1, -1, -1};  // -1: empty slot
    std::u16string name;                        // at most 31 units

    bool isAirplane() const { return kind == 0; }
};

// What a received record is checked against.
struct PlayerRecordLimits {
    int itemCount = 0;                         // the world's map items
    std::function<bool(int)> isKnownWeapon;    // empty: every id 0..255 is known
};

// Writes the record; returns its length (30 or 198), or 0 when out is too short.
int encodePlayerRecord(const PlayerRecord& record, std::span<std::uint8_t> out);
// False, with out unspecified, for a record that is too short for its kind,
// names an entity id outside 0..255, a map item outside the world's items, a
// weapon id nobody has, a role above 2 or a name without its terminating 0.
// Nothing past in.size() is read.
bool decodePlayerRecord(std::span<const std::uint8_t> in, const PlayerRecordLimits& limits, PlayerRecord& out);
// What a joining player sends the host (115 bytes, little-endian):
//   0 zero, 1 u32 tag 0x7d1acb91, 5 f32 the plane's value, 9 rank,
//   10 the name (32 16-bit units, a 0 among them), 74 plane id,
//   75 six i16 paint values (as in the player record), 87 six zero bytes,
//   93 two u16 loadout weapon ids (0xFFFF none), 97 u16 a settings value,
//   99 four u32 player words.
struct JoinRequest {
    static constexpr int kSize = 115;
    static constexpr std::uint32_t kTag = 0x7d1acb91;

    float planeValue = -1.0f;
    int rank = 0;
    std::u16string name;
    int planeId = 0;
    PlanePaint paint;
    std::array<int, 2> loadout{-1, -1};  // weapon ids of slots 1 and 2; -1 none
    int settingsValue = 0;
    std::array<std::int32_t, 4> playerWords{};
};
// Returns the length written (115), or 0 when out is too short.
int encodeJoinRequest(const JoinRequest& request, std::span<std::uint8_t> out);
// False for a short message, a wrong tag or a value that is not a number; a
// rank above 17 reads as 17, an unknown loadout weapon as -1 (the plane's
// own) and a name without its 0 as its first 31 units.
bool decodeJoinRequest(std::span<const std::uint8_t> in, const PlayerRecordLimits& limits, JoinRequest& out);

// True for the kinds a record names by their map item (map units, runways, tunnels).
bool isMapEntityKind(int kind);
