// A ship mirrored in the sea, from a scripted run of the game: the ship
// mission with "-testplace ship", once at quality 2 (the water reflects) and
// once at quality 1 (plain water). The pictures are kept under build/flight/.
#include "StagedGame.h"

#include "render/assets/TextureImage.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <string>

namespace {
constexpr int kWidth = 960, kHeight = 640;
// Three seconds into play the airplane is put short of the nearest ship; a
// quarter of a second later it flies toward it low over the water.
constexpr int kShotFrame = 428;

class ShipReflection : public testing::Test {
protected:
    void SetUp() override
    {
        if (!game.prepare())
            GTEST_SKIP() << "the game is not staged";
    }

    // The ship mission at the quality, its frame kept as build/flight/NAME.
    bool shoot(int quality, const std::string& name, TextureImage& image)
    {
        const int status = game.run("-width " + std::to_string(kWidth) + " -height " + std::to_string(kHeight) +
                                    " -quality " + std::to_string(quality) +
                                    " -fixeddt 0.0166667 -autostart 1:c2m3 -testplace ship -frames " +
                                    std::to_string(kShotFrame + 5) + " -dumpframe " + std::to_string(kShotFrame) +
                                    ":" + name);
        log = game.errors();
        return status == 0 && game.loadShot(name, image, "flight") && image.width == kWidth &&
               image.height == kHeight;
    }

    // Mean of red, green and blue over the box, on a 2-pixel grid.
    static float brightness(const TextureImage& image, int x0, int y0, int x1, int y1)
    {
        const auto& p = image.levels[0];
        double sum = 0.0;
        int count = 0;
        for (int y = y0; y < y1; y += 2)
            for (int x = x0; x < x1; x += 2, ++count) {
                const std::size_t i = (static_cast<std::size_t>(y) * kWidth + x) * 4;
                sum += (p[i] + p[i + 1] + p[i + 2]) / 3.0;
            }
        return count ? static_cast<float>(sum / count) : 0.0f;
    }

    StagedGame game;
    std::string log;
};

// Somewhere on the water right of the island the reflecting sea is far darker
// than the plain one (the ship's hull upside down), while the open water
// further down looks alike in both.
TEST_F(ShipReflection, TheSeaMirrorsTheShipWhereThePlainWaterDoesNot)
{
    TextureImage mirrored, plain;
    ASSERT_TRUE(shoot(2, "ship_reflection.png", mirrored)) << game.errors();
    EXPECT_NE(log.find("test placement: the player's airplane flies toward ship"), std::string::npos) << log;
    ASSERT_TRUE(shoot(1, "ship_reflection_off.png", plain)) << game.errors();

    // A window the width of a ship's reflection, slid over the sea between
    // the island's reflection on the left and the buttons on the right,
    // below the horizon and above the airplane.
    float darkest = 0.0f;
    int atX = 0, atY = 0;
    for (int y = 350; y <= 440; y += 4)
        for (int x = 560; x <= 800; x += 4) {
            const float darker = brightness(plain, x, y, x + 30, y + 6) - brightness(mirrored, x, y, x + 30, y + 6);
            if (darker > darkest) {
                darkest = darker;
                atX = x;
                atY = y;
            }
        }
    std::printf("reflection %.1f darker at (%d, %d)\n", darkest, atX, atY);
    EXPECT_GT(darkest, 20.0f) << "the ship's reflection";
    const float openWater = brightness(plain, 620, 430, 850, 460) - brightness(mirrored, 620, 430, 850, 460);
    EXPECT_LT(std::fabs(openWater), 12.0f) << "open water";
}

}  // namespace
