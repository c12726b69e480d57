#pragma once
#include "entities/IEntityHost.h"
#include "entities/Target.h"
#include "entities/weapons/MissileSet.h"

#include <functional>
#include <memory>
#include <vector>

class Airplane;
class Runway;
class Tunnel;

// A deterministic stand-in for the game mode: flat ground (or a height
// function), runways, tunnels, the airplanes it steps, and the crash and
// damage rules applied the way the game mode applies them.
class SimHost : public IEntityHost {
public:
    struct Crash {
        const Target* target;
        CrashCause cause;
    };

    SimHost();
    ~SimHost() override;

    std::function<float(float x, float z)> heightFunction;  // empty: flat land at 0; below 0 is sea
    // Where the surface under a point is water (a map's sea and lakes); empty:
    // where the height function is below 0.
    std::function<bool(float x, float z)> waterFunction;
    // The water's surface height under a point (a lake above the sea); empty: the sea's 0.
    std::function<float(float x, float z)> waterLevelFunction;

    Runway& addRunway(const Vec3& position, float heading, const Vec3& halfExtents);
    Tunnel& addTunnel(const Mat4& matrix, const Vec3& bore, float modelRadius);
    // Takes the airplane into the world; false (and the airplane dropped)
    // when it has no id.
    Airplane* add(std::unique_ptr<Airplane> airplane);
    // Any other target (ships, vehicles, drones); a plain target moves along
    // its velocity, a ground target by its own path.
    Target* addTarget(std::unique_ptr<Target> target);
    // Removes an airplane or target the way the game mode does: it leaves
    // play at once and is deleted after the frame's update. Called between
    // frames it is deleted at once.
    void remove(Target* target);
    // Forgets and deletes the targets removed during the frame; step() ends
    // with it.
    void deleteRemoved();
    void setPlayer(const Airplane* player) { m_player = player; }
    // Runs every active airplane and target for dt, the crash and death
    // checks, the flares, the missiles and the weapons.
    void step(float dt);
    MissileSet& missiles() { return m_missiles; }

    float groundHeightAt(float x, float z) const override;
    float waterLevelAt(float x, float z) const override { return waterLevelFunction ? waterLevelFunction(x, z) : 0.0f; }
    Runway* findRunwayAt(const Vec3& point, float margin) override;
    Target* findGroundTargetAt(const Vec3& point, float margin) override;
    const Airplane* playerAirplane() const override { return m_player; }
    void addWeapon(Weapon& weapon) override;
    void removeWeapon(Weapon& weapon) override;
    void damageTarget(Target& victim, Target* attacker, float damage, const Vec3& hitPoint,
                      const WeaponCfg* weapon) override;
    void countEvent(const Airplane& airplane, int eventId) override;
    void onFlightState(Airplane& airplane, int state, float time) override;
    void launchFlaresFor(Airplane& airplane) override;
    void onPlayerDamaged(Airplane& airplane, float damage, int weaponType) override;
    std::span<Target* const> activeTargets() const override { return m_active; }
    void addMissile(std::unique_ptr<Missile> missile) override;
    void onGunShots(const Target& shooter, int fired, int hits) override;
    void onMissileHit(const Missile& missile) override;
    // Props as boxes (buildings); a point within radius of one hits it.
    struct PropBox {
        Vec3 lo, hi;
    };
    std::vector<PropBox> props;
    bool hitsProp(const Vec3& point, float radius) const override;
    // Carrier decks airplanes may come down on.
    std::vector<CarrierDeck*> decks;
    CarrierDeck* findCarrierDeckAt(const Vec3& point) override;

    bool campaign = false;
    // Removes what the damage rule destroys, as a mode does with a target
    // that is out for good.
    bool removeKilled = false;
    std::vector<int> events;
    std::vector<Crash> crashes;
    std::vector<Weapon*> weapons;
    int flareSalvos = 0;
    int flightStateReports = 0;
    float playerDamageTaken = 0.0f;
    int shotsFired = 0, shotsHit = 0;  // the player's
    int missilesLaunched = 0, missilesHit = 0;  // everyone's
    struct Hit {
        const Target* victim;
        const Target* attacker;
        float damage;  // after the rules
    };
    std::vector<Hit> hits;

    bool crashed(const Target& target) const;
    const std::vector<std::unique_ptr<Airplane>>& airplanes() const { return m_airplanes; }

private:
    void stepEntities(float dt);
    void rebuildActive();

    std::vector<std::unique_ptr<Airplane>> m_airplanes;
    std::vector<std::unique_ptr<Target>> m_targets;
    std::vector<Target*> m_active;
    MissileSet m_missiles{*this};
    std::vector<std::unique_ptr<Runway>> m_runways;
    std::vector<std::unique_ptr<Tunnel>> m_tunnels;
    const Airplane* m_player = nullptr;
    bool m_inFrame = false;
};
