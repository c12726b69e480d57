#pragma once
#include <cmath>

// A 2-D affine transform of screen points: the top two rows of a 3-by-3 matrix
// whose last row is (0, 0, 1). x' = xx x + xy y + tx, y' = yx x + yy y + ty.
struct Transform2D {
    float xx = 1.0f, xy = 0.0f, tx = 0.0f;
    float yx = 0.0f, yy = 1.0f, ty = 0.0f;

    static Transform2D translation(float x, float y) { return {1.0f, 0.0f, x, 0.0f, 1.0f, y}; }
    static Transform2D scaling(float sx, float sy) { return {sx, 0.0f, 0.0f, 0.0f, sy, 0.0f}; }
    // Radians; positive turns clockwise on the screen, whose y axis points down.
    static Transform2D rotation(float angle)
    {
        const float c = std::cos(angle), s = std::sin(angle);
        return {c, -s, 0.0f, s, c, 0.0f};
    }
    // Rotation about the point (x, y).
    static Transform2D rotationAbout(float angle, float x, float y)
    {
        return translation(x, y) * rotation(angle) * translation(-x, -y);
    }

    // (a * b) applies b first, then a.
    friend Transform2D operator*(const Transform2D& a, const Transform2D& b)
    {
        return {a.xx * b.xx + a.xy * b.yx, a.xx * b.xy + a.xy * b.yy, a.xx * b.tx + a.xy * b.ty + a.tx,
                a.yx * b.xx + a.yy * b.yx, a.yx * b.xy + a.yy * b.yy, a.yx * b.tx + a.yy * b.ty + a.ty};
    }
    float applyX(float x, float y) const { return xx * x + xy * y + tx; }
    float applyY(float x, float y) const { return yx * x + yy * y + ty; }
};
