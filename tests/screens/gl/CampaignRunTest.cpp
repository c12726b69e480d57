// The game itself under Xvfb: the first campaign mission started by
// "-autostart 1:c1m1" through the campaign start, a frame of it written to
// build/campaign/ with the mission's opening notice and its objective panel,
// and the game leaving cleanly with the mission's AI pilots still in the air.
// Missions of two hours on one map: each scene takes its record's sun and its
// map's light and fog, and a look up finds the sun where that hour puts it.
#include "StagedGame.h"

#include "platform/File.h"
#include "render/assets/ImageLoaders.h"
#include "render/assets/TextureImage.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <sys/wait.h>

namespace {
namespace fs = std::filesystem;

TEST(CampaignRun, TheFirstMissionStartsByItsNameAndTheGameQuitsCleanly)
{
    StagedGame game;
    if (!game.prepare())
        GTEST_SKIP() << "the game is not staged";
    const int code = game.run("-width 960 -height 640 -fixeddt 0.0166667 -autostart 1:c1m1 -frames 520 "
                              "-dumpframe 510:campaign-play.png");
    ASSERT_EQ(code, 0) << game.errors();
    EXPECT_EQ(game.errors().find("no campaign mission"), std::string::npos);

    TextureImage shot;
    ASSERT_TRUE(game.loadShot("campaign-play.png", shot, "campaign"));
    ASSERT_EQ(shot.width, 960);
    // Sky above the airplane flying level at the start: blue over red, on
    // both sides of the mission's opening notice in the middle.
    const auto& p = shot.levels[0];
    int sky = 0;
    for (int x : {20, 60, 100, 140, 180, 220, 740, 780, 820, 860, 900, 940}) {
        const std::size_t i = (static_cast<std::size_t>(200) * shot.width + static_cast<std::size_t>(x)) * 4;
        sky += p[i + 2] > p[i] + 10 ? 1 : 0;
    }
    EXPECT_GE(sky, 10);

    // The objective panel: its first row sits left of the middle, at 256..383
    // x 360..389 at 960 x 640. Inside, the row's dark plate with the goal's
    // white icon and count; right of it, the view.
    auto share = [&](int x0, int y0, int x1, int y1, auto test) {
        int hits = 0, total = 0;
        for (int y = y0; y < y1; y += 2)
            for (int x = x0; x < x1; x += 2, ++total) {
                const std::size_t i = (static_cast<std::size_t>(y) * shot.width + static_cast<std::size_t>(x)) * 4;
                hits += test(p[i], p[i + 1], p[i + 2]) ? 1 : 0;
            }
        return static_cast<float>(hits) / static_cast<float>(total);
    };
    const auto plate = [](int r, int g, int b) { return r < 90 && g < 110 && b < 120 && b > r; };
    const auto white = [](int r, int g, int b) { return std::min({r, g, b}) > 200; };
    EXPECT_GT(share(262, 364, 378, 386, plate), 0.6f) << "the objective row's plate";
    EXPECT_GT(share(262, 364, 378, 386, white), 0.01f) << "its icon and count";
    EXPECT_LT(share(392, 364, 440, 386, plate), 0.05f) << "the view beside the panel";
}

// c1m1's record sets the sun at 0.35, c1m5's at 0.67: both 62 degrees up, on
// opposite sides. A drag on the view turns the look up and to the right, where
// the morning sun stands and the afternoon's does not.
TEST(CampaignRun, EachMissionFliesAtItsRecordsHourUnderItsMapsLightAndFog)
{
    StagedGame game;
    if (!game.prepare())
        GTEST_SKIP() << "the game is not staged";
    const std::string look =
        "440 mousedown 700 560\n445 mousemove 700 500\n450 mousemove 700 400\n455 mousemove 700 250\n"
        "460 mousemove 700 120\n";
    struct Hour {
        const char* mission;
        const char* sun;
        bool sunUpRight;
    };
    for (const Hour& hour : {Hour{"c1m1", "0.35", true}, Hour{"c1m5", "0.67", false}}) {
        SCOPED_TRACE(hour.mission);
        const std::string shot = std::string("look-up-") + hour.mission + ".png";
        ASSERT_EQ(game.runScript(look, std::string("-width 960 -height 640 -fixeddt 0.0166667 -autostart 1:") +
                                           hour.mission + " -frames 520 -dumpframe 510:" + shot),
                  0)
            << game.errors();
        const std::string log = game.log();
        EXPECT_NE(log.find(std::string("the sun stands at ") + hour.sun), std::string::npos);
        // The channel coast's warm light; its fog 3000 past the record's start,
        // ending where the map's density leaves a twentieth of the light.
        EXPECT_NE(log.find("the map's light 255 244 224, fog from 6000 to 60000"), std::string::npos);
        EXPECT_EQ(log.find("does not load; the sky stays plain"), std::string::npos);
        TextureImage image;
        ASSERT_TRUE(game.loadShot(shot, image, "campaign"));
        ASSERT_EQ(image.width, 960);
        int disc = 0, sky = 0;
        for (int y = 15; y < 105; ++y)
            for (int x = 668; x < 740; ++x) {
                const std::uint8_t* p = &image.levels[0][(static_cast<std::size_t>(y) * image.width + x) * 4];
                disc += std::min({p[0], p[1], p[2]}) >= 245 ? 1 : 0;
                sky += p[2] > p[0] + 40 ? 1 : 0;
            }
        if (hour.sunUpRight) {
            EXPECT_GT(disc, 600) << "the sun's disc";
        } else {
            EXPECT_EQ(disc, 0) << "no sun there";
            EXPECT_GT(sky, 72 * 90 * 9 / 10) << "blue sky where the morning sun stood";
        }
    }
}

}  // namespace
