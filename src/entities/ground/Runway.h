#pragma once
#include "entities/Target.h"

#include <span>
#include <vector>

class Airplane;
class Model;

// A runway placed from a map item: a box in the item's frame. Airplanes land
// and take off only inside it.
class Runway : public Target {
public:
    // heading: rad about the vertical; halfExtents: half the box in its own
    // frame (x across, y up, z along).
    Runway(IEntityHost& host, const Vec3& position, float heading, const Vec3& halfExtents, int itemIndex = -1);
    // Leaves the airfield list; every airplane standing on it forgets it.
    ~Runway() override;

    // Every runway that exists, in the order they were made: the airfields
    // the modes and the HUD look through.
    static std::span<Runway* const> airfields();
    // The airplanes standing on this runway.
    std::span<Airplane* const> landedAirplanes() const { return m_landed; }
    // Kept by the airplanes' runway link.
    void airplaneArrived(Airplane& airplane);
    void airplaneLeft(Airplane& airplane);
    // The runway's model from its map item ("runway_field.glm_0"), drawn
    // at the runway's place and heading; null draws nothing.
    void setModel(const Model* model) { m_model = model; }

    // The point, taken into the runway's frame, lies in the box widened by
    // margin on every side.
    bool contains(const Vec3& point, float margin) const;
    // Unit vector along the runway's long side (either way lands).
    Vec3 direction() const;
    float heading() const { return m_heading; }
    const Vec3& halfExtents() const { return m_halfExtents; }

    bool isAlive() const override { return true; }
    bool canBeTargeted() const override { return false; }
    int maxDrawClass() const override { return 4; }

protected:
    void draw(const DrawView& view, DrawPass pass) override;

private:
    // The box's own z axis, turned by the heading.
    Vec3 headingAxis() const;

    const Model* m_model = nullptr;
    std::vector<Airplane*> m_landed;
    float m_heading;
    Vec3 m_halfExtents;
};
