#include "entities/ai/AirplaneAI.h"

#include "entities/IEntityHost.h"
#include "entities/aircraft/Airplane.h"
#include "entities/aircraft/Squadron.h"
#include "entities/aircraft/Steering.h"
#include "gamedata/map/MapEntities.h"
#include "gamedata/records/PlaneCfg.h"
#include "platform/Random.h"

#include <algorithm>
#include <cmath>

namespace {
constexpr float kOrbitRadius = 2500.0f;
constexpr float kGuardOrbit = 1500.0f;
constexpr float kWaypointReached = 400.0f;
constexpr float kPatrolHeight = 900.0f;   // over the ground
constexpr float kSafeMargin = 250.0f;     // goal points stay this far above minimum height
constexpr float kGuardClearance = 80.0f;  // over minimum height before the guard pulls
constexpr float kRecoverHold = 1.0f;      // s clear before the pilot gets the stick back

Vec3 flat(const Vec3& v, const Vec3& fallback) { return vec3NormalizeOr(Vec3{v.x, 0.0f, v.z}, fallback); }
}  // namespace

AirplaneAI::AirplaneAI(Airplane& plane, float skill) : TargetAI(plane, skill), m_plane(&plane)
{
    plane.aiLevel = static_cast<int>(std::lround(this->skill() * 10.0f));
    m_breakDirection = plane.forward();
    m_home = plane.position();
}

bool AirplaneAI::leadsPlayersFormation() const
{
    const Squadron* s = m_plane->squadron;
    if (m_plane->host().playerAirplane() != m_plane || !s || s->leader() != m_plane ||
        s->order() == SquadronOrder::Attack)
        return false;
    for (const Airplane* member : s->members())
        if (member != m_plane && member->isAlive())
            return true;
    return false;
}

int AirplaneAI::level() const { return std::clamp(m_plane->aiLevel, 0, 10); }

float AirplaneAI::reactionTime() const { return 1.0f - 0.08f * static_cast<float>(level()); }

float AirplaneAI::aimError() const { return (3.0f - 0.27f * static_cast<float>(level())) * 0.017453292f; }

float AirplaneAI::pullAuthority() const { return 0.6f + 0.04f * static_cast<float>(level()); }

float AirplaneAI::cruiseSpeed() const
{
    const PlaneCfg& r = m_plane->record();
    return std::max(r.pCruiseSpeed, r.pMinSpeed + 0.3f * r.pSpeedSpan);
}

void AirplaneAI::setState(Manoeuvre state)
{
    if (state == m_state)
        return;
    if (state == Manoeuvre::Evade || state == Manoeuvre::Recover) {
        if (m_state != Manoeuvre::Evade && m_state != Manoeuvre::Recover)
            m_resume = m_state;
    }
    if (state == Manoeuvre::BreakAway) {
        // Away from the leader, or off to one side.
        const Airplane* leader = m_plane->squadron ? m_plane->squadron->leader() : nullptr;
        Vec3 away = leader && leader != m_plane ? m_plane->position() - leader->position() : m_plane->side();
        away.y = 0.0f;
        m_breakDirection = vec3NormalizeOr(away + m_plane->forward(), m_plane->forward());
    }
    // The player's autopilot counts each evasive manoeuvre it completes.
    if ((m_state == Manoeuvre::Evade || m_state == Manoeuvre::BreakAway) && state != Manoeuvre::Recover &&
        m_plane->host().playerAirplane() == m_plane)
        m_plane->host().countEvent(*m_plane, Airplane::kEventManoeuvre);
    m_state = state;
    m_stateTime = 0.0f;
    m_haveLastSlot = false;
    m_plane->manoeuvreCode = static_cast<int>(state);
}

void AirplaneAI::setGuard(const Vec3& point, float engage, float release)
{
    guardPoint = point;
    guardEngageRadius = engage;
    guardReleaseRadius = std::max(release, engage);
}

void AirplaneAI::setGuard(const MapObject& object, float engage, float release)
{
    setGuard(object.pos, engage, release);
    guardObject = &object;
}

void AirplaneAI::clearGuard()
{
    guardObject = nullptr;
    guardEngageRadius = guardReleaseRadius = -1.0f;
    guardList.clear();
}

void AirplaneAI::reset()
{
    holdFire();
    m_engaged = nullptr;
    m_shunned = m_fightTarget = nullptr;
    m_searchTimer = 0.0f;
    m_lockHeld = 0.0f;
    m_waypoint = 0;
    m_resume = Manoeuvre::Patrol;
    setState(Manoeuvre::Patrol);
}

void AirplaneAI::forget(const Target& t)
{
    if (target == &t)
        target = nullptr;
    if (attackTarget == &t)
        attackTarget = nullptr;
    if (m_engaged == &t)
        m_engaged = nullptr;
    if (m_shunned == &t)
        m_shunned = nullptr;
    if (m_fightTarget == &t)
        m_fightTarget = nullptr;
    std::erase(guardList, &t);
}

void AirplaneAI::setParameter(int index, float value)
{
    if (!std::isfinite(value))
        return;
    if (index == 0)
        aggression = std::clamp(value, 0.0f, 1.0f);
    else if (index == 1)
        caution = std::clamp(value, 0.0f, 1.0f);
}

bool AirplaneAI::isEnemy(const Target& t) const
{
    return t.team() != kTeamNone && t.team() != m_plane->team();
}

bool AirplaneAI::usable(const Target* t) const
{
    return t && t != m_plane && t->isActive() && t->isAlive() && t->isTargetable();
}

bool AirplaneAI::justSpawned(const Target& t)
{
    return t.kind() == TargetKind::Airplane && static_cast<const Airplane&>(t).timeInPlay() < kSpawnGrace;
}

Target* AirplaneAI::search() const
{
    Target* best = nullptr;
    float bestSq = kSearchRange * kSearchRange;
    // The enemy of a stalemate broken off is taken only when no other is found.
    const Target* shunned = m_shunTimer > 0.0f ? m_shunned : nullptr;
    Target* fallback = nullptr;
    const Airplane* leader = m_plane->squadron ? m_plane->squadron->leader() : nullptr;
    const bool defend = leader && leader != m_plane && m_plane->squadron->order() == SquadronOrder::Defend;
    // An escort takes on what comes near the friend it guards.
    const Target* friendly = usable(target) && !isEnemy(*target) ? target : nullptr;
    // The player's autopilot at the head of its wingmen goes hunting only when
    // sent (or when they are): it takes on what comes at the airplane, and
    // leaves a far fight to the player rather than take it on alone.
    const bool selfDefence = !usable(target) && leadsPlayersFormation();
    for (Target* t : m_plane->host().activeTargets()) {
        if (!usable(t) || !isEnemy(*t) || !t->matchesClass(TargetClass::Air) || justSpawned(*t))
            continue;
        if (isGuarding() && vec3DistanceSq(t->position(), guardPoint) > guardEngageRadius * guardEngageRadius)
            continue;
        if (friendly && vec3DistanceSq(t->position(), friendly->position()) > kEscortRadius * kEscortRadius)
            continue;
        if (defend && vec3DistanceSq(t->position(), leader->position()) >
                          Squadron::kDefendRadius * Squadron::kDefendRadius)
            continue;
        const float d = vec3DistanceSq(t->position(), m_plane->position());
        if (selfDefence && d > Squadron::kDefendRadius * Squadron::kDefendRadius)
            continue;
        if (t == shunned) {
            fallback = t;
            continue;
        }
        if (d < bestSq) {
            bestSq = d;
            best = t;
        }
    }
    return best ? best : fallback;
}

Vec3 AirplaneAI::safePoint(Vec3 point) const
{
    const float ground = m_plane->host().groundHeightAt(point.x, point.z);
    point.y = std::max(point.y, ground + m_plane->minimumHeight + kSafeMargin);
    return point;
}

void AirplaneAI::steer(const Vec3& point, float speed, float authority)
{
    steerAirplaneTo(*m_plane, point, speed, authority * pullAuthority());
}

// Looks ahead along the velocity (and level along the heading for rising
// ground) and pulls up when the plane would come below its minimum height.
bool AirplaneAI::terrainGuard(float dt)
{
    const Airplane& p = *m_plane;
    const IEntityHost& host = p.host();
    const Vec3 pos = p.position();
    const Vec3 vel = p.velocity();
    const Vec3 dir = p.velocityDirection();
    const float clearance = p.minimumHeight + kGuardClearance;
    // A steeper dive needs longer to pull out of.
    const float horizon = 2.0f + 2.5f * std::max(-dir.y, 0.0f);
    float worst = pos.y - host.groundHeightAt(pos.x, pos.z) - clearance;
    for (float t = 0.25f; t <= horizon + 1e-3f; t += 0.25f) {
        const Vec3 q = pos + vel * t;
        worst = std::min(worst, q.y - host.groundHeightAt(q.x, q.z) - clearance);
    }
    const Vec3 heading = flat(dir, Vec3{0.0f, 0.0f, -1.0f});
    float rising = 1e9f;
    for (float t = 1.0f; t <= kLookAhead; t += 1.0f) {
        const Vec3 q = pos + heading * (p.speed() * t);
        rising = std::min(rising, pos.y - host.groundHeightAt(q.x, q.z) - clearance);
    }
    const bool danger = worst < 0.0f || rising < 0.0f;
    if (danger) {
        if (m_state != Manoeuvre::Recover) {
            ++m_terrainSaves;
            setState(Manoeuvre::Recover);
        }
        m_recoverClear = 0.0f;
    } else if (m_state == Manoeuvre::Recover) {
        m_recoverClear += dt;
        if (m_recoverClear >= kRecoverHold) {
            setState(m_resume == Manoeuvre::Recover ? Manoeuvre::Patrol : m_resume);
            return false;
        }
    }
    if (m_state != Manoeuvre::Recover)
        return false;
    // Climb along the heading, steeper the lower it is.
    const float low = std::min(worst, rising);
    const float climb = low < -clearance * 0.5f ? 0.8f : 0.5f;
    holdFire();
    steerAirplaneAlong(*m_plane, heading * std::cos(climb) + Vec3{0.0f, std::sin(climb), 0.0f},
                       p.record().pMinSpeed + p.record().pSpeedSpan, 1.0f);
    return true;
}

bool AirplaneAI::threatened() const
{
    const IGameEntity* m = m_plane->incomingMissile;
    if (!m || !mayEvade)
        return false;
    // The player's autopilot breaks only at the last moment: the flares go
    // within 1200 units, and a break begun far off leaves its wingmen and the
    // fight behind for a missile the flares would have taken.
    const float range = breakRange();
    return vec3DistanceSq(m->worldPosition(), m_plane->position()) < range * range;
}

float AirplaneAI::breakRange() const
{
    return m_plane->host().playerAirplane() == m_plane ? kAutopilotBreakRange
                                                        : 1800.0f + 120.0f * static_cast<float>(level());
}

void AirplaneAI::update(float dt)
{
    if (!std::isfinite(dt) || dt <= 0.0f || !m_plane->isAlive())
        return;
    m_dt = dt;
    m_time += dt;
    m_stateTime += dt;
    m_searchTimer -= dt;
    m_shunTimer -= dt;
    // A missile trigger pressed last frame is let go; the launch has happened.
    for (int g = 1; g <= 2; ++g)
        m_plane->controlInput(g, 0.0f);
    if (m_plane->host().playerAirplane() == m_plane && m_state == Manoeuvre::Navigate && !goalPoint &&
        waypoints.empty())
        return;  // the player flies; the autopilot only watches
    if (terrainGuard(dt))
        return;
    if (threatened()) {
        m_reactTimer += dt;
        if (m_state != Manoeuvre::Evade && m_reactTimer >= reactionTime())
            setState(Manoeuvre::Evade);
    } else {
        m_reactTimer = 0.0f;
    }
    m_plane->setCommandValue(false);
    m_droppedThisFrame = false;
    runManoeuvre();
    // What the cameras and markers show as the pilot's target.
    if (m_plane->host().playerAirplane() != m_plane)
        m_plane->currentTarget = m_engaged;
}

void AirplaneAI::runManoeuvre()
{
    switch (m_state) {
    case Manoeuvre::Navigate:
        navigate();
        break;
    case Manoeuvre::Patrol:
        patrol(0.0f);
        break;
    case Manoeuvre::Attack:
        attack(0.0f);
        break;
    case Manoeuvre::Formation:
        formation();
        break;
    case Manoeuvre::BreakAway:
        breakAway();
        break;
    case Manoeuvre::Evade:
        evade();
        break;
    case Manoeuvre::Recover:
        if (!terrainGuard(0.0f))
            runManoeuvre();
        break;
    }
}

const Vec3* AirplaneAI::navigationPoint() const
{
    if (goalPoint)
        return &*goalPoint;
    return waypoints.empty() ? nullptr : &waypoints[m_waypoint % waypoints.size()];
}

void AirplaneAI::navigate()
{
    holdFire();
    if (goalPoint) {
        steer(safePoint(*goalPoint), cruiseSpeed());
        return;
    }
    if (!waypoints.empty()) {
        m_waypoint %= waypoints.size();
        const Vec3 wp = safePoint(waypoints[m_waypoint]);
        if (vec3DistanceSq(Vec3{wp.x, 0.0f, wp.z}, Vec3{m_plane->position().x, 0.0f, m_plane->position().z}) <
            kWaypointReached * kWaypointReached)
            m_waypoint = (m_waypoint + 1) % waypoints.size();
        steer(wp, cruiseSpeed());
        return;
    }
    if (m_plane->squadron && m_plane->squadron->leader() && m_plane->squadron->leader() != m_plane) {
        formation();
        return;
    }
    steerAirplaneAlong(*m_plane, flat(m_plane->forward(), Vec3{0.0f, 0.0f, -1.0f}), cruiseSpeed());
}

void AirplaneAI::followSquadron()
{
    Squadron* s = m_plane->squadron;
    if (!s || !s->leader() || s->leader() == m_plane || !s->leader()->isAlive())
        return;
    if (s->order() != SquadronOrder::Attack)
        setState(Manoeuvre::Formation);
}

bool AirplaneAI::pastGuardLeash(const Target& t) const
{
    return isGuarding() && vec3DistanceSq(t.position(), guardPoint) > guardReleaseRadius * guardReleaseRadius;
}

void AirplaneAI::patrol(float)
{
    holdFire();
    if (m_state == Manoeuvre::Patrol)
        followSquadron();
    if (m_state != Manoeuvre::Patrol)
        return runManoeuvre();
    // Orders first: an assigned enemy is attacked, a friend escorted. A guard
    // leaves an enemy beyond its leash alone (the attack would drop it at once).
    const bool orderedEnemy = usable(target) && isEnemy(*target);
    if (orderedEnemy && !pastGuardLeash(*target)) {
        m_engaged = target;
        setState(Manoeuvre::Attack);
        return attack(0.0f);
    }
    // A pilot sent to a goal point flies there before it looks for a fight.
    if (m_searchTimer <= 0.0f && !goalPoint) {
        m_searchTimer = 2.0f + rand01();
        if (Target* found = search()) {
            m_engaged = found;
            setState(Manoeuvre::Attack);
            return attack(0.0f);
        }
    }
    const Vec3 pos = m_plane->position();
    if (usable(target) && !orderedEnemy) {  // a friend: fly on its wing
        const Vec3 h = flat(target->velocity(), Vec3{0.0f, 0.0f, -1.0f});
        steer(safePoint(target->position() - h * 150.0f + Vec3{-h.z, 0.0f, h.x} * 120.0f + target->velocity()),
              std::max(target->speed(), m_plane->record().pMinSpeed));
        return;
    }
    if (goalPoint || !waypoints.empty())
        return navigate();
    // It holds its course and height, so the formation keeps up, until there
    // is a fight; too far from where it took over it comes round, so an enemy
    // trailing just out of reach meets it instead of following it off the map.
    if (leadsPlayersFormation()) {
        Vec3 heading = flat(m_plane->forward(), Vec3{0.0f, 0.0f, -1.0f});
        if (vec3DistanceSq(Vec3{pos.x, 0.0f, pos.z}, Vec3{m_home.x, 0.0f, m_home.z}) > kHoldRadius * kHoldRadius)
            heading = flat(m_home - pos, heading);
        return steerAirplaneAlong(*m_plane, heading, cruiseSpeed());
    }
    // Orbit the guarded point, or the patrol centre.
    const Vec3 centre = isGuarding() ? guardPoint : pos + m_plane->side() * kOrbitRadius;
    const float radius = isGuarding() ? kGuardOrbit : kOrbitRadius;
    Vec3 out = flat(pos - centre, Vec3{1.0f, 0.0f, 0.0f});
    const Vec3 along{-out.z, 0.0f, out.x};
    Vec3 goal = centre + out * radius + along * (radius * 0.6f);
    goal.y = std::max(pos.y, m_plane->host().groundHeightAt(goal.x, goal.z) + kPatrolHeight);
    steer(safePoint(goal), cruiseSpeed());
}
