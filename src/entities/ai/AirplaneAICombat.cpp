// The fighting half of the AI pilot: attacks, formation, break-away, evasion
// and the triggers.
#include "entities/ai/AirplaneAI.h"

#include "entities/IEntityHost.h"
#include "entities/aircraft/Airplane.h"
#include "entities/aircraft/Squadron.h"
#include "entities/aircraft/Steering.h"
#include "entities/weapons/Weapon.h"
#include "entities/weapons/WeaponMath.h"
#include "gamedata/records/PlaneCfg.h"
#include "gamedata/records/WeaponCfg.h"
#include "platform/Random.h"

#include <algorithm>
#include <cmath>

namespace {
constexpr float kGroundApproachHeight = 800.0f;
constexpr float kGroundPullOut = 450.0f;   // break off a ground run this near
constexpr float kReattackTime = 5.0f;
constexpr float kGroundGunRange = 1300.0f;
constexpr float kSlotLead = 2.0f;  // s ahead along the slot's motion to aim at
constexpr float kEvadeLeave = 2.0f;  // times the break range

Vec3 flat(const Vec3& v, const Vec3& fallback) { return vec3NormalizeOr(Vec3{v.x, 0.0f, v.z}, fallback); }

const Weapon* gunOf(const Airplane& plane)
{
    for (int slot = 0; slot < kWeaponSlots; ++slot)
        if (const Weapon* w = plane.weapon(slot); w && w->group() == 0 && w->isGun())
            return w;
    return nullptr;
}
}  // namespace

void AirplaneAI::attack(float)
{
    Target* t = m_engaged;
    bool drop = !usable(t) || !isEnemy(*t);
    if (!drop && goalPoint && t != target)
        drop = true;  // the goal comes first
    if (!drop && pastGuardLeash(*t))
        drop = true;  // the guard goes home
    const Squadron* s = m_plane->squadron;
    const Airplane* leader = s ? s->leader() : nullptr;
    if (!drop && leader && leader != m_plane && s->order() == SquadronOrder::Formation)
        drop = true;
    if (!drop && leader && leader != m_plane && s->order() == SquadronOrder::Defend &&
        vec3DistanceSq(t->position(), leader->position()) > 4.0f * Squadron::kDefendRadius * Squadron::kDefendRadius)
        drop = true;
    // The player's autopilot lets a fight it only defended itself in go once it is left behind.
    if (!drop && t != target && leadsPlayersFormation() &&
        vec3DistanceSq(t->position(), m_plane->position()) > 4.0f * Squadron::kDefendRadius * Squadron::kDefendRadius)
        drop = true;
    if (drop) {
        m_engaged = nullptr;
        m_lockHeld = 0.0f;
        setState(Manoeuvre::Patrol);
        // Patrol may hand straight back to an attack that is dropped again:
        // one drop a frame, so the two never chase each other for good.
        if (m_droppedThisFrame)
            return;
        m_droppedThisFrame = true;
        return patrol(0.0f);
    }
    // Now and then a nearer enemy takes over from a far one.
    if (m_searchTimer <= 0.0f && t->matchesClass(TargetClass::Air) && t != target) {
        m_searchTimer = 2.0f + rand01();
        if (Target* nearer = search(); nearer && vec3DistanceSq(nearer->position(), m_plane->position()) <
                                                     0.25f * vec3DistanceSq(t->position(), m_plane->position())) {
            m_engaged = t = nearer;
            m_lockHeld = 0.0f;
        }
    }
    if (t->matchesClass(TargetClass::Air))
        attackAir(*t);
    else
        attackGround(*t);
}

void AirplaneAI::attackAir(Target& t)
{
    Airplane& p = *m_plane;
    const Weapon* gun = gunOf(p);
    const float bulletSpeed = gun ? std::max(gun->record().speed, 100.0f) : 800.0f;
    const Vec3 to = t.position() - p.position();
    const float dist = vec3Length(to);
    Vec3 aim = leadPoint(p.position(), t.position(), t.velocity(), bulletSpeed + p.speed() * 0.5f, 2);
    // The aim wanders by the pilot's aim error, new every reaction time.
    m_jitterTimer -= m_dt;
    if (m_jitterTimer <= 0.0f) {
        m_jitterTimer = reactionTime();
        m_aimJitter = Vec3{randSigned(), randSigned(), randSigned()} * aimError();
    }
    aim = aim + m_aimJitter * dist;
    const PlaneCfg& r = p.record();
    float speed = r.pMinSpeed + r.pSpeedSpan;
    if (dist < 1500.0f)
        speed = std::clamp(t.speed() + (dist - 350.0f) * 0.4f, r.pMinSpeed, r.pMinSpeed + r.pSpeedSpan);
    // Pulling through a merge: a pass too close is overshot rather than rammed.
    if (dist < 120.0f && vec3Dot(to, p.forward()) > 0.0f)
        aim = aim + p.up() * 200.0f;
    steer(aim, speed);

    const Vec3 toAim = aim - p.position();
    const float cone = std::max(aimError() * 2.5f, 0.02f) + 8.0f / std::max(dist, 1.0f);
    const bool aligned = vec3Dot(vec3NormalizeOr(toAim, p.forward()), p.forward()) > std::cos(cone);
    const bool shot = mayFire && gun && dist < kGunRange && aligned;
    fireGuns(shot);
    fireMissiles(t, false);
    if (&t != m_fightTarget || shot) {
        m_fightTarget = &t;
        m_noShotTime = 0.0f;
    } else if ((m_noShotTime += m_dt) >= kStalemateTime && !goalPoint) {
        // Round and round with no shot: break off and let another enemy come first.
        holdFire();
        m_shunned = &t;
        m_shunTimer = kStalemateShun;
        m_fightTarget = m_engaged = nullptr;
        m_noShotTime = 0.0f;
        m_lockHeld = 0.0f;
        setState(Manoeuvre::BreakAway);
    }
}

void AirplaneAI::attackGround(Target& t)
{
    Airplane& p = *m_plane;
    const Vec3 pos = p.position();
    Vec3 flatTo = t.position() - pos;
    flatTo.y = 0.0f;
    const float across = vec3Length(flatTo);
    const float dist = vec3DistanceExact(t.position(), pos);
    const float ground = p.host().groundHeightAt(pos.x, pos.z);
    // After a run the pilot flies on and climbs before turning back.
    if (m_stateTime < 0.0f) {
        holdFire();
        steerAirplaneAlong(p, flat(p.forward(), Vec3{0.0f, 0.0f, -1.0f}) + Vec3{0.0f, 0.35f, 0.0f}, cruiseSpeed());
        return;
    }
    if (across > 3500.0f) {
        holdFire();
        const Vec3 over = t.position() + Vec3{0.0f, kGroundApproachHeight, 0.0f};
        steer(safePoint(over), cruiseSpeed());
        return;
    }
    if (dist < kGroundPullOut || pos.y - ground < p.minimumHeight + 200.0f) {
        holdFire();
        m_stateTime = -kReattackTime;  // fly out, then come round again
        return;
    }
    Vec3 aim = t.position() + t.velocity() * (dist / 700.0f);
    steer(aim, cruiseSpeed());
    const Vec3 toAim = vec3NormalizeOr(aim - pos, p.forward());
    const bool aligned = vec3Dot(toAim, p.forward()) > std::cos(std::max(aimError() * 3.0f, 0.03f));
    fireGuns(mayFire && dist < kGroundGunRange && aligned);
    fireMissiles(t, true);
}

void AirplaneAI::fireGuns(bool on)
{
    if (on != m_gunsOn) {
        m_plane->controlInput(0, on ? 1.0f : 0.0f);
        m_gunsOn = on;
    }
}

void AirplaneAI::holdFire() { fireGuns(false); }

void AirplaneAI::fireMissiles(Target& t, bool ground)
{
    if (!mayFire)
        return;
    Airplane& p = *m_plane;
    bool lockedAny = false;
    for (int slot = 0; slot < kWeaponSlots; ++slot) {
        Weapon* w = p.weapon(slot);
        if (!w || w->group() == 0 || !w->isEnabled() || !w->hasAmmo() || !w->isReady())
            continue;
        Vec3 impact;
        if (ground && w->predictedImpact(impact)) {  // a bomb
            if (vec3DistanceSq(impact, t.position()) < 60.0f * 60.0f)
                p.controlInput(w->group(), 1.0f);
            continue;
        }
        // The lock search takes whatever lies best ahead (a ship below, another
        // airplane): the pilot locks the enemy it fights.
        w->lockOn(t);
        if (!w->needsLock() || !w->hasTarget(&t) || !w->isLocked())
            continue;
        // Bombs are for the ground: one let go at an airplane only falls away.
        if (!ground && w->isDropped())
            continue;
        lockedAny = true;
        // Better pilots close in before they fire and do not waste a second
        // missile on a target that already has one coming.
        const float reach = w->lockRange() * (0.5f + 0.035f * static_cast<float>(10 - level()));
        if (vec3DistanceSq(t.position(), p.position()) > reach * reach)
            continue;
        if (level() >= 4 && t.incomingMissile)
            continue;
        // Only within reach: a fleeing target outruns a missile fired too far back.
        const Vec3 los = vec3NormalizeOr(t.position() - p.position(), p.forward());
        const float closing = std::max(w->record().speed + vec3Dot(p.velocity(), los) - vec3Dot(t.velocity(), los), 50.0f);
        const float reachTime = vec3DistanceExact(t.position(), p.position()) / closing;
        if (!ground && reachTime > w->record().life * (0.45f + 0.03f * static_cast<float>(10 - level())))
            continue;
        // Better pilots fire sooner after the lock; all wait a little.
        const float patience = 0.3f + 0.12f * static_cast<float>(10 - level()) * (1.0f - aggression);
        if (m_lockHeld >= patience) {
            p.controlInput(w->group(), 1.0f);
            m_lockHeld = 0.0f;
        }
    }
    if (lockedAny)
        m_lockHeld += m_dt;
}

void AirplaneAI::formation()
{
    holdFire();
    Squadron* s = m_plane->squadron;
    Airplane* leader = s ? s->leader() : nullptr;
    const int slot = s ? s->slotOf(*m_plane) : 0;
    if (!leader || leader == m_plane || slot == 0 || !leader->isAlive()) {
        setState(Manoeuvre::Patrol);
        return patrol(0.0f);
    }
    if (s->order() == SquadronOrder::Attack) {
        setState(Manoeuvre::Patrol);
        return patrol(0.0f);
    }
    if (s->order() == SquadronOrder::Defend && m_searchTimer <= 0.0f) {
        m_searchTimer = reactionTime();
        if (Target* threat = search()) {
            m_engaged = threat;
            setState(Manoeuvre::Attack);
            return attack(0.0f);
        }
    }
    const Vec3 slotPos = s->slotPosition(slot);
    // The slot's own motion: on the outside of a turn it runs faster than the
    // leader. A step that finds the slot where it was (nothing has moved since
    // the last one) keeps the last estimate rather than taking it for a halt.
    if (!m_haveLastSlot || vec3DistanceSq(slotPos, m_lastSlot) >= 1e6f)
        m_slotVelocity = leader->velocity();
    else if (m_dt > 0.0f && vec3DistanceSq(slotPos, m_lastSlot) > 0.0f)
        m_slotVelocity = (slotPos - m_lastSlot) * (1.0f / m_dt);
    const Vec3 slotVelocity = m_slotVelocity;
    m_lastSlot = slotPos;
    m_haveLastSlot = true;
    const Vec3 heading = vec3NormalizeOr(slotVelocity, flat(leader->velocityDirection(), Vec3{0.0f, 0.0f, -1.0f}));
    const Vec3 error = slotPos - m_plane->position();
    const float along = vec3Dot(error, heading);
    const PlaneCfg& r = m_plane->record();
    const float speed = std::clamp(vec3Length(slotVelocity) + std::clamp(along * 0.8f, -80.0f, 150.0f),
                                   r.pMinSpeed * 0.8f, r.pMinSpeed + r.pSpeedSpan);
    // Aim at where the slot will be, so the wingman joins it rather than
    // circling it.
    const Vec3 goal = slotPos + slotVelocity * kSlotLead + Vec3{0.0f, error.y * 0.5f, 0.0f};
    steerAirplaneTo(*m_plane, goal, speed, 1.0f);
}

void AirplaneAI::breakAway()
{
    holdFire();
    if (m_stateTime >= kBreakAwayTime) {
        setState(Manoeuvre::Patrol);
        return patrol(0.0f);
    }
    // Sent off towards a point (the weapons lesson's drone, kept ahead of the
    // player who hunts it): there, at cruise, or it would outrun the hunter for good.
    if (goalPoint) {
        steer(safePoint(*goalPoint), cruiseSpeed());
        return;
    }
    steer(safePoint(m_plane->position() + m_breakDirection * 2000.0f), m_plane->record().pMinSpeed +
                                                                          m_plane->record().pSpeedSpan);
}

void AirplaneAI::evade()
{
    const IGameEntity* m = m_plane->incomingMissile;
    // A missile that has gone wide and fallen far behind chases on to the end
    // of its life, and a rocket far past never comes back: the pilot goes
    // back to the fight rather than run from them.
    const float leave = kEvadeLeave * breakRange();
    if (!m || vec3DistanceSq(m->worldPosition(), m_plane->position()) > leave * leave) {
        setState(m_resume == Manoeuvre::Evade ? Manoeuvre::Patrol : m_resume);
        return runManoeuvre();
    }
    holdFire();
    Airplane& p = *m_plane;
    // Break across the missile's line, to the side the plane already leans.
    const Vec3 from = flat(p.position() - m->worldPosition(), p.forward());
    Vec3 across{-from.z, 0.0f, from.x};
    if (vec3Dot(across, p.side()) < 0.0f)
        across = -across;
    const float height = p.position().y - p.host().groundHeightAt(p.position().x, p.position().z);
    const Vec3 dir = across + Vec3{0.0f, height > 1200.0f ? -0.25f : 0.15f, 0.0f};
    steerAirplaneAlong(p, dir, p.record().pMinSpeed + p.record().pSpeedSpan, 1.0f);
    p.setCommandValue(p.boostReserve() > 0.5f);
}
