#include "FakeScreen.h"

#include "platform/File.h"
#include "platform/TouchQueue.h"
#include "render/2d/CSprite.h"
#include "render/2d/SpriteSets.h"
#include "screens/LoadingScreen.h"
#include "screens/Screens.h"
#include "screens/hud/PlaneHud.h"

#include <gtest/gtest.h>

namespace {
using Log = std::vector<std::string>;

class ScreenFlow : public testing::Test {
protected:
    void SetUp() override
    {
        resetScreens();
        ScreenHooks hooks;
        hooks.pauseScreen = &pause;
        setScreenHooks(hooks);
    }
    void TearDown() override
    {
        resetScreens();
        setScreenHooks({});
    }
    Log log;
    FakeScreen game{"game", log}, menu{"menu", log}, pause{"pause", log};
};

TEST_F(ScreenFlow, SwitchingLeavesTheOldScreenBeforeTheNewOneEntersAndTakesInput)
{
    setCurrentScreen(&menu);
    setCurrentScreen(&game);
    EXPECT_EQ(log, (Log{"menu.enter", "menu.leave", "game.enter"}));
    EXPECT_EQ(currentScreen(), &game);
    EXPECT_EQ(previousScreen(), &menu);
    EXPECT_EQ(inputScreen(), &game);

    log.clear();
    setCurrentScreen(nullptr);   // null screens are skipped, never called
    EXPECT_EQ(log, (Log{"game.leave"}));
    updateScreens();
    drawScreens();
    EXPECT_TRUE(log.size() == 1u);
}

TEST_F(ScreenFlow, APauseOpensOnTheNextFrameWhichUpdatesNothingElse)
{
    setCurrentScreen(&game);
    pause.letsBelowUpdate = true;
    log.clear();
    openPauseScreen();
    openPauseScreen();
    EXPECT_EQ(overlayQueueSize(), 1u);
    EXPECT_EQ(topOverlayScreen(), &pause);
    EXPECT_EQ(overlayScreen(), nullptr);

    updateScreens();   // opens, updates nobody
    EXPECT_EQ(log, (Log{"game.pause", "pause.enter"}));
    EXPECT_EQ(inputScreen(), &pause);
    EXPECT_EQ(overlayQueueSize(), 0u);

    log.clear();
    updateScreens();   // the game keeps running below, first
    drawScreens();
    EXPECT_EQ(log, (Log{"game.update", "pause.update", "game.draw", "pause.draw"}));

    log.clear();
    closeOverlayScreen();
    closeOverlayScreen();   // nothing open: nothing happens
    EXPECT_EQ(log, (Log{"pause.leave", "game.resume"}));
    EXPECT_EQ(inputScreen(), &game);
}

TEST_F(ScreenFlow, AnOverlayThatHoldsTheScreenBelowGetsTheOnlyUpdateAndInput)
{
    setCurrentScreen(&game);
    openPauseScreen();
    updateScreens();
    log.clear();
    updateScreens();
    EXPECT_EQ(log, (Log{"pause.update"}));

    // An overlay that does not take the input leaves it with the screen below.
    closeOverlayScreen();
    pause.takesInput = false;
    openPauseScreen();
    updateScreens();
    EXPECT_EQ(inputScreen(), &game);
}

TEST_F(ScreenFlow, AnOverlayClosedByTheUpdateBelowIsNotUpdated)
{
    setCurrentScreen(&game);
    pause.letsBelowUpdate = true;
    openPauseScreen();
    updateScreens();
    game.onUpdate = [] { closeOverlayScreen(); };
    log.clear();
    updateScreens();
    EXPECT_EQ(log, (Log{"game.update", "pause.leave", "game.resume"}));
}

TEST_F(ScreenFlow, DroppingOverlaysForgetsThemWithoutLeaveOrResume)
{
    setCurrentScreen(&game);
    openPauseScreen();
    updateScreens();
    log.clear();
    dropOverlayScreens();
    EXPECT_TRUE(log.empty());
    EXPECT_EQ(overlayScreen(), nullptr);
    EXPECT_EQ(inputScreen(), &game);

    // The next pause pauses the game again.
    openPauseScreen();
    updateScreens();
    EXPECT_EQ(log, (Log{"game.pause", "pause.enter"}));
}

TEST_F(ScreenFlow, InputGoesToTheInputScreenAndTouchZeroIsNeverPassedOn)
{
    setCurrentScreen(&game);
    openPauseScreen();
    updateScreens();
    log.clear();
    TouchEvent touch;
    touch.kind = TouchEvent::Kind::Down;
    touch.id = 1;
    dispatchTouchToScreens(touch);
    touch.id = 0;
    dispatchTouchToScreens(touch);
    dispatchBackToScreens();
    EXPECT_EQ(log, (Log{"pause.down1", "pause.back"}));
}

// The HUD draws the achievement pop-ups under its markers in flight; a frame
// whose HUD does not draw (a page, a pause over the game) leaves them to the
// screens' own pass, however many frames of flight came before.
TEST_F(ScreenFlow, OnlyAFrameWhoseHudDrawsTakesThePopups)
{
    setCurrentScreen(&menu);
    updateScreens();
    planeHud().popupsTaken = true;  // as the last frame of flight left it
    drawScreens();
    EXPECT_FALSE(planeHud().popupsTaken);
}

TEST_F(ScreenFlow, ALoadingScreenSwitchesOnlyAtExactlyOneAndReleasesItsArt)
{
    setDataRoot(SKYFRONT_STAGE_DIR "/");
    const CSprite* art = getSprite(LoadingScreen::kArtSpriteSet);
    ASSERT_TRUE(art->isLoaded()) << "the loading art is staged";
    LoadingScreen& loading = gameLoadingScreen();
    game.steps = {0.5f, 0.999f, 1.0f};
    loading.prepare(&game);
    setCurrentScreen(&loading);
    log.clear();

    updateScreens();   // the first frame only shows the screen
    EXPECT_TRUE(log.empty());
    EXPECT_TRUE(loading.started());
    updateScreens();
    updateScreens();
    EXPECT_FLOAT_EQ(loading.progress(), 0.999f);
    EXPECT_EQ(currentScreen(), &loading);
    updateScreens();
    EXPECT_EQ(currentScreen(), &game);
    EXPECT_EQ(log, (Log{"game.load", "game.load", "game.load", "game.enter"}));
    EXPECT_FALSE(art->isLoaded());   // looked at without loading it again
}
}  // namespace
