#include "platform/File.h"
#include "platform/FileHashList.h"
#include "platform/GamesDetection.h"
#include "platform/Pak.h"

#include "support/TempDir.h"
#include "support/TestPak.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

namespace {
std::uint32_t hashOf(std::string_view text)
{
    return murmurHash2(std::span<const std::uint8_t>(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
}

TEST(MurmurHash2, MatchesReferenceValues)
{
    // Computed with an independent implementation of the 32-bit hash, seed 0.
    EXPECT_EQ(hashOf(""), 0x00000000u);
    EXPECT_EQ(hashOf("a"), 0x92685f5eu);
    EXPECT_EQ(hashOf("ab"), 0x1aa14063u);
    EXPECT_EQ(hashOf("abc"), 0x13577c9bu);
    EXPECT_EQ(hashOf("abcd"), 0x26873021u);
    EXPECT_EQ(hashOf("hello world"), 0x44a81419u);
    EXPECT_EQ(hashOf("The quick brown fox jumps over the lazy dog"), 0x212729d0u);
}

struct HashList : testing::Test {
    TempDir data;
    FileLayerScope scope{"", data.folder()};
    FileHashList list;

    void SetUp() override
    {
        data.write("data/a.cfg", "alpha");
        data.write("data/strings/EN/main.str", "0 - \"Yes\"\n");
        const std::vector<FileHashList::Entry> entries = {{hashOf("alpha"), "data/a.cfg"},
                                                          {hashOf("0 - \"Yes\"\n"), "data/strings/EN/main.str"}};
        list.parse(FileHashList::format(entries), "test.lst");
    }
};

TEST_F(HashList, FreshFilesVerify)
{
    ASSERT_EQ(list.entries().size(), 2u);
    EXPECT_EQ(list.entries()[1].name, "data/strings/EN/main.str");
    EXPECT_TRUE(list.verify());
}

TEST_F(HashList, OneChangedByteFails)
{
    data.write("data/a.cfg", "alphA");
    EXPECT_FALSE(list.verify());
}

TEST_F(HashList, MissingListedFileFails)
{
    std::filesystem::remove(data.path() / "data/a.cfg");
    EXPECT_FALSE(list.verify());
}

TEST_F(HashList, FilesAreReadThroughTheWholeFileLayer)
{
    std::filesystem::remove(data.path() / "data/a.cfg");
    TempDir paks;
    ASSERT_TRUE(writeTestPak(paks.folder() + "base.pak", {{"data/a.cfg", "alpha"}}));
    ASSERT_TRUE(mountPak(paks.folder() + "base.pak"));
    EXPECT_TRUE(list.verify());
}

TEST_F(HashList, MalformedLinesFailVerification)
{
    for (const char* text : {"1234567 data/a.cfg\n", "zzzzzzzz data/a.cfg\n", "0000000000 data/a.cfg\n",
                             "00000000 ../a.cfg\n", "00000000\n", "00000000 data/a.cfg\r\r\n",
                             "00000000 data/\x01a.cfg\n"}) {
        list.parse(text, "test.lst");
        EXPECT_TRUE(list.entries().empty()) << text;
        EXPECT_FALSE(list.verify()) << text;
    }
    list.parse("", "test.lst");
    EXPECT_TRUE(list.verify());
    // A last line of eight digits alone, at the very end of the file's bytes:
    // nothing past them may be read.
    const std::string_view digitsOnly = "00000000";
    const std::vector<char> exact(digitsOnly.begin(), digitsOnly.end());
    list.parse(std::string_view(exact.data(), exact.size()), "test.lst");
    EXPECT_FALSE(list.verify());
}

struct GamesList : testing::Test {
    TempDir data;
    FileLayerScope scope{"", data.folder()};
    std::vector<std::uint32_t> asked;
    std::vector<int> fired;
    std::vector<std::uint32_t> installed;

    void SetUp() override
    {
        setGamesDetectionHooks({[this](std::uint32_t id) {
                                    asked.push_back(id);
                                    return std::find(installed.begin(), installed.end(), id) != installed.end();
                                },
                                [this](int event) { fired.push_back(event); }});
    }
    void TearDown() override
    {
        clearGamesDetection();
        setGamesDetectionHooks({});
    }
};

TEST_F(GamesList, InstalledGameFiresTheUnlockEventOnce)
{
    data.write(kGamesDetectionListName, "211500 com.example.first\r\nbad line\n311560 com.example.second\n");
    loadGamesDetectionList();
    ASSERT_EQ(gamesDetectionList().size(), 2u);
    EXPECT_EQ(gamesDetectionList()[1].appId, 311560u);
    EXPECT_EQ(gamesDetectionList()[0].bundle, "com.example.first");
    installed = {211500, 311560};
    processGamesDetection();
    EXPECT_EQ(fired, (std::vector<int>{kUnlockEventHasOtherGame}));
    EXPECT_EQ(kUnlockEventHasOtherGame, 8);
}

TEST_F(GamesList, NothingInstalledOrNoListFiresNothing)
{
    data.write(kGamesDetectionListName, "211500 com.example.first\n");
    loadGamesDetectionList();
    processGamesDetection();
    EXPECT_EQ(asked, (std::vector<std::uint32_t>{211500}));
    EXPECT_TRUE(fired.empty());
    clearGamesDetection();
    EXPECT_TRUE(gamesDetectionList().empty());
    installed = {211500};
    processGamesDetection();
    EXPECT_TRUE(fired.empty());
    std::filesystem::remove(data.path() / kGamesDetectionListName);
    loadGamesDetectionList();
    EXPECT_TRUE(gamesDetectionList().empty());
}
}  // namespace
