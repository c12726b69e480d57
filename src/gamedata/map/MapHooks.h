#pragma once
#include "platform/Math.h"

#include <string>
#include <string_view>

class MapObject;
class MapTrigger;

// What the map needs of a game entity made for one of its items or objects
// (a runway, a ground target, an airplane). The entities implement it; the map
// only keeps the pointer and asks these questions.
class IMapEntity {
public:
    virtual ~IMapEntity() = default;
    // True once the entity is destroyed or out of play for good.
    virtual bool isGone() const = 0;
    // Target kind (0 airplane, 2..5 land units, 8..11 naval, 17 runway ...).
    virtual int targetKind() const = 0;
    // Icon variant among units of one kind; -1 without one.
    virtual int targetVariant() const { return -1; }
    virtual int team() const = 0;
};

// The HUD message queue as map triggers drive it. Filled by the screens
// library; every call does nothing until then.
class IMapHud {
public:
    virtual ~IMapHud() = default;
    // Icon given to the notices pushed while it is non-zero.
    virtual void setNoticeIcon(int /*icon*/) {}
    // A centre notice; a negative duration keeps the one by length.
    virtual void pushNotice(std::u16string_view /*text*/, float /*duration*/) {}
    // Whole seconds and a label; kHiddenCountdown hides it.
    virtual void setCountdown(float /*seconds*/, const char* /*label*/) {}
    // Empties the notice, centre-line and warning lists and the notice history.
    virtual void clearMessages() {}
    // Adds an objective trigger to the side panel (32 at most, the queue's rule).
    virtual void registerObjective(MapTrigger& /*trigger*/) {}
    static constexpr float kHiddenCountdown = -1000.0f;
};

// Music and sounds of trigger actions. SoundMapAudio (MapAudio.h) plays them
// through the sound system and is what a world uses by default.
class IMapAudio {
public:
    virtual ~IMapAudio() = default;
    // Opens the file on the global music source (after stopping it).
    virtual void playMusic(const std::string& /*file*/, bool /*loop*/) {}
    virtual void stopMusic() {}
    // One streamed source that deletes itself when done.
    virtual void playSound(const std::string& /*file*/) {}
};

// The game mode and scene services the map calls. Filled by the modes library.
class IMapHost {
public:
    virtual ~IMapHost() = default;
    // The player's airplane: false when there is none or it is not alive.
    virtual bool playerPosition(Vec3& /*position*/, float& /*radius*/) const { return false; }
    virtual void endMission(bool /*won*/, int /*reasonTextId*/) {}
    virtual void setPlayerLossAllowed(bool /*allowed*/) {}
    // Time of day 0.04..0.96 for the scene.
    virtual void setSunValue(float /*value*/) {}
    // The map's light color and fog density, each frame of a campaign mission.
    virtual void applyLightAndFog(const Color4& /*light*/, float /*fogStart*/, float /*fogDensity*/) {}
    virtual void startWeather(int /*kind*/) {}
    virtual void saveCheckpoint() {}
    virtual void showComic(const std::string& /*name*/) {}
    // Counts an achievement event (landmarks: 73 + the landmark's number).
    virtual void countEvent(int /*eventId*/) {}
    // A particle effect (.psc under "data/FX/") standing at a point.
    virtual void spawnEffect(const std::string& /*effect*/, const Vec3& /*position*/) {}
    // Makes the entity of an object a trigger brings into play (its skill is
    // scaled by the mode's third difficulty scale there).
    virtual void spawnObject(MapObject& /*object*/) {}
    // Marks an object of a started objective as a goal (the objective flag of
    // its HUD marker), whether or not its entity is in play yet.
    virtual void markGoal(MapObject& /*object*/) {}
    // A kind-20 waypoint marker tracking the trigger's position.
    virtual void addWaypointMarker(MapTrigger& /*trigger*/) {}
};

// The hooks a world calls. A null HUD or host does nothing, so a world works
// (and is tested) before the libraries above exist; a null audio plays
// through the sound system.
struct MapHooks {
    IMapHud* hud = nullptr;
    IMapAudio* audio = nullptr;
    IMapHost* host = nullptr;

    IMapHud& hudOrNone() const;
    IMapAudio& audioOrNone() const;  // the sound system's when none is set
    IMapHost& hostOrNone() const;
};
