#include "render/fx/EffectPrograms.h"

#include "render/Graphics.h"
#include "render/shaders/ShaderSources.h"
#include "platform/Log.h"

#include <initializer_list>

namespace {
struct Job {
    GpuProgram& program;
    const char* name;
    std::string_view vertex, fragment;
};
}  // namespace

template <class F>
void EffectPrograms::forEachJob(F&& f)
{
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
        if (!f(job.program, job.name, job.vertex, job.fragment))
            return;
}

bool EffectPrograms::build()
{
    m_error.clear();
    forEachJob([this](GpuProgram& program, const char* name, std::string_view vertex, std::string_view fragment) {
        if (program.build(name, vertex, fragment))
            return true;
        m_error = program.error();
        return false;
    });
    resetLightmapTint();
    return m_error.empty();
}

void EffectPrograms::buildWhenUsed()
{
    forEachJob([](GpuProgram& program, const char* name, std::string_view vertex, std::string_view fragment) {
        program.buildLater(name, vertex, fragment);
        return true;
    });
    resetLightmapTint();
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
    if (!program.ensureBuilt() && !program.error().empty()) {
        // Said once: the failed build is not tried again.
        static std::string lastReported;
        if (lastReported != program.name()) {
            lastReported = program.name();
            logWarning("render", "%s", program.error().c_str());
        }
    }
    device.state().customProgram = &program;
    device.applyState();
}
