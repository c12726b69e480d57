#pragma once
#include "platform/Math.h"

#include <array>
#include <cstdint>

// The sun as a screen-space glow while it is on screen, and a lens flare of
// seven coloured discs along the line from the sun through the view's centre.
// It fades in and out, weakens near the centre, goes below the horizon and,
// with occlusion queries, when terrain covers the sun. One glare exists.
class SunGlare {
public:
    struct Vertex {
        float x, y, z;
        Color4 color;
        float u, v;
    };
    // What the scene gives each frame.
    struct Input {
        Vec3 lightDirection{0.0f, 1.0f, 0.0f};   // towards the sun
        Color3f sunColor{1.0f, 1.0f, 1.0f};
        Vec3 cameraPosition;
        float aspect = 1.5f;                      // height over width factor of the quads
    };

    // Makes the query when the tier and the device allow, fills the quads.
    static void load();
    static void release();
    static void update(const Input& in, float dt);
    // The sun quad; the flare discs; the query cycle (from the overlay pass).
    static void render();
    static void renderFlare();
    static void renderOverlay();

    static float visibility();
    static float flareStrength();
    static float occlusion();
    static std::uint8_t hidden();
    static bool hasQuery();
    static const std::array<Vertex, 32>& quads();
    static Vec2 sunOnScreen();
};
