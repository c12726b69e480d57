#pragma once
#include "modes/tutorials/DummyWP.h"

class MapTrigger;

// The waypoint a map trigger asks the HUD to mark: the trigger's point, with
// its radius as the surface the HUD measures the distance to.
class TriggerWaypoint : public DummyWP {
public:
    TriggerWaypoint(const MapTrigger& trigger, const Vec3& point, float radius)
        : m_trigger(&trigger), m_radius(radius)
    {
        setPosition(point);
    }

    // Only compared, never followed: the trigger may be gone with its world.
    const MapTrigger* trigger() const { return m_trigger; }
    float radius() const override { return m_radius; }

private:
    const MapTrigger* m_trigger;
    float m_radius;
};
