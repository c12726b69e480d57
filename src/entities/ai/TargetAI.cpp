#include "entities/ai/TargetAI.h"

#include "entities/aircraft/Airplane.h"
#include "entities/aircraft/Squadron.h"
#include "entities/ai/AirplaneAI.h"
#include "entities/ai/GroundTargetAI.h"
#include "entities/ai/SimpleAirplaneAI.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace {
std::vector<TargetAI*>& liveControllers()
{
    // Never destroyed: a game mode that outlives it at exit still deletes its pilots.
    static auto* list = new std::vector<TargetAI*>;
    return *list;
}
}  // namespace

TargetAI::TargetAI(Target& owner, float skill)
    : m_owner(&owner), m_skill(std::isfinite(skill) ? std::clamp(skill, 0.0f, 1.0f) : 0.5f)
{
    liveControllers().push_back(this);
}

TargetAI::~TargetAI() { std::erase(liveControllers(), this); }

std::unique_ptr<TargetAI> TargetAI::create(Target& owner, float skill, AIKind kind)
{
    if (auto* plane = dynamic_cast<Airplane*>(&owner)) {
        if (kind == AIKind::Simple)
            return std::make_unique<SimpleAirplaneAI>(*plane, skill);
        return std::make_unique<AirplaneAI>(*plane, skill);
    }
    if (owner.weaponCount() > 0)
        return std::make_unique<GroundTargetAI>(owner, skill);
    return nullptr;
}

void TargetAI::forgetEverywhere(const Target& t)
{
    for (TargetAI* ai : liveControllers())
        ai->forget(t);
}

void forgetTargetInAI(const Target& t)
{
    TargetAI::forgetEverywhere(t);
    Squadron::forgetEverywhere(t);
}
