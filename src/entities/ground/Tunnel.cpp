#include "entities/ground/Tunnel.h"

#include "render/assets/CollisionMesh.h"
#include "render/assets/Model.h"

#include <cmath>

namespace {
// Inverse of a rotation-and-translation matrix.
Mat4 rigidInverse(const Mat4& m)
{
    Mat4 r = mat4Transpose(m);
    r.m[3] = r.m[7] = r.m[11] = 0.0f;
    const Vec3 t{m.m[12], m.m[13], m.m[14]};
    const Vec3 back = rotateVector3x3(r, t);
    r.m[12] = -back.x;
    r.m[13] = -back.y;
    r.m[14] = -back.z;
    r.m[15] = 1.0f;
    return r;
}
}  // namespace

Tunnel::Tunnel(IEntityHost& host, const Mat4& matrix, const Vec3& bore, float modelRadius, int itemIndex,
               const Model* model)
    : Target(host, TargetKind::Tunnel, kTeamNone), m_matrix(matrix), m_inverse(rigidInverse(matrix)), m_bore(bore),
      m_model(model)
{
    m_position = {matrix.m[12], matrix.m[13], matrix.m[14]};
    m_radius = 2.0f * modelRadius;
    mapItem = itemIndex;
    setTargetable(false);
}

bool Tunnel::ownHitCheck(const Vec3& point, float radius) const
{
    const Vec3 local = mat4TransformPoint(m_inverse, point);
    return std::fabs(local.x) + radius <= m_bore.x && std::fabs(local.y) + radius <= m_bore.y &&
           std::fabs(local.z) <= m_bore.z;
}

bool Tunnel::modelContact(const Vec3& point, float /*radius*/) const
{
    if (!m_model)
        return true;
    const Vec3 local = mat4TransformPoint(m_inverse, point);
    // The bore check keeps the radius clear of the walls; the mesh says the point is under cover.
    return m_model->collisionTriangles().empty() || meshCovers(m_model->collisionTriangles(), local);
}
