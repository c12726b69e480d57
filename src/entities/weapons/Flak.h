#pragma once
#include "entities/weapons/Weapon.h"

#include <vector>

// Anti-aircraft fire: shells aimed at the target's lead point, fused to burst
// there, damaging every airplane of another team within the blast radius.
// A gun on the ground fires on its own whenever it has a target in range; on
// an airplane it waits for the trigger.
class Flak : public Weapon {
public:
    struct Shell {
        Vec3 position;
        Vec3 velocity;
        float fuse = 0.0f;  // s to the burst
    };
    static constexpr int kMaxShells = 24;

    using Weapon::Weapon;
    void updateTargeting(float dt) override;
    void update(float dt) override;
    void reset() override;
    float range() const;
    const std::vector<Shell>& shells() const { return m_shells; }

private:
    void fireShell(int launcher, Target& target);
    void burst(const Vec3& at);

    std::vector<Shell> m_shells;
};
