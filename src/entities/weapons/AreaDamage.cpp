#include "entities/weapons/AreaDamage.h"

#include "entities/IEntityHost.h"
#include "entities/Target.h"
#include "gamedata/records/WeaponCfg.h"

#include <cmath>
#include <vector>

int applyAreaDamage(IEntityHost& host, Target* owner, int team, const Vec3& centre, float radius, float damage,
                    const WeaponCfg* record, const Target* skip)
{
    if (!(radius > 0.0f) || !(damage > 0.0f) || !std::isfinite(radius) || !std::isfinite(damage))
        return 0;
    // Pick the victims first: the damage rule may end an entity's life and
    // the host may change its list while it reacts.
    std::vector<Target*> victims;
    for (Target* e : host.activeTargets()) {
        if (!e || e == skip || !e->isActive() || !e->isAlive() || !e->isTargetable())
            continue;
        if (team != kTeamNone && e->team() == team)
            continue;
        if (vec3DistanceSq(centre, e->position()) >= radius * radius + e->squaredRadius())
            continue;
        // The model confirms what the sphere found: a blast beside a deck or
        // under a bridge misses it.
        if (!entityCollisionTest(*e, centre, radius) || !e->ownHitCheck(centre, radius))
            continue;
        victims.push_back(e);
    }
    for (Target* e : victims)
        host.damageTarget(*e, owner, damage, e->hitPoint(record), record);
    return static_cast<int>(victims.size());
}

float blastDamageOf(const WeaponCfg& record) { return record.blastDamage > 0.0f ? record.blastDamage : record.damage; }
