// The test world's fixed view at every tier against reference pictures made
// before the world passes were sped up (tests/golden/world/). Work on speed
// must not change what a player sees: a pixel may drift by a few counts (a
// term moved from the pixel to the vertex, a picture target at another size),
// but only a sliver of the picture may change by more.
//
// After a deliberate change of the world's look, run the test once with
// SKYFRONT_UPDATE_GOLDEN=1 to write new references, and look at them.
#include "TestWorld.h"
#include "render/assets/ImageLoaders.h"
#include "render/assets/ImageWriter.h"
#include "support/Golden.h"

#include "platform/File.h"

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

constexpr int kWidth = 480, kHeight = 320;
constexpr int kPixelTolerance = 20;        // per channel, counts of 255
constexpr double kMaxDifferingShare = 0.015;  // of the pixels, beyond that tolerance
constexpr double kMaxMeanDifference = 2.0;    // counts, over every channel of every pixel

struct Comparison {
    int differing = 0;       // pixels off by more than kPixelTolerance in a channel
    double meanDifference = 0.0;
    std::vector<std::uint8_t> map;  // RGBA: white where a pixel differs, the render dimmed elsewhere
};

// `reference` is RGBA top row first (as decoded), `render` RGBA bottom row first.
Comparison compare(const TextureImage& reference, const std::vector<std::uint8_t>& render)
{
    Comparison result;
    result.map.resize(render.size());
    const std::vector<std::uint8_t>& ref = reference.levels[0];
    long long total = 0;
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x) {
            const std::size_t at = (static_cast<std::size_t>(y) * kWidth + x) * 4;
            const std::size_t refAt = (static_cast<std::size_t>(kHeight - 1 - y) * kWidth + x) * 4;
            int worst = 0;
            for (int c = 0; c < 3; ++c) {
                const int d = std::abs(static_cast<int>(render[at + c]) - static_cast<int>(ref[refAt + c]));
                worst = std::max(worst, d);
                total += d;
            }
            const bool differs = worst > kPixelTolerance;
            result.differing += differs ? 1 : 0;
            for (int c = 0; c < 3; ++c)
                result.map[at + c] = differs ? 255 : static_cast<std::uint8_t>(render[at + c] / 3);
            result.map[at + 3] = 255;
        }
    result.meanDifference = static_cast<double>(total) / (static_cast<double>(kWidth) * kHeight * 3);
    return result;
}

using WorldGolden = TestWorldGl;

TEST_F(WorldGolden, EveryTierLooksAsItsReference)
{
    useTarget(kWidth, kHeight);
    world->setCamera(Vec3{-5200.0f, 420.0f, 2600.0f}, Vec3{1500.0f, 150.0f, -1500.0f}, 1.0f, 1.5f);
    const bool update = std::getenv("SKYFRONT_UPDATE_GOLDEN") != nullptr;
    for (int tier = 0; tier <= 3; ++tier) {
        SCOPED_TRACE("tier " + std::to_string(tier));
        world->setTier(tier);
        world->setSun(0.35f);
        world->drawFrame();
        std::vector<std::uint8_t> render;
        gfx().readPixels(0, 0, kWidth, kHeight, render);
        ASSERT_EQ(render.size(), static_cast<std::size_t>(kWidth) * kHeight * 4);
        const std::string name = "world/world_tier" + std::to_string(tier) + ".png";
        if (update) {
            const std::string path = std::string(SKYFRONT_SOURCE_DIR) + "/tests/golden/" + name;
            EXPECT_TRUE(writePngFile(path, kWidth, kHeight, render)) << path;
            continue;
        }
        FileBuffer file(golden::read(name));
        TextureImage reference;
        ASSERT_TRUE(decodePng(file, reference)) << name << " is missing or damaged";
        ASSERT_EQ(reference.width, kWidth);
        ASSERT_EQ(reference.height, kHeight);
        const Comparison c = compare(reference, render);
        const double share = static_cast<double>(c.differing) / (kWidth * kHeight);
        EXPECT_LE(share, kMaxDifferingShare) << c.differing << " pixels differ by more than " << kPixelTolerance;
        EXPECT_LE(c.meanDifference, kMaxMeanDifference);
        // Where it differs, for a person to look at.
        const std::string mapPath =
            std::string(SKYFRONT_BINARY_DIR) + "/world_tier" + std::to_string(tier) + "_difference.png";
        EXPECT_TRUE(writePngFile(mapPath, kWidth, kHeight, c.map)) << mapPath;
        std::printf("tier %d: %d pixels beyond the tolerance (%.3f%%), mean difference %.3f\n", tier, c.differing,
                    share * 100.0, c.meanDifference);
    }
}

}  // namespace
