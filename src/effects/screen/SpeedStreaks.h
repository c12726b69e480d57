#pragma once
#include "platform/Math.h"

#include <array>

// A sense of speed in the high-detail mode: cloud puffs rushing past the
// player's plane and thin speed lines from the view's centre outward, both
// growing with speed.
class SpeedStreaks {
public:
    static constexpr int kPuffs = 16;
    static constexpr int kLines = 64;

    struct Puff {
        Vec3 offset;
        float key = 0.0f, timer = -1.0f, life = 0.0f;
        int frame = 0;
    };
    struct Line {
        Vec3 start, end, velocity;
        float halfWidth = 0.0f, length = 0.0f, timer = -1.0f;
    };
    // What the scene reads of the game and the player's plane each frame.
    struct Input {
        bool active = false;   // a game runs, not ended, with a live player plane
        Mat4 plane;            // its world matrix
        float speed = 0.0f;
        float time = 0.0f;     // the scene clock
        Color3f light{1.0f, 1.0f, 1.0f};
    };

    static void load(const Vec3& cameraPosition, float aspect);
    static void update(const Input& in, float dt);
    // Returns the quads drawn (puffs and lines).
    static int render();
    static void release();

    static float puffIntensity();
    static float lineIntensity();
    static const std::array<Puff, kPuffs>& puffs();
    static const std::array<Line, kLines>& lines();
    // Shell sort by key with gaps 8, 4, 2, 1.
    static void sortPuffs(std::array<Puff, kPuffs>& puffs);
};
