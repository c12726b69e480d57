#include "effects/EffectScene.h"
#include "effects/screen/ScreenSplats.h"

#include "platform/Random.h"

#include <gtest/gtest.h>

namespace {
struct Splats : testing::Test {
    void SetUp() override
    {
        effectScene() = EffectScene{};
        seedRandom(42, 4242);
        ScreenSplats::reset();
    }
    int inUse()
    {
        int n = 0;
        for (const ScreenSplats::Splat& s : ScreenSplats::splats())
            n += s.life >= 0.0f ? 1 : 0;
        return n;
    }
};

TEST_F(Splats, ACoolDownBlocksEveryKindUntilItRunsOut)
{
    ScreenSplats::spawn(32, ScreenSplats::kSparks, 0.5f);
    const int first = inUse();
    EXPECT_GE(first, 3);
    EXPECT_LE(first, 6);
    ScreenSplats::spawn(32, ScreenSplats::kOil, 0.0f);
    EXPECT_EQ(inUse(), first);
    ScreenSplats::update(0.3f);
    ScreenSplats::spawn(32, ScreenSplats::kOil, 0.0f);
    EXPECT_EQ(inUse(), first);
    ScreenSplats::update(0.3f);   // 0.5 s gone: the cool-down is idle again
    EXPECT_LT(ScreenSplats::cooldown(), 0.0f);
    ScreenSplats::spawn(32, ScreenSplats::kBulletHoles, 0.0f);
    EXPECT_GT(inUse(), 0);
}

TEST_F(Splats, CountsAreLimitedByTheMaximumAndTheFreeRecords)
{
    ScreenSplats::spawn(1, ScreenSplats::kSparks, -1.0f);
    EXPECT_EQ(inUse(), 1);
    while (inUse() < 30) {
        ScreenSplats::spawn(30 - inUse(), ScreenSplats::kSparks, -1.0f);
    }
    for (auto& s : const_cast<std::array<ScreenSplats::Splat, 32>&>(ScreenSplats::splats()))
        if (s.life >= 0.0f)
            s.life = 10.0f;   // none ends during the updates below
    ScreenSplats::update(0.01f);
    ASSERT_EQ(ScreenSplats::activeCount(), 30);
    // Sparks want at least 3; with 30 active only 2 places are left.
    ScreenSplats::spawn(5, ScreenSplats::kSparks, -1.0f);
    EXPECT_EQ(inUse(), 32);
    ScreenSplats::update(0.01f);
    ScreenSplats::spawn(5, ScreenSplats::kSparks, -1.0f);   // more than 31 active: nothing
    EXPECT_EQ(inUse(), 32);
}

TEST_F(Splats, ADelayedOilSplatShowsLateAndLivesItsFullLife)
{
    ScreenSplats::spawn(1, ScreenSplats::kOil, -1.0f);
    auto& splat = const_cast<ScreenSplats::Splat&>(ScreenSplats::splats()[0]);
    ASSERT_EQ(splat.kind, ScreenSplats::kOil);
    EXPECT_GE(splat.frame, 20);
    EXPECT_LE(splat.frame, 22);
    EXPECT_GE(splat.scale, 0.7f);
    EXPECT_LT(splat.scale, 1.4f);
    splat.delay = 0.6f;
    splat.life = 1.5f;
    float shownFrom = -1.0f, goneAt = -1.0f;
    for (int i = 1; i <= 300 && goneAt < 0.0f; ++i) {
        ScreenSplats::update(0.01f);
        if (shownFrom < 0.0f && ScreenSplats::activeCount() > 0)
            shownFrom = i * 0.01f;
        if (splat.life < 0.0f)
            goneAt = i * 0.01f;
    }
    EXPECT_NEAR(shownFrom, 0.61f, 0.015f);
    EXPECT_NEAR(goneAt - shownFrom, 1.5f, 0.025f);
}

TEST_F(Splats, HitTimerRunsDownWithinItsRange)
{
    ScreenSplats::setHitTimer(5.0f);
    EXPECT_FLOAT_EQ(ScreenSplats::hitTimer(), 2.0f);
    ScreenSplats::update(0.5f);
    EXPECT_FLOAT_EQ(ScreenSplats::hitTimer(), 1.5f);
    ScreenSplats::update(3.0f);
    EXPECT_FLOAT_EQ(ScreenSplats::hitTimer(), 0.0f);
}
}  // namespace
