#pragma once
#include "entities/Target.h"

// A runway placed from a map item: a box in the item's frame. Airplanes land
// and take off only inside it.
class Runway : public Target {
public:
    // heading: rad about the vertical; halfExtents: half the box in its own
    // frame (x across, y up, z along).
    Runway(IEntityHost& host, const Vec3& position, float heading, const Vec3& halfExtents, int itemIndex = -1);

    // The point, taken into the runway's frame, lies in the box widened by
    // margin on every side.
    bool contains(const Vec3& point, float margin) const;
    // Unit vector along the runway (either way lands).
    Vec3 direction() const;
    float heading() const { return m_heading; }
    const Vec3& halfExtents() const { return m_halfExtents; }

    bool isAlive() const override { return true; }
    bool canBeTargeted() const override { return false; }
    int maxDrawClass() const override { return 4; }

private:
    float m_heading;
    Vec3 m_halfExtents;
};
