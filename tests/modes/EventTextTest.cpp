#include "ModeTestKit.h"

#include "modes/ModeServices.h"
#include "platform/Language.h"
#include "platform/StringTable.h"

#include <string>
#include <vector>

namespace {
struct RecordingMessages : IModeMessages {
    std::vector<std::u16string> longLines, notices;
    void pushLong(std::u16string_view t) override { longLines.emplace_back(t); }
    void pushNotice(std::u16string_view t, float duration, int colour, int flags) override
    {
        notices.emplace_back(t);
        EXPECT_EQ(duration, -1.0f);
        EXPECT_EQ(colour, 1);
        EXPECT_EQ(flags, 0);
    }
};

// Names as the HUD shows them: own team 0x07, others 0x08, back to plain with 0x01.
std::u16string own(std::u16string_view name) { return u"\x07;" + std::u16string(name) + u"\x01;"; }
std::u16string foe(std::u16string_view name) { return u"\x08;" + std::u16string(name) + u"\x01;"; }
// Tests run without a loaded string table: every id reads "DUMMY".
const std::u16string S = u"DUMMY";

struct EventText : ModeKit {
    RecordingMessages messages;
    Airplane* player = nullptr;
    Airplane* wingman = nullptr;
    Airplane* enemy = nullptr;
    void SetUp() override
    {
        ModeKit::SetUp();
        ASSERT_EQ(findStringTable().count(), 0);
        connectServices(ModeServices{nullptr, &messages, nullptr});
        player = airplane(0);
        wingman = airplane(0);
        enemy = airplane(1);
        player->pilotName = u"Me";
        wingman->pilotName = u"Wingman";
        enemy->pilotName = u"AVeryLongEnemyName";
        mode->setPlayerAirplane(player);
    }
};

TEST_F(EventText, ShotDownLinesByWhoIsThePlayer)
{
    using K = GameMode::EventKind;
    mode->postEventText(K::ShotDown, *player, nullptr);
    mode->postEventText(K::ShotDown, *wingman, nullptr);
    mode->postEventText(K::ShotDown, *player, enemy);
    mode->postEventText(K::ShotDown, *enemy, player);
    mode->postEventText(K::ShotDown, *wingman, enemy);
    const std::u16string enemy10 = foe(u"AVeryLongE");
    const std::vector<std::u16string> want = {
        S, own(u"Wingman") + u" " + S + u" ", S + u" " + enemy10 + u" ", S + u" " + enemy10 + u" ",
        own(u"Wingman") + u"  " + S + u"  " + enemy10 + u" "};
    EXPECT_EQ(messages.longLines, want);
    EXPECT_TRUE(messages.notices.empty());
}

// A bot is a local entity too; only the player's own airplane reads as "you".
TEST_F(EventText, ABotIsNeverTakenForThePlayer)
{
    ASSERT_EQ(enemy->networkRole, NetworkRole::Local);
    mode->postEventText(GameMode::EventKind::Ejected, *enemy, nullptr);
    ASSERT_EQ(messages.longLines.size(), 1u);
    EXPECT_EQ(messages.longLines[0], foe(u"AVeryLongE") + u" " + S + u" ");
}

TEST_F(EventText, FlagEventsAreNoticesWithLongerNames)
{
    using K = GameMode::EventKind;
    mode->postEventText(K::FlagTaken, *enemy, nullptr);
    mode->postEventText(K::FlagCaptured, *player, nullptr);
    mode->postEventText(K::FlagReturnedTeam, *wingman, nullptr);
    ASSERT_EQ(messages.notices.size(), 3u);
    EXPECT_EQ(messages.notices[0], foe(u"AVeryLongEnemyName") + u" " + S);
    EXPECT_EQ(messages.notices[1], S);
    EXPECT_EQ(messages.notices[2], S);
    EXPECT_TRUE(messages.longLines.empty());
}

TEST_F(EventText, TeamChangeAndUnknownKinds)
{
    mode->postEventText(GameMode::EventKind::TeamChange, *wingman, nullptr);
    mode->postEventText(static_cast<GameMode::EventKind>(8), *wingman, nullptr);
    mode->postEventText(static_cast<GameMode::EventKind>(-3), *wingman, nullptr);
    ASSERT_EQ(messages.longLines.size(), 1u);
    EXPECT_EQ(messages.longLines[0], own(u"Wingman") + u" " + S + u" " + S);
}

TEST_F(EventText, WithoutAPlayerAirplaneEveryNameIsAnOthersName)
{
    mode->setPlayerAirplane(nullptr);
    mode->postEventText(GameMode::EventKind::FlagReturnedTeam, *wingman, nullptr);
    EXPECT_TRUE(messages.notices.empty());
    mode->postEventText(GameMode::EventKind::FlagDropped, *player, nullptr);
    ASSERT_EQ(messages.notices.size(), 1u);
    EXPECT_EQ(messages.notices[0], foe(u"Me") + u" " + S);
}
}  // namespace
