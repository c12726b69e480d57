#include "modes/GameMode.h"

#include "effects/world/AircraftLooks.h"
#include "entities/DamageRule.h"
#include "entities/aircraft/Airplane.h"
#include "entities/aircraft/Squadron.h"
#include "entities/ground/GroundTarget.h"
#include "entities/weapons/AreaDamage.h"
#include "entities/weapons/MissileKinds.h"
#include "entities/weapons/Weapon.h"
#include "entities/weapons/WeaponUpdate.h"
#include "gamedata/map/GameWorld.h"
#include "gamedata/records/WeaponCfg.h"
#include "gamedata/records/WeaponList.h"
#include "modes/AchievementEvents.h"
#include "modes/progress/MissionStats.h"
#include "platform/Random.h"
#include "sound/SoundSource.h"
#include "sound/SoundTable.h"

#include <algorithm>
#include <cmath>

namespace {
constexpr int kNoWeaponType = 9;
constexpr int kMinKillPoints = 1;
constexpr int kMaxKillPoints = 6;

float itemFactor(const GameWorld* world, const Target* t, bool attack)
{
    if (!world || !t || t->mapItem < 0)
        return 1.0f;
    const EditorItem* item = world->item(t->mapItem);
    if (!item)
        return 1.0f;
    const float f = attack ? item->attack : item->defence;
    return std::isfinite(f) && f >= 0.0f ? f : 1.0f;
}
}  // namespace

void GameMode::damageTarget(Target& victim, Target* attacker, float damage, const Vec3& hitPoint,
                            const WeaponCfg* weapon)
{
    damageAirplane(victim, attacker, damage, hitPoint, weapon, false);
}

void GameMode::damageAirplane(Target& victim, Target* attacker, float damage, const Vec3& hitPoint,
                              const WeaponCfg* weapon, bool force)
{
    if (!damageEnabled || !victim.isTargetable() || !victim.isAlive() || victim.health() <= 0.0f)
        return;
    const float before = victim.health();
    if (&victim == m_playerAirplane)
        m_hooks.hudOrNone().raiseHitIndicator();
    // The player hears each of their own bullets strike.
    if (attacker && attacker == m_playerAirplane && weapon && weapon->type == kWeaponMachinegun)
        if (SoundSourceBuffered* hit = globalSources().bulletHit[randU32() & 3u])
            hit->play();

    DamageContext context;
    context.campaign = m_type == GameType::Campaign;
    context.dealtScale = difficultyScales[0];
    context.takenScale = difficultyScales[1];
    context.victimIsPlayer = &victim == m_playerAirplane;
    context.attackerIsPlayer = attacker && attacker == m_playerAirplane;
    context.attackerItemFactor = itemFactor(m_world.get(), attacker, true);
    context.victimItemFactor = itemFactor(m_world.get(), &victim, false);
    // The armour rule follows the match type: campaign-like missions use the
    // campaign's harder divisor too.
    if (!isMatchType() && !context.campaign) {
        context.campaign = true;
        context.dealtScale = context.takenScale = 1.0f;
        context.victimIsPlayer = context.attackerIsPlayer = false;
    }
    const float dealt = damageAfterRules(damage, victim, attacker, weapon, context);

    // A base keeps what the local player took off it: the share of the base
    // the player earns when someone else finishes it (on a client too, where
    // the host decides the health).
    if (attacker && attacker == m_playerAirplane && dealt > 0.0f && victim.kind() == TargetKind::Base)
        static_cast<GroundTarget&>(victim).playerDamage += std::min(dealt, before);
    if (attacker && dealt > 0.0f) {
        attacker->rememberedTarget = &victim;
        attacker->rememberTime = kRememberTargetTime;
    }
    // A client shows the host's health; its own hits change nothing unless forced.
    if ((force || !isNetworkClient()) && dealt > 0.0f) {
        victim.setHealth(victim.health() - dealt);
        if (&victim == m_playerAirplane)
            missionStats().damageTaken += dealt;
    }
    victim.onHit(hitPoint, weapon ? weapon->type : kNoWeaponType, attacker, dealt);
    if (victim.health() <= 0.0f && before > 0.0f)
        victim.lastAttacker = attacker;
}

void GameMode::killAirplane(Target& victim, float damage)
{
    damageAirplane(victim, nullptr, damage, victim.position(), nullptr, false);
}

void GameMode::applyAreaDamage(Target* owner, const Vec3& centre, float radius, float damage,
                               const WeaponCfg* weapon)
{
    ::applyAreaDamage(*this, owner, owner ? owner->team() : kTeamNone, centre, radius, damage, weapon, nullptr);
}

int GameMode::killPoints(const Target& victim) const
{
    // Integer division truncates toward zero, as the rank gap is meant to.
    const int points = (victim.rank() - playerRank) / 3 + 3;
    return std::clamp(points, kMinKillPoints, kMaxKillPoints);
}

void GameMode::onAirplaneDestroyed(Target& victim, Target* attacker, CrashCause cause)
{
    victim.onDestroyed(cause);
    respawnAirplane(victim, 0.0f, nullptr);
    if (&victim == m_playerAirplane)
        m_hooks.hudOrNone().releaseAllButtons();
    postDestroyed(victim, attacker, cause, 0, 0.0f);
}

void GameMode::onAirplaneDestroyedNoKiller(Target& victim, Target* /*other*/, CrashCause cause)
{
    onAirplaneDestroyed(victim, nullptr, cause);
}

void GameMode::takeOutAirplane(Target& e)
{
    if (!e.isActive())
        return;
    withdrawFromPlay(e);
    post(matchevent::AirplaneTakenOut{EntityHandle(&e)});
}

void GameMode::withdrawFromPlay(Target& e)
{
    if (!e.isActive())
        return;
    e.setActive(false);
    std::erase(m_active, &e);
    e.rememberedTarget = nullptr;
    e.respawnTimer = 0.0f;
    e.timeSinceRespawnExpiry = 0.0f;
    if (m_aimAssistTarget == &e)
        m_aimAssistTarget = nullptr;
    if (m_playerLockTarget == &e) {
        m_playerLockTarget = nullptr;
        m_hooks.hudOrNone().clearLockDisplay();
    }
    // The entity's own clean-up: weapons reset, its incoming missile and the
    // weapon lists that held it forget it.
    e.onTakenOut();
    if (e.kind() == TargetKind::Airplane) {
        auto& a = static_cast<Airplane&>(e);
        if (a.parachute) {
            a.parachute->ownerGone();
            a.parachute = nullptr;
            a.setEjectCooldown(Airplane::kEjectCooldown);
            a.controllable = true;
        }
    }
    Missile::loseTargetEverywhere(&e);
    if (&e == m_playerAirplane) {
        m_hooks.hudOrNone().removeMessage(IModeHud::kIncomingMissileMessage);
        controlsFrozen = false;
    }
    if (e.networkRole == NetworkRole::Local)
        VapourCone::silenceRush();
    loseTargetInWeapons(&e);
    // The wingmen do not hold formation on an airplane out of play; the
    // player's takes its squadron back, with its order, when it returns.
    const Squadron* led = e.squadron && e.squadron->leader() == &e ? e.squadron : nullptr;
    e.storedSquadronOrder = &e == m_playerAirplane && led ? static_cast<int>(led->order()) : -1;
    for (auto& other : m_entities) {
        if (other->kind() != TargetKind::Airplane)
            continue;
        auto& a = static_cast<Airplane&>(*other);
        if (a.currentTarget == &e)
            a.currentTarget = nullptr;
        if (a.squadron && a.squadron->leader() == &e)
            a.squadron->setLeader(nullptr);
    }
}

void GameMode::eliminateAirplane(Target& e)
{
    takeOutAirplane(e);
    std::erase(m_respawnQueue, &e);
    e.respawnTimer = -1.0f;
    e.timeSinceRespawnExpiry = 0.0f;
    m_hooks.cameraOrNone().forget(e);
}

void GameMode::respawnAirplane(Target& e, float delay, const Vec3* position)
{
    respawnQuietly(e, delay, position);
    // Clients bring an airplane back only on the host's word.
    if (e.kind() == TargetKind::Airplane && posting())
        post(matchevent::AirplaneRespawned{EntityHandle(&e), std::max(e.respawnTimer, 0.0f), e.position(),
                                           static_cast<const Airplane&>(e).orientation()});
}

void GameMode::respawnQuietly(Target& e, float delay, const Vec3* position)
{
    auto* airplane = e.kind() == TargetKind::Airplane ? static_cast<Airplane*>(&e) : nullptr;
    // An entity the spawn rules have no place for comes back where it is.
    Vec3 at = e.position();
    Quat orientation;
    if (position) {
        at = *position;
        // The end of a wait keeps the facing its spawn point was given.
        if (airplane && std::find(m_respawnQueue.begin(), m_respawnQueue.end(), &e) != m_respawnQueue.end())
            orientation = airplane->orientation();
    } else {
        getSpawnPoint(e, at, orientation);
    }
    e.setPosition(at);
    withdrawFromPlay(e);
    if (delay <= 0.0f) {
        std::erase(m_respawnQueue, &e);
        e.respawnTimer = 0.0f;
        bringIntoPlay(e);
        if (airplane) {
            airplane->setPositionAndStop(at);
            airplane->resetForRespawn();
        } else {
            e.setHealth(e.maxHealth());
            e.setLifeState(LifeState::Alive);
        }
    } else {
        if (std::find(m_respawnQueue.begin(), m_respawnQueue.end(), &e) == m_respawnQueue.end())
            m_respawnQueue.push_back(&e);
        e.respawnTimer = delay;
    }
    if (airplane) {
        airplane->setOrientation(orientation);
        // Turning puts back the position of the flight, which for a waiting
        // airplane is where it crashed: it must wait at its spawn point, or it
        // comes back inside what it hit.
        e.setPosition(at);
    }
    e.onRespawn();
    if (airplane && delay <= 0.0f)
        m_hooks.cameraOrNone().onRespawned(e);
}

void GameMode::updateRespawns(float dt)
{
    // Respawning takes entries out of the queue: walk a copy, so each waiting
    // entity is handled once this frame whatever leaves the list.
    const std::vector<Target*> waiting = m_respawnQueue;
    for (Target* e : waiting) {
        if (std::find(m_respawnQueue.begin(), m_respawnQueue.end(), e) == m_respawnQueue.end())
            continue;  // an earlier respawn in this pass removed it
        e->respawnTimer -= dt;
        if (e->respawnTimer > 0.0f) {
            e->timeSinceRespawnExpiry = 0.0f;
            continue;
        }
        e->respawnTimer = 0.0f;
        // The host sends respawns of airplanes only: a unit of the map comes back by itself.
        if (!isNetworkClient() || e->kind() != TargetKind::Airplane) {
            const Vec3 at = e->position();
            respawnAirplane(*e, 0.0f, &at);
            continue;
        }
        // A client waits for the host's respawn message.
        e->timeSinceRespawnExpiry += dt;
        if (e->timeSinceRespawnExpiry > kRespawnStallTime)
            respawnStalled = true;
    }
}

void GameMode::respawnEliminated(Target& e)
{
    if (e.isActive() || e.respawnTimer != -1.0f)
        return;
    const Vec3 at = e.position();
    respawnAirplane(e, 0.0f, &at);
    e.respawnTimer = 0.0f;
}

bool GameMode::isWaitingOrOut(const Target& e) const
{
    if (e.isActive())
        return false;
    return e.respawnTimer == -1.0f ||
           std::find(m_respawnQueue.begin(), m_respawnQueue.end(), &e) != m_respawnQueue.end();
}

void GameMode::relayCrash(Target& e, CrashCause cause)
{
    const bool crash = cause == CrashCause::Ground || cause == CrashCause::Water || cause == CrashCause::Prop;
    if (isNetworkServer() && crash && &e != m_playerAirplane && e.networkRole != NetworkRole::Remote)
        postScoreEvent(e, 0, 1);
}

void GameMode::ejectPilot(Airplane& airplane, float, bool force)
{
    if (!airplane.isActive())
        return;
    if (!isNetworkClient() || force) {
        std::unique_ptr<Parachute> parachute = airplane.ejectPilot(force);
        if (!parachute)
            return;
        addParachute(std::move(parachute));
        if (m_type != GameType::Campaign)
            postEventText(EventKind::Ejected, airplane, nullptr);
        if (isNetworkClient())
            return;  // a forced eject on a client came from the host
    }
    post(matchevent::PilotEjected{EntityHandle(&airplane), airplane.networkRole});
}

void GameMode::addMissile(std::unique_ptr<Missile> missile)
{
    if (!missile)
        return;
    Missile& m = *missile;
    // The missiles of the airplane in view, fired by it or at it, are marked.
    if (const Target* watched = cameraAirplane(); watched && (m.owner() == watched || m.target() == watched))
        m_hooks.hudOrNone().addMarker(m, static_cast<int>(TargetKind::Missile), m.ownerTeam(), true);
    m_missiles.add(std::move(missile));
    ++m_missilesAdded;
    if (posting())
        post(matchevent::WeaponLaunched{m.record().weapon_id, EntityHandle(m.owner()), EntityHandle(m.target()),
                                        m.owner() ? m.owner()->networkRole : NetworkRole::Local});
    if (m_playerAirplane && m.owner() == m_playerAirplane) {
        m_playerMissile = &m;
        // Launched while a trigger is held: the view follows it shortly.
        if (m_triggersHeld != 0) {
            m_cameraSubject = &m;
            m_cameraDelay = kMissileCameraDelay;
        }
        ++missionStats().missilesFired;
        m_hooks.progressOrNone().countEvent(modeevent::kMissileLaunched);
        m_hooks.progressOrNone().onPlayerMissileLaunched();
    }
}

const Target* GameMode::cameraAirplane() const
{
    const Target* watched = m_hooks.cameraOrNone().watchedAirplane();
    return watched ? watched : m_playerAirplane;
}

void GameMode::onMissileEnded(const MissileSet::Ending& ending)
{
    const Missile& m = *ending.missile;
    ++m_missilesRemoved;
    if (m_playerMissile == &m)
        m_playerMissile = nullptr;
    if (m_cameraSubject == &m)
        m_cameraSubject = nullptr;
    m_hooks.hudOrNone().removeMarker(m);
    if (m_playerAirplane && m.target() == m_playerAirplane)
        m_hooks.hudOrNone().removeMessage(IModeHud::kIncomingMissileMessage);
    m_hooks.cameraOrNone().forgetMissile(m);
}

void GameMode::onMissileHit(const Missile& missile)
{
    if (m_playerAirplane && missile.owner() == m_playerAirplane) {
        ++missionStats().missilesHit;
        m_hooks.progressOrNone().countEvent(modeevent::kMissileHit);
        // Rockets, bombs and torpedoes fly unguided.
        if (missile.record().type != kWeaponSimple)
            m_hooks.progressOrNone().countEvent(modeevent::kGuidedMissileHit);
        m_hooks.progressOrNone().onPlayerMissileHit();
    }
}

bool GameMode::launchWeaponById(int weaponId, Target* owner, Target* target, const Vec3& position)
{
    if (!owner)
        return false;
    const WeaponCfg* record = WeaponList::instance().findById(weaponId);
    if (!record)
        return false;
    Weapon* slotWeapon = nullptr;
    for (int slot = 0; slot < kWeaponSlots && !slotWeapon; ++slot)
        if (Weapon* w = owner->weapon(slot); w && w->type() == record->type)
            slotWeapon = w;
    MissileLaunch launch;
    launch.record = record;
    launch.host = this;
    launch.owner = owner;
    launch.target = target;
    launch.position = position;
    launch.direction = owner->kind() == TargetKind::Airplane ? static_cast<Airplane&>(*owner).forward()
                                                             : Vec3{0.0f, 0.0f, -1.0f};
    launch.platformVelocity = owner->velocity();
    launch.weaponId = slotWeapon ? slotWeapon->id() : -1;
    std::unique_ptr<Missile> missile;
    switch (record->type) {
    case kWeaponAllAspect: missile = Missile::make<AllAspectMissile>(launch); break;
    case kWeaponJointStrike: missile = Missile::make<JointStrikeMissile>(launch); break;
    case kWeaponMultiAir: missile = Missile::make<MultiAAMissile>(launch); break;
    case kWeaponMultiGround: missile = Missile::make<MultiAGMissile>(launch); break;
    case kWeaponRadarGuided: missile = Missile::make<RadarGuidedMissile>(launch); break;
    case kWeaponAlienQuick: missile = Missile::make<AlienQuickMissile>(launch); break;
    case kWeaponSimple: missile = Missile::make<SimpleMissile>(launch); break;
    default: return false;  // guns, flak, smoke and the empty kind launch nothing
    }
    if (!missile)
        return false;
    addMissile(std::move(missile));
    return true;
}
