#pragma once
#include "platform/Math.h"

// Stick inputs (nose up, turn left, roll left) that turn a plane of this
// orientation toward a world direction: roll the goal into the plane's
// vertical plane, pull toward it, and yaw out the last degrees. Used by mouse
// steering, the autopilot and scripted pilots.
Vec3 steerInputs(const Quat& orientation, const Vec3& direction);

// Inputs that hold the wings level and the nose on a given pitch angle.
Vec3 levelInputs(const Quat& orientation, float pitchGoal);

class Airplane;

// Flies the plane toward a point: the stick from steerInputs (scaled by
// authority, 0..1, how hard the pilot pulls), the throttle for the speed.
// The AI pilots and the autopilot steer with it, as mouse steering does.
void steerAirplaneTo(Airplane& plane, const Vec3& point, float speed, float authority = 1.0f);
// The same toward a direction.
void steerAirplaneAlong(Airplane& plane, const Vec3& direction, float speed, float authority = 1.0f);
