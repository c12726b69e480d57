#pragma once
#include "platform/Math.h"

#include <algorithm>
#include <cmath>

// The two passes the scene draws entities in: the solid models first, then
// what must come after the blended world effects (glass, spinning discs).
enum class DrawPass : int { Late = 0, Opaque = 1 };

// Which of the game mode's draw lists a target is drawn from.
enum class DrawGroup : int { Aircraft = 0, GroundUnits = 1, MapEntities = 2 };

// The farthest a box in model space reaches from the model's origin.
inline float reachFromOrigin(const Vec3& boundsMin, const Vec3& boundsMax)
{
    const float x = std::max(std::abs(boundsMin.x), std::abs(boundsMax.x));
    const float y = std::max(std::abs(boundsMin.y), std::abs(boundsMax.y));
    const float z = std::max(std::abs(boundsMin.z), std::abs(boundsMax.z));
    return std::sqrt(x * x + y * y + z * z);
}

// What a draw knows of the view it draws for.
struct DrawView {
    Vec3 eye;
    Vec3 forward{0.0f, 0.0f, -1.0f};  // unit, the way the camera looks
    float time = 0.0f;                // scene seconds, for motion that only shows
    // The camera's frustum: when given, a target wholly outside it is not
    // drawn, before any GL call.
    const CameraMatrices* frustum = nullptr;
};
