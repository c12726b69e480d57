#pragma once
#include "effects/AircraftFx.h"

// Recording fakes of the views the aircraft effects read: a plane flying
// along -z, a missile and a gun. Tests set the fields directly.
class FakeAirplane : public IAirplaneFx {
public:
    Mat4 matrix;
    Vec3 velocity{0.0f, 0.0f, -250.0f};
    Vec3 direction{0.0f, 0.0f, -1.0f};
    float speed = 250.0f;
    Vec3 rates;
    float contrailFactor = 0.0f, load = 0.0f, throttle = 1.0f;
    int drawClass = 2;
    bool player = false;
    const AirplaneModel* model = nullptr;

    void moveTo(const Vec3& p)
    {
        matrix.m[12] = p.x;
        matrix.m[13] = p.y;
        matrix.m[14] = p.z;
    }
    const Mat4& fxMatrix() const override { return matrix; }
    Vec3 fxVelocity() const override { return velocity; }
    Vec3 fxFlightDirection() const override { return direction; }
    float fxSpeed() const override { return speed; }
    Vec3 fxRates() const override { return rates; }
    Vec3 fxWidthVector() const override { return {1.0f, 1.0f, 1.0f}; }
    float fxContrailFactor() const override { return contrailFactor; }
    float fxLoad() const override { return load; }
    float fxThrottle() const override { return throttle; }
    int fxDrawClass() const override { return drawClass; }
    bool fxIsPlayer() const override { return player; }
    const AirplaneModel* fxModel() const override { return model; }
};

class FakeMissile : public ITrailSource {
public:
    Vec3 position;
    Vec3 direction{0.0f, 0.0f, -1.0f};
    float age = 0.5f;
    bool onScreen = false;
    int trailsGone = 0;
    Vec3 trailPosition() const override { return position; }
    Vec3 trailDirection() const override { return direction; }
    float trailAge() const override { return age; }
    void setTrailOnScreen(bool on) override { onScreen = on; }
    void trailGone() override { ++trailsGone; }
};

class FakeGun : public IGunFx {
public:
    const IAirplaneFx* airplane = nullptr;
    bool firing = false;
    float interval = 0.1f;
    Vec3 muzzle;
    int smokeGone = 0;
    bool gunFiring() const override { return firing; }
    float gunFireInterval() const override { return interval; }
    bool gunMuzzle(Vec3& p) const override
    {
        p = muzzle;
        return airplane != nullptr;
    }
    const IAirplaneFx* gunAirplane() const override { return airplane; }
    void gunSmokeGone() override { ++smokeGone; }
};
