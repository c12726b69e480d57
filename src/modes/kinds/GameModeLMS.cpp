#include "modes/kinds/GameModeLMS.h"

#include "entities/aircraft/Airplane.h"
#include "modes/IGameListener.h"
#include "modes/kinds/MatchRules.h"
#include "platform/Log.h"
#include "platform/Settings.h"

#include <algorithm>
#include <array>
#include <cmath>

using namespace matchrules;

namespace {
// A joiner counts no death of its own before the host's round runs: the host
// counts none, and the table and the result page follow the host.
void holdScoresForTheRound() { ScoreMgr::instance().setScoring(false); }
}  // namespace

GameModeLMS::GameModeLMS() : GameModeCustom(GameType::LastManStanding, false) {}

void GameModeLMS::resetRound()
{
    m_teamMode = ((matchOptions() >> 8) & 1) != 0;
    GameModeCustom::resetRound();
    ScoreMgr& sm = ScoreMgr::instance();
    sm.reset(m_teamMode);
    sm.timeLimit = 0.0f;
    sm.scoreLimit = 0;
    m_opponents = 0;
    closeJoinsNearEnd = false;
    closeJoinsAfterMatch = true;
}

void GameModeLMS::buildPlayers()
{
    createMapEntities();
    setPlayerAirplane(nullptr);
    if (!m_teamMode)
        m_nextTeam = 1;
    (void)createPlayerAtSpawn(0, nullptr);
    if (!isSinglePlayer())
        return;
    if (m_teamMode) {
        for (int team = 0; team < 2; ++team)
            for (int i = 0; i < kTeamBots; ++i)
                (void)spawnBot(team, kBotSkill, nullptr, true, -1);
    } else {
        for (int i = 0; i < kBots; ++i)
            (void)spawnBot(m_nextTeam++, kBotSkill, nullptr, true, -1);
    }
}

bool GameModeLMS::startLevel()
{
    if (!GameModeCustom::startLevel())
        return false;
    startMatch();
    return true;
}

void GameModeLMS::startMatch()
{
    if (const Airplane* me = m_playerAirplane) {
        const Vec3 p = me->position(), c = mapSpawnPoint();
        logInfo("modes", "last man standing: the player waits for the round at %.0f %.0f %.0f, %.0f from the map's spawn point",
                p.x, p.y, p.z, std::hypot(p.x - c.x, p.z - c.z));
    }
    m_roundTimer = 0.0f;
    m_roundTick = true;
    m_roundRunning = false;
    if (!isNetworkClient())
        startRoundCountdown(isNetworkServer() ? kHostCountdown : kSingleCountdown);
    else
        holdScoresForTheRound();
    m_outCount = 0;
}

void GameModeLMS::countOpponents()
{
    m_opponents = 0;
    const int other = m_playerAirplane ? (m_playerAirplane->team() + 1) % 2 : 1;
    for (const auto& e : m_entities) {
        if (e->kind() != TargetKind::Airplane)
            continue;
        if (!m_teamMode) {
            if (inPlay(*this, *e))
                ++m_opponents;
        } else if (e->team() == other && e->isAlive() &&
                   static_cast<Airplane&>(*e).scores[Airplane::kScoreDeaths] == 0) {
            ++m_opponents;
        }
    }
}

void GameModeLMS::startRoundCountdown(float t)
{
    m_roundRunning = false;
    m_outCount = 1;
    // Nothing scores between rounds.
    ScoreMgr::instance().setScoring(false);
    if (t <= 0.0f) {
        clearMatchObjects();
        ScoreMgr::instance().setScoring(true);
        m_roundRunning = true;
        if (!isNetworkClient())
            respawnAll(true, true);
        pushStart(*this, kRoundStartText);
        countOpponents();
    }
    m_roundTimer = t;
    m_roundTick = true;
    post(matchevent::ModeValue{static_cast<int>(t), 0});
}

void GameModeLMS::setTeamMatch(bool on)
{
    if (on == m_teamMode)
        return;
    m_teamMode = on;
    // Scored by teams or alone from here; the players are filed again.
    ScoreMgr& sm = ScoreMgr::instance();
    const float timeLimit = sm.timeLimit;
    const int scoreLimit = sm.scoreLimit;
    const bool scoring = sm.active();
    sm.reset(on);
    sm.timeLimit = timeLimit;
    sm.scoreLimit = scoreLimit;
    sm.setScoring(scoring);
    for (const auto& e : m_entities)
        if (e->kind() == TargetKind::Airplane)
            sm.addPlayer(static_cast<Airplane&>(*e));
}

void GameModeLMS::setModeValue(int value, int /*index*/)
{
    startRoundCountdown(static_cast<float>(std::clamp(value, 0, 3600)));
}

bool GameModeLMS::roundFinished() const
{
    if (!m_roundRunning)
        return false;
    int count = 0;
    std::array<int, 2> teams{};
    for (const auto& e : m_entities) {
        if (e->kind() != TargetKind::Airplane || !inPlay(*this, *e))
            continue;
        ++count;
        if (e->team() == 0 || e->team() == 1)
            ++teams[static_cast<std::size_t>(e->team())];
    }
    if (!m_teamMode)
        return count <= 1;
    return (teams[0] > 0) != (teams[1] > 0) || (teams[0] == 0 && teams[1] == 0);
}

void GameModeLMS::putOut(Target& victim)
{
    ++m_outCount;
    if (victim.kind() == TargetKind::Airplane)
        ScoreMgr::instance().setOutOrder(static_cast<Airplane&>(victim), m_outCount);
    postScoreEvent(victim, 1, 0);
    logInfo("modes", "last man standing: airplane %d put out at %.2f s (out order %d)%s", victim.id(), gameClock(),
            m_outCount, victim.isActive() ? ", falling" : "");
}

void GameModeLMS::freezeWhenRoundOver()
{
    if (!isNetworkClient() && !playStopped && roundFinished())
        freezeMatch();
}

void GameModeLMS::onAirplaneDestroyed(Target& victim, Target* attacker, CrashCause cause)
{
    if (victim.lifeState() == LifeState::Destroyed || playStopped)
        return;
    const bool hit = victim.lifeState() == LifeState::Alive;
    const bool running = m_roundRunning;
    GameModeCustom::onAirplaneDestroyed(victim, attacker, cause);
    if (&victim == m_playerAirplane)
        detachAI(*m_playerAirplane);
    if (isNetworkClient() || !running)
        return;
    if (hit && victim.kind() == TargetKind::Airplane)
        putOut(victim);
    freezeWhenRoundOver();
}

void GameModeLMS::onAirplaneEvent(Target& victim, Target* killer, CrashCause cause, std::uint8_t flags,
                                  float respawnTime, const Vec3& position, const Quat& orientation)
{
    if (playStopped)
        return;
    const bool hit = victim.lifeState() == LifeState::Alive;
    GameModeCustom::onAirplaneEvent(victim, killer, cause, flags, respawnTime, position, orientation);
    if (isNetworkClient() || !m_roundRunning)
        return;
    if ((flags & kEventDestroyed) != 0 && hit && victim.kind() == TargetKind::Airplane)
        putOut(victim);
    freezeWhenRoundOver();
}

void GameModeLMS::deathFinished(Target& victim)
{
    if (!victim.isActive() && victim.respawnTimer == -1.0f)
        logInfo("modes", "last man standing: airplane %d out of play at %.2f s", victim.id(), gameClock());
    freezeWhenRoundOver();
}

std::unique_ptr<Target> GameModeLMS::removePlayerAirplane(Target& entity)
{
    auto removed = GameModeCustom::removePlayerAirplane(entity);
    freezeWhenRoundOver();
    return removed;
}

void GameModeLMS::respawnAirplane(Target& entity, float delay, const Vec3* position)
{
    const bool wasOut = !entity.isActive() && entity.respawnTimer == -1.0f;
    GameModeCustom::respawnAirplane(entity, delay, position);
    if (wasOut && entity.kind() == TargetKind::Airplane)
        postScoreEvent(entity, 1, 0);
}

void GameModeLMS::respawnQuietly(Target& entity, float delay, const Vec3* position)
{
    const bool wasOut = !entity.isActive() && entity.respawnTimer == -1.0f;
    GameModeCustom::respawnQuietly(entity, delay, position);
    if (wasOut && entity.kind() == TargetKind::Airplane)
        ScoreMgr::instance().setOutOrder(static_cast<Airplane&>(entity), 0);
}

void GameModeLMS::respawnEliminated(Target& entity)
{
    // Only between rounds: a round once running keeps its fallen out.
    if (m_roundTimer > 0.0f)
        GameModeCustom::respawnEliminated(entity);
}

void GameModeLMS::getSpawnPoint(const Target& entity, Vec3& position, Quat& orientation) const
{
    if (entity.kind() != TargetKind::Airplane) {
        GameModeCustom::getSpawnPoint(entity, position, orientation);
        return;
    }
    position = spawnOnCircle(mapSpawnPoint(), kSpawnRadius, true, &orientation);
}

int GameModeLMS::joinTeam()
{
    if (!m_teamMode)
        return m_nextTeam++;
    std::array<int, 2> teams{};
    for (const auto& e : m_entities)
        if (e->kind() == TargetKind::Airplane && (e->team() == 0 || e->team() == 1))
            ++teams[static_cast<std::size_t>(e->team())];
    return teams[1] <= teams[0] ? 1 : 0;
}

Airplane* GameModeLMS::addServerPlayer(const JoinRequest& joinRequest, int /*team*/)
{
    Airplane* a = GameModeCustom::addServerPlayer(joinRequest, joinTeam());
    if (a)
        ScoreMgr::instance().setOutOrder(*a, 1);
    return a;
}

void GameModeLMS::restartMatch()
{
    resetMatch(false, false, {}, !m_teamMode);
    if (isNetworkClient())
        holdScoresForTheRound();
    m_outCount = 1;
    m_roundRunning = false;
    m_services.overlaysOrNone().setPaused(false);
    m_services.overlaysOrNone().closeOverlay();
}

void GameModeLMS::finishMatch()
{
    // The host keeps its players for the next round; the end message
    // carries the countdown so the clients wait for it too.
    if (isNetworkServer() && m_listener)
        m_restartCountdown = kHostRestartDelay;
    GameModeCustom::finishMatch();
}

void GameModeLMS::startNextMatch()
{
    startNextMatchWith(true, !m_teamMode);
    m_outCount = 1;
    m_roundRunning = false;
    // Single player too: without a countdown no round would ever start again.
    if (!isNetworkClient())
        startRoundCountdown(kNextMatchCountdown);
    else
        holdScoresForTheRound();
}

int GameModeLMS::matchBonusPercent() const
{
    if (!m_playerAirplane || !ScoreMgr::instance().isWinner(*m_playerAirplane))
        return 0;
    return m_teamMode ? (m_opponents * 5 + 15) * 2 : m_opponents * 10;
}

void GameModeLMS::update(float dt)
{
    GameModeCustom::update(dt);
    updateRules(dt);
}

void GameModeLMS::updateRules(float dt)
{
    if (playStopped || !ScoreMgr::instance().ready())
        return;
    freezeWhenRoundOver();
    if (playStopped)
        return;
    updateSpectatorCamera();
    if (m_roundTimer > 0.0f) {
        if (tick(m_roundTimer, dt))
            m_roundTick = true;
        if (m_roundTimer <= 0.0f) {
            if (isNetworkClient())
                m_roundTimer = 0.99999f;
            else
                startRoundCountdown(0.0f);
        }
    }
    if (m_roundTick) {
        if (m_roundTimer > 0.0f)
            pushCountdown(*this, kRoundInText, static_cast<int>(m_roundTimer) + 1);
        m_roundTick = false;
    }
}

void GameModeLMS::fillServerData(ServerData& out) const
{
    out.layout = ServerData::Layout::LastStand;
    out.elapsed = ScoreMgr::instance().elapsed();
    out.timer = m_roundTimer;
    out.playStopped = playStopped;
    out.restartCountdown = m_restartCountdown;
}

void GameModeLMS::applyServerData(const ServerData& data)
{
    if (data.elapsed >= 0.0f)
        ScoreMgr::instance().setElapsed(data.elapsed);
    const float t = data.timer;
    if (!data.playStopped) {
        if (t <= 0.0f) {
            // The host's round runs: a joiner coming in now scores with it.
            m_roundTimer = t;
            m_roundTick = true;
            ScoreMgr::instance().setScoring(true);
        } else {
            startRoundCountdown(std::min(t, 3600.0f));
        }
    } else {
        onMatchEnded(std::clamp(data.restartCountdown, -1.0f, 3600.0f));
    }
}
