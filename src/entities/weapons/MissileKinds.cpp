#include "entities/weapons/MissileKinds.h"

#include "entities/IEntityHost.h"
#include "entities/Target.h"
#include "entities/weapons/Weapon.h"
#include "entities/weapons/WeaponMath.h"
#include "gamedata/records/WeaponCfg.h"

#include <algorithm>
#include <cmath>

AllAspectMissile::AllAspectMissile(const MissileLaunch& launch) : Missile(launch) { createTrail(); }

JointStrikeMissile::JointStrikeMissile(const MissileLaunch& launch) : Missile(launch) { createTrail(); }

MultiAAMissile::MultiAAMissile(const MissileLaunch& launch) : Missile(launch) { createTrail(); }

MultiAGMissile::MultiAGMissile(const MissileLaunch& launch) : Missile(launch) { createTrail(); }

RadarGuidedMissile::RadarGuidedMissile(const MissileLaunch& launch) : Missile(launch) { createTrail(); }

void RadarGuidedMissile::guide(float h)
{
    if (!m_target && !isDecoyed())
        return;
    const Weapon* launcher = Weapon::byId(m_weaponId);
    const bool lockHeld = m_target && launcher && m_owner && &launcher->owner() == m_owner &&
                          launcher->isLocked() && launcher->hasTarget(m_target);
    if (m_target && !lockHeld) {
        m_withoutLock += h;
        if (m_withoutLock > kLockGrace)
            dropTarget();
        return;
    }
    m_withoutLock = 0.0f;
    Missile::guide(h);
}

AlienQuickMissile::AlienQuickMissile(const MissileLaunch& launch) : Missile(launch)
{
    m_speed += m_record->speed * (kSpeedScale - 1.0f);
    m_velocity = m_direction * m_speed;
    createTrail();
}

SimpleMissile::SimpleMissile(const MissileLaunch& launch)
    : Missile(launch), m_subtype(static_cast<Subtype>(std::clamp(launch.record->subtype, 0, 2)))
{
    if (m_subtype == Rocket) {
        createTrail();
        return;
    }
    // Bombs and torpedoes leave with the airplane's velocity.
    m_velocity = launch.platformVelocity + m_direction * m_record->speed * (m_subtype == Bomb ? 1.0f : 0.0f);
    m_speed = vec3Length(m_velocity);
    if (m_speed > 1e-3f)
        m_direction = m_velocity * (1.0f / m_speed);
}

void SimpleMissile::move(float h)
{
    if (m_subtype == Rocket) {
        Missile::move(h);
        return;
    }
    if (m_running) {
        m_position = m_position + m_direction * (m_speed * h);
        // Off a lake's edge the level drops to the sea's, below the shore: it runs aground.
        m_position.y = m_host->waterLevelAt(m_position.x, m_position.z) + kTorpedoDepth;
        return;
    }
    // Free fall; exact for a constant pull, so the bomb sight's prediction holds.
    const Vec3 g{0.0f, -kGravity, 0.0f};
    m_position = m_position + m_velocity * h + g * (0.5f * h * h);
    m_velocity = m_velocity + g * h;
    m_speed = vec3Length(m_velocity);
    if (m_speed > 1e-3f)
        m_direction = m_velocity * (1.0f / m_speed);
    const float water = m_subtype == Torpedo ? m_host->waterLevelAt(m_position.x, m_position.z) : 0.0f;
    if (m_subtype == Torpedo && m_position.y <= water) {
        // In the water: level out and run at the torpedo's own speed.
        Vec3 flat{m_direction.x, 0.0f, m_direction.z};
        if (vec3Dot(flat, flat) < 1e-6f)
            flat = {0.0f, 0.0f, -1.0f};
        m_direction = vec3Normalize(flat);
        m_speed = std::max(m_record->speed, 1.0f);
        m_velocity = m_direction * m_speed;
        m_position.y = water + kTorpedoDepth;
        m_running = true;
    }
}

std::unique_ptr<Missile> makeMissile(const MissileLaunch& launch)
{
    if (!launch.record || !launch.host)
        return nullptr;
    switch (launch.record->type) {
    case kWeaponAllAspect:
        return Missile::make<AllAspectMissile>(launch);
    case kWeaponJointStrike:
        return Missile::make<JointStrikeMissile>(launch);
    case kWeaponMultiAir:
        return Missile::make<MultiAAMissile>(launch);
    case kWeaponMultiGround:
        return Missile::make<MultiAGMissile>(launch);
    case kWeaponRadarGuided:
        return Missile::make<RadarGuidedMissile>(launch);
    case kWeaponAlienQuick:
        return Missile::make<AlienQuickMissile>(launch);
    case kWeaponSimple:
        return Missile::make<SimpleMissile>(launch);
    default:
        return nullptr;
    }
}
