#pragma once
#include "entities/IGameEntity.h"

// A waypoint the player is told to fly to: a position the tutorial moves,
// no velocity, a display name, and a HUD marker of kind 20 (GameMode::showWaypointMarker).
class DummyWP : public IGameEntity {
public:
    static constexpr int kNameText = 387;

    // Starts at the map's default waypoint point.
    DummyWP();

    void setPosition(const Vec3& p) { m_position = p; }
    const Vec3& position() const override { return m_position; }
    Vec3 velocity() const override { return {}; }
    std::u16string displayName(bool withTeam) const override;
    bool isAlive() const override { return true; }
    float health() const override { return 1.0f; }
    float maxHealth() const override { return 1.0f; }
    float radius() const override { return 0.0f; }
    bool canBeTargeted() const override { return false; }
    void update(float) override {}

private:
    Vec3 m_position;
};
