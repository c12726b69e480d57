#include "support/entities/SimHost.h"

#include "entities/ground/CarrierDeck.h"

#include "gamedata/records/WeaponCfg.h"

#include "entities/DamageRule.h"
#include "entities/EntityRemoval.h"
#include "entities/aircraft/Airplane.h"
#include "entities/ground/GroundTarget.h"
#include "entities/ground/Runway.h"
#include "entities/ground/Tunnel.h"
#include "entities/TimedPoints.h"
#include "entities/weapons/BulletPool.h"
#include "entities/weapons/Weapon.h"
#include "entities/weapons/WeaponUpdate.h"

#include "effects/particles/ParticleSystem.h"
#include "effects/trails/MissileTrail.h"

#include <algorithm>
#include <cmath>

SimHost::SimHost()
{
    // A new game starts with no bullets and no flares in the air.
    BulletPool::instance().clear();
    TimedPoints::instance().clear();
}

SimHost::~SimHost()
{
    // Missiles point at targets, targets remove their weapons through this
    // host: drop them in that order.
    m_missiles.clear();
    m_active.clear();
    m_airplanes.clear();
    m_targets.clear();
    BulletPool::instance().clear();
    // Nothing steps the pooled effects here: the flares and trails this host's
    // airplanes left would fill the pools for every later host, so they go
    // with the host, as they go with the game screen.
    ParticleSystem::deleteAll();
    MissileTrail::deleteAll();
}

void SimHost::rebuildActive()
{
    m_active.clear();
    for (auto& a : m_airplanes)
        if (!a->isMarkedForRemoval())
            m_active.push_back(a.get());
    for (auto& t : m_targets)
        if (!t->isMarkedForRemoval())
            m_active.push_back(t.get());
}

Target* SimHost::addTarget(std::unique_ptr<Target> target)
{
    if (!target || !target->hasId())
        return nullptr;
    target->setActive(true);
    m_targets.push_back(std::move(target));
    rebuildActive();
    return m_targets.back().get();
}

void SimHost::remove(Target* target)
{
    if (!target || target->isMarkedForRemoval())
        return;
    target->onTakenOut();
    target->setActive(false);
    target->markForRemoval();
    if (m_player == target)
        m_player = nullptr;
    rebuildActive();
    if (!m_inFrame)
        deleteRemoved();
}

void SimHost::deleteRemoved()
{
    auto gone = [](const auto& t) {
        if (!t->isMarkedForRemoval())
            return false;
        forgetTarget(*t);
        return true;
    };
    std::erase_if(m_airplanes, gone);
    std::erase_if(m_targets, gone);
}

void SimHost::addMissile(std::unique_ptr<Missile> missile)
{
    if (!missile)
        return;
    ++missilesLaunched;
    m_missiles.add(std::move(missile));
}

void SimHost::onGunShots(const Target& shooter, int fired, int hit)
{
    if (&shooter != m_player)
        return;
    shotsFired += fired;
    shotsHit += hit;
}

void SimHost::onMissileHit(const Missile&) { ++missilesHit; }

Runway& SimHost::addRunway(const Vec3& position, float heading, const Vec3& halfExtents)
{
    m_runways.push_back(std::make_unique<Runway>(*this, position, heading, halfExtents));
    m_runways.back()->setActive(true);
    return *m_runways.back();
}

Tunnel& SimHost::addTunnel(const Mat4& matrix, const Vec3& bore, float modelRadius)
{
    m_tunnels.push_back(std::make_unique<Tunnel>(*this, matrix, bore, modelRadius));
    m_tunnels.back()->setActive(true);
    return *m_tunnels.back();
}

Airplane* SimHost::add(std::unique_ptr<Airplane> airplane)
{
    if (!airplane || !airplane->hasId())
        return nullptr;
    airplane->setActive(true);
    m_airplanes.push_back(std::move(airplane));
    rebuildActive();
    return m_airplanes.back().get();
}

void SimHost::step(float dt)
{
    m_inFrame = true;
    stepEntities(dt);
    m_inFrame = false;
    deleteRemoved();
}

void SimHost::stepEntities(float dt)
{
    // As the game's frame: each AI steers once, then its entity moves.
    for (auto& a : m_airplanes) {
        a->runAI(dt);
        a->update(dt);
    }
    for (auto& t : m_targets)
        if (t->isActive() && t->isAlive()) {
            if (!dynamic_cast<GroundTarget*>(t.get()))
                t->setPosition(t->position() + t->velocity() * dt);
            t->runAI(dt);
            t->update(dt);
        }
    for (auto& t : m_targets)
        if (t->isActive() && t->isAlive() && t->health() <= 0.0f)
            t->onDestroyed(CrashCause::KilledByDamage);
    for (Weapon* w : weapons)
        if (w->isEnabled() && w->owner().isActive())
            w->updateTargeting(dt);
    TimedPoints::instance().update(dt);
    m_missiles.update(dt);
    updateWeapons(*this, weapons, dt);
    for (auto& a : m_airplanes) {
        if (!a->isActive() || a->lifeState() == LifeState::Destroyed)
            continue;
        const Vec3& p = a->position();
        const float ground = groundHeightAt(p.x, p.z);
        const bool sea = waterFunction ? waterFunction(p.x, p.z) : heightFunction && heightFunction(p.x, p.z) < 0.0f;
        CrashCause cause = CrashCause::None;
        if (sea && p.y < ground)
            cause = CrashCause::Water;
        else if (a->isSubjectToGroundCrashes() && p.y < ground)
            cause = CrashCause::Ground;
        if (a->health() <= 0.0f && a->isAlive()) {
            a->onDestroyed(CrashCause::KilledByDamage);
        } else if (cause != CrashCause::None && a->acceptsCrashCause(cause)) {
            crashes.push_back({a.get(), cause});
            a->onDestroyed(cause);
        }
    }
}

float SimHost::groundHeightAt(float x, float z) const
{
    if (!heightFunction)
        return 0.0f;
    return std::max(heightFunction(x, z), 0.0f);
}

Runway* SimHost::findRunwayAt(const Vec3& point, float margin)
{
    for (auto& r : m_runways)
        if (r->contains(point, margin))
            return r.get();
    return nullptr;
}

Target* SimHost::findGroundTargetAt(const Vec3& point, float margin)
{
    for (auto& t : m_tunnels)
        if (vec3DistanceSq(point, t->position()) < (t->radius() + margin) * (t->radius() + margin) &&
            t->ownHitCheck(point, margin))
            return t.get();
    return nullptr;
}

void SimHost::addWeapon(Weapon& weapon) { weapons.push_back(&weapon); }

void SimHost::removeWeapon(Weapon& weapon) { std::erase(weapons, &weapon); }

void SimHost::damageTarget(Target& victim, Target* attacker, float damage, const Vec3& hitPoint,
                           const WeaponCfg* weapon)
{
    if (!victim.isTargetable() || !victim.isAlive() || victim.health() <= 0.0f)
        return;
    DamageContext context;
    context.campaign = campaign;
    context.victimIsPlayer = &victim == m_player;
    context.attackerIsPlayer = attacker && attacker == m_player;
    const float dealt = damageAfterRules(damage, victim, attacker, weapon, context);
    victim.setHealth(victim.health() - dealt);
    victim.onHit(hitPoint, weapon ? weapon->type : 9, attacker, dealt);
    hits.push_back({&victim, attacker, dealt});
    if (victim.health() <= 0.0f) {
        victim.lastAttacker = attacker;
        if (removeKilled)
            remove(&victim);
    }
}

void SimHost::countEvent(const Airplane&, int eventId) { events.push_back(eventId); }

void SimHost::onFlightState(Airplane&, int, float) { ++flightStateReports; }

void SimHost::launchFlaresFor(Airplane& airplane)
{
    if (airplane.launchFlares())
        ++flareSalvos;
}

void SimHost::onPlayerDamaged(Airplane&, float damage, int) { playerDamageTaken += damage; }

bool SimHost::crashed(const Target& target) const
{
    return std::any_of(crashes.begin(), crashes.end(), [&](const Crash& c) { return c.target == &target; });
}

bool SimHost::hitsProp(const Vec3& p, float radius) const
{
    for (const PropBox& b : props)
        if (p.x >= b.lo.x - radius && p.x <= b.hi.x + radius && p.y >= b.lo.y - radius && p.y <= b.hi.y + radius &&
            p.z >= b.lo.z - radius && p.z <= b.hi.z + radius)
            return true;
    return false;
}

CarrierDeck* SimHost::findCarrierDeckAt(const Vec3& point)
{
    for (CarrierDeck* deck : decks)
        if (deck->isOverDeck(point, 0.0f))
            return deck;
    return nullptr;
}
