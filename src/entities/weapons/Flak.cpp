#include "entities/weapons/Flak.h"

#include "entities/IEntityHost.h"
#include "entities/aircraft/Airplane.h"
#include "entities/weapons/AreaDamage.h"
#include "entities/weapons/WeaponMath.h"
#include "effects/particles/ParticleEffects.h"
#include "gamedata/records/WeaponCfg.h"

#include <algorithm>

float Flak::range() const { return std::max(record().speed, 1.0f) * std::max(record().life, 0.1f) * 0.9f; }

void Flak::updateTargeting(float)
{
    Target& gun = owner();
    Target* current = target();
    const float r = range();
    auto usable = [&](const Target* t) {
        return t && t != &gun && t->isActive() && t->isAlive() && t->isTargetable() && t->team() != kTeamNone &&
               t->team() != gun.team() && t->matchesClass(TargetClass::Air) &&
               vec3DistanceSq(t->position(), gun.position()) <= r * r;
    };
    if (usable(current))
        return;
    clearTargets();
    Target* best = nullptr;
    float bestSq = r * r;
    for (Target* t : gun.host().activeTargets()) {
        if (!usable(t))
            continue;
        const float d = vec3DistanceSq(t->position(), gun.position());
        if (d <= bestSq) {
            bestSq = d;
            best = t;
        }
    }
    // The list is the only lock a flak gun has; it needs no lock time.
    if (best)
        setSingleTarget(best);
}

void Flak::reset()
{
    Weapon::reset();
    m_shells.clear();
}

void Flak::update(float dt)
{
    Weapon::update(dt);
    for (std::size_t i = 0; i < m_shells.size();) {
        Shell& s = m_shells[i];
        s.fuse -= dt;
        if (s.fuse <= 0.0f) {
            // Burst where the fuse ran out inside the step.
            const Vec3 at = s.position + s.velocity * (dt + s.fuse);
            m_shells[i] = m_shells.back();
            m_shells.pop_back();
            burst(at);
            continue;
        }
        s.position = s.position + s.velocity * dt;
        ++i;
    }
    Target& gun = owner();
    const bool automatic = ownerAirplane() == nullptr;
    if (!isEnabled() || !gun.isActive() || !gun.isAlive() || (!isFiring() && !automatic)) {
        m_pressed = false;
        return;
    }
    m_pressed = false;
    Target* t = target();
    if (!t)
        return;
    const int launcher = readyLauncher();
    if (launcher < 0 || static_cast<int>(m_shells.size()) >= kMaxShells || !takeAmmo())
        return;
    fireShell(launcher, *t);
    startReload(launcher);
}

void Flak::fireShell(int launcher, Target& t)
{
    const Vec3 from = mountPosition(launcher);
    const float speed = std::max(record().speed, 1.0f);
    const Vec3 aim = leadPointFast(from, t, speed);
    Vec3 to = aim - from;
    const float distance = vec3Length(to);
    if (distance < 1.0f)
        return;
    to = to * (1.0f / distance);
    const Vec3 dir = jitterDirection(to, record().spread);
    m_shells.push_back(Shell{from, dir * speed, distance / speed});
    owner().host().onGunShots(owner(), 1, 0);
}

void Flak::burst(const Vec3& at)
{
    spawnParticleEffect("flak_burst.psc", at);
    Target& gun = owner();
    const float radius = record().blastRadius > 0.0f ? record().blastRadius : record().splash_range;
    const int hits = applyAreaDamage(gun.host(), &gun, gun.team(), at, radius, blastDamageOf(record()), &record(), nullptr);
    if (hits > 0)
        gun.host().onGunShots(gun, 0, hits);
}
