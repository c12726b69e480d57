// The game itself under Xvfb: the first campaign mission started by
// "-autostart 1:c1m1" through the campaign start, a frame of it written to
// build/campaign/ with the mission's opening notice, and the game leaving cleanly with the mission's AI pilots
// still in the air.
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
}

}  // namespace
