#include "entities/aircraft/Airplane.h"

#include "entities/EntitySounds.h"
#include "entities/IEntityHost.h"
#include "entities/TimedPoints.h"
#include "effects/particles/AircraftParticles.h"
#include "effects/screen/ScreenDamage.h"
#include "gamedata/records/WeaponCfg.h"
#include "effects/world/AircraftLooks.h"
#include "effects/world/Gibs.h"
#include "effects/world/Parachute.h"
#include "gamedata/records/PlaneCfg.h"
#include "platform/Random.h"

#include <algorithm>
#include <cmath>

namespace {
constexpr float kSmokeBelow = 0.6f;
constexpr float kFireBelow = 0.3f;
constexpr float kHeavyHit = 0.15f;
constexpr float kDamageStateTime = 12.0f;
constexpr float kDeathRoll = 1.5f;      // rad/s
constexpr float kDeathNoseDrop = 0.5f;  // rad/s
constexpr float kDeathMinTime = 4.0f, kDeathMaxTime = 7.0f;

constexpr FlightState kHitStates[] = {FlightState::Damaged,    FlightState::Avionics, FlightState::Controls,
                                      FlightState::EngineDead, FlightState::Fire,     FlightState::Critical};
}  // namespace

void Airplane::onHit(const Vec3& point, int weaponType, Target* attacker, float damage)
{
    Target::onHit(point, weaponType, attacker, damage);
    if (isPlayer()) {
        host().onPlayerDamaged(*this, damage, weaponType);
        if (weaponType == kWeaponMachinegun || weaponType == kWeaponAlienLaser)
            ScreenDamage::addHit();
        else if ((weaponType >= kWeaponAllAspect && weaponType <= kWeaponRadarGuided) ||
                 weaponType == kWeaponAlienQuick || weaponType == kWeaponSimple)
            ScreenDamage::addDust(2);   // a missile bursting on the airplane
    }
    updateDamageLevels();
    if (damage >= kHeavyHit && m_flightState == FlightState::Normal && lifeState() == LifeState::Alive &&
        rand01() < damage) {
        const int pick = randModulo(static_cast<int>(std::size(kHitStates)));
        setFlightState(kHitStates[pick], kDamageStateTime);
    }
}

void Airplane::updateDamageLevels()
{
    const float h = health();
    const int level = h < kFireBelow ? 2 : h < kSmokeBelow ? 1 : 0;
    if (level == m_damageLevel)
        return;
    m_damageLevel = level;
    showDamageEffects(level);
}

void Airplane::setFlightState(FlightState state, float time)
{
    const bool changed = state != m_flightState;
    m_flightState = state;
    m_timeInState = 0.0f;
    m_stateDuration = std::isfinite(time) ? std::max(time, 0.0f) : 0.0f;
    if (changed && state != FlightState::Normal && state != FlightState::Blackout && state != FlightState::Redout)
        playSource(m_record->pEngine ? globalSources().engineExplodeJet : globalSources().engineExplode);
    host().onFlightState(*this, static_cast<int>(state), m_stateDuration);
}

bool Airplane::isStateTenOrEleven() const
{
    return m_flightState == FlightState::Blackout || m_flightState == FlightState::Redout;
}

void Airplane::setLifeState(LifeState state)
{
    const LifeState before = lifeState();
    Target::setLifeState(state);
    if (state == LifeState::Dying && before == LifeState::Alive) {
        m_deathTimer = randRange(kDeathMinTime, kDeathMaxTime);
        m_landed = false;
        linkRunway(nullptr);
        m_boostCommand = false;
        m_fireInputs.fill(false);
        showDamageEffects(2);
        if (exhaust)
            exhaust->active = false;
        m_damageLevel = 2;
    }
}

void Airplane::onDestroyed(CrashCause cause)
{
    deathCause = cause;
    if (cause == CrashCause::KilledByDamage) {
        if (lifeState() == LifeState::Alive)
            setLifeState(LifeState::Dying);
        return;
    }
    if (isPlayer()) {
        if (cause == CrashCause::Ground || cause == CrashCause::Water)
            host().countEvent(*this, kEventCrashed);
        if (cause == CrashCause::Collision || cause == CrashCause::CollisionPair)
            host().countEvent(*this, kEventCollisionDeath);
    }
    finishDeath(cause == CrashCause::Ground || cause == CrashCause::Water || cause == CrashCause::Prop);
}

void Airplane::leaveForOtherTeam()
{
    deathCause = CrashCause::Collision;
    finishDeath(false);
}

void Airplane::finishDeath(bool onGround)
{
    if (lifeState() == LifeState::Destroyed)
        return;
    // In the air the wreck flies on along its course; on the ground it is
    // thrown up off the surface.
    const Vec3 v = m_body.velocity;
    if (onGround)
        startWreck(m_record->file, GibsKind::PlaneGround, m_matrix, {0.0f, 1.0f, 0.0f}, v, 1);
    else
        startWreck(m_record->file, GibsKind::PlaneAir, m_matrix, v, {0.0f, 20.0f, 0.0f}, 1, isPlayer() ? 2 : 3);
    m_landed = false;
    linkRunway(nullptr);
    Target::setLifeState(LifeState::Destroyed);
}

void Airplane::dyingStep(float h)
{
    // The pilot has lost the airplane: it rolls, the nose sinks, the engine dies.
    FlightInput in;
    in.throttleCommand = -1.0f;
    in.engineDead = true;
    in.controlType = ControlType::Full;
    flightStep(m_body, m_params, in, h);
    Quat q = m_body.orientation;
    q = quatMulAxisZ(q, kDeathRoll * h);
    q = quatMulAxisX(q, -kDeathNoseDrop * h);
    m_body.orientation = quatNormalize(q);
    m_deathTimer -= h;
    const float ground = host().groundHeightAt(m_body.position.x, m_body.position.z);
    if (m_body.position.y <= ground)
        finishDeath(true);
    else if (m_deathTimer <= 0.0f)
        finishDeath(false);
}

bool Airplane::acceptsCrashCause(CrashCause cause) const
{
    if (cause == CrashCause::None)
        return false;
    if (cause == CrashCause::Ground && m_landed)
        return false;
    if (lifeState() == LifeState::Destroyed)
        return false;
    // A tunnel bore shields the plane from the ground around it.
    if ((cause == CrashCause::Ground || cause == CrashCause::Prop) && m_containing)
        return false;
    return true;
}

bool Airplane::canEject() const
{
    return m_ejectFlag && m_ejectCooldown <= 0.0f && !m_landed &&
           (lifeState() == LifeState::Dying || health() < kFireBelow);
}

std::unique_ptr<Parachute> Airplane::ejectPilot(bool force)
{
    if (!m_ejectFlag || (!force && m_ejectCooldown > 0.0f) || lifeState() == LifeState::Destroyed)
        return nullptr;
    m_ejectFlag = false;
    // The parachute sound is the player's own: another pilot's bail-out is silent.
    if (isPlayer())
        playSource(globalSources().parachute);
    auto made = std::make_unique<Parachute>(*static_cast<IAirplaneFx*>(this));
    parachute = made.get();
    return made;
}

bool Airplane::launchFlares()
{
    // One salvo at a time: a new one only after the last has had its time.
    if (m_flares <= 0 || lifeState() != LifeState::Alive || m_sinceFlares < kFlareInterval)
        return false;
    --m_flares;
    m_sinceFlares = 0.0f;
    TimedPoints::instance().add(m_body.position - m_body.velocity * 0.1f, kFlareLife, this);
    // Flat and loud: only the player's own flares, or every bot's salvo would sound like them.
    if (isPlayer())
        playSource(globalSources().flares);
    (void)spawnPooled<Flares>(static_cast<const IAirplaneFx*>(this));
    return true;
}
