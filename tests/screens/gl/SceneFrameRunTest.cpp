// The game screen's own frames on the staged data: what the scene hands the
// entities and the effects once it has loaded and while it runs.
#include "GameScreenGl.h"

#include "effects/EffectList.h"
#include "effects/EffectScene.h"
#include "effects/particles/PSystem.h"
#include "effects/particles/ParticleBatches.h"
#include "effects/particles/ParticleEffects.h"
#include "entities/aircraft/Airplane.h"
#include "modes/GameMode.h"
#include "modes/GameModeGlobals.h"
#include "modes/Match.h"
#include "screens/GameScreen.h"
#include "screens/scene/GameCamera.h"
#include "screens/scene/SceneCameras.h"
#include "screens/scene/SceneWorld.h"

#include <gtest/gtest.h>

namespace {
constexpr int kWidth = 320, kHeight = 240;
constexpr int kPeaksMap = 2;

struct SceneFrameRun : GameScreenGl {
    SceneFrameRun() : GameScreenGl(kWidth, kHeight) {}
};

// A free flight over the peaks: the effects learn the quality's visibility
// distance from the scene's load, so a burst beyond it is not batched while
// one inside is; and each frame turns the airplanes' propellers and sets the
// draw classes from the camera just moved.
TEST_F(SceneFrameRun, EffectsStopAtTheVisibilityDistanceAndPropellersTurn)
{
    GameScreen& game = gameScreen();
    ASSERT_EQ(createGame(static_cast<int>(GameType::FreeFlight), false, kPeaksMap, game), GameStartResult::Started);
    while (!game.isLoaded())
        (void)game.loadStep();
    setCurrentScreen(&game);
    GameMode* mode = modeOf(currentMatch());
    ASSERT_NE(mode, nullptr);
    Airplane* plane = mode->playerAirplane();
    ASSERT_NE(plane, nullptr);

    const VisibilityDistances& d = visibilityDistances();
    EXPECT_FLOAT_EQ(effectScene().viewDistanceSq, d.squared);
    EXPECT_LE(d.distance, 20000.0f);

    int turned = 0;
    for (int i = 0; i < 5; ++i) {
        const float angle = plane->propellerAngle();
        game.update();
        turned += plane->propellerAngle() != angle ? 1 : 0;
    }
    EXPECT_EQ(turned, 5) << "the propeller stands still";
    EXPECT_EQ(plane->drawClass, 1) << "the chase camera is near its airplane";

    const Vec3 eye = gameCamera().position, ahead = gameCamera().forward;
    PSystem* inside = spawnParticleEffect("missile_explode_air.psc", eye + ahead * (0.5f * d.distance));
    PSystem* beyond = spawnParticleEffect("missile_explode_air.psc", eye + ahead * (1.4f * d.distance));
    ASSERT_NE(inside, nullptr);
    ASSERT_NE(beyond, nullptr);
    for (int i = 0; i < 3; ++i) {
        game.update();
        GameSceneDraw passes(*scene());
        scene()->draw(passes);
    }
    ASSERT_GT(beyond->key, d.squared);
    ASSERT_LT(inside->key, d.squared);
    drawParticleBatches();
    beyond->draw(2);
    EXPECT_EQ(particleBatchCount(2), 0) << "a burst past the fogged world is batched";
    inside->draw(2);
    EXPECT_GT(particleBatchCount(2), 0);
    flushParticleBatch(2);
}

}  // namespace
