#include "entities/ground/SpecialGroundTarget.h"

#include "entities/IEntityHost.h"
#include "gamedata/records/UnitCfg.h"

#include <algorithm>
#include <cmath>
#include <vector>

SpecialGroundTarget::SpecialGroundTarget(IEntityHost& host, MapObject& object, const UnitCfg* unit)
    : GroundTarget(host, object, unit),
      m_special(static_cast<SpecialKind>(unit ? unit->variant : static_cast<int>(SpecialKind::Swarmer)))
{
    m_radius = std::max(m_radius, 4.0f);
}

void SpecialGroundTarget::dropReferencesTo(const Target& gone)
{
    GroundTarget::dropReferencesTo(gone);
    if (m_prey == &gone)
        m_prey = nullptr;
}

void SpecialGroundTarget::update(float dt)
{
    if (!isActive() || !isAlive() || !std::isfinite(dt) || dt <= 0.0f)
        return;
    if (m_special != SpecialKind::Swarmer)
        return GroundTarget::update(dt);
    swarm(dt);
}

void SpecialGroundTarget::swarm(float dt)
{
    auto usable = [&](const Target* t) {
        return t && t != this && t->kind() == TargetKind::Airplane && t->isActive() && t->isAlive() &&
               t->isTargetable() && t->team() != kTeamNone && t->team() != team();
    };
    m_searchTimer -= dt;
    if (!usable(m_prey) || m_searchTimer <= 0.0f) {
        m_searchTimer = 1.0f;
        m_prey = nullptr;
        float best = kSearchRange * kSearchRange;
        for (Target* t : host().activeTargets())
            if (usable(t) && vec3DistanceSq(t->position(), m_position) < best) {
                best = vec3DistanceSq(t->position(), m_position);
                m_prey = t;
            }
    }
    Vec3 dir = vec3NormalizeOr(m_velocity, facing());
    if (m_prey) {
        // Turn toward the prey at a limited rate.
        const Vec3 want = vec3NormalizeOr(m_prey->position() - m_position, dir);
        const float angle = std::acos(std::clamp(vec3Dot(dir, want), -1.0f, 1.0f));
        const float step = kSwarmerTurnRate * dt;
        dir = angle <= step ? want : vec3NormalizeOr(dir + (want - dir) * (step / angle), want);
    }
    Vec3 pos = m_position + dir * (kSwarmerSpeed * dt);
    const float floor = host().groundHeightAt(pos.x, pos.z) + kFloor;
    if (pos.y < floor) {
        pos.y = floor;
        dir.y = std::max(dir.y, 0.0f);
    }
    m_position = pos;
    m_velocity = dir * kSwarmerSpeed;
    m_speed = kSwarmerSpeed;
    if (m_prey) {
        const float reach = m_radius + m_prey->radius();
        if (vec3DistanceSq(m_prey->position(), m_position) <= reach * reach) {
            // Rammed: both go down, the prey by a collision.
            Target& prey = *m_prey;
            m_prey = nullptr;
            prey.lastAttacker = this;
            if (prey.acceptsCrashCause(CrashCause::CollisionPair))
                prey.onDestroyed(CrashCause::CollisionPair);
            onDestroyed(CrashCause::CollisionPair);
        }
    }
}
