#include "screens/GameScreen.h"

#include "FakeScreen.h"
#include "effects/AircraftFx.h"
#include "effects/screen/FaintMeter.h"
#include "effects/screen/ScreenSplats.h"
#include "entities/aircraft/Airplane.h"
#include "gamedata/records/MapInfoCfg.h"
#include "gamedata/records/PlaneCfg.h"
#include "render/2d/SpriteSets.h"
#include "screens/scene/GameCamera.h"
#include "screens/scene/SceneCameras.h"
#include "modes/GameMode.h"
#include "modes/GameModeGlobals.h"
#include "modes/Match.h"
#include "modes/MatchConnections.h"
#include "platform/Clock.h"
#include "screens/GameControls.h"
#include "screens/GameStart.h"
#include "screens/hud/PlaneHud.h"
#include "platform/Controls.h"
#include "platform/Settings.h"
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
    setGameConnections(MatchConnections::none());
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
    ASSERT_NE(modeOf(currentMatch()), nullptr);
    EXPECT_NE(modeOf(currentMatch())->world(), nullptr);

    for (int i = 0; i < 30; ++i)
        updateScreens();

    // Leaving ends the level, the mode and the scene.
    setCurrentScreen(&menu);
    EXPECT_EQ(modeOf(currentMatch()), nullptr);
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

TEST(game_screen, GameStartPreparesTheViewEffectsAndLendsTheCameraToTheEffects)
{
    resetScreens();
    ModeHarness harness;
    std::string error;
    if (!harness.mountData(error))
        GTEST_SKIP() << error;
    setGameConnections(MatchConnections::none());
    std::vector<std::string> log;
    FakeScreen menu{"menu", log};
    setCurrentScreen(&menu);
    GameScreen& game = gameScreen();
    int clientLoads = 0;
    game.setClientLoadedHook([&clientLoads](bool) { ++clientLoads; });
    // The map thumbnails of the menus are loaded; the achievements sheet is not.
    (void)getSprite(11);
    unloadSprite(12);
    (void)getSprite(GameScreen::kRankSpriteSet);
    (void)getSprite(GameScreen::kMenuSheetSet);
    // Left over from an earlier game: splats on the glass, another plane's faint range.
    ScreenSplats::spawn(8, ScreenSplats::kOil, 0.0f);
    Effects::cachePlayerRange(1.0f, 2.0f);
    ASSERT_EQ(createGame(10, false, 0, game), GameStartResult::Started);
    setFrameDelta(1.0f / 60.0f);
    for (int i = 0; i < 24; ++i)
        updateScreens();
    ASSERT_EQ(currentScreen(), &game);

    const GameMode* mode = modeOf(currentMatch());
    ASSERT_NE(mode, nullptr);
    const Airplane* player = mode->playerAirplane();
    ASSERT_NE(player, nullptr);
    ASSERT_NE(player->planeRecord, nullptr);
    EXPECT_FLOAT_EQ(Effects::faintStart(), player->planeRecord->pFaintStart);
    EXPECT_FLOAT_EQ(Effects::faintEnd(), player->planeRecord->pFaintEnd);
    EXPECT_EQ(ScreenSplats::activeCount(), 0);
    const MapInfoCfg* record = mode->mapRecord();
    ASSERT_NE(record, nullptr);
    ASSERT_NE(game.gameScene(), nullptr);
    EXPECT_EQ(game.gameScene()->treeCount, record->treeCount);
    EXPECT_FLOAT_EQ(game.gameScene()->fogStart, record->fogStart);
    EXPECT_EQ(clientLoads, 0);   // a local game has no host to tell
    EXPECT_FALSE(spriteLoaded(11));   // the menus' artwork is let go in play
    // The ranks and the menus keep their frames, their textures wait for a page.
    for (int set : {GameScreen::kRankSpriteSet, GameScreen::kMenuSheetSet}) {
        EXPECT_TRUE(spriteLoaded(set)) << set;
        EXPECT_FALSE(spriteTextureResident(set)) << set;
    }

    // Wrecks and parachutes reach the game camera through the pool's camera.
    IPoolCamera* lent = poolCamera();
    ASSERT_NE(lent, nullptr);
    GameCamera& camera = gameCamera();
    const Vec3 wreck{10.0f, 500.0f, 10.0f};
    lent->followPoint(&wreck);
    EXPECT_EQ(camera.focusPoint, nullptr) << "the player's own view keeps its point";
    camera.setMode(10);
    lent->followPoint(&wreck);
    EXPECT_EQ(camera.focusPoint, &wreck);
    EXPECT_TRUE(lent->followsPoint(&wreck));
    lent->systemGone(&wreck);
    EXPECT_EQ(camera.focusPoint, nullptr);
    EXPECT_FALSE(lent->followsPoint(&wreck));
    lent->lookAtPoint(&wreck, 200.0f, 1.57f, 3.0f, 0, 1.0f);
    EXPECT_EQ(camera.mode, 6);
    // The camera stands off the wreck by the distance asked, not inside it.
    camera.updateMatrices(1.0f / 60.0f);
    EXPECT_NEAR(vec3Length(camera.position - wreck), 200.0f, 1.0f);
    lent->systemGone(&wreck);

    setCurrentScreen(&menu);
    EXPECT_EQ(poolCamera(), nullptr);
    EXPECT_TRUE(spriteLoaded(11));    // back for the pages that hold it
    EXPECT_TRUE(spriteLoaded(GameScreen::kRankSpriteSet));
    EXPECT_FALSE(spriteLoaded(12));   // never loaded, not loaded now
    game.setClientLoadedHook(nullptr);
    resetScreens();
}

// Free flight loaded and in play, over the game screen, with the menu behind it.
struct GameScreenInPlay : testing::Test {
    ModeHarness harness;
    std::vector<std::string> log;
    FakeScreen menu{"menu", log};
    GameMode* mode = nullptr;
    Airplane* plane = nullptr;

    void SetUp() override
    {
        resetScreens();
        std::string error;
        if (!harness.mountData(error))
            GTEST_SKIP() << error;
        setGameConnections(MatchConnections::none());
        setCurrentScreen(&menu);
        GameScreen& game = gameScreen();
        ASSERT_EQ(createGame(10, false, 0, game), GameStartResult::Started);
        setFrameDelta(1.0f / 60.0f);
        for (int i = 0; i < 24; ++i)
            updateScreens();
        ASSERT_EQ(currentScreen(), &game);
        mode = modeOf(currentMatch());
        ASSERT_NE(mode, nullptr);
        plane = mode->playerAirplane();
        ASSERT_NE(plane, nullptr);
    }
    void TearDown() override { resetScreens(); }
};

// The radar key and the radar's touch area lock the nearest enemy airplane
// within reach; with none there the lock is let go.
TEST_F(GameScreenInPlay, TheRadarActionLocksTheNearestEnemyWithinReach)
{
    startScreens();  // the game's handler of the bound actions
    const int radar = static_cast<int>(ControlAction::Radar) - kFirstGameAction;

    controls().dispatchActions(true, radar);
    controls().dispatchActions(false, radar);
    EXPECT_EQ(mode->playerLockTarget(), nullptr) << "nobody to lock in free flight";

    Airplane* enemy = mode->createAirplane(nullptr, plane->record().plane_id, 1, 0.5f, nullptr, true);
    ASSERT_NE(enemy, nullptr);
    mode->respawnAirplane(*enemy, 0.0f, nullptr);
    enemy->setPositionAndStop(plane->position() + plane->forward() * 800.0f);
    updateScreens();
    controls().dispatchActions(true, radar);
    controls().dispatchActions(false, radar);
    EXPECT_EQ(mode->playerLockTarget(), enemy);

    // Out of reach the lock is let go again.
    enemy->setPositionAndStop(plane->position() + plane->forward() * 5000.0f);
    updateScreens();
    planeHud().pressButton(12);
    planeHud().releaseButton(12);
    EXPECT_EQ(mode->playerLockTarget(), nullptr);
    resetScreens();
}

TEST_F(GameScreenInPlay, ThePlayersActionsAndStickReachHisAirplaneOnlyInPlay)
{
    const auto act = [](ControlAction a, bool pressed) {
        GameControls::onGameAction(static_cast<int>(a) - kFirstGameAction, pressed);
    };

    PlayerFlightInput stick;
    stick.pitch = 1.0f;
    stick.throttle = 1.0f;
    GameControls::applyFlightInput(stick);
    EXPECT_NE(plane->controlVector().x, 0.0f) << "the stick pulls the nose up";
    EXPECT_FLOAT_EQ(plane->throttleCommand(), 1.0f);
    GameControls::releasePlayerStick();
    EXPECT_FLOAT_EQ(plane->controlVector().x, 0.0f);

    const int view = gameCamera().mode;
    act(ControlAction::Camera, true);
    act(ControlAction::Camera, false);
    EXPECT_EQ(gameCamera().mode, GameControls::nextViewMode(view));
    EXPECT_EQ(settings().chosenViewMode, gameCamera().mode) << "the view chosen is kept";
    EXPECT_EQ(GameControls::nextViewMode(2), 0) << "the cockpit leads back behind the plane";

    const bool radar = planeHud().radarLarge;
    act(ControlAction::Radar, true);
    act(ControlAction::Radar, false);
    EXPECT_NE(planeHud().radarLarge, radar);

    const bool autopilot = mode->autopilot;
    act(ControlAction::Autopilot, true);
    EXPECT_NE(mode->autopilot, autopilot);
    act(ControlAction::Autopilot, true);
    EXPECT_EQ(mode->autopilot, autopilot);

    act(ControlAction::Eject, true);
    EXPECT_EQ(mode->parachuteCount(), 0) << "not in the first seconds after the spawn";
    for (int i = 0; i < 330; ++i)
        updateScreens();
    act(ControlAction::Eject, true);
    EXPECT_EQ(mode->parachuteCount(), 1) << "the pilot jumps";

    // The fast-forward key runs the game five times faster only while the
    // round-over sequence plays, and only while held.
    act(ControlAction::FastForward, true);
    EXPECT_FLOAT_EQ(timeScale(), 1.0f);
    act(ControlAction::FastForward, false);
    planeHud().roundOver = true;
    act(ControlAction::FastForward, true);
    EXPECT_FLOAT_EQ(timeScale(), 5.0f);
    act(ControlAction::FastForward, false);
    EXPECT_FLOAT_EQ(timeScale(), 1.0f);
    planeHud().roundOver = false;

    // Behind the menus nothing reaches the game.
    setCurrentScreen(&menu);
    act(ControlAction::Radar, true);
    EXPECT_NE(planeHud().radarLarge, radar) << "the radar stays as it was left";
    resetScreens();
}
