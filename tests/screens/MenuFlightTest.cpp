#include "screens/MenuScreen.h"

#include "modes/GameMode.h"
#include "modes/GameModeGlobals.h"
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
    MenuScreen& menu = menuScreen();
    for (int entry = 0; entry < 2; ++entry) {
        const int counter = menu.loadCounter();
        menu.onEnter();
        EXPECT_EQ(menu.loadCounter(), counter);  // no load steps again
        ASSERT_NE(currentGameMode(), nullptr) << entry;
        EXPECT_EQ(currentGameMode()->gameType(), GameType::MenuBackground);
        ASSERT_NE(menu.menuScene(), nullptr);
        EXPECT_EQ(scene(), menu.menuScene());
        menu.onLeave();
        EXPECT_EQ(currentGameMode(), nullptr);
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
    EXPECT_FALSE(runAutostart(gameScreen()));  // nothing asked
    requestAutostart(12, 0);
    EXPECT_FALSE(runAutostart(gameScreen()));
    EXPECT_EQ(currentScreen(), nullptr);
    requestAutostart(10, 0);
    EXPECT_TRUE(runAutostart(gameScreen()));
    EXPECT_EQ(currentScreen(), &gameLoadingScreen());
    EXPECT_EQ(currentGameMode()->gameType(), GameType::FreeFlight);
    EXPECT_FALSE(runAutostart(gameScreen()));  // once only
    deleteCurrentGameMode();
    resetScreens();
}
