#pragma once
#include "entities/Target.h"
#include "render/Texture2D.h"

#include <vector>

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

    // The cloth: a grid of kClothColumns x kClothRows points hanging from the
    // pole (column 0). buildClothMesh makes the shared grid and loads the two
    // textures once; every flag then moves its own copy.
    static constexpr int kClothColumns = 10, kClothRows = 6;
    static constexpr float kClothLength = 36.0f, kClothHeight = 22.0f, kPoleHeight = 60.0f;
    static void buildClothMesh();
    static void releaseClothMesh();
    // "data/models/flag_friend.png" for the local player's team, else "data/models/flag_enemy.png".
    const Texture2D* texture() const;
    bool isFriendly() const;
    // Where the cloth hangs from: the pole top at home or dropped, behind
    // and above a carrier while carried.
    Vec3 attachment() const;
    // The cloth's points this frame, column by column from the pole.
    const std::vector<Vec3>& clothPoints() const { return m_cloth; }
    void updateVisual(float dt) override;

protected:
    void draw(const DrawView& view, DrawPass pass) override;

private:
    void placeCloth();
    Vec3 m_trail{1.0f, 0.0f, 0.0f};  // the way the cloth streams, horizontal unit
    float m_wavePhase = 0.0f;
    std::vector<Vec3> m_cloth;

    State m_state = State::Home;
    Vec3 m_home;
    Vec3 m_dropped;
    Target* m_carrier = nullptr;
};
