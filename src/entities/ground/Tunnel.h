#pragma once
#include "entities/Target.h"

// A tunnel placed from a map item. A plane inside its bore is shielded from
// ground crashes and counts a fly-through.
class Tunnel : public Target {
public:
    // matrix: the item's placement; bore: half extents of the open bore in the
    // item's frame; modelRadius: the model's bounding radius.
    Tunnel(IEntityHost& host, const Mat4& matrix, const Vec3& bore, float modelRadius, int itemIndex = -1);

    // Inside the bore, with the radius kept clear of its walls.
    bool ownHitCheck(const Vec3& point, float radius) const override;
    bool isAlive() const override { return true; }
    bool canBeTargeted() const override { return false; }
    const Mat4& matrix() const { return m_matrix; }

private:
    Mat4 m_matrix;
    Mat4 m_inverse;
    Vec3 m_bore;
};
