#include "platform/SaveNotices.h"

#include "platform/File.h"
#include "platform/Log.h"
#include "platform/Settings.h"
#include "platform/Steam.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {
struct SaveNotices : testing::Test {
    TempDir dir;
    std::vector<std::string> lines;
    void SetUp() override
    {
        clearSaveNotices();
        setSaveFolder(dir.folder());
        setLogCapture([this](LogLevel, const std::string&, const std::string& m) { lines.push_back(m); });
    }
    void TearDown() override
    {
        setLogCapture({});
        setSaveFolder("");
        clearSaveNotices();
    }
    bool logged(const std::string& text) const
    {
        for (const std::string& line : lines)
            if (line.find(text) != std::string::npos)
                return true;
        return false;
    }
};
}  // namespace

// The save folder is a file, so nothing can be made in it: the log says
// which file and why, and the player's notice comes once for the run.
TEST_F(SaveNotices, ASaveThatCannotBeWrittenLogsTheReasonAndRaisesOneNotice)
{
    dir.write("blocked", "not a folder");
    setSaveFolder(dir.folder() + "blocked/");
    EXPECT_FALSE(takeSaveNotice(SaveNotice::SaveFailed));
    Settings().save();
    EXPECT_TRUE(logged(std::string(Settings::kFileName) + ": cannot be written (open: Not a directory)"))
        << (lines.empty() ? "" : lines[0]);
    Steam stats;
    EXPECT_FALSE(stats.storeStats());
    EXPECT_TRUE(logged("steam_userstats.txt: cannot be written (open: Not a directory)"));

    EXPECT_TRUE(takeSaveNotice(SaveNotice::SaveFailed));
    EXPECT_FALSE(takeSaveNotice(SaveNotice::SaveFailed)) << "once";
    Settings().save();
    EXPECT_FALSE(takeSaveNotice(SaveNotice::SaveFailed)) << "once a run, however often it fails";
    EXPECT_FALSE(takeSaveNotice(SaveNotice::SettingsReset));

    // A write that works raises nothing.
    clearSaveNotices();
    setSaveFolder(dir.folder());
    Settings().save();
    EXPECT_FALSE(takeSaveNotice(SaveNotice::SaveFailed));
}

TEST_F(SaveNotices, ADamagedSettingsFileRaisesTheResetNoticeAndAGoodOneDoesNot)
{
    Settings().save();
    Settings good;
    EXPECT_TRUE(good.load());
    EXPECT_FALSE(takeSaveNotice(SaveNotice::SettingsReset));

    dir.write(Settings::kFileName, "damaged");
    Settings reset;
    EXPECT_FALSE(reset.load());
    EXPECT_TRUE(takeSaveNotice(SaveNotice::SettingsReset));
    EXPECT_FALSE(takeSaveNotice(SaveNotice::SettingsReset));
    EXPECT_FALSE(takeSaveNotice(SaveNotice::SaveFailed));
}
