#pragma once
#include "entities/TargetDraw.h"
#include "entities/Target.h"
#include "platform/Math.h"

#include <array>
#include <memory>
#include <vector>

class Airplane;
struct WeaponCfg;

// The launch point of the last weapon fired; network readers pass it on with
// the launch message.
Vec3& weaponLaunchPosition();

// A weapon mounted in one of a target's eight slots: its launchers with their
// reload timers, its ammunition and, for weapons that lock, the list of
// locked targets and the lock timer.
class Weapon {
public:
    // The longest target list: a multi-target weapon locks one target a launcher.
    static constexpr int kMaxTargets = 16;
    // Half-angle of the lock cone around the nose, radians.
    static constexpr float kLockCone = 0.35f;
    static constexpr float kMultiLockCone = 0.5f;
    // The most of an overdue reload carried into the next one (about a long frame).
    static constexpr float kMaxCarry = 0.1f;

    Weapon(const WeaponCfg& record, Target& owner, int group, int id);
    virtual ~Weapon();
    Weapon(const Weapon&) = delete;
    Weapon& operator=(const Weapon&) = delete;

    const WeaponCfg& record() const { return *m_record; }
    int type() const;
    int group() const { return m_group; }  // the tag given at mounting: 0, 1 or 2
    int id() const { return m_id; }
    Target& owner() { return *m_owner; }
    const Target& owner() const { return *m_owner; }
    // The owner when it is an airplane (guns and launchers on the nose); null on the ground.
    Airplane* ownerAirplane() const { return m_ownerPlane; }
    // The weapon of a weapon id; null when it is gone.
    static Weapon* byId(int id);

    bool isEnabled() const { return m_enabled; }
    void enable(bool on) { m_enabled = on; }
    bool isShown() const { return m_shown; }
    void setShown(bool on) { m_shown = on; }
    bool isFiring() const { return m_firing; }
    // Pressing or releasing the trigger; kinds start or stop their fire here.
    virtual void setFiring(bool on);
    // Releases the trigger; a gun also resets.
    virtual void releaseTrigger();

    // Launchers whose timer is below 0 are ready.
    const std::vector<float>& launcherTimers() const { return m_launchers; }
    bool hasLaunchers() const { return !m_launchers.empty(); }
    bool isReady() const;
    bool isReloading() const { return !isReady(); }
    // 0 just fired .. 1 ready, of the launcher nearest to ready.
    float reloadProgress() const;
    // Guns and rockets can be linked to fire with another group.
    bool canLink() const;

    // Rounds or missiles left; -1 when unlimited.
    int ammo() const { return m_ammo; }
    bool hasAmmo() const { return m_ammo != 0; }

    // Locks. The list is null-terminated and holds at most lockSlots() entries.
    int lockSlots() const;
    Target* const* targets() const { return m_targets.data(); }
    int targetCount() const;
    Target* target() const { return m_targets[0]; }
    bool hasTarget(const Target* t) const;
    float lockTimer() const { return m_lockTimer; }
    bool isLocking() const { return m_targets[0] && m_lockTimer > 0.0f; }
    bool isLocked() const { return m_targets[0] && m_lockTimer <= 0.0f; }
    int lockKind() const;
    // Removes a target from the list; later entries move down.
    void removeTarget(const Target* t);
    void clearTargets();
    // Removes a target from every weapon's list and forgets it as an owner's aim.
    static void forgetTargetEverywhere(const Target* t);
    // The class a lock search asks for; Any with no search for kinds that do not lock.
    TargetClass searchClass() const;
    float lockRange() const;
    // Whether the target could be locked now: in range, class and cone, of
    // another team and in play.
    bool canLock(const Target& t) const { return isLockable(t); }
    // A pilot's own pick for a one-target lock: the lock starts over on it
    // when it can be locked and is not the target already.
    void lockOn(Target& t);

    // Aim for owners without a nose (ground units): the unit direction the
    // weapon fires along; zero to fire along the owner's nose.
    void setAimDirection(const Vec3& direction) { m_aim = direction; }
    Vec3 fireDirection() const;
    // A mount point in the world, for launcher or gun i.
    Vec3 mountPosition(int index) const;

    // Lock search and the lock timer; run for the enabled weapons each frame.
    virtual void updateTargeting(float dt);
    virtual void update(float dt);
    // Clears the trigger, the timers and any lock (respawn, taken out).
    virtual void reset();
    // Refills ammunition; full also makes every launcher ready.
    virtual void refill(bool full);
    // Where a released bomb would land now; false for other weapons.
    virtual bool predictedImpact(Vec3& out) const;
    // The ring on the ground where a bomb would land, for the owner's view;
    // true when drawn (a bomb weapon that is enabled and has a landing point).
    bool drawBombMarker(const DrawView& view);

    bool isGun() const;
    bool needsLock() const;
    // A bomb or a torpedo: let go to fall rather than launched.
    bool isDropped() const;
    // The HUD icon.
    int iconIndex() const;

    using Factory = std::unique_ptr<Weapon> (*)(const WeaponCfg& record, Target& owner, int group, int id);
    // Replaces the kinds' factory (tests); null restores it.
    static void setFactory(Factory factory);
    // The weapon of the record's kind; null when no weapon id is free or the
    // kind makes nothing.
    static std::unique_ptr<Weapon> create(const WeaponCfg& record, Target& owner, int group);
    // The kinds' own factory.
    static std::unique_ptr<Weapon> makeKind(const WeaponCfg& record, Target& owner, int group, int id);

protected:
    // Takes one round; false when none is left.
    bool takeAmmo();
    // The index of a ready launcher, -1 when none.
    int readyLauncher() const;
    // Makes t the only entry of the target list (weapons that aim without a lock time).
    void setSingleTarget(Target* t);
    // Starts launcher i's reload.
    void startReload(int index);
    Vec3 ownerForward() const;
    bool inLockCone(const Target& t) const;
    bool isLockable(const Target& t) const;

    std::vector<float> m_launchers;
    bool m_pressed = false;  // a press not yet served

private:
    const WeaponCfg* m_record;
    Target* m_owner;
    Airplane* m_ownerPlane;
    int m_group;
    int m_id;
    int m_ammo = -1;
    bool m_enabled = true;
    bool m_shown = true;
    bool m_firing = false;
    float m_lockTimer = 0.0f;
    Vec3 m_aim;
    std::array<Target*, kMaxTargets + 1> m_targets{};
};
