// The pool of self-drawing effects, its quad writers and its kinds: dust
// shots, flares, gun smoke and the sonic boom.
#include "effects/EffectScene.h"
#include "effects/particles/AircraftParticles.h"
#include "effects/particles/ParticleSystem.h"

#include "support/effects/FakeAircraft.h"

#include "platform/Random.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <vector>

namespace {
std::vector<int> g_drawn;

// A system that draws its number and finishes when told.
struct Probe : ParticleSystem {
    explicit Probe(int id = 0, int group = 2, bool finishAtOnce = false) : id(id), group(group), once(finishAtOnce) {}
    void update() override
    {
        drawGroup = group;
        if (once)
            finished = true;
    }
    void draw() override { g_drawn.push_back(id); }
    int id, group;
    bool once;
};

struct Pool : testing::Test {
    void SetUp() override
    {
        ParticleSystem::deleteAll();
        ParticleSystem::initParticleBuffers();
        g_drawn.clear();
        seedRandom(5, 6);
        effectScene() = EffectScene{};
    }
    void TearDown() override { ParticleSystem::deleteAll(); }
    static void run(float seconds, float dt = 0.05f)
    {
        for (float t = 0.0f; t < seconds - 1e-4f; t += dt)
            ParticleSystem::updateAll(dt);
    }
};

TEST_F(Pool, SlotsComeFromTheCursorAndTheNewestFreedSlotIsTakenAgain)
{
    auto* a = spawnPooled<Probe>();
    auto* b = spawnPooled<Probe>();
    auto* c = spawnPooled<Probe>();
    ASSERT_TRUE(a && b && c);
    EXPECT_EQ(a->slot, 0);
    EXPECT_EQ(b->slot, 1);
    EXPECT_EQ(c->slot, 2);
    delete c;
    auto* d = spawnPooled<Probe>();
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(d->slot, 2);
    delete a;
    auto* e = spawnPooled<Probe>();   // the cursor stays on 2, then moves on
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(e->slot, 3);
    EXPECT_EQ(ParticleSystem::usedSlots(), 3);
}

TEST_F(Pool, The129thSystemIsRefusedAtOnceAndNoSlotIsShared)
{
    for (int i = 0; i < ParticleSystem::kSlots; ++i)
        ASSERT_NE(spawnPooled<Probe>(i), nullptr) << i;
    EXPECT_EQ(spawnPooled<Probe>(), nullptr);   // neither waits nor takes a used slot
    Probe unmanaged;                            // made past the helper: finished, no slot
    EXPECT_TRUE(unmanaged.finished);
    EXPECT_FALSE(unmanaged.hasSlot());
    EXPECT_EQ(ParticleSystem::count(), 128u);
    EXPECT_EQ(ParticleSystem::usedSlots(), 128);
    std::vector<int> slots;
    for (std::size_t i = 0; i < ParticleSystem::count(); ++i)
        slots.push_back(ParticleSystem::at(i)->slot);
    std::sort(slots.begin(), slots.end());
    EXPECT_EQ(std::unique(slots.begin(), slots.end()), slots.end());
}

TEST_F(Pool, FinishedInTheFirstUpdateIsNeverDrawnAndNearIsDrawnLast)
{
    spawnPooled<Probe>(1, 1);
    spawnPooled<Probe>(2, 2);
    spawnPooled<Probe>(3, 0);
    spawnPooled<Probe>(4, 2, true);
    spawnPooled<Probe>(5, 3);
    ParticleSystem::updateAll(0.1f);
    EXPECT_EQ(ParticleSystem::count(), 4u);   // the finished one went in the same walk
    ParticleSystem::drawAll(Mat4{}, Mat4{});
    ASSERT_EQ(g_drawn.size(), 3u);
    EXPECT_EQ(g_drawn.back(), 1);   // group 1 after groups 2 and 3
    EXPECT_EQ(ParticleSystem::at(0)->age, 0.1f);
    ParticleSystem::updateAll(0.0f);   // stopped play: no ageing
    EXPECT_EQ(ParticleSystem::at(0)->age, 0.1f);
}

TEST(QuadWriters, VertexOrderIsTopLeftTopRightBottomLeftBottomRight)
{
    ParticleRecord p;
    p.position = {10.0f, 20.0f, 30.0f};
    p.width = 2.0f;
    p.height = 3.0f;
    p.color = {1, 2, 3, 4};
    const Vec3 right{1.0f, 0.0f, 0.0f}, up{0.0f, 1.0f, 0.0f};
    FxVertex v[4];
    writeBillboardQuad(v, p, right, up);
    const float xs[4] = {8, 12, 8, 12}, ys[4] = {23, 23, 17, 17}, us[4] = {0, 1, 0, 1}, vs[4] = {0, 0, 1, 1};
    for (int i = 0; i < 4; ++i) {
        EXPECT_FLOAT_EQ(v[i].x, xs[i]) << i;
        EXPECT_FLOAT_EQ(v[i].y, ys[i]) << i;
        EXPECT_FLOAT_EQ(v[i].z, 30.0f);
        EXPECT_EQ(v[i].u, us[i]);
        EXPECT_EQ(v[i].v, vs[i]);
        EXPECT_EQ(v[i].color.a, 4);
    }
    // A quarter turn: H runs up, V runs left.
    writeRotatedBillboardQuad(v, p, right, up, kPi / 2.0f);
    EXPECT_NEAR(v[0].x, 10.0f - 3.0f, 1e-5f);
    EXPECT_NEAR(v[0].y, 20.0f - 2.0f, 1e-5f);
    EXPECT_NEAR(v[3].x, 10.0f + 3.0f, 1e-5f);
    EXPECT_NEAR(v[3].y, 20.0f + 2.0f, 1e-5f);
    FxVertex20 a[4];
    writeAxisQuad(a, {0, 0, 0}, {0, 0, 1}, {0, 1, 0}, 1.0f, 0.5f, 0.25f, 0.0f, 0.75f, 1.0f);
    EXPECT_FLOAT_EQ(a[0].z, -1.0f);
    EXPECT_FLOAT_EQ(a[0].y, 0.5f);
    EXPECT_FLOAT_EQ(a[1].z, 1.0f);
    EXPECT_FLOAT_EQ(a[2].y, -0.5f);
    EXPECT_EQ(a[0].u, 0.25f);
    EXPECT_EQ(a[3].u, 0.75f);
    EXPECT_EQ(a[3].v, 1.0f);
    const auto indices = ParticleSystem::quadIndices();
    ASSERT_EQ(indices.size(), 1536u);
    EXPECT_EQ((std::vector<int>(indices.begin() + 6, indices.begin() + 12)), (std::vector<int>{4, 5, 6, 5, 6, 7}));
}

TEST_F(Pool, DustRingOverwritesTheOldestAndTurnsDustyAtHeightTen)
{
    auto* dust = spawnPooled<DirtShots>();
    ASSERT_NE(dust, nullptr);
    EXPECT_EQ(DirtShots::current(), dust);
    for (int i = 0; i < 33; ++i)
        dust->spawn({static_cast<float>(i), 0.0f, 0.0f});
    EXPECT_EQ(dust->records[0].position.x, 32.0f);   // the 33rd took the oldest place
    EXPECT_EQ(dust->ring, 1);
    dust->spawn({0.0f, 9.99f, 0.0f});
    dust->spawn({0.0f, 10.0f, 0.0f});
    ParticleSystem::updateAll(0.1f);   // a shot starts invisible and swells
    ParticleSystem::updateAll(0.1f);
    const Color4 white = dust->records[1].color, dusty = dust->records[2].color;
    EXPECT_EQ(white.r, white.b);
    EXPECT_GT(dusty.r, dusty.b);
    EXPECT_EQ(dust->drawGroup, 2);
    run(0.5f);
    EXPECT_EQ(dust->liveCount, 0);
    EXPECT_EQ(dust->drawGroup, 0);
    delete dust;
    EXPECT_EQ(DirtShots::current(), nullptr);
}

TEST_F(Pool, FlaresScaleWithDistanceLiveTwoPointEightFiveSecondsAndLetGoOfTheirOwner)
{
    FakeAirplane near, far;
    near.moveTo({0.0f, 0.0f, -50.0f});
    far.moveTo({0.0f, 0.0f, -3000.0f});
    auto* a = spawnPooled<Flares>(static_cast<const IAirplaneFx*>(&near));
    auto* b = spawnPooled<Flares>(static_cast<const IAirplaneFx*>(&far));
    ASSERT_TRUE(a && b);
    EXPECT_FLOAT_EQ(a->sizeFactor, 1.0f);
    EXPECT_FLOAT_EQ(b->sizeFactor, 4.8f);
    // One flare every 0.2 s from the first frame: at 20 fps frames 1, 5, 9, 13, 17.
    std::vector<int> startFrames;
    for (int frame = 1; frame <= 20; ++frame) {
        const int before = a->flareCount;
        ParticleSystem::updateAll(0.05f);
        if (a->flareCount > before)
            startFrames.push_back(frame);
    }
    EXPECT_EQ(startFrames, (std::vector<int>{1, 5, 9, 13, 17}));
    EXPECT_EQ(a->flareCount, Flares::kFlares);
    for (int i = 0; i < 128; ++i)
        EXPECT_TRUE(std::isfinite(a->vertices[i].x) && std::isfinite(a->vertices[i].y)) << i;
    run(1.85f);
    EXPECT_EQ(ParticleSystem::count(), 2u);   // aged 2.85 s: still there
    run(0.1f);
    EXPECT_EQ(ParticleSystem::count(), 0u);

    // The owner goes mid-salvo: the salvo finishes without reading it again.
    auto owner = std::make_unique<FakeAirplane>();
    owner->direction = {0.0f, 1.0f, 0.0f};   // straight up: the tails still have sides
    auto* c = spawnPooled<Flares>(static_cast<const IAirplaneFx*>(owner.get()));
    ASSERT_NE(c, nullptr);
    run(0.5f);
    ParticleSystem::forgetOwner(owner.get());
    owner.reset();
    run(0.1f);
    EXPECT_EQ(ParticleSystem::count(), 0u);
}

TEST_F(Pool, GunSmokePuffsWhileFiringAndAZeroIntervalDoesNotStretchTheFlash)
{
    FakeAirplane plane;
    FakeGun gun;
    gun.airplane = &plane;
    gun.firing = true;
    auto* smoke = spawnPooled<MachinegunSmoke>(static_cast<IGunFx*>(&gun));
    ASSERT_NE(smoke, nullptr);
    run(0.5f);
    EXPECT_GT(smoke->liveCount, 3);
    EXPECT_EQ(smoke->drawGroup, 2);
    gun.airplane = nullptr;   // no airplane: nothing drawn, no timer
    run(0.1f);
    EXPECT_EQ(smoke->drawGroup, 0);
    EXPECT_EQ(MachinegunSmoke::flashStretch(0.05f, 0.0f), 1.25f);
    EXPECT_EQ(MachinegunSmoke::flashStretch(0.05f, -1.0f), 1.25f);
    EXPECT_FLOAT_EQ(MachinegunSmoke::flashStretch(0.05f, 0.1f), 0.875f);
    delete smoke;
    EXPECT_EQ(gun.smokeGone, 1);   // the gun hears its system go
    EXPECT_EQ(ParticleSystem::count(), 0u);
}

struct ShakeCamera : IPoolCamera {
    float shaken = 0.0f;
    int gone = 0;
    void shake(float amount) override { shaken = amount; }
    void systemGone(const Vec3*) override { ++gone; }
};

TEST_F(Pool, BoomShowsOneSecondLivesThreeAndOnlyThePlayersShakesTheCamera)
{
    ShakeCamera camera;
    setPoolCamera(&camera);
    FakeAirplane ai, player;
    player.player = true;
    SonicBoom* aiBoom = nullptr;
    SonicBoom* playerBoom = nullptr;
    ASSERT_NE(spawnPooled<SonicBoom>(static_cast<const IAirplaneFx*>(&ai), &aiBoom), nullptr);
    EXPECT_NE(aiBoom, nullptr);
    EXPECT_EQ(camera.shaken, 0.0f);
    ASSERT_NE(spawnPooled<SonicBoom>(static_cast<const IAirplaneFx*>(&player), &playerBoom), nullptr);
    EXPECT_EQ(camera.shaken, 1.0f);
    EXPECT_TRUE(aiBoom->visible());
    run(1.05f);
    EXPECT_FALSE(aiBoom->visible());
    EXPECT_EQ(ParticleSystem::count(), 2u);
    run(1.9f);
    EXPECT_EQ(ParticleSystem::count(), 2u);   // aged 2.95 s: invisible but alive
    run(0.15f);
    EXPECT_EQ(ParticleSystem::count(), 0u);
    EXPECT_EQ(aiBoom, nullptr);   // the owners' pointers are cleared
    EXPECT_EQ(playerBoom, nullptr);
    EXPECT_EQ(camera.gone, 2);    // the camera heard each go
    // The owner going first: the boom lets go and finishes.
    ASSERT_NE(spawnPooled<SonicBoom>(static_cast<const IAirplaneFx*>(&ai), &aiBoom), nullptr);
    ParticleSystem::forgetOwner(&ai);
    run(0.05f);
    EXPECT_EQ(ParticleSystem::count(), 0u);
    setPoolCamera(nullptr);
}
}  // namespace
