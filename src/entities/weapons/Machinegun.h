#pragma once
#include "effects/AircraftFx.h"
#include "entities/weapons/Weapon.h"

class MachinegunSmoke;
class PSystem;

// A gun of one or more mounts; each mount fires every "reloadTime" with the
// record's spread, its bullets leaving at "speed" plus the owner's velocity
// into the shared bullet pool.
class Machinegun : public Weapon, public IGunFx {
public:
    using Weapon::Weapon;
    ~Machinegun() override;

    void update(float dt) override;
    void reset() override;
    // The gun smoke and muzzle flash switch. Only the player's guns smoke:
    // the update turns it on when the gun's airplane becomes the player's
    // and off when it stops being it.
    void setSmoke(bool on);
    bool hasSmoke() const { return m_smoke; }
    float fireInterval() const;
    // Muzzle of mount i relative to the owner.
    Vec3 muzzleOffset(int index) const;
    const MachinegunSmoke* smokeSystem() const { return m_smokeSystem; }
    // Every live bullet of the shared pool as a short streak for this frame.
    static void submitTracers();

    // IGunFx
    bool gunFiring() const override { return isFiring() && isEnabled(); }
    float gunFireInterval() const override;
    bool gunMuzzle(Vec3& position) const override;
    const IAirplaneFx* gunAirplane() const override;
    void gunSmokeGone() override
    {
        m_smokeSystem = nullptr;
        m_smokeLost = m_smoke;
    }

private:
    void stopSound();
    void followPlayer();

    bool m_smoke = false;
    bool m_wasPlayer = false;
    // The pool let the system go (a screen change) while the switch was on.
    bool m_smokeLost = false;
    MachinegunSmoke* m_smokeSystem = nullptr;
    bool m_sounding = false;
    bool m_dryReported = false;
};

// The aliens' beam: an instant hit along the nose out to "speed" x "life".
class AlienLaser : public Weapon {
public:
    struct Beam {
        Vec3 from, to;
        float timeLeft = 0.0f;  // drawn while above 0
        bool hit = false;
    };
    static constexpr float kBeamTime = 0.08f;

    using Weapon::Weapon;
    void update(float dt) override;
    float range() const;
    const Beam& beam() const { return m_beam; }

private:
    void fireBeam(int launcher);
    Beam m_beam;
};

// The acrobatic smoke: coloured smoke while the trigger is held, no damage.
class SmokeWeapon : public Weapon {
public:
    using Weapon::Weapon;
    ~SmokeWeapon() override;
    void setFiring(bool on) override;
    void reset() override;
    bool isSmoking() const { return m_smoking; }

private:
    void switchSmoke(bool on);
    bool m_smoking = false;
};
