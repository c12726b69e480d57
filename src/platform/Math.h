#pragma once
#include <cstdint>

// Shared math: 2- and 3-vectors, quaternions (x, y, z, w), 4x4 float matrices
// in column order with the translation in elements 12 to 14, angles in radians.

struct Vec2 {
    float x = 0.0f, y = 0.0f;
};

struct Vec3 {
    float x = 0.0f, y = 0.0f, z = 0.0f;
};

struct Quat {
    float x = 0.0f, y = 0.0f, z = 0.0f, w = 1.0f;
};

// m[column * 4 + row]; m[12], m[13], m[14] hold the translation.
struct Mat4 {
    float m[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
};

// An RGBA colour of bytes.
struct Color4 {
    std::uint8_t r = 255, g = 255, b = 255, a = 255;
};

constexpr float kPi = 3.14159265358979323846f;
