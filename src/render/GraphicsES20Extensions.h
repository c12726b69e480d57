#pragma once

class GraphicsES20;

// The extension programs, built after the built-in ones at start-up. Later
// subsystems' passes (scattering, particle sprites, final combine, heat haze,
// rain refraction) add their programs and draws here as they arrive.
class GraphicsES20Extensions {
public:
    explicit GraphicsES20Extensions(GraphicsES20& device) : m_device(device) {}
    // Builds every extension program; false when one fails to build.
    [[nodiscard]] bool load();
    GraphicsES20& device() { return m_device; }

private:
    GraphicsES20& m_device;
};
