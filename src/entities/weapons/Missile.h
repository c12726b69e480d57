#pragma once
#include "entities/IGameEntity.h"
#include "effects/AircraftFx.h"

#include <cstdint>
#include <memory>

class IEntityHost;
class MissileTrail;
class Target;
struct WeaponCfg;

// What a launcher hands a new missile.
struct MissileLaunch {
    const WeaponCfg* record = nullptr;
    IEntityHost* host = nullptr;
    Target* owner = nullptr;
    Target* target = nullptr;  // null: unguided
    Vec3 position;
    Vec3 direction{0.0f, 0.0f, -1.0f};  // unit
    Vec3 platformVelocity;              // the launcher's own velocity
    int weaponId = -1;                  // the launching weapon (its id in the weapon table)
};

// A launched weapon object: guided missiles, rockets, bombs and torpedoes.
// Every live missile holds an id of the 256-entry missile table; a target
// that leaves the world is forgotten by all of them at once.
class Missile : public IGameEntity, public ITrailSource {
public:
    // Distance added to the target's radius for the proximity fuse.
    static constexpr float kFuseMargin = 10.0f;
    static constexpr float kLaunchAge = 0.5f;
    // The pursuit term takes over when the target lies this far off the nose
    // (cosine): proportional navigation alone turns too little there.
    static constexpr float kPursuitCosine = 0.5f;
    static constexpr float kNavigationConstant = 3.0f;

    explicit Missile(const MissileLaunch& launch);
    ~Missile() override;
    Missile(const Missile&) = delete;
    Missile& operator=(const Missile&) = delete;

    // Builds a missile of kind T; null (logged) when no missile id is free.
    template <typename T>
    static std::unique_ptr<T> make(const MissileLaunch& launch)
    {
        auto m = std::make_unique<T>(launch);
        if (!m->hasId()) {
            reportNoId();
            return nullptr;
        }
        return m;
    }
    int id() const { return m_id; }
    bool hasId() const { return m_id >= 0; }

    // One step: true when it detonated on a target.
    bool updateFlight(float dt);
    // IGameEntity
    void update(float dt) override { (void)updateFlight(dt); }
    const Vec3& position() const override { return m_position; }
    Vec3 velocity() const override { return m_direction * m_speed; }
    std::u16string displayName(bool) const override { return {}; }
    bool isAlive() const override { return m_life > 0.0f; }
    float health() const override { return 1.0f; }
    float maxHealth() const override { return 1.0f; }
    float radius() const override { return 1.0f; }
    bool canBeTargeted() const override { return false; }

    virtual bool isTorpedo() const { return false; }
    // Whether the kind homes at all.
    virtual bool isGuided() const { return true; }
    virtual bool canExplodeOnWater() const { return true; }
    // The chance (0..1) that a flare does not pull the missile off its target.
    virtual float decoyResistance() const { return 1.0f; }
    // The cruise sound follows the missile.
    void updateSound();

    Target* owner() const { return m_owner; }
    Target* target() const { return m_target; }
    int ownerTeam() const { return m_ownerTeam; }
    const WeaponCfg& record() const { return *m_record; }
    int weaponId() const;
    IEntityHost& host() const { return *m_host; }
    const Vec3& direction() const { return m_direction; }
    float speed() const { return m_speed; }
    float age() const { return m_age; }
    float remainingLife() const { return m_life; }
    float distanceToTarget() const { return m_distanceToTarget; }
    bool isDecoyed() const { return m_decoyed; }
    // The entity it struck, for the caller's effects and counts; null when none.
    Target* struckTarget() const { return m_struck; }
    void setAge(float age) { m_age = age; }

    // The target or owner leaves the world: the missile forgets it and flies on.
    void forget(const Target* t);
    static void forgetEverywhere(const Target* t);
    // Every missile aiming at t loses it (t is taken out of play).
    static void loseTargetEverywhere(const Target* t);
    // Loses the target (impact, decoy, host's removal).
    void dropTarget();

    MissileTrail* trail = nullptr;
    bool visible = true;
    std::uint8_t onScreen = 0;  // written by the trail
    void showTrail(bool on);
    // The missile's end on what it hit: it moves there, and the trail takes
    // that point as its last and fades alone.
    void endTrailAt(const Vec3& point);
    // ITrailSource
    Vec3 trailPosition() const override { return m_position; }
    Vec3 trailDirection() const override { return m_direction; }
    float trailAge() const override { return m_age; }
    void setTrailOnScreen(bool on) override { onScreen = on ? 1 : 0; }
    void trailGone() override { trail = nullptr; }

protected:
    // Turns the direction toward the goal by proportional navigation, within
    // the turn rate.
    void steerToward(const Vec3& goal, const Vec3& goalVelocity, float turnRate, float h);
    // The kind's guidance and motion for one step; the base flies straight.
    virtual void guide(float h);
    virtual void move(float h);
    // The goal a guided kind steers to; false when it flies unguided.
    bool currentGoal(Vec3& goal, Vec3& goalVelocity);
    virtual float turnRateScale() const { return 1.0f; }
    float turnRate() const;
    void rollForDecoys();
    // The swept hit test of the last step; true when it struck something.
    bool testHits(const Vec3& from, float h);
    void detonateOn(Target& victim, const Vec3& at);
    void createTrail();

    IEntityHost* m_host;
    const WeaponCfg* m_record;
    Target* m_owner;
    Target* m_target;
    int m_ownerTeam;
    int m_weaponId;
    Vec3 m_position;
    Vec3 m_direction;
    Vec3 m_velocity;  // free-falling kinds
    float m_speed = 0.0f;
    float m_age = kLaunchAge;
    float m_life;
    float m_distanceToTarget = 0.0f;
    int m_decoyIndex = -1;
    bool m_decoyed = false;
    std::uint32_t m_decoySerial = 0;
    std::uint32_t m_flareSerial = 0;
    Target* m_struck = nullptr;

private:
    static void reportNoId();
    int m_id;
};
