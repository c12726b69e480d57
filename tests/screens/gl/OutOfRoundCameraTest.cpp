// Last man standing in the game screen: once the player is out of the round,
// the game camera's kill cam follows another airplane still in it.
#include "GameScreenGl.h"

#include "entities/aircraft/Airplane.h"
#include "modes/GameModeGlobals.h"
#include "modes/Match.h"
#include "modes/kinds/GameModeLMS.h"
#include "screens/GameScreen.h"
#include "screens/GameStart.h"
#include "screens/Screens.h"
#include "screens/scene/GameCamera.h"
#include "screens/scene/SceneCameras.h"

#include <gtest/gtest.h>

namespace {

struct OutOfRoundCamera : GameScreenGl {
    OutOfRoundCamera() : GameScreenGl(480, 320) {}
};

TEST_F(OutOfRoundCamera, APlayerOutOfTheRoundWatchesAnotherAirplane)
{
    GameScreen& game = gameScreen();
    ASSERT_EQ(createGame(static_cast<int>(GameType::LastManStanding), false, 0, game), GameStartResult::Started);
    while (!game.isLoaded())
        (void)game.loadStep();
    setCurrentScreen(&game);
    auto* mode = dynamic_cast<GameModeLMS*>(modeOf(currentMatch()));
    ASSERT_NE(mode, nullptr);
    for (int i = 0; i < 6 * 60 && !mode->roundRunning(); ++i)
        game.update();
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

}  // namespace
