#include "platform/FrameProfile.h"

#include <gtest/gtest.h>

#include <iterator>
#include <sstream>
#include <string>
#include <vector>

namespace {
// A profile on a clock the test moves: the CPU clock runs twice as fast as
// the wall clock (two busy threads).
// The scopes time the one profile of the program.
struct FrameSplit : testing::Test {
    FrameProfile& profile = frameProfile();
    double wall = 0.0;
    int syncs = 0;

    void SetUp() override
    {
        profile.setClock([this] { return FrameProfile::Time{wall, 2.0 * wall}; });
        profile.setSync([this] { ++syncs; });
        profile.start(0);
    }
    void TearDown() override
    {
        profile.stop();
        profile.setClock(nullptr);
        profile.setSync(nullptr);
    }
    // One frame of the screen: 1 ms before the terrain, 4 ms of terrain
    // with a nested 2 ms of AI, 3 ms after; 10 ms in all.
    void frame(const char* screen = "game")
    {
        profile.beginFrame();
        profile.markCounted(screen);
        wall += 1.0;
        {
            ProfileScope terrain(FrameLib::World, "terrain");
            wall += 2.0;
            profile.countDraw();
            {
                ProfileScope ai(FrameLib::AI);
                wall += 2.0;
            }
            profile.countDraw();
            wall += 2.0;
        }
        wall += 3.0;
        profile.endFrame();
    }
    const FrameProfile::PassTotal* pass(const char* name) const
    {
        static std::vector<FrameProfile::PassTotal> means;
        means = profile.passMeans();
        for (const auto& p : means)
            if (std::string(p.name) == name)
                return &p;
        return nullptr;
    }
};

TEST_F(FrameSplit, WholeAndSplitFramesAlternate)
{
    for (int i = 0; i < 6; ++i)
        frame();
    EXPECT_EQ(profile.wholeFrames(), 3);
    EXPECT_EQ(profile.splitFrames(), 3);
    // Only split frames drain the GPU: at their start and at each of their
    // four scope boundaries.
    EXPECT_EQ(syncs, 3 * 5);
}

TEST_F(FrameSplit, WholeFramesMeasureTheFrameStartToEnd)
{
    for (int i = 0; i < 4; ++i)
        frame();
    EXPECT_DOUBLE_EQ(profile.wholeFrameMean().wallMs, 10.0);
    EXPECT_DOUBLE_EQ(profile.wholeFrameMean().cpuMs, 20.0);
    EXPECT_DOUBLE_EQ(profile.wholeFrameMedianMs(), 10.0);
}

TEST_F(FrameSplit, NestedScopesChargeOnlyTheirOwnTime)
{
    for (int i = 0; i < 4; ++i)
        frame();
    // The terrain's 6 ms less the AI's 2 ms nested in it.
    EXPECT_DOUBLE_EQ(profile.libMean(FrameLib::World).wallMs, 4.0);
    EXPECT_DOUBLE_EQ(profile.libMean(FrameLib::AI).wallMs, 2.0);
    EXPECT_DOUBLE_EQ(profile.libMean(FrameLib::AI).cpuMs, 4.0);
    // Outside every scope: 1 ms before and 3 ms after.
    EXPECT_DOUBLE_EQ(profile.libMean(FrameLib::Other).wallMs, 4.0);
    ASSERT_NE(pass("terrain"), nullptr);
    EXPECT_DOUBLE_EQ(pass("terrain")->time.wallMs, 4.0);
    // Its two draws, one on either side of the AI's scope.
    EXPECT_DOUBLE_EQ(pass("terrain")->draws, 2.0);
    // A scope without a pass name is listed under its library's.
    ASSERT_NE(pass("ai"), nullptr);
    EXPECT_EQ(pass("ai")->lib, FrameLib::AI);
}

TEST_F(FrameSplit, WarmUpFramesAreNotCounted)
{
    profile.start(3);
    for (int i = 0; i < 5; ++i)
        frame();
    EXPECT_EQ(profile.wholeFrames() + profile.splitFrames(), 2);
}

TEST_F(FrameSplit, FramesWithoutTheScreenAreNotCounted)
{
    for (int i = 0; i < 4; ++i) {
        profile.beginFrame();
        profile.endFrame();
    }
    EXPECT_EQ(profile.wholeFrames() + profile.splitFrames(), 0);
}

TEST_F(FrameSplit, AnotherScreenStartsTheCountAfresh)
{
    static const char* const kMenu = "menu";
    static const char* const kGame = "game";
    profile.start(1);
    for (int i = 0; i < 5; ++i)
        frame(kMenu);
    for (int i = 0; i < 3; ++i)
        frame(kGame);
    EXPECT_STREQ(profile.countedScreen(), kGame);
    EXPECT_EQ(profile.wholeFrames() + profile.splitFrames(), 2);
    EXPECT_NE(profile.report().find("screen game\n"), std::string::npos);
}

TEST_F(FrameSplit, StoppedProfileTimesNothing)
{
    profile.stop();
    frame();
    frame();
    EXPECT_EQ(syncs, 0);
    EXPECT_FALSE(profile.splitting());
    EXPECT_EQ(profile.wholeFrames() + profile.splitFrames(), 0);
}

TEST_F(FrameSplit, ReportListsFrameLibrariesAndPasses)
{
    for (int i = 0; i < 4; ++i)
        frame();
    const std::string report = profile.report();
    for (const char* line : {"frames 2\n", "split_frames 2\n", "frame_median_ms 10.000\n", "fps 100.00\n"})
        EXPECT_NE(report.find(line), std::string::npos) << line;
    EXPECT_NE(report.find("lib world"), std::string::npos);
    const std::size_t pass = report.find("pass terrain");
    ASSERT_NE(pass, std::string::npos);
    // Name, library, wall, process CPU, draws, the main thread's CPU and the
    // fragments shaded, -1 where nothing counts them.
    std::istringstream line(report.substr(pass, report.find('\n', pass) - pass));
    std::vector<std::string> fields{std::istream_iterator<std::string>(line), std::istream_iterator<std::string>()};
    ASSERT_EQ(fields.size(), 8u);
    EXPECT_EQ(fields[7], "-1");
}

// A GL that counts: the terrain shades 300 fragments, the AI none, and 40
// are shaded between frames. Reading the count takes 0.5 ms of the clock.
TEST_F(FrameSplit, FragmentsGoToThePassThatShadedThemAndTheirCountCostsNoPass)
{
    double shaded = 0.0, read = 0.0;
    bool counting = false;
    profile.setFragmentCounter([&](bool more) {
        const double since = counting ? shaded - read : 0.0;
        read = shaded;
        counting = more;
        wall += 0.5;
        return since;
    });
    profile.start(0);
    for (int i = 0; i < 4; ++i) {
        shaded += 40.0;
        profile.beginFrame();
        profile.markCounted("game");
        {
            ProfileScope terrain(FrameLib::World, "terrain");
            shaded += 200.0;
            wall += 2.0;
            {
                ProfileScope ai(FrameLib::AI);
                wall += 1.0;
            }
            shaded += 100.0;
        }
        profile.endFrame();
        EXPECT_FALSE(counting) << "nothing counts outside the split frames";
    }
    profile.setFragmentCounter(nullptr);
    ASSERT_NE(pass("terrain"), nullptr);
    EXPECT_DOUBLE_EQ(pass("terrain")->fragments, 300.0);
    EXPECT_DOUBLE_EQ(pass("terrain")->time.wallMs, 2.0);
    ASSERT_NE(pass("ai"), nullptr);
    EXPECT_DOUBLE_EQ(pass("ai")->fragments, 0.0);
    EXPECT_DOUBLE_EQ(pass("ai")->time.wallMs, 1.0);
    EXPECT_NE(profile.report().find("      300\n"), std::string::npos) << profile.report();
}
}  // namespace
