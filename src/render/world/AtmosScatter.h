#pragma once
#include "platform/Math.h"

// Sunlight and sky color through the air: Rayleigh extinction over three
// wavelengths along an air mass that grows toward the horizon. The scene feeds
// it the weather and the sun direction; the sky dome, the fog and the light
// record take their colors from it.
class AtmosScatter final {
public:
    AtmosScatter();

    // Weather intensity 0..1 (clamped): 0 clear, 1 overcast. Overcast pulls the
    // three wavelengths together, so sunlight and sky turn grey.
    void setWavelengths(float weatherIntensity);
    // The color of sunlight from `direction` (toward the sun, any length),
    // channels 0..1, also kept as sunColor(). White with the sun overhead,
    // reddening toward the horizon; below it fades to a dark blue twilight.
    // Always finite: a zero or non-finite direction counts as overhead.
    Vec3 computeSunColor(const Vec3& direction);
    const Vec3& sunColor() const { return m_sunColor; }
    const Vec3& sunDirection() const { return m_sunDirection; }

    // Sky color seen along `viewDirection` under the last computed sun.
    // Directions below the horizon see the horizon color.
    Vec3 skyColor(const Vec3& viewDirection) const;
    // Extinction per unit air mass for red, green and blue.
    const float* beta() const { return m_beta; }

private:
    float m_beta[3] = {};
    Vec3 m_sunColor{1.0f, 1.0f, 1.0f};
    Vec3 m_sunDirection{0.0f, 1.0f, 0.0f};
};

// The program's one scattering object.
AtmosScatter& atmosScatter();
