#pragma once
#include "entities/EntityHandle.h"
#include "screens/scene/CameraWorld.h"

class Airplane;

// What the cameras read of a game airplane: its motion, and its size from
// the model the airplane carries. The airplane is held by handle; once it is
// gone the view stays where it was last seen.
class AirplaneCameraPlane : public CameraPlane {
public:
    AirplaneCameraPlane() = default;
    explicit AirplaneCameraPlane(const Airplane* airplane);
    void follow(const Airplane* airplane);
    // Null once the airplane is gone.
    const Airplane* airplane() const;

    const Vec3& position() const override;
    Quat orientation() const override;
    Vec3 velocity() const override;
    Size size() const override;
    bool evading() const override;
    int manoeuvreCode() const override;
    float speedFactor() const override;
    float rollInput() const override;
    bool groundState() const override;
    bool deckHeight(float& height) const override;
    const Vec3* currentTarget() const override;
    const Vec3* mapTarget() const override;

    // The camera sizes from the model's measures.
    static Size sizeOf(const Airplane& airplane);

private:
    EntityHandle m_airplane;
    mutable Vec3 m_lastPosition;
    mutable Quat m_lastOrientation;
};
