#pragma once
#include "platform/Math.h"

#include <array>

// Rain or snow in front of the camera: drops and flakes sitting on the lens
// and streaks or flakes falling past it, all in camera space under a fixed
// projection of their own. The game mode picks the mode and blends the
// intensity; this only draws what they ask for.
class Weather {
public:
    static constexpr int kDrops = 64;
    static constexpr int kParticles = 128;
    static constexpr int kRain = 1;

    struct Drop {
        float x = 0.0f, y = 0.0f, width = 0.0f, height = 0.0f;
        float timer = -1.0f;
        int frame = 0;
    };
    struct Particle {
        Vec3 start, end, velocity;
        float halfWidth = 0.0f, length = 0.0f;
        float timer = -1.0f;
        int frame = 0;
    };
    // What the scene tells the draw about the player's airplane.
    struct View {
        bool hasPlayer = false;
        bool insideTarget = false;   // in a tunnel or a hangar: no weather
    };
    struct Drawn {
        int drops = 0, particles = 0;
        bool refracted = false;   // drawn bending the picture (top detail)
    };

    // Frees every record and builds the projection (scene load).
    static void load(float aspect);
    // Mode 1 rain, other positive modes snow, 0 or less none.
    static void update(int mode, float intensity, float dt);
    static Drawn render(int mode, float intensity, const View& view);
    // Frees the textures (leaving the screen).
    static void release();

    static const std::array<Drop, kDrops>& drops();
    static const std::array<Particle, kParticles>& particles();
    static int liveCount();
    static const Mat4& projection();
};

// The camera-space projection the lens effects share: 60 degrees high,
// near 0.01, far 10.
Mat4 lensProjection(float aspect);
