#pragma once
#include "entities/ai/TargetAI.h"

// The gunner of a ground unit: its guns turn to the lead point of the nearest
// enemy airplane in their range and fire while it stays there. Flak finds and
// fires at its targets on its own.
class GroundTargetAI : public TargetAI {
public:
    GroundTargetAI(Target& owner, float skill);
    void update(float dt) override;
    void forget(const Target& t) override;
    const Target* aimedAt() const { return m_target; }

private:
    Target* m_target = nullptr;
    float m_searchTimer = 0.0f;
};
