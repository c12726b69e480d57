#pragma once
#include <cstdint>

// Shared math: 2- and 3-vectors, quaternions (x, y, z, w), 4x4 float matrices
// in column order with the translation in elements 12 to 14, angles in radians.
//
// Conventions: right-handed, y up; a camera or an airplane looks along its
// local -z axis. Matrices act on column vectors, so mat4Multiply(a, b) applies
// b first, then a. A quaternion turns local coordinates into world ones.

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

// An RGBA color of bytes.
struct Color4 {
    std::uint8_t r = 255, g = 255, b = 255, a = 255;

    // a + (b - a) * t per channel, truncated to a byte. Channels are held to
    // 0..255 first, so a t outside 0..1 saturates instead of wrapping.
    static Color4 lerp(const Color4& a, const Color4& b, float t);
    static void lerpInto(Color4& out, const Color4& a, const Color4& b, float t);
    // Red, green and blue times alpha / 255, each to the nearest integer.
    void premultiplyAlpha();
};

// A color of three floats, 0..1 per channel in normal use.
struct Color3f {
    float r = 0.0f, g = 0.0f, b = 0.0f;
};

constexpr float kPi = 3.14159265358979323846f;

// The colors shared by the HUD, the tutorials and the menus.
constexpr Color4 kColorWhite{255, 255, 255, 255};
constexpr Color4 kColorShadow{0, 0, 0, 255};
constexpr Color4 kColorRed{255, 0, 0, 255};
constexpr Color4 kColorTutorialHighlight{255, 140, 0, 255};
constexpr Color4 kColorIconTint{224, 104, 92, 255};

namespace Math {
float sinf(float radians);
float cosf(float radians);
float atan2f(float y, float x);
float floorf(float x);
float powf(float base, float exponent);
}  // namespace Math

// value limited to [minValue, maxValue]; minValue wins when the bounds cross.
float clampf(float minValue, float value, float maxValue);
inline float lerpf(float a, float b, float t) { return a + (b - a) * t; }

// 1 / sqrt(x) by the 0x5F3759DF bit trick refined by two Newton steps
// (relative error below 5e-6). Meant for x > 0; x = 0 gives a large finite value.
float fastInvSqrt(float x);
// The same with one Newton step (relative error below 2e-3).
float fastInvSqrtCoarse(float x);
// x times the fast inverse square root; 0 for x <= 0.
float fastSqrt(float x);

// Vectors
Vec2 vec2LerpClamped(const Vec2& a, const Vec2& b, float t);  // t held to 0..1
Vec3 vec3LerpClamped(const Vec3& a, const Vec3& b, float t);  // t held to 0..1
Vec3 vec3Add(const Vec3& a, const Vec3& b);
// The vector from `from` to `to`: to - from. Callers pass their own position
// first ("other base minus own base").
Vec3 vec3Sub(const Vec3& from, const Vec3& to);
Vec3 vec3Negate(const Vec3& v);
Vec3 vec3Scale(const Vec3& v, float s);
void vec3ScaleFwd(Vec3& out, const Vec3& v, float s);
Vec3 vec3CrossB(const Vec3& a, const Vec3& b);  // a x b
float vec3Dot(const Vec3& a, const Vec3& b);
float vec3Length(const Vec3& v);
float vec3DistanceSq(const Vec3& a, const Vec3& b);
float vec3DistanceExact(const Vec3& a, const Vec3& b);
// 1 / |v| by the fast inverse square root.
float vec3InvLength(const Vec3& v);
// Scales v to unit length in place by the fast inverse square root and returns
// it. A vector of (near) zero length is left unchanged: no infinity or NaN.
Vec3& vec3Normalize(Vec3& v);
// Unit length by an exact square root; the zero vector (and one with a NaN or
// an infinity) comes back as `fallback`.
Vec3 vec3NormalizeOr(const Vec3& v, const Vec3& fallback);

inline Vec3 operator+(const Vec3& a, const Vec3& b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
inline Vec3 operator-(const Vec3& a, const Vec3& b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
inline Vec3 operator-(const Vec3& v) { return {-v.x, -v.y, -v.z}; }
inline Vec3 operator*(const Vec3& v, float s) { return {v.x * s, v.y * s, v.z * s}; }
inline Vec3 operator*(float s, const Vec3& v) { return v * s; }

// Quaternions
Quat quatMultiply(const Quat& a, const Quat& b);  // b turns first, then a
Quat quatConjugate(const Quat& q);
Quat quatNormalize(const Quat& q);              // identity for a zero quaternion; always a unit
// False for a (near) zero quaternion or one with an infinite or NaN component.
bool quatCanNormalize(const Quat& q);
Vec3 quatRotateVector(const Quat& q, const Vec3& v);
// Spherical interpolation: t <= 0 gives a, t >= 1 gives b; otherwise the
// shorter of the two arcs between them.
Quat quatSlerp(const Quat& a, const Quat& b, float t);
Quat quatFromAngleY(float radians);
// Heading about y, pitch about x, roll about z; roll is applied first, then
// pitch, then heading (q = heading * pitch * roll).
Quat quatFromEuler(float heading, float pitch, float roll);
void quatFromEulerTo(Quat& out, float heading, float pitch, float roll);
// The orientation whose forward (-z) axis points along `direction` (unit
// length), without roll: yaw atan2(-x, -z), pitch asin(y).
void quatFromDirectionTo(Quat& out, const Vec3& direction);
// q turned about its own x, y or z axis.
Quat quatMulAxisX(const Quat& q, float radians);
Quat quatMulAxisY(const Quat& q, float radians);
Quat quatMulAxisZ(const Quat& q, float radians);
// The same turns in place.
void quatRotateX(Quat& q, float radians);
void quatRotateY(Quat& q, float radians);
void quatRotateZ(Quat& q, float radians);
// Heading of the forward axis about y (0 looking down -z) and its pitch above
// the horizon, the inverse of quatFromDirectionTo.
float quatYaw(const Quat& q);
float quatPitch(const Quat& q);
Mat4 quatToMatrix(const Quat& q);
Quat quatFromMatrix(const Mat4& m);  // from the rotation part

// Matrices
Mat4 mat4Multiply(const Mat4& a, const Mat4& b);
void mat4MultiplyTo(Mat4& out, const Mat4& a, const Mat4& b);  // out may be a or b
Mat4 mat4Transpose(const Mat4& m);
// These turn, move or scale m in its own frame: m = m * (transform).
void mat4Translate(Mat4& m, float x, float y, float z);
void mat4TranslateV(Mat4& m, const Vec3& v);
void mat4RotateX(Mat4& m, float radians);
void mat4RotateY(Mat4& m, float radians);
void mat4RotateZ(Mat4& m, float radians);
void mat4Scale(Mat4& m, float sx, float sy, float sz);
void mat4ScaleV(Mat4& m, const Vec3& s);
void mat4ScaleUniform(Mat4& m, float s);
Mat4 mat4MakeRotationX(float radians);
Mat4 mat4MakeRotationY(float radians);
Mat4 mat4MakeRotationZ(float radians);
void mat4MakeRotationXTo(Mat4& out, float radians);
void mat4MakeRotationYTo(Mat4& out, float radians);
// A copy of m whose first three columns are scaled by sx, sy and sz.
Mat4 mat4ScaledCopy(const Mat4& m, float sx, float sy, float sz);
Mat4 mat4FromQuatPosition(const Quat& q, const Vec3& position);
// A rotation whose -z axis points along forward and whose y axis lies in the
// plane of forward and up; the identity when forward is zero or parallel to up.
Mat4 mat4FromForwardUp(const Vec3& forward, const Vec3& up);
Vec3 mat4TransformPoint(const Mat4& m, const Vec3& p);  // with the translation
Vec3 rotateVector3x3(const Mat4& m, const Vec3& v);     // rotation part only
// Determinant of the 3x3 linear part: zero when it flattens space, negative
// when it mirrors it.
float mat4LinearDeterminant(const Mat4& m);
// Inverse of an affine transform (last row 0 0 0 1); false, with out left
// alone, when it is singular or not finite.
[[nodiscard]] bool mat4InvertAffine(const Mat4& m, Mat4& out);
// Perspective projection (vertical field of view in radians) and orthographic
// projection, as the GL conventions define them. Degenerate values (a zero
// aspect, field of view or depth range, near <= 0 for the perspective) give
// the identity rather than infinities.
void mat4Perspective(Mat4& out, float fovY, float aspect, float zNear, float zFar);
void mat4Ortho(Mat4& out, float left, float right, float bottom, float top, float zNear, float zFar);

// Camera record and frustum tests
struct Plane {
    Vec3 normal;  // unit length, pointing into the frustum
    float d = 0.0f;
    float distanceTo(const Vec3& p) const { return normal.x * p.x + normal.y * p.y + normal.z * p.z + d; }
};

struct CameraMatrices {
    Mat4 view, projection, viewProjection;  // viewProjection = projection * view
    Plane planes[6];                         // left, right, bottom, top, near, far
};

// Copies the matrices, stores their product and derives the six normalised
// frustum planes from it.
void setCameraMatrices(CameraMatrices& camera, const Mat4& projection, const Mat4& view);
// True unless the sphere lies wholly behind one of the six planes.
bool sphereInFrustum(const CameraMatrices& camera, const Vec3& centre, float radius);
// True when the box (centre, half extents) lies at least partly inside.
bool boxInFrustum(const CameraMatrices& camera, const Vec3& centre, const Vec3& halfExtents);
// Grows the min/max box so that it holds the sphere.
void aabbAddSphere(Vec3& boxMin, Vec3& boxMax, const Vec3& centre, float radius);
// Normalised screen coordinates (x right, y down, -1..1 on screen) of a world
// point; the result is its view depth, negative in front of the camera. A
// point in the eye plane gives (0, 0).
float projectToScreen(const CameraMatrices& camera, const Vec3& point, Vec2& screen);
// Writes (x, -y, -z) / w of the view-projection; the result as above.
float projectToScreen3(const CameraMatrices& camera, const Vec3& point, Vec3& screen);

// Colors
// Each channel round(channel * 255) held to 0..255: 1.0 gives 255, a channel
// above 1 saturates, below 0 (or NaN) gives 0. packColor3 sets alpha to 255.
void packColor4(Color4& out, float r, float g, float b, float a);
void packColor3(Color4& out, const Color3f& rgb);
// Hue in degrees (360 is 0; other values are wrapped into 0..360), saturation
// and value 0..1. Saturation below 0.001 gives grey.
Color3f hsvToRgb(float hue, float saturation, float value);
