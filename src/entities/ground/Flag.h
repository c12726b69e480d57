#pragma once
#include "entities/Target.h"

// A capture-the-flag flag: at home, carried, or dropped.
class Flag : public Target {
public:
    enum class State : int { Home = 0, CarriedByOwnTeam = 1, CarriedByEnemy = 2, Dropped = 3 };
    // Reach of every touch, per axis.
    static constexpr float kTouchRange = 250.0f;

    Flag(IEntityHost& host, int team);

    State state() const { return m_state; }
    void setState(State s) { m_state = s; }
    const Vec3& homePosition() const { return m_home; }
    void setHome(const Vec3& home);
    const Vec3& droppedPosition() const { return m_dropped; }
    void setDroppedPosition(const Vec3& p) { m_dropped = p; }
    Target* carrier() { return m_carrier; }
    void pickUp(Target& carrier, bool ownTeam);
    void drop();
    // Back home: state 0, no carrier, timers cleared.
    void returnHome();

    // Within reach on each axis.
    bool isNear(const Vec3& point) const;
    // The touch rule the modes call isAtHome: a dropped flag, or one at home
    // touched by an airplane of the other team, within reach.
    bool isTouchable(const Target& airplane) const;
    bool isAtHome(const Target& airplane) const { return isTouchable(airplane); }

    // Follows its carrier; runs the out-of-bounds timer while it is 0 or more.
    void update(float dt) override;
    bool isAlive() const override { return true; }
    bool canBeTargeted() const override { return false; }
    // A carrier that leaves the world drops the flag where it was.
    void dropReferencesTo(const Target& gone) override;

    float outOfBoundsTimer = -1.0f;
    int mapObjectIndex = -1;

private:
    State m_state = State::Home;
    Vec3 m_home;
    Vec3 m_dropped;
    Target* m_carrier = nullptr;
};
