#pragma once
#include "gamedata/map/MapEntities.h"
#include "gamedata/map/MapHooks.h"
#include "gamedata/map/MapTrigger.h"
#include "render/world/PropWorld.h"

#include <functional>
#include <map>
#include <memory>
#include <string_view>
#include <vector>

class ModelPropShape;
class Model;
class Terrain;
struct MapInfoCfg;

// The loaded map: terrain, item table, objects, triggers, waypoints, lakes and
// the worldspawn values. The game mode owns one for the level it plays
// (GameWorld::init at level start, MapLoader::loadEdt fills it, release at the
// level's end); entities keep pointers into its tables, which stay put until
// release.
//
// World space: y up, sea level at y = 0; the terrain is centred on the origin.
//
// The item table is also the props the renderer bakes (IPropWorld): every
// enabled item with a model is a prop; roads, runways and tunnels too, since
// their entities draw nothing of the ground piece.
class GameWorld : public IPropWorld {
public:
    static constexpr int kMaxItems = 2048;
    static constexpr float kSeaLevel = 0.0f;

    GameWorld();
    ~GameWorld() override;
    GameWorld(const GameWorld&) = delete;
    GameWorld& operator=(const GameWorld&) = delete;

    // Empty tables, no terrain, no map record; hooks are kept.
    void init();
    // Frees everything init builds.
    void release();

    // The hooks trigger actions call; null members do nothing.
    void setHooks(const MapHooks& hooks) { m_hooks = hooks; }
    const MapHooks& hooks() const { return m_hooks; }

    // What the loader fills.
    const MapInfoCfg* mapRecord() const { return m_record; }
    void setMapRecord(const MapInfoCfg* record) { m_record = record; }
    Worldspawn& worldspawn() { return m_worldspawn; }
    const Worldspawn& worldspawn() const { return m_worldspawn; }
    bool hasWorldspawn() const { return m_hasWorldspawn; }
    void setWorldspawn(const Worldspawn& values);
    // Null when the map has no height field (or it failed to load).
    const Terrain* terrain() const { return m_terrain.get(); }
    // The scene uploads and culls it.
    Terrain* terrain() { return m_terrain.get(); }
    void setTerrain(std::unique_ptr<Terrain> terrain);

    // Item table: kMaxItems at most. The new item's index, or -1 (item
    // dropped) when the table is full: an entity made for an item that was
    // not added keeps -1 as its item index, never an index past the table.
    int addItem(std::unique_ptr<EditorItem> item);
    int itemCount() const { return static_cast<int>(m_items.size()); }
    EditorItem* item(int index) const;
    // The first item with that model name ("runway_field.glm_0"); null when none.
    EditorItem* findItemByModel(std::string_view model) const;

    void addObject(std::unique_ptr<MapObject> object);
    int objectCount() const { return static_cast<int>(m_objects.size()); }
    MapObject* object(int index) const;
    MapObject* findObject(std::string_view name) const;

    // Mission triggers and landmarks together, in file order (the named list).
    void addTrigger(std::unique_ptr<MapTrigger> trigger);
    int triggerCount() const { return static_cast<int>(m_triggers.size()); }
    MapTrigger* trigger(int index) const;
    MapTrigger* findTrigger(std::string_view name) const;
    // The landmark list the per-frame check walks; entries leave it group by group.
    const std::vector<MapTrigger*>& landmarkTriggers() const { return m_landmarks; }

    void addWaypoint(const MapWaypoint& waypoint);
    const std::vector<MapWaypoint>& waypoints() const { return m_waypoints; }
    // The points of a path in their order.
    std::vector<Vec3> pathPoints(std::string_view path) const;

    void addLake(const MapLake& lake);
    const std::vector<MapLake>& lakes() const { return m_lakes; }

    // IPropWorld over the item table.
    std::size_t propCount() const override { return m_items.size(); }
    PropPlacement prop(std::size_t index) const override;

    // Heights. groundHeightAt: the terrain alone (0 without one).
    float groundHeightAt(float x, float z) const;
    // The ground, or the water surface where the point is over the sea or a
    // lake: never below sea level.
    float groundOrSeaHeightAt(float x, float z) const;
    float groundOrSeaHeightAt(const Vec3& point) const { return groundOrSeaHeightAt(point.x, point.z); }
    // The surface of the water a point would fall into: the highest lake that
    // covers it, else the sea. Says nothing of whether the ground there is dry.
    float waterLevelAt(float x, float z) const;
    // True when the point is over open water (sea or a lake) rather than land.
    bool isWaterAt(float x, float z) const;

    // The per-frame landmark check: every landmark containing the point (grown
    // by radius) is reported, then it and every landmark of its group leave
    // the list. Returns how many were reported.
    int checkLandmarks(const Vec3& point, float radius, const std::function<void(MapTrigger&)>& reached);

    // The campaign's world tick, once a frame of a mission: hands the map's
    // light and fog to the scene, then checks the enabled mission triggers
    // with the player's position and runs the actions of those whose
    // condition holds. dt is the frame's game time.
    void applySunAndFog(float dt);
    void applySunAndFog();  // with the frame clock's game step
    // The trigger half of that tick, alone: a match or a tutorial runs its
    // map's music, sounds and effects so. Effect points and landmarks never fire.
    void tickTriggers(float dt);
    // A new match on the same map: every trigger as the map gives it, free to
    // fire again from its start.
    void rearmTriggers();
    // Draw-time refresh: each object's gone state and each objective's done count.
    void notifyGroundTargets();
    // An entity leaves the world: no item or object links to it any more.
    void removeEntity(const IMapEntity* entity);
    // Enables a trigger; an objective registers with the HUD as it starts.
    void enableTrigger(MapTrigger& trigger, bool enabled);

    // What trigger actions last set, kept for checkpoints.
    float clock() const { return m_clock; }
    void setClock(float seconds) { m_clock = seconds; }
    bool playerLossAllowed = false;
    float sunValue = -1.0f;           // -1: never set by a trigger
    float countdownEnd = -1.0f;       // game clock when the countdown runs out; -1 hidden
    std::string countdownLabel;
    std::string music;                // file playing; empty when stopped
    bool musicLoops = false;

private:
    void startObjective(MapTrigger& trigger);

    MapHooks m_hooks;
    const MapInfoCfg* m_record = nullptr;
    Worldspawn m_worldspawn;
    bool m_hasWorldspawn = false;
    std::unique_ptr<Terrain> m_terrain;
    std::vector<std::unique_ptr<EditorItem>> m_items;
    std::vector<std::unique_ptr<MapObject>> m_objects;
    std::vector<std::unique_ptr<MapTrigger>> m_triggers;
    std::vector<MapTrigger*> m_landmarks;
    std::vector<MapWaypoint> m_waypoints;
    std::vector<MapLake> m_lakes;
    mutable std::map<const Model*, std::unique_ptr<ModelPropShape>> m_shapes;  // one per model, made on first use
    float m_clock = 0.0f;
};

// The default point of a tutorial waypoint, kept by the last loaded map.
const Vec3& dummyWaypointPoint();
void setDummyWaypointPoint(const Vec3& point);
