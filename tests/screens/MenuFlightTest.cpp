#include "screens/MenuScreen.h"

#include "entities/aircraft/Airplane.h"
#include "gamedata/map/GameWorld.h"
#include "modes/GameMode.h"
#include "modes/GameModeGlobals.h"
#include "modes/Match.h"
#include "modes/MatchConnections.h"
#include "platform/Clock.h"
#include "screens/GameScreen.h"
#include "screens/GameStart.h"
#include "screens/LoadingScreen.h"
#include "screens/Screens.h"
#include "support/modes/ModeHarness.h"

#include <gtest/gtest.h>

#include <string>

TEST(menu_flight, EveryEntryRebuildsTheFlightWithoutReloading)
{
    resetScreens();
    ModeHarness harness;
    std::string error;
    if (!harness.mountData(error))
        GTEST_SKIP() << error;
    setGameConnections(MatchConnections::none());
    MenuScreen& menu = menuScreen();
    for (int entry = 0; entry < 2; ++entry) {
        const int counter = menu.loadCounter();
        menu.onEnter();
        EXPECT_EQ(menu.loadCounter(), counter);  // no load steps again
        ASSERT_NE(modeOf(currentMatch()), nullptr) << entry;
        EXPECT_EQ(modeOf(currentMatch())->gameType(), GameType::MenuBackground);
        ASSERT_NE(menu.menuScene(), nullptr);
        EXPECT_EQ(scene(), menu.menuScene());
        menu.onLeave();
        EXPECT_EQ(modeOf(currentMatch()), nullptr);
        EXPECT_EQ(scene(), nullptr);
    }
    resetScreens();
}

TEST(menu_flight, AutostartRunsOnceAndAnUnknownTypeKeepsTheMenu)
{
    resetScreens();
    ModeHarness harness;
    std::string error;
    if (!harness.mountData(error))
        GTEST_SKIP() << error;
    setGameConnections(MatchConnections::none());
    EXPECT_FALSE(runAutostart(gameScreen()));  // nothing asked
    requestAutostart(12, 0);
    EXPECT_FALSE(runAutostart(gameScreen()));
    EXPECT_EQ(currentScreen(), nullptr);
    requestAutostart(10, 0);
    EXPECT_TRUE(runAutostart(gameScreen()));
    EXPECT_EQ(currentScreen(), &gameLoadingScreen());
    EXPECT_EQ(modeOf(currentMatch())->gameType(), GameType::FreeFlight);
    EXPECT_FALSE(runAutostart(gameScreen()));  // once only
    endMatch();
    resetScreens();
}

// Menu, a game, back to the menu, three times: each game and each menu flight
// builds its own mode and scene and leaves nothing behind.
TEST(menu_flight, ThreeMenuToGameCyclesLeaveNothingBehind)
{
    resetScreens();
    ModeHarness harness;
    std::string error;
    if (!harness.mountData(error))
        GTEST_SKIP() << error;
    setGameConnections(MatchConnections::none());
    MenuScreen& menu = menuScreen();
    GameScreen& game = gameScreen();
    setCurrentScreen(&menu);
    const int types[3] = {10, 2, 10};
    for (int cycle = 0; cycle < 3; ++cycle) {
        ASSERT_NE(modeOf(currentMatch()), nullptr) << cycle;
        EXPECT_EQ(modeOf(currentMatch())->gameType(), GameType::MenuBackground);
        ASSERT_EQ(createGame(types[cycle], false, cycle, game), GameStartResult::Started) << cycle;
        for (int frame = 0; frame < 24 + 60; ++frame)
            updateScreens();
        ASSERT_EQ(currentScreen(), &game) << cycle;
        GameMode* mode = modeOf(currentMatch());
        ASSERT_NE(mode, nullptr);
        EXPECT_EQ(static_cast<int>(mode->gameType()), types[cycle]);
        // Every game has the local player's airplane, the match its bots too.
        EXPECT_NE(mode->playerAirplane(), nullptr) << cycle;
        ASSERT_NE(scene(), nullptr);
        EXPECT_EQ(scene(), game.gameScene());
        EXPECT_EQ(scene()->terrain, mode->world()->terrain());
        setTimeScale(5.0f);  // a fast-forward the game never gave back
        setCurrentScreen(&menu);
        EXPECT_EQ(timeScale(), 1.0f) << cycle;
        EXPECT_EQ(game.gameScene(), nullptr);
        EXPECT_EQ(scene(), menu.menuScene()) << cycle;
    }
    setCurrentScreen(nullptr);
    EXPECT_EQ(modeOf(currentMatch()), nullptr);
    EXPECT_EQ(scene(), nullptr);
    resetScreens();
}

// A page that hides the menu scene (the comics) holds the menu flight: the
// showcase airplane stays where it was until the scene shows again.
TEST(menu_flight, TheFlightRestsWhileAPageHidesTheScene)
{
    resetScreens();
    ModeHarness harness;
    std::string error;
    if (!harness.mountData(error))
        GTEST_SKIP() << error;
    setGameConnections(MatchConnections::none());
    MenuScreen& menu = menuScreen();
    setCurrentScreen(&menu);
    const GameMode* mode = modeOf(currentMatch());
    ASSERT_NE(mode, nullptr);
    const Airplane* showcase = mode->playerAirplane();
    ASSERT_NE(showcase, nullptr);
    const Vec3 before = showcase->position();
    menu.setSceneDrawn(false);
    for (int frame = 0; frame < 30; ++frame)
        menu.update();
    EXPECT_FLOAT_EQ(vec3Length(showcase->position() - before), 0.0f) << "the hidden flight moved";
    menu.setSceneDrawn(true);
    for (int frame = 0; frame < 30; ++frame)
        menu.update();
    EXPECT_GT(vec3Length(showcase->position() - before), 1.0f) << "the shown flight stands still";
    setCurrentScreen(nullptr);
    resetScreens();
}
