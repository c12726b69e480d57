#pragma once
#include "entities/weapons/Missile.h"

#include <functional>
#include <memory>
#include <optional>
#include <vector>

class IEntityHost;
class Target;

// The missiles in flight and their per-frame pass: flight, detonations,
// impacts on water, ground and props, area damage and the targets' incoming-missile
// warnings. The game mode (and the test host) owns one.
class MissileSet {
public:
    // How a missile ended, for the caller's effects and counts. Prop: it
    // burst on a building or another prop of the map.
    enum class End { Detonated, Water, Ground, Shore, Prop, Expired };
    struct Ending {
        const Missile* missile;
        End how;
        Vec3 at;
    };

    explicit MissileSet(IEntityHost& host);
    ~MissileSet();
    MissileSet(const MissileSet&) = delete;
    MissileSet& operator=(const MissileSet&) = delete;

    void add(std::unique_ptr<Missile> missile);
    // One frame for every missile.
    void update(float dt);
    // A target leaves the world: every missile forgets it.
    void forget(const Target* t);
    // The launcher leaves the world: every missile it launched ends with it.
    void removeLaunchedBy(const Target* owner);
    void clear();

    int count() const { return static_cast<int>(m_missiles.size()); }
    Missile* at(int i) const;
    // Called for each missile that ends, before it is deleted.
    std::function<void(const Ending&)> onEnd;

private:
    void end(std::size_t index, End how, const Vec3& at);
    void updateAll(float dt);
    // The first point of the path from `from` to `to` where a prop is hit.
    std::optional<Vec3> propOnPath(const Vec3& from, const Vec3& to) const;

    IEntityHost* m_host;
    std::vector<std::unique_ptr<Missile>> m_missiles;
    bool m_updating = false;
    // Launched by an airplane that left during the pass: ended after it.
    std::vector<const Missile*> m_dropped;
};
