#include "screens/GameScreen.h"

#include "FakeScreen.h"
#include "modes/GameMode.h"
#include "modes/GameModeGlobals.h"
#include "platform/Clock.h"
#include "screens/GameStart.h"
#include "screens/LoadingScreen.h"
#include "screens/Screens.h"
#include "support/modes/ModeHarness.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

TEST(game_screen, LoadsInTwentyThreeStepsThenLeavesCleanly)
{
    resetScreens();
    ModeHarness harness;
    std::string error;
    if (!harness.mountData(error))
        GTEST_SKIP() << error;
    std::vector<std::string> log;
    FakeScreen menu{"menu", log};
    setCurrentScreen(&menu);
    GameScreen& game = gameScreen();
    ASSERT_EQ(createGame(10, false, 0, game), GameStartResult::Started);
    LoadingScreen& loading = gameLoadingScreen();

    setFrameDelta(1.0f / 60.0f);
    updateScreens();  // the first frame only shows the loading screen
    EXPECT_FLOAT_EQ(loading.progress(), 0.0f);
    for (int k = 1; k <= 22; ++k) {
        updateScreens();
        EXPECT_FLOAT_EQ(loading.progress(), k / 23.0f) << k;
        EXPECT_EQ(currentScreen(), &loading) << k;
        EXPECT_FALSE(game.isLoaded());
    }
    updateScreens();
    EXPECT_FLOAT_EQ(loading.progress(), 1.0f);
    EXPECT_EQ(currentScreen(), &game);
    EXPECT_TRUE(game.isLoaded());
    EXPECT_EQ(game.loadCounter(), 0);
    ASSERT_NE(game.gameScene(), nullptr);
    EXPECT_EQ(scene(), game.gameScene());
    ASSERT_NE(currentGameMode(), nullptr);
    EXPECT_NE(currentGameMode()->world(), nullptr);

    for (int i = 0; i < 30; ++i)
        updateScreens();

    // Leaving ends the level, the mode and the scene.
    setCurrentScreen(&menu);
    EXPECT_EQ(currentGameMode(), nullptr);
    EXPECT_EQ(scene(), nullptr);
    EXPECT_FALSE(game.isLoaded());

    // A second game loads again from step 0.
    ASSERT_EQ(createGame(2, false, 0, game), GameStartResult::Started);
    for (int i = 0; i < 24; ++i)
        updateScreens();
    EXPECT_EQ(currentScreen(), &game);
    EXPECT_NE(scene(), nullptr);
    setCurrentScreen(&menu);
    EXPECT_EQ(scene(), nullptr);
    resetScreens();
}
