#pragma once
#include "platform/Math.h"

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

class File;
class GameWorld;

// Which campaign mission a checkpoint belongs to.
struct MissionKey {
    int campaign = 0;
    int mission = 0;
    int difficulty = 1;  // 0 easy, 1 normal, 2 hard
    bool operator==(const MissionKey&) const = default;
};

// The player's airplane as a checkpoint keeps it.
struct PlayerCheckpoint {
    Vec3 position;
    Quat orientation;
    float speed = 0.0f;
    float health = 1.0f;
    float throttle = 0.0f;
};

// The campaign mode's side of checkpoints: filled by the modes library (the
// campaign mode with its score keeper).
class ICheckpointHost {
public:
    virtual ~ICheckpointHost() = default;
    virtual MissionKey missionKey() const = 0;
    // The statistics block: exactly kStatsBytes written at the file's position.
    virtual void writeStats(File& file) = 0;
    // Reads the block back from the file's position; false when it does not read.
    virtual bool readStats(File& file) = 0;
    // False when the player has no airplane alive (nothing is saved then).
    virtual bool playerState(PlayerCheckpoint& out) const = 0;
    // Creates the entities of the objects in play at the mission start (the
    // player's airplane, squadrons, ground targets) and sets the player.
    virtual void spawnMission(GameWorld& world) = 0;
    virtual void applyPlayerState(const PlayerCheckpoint& state) = 0;
    // Adds 1 to the checkpoint-restart statistic.
    virtual void countCheckpointRestart() = 0;
};

// Everything a checkpoint holds, as read from or written to a file.
struct CheckpointData {
    static constexpr std::size_t kStatsBytes = 64;

    MissionKey key;
    std::array<std::uint8_t, kStatsBytes> stats{};
    float gameClock = 0.0f;
    PlayerCheckpoint player;
    struct Object {
        bool active = true;
        std::int32_t state = 0;
        float health = 1.0f;
        bool operator==(const Object&) const = default;
    };
    struct Trigger {
        bool enabled = false, fired = false, started = false;
        float elapsed = 0.0f;
        bool operator==(const Trigger&) const = default;
    };
    std::vector<Object> objects;    // one per map object, in world order
    std::vector<Trigger> triggers;  // one per trigger, in world order
    bool playerLossAllowed = false;
    float sunValue = -1.0f;
    float countdown = -1.0f;  // seconds left; negative hidden
    std::string countdownLabel;
    std::string music;
    bool musicLoops = false;
};

// Checkpoint files "missionSavc<campaign>m<mission>_<difficulty>.sav" in the
// save folder. Little-endian: "SKCP", u16 version, u16 0, u32 size of the
// whole file, then the mission key, the statistics block, the clock, the
// player, the world's objects and triggers and what trigger actions set, and
// a trailing CRC-32 of everything before it. A file that fails any check
// (magic, version, size, CRC, mission key, table sizes) is ignored and the
// mission starts from the beginning. Writing replaces the file atomically.
class MissionSave {
public:
    static constexpr std::uint16_t kVersion = 1;
    static constexpr std::size_t kMaxFileBytes = 1u << 20;

    static std::string fileName(const MissionKey& key);

    // Writes the current mission state; false (old file kept) when the
    // player's airplane is not alive or the write fails.
    static bool save(const GameWorld& world, ICheckpointHost& host);
    // Reads and checks the mission's file; nullopt when missing or bad.
    static std::optional<CheckpointData> load(ICheckpointHost& host);
    // Spawns the mission; with value 1 and a good checkpoint, the saved state
    // is laid over it and the restart is counted. True when a checkpoint was used.
    static bool resume(GameWorld& world, ICheckpointHost& host, int value);
    // Deletes the mission's file (a won mission); false when none was removed.
    static bool remove(ICheckpointHost& host);

    // The file format alone (tests, the fuzz entry).
    static std::vector<std::uint8_t> encode(const CheckpointData& data);
    static std::optional<CheckpointData> decode(std::span<const std::uint8_t> bytes);
    // The world's state into data (no key, stats or player) and back.
    static void captureWorld(const GameWorld& world, CheckpointData& data);
    // False (world untouched) when the tables do not match the world's.
    static bool applyWorld(const CheckpointData& data, GameWorld& world);
};
