#include "platform/File.h"
#include "platform/Steam.h"
#include "support/TempDir.h"

#include <arpa/inet.h>
#include <gtest/gtest.h>

#include <cstdlib>

namespace {
TEST(JoinRequest, ConnectArrivesAfterTheFirstCallbackRun)
{
    Steam account;
    ASSERT_TRUE(account.queueJoinRequest("127.0.0.1:6026"));
    EXPECT_EQ(account.requestedServer().port, 0u);  // held until the callbacks run
    account.runCallbacks();
    EXPECT_EQ(account.requestedServer().port, 6026u);
    EXPECT_EQ(account.requestedServer().address, htonl(0x7F000001));
    account.clearRequestedServer();
    account.runCallbacks();  // delivered once
    EXPECT_EQ(account.requestedServer().port, 0u);
}

TEST(JoinRequest, MalformedAddressesYieldNone)
{
    Steam account;
    for (const char* text : {"", "127.0.0.1", "127.0.0.1:", ":6026", "127.0.0.1:0", "127.0.0.1:65536",
                             "127.0.0.1:60x", "256.0.0.1:6026", "host.example:6026", "1.2.3.4.5.6.7.8:1",
                             "127.0.0.1:-1"})
        EXPECT_FALSE(account.queueJoinRequest(text)) << text;
    account.runCallbacks();
    EXPECT_EQ(account.requestedServer().port, 0u);
}

TEST(UserStats, StatisticsAndAchievementsSurviveARestart)
{
    TempDir dir;
    setSaveFolder(dir.folder());
    {
        Steam first;
        first.init();
        EXPECT_TRUE(first.setStat("enemy_kills", 12));
        EXPECT_TRUE(first.setStat("crash_count", -3));
        EXPECT_TRUE(first.setAchievement("ACH_FIRST_KILL"));
        ASSERT_TRUE(first.storeStats());
    }
    Steam second;
    second.init();
    second.loadStats();
    std::int32_t value = 0;
    ASSERT_TRUE(second.getStat("enemy_kills", value));
    EXPECT_EQ(value, 12);
    ASSERT_TRUE(second.getStat("crash_count", value));
    EXPECT_EQ(value, -3);
    EXPECT_TRUE(second.isAchieved("ACH_FIRST_KILL"));
    EXPECT_FALSE(second.isAchieved("ACH_OTHER"));
    EXPECT_FALSE(second.getStat("eject_count", value));
    setSaveFolder("");
}

// The account's installed games are lines of the same file; storing the
// statistics keeps them.
TEST(UserStats, InstalledGamesAreReadAndKeptThroughAStore)
{
    TempDir dir;
    setSaveFolder(dir.folder());
    dir.write("steam_userstats.txt", "installed 4242\ninstalled x\ninstalled 1 2\ninstalled 99999999999\nstat a 1\n");
    {
        Steam account;
        account.loadStats();
        EXPECT_TRUE(account.isAppInstalled(4242));
        EXPECT_FALSE(account.isAppInstalled(1));
        EXPECT_FALSE(account.isAppInstalled(0));
        ASSERT_TRUE(account.setStat("a", 2));
        ASSERT_TRUE(account.storeStats());
    }
    Steam again;
    again.loadStats();
    EXPECT_TRUE(again.isAppInstalled(4242));
    std::int32_t value = 0;
    EXPECT_TRUE(again.getStat("a", value));
    EXPECT_EQ(value, 2);
    setSaveFolder("");
}

TEST(UserStats, BadNamesAreRefusedAndBadLinesSkipped)
{
    Steam account;
    EXPECT_FALSE(account.setStat("", 1));
    EXPECT_FALSE(account.setStat("two words", 1));
    EXPECT_FALSE(account.setAchievement("line\nbreak"));
    EXPECT_FALSE(account.setStat(std::string(65, 'a'), 1));

    TempDir dir;
    setSaveFolder(dir.folder());
    dir.write("steam_userstats.txt",
              "stat good 5\nstat bad x\nstat huge 99999999999\nstat extra 1 2\nachievement\n"
              "achievement A B\nnonsense\n\nachievement ok\r\nstat\n");
    account.loadStats();
    std::int32_t value = 0;
    EXPECT_TRUE(account.getStat("good", value));
    EXPECT_EQ(value, 5);
    EXPECT_FALSE(account.getStat("bad", value));
    EXPECT_FALSE(account.getStat("huge", value));
    EXPECT_FALSE(account.getStat("extra", value));
    EXPECT_TRUE(account.isAchieved("ok"));
    EXPECT_FALSE(account.isAchieved("A"));
    setSaveFolder("");
}

TEST(AccountIdentity, TheAccountIsStableAndNeverZero)
{
    Steam a, b;
    a.init();
    b.init();
    EXPECT_EQ(a.accountId(), b.accountId());
    EXPECT_NE(a.accountId(), 0u);
    EXPECT_FALSE(a.personaName().empty());
}

TEST(AccountIdentity, TheLanguageComesFromTheEnvironment)
{
    const char* saved[3] = {std::getenv("LC_ALL"), std::getenv("LC_MESSAGES"), std::getenv("LANG")};
    const std::string kept[3] = {saved[0] ? saved[0] : "", saved[1] ? saved[1] : "", saved[2] ? saved[2] : ""};
    unsetenv("LC_ALL");
    unsetenv("LC_MESSAGES");
    setenv("LANG", "de_DE.UTF-8", 1);
    EXPECT_EQ(languageFromEnvironment(), "DE");
    setenv("LC_MESSAGES", "ja_JP", 1);
    EXPECT_EQ(languageFromEnvironment(), "JA");
    setenv("LC_ALL", "C", 1);
    EXPECT_EQ(languageFromEnvironment(), "EN");
    setenv("LC_ALL", "nl_NL", 1);
    EXPECT_EQ(languageFromEnvironment(), "EN");
    setenv("LC_ALL", "", 1);  // empty counts as unset
    EXPECT_EQ(languageFromEnvironment(), "JA");
    const char* names[3] = {"LC_ALL", "LC_MESSAGES", "LANG"};
    for (int i = 0; i < 3; ++i) {
        if (saved[i])
            setenv(names[i], kept[i].c_str(), 1);
        else
            unsetenv(names[i]);
    }
}

}  // namespace
