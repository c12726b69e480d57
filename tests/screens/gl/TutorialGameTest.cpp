// The staged game started straight into a tutorial with -autostart 9:N: the
// take-off lesson stands on the runway of the tutorial map, the HUD lesson
// flies under the autopilot. Frames go to build/tutorials/ for a look.
#include "StagedGame.h"

#include "render/assets/TextureImage.h"

#include <gtest/gtest.h>

#include <string>

namespace {
constexpr int kWidth = 960, kHeight = 640;

struct TutorialGame : testing::Test {
    StagedGame game;

    void SetUp() override
    {
        if (!game.prepare())
            GTEST_SKIP() << "the game is not staged";
    }
    int run(const std::string& arguments)
    {
        return game.run("-width " + std::to_string(kWidth) + " -height " + std::to_string(kHeight) +
                        " -fixeddt 0.0166667 " + arguments);
    }
    static const std::uint8_t* at(const TextureImage& image, int x, int y)
    {
        return &image.levels[0][(static_cast<std::size_t>(y) * image.width + x) * 4];
    }
    // The share of the box's pixels (4-pixel grid) that are ground: grass or tarmac, not sky.
    static float groundShare(const TextureImage& image, int y0, int y1)
    {
        int hits = 0, total = 0;
        for (int y = y0; y < y1; y += 4)
            for (int x = 0; x < kWidth; x += 4, ++total) {
                const std::uint8_t* p = at(image, x, y);
                const bool sky = p[2] > 120 && p[2] >= p[0] + 10;
                hits += sky ? 0 : 1;
            }
        return total ? static_cast<float>(hits) / static_cast<float>(total) : 0.0f;
    }
};
}  // namespace

TEST_F(TutorialGame, TakeOffTutorialStartsOnTheRunway)
{
    ASSERT_EQ(run("-frames 400 -autostart 9:3 -dumpframe 390:tutorial_takeoff.png"), 0) << game.errors();
    EXPECT_NE(game.log().find("starting a game of type 9 on map 1"), std::string::npos) << game.log();
    EXPECT_EQ(game.log().find("has no \"runway_field.glm_0\""), std::string::npos);
    TextureImage shot;
    ASSERT_TRUE(game.loadShot("tutorial_takeoff.png", shot, "tutorials"));
    ASSERT_EQ(shot.width, kWidth);
    EXPECT_GT(groundShare(shot, kHeight / 2 + 40, kHeight), 0.9f) << "ground fills the lower half";
    // The runway's dark tarmac straight ahead, below the horizon.
    int tarmac = 0;
    for (int y = kHeight * 5 / 8; y < kHeight * 3 / 4; y += 2)
        for (int x = kWidth * 3 / 8; x < kWidth * 5 / 8; x += 2) {
            const std::uint8_t* p = at(shot, x, y);
            tarmac += p[0] < 110 && p[1] < 110 && p[2] < 110 && std::abs(p[0] - p[2]) < 20;
        }
    EXPECT_GT(tarmac, 200);
}

TEST_F(TutorialGame, HudTutorialFliesUnderTheAutopilotWithItsPanel)
{
    ASSERT_EQ(run("-frames 330 -autostart 9:0 -dumpframe 320:tutorial_hud.png"), 0) << game.errors();
    TextureImage shot;
    ASSERT_TRUE(game.loadShot("tutorial_hud.png", shot, "tutorials"));
    // The red text of the hands-off panel at the screen centre.
    int red = 0;
    for (int y = kHeight / 2 - 15; y < kHeight / 2 + 15; ++y)
        for (int x = kWidth / 2 - 150; x < kWidth / 2 + 150; ++x) {
            const std::uint8_t* p = at(shot, x, y);
            red += p[0] > 180 && p[1] < 70 && p[2] < 70;
        }
    EXPECT_GT(red, 80);
}

// The HUD lesson played in the real game from an input script: after the
// opening lines a drag across the screen turns the camera and the lesson
// moves on to the camera button.
TEST_F(TutorialGame, HudTutorialDragLessonPlayedFromAnInputScript)
{
    const std::string script = "1200 drag 420 300 700 450 40\n";
    ASSERT_EQ(game.runScript(script, "-width " + std::to_string(kWidth) + " -height " + std::to_string(kHeight) +
                                         " -fixeddt 0.0166667 -frames 1300 -autostart 9:0 -dumpframe 1180:tutorial_hud_drag.png "
                                         "-dumpframe 1290:tutorial_hud_camera.png"),
              0)
        << game.errors();
    const std::string log = game.log();
    EXPECT_NE(log.find("tutorial 0: step 2"), std::string::npos) << log;
    EXPECT_NE(log.find("tutorial 0: step 3"), std::string::npos) << "the drag ends the drag lesson";
    TextureImage drag, camera;
    ASSERT_TRUE(game.loadShot("tutorial_hud_drag.png", drag, "tutorials"));
    ASSERT_TRUE(game.loadShot("tutorial_hud_camera.png", camera, "tutorials"));
    // The gesture's orange fingertip in the middle column while the lesson
    // waits, under the hands-off panel about the centre and not on its text.
    const auto orangeIn = [&drag](int y0, int y1) {
        int n = 0;
        for (int y = y0; y < y1; ++y)
            for (int x = kWidth / 2 - 10; x < kWidth / 2 + 10; ++x) {
                const std::uint8_t* p = at(drag, x, y);
                n += p[0] > 200 && p[1] > 100 && p[1] < 180 && p[2] < 80;
            }
        return n;
    };
    EXPECT_EQ(orangeIn(kHeight / 2 - 14, kHeight / 2 + 14), 0);
    EXPECT_GT(orangeIn(kHeight / 2 + 30, kHeight / 2 + 120), 20);
}
