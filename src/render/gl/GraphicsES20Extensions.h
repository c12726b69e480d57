#pragma once
#include "platform/Math.h"
#include "render/fx/EffectPrograms.h"

#include <string>
#include <vector>

class GraphicsES20;
class RenderBuffer;

// The extension programs, built after the built-in ones at start-up. Later
// subsystems' passes (scattering, particle sprites, final combine, heat haze,
// rain refraction) add their programs and draws here as they arrive.
class GraphicsES20Extensions {
public:
    explicit GraphicsES20Extensions(GraphicsES20& device) : m_device(device) {}
    // Readies the extension programs, each built at its first use; false
    // when one cannot be, with error() naming it.
    [[nodiscard]] bool load();
    void unload();
    GraphicsES20& device() { return m_device; }
    const std::string& error() const { return m_error; }

    EffectPrograms& effects() { return m_effects; }

private:
    GraphicsES20& m_device;
    EffectPrograms m_effects;
    std::string m_error;
};

// The extension set of the current device; null when none is loaded.
GraphicsES20Extensions* graphicsExtensions();
void setGraphicsExtensions(GraphicsES20Extensions* extensions);
