#pragma once
#include "platform/Math.h"

// The two passes the scene draws entities in: the solid models first, then
// what must come after the blended world effects (glass, spinning discs).
enum class DrawPass : int { Late = 0, Opaque = 1 };

// Which of the game mode's draw lists a target is drawn from.
enum class DrawGroup : int { Aircraft = 0, GroundUnits = 1, MapEntities = 2 };

// What a draw knows of the view it draws for.
struct DrawView {
    Vec3 eye;
    Vec3 forward{0.0f, 0.0f, -1.0f};  // unit, the way the camera looks
    float time = 0.0f;                // scene seconds, for motion that only shows
};
