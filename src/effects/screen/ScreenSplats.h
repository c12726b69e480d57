#pragma once
#include <array>
#include <cstdint>

// Short-lived 2-D sprites over the whole view: oil (kind 0) and sparks (kind
// 1) thrown against the camera by a near explosion or a missile hit, bullet
// holes (kind 2) when bullets hit the player's plane. A fixed pool of 32,
// updated and drawn once a frame after the 3-D scene, drawn from sprite set 6.
class ScreenSplats {
public:
    static constexpr int kOil = 0, kSparks = 1, kBulletHoles = 2;
    static constexpr int kCount = 32;
    static constexpr int kSpriteSet = 6;

    struct Splat {
        float x = 0.0f, y = 0.0f;   // screen pixels
        float life = -1.0f;         // seconds left; below 0 free
        float age = 0.0f;
        float rotation = 0.0f;      // radians
        float delay = 0.0f;         // seconds before it shows; life and age wait
        float scale = 1.0f;
        int kind = 0;
        int frame = 0;
    };

    // Every splat free, no cool-down, hit timer 0 (a game screen starts).
    static void reset();
    // Adds up to `maximum` splats of a kind unless a cool-down runs or more
    // than 31 are active; then the cool-down becomes `cooldown` seconds. Bullet
    // holes also play a hit sound.
    static void spawn(int maximum, int kind, float cooldown);
    static void update(float dt);
    // In the 2-D pass over the scene; nothing while none is active.
    static void render();

    // Set to 1.0 by the game mode on a missile hit on the player; 0..2.
    static void setHitTimer(float seconds);
    static float hitTimer();
    static float cooldown();
    // Splats shown (not waiting) at the last update.
    static int activeCount();
    static const std::array<Splat, kCount>& splats();
};
