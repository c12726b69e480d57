#pragma once
#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

class File;
struct MapInfoCfg;

// What the local player did in the mission or match being played. The order
// of the members is the order of the checkpoint block.
struct MissionStats {
    float gameTime = 0.0f;      // seconds of play
    float damageTaken = 0.0f;   // damage dealt to the player's airplane
    std::int32_t unused0 = 0, unused1 = 0;
    std::int32_t shotsFired = 0, shotsHit = 0;
    std::int32_t missilesFired = 0, missilesHit = 0;
    std::int32_t enemiesKilled = 0, enemyAirplanes = 0;
    std::int32_t friendlyLosses = 0, friendlyAirplanes = 0;
    std::int32_t checkpointRestarts = 0;

    static constexpr std::size_t kValueCount = 13;
    static constexpr std::size_t kBytes = kValueCount * 4;

    // Hits over shots held to 0..1; 1 when nothing was fired.
    float gunAccuracy() const;
    float missileAccuracy() const;
    // 2 within the gold time, 1 within the silver time, else 0; the ace
    // limits on difficulty 2.
    int timeRating(const MapInfoCfg& mission, int difficulty) const;
    // 3 (best) for gold without a checkpoint restart, 2 for gold after one or
    // for silver, else 1.
    int medal(const MapInfoCfg& mission, int difficulty) const;

    // A round start or match reset: every value but the missile counts.
    void resetRound();

    // The 13 values, 4 bytes each, little-endian; read gives false (nothing
    // changed) when the file ends early.
    void write(File& file) const;
    [[nodiscard]] bool read(File& file);
    void encode(std::span<std::uint8_t, kBytes> out) const;
    void decode(std::span<const std::uint8_t, kBytes> bytes);

    bool operator==(const MissionStats&) const = default;
};

// The running match's (modes/Match.h); between games the spare state's.
MissionStats& missionStats();

// The statistics block of a mission checkpoint: the player's airplane score,
// the match kill and objective points, then the statistics.
struct CheckpointStats {
    static constexpr std::size_t kBytes = 64;

    std::int32_t playerScore = 0;
    std::int32_t killPoints = 0;
    std::int32_t objectivePoints = 0;
    MissionStats stats;

    std::array<std::uint8_t, kBytes> encode() const;
    // Nullopt unless exactly kBytes are given.
    static std::optional<CheckpointStats> decode(std::span<const std::uint8_t> bytes);

    bool operator==(const CheckpointStats&) const = default;
};
static_assert(3 * 4 + MissionStats::kBytes == CheckpointStats::kBytes);
