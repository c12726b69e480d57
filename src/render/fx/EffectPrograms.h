#pragma once
#include "render/GpuProgram.h"

#include <string>

class Graphics;

// The uniforms of the extension programs beyond the standard ones.
struct LightmapUniforms {
    int lightTint = -1;  // "u_lightTint" vec3
    template <class F> void forEach(F&& f) { f("u_lightTint", lightTint); }
};
struct HazeUniforms {
    int time = -1;       // "u_time" vec2: slow drift 0..1, fast ripple 0..2 pi
    int intensity = -1;  // "u_intensity" float 0..1
    template <class F> void forEach(F&& f)
    {
        f("u_time", time);
        f("u_intensity", intensity);
    }
};
struct HazeRefractUniforms : HazeUniforms {
    int screenSize = -1;  // "u_screenSize" vec2, the haze target's pixels
    template <class F> void forEach(F&& f)
    {
        HazeUniforms::forEach(f);
        f("u_screenSize", screenSize);
    }
};
struct RainUniforms {
    int screenSize = -1;    // "u_screenSize" vec2, the frame's pixels
    int pictureScale = -1;  // "u_pictureScale" vec2, the frame's share of the copy
    int strength = -1;      // "u_strength" float, the bend in picture units
    template <class F> void forEach(F&& f)
    {
        f("u_screenSize", screenSize);
        f("u_pictureScale", pictureScale);
        f("u_strength", strength);
    }
};
struct DistortionUniforms {
    int strength = -1;  // "u_strength" float
    template <class F> void forEach(F&& f) { f("u_strength", strength); }
};
struct DistortionApplyUniforms {
    int pictureScale = -1;  // "u_pictureScale" vec2, the frame's share of the copied picture
    template <class F> void forEach(F&& f) { f("u_pictureScale", pictureScale); }
};
struct SunShaftUniforms {
    int sun = -1;        // "u_sun" vec2, the sun on the picture 0..1
    int threshold = -1;  // "u_threshold" float
    template <class F> void forEach(F&& f)
    {
        f("u_sun", sun);
        f("u_threshold", threshold);
    }
};
struct FinalCombineUniforms {
    int shaftColor = -1;  // "u_shaftColor" vec3
    template <class F> void forEach(F&& f) { f("u_shaftColor", shaftColor); }
};

// The extension programs of the effect passes (shaders/, GLSL ES 1.00): particle
// lightmaps, heat haze, rain refraction, model distortion, the heat-distortion apply, the
// sun-shaft pass and the final combine.
class EffectPrograms {
public:
    // High-detail particles shaded by the lightmap texture (unit 1) at the
    // second texture coordinate; a negative coordinate means no lightmap.
    // lightmapLit multiplies the particle by the tinted lightmap (blended
    // particles), lightmapGlow brightens by it (additive ones).
    GpuProgramWith<LightmapUniforms> lightmapLit, lightmapGlow;
    // Heat haze over the 20-byte haze quads: the first fakes the shimmer with
    // the glow alpha alone, the second refracts the haze target's picture.
    GpuProgramWith<HazeUniforms> hazeShimmer;
    GpuProgramWith<HazeRefractUniforms> hazeRefract;
    // High-detail rain over a copy of the frame: drops on the lens and the
    // falling streaks, both bending the picture behind them.
    GpuProgramWith<RainUniforms> rainDrops, rainStreaks;
    // Writes a model's screen-space refraction offset into the distortion target.
    GpuProgramWith<DistortionUniforms> modelDistortion;
    // Redraws a picture displaced by the distortion target.
    GpuProgramWith<DistortionApplyUniforms> distortionApply;
    // Radial blur of the scene's bright parts towards the sun, and the final
    // combine of scene and shafts.
    GpuProgramWith<SunShaftUniforms> sunShafts;
    GpuProgramWith<FinalCombineUniforms> finalCombine;

    // Builds every program; false with error() naming the one that failed.
    [[nodiscard]] bool build();
    // Builds each program at its first use instead: most serve only the top
    // quality or rain, and every built program holds about a megabyte of the
    // renderer's memory. A program that fails then is logged, and its draws
    // fall back to the state's own program.
    void buildWhenUsed();
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
    template <class F> void forEachJob(F&& f);

    std::string m_error;
    float m_tint[3] = {1.0f, 1.0f, 1.0f};
};
