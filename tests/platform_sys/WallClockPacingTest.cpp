#include "platform/sys/App.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

namespace {
double secondsOf(App& app, int ticks)
{
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < ticks; ++i)
        app.afterFrameTick();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// A fixed-step run races ahead of real time, except while a network match
// paces it: then it keeps to the wall clock, and after falling behind it goes
// on at real speed instead of rushing to catch up.
TEST(WallClockPacing, FixedStepsKeepToTheWallClockOnlyWhilePaced)
{
    App app{AppHooks{}};
    TestOptions options;
    options.fixedFrameDelta = 0.05f;
    app.setTestOptions(options);

    EXPECT_LT(secondsOf(app, 10), 0.25);

    app.setPacedToWallClock(true);
    EXPECT_GE(secondsOf(app, 10), 0.4);

    std::this_thread::sleep_for(std::chrono::milliseconds(600));
    EXPECT_GE(secondsOf(app, 6), 0.2);

    app.setPacedToWallClock(false);
    EXPECT_LT(secondsOf(app, 10), 0.25);
}
}  // namespace
