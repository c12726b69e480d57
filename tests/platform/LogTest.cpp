#include "platform/Log.h"
#include "platform/Options.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {
struct Line {
    LogLevel level;
    std::string tag, message;
};

class LogCaptureTest : public testing::Test {
protected:
    void SetUp() override
    {
        setLogCapture([this](LogLevel level, const std::string& tag, const std::string& message) {
            lines.push_back({level, tag, message});
        });
    }
    void TearDown() override { setLogCapture({}); }
    std::vector<Line> lines;
};

TEST_F(LogCaptureTest, LinesArriveWithLevelTagAndFormattedTextAndNothingReachesStderr)
{
    testing::internal::CaptureStderr();
    logWarning("pak", "%s: entry %d damaged", "base.pak", 7);
    logInfo("render", "ready");
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].level, LogLevel::Warning);
    EXPECT_EQ(lines[0].tag, "pak");
    EXPECT_EQ(lines[0].message, "base.pak: entry 7 damaged");
    EXPECT_EQ(lines[1].level, LogLevel::Info);

    // A message longer than the line buffer is cut, not overrun.
    logWarning("x", "%s", std::string(5000, 'a').c_str());
    EXPECT_GT(lines.back().message.size(), 500u);
    EXPECT_LT(lines.back().message.size(), 5000u);
}

TEST_F(LogCaptureTest, TheOnceFormPrintsOnlyTheFirstTimeItsCallSiteRuns)
{
    for (int i = 0; i < 5; ++i)
        LOG_WARNING_ONCE("render", "frame %d", i);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].message, "frame 0");
}

TEST_F(LogCaptureTest, LibraryWarningsGoThroughTheLog)
{
    OptionTable options;
    const char* args[] = {"-nosuchoption"};
    options.parse(args);
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines[0].tag, "platform");
    EXPECT_NE(lines[0].message.find("-nosuchoption"), std::string::npos);

    setLogCapture({});
    testing::internal::CaptureStderr();
    logWarning("pak", "printed");
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "pak: printed\n");
}
}  // namespace
