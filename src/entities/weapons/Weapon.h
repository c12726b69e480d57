#pragma once
#include <memory>
#include <vector>

struct WeaponCfg;
class Target;

// A weapon mounted in one of a target's eight slots. This base holds what the
// slots, the HUD and the network read; the weapon kinds (guns, launchers,
// flak) derive from it and replace the factory below.
class Weapon {
public:
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

    bool isEnabled() const { return m_enabled; }
    void enable(bool on) { m_enabled = on; }
    bool isFiring() const { return m_firing; }
    // Pressing or releasing the trigger; kinds start or stop their fire here.
    virtual void setFiring(bool on) { m_firing = on; }
    // Launchers whose timer is below 0 are ready.
    const std::vector<float>& launcherTimers() const { return m_launchers; }
    bool isReady() const;

    virtual void updateTargeting(float) {}
    virtual void update(float dt);
    // Clears the trigger, the timers and any lock (respawn, taken out).
    virtual void reset();
    // Refills ammunition; full also makes every launcher ready.
    virtual void refill(bool full);

    bool isGun() const;
    bool needsLock() const;

    using Factory = std::unique_ptr<Weapon> (*)(const WeaponCfg& record, Target& owner, int group, int id);
    // The kinds' factory; the default makes this plain base.
    static void setFactory(Factory factory);
    // Null when no weapon id is free.
    static std::unique_ptr<Weapon> create(const WeaponCfg& record, Target& owner, int group);

protected:
    std::vector<float> m_launchers;

private:
    const WeaponCfg* m_record;
    Target* m_owner;
    int m_group;
    int m_id;
    bool m_enabled = true;
    bool m_firing = false;
};
