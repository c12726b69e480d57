#pragma once
#include "platform/Math.h"
#include "render/fx/EffectPrograms.h"

#include <string>
#include <vector>

class GraphicsES20;
class GpuProgram;
class RenderBuffer;

// Supplies the atmospheric-scattering uniforms of a program for a camera
// position; implemented by the world renderer's scattering model.
class IScatteringUniforms {
public:
    virtual ~IScatteringUniforms() = default;
    // Called with the program current; sets those of its scatteringUniforms()
    // it has (looked up at link).
    virtual void upload(GpuProgram& program, const Vec3& camera) = 0;
};

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

    // Operation 1: the scattering uniforms for a camera position, sent to the
    // lit model program and every program added with addScatteringProgram.
    // Without a source only the camera is remembered.
    void updateScatteringUniforms(const Vec3& camera);
    void setScatteringSource(IScatteringUniforms* source) { m_scattering = source; }
    // Every program the world renderer adds (sky, terrain, props, trees,
    // water, clouds...); a program added twice is kept once.
    void addScatteringProgram(GpuProgram& program);
    const Vec3& scatteringCamera() const { return m_camera; }

private:
    GraphicsES20& m_device;
    EffectPrograms m_effects;
    std::string m_error;
    IScatteringUniforms* m_scattering = nullptr;
    std::vector<GpuProgram*> m_scatteringPrograms;
    Vec3 m_camera;
};

// The extension set of the current device; null when none is loaded.
GraphicsES20Extensions* graphicsExtensions();
void setGraphicsExtensions(GraphicsES20Extensions* extensions);
