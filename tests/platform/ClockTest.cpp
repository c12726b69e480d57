#include "platform/Clock.h"

#include <gtest/gtest.h>

namespace {

struct FrameClockSteps : testing::Test {
    FrameClock clock;
    double now = 100.0;
    void SetUp() override { clock.tick(now); }
    // Feeds `frames` equal periods and returns the last step.
    float feed(double period, int frames = 6)
    {
        float step = 0.0f;
        for (int i = 0; i < frames; ++i)
            step = clock.tick(now += period);
        return step;
    }
};

TEST_F(FrameClockSteps, PeriodsCloseToACommonRateSnapToIt)
{
    EXPECT_EQ(FrameClock().tick(5000.0), 1.0f / 60.0f);  // the first frame
    EXPECT_EQ(feed(0.0167), 1.0f / 60.0f);
    EXPECT_EQ(feed(0.0222), 1.0f / 45.0f);
    EXPECT_EQ(feed(0.0310), 1.0f / 30.0f);
    EXPECT_NEAR(feed(0.040), 0.040f, 1e-6f);  // 20 % off 1/30: kept
}

TEST_F(FrameClockSteps, AHitchCountsAtMostAQuarterSecondInTheSixFrameAverage)
{
    feed(1.0 / 60.0);
    EXPECT_NEAR(feed(3.0, 1), (0.25f + 5.0f / 60.0f) / 6, 1e-6f);
    EXPECT_EQ(feed(1.0 / 60.0), 1.0f / 60.0f);  // gone six frames later
    feed(0.040);
    now -= 1.0;                                  // time going back counts 0
    EXPECT_NEAR(clock.tick(now), 5 * 0.040f / 6, 1e-6f);
}

TEST(ProgramFrameClock, TimeScaleMultipliesTheStepAndTheSceneOverrideSparesTheGameStep)
{
    resetFrameClock();
    setTimeScale(5.0f);
    double now = 10.0;
    for (int i = 0; i < 6; ++i, now += 1.0 / 60.0)
        advanceFrameClock(now);
    EXPECT_NEAR(frameDelta(), 5.0f / 60.0f, 1e-6f);
    setFrameDelta(0.0f);
    EXPECT_NEAR(gameStep(), 5.0f / 60.0f, 1e-6f);
    setTimeScale(-2.0f);
    advanceFrameClock(now);
    EXPECT_EQ(frameDelta(), 0.0f);
    setTimeScale(1.0f);
    resetFrameClock();
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
}

}  // namespace

TEST(ProgramClock, AFixedStepRunReadsItsOwnTimeUntilReleased)
{
    Clock::setFixedTime(12.5);
    EXPECT_FLOAT_EQ(Clock::now(), 12.5f);
    Clock::setFixedTime(12.5 + 1.0 / 60.0);
    EXPECT_FLOAT_EQ(Clock::now(), static_cast<float>(12.5 + 1.0 / 60.0));
    Clock::setFixedTime(-1.0);
    const double steady = Clock::nowPrecise();
    EXPECT_NEAR(Clock::now(), steady, 1.0) << "back on the steady clock";
    EXPECT_LT(Clock::now(), 12.0f);
}
