// Every embedded shader compiles and links in its program on this context,
// and every uniform the program's struct names is found at link.
#include "GlTestContext.h"

#include "render/fx/EffectPrograms.h"
#include "render/gl/BuiltinShaders.h"
#include "render/internal/WorldProgram.h"
#include "render/shaders/ShaderSources.h"
#include "render/world/Water.h"

#include <set>
#include <string>

namespace {

struct ShaderPrograms : GlTest {
    std::set<const char*> used;   // the embedded sources some program here links

    template <class U>
    void expectLinksWithEveryUniform(const char* name, std::string_view vertex, std::string_view fragment)
    {
        GpuProgramWith<U> program;
        EXPECT_TRUE(program.build(name, vertex, fragment)) << program.error();
        EXPECT_EQ(program.missingUniforms(), 0) << name << " lacks uniforms its struct names";
        used.insert(vertex.data());
        used.insert(fragment.data());
    }
};

TEST_F(ShaderPrograms, EveryProgramLinksAndFindsEveryUniformOfItsStruct)
{
    for (int i = 0; i < kBuiltinProgramCount; ++i) {
        const ShaderPair s = builtinShaderSources(static_cast<BuiltinProgram>(i));
        expectLinksWithEveryUniform<NoUniforms>(s.name, s.vertex, s.fragment);
    }
    using namespace shaders;
    expectLinksWithEveryUniform<TerrainUniforms>("terrain", kTerrainVert, kTerrainFrag);
    expectLinksWithEveryUniform<PropsUniforms>("props", kPropsVert, kPropsFrag);
    expectLinksWithEveryUniform<TreesUniforms>("trees", kTreesVert, kTreesFrag);
    expectLinksWithEveryUniform<SkyUniforms>("sky", kSkyVert, kSkyFrag);
    expectLinksWithEveryUniform<CloudUniforms>("clouds", kCloudsVert, kCloudsFrag);
    expectLinksWithEveryUniform<WaterUniforms>("water", kWaterVert, kWaterFrag);
    expectLinksWithEveryUniform<ShadowDepthUniforms>("shadow depth", kShadowDepthVert, kShadowDepthFrag);
    expectLinksWithEveryUniform<SeaDepthUniforms>("sea depth", kSeaDepthVert, kSeaDepthFrag);
    expectLinksWithEveryUniform<LightmapUniforms>("lightmap", kParticleLightmapVert, kParticleLightmapLitFrag);
    expectLinksWithEveryUniform<LightmapUniforms>("lightmap glow", kParticleLightmapVert, kParticleLightmapGlowFrag);
    expectLinksWithEveryUniform<HazeUniforms>("haze", kPositionTexVert, kHazeShimmerFrag);
    expectLinksWithEveryUniform<HazeRefractUniforms>("haze refraction", kPositionTexVert, kHazeRefractFrag);
    expectLinksWithEveryUniform<RainUniforms>("rain drops", kTexturedVert, kRainRefractFrag);
    expectLinksWithEveryUniform<RainUniforms>("rain streaks", kTexturedVert, kRainStreakFrag);
    expectLinksWithEveryUniform<DistortionUniforms>("distortion", kModelDistortionVert, kModelDistortionFrag);
    expectLinksWithEveryUniform<NoUniforms>("distortion apply", kPositionTexVert, kDistortionApplyFrag);
    expectLinksWithEveryUniform<SunShaftUniforms>("sun shafts", kPositionTexVert, kSunShaftsFrag);
    expectLinksWithEveryUniform<FinalCombineUniforms>("final combine", kPositionTexVert, kFinalCombineFrag);

    // A shader file no program here links would go untested.
    for (const EmbeddedShader& shader : kEmbedded)
        EXPECT_TRUE(used.count(shader.source.data())) << shader.file << " is linked by no program of this test";
}

TEST_F(ShaderPrograms, TheEffectSetFindsEveryUniformOfItsStructs)
{
    EffectPrograms effects;
    ASSERT_TRUE(effects.build()) << effects.error();
    for (int missing : {effects.lightmapLit.missingUniforms(), effects.lightmapGlow.missingUniforms(),
                        effects.hazeShimmer.missingUniforms(), effects.hazeRefract.missingUniforms(),
                        effects.rainDrops.missingUniforms(), effects.rainStreaks.missingUniforms(),
                        effects.modelDistortion.missingUniforms(), effects.sunShafts.missingUniforms(),
                        effects.finalCombine.missingUniforms()})
        EXPECT_EQ(missing, 0);
    effects.destroy();
}

TEST_F(ShaderPrograms, ALookupReportsTheNamesTheProgramLacks)
{
    // The sky program has no water uniforms except the sun's two.
    GpuProgramWith<WaterUniforms> program;
    ASSERT_TRUE(program.build("sky as water", shaders::kSkyVert, shaders::kSkyFrag)) << program.error();
    EXPECT_EQ(program.missingUniforms(), 5);
    EXPECT_GE(program.locations().sunDirection, 0);
    EXPECT_EQ(program.locations().time, -1);
}

}  // namespace
