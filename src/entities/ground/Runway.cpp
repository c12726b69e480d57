#include "entities/ground/Runway.h"

#include <cmath>

Runway::Runway(IEntityHost& host, const Vec3& position, float heading, const Vec3& halfExtents, int itemIndex)
    : Target(host, TargetKind::Runway, kTeamNone), m_heading(heading), m_halfExtents(halfExtents)
{
    m_position = position;
    m_radius = std::sqrt(halfExtents.x * halfExtents.x + halfExtents.z * halfExtents.z);
    mapItem = itemIndex;
    setTargetable(false);
}

Vec3 Runway::direction() const { return {-std::sin(m_heading), 0.0f, -std::cos(m_heading)}; }

bool Runway::contains(const Vec3& point, float margin) const
{
    const Vec3 d = point - m_position;
    const Vec3 along = direction();
    const Vec3 across{-along.z, 0.0f, along.x};
    const float z = vec3Dot(d, along);
    const float x = vec3Dot(d, across);
    return std::fabs(x) <= m_halfExtents.x + margin && std::fabs(d.y) <= m_halfExtents.y + margin &&
           std::fabs(z) <= m_halfExtents.z + margin;
}
