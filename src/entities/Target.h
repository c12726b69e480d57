#pragma once
#include "entities/EntityHandle.h"
#include "entities/IGameEntity.h"
#include "entities/TargetDraw.h"

#include <array>
#include <cstdint>
#include <memory>
#include <span>
#include <string>

class IEntityHost;
class Weapon;
class Squadron;
class TargetAI;
struct PlaneCfg;
struct WeaponCfg;
struct AirplaneNetState;

// What a target is; stored and sent as these numbers.
enum class TargetKind : int {
    Airplane = 0,
    AirTarget = 1,  // special flying targets
    Building = 2,
    LandUnit = 3,
    Vehicle = 4,
    Vehicle2 = 5,
    Base = 6,
    Other = 7,
    Submarine = 8,
    Ship = 9,
    Ship2 = 10,
    Carrier = 11,
    Missile = 16,
    Runway = 17,
    Flag = 19,
    Waypoint = 20,
    Tunnel = 21,
    Road = 22,
};

// The classes a weapon or a search asks for.
enum class TargetClass : int { Any = 0, Air = 1, Naval = 2, Land = 3 };

enum class LifeState : int { Alive = 0, Dying = 1, Destroyed = 3 };

// Why an entity left the sky.
enum class CrashCause : int {
    None = 0,
    Ground = 1,
    Water = 2,
    Collision = 3,
    Prop = 4,
    KilledByDamage = 5,
    CollisionPair = 6,
};

// 0 flown on this machine; 1 remote; 2 a client's airplane on the host.
enum class NetworkRole : int { Local = 0, Remote = 1, RemoteClient = 2 };

constexpr int kTeamNone = 255;
constexpr int kWeaponSlots = 8;
constexpr int kMaxTargetIds = 256;

// Everything that can be targeted, damaged and destroyed. Each target holds
// an id from the 256-entry table; one made while the table is full has id -1
// and must not enter the world (create() refuses it).
class Target : public IGameEntity {
public:
    Target(IEntityHost& host, TargetKind kind, int team);
    ~Target() override;
    Target(const Target&) = delete;
    Target& operator=(const Target&) = delete;

    // Builds a target and returns null (logged) when no id was free.
    template <typename T, typename... Args>
    static std::unique_ptr<T> create(Args&&... args)
    {
        auto target = std::make_unique<T>(std::forward<Args>(args)...);
        if (!target->hasId()) {
            reportNoId();
            return nullptr;
        }
        return target;
    }

    int id() const { return m_id; }
    bool hasId() const { return m_id >= 0; }
    // Takes over an id chosen elsewhere (the host's numbering); false, and
    // the old id kept, when it is out of range or in use. Handles made
    // before the change no longer resolve.
    bool takeOverId(int id);
    // Unique for the run of the program, never 0: tells this target from a
    // later one that gets the same id.
    std::uint32_t serial() const { return m_serial; }
    EntityHandle handle() const { return EntityHandle(this); }
    // The live target holding an id; null when none does.
    static Target* byId(int id);
    // Visits every live target that has an id. The visitor must not create
    // or delete targets.
    template <typename F>
    static void forEachTarget(F&& visit)
    {
        for (Target* t : registry())
            if (t)
                visit(*t);
    }

    // The first step of leaving the world (see EntityRemoval.h): the target
    // can no longer be targeted or damaged, and the host deletes it after the
    // frame's update.
    void markForRemoval() { m_removalMarked = true; }
    bool isMarkedForRemoval() const { return m_removalMarked; }
    // Another target leaves the world: clear every link to it. Kinds that
    // keep more links extend this.
    virtual void dropReferencesTo(const Target& gone);

    TargetKind kind() const { return m_kind; }
    int team() const { return m_team; }
    void setTeam(int team) { m_team = team; }
    IEntityHost& host() { return *m_host; }
    const IEntityHost& host() const { return *m_host; }

    // IGameEntity
    const Vec3& position() const override { return m_position; }
    Vec3 velocity() const override { return m_velocity; }
    std::u16string displayName(bool withTeam) const override;
    bool isAlive() const override { return m_lifeState == LifeState::Alive; }
    float health() const override { return m_health; }
    float maxHealth() const override { return m_maxHealth; }
    float radius() const override { return m_radius; }
    bool canBeTargeted() const override { return isTargetable(); }
    void update(float dt) override;

    void setPosition(const Vec3& p) { m_position = p; }
    void setVelocity(const Vec3& v) { m_velocity = v; }
    void setHealth(float h) { m_health = h; }
    void setMaxHealth(float h) { m_maxHealth = h; }
    void setRadius(float r) { m_radius = r; }
    float squaredRadius() const { return m_radius * m_radius; }
    float speed() const { return m_speed; }

    LifeState lifeState() const { return m_lifeState; }
    LifeState getLifeState() const { return m_lifeState; }
    virtual void setLifeState(LifeState state) { m_lifeState = state; }
    bool isTargetable() const { return m_targetable && !m_removalMarked; }
    virtual void setTargetable(bool on) { m_targetable = on; }
    bool isActive() const { return m_active; }
    // Entering (true) or leaving (false) play.
    virtual void setActive(bool on) { m_active = on; }

    // Heading vector: pitch, yaw and roll rates, each -1..1 of its maximum.
    // The yaw component is positive to the left.
    virtual Vec3 headingVector() const { return {}; }
    virtual int maxDrawClass() const { return 4; }
    virtual bool isGroundTarget() const { return false; }
    virtual bool matchesClass(TargetClass c) const;
    virtual bool isSubjectToGroundCrashes() const { return false; }
    virtual bool isSubjectToPropCrashes() const { return false; }
    // The target's own hit test after the sphere test passed.
    virtual bool ownHitCheck(const Vec3& point, float radius) const;
    // Whether a sphere around the point meets the target's model as it
    // stands; true for a target without a model.
    virtual bool modelContact(const Vec3& /*point*/, float /*radius*/) const { return true; }
    // Whether a crash of this cause counts (a landed airplane ignores the ground).
    virtual bool acceptsCrashCause(CrashCause cause) const;
    // The point a hit by a weapon of this record lands on.
    virtual Vec3 hitPoint(const WeaponCfg* weapon) const;
    virtual bool isLargeAirplane() const { return false; }
    virtual int rank() const { return 0; }

    // What the game mode tells a target.
    virtual void onHit(const Vec3& hitPoint, int weaponType, Target* attacker, float damage);
    virtual void onDestroyed(CrashCause cause);
    virtual void onRespawn() {}
    virtual void onTeamChanged(bool resetScores);
    virtual void onTakenOut();
    virtual void resetState() {}

    // Drawing. The scene calls drawIn and drawHeatDistortionIn; they draw
    // nothing for a target out of play or marked for removal, outside its distance class (the draw
    // class the game mode sets, 0 or above maxDrawClass) or wholly behind the
    // eye, and otherwise call the kind's own draw.
    bool isDrawnIn(const DrawView& view) const;
    // How far from its position the drawn target reaches.
    virtual float drawRadius() const { return m_radius; }
    void drawIn(const DrawView& view, DrawPass pass);
    void drawHeatDistortionIn(const DrawView& view);
    // Per-frame motion that only shows (propellers, cloth); runs for every
    // target in play, drawn or not.
    virtual void updateVisual(float /*dt*/) {}
    DrawGroup drawGroup = DrawGroup::MapEntities;

    // The network state, decoded: false from targets that send none; the
    // airplane applies what it is given (already checked and clamped).
    virtual bool netState(AirplaneNetState& out) const;
    virtual bool applyNetState(const AirplaneNetState& state);
    // The index a network record names a map entity by: its map item, or for
    // a unit placed from a map object that object's index; -1 for none.
    virtual int networkItem() const { return mapItem; }
    // A network entity record for a map entity; targets placed from the map accept.
    virtual bool acceptsNetworkRecord() const { return networkItem() >= 0; }

    // The AI pilot or gunner; null when none. The target owns it; a new one
    // replaces (deletes) the old.
    TargetAI* aiController() const { return m_ai.get(); }
    void setAIController(std::unique_ptr<TargetAI> ai);
    // Runs the controller, when there is one, for the frame. The host calls
    // it once a frame, before the entity's update; the update never does.
    void runAI(float dt);

    // Weapons: up to eight, each with the tag (group) it was mounted with.
    // False, and nothing made, when the index names no weapon, all eight
    // slots are full or no weapon id is free.
    bool addWeapon(int weaponIndex, int tag);
    // The same for a record at hand (ground units' own guns, tools).
    bool mountWeapon(const WeaponCfg& record, int tag);
    // Deletes the weapons carrying the tag, telling the host first.
    void removeWeaponsWithTag(int tag);
    void removeAllWeapons();
    Weapon* weapon(int slot);
    const Weapon* weapon(int slot) const;
    int weaponCount() const;

    // Fields the game mode reads and writes each frame.
    int drawClass = 1;
    float cameraDistanceSq = 0.0f;
    float groundHeight = 0.0f;
    const IGameEntity* incomingMissile = nullptr;
    Target* lastAttacker = nullptr;
    Target* rememberedTarget = nullptr;
    float rememberTime = 0.0f;
    float respawnTimer = 0.0f;  // -1 = out for good
    float timeSinceRespawnExpiry = 0.0f;
    NetworkRole networkRole = NetworkRole::Local;
    CrashCause deathCause = CrashCause::None;
    int mapItem = -1;
    Squadron* squadron = nullptr;
    // The order of the squadron the player's airplane led when it left play;
    // -1 when it led none. It leads again with that order on its return.
    int storedSquadronOrder = -1;
    bool checksCollisions = true;
    bool inPlay = true;
    int markerColorIndex = -1;
    std::uint8_t hitReport = 0;  // set by a hit; the HUD marker clears it when it flashes
    std::u16string pilotName;
    const PlaneCfg* planeRecord = nullptr;

protected:
    static void reportNoId();
    static std::array<Target*, kMaxTargetIds>& registry();
    // The kind's draws, called only for a target that is in view.
    virtual void draw(const DrawView& /*view*/, DrawPass /*pass*/) {}
    virtual void drawHeatDistortion(const DrawView& /*view*/) {}

    Vec3 m_position;
    Vec3 m_velocity;
    float m_speed = 0.0f;
    float m_health = 1.0f;
    float m_maxHealth = 1.0f;
    float m_radius = 10.0f;

private:
    IEntityHost* m_host;
    TargetKind m_kind;
    int m_team;
    int m_id;
    std::uint32_t m_serial;
    bool m_removalMarked = false;
    LifeState m_lifeState = LifeState::Alive;
    bool m_targetable = true;
    bool m_active = false;
    std::array<std::unique_ptr<Weapon>, kWeaponSlots> m_weapons;
    std::unique_ptr<TargetAI> m_ai;
};

// The model check of a contact or a blast: the entity's model meets the
// sphere around the point.
inline bool entityCollisionTest(const Target& entity, const Vec3& point, float radius)
{
    return entity.modelContact(point, radius);
}
