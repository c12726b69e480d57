#include "entities/ground/Runway.h"

#include "entities/aircraft/Airplane.h"
#include "render/assets/Model.h"
#include "render/assets/ModelBuffers.h"

#include <algorithm>
#include <cmath>

namespace {
std::vector<Runway*>& allRunways()
{
    static std::vector<Runway*> runways;
    return runways;
}
}  // namespace

Runway::Runway(IEntityHost& host, const Vec3& position, float heading, const Vec3& halfExtents, int itemIndex)
    : Target(host, TargetKind::Runway, kTeamNone), m_heading(heading), m_halfExtents(halfExtents)
{
    m_position = position;
    m_radius = std::sqrt(halfExtents.x * halfExtents.x + halfExtents.z * halfExtents.z);
    mapItem = itemIndex;
    setTargetable(false);
    allRunways().push_back(this);
}

Runway::~Runway()
{
    std::erase(allRunways(), this);
    // forgetRunway does not call back into airplaneLeft, so the list holds still.
    for (Airplane* airplane : m_landed)
        airplane->forgetRunway();
    m_landed.clear();
}

std::span<Runway* const> Runway::airfields() { return allRunways(); }

void Runway::airplaneArrived(Airplane& airplane)
{
    if (std::find(m_landed.begin(), m_landed.end(), &airplane) == m_landed.end())
        m_landed.push_back(&airplane);
}

void Runway::airplaneLeft(Airplane& airplane) { std::erase(m_landed, &airplane); }

void Runway::draw(const DrawView&, DrawPass pass)
{
    if (!m_model || pass != DrawPass::Opaque)
        return;
    drawModel(*m_model, mat4FromQuatPosition(quatFromEuler(m_heading, 0.0f, 0.0f), m_position));
}

Vec3 Runway::headingAxis() const { return {-std::sin(m_heading), 0.0f, -std::cos(m_heading)}; }

Vec3 Runway::direction() const
{
    // The maps' runway model is laid out along its own x: its strip then
    // runs across the heading.
    const Vec3 ahead = headingAxis();
    return m_halfExtents.x > m_halfExtents.z ? Vec3{-ahead.z, 0.0f, ahead.x} : ahead;
}

bool Runway::contains(const Vec3& point, float margin) const
{
    const Vec3 d = point - m_position;
    const Vec3 along = headingAxis();
    const Vec3 across{-along.z, 0.0f, along.x};
    const float z = vec3Dot(d, along);
    const float x = vec3Dot(d, across);
    return std::fabs(x) <= m_halfExtents.x + margin && std::fabs(d.y) <= m_halfExtents.y + margin &&
           std::fabs(z) <= m_halfExtents.z + margin;
}
