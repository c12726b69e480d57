#include "screens/scene/AirplaneCameraPlane.h"

#include "entities/ai/TargetAI.h"
#include "entities/aircraft/Airplane.h"
#include "entities/ground/CarrierDeck.h"

AirplaneCameraPlane::AirplaneCameraPlane(const Airplane* airplane) { follow(airplane); }

void AirplaneCameraPlane::follow(const Airplane* airplane)
{
    m_airplane = EntityHandle(airplane);
    if (airplane) {
        m_lastPosition = airplane->position();
        m_lastOrientation = airplane->orientation();
    }
}

const Airplane* AirplaneCameraPlane::airplane() const
{
    return dynamic_cast<const Airplane*>(m_airplane.resolve());
}

const Vec3& AirplaneCameraPlane::position() const
{
    if (const Airplane* a = airplane()) {
        m_lastPosition = a->position();
        return a->position();
    }
    return m_lastPosition;
}

Quat AirplaneCameraPlane::orientation() const
{
    if (const Airplane* a = airplane())
        m_lastOrientation = a->orientation();
    return m_lastOrientation;
}

Vec3 AirplaneCameraPlane::velocity() const
{
    const Airplane* a = airplane();
    return a ? a->velocity() : Vec3{};
}

CameraPlane::Size AirplaneCameraPlane::sizeOf(const Airplane& airplane)
{
    const AirplaneDimensions d = airplane.dimensions();
    Size s;
    s.length = d.length;
    s.width = d.width;
    s.height = d.height;
    s.span = d.span;
    s.eyePoint = d.eyePoint;
    // Looking past the plane at a target, and along a path: a little behind and above.
    s.targetBack = d.length * 0.3f;
    s.targetUp = d.height * 0.67f;
    s.pathBack = d.length * 0.3f;
    s.pathUp = d.height * 0.67f;
    // The menu camera's orbit: a length and a half out, half a length up.
    s.menu1 = d.length;
    s.menu2 = d.length * 0.5f;
    s.menu3 = 0.0f;
    return s;
}

CameraPlane::Size AirplaneCameraPlane::size() const
{
    const Airplane* a = airplane();
    return a ? sizeOf(*a) : Size{};
}

bool AirplaneCameraPlane::evading() const
{
    const Airplane* a = airplane();
    return a && a->isEvadingManoeuvre();
}

int AirplaneCameraPlane::manoeuvreCode() const
{
    const Airplane* a = airplane();
    return a ? a->manoeuvreCode : 0;
}

float AirplaneCameraPlane::speedFactor() const
{
    const Airplane* a = airplane();
    return a ? a->speedFactor() : 0.0f;
}

float AirplaneCameraPlane::rollInput() const
{
    const Airplane* a = airplane();
    return a ? a->controlVector().z : 0.0f;
}

bool AirplaneCameraPlane::groundState() const
{
    const Airplane* a = airplane();
    return a && a->isLanded();
}

bool AirplaneCameraPlane::deckHeight(float& height) const
{
    const Airplane* a = airplane();
    if (!a || !a->carrier())
        return false;
    height = a->carrier()->deckHeight();
    return true;
}

const Vec3* AirplaneCameraPlane::currentTarget() const
{
    const Airplane* a = airplane();
    return a && a->currentTarget ? &a->currentTarget->position() : nullptr;
}

const Vec3* AirplaneCameraPlane::mapTarget() const
{
    const Airplane* a = airplane();
    const TargetAI* ai = a ? a->aiController() : nullptr;
    return ai ? ai->navigationPoint() : nullptr;
}
