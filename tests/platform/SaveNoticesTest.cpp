#include "platform/SaveNotices.h"

#include "platform/Controls.h"
#include "platform/File.h"
#include "platform/Input.h"
#include "platform/Log.h"
#include "platform/Settings.h"
#include "platform/Steam.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
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

// The settings file and the bindings file, too large to read, each through
// its own loader: moved aside whole under the first kept name an older copy
// leaves free, never left where the end's save writes, and told to the player.
TEST_F(SaveNotices, AnUnreadFileIsMovedAsideBesideOlderKeptCopiesAndTold)
{
    Input input;
    Settings settings;
    Controls controls(input, settings);
    struct SaveFile {
        std::string name;
        std::size_t tooLarge;
        SaveNotice notice;
        std::function<bool()> load;
        std::function<void()> save;
    };
    const SaveFile files[] = {
        {Settings::kFileName, Settings::kMaxFileBytes + 1, SaveNotice::SettingsReset, [&] { return settings.load(); },
         [&] { settings.save(); }},
        {Controls::kFileName, Controls::kMaxFileBytes + 1, SaveNotice::ControlsReset, [&] { return controls.load(); },
         [&] { controls.save(); }},
    };
    for (const SaveFile& file : files) {
        SCOPED_TRACE(file.name);
        dir.write(file.name + ".bad", "older");
        for (const char* kept : {".bad1", ".bad2"}) {
            const std::string unread(file.tooLarge, kept[4]);
            dir.write(file.name, unread);
            clearSaveNotices();
            lines.clear();
            EXPECT_FALSE(file.load());
            EXPECT_FALSE(std::filesystem::exists(dir.path() / file.name)) << "left where the next save writes";
            EXPECT_EQ(dir.read(file.name + kept), unread);
            EXPECT_TRUE(logged("the file is kept as " + file.name + kept));
            EXPECT_TRUE(takeSaveNotice(file.notice));
            file.save();
            EXPECT_EQ(dir.read(file.name + kept), unread) << "the end's save wrote over the kept copy";
            EXPECT_EQ(dir.read(file.name + ".bad"), "older");
        }
    }
}

// Readable but damaged: each new damage gets its own copy beside the older
// ones; the same damage read again is kept once.
TEST_F(SaveNotices, DamagedFilesAreKeptUnderNumberedNamesOnceEach)
{
    Input input;
    Settings settings;
    Controls controls(input, settings);
    const std::string kept = std::string(Controls::kFileName) + ".bad";
    dir.write(kept, "older");
    for (const char* damage : {"<controls><broken", "<controls><broken", "<other"}) {
        dir.write(Controls::kFileName, damage);
        EXPECT_FALSE(controls.load());
    }
    EXPECT_EQ(dir.read(kept) + dir.read(kept + "1") + dir.read(kept + "2"), "older<controls><broken<other");
    EXPECT_FALSE(std::filesystem::exists(dir.path() / (kept + "3")));
}

namespace {
// A name in the save folder that is there but cannot be opened: a file the
// player may not read, or for root, whom no permission stops, a socket.
bool makeUnreadable(const std::filesystem::path& path)
{
    if (::geteuid() != 0) {
        std::ofstream(path, std::ios::binary) << "older";
        std::filesystem::permissions(path, std::filesystem::perms::none);
        return true;
    }
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (path.string().size() >= sizeof(address.sun_path))
        return false;
    std::strncpy(address.sun_path, path.c_str(), sizeof(address.sun_path) - 1);
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    const bool bound = fd >= 0 && ::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
    if (fd >= 0)
        ::close(fd);
    return bound;
}

ino_t inodeOf(const std::filesystem::path& path)
{
    struct stat info {};
    return ::lstat(path.c_str(), &info) == 0 ? info.st_ino : 0;
}
}  // namespace

// A kept copy that cannot be read is still a kept copy: a new damage goes
// beside it, never over it, for the settings and the bindings alike.
TEST_F(SaveNotices, AKeptCopyThatCannotBeReadIsNeverWrittenOver)
{
    Input input;
    Settings settings;
    Controls controls(input, settings);
    struct Damaged {
        std::string name, kept, damage;
        std::function<bool()> load;
    };
    const Damaged files[] = {
        {Settings::kFileName, Settings::kDamagedFileName, "damaged", [&] { return settings.load(); }},
        {Controls::kFileName, Controls::kDamagedFileName, "<controls><broken", [&] { return controls.load(); }},
    };
    for (const Damaged& file : files) {
        SCOPED_TRACE(file.name);
        const std::filesystem::path kept = dir.path() / file.kept;
        ASSERT_TRUE(makeUnreadable(kept));
        const ino_t before = inodeOf(kept);
        dir.write(file.name, file.damage);
        EXPECT_FALSE(file.load());
        EXPECT_EQ(inodeOf(kept), before) << "the unreadable kept copy was written over";
        EXPECT_EQ(dir.read(file.kept + "1"), file.damage) << "the damage is kept beside it";
    }
}

// Every kept name taken (a read-only folder, a full disk or a quota fail the
// same way): the damaged settings, bindings and statistics stay where they
// are through the load, the player's notice and the end's save, however often
// they are saved; a later load that can keep them lets the saves through.
TEST_F(SaveNotices, ADamagedFileThatCannotBeKeptIsNeverWrittenOver)
{
    Input input;
    Settings settings;
    Controls controls(input, settings);
    Steam stats;
    struct Damaged {
        std::string name, kept, damage;
        SaveNotice notice;
        std::function<void()> load, save;
    };
    const Damaged files[] = {
        {Settings::kFileName, Settings::kDamagedFileName, "SKSTdamaged", SaveNotice::SettingsReset,
         [&] { (void)settings.load(); }, [&] { settings.save(); }},
        {Controls::kFileName, Controls::kDamagedFileName, "<controls><broken", SaveNotice::ControlsReset,
         [&] { (void)controls.load(); }, [&] { controls.save(); }},
        {"steam_userstats.txt", "steam_userstats.txt.bad", "stat kills 3\n\x01\xfe\x80 broken\n",
         SaveNotice::StatsDamaged, [&] { stats.loadStats(); }, [&] { (void)stats.storeStats(); }},
    };
    for (const Damaged& file : files) {
        SCOPED_TRACE(file.name);
        for (int number = 0; number < kMaxKeptSaveCopies; ++number)
            dir.write(file.kept + (number ? std::to_string(number) : ""), "older " + std::to_string(number));
        dir.write(file.name, file.damage);
        clearSaveNotices();
        lines.clear();
        file.load();
        EXPECT_TRUE(takeSaveNotice(file.notice));
        EXPECT_TRUE(logged("could not be kept and is left as it is"));
        file.save();
        file.save();
        EXPECT_EQ(dir.read(file.name), file.damage) << "written over";
        EXPECT_EQ(dir.read(file.kept + "99"), "older 99");
        EXPECT_FALSE(std::filesystem::exists(dir.path() / (file.kept + "100")));

        // A kept name freed: the next start keeps the damage and saves again.
        std::filesystem::remove(dir.path() / (file.kept + "7"));
        file.load();
        EXPECT_EQ(dir.read(file.kept + "7"), file.damage);
        file.save();
        EXPECT_NE(dir.read(file.name), file.damage);
    }
}
