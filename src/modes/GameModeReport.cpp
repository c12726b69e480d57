#include "modes/GameMode.h"

#include "entities/aircraft/Airplane.h"
#include "modes/MatchReport.h"
#include "modes/progress/ScoreMgr.h"

void GameMode::fillReport(MatchReport& out) const
{
    out.type = m_type;
    out.role = !m_networkGame ? MatchRole::Alone : (m_hosting ? MatchRole::Host : MatchRole::Client);
    out.online = m_online;
    // Assigned, not replaced, so a report refilled each frame keeps its buffers.
    if (m_networkGame)
        out.serverName.assign(m_serverName);
    else
        out.serverName.clear();
    out.playStopped = playStopped;
    out.difficulty = difficulty;
    const ScoreMgr& scores = ScoreMgr::instance();
    out.teamScoring = scores.teamScoring();
    out.teamScores = {scores.group(0).score, scores.group(1).score};
    out.playerTeam = m_playerAirplane ? m_playerAirplane->team() : -1;
    out.playerGroupIndex = playerGroupIndex();
    out.totals = scores.totals();
    out.medal = scores.medal;
    out.timeLimit = scores.timeLimit;
    out.elapsed = scores.elapsed();
    out.restartCountdown = -1.0f;
    out.respawnText.clear();
    out.waitingToFly = m_playerAirplane && !m_playerAirplane->isActive();
    out.flags.reset();
    out.waves.reset();
    out.rounds.reset();
    out.campaign.reset();
}

MatchReport GameMode::report() const
{
    MatchReport out;
    fillReport(out);
    return out;
}
