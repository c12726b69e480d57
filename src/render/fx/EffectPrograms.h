#pragma once
#include "render/GpuProgram.h"

#include <string>

class Graphics;

// A program of the extension set with named uniforms beyond the standard ones.
class EffectProgram : public GpuProgram {
public:
    // Looked up after each link; -1 when the program has no such uniform.
    int param0 = -1, param1 = -1, param2 = -1, param3 = -1;
    void setParamNames(const char* p0, const char* p1 = nullptr, const char* p2 = nullptr,
                       const char* p3 = nullptr);

protected:
    void onLinked() override;

private:
    const char* m_names[4] = {};
};

// The extension programs of the effect passes (GLSL ES 1.00): particle
// lightmaps, heat haze, model distortion, the heat-distortion apply, the
// sun-shaft pass and the final combine.
class EffectPrograms {
public:
    // High-detail particles shaded by the lightmap texture (unit 1) at the
    // second texture coordinate; a negative coordinate means no lightmap.
    // lightmapLit multiplies the particle by the tinted lightmap (blended
    // particles), lightmapGlow brightens by it (additive ones).
    EffectProgram lightmapLit, lightmapGlow;
    // Heat haze over the 20-byte haze quads: the first fakes the shimmer with
    // the glow alpha alone, the second refracts the haze target's picture.
    EffectProgram hazeShimmer, hazeRefract;
    // Writes a model's screen-space refraction offset into the distortion target.
    EffectProgram modelDistortion;
    // Redraws a picture displaced by the distortion target.
    EffectProgram distortionApply;
    // Radial blur of the scene's bright parts towards the sun, and the final
    // combine of scene and shafts.
    EffectProgram sunShafts, finalCombine;

    // Builds every program; false with error() naming the one that failed.
    [[nodiscard]] bool build();
    void destroy();
    const std::string& error() const { return m_error; }

    // The tint of the two lightmap programs; white after resetLightmapTint.
    void setLightmapTint(float r, float g, float b);
    void resetLightmapTint() { setLightmapTint(1.0f, 1.0f, 1.0f); }
    const float* lightmapTint() const { return m_tint; }

    // Makes a program current through the device (so its standard uniforms
    // are up to date) for the caller to set its own uniforms and draw.
    static void use(Graphics& device, GpuProgram& program);

private:
    std::string m_error;
    float m_tint[3] = {1.0f, 1.0f, 1.0f};
};
