#include "entities/ground/GroundTargets.h"

#include "entities/ai/TargetAI.h"
#include "entities/ground/GroundTarget.h"
#include "entities/ground/SpecialGroundTarget.h"
#include "gamedata/map/GameWorld.h"
#include "gamedata/records/UnitList.h"

std::vector<std::unique_ptr<GroundTarget>> createGroundTargets(IEntityHost& host, GameWorld& world,
                                                               const WeaponList& weapons, float skill)
{
    std::vector<std::unique_ptr<GroundTarget>> made;
    for (int i = 0; i < world.objectCount(); ++i) {
        MapObject& o = *world.object(i);
        const bool groundKind = (o.kind >= 1 && o.kind <= 5) || (o.kind >= 7 && o.kind <= 11);
        if (!groundKind || !o.active || o.spawn != 0 || o.entity)
            continue;
        const UnitCfg* unit = UnitList::instance().findByName(o.unit);
        std::unique_ptr<GroundTarget> target;
        if (o.kind == 1)
            target = Target::create<SpecialGroundTarget>(host, o, unit);
        else
            target = Target::create<GroundTarget>(host, o, unit);
        if (!target)
            break;  // no target id left: the rest would fail alike
        target->mapObjectIndex = i;
        if (!o.path.empty())
            target->setPath(world.pathPoints(o.path), true);
        if (target->mountUnitWeapons(weapons) > 0)
            target->setAIController(TargetAI::create(*target, skill));
        made.push_back(std::move(target));
    }
    return made;
}
