#include "platform/Math.h"

#include <algorithm>
#include <bit>
#include <cmath>

namespace {

// Below this squared length a vector has no usable direction.
constexpr float kTinyLengthSq = 1e-20f;

float clampUnit(float x) { return std::min(1.0f, std::max(-1.0f, x)); }

std::uint8_t channelByte(float value)
{
    // !(value >= 0) also catches NaN.
    if (!(value >= 0.0f))
        return 0;
    if (value >= 255.0f)
        return 255;
    return static_cast<std::uint8_t>(value);
}

std::uint8_t lerpChannel(std::uint8_t a, std::uint8_t b, float t)
{
    return channelByte(static_cast<float>(a) + (static_cast<float>(b) - static_cast<float>(a)) * t);
}

// round(channel * 255) held to 0..255: a channel a little above 1 is full,
// not wrapped round to black. NaN gives 0.
std::uint8_t packChannel(float channel)
{
    const float v = channel * 255.0f;
    if (!(v > 0.0f))
        return 0;
    return v >= 255.0f ? 255 : static_cast<std::uint8_t>(std::lround(v));
}

Quat axisQuat(float x, float y, float z, float radians)
{
    const float s = std::sin(radians * 0.5f);
    return {x * s, y * s, z * s, std::cos(radians * 0.5f)};
}

// A turn that carries axis `from` towards axis `to` (0 x, 1 y, 2 z).
Mat4 planeRotation(int from, int to, float radians)
{
    const float c = std::cos(radians), s = std::sin(radians);
    Mat4 r;
    r.m[from * 4 + from] = c;
    r.m[from * 4 + to] = s;
    r.m[to * 4 + from] = -s;
    r.m[to * 4 + to] = c;
    return r;
}

}  // namespace

void Color4::lerpInto(Color4& out, const Color4& a, const Color4& b, float t)
{
    out = {lerpChannel(a.r, b.r, t), lerpChannel(a.g, b.g, t), lerpChannel(a.b, b.b, t), lerpChannel(a.a, b.a, t)};
}

Color4 Color4::lerp(const Color4& a, const Color4& b, float t)
{
    Color4 out;
    lerpInto(out, a, b, t);
    return out;
}

void Color4::premultiplyAlpha()
{
    const auto scale = [this](std::uint8_t c) {
        return static_cast<std::uint8_t>((static_cast<unsigned>(c) * a + 127u) / 255u);
    };
    r = scale(r);
    g = scale(g);
    b = scale(b);
}

float Math::sinf(float radians) { return std::sin(radians); }
float Math::cosf(float radians) { return std::cos(radians); }
float Math::atan2f(float y, float x) { return std::atan2(y, x); }
float Math::floorf(float x) { return std::floor(x); }
float Math::powf(float base, float exponent) { return std::pow(base, exponent); }

float clampf(float minValue, float value, float maxValue)
{
    return std::max(minValue, std::min(value, maxValue));
}

float fastInvSqrtCoarse(float x)
{
    const float half = 0.5f * x;
    float y = std::bit_cast<float>(0x5F3759DFu - (std::bit_cast<std::uint32_t>(x) >> 1));
    y = y * (1.5f - half * y * y);
    return y;
}

float fastInvSqrt(float x)
{
    float y = fastInvSqrtCoarse(x);
    y = y * (1.5f - 0.5f * x * y * y);
    return y;
}

float fastSqrt(float x)
{
    if (!(x > 0.0f))
        return 0.0f;
    return x * fastInvSqrt(x);
}

Vec2 vec2LerpClamped(const Vec2& a, const Vec2& b, float t)
{
    t = clampf(0.0f, t, 1.0f);
    return {a.x + (b.x - a.x) * t, a.y + (b.y - a.y) * t};
}

Vec3 vec3LerpClamped(const Vec3& a, const Vec3& b, float t)
{
    t = clampf(0.0f, t, 1.0f);
    return {a.x + (b.x - a.x) * t, a.y + (b.y - a.y) * t, a.z + (b.z - a.z) * t};
}

Vec3 vec3Add(const Vec3& a, const Vec3& b) { return a + b; }
Vec3 vec3Sub(const Vec3& from, const Vec3& to) { return to - from; }
Vec3 vec3Negate(const Vec3& v) { return -v; }
Vec3 vec3Scale(const Vec3& v, float s) { return v * s; }
void vec3ScaleFwd(Vec3& out, const Vec3& v, float s) { out = v * s; }

Vec3 vec3CrossB(const Vec3& a, const Vec3& b)
{
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

float vec3Dot(const Vec3& a, const Vec3& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
float vec3Length(const Vec3& v) { return std::sqrt(vec3Dot(v, v)); }
float vec3DistanceSq(const Vec3& a, const Vec3& b) { const Vec3 d = b - a; return vec3Dot(d, d); }
float vec3DistanceExact(const Vec3& a, const Vec3& b) { return std::sqrt(vec3DistanceSq(a, b)); }
float vec3InvLength(const Vec3& v) { return fastInvSqrt(vec3Dot(v, v)); }

Vec3& vec3Normalize(Vec3& v)
{
    const float lengthSq = vec3Dot(v, v);
    if (!(lengthSq > kTinyLengthSq))
        return v;
    const float k = fastInvSqrt(lengthSq);
    v = v * k;
    return v;
}

Vec3 vec3NormalizeOr(const Vec3& v, const Vec3& fallback)
{
    const float length = std::sqrt(vec3Dot(v, v));
    if (!(length > 1e-20f) || !std::isfinite(length))
        return fallback;
    return v * (1.0f / length);
}

Quat quatMultiply(const Quat& a, const Quat& b)
{
    return {a.w * b.x + a.x * b.w + a.y * b.z - a.z * b.y,
            a.w * b.y - a.x * b.z + a.y * b.w + a.z * b.x,
            a.w * b.z + a.x * b.y - a.y * b.x + a.z * b.w,
            a.w * b.w - a.x * b.x - a.y * b.y - a.z * b.z};
}

Quat quatConjugate(const Quat& q) { return {-q.x, -q.y, -q.z, q.w}; }

bool quatCanNormalize(const Quat& q)
{
    const float largest = std::max(std::max(std::fabs(q.x), std::fabs(q.y)), std::max(std::fabs(q.z), std::fabs(q.w)));
    if (!std::isfinite(q.x) || !std::isfinite(q.y) || !std::isfinite(q.z) || !std::isfinite(q.w))
        return false;
    if (!(largest > 0.0f))
        return false;
    const Quat s{q.x / largest, q.y / largest, q.z / largest, q.w / largest};
    return largest * largest * (s.x * s.x + s.y * s.y + s.z * s.z + s.w * s.w) > kTinyLengthSq;
}

Quat quatNormalize(const Quat& q)
{
    const float lengthSq = q.x * q.x + q.y * q.y + q.z * q.z + q.w * q.w;
    if (std::isfinite(lengthSq) && lengthSq > kTinyLengthSq) {
        const float k = 1.0f / std::sqrt(lengthSq);
        return {q.x * k, q.y * k, q.z * k, q.w * k};
    }
    // Components so large that their squares overflow are scaled down first.
    if (!quatCanNormalize(q))
        return Quat{};
    const float largest = std::max(std::max(std::fabs(q.x), std::fabs(q.y)), std::max(std::fabs(q.z), std::fabs(q.w)));
    const Quat s{q.x / largest, q.y / largest, q.z / largest, q.w / largest};
    const float k = 1.0f / std::sqrt(s.x * s.x + s.y * s.y + s.z * s.z + s.w * s.w);
    return {s.x * k, s.y * k, s.z * k, s.w * k};
}

Vec3 quatRotateVector(const Quat& q, const Vec3& v)
{
    // v + 2w (u x v) + 2 u x (u x v), with u the vector part.
    const Vec3 u{q.x, q.y, q.z};
    const Vec3 t = vec3CrossB(u, v) * 2.0f;
    return v + t * q.w + vec3CrossB(u, t);
}

Quat quatSlerp(const Quat& a, const Quat& b, float t)
{
    if (t <= 0.0f)
        return a;
    if (t >= 1.0f)
        return b;
    float cosTheta = a.x * b.x + a.y * b.y + a.z * b.z + a.w * b.w;
    Quat end = b;
    if (cosTheta < 0.0f) {  // q and -q are the same turn: take the short arc
        cosTheta = -cosTheta;
        end = {-b.x, -b.y, -b.z, -b.w};
    }
    float wa = 1.0f - t, wb = t;
    if (cosTheta < 0.9995f) {  // nearly equal ends would divide by a tiny sine
        const float theta = std::acos(cosTheta);
        const float sinTheta = std::sin(theta);
        wa = std::sin((1.0f - t) * theta) / sinTheta;
        wb = std::sin(t * theta) / sinTheta;
    }
    return quatNormalize({a.x * wa + end.x * wb, a.y * wa + end.y * wb, a.z * wa + end.z * wb, a.w * wa + end.w * wb});
}

Quat quatFromAngleY(float radians) { return axisQuat(0, 1, 0, radians); }

Quat quatFromEuler(float heading, float pitch, float roll)
{
    return quatMultiply(quatMultiply(axisQuat(0, 1, 0, heading), axisQuat(1, 0, 0, pitch)), axisQuat(0, 0, 1, roll));
}

void quatFromEulerTo(Quat& out, float heading, float pitch, float roll) { out = quatFromEuler(heading, pitch, roll); }

void quatFromDirectionTo(Quat& out, const Vec3& direction)
{
    Vec3 d = direction;
    const float length = vec3Length(d);
    if (length > 0.0f)
        d = d * (1.0f / length);
    out = quatFromEuler(std::atan2(-d.x, -d.z), std::asin(clampUnit(d.y)), 0.0f);
}

Quat quatMulAxisX(const Quat& q, float radians) { return quatMultiply(q, axisQuat(1, 0, 0, radians)); }
Quat quatMulAxisY(const Quat& q, float radians) { return quatMultiply(q, axisQuat(0, 1, 0, radians)); }
Quat quatMulAxisZ(const Quat& q, float radians) { return quatMultiply(q, axisQuat(0, 0, 1, radians)); }
void quatRotateX(Quat& q, float radians) { q = quatMulAxisX(q, radians); }
void quatRotateY(Quat& q, float radians) { q = quatMulAxisY(q, radians); }
void quatRotateZ(Quat& q, float radians) { q = quatMulAxisZ(q, radians); }

float quatYaw(const Quat& q)
{
    return std::atan2(2.0f * (q.x * q.z + q.y * q.w), 1.0f - 2.0f * (q.x * q.x + q.y * q.y));
}

float quatPitch(const Quat& q) { return std::asin(clampUnit(2.0f * (q.w * q.x - q.y * q.z))); }

Mat4 quatToMatrix(const Quat& q)
{
    const float xx = q.x * q.x, yy = q.y * q.y, zz = q.z * q.z;
    const float xy = q.x * q.y, xz = q.x * q.z, yz = q.y * q.z;
    const float wx = q.w * q.x, wy = q.w * q.y, wz = q.w * q.z;
    Mat4 r;
    r.m[0] = 1 - 2 * (yy + zz); r.m[1] = 2 * (xy + wz);     r.m[2] = 2 * (xz - wy);
    r.m[4] = 2 * (xy - wz);     r.m[5] = 1 - 2 * (xx + zz); r.m[6] = 2 * (yz + wx);
    r.m[8] = 2 * (xz + wy);     r.m[9] = 2 * (yz - wx);     r.m[10] = 1 - 2 * (xx + yy);
    return r;
}

Quat quatFromMatrix(const Mat4& mat)
{
    // Element (row, column) of the rotation part.
    const auto e = [&mat](int row, int column) { return mat.m[column * 4 + row]; };
    const float trace = e(0, 0) + e(1, 1) + e(2, 2);
    Quat q;
    if (trace > 0.0f) {
        const float s = std::sqrt(trace + 1.0f) * 2.0f;
        q = {(e(2, 1) - e(1, 2)) / s, (e(0, 2) - e(2, 0)) / s, (e(1, 0) - e(0, 1)) / s, 0.25f * s};
    } else if (e(0, 0) > e(1, 1) && e(0, 0) > e(2, 2)) {
        const float s = std::sqrt(std::max(0.0f, 1.0f + e(0, 0) - e(1, 1) - e(2, 2))) * 2.0f;
        if (s == 0.0f)
            return Quat{};
        q = {0.25f * s, (e(0, 1) + e(1, 0)) / s, (e(0, 2) + e(2, 0)) / s, (e(2, 1) - e(1, 2)) / s};
    } else if (e(1, 1) > e(2, 2)) {
        const float s = std::sqrt(std::max(0.0f, 1.0f + e(1, 1) - e(0, 0) - e(2, 2))) * 2.0f;
        if (s == 0.0f)
            return Quat{};
        q = {(e(0, 1) + e(1, 0)) / s, 0.25f * s, (e(1, 2) + e(2, 1)) / s, (e(0, 2) - e(2, 0)) / s};
    } else {
        const float s = std::sqrt(std::max(0.0f, 1.0f + e(2, 2) - e(0, 0) - e(1, 1))) * 2.0f;
        if (s == 0.0f)
            return Quat{};
        q = {(e(0, 2) + e(2, 0)) / s, (e(1, 2) + e(2, 1)) / s, 0.25f * s, (e(1, 0) - e(0, 1)) / s};
    }
    return quatNormalize(q);
}

void mat4MultiplyTo(Mat4& out, const Mat4& a, const Mat4& b)
{
    Mat4 r;
    for (int column = 0; column < 4; ++column) {
        for (int row = 0; row < 4; ++row) {
            float sum = 0.0f;
            for (int k = 0; k < 4; ++k)
                sum += a.m[k * 4 + row] * b.m[column * 4 + k];
            r.m[column * 4 + row] = sum;
        }
    }
    out = r;
}

Mat4 mat4Multiply(const Mat4& a, const Mat4& b)
{
    Mat4 r;
    mat4MultiplyTo(r, a, b);
    return r;
}

Mat4 mat4Transpose(const Mat4& m)
{
    Mat4 r;
    for (int column = 0; column < 4; ++column)
        for (int row = 0; row < 4; ++row)
            r.m[row * 4 + column] = m.m[column * 4 + row];
    return r;
}

void mat4Translate(Mat4& m, float x, float y, float z)
{
    for (int row = 0; row < 4; ++row)
        m.m[12 + row] += m.m[row] * x + m.m[4 + row] * y + m.m[8 + row] * z;
}

void mat4TranslateV(Mat4& m, const Vec3& v) { mat4Translate(m, v.x, v.y, v.z); }

Mat4 mat4MakeRotationX(float radians) { return planeRotation(1, 2, radians); }
Mat4 mat4MakeRotationY(float radians) { return planeRotation(2, 0, radians); }
Mat4 mat4MakeRotationZ(float radians) { return planeRotation(0, 1, radians); }
void mat4MakeRotationXTo(Mat4& out, float radians) { out = mat4MakeRotationX(radians); }
void mat4MakeRotationYTo(Mat4& out, float radians) { out = mat4MakeRotationY(radians); }
void mat4RotateX(Mat4& m, float radians) { mat4MultiplyTo(m, m, mat4MakeRotationX(radians)); }
void mat4RotateY(Mat4& m, float radians) { mat4MultiplyTo(m, m, mat4MakeRotationY(radians)); }
void mat4RotateZ(Mat4& m, float radians) { mat4MultiplyTo(m, m, mat4MakeRotationZ(radians)); }

void mat4Scale(Mat4& m, float sx, float sy, float sz) { m = mat4ScaledCopy(m, sx, sy, sz); }
void mat4ScaleV(Mat4& m, const Vec3& s) { mat4Scale(m, s.x, s.y, s.z); }
void mat4ScaleUniform(Mat4& m, float s) { mat4Scale(m, s, s, s); }

Mat4 mat4ScaledCopy(const Mat4& m, float sx, float sy, float sz)
{
    Mat4 r = m;
    const float scale[3] = {sx, sy, sz};
    for (int column = 0; column < 3; ++column)
        for (int row = 0; row < 4; ++row)
            r.m[column * 4 + row] *= scale[column];
    return r;
}

Mat4 mat4FromQuatPosition(const Quat& q, const Vec3& position)
{
    Mat4 r = quatToMatrix(q);
    r.m[12] = position.x;
    r.m[13] = position.y;
    r.m[14] = position.z;
    return r;
}

Mat4 mat4FromForwardUp(const Vec3& forward, const Vec3& up)
{
    Vec3 f = forward;
    Vec3 right = vec3CrossB(f, up);
    if (!(vec3Dot(f, f) > kTinyLengthSq) || !(vec3Dot(right, right) > kTinyLengthSq))
        return Mat4{};
    f = f * (1.0f / vec3Length(f));
    right = right * (1.0f / vec3Length(right));
    const Vec3 trueUp = vec3CrossB(right, f);
    Mat4 r;
    r.m[0] = right.x;  r.m[1] = right.y;  r.m[2] = right.z;
    r.m[4] = trueUp.x; r.m[5] = trueUp.y; r.m[6] = trueUp.z;
    r.m[8] = -f.x;     r.m[9] = -f.y;     r.m[10] = -f.z;
    return r;
}

Vec3 rotateVector3x3(const Mat4& m, const Vec3& v)
{
    return {m.m[0] * v.x + m.m[4] * v.y + m.m[8] * v.z,
            m.m[1] * v.x + m.m[5] * v.y + m.m[9] * v.z,
            m.m[2] * v.x + m.m[6] * v.y + m.m[10] * v.z};
}

float mat4LinearDeterminant(const Mat4& m)
{
    const float a = m.m[0], b = m.m[4], c = m.m[8];
    const float d = m.m[1], e = m.m[5], f = m.m[9];
    const float g = m.m[2], h = m.m[6], i = m.m[10];
    return a * (e * i - f * h) - b * (d * i - f * g) + c * (d * h - e * g);
}

bool mat4InvertAffine(const Mat4& m, Mat4& out)
{
    // The 3x3 part by cofactors, then the translation.
    const float a = m.m[0], b = m.m[4], c = m.m[8];
    const float d = m.m[1], e = m.m[5], f = m.m[9];
    const float g = m.m[2], h = m.m[6], i = m.m[10];
    const float det = mat4LinearDeterminant(m);
    if (!(std::fabs(det) > 1e-12f) || !std::isfinite(det))
        return false;
    const float k = 1.0f / det;
    Mat4 r;
    r.m[0] = (e * i - f * h) * k;
    r.m[4] = (c * h - b * i) * k;
    r.m[8] = (b * f - c * e) * k;
    r.m[1] = (f * g - d * i) * k;
    r.m[5] = (a * i - c * g) * k;
    r.m[9] = (c * d - a * f) * k;
    r.m[2] = (d * h - e * g) * k;
    r.m[6] = (b * g - a * h) * k;
    r.m[10] = (a * e - b * d) * k;
    const Vec3 it = rotateVector3x3(r, Vec3{m.m[12], m.m[13], m.m[14]});
    r.m[12] = -it.x;
    r.m[13] = -it.y;
    r.m[14] = -it.z;
    r.m[3] = r.m[7] = r.m[11] = 0.0f;
    r.m[15] = 1.0f;
    out = r;
    return true;
}

Vec3 mat4TransformPoint(const Mat4& m, const Vec3& p)
{
    return rotateVector3x3(m, p) + Vec3{m.m[12], m.m[13], m.m[14]};
}

void mat4Perspective(Mat4& out, float fovY, float aspect, float zNear, float zFar)
{
    out = Mat4{};
    const float tanHalf = std::tan(fovY * 0.5f);
    if (!(std::fabs(tanHalf) > 0.0f) || !std::isfinite(tanHalf) || !(aspect != 0.0f) || !(zNear > 0.0f) ||
        !(zFar != zNear))
        return;
    const float f = 1.0f / tanHalf;
    out.m[0] = f / aspect;
    out.m[5] = f;
    out.m[10] = (zFar + zNear) / (zNear - zFar);
    out.m[11] = -1.0f;
    out.m[14] = 2.0f * zFar * zNear / (zNear - zFar);
    out.m[15] = 0.0f;
}

void mat4Ortho(Mat4& out, float left, float right, float bottom, float top, float zNear, float zFar)
{
    out = Mat4{};
    if (!(right != left) || !(top != bottom) || !(zFar != zNear))
        return;
    out.m[0] = 2.0f / (right - left);
    out.m[5] = 2.0f / (top - bottom);
    out.m[10] = -2.0f / (zFar - zNear);
    out.m[12] = -(right + left) / (right - left);
    out.m[13] = -(top + bottom) / (top - bottom);
    out.m[14] = -(zFar + zNear) / (zFar - zNear);
}

void setCameraMatrices(CameraMatrices& camera, const Mat4& projection, const Mat4& view)
{
    camera.view = view;
    camera.projection = projection;
    mat4MultiplyTo(camera.viewProjection, projection, view);
    const float* m = camera.viewProjection.m;
    // Row i of the product is (m[i], m[4 + i], m[8 + i], m[12 + i]); each plane
    // is the last row plus or minus one of the others.
    const auto row = [m](int i, float out[4]) {
        out[0] = m[i];
        out[1] = m[4 + i];
        out[2] = m[8 + i];
        out[3] = m[12 + i];
    };
    float w[4];
    row(3, w);
    for (int i = 0; i < 6; ++i) {
        float r[4];
        row(i / 2, r);
        const float sign = (i % 2 == 0) ? 1.0f : -1.0f;
        Plane& plane = camera.planes[i];
        plane.normal = {w[0] + sign * r[0], w[1] + sign * r[1], w[2] + sign * r[2]};
        plane.d = w[3] + sign * r[3];
        const float length = vec3Length(plane.normal);
        if (length > 0.0f) {
            plane.normal = plane.normal * (1.0f / length);
            plane.d /= length;
        }
    }
}

bool sphereInFrustum(const CameraMatrices& camera, const Vec3& centre, float radius)
{
    for (const Plane& plane : camera.planes)
        if (plane.distanceTo(centre) < -radius)
            return false;
    return true;
}

bool boxInFrustum(const CameraMatrices& camera, const Vec3& centre, const Vec3& halfExtents)
{
    for (const Plane& plane : camera.planes) {
        const float reach = std::fabs(plane.normal.x) * halfExtents.x + std::fabs(plane.normal.y) * halfExtents.y +
                            std::fabs(plane.normal.z) * halfExtents.z;
        if (plane.distanceTo(centre) < -reach)
            return false;
    }
    return true;
}

void aabbAddSphere(Vec3& boxMin, Vec3& boxMax, const Vec3& centre, float radius)
{
    boxMin = {std::min(boxMin.x, centre.x - radius), std::min(boxMin.y, centre.y - radius),
              std::min(boxMin.z, centre.z - radius)};
    boxMax = {std::max(boxMax.x, centre.x + radius), std::max(boxMax.y, centre.y + radius),
              std::max(boxMax.z, centre.z + radius)};
}

float projectToScreen3(const CameraMatrices& camera, const Vec3& point, Vec3& screen)
{
    const float* m = camera.viewProjection.m;
    const float x = m[0] * point.x + m[4] * point.y + m[8] * point.z + m[12];
    const float y = m[1] * point.x + m[5] * point.y + m[9] * point.z + m[13];
    const float z = m[2] * point.x + m[6] * point.y + m[10] * point.z + m[14];
    const float w = m[3] * point.x + m[7] * point.y + m[11] * point.z + m[15];
    if (w != 0.0f) {
        const float k = 1.0f / w;
        screen = {x * k, -y * k, -z * k};
    } else {
        screen = {};
    }
    return mat4TransformPoint(camera.view, point).z;
}

float projectToScreen(const CameraMatrices& camera, const Vec3& point, Vec2& screen)
{
    Vec3 projected;
    const float depth = projectToScreen3(camera, point, projected);
    screen = {projected.x, projected.y};
    return depth;
}

void packColor4(Color4& out, float r, float g, float b, float a)
{
    out = {packChannel(r), packChannel(g), packChannel(b), packChannel(a)};
}

void packColor3(Color4& out, const Color3f& rgb)
{
    out = {packChannel(rgb.r), packChannel(rgb.g), packChannel(rgb.b), 255};
}

Color3f hsvToRgb(float hue, float saturation, float value)
{
    if (saturation < 0.001f)
        return {value, value, value};
    float h = std::isfinite(hue) ? std::fmod(hue, 360.0f) : 0.0f;
    if (h < 0.0f)
        h += 360.0f;
    if (h >= 360.0f)  // fmod of a tiny negative hue can round back up to 360
        h = 0.0f;
    h /= 60.0f;
    const int sector = static_cast<int>(h);
    const float f = h - static_cast<float>(sector);
    const float p = value * (1.0f - saturation);
    const float q = value * (1.0f - saturation * f);
    const float t = value * (1.0f - saturation * (1.0f - f));
    switch (sector) {
    case 0: return {value, t, p};
    case 1: return {q, value, p};
    case 2: return {p, value, t};
    case 3: return {p, q, value};
    case 4: return {t, p, value};
    default: return {value, p, q};
    }
}
