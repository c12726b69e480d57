#pragma once
#include "platform/Math.h"

// Stick inputs (nose up, turn left, roll left) that turn a plane of this
// orientation toward a world direction: roll the goal into the plane's
// vertical plane, pull toward it, and yaw out the last degrees. Used by mouse
// steering, the autopilot and scripted pilots.
Vec3 steerInputs(const Quat& orientation, const Vec3& direction);

// Inputs that hold the wings level and the nose on a given pitch angle.
Vec3 levelInputs(const Quat& orientation, float pitchGoal);
