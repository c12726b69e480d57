#pragma once
#include <array>
#include <cstdint>
#include <string>

// The 110-byte description of a hosted game: the host's identity on the LAN,
// the discovery answer and the online room's description. Little-endian:
//   0 name (32 16-bit units, at most 31 and a 0), 64 game type, 65 map,
//   66 maximum players (host included), 67 score-limit value, 68 zero,
//   69 current players, 70 match minutes, 71 respawn delay, 72 five zero,
//   77 i32 plane-filter kind, 81 i32 plane-filter value, 85 team flag,
//   86 u32 option flags, 90 u32 fourth set-up value, 94 u32 456, 98 u32 0,
//   102 u32 789456, 106 u32 0.
struct ServerInfo {
    static constexpr std::size_t kSize = 110;
    enum Offset : std::size_t {
        Name = 0, GameType = 64, MapIndex = 65, MaxPlayers = 66, ScoreLimit = 67, PlayerCount = 69,
        MatchMinutes = 70, RespawnDelay = 71, FilterKind = 77, FilterValue = 81, TeamFlag = 85,
        OptionFlags = 86, FourthValue = 90, Marker1 = 94, Marker2 = 102
    };

    std::array<std::uint8_t, kSize> bytes{};

    // All zero, then the two markers and one player.
    void clear();
    void setName(const std::u16string& name);
    std::u16string name() const;
    void setU32(std::size_t at, std::uint32_t value);
    std::uint32_t u32(std::size_t at) const;
};
