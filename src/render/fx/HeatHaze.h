#pragma once
#include <span>

class Texture2D;

// The heat shimmer behind a jet's nozzles: quads of 20-byte vertices
// (position 3 floats, u v) with the glow-alpha texture, two time values
// (scene time x 0.25 and x 7.0; wrapped here) and an intensity 0..1. Both
// draw with premultiplied blending, depth test on and depth writes off, and
// restore the render state.
//
// The shimmer alone, for use without the haze target.
void drawHeatHaze(std::span<const float> quads, const Texture2D* glowAlpha, float slowTime, float fastTime,
                  float intensity);
// The quads refracting the haze target's picture; nothing without that target.
void drawHeatHazeRefraction(std::span<const float> quads, const Texture2D* glowAlpha, float slowTime,
                            float fastTime, float intensity);
