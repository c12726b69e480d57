#pragma once
#include "platform/Math.h"

#include <memory>
#include <span>

class Airplane;
class CarrierDeck;
class Missile;
class Runway;
class Target;
class Weapon;
struct WeaponCfg;

// What entities need of the rules object that owns them: world queries,
// registration of what they create, and reports of what happened to them.
// The game mode implements it; tests and tools use a small deterministic host.
class IEntityHost {
public:
    virtual ~IEntityHost() = default;

    // Ground height under (x, z); 0 where there is no terrain or it lies below
    // the sea.
    virtual float groundHeightAt(float x, float z) const = 0;
    // The surface of the water under (x, z): a lake's level where the map has
    // one, the sea's 0 elsewhere. Whether there is water at all is the ground's
    // say: the ground lies above it on land.
    virtual float waterLevelAt(float /*x*/, float /*z*/) const { return 0.0f; }
    // The ground's normal under (x, z), for what stands on it (a burst on a
    // slope); straight up where there is no terrain or it lies below the sea.
    virtual Vec3 clampPointToTerrain(float /*x*/, float /*z*/) const { return {0.0f, 1.0f, 0.0f}; }
    // The runway whose box, widened by margin on every side, holds the point;
    // null when none.
    virtual Runway* findRunwayAt(const Vec3& point, float margin) = 0;
    // The flight deck of a carrier under a point (in plan); null when none.
    virtual CarrierDeck* findCarrierDeckAt(const Vec3& /*point*/) { return nullptr; }
    // The ground target (a tunnel) that shields a point; null in open air.
    virtual Target* findGroundTargetAt(const Vec3& point, float margin) = 0;
    // The airplane flown on this machine; null when there is none.
    virtual const Airplane* playerAirplane() const = 0;

    virtual void addWeapon(Weapon& weapon) = 0;
    // Called before the weapon is deleted.
    virtual void removeWeapon(Weapon& weapon) = 0;
    // The damage rule: the victim's hit reaction runs inside it.
    virtual void damageTarget(Target& victim, Target* attacker, float damage, const Vec3& hitPoint,
                              const WeaponCfg* weapon) = 0;

    // An achievement event that the airplane counts (took off, landed, ...).
    virtual void countEvent(const Airplane& airplane, int eventId) = 0;
    // A flight state was set; the host relays it to the other players.
    virtual void onFlightState(Airplane& airplane, int state, float time) = 0;
    // A missile closes in: launch flares and tell the other players.
    virtual void launchFlaresFor(Airplane& airplane) = 0;
    // Damage the local player took: the HUD's shake and the statistic.
    virtual void onPlayerDamaged(Airplane& airplane, float damage, int weaponType) = 0;

    // Whether a point lies within radius of a prop's collision shape
    // (buildings; trees when the map has solid ones). Missiles end there.
    virtual bool hitsProp(const Vec3& /*point*/, float /*radius*/) const { return false; }

    // The entities in play: lock searches, hit tests and area damage walk them.
    virtual std::span<Target* const> activeTargets() const = 0;
    // Takes a launched missile into the world; the host updates it with a
    // MissileSet and deletes it when it ends.
    virtual void addMissile(std::unique_ptr<Missile> missile) = 0;

    // What the statistics count; the host keeps only the local player's.
    virtual void onGunShots(const Target& /*shooter*/, int /*fired*/, int /*hits*/) {}
    virtual void onMissileHit(const Missile& /*missile*/) {}
    // A network client reports the hits of its own missiles to the host.
    virtual bool isNetworkClient() const { return false; }
    virtual void onWeaponHit(Target& /*victim*/, Target* /*attacker*/, int /*weaponId*/) {}
};
