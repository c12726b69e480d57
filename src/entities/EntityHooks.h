#pragma once
#include "platform/Math.h"

#include <functional>

class Airplane;
class Parachute;

// Effects the entities start that the effects library does not make yet.
// Each hook does nothing until it is filled, so entities run headless meanwhile.
// Particle effects and sounds are direct calls (spawnParticleEffect,
// EntitySounds.h).
struct EntityFxHooks {
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

EntityFxHooks& entityFx();
