#pragma once
#include "platform/Math.h"

class AirplaneModel;
class Parachute;

// What the effects that follow an airplane, a missile or a gun read of it.
// The entities sit above the effects and implement these; the effects keep
// a pointer until the owner detaches them (its destruction).

class IAirplaneFx {
public:
    virtual ~IAirplaneFx() = default;
    // World matrix; its translation is the position. Nose along local -z.
    virtual const Mat4& fxMatrix() const = 0;
    virtual Vec3 fxVelocity() const = 0;           // units per second
    virtual Vec3 fxFlightDirection() const = 0;    // unit
    virtual float fxSpeed() const = 0;
    // Turn rates (the contrail's turn term reads x and z).
    virtual Vec3 fxRates() const = 0;
    // Half-width scale per axis of the contrail's live point.
    virtual Vec3 fxWidthVector() const = 0;
    // 0..1: high flight thickens the contrail.
    virtual float fxContrailFactor() const = 0;
    // The signed pull, -1..1 (vapour sheets).
    virtual float fxLoad() const = 0;
    virtual float fxThrottle() const = 0;
    // 0 culled, 1 near, 2 and above far.
    virtual int fxDrawClass() const = 0;
    virtual bool fxIsPlayer() const = 0;
    // Null when the airplane has no model.
    virtual const AirplaneModel* fxModel() const = 0;
    // Its pilot's parachute is being deleted: forget it.
    virtual void fxParachuteGone(const Parachute* /*parachute*/) {}
    Vec3 fxPosition() const
    {
        const Mat4& m = fxMatrix();
        return {m.m[12], m.m[13], m.m[14]};
    }
};

class ITrailSource {
public:
    virtual ~ITrailSource() = default;
    virtual Vec3 trailPosition() const = 0;
    virtual Vec3 trailDirection() const = 0;   // unit
    virtual float trailAge() const = 0;        // 0.5 at launch
    virtual void setTrailOnScreen(bool onScreen) = 0;
    // The trail is being deleted (screen change): forget it.
    virtual void trailGone() = 0;
};

class IGunFx {
public:
    virtual ~IGunFx() = default;
    virtual bool gunFiring() const = 0;
    virtual float gunFireInterval() const = 0;
    // The muzzle in world space; false when the gun has no owner to place it.
    virtual bool gunMuzzle(Vec3& position) const = 0;
    // The airplane carrying the gun; null when none.
    virtual const IAirplaneFx* gunAirplane() const = 0;
    // The gun's smoke system is being deleted by the pool: forget it.
    virtual void gunSmokeGone() = 0;
};

// What the pooled effects ask of the camera above them: the scene fills it.
class IPoolCamera {
public:
    virtual ~IPoolCamera() = default;
    virtual void shake(float amount) = 0;
    // A system at this position is being deleted: a camera looking at that
    // point must let go of it (and go back to the player's view).
    virtual void systemGone(const Vec3* position) = 0;
    // A wreck or a parachute asks the camera to look at a point it keeps
    // moving (distance, angle, time, mode, blend as the camera takes them).
    virtual void lookAtPoint(const Vec3* /*point*/, float /*distance*/, float /*angle*/, float /*time*/,
                             int /*mode*/, float /*blend*/) {}
    // The cinematic camera follows a point; null ends it. The camera answers
    // whether it follows that point now.
    virtual void followPoint(const Vec3* /*point*/) {}
    virtual bool followsPoint(const Vec3* /*point*/) const { return false; }
    // True while the view would sit inside the player's gun smoke.
    virtual bool hidesGunSmoke() const { return false; }
};
// Null (the default) leaves the camera alone.
void setPoolCamera(IPoolCamera* camera);
IPoolCamera* poolCamera();
