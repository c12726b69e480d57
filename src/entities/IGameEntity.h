#pragma once
#include "platform/Math.h"

#include <string>

// Everything in the world that updates, draws and can carry a HUD marker:
// targets, and also plain waypoints, which is why markers hold this type.
class IGameEntity {
public:
    virtual ~IGameEntity() = default;

    virtual Vec3 worldPosition() const { return position(); }
    virtual const Vec3& position() const = 0;
    virtual Vec3 velocity() const = 0;
    // The name the HUD shows; withTeam adds nothing for plain entities.
    virtual std::u16string displayName(bool withTeam) const = 0;
    virtual bool isAlive() const = 0;
    virtual float health() const = 0;
    virtual float maxHealth() const = 0;
    // True for a part of a larger structure (its kill counts nothing).
    virtual bool isStructurePart() const { return false; }
    // Radar range factor; -1 means no limit.
    virtual float radarFactor() const { return -1.0f; }
    virtual float radius() const = 0;
    // A ground unit's variant; -1 for plain targets and aircraft.
    virtual int variant() const { return -1; }
    virtual bool isHiddenFromHud() const { return false; }
    virtual bool canBeTargeted() const = 0;

    virtual void update(float dt) = 0;
};
