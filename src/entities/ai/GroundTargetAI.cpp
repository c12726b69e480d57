#include "entities/ai/GroundTargetAI.h"

#include "entities/IEntityHost.h"
#include "entities/Target.h"
#include "entities/weapons/Weapon.h"
#include "entities/weapons/WeaponMath.h"
#include "gamedata/records/WeaponCfg.h"
#include "platform/Random.h"

#include <algorithm>
#include <cmath>

namespace {
float gunRange(const Weapon& w) { return std::max(w.record().speed, 1.0f) * std::max(w.record().life, 0.1f) * 0.9f; }
}  // namespace

GroundTargetAI::GroundTargetAI(Target& owner, float skill) : TargetAI(owner, skill) {}

void GroundTargetAI::forget(const Target& t)
{
    if (m_target == &t)
        m_target = nullptr;
}

void GroundTargetAI::update(float dt)
{
    Target& unit = owner();
    float range = 0.0f;
    for (int slot = 0; slot < kWeaponSlots; ++slot)
        if (const Weapon* w = unit.weapon(slot); w && w->isGun())
            range = std::max(range, gunRange(*w));
    if (range <= 0.0f)
        return;
    auto usable = [&](const Target* t) {
        return t && t != &unit && t->isActive() && t->isAlive() && t->isTargetable() && t->team() != kTeamNone &&
               t->team() != unit.team() && t->matchesClass(TargetClass::Air) &&
               vec3DistanceSq(t->position(), unit.position()) <= range * range;
    };
    m_searchTimer -= dt;
    if (!usable(m_target) || m_searchTimer <= 0.0f) {
        // Reaction time shrinks with skill.
        m_searchTimer = 1.0f - 0.6f * skill();
        m_target = nullptr;
        float bestSq = range * range;
        for (Target* t : unit.host().activeTargets())
            if (usable(t) && vec3DistanceSq(t->position(), unit.position()) <= bestSq) {
                bestSq = vec3DistanceSq(t->position(), unit.position());
                m_target = t;
            }
    }
    for (int slot = 0; slot < kWeaponSlots; ++slot) {
        Weapon* w = unit.weapon(slot);
        if (!w || !w->isGun())
            continue;
        if (!m_target) {
            if (w->isFiring())
                w->setFiring(false);
            continue;
        }
        const Vec3 from = w->mountPosition(0);
        const Vec3 aim = leadPoint(from, m_target->position(), m_target->velocity(), std::max(w->record().speed, 1.0f), 3);
        // A less skilled gunner aims wider.
        const float error = (1.0f - skill()) * 0.03f;
        Vec3 dir = vec3NormalizeOr(aim - from, Vec3{0.0f, 1.0f, 0.0f});
        dir = vec3NormalizeOr(dir + Vec3{randSigned(), randSigned(), randSigned()} * error, dir);
        w->setAimDirection(dir);
        if (!w->isFiring())
            w->setFiring(true);
    }
}
