#pragma once
#include "entities/IEntityHost.h"
#include "entities/Target.h"

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

    Runway& addRunway(const Vec3& position, float heading, const Vec3& halfExtents);
    Tunnel& addTunnel(const Mat4& matrix, const Vec3& bore, float modelRadius);
    // Takes the airplane into the world; false (and the airplane dropped)
    // when it has no id.
    Airplane* add(std::unique_ptr<Airplane> airplane);
    void setPlayer(const Airplane* player) { m_player = player; }
    // Runs every active airplane for dt, then the crash and death checks.
    void step(float dt);

    float groundHeightAt(float x, float z) const override;
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

    bool campaign = false;
    std::vector<int> events;
    std::vector<Crash> crashes;
    std::vector<Weapon*> weapons;
    int flareSalvos = 0;
    int flightStateReports = 0;
    float playerDamageTaken = 0.0f;

    bool crashed(const Target& target) const;
    const std::vector<std::unique_ptr<Airplane>>& airplanes() const { return m_airplanes; }

private:
    std::vector<std::unique_ptr<Airplane>> m_airplanes;
    std::vector<std::unique_ptr<Runway>> m_runways;
    std::vector<std::unique_ptr<Tunnel>> m_tunnels;
    const Airplane* m_player = nullptr;
};
