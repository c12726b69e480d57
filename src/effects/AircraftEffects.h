#pragma once
#include "platform/Math.h"

// The scene's calls for the aircraft and weapon effects: the pooled
// systems, missile trails, contrails, tracers and beams.
namespace AircraftEffects {
// Scene load: the effect textures, the pool's buffers and the shared index
// lists. Returns the number of textures that failed to load.
int load();
// Once a frame; dt is 0 while play is stopped.
void update(float dt);
// After the effect list's passes: contrails, trails, tracers, then the pool.
// The glow of the missiles' noses is drawn in screen space.
void draw(const Mat4& farProjection, const Mat4& nearProjection);
// Deletes every pooled system and trail and forgets the textures (leaving a screen).
void release();
}  // namespace AircraftEffects
