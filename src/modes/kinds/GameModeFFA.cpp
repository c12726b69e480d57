#include "modes/kinds/GameModeFFA.h"

#include "entities/aircraft/Airplane.h"
#include "entities/aircraft/Squadron.h"
#include "platform/Settings.h"

#include <algorithm>
#include <cmath>

void applyMatchLimits(int entry)
{
    ScoreMgr& sm = ScoreMgr::instance();
    const Settings& s = settings();
    sm.timeLimit = static_cast<float>(static_cast<std::int32_t>(s.skirmishWord(entry, 0))) * 60.0f;
    sm.scoreLimit = static_cast<std::int32_t>(s.skirmishWord(entry, 1));
}

namespace {

float botSkill(int entry, int word)
{
    const float skill = settings().skirmishFloat(entry, word);
    return std::isfinite(skill) ? std::clamp(skill, 0.0f, 1.0f) : 0.5f;
}

int botCount(int entry, int word)
{
    // At most the ids a match has room for.
    return std::clamp(static_cast<int>(settings().skirmishWord(entry, word)), 0, 64);
}

}  // namespace

GameModeFFA::GameModeFFA() : GameModeCustom(GameType::FreeForAll, false) {}

void GameModeFFA::resetRound()
{
    GameModeCustom::resetRound();
    ScoreMgr::instance().reset(false);
    applyMatchLimits(Settings::kEntryFFA);
}

void GameModeFFA::getSpawnPoint(const Target& entity, Vec3& position, Quat& orientation) const
{
    if (entity.kind() != TargetKind::Airplane) {
        GameMode::getSpawnPoint(entity, position, orientation);
        return;
    }
    position = spawnAwayFromOthers(entity, kSpawnRadius, true, &orientation);
}

Airplane* GameModeFFA::addServerPlayer(const JoinRequest& joinRequest, int team)
{
    if (team < 0)
        team = m_nextTeam++;
    return GameModeCustom::addServerPlayer(joinRequest, team);
}

void GameModeFFA::buildPlayers()
{
    createMapEntities();
    m_nextTeam = 1;
    setPlayerAirplane(nullptr);
    (void)createPlayerAirplane(0, -1.0f, nullptr, mapCentre());
    if (!isSinglePlayer())
        return;
    const int bots = botCount(Settings::kEntryFFA, 2);
    const float skill = botSkill(Settings::kEntryFFA, 4);
    for (int i = 0; i < bots; ++i)
        spawnBot(m_nextTeam++, skill, nullptr, true, -1);
}

GameModeTD::GameModeTD() : GameModeCustom(GameType::TeamDeathmatch, true) {}

void GameModeTD::resetRound()
{
    GameModeCustom::resetRound();
    ScoreMgr::instance().reset(true);
    applyMatchLimits(Settings::kEntryTD);
}

void GameModeTD::getSpawnPoint(const Target& entity, Vec3& position, Quat& orientation) const
{
    if (entity.kind() != TargetKind::Airplane) {
        GameMode::getSpawnPoint(entity, position, orientation);
        return;
    }
    position = spawnAwayFromOthers(entity, kSpawnRadius, true, &orientation);
}

void GameModeTD::buildPlayers()
{
    createMapEntities();
    setPlayerAirplane(nullptr);
    squadronA = addSquadron(std::make_unique<Squadron>());
    squadronB = addSquadron(std::make_unique<Squadron>());
    const Vec3 start{kPlayerStart.x, spawnHeightAt(kPlayerStart.x, kPlayerStart.z), kPlayerStart.z};
    Airplane* player = createPlayerAirplane(0, -1.0f, squadronA, start);
    if (!isSinglePlayer())
        return;
    const float skill = botSkill(Settings::kEntryTD, 5);
    for (int team = 0; team < 2; ++team) {
        Squadron* squadron = team == 0 ? squadronA : squadronB;
        const int bots = botCount(Settings::kEntryTD, 2 + team);
        for (int i = 0; i < bots; ++i)
            if (Airplane* bot = spawnBot(team, skill, squadron, true, -1))
                setSquadronLeader(bot, squadron);
    }
    // The player leads the own team's squadron. The other team's has no
    // player to give it orders: its wingmen hunt on their own rather than
    // trail their leader for the whole match, as the leader alone circles
    // near its start and the two teams would never meet.
    if (player)
        setSquadronLeader(player, squadronA);
    if (squadronB)
        squadronB->setOrder(SquadronOrder::Attack);
}
