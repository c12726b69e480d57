#include "modes/progress/ScoreMgr.h"

#include "entities/aircraft/Airplane.h"
#include "modes/GameMode.h"
#include "platform/Language.h"
#include "platform/Text.h"

#include <algorithm>
#include <cmath>

namespace {

using A = Airplane;

Airplane* asAirplane(Target* t)
{
    return t && t->kind() == TargetKind::Airplane ? static_cast<Airplane*>(t) : nullptr;
}

bool contains(const std::vector<Airplane*>& list, const Airplane* a)
{
    return std::find(list.begin(), list.end(), a) != list.end();
}

}  // namespace

int rankForPoints(std::int64_t points)
{
    for (int r = static_cast<int>(kRankThresholds.size()) - 1; r >= 0; --r)
        if (kRankThresholds[r] <= points)
            return r;
    return 0;
}

void ScoreGroup::zero()
{
    kills = deaths = bases = flagsCaptured = flagsReturned = score = 0;
}

ScoreMgr& ScoreMgr::instance()
{
    static ScoreMgr keeper;
    return keeper;
}

void ScoreMgr::attach(GameMode* mode, IScoreMatch* match)
{
    m_mode = mode;
    m_match = match;
}

GameType ScoreMgr::type() const { return m_mode ? m_mode->gameType() : GameType::FreeForAll; }

bool ScoreMgr::isLocal(const Target* t) const
{
    return t && m_mode && m_mode->playerAirplane() == t;
}

int ScoreMgr::localTeam() const
{
    const Airplane* p = m_mode ? m_mode->playerAirplane() : nullptr;
    return p ? p->team() : -1;
}

IModeHud& ScoreMgr::hud() const
{
    static IModeHud none;
    return m_mode ? m_mode->hooks().hudOrNone() : none;
}

void ScoreMgr::countEvent(int id) const
{
    if (m_mode)
        m_mode->hooks().progressOrNone().countEvent(id);
}

void ScoreMgr::changed()
{
    if (m_listener)
        m_listener->onScoreChanged();
}

void ScoreMgr::reset(bool teamScoring)
{
    for (int i = 0; i < 2; ++i) {
        m_groups[i].players.clear();
        m_groups[i].zero();
        m_groups[i].team = i;
    }
    m_winners.clear();
    m_elapsed = 0.0f;
    timeLimit = 0.0f;
    scoreLimit = 0;
    m_winningTeam = -1;
    m_active = m_ready = false;
    m_points = MatchPoints{};
    m_totals = MatchPoints{};
    m_killTally = m_deathTally = 0;
    medal = 0;
    m_teamScoring = teamScoring;
}

void ScoreMgr::startMatch(bool scoring)
{
    for (ScoreGroup& g : m_groups) {
        for (Airplane* a : g.players)
            a->resetScores();
        g.zero();
    }
    m_winners.clear();
    m_elapsed = 0.0f;
    m_points = MatchPoints{};
    m_killTally = m_deathTally = 0;
    medal = 0;
    m_winningTeam = -1;
    m_active = scoring;
    m_ready = false;
    updateReady();
}

void ScoreMgr::clearPlayers()
{
    for (ScoreGroup& g : m_groups) {
        g.players.clear();
        g.zero();
    }
    m_winners.clear();
}

ScoreGroup* ScoreMgr::groupOf(const Target& entity)
{
    if (!m_teamScoring)
        return &m_groups[0];
    if (entity.team() == 0 || entity.team() == 1)
        return &m_groups[entity.team()];
    return nullptr;
}

void ScoreMgr::addPlayer(Airplane& airplane)
{
    ScoreGroup* g = groupOf(airplane);
    if (g && !contains(g->players, &airplane)) {
        g->players.push_back(&airplane);
        updateGroupScore(*g);
    }
    updateReady();
    changed();
}

void ScoreMgr::refilePlayer(Airplane& airplane)
{
    bool filed = false;
    for (ScoreGroup& g : m_groups)
        filed |= std::erase(g.players, &airplane) > 0;
    if (filed) {
        changed();
        addPlayer(airplane);
    }
    changed();
}

void ScoreMgr::forget(const Target& entity)
{
    bool removed = false;
    for (ScoreGroup& g : m_groups)
        if (std::erase(g.players, &entity) > 0) {
            updateGroupScore(g);
            removed = true;
        }
    std::erase(m_winners, &entity);
    // The tables drop their row of it before the airplane goes.
    if (removed)
        changed();
}

int ScoreMgr::compareEntries(const Airplane& a, const Airplane& b) const
{
    const auto& sa = a.scores;
    const auto& sb = b.scores;
    const GameType t = type();
    int key = A::kScorePoints;
    if (t == GameType::CaptureTheFlag)
        key = A::kScoreFlagsCaptured;
    else if (t == GameType::DestroyTheBase)
        key = A::kScoreBases;
    if (t == GameType::FreeForAll || t == GameType::TeamDeathmatch) {
        if (sa[key] != sb[key])
            return sa[key] > sb[key] ? -1 : 1;
        if (sa[A::kScoreDeaths] != sb[A::kScoreDeaths])
            return sa[A::kScoreDeaths] < sb[A::kScoreDeaths] ? -1 : 1;
        return 0;
    }
    if (t == GameType::LastManStanding) {
        const int oa = sa[A::kScoreOutOrder], ob = sb[A::kScoreOutOrder];
        if (oa != ob) {
            if (oa == 0)
                return -1;
            if (ob == 0)
                return 1;
            return oa > ob ? -1 : 1;
        }
        key = A::kScorePoints;
    } else if (sa[key] != sb[key]) {
        return sa[key] > sb[key] ? -1 : 1;
    }
    const int pa = sa[A::kScorePoints], pb = sb[A::kScorePoints];
    return pa == pb ? 0 : (pa > pb ? -1 : 1);
}

void ScoreMgr::sortGroup(ScoreGroup& group)
{
    std::stable_sort(group.players.begin(), group.players.end(),
                     [this](const Airplane* a, const Airplane* b) { return compareEntries(*a, *b) < 0; });
}

void ScoreMgr::updateGroupScore(ScoreGroup& group)
{
    sortGroup(group);
    switch (type()) {
    case GameType::FreeForAll:
    case GameType::Survival:
    case GameType::Dogfight:
        group.score = group.players.empty() ? 0 : group.players.front()->scores[A::kScorePoints];
        break;
    case GameType::TeamDeathmatch:
    case GameType::LastManStanding: group.score = group.kills; break;
    case GameType::CaptureTheFlag: group.score = group.flagsCaptured; break;
    case GameType::DestroyTheBase: group.score = group.bases; break;
    default: break;
    }
}

void ScoreMgr::updateReady()
{
    if (m_ready)
        return;
    const GameType t = type();
    if (t == GameType::Campaign)
        m_ready = true;
    else if (m_teamScoring)
        m_ready = !m_groups[0].players.empty() && !m_groups[1].players.empty();
    else
        m_ready = m_groups[0].players.size() >= (t == GameType::Survival ? 1u : 2u);
}

std::vector<Airplane*> ScoreMgr::leaders(int groupIndex)
{
    ScoreGroup& g = m_groups[groupIndex & 1];
    sortGroup(g);
    std::vector<Airplane*> out;
    for (Airplane* a : g.players)
        if (compareEntries(*a, *g.players.front()) == 0)
            out.push_back(a);
    return out;
}

int ScoreMgr::placeOf(const Airplane& airplane)
{
    ScoreGroup& g = m_groups[0];
    sortGroup(g);
    int place = 0;
    const Airplane* last = g.players.empty() ? nullptr : g.players.front();
    for (const Airplane* a : g.players) {
        if (compareEntries(*a, *last) != 0) {
            ++place;
            last = a;
        }
        if (a == &airplane)
            return place;
    }
    return -1;
}

int ScoreMgr::leadingTeam() const
{
    const int d = m_groups[0].score - m_groups[1].score;
    return d == 0 ? kNoTeam : (d > 0 ? 0 : 1);
}

void ScoreMgr::onKill(Target* victim, Target* killer, CrashCause cause, bool spared)
{
    if (!m_active || !m_ready || cause == CrashCause::None || (victim && victim->isGroundTarget()))
        return;
    const GameType t = type();
    const bool ffa = t == GameType::FreeForAll;
    const std::vector<Airplane*> before = ffa ? leaders(0) : std::vector<Airplane*>{};
    const int teamBefore = leadingTeam();

    if (Airplane* v = asAirplane(victim)) {
        const bool spare = spared && t != GameType::LastManStanding;
        const bool deduct = victim == killer ||
                            (cause != CrashCause::KilledByDamage && t != GameType::LastManStanding);
        v->scores[A::kScoreStreak] = 0;
        if (!spare) {
            ++v->scores[A::kScoreDeaths];
            if (deduct)
                --v->scores[A::kScorePoints];
            if (ScoreGroup* g = groupOf(*v)) {
                ++g->deaths;
                if (deduct)
                    --g->kills;
                updateGroupScore(*g);
            }
            if (isLocal(v))
                applyDeathPenalty(killer);
        }
    }
    Airplane* k = asAirplane(killer);
    if (k && killer != victim) {
        ++k->scores[A::kScorePoints];
        ++k->scores[A::kScoreStreak];
        if (ScoreGroup* g = groupOf(*k)) {
            ++g->kills;
            updateGroupScore(*g);
        }
        if (isLocal(k) && victim) {
            m_points.kill += m_mode->killPoints(*victim);
            m_killTally += 2;
        }
    }
    changed();

    bool shown = false;
    if (ffa) {
        shown = announceLeaderChange(before, leaders(0));
        if (!shown)
            shown = showPointsToWin(k);
    }
    if (t == GameType::TeamDeathmatch || t == GameType::CaptureTheFlag || t == GameType::DestroyTheBase)
        shown = announceTeamLeadChange(teamBefore, leadingTeam());
    if (!shown && t != GameType::Campaign && t != GameType::CampaignLike)
        showStreak(k == victim ? nullptr : k);
    if (victim && m_mode)
        m_mode->relayCrash(*victim, cause);
    checkScoreLimit();
}

void ScoreMgr::applyDeathPenalty(const Target* killer)
{
    int p = 3;
    if (killer) {
        const int localRank = m_mode && m_mode->playerAirplane() ? m_mode->playerAirplane()->rank() : 0;
        p = std::clamp((localRank - killer->rank()) / 3 + 2, 0, 3);
    }
    m_points.death -= p;
    m_deathTally -= 2;
}

void ScoreMgr::onFlagCaptured(Airplane& airplane)
{
    if (!m_active || !m_ready)
        return;
    const int teamBefore = leadingTeam();
    ++airplane.scores[A::kScoreFlagsCaptured];
    if (ScoreGroup* g = groupOf(airplane)) {
        ++g->flagsCaptured;
        updateGroupScore(*g);
    }
    if (isLocal(&airplane)) {
        countEvent(25);
        m_points.objective += 20;
    }
    const GameType t = type();
    if (t == GameType::TeamDeathmatch || t == GameType::CaptureTheFlag || t == GameType::DestroyTheBase)
        announceTeamLeadChange(teamBefore, leadingTeam());
    checkScoreLimit();
    changed();
}

void ScoreMgr::onFlagReturned(Airplane& airplane)
{
    if (!m_active || !m_ready)
        return;
    ++airplane.scores[A::kScoreFlagsReturned];
    if (ScoreGroup* g = groupOf(airplane)) {
        ++g->flagsReturned;
        updateGroupScore(*g);
    }
    if (isLocal(&airplane)) {
        countEvent(26);
        m_points.objective += 10;
    }
    checkScoreLimit();
    changed();
}

void ScoreMgr::onBaseDestroyed(Airplane& airplane, int baseTeam, float baseDamageShare)
{
    if (!m_active || !m_ready)
        return;
    const int teamBefore = leadingTeam();
    ++airplane.scores[A::kScoreBases];
    if (ScoreGroup* g = groupOf(airplane)) {
        ++g->bases;
        updateGroupScore(*g);
    }
    const bool hasLocal = m_mode && m_mode->playerAirplane();
    if (hasLocal && baseTeam == localTeam())
        countEvent(24);
    if (isLocal(&airplane)) {
        countEvent(23);
        m_points.objective += 20;
    } else if (hasLocal && baseTeam != localTeam()) {
        const float share = std::isfinite(baseDamageShare) ? std::clamp(baseDamageShare, 0.0f, 1.0f) : 0.0f;
        m_points.baseShare += static_cast<int>(8.0f * share);
    }
    const GameType t = type();
    if (t == GameType::TeamDeathmatch || t == GameType::CaptureTheFlag || t == GameType::DestroyTheBase)
        announceTeamLeadChange(teamBefore, leadingTeam());
    checkScoreLimit();
    changed();
}

void ScoreMgr::notifyPlayerChanged(Airplane& airplane)
{
    if (ScoreGroup* g = groupOf(airplane))
        updateGroupScore(*g);
    changed();
}

void ScoreMgr::applyNetworkRecord(int kind, Airplane* airplane, const std::array<std::int32_t, 9>& record)
{
    if (!airplane)
        return;
    if (kind == 0)
        airplane->scores = record;
    else if (kind == 1)
        airplane->scores[A::kScoreOutOrder] = record[A::kScoreOutOrder];
    else
        return;
    notifyPlayerChanged(*airplane);
}

void ScoreMgr::setTeamCounters(int firstTeam, int secondTeam)
{
    const GameType t = type();
    if (t != GameType::TeamDeathmatch && t != GameType::CaptureTheFlag && t != GameType::DestroyTheBase)
        return;
    for (int i = 0; i < 2; ++i) {
        ScoreGroup& g = m_groups[static_cast<std::size_t>(i)];
        const int value = std::max(i == 0 ? firstTeam : secondTeam, 0);
        if (t == GameType::TeamDeathmatch)
            g.kills = value;
        else if (t == GameType::CaptureTheFlag)
            g.flagsCaptured = value;
        else
            g.bases = value;
        updateGroupScore(g);
    }
    changed();
}

void ScoreMgr::setOutOrder(Airplane& airplane, int value)
{
    airplane.scores[A::kScoreOutOrder] = value;
    notifyPlayerChanged(airplane);
}

void ScoreMgr::updateTimer(float dt)
{
    if (!m_active || !m_ready)
        return;
    m_elapsed += dt;
    if (timeLimit > 0.0f && m_elapsed > timeLimit) {
        if (m_mode && m_mode->isNetworkClient())
            m_elapsed = timeLimit;
        else
            endMatch();
    }
}

void ScoreMgr::checkScoreLimit()
{
    if (scoreLimit <= 0)
        return;
    bool reached = false;
    const GameType t = type();
    if (t == GameType::FreeForAll)
        reached = m_groups[0].score >= scoreLimit;
    else if (t == GameType::TeamDeathmatch || t == GameType::CaptureTheFlag || t == GameType::DestroyTheBase)
        reached = m_groups[0].score >= scoreLimit || m_groups[1].score >= scoreLimit;
    if (reached && !(m_mode && m_mode->isNetworkClient()))
        endMatch();
}

void ScoreMgr::decideWinner()
{
    if (!m_teamScoring) {
        m_winners = leaders(0);
        return;
    }
    int d = m_groups[0].score - m_groups[1].score;
    if (type() == GameType::LastManStanding && m_match)
        d = m_match->playersStillIn(0) - m_match->playersStillIn(1);
    m_winningTeam = d > 0 ? 0 : (d < 0 ? 1 : -1);
}

void ScoreMgr::endMatch()
{
    decideWinner();
    m_active = m_ready = false;
    const GameType t = type();
    if (t != GameType::Campaign && t != GameType::CampaignLike && m_match)
        m_match->freezeMatch();
    changed();
}

bool ScoreMgr::isWinner(const Airplane& airplane) const
{
    if (m_teamScoring)
        return airplane.team() == m_winningTeam;
    return contains(m_winners, &airplane);
}

bool ScoreMgr::isDraw() const
{
    if (m_teamScoring)
        return m_winningTeam == -1;
    if (type() != GameType::FreeForAll)
        return false;
    const auto& players = m_groups[0].players;
    if (players.empty())
        return false;
    const Airplane* best = players.front();
    for (const Airplane* a : players)
        if (compareEntries(*a, *best) < 0)
            best = a;
    int tied = 0;
    for (const Airplane* a : players)
        tied += compareEntries(*a, *best) == 0 ? 1 : 0;
    return tied > 1;
}

void ScoreMgr::finishMatchPoints(int gunsFired, int gunHits, int missilesFired, int missileHits)
{
    const int bonus = m_match ? m_match->matchBonusPercent() : 0;
    m_totals.kill += m_points.kill;
    m_totals.death += m_points.death;
    m_totals.baseShare += m_points.baseShare;
    m_totals.objective += m_points.objective;
    m_totals.matchBonus += bonus;
    m_points.matchBonus = bonus;
    const int sum = m_points.kill + m_points.death + m_points.baseShare + m_points.objective + bonus;
    auto ratio = [](int fired, int hits) {
        return fired > 0 ? std::clamp(static_cast<double>(hits) / fired, 0.0, 1.0) : 0.0;
    };
    const double acc = 0.6 * ratio(gunsFired, gunHits) + 0.4 * ratio(missilesFired, missileHits);
    m_points.accuracy = static_cast<int>(std::abs(static_cast<double>(sum)) * 0.1 * acc);
    m_totals.accuracy += m_points.accuracy;
}
