#include "effects/EffectList.h"
#include "effects/EffectScene.h"
#include "effects/particles/PConfig.h"
#include "effects/particles/PSystem.h"
#include "effects/particles/ParticleBatches.h"
#include "effects/screen/ScreenSplats.h"

#include "support/sound/FakeAudioDevice.h"
#include "support/sound/TestWav.h"
#include "support/TempDir.h"
#include "support/TestPak.h"

#include "platform/Log.h"
#include "platform/Random.h"
#include "render/fx/ParticleSprites.h"
#include "sound/Sound.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <string>

namespace {
std::unique_ptr<PConfig> configFrom(const std::string& text)
{
    auto config = std::make_unique<PConfig>();
    std::string error;
    EXPECT_TRUE(readRecord(text, "test", *config, error)) << error;
    config->buildEmitters();
    return config;
}

// A group of the given emission members with one two-stage life of `life` s.
std::string group(const std::string& members, float life = 10.0f, const std::string& extra = "")
{
    return "PGroup { gravity 0 0 0 " + members + " stages [ PStage { sizeMin 1 lifeMin " + std::to_string(life) +
           " } PStage { sizeMin 1 } " + extra + "] }";
}

std::string config(const std::string& groups, const std::string& members = "")
{
    return "PConfig { sizeScale 128 " + members + " groups [ " + groups + " ] }";
}

struct Particles : testing::Test {
    void SetUp() override
    {
        clearEffects();
        effectScene() = EffectScene{};
        setEffectQualityOverride(2, false);
        seedRandom(1234, 5678);
        ScreenSplats::reset();
    }
    void TearDown() override
    {
        clearEffects();
        setEffectQualityOverride(-1, false);
        ASSERT_EQ(liveParticleCount(), 0);
    }
    // A listed system at the origin pointing up; the list owns it.
    PSystem* start(const PConfig& c)
    {
        auto* system = new PSystem(&c, {0.0f, 1.0f, 0.0f});
        system->setPosition(0.0f, 0.0f, 0.0f);
        addEffect(system);
        return system;
    }
};

TEST_F(Particles, TimeSkipRunsFiveStepsOfAFifthOfASecondInTheFirstUpdate)
{
    auto c = configFrom(config(group("countMin 20 countMax 20"), "timeSkip 1.0"));
    PSystem* system = start(*c);
    system->update(0.001f);
    EXPECT_EQ(system->particleCount(), 5);   // one emission a step
    EXPECT_FLOAT_EQ(system->timeSkip, 0.0f);
    const Particle* p = system->firstParticle();
    EXPECT_NEAR(p->age, 0.2f, 1e-5f);        // the last one was stepped once
    system->update(0.001f);
    EXPECT_EQ(system->particleCount(), 6);
}

TEST_F(Particles, EmissionByCountAndByInterval)
{
    // Unlimited every 0.5 s: two a second for as long as the system emits.
    auto every = configFrom(config(group("countMin -1 countMax -1 spawnInterval 0.5")));
    PSystem* unlimited = start(*every);
    for (int i = 0; i < 40; ++i)
        unlimited->update(0.05f);
    EXPECT_EQ(unlimited->particleCount(), 4);

    // Unlimited without an interval emits nothing, yet counts as emitting.
    auto none = configFrom(config(group("countMin -1 countMax -1")));
    PSystem* silent = start(*none);
    silent->update(0.05f);
    EXPECT_EQ(silent->particleCount(), 0);
    EXPECT_TRUE(silent->isAlive());

    // A count with interval 0 emits one a step until it is used up, after a delay.
    auto counted = configFrom(config(group("countMin 3 countMax 3 spawnDelay 0.1")));
    PSystem* three = start(*counted);
    three->update(0.05f);
    three->update(0.05f);
    EXPECT_EQ(three->particleCount(), 0);
    for (int i = 0; i < 6; ++i)
        three->update(0.05f);
    EXPECT_EQ(three->particleCount(), 3);

    // A count drawn between min and max, -1 included.
    auto ranged = configFrom(config(group("countMin -1 countMax 1")));
    for (int i = 0; i < 20; ++i) {
        PSystem drawn(ranged.get(), {0, 1, 0});
        EXPECT_GE(drawn.groupStates[0].remaining, -1);
        EXPECT_LE(drawn.groupStates[0].remaining, 1);
    }
}

TEST_F(Particles, ThinningBelowTierTwoKeepsThePrioritysShare)
{
    auto c = configFrom(config(group("countMin 8 countMax 8 priority 0.25")));
    setEffectQualityOverride(1, false);
    PSystem* low = start(*c);
    for (int i = 0; i < 10; ++i)
        low->update(0.05f);
    EXPECT_EQ(low->particleCount(), 2);
    setEffectQualityOverride(2, false);
    PSystem* high = start(*c);
    for (int i = 0; i < 10; ++i)
        high->update(0.05f);
    EXPECT_EQ(high->particleCount(), 8);
}

TEST_F(Particles, UnsetStageValuesAreInheritedAndAOneStageParticleDiesAtItsFirstChange)
{
    auto c = configFrom(config(
        "PGroup { gravity 0 0 0 stages [ PStage { sizeMin 4 aspectMin 2 speedMin 3 lifeMin 1 } "
        "PStage { lifeMin 1 } PStage { sizeMin 9 } ] }"
        "PGroup { gravity 0 0 0 stages [ PStage { sizeMin 1 lifeMin 0.5 } ] }"));
    PSystem* system = start(*c);
    system->update(0.01f);
    ASSERT_EQ(system->particleCount(), 2);
    const Particle* inherited = system->firstParticle()->group == c->groups.at(0) ? system->firstParticle()
                                                                                   : system->firstParticle()->next;
    EXPECT_FLOAT_EQ(inherited->nextValues.size, 4.0f);
    EXPECT_FLOAT_EQ(inherited->nextValues.aspect, 2.0f);
    EXPECT_FLOAT_EQ(inherited->nextValues.speed, 3.0f);
    for (int i = 0; i < 60; ++i)
        system->update(0.01f);   // 0.61 s: the one-stage particle is gone
    ASSERT_EQ(system->particleCount(), 1);
    EXPECT_EQ(system->firstParticle()->group, c->groups.at(0));
}

TEST_F(Particles, ZeroSegmentsAndZeroAspectsStayFinite)
{
    // An unset life ends its segment at the next step, even with time scale 0;
    // an aspect of 0 is raised to a small positive one.
    auto c = configFrom(config("PGroup { gravity 0 0 0 stages [ PStage { sizeMin 1 aspectMin 0 } "
                               "PStage { sizeMin 2 } PStage { sizeMin 3 } ] }",
                               "timeScale 0"));
    PSystem* system = start(*c);
    system->update(0.02f);
    ASSERT_EQ(system->particleCount(), 1);
    const Particle* p = system->firstParticle();
    EXPECT_EQ(p->stage, 1);
    EXPECT_GT(p->current.aspect, 0.0f);
    EXPECT_TRUE(std::isfinite(p->t));
    system->update(0.02f);
    EXPECT_EQ(system->particleCount(), 0);
}

TEST_F(Particles, AFrameWithoutTimeKeepsTheSystemAlive)
{
    auto c = configFrom(config(group("countMin -1 countMax -1 spawnInterval 0.5")));
    PSystem* system = start(*c);
    updateEffects(0.1f);
    updateEffects(0.0f);
    EXPECT_EQ(effectCount(), 1);
    EXPECT_TRUE(system->isAlive());
    auto empty = configFrom("PConfig { }");
    start(*empty);
    updateEffects(0.1f);
    EXPECT_EQ(effectCount(), 1);   // a description without groups lives one update
}

TEST_F(Particles, ChildrenKeepTheirLimitsCapTheirAlphaAndNeedStages)
{
    auto c = configFrom(config(
        group("countMin 2 countMax 2 childGrp 1 maxChildCountGrp1 3 childGrp2 2", 10.0f) + " " +
        "PGroup { countMin 0 countMax 0 capAlpha true inheritDirection true gravity 0 0 0 stages [ "
        "PStage { sizeMin 1 lifeMin 10 } PStage { sizeMin 1 } ] }"
        "PGroup { countMin 0 countMax 0 }"));
    c->groups.at(0)->stages.at(0)->childTime = 0.1f;
    c->groups.at(0)->stages.at(1)->childTime = 0.1f;
    PSystem* system = start(*c);
    for (int i = 0; i < 40; ++i)
        system->update(0.05f);
    int parents = 0, children = 0;
    for (const Particle* p = system->firstParticle(); p; p = p->next) {
        if (p->group == c->groups.at(0)) {
            ++parents;
            EXPECT_EQ(p->childCount1, 3);
            EXPECT_GT(p->childCount2, 3);   // the stage-less group counts but gets nothing
        } else {
            ++children;
            EXPECT_EQ(p->group, c->groups.at(1));
            // A two-stage parent is always in its last segment: the cap fades with its t.
            EXPECT_LT(p->alpha, 255);
            EXPECT_GT(p->alpha, 240);
        }
    }
    EXPECT_EQ(parents, 2);
    EXPECT_EQ(children, 6);
}

TEST_F(Particles, APoolRunDryOnlySkipsEmissions)
{
    auto c = configFrom(config(group("countMin 5000 countMax 5000 spawnInterval 0.0001")));
    PSystem* system = start(*c);
    system->update(1.0f);   // the first emission; the timer then holds a second's worth
    system->update(1.0f);
    EXPECT_EQ(liveParticleCount(), kParticlePoolSize);
    EXPECT_EQ(system->particleCount(), kParticlePoolSize);
}

TEST_F(Particles, SplatsAreDecidedOnceWhenTheCameraFirstComesNear)
{
    auto c = configFrom(config(group("countMin -1 countMax -1 spawnInterval 0.5"), "debrisSparks 1.0"));
    effectScene().cameraPosition = {0.0f, 0.0f, 200.0f};
    PSystem* system = start(*c);
    system->update(0.05f);
    EXPECT_FALSE(system->splatsDone);
    effectScene().cameraPosition = {0.0f, 0.0f, 70.0f};
    system->update(0.05f);
    EXPECT_TRUE(system->splatsDone);
    ScreenSplats::update(0.01f);
    const int first = ScreenSplats::activeCount();
    EXPECT_GE(first, 3);
    ScreenSplats::update(0.01f);   // the cool-down of 0 has run out
    effectScene().cameraPosition = {0.0f, 0.0f, 300.0f};
    system->update(0.05f);
    effectScene().cameraPosition = {0.0f, 0.0f, 10.0f};
    system->update(0.05f);
    ScreenSplats::update(0.01f);
    EXPECT_EQ(ScreenSplats::activeCount(), first);
}

TEST_F(Particles, ASystemBehindTheCameraIsNotVisible)
{
    auto c = configFrom(config(group("countMin 3 countMax 3")));
    Mat4 view, projection;
    mat4Perspective(projection, 1.0f, 1.3f, 1.0f, 5000.0f);
    setEffectCamera({0.0f, 0.0f, 0.0f}, view, projection);   // looking down -z
    auto* ahead = new PSystem(c.get(), {0, 1, 0});
    ahead->setPosition(0.0f, 0.0f, -100.0f);
    addEffect(ahead);
    auto* behind = new PSystem(c.get(), {0, 1, 0});
    behind->setPosition(0.0f, 0.0f, 100.0f);
    addEffect(behind);
    effectScene().visibleParticles = 0;
    updateEffects(0.05f);
    EXPECT_TRUE(ahead->isVisible());
    EXPECT_FALSE(behind->isVisible());
    EXPECT_EQ(effectScene().visibleParticles, 1);
}

TEST_F(Particles, DrawingClampsTheAnimationAndSkipsEmptyOnes)
{
    ParticleAtlas atlas;
    atlas.animations = {{{0.0f, 0.0f, 0.5f, 0.5f}}, {}};   // animation 1 has no frames
    useParticleSheet(atlas, nullptr);
    auto drawn = configFrom(config(group("countMin 2 countMax 2 animIdMin 0 animIdMax 0")));
    auto clamped = configFrom(config(group("countMin 2 countMax 2 animIdMin 7 animIdMax 9")));
    auto* a = new PSystem(drawn.get(), {0, 1, 0});
    a->setPosition(0.0f, 0.0f, -10.0f);
    addEffect(a);
    auto* b = new PSystem(clamped.get(), {0, 1, 0});
    b->setPosition(0.0f, 0.0f, -10.0f);
    addEffect(b);
    for (int i = 0; i < 3; ++i)
        updateEffects(0.05f);
    drawParticleBatches();
    drawEffects(2);
    drawEffects(1);
    EXPECT_EQ(particleBatchCount(1), 2);   // near: only the first system's particles
    EXPECT_EQ(particleBatchCount(2), 0);
    a->drawLate = true;
    flushParticleBatch(1);
    drawEffects(0);
    drawEffects(1);
    EXPECT_EQ(particleBatchCount(0), 2);
    EXPECT_EQ(particleBatchCount(1), 0);
    releaseParticleBatches();
}

TEST_F(Particles, ParticlesOfTheGroupsAreDrawnInTheirPriorityOrder)
{
    // The groups are listed out of order; within a group, the farthest first.
    auto c = configFrom(config(group("priority 3 countMin 4 countMax 4 posMin -5 -5 -5 posMax 5 5 5") +
                               group("priority 1 countMin 4 countMax 4 posMin -5 -5 -5 posMax 5 5 5") +
                               group("priority 2 countMin 4 countMax 4 posMin -5 -5 -5 posMax 5 5 5")));
    PSystem* system = start(*c);
    for (int i = 0; i < 4; ++i)
        updateEffects(0.05f);
    std::vector<float> order;
    for (const Particle* p = system->firstParticle(); p; p = p->next)
        order.push_back(p->group->priority);
    ASSERT_EQ(order.size(), 12u);
    EXPECT_TRUE(std::is_sorted(order.begin(), order.end()));
    EXPECT_EQ(order.front(), 1.0f);
    EXPECT_EQ(order.back(), 3.0f);
}

// The stage sound on the sound tests' fake device.
struct StageSound : Particles {
    TempDir save, data;
    std::unique_ptr<FileLayerScope> scope;
    FakeAudioDevice* fake = nullptr;
    void SetUp() override
    {
        Particles::SetUp();
        setLogCapture([](LogLevel, const std::string&, const std::string&) {});
        scope = std::make_unique<FileLayerScope>(save.folder(), data.folder());
        data.write("data/sounds/fxs_expl_terrain.wav", makeWav(1000, 1, 16, tone(50, 1000, 1000)));
        auto device = std::make_unique<FakeAudioDevice>();
        fake = device.get();
        ASSERT_TRUE(Sound::init(std::move(device)));
    }
    void TearDown() override
    {
        Sound::close();
        scope.reset();
        setLogCapture({});
        Particles::TearDown();
    }
};

TEST_F(StageSound, PlaysOnePositionedSoundWhenTheDelayRunsOut)
{
    auto c = configFrom(config(group("countMin 1 countMax 1"), "soundID FXS_EXPL_TERRAIN soundDelay 0.3"));
    PSystem* system = start(*c);
    system->setPosition(5.0f, 6.0f, 7.0f);
    const std::size_t before = SoundSource::count();
    for (int i = 0; i < 2; ++i)
        system->update(0.1f);
    EXPECT_EQ(SoundSource::count(), before);   // two steps leave 0.1 s of the delay
    int positioned = 0;
    for (int i = 0; i < 10; ++i) {
        system->update(0.1f);
        positioned = 0;
        for (std::size_t slot = 0; slot < SoundSource::count(); ++slot) {
            auto* source = dynamic_cast<SoundSourceBuffered*>(SoundSource::at(slot));
            if (source && source->positioned() && source->isPlaying() && source->autoDelete()) {
                ++positioned;
                EXPECT_FLOAT_EQ(source->minDistance(), 400.0f);
                EXPECT_FLOAT_EQ(source->maxDistance(), 4000.0f);
                EXPECT_FLOAT_EQ(source->position().x, 5.0f);
                const FakeAudioDevice::ChannelState* state = fake->state(source->channel());
                ASSERT_NE(state, nullptr);
                EXPECT_TRUE(state->positioned);
                EXPECT_FLOAT_EQ(state->minDistance, 400.0f);
            }
        }
    }
    EXPECT_EQ(positioned, 1);
}
}  // namespace
