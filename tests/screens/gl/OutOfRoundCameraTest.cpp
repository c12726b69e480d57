// Last man standing in the game screen: once the player is out of the round,
// the game camera's kill cam follows another airplane still in it.
#include "GameScreenGl.h"

#include "entities/aircraft/Airplane.h"
#include "modes/GameModeGlobals.h"
#include "modes/Match.h"
#include "modes/kinds/GameModeCustom.h"
#include "modes/kinds/GameModeLMS.h"
#include "platform/Settings.h"
#include "screens/GameScreen.h"
#include "screens/GameStart.h"
#include "screens/Screens.h"
#include "screens/scene/GameCamera.h"
#include "screens/scene/SceneCameras.h"
#include "screens/hud/HudGameState.h"
#include "screens/hud/HudMarkerFeed.h"
#include "screens/hud/PlaneHud.h"
#include "render/assets/ImageWriter.h"
#include "entities/aircraft/Airplane.h"
#include "screens/scene/AirplaneCameraPlane.h"

#include <filesystem>

#include <gtest/gtest.h>

namespace {

// The game of that type loaded and current; for last man standing, run
// until its round is on. Null when it did not start.
GameMode* startGame(GameType type)
{
    GameScreen& game = gameScreen();
    if (createGame(static_cast<int>(type), false, 0, game) != GameStartResult::Started)
        return nullptr;
    while (!game.isLoaded())
        (void)game.loadStep();
    setCurrentScreen(&game);
    auto* lms = dynamic_cast<GameModeLMS*>(modeOf(currentMatch()));
    for (int i = 0; lms && i < 6 * 60 && !lms->roundRunning(); ++i)
        game.update();
    return modeOf(currentMatch());
}

struct OutOfRoundCamera : GameScreenGl {
    OutOfRoundCamera() : GameScreenGl(480, 320) {}
};

TEST_F(OutOfRoundCamera, APlayerOutOfTheRoundWatchesAnotherAirplane)
{
    GameScreen& game = gameScreen();
    auto* mode = dynamic_cast<GameModeLMS*>(startGame(GameType::LastManStanding));
    ASSERT_NE(mode, nullptr);
    ASSERT_TRUE(mode->roundRunning());
    EXPECT_NE(gameCamera().mode, 10) << "the player is still in";

    Airplane* me = mode->playerAirplane();
    ASSERT_NE(me, nullptr);
    mode->eliminateAirplane(*me);
    game.update();
    EXPECT_EQ(gameCamera().mode, 10);
    const CameraPlane* followed = gameCamera().followedPlane();
    ASSERT_NE(followed, nullptr);
    // Another airplane: the chase view sits close behind it, far from the player's.
    for (int i = 0; i < 30; ++i)
        game.update();
    EXPECT_EQ(gameCamera().mode, 10);
    EXPECT_GT(vec3Length(followed->position() - me->position()), 10.0f);
    EXPECT_LT(vec3Length(gameCamera().position - followed->position()), 200.0f);
}

// In free-for-all the player shot down by a bot watches its killer; once the
// player's airplane is back in play the view is the player's own again.
TEST_F(OutOfRoundCamera, TheKillCamEndsWhenThePlayerIsBackInPlay)
{
    GameScreen& game = gameScreen();
    ASSERT_NE(startGame(GameType::FreeForAll), nullptr);
    auto* mode = dynamic_cast<GameModeCustom*>(modeOf(currentMatch()));
    ASSERT_NE(mode, nullptr);
    for (int i = 0; i < 60; ++i)
        game.update();
    Airplane* me = mode->playerAirplane();
    ASSERT_NE(me, nullptr);
    Airplane* killer = nullptr;
    for (const auto& e : mode->entities())
        if (e->kind() == TargetKind::Airplane && e.get() != me && e->isAlive())
            killer = static_cast<Airplane*>(e.get());
    ASSERT_NE(killer, nullptr);
    mode->damageAirplane(*me, killer, 1e9f, me->position(), nullptr, true);
    bool watched = false;
    int frame = 0;
    for (; frame < 40 * 60; ++frame) {
        game.update();
        const int view = gameCamera().mode;
        watched = watched || view == 10 || view == 11;
        if (watched && me->isAlive() && me->respawnTimer <= 0.0f && frame > 60)
            break;
    }
    ASSERT_TRUE(watched) << "the kill cam never followed the killer";
    ASSERT_TRUE(me->isAlive()) << "no respawn within " << frame / 60 << " s";
    for (int i = 0; i < 10; ++i)
        game.update();
    EXPECT_EQ(gameCamera().mode, settings().chosenViewMode);
    EXPECT_EQ(gameCamera().followedPlane(), nullptr);
}

// While the kill cam follows another airplane the HUD watches it: the
// markers, the radar and the lock reticles are worked out from it, the
// controls are off, and the picture shows its view with the HUD.
struct WatchedPlaneHud : GameScreenGl {
    WatchedPlaneHud() : GameScreenGl(960, 640) {}
};

TEST_F(WatchedPlaneHud, TheHudWatchesTheFollowedAirplane)
{
    GameScreen& game = gameScreen();
    auto* mode = dynamic_cast<GameModeLMS*>(startGame(GameType::LastManStanding));
    ASSERT_NE(mode, nullptr);
    ASSERT_TRUE(mode->roundRunning());
    HudGameState before;
    readHudGameState(mode, before);
    EXPECT_FALSE(before.spectating);
    EXPECT_TRUE(before.markers.viewedIsPlayer);

    Airplane* me = mode->playerAirplane();
    ASSERT_NE(me, nullptr);
    mode->eliminateAirplane(*me);
    for (int i = 0; i < 60; ++i)
        game.update();
    ASSERT_EQ(gameCamera().mode, 10);
    const auto* view = dynamic_cast<const AirplaneCameraPlane*>(gameCamera().followedPlane());
    ASSERT_NE(view, nullptr);
    const Airplane* watched = view->airplane();
    ASSERT_NE(watched, nullptr);
    EXPECT_EQ(watchedAirplane(mode), watched);
    HudGameState state;
    readHudGameState(mode, state);
    EXPECT_TRUE(state.spectating);
    EXPECT_FALSE(state.markers.viewedIsPlayer);
    EXPECT_EQ(state.markers.viewedTeam, watched->team());
    EXPECT_LT(vec3Length(state.markers.viewedPosition - watched->position()), 1e-3f) << "the radar centres on it";
    EXPECT_FALSE(planeHud().controlsActive);
    for (const auto& m : HudElementList::instance().markers.list())
        EXPECT_EQ(m->lockA, -1) << "no lock reticles while watching";

    game.draw();
    const int w = 960, h = 640;
    const std::vector<Rgba> pixels = rect(0, 0, w, h);
    std::filesystem::create_directories(SKYFRONT_BINARY_DIR "/view");
    ASSERT_TRUE(writePngFile(SKYFRONT_BINARY_DIR "/view/killcam_hud.png", w, h,
                             {reinterpret_cast<const std::uint8_t*>(pixels.data()), pixels.size() * 4}));
}

}  // namespace

namespace {

// The kill cam turns from the watched airplane to what that airplane is
// after only once the saved focus delay has passed.
TEST_F(OutOfRoundCamera, TheKillCamTurnsToTheWatchedAirplanesTargetAfterTheSavedDelay)
{
    const float savedDelay = settings().focusSwitchDelay;
    settings().focusSwitchDelay = 2.0f;
    GameScreen& game = gameScreen();
    auto* mode = dynamic_cast<GameModeLMS*>(startGame(GameType::LastManStanding));
    ASSERT_NE(mode, nullptr);
    Airplane* me = mode->playerAirplane();
    ASSERT_NE(me, nullptr);
    mode->eliminateAirplane(*me);
    game.update();
    ASSERT_EQ(gameCamera().mode, 10);
    const CameraPlane* followed = gameCamera().followedPlane();
    ASSERT_NE(followed, nullptr);
    int frames = 0;
    while (frames < 20 * 60 && !gameCamera().focusPoint && gameCamera().followedPlane() == followed) {
        game.update();
        ++frames;
    }
    settings().focusSwitchDelay = savedDelay;
    ASSERT_NE(gameCamera().focusPoint, nullptr) << "the watched airplane found nothing to go after";
    // Not the fixed second of before: the saved two, counted from when the target was found.
    EXPECT_GE(frames, 2 * 60 - 1);
    // The watched airplane's target, not the out player's own.
    EXPECT_NE(gameCamera().focusPoint, &me->position());
    EXPECT_NE(gameCamera().focusPoint, &followed->position());

    // A new target restarts the wait, also one found while it runs: the
    // watched target shot down, and the next a second into its wait.
    const Airplane* watcher = dynamic_cast<const AirplaneCameraPlane*>(followed)->airplane();
    GameMode::SearchOptions near;
    near.range = 15000.0f;
    settings().focusSwitchDelay = 2.0f;
    for (int i = 0; i < 120; ++i) {
        if (Target* target = mode->findTarget(watcher, near); target && i % 60 == 0)
            mode->eliminateAirplane(*target);
        game.update();
    }
    const Target* next = mode->findTarget(watcher, near);
    for (frames = 60; next && frames < 6 * 60 && gameCamera().focusPoint != &next->position(); ++frames)
        game.update();
    settings().focusSwitchDelay = savedDelay;
    EXPECT_GE(frames, 2 * 60 - 2) << "the wait did not restart";
}

// A player who keeps the lock view starts a match locked on the nearest
// target, and a drag on the look area does not throw away the look there.
TEST_F(OutOfRoundCamera, TheLockViewStartsLockedAndADragKeepsItsLook)
{
    const int savedView = settings().chosenViewMode;
    settings().chosenViewMode = 4;
    GameScreen& game = gameScreen();
    const bool started = startGame(GameType::FreeForAll) != nullptr;
    settings().chosenViewMode = savedView;
    ASSERT_TRUE(started);
    EXPECT_EQ(gameCamera().mode, 4);
    EXPECT_NE(gameCamera().lockedPoint, nullptr) << "no lock at load";
    game.update();
    CamRotateControl& look = planeHud().camRotate();
    look.lookX = 0.5f;
    look.touchBegan(7, 600.0f, 300.0f);
    EXPECT_FLOAT_EQ(look.lookX, 0.5f) << "the lock view keeps its look";
    look.touchEnded(7, 600.0f, 300.0f);
    gameCamera().setMode(0);
    game.update();
    look.lookX = 0.5f;
    look.touchBegan(7, 600.0f, 300.0f);
    EXPECT_FLOAT_EQ(look.lookX, 0.0f) << "a view behind the plane starts the look afresh";
    look.touchEnded(7, 600.0f, 300.0f);
}

}  // namespace
