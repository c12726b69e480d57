#pragma once
#include "platform/Math.h"

#include <string_view>

class PSystem;

// A free-standing particle effect (an explosion, a burst) from its cached
// description, placed at a point and linked into the effect list, which owns
// and deletes it. Null, and nothing made, when the description did not load.
PSystem* spawnParticleEffect(std::string_view psc, const Vec3& at, const Vec3& direction = {0.0f, 1.0f, 0.0f});
