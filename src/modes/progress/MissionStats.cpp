#include "modes/progress/MissionStats.h"

#include "gamedata/records/MapInfoCfg.h"
#include "platform/ByteReader.h"
#include "platform/ByteWriter.h"
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
    ByteWriter w(out);
    forEachWord(*this, [&](const auto& value) { w.u32(std::bit_cast<std::uint32_t>(value)); });
}

void MissionStats::decode(std::span<const std::uint8_t, kBytes> bytes)
{
    // The block's length is fixed by its type: every read succeeds.
    ByteReader r(bytes);
    forEachWord(*this, [&](auto& value) {
        std::uint32_t raw = 0;
        (void)r.u32(raw);
        value = std::bit_cast<std::remove_reference_t<decltype(value)>>(raw);
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

std::array<std::uint8_t, CheckpointStats::kBytes> CheckpointStats::encode() const
{
    std::array<std::uint8_t, kBytes> out{};
    ByteWriter w(out);
    w.i32(playerScore);
    w.i32(killPoints);
    w.i32(objectivePoints);
    stats.encode(std::span<std::uint8_t, MissionStats::kBytes>(out.data() + w.size(), MissionStats::kBytes));
    return out;
}

std::optional<CheckpointStats> CheckpointStats::decode(std::span<const std::uint8_t> bytes)
{
    if (bytes.size() != kBytes)
        return std::nullopt;
    CheckpointStats block;
    ByteReader r(bytes);
    if (!r.i32(block.playerScore) || !r.i32(block.killPoints) || !r.i32(block.objectivePoints) ||
        r.remaining() != MissionStats::kBytes)
        return std::nullopt;
    block.stats.decode(std::span<const std::uint8_t, MissionStats::kBytes>(bytes.last(MissionStats::kBytes)));
    return block;
}
