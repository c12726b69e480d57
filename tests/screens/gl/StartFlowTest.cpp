#include "StagedGame.h"

#include "platform/File.h"
#include "platform/Settings.h"
#include "render/assets/ImageLoaders.h"
#include "render/assets/TextureImage.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>

namespace {
namespace fs = std::filesystem;

struct Pixel {
    int r = 0, g = 0, b = 0;
};

// The game, copied into a scratch tree beside links to the staged data, so
// that its save folder is a scratch one too.
class StartFlow : public testing::Test {
protected:
    void SetUp() override
    {
        if (!game.prepare())
            GTEST_SKIP() << "the game is not staged";
    }

    int run(const std::string& arguments) { return game.run(arguments); }

    bool loadShot(const std::string& name, TextureImage& image) { return game.loadShot(name, image, ""); }

    static Pixel at(const TextureImage& image, int x, int y)
    {
        const std::size_t i = (static_cast<std::size_t>(y) * image.width + x) * 4;
        const auto& p = image.levels[0];
        return {p[i], p[i + 1], p[i + 2]};
    }

    StagedGame game;
    TempDir& tree = game.tree;
};

// 60 frames a second: the logo holds from 1.25 s to 3.25 s; the menu then
// loads in 18 frames behind the loading screen.
TEST_F(StartFlow, TheGameShowsTheLogoThenTheLoadingArtThenTheMenuAndQuitsCleanly)
{
    const int code = run("-width 720 -height 480 -fixeddt 0.0166667 -frames 240 -dumpframe 2:splash0.png "
                         "-dumpframe 150:splash.png -dumpframe 205:loading.png -dumpframe 239:menu.png");
    ASSERT_EQ(code, 0) << tree.read("stderr.txt");

    TextureImage black, logo, loading, menu;
    ASSERT_TRUE(loadShot("splash0.png", black));
    ASSERT_TRUE(loadShot("splash.png", logo));
    ASSERT_TRUE(loadShot("loading.png", loading));
    ASSERT_TRUE(loadShot("menu.png", menu));
    ASSERT_EQ(logo.width, 720);   // the smallest window the game makes

    const Pixel corner = at(black, 2, 2);
    EXPECT_LE(corner.r + corner.g + corner.b, 3) << "the logo's background is black";
    const Pixel dome = at(logo, 360, 240);   // the sky dome behind the jet, at full tint
    EXPECT_GT(dome.b, 120);
    EXPECT_GT(dome.b, dome.r + 60);
    EXPECT_LE(at(logo, 2, 2).b, 3);

    const Pixel fill = at(loading, 2, 2);
    EXPECT_NEAR(fill.r, 0, 2);
    EXPECT_NEAR(fill.g, 4, 2);
    EXPECT_NEAR(fill.b, 8, 2);
    const Pixel star = at(loading, 360, 240);   // the emblem's star at the centre
    EXPECT_GT(star.r + star.g + star.b, 500);

    const Pixel menuCentre = at(menu, 360, 240);
    EXPECT_FALSE(menuCentre.r == star.r && menuCentre.g == star.g && menuCentre.b == star.b)
        << "the menu screen replaced the loading screen";

    // The normal shut-down wrote settings that load back whole.
    const std::string save = tree.folder() + "save/" + std::to_string(getuid() + 1) + "/";
    ASSERT_TRUE(fs::exists(save + "tq2_settings.bin")) << tree.read("stderr.txt");
    EXPECT_EQ(tree.read("stderr.txt").find("blocks read back valid"), std::string::npos);
}
}  // namespace
