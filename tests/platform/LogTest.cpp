#include "platform/Log.h"
#include "platform/Options.h"
#include "platform/Text.h"

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

// Pilots' names and texts of every language reach the log as UTF-8 that
// reads back to the same letters; a stray 8-bit byte is its Latin-1 letter,
// and a line cut at the buffer's end never ends in half a letter.
TEST_F(LogCaptureTest, LinesAreUtf8ThatReadsBackToTheSameLetters)
{
    const std::u16string names[] = {u"Лётчик Ёлкин", u"飞行员 王", u"パイロット 佐藤", u"조종사 김", u"Renée 𝒜"};
    for (const std::u16string& name : names) {
        logInfo("hud", "event line: %s shot down Joiner", wideToUtf8(name).c_str());
        EXPECT_EQ(utf8ToWide(lines.back().message), u"event line: " + name + u" shot down Joiner");
    }
    logInfo("menus", "pilot \"%s\"", "Ren\xE9" "e");
    EXPECT_EQ(lines.back().message, "pilot \"Ren\xC3\xA9" "e\"");

    testing::internal::CaptureStderr();
    setLogCapture({});
    logInfo("hud", "%s", wideToUtf8(u"조종사").c_str());
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "hud: \xEC\xA1\xB0\xEC\xA2\x85\xEC\x82\xAC\n");
    SetUp();

    for (std::size_t pad = 0; pad < 3; ++pad) {
        logInfo("x", "%s%s", std::string(1000 + pad, 'a').c_str(), wideToUtf8(std::u16string(20, u'飞')).c_str());
        const std::string& cut = lines.back().message;
        EXPECT_LT(cut.size(), 1024u);
        EXPECT_EQ(wideToUtf8(utf8ToWide(cut)), cut) << pad;
        EXPECT_EQ(cut.find("\xC3"), std::string::npos) << "half a letter read as Latin-1: " << pad;
    }
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
