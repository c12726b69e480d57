#include "FakeScreen.h"
#include "screens/Screens.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

TEST(screen_switch, AskedDuringAnUpdateHappensAfterThatUpdateEnds)
{
    resetScreens();
    std::vector<std::string> log;
    FakeScreen game{"game", log};
    FakeScreen menu{"menu", log};
    setCurrentScreen(&game);
    log.clear();
    // The game's update asks for the menu, then goes on with its own frame.
    game.onUpdate = [&] {
        requestScreenSwitch(&menu);
        EXPECT_EQ(currentScreen(), &game);
        log.push_back("game.rest-of-update");
    };
    updateScreens();
    const std::vector<std::string> expected{"game.update", "game.rest-of-update", "game.leave", "menu.enter"};
    EXPECT_EQ(log, expected);
    EXPECT_EQ(currentScreen(), &menu);
    EXPECT_EQ(previousScreen(), &game);
    EXPECT_FALSE(screenSwitchPending());
    // Nothing pending: the next frame only updates.
    log.clear();
    updateScreens();
    EXPECT_EQ(log, std::vector<std::string>{"menu.update"});
    resetScreens();
}
