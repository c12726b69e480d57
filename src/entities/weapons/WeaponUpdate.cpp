#include "entities/weapons/WeaponUpdate.h"

#include "entities/Target.h"
#include "entities/weapons/BulletPool.h"
#include "entities/weapons/Missile.h"
#include "entities/weapons/Weapon.h"

void updateWeapons(IEntityHost& host, std::span<Weapon* const> weapons, float dt)
{
    BulletPool& pool = BulletPool::instance();
    pool.beginFrame();
    for (Weapon* w : weapons)
        if (w && w->isEnabled() && w->owner().isActive())
            w->update(dt);
    pool.update(dt, host);
}

void loseTargetInWeapons(const Target* t)
{
    Weapon::forgetTargetEverywhere(t);
    Missile::loseTargetEverywhere(t);
}
