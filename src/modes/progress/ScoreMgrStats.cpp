#include "entities/aircraft/Airplane.h"
#include "modes/GameMode.h"
#include "modes/progress/MissionStats.h"
#include "modes/progress/ScoreMgr.h"
#include "platform/File.h"

#include <cmath>

namespace {

bool plausible(const CheckpointStats& block)
{
    const MissionStats& s = block.stats;
    const bool times = std::isfinite(s.gameTime) && s.gameTime >= 0.0f && std::isfinite(s.damageTaken) &&
                       s.damageTaken >= 0.0f;
    const bool counts = s.shotsFired >= 0 && s.shotsHit >= 0 && s.missilesFired >= 0 && s.missilesHit >= 0 &&
                        s.enemiesKilled >= 0 && s.enemyAirplanes >= 0 && s.friendlyLosses >= 0 &&
                        s.friendlyAirplanes >= 0 && s.checkpointRestarts >= 0;
    return times && counts && block.killPoints >= 0 && block.objectivePoints >= 0;
}

}  // namespace

void ScoreMgr::writeStats(File& file) const
{
    CheckpointStats block;
    const Airplane* player = m_mode ? m_mode->playerAirplane() : nullptr;
    block.playerScore = player ? player->scores[Airplane::kScorePoints] : 0;
    block.killPoints = m_points.kill;
    block.objectivePoints = m_points.objective;
    block.stats = missionStats();
    const auto bytes = block.encode();
    file.write(bytes.data(), bytes.size());
}

bool ScoreMgr::readStats(File& file)
{
    std::array<std::uint8_t, CheckpointStats::kBytes> bytes{};
    if (file.read(bytes.data(), bytes.size()) != bytes.size())
        return false;
    const std::optional<CheckpointStats> block = CheckpointStats::decode(bytes);
    if (!block || !plausible(*block))
        return false;
    if (m_mode)
        if (Airplane* player = m_mode->playerAirplane())
            player->scores[Airplane::kScorePoints] = block->playerScore;
    m_points.kill = block->killPoints;
    m_points.objective = block->objectivePoints;
    missionStats() = block->stats;
    return true;
}
