#include "modes/kinds/GameModeDF.h"

#include "entities/aircraft/Airplane.h"
#include "gamedata/records/WeaponList.h"
#include "modes/progress/MissionStats.h"
#include "modes/progress/ScoreMgr.h"
#include "modes/progress/UnlocksMgr.h"
#include "platform/Log.h"
#include "platform/Settings.h"

#include <algorithm>
#include <cmath>

int GameModeDF::clampIndex(int index)
{
    return std::clamp(index, 0, kCount - 1);
}

int GameModeDF::rewardFor(int index, bool done, int rank, std::int64_t points)
{
    const int i = clampIndex(index);
    if (i < kRankGapFrom || done)
        return kRewards[static_cast<std::size_t>(i)];
    const int next = std::min(std::clamp(rank, 0, 17) + 1, 17);
    const std::int64_t gap = static_cast<std::int64_t>(kRankThresholds[static_cast<std::size_t>(next)]) - points;
    return static_cast<int>(std::clamp<std::int64_t>(gap, 0, kRewardCap));
}

GameModeDF::GameModeDF() : GameModeCustom(GameType::Dogfight, false) {}

void GameModeDF::resetRound()
{
    GameModeCustom::resetRound();
    ScoreMgr& sm = ScoreMgr::instance();
    sm.reset(false);
    sm.scoreLimit = 0;
    sm.timeLimit = 0.0f;
    m_won = false;
    m_index = clampIndex(settings().dogfightIndex);
    m_reward = 0;
}

void GameModeDF::buildPlayers()
{
    createMapEntities();
    setPlayerAirplane(nullptr);
    m_enemies = addSquadron(std::make_unique<Squadron>());
    const Vec3 start{0.0f, spawnHeightAt(0.0f, 0.0f), 0.0f};
    (void)createPlayerAirplane(0, -1.0f, nullptr, start);
    const Settings& s = settings();
    const int count = std::clamp(static_cast<int>(s.dogfightEnemyCount), 0, 32);
    const float skill = std::isfinite(s.dogfightSkill) ? std::clamp(s.dogfightSkill, 0.0f, 1.0f) : 0.5f;
    int missiles = std::max(static_cast<int>(s.dogfightMissileEnemies), 0);
    const WeaponCfg* missile = WeaponList::instance().findByName("simple_missile_2");
    for (int i = 0; i < count; ++i) {
        Airplane* bot = spawnBot(1, skill, m_enemies, true, -1);
        if (!bot)
            continue;
        if (missiles > 0) {
            --missiles;
            if (missile) {
                bot->removeWeaponsWithTag(1);
                (void)bot->mountWeapon(*missile, 1);
            }
        }
    }
    placeAirplanes();
}

void GameModeDF::placeAirplanes()
{
    const Airplane* player = m_playerAirplane;
    Vec3 origin{0.0f, spawnHeightAt(0.0f, 0.0f), 0.0f};
    Vec3 heading{0.0f, 0.0f, 1.0f};
    if (player) {
        origin = player->position();
        const Vec3 f = player->forward();
        const float len = std::hypot(f.x, f.z);
        if (len > 1e-4f)
            heading = {f.x / len, 0.0f, f.z / len};
    }
    const int formation = kFormations[static_cast<std::size_t>(m_index % 10)];
    const int d = formation == 2 ? 4 : 2;
    std::vector<Target*> airplanes;
    for (const auto& e : m_entities)
        if (e->kind() == TargetKind::Airplane && e.get() != player)
            airplanes.push_back(e.get());
    int n = 0;
    for (Target* t : airplanes) {
        Vec3 p;
        Vec3 face = heading;
        if (t->team() == 0) {
            p = spawnOnCircle(origin, 2000.0f, false, nullptr);
        } else {
            Vec3 axis = heading;
            float side = 0.0f, along = 0.0f;
            if (formation == 0) {
                side = static_cast<float>(n % 2) * 1000.0f - 500.0f;
                along = -3000.0f - static_cast<float>(n / 2) * 500.0f;
            } else {
                const float a = static_cast<float>(n % d) * 6.2831853f / static_cast<float>(d);
                axis = {heading.x * std::cos(a) - heading.z * std::sin(a), 0.0f,
                        heading.x * std::sin(a) + heading.z * std::cos(a)};
                side = static_cast<float>((n / d) % 2) * 1000.0f - 500.0f;
                along = static_cast<float>((n / d) / 2) * 500.0f + 3000.0f;
                face = axis * -1.0f;
            }
            p = origin + axis * along + Vec3{axis.z, 0.0f, -axis.x} * side;
            ++n;
        }
        p.y = std::max(groundHeightAt(p.x, p.z), 0.0f) + 2000.0f;
        respawnAirplane(*t, 0.0f, &p);
        Quat q;
        quatFromDirectionTo(q, Vec3{face.x, 0.0f, face.z});
        static_cast<Airplane&>(*t).setOrientation(q);
    }
}

void GameModeDF::onAirplaneDestroyed(Target& victim, Target* attacker, CrashCause cause)
{
    if (victim.lifeState() == LifeState::Destroyed || playStopped)
        return;
    // A falling airplane was counted when it was shot down.
    if (victim.lifeState() != LifeState::Dying) {
        Target* killer = attacker ? attacker : victim.lastAttacker;
        MissionStats& stats = missionStats();
        if (victim.team() == 1 && killer && killer == m_playerAirplane)
            ++stats.enemiesKilled;
        if (victim.team() == 0)
            ++stats.friendlyLosses;
    }
    const bool alive = victim.lifeState() == LifeState::Alive;
    GameModeCustom::onAirplaneDestroyed(victim, attacker, cause);
    if (alive && victim.kind() == TargetKind::Airplane && victim.isActive())
        logInfo("modes", "dogfight: airplane %d shot down at %.2f s, falling", victim.id(), gameClock());
    // Shot down it falls first; a crash takes it out of play at once.
    if (victim.kind() == TargetKind::Airplane && !victim.isActive())
        decideOutcome(victim);
}

void GameModeDF::deleteAirplane(Target& entity)
{
    const bool fallEnds = isFalling(entity) && entity.isActive() && entity.lifeState() == LifeState::Destroyed;
    GameModeCustom::deleteAirplane(entity);
    if (fallEnds && !entity.isActive())
        decideOutcome(entity);
}

void GameModeDF::decideOutcome(Target& gone)
{
    eliminateAirplane(gone);
    if (playStopped)
        return;
    if (static_cast<const Airplane&>(gone).aiPilot) {
        if (gone.team() != 1)
            return;
        for (const Target* t : m_active)
            if (t->kind() == TargetKind::Airplane && t->team() == 1)
                return;
        m_won = true;
        logInfo("modes", "dogfight won: the last enemy, airplane %d, left play at %.2f s", gone.id(), gameClock());
        freezeMatch();
        return;
    }
    m_won = false;
    logInfo("modes", "dogfight lost: the player's airplane left play at %.2f s", gameClock());
    freezeMatch();
}

void GameModeDF::finishMatch()
{
    IModeProgress& progress = m_hooks.progressOrNone();
    progress.countEvent(32);
    m_reward = 0;
    Settings& s = settings();
    const int i = clampIndex(m_index);
    // The result page reads the medal slot: 3 for a won dogfight, 0 for a lost one.
    ScoreMgr::instance().medal = m_won ? kWonMedal : 0;
    if (m_won) {
        progress.countEvent(37);
        switch (i) {
        case 0: progress.countEvent(52); break;
        case 6: progress.countEvent(53); break;
        case 10: progress.countEvent(54); break;
        case 11: progress.countEvent(55); break;
        case 12: progress.countEvent(56); break;
        default: break;
        }
        m_reward = rewardFor(i, s.dogfightDoneAt(i) != 0, s.playerRank,
                             static_cast<std::int64_t>(s.pointsSP) + s.pointsMP);
        if (i == s.dogfightsUnlocked)
            s.dogfightsUnlocked = std::min(s.dogfightsUnlocked + 1, kCount);
        UnlocksMgr::instance().onDogfight(i + 1);
        s.save();
    }
    GameModeCustom::finishMatch();
    matchOutcome() = m_won ? MatchOutcome::Won : MatchOutcome::Lost;
}

int GameModeDF::matchBonusPercent() const
{
    return matchOutcome() == MatchOutcome::NoResult ? 0 : m_reward;
}
