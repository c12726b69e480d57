#include "StagedGame.h"

#include "platform/File.h"
#include "render/assets/ImageLoaders.h"
#include "render/assets/TextureImage.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <sys/wait.h>

namespace {
namespace fs = std::filesystem;

// The staged game run in a scratch tree with "-inputscript": its events go
// through the game's own event pump, as a player's would.
class ScriptedInput : public testing::Test {
protected:
    void SetUp() override
    {
        if (!game.prepare())
            GTEST_SKIP() << "the game is not staged";
    }

    int run(const std::string& script, const std::string& arguments)
    {
        return game.runScript(script, "-width 960 -height 640 -fixeddt 0.0166667 " + arguments);
    }

    bool loadShot(const std::string& name, TextureImage& image) { return game.loadShot(name, image, "menus/input"); }

    // Blue of the pixel: the focused button of the quit question is drawn in
    // the pulse tint (green and blue 140..200 of 255), the other in its own blue.
    static int blue(const TextureImage& image, int x, int y)
    {
        return image.levels[0][(static_cast<std::size_t>(y) * image.width + x) * 4 + 2];
    }
    static bool focusOnNo(const TextureImage& image)
    {
        return blue(image, kNoX, kButtonY) + 25 < blue(image, kYesX, kButtonY);
    }
    static bool focusOnYes(const TextureImage& image)
    {
        return blue(image, kYesX, kButtonY) + 25 < blue(image, kNoX, kButtonY);
    }
    // The mean difference of two shots over a box, per channel.
    static float boxDifference(const TextureImage& a, const TextureImage& b, int x0, int y0, int x1, int y1)
    {
        double sum = 0.0;
        int count = 0;
        for (int y = y0; y < y1; y += 2)
            for (int x = x0; x < x1; x += 2)
                for (int c = 0; c < 3; ++c, ++count) {
                    const std::size_t i = (static_cast<std::size_t>(y) * a.width + x) * 4 + c;
                    sum += std::abs(static_cast<int>(a.levels[0][i]) - static_cast<int>(b.levels[0][i]));
                }
        return count ? static_cast<float>(sum / count) : 0.0f;
    }
    // Where the two buttons sit at 960 x 640.
    static constexpr int kNoX = 400, kYesX = 500, kButtonY = 355;
    static constexpr int kWorldX = 700;   // nothing of the first page there

    StagedGame game;
    TempDir& tree = game.tree;
};

TEST_F(ScriptedInput, TheQuitQuestionAnswersKeysThePadAndAClick)
{
    const std::string script =
        "# skip the logos into the menus\n"
        "5 click 480 320\n10 click 480 320\n15 click 480 320\n20 click 480 320\n"
        "# the back key asks where no page is open; the arrow keys and the pad move the focus\n"
        "100 key Esc\n110 key Right\n120 pad dpleft\n"
        "# the pad's back button answers no\n"
        "130 pad b\n"
        "# asked again: a click on yes ends the game\n"
        "140 key Esc\n150 click 529 368\n";
    const int code = run(script, "-frames 400 -dumpframe 105:quit_asked.png -dumpframe 115:quit_key.png "
                                 "-dumpframe 125:quit_pad.png -dumpframe 135:quit_back.png -dumpframe 300:late.png");
    ASSERT_EQ(code, 0) << tree.read("stderr.txt");
    EXPECT_NE(tree.read("stderr.txt").find("page shown: QuitGameOverlay"), std::string::npos);
    // The click on yes ended the run long before its 400 frames.
    EXPECT_FALSE(fs::exists(tree.path() / "late.png"));

    TextureImage asked, key, pad, back;
    ASSERT_TRUE(loadShot("quit_asked.png", asked));
    ASSERT_TRUE(loadShot("quit_key.png", key));
    ASSERT_TRUE(loadShot("quit_pad.png", pad));
    ASSERT_TRUE(loadShot("quit_back.png", back));
    EXPECT_TRUE(focusOnNo(asked));
    EXPECT_TRUE(focusOnYes(key));
    EXPECT_TRUE(focusOnNo(pad));
    // Closed: where the question stood the world behind the menu shows again,
    // while beside it the world has hardly moved in those frames.
    EXPECT_GT(boxDifference(asked, back, 300, 270, 660, 410), 3.0f * boxDifference(asked, back, 0, 430, 960, 640));
    EXPECT_GT(boxDifference(asked, back, 300, 270, 660, 410), 20.0f);
}

// The window's close button ends the game at once, without the question.
TEST_F(ScriptedInput, TheCloseButtonEndsTheGameAtOnce)
{
    const int code = run("5 click 480 320\n10 click 480 320\n100 close\n",
                         "-frames 400 -dumpframe 300:late.png");
    ASSERT_EQ(code, 0) << tree.read("stderr.txt");
    EXPECT_EQ(tree.read("stderr.txt").find("page shown: QuitGameOverlay"), std::string::npos);
    EXPECT_FALSE(fs::exists(tree.path() / "late.png"));
}

TEST_F(ScriptedInput, ABadLineStopsTheRunBeforeTheFirstFrame)
{
    const int code = run("10 key Right\n\n12 key NoSuchKey\n", "-frames 30 -dumpframe 1:first.png");
    EXPECT_EQ(code, 4);
    EXPECT_NE(tree.read("stderr.txt").find("line 3: unknown key \"NoSuchKey\""), std::string::npos)
        << tree.read("stderr.txt");
    EXPECT_FALSE(fs::exists(tree.path() / "first.png"));
}

}  // namespace
