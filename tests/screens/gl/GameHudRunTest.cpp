// The game itself under Xvfb: a free flight started by "-autostart", its HUD
// written to build/hud/game-*.png and found by its pixels, and the pause
// button pressed by "-inject" opening the pause screen on the next frame.
#include "StagedGame.h"

#include "platform/File.h"
#include "platform/ScreenMetrics.h"
#include "render/2d/CSprite.h"
#include "render/2d/SpriteSets.h"
#include "render/assets/ImageLoaders.h"
#include "render/assets/TextureImage.h"
#include "screens/hud/PlaneHud.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <sys/wait.h>

namespace {
namespace fs = std::filesystem;

struct Pixel {
    int r = 0, g = 0, b = 0;
};

class GameHudRun : public testing::Test {
protected:
    void SetUp() override
    {
        if (!game.prepare())
            GTEST_SKIP() << "the game is not staged";
        fs::create_directories(SKYFRONT_BINARY_DIR "/hud");
    }

    int run(const std::string& arguments) { return game.run(arguments); }

    bool loadShot(const std::string& name, TextureImage& image) { return game.loadShot(name, image, "hud"); }

    static Pixel at(const TextureImage& image, float x, float y)
    {
        const std::size_t i = (static_cast<std::size_t>(y) * image.width + static_cast<std::size_t>(x)) * 4;
        const auto& p = image.levels[0];
        return {p[i], p[i + 1], p[i + 2]};
    }
    static bool white(const Pixel& p) { return p.r > 230 && p.g > 230 && p.b > 230; }
    // The dials' faces are a dark navy over any sky.
    static bool dialFace(const Pixel& p) { return p.r < 90 && p.g < 100 && p.b < 120 && p.b >= p.r; }

    StagedGame game;
    TempDir& tree = game.tree;
};

TEST_F(GameHudRun, TheHudOfAFreeFlightAndItsPauseButton)
{
    // The menu is up near frame 215 and the game after its 23 load steps.
    const int code = run("-width 960 -height 640 -fixeddt 0.0166667 -autostart 10:0 -frames 406 "
                         "-dumpframe 399:game-play.png -inject 400:click@924,36 -dumpframe 402:game-paused.png");
    ASSERT_EQ(code, 0) << tree.read("stderr.txt");
    TextureImage play, paused;
    ASSERT_TRUE(loadShot("game-play.png", play));
    ASSERT_TRUE(loadShot("game-paused.png", paused));
    ASSERT_EQ(play.width, 960);

    // Where the HUD places its elements at this size, from the same sheet.
    setDataRoot(SKYFRONT_STAGE_DIR "/");
    ASSERT_TRUE(setScreenSize(960, 640));
    unloadSprite(kSpriteSetHud);
    setSpriteLoadScale(screenMetrics().spriteScale);
    PlaneHud hud;
    hud.initPanels(nullptr);
    for (int dial : {PlaneHud::kSpeedDial, PlaneHud::kAltimeter}) {
        const CSprite::Rect r = hud.elementRect(nullptr, dial);
        ASSERT_GT(r.w, 50.0f);
        // Most of a grid over the face, numbers and ticks aside.
        int face = 0;
        for (int gx = 0; gx < 5; ++gx)
            for (int gy = 0; gy < 5; ++gy)
                face += dialFace(at(play, r.x + r.w * (0.2f + 0.15f * gx), r.y + r.h * (0.2f + 0.15f * gy)));
        EXPECT_GE(face, 15) << "dial " << dial << " at " << r.x << ", " << r.y;
    }
    const CSprite::Rect pause = hud.elementRect(nullptr, 21);
    const float barY = pause.y + pause.h / 2.0f;
    EXPECT_TRUE(white(at(play, pause.x + pause.w * 19.0f / 52.0f, barY))) << "the pause button's left bar";
    EXPECT_TRUE(white(at(play, pause.x + pause.w * 31.0f / 52.0f, barY))) << "the pause button's right bar";
    // The pause screen took over: the HUD is not drawn under it.
    EXPECT_FALSE(white(at(paused, pause.x + pause.w * 19.0f / 52.0f, barY)));
    const CSprite::Rect speed = hud.elementRect(nullptr, PlaneHud::kSpeedDial);
    EXPECT_FALSE(dialFace(at(paused, speed.x + speed.w * 0.3f, speed.y + speed.h * 0.3f)));
}

}  // namespace
