#pragma once
#include "gamedata/map/MapHooks.h"
#include "platform/CSerializable.h"

#include <string>

class Model;

// The records of an .edt map file other than triggers. Each is a text record
// of its own in the file, so a broken one is skipped alone.

// The map's own values: "Worldspawn { ... }", once per file.
struct Worldspawn : CSerializable {
    Vec3 centre;                      // middle of the playing area
    float ceiling = 6000.0f;          // highest useful altitude
    Vec3 spawn{0.0f, 1500.0f, 0.0f};  // default spawn point
    Vec3 spawnAngles;                 // degrees, as item angles
    float startHeading = 0.0f;        // menu flight, degrees
    float startPitch = 0.0f;
    Vec3 dummyPoint;                  // default point of a tutorial waypoint
    Color4 lightColor{255, 244, 224, 255};
    float fogDensity = 0.0f;  // 0: the map record's fog start alone

    const char* typeName() const override { return "Worldspawn"; }
    void describe(SerMembers& members) override;
};

// One placed item: props, runways, roads, tunnels.
class EditorItem : public CSerializable {
public:
    enum Kind { kProp = 0, kRunway = 17, kTunnel = 21, kRoad = 22 };

    std::string name;
    int kind = kProp;
    std::string model;  // model name: "runway_field.glm_0" is object 0 of "runway_field.glm"
    Vec3 pos;
    Vec3 angles;        // degrees
    bool enabled = true;
    float attack = 1.0f, defence = 1.0f;  // damage factors of the entity made for it

    // Filled by the loader.
    Model* modelData = nullptr;  // null when the model did not load
    Mat4 matrix;
    Vec3 boxMin, boxMax;         // world-space box of the model
    IMapEntity* entity = nullptr;  // runway, road or tunnel made for it

    const char* typeName() const override { return "EditorItem"; }
    void describe(SerMembers& members) override;
    // Angles turn in the order: second, first, third.
    void updateMatrix();
    bool isRoad() const;
};

// One object of the mission or match: a unit, a base, an airplane start.
class MapObject : public CSerializable {
public:
    static constexpr int kStateGone = 1;

    MapObject() = default;
    // A placed object of a unit type made in code (the weapons tutorial's ship).
    explicit MapObject(std::string_view unitName);

    std::string name;
    std::string unit;   // unit record, at most 9 characters
    int kind = 3;       // target kind; 6 is a base
    int team = 255;     // 0 friends, 1 enemies, 255 neutral
    Vec3 pos;
    Vec3 angles;        // degrees
    bool active = true;
    int state = 0;      // kStateGone once destroyed
    float health = 1.0f;
    bool player = false;  // the player's start
    std::string squadron;  // AI airplanes of one squadron share it
    float skill = 0.5f;
    std::string path;    // waypoint path the AI follows
    int spawn = 0;       // 0: in play at the start; else brought in by a trigger

    // Filled by the loader or the spawner.
    Model* modelData = nullptr;
    Mat4 matrix;
    IMapEntity* entity = nullptr;

    const char* typeName() const override { return "MapObject"; }
    void describe(SerMembers& members) override;

    void setModel(Model* model) { modelData = model; }
    void setState(int value) { state = value; }
    // Moves it and rebuilds its transform.
    void setPosition(const Vec3& position);
    void updateMatrix();
    bool isGone() const { return state == kStateGone || (entity && entity->isGone()); }
};

// A point of an AI path; a path is its points in "order".
struct MapWaypoint : CSerializable {
    std::string name;
    std::string path;
    int order = 0;
    Vec3 pos;
    const char* typeName() const override { return "MapWaypoint"; }
    void describe(SerMembers& members) override;
};

// Water above sea level: a disc (radius) or, with a half size, a box.
struct MapLake : CSerializable {
    std::string name;
    Vec3 pos;            // centre; y unused
    float radius = 0.0f;
    Vec3 halfSize;       // x and z used when radius is 0
    float level = 0.0f;  // water surface height
    const char* typeName() const override { return "MapLake"; }
    void describe(SerMembers& members) override;
    bool covers(float x, float z) const;
};

// Orientation of map angles in degrees: second angle, then first, then third.
Mat4 mapAnglesMatrix(const Vec3& degrees, const Vec3& position);
