// The first campaign mission in the game screen, won: the camera circles the
// player's airplane 1000 units out while it flies on under its AI. Two frames
// of the orbit are written to build/campaign/ and the airplane is looked for
// at their centre.
#include "GameScreenGl.h"
#include "TestWorld.h"

#include "entities/aircraft/Airplane.h"
#include "modes/GameModeGlobals.h"
#include "modes/Match.h"
#include "modes/kinds/GameModeCampaign.h"
#include "modes/kinds/GameModeCustom.h"
#include "screens/GameScreen.h"
#include "screens/GameStart.h"
#include "screens/Screens.h"
#include "screens/scene/GameCamera.h"
#include "screens/scene/SceneCameras.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

namespace {

struct CampaignWinOrbit : GameScreenGl {
    static constexpr int kWidth = 960, kHeight = 640;

    CampaignWinOrbit() : GameScreenGl(kWidth, kHeight) {}
    void SetUp() override
    {
        GameScreenGl::SetUp();
        if (!IsSkipped())
            std::filesystem::create_directories(SKYFRONT_BINARY_DIR "/campaign");
    }

    void frame(GameScreen& game)
    {
        game.update();
        gfx().setRenderTarget(&target());
        game.draw();
    }

    // The airplane's pixels: where the frame drawn again without it differs,
    // leaving out its shadow away from the centre. Gives how many lie within
    // `half` of the centre, within twice that, and in all.
    struct Pixels {
        int near = 0, around = 0, all = 0;
    };
    Pixels airplanePixels(GameScreen& game, Target& airplane, int half)
    {
        const std::vector<Rgba> with = rect(0, 0, kWidth, kHeight);
        const int drawClass = airplane.drawClass;
        airplane.drawClass = 0;
        gfx().setRenderTarget(&target());
        game.draw();
        airplane.drawClass = drawClass;
        const std::vector<Rgba> without = rect(0, 0, kWidth, kHeight);
        Pixels count;
        for (int y = 0; y < kHeight; ++y)
            for (int x = 0; x < kWidth; ++x) {
                const Rgba& a = with[static_cast<std::size_t>(y * kWidth + x)];
                const Rgba& b = without[static_cast<std::size_t>(y * kWidth + x)];
                if (std::abs(a.r - b.r) + std::abs(a.g - b.g) + std::abs(a.b - b.b) < 30)
                    continue;
                const int off = std::max(std::abs(x - kWidth / 2), std::abs(y - kHeight / 2));
                const bool inside = off <= half;
                // Its shadow only darkens the ground, and it falls wherever the
                // airplane's height puts it.
                const bool shadow = a.r <= b.r && a.g <= b.g && a.b <= b.b;
                if (!inside && shadow)
                    continue;
                ++count.all;
                count.near += inside ? 1 : 0;
                count.around += off <= 2 * half ? 1 : 0;
            }
        return count;
    }
};

TEST_F(CampaignWinOrbit, AfterAWinTheCameraCirclesThePlayersAirplane)
{
    GameScreen& game = gameScreen();
    ASSERT_EQ(startCampaignMission(0, 0, game, 0), GameStartResult::Started);
    while (!game.isLoaded())
        (void)game.loadStep();
    setCurrentScreen(&game);
    auto* mode = dynamic_cast<GameModeCampaign*>(modeOf(currentMatch()));
    ASSERT_NE(mode, nullptr);
    for (int i = 0; i < 60; ++i)
        frame(game);

    mode->endMission(true, 0);
    ASSERT_EQ(matchOutcome(), MatchOutcome::Won);
    ASSERT_NE(mode->playerAirplane(), nullptr);
    EXPECT_EQ(gameCamera().mode, 6) << "the orbit of a point";
    EXPECT_FLOAT_EQ(gameCamera().orbitDistance, GameModeCampaign::kEndOrbitDistance);

    for (int shot = 0; shot < 2; ++shot) {
        for (int i = 0; i < 90; ++i)
            frame(game);
        const std::string name = "campaign-win-orbit-" + std::to_string(shot) + ".png";
        ASSERT_TRUE(saveTargetPng(gfx(), kWidth, kHeight, SKYFRONT_BINARY_DIR "/campaign/" + name));
        // 1000 units out the camera looks at the airplane: it sits at the centre.
        Vec3 eye;
        ASSERT_TRUE(sceneModeCamera().position(eye));
        EXPECT_NEAR(vec3Length(eye - mode->playerAirplane()->position()), GameModeCampaign::kEndOrbitDistance, 150.0f);
        // The airplane is small at this distance.
        const Pixels pixels = airplanePixels(game, *mode->playerAirplane(), 100);
        EXPECT_GE(pixels.near, 4) << name;
        // Its smoke trail may reach a little further out.
        EXPECT_GE(pixels.around * 10, pixels.all * 8)
            << name << ": the airplane is at the centre, " << pixels.around << " of " << pixels.all;
    }
}

}  // namespace
