#include "effects/EffectList.h"
#include "effects/EffectScene.h"
#include "effects/particles/PConfig.h"
#include "effects/particles/PSystem.h"

#include "support/sound/FakeAudioDevice.h"
#include "support/TempDir.h"
#include "support/TestPak.h"

#include "platform/File.h"
#include "platform/Log.h"
#include "platform/Pak.h"
#include "render/2d/SpriteSheet.h"
#include "sound/Sound.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <set>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace {
// Every name the game asks for, the project's own descriptions included.
const std::vector<std::string> kRequiredNames = {
    "missile_explode_air.psc",  "missile_explode_ground.psc", "missile_explode_water.psc",
    "torpedo_target_impact.psc", "plane_burn_air.psc",        "plane_explode_air.psc",
    "plane_explode_ground.psc", "plane_explode_building.psc", "plane_explode_water.psc",
    "ship_explode_01.psc",      "ship_gibs_water.psc",        "ship_sink_01.psc",
    "ship_carr_wave.psc",       "ship_bttl_wave.psc",         "ship_boat_wave.psc",
    "plane_damage_smoke.psc",   "plane_damage_fire.psc",      "smoke_column.psc",
    "flak_burst.psc",           "bullet_impact_ground.psc",   "bullet_impact_water.psc",
    "bullet_impact_metal.psc",  "muzzle_flash.psc",           "ground_dust.psc",
};

std::vector<std::string> stagedNames()
{
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(SKYFRONT_STAGE_DIR "/data/FX"))
        if (entry.path().extension() == ".psc")
            names.push_back(entry.path().filename().string());
    return names;
}

// The staged descriptions and particle sheets read through an empty data
// root and save folder, so that everything comes from the pak alone.
struct StagedParticles : testing::Test {
    TempDir save, data;
    FileLayerScope scope{save.folder(), data.folder()};
    void SetUp() override
    {
        ASSERT_TRUE(mountPak(SKYFRONT_STAGE_DIR "/paks/base.pak"));
        freeParticleConfigs();
    }
    void TearDown() override
    {
        freeParticleConfigs();
        setEffectQualityOverride(-1, false);
    }
    SpriteSheet sheet(const std::string& name)
    {
        SpriteSheet out;
        std::unique_ptr<File> file = openFile(name);
        EXPECT_TRUE(file) << name;
        if (!file)
            return out;
        std::vector<std::uint8_t> bytes(file->size());
        EXPECT_EQ(file->read(bytes.data(), bytes.size()), bytes.size());
        EXPECT_TRUE(readSpriteSheet(bytes, out)) << name;
        return out;
    }
};

TEST_F(StagedParticles, EveryDescriptionLoadsInBothSetsWithItsAnimationsInTheSheet)
{
    const std::vector<std::string> names = stagedNames();
    for (const std::string& name : kRequiredNames)
        EXPECT_NE(std::find(names.begin(), names.end(), name), names.end()) << name << " is not staged";
    EXPECT_LE(names.size(), static_cast<std::size_t>(kParticleConfigCacheSize));

    for (const char* sheetName : {"data/FX/fx.bspr", "data/FX/fx_low.bspr"}) {
        const SpriteSheet fx = sheet(sheetName);
        for (bool topQuality : {false, true}) {
            freeParticleConfigs();
            setEffectQualityOverride(topQuality ? 3 : 1, topQuality);
            for (const std::string& name : names) {
                SCOPED_TRACE(name + (topQuality ? " (NV)" : ""));
                ASSERT_TRUE(fileExists("data/FX/NV/" + name) || openFile("data/FX/NV/" + name));
                const PConfig* config = getParticleConfig(name);
                ASSERT_NE(config, nullptr);
                EXPECT_TRUE(config->loaded);
                EXPECT_GT(config->groupCount(), 0);
                for (int g = 0; g < config->groupCount(); ++g) {
                    const PGroup& group = *config->groups.at(g);
                    EXPECT_GE(group.stageCount(), 2) << group.name;
                    for (int id : {group.animIdMin, group.animIdMax}) {
                        ASSERT_GE(id, 0) << group.name;
                        ASSERT_LT(static_cast<std::size_t>(id), fx.anims.size()) << group.name;
                        EXPECT_GT(fx.anims[static_cast<std::size_t>(id)].count, 0) << group.name;
                    }
                }
            }
        }
    }
}

// Each of the nine explosion sounds is heard from some staged description.
TEST_F(StagedParticles, EveryExplosionSoundHasADescriptionThatPlaysIt)
{
    freeParticleConfigs();
    setEffectQualityOverride(1, false);
    std::set<int> heard;
    for (const std::string& name : stagedNames())
        if (const PConfig* config = getParticleConfig(name))
            heard.insert(config->soundID);
    for (int slot = 0; slot < 9; ++slot)
        EXPECT_TRUE(heard.count(slot)) << "no description plays explosion sound " << slot;
}

TEST_F(StagedParticles, SplatSheetHasTheHoleSparkAndOilFrames)
{
    const SpriteSheet splats = sheet("data/sprites/splats.bspr");
    ASSERT_GE(splats.frames.size(), 23u);
    for (std::size_t frame = 12; frame <= 22; ++frame)
        EXPECT_GT(splats.frames[frame].partCount, 0) << frame;
}

TEST_F(StagedParticles, EveryExplosionBurnsOutAndLeavesThePoolEmpty)
{
    setEffectQualityOverride(3, true);
    for (const std::string& name : stagedNames()) {
        const PConfig* config = getParticleConfig(name);
        ASSERT_NE(config, nullptr);
        bool unlimited = false;
        for (int g = 0; g < config->groupCount(); ++g)
            unlimited |= config->groups.at(g)->countMin == -1;
        auto* system = new PSystem(config, {0.0f, 1.0f, 0.0f});
        system->setPosition(0.0f, 10.0f, 0.0f);
        addEffect(system);
        int peak = 0;
        for (int frame = 0; frame < 60 * 20 && effectCount() > 0; ++frame) {
            updateEffects(1.0f / 60.0f);
            peak = std::max(peak, liveParticleCount());
        }
        EXPECT_GT(peak, 0) << name;
        EXPECT_LT(peak, kParticlePoolSize / 2) << name << " alone takes half the pool";
        if (unlimited)
            EXPECT_EQ(effectCount(), 1) << name << " keeps burning for its owner";
        else
            EXPECT_EQ(effectCount(), 0) << name << " is still running after 20 s";
        clearEffects();
    }
}

// Each staged explosion sounds once, on the frame its delay runs out, at
// every frame rate the game may run at, the fixed steps of its test runs among them.
TEST_F(StagedParticles, EverySoundingDescriptionSoundsOnceAtEveryFrameStep)
{
    setLogCapture([](LogLevel, const std::string&, const std::string&) {});
    auto device = std::make_unique<FakeAudioDevice>();
    FakeAudioDevice* fake = device.get();
    ASSERT_TRUE(Sound::init(std::move(device)));
    int sounding = 0;
    for (const std::string& name : stagedNames()) {
        const PConfig* config = getParticleConfig(name);
        ASSERT_NE(config, nullptr) << name;
        if (config->soundID < 0)
            continue;
        ++sounding;
        for (const float step : {0.01f, 0.02f, 0.025f, 0.03f, 0.05f, 0.07f, 0.1f}) {
            fake->clearLog();
            auto* system = new PSystem(config, {0.0f, 1.0f, 0.0f});
            system->setPosition(0.0f, 10.0f, 0.0f);
            addEffect(system);
            int frames = 0, heardAt = -1;
            for (; frames * step < config->soundDelay + 1.0f; ++frames) {
                updateEffects(step);
                if (heardAt < 0 && !fake->playedSamples().empty())
                    heardAt = frames;
            }
            EXPECT_EQ(fake->playedSamples().size(), 1u) << name << " at a step of " << step << " s";
            // Heard on the frame whose step takes the delay to 0 or past it.
            const int due = static_cast<int>(std::ceil(config->soundDelay / step - 0.001f)) - 1;
            EXPECT_NEAR(heardAt, due, 1) << name << " at a step of " << step << " s";
            clearEffects();
            fake->advance(30.0);   // the explosion ends and gives its voice back
            Sound::update();
        }
    }
    Sound::close();
    setLogCapture({});
    EXPECT_GE(sounding, 10) << "the explosions carry their sounds";
}

// The fuzz entry replays the staged descriptions, cut and with flipped bytes.
TEST(ParticleFuzzCorpus, DamagedDescriptionsNeverCrashOrHang)
{
    std::vector<std::string> seeds = {"PConfig { timeSkip 1e30 groups [ PGroup { countMin -1 countMax -1 "
                                      "spawnInterval 1e-30 animTime 1e-30 stages [ PStage { sizeMin 1 lifeMin 1 "
                                      "aspectMin -5 } PStage { } ] } ] }",
                                      "PConfig { groups [ PGroup { childGrp 0 countMin 2147483647 countMax "
                                      "2147483647 spawnInterval 0.00001 stages [ PStage { childTime 0 lifeMin 1 } "
                                      "PStage { } ] } ] }"};
    for (const auto& entry : std::filesystem::directory_iterator(SKYFRONT_STAGE_DIR "/data/FX")) {
        if (entry.path().extension() != ".psc" || seeds.size() > 8)
            continue;
        std::ifstream in(entry.path(), std::ios::binary);
        seeds.emplace_back((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    }
    setLogCapture([](LogLevel, const std::string&, const std::string&) {});
    std::uint32_t random = 777;
    for (const std::string& seed : seeds) {
        for (std::size_t cut = 0; cut < seed.size(); cut += 1 + cut / 3)
            LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(seed.data()), cut);
        for (int i = 0; i < 40; ++i) {
            std::string damaged = seed;
            for (int flips = 0; flips < 3; ++flips) {
                random = random * 1664525u + 1013904223u;
                damaged[(random >> 8) % damaged.size()] = "0123456789-.e []{}\"x"[(random >> 24) % 20];
            }
            LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(damaged.data()), damaged.size());
        }
    }
    setLogCapture({});
    EXPECT_EQ(liveParticleCount(), 0);
}
}  // namespace
