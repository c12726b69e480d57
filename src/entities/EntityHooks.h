#pragma once
#include "platform/Math.h"

#include <functional>

class Airplane;
class Parachute;

// Effects and sounds the entities start. Each hook does nothing until the
// effects and sound libraries fill it, so entities run headless meanwhile.
struct EntityFxHooks {
    // A particle effect by its .psc name at a point.
    std::function<void(const char* psc, const Vec3& at)> spawnEffect;
    // Smoke (level 1) or fire (level 2) on a damaged airplane; 0 stops both.
    std::function<void(Airplane&, int level)> damageEffects;
    // The wreck: kind 1 in the air, 2 on the ground; role 2 for the player.
    std::function<void(Airplane&, int gibsKind, int viewerRole)> createWreck;
    // The parachute of an ejected pilot; null when none could be made.
    std::function<Parachute*(Airplane&)> createParachute;
    std::function<void(Airplane&)> launchFlares;
    std::function<void(Airplane&)> sonicBoom;
    // A hit on the player's airplane (gun hits mark the screen).
    std::function<void(bool gunHit)> screenHit;
};

struct EntitySoundHooks {
    // A one-shot game sound by name ("land", "takeoff", "engine_explode", ...),
    // 3-D at the point.
    std::function<void(const char* name, const Vec3& at)> play;
    // The engine loop of an airplane: pitch factor and volume 0..1.
    std::function<void(const Airplane&, float pitch, float volume)> engine;
};

EntityFxHooks& entityFx();
EntitySoundHooks& entitySound();

// Calls that skip an empty hook.
void fxSpawn(const char* psc, const Vec3& at);
void soundPlay(const char* name, const Vec3& at);
