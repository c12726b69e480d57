#pragma once
#include "entities/ground/GroundTarget.h"

// The special targets' kinds: the unit record's variant.
enum class SpecialKind : int { Swarmer = 2 };

// A special target of kind 1 (a flying target made from a map object). The
// swarmer is a small drone that homes on the nearest enemy airplane and rams
// it; a laser on board is fired by its gunner on the way in.
class SpecialGroundTarget : public GroundTarget {
public:
    static constexpr float kSwarmerSpeed = 160.0f;
    static constexpr float kSwarmerTurnRate = 1.5f;  // rad/s
    static constexpr float kSearchRange = 5000.0f;
    static constexpr float kFloor = 60.0f;  // over the ground

    SpecialGroundTarget(IEntityHost& host, MapObject& object, const UnitCfg* unit);
    SpecialKind specialKind() const { return m_special; }
    const Target* homingOn() const { return m_prey; }
    void dropReferencesTo(const Target& gone) override;

    void update(float dt) override;
    bool matchesClass(TargetClass c) const override { return c == TargetClass::Any || c == TargetClass::Air; }
    bool isGroundTarget() const override { return false; }

private:
    void swarm(float dt);

    SpecialKind m_special;
    Target* m_prey = nullptr;
    float m_searchTimer = 0.0f;
};
