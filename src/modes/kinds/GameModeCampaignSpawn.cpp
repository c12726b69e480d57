#include "modes/kinds/GameModeCampaign.h"

#include "entities/ai/AirplaneAI.h"
#include "entities/aircraft/Airplane.h"
#include "entities/ground/GroundTarget.h"
#include "entities/ground/SpecialGroundTarget.h"
#include "gamedata/map/GameWorld.h"
#include "gamedata/records/PlaneList.h"
#include "gamedata/records/UnitList.h"
#include "gamedata/records/WeaponList.h"
#include "platform/Settings.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr float kDegToRad = 3.14159265f / 180.0f;

bool isGroundKind(int kind) { return kind >= 1 && kind <= 11; }

// The gun and the two special weapons: the player's chosen ones over the plane's own.
void mountLoadout(Airplane& airplane, bool chosen)
{
    const PlaneCfg* cfg = airplane.planeRecord;
    if (!cfg)
        return;
    const WeaponList& weapons = WeaponList::instance();
    const std::string* own[3] = {&cfg->pGunWeapon, &cfg->sp_weapon0, &cfg->sp_weapon1};
    for (int slot = 0; slot < 3; ++slot) {
        const int id = chosen ? settings().weaponLoadout[static_cast<std::size_t>(slot)] : -1;
        const WeaponCfg* w = id >= 0 ? weapons.findById(id) : nullptr;
        if (!w)
            w = weapons.findByName(*own[slot]);
        if (w)
            (void)airplane.mountWeapon(*w, slot);
    }
}

}  // namespace

MapObject* GameModeCampaign::objectOf(const Target& entity) const
{
    const auto it = m_objectOf.find(&entity);
    return it == m_objectOf.end() ? nullptr : it->second;
}

std::vector<Target*> GameModeCampaign::goalTargets(const MapTrigger& trigger) const
{
    std::vector<Target*> out;
    for (const auto& [entity, object] : m_objectOf)
        if (std::find(trigger.objectList.begin(), trigger.objectList.end(), object) != trigger.objectList.end() &&
            entity->isActive() && entity->isAlive())
            out.push_back(const_cast<Target*>(entity));
    // The map's order, not the hash table's.
    std::sort(out.begin(), out.end(), [&](const Target* a, const Target* b) {
        const auto pos = [&](const Target* t) {
            return std::find(trigger.objectList.begin(), trigger.objectList.end(), objectOf(*t)) -
                   trigger.objectList.begin();
        };
        return pos(a) < pos(b);
    });
    return out;
}

Squadron* GameModeCampaign::squadronNamed(const std::string& name)
{
    if (name.empty())
        return nullptr;
    if (auto it = m_squadronOf.find(name); it != m_squadronOf.end())
        return it->second;
    Squadron* s = addSquadron(std::make_unique<Squadron>());
    m_squadronOf.emplace(name, s);
    return s;
}

Airplane* GameModeCampaign::spawnAirplane(MapObject& object)
{
    const PlaneList& planes = PlaneList::instance();
    const PlaneCfg* cfg = planes.findByName(object.unit);
    // The player flies the mission's plane unless the briefing chose another.
    if (object.player && chosenPlaneId >= 0)
        for (int i = 0; i < planes.count(); ++i)
            if (planes.at(i)->plane_id == chosenPlaneId)
                cfg = planes.at(i);
    if (!cfg)
        return nullptr;
    const float skill =
        object.player ? 0.0f : std::clamp(object.skill * difficultyScales[2], 0.05f, 1.0f);
    const PlanePaint paint = object.player ? settings().paintAt(cfg->plane_id) : PlanePaint{};
    Squadron* squadron = squadronNamed(object.squadron);
    Airplane* a = createAirplane(object.player ? &paint : nullptr, cfg->plane_id, object.team, skill, squadron, true);
    if (!a)
        return nullptr;
    mountLoadout(*a, object.player);
    // The pilot's level follows the object's skill as the difficulty scales it.
    if (!object.player)
        a->aiLevel = std::clamp(static_cast<int>(skill * 10.0f), 0, 10);
    if (object.player)
        a->pilotName = u"Pilot";
    respawnAirplane(*a, 0.0f, &object.pos);
    const Mat4 m = mapAnglesMatrix(object.angles, object.pos);
    const Vec3 facing = vec3NormalizeOr(Vec3{-m.m[8], 0.0f, -m.m[10]}, Vec3{0.0f, 0.0f, -1.0f});
    a->setOrientation(quatFromAngleY(std::atan2(facing.x, facing.z)));
    a->setSpeed(a->record().pCruiseSpeed);
    a->setThrottleForSpeed(a->record().pCruiseSpeed);
    if (squadron && (!squadron->leader() || object.player))
        setSquadronLeader(a, squadron);
    if (auto* ai = dynamic_cast<AirplaneAI*>(a->aiController()); ai && !object.path.empty() && m_world)
        ai->waypoints = m_world->pathPoints(object.path);
    if (object.player)
        setPlayerAirplane(a);
    a->linkMapObject(object);
    return a;
}

Target* GameModeCampaign::spawnFromObject(MapObject& object, int index)
{
    for (const auto& [entity, made] : m_objectOf)
        if (made == &object)
            return nullptr;  // in play already
    Target* made = nullptr;
    if (object.kind == 0) {
        made = spawnAirplane(object);
    } else if (isGroundKind(object.kind)) {
        const UnitCfg* unit = UnitList::instance().findByName(object.unit);
        std::unique_ptr<GroundTarget> target = object.kind == 1
                                                   ? Target::create<SpecialGroundTarget>(*this, object, unit)
                                                   : Target::create<GroundTarget>(*this, object, unit);
        if (!target)
            return nullptr;
        target->mapObjectIndex = index;
        if (!object.path.empty() && m_world)
            target->setPath(m_world->pathPoints(object.path), true);
        if (target->mountUnitWeapons(WeaponList::instance()) > 0)
            target->setAIController(TargetAI::create(*target, std::clamp(object.skill * difficultyScales[2], 0.05f, 1.0f)));
        made = addPlayerAirplane(std::move(target), false);
    }
    if (made) {
        m_objectOf[made] = &object;
        // Brought in after its objective started: it is a goal from the first frame.
        if (isGoal(object))
            m_hooks.hudOrNone().markObjective(*made);
    }
    return made;
}

void GameModeCampaign::spawnMission(GameWorld& world)
{
    for (int i = 0; i < world.objectCount(); ++i) {
        MapObject& o = *world.object(i);
        if (o.active && o.spawn == 0 && !o.isGone())
            (void)spawnFromObject(o, i);
    }
}

void GameModeCampaign::spawnObject(MapObject& object)
{
    if (!m_world)
        return;
    for (int i = 0; i < m_world->objectCount(); ++i)
        if (m_world->object(i) == &object) {
            (void)spawnFromObject(object, i);
            return;
        }
}

void GameModeCampaign::markGoal(MapObject& object)
{
    for (const auto& [entity, made] : m_objectOf)
        if (made == &object) {
            m_hooks.hudOrNone().markObjective(*entity);
            return;
        }
}

bool GameModeCampaign::isGoal(const MapObject& object) const
{
    if (!m_world)
        return false;
    for (int i = 0; i < m_world->triggerCount(); ++i) {
        const MapTrigger* t = m_world->trigger(i);
        if (t && t->kind == MapTrigger::Objective && t->started && t->enabled &&
            std::find(t->objectList.begin(), t->objectList.end(), &object) != t->objectList.end())
            return true;
    }
    return false;
}

void GameModeCampaign::addWaypointMarker(MapTrigger& trigger)
{
    for (const auto& waypoint : m_triggerWaypoints)
        if (waypoint->trigger() == &trigger)
            return;
    m_triggerWaypoints.push_back(std::make_unique<TriggerWaypoint>(trigger, trigger.pos, trigger.radius));
    showWaypointMarker(*m_triggerWaypoints.back());
}
