#include "modes/kinds/GameModeCTF.h"

#include "entities/ai/AirplaneAI.h"
#include "entities/aircraft/Airplane.h"
#include "entities/ground/Flag.h"
#include "gamedata/map/GameWorld.h"
#include "modes/kinds/MatchRules.h"
#include "platform/Settings.h"

#include <algorithm>
#include <cmath>

namespace {

AirplaneAI* pilotOf(Target& t)
{
    return dynamic_cast<AirplaneAI*>(t.aiController());
}

float axisGap(const Vec3& a, const Vec3& b)
{
    return std::max({std::fabs(a.x - b.x), std::fabs(a.y - b.y), std::fabs(a.z - b.z)});
}

}  // namespace

GameModeCTF::GameModeCTF() : GameModeCustom(GameType::CaptureTheFlag, true)
{
    respawnDelaySetting = 5.0f;
}

void GameModeCTF::resetRound()
{
    GameModeCustom::resetRound();
    ScoreMgr& sm = ScoreMgr::instance();
    sm.reset(true);
    sm.scoreLimit = static_cast<int>(settings().skirmishWord(Settings::kEntryCTF, 1));
    sm.timeLimit = static_cast<float>(static_cast<int>(settings().skirmishWord(Settings::kEntryCTF, 0))) * 60.0f;
}

void GameModeCTF::clearLevel()
{
    GameModeCustom::clearLevel();
    m_flag0 = m_flag1 = nullptr;
    m_squads = {};
}

void GameModeCTF::createFlags()
{
    m_flag0 = m_flag1 = nullptr;
    if (!m_world)
        return;
    for (int i = 0; i < m_world->objectCount(); ++i) {
        const MapObject* o = m_world->object(i);
        if (!o || o->kind != 6 || !o->active || (o->team != 0 && o->team != 1))
            continue;
        Flag*& slot = o->team == 0 ? m_flag0 : m_flag1;
        if (slot)
            continue;
        auto made = Target::create<Flag>(*this, o->team);
        if (!made)
            continue;
        made->mapObjectIndex = i;
        // Flags are never hit nor crash.
        made->setMaxHealth(1.0f);
        made->setHealth(1.0f);
        made->checksCollisions = false;
        auto* flag = static_cast<Flag*>(addPlayerAirplane(std::move(made), false));
        if (!flag)
            continue;
        flag->setHome(o->pos);
        flag->returnHome();
        m_hooks.hudOrNone().setMarkerFlag(*flag, IModeHud::kMarkerFlag);
        slot = flag;
    }
}

void GameModeCTF::buildPlayers()
{
    createMapEntities();
    setPlayerAirplane(nullptr);
    createFlags();
    for (auto& s : m_squads)
        s = addSquadron(std::make_unique<Squadron>());
    Airplane* player = createPlayerAtSpawn(0, m_squads[Attack0]);
    if (isSinglePlayer()) {
        const float skill = matchrules::botSkill(Settings::kEntryCTF, 5);
        for (int team = 0; team < 2; ++team) {
            const int n = matchrules::botCount(Settings::kEntryCTF, 2 + team);
            // The odd bot attacks.
            for (int i = 0; i < n; ++i) {
                Squadron* s = m_squads[team * 2 + (i < (n + 1) / 2 ? 0 : 1)];
                if (Airplane* bot = spawnBot(team, skill, s, true, -1))
                    setSquadronLeader(bot, s);
            }
        }
        if (player)
            setSquadronLeader(player, m_squads[Attack0]);
    }
    m_hooks.hudOrNone().refreshInsignia();
    applyFlagColors();
}

void GameModeCTF::applyFlagColors()
{
    // Each flag draws the friendly or enemy set by the local player's team.
    for (Flag* f : {m_flag0, m_flag1})
        if (f)
            f->markerColorIndex = playerColorCode(f->team()) == 0 ? 0 : 1;
}

void GameModeCTF::update(float dt)
{
    GameModeCustom::update(dt);
    updateRules(dt);
}

void GameModeCTF::updateRules(float dt)
{
    if (playStopped)
        return;
    if (isSinglePlayer() && m_flag0 && m_flag1) {
        updateAttackSquad(m_squads[Attack0], m_squads[Defend0], *m_flag0, *m_flag1);
        updateAttackSquad(m_squads[Attack1], m_squads[Defend1], *m_flag1, *m_flag0);
        if (m_squads[Defend0])
            updateDefendSquad(*m_squads[Defend0], *m_flag0);
        if (m_squads[Defend1])
            updateDefendSquad(*m_squads[Defend1], *m_flag1);
    }
    checkFlagTouches();
    checkCaptures();
    checkFlagBounds(dt);
}

std::unique_ptr<Target> GameModeCTF::removePlayerAirplane(Target& entity)
{
    if (entity.kind() != TargetKind::Flag)
        dropFlagsOf(entity);
    if (&entity == m_flag0)
        m_flag0 = nullptr;
    if (&entity == m_flag1)
        m_flag1 = nullptr;
    return GameModeCustom::removePlayerAirplane(entity);
}

void GameModeCTF::onAirplaneDestroyed(Target& victim, Target* attacker, CrashCause cause)
{
    if (playStopped || victim.kind() == TargetKind::Flag)
        return;
    GameModeCustom::onAirplaneDestroyed(victim, attacker, cause);
    // Peers drop the flag on the death's message.
    releaseFlagsOf(victim);
}

void GameModeCTF::onAirplaneEvent(Target& victim, Target* killer, CrashCause cause, std::uint8_t flags,
                                  float respawnTime, const Vec3& position, const Quat& orientation)
{
    if (playStopped || victim.kind() == TargetKind::Flag)
        return;
    GameModeCustom::onAirplaneEvent(victim, killer, cause, flags, respawnTime, position, orientation);
    // A carrier that went down anywhere loses the flag; the death's message
    // tells the peers, so the drop itself is not sent.
    if ((flags & kEventDestroyed) != 0)
        releaseFlagsOf(victim);
}

void GameModeCTF::removeAirplaneForGood(Target& entity, int team)
{
    // A carrier changing sides leaves the flag where it is.
    if (!isNetworkClient())
        dropFlagsOf(entity);
    GameModeCustom::removeAirplaneForGood(entity, team);
}

void GameModeCTF::changeTeam(Target& entity, int team)
{
    GameModeCustom::changeTeam(entity, team);
    // The player's own flag is the friendly one, whichever side that is now.
    if (&entity == m_playerAirplane)
        applyFlagColors();
}

void GameModeCTF::getSpawnPoint(const Target& entity, Vec3& position, Quat& orientation) const
{
    const Flag* own = flagOfTeam(entity.team());
    const Flag* other = flagOfTeam(entity.team() == 0 ? 1 : 0);
    if (entity.kind() != TargetKind::Airplane || !own || !other) {
        GameModeCustom::getSpawnPoint(entity, position, orientation);
        return;
    }
    const Vec3 home = own->homePosition();
    const Vec3 d = other->homePosition() - home;
    // Out from the own flag toward the enemy's.
    const float toward = std::atan2(d.x, d.z);
    position = spawnInSector(home, toward, kSpawnSpread, kSpawnDistance);
    // Facing the enemy's flag.
    quatFromDirectionTo(orientation, Vec3{d.x, 0.0f, d.z});
}

void GameModeCTF::onFlagTaken(Flag& flag, Target& airplane)
{
    if (playStopped)
        return;
    const bool own = airplane.team() == flag.team();
    flag.pickUp(airplane, own);
    m_hooks.hudOrNone().setMarkerFlag(flag, IModeHud::kMarkerFlag);
    postEventText(EventKind::FlagTaken, airplane, &flag);
    post(matchevent::FlagChanged{static_cast<int>(FlagEvent::Taken), EntityHandle(&flag), EntityHandle(&airplane)});
}

void GameModeCTF::onFlagCaptured(Target& carrier)
{
    if (playStopped)
        return;
    Flag* taken = flagOfTeam(carrier.team() == 0 ? 1 : 0);
    if (!taken)
        return;
    postEventText(EventKind::FlagCaptured, carrier, taken);
    for (Flag* f : {m_flag0, m_flag1})
        if (f)
            f->returnHome();
    post(matchevent::FlagChanged{static_cast<int>(FlagEvent::Captured), EntityHandle(taken), EntityHandle(&carrier)});
    if (carrier.kind() == TargetKind::Airplane)
        ScoreMgr::instance().onFlagCaptured(static_cast<Airplane&>(carrier));
}

void GameModeCTF::onFlagReturned(Flag& flag, Target* airplane)
{
    if (playStopped)
        return;
    flag.returnHome();
    if (airplane)
        postEventText(EventKind::FlagReturned, *airplane, &flag);
    else
        postEventText(EventKind::FlagReturnedTeam, flag, nullptr);
    post(matchevent::FlagChanged{static_cast<int>(FlagEvent::Returned), EntityHandle(&flag), EntityHandle(airplane)});
    if (airplane && airplane->kind() == TargetKind::Airplane)
        ScoreMgr::instance().onFlagReturned(static_cast<Airplane&>(*airplane));
}

void GameModeCTF::onFlagDropped(Flag& flag, Target& carrier)
{
    if (playStopped)
        return;
    releaseFlag(flag, carrier);
    post(matchevent::FlagChanged{static_cast<int>(FlagEvent::Dropped), EntityHandle(&flag), EntityHandle(&carrier)});
    // Where it lies is the host's word: its record follows the event.
    if (isNetworkServer())
        postAdded(flag);
}

void GameModeCTF::releaseFlag(Flag& flag, Target& carrier)
{
    if (playStopped)
        return;
    flag.drop();
    m_hooks.hudOrNone().setMarkerFlag(flag, IModeHud::kMarkerFlag);
    postEventText(EventKind::FlagDropped, carrier, &flag);
}

void GameModeCTF::applyFlagEvent(int event, Target& flag, Target* player)
{
    // Only a capture-the-flag match plays flag events, and only on its flags.
    if (gameType() == GameType::CaptureTheFlag && flag.kind() == TargetKind::Flag)
        applyFlagEvent(event, static_cast<Flag&>(flag), player);
}

void GameModeCTF::applyFlagEvent(int event, Flag& flag, Target* player)
{
    switch (event) {
    case 0:
        if (player)
            onFlagTaken(flag, *player);
        break;
    case 1:
        if (player)
            onFlagCaptured(*player);
        break;
    case 2: onFlagReturned(flag, player); break;
    case 3:
        if (flag.carrier())
            onFlagDropped(flag, *flag.carrier());
        break;
    default: break;
    }
}

void GameModeCTF::dropFlagsOf(Target& airplane)
{
    for (Flag* f : {m_flag0, m_flag1})
        if (f && f->carrier() == &airplane && f->team() != airplane.team())
            onFlagDropped(*f, airplane);
}

void GameModeCTF::releaseFlagsOf(Target& airplane)
{
    for (Flag* f : {m_flag0, m_flag1})
        if (f && f->carrier() == &airplane && f->team() != airplane.team())
            releaseFlag(*f, airplane);
}

void GameModeCTF::checkFlagTouches()
{
    if (isNetworkClient() || !ScoreMgr::instance().ready() || playStopped)
        return;
    for (Flag* f : {m_flag0, m_flag1}) {
        if (!f || f->carrier())
            continue;
        for (Target* t : m_active) {
            if (t->kind() != TargetKind::Airplane || !t->isAlive() || !f->isTouchable(*t))
                continue;
            if (t->team() == f->team())
                onFlagReturned(*f, t);
            else
                onFlagTaken(*f, *t);
            break;
        }
    }
}

void GameModeCTF::checkCaptures()
{
    if (isNetworkClient() || playStopped)
        return;
    for (Flag* f : {m_flag0, m_flag1}) {
        if (!f || f->state() != Flag::State::CarriedByEnemy || !f->carrier())
            continue;
        Target* carrier = f->carrier();
        Flag* home = flagOfTeam(carrier->team());
        if (!home || home == f || home->state() != Flag::State::Home)
            continue;
        if (axisGap(carrier->position(), home->homePosition()) <= Flag::kTouchRange)
            onFlagCaptured(*carrier);
    }
}

void GameModeCTF::checkFlagBounds(float /*dt*/)
{
    if (!m_flag0 || !m_flag1 || playStopped)
        return;
    const Vec3 a = m_flag0->homePosition(), b = m_flag1->homePosition();
    const Vec3 centre{(a.x + b.x) * 0.5f, 0.0f, (a.z + b.z) * 0.5f};
    const float radius = std::hypot(a.x - b.x, a.z - b.z) * 0.5f + kArenaMargin;
    float ceiling = kCeiling;
    if (m_world)
        ceiling = std::max(kCeiling, std::max(a.y, b.y) + kCeiling);
    for (Flag* f : {m_flag0, m_flag1}) {
        const Vec3 p = f->position();
        const bool outside = std::hypot(p.x - centre.x, p.z - centre.z) > radius || p.y > ceiling;
        if (!outside) {
            f->outOfBoundsTimer = -1.0f;
            continue;
        }
        if (f->outOfBoundsTimer < 0.0f)
            f->outOfBoundsTimer = 0.0f;
        if (f->outOfBoundsTimer > kBoundsReset && !isNetworkClient())
            onFlagReturned(*f, nullptr);
    }
}

void GameModeCTF::updateAttackSquad(Squadron*& attack, Squadron*& defend, Flag& own, Flag& enemy)
{
    if (!attack)
        return;
    Target* carrier = enemy.state() == Flag::State::CarriedByEnemy ? enemy.carrier() : nullptr;
    if (carrier && carrier->kind() == TargetKind::Airplane) {
        if (carrier->squadron != attack && carrier->squadron == defend)
            std::swap(attack, defend);
        for (Airplane* m : attack->members()) {
            AirplaneAI* ai = pilotOf(*m);
            if (!ai || m == carrier)
                continue;
            ai->target = carrier;
            ai->goalPoint.reset();
        }
        if (AirplaneAI* ai = pilotOf(*carrier))
            ai->goalPoint = own.position();
        return;
    }
    Airplane* nearest = nullptr;
    float best = 1e37f;
    for (Airplane* m : attack->members()) {
        if (!m->isActive())
            continue;
        const float d = vec3DistanceSq(m->position(), enemy.position());
        if (d < best) {
            best = d;
            nearest = m;
        }
    }
    for (Airplane* m : attack->members()) {
        AirplaneAI* ai = pilotOf(*m);
        if (!ai)
            continue;
        if (m == nearest) {
            ai->target = nullptr;
            ai->goalPoint = enemy.position();
        } else {
            ai->target = nearest;
            ai->goalPoint.reset();
        }
    }
}

void GameModeCTF::updateDefendSquad(Squadron& defend, Flag& own)
{
    // The last enemy in play is the one to chase.
    Target* threat = nullptr;
    for (Target* t : m_active)
        if (t->kind() == TargetKind::Airplane && t->team() != own.team() && t->isAlive())
            threat = t;
    for (Airplane* m : defend.members())
        if (AirplaneAI* ai = pilotOf(*m)) {
            ai->target = threat;
            ai->goalPoint.reset();
        }
}

void GameModeCTF::restartMatch()
{
    for (Flag* f : {m_flag0, m_flag1})
        if (f)
            f->returnHome();
    GameModeCustom::restartMatch();
}

void GameModeCTF::startNextMatch()
{
    for (Flag* f : {m_flag0, m_flag1})
        if (f)
            f->returnHome();
    GameModeCustom::startNextMatch();
}

bool GameModeCTF::carrierWarning() const
{
    const Airplane* me = m_playerAirplane;
    if (!me || !me->isActive() || m_services.overlaysOrNone().overlayOpenOrQueued())
        return false;
    Flag* enemy = flagOfTeam(me->team() == 0 ? 1 : 0);
    return enemy && enemy->carrier() == me && enemy->outOfBoundsTimer > 0.0f;
}

Target* GameModeCTF::applyPeerFlag(const peerevent::Flag& event)
{
    if (m_type != GameType::CaptureTheFlag)
        return nullptr;
    Target* flag = event.flagId >= 0 ? findPlayerAirplane(event.flagId) : nullptr;
    if (!flag || flag->kind() != TargetKind::Flag)
        return nullptr;
    applyFlagEvent(event.event, static_cast<Flag&>(*flag), event.playerId >= 0 ? findPlayerAirplane(event.playerId) : nullptr);
    return flag;
}
