#include "render/fx/EffectPrograms.h"

#include "render/Graphics.h"
#include "render/shaders/ShaderSources.h"

#include <initializer_list>

bool EffectPrograms::build()
{
    struct Job {
        GpuProgram& program;
        const char* name;
        std::string_view vertex, fragment;
    };
    const Job jobs[] = {
        {lightmapLit, "particle lightmap", shaders::kParticleLightmapVert, shaders::kParticleLightmapLitFrag},
        {lightmapGlow, "particle lightmap glow", shaders::kParticleLightmapVert, shaders::kParticleLightmapGlowFrag},
        {hazeShimmer, "heat haze", shaders::kPositionTexVert, shaders::kHazeShimmerFrag},
        {hazeRefract, "heat haze refraction", shaders::kPositionTexVert, shaders::kHazeRefractFrag},
        {rainDrops, "rain drop refraction", shaders::kTexturedVert, shaders::kRainRefractFrag},
        {rainStreaks, "rain streak refraction", shaders::kTexturedVert, shaders::kRainStreakFrag},
        {modelDistortion, "model distortion", shaders::kModelDistortionVert, shaders::kModelDistortionFrag},
        {distortionApply, "heat distortion", shaders::kPositionTexVert, shaders::kDistortionApplyFrag},
        {sunShafts, "sun shafts", shaders::kPositionTexVert, shaders::kSunShaftsFrag},
        {finalCombine, "final combine", shaders::kPositionTexVert, shaders::kFinalCombineFrag},
    };
    for (const Job& job : jobs)
        if (!job.program.build(job.name, job.vertex, job.fragment)) {
            m_error = job.program.error();
            return false;
        }
    resetLightmapTint();
    return true;
}

void EffectPrograms::destroy()
{
    for (GpuProgram* p : std::initializer_list<GpuProgram*>{&lightmapLit, &lightmapGlow, &hazeShimmer, &hazeRefract,
                                                            &rainDrops, &rainStreaks, &modelDistortion, &distortionApply, &sunShafts,
                                                            &finalCombine})
        p->destroy();
}

void EffectPrograms::setLightmapTint(float r, float g, float b)
{
    m_tint[0] = r;
    m_tint[1] = g;
    m_tint[2] = b;
}

void EffectPrograms::use(Graphics& device, GpuProgram& program)
{
    device.state().customProgram = &program;
    device.applyState();
}
