#pragma once
#include "platform/Math.h"

#include <array>
#include <span>
#include <vector>

class IEntityHost;
class Target;
struct WeaponCfg;

// Every gun's bullets share one pool of 1024. A bullet flies straight for its
// record's life; each step tests the swept segment against the entities in
// play of other teams, so a fast bullet does not skip through a target.
class BulletPool {
public:
    static constexpr int kCapacity = 1024;
    // Closest pass of an enemy bullet that the player hears.
    static constexpr float kPassByDistance = 30.0f;
    static constexpr float kPassByInterval = 0.12f;

    struct Bullet {
        Vec3 position;
        Vec3 velocity;
        float life = 0.0f;  // s; free at 0 or below
        Target* owner = nullptr;
        const WeaponCfg* record = nullptr;
        int team = 0;
        bool heard = false;  // its pass-by was played
    };

    static BulletPool& instance();

    // False when all 1024 are in flight.
    bool fire(Target* owner, int team, const WeaponCfg& record, const Vec3& position, const Vec3& velocity);
    // Clears the per-frame counters.
    void beginFrame();
    void update(float dt, IEntityHost& host);
    // A target leaves the world: its bullets fly on without an owner.
    void forget(const Target* t);
    void clear();

    int activeCount() const { return static_cast<int>(m_active.size()); }
    int firedThisFrame() const { return m_fired; }
    int hitsThisFrame() const { return m_hits; }
    // The live bullets, for the tracers.
    const std::array<Bullet, kCapacity>& bullets() const { return m_bullets; }
    std::span<const int> activeIndices() const { return m_active; }

private:
    BulletPool();
    void kill(std::size_t activeSlot);

    struct Candidate {
        Target* target;
        Vec3 position, velocity;
        float radius, reach;
        int team;
    };

    std::array<Bullet, kCapacity> m_bullets{};
    std::vector<Candidate> m_candidates;
    std::vector<int> m_active;
    std::vector<int> m_free;
    int m_fired = 0;
    int m_hits = 0;
    float m_passByCooldown = 0.0f;
};
