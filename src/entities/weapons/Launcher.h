#pragma once
#include "entities/EntitySounds.h"
#include "entities/IEntityHost.h"
#include "entities/weapons/Missile.h"
#include "entities/weapons/MissileKinds.h"
#include "entities/weapons/Weapon.h"
#include "entities/weapons/WeaponMath.h"
#include "gamedata/records/WeaponCfg.h"

#include <algorithm>
#include <type_traits>

// A weapon that launches missiles of kind T: a press takes a ready launcher
// and sends a T after the locked target, or unguided without a lock; held,
// it fires again as launchers come ready. Multi-target kinds send one missile
// at each locked target.
template <typename T>
class Launcher : public Weapon {
public:
    using Weapon::Weapon;

    void update(float dt) override
    {
        Weapon::update(dt);
        if (!isEnabled() || (!isFiring() && !m_pressed))
            return;
        m_pressed = false;
        Target& shooter = owner();
        if (!shooter.isActive() || !shooter.isAlive())
            return;
        const int locked = isLocked() ? targetCount() : 0;
        const bool multi = type() == kWeaponMultiAir || type() == kWeaponMultiGround;
        const int salvo = multi ? std::max(locked, 1) : 1;
        for (int k = 0; k < salvo; ++k) {
            const int launcher = readyLauncher();
            if (launcher < 0)
                break;
            if (!takeAmmo())
                break;
            launch(launcher, locked > 0 ? targets()[k % locked] : nullptr);
            startReload(launcher);
        }
    }

    bool predictedImpact(Vec3& out) const override
    {
        if constexpr (std::is_same_v<T, SimpleMissile>) {
            if (record().subtype != SimpleMissile::Bomb)
                return false;
            const Vec3 v = owner().velocity() + fireDirection() * record().speed;
            float time = 0.0f;
            return predictBallisticImpact(owner().host(), mountPosition(0), v, record().life, out, time);
        } else {
            (void)out;
            return false;
        }
    }

private:
    void launch(int launcher, Target* target)
    {
        MissileLaunch l;
        l.record = &record();
        l.host = &owner().host();
        l.owner = &owner();
        l.target = target;
        l.position = mountPosition(launcher);
        l.direction = jitterDirection(fireDirection(), record().spread);
        l.platformVelocity = owner().velocity();
        l.weaponId = id();
        weaponLaunchPosition() = l.position;
        std::unique_ptr<T> missile = Missile::make<T>(l);
        if (!missile)
            return;
        if (isDropped()) {
            playSource(globalSources().bombRelease[0]);
            playSource(globalSources().bombDropHiss);
        } else {
            playSource(globalSources().missile);
        }
        owner().host().addMissile(std::move(missile));
    }
};
