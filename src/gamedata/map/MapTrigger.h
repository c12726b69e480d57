#pragma once
#include "gamedata/map/MapHooks.h"
#include "platform/CSerializable.h"

#include <string>
#include <vector>

class GameWorld;
class MapObject;

// One thing a trigger does when it fires.
struct TriggerAction : CSerializable {
    enum Type {
        Notice,         // text: text key; value: seconds (negative: by length); target: icon
        Countdown,      // value: whole seconds; text: text key of the label
        HideCountdown,
        ClearMessages,  // notices, centre lines, warnings and the history
        Objective,      // registers the trigger named by target (or this one) and marks its objects
        Waypoint,       // a waypoint marker at the trigger named by target (or this one)
        AllowLoss,      // losing the player's airplane no longer fails the mission
        ForbidLoss,
        Win,            // value: reason text id
        Fail,
        Music,          // text: file; value: non-zero loops
        StopMusic,
        Sound,          // text: files separated by blanks
        Effect,         // text: effect file (.psc)
        Sun,            // value: time of day
        Weather,        // value: weather kind
        Spawn,          // target: object names separated by blanks
        Enable,         // target: trigger name
        Disable,
        Checkpoint,
        Comic,          // text: comic name
    };
    int type = Notice;
    std::string text;
    float value = 0.0f;
    std::string target;

    const char* typeName() const override { return "TriggerAction"; }
    void describe(SerMembers& members) override;
};

// What a game does to a trigger. A new match on the same map takes a fresh
// one whole, so whatever the last match's script left cannot carry over.
struct MapTriggerRun {
    bool fired = false;
    bool started = false;  // objective registered with the HUD
    float elapsed = 0.0f;  // seconds enabled
    int done = 0;          // listed objects gone
};

// A volume of the map with a condition and actions. Two uses:
//  - landmarks (landmark >= 0): the game mode's per-frame check pushes the
//    notice when the player enters, counts event 73 + landmark (up to 111)
//    and drops the whole group;
//  - mission triggers: checked by the world's mission tick, they fire once
//    when their condition holds and run their actions ("exec").
class MapTrigger : public CSerializable, public MapTriggerRun {
public:
    enum Shape { Sphere = 0, Box = 1, Cylinder = 2 };
    enum Kind { Script = 0, Objective = 6, WaypointMarker = 20 };
    enum Condition {
        Enter,      // the player's airplane inside (with its radius)
        Destroyed,  // every listed object gone
        Count,      // "total" of the listed objects gone
        Timer,      // "delay" seconds after it was enabled
        AfterTrigger,  // the trigger named in "after" has fired
        Lost,       // the player's airplane is gone
    };
    static constexpr int kLandmarkEventBase = 73;
    // The achievements name landmarks 0 to 38; one numbered past them shows
    // its notice and counts nothing.
    static constexpr int kLandmarkEventLast = 111;

    std::string name;
    int shape = Sphere;
    Vec3 pos;
    Vec3 size{1.0f, 1.0f, 1.0f};  // box: half extents; cylinder: y is the half height
    float radius = 1.0f;          // sphere and cylinder radius
    int group = -1;
    bool enabled = true;  // the map's value at first; Enable and Disable actions change it
    bool enabledInMap = true;  // as the map gives it, kept when the world takes the trigger
    int kind = Script;
    int landmark = -1;
    std::string notice;  // text key
    int noticeCount = 1;
    int condition = Enter;
    std::string objects;  // object names separated by blanks
    int total = 0;        // Count: how many must be gone; objectives: the panel's total (0: all listed)
    float delay = 0.0f;
    std::string after;
    CSerArray<TriggerAction> exec;

    std::vector<MapObject*> objectList;  // resolved at load

    const char* typeName() const override { return "MapTrigger"; }
    void describe(SerMembers& members) override;

    // The point lies inside the volume grown by extraRadius on every side.
    bool contains(const Vec3& point, float extraRadius) const;
    bool isLandmark() const { return landmark >= 0; }
    // A place where the map keeps an effect going from the level's start
    // (smoke over a burning town): named "effect_dummy...", never fired.
    bool isEffectPoint() const { return name.find("effect_dummy") != std::string::npos; }
    // The objective's total: "total", or every listed object.
    int targetTotal() const;
    // Counts the listed objects that are gone into done.
    void refreshDone();
    // True when the condition holds now; the player position is given when alive.
    bool conditionMet(const GameWorld& world, const Vec3* player, float playerRadius) const;
    // As at the map's start: enabled as the map gives, not fired, no time run.
    void rearm();
    // Runs every action through the world's hooks.
    void performActions(GameWorld& world);
    // Starts the effect of its Effect actions at its position.
    void spawnEffect(GameWorld& world);
};

// The 8-bit text of a text key for the countdown label; the key itself when unknown.
std::string mapLabelText(const std::string& key);
// The text of a key in the main string table; the key itself when the table lacks it.
std::u16string mapText(const std::string& key);
// Names of a blank-separated list.
std::vector<std::string> splitNames(std::string_view list);
