#include "support/TempDir.h"

#include "platform/File.h"
#include "render/assets/ImageLoaders.h"
#include "render/assets/TextureImage.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <sys/wait.h>
#include <vector>

namespace {
namespace fs = std::filesystem;

struct Pixel {
    int r = 0, g = 0, b = 0;
};

// The staged game run in a scratch tree at 960 x 640 with a fixed frame step:
// the menu has loaded by frame 215, an -autostart game 25 frames later.
class GameFrames : public testing::Test {
protected:
    static constexpr int kWidth = 960, kHeight = 640;

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

    int run(const std::string& arguments, const std::string& script = "")
    {
        std::string command = "cd '" + tree.folder() + "' && SKYFRONT_HEADLESS=1 ./bin/skyfront -width " +
                              std::to_string(kWidth) + " -height " + std::to_string(kHeight) +
                              " -fixeddt 0.0166667 " + arguments;
        if (!script.empty()) {
            tree.write("script.txt", script);
            command += " -inputscript script.txt";
        }
        command += " >stdout.txt 2>stderr.txt";
        const int status = std::system(command.c_str());
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

    // Loads the shot and keeps a copy under the build folder to look at.
    bool loadShot(const std::string& name, TextureImage& image, const char* keepFolder = "screens/frames")
    {
        const fs::path keep = fs::path(SKYFRONT_BINARY_DIR) / keepFolder;
        fs::create_directories(keep);
        std::error_code ignored;
        fs::copy_file(tree.path() / name, keep / name, fs::copy_options::overwrite_existing, ignored);
        auto file = FileDisk::open(tree.folder() + name, "rb");
        return file && decodePng(*file, image) && image.format == TextureFormat::Rgba8 && image.width == kWidth;
    }

    // PNG rows run top to bottom.
    static Pixel at(const TextureImage& image, int x, int y)
    {
        const std::size_t i = (static_cast<std::size_t>(y) * image.width + x) * 4;
        const auto& p = image.levels[0];
        return {p[i], p[i + 1], p[i + 2]};
    }

    // The share (0..1) of the pixels in the box that pass the test, on a 4-pixel grid.
    template <class Test>
    static float share(const TextureImage& image, int x0, int y0, int x1, int y1, Test test)
    {
        int hits = 0, total = 0;
        for (int y = y0; y < y1; y += 4)
            for (int x = x0; x < x1; x += 4, ++total)
                hits += test(at(image, x, y)) ? 1 : 0;
        return total ? static_cast<float>(hits) / static_cast<float>(total) : 0.0f;
    }

    static bool skyLike(const Pixel& p) { return p.b > 120 && p.b >= p.r + 10; }
    static bool grassLike(const Pixel& p) { return p.g > p.b + 15 && p.g >= p.r - 10; }
    static bool seaLike(const Pixel& p) { return p.b >= p.r && p.g >= p.r && p.b < 150; }
    // The airplanes' light grey and white, which neither sky, grass nor sea show.
    static bool paintLike(const Pixel& p)
    {
        const int high = std::max({p.r, p.g, p.b}), low = std::min({p.r, p.g, p.b});
        return low > 150 && high - low < 30;
    }

    static float meanDifference(const TextureImage& a, const TextureImage& b)
    {
        double sum = 0.0;
        const auto& pa = a.levels[0];
        const auto& pb = b.levels[0];
        for (std::size_t i = 0; i < pa.size() && i < pb.size(); ++i)
            sum += std::abs(static_cast<int>(pa[i]) - static_cast<int>(pb[i]));
        return static_cast<float>(sum / static_cast<double>(pa.size()));
    }
    // The same over the rows y0 to y1 only.
    static float meanDifference(const TextureImage& a, const TextureImage& b, int y0, int y1)
    {
        const auto& pa = a.levels[0];
        const auto& pb = b.levels[0];
        if (a.height <= 0 || pa.size() != pb.size() || y1 <= y0)
            return meanDifference(a, b);
        const std::size_t stride = pa.size() / static_cast<std::size_t>(a.height);
        double sum = 0.0;
        for (std::size_t i = stride * static_cast<std::size_t>(y0); i < stride * static_cast<std::size_t>(y1); ++i)
            sum += std::abs(static_cast<int>(pa[i]) - static_cast<int>(pb[i]));
        return static_cast<float>(sum / static_cast<double>(stride * static_cast<std::size_t>(y1 - y0)));
    }

    TempDir tree;
};

TEST_F(GameFrames, TheMenuScreenShowsTheWorldAndItsAirplaneBehindTheMenu)
{
    ASSERT_EQ(run("-frames 300 -dumpframe 299:menu_world.png"), 0) << tree.read("stderr.txt");
    TextureImage menu;
    ASSERT_TRUE(loadShot("menu_world.png", menu));
    // Right of the showcase panel, between the corner marks and the haze over
    // the horizon. The showcase airplane has a pilot, so the scene keeps its
    // plain 60 degree view (only an airplane flown by hand widens it with
    // speed); the camera's downward look then puts the horizon's haze up to
    // about row 150.
    EXPECT_GT(share(menu, kWidth / 2, 50, kWidth - 100, 100, skyLike), 0.8f) << "sky at the top";
    const float ground = share(menu, 0, 2 * kHeight / 3, kWidth, kHeight, [](const Pixel& p) { return !skyLike(p); });
    EXPECT_GT(ground, 0.5f) << "ground or sea below";
    EXPECT_GT(share(menu, 0, 0, kWidth, kHeight, paintLike), 0.002f) << "the showcase airplane";
}

// A minute and a half of the menu at 20 frames a second: the pilot flies the
// menu map's loop, turning at its points, and each tenth picture shows sky
// above, ground below and the airplane right of the panel. The pictures are
// kept under build/menuflight/ to look at.
TEST_F(GameFrames, TheMenuAirplaneFliesItsLoopInViewAboveTheGround)
{
    std::string arguments = "-frames 2110";
    std::vector<std::string> shots;
    for (int frame = 300; frame <= 2100; frame += 200) {
        shots.push_back("menu_flight_" + std::to_string(frame) + ".png");
        arguments += " -dumpframe " + std::to_string(frame) + ":" + shots.back();
    }
    const std::string command = "cd '" + tree.folder() + "' && SKYFRONT_HEADLESS=1 ./bin/skyfront -width " +
                                std::to_string(kWidth) + " -height " + std::to_string(kHeight) + " -fixeddt 0.05 " +
                                arguments + " >stdout.txt 2>stderr.txt";
    const int status = std::system(command.c_str());
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << tree.read("stderr.txt");
    for (const std::string& name : shots) {
        TextureImage shot;
        ASSERT_TRUE(loadShot(name, shot, "menuflight")) << name;
        EXPECT_GT(share(shot, kWidth / 2, 50, kWidth - 100, 100, skyLike), 0.6f) << name << ": sky at the top";
        EXPECT_GT(share(shot, 400, 2 * kHeight / 3, kWidth, 500, [](const Pixel& p) { return !skyLike(p); }), 0.9f)
            << name << ": ground below";
        // Below the clouds, right of the panel, above the buttons.
        EXPECT_GT(share(shot, 400, 200, kWidth, 500, paintLike), 0.008f) << name << ": the airplane";
    }
}

// Free flight over the peaks: the player's airplane from behind over the fields.
TEST_F(GameFrames, AFreeFlightOverLandShowsSkyGroundAndThePlayersAirplane)
{
    // Late enough that the notice of the lake the flight starts by has gone from the sky band.
    ASSERT_EQ(run("-frames 700 -autostart 10:2 -dumpframe 699:game_land.png"), 0) << tree.read("stderr.txt");
    EXPECT_NE(tree.read("stderr.txt").find("starting a game of type 10 on map 2"), std::string::npos);
    TextureImage land;
    ASSERT_TRUE(loadShot("game_land.png", land));
    // Below the HUD's instruments, above the horizon, left of the radar.
    EXPECT_GT(share(land, 0, 150, 720, 300, skyLike), 0.8f);
    EXPECT_GT(share(land, 0, 3 * kHeight / 4, kWidth, kHeight, grassLike), 0.3f) << "fields below";
    // Behind and above the plane: it sits in the lower middle of the view.
    EXPECT_GT(share(land, 3 * kWidth / 8, kHeight / 2, 5 * kWidth / 8, kHeight, paintLike), 0.02f);
}

// A bot match over the harbour's sea: the player's airplane and the open water.
TEST_F(GameFrames, ABotMatchOverTheSeaShowsSkySeaAndThePlayersAirplane)
{
    ASSERT_EQ(run("-frames 420 -autostart 2:0 -dumpframe 419:game_sea.png"), 0) << tree.read("stderr.txt");
    TextureImage sea;
    ASSERT_TRUE(loadShot("game_sea.png", sea));
    // An evening sky: brighter than the sea, nothing of it the sea's colour.
    const auto bright = [](const Pixel& p) { return p.r + p.g + p.b > 330; };
    EXPECT_GT(share(sea, 0, kHeight / 4, kWidth, kHeight / 2, bright), 0.6f) << "the sky above the horizon";
    EXPECT_LT(share(sea, 0, 3 * kHeight / 4, kWidth, kHeight, bright), 0.05f) << "the darker sea";
    const float water = share(sea, 0, 3 * kHeight / 4, kWidth, kHeight, seaLike);
    EXPECT_GT(water, 0.4f) << "the sea below";
    // The evening sun warms the plane's paint: here it is whatever is far brighter than the sea.
    const float plane = share(sea, 3 * kWidth / 8, kHeight / 2, 5 * kWidth / 8, kHeight,
                              [](const Pixel& p) { return p.r + p.g + p.b > 360; });
    EXPECT_GT(plane, 0.02f);
}

// The back key in play pauses on the next frame: the world stands still behind the pause screen.
TEST_F(GameFrames, TheBackKeyOpensThePauseScreenOnTheNextFrame)
{
    ASSERT_EQ(run("-frames 380 -autostart 10:2 -dumpframe 320:moving0.png -dumpframe 321:moving1.png "
                  "-dumpframe 331:paused0.png -dumpframe 360:paused1.png",
                  "330 key Esc\n"),
              0)
        << tree.read("stderr.txt");
    EXPECT_NE(tree.read("stderr.txt").find("pause screen opened"), std::string::npos) << tree.read("stderr.txt");
    TextureImage moving0, moving1, paused0, paused1;
    ASSERT_TRUE(loadShot("moving0.png", moving0));
    ASSERT_TRUE(loadShot("moving1.png", moving1));
    ASSERT_TRUE(loadShot("paused0.png", paused0));
    ASSERT_TRUE(loadShot("paused1.png", paused1));
    // The world in the middle of the screen: the pause page's title and
    // buttons above and below it may pulse with the focus.
    const float moving = meanDifference(moving0, moving1, kHeight / 4, 3 * kHeight / 4);
    const float paused = meanDifference(paused0, paused1, kHeight / 4, 3 * kHeight / 4);
    EXPECT_GT(moving, 0.1f) << "half a second of flight moves the view";
    std::printf("mean difference: moving %.3f, paused %.3f\n", moving, paused);
    EXPECT_LT(paused, moving / 4.0f) << "29 frames of pause move nothing";
}

// The forest of a land map: planted near the count the map asks for (not a
// handful lost over the whole field), and drawn into the frame kept under
// build/scene/.
TEST_F(GameFrames, ALandMapGetsTheForestItAsksForAndItsFrameIsKept)
{
    ASSERT_EQ(run("-frames 420 -autostart 10:2 -dumpframe 419:free-flight-land.png"), 0) << tree.read("stderr.txt");
    const std::string log = tree.read("stderr.txt");
    const std::string key = "forest: ";
    // The game's forest is the last one built (the menu's comes first).
    const std::size_t at = log.rfind(key);
    ASSERT_NE(at, std::string::npos) << log;
    int planted = 0, asked = 0;
    ASSERT_EQ(std::sscanf(log.c_str() + at + key.size(), "%d trees of %d", &planted, &asked), 2);
    EXPECT_GE(asked, 20000);
    EXPECT_GE(planted, asked * 9 / 10);
    TextureImage land;
    ASSERT_TRUE(loadShot("free-flight-land.png", land, "scene"));
    EXPECT_GT(share(land, 0, 3 * kHeight / 4, kWidth, kHeight, grassLike), 0.3f) << "fields below";
}

}  // namespace
