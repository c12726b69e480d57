#pragma once
#include "platform/Math.h"

#include <functional>

class Machinegun;
class Missile;
class MissileTrail;
class SmokeWeapon;

// The weapons' effects that the effects library does not make yet. Each hook
// does nothing until it is filled, so weapons run headless. Sounds are direct
// calls into the sound library.
struct WeaponFxHooks {
    // The smoke ribbon behind a guided missile or a rocket; null when none was made.
    std::function<MissileTrail*(Missile&)> createTrail;
    // Called when the missile ends: the trail takes a last point and fades alone.
    std::function<void(Missile&, MissileTrail*)> detachTrail;
    // The show-trail switch of a missile.
    std::function<void(MissileTrail*, bool)> showTrail;
    // Dust thrown up where the laser strikes the ground.
    std::function<void(const Vec3& at)> dirtShots;
    // The gun smoke switch of a machine gun.
    std::function<void(Machinegun&, bool on)> gunSmoke;
    // The coloured smoke of the acrobatic smoke weapon.
    std::function<void(SmokeWeapon&, bool on)> smoke;
};

WeaponFxHooks& weaponFx();
