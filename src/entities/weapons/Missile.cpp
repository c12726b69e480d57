#include "entities/weapons/Missile.h"

#include "entities/EntityIds.h"
#include "entities/IEntityHost.h"
#include "entities/Target.h"
#include "entities/TimedPoints.h"
#include "entities/weapons/AreaDamage.h"
#include "effects/trails/MissileTrail.h"
#include "entities/weapons/WeaponMath.h"
#include "gamedata/records/WeaponCfg.h"
#include "platform/Log.h"
#include "platform/Random.h"
#include "sound/SoundSource.h"
#include "sound/SoundTable.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace {
std::array<Missile*, 256> g_missiles{};
constexpr float kDefaultTurnRate = 2.0f;
}  // namespace

Missile::Missile(const MissileLaunch& launch)
    : m_host(launch.host), m_record(launch.record), m_owner(launch.owner), m_target(launch.target),
      m_ownerTeam(launch.owner ? launch.owner->team() : kTeamNone), m_weaponId(launch.weaponId),
      m_position(launch.position), m_direction(launch.direction), m_life(std::max(launch.record->life, 0.1f)),
      m_id(missileIds().acquire())
{
    if (vec3Dot(m_direction, m_direction) < 1e-6f)
        m_direction = {0.0f, 0.0f, -1.0f};
    vec3Normalize(m_direction);
    // The motor adds its speed to the launcher's.
    m_speed = std::max(m_record->speed + vec3Dot(launch.platformVelocity, m_direction), 0.0f);
    m_velocity = m_direction * m_speed;
    m_flareSerial = TimedPoints::instance().lastSerial();
    if (m_target)
        m_distanceToTarget = vec3Length(m_target->position() - m_position);
    if (m_id >= 0)
        g_missiles[static_cast<std::size_t>(m_id)] = this;
}

Missile::~Missile()
{
    dropTarget();
    // Every way a missile ends comes here: the trail takes its last point and fades alone.
    if (trail)
        trail->detach();
    trail = nullptr;
    if (m_id >= 0) {
        if (g_missiles[static_cast<std::size_t>(m_id)] == this)
            g_missiles[static_cast<std::size_t>(m_id)] = nullptr;
        missileIds().release(m_id);
    }
}

void Missile::reportNoId() { logWarning("entities", "no missile id left: the missile is not launched"); }

int Missile::weaponId() const { return m_record->weapon_id; }

void Missile::createTrail()
{
    if (!trail)
        trail = MissileTrail::create(*this);
}

void Missile::endTrailAt(const Vec3& point)
{
    m_position = point;
    if (trail)
        trail->detach();
    trail = nullptr;
}

void Missile::showTrail(bool on)
{
    if (trail)
        trail->setActive(on);
}

void Missile::updateSound()
{
    SoundSourceBuffered* cruise = globalSources().missileCruise;
    if (!cruise || m_record->silent)
        return;
    cruise->set3DAttributes(m_position, velocity());
    if (!cruise->isPlaying())
        cruise->play();
}

void Missile::dropTarget()
{
    if (m_target && m_target->incomingMissile == this)
        m_target->incomingMissile = nullptr;
    m_target = nullptr;
}

void Missile::forget(const Target* t)
{
    if (!t)
        return;
    if (m_target == t)
        dropTarget();
    if (m_owner == t)
        m_owner = nullptr;
    if (m_struck == t)
        m_struck = nullptr;
}

void Missile::forgetEverywhere(const Target* t)
{
    for (Missile* m : g_missiles)
        if (m)
            m->forget(t);
}

void Missile::loseTargetEverywhere(const Target* t)
{
    for (Missile* m : g_missiles)
        if (m && t && m->m_target == t)
            m->dropTarget();
}

float Missile::turnRate() const
{
    const float base = m_record->turnRate > 0.0f ? m_record->turnRate : kDefaultTurnRate;
    return base * turnRateScale();
}

bool Missile::updateFlight(float h)
{
    m_struck = nullptr;
    if (m_life <= 0.0f)
        return false;
    m_age += h;
    m_life -= h;
    const Vec3 from = m_position;
    if (isGuided()) {
        rollForDecoys();
        guide(h);
    }
    move(h);
    if (m_target)
        m_distanceToTarget = vec3Length(m_target->position() - m_position);
    return testHits(from, h);
}

void Missile::rollForDecoys()
{
    if (!m_target || decoyResistance() >= 1.0f)
        return;
    TimedPoints& points = TimedPoints::instance();
    const std::uint32_t last = points.lastSerial();
    if (last == m_flareSerial)
        return;
    for (int i = 0; i < TimedPoints::kCapacity; ++i) {
        const TimedPoints::Point* p = points.at(i);
        if (!p || p->owner != m_target || p->serial <= m_flareSerial)
            continue;
        if (rand01() >= decoyResistance()) {
            m_decoyIndex = i;
            m_decoySerial = p->serial;
            m_decoyed = true;
            dropTarget();
            break;
        }
    }
    m_flareSerial = last;
}

bool Missile::currentGoal(Vec3& goal, Vec3& goalVelocity)
{
    if (m_decoyIndex >= 0) {
        const TimedPoints::Point* p = TimedPoints::instance().at(m_decoyIndex);
        if (!p || p->serial != m_decoySerial) {
            m_decoyIndex = -1;  // burnt out: straight on
            return false;
        }
        // Past the flare it flies on.
        if (vec3Dot(p->position - m_position, m_direction) < 0.0f) {
            m_decoyIndex = -1;
            return false;
        }
        goal = p->position;
        goalVelocity = {};
        return true;
    }
    if (!m_target)
        return false;
    goal = m_target->position();
    goalVelocity = m_target->velocity();
    return true;
}

void Missile::guide(float h)
{
    Vec3 goal, goalVelocity;
    if (currentGoal(goal, goalVelocity))
        steerToward(goal, goalVelocity, turnRate(), h);
}

void Missile::steerToward(const Vec3& goal, const Vec3& goalVelocity, float maxRate, float h)
{
    const Vec3 r = goal - m_position;
    const float r2 = vec3Dot(r, r);
    if (r2 < 1.0f)
        return;
    const Vec3 rn = r * (1.0f / std::sqrt(r2));
    Vec3 omega;
    if (vec3Dot(m_direction, rn) < kPursuitCosine) {
        // Far off the nose: turn at the full rate straight toward the goal.
        Vec3 axis = vec3CrossB(m_direction, rn);
        if (vec3Dot(axis, axis) < 1e-8f)
            axis = std::fabs(m_direction.y) < 0.9f ? vec3CrossB(m_direction, Vec3{0.0f, 1.0f, 0.0f})
                                                   : vec3CrossB(m_direction, Vec3{1.0f, 0.0f, 0.0f});
        omega = vec3Normalize(axis) * maxRate;
    } else {
        // Proportional navigation: turn N times as fast as the line of sight.
        const Vec3 relative = goalVelocity - m_direction * m_speed;
        omega = vec3CrossB(r, relative) * (kNavigationConstant / r2);
        omega = omega - m_direction * vec3Dot(omega, m_direction);
        const float rate = vec3Length(omega);
        if (rate > maxRate)
            omega = omega * (maxRate / rate);
    }
    m_direction = m_direction + vec3CrossB(omega, m_direction) * h;
    vec3Normalize(m_direction);
}

void Missile::move(float h)
{
    m_velocity = m_direction * m_speed;
    m_position = m_position + m_velocity * h;
}

bool Missile::testHits(const Vec3& from, float h)
{
    // The proximity fuse on the target, with both moving through the step.
    if (m_target && m_target->isAlive()) {
        const Vec3 now = m_target->position();
        const Vec3 before = now - m_target->velocity() * h;
        const float fuse = m_target->radius() + kFuseMargin;
        const Vec3 a = from - before, b = m_position - now;
        const float t = closestParameter(a, b, Vec3{});
        const Vec3 rel = a + (b - a) * t;
        if (vec3Dot(rel, rel) < fuse * fuse) {
            Target* victim = m_target;
            detonateOn(*victim, before + (now - before) * t + rel);
            return true;
        }
    }
    // Anything else of another team in the path.
    Target* best = nullptr;
    float bestT = 2.0f;
    Vec3 bestPoint;
    const float travel = vec3Length(m_position - from);
    for (Target* t : m_host->activeTargets()) {
        if (!t || t == m_owner || (m_ownerTeam != kTeamNone && t->team() == m_ownerTeam))
            continue;
        const Vec3 now = t->position();
        // Quick reject: farther than the radius plus this step's travel of both
        // (a target covers less than 1000 units a second).
        const float reach = t->radius() + travel + 1000.0f * h;
        const float dx = m_position.x - now.x, dy = m_position.y - now.y, dz = m_position.z - now.z;
        if (dx * dx + dy * dy + dz * dz > reach * reach)
            continue;
        if (!t->isActive() || !t->isAlive() || !t->isTargetable())
            continue;
        const Vec3 before = now - t->velocity() * h;
        const Vec3 a = from - before, b = m_position - now;
        const float s = closestParameter(a, b, Vec3{});
        const Vec3 rel = a + (b - a) * s;
        const float r = t->radius();
        if (vec3Dot(rel, rel) >= r * r || s >= bestT)
            continue;
        const Vec3 point = before + (now - before) * s + rel;
        if (!t->ownHitCheck(point, 1.0f))
            continue;
        best = t;
        bestT = s;
        bestPoint = point;
    }
    if (best) {
        detonateOn(*best, bestPoint);
        return true;
    }
    return false;
}

void Missile::detonateOn(Target& victim, const Vec3& at)
{
    m_position = at;
    m_struck = &victim;
    m_host->damageTarget(victim, m_owner, m_record->damage, at, m_record);
    if (m_host->isNetworkClient() && m_owner && m_owner->networkRole == NetworkRole::Local)
        m_host->onWeaponHit(victim, m_owner, m_record->weapon_id);
    if (m_record->blastRadius > 0.0f)
        applyAreaDamage(*m_host, m_owner, m_ownerTeam, at, m_record->blastRadius, blastDamageOf(*m_record),
                        m_record, &victim);
    // The victim may have left the world inside the damage rule.
    if (m_struck && m_target == m_struck && !m_struck->isAlive())
        dropTarget();
}
