#include "platform/Controls.h"
#include "platform/Input.h"
#include "platform/Options.h"
#include "platform/Settings.h"
#include "support/Golden.h"

#include <gtest/gtest.h>

namespace {
int act(ControlAction a) { return static_cast<int>(a); }

// A player some way into the game: every kind of field away from its default.
Settings knownSettings()
{
    Settings s;
    s.playerName = u"Ana \u00C7elik";
    s.playerAccount = {76561198u, 0, 0, 0};
    s.playerRank = 7;
    s.pointsSP = 123456;
    s.pointsMP = 4321;
    s.setPlaneUnlocked(3, 1);
    s.setCampaignAccess(1, 1);
    s.setCampaignProgress(1, 4, 2);
    s.recordMissionResultFlag(1, 1, 4, 3);
    s.setAchievementDone(42, 1);
    s.setEventTally(false, 10, 77);
    s.setEventTally(true, 142, 9);
    s.setEventTally(false, 149, 3);
    s.setTutorialDone(2, 1);
    s.setDogfightMedal(5, 3);
    s.dogfightSkill = 0.55f;
    s.bestWaveSP = 12;
    s.languageIndex = 3;
    s.musicOn = 0;
    s.soundVolume = 0.25f;
    s.controlType = 1;
    s.controlDevice = 1;
    s.mouseSensitivity = 1.5f;
    s.invertPitch = 1;
    s.skirmishMap = 4;
    s.aiSkill = 0.9f;
    s.setSkirmishWord(Settings::kEntryCTF, 2, 12345u);
    s.weaponLoadout = {4, -1, 17};
    PlanePaint paint;
    paint.hue0 = 210.0f;
    paint.saturation0 = 0.5f;
    s.setPaint(3, paint);
    s.chatPresets[0] = u"Cover me!";
    s.defaultRoomName = u"Night Raid";
    return s;
}

TEST(GoldenFile, SettingsFile)
{
    std::string why;
    EXPECT_TRUE(golden::matches("tq2_settings.bin", knownSettings().encode(), why)) << why;

    const std::vector<std::uint8_t> stored = golden::read("tq2_settings.bin");
    Settings read;
    ASSERT_EQ(read.decode(stored), 2);
    EXPECT_EQ(read.playerName, u"Ana \u00C7elik");
    EXPECT_EQ(read.playerAccount[0], 76561198u);
    EXPECT_EQ(read.playerRank, 7);
    EXPECT_EQ(read.pointsSP, 123456);
    EXPECT_EQ(read.pointsMP, 4321);
    EXPECT_EQ(read.planeUnlockedAt(3), 1);
    EXPECT_EQ(read.campaignProgressAt(1, 4), 2);
    EXPECT_EQ(read.campaignResultAt(1, 4), 3u);
    EXPECT_EQ(read.achievementDoneAt(42), 1);
    EXPECT_EQ(read.eventTallyAt(true, 142), 9);
    EXPECT_EQ(read.eventTallyAt(false, 149), 3);
    EXPECT_EQ(read.dogfightMedalAt(5), 3);
    EXPECT_FLOAT_EQ(read.dogfightSkill, 0.55f);
    EXPECT_EQ(read.languageIndex, 3);
    EXPECT_EQ(read.musicOn, 0);
    EXPECT_FLOAT_EQ(read.soundVolume, 0.25f);
    EXPECT_EQ(read.controlType, 1);
    EXPECT_FLOAT_EQ(read.mouseSensitivity, 1.5f);
    EXPECT_EQ(read.skirmishMap, 4);
    EXPECT_EQ(read.skirmishWord(Settings::kEntryCTF, 2), 12345u);
    EXPECT_EQ(read.weaponLoadout[2], 17);
    EXPECT_FLOAT_EQ(read.paintAt(3).hue0, 210.0f);
    EXPECT_EQ(read.chatPresets[0], u"Cover me!");
    EXPECT_EQ(read.defaultRoomName, u"Night Raid");
}

// Files written before the event tallies reached id 149 held 143 of each:
// they keep their tallies, and the later ids start at 0.
TEST(GoldenFile, SettingsFileWithShorterTallies)
{
    const std::vector<std::uint8_t> stored = golden::read("tq2_settings_143_tallies.bin");
    Settings read;
    read.setEventTally(false, 149, 5);
    ASSERT_EQ(read.decode(stored), 2);
    EXPECT_EQ(read.eventTallyAt(true, 142), 9);
    EXPECT_EQ(read.eventTallyAt(false, 149), 5);
    EXPECT_EQ(read.eventTallyAt(true, 149), 0);
    EXPECT_EQ(read.achievementDoneAt(42), 1);
}

TEST(GoldenFile, ControlsFile)
{
    Input input;
    Settings settings;
    Controls known(input, settings);
    known.setCurrentScheme(0);
    known.setBinding(act(ControlAction::Chat), BindingKind::Key, Input::keyIndexOfBindingName("K"), 1);
    known.setCurrentScheme(1);
    known.setBinding(act(ControlAction::Boost), BindingKind::Button1, 5, 0);
    known.setCurrentScheme(2);
    known.setBinding(act(ControlAction::Zoom), BindingKind::Mouse, 4, 1);
    input.joystick(0).triggerAxis[4] = 1;
    input.joystick(1).invertedAxis[2] = 1;
    std::string why;
    EXPECT_TRUE(golden::matches("controls.cfg", golden::bytesOf(known.toText()), why)) << why;

    const std::vector<std::uint8_t> stored = golden::read("controls.cfg");
    Input readInput;
    Controls read(readInput, settings);
    ASSERT_TRUE(read.loadFromText(std::string(stored.begin(), stored.end())));
    EXPECT_EQ(read.binding(0, act(ControlAction::Chat)).code2, Input::keyIndexOfBindingName("K"));
    EXPECT_EQ(read.binding(1, act(ControlAction::Boost)).kind1, BindingKind::Button1);
    EXPECT_EQ(read.binding(1, act(ControlAction::Boost)).code1, 5);
    EXPECT_EQ(read.binding(2, act(ControlAction::Zoom)).kind2, BindingKind::Mouse);
    EXPECT_EQ(readInput.joystick(0).triggerAxis[4], 1);
    EXPECT_EQ(readInput.joystick(1).invertedAxis[2], 1);
    EXPECT_EQ(read.toText(), known.toText());
}

TEST(GoldenFile, GraphicsFile)
{
    const GraphicsConfig known{1920, 1080, 1, 3, 0};
    std::string why;
    EXPECT_TRUE(golden::matches("graphics.cfg", golden::bytesOf(formatGraphicsConfig(known)), why)) << why;
    const std::vector<std::uint8_t> stored = golden::read("graphics.cfg");
    const GraphicsConfig read = parseGraphicsConfig(std::string(stored.begin(), stored.end()));
    EXPECT_EQ(read.width, 1920);
    EXPECT_EQ(read.height, 1080);
    EXPECT_EQ(read.mode, 1);
    EXPECT_EQ(read.quality, 3);
    EXPECT_EQ(read.vsync, 0);
}
}  // namespace
