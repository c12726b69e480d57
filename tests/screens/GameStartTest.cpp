#include "screens/GameStart.h"

#include "FakeScreen.h"
#include "gamedata/records/MapLists.h"
#include "modes/GameMode.h"
#include "modes/GameModeGlobals.h"
#include "modes/Match.h"
#include "modes/MatchConnections.h"
#include "modes/kinds/GameModeCampaign.h"
#include "screens/LoadingScreen.h"
#include "screens/Screens.h"
#include "support/modes/ModeHarness.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

class GameStartTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        resetScreens();
        std::string error;
        if (!harness.mountData(error))
            GTEST_SKIP() << error;
        setGameConnections(MatchConnections::none());
        setCurrentScreen(&menu);
    }
    void TearDown() override
    {
        endMatch();
        resetScreens();
    }
    // Nothing moved: the menu is still current and no mode was made.
    void expectUntouched()
    {
        EXPECT_EQ(currentScreen(), &menu);
        EXPECT_EQ(modeOf(currentMatch()), nullptr);
        for (const std::string& call : log)
            EXPECT_NE(call, "menu.leave");
    }
    ModeHarness harness;
    std::vector<std::string> log;
    FakeScreen menu{"menu", log};
    FakeScreen game{"game", log};
};

}  // namespace

TEST_F(GameStartTest, TypeTableStartsEveryMatchKindBehindTheLoadingScreen)
{
    const int startable[] = {2, 3, 4, 5, 6, 7, 9, 10, 13};
    for (int type : startable) {
        EXPECT_EQ(createGame(type, false, 0, game), GameStartResult::Started) << type;
        ASSERT_NE(modeOf(currentMatch()), nullptr);
        EXPECT_EQ(static_cast<int>(modeOf(currentMatch())->gameType()), type);
        EXPECT_EQ(modeOf(currentMatch())->mapRecord(), MapLists::instance().skirmishMap(0));
        EXPECT_EQ(currentScreen(), &gameLoadingScreen());
        EXPECT_EQ(gameLoadingScreen().next(), &game);
        EXPECT_FLOAT_EQ(gameLoadingScreen().progress(), 0.0f);
        endMatch();
        setCurrentScreen(&menu);
    }
    EXPECT_EQ(createGame(2, true, 0, game), GameStartResult::Started);
    EXPECT_FALSE(modeOf(currentMatch())->isSinglePlayer());
}

TEST_F(GameStartTest, UnknownTypeOrBadMapLeavesTheScreensAlone)
{
    const int refused[] = {-1, 0, 1, 8, 11, 12, 14, 1000};
    for (int type : refused)
        EXPECT_EQ(createGame(type, false, 0, game), GameStartResult::UnknownType) << type;
    expectUntouched();
    const int maps[] = {-1, MapLists::kSlots, 1 << 20};
    for (int map : maps)
        EXPECT_EQ(createGame(2, false, map, game), GameStartResult::BadMap) << map;
    expectUntouched();
}

TEST_F(GameStartTest, TakeOffLandingTutorialAlwaysFliesMapOne)
{
    if (!MapLists::instance().skirmishMap(1))
        GTEST_SKIP() << "the data has one skirmish map";
    EXPECT_EQ(createGame(9, false, 0, game, 3), GameStartResult::Started);
    EXPECT_EQ(modeOf(currentMatch())->mapRecord(), MapLists::instance().skirmishMap(1));
}

TEST_F(GameStartTest, AutostartOfTypeNinePlaysTheTutorialOfTheNumberOnTheTutorialMap)
{
    if (!MapLists::instance().skirmishMap(1))
        GTEST_SKIP() << "the data has one skirmish map";
    for (int index : {0, 4}) {
        requestAutostart(9, index);
        ASSERT_TRUE(runAutostart(game));
        ASSERT_NE(modeOf(currentMatch()), nullptr);
        EXPECT_EQ(tutorialIndex(), index);
        EXPECT_EQ(modeOf(currentMatch())->mapRecord(), MapLists::instance().skirmishMap(1));
        EXPECT_EQ(modeOf(currentMatch())->getPauseMenu(), PauseMenu::Tutorial);
        endMatch();
    }
    requestAutostart(9, 7);
    EXPECT_FALSE(runAutostart(game)) << "no tutorial 7";
}

TEST_F(GameStartTest, CampaignMissionRefusesBadIndexAndEmptyRecord)
{
    EXPECT_EQ(startCampaignMission(-1, 0, game), GameStartResult::NoMission);
    EXPECT_EQ(startCampaignMission(MapLists::kCampaigns, 0, game), GameStartResult::NoMission);
    EXPECT_EQ(startCampaignMission(0, MapLists::kSlots, game), GameStartResult::NoMission);
    EXPECT_EQ(startCampaignMission(0, MapLists::kSlots - 1, game), GameStartResult::NoMission);  // empty entry
    expectUntouched();
    if (!MapLists::instance().campaignMission(0, 0))
        GTEST_SKIP() << "no first campaign mission in the data";
    EXPECT_EQ(startCampaignMission(0, 0, game), GameStartResult::Started);
    EXPECT_EQ(static_cast<int>(modeOf(currentMatch())->gameType()), 1);
    EXPECT_TRUE(modeOf(currentMatch())->isSinglePlayer());
    EXPECT_EQ(currentScreen(), &gameLoadingScreen());
    EXPECT_EQ(dynamic_cast<GameModeCampaign&>(*modeOf(currentMatch())).resumeValue, 0);
    // Resume continues from the checkpoint at the chosen difficulty; other values start afresh.
    EXPECT_EQ(startCampaignMission(0, 0, game, 2, 1), GameStartResult::Started);
    EXPECT_EQ(modeOf(currentMatch())->difficulty, 2);
    EXPECT_EQ(dynamic_cast<GameModeCampaign&>(*modeOf(currentMatch())).resumeValue, 1);
    EXPECT_EQ(startCampaignMission(0, 0, game, 1, 7), GameStartResult::Started);
    EXPECT_EQ(dynamic_cast<GameModeCampaign&>(*modeOf(currentMatch())).resumeValue, 0);
}

TEST_F(GameStartTest, AGameWithAnEmptyConnectionDoesNotStartAndTheScreensStay)
{
    MatchConnections noScene = MatchConnections::none();
    noScene.services.scene = nullptr;
    setGameConnections(noScene);
    EXPECT_EQ(createGame(2, false, 0, game), GameStartResult::NotConnected);
    expectUntouched();
    // The network game is each match's own: a network match without one is refused.
    setGameConnections(MatchConnections::none());
    EXPECT_EQ(createNetworkGame(2, 0, true, false, nullptr, game), GameStartResult::NotConnected);
    expectUntouched();
    NoNetwork network;
    EXPECT_EQ(createNetworkGame(2, 0, true, false, &network, game), GameStartResult::Started);
    ASSERT_NE(currentMatch(), nullptr);
    EXPECT_EQ(currentMatch()->connections().network, &network);
    EXPECT_TRUE(modeOf(currentMatch())->isNetworkServer());
    // A single player game talks to no network game.
    endMatch();
    setCurrentScreen(&menu);
    EXPECT_EQ(createGame(3, false, 0, game), GameStartResult::Started);
    EXPECT_EQ(currentMatch()->connections().network, &noNetwork());
}
