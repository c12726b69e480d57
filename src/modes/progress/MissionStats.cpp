#include "modes/progress/MissionStats.h"

#include "gamedata/records/MapInfoCfg.h"
#include "platform/File.h"

#include <algorithm>
#include <bit>

namespace {
float ratio(std::int32_t hits, std::int32_t fired)
{
    if (fired == 0)
        return 1.0f;
    return std::clamp(static_cast<float>(hits) / static_cast<float>(fired), 0.0f, 1.0f);
}

void put(std::uint8_t* out, std::uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        out[i] = static_cast<std::uint8_t>(value >> (8 * i));
}

std::uint32_t get(const std::uint8_t* bytes)
{
    return std::uint32_t{bytes[0]} | std::uint32_t{bytes[1]} << 8 | std::uint32_t{bytes[2]} << 16 |
           std::uint32_t{bytes[3]} << 24;
}

// The members as 32-bit words in block order; the two floats by their bits.
template <class Stats, class Visit>
void forEachWord(Stats& s, Visit visit)
{
    visit(s.gameTime);
    visit(s.damageTaken);
    for (auto* value : {&s.unused0, &s.unused1, &s.shotsFired, &s.shotsHit, &s.missilesFired, &s.missilesHit,
                        &s.enemiesKilled, &s.enemyAirplanes, &s.friendlyLosses, &s.friendlyAirplanes,
                        &s.checkpointRestarts})
        visit(*value);
}
}  // namespace

float MissionStats::gunAccuracy() const { return ratio(shotsHit, shotsFired); }
float MissionStats::missileAccuracy() const { return ratio(missilesHit, missilesFired); }

int MissionStats::timeRating(const MapInfoCfg& mission, int difficulty) const
{
    const bool ace = difficulty == 2;
    // In seconds as doubles: minutes from a record may be large or negative.
    const double gold = 60.0 * (ace ? mission.goldTimeAce : mission.goldTime);
    const double silver = 60.0 * (ace ? mission.silverTimeAce : mission.silverTime);
    const double t = gameTime;
    if (t <= gold)
        return 2;
    if (t <= silver)
        return 1;
    return 0;
}

int MissionStats::medal(const MapInfoCfg& mission, int difficulty) const
{
    switch (timeRating(mission, difficulty)) {
    case 2:
        return checkpointRestarts < 1 ? 3 : 2;
    case 1:
        return 2;
    default:
        return 1;
    }
}

void MissionStats::resetRound()
{
    const std::int32_t keepFired = missilesFired, keepHit = missilesHit;
    *this = MissionStats{};
    missilesFired = keepFired;
    missilesHit = keepHit;
}

void MissionStats::encode(std::span<std::uint8_t, kBytes> out) const
{
    std::size_t at = 0;
    forEachWord(*this, [&](const auto& value) {
        put(out.data() + at, std::bit_cast<std::uint32_t>(value));
        at += 4;
    });
}

void MissionStats::decode(std::span<const std::uint8_t, kBytes> bytes)
{
    std::size_t at = 0;
    forEachWord(*this, [&](auto& value) {
        value = std::bit_cast<std::remove_reference_t<decltype(value)>>(get(bytes.data() + at));
        at += 4;
    });
}

void MissionStats::write(File& file) const
{
    std::array<std::uint8_t, kBytes> bytes{};
    encode(bytes);
    file.write(bytes.data(), bytes.size());
}

bool MissionStats::read(File& file)
{
    std::array<std::uint8_t, kBytes> bytes{};
    if (file.read(bytes.data(), bytes.size()) != bytes.size())
        return false;
    decode(bytes);
    return true;
}

MissionStats& missionStats()
{
    static MissionStats stats;
    return stats;
}

std::array<std::uint8_t, CheckpointStats::kBytes> CheckpointStats::encode() const
{
    std::array<std::uint8_t, kBytes> out{};
    put(out.data(), static_cast<std::uint32_t>(playerScore));
    put(out.data() + 4, static_cast<std::uint32_t>(killPoints));
    put(out.data() + 8, static_cast<std::uint32_t>(objectivePoints));
    stats.encode(std::span<std::uint8_t, MissionStats::kBytes>(out.data() + 12, MissionStats::kBytes));
    return out;
}

std::optional<CheckpointStats> CheckpointStats::decode(std::span<const std::uint8_t> bytes)
{
    if (bytes.size() != kBytes)
        return std::nullopt;
    CheckpointStats block;
    block.playerScore = static_cast<std::int32_t>(get(bytes.data()));
    block.killPoints = static_cast<std::int32_t>(get(bytes.data() + 4));
    block.objectivePoints = static_cast<std::int32_t>(get(bytes.data() + 8));
    block.stats.decode(std::span<const std::uint8_t, MissionStats::kBytes>(bytes.data() + 12, MissionStats::kBytes));
    return block;
}
