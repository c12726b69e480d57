// The game itself under Xvfb: "-autostart" into capture the flag and into
// survival, a frame of each written to build/modes/ and read back.
#include "StagedGame.h"

#include "render/assets/TextureImage.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

namespace {

struct Pixel {
    int r = 0, g = 0, b = 0;
};

class ObjectiveModeRun : public testing::Test {
protected:
    static constexpr int kWidth = 960, kHeight = 640;

    void SetUp() override
    {
        if (!game.prepare())
            GTEST_SKIP() << "the game is not staged";
    }

    // Plays the type on the map to the frame after the start and keeps the shot.
    void play(const std::string& typeAndMap, const std::string& shotName)
    {
        const int code = game.run("-width 960 -height 640 -fixeddt 0.0166667 -autostart " + typeAndMap +
                                  " -frames 420 -dumpframe 419:" + shotName);
        ASSERT_EQ(code, 0) << game.errors();
        ASSERT_TRUE(game.loadShot(shotName, shot, "modes"));
        ASSERT_EQ(shot.width, kWidth);
        ASSERT_EQ(shot.height, kHeight);
    }

    Pixel at(int x, int y) const
    {
        const std::size_t i = (static_cast<std::size_t>(y) * shot.width + static_cast<std::size_t>(x)) * 4;
        const auto& p = shot.levels[0];
        return {p[i], p[i + 1], p[i + 2]};
    }
    template <class Test>
    float share(int x0, int y0, int x1, int y1, Test test) const
    {
        int hits = 0, total = 0;
        for (int y = y0; y < y1; y += 4)
            for (int x = x0; x < x1; x += 4, ++total)
                hits += test(at(x, y)) ? 1 : 0;
        return total ? static_cast<float>(hits) / static_cast<float>(total) : 0.0f;
    }
    static bool blueSky(const Pixel& p) { return p.b > 100 && p.b >= p.r + 10; }
    static int brightness(const Pixel& p) { return p.r + p.g + p.b; }
    float meanBrightness(int x0, int y0, int x1, int y1) const
    {
        long sum = 0, n = 0;
        for (int y = y0; y < y1; y += 4)
            for (int x = x0; x < x1; x += 4, ++n)
                sum += brightness(at(x, y));
        return n ? static_cast<float>(sum) / static_cast<float>(n) : 0.0f;
    }
    // Fields, forest or rock below; or a sea darker than the sky above it.
    static bool groundOrSea(const Pixel& p)
    {
        const bool land = p.g > p.b + 10 || (p.r > p.b + 10 && p.g > p.b);
        const bool sea = p.b >= p.r && p.g >= p.r && p.b < 150;
        return land || sea;
    }

    // The match starts at dawn in capture the flag and by day in survival:
    // the sky is blue, or at least far brighter than what lies below.
    void expectSkyAboveAndGroundBelow(bool blue)
    {
        // Between the HUD's top instruments and the horizon, clear of the middle
        // notice; the lowest band outside the HUD's corner controls.
        const int top0 = 130, top1 = 230, bottom0 = 5 * kHeight / 6;
        const float above = meanBrightness(0, top0, kWidth, top1);
        const float below = meanBrightness(kWidth / 4, bottom0, 3 * kWidth / 4, kHeight);
        EXPECT_GT(above, below + 120.0f) << "a bright sky over darker ground or sea";
        const auto notGround = [below](const Pixel& p) { return blueSky(p) || brightness(p) > below + 60.0f; };
        EXPECT_GT(share(0, top0, kWidth / 3, top1, notGround), 0.6f) << "sky at the upper left";
        EXPECT_GT(share(2 * kWidth / 3, top0, kWidth, top1, notGround), 0.6f) << "sky at the upper right";
        if (blue) {
            EXPECT_GT(share(0, top0, kWidth, top1, blueSky), 0.5f) << "a blue day sky";
        }
        EXPECT_GT(share(kWidth / 4, bottom0, 3 * kWidth / 4, kHeight, groundOrSea), 0.6f) << "ground or sea below";
    }

    StagedGame game;
    TextureImage shot;
};

TEST_F(ObjectiveModeRun, CaptureTheFlagStartsWithSkyAboveAndGroundBelow)
{
    play("4:2", "ctf-play.png");
    EXPECT_NE(game.errors().find("starting a game of type 4 on map 2"), std::string::npos) << game.errors();
    expectSkyAboveAndGroundBelow(false);
}

TEST_F(ObjectiveModeRun, SurvivalStartsWithSkyAboveAndGroundBelow)
{
    play("6:2", "survival-play.png");
    EXPECT_NE(game.errors().find("starting a game of type 6 on map 2"), std::string::npos) << game.errors();
    expectSkyAboveAndGroundBelow(true);
}

}  // namespace
