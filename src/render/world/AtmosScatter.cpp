#include "render/world/AtmosScatter.h"

#include "render/GpuProgram.h"
#include "platform/Math.h"
#include "render/internal/RenderGlobals.h"

#include <cmath>

namespace {

constexpr float kWavelengths[3] = {650.0f, 570.0f, 475.0f};  // nm: red, green, blue
constexpr float kOvercastWavelength = 570.0f;
constexpr float kRedBeta = 0.035f;     // keeps a warm sunset instead of a black one
constexpr float kTwilightDegrees = 8.0f;  // the sun's light is gone this far below the horizon
constexpr Vec3 kNight{0.03f, 0.04f, 0.08f};
constexpr float kSkyDepth = 8.0f;         // air masses of scattering the sky sees overhead
constexpr float kSkyBrightness = 0.9f;

// Kasten and Young's air mass for an elevation in degrees, 1 overhead and
// about 38 at the horizon; elevations below 0 count as 0.
float airMass(float elevationDegrees)
{
    const float e = elevationDegrees > 0.0f ? elevationDegrees : 0.0f;
    return 1.0f / (std::sin(e * kPi / 180.0f) + 0.50572f * std::pow(e + 6.07995f, -1.6364f));
}

float elevationDegrees(const Vec3& direction)
{
    const Vec3 d = vec3NormalizeOr(direction, Vec3{0.0f, 1.0f, 0.0f});
    return std::asin(clampf(-1.0f, d.y, 1.0f)) * 180.0f / kPi;
}

}  // namespace

AtmosScatter::AtmosScatter() { setWavelengths(0.0f); }

void AtmosScatter::setWavelengths(float weatherIntensity)
{
    const float w = std::isfinite(weatherIntensity) ? clampf(0.0f, weatherIntensity, 1.0f) : 0.0f;
    for (int i = 0; i < 3; ++i) {
        const float lambda = lerpf(kWavelengths[i], kOvercastWavelength, w);
        const float r = kWavelengths[0] / lambda;
        m_beta[i] = kRedBeta * r * r * r * r;
    }
}

Vec3 AtmosScatter::computeSunColor(const Vec3& direction)
{
    m_sunDirection = vec3NormalizeOr(direction, Vec3{0.0f, 1.0f, 0.0f});
    const float e = elevationDegrees(m_sunDirection);
    // Relative to the overhead sun, so noon light is white.
    const float m = std::fmax(airMass(e) - 1.0f, 0.0f);
    Vec3 c{std::exp(-m_beta[0] * m), std::exp(-m_beta[1] * m), std::exp(-m_beta[2] * m)};
    if (e < 0.0f) {
        float fade = clampf(0.0f, 1.0f + e / kTwilightDegrees, 1.0f);
        fade *= fade;
        c = ((c * fade) + (kNight * (1.0f - fade)));
    }
    m_sunColor = c;
    return c;
}

Vec3 AtmosScatter::skyColor(const Vec3& viewDirection) const
{
    const Vec3 view = vec3NormalizeOr(viewDirection, Vec3{0.0f, 1.0f, 0.0f});
    const float m = airMass(elevationDegrees(view)) * kSkyDepth;
    Vec3 sky;
    float* out = &sky.x;
    const float* light = &m_sunColor.x;
    for (int i = 0; i < 3; ++i)
        out[i] = light[i] * kSkyBrightness * (1.0f - std::exp(-m_beta[i] * m));
    // A glow around the sun.
    const float toward = vec3Dot(view, m_sunDirection);
    if (toward > 0.0f) {
        const float t2 = toward * toward, t4 = t2 * t2;
        const float glow = 0.25f * t4 * t4;
        sky = (sky + (m_sunColor * glow));
    }
    return Vec3{std::fmax(sky.x, kNight.x), std::fmax(sky.y, kNight.y), std::fmax(sky.z, kNight.z)};
}

AtmosScatter& atmosScatter()
{
    return renderGlobals().atmosScatter;
}
