#include "effects/EffectScene.h"
#include "effects/particles/PConfig.h"

#include "support/TempDir.h"
#include "support/TestPak.h"

#include "platform/Log.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace {
constexpr const char* kTwoGroups = R"(PConfig {
  sizeScale 64
  soundID FXS_EXPL_TERRAIN
  groups [
    PGroup { emitDir 0 1 0 stages [ PStage { sizeMin 2 } ] }
    PGroup { type HRZ emitDir 1 0 0 }
  ]
})";

struct ParticleConfigs : testing::Test {
    TempDir save, data;
    FileLayerScope scope{save.folder(), data.folder()};
    void SetUp() override
    {
        setLogCapture([](LogLevel, const std::string&, const std::string&) {});
        freeParticleConfigs();
        setEffectQualityOverride(2, false);
    }
    void TearDown() override
    {
        freeParticleConfigs();
        setEffectQualityOverride(-1, false);
        setLogCapture({});
    }
};

void expectRow(const Mat4& m, int row, Vec3 expected)
{
    const Vec3 r = matrixRow(m, row);
    EXPECT_NEAR(r.x, expected.x, 1e-4f) << "row " << row;
    EXPECT_NEAR(r.y, expected.y, 1e-4f) << "row " << row;
    EXPECT_NEAR(r.z, expected.z, 1e-4f) << "row " << row;
}

TEST_F(ParticleConfigs, LoadsOnceAndBuildsTheEmitterRows)
{
    data.write("data/FX/boom.psc", kTwoGroups);
    PConfig* config = getParticleConfig("boom.psc");
    ASSERT_NE(config, nullptr);
    EXPECT_TRUE(config->loaded);
    EXPECT_FLOAT_EQ(config->sizeScale, 64.0f);
    EXPECT_EQ(config->soundID, 2);
    ASSERT_EQ(config->groupCount(), 2);
    EXPECT_EQ(config->groups.at(1)->type, 2);
    EXPECT_FLOAT_EQ(config->groups.at(0)->stage(0).sizeMin, 2.0f);
    EXPECT_FLOAT_EQ(config->groups.at(0)->stage(0).sizeMax, -9100.0f);   // unset keeps its default

    expectRow(config->groups.at(0)->emitter, 0, {0, 0, -1});
    expectRow(config->groups.at(0)->emitter, 1, {0, 1, 0});
    expectRow(config->groups.at(0)->emitter, 2, {1, 0, 0});
    expectRow(config->groups.at(1)->emitter, 0, {0, 1, 0});
    expectRow(config->groups.at(1)->emitter, 1, {1, 0, 0});
    expectRow(config->groups.at(1)->emitter, 2, {0, 0, -1});

    // The second request is the same object and reads no file.
    std::filesystem::remove(data.path() / "data/FX/boom.psc");
    EXPECT_EQ(getParticleConfig("boom.psc"), config);
    EXPECT_TRUE(config->loaded);
    // Letter case makes another name.
    PConfig* other = getParticleConfig("BOOM.psc");
    ASSERT_NE(other, nullptr);
    EXPECT_NE(other, config);
    EXPECT_EQ(other->groupCount(), 0);
}

TEST_F(ParticleConfigs, TopQualityPrefersTheNVSetAndFallsBackToTheNormalOne)
{
    data.write("data/FX/NV/a.psc", "PConfig { sizeScale 2 }");
    data.write("data/FX/a.psc", "PConfig { sizeScale 1 }");
    data.write("data/FX/b.psc", "PConfig { sizeScale 3 }");
    setEffectQualityOverride(3, true);
    EXPECT_FLOAT_EQ(getParticleConfig("a.psc")->sizeScale, 2.0f);
    PConfig* b = getParticleConfig("b.psc");
    EXPECT_TRUE(b->loaded);
    EXPECT_FLOAT_EQ(b->sizeScale, 3.0f);
    freeParticleConfigs();
    setEffectQualityOverride(1, false);
    EXPECT_FLOAT_EQ(getParticleConfig("a.psc")->sizeScale, 1.0f);
}

TEST_F(ParticleConfigs, MissingDamagedAndOverlongNamesGiveEmptyDescriptions)
{
    data.write("data/FX/bad.psc", "PConfig { sizeScale 5 noSuchMember 1 timeScale 9 }");
    PConfig* bad = getParticleConfig("bad.psc");
    EXPECT_FALSE(bad->loaded);
    EXPECT_FLOAT_EQ(bad->sizeScale, 5.0f);   // read before the fault
    EXPECT_FLOAT_EQ(bad->timeScale, 1.0f);

    PConfig* missing = getParticleConfig("missing.psc");
    ASSERT_NE(missing, nullptr);
    EXPECT_FALSE(missing->loaded);
    EXPECT_EQ(missing->groupCount(), 0);
    data.write("data/FX/missing.psc", "PConfig { sizeScale 5 }");
    EXPECT_EQ(getParticleConfig("missing.psc")->groupCount(), 0);   // never tried again
    EXPECT_FALSE(missing->loaded);

    // A name that cannot fit the path buffer is a missing file, even when a
    // file of that name exists.
    const std::string longName(kParticlePathBytes, 'x');
    data.write("data/FX/" + longName.substr(0, 100), "PConfig { sizeScale 5 }");
    PConfig* overlong = getParticleConfig(longName);
    ASSERT_NE(overlong, nullptr);
    EXPECT_FALSE(overlong->loaded);
    EXPECT_EQ(getParticleConfig(std::string("a\0b", 3))->groupCount(), 0);
}

TEST_F(ParticleConfigs, The65thNameFindsNoRoomWhileTheFirst64KeepWorking)
{
    data.write("data/FX/keep.psc", "PConfig { sizeScale 7 }");
    PConfig* first = getParticleConfig("keep.psc");
    for (int i = 1; i < kParticleConfigCacheSize; ++i)
        ASSERT_NE(getParticleConfig("n" + std::to_string(i) + ".psc"), nullptr);
    EXPECT_EQ(getParticleConfig("one_too_many.psc"), nullptr);
    EXPECT_EQ(getParticleConfig("keep.psc"), first);
    EXPECT_FLOAT_EQ(first->sizeScale, 7.0f);
}
TEST_F(ParticleConfigs, APathOneCharacterTooLongIsRefusedNotCutShort)
{
    // "data/FX/" and the name fill the buffer to its last byte, or one past it.
    const std::size_t fits = kParticlePathBytes - 1 - std::string("data/FX/").size();
    const std::string longest(fits, 'y');
    data.write("data/FX/" + longest, "PConfig { sizeScale 5 }");
    PConfig* fitting = getParticleConfig(longest);
    ASSERT_NE(fitting, nullptr);
    EXPECT_TRUE(fitting->loaded);
    // Cut to the buffer, this name would read the file above.
    PConfig* tooLong = getParticleConfig(longest + "y");
    ASSERT_NE(tooLong, nullptr);
    EXPECT_FALSE(tooLong->loaded);
    EXPECT_NE(tooLong, fitting);
}
}  // namespace
