// The world drawn in the game's order of passes and in the order with the sky
// straight after the ground (and, at the top detail, the heat sources late):
// the same picture, pixel for pixel, at the lowest and at the top detail, in a
// jet fight over the peaks with the sea, the forest, the shadows and the
// jets' shimmer in view. The pictures go to build/screens/frames/.
#include "GameScreenGl.h"
#include "TestWorld.h"

#include "entities/aircraft/Airplane.h"
#include "modes/GameMode.h"
#include "modes/GameModeGlobals.h"
#include "modes/Match.h"
#include "modes/kinds/GameModeCustom.h"
#include "platform/Settings.h"
#include "render/fx/PostProcess.h"
#include "render/gl/GraphicsES20Extensions.h"
#include "screens/GameScreen.h"
#include "screens/GameStart.h"
#include "screens/Screens.h"
#include "screens/hud/HudMessageQueue.h"
#include "screens/scene/SceneWorld.h"
#include "support/screens/PassOrders.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace {
constexpr int kWidth = 480, kHeight = 320;
constexpr int kPeaksMap = 2;
constexpr std::uint8_t kJetPlaneId = 12;  // the f16

struct PassOrderPictures : GameScreenEffectsGl {
    PassOrderPictures() : GameScreenEffectsGl(kWidth, kHeight) {}
    std::uint8_t savedPlane = 0;

    void SetUp() override
    {
        GameScreenEffectsGl::SetUp();
        savedPlane = settings().localPlaneId;
        settings().localPlaneId = kJetPlaneId;
    }
    void TearDown() override
    {
        settings().localPlaneId = savedPlane;
        setVisibilityForTier(0);
        GameScreenEffectsGl::TearDown();
    }

    // A jet fight: the bots ahead of the player, some below the horizon.
    void startFight(int tier)
    {
        gfx().setQualityTier(tier);
        setVisibilityForTier(tier);
        if (tier >= 3) {
            ASSERT_TRUE(PostProcess::createTargets());
        }
        GameScreen& game = gameScreen();
        ASSERT_EQ(createGame(static_cast<int>(GameType::FreeForAll), false, kPeaksMap, game), GameStartResult::Started);
        while (!game.isLoaded())
            (void)game.loadStep();
        setCurrentScreen(&game);
        GameMode* mode = modeOf(currentMatch());
        ASSERT_NE(mode, nullptr);
        const Airplane* player = mode->playerAirplane();
        ASSERT_NE(player, nullptr);
        int placed = 0;
        for (Target* t : mode->activeTargets()) {
            if (t == player || t->kind() != TargetKind::Airplane)
                continue;
            const float along = 120.0f + 150.0f * static_cast<float>(placed);
            const float side = static_cast<float>(placed % 3 - 1) * 60.0f;
            t->setPosition(player->position() + player->forward() * along + Vec3{side, -30.0f * (placed % 2), 0.0f});
            ++placed;
        }
        for (int i = 0; i < 40; ++i) {
            game.update();
            HudMessageQueue::instance().clearAll();
            gfx().setRenderTarget(&target());
            game.draw();
        }
    }

    // The world alone, in the order given, on the final target.
    std::vector<Rgba> draw(const std::vector<ScenePass>& order)
    {
        gfx().setRenderTarget(&target());
        clearTo({255, 0, 255, 255});
        GameSceneDraw passes(*scene());
        PassesInOrder inOrder(passes, order);
        scene()->draw(inOrder);
        gfx().setRenderTarget(&target());
        return rect(0, 0, kWidth, kHeight);
    }

    static int differing(const std::vector<Rgba>& a, const std::vector<Rgba>& b)
    {
        int n = 0;
        for (std::size_t i = 0; i < a.size() && i < b.size(); ++i)
            n += a[i].r != b[i].r || a[i].g != b[i].g || a[i].b != b[i].b ? 1 : 0;
        return n;
    }

    void save(const char* name)
    {
        std::filesystem::create_directories(SKYFRONT_BINARY_DIR "/screens/frames");
        EXPECT_TRUE(saveTargetPng(gfx(), kWidth, kHeight, std::string(SKYFRONT_BINARY_DIR "/screens/frames/") + name));
    }

    void compareOrders(int tier)
    {
        startFight(tier);
        if (HasFatalFailure())
            return;
        const SceneDrawFlags flags = scene()->drawFlags();
        EXPECT_TRUE(flags.terrain && flags.water && flags.trees) << "the peaks have ground, sea and forest";
        const std::vector<Rgba> game = draw(scenePassOrder(flags));
        char name[64];
        std::snprintf(name, sizeof(name), "pass_order_game_%d.png", tier);
        save(name);
        EXPECT_EQ(differing(game, draw(scenePassOrder(flags))), 0) << "the same order draws the same picture";
        int magenta = 0;
        for (const Rgba& p : game)
            magenta += p.r > 240 && p.g < 15 && p.b > 240 ? 1 : 0;
        EXPECT_EQ(magenta, 0) << "the world covers the target";
        // The top rows are sky: lit, and bluer than they are red.
        long skyLight = 0, blueOverRed = 0;
        for (std::size_t i = game.size() - 20 * kWidth; i < game.size(); ++i) {
            skyLight += game[i].r + game[i].g + game[i].b;
            blueOverRed += game[i].b - game[i].r;
        }
        EXPECT_GT(skyLight, 20L * kWidth * 150) << "the sky is in view";
        EXPECT_GT(blueOverRed, 0L);

        const std::vector<Rgba> skyFirst = draw(changedPassOrder(flags, {true, false}));
        std::snprintf(name, sizeof(name), "pass_order_sky_first_%d.png", tier);
        save(name);
        EXPECT_EQ(differing(game, skyFirst), 0) << "the sky drawn first changes no pixel";
        // An order that does matter shows: the sky drawn over the clouds' composite hides them.
        std::vector<ScenePass> skyOverClouds = scenePassOrder(flags);
        skyOverClouds.erase(std::find(skyOverClouds.begin(), skyOverClouds.end(), ScenePass::Sky));
        skyOverClouds.insert(std::find(skyOverClouds.begin(), skyOverClouds.end(), ScenePass::SunGlare) + 1,
                             ScenePass::Sky);
        EXPECT_GT(differing(game, draw(skyOverClouds)), kWidth * 4);
        if (flags.heatDistortion) {
            EXPECT_GT(distortionDrawsThisFrame(), 0) << "the jets shimmer";
            const std::vector<Rgba> late = draw(changedPassOrder(flags, {true, true}));
            EXPECT_EQ(differing(game, late), 0) << "the heat sources drawn late change no pixel";
        }
    }
};

TEST_F(PassOrderPictures, TheSkyFirstDrawsTheSamePictureAtTheLowestDetail) { compareOrders(0); }

TEST_F(PassOrderPictures, TheSkyFirstAndTheLateHeatDrawTheSamePictureAtTheTopDetail)
{
    compareOrders(3);
    if (!HasFatalFailure()) {
        EXPECT_TRUE(scene()->drawFlags().heatDistortion) << "the top detail makes the shimmer's target";
    }
}
}  // namespace
