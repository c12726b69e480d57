#include "entities/ai/SimpleAirplaneAI.h"

#include "entities/IEntityHost.h"
#include "entities/aircraft/Airplane.h"
#include "entities/aircraft/Steering.h"
#include "gamedata/records/PlaneCfg.h"

#include <algorithm>

namespace {
constexpr float kReached = 400.0f;
constexpr float kLookAhead = 4.0f;
constexpr float kClearance = 300.0f;  // over minimum height
}  // namespace

SimpleAirplaneAI::SimpleAirplaneAI(Airplane& plane, float skill) : TargetAI(plane, skill), m_plane(&plane) {}

void SimpleAirplaneAI::update(float)
{
    Airplane& p = *m_plane;
    const float cruise = speed > 0.0f ? speed : std::max(p.record().pCruiseSpeed, p.record().pMinSpeed);
    const Vec3 pos = p.position();
    const Vec3 heading = vec3NormalizeOr(Vec3{p.velocityDirection().x, 0.0f, p.velocityDirection().z},
                                         Vec3{0.0f, 0.0f, -1.0f});
    float highest = 0.0f;
    for (float t = 0.0f; t <= kLookAhead; t += 0.5f) {
        const Vec3 q = pos + heading * (p.speed() * t);
        highest = std::max(highest, p.host().groundHeightAt(q.x, q.z));
    }
    const float floor = highest + p.minimumHeight + kClearance;
    Vec3 goal = pos + heading * 1000.0f;
    goal.y = pos.y;
    if (!waypoints.empty() && m_next < waypoints.size()) {
        goal = waypoints[m_next];
        const Vec3 d{goal.x - pos.x, 0.0f, goal.z - pos.z};
        if (vec3Dot(d, d) < kReached * kReached) {
            ++m_next;
            if (m_next >= waypoints.size() && loop)
                m_next = 0;
        }
    }
    goal.y = std::max(goal.y, floor);
    if (pos.y < floor)  // climb first
        goal = pos + heading * 600.0f + Vec3{0.0f, 500.0f, 0.0f};
    steerAirplaneTo(p, goal, cruise, 0.7f);
}
