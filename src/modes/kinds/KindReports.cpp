// Each kind's own section of the match report.
#include "entities/ground/Flag.h"
#include "entities/ground/GroundTarget.h"
#include "modes/MatchReport.h"
#include "modes/kinds/GameModeCTF.h"
#include "modes/kinds/GameModeCampaign.h"
#include "modes/kinds/GameModeCustom.h"
#include "modes/kinds/GameModeDF.h"
#include "modes/kinds/GameModeDTB.h"
#include "modes/kinds/GameModeLMS.h"
#include "modes/kinds/GameModeSRV.h"
#include "platform/Language.h"
#include "platform/StringTable.h"

namespace {
// The warning to the flag carrier out of bounds.
constexpr int kCarrierWarningText = 88;

int liveCount(const std::vector<GroundTarget*>& bases)
{
    int n = 0;
    for (const GroundTarget* b : bases)
        if (b && b->isTargetable())
            ++n;
    return n;
}
}  // namespace

void GameModeCustom::fillReport(MatchReport& out) const
{
    GameMode::fillReport(out);
    out.restartCountdown = m_restartCountdown;
    (void)respawnText(out.respawnText);
}

void GameModeCTF::fillReport(MatchReport& out) const
{
    GameModeCustom::fillReport(out);
    MatchReport::Flags& flags = out.flags.emplace(MatchReport::Flags{});
    for (int team = 0; team < 2; ++team) {
        const auto t = static_cast<std::size_t>(team);
        Flag* flag = flagOfTeam(team);
        if (!flag)
            continue;
        const Target* carrier = flag->carrier();
        flags.carrierId[t] = carrier ? carrier->id() : -1;
        flags.home[t] = flag->state() == Flag::State::Home;
    }
    // The carrier is in play, so no respawn line shares the place.
    if (carrierWarning()) {
        const std::u16string* text = findStringTable().text(kCarrierWarningText);
        out.respawnText = text ? *text : u"DUMMY";
    }
}

void GameModeSRV::fillReport(MatchReport& out) const
{
    GameModeCustom::fillReport(out);
    out.waves = MatchReport::Waves{m_wave, m_waveTimer, m_row.enemies, m_reward};
}

void GameModeLMS::fillReport(MatchReport& out) const
{
    GameModeCustom::fillReport(out);
    MatchReport::Rounds& rounds = out.rounds.emplace(MatchReport::Rounds{});
    rounds.running = m_roundRunning;
    rounds.countdown = m_roundTimer;
    rounds.teamMode = m_teamMode;
    rounds.outCount = m_outCount;
    rounds.opponents = m_opponents;
}

void GameModeDTB::fillReport(MatchReport& out) const
{
    GameModeCustom::fillReport(out);
    MatchReport::Rounds& rounds = out.rounds.emplace(MatchReport::Rounds{});
    // The countdown runs only between rounds.
    rounds.running = m_roundTimer <= 0.0f && !playStopped;
    rounds.countdown = m_roundTimer;
    rounds.teamMode = true;
    rounds.basesLeft = {liveCount(m_bases0), liveCount(m_bases1)};
}

void GameModeDF::fillReport(MatchReport& out) const
{
    GameModeCustom::fillReport(out);
    MatchReport::Rounds& rounds = out.rounds.emplace(MatchReport::Rounds{});
    rounds.running = !playStopped;
    rounds.teamMode = true;
    rounds.dogfight = m_index;
    rounds.won = m_won;
    rounds.reward = m_reward;
}

void GameModeCampaign::fillReport(MatchReport& out) const
{
    GameMode::fillReport(out);
    MatchReport::Campaign& c = out.campaign.emplace(MatchReport::Campaign{});
    c.campaign = campaign();
    c.mission = mission();
    c.ended = missionEnded();
    c.failureReason = campaignStats().failureReason;
    c.missionPoints = missionPoints();
}
