#pragma once
#include "entities/Target.h"

class Model;

// A tunnel placed from a map item. A plane inside its bore is shielded from
// ground crashes and counts a fly-through.
class Tunnel : public Target {
public:
    // matrix: the item's placement; bore: half extents of the open bore in the
    // item's frame; modelRadius: the model's bounding radius; model: the
    // item's model, when loaded.
    Tunnel(IEntityHost& host, const Mat4& matrix, const Vec3& bore, float modelRadius, int itemIndex = -1,
           const Model* model = nullptr);

    // Inside the bore, with the radius kept clear of its walls.
    bool ownHitCheck(const Vec3& point, float radius) const override;
    // Under the model's roof: its collision triangles lie above the point;
    // true without a model.
    bool modelContact(const Vec3& point, float radius) const override;
    bool isAlive() const override { return true; }
    bool canBeTargeted() const override { return false; }
    const Mat4& matrix() const { return m_matrix; }

private:
    Mat4 m_matrix;
    Mat4 m_inverse;
    Vec3 m_bore;
    const Model* m_model;
};
