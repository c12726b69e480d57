#include "modes/kinds/GameModeDTB.h"

#include "entities/ai/AirplaneAI.h"
#include "entities/aircraft/Airplane.h"
#include "entities/ground/GroundTarget.h"
#include "gamedata/map/GameWorld.h"
#include "modes/kinds/MatchRules.h"
#include "platform/Language.h"
#include "platform/Random.h"
#include "platform/Settings.h"
#include "platform/Text.h"

#include <algorithm>
#include <cmath>

namespace {

AirplaneAI* pilotOf(Target& t)
{
    return dynamic_cast<AirplaneAI*>(t.aiController());
}

std::u16string baseName(int team)
{
    constexpr std::size_t kUnits = 64;
    char16_t buf[kUnits];
    const std::u16string& teamName = getStringByIndex(team == 0 ? GameModeDTB::kTeamNameText0 : GameModeDTB::kTeamNameText1);
    wideFormatW(buf, kUnits, getStringByIndex(GameModeDTB::kBaseNameText).c_str(), teamName.c_str());
    return buf;
}

}  // namespace

GameModeDTB::GameModeDTB() : GameModeCustom(GameType::DestroyTheBase, true) {}

void GameModeDTB::resetRound()
{
    GameModeCustom::resetRound();
    ScoreMgr& sm = ScoreMgr::instance();
    sm.reset(true);
    sm.scoreLimit = static_cast<int>(settings().skirmishWord(Settings::kEntryDTB, 1));
    sm.timeLimit = static_cast<float>(static_cast<int>(settings().skirmishWord(Settings::kEntryDTB, 0))) * 60.0f;
    roundRestartDelay = 10.0f;
}

void GameModeDTB::clearLevel()
{
    GameModeCustom::clearLevel();
    m_bases0.clear();
    m_bases1.clear();
}

std::unique_ptr<Target> GameModeDTB::removePlayerAirplane(Target& entity)
{
    std::erase(m_bases0, &entity);
    std::erase(m_bases1, &entity);
    return GameModeCustom::removePlayerAirplane(entity);
}

void GameModeDTB::createBases()
{
    m_bases0.clear();
    m_bases1.clear();
    if (!m_world)
        return;
    for (int i = 0; i < m_world->objectCount(); ++i) {
        MapObject* o = m_world->object(i);
        if (!o || o->kind != 6 || (o->team != 0 && o->team != 1))
            continue;
        auto made = Target::create<GroundTarget>(*this, *o);
        if (!made)
            continue;
        made->mapObjectIndex = i;
        auto* base = static_cast<GroundTarget*>(addPlayerAirplane(std::move(made), true));
        if (!base)
            continue;
        base->pilotName = baseName(o->team);
        (o->team == 0 ? m_bases0 : m_bases1).push_back(base);
        base->setMaxHealth(kBaseHealth);
        base->setHealth(kBaseHealth);
        m_hooks.hudOrNone().setMarkerFlag(*base, IModeHud::kMarkerBase);
    }
}

void GameModeDTB::buildPlayers()
{
    createMapEntities();
    createBases();
    setPlayerAirplane(nullptr);
    squadronA = addSquadron(std::make_unique<Squadron>());
    Airplane* player = createPlayerAtSpawn(0, squadronA);
    if (isSinglePlayer()) {
        m_bots0 = matchrules::botCount(Settings::kEntryDTB, 2);
        m_bots1 = matchrules::botCount(Settings::kEntryDTB, 3);
        const float skill = matchrules::botSkill(Settings::kEntryDTB, 5);
        for (int team = 0; team < 2; ++team) {
            const int n = team == 0 ? m_bots0 : m_bots1;
            const int enemy = team == 0 ? 1 : 0;
            for (int i = 0; i < n; ++i) {
                const bool attacker = i < (n + 1) / 2;
                Squadron* s = team == 0 && attacker ? squadronA : nullptr;
                Airplane* bot = spawnBot(team, skill, s, true, -1);
                if (!bot)
                    continue;
                if (!attacker) {
                    if (GroundTarget* b = randomBase(team, false))
                        guard(*bot, *b);
                } else {
                    attack(*bot, randomBase(enemy, false));
                }
            }
        }
    }
    m_hooks.hudOrNone().refreshInsignia();
    if (player)
        setSquadronLeader(player, squadronA);
}

std::vector<GroundTarget*> GameModeDTB::liveBases(int team) const
{
    std::vector<GroundTarget*> out;
    for (GroundTarget* b : bases(team))
        if (b->isTargetable())
            out.push_back(b);
    return out;
}

GroundTarget* GameModeDTB::randomBase(int team, bool liveOnly) const
{
    const std::vector<GroundTarget*> list = liveOnly ? liveBases(team) : bases(team);
    // No base: no pick (the caller keeps what it has).
    if (list.empty())
        return nullptr;
    return list[static_cast<std::size_t>(randModulo(static_cast<int>(list.size())))];
}

void GameModeDTB::guard(Airplane& bot, GroundTarget& base)
{
    AirplaneAI* ai = pilotOf(bot);
    if (!ai)
        return;
    ai->setGuard(base.mapObject(), kGuardEngage, kGuardRelease);
    ai->target = nullptr;
    ai->guardList.push_back(&base);
    ai->reset();  // the new orders start now, not after the old chase
}

void GameModeDTB::attack(Airplane& bot, GroundTarget* base)
{
    AirplaneAI* ai = pilotOf(bot);
    if (!ai)
        return;
    ai->clearGuard();
    if (base)
        ai->target = base;
    ai->reset();
}

void GameModeDTB::giveBaseTarget(Airplane& airplane)
{
    AirplaneAI* ai = pilotOf(airplane);
    if (!ai)
        return;
    const std::vector<GroundTarget*> live = liveBases(airplane.team() == 0 ? 1 : 0);
    if (live.empty() || std::find(live.begin(), live.end(), ai->target) != live.end())
        return;
    ai->target = live[static_cast<std::size_t>(randModulo(static_cast<int>(live.size())))];
}

void GameModeDTB::reassignBots()
{
    const std::vector<GroundTarget*> live0 = liveBases(0), live1 = liveBases(1);
    if (live0.empty() && live1.empty())
        return;
    int defenders[2] = {0, 0};
    const int quota[2] = {m_bots0 / 2, m_bots1 / 2};
    for (const auto& e : m_entities) {
        if (e->kind() != TargetKind::Airplane || !static_cast<Airplane&>(*e).aiPilot || e->team() > 1)
            continue;
        auto& bot = static_cast<Airplane&>(*e);
        const int t = bot.team();
        const auto& own = t == 0 ? live0 : live1;
        const auto& other = t == 0 ? live1 : live0;
        const bool inPlayerSquad = squadronA && bot.squadron == squadronA;
        if (defenders[t] < quota[t] && !own.empty() && !inPlayerSquad) {
            ++defenders[t];
            guard(bot, *own[static_cast<std::size_t>(randModulo(static_cast<int>(own.size())))]);
        } else {
            attack(bot, other.empty() ? nullptr
                                      : other[static_cast<std::size_t>(randModulo(static_cast<int>(other.size())))]);
        }
    }
}

void GameModeDTB::attachAI(Airplane& airplane, float skill, bool replace, AIKind kind)
{
    GameModeCustom::attachAI(airplane, skill, replace, kind);
    if (&airplane == m_playerAirplane && airplane.team() != kTeamNone)
        giveBaseTarget(airplane);
}

void GameModeDTB::respawnQuietly(Target& entity, float delay, const Vec3* position)
{
    GameModeCustom::respawnQuietly(entity, delay, position);
    if (entity.kind() != TargetKind::Airplane || static_cast<Airplane&>(entity).aiPilot)
        return;
    if (isSinglePlayer())
        setSquadronLeader(&entity, squadronA);
    else
        giveBaseTarget(static_cast<Airplane&>(entity));
}

void GameModeDTB::getSpawnPoint(const Target& entity, Vec3& position, Quat& orientation) const
{
    if (entity.kind() == TargetKind::Base) {
        GameMode::getSpawnPoint(entity, position, orientation);
        return;
    }
    GroundTarget* own = entity.kind() == TargetKind::Airplane ? randomBase(entity.team() == 0 ? 0 : 1, false) : nullptr;
    GroundTarget* other = own ? randomBase(entity.team() == 0 ? 1 : 0, false) : nullptr;
    if (!own || !other) {
        GameModeCustom::getSpawnPoint(entity, position, orientation);
        return;
    }
    const Vec3 home = own->mapObject().pos;
    const Vec3 d = other->mapObject().pos - home;
    position = spawnInSector(home, std::atan2(-d.x, -d.z), 1.5707964f, kSpawnDistance);
    quatFromDirectionTo(orientation, Vec3{d.x, 0.0f, d.z});
}

void GameModeDTB::onAirplaneDestroyed(Target& victim, Target* attacker, CrashCause cause)
{
    if (victim.kind() != TargetKind::Base) {
        GameModeCustom::onAirplaneDestroyed(victim, attacker, cause);
        return;
    }
    if (victim.lifeState() == LifeState::Destroyed || playStopped)
        return;
    Target* killer = attacker ? attacker : victim.lastAttacker;
    countKillEvents(killer, victim);
    victim.onDestroyed(cause);
    // A base stays down until the next round.
    eliminateAirplane(victim);
    postDestroyed(victim, killer, cause, eventFlags(victim, false, 4), -1.0f);
    if (killer && killer->team() != victim.team() && (victim.team() == 0 || victim.team() == 1))
        onBaseLost(static_cast<GroundTarget&>(victim), *killer);
}

void GameModeDTB::onAirplaneEvent(Target& victim, Target* killer, CrashCause cause, std::uint8_t flags,
                                  float respawnTime, const Vec3& position, const Quat& orientation)
{
    if (victim.kind() != TargetKind::Base || (flags & kEventDestroyed) == 0) {
        GameModeCustom::onAirplaneEvent(victim, killer, cause, flags, respawnTime, position, orientation);
        return;
    }
    if (victim.lifeState() == LifeState::Destroyed || playStopped)
        return;
    // A base the host saw destroyed: down until the next round, and lost
    // when the other team destroyed it.
    if (killer)
        victim.lastAttacker = killer;
    if (victim.isAlive())
        victim.onDestroyed(cause);
    eliminateAirplane(victim);
    if (killer && killer->team() != victim.team() && (victim.team() == 0 || victim.team() == 1))
        onBaseLost(static_cast<GroundTarget&>(victim), *killer);
}

void GameModeDTB::onBaseLost(GroundTarget& base, Target& attacker)
{
    postEventText(EventKind::Base, base, &attacker);
    setTargetable(base, false);
    if (isSinglePlayer())
        reassignBots();
    else if (m_playerAirplane)
        giveBaseTarget(*m_playerAirplane);
    if (!isNetworkClient() && liveBases(base.team()).empty())
        startRoundCountdown(roundRestartDelay);
    if (attacker.kind() == TargetKind::Airplane)
        ScoreMgr::instance().onBaseDestroyed(static_cast<Airplane&>(attacker), base.team(),
                                             base.maxHealth() > 0.0f ? base.playerDamage / base.maxHealth() : 0.0f);
}

void GameModeDTB::startRoundCountdown(float t)
{
    setRoundCountdown(t);
    post(matchevent::ModeValue{static_cast<int>(t), 0});
}

void GameModeDTB::setRoundCountdown(float t)
{
    m_roundTimer = t;
    for (int team = 0; team < 2; ++team)
        for (GroundTarget* b : bases(team))
            b->setTargetable(false);
    if (t <= 0.0f) {
        clearMatchObjects();
        if (!isNetworkClient())
            respawnAll(true, true);
        // Every machine rebuilds the bases itself at the round start the host
        // announced: nothing else brings a destroyed base back on a joiner.
        for (int team = 0; team < 2; ++team)
            for (GroundTarget* b : bases(team)) {
                b->resetState();
                b->setMaxHealth(kBaseHealth);
                b->setHealth(kBaseHealth);
                GameMode::respawnAirplane(*b, 0.0f, nullptr);
                setTargetable(*b, true);
            }
        if (isSinglePlayer())
            reassignBots();
        else if (m_playerAirplane)
            giveBaseTarget(*m_playerAirplane);
        matchrules::pushStart(*this, kRoundStartText);
    }
    m_roundTick = true;
}

void GameModeDTB::setModeValue(int value, int /*index*/)
{
    setRoundCountdown(static_cast<float>(std::clamp(value, 0, 3600)));
}

bool GameModeDTB::startLevel()
{
    if (!GameModeCustom::startLevel())
        return false;
    startMatch();
    return true;
}

void GameModeDTB::startMatch()
{
    m_roundTimer = 0.0f;
    m_roundTick = true;
    if (isNetworkClient())
        return;
    // Nobody has joined yet: the joiners get the countdown with the server data.
    setRoundCountdown(isSinglePlayer() ? 0.0f : roundRestartDelay);
}

void GameModeDTB::startNextMatch()
{
    // The round's start brings everybody back.
    startNextMatchWith(false, true);
    startRoundCountdown(0.0f);
}

void GameModeDTB::update(float dt)
{
    GameModeCustom::update(dt);
    updateRules(dt);
}

void GameModeDTB::updateRules(float dt)
{
    if (playStopped || !ScoreMgr::instance().ready() || m_roundTimer <= 0.0f)
        return;
    if (matchrules::tick(m_roundTimer, dt))
        m_roundTick = true;
    if (m_roundTimer <= 0.0f) {
        if (isNetworkClient()) {
            m_roundTimer = 0.99999f;
        } else {
            startRoundCountdown(0.0f);
            m_roundTick = false;
            return;
        }
    }
    if (m_roundTick) {
        matchrules::pushCountdown(*this, kRoundInText, static_cast<int>(m_roundTimer) + 1);
        m_roundTick = false;
    }
}
