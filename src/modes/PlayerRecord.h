#pragma once
#include "entities/aircraft/AirplaneState.h"
#include "platform/Math.h"
#include "platform/Settings.h"

#include <array>
#include <cstdint>
#include <functional>
#include <string>

// The record a match sends for each player airplane or map entity when a
// player joins, decoded (the match layer holds the byte layout). An entity
// that is not an airplane sends 30 bytes, an airplane 198; a flag's record
// adds its position (42 bytes) and a base's its health (35; 31 from a
// sender that clamps it to -1..1).
struct PlayerRecord {
    static constexpr int kEntitySize = 30;
    static constexpr int kAirplaneSize = 198;
    static constexpr int kFlagSize = 42;
    static constexpr int kBaseSize = 31;        // the least a base's record holds
    static constexpr int kBaseHealthSize = 35;  // with its whole health
    static constexpr float kMaxBaseHealth = 1000.0f;
    static constexpr int kStateBlockOffset = 74;
    static constexpr int kStateBlockSize = 35;
    static constexpr int kNameOffset = 134;
    static constexpr int kNameUnits = 32;  // 31 characters and the 0
    static constexpr int kMaxEntityId = 255;
    static constexpr std::uint16_t kNoWeapon = 0xFFFF;
    static constexpr float kPaintScale = 32000.0f;

    enum class State : int { InPlay = 0, OutForGood = 2, Waiting = 4 };
    // What a flag's or base's record carries past the 30 bytes.
    enum class Extra : int { None = 0, FlagPosition = 1, BaseHealth = 2 };

    State state = State::InPlay;
    int team = 0;
    int role = 2;  // as sent: 0 never appears, a received 0 is refused
    int kind = 0;
    int entityId = 0;
    int mapItem = -1;  // a flag's or base's: its map object index
    std::array<std::int32_t, 4> playerValues{};
    // Flags and bases only, as Extra says.
    Extra extra = Extra::None;
    Vec3 flagPosition;
    float baseHealth = 1.0f;  // whole, or -1..1 in steps of 0.008 from a short record
    // Airplanes only.
    std::array<std::int32_t, 9> stats{};
    std::int32_t spawnCounter = 0;
    bool hasStateBlock = false;  // false: the block was unreadable and changes nothing
    AirplaneNetState stateBlock;
    int planeId = 0;
    PlanePaint paint;
    std::array<int, 3> weaponIds{-1, -1, -1};  // -1: empty slot
    std::u16string name;                        // at most 31 units

    bool isAirplane() const { return kind == 0; }
};

// What a received record is checked against.
struct PlayerRecordLimits {
    int itemCount = 0;                         // the world's map items
    int objectCount = 0;                       // its map objects (units are named by these)
    std::function<bool(int)> isKnownWeapon;    // empty: every id 0..255 is known
};

// What a joining player sends the host, decoded (115 bytes on the wire).
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
// True for the kinds a record names by their map item (map units, runways, tunnels).
bool isMapEntityKind(int kind);
