#include "platform/Settings.h"

#include "platform/File.h"
#include "platform/Log.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace {
struct SettingsFileTest : testing::Test {
    TempDir dir;
    void SetUp() override { setSaveFolder(dir.folder()); }
    void TearDown() override { setSaveFolder(""); }

    std::vector<std::uint8_t> fileBytes() const
    {
        const std::string text = dir.read(Settings::kFileName);
        return {text.begin(), text.end()};
    }
    void writeFile(const std::vector<std::uint8_t>& bytes) const
    {
        dir.write(Settings::kFileName, std::string(bytes.begin(), bytes.end()));
    }
};

// Every saved field away from its default.
Settings changedRecord()
{
    Settings s;
    s.playerName = u"Ace \u00e9";
    s.playerAccount = {7, 0, 0, 0};
    s.playerRank = 12;
    s.pointsSP = 1234;
    s.pointsMP = 55;
    s.planeUnlocked[3] = 1;
    s.campaignAccess[2] = 1;
    s.campaignProgress[17] = 1;
    s.campaignResults[5] = 0x030201;
    s.unlockOnlineMultiplayer = s.unlockFFA = s.unlockDTB = s.unlockSurvivalCoop = 1;
    s.unlockFreeFlight = s.unlockPlanePainting = s.unlockWeaponChoice = s.unlockWeaponPack = 1;
    s.unlockAcrobaticSmoke = s.rated = 1;
    s.achievementDone[99] = 1;
    s.eventTalliesSP[142] = 9;
    s.eventTalliesMP[1] = 4;
    s.tutorialDone[5] = 1;
    s.dogfightIndex = 7;
    s.dogfightsUnlocked = 8;
    s.dogfightSkill = 0.9f;
    s.dogfightEnemyCount = 4;
    s.dogfightMissileEnemies = 1;
    s.dogfightParam4 = 3;
    s.dogfightParam5 = 2;
    s.dogfightDone[19] = 1;
    s.dogfightMedals[0] = 3;
    s.bestWaveSP = 11;
    s.bestWaveMP = 6;
    s.profileResetPending = 1;
    s.languageIndex = 9;
    s.soundOn = 0;
    s.musicOn = 0;
    s.soundVolume = 0.25f;
    s.musicVolume = 0.5f;
    s.controlType = 1;
    s.controlDevice = 2;
    s.keyboardSensitivity = 0.6f;
    s.joystickSensitivity = 1.7f;
    s.mouseSensitivity = 1.2f;
    s.flipControls = s.invertPitch = s.metricUnits = 1;
    s.aimAssist = s.markerDetails = s.flightHintEnabled = 0;
    s.tutorialPromptAnswered = s.achievementNameVariant = 1;
    s.chosenViewMode = 4;
    s.localPlaneId = 200;
    s.savedDifficulty = 2;
    s.skirmishType = 13;
    s.skirmishMap = 3;
    s.skirmishOption = 15;
    s.aiSkill = 0.3f;
    s.sunValue = 0.9f;
    s.setSkirmishWord(Settings::kEntryHost, 0, 12);
    s.setSkirmishFloat(Settings::kEntryFFA, 4, 0.8f);
    s.setSkirmishWord(Settings::kEntryFurther, 0, 0x102);
    s.weaponLoadout = {4, -1, 9};
    s.planePaintTable[255] = PlanePaint{120, 0.5f, 0.25f, 359, 1, 0};
    s.chatPresets[5] = u"Cover me";
    s.defaultRoomName = u"Dawn patrol";
    s.countdownSkip = 1;
    s.focusSwitchDelay = 1.5f;
    return s;
}

TEST_F(SettingsFileTest, DefaultsAreThePlayersFirstProfile)
{
    const Settings s;
    EXPECT_EQ(s.playerName, u"Pilot");
    EXPECT_EQ(s.languageIndex, -1);
    EXPECT_FLOAT_EQ(s.soundVolume, 0.7f);
    EXPECT_EQ(s.skirmishOption, 10);
    EXPECT_EQ(s.defaultRoomName, u"Galeborn");
    EXPECT_EQ(s.chatPresets[2], u"Custom message 3");
    EXPECT_EQ(s.controlType, 2);
    EXPECT_EQ(s.markerDetails, 1);
    EXPECT_EQ(s.skirmishWord(Settings::kEntryTD, 2), 4u);
    EXPECT_EQ(s.skirmishWord(Settings::kEntryDTB, 3), 5u);
    EXPECT_FLOAT_EQ(s.skirmishFloat(Settings::kEntryCTF, 5), 0.5f);
    EXPECT_EQ(s.skirmishWord(Settings::kEntryFFA, 2), 7u);
    EXPECT_FLOAT_EQ(s.skirmishFloat(Settings::kEntryFFA, 4), 0.5f);
    EXPECT_EQ(s.skirmishWord(Settings::kEntryHost, 2), 8u);
}

TEST_F(SettingsFileTest, SaveThenLoadReproducesEveryField)
{
    const Settings saved = changedRecord();
    saved.save();
    Settings loaded;
    ASSERT_TRUE(loaded.load());
    EXPECT_EQ(loaded.encode(), saved.encode());
    EXPECT_NE(Settings().encode(), saved.encode());
    EXPECT_EQ(loaded.playerName, u"Ace \u00e9");
    EXPECT_EQ(loaded.campaignResults[5], 0x030201u);
    EXPECT_EQ(loaded.planePaintTable[255], saved.planePaintTable[255]);
    EXPECT_EQ(loaded.skirmishWord(Settings::kEntryFurther, 0), 0x102u);
    EXPECT_EQ(loaded.weaponLoadout[2], 9);
}

// A first start takes the account's name; one the profile page could not show
// keeps "Pilot".
TEST(SettingsRules, TheAccountNamesTheFirstPilot)
{
    Settings s;
    s.nameAfterAccount(u"maverick");
    EXPECT_EQ(s.playerName, u"maverick");
    s.nameAfterAccount(u"a.very.long.login.name.indeed");
    EXPECT_EQ(s.playerName, u"a.very.long.login.n");  // the profile page's 19 units
    s.nameAfterAccount(u"tab\there");
    EXPECT_EQ(s.playerName, u"tabhere");
    Settings blank;
    blank.nameAfterAccount(u"  ");
    blank.nameAfterAccount(u"\x01\x02");
    blank.nameAfterAccount(u"");
    EXPECT_EQ(blank.playerName, u"Pilot");
}

TEST_F(SettingsFileTest, ACorruptBlockKeepsItsValuesWhileTheOtherLoads)
{
    changedRecord().save();
    auto bytes = fileBytes();
    // The last byte belongs to the profile block, the second block.
    bytes.back() ^= 0x40;
    writeFile(bytes);

    Settings s;
    s.pointsSP = 77;
    EXPECT_TRUE(s.load());
    EXPECT_EQ(s.pointsSP, 77);
    EXPECT_EQ(s.playerName, u"Pilot");
    EXPECT_EQ(s.languageIndex, 9);
    EXPECT_EQ(s.defaultRoomName, u"Dawn patrol");
}

TEST_F(SettingsFileTest, ADamagedFileIsKeptOnceBesideTheNewOneWithOneLogLine)
{
    std::vector<std::string> lines;
    setLogCapture([&](LogLevel, const std::string&, const std::string& message) { lines.push_back(message); });
    changedRecord().save();
    auto damaged = fileBytes();
    damaged.back() ^= 0x40;
    writeFile(damaged);

    Settings s;
    EXPECT_TRUE(s.load());
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_NE(lines[0].find(Settings::kDamagedFileName), std::string::npos) << lines[0];
    s.save();
    const std::string kept = dir.read(Settings::kDamagedFileName);
    EXPECT_EQ(kept, std::string(damaged.begin(), damaged.end()));
    EXPECT_NE(fileBytes(), damaged);

    // A second damaged file leaves the first copy alone.
    writeFile({'b', 'a', 'd'});
    lines.clear();
    EXPECT_FALSE(Settings().load());
    EXPECT_EQ(lines.size(), 1u);
    EXPECT_EQ(dir.read(Settings::kDamagedFileName), kept);
    // A pending temporary file that is damaged is not kept and says so once.
    writeFile({'b', 'a', 'd'});
    std::filesystem::rename(dir.path() / Settings::kFileName, dir.path() / Settings::kTmpFileName);
    lines.clear();
    Settings().loadTmpFile();
    EXPECT_EQ(lines.size(), 1u);
    setLogCapture({});
}

TEST_F(SettingsFileTest, BadFilesCrashNothingAndLoseNoProgress)
{
    changedRecord().save();
    const auto good = fileBytes();
    auto wrongMagic = good;
    wrongMagic[0] = 'X';

    Settings s;
    s.pointsMP = 31;
    s.setTutorialDone(2, 1);
    EXPECT_EQ(s.decode(wrongMagic), 0);
    for (std::size_t length = 0; length < good.size(); ++length)
        s.decode(std::span(good).first(length));
    // Every cut before the end of the profile block leaves the profile alone.
    EXPECT_EQ(s.pointsMP, 31);
    EXPECT_EQ(s.tutorialDoneAt(2), 1);

    std::filesystem::remove(dir.path() / Settings::kFileName);
    EXPECT_FALSE(s.load());
    EXPECT_EQ(s.pointsMP, 31);
}

TEST_F(SettingsFileTest, AnOversizedFileIsNotReadAtAll)
{
    changedRecord().save();
    // Valid blocks followed by a run of zeros past the limit.
    std::filesystem::resize_file(dir.path() / Settings::kFileName, Settings::kMaxFileBytes + 1);
    Settings s;
    s.pointsSP = 5;
    EXPECT_FALSE(s.load());
    EXPECT_EQ(s.pointsSP, 5);
    EXPECT_EQ(s.languageIndex, -1);
}

TEST_F(SettingsFileTest, AnInterruptedSaveLeavesThePreviousFileLoadable)
{
    changedRecord().save();
    // A crash mid-write leaves only a partial temporary file beside the old one.
    const auto good = fileBytes();
    dir.write(std::string(Settings::kFileName) + ".new", std::string(good.begin(), good.begin() + 20));
    Settings s;
    ASSERT_TRUE(s.load());
    EXPECT_EQ(s.pointsSP, 1234);
    s.pointsSP = 9;
    s.save();
    Settings again;
    ASSERT_TRUE(again.load());
    EXPECT_EQ(again.pointsSP, 9);
}

TEST_F(SettingsFileTest, ValuesOutOfRangeKeepTheirCurrentValue)
{
    Settings bad = changedRecord();
    bad.languageIndex = 42;
    bad.playerRank = 40;
    bad.soundVolume = std::numeric_limits<float>::quiet_NaN();
    bad.dogfightMedals[4] = 9;
    bad.planePaintTable[1].hue0 = 1e9f;
    bad.save();
    Settings s;
    ASSERT_TRUE(s.load());
    EXPECT_EQ(s.languageIndex, -1);
    EXPECT_EQ(s.playerRank, 0);
    EXPECT_FLOAT_EQ(s.soundVolume, 0.7f);
    EXPECT_EQ(s.dogfightMedals[4], 0);
    EXPECT_EQ(s.dogfightMedals[0], 3);
    EXPECT_EQ(s.planePaintTable[1], PlanePaint{});
    EXPECT_EQ(s.pointsSP, 1234);
}

TEST_F(SettingsFileTest, ATutorialsForcedValuesAreNeverSaved)
{
    Settings s;
    s.controlType = 1;
    s.flightHintEnabled = 0;
    s.forceControlType(0);
    s.forceFlightHint(1);
    s.save();
    // A re-load during the tutorial keeps the forced values in play.
    ASSERT_TRUE(s.load());
    EXPECT_EQ(s.controlType, 0);
    EXPECT_EQ(s.flightHintEnabled, 1);

    Settings fresh;
    ASSERT_TRUE(fresh.load());
    EXPECT_EQ(fresh.controlType, 1);
    EXPECT_EQ(fresh.flightHintEnabled, 0);
    s.endForcedValues();
    EXPECT_EQ(s.controlType, 1);
    EXPECT_EQ(s.flightHintEnabled, 0);
}

TEST_F(SettingsFileTest, APendingTemporaryFileIsAppliedSavedAndRemoved)
{
    Settings(changedRecord()).save();
    std::filesystem::rename(dir.path() / Settings::kFileName, dir.path() / Settings::kTmpFileName);
    Settings s;
    s.loadTmpFile();
    EXPECT_EQ(s.pointsSP, 1234);
    EXPECT_FALSE(std::filesystem::exists(dir.path() / Settings::kTmpFileName));
    Settings saved;
    ASSERT_TRUE(saved.load());
    EXPECT_EQ(saved.pointsSP, 1234);

    // Over a damaged settings file that cannot be kept (every kept name
    // taken), neither file is lost: the pending one waits for a later start.
    for (int number = 0; number < kMaxKeptSaveCopies; ++number)
        dir.write(std::string(Settings::kDamagedFileName) + (number ? std::to_string(number) : ""), "older");
    std::filesystem::rename(dir.path() / Settings::kFileName, dir.path() / Settings::kTmpFileName);
    const std::string pending = dir.read(Settings::kTmpFileName);
    dir.write(Settings::kFileName, "SKSTdamaged");
    ASSERT_FALSE(saved.load());
    Settings().loadTmpFile();
    EXPECT_EQ(dir.read(Settings::kFileName), "SKSTdamaged");
    EXPECT_EQ(dir.read(Settings::kTmpFileName), pending);
}

TEST(SettingsRules, ModeOptionPairCopiesTheHostWords)
{
    Settings s;
    s.setSkirmishWord(Settings::kEntryHost, 0, 20);
    s.setSkirmishWord(Settings::kEntryHost, 1, 30);
    s.setModeOptionPair(2);  // free-for-all: clears only word 2
    EXPECT_EQ(s.skirmishWord(Settings::kEntryFFA, 0), 20u);
    EXPECT_EQ(s.skirmishWord(Settings::kEntryFFA, 1), 30u);
    EXPECT_EQ(s.skirmishWord(Settings::kEntryFFA, 2), 0u);
    s.setModeOptionPair(5);  // destroy the base: clears words 2 and 3
    EXPECT_EQ(s.skirmishWord(Settings::kEntryDTB, 0), 20u);
    EXPECT_EQ(s.skirmishWord(Settings::kEntryDTB, 3), 0u);
    EXPECT_EQ(s.skirmishWord(Settings::kEntryTD, 0), 0u);
    const Settings before = s;
    s.setModeOptionPair(6);
    EXPECT_EQ(s.skirmishConfig, before.skirmishConfig);
}

TEST(SettingsRules, MissionResultFlagsUseOneLanePerDifficulty)
{
    Settings s;
    s.recordMissionResultFlag(1, 2, 15, 3);
    s.recordMissionResultFlag(2, 2, 15, 1);
    s.recordMissionResultFlag(0, 2, 15, 2);
    EXPECT_EQ(s.campaignResultAt(2, 15), 0x020103u);
    s.recordMissionResultFlag(1, 2, 15, 1);
    EXPECT_EQ(s.campaignResultAt(2, 15), 0x020101u);
    const auto before = s.campaignResults;
    s.recordMissionResultFlag(3, 0, 0, 1);
    s.recordMissionResultFlag(1, 0, 16, 1);
    s.recordMissionResultFlag(1, 3, 0, 1);
    s.recordMissionResultFlag(1, -1, 0, 1);
    EXPECT_EQ(s.campaignResults, before);
}

TEST(SettingsRules, TablesOutOfRangeReadZeroAndIgnoreWrites)
{
    Settings s;
    s.setAchievementDone(100, 1);
    s.setTutorialDone(-1, 1);
    s.setDogfightMedal(20, 3);
    s.setEventTally(true, Settings::kEventIdCount, 5);
    s.setPlaneUnlocked(256, 1);
    EXPECT_EQ(Settings().encode(), s.encode());
    EXPECT_EQ(s.achievementDoneAt(100), 0);
    EXPECT_EQ(s.eventTallyAt(false, -1), 0);
    EXPECT_EQ(s.campaignProgressAt(0, 31), 0);
    EXPECT_EQ(&s.paintAt(999), &s.planePaintTable[0]);
}

TEST(SettingsRules, SanitizeClampsSelectionsToTheirLists)
{
    Settings s;
    s.languageIndex = 42;
    s.controlType = 7;
    s.controlDevice = 5;
    s.localPlaneId = 9;
    s.skirmishMap = 12;
    s.dogfightIndex = 25;
    s.mouseSensitivity = 3.0f;
    const int planes[] = {2, 4};
    s.sanitize(planes, 10);
    EXPECT_EQ(s.languageIndex, -1);
    EXPECT_EQ(s.controlType, 0);
    EXPECT_EQ(s.controlDevice, 0);
    EXPECT_EQ(s.localPlaneId, 2);
    EXPECT_EQ(s.skirmishMap, -1);
    EXPECT_EQ(s.dogfightIndex, 19);
    EXPECT_FLOAT_EQ(s.mouseSensitivity, 1.7f);
    // Map indices run 0..count-1: the count itself is past the list.
    for (const int map : {9, 10}) {
        s.skirmishMap = map;
        s.sanitize(planes, 10);
        EXPECT_EQ(s.skirmishMap, map == 9 ? 9 : -1);
    }
}

TEST(SettingsRules, SanitizeKeepsAControlTypeNotChosenYet)
{
    // A first start reaches its first game still unchosen, so that game asks.
    Settings fresh;
    fresh.sanitize();
    EXPECT_EQ(fresh.controlType, 2);
    for (const std::int32_t type : {0, 1, 2, -1, 3, 7}) {
        Settings s;
        s.controlType = type;
        s.sanitize();
        EXPECT_EQ(s.controlType, type >= 0 && type <= 2 ? type : 0) << type;
    }
    // While a tutorial forces its own type, the player's own is the one checked.
    Settings forced;
    forced.forceControlType(1);
    forced.sanitize();
    EXPECT_EQ(forced.playerControlType(), 2);
    forced.endForcedValues();
    EXPECT_EQ(forced.controlType, 2);
}

TEST(SettingsRules, ResetProfileKeepsOptionsAndAccount)
{
    Settings s = changedRecord();
    s.resetPlayerProfile();
    EXPECT_EQ(s.pointsSP, 0);
    EXPECT_EQ(s.playerName, u"Pilot");
    EXPECT_EQ(s.dogfightMedals[0], 0);
    EXPECT_EQ(s.playerAccount[0], 7u);
    EXPECT_EQ(s.languageIndex, 9);
}
}  // namespace
