#pragma once
#include "entities/ai/TargetAI.h"
#include "platform/Math.h"

#include <vector>

class Airplane;

// A pilot without combat: transports and target drones follow their
// waypoints (or fly straight and level) at cruise speed, kept clear of the
// ground by the same look-ahead as the fighting pilots.
class SimpleAirplaneAI : public TargetAI {
public:
    SimpleAirplaneAI(Airplane& plane, float skill);
    void update(float dt) override;
    void forget(const Target&) override {}

    std::vector<Vec3> waypoints;
    bool loop = true;
    float speed = -1.0f;  // below 0: the plane's cruise speed
    std::size_t nextWaypoint() const { return m_next; }

private:
    Airplane* m_plane;
    std::size_t m_next = 0;
};
