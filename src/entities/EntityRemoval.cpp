#include "entities/EntityRemoval.h"

#include "entities/Target.h"
#include "entities/TimedPoints.h"
#include "entities/ai/TargetAI.h"
#include "entities/weapons/BulletPool.h"
#include "entities/weapons/Missile.h"
#include "entities/weapons/Weapon.h"

void forgetTarget(Target& gone)
{
    Target::forEachTarget([&](Target& other) {
        if (&other != &gone)
            other.dropReferencesTo(gone);
    });
    Weapon::forgetTargetEverywhere(&gone);
    Missile::forgetEverywhere(&gone);
    BulletPool::instance().forget(&gone);
    TimedPoints::instance().forgetOwner(&gone);
    // AI controllers and squadrons: their targets, leaders, guards and members.
    forgetTargetInAI(gone);
}

void forgetSquadron(const Squadron& gone)
{
    Target::forEachTarget([&](Target& t) {
        if (t.squadron == &gone)
            t.squadron = nullptr;
    });
}
