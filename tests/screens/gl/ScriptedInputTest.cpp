#include "support/TempDir.h"

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
        const fs::path stage = SKYFRONT_STAGE_DIR;
        if (!fs::exists(stage / "bin/skyfront"))
            GTEST_SKIP() << "the game is not staged";
        fs::create_directories(tree.path() / "bin");
        fs::copy_file(stage / "bin/skyfront", tree.path() / "bin/skyfront");
        for (const char* part : {"data", "paks"})
            fs::create_directory_symlink(stage / part, tree.path() / part);
    }

    int run(const std::string& script, const std::string& arguments)
    {
        tree.write("script.txt", script);
        const std::string command = "cd '" + tree.folder() + "' && SKYFRONT_HEADLESS=1 ./bin/skyfront -width 960 " +
                                    "-height 640 -fixeddt 0.0166667 -inputscript script.txt " + arguments +
                                    " >stdout.txt 2>stderr.txt";
        const int status = std::system(command.c_str());
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

    // Loads the shot and keeps a copy under the build folder to look at.
    bool loadShot(const std::string& name, TextureImage& image)
    {
        const fs::path keep = fs::path(SKYFRONT_BINARY_DIR) / "menus/input";
        fs::create_directories(keep);
        std::error_code ignored;
        fs::copy_file(tree.path() / name, keep / name, fs::copy_options::overwrite_existing, ignored);
        auto file = FileDisk::open(tree.folder() + name, "rb");
        return file && decodePng(*file, image) && image.format == TextureFormat::Rgba8;
    }

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
    // Where the two buttons sit at 960 x 640.
    static constexpr int kNoX = 400, kYesX = 500, kButtonY = 355;

    TempDir tree;
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
    // Closed: neither button is drawn; the world behind the menu shows
    // there as it does beside the question.
    EXPECT_NEAR(blue(back, kNoX, kButtonY), blue(back, 60, kButtonY), 12);
    EXPECT_NEAR(blue(back, kYesX, kButtonY), blue(back, 60, kButtonY), 12);
    EXPECT_GT(std::abs(blue(asked, kYesX, kButtonY) - blue(asked, 60, kButtonY)), 12);
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
