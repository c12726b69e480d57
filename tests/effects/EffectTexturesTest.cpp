// The effect textures the data tool stages: every headerless .raw at its
// exact size, every slot loading, and a short or missing file failing
// loudly with its effects drawing nothing.
#include "effects/EffectScene.h"
#include "effects/particles/EffectTextures.h"
#include "render/assets/GlmFormat.h"

#include "support/TempDir.h"
#include "support/TestPak.h"

#include "platform/File.h"
#include "platform/Pak.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {
std::vector<std::uint8_t> readAll(const std::string& name)
{
    std::vector<std::uint8_t> bytes;
    std::unique_ptr<File> file = openFile(name);
    if (!file)
        return bytes;
    bytes.resize(file->size());
    bytes.resize(file->read(bytes.data(), bytes.size()));
    return bytes;
}

struct StagedEffectTextures : testing::Test {
    TempDir save, data;
    FileLayerScope scope{save.folder(), data.folder()};
    void SetUp() override { ASSERT_TRUE(mountPak(SKYFRONT_STAGE_DIR "/paks/base.pak")); }
    void TearDown() override
    {
        Effects::releaseTextures();
        setEffectQualityOverride(-1, false);
    }
};

TEST_F(StagedEffectTextures, EveryRawHasItsExactSizeAndSoftEdges)
{
    int raws = 0;
    for (const EffectTextureInfo& info : effectTextureTable()) {
        const std::vector<std::uint8_t> bytes = readAll(info.file);
        ASSERT_FALSE(bytes.empty()) << info.file;
        if (info.width == 0)
            continue;
        ++raws;
        const int texel = info.alphaOnly ? 1 : 2;
        EXPECT_EQ(bytes.size(), std::size_t(info.width * info.height * texel)) << info.file;
        // A clamped sprite fades out before its border: no hard edge shows.
        if (!info.repeat && info.slot != EffectTexture::Jet && info.slot != EffectTexture::JetCore &&
            info.slot != EffectTexture::Steam && info.slot != EffectTexture::Sonic) {
            const std::size_t corner = std::size_t(texel - 1);
            EXPECT_EQ(bytes[corner], 0) << info.file << ": the corner is transparent";
        }
    }
    EXPECT_EQ(raws, 14);
    EXPECT_EQ(readAll("data/particles/rainDropNM.png").empty(), false);
    GlmFile flash;
    std::string fault;
    ASSERT_TRUE(readGlm(readAll("data/models/gunfire.glm"), flash, fault)) << fault;
    EXPECT_GE(flash.nodes.size(), 3u);
}

TEST_F(StagedEffectTextures, EverySlotLoadsAtTopDetail)
{
    setEffectQualityOverride(3, true);
    EXPECT_EQ(Effects::loadTextures(), 0);
    for (const EffectTextureInfo& info : effectTextureTable())
        EXPECT_NE(Effects::texture(info.slot), nullptr) << info.file;
}

TEST(EffectTextures, AShortFileFailsItsSlotAndTheOthersStillLoad)
{
    TempDir save, data;
    FileLayerScope scope{save.folder(), data.folder()};
    setEffectQualityOverride(2, false);
    data.write("data/particles/smoke.raw", std::string(100, '\x40'));     // 8192 bytes expected
    data.write("data/particles/flare.raw", std::string(64 * 64 * 2, '\x40'));
    const int failed = Effects::loadTextures();
    EXPECT_GE(failed, 1);
    EXPECT_EQ(Effects::texture(EffectTexture::Smoke), nullptr);   // dust and gun smoke draw nothing
    EXPECT_NE(Effects::texture(EffectTexture::Flare), nullptr);
    EXPECT_EQ(Effects::texture(EffectTexture::Haze), nullptr);    // top detail only
    Effects::releaseTextures();
    setEffectQualityOverride(-1, false);
}
}  // namespace
