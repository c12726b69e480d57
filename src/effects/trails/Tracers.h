#pragma once
#include "platform/Math.h"

#include <span>

// Short additive streaks: every live bullet along its velocity, and laser
// beams while they last. The weapons hand over segments each frame; the
// streaks are camera-facing quads with the rocket-trail texture.
struct TracerSegment {
    Vec3 from, to;
    float width = 0.3f;
    Color4 color{255, 214, 140, 255};
};

namespace Tracers {
constexpr int kCapacity = 1024;
// Starts a frame's list.
void begin();
// Adds a segment; false (dropped) when the frame's list is full.
bool add(const TracerSegment& segment);
int count();
// A laser beam drawn for `seconds` (aged by the effects' update).
void addBeam(const Vec3& from, const Vec3& to, float seconds);
void updateBeams(float dt);
int beamCount();
void clearAll();
// Draws the frame's segments with the current view and projection.
void renderAll();
}  // namespace Tracers
