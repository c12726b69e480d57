#include "gamedata/map/GameWorld.h"

#include "gamedata/map/MapAudio.h"
#include "gamedata/records/MapInfoCfg.h"
#include "platform/Clock.h"
#include "render/assets/Model.h"
#include "render/world/ModelPropShape.h"
#include "render/world/Terrain.h"

#include <algorithm>
#include <cmath>

namespace {
Vec3 g_dummyWaypoint;
IMapHud g_noHud;
SoundMapAudio g_soundAudio;
IMapHost g_noHost;
}  // namespace

IMapHud& MapHooks::hudOrNone() const { return hud ? *hud : g_noHud; }
IMapAudio& MapHooks::audioOrNone() const { return audio ? *audio : g_soundAudio; }
IMapHost& MapHooks::hostOrNone() const { return host ? *host : g_noHost; }

const Vec3& dummyWaypointPoint() { return g_dummyWaypoint; }
void setDummyWaypointPoint(const Vec3& point) { g_dummyWaypoint = point; }

GameWorld::GameWorld() = default;
GameWorld::~GameWorld() = default;

void GameWorld::init()
{
    release();
    m_items.reserve(kMaxItems);
}

void GameWorld::release()
{
    m_record = nullptr;
    m_worldspawn = Worldspawn{};
    m_hasWorldspawn = false;
    m_terrain.reset();
    m_items.clear();
    m_objects.clear();
    m_triggers.clear();
    m_landmarks.clear();
    m_waypoints.clear();
    m_lakes.clear();
    m_shapes.clear();
    m_clock = 0.0f;
    playerLossAllowed = false;
    sunValue = -1.0f;
    countdownEnd = -1.0f;
    countdownLabel.clear();
    music.clear();
    musicLoops = false;
}

void GameWorld::setWorldspawn(const Worldspawn& values)
{
    m_worldspawn = values;
    m_hasWorldspawn = true;
    setDummyWaypointPoint(values.dummyPoint);
}

void GameWorld::setTerrain(std::unique_ptr<Terrain> terrain) { m_terrain = std::move(terrain); }

int GameWorld::addItem(std::unique_ptr<EditorItem> item)
{
    if (!item || itemCount() >= kMaxItems)
        return -1;
    m_items.push_back(std::move(item));
    return itemCount() - 1;
}

EditorItem* GameWorld::item(int index) const
{
    return index >= 0 && index < itemCount() ? m_items[static_cast<std::size_t>(index)].get() : nullptr;
}

EditorItem* GameWorld::findItemByModel(std::string_view model) const
{
    for (const auto& item : m_items)
        if (item->model == model)
            return item.get();
    return nullptr;
}

void GameWorld::addObject(std::unique_ptr<MapObject> object)
{
    if (object)
        m_objects.push_back(std::move(object));
}

MapObject* GameWorld::object(int index) const
{
    return index >= 0 && index < objectCount() ? m_objects[static_cast<std::size_t>(index)].get() : nullptr;
}

MapObject* GameWorld::findObject(std::string_view name) const
{
    for (const auto& object : m_objects)
        if (object->name == name)
            return object.get();
    return nullptr;
}

void GameWorld::addTrigger(std::unique_ptr<MapTrigger> trigger)
{
    if (!trigger)
        return;
    trigger->enabledInMap = trigger->enabled;
    trigger->objectList.clear();
    for (const std::string& name : splitNames(trigger->objects))
        if (MapObject* object = findObject(name))
            trigger->objectList.push_back(object);
    if (trigger->isLandmark())
        m_landmarks.push_back(trigger.get());
    m_triggers.push_back(std::move(trigger));
}

MapTrigger* GameWorld::trigger(int index) const
{
    return index >= 0 && index < triggerCount() ? m_triggers[static_cast<std::size_t>(index)].get() : nullptr;
}

MapTrigger* GameWorld::findTrigger(std::string_view name) const
{
    if (name.empty())
        return nullptr;
    for (const auto& trigger : m_triggers)
        if (trigger->name == name)
            return trigger.get();
    return nullptr;
}

PropPlacement GameWorld::prop(std::size_t index) const
{
    PropPlacement placement;
    if (index >= m_items.size())
        return placement;
    const EditorItem& item = *m_items[index];
    if (!item.enabled || !item.modelData)
        return placement;
    auto& shape = m_shapes[item.modelData];
    if (!shape)
        shape = std::make_unique<ModelPropShape>(*item.modelData);
    placement.shape = shape.get();
    placement.matrix = item.matrix;
    // Runways are landed on, roads rolled over and tunnels flown through.
    placement.solid = item.kind != EditorItem::kRunway && item.kind != EditorItem::kTunnel && !item.isRoad();
    return placement;
}

void GameWorld::addWaypoint(const MapWaypoint& waypoint) { m_waypoints.push_back(waypoint); }

std::vector<Vec3> GameWorld::pathPoints(std::string_view path) const
{
    std::vector<const MapWaypoint*> points;
    for (const MapWaypoint& waypoint : m_waypoints)
        if (waypoint.path == path)
            points.push_back(&waypoint);
    std::stable_sort(points.begin(), points.end(),
                     [](const MapWaypoint* a, const MapWaypoint* b) { return a->order < b->order; });
    std::vector<Vec3> out;
    out.reserve(points.size());
    for (const MapWaypoint* waypoint : points)
        out.push_back(waypoint->pos);
    return out;
}

void GameWorld::addLake(const MapLake& lake) { m_lakes.push_back(lake); }

float GameWorld::groundHeightAt(float x, float z) const
{
    return m_terrain && !m_terrain->empty() ? m_terrain->heightAt(x, z) : 0.0f;
}

float GameWorld::groundOrSeaHeightAt(float x, float z) const
{
    return std::fmax(groundHeightAt(x, z), waterLevelAt(x, z));
}

float GameWorld::waterLevelAt(float x, float z) const
{
    float level = kSeaLevel;
    for (const MapLake& lake : m_lakes)
        if (lake.covers(x, z))
            level = std::fmax(level, lake.level);
    return level;
}

bool GameWorld::isWaterAt(float x, float z) const
{
    const float ground = groundHeightAt(x, z);
    if (ground < kSeaLevel)
        return true;
    for (const MapLake& lake : m_lakes)
        if (lake.covers(x, z) && lake.level >= ground)
            return true;
    return false;
}

int GameWorld::checkLandmarks(const Vec3& point, float radius, const std::function<void(MapTrigger&)>& reached)
{
    int count = 0;
    for (std::size_t i = 0; i < m_landmarks.size();) {
        MapTrigger* trigger = m_landmarks[i];
        if (!trigger->enabled || !trigger->contains(point, radius)) {
            ++i;
            continue;
        }
        ++count;
        if (reached)
            reached(*trigger);
        const int group = trigger->group;
        std::erase_if(m_landmarks, [&](MapTrigger* t) { return t == trigger || (group >= 0 && t->group == group); });
        i = 0;  // the list changed under the index
    }
    return count;
}

void GameWorld::applySunAndFog() { applySunAndFog(gameStep()); }

void GameWorld::applySunAndFog(float dt)
{
    IMapHost& host = m_hooks.hostOrNone();
    const float fogStart = m_record ? m_record->fogStart : 3000.0f;
    host.applyLightAndFog(m_worldspawn.lightColor, fogStart, m_worldspawn.fogDensity);
    tickTriggers(dt);
}

void GameWorld::rearmTriggers()
{
    for (const auto& trigger : m_triggers)
        trigger->rearm();
}

void GameWorld::tickTriggers(float dt)
{
    IMapHost& host = m_hooks.hostOrNone();
    if (!std::isfinite(dt) || dt < 0.0f)
        dt = 0.0f;
    m_clock += dt;
    Vec3 player;
    float radius = 0.0f;
    const bool alive = host.playerPosition(player, radius);
    // Actions may enable, disable or fire other triggers; they are checked
    // on the next tick, so one tick's results do not depend on file order.
    std::vector<MapTrigger*> firing;
    for (const auto& trigger : m_triggers) {
        if (!trigger->enabled || trigger->fired || trigger->isLandmark() || trigger->isEffectPoint())
            continue;
        trigger->elapsed += dt;
        if (trigger->kind == MapTrigger::Objective) {
            // Objectives enabled from the start register once their entities exist.
            if (!trigger->started)
                startObjective(*trigger);
            trigger->refreshDone();
        }
        if (trigger->conditionMet(*this, alive ? &player : nullptr, radius))
            firing.push_back(trigger.get());
    }
    for (MapTrigger* trigger : firing) {
        trigger->fired = true;
        trigger->performActions(*this);
    }
}

void GameWorld::notifyGroundTargets()
{
    for (const auto& object : m_objects)
        if (object->entity && object->entity->isGone())
            object->state = MapObject::kStateGone;
    for (const auto& trigger : m_triggers)
        if (trigger->kind == MapTrigger::Objective)
            trigger->refreshDone();
}

void GameWorld::removeEntity(const IMapEntity* entity)
{
    if (!entity)
        return;
    for (const auto& item : m_items)
        if (item->entity == entity)
            item->entity = nullptr;
    for (const auto& object : m_objects)
        if (object->entity == entity)
            object->entity = nullptr;
}

void GameWorld::enableTrigger(MapTrigger& trigger, bool enabled)
{
    // Enabled again after a pause, it waits and fires anew (the rescue over
    // home waters, armed again once the pilot flies again).
    if (enabled && !trigger.enabled) {
        trigger.elapsed = 0.0f;
        trigger.fired = false;
    }
    trigger.enabled = enabled;
    if (enabled && trigger.kind == MapTrigger::Objective && !trigger.started)
        startObjective(trigger);
}

void GameWorld::startObjective(MapTrigger& trigger)
{
    trigger.started = true;
    trigger.refreshDone();
    m_hooks.hudOrNone().registerObjective(trigger);
    IMapHost& host = m_hooks.hostOrNone();
    for (MapObject* object : trigger.objectList)
        host.markGoal(*object);
}
