#include "platform/Clock.h"

#include <gtest/gtest.h>

namespace {

// Feeds `frames` equal periods and returns the last step.
float feed(FrameClock& clock, double& now, double period, int frames)
{
    float step = 0.0f;
    for (int i = 0; i < frames; ++i) {
        now += period;
        step = clock.tick(now);
    }
    return step;
}

struct FrameClockSteps : testing::Test {
    FrameClock clock;
    double now = 100.0;
    void SetUp() override { clock.tick(now); }
};

TEST_F(FrameClockSteps, FirstFrameCountsOneSixtieth)
{
    FrameClock fresh;
    EXPECT_EQ(fresh.tick(5000.0), 1.0f / 60.0f);
}

TEST_F(FrameClockSteps, PeriodsCloseToACommonRateSnapToIt)
{
    EXPECT_EQ(feed(clock, now, 0.0167, 6), 1.0f / 60.0f);
    EXPECT_EQ(feed(clock, now, 0.0222, 6), 1.0f / 45.0f);
    EXPECT_EQ(feed(clock, now, 0.0310, 6), 1.0f / 30.0f);
    EXPECT_NEAR(feed(clock, now, 0.040, 6), 0.040f, 1e-6f);  // 20 % off 1/30: kept
    EXPECT_NEAR(feed(clock, now, 0.012, 6), 0.012f, 1e-6f);
}

TEST_F(FrameClockSteps, StepIsTheAverageOfTheLastSixPeriods)
{
    feed(clock, now, 0.040, 6);
    // Five periods of 40 ms and one of 100 ms.
    EXPECT_NEAR(feed(clock, now, 0.100, 1), (5 * 0.040f + 0.100f) / 6, 1e-6f);
}

TEST_F(FrameClockSteps, AHitchCountsAtMostAQuarterSecond)
{
    feed(clock, now, 1.0 / 60.0, 6);
    const float afterHitch = feed(clock, now, 3.0, 1);
    EXPECT_NEAR(afterHitch, (0.25f + 5.0f / 60.0f) / 6, 1e-6f);
    // Six normal frames later the hitch has left the average.
    EXPECT_EQ(feed(clock, now, 1.0 / 60.0, 6), 1.0f / 60.0f);
}

TEST_F(FrameClockSteps, TimeGoingBackwardsCountsAsZero)
{
    feed(clock, now, 0.040, 6);
    now -= 1.0;
    EXPECT_NEAR(clock.tick(now), 5 * 0.040f / 6, 1e-6f);
}

struct ProgramFrameClock : testing::Test {
    void SetUp() override { resetFrameClock(); }
    void TearDown() override
    {
        setTimeScale(1.0f);
        resetFrameClock();
    }
};

TEST_F(ProgramFrameClock, TimeScaleMultipliesTheStep)
{
    double now = 10.0;
    setTimeScale(5.0f);
    for (int i = 0; i < 6; ++i, now += 1.0 / 60.0)
        advanceFrameClock(now);
    EXPECT_NEAR(frameDelta(), 5.0f / 60.0f, 1e-6f);
    EXPECT_EQ(gameStep(), frameDelta());
    setTimeScale(0.0f);
    advanceFrameClock(now);
    EXPECT_EQ(frameDelta(), 0.0f);
}

TEST_F(ProgramFrameClock, SceneOverrideOfFrameDeltaLeavesTheGameStep)
{
    advanceFrameClock(1.0);
    const float step = gameStep();
    setFrameDelta(0.0f);
    EXPECT_EQ(frameDelta(), 0.0f);
    EXPECT_EQ(gameStep(), step);
}

TEST_F(ProgramFrameClock, NegativeTimeScaleFreezes)
{
    setTimeScale(-2.0f);
    EXPECT_EQ(timeScale(), 0.0f);
    advanceFrameClock(1.0);
    EXPECT_EQ(frameDelta(), 0.0f);
}

TEST(Clocks, TimeOfDayIsWholeMillisecondsAndNeverGoesBack)
{
    Clock::TimeStamp previous;
    Clock::timeOfDay(previous);
    for (int i = 0; i < 2000; ++i) {
        Clock::TimeStamp stamp;
        Clock::timeOfDay(stamp);
        ASSERT_EQ(stamp.microseconds % 1000, 0u);
        ASSERT_LT(stamp.microseconds, 1000000u);
        ASSERT_TRUE(stamp.seconds > previous.seconds ||
                    (stamp.seconds == previous.seconds && stamp.microseconds >= previous.microseconds));
        previous = stamp;
    }
    float last = Clock::now();
    for (int i = 0; i < 2000; ++i) {
        const float t = Clock::now();
        ASSERT_GE(t, last);
        last = t;
    }
}

}  // namespace
