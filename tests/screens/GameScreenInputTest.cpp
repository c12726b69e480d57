// The game screen's hold on the input: the steering mode it sets for the
// frame, and what a resume gives back to the HUD.
#include "screens/GameScreen.h"

#include "FakeScreen.h"
#include "modes/GameMode.h"
#include "modes/GameModeGlobals.h"
#include "modes/Match.h"
#include "modes/MatchConnections.h"
#include "platform/Clock.h"
#include "platform/Input.h"
#include "platform/Settings.h"
#include "screens/GameStart.h"
#include "screens/Screens.h"
#include "screens/hud/PlaneHud.h"
#include "support/modes/ModeHarness.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

struct GameScreenInput : testing::Test {
    ModeHarness harness;
    std::vector<std::string> log;
    FakeScreen menu{"menu", log};
    Settings kept;

    void SetUp() override
    {
        kept = settings();
        resetScreens();
        std::string error;
        if (!harness.mountData(error))
            GTEST_SKIP() << error;
        setGameConnections(MatchConnections::none());
        setCurrentScreen(&menu);
        setFrameDelta(1.0f / 60.0f);
    }
    void TearDown() override
    {
        setCurrentScreen(&menu);
        resetScreens();
        settings() = kept;
    }
    GameMode* start(int type, int tutorial = 0)
    {
        EXPECT_EQ(createGame(type, false, 0, gameScreen(), tutorial), GameStartResult::Started);
        for (int i = 0; i < 40; ++i)
            updateScreens();
        EXPECT_EQ(currentScreen(), &gameScreen());
        return modeOf(currentMatch());
    }
};

TEST_F(GameScreenInput, TheSteeringModeFollowsTheDeviceTheAutopilotAndThePause)
{
    settings().controlDevice = 2;
    GameMode* mode = start(10);
    ASSERT_NE(mode, nullptr);
    EXPECT_EQ(input().steeringMode, Input::kSteerMouse);
    EXPECT_TRUE(input().wantsRelativeMouse());
    mode->autopilot = true;
    updateScreens();
    EXPECT_EQ(input().steeringMode, Input::kSteerAutopilot);
    mode->autopilot = false;
    setGamePaused(true);
    updateScreens();
    EXPECT_EQ(input().steeringMode, Input::kSteerNone) << "the pause menu wants the pointer";
    setGamePaused(false);
    updateScreens();
    EXPECT_EQ(input().steeringMode, Input::kSteerMouse);
    setCurrentScreen(&menu);
    EXPECT_EQ(input().steeringMode, Input::kSteerNone) << "the menus want the pointer";
}

TEST_F(GameScreenInput, AResumeKeepsTheButtonsATutorialHid)
{
    // The weapons tutorial hides everything but pause and camera.
    ASSERT_NE(start(9, 4), nullptr);
    PlaneHud& hud = planeHud();
    const auto shownButtons = [&hud] {
        std::vector<int> ids;
        for (HudPanel& panel : hud.panels())
            for (const auto& b : panel.buttons)
                if (b->visible)
                    ids.push_back(b->id);
        std::sort(ids.begin(), ids.end());  // panels swap sides with a flipped layout
        return ids;
    };
    hud.hideAllButtons();  // as the lesson's set-up does, whatever its step showed since
    const std::vector<int> before = shownButtons();
    ASSERT_EQ(before, (std::vector<int>{3, 4})) << "pause and camera";
    gameScreen().onResume();
    EXPECT_EQ(shownButtons(), before) << "the scheme's buttons stay hidden";
    setCurrentScreen(&menu);

    // Outside the tutorials the resume shows the chosen scheme again.
    ASSERT_NE(start(10), nullptr);
    hud.setControlScheme(2);
    gameScreen().onResume();
    EXPECT_EQ(hud.shownScheme(), settings().controlType == 1 ? 1 : 0);
}

}  // namespace
