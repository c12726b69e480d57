// At the top detail the game draws its world into the scene target and puts
// it on the final target through the sun shafts and the final combine; the
// HUD follows on the final target.
#include "GameScreenGl.h"
#include "TestWorld.h"

#include "entities/aircraft/Airplane.h"
#include "modes/GameMode.h"
#include "modes/GameModeGlobals.h"
#include "modes/Match.h"
#include "render/RenderBuffer.h"
#include "render/fx/PostProcess.h"
#include "render/gl/GraphicsES20Extensions.h"
#include "screens/GameScreen.h"
#include "screens/GameStart.h"
#include "screens/Screens.h"
#include "screens/hud/HudMessageQueue.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {
constexpr int kWidth = 480, kHeight = 320;

struct TopDetailPicture : GameScreenEffectsGl {
    TopDetailPicture() : GameScreenEffectsGl(kWidth, kHeight) {}

    void SetUp() override
    {
        GameScreenEffectsGl::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        gfx().setQualityTier(3);
        // As the game makes them at start.
        ASSERT_TRUE(PostProcess::createTargets());
        ASSERT_NE(PostProcess::sceneTarget(), nullptr);
    }
};

TEST_F(TopDetailPicture, TheWorldReachesTheFinalTargetThroughTheSceneTarget)
{
    GameScreen& game = gameScreen();
    ASSERT_EQ(createGame(static_cast<int>(GameType::FreeFlight), false, 2, game), GameStartResult::Started);
    while (!game.isLoaded())
        (void)game.loadStep();
    setCurrentScreen(&game);
    ASSERT_EQ(gfx().hazeTarget, PostProcess::sceneTarget()) << "the core refracts the scene's picture";
    ASSERT_NE(modeOf(currentMatch()) ? modeOf(currentMatch())->playerAirplane() : nullptr, nullptr);
    // The scene target starts black; the final target is painted over the
    // draw, so only a picture carried over from the scene target shows.
    gfx().setRenderTarget(PostProcess::sceneTarget());
    clearTo({0, 0, 0, 255});
    for (int i = 0; i < 30; ++i) {
        game.update();
        // The map's notices would cover the band the picture is compared in.
        HudMessageQueue::instance().clearAll();
        gfx().setRenderTarget(&target());
        clearTo({255, 0, 255, 255});
        game.draw();
        ASSERT_EQ(gfx().currentRenderTarget(), &target()) << "the HUD draws on the final target";
    }
    const std::vector<Rgba> final = rect(0, 0, kWidth, kHeight);
    std::filesystem::create_directories(SKYFRONT_BINARY_DIR "/screens/frames");
    EXPECT_TRUE(saveTargetPng(gfx(), kWidth, kHeight, SKYFRONT_BINARY_DIR "/screens/frames/top_detail_final.png"));
    gfx().setRenderTarget(PostProcess::sceneTarget());
    const std::vector<Rgba> scene = rect(0, 0, kWidth, kHeight);
    EXPECT_TRUE(saveTargetPng(gfx(), kWidth, kHeight, SKYFRONT_BINARY_DIR "/screens/frames/top_detail_scene.png"));
    gfx().setRenderTarget(&target());
    int magenta = 0, world = 0;
    for (std::size_t i = 0; i < final.size(); ++i) {
        magenta += final[i].r > 240 && final[i].g < 15 && final[i].b > 240 ? 1 : 0;
        world += scene[i].r + scene[i].g + scene[i].b > 60 ? 1 : 0;
    }
    EXPECT_EQ(magenta, 0) << "the whole final target is covered";
    EXPECT_GT(world, static_cast<int>(scene.size()) * 9 / 10) << "the world was drawn into the scene target";
    // Between the HUD's panels at the top and its gauges at the bottom the
    // final picture is the scene's, the shafts only adding light.
    int darker = 0, band = 0;
    for (int y = 60; y < 170; ++y)
        for (int x = 0; x < kWidth; ++x, ++band) {
            const Rgba& f = final[static_cast<std::size_t>(y * kWidth + x)];
            const Rgba& p = scene[static_cast<std::size_t>(y * kWidth + x)];
            darker += f.r + f.g + f.b + 12 < p.r + p.g + p.b ? 1 : 0;
        }
    EXPECT_LT(darker, band / 100);
}
}  // namespace
