#pragma once
#include "entities/ai/TargetAI.h"
#include "platform/Math.h"

#include <optional>
#include <vector>

class Airplane;
class MapObject;
class Weapon;

// What the pilot is doing; stored as these numbers (the modes set 3 and 4).
enum class Manoeuvre : int {
    Navigate = 0,   // goal point, waypoints, the leader's slot, or cruise
    Patrol = 1,     // search for a target
    Attack = 2,
    Formation = 3,
    BreakAway = 4,  // scatter from the leader, then patrol
    Evade = 5,      // break across an incoming missile
    Recover = 6,    // pull up, clear of the ground
};

// An AI pilot. Its level (0..10, the airplane's AI level) sets how fast it
// reacts, how well it aims, how long it waits for a missile lock and how hard
// it pulls. Whatever it does, a terrain guard looking ahead along the
// velocity comes first.
class AirplaneAI : public TargetAI {
public:
    static constexpr float kSearchRange = 10000.0f;
    static constexpr float kGunRange = 900.0f;
    static constexpr float kBreakAwayTime = 8.0f;
    // An escort engages enemies this near the friend it flies with.
    static constexpr float kEscortRadius = 2500.0f;
    // Seconds of flight the terrain guard looks ahead.
    static constexpr float kLookAhead = 5.0f;
    // An airplane that has just come into play is no one's pick yet: a player
    // joining or respawning next to a fight gets a moment to see it first.
    static constexpr float kSpawnGrace = 4.0f;
    // How far the player's autopilot at the head of its wingmen holds its
    // course from where it took over before it comes round.
    static constexpr float kHoldRadius = 8000.0f;
    // How near a missile comes before the player's autopilot breaks from it.
    static constexpr float kAutopilotBreakRange = 900.0f;
    // A fight at an airplane that gives no chance to shoot this long is a
    // stalemate: the pilot breaks off and looks for another enemy first for
    // a while, or two pilots circle each other out of the match.
    static constexpr float kStalemateTime = 40.0f;
    static constexpr float kStalemateShun = 20.0f;

    AirplaneAI(Airplane& plane, float skill);

    Airplane& plane() { return *m_plane; }
    int level() const;
    Manoeuvre state() const { return m_state; }
    void setState(Manoeuvre state);
    // Runs the manoeuvre of the current state once (the tutorials set the state first).
    void runManoeuvre();

    void update(float dt) override;
    void reset() override;
    void forget(const Target& t) override;
    void setParameter(int index, float value) override;
    // The goal point, else the waypoint it flies to.
    const Vec3* navigationPoint() const override;

    // Orders from the modes.
    Target* target = nullptr;        // to attack, or a friend to escort
    Target* attackTarget = nullptr;  // a second target (the flag games' goal)
    std::optional<Vec3> goalPoint;
    // Guarding: engage enemies within engageRadius of the point, let go of
    // them beyond releaseRadius; radii below 0 switch it off.
    Vec3 guardPoint;
    float guardEngageRadius = -1.0f;
    float guardReleaseRadius = -1.0f;
    std::vector<Target*> guardList;
    void setGuard(const Vec3& point, float engage, float release);
    // Guards a map object (a base) where it stands.
    void setGuard(const MapObject& object, float engage, float release);
    const MapObject* guardObject = nullptr;
    void clearGuard();
    bool isGuarding() const { return guardEngageRadius > 0.0f; }
    // A guard's enemy farther from the guarded point than the release radius.
    bool pastGuardLeash(const Target& t) const;
    std::vector<Vec3> waypoints;
    float aggression = 0.5f;
    float caution = 0.5f;
    bool mayFire = true;
    bool mayEvade = true;

    // What the pilot is fighting now; null when none.
    Target* engaged() const { return m_engaged; }
    // Tests and the combat simulation read these.
    int terrainSaves() const { return m_terrainSaves; }

private:
    // Per-level values.
    float reactionTime() const;
    float aimError() const;
    float pullAuthority() const;
    float cruiseSpeed() const;

    bool terrainGuard(float dt);
    Vec3 safePoint(Vec3 point) const;
    void steer(const Vec3& point, float speed, float authority = 1.0f);
    void navigate();
    void patrol(float dt);
    void attack(float dt);
    void attackAir(Target& t);
    void attackGround(Target& t);
    void formation();
    void breakAway();
    void evade();
    bool threatened() const;
    // How near a missile comes before the pilot breaks from it.
    float breakRange() const;
    // The player's autopilot leading wingmen that are not sent to attack.
    bool leadsPlayersFormation() const;
    Target* search() const;
    bool usable(const Target* t) const;
    static bool justSpawned(const Target& t);
    bool isEnemy(const Target& t) const;
    void fireGuns(bool on);
    void fireMissiles(Target& t, bool ground);
    void holdFire();
    void followSquadron();

    Airplane* m_plane;
    Manoeuvre m_state = Manoeuvre::Patrol;
    Manoeuvre m_resume = Manoeuvre::Patrol;
    Target* m_engaged = nullptr;
    // The enemy of a fight broken off, looked for last while the shun lasts.
    const Target* m_shunned = nullptr;
    float m_shunTimer = 0.0f;
    // Seconds the current air fight has gone without a chance to shoot.
    const Target* m_fightTarget = nullptr;
    float m_noShotTime = 0.0f;
    float m_time = 0.0f;
    float m_dt = 0.0f;  // of the frame being run
    float m_stateTime = 0.0f;
    float m_searchTimer = 0.0f;
    float m_reactTimer = 0.0f;
    float m_lockHeld = 0.0f;
    float m_recoverClear = 0.0f;
    std::size_t m_waypoint = 0;
    Vec3 m_breakDirection;
    Vec3 m_home;  // where the pilot took over
    Vec3 m_aimJitter;
    float m_jitterTimer = 0.0f;
    bool m_gunsOn = false;
    Vec3 m_lastSlot;
    Vec3 m_slotVelocity;
    bool m_haveLastSlot = false;
    bool m_droppedThisFrame = false;
    int m_terrainSaves = 0;
};
