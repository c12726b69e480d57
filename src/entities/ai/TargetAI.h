#pragma once
#include "platform/Math.h"

#include <memory>

class Target;

// What kind of controller TargetAI::create makes for an airplane.
enum class AIKind : int { Pilot = 0, Simple = 1 };

// The AI that drives a target: a pilot for airplanes, a gunner for ground
// units. Every live controller is known, so that a removed target can be
// dropped from all of them at once.
class TargetAI {
public:
    explicit TargetAI(Target& owner, float skill);
    virtual ~TargetAI();
    TargetAI(const TargetAI&) = delete;
    TargetAI& operator=(const TargetAI&) = delete;

    Target& owner() { return *m_owner; }
    const Target& owner() const { return *m_owner; }
    float skill() const { return m_skill; }

    virtual void update(float dt) = 0;
    // Starts over after the modes changed its orders.
    virtual void reset() {}
    // Drops every reference to t.
    virtual void forget(const Target& t) = 0;
    // A tuning value of the controller (0 aggression, 1 caution).
    virtual void setParameter(int /*index*/, float /*value*/) {}
    // The map point the controller steers for when it has nothing to fight; null when none.
    virtual const Vec3* navigationPoint() const { return nullptr; }

    // The controller of a target by its kind: airplanes get a pilot
    // (AIKind::Pilot) or a waypoint follower (AIKind::Simple); ground and
    // special targets with weapons a gunner. Null for anything else.
    static std::unique_ptr<TargetAI> create(Target& owner, float skill, AIKind kind = AIKind::Pilot);
    // Every live controller forgets t.
    static void forgetEverywhere(const Target& t);

private:
    Target* m_owner;
    float m_skill;
};

// Clears every reference AI controllers and squadrons keep to t (part of
// forgetTarget).
void forgetTargetInAI(const Target& t);
