// The game itself under Xvfb in a bot match started by "-autostart": the
// radar, the markers and the edge arrows of the other team, written to
// build/hud/game-radar-*.png and found by their pixels.
#include "StagedGame.h"

#include "platform/File.h"
#include "platform/ScreenMetrics.h"
#include "render/2d/CSprite.h"
#include "render/2d/SpriteSets.h"
#include "render/assets/ImageLoaders.h"
#include "render/assets/TextureImage.h"
#include "screens/hud/HudMarkers.h"
#include "screens/hud/PlaneHud.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <sys/wait.h>

namespace {
namespace fs = std::filesystem;

std::array<int, 3> pixelAt(const TextureImage& shot, float x, float y)
{
    const std::size_t i = (static_cast<std::size_t>(y) * shot.width + static_cast<std::size_t>(x)) * 4;
    const auto& p = shot.levels[0];
    return {p[i], p[i + 1], p[i + 2]};
}

// The HUD laid out from the staged sheet at the runs' window size.
bool stagedHud(PlaneHud& hud)
{
    setDataRoot(SKYFRONT_STAGE_DIR "/");
    if (!setScreenSize(960, 640))
        return false;
    unloadSprite(kSpriteSetHud);
    setSpriteLoadScale(screenMetrics().spriteScale);
    hud.initPanels(nullptr);
    return true;
}

TEST(GameRadarRun, ABotMatchShowsTheRadarAndTheOtherTeamsMarks)
{
    StagedGame game;
    if (!game.prepare())
        GTEST_SKIP() << "the game is not staged";

    // A team match on the first map; the game is up well before frame 500.
    const int code = game.run("-width 960 -height 640 -fixeddt 0.0166667 -autostart 3:0 -frames 505 "
                              "-dumpframe 500:game-radar-team.png");
    ASSERT_EQ(code, 0) << game.errors();
    TextureImage shot;
    ASSERT_TRUE(game.loadShot("game-radar-team.png", shot, "hud"));
    auto at = [&](float x, float y) { return pixelAt(shot, x, y); };

    PlaneHud hud;
    ASSERT_TRUE(stagedHud(hud));
    const CSprite::Rect radar = hud.elementRect(nullptr, HudElementList::kRadarPlace);
    ASSERT_GT(radar.w, 50.0f);
    // The own plane in dark blue at the radar's centre.
    const auto own = at(static_cast<int>(radar.x + radar.w / 2.0f), static_cast<int>(radar.y + radar.h / 2.0f));
    EXPECT_LT(own[0], 60);
    EXPECT_LT(own[1], 60);
    EXPECT_GT(own[2], 100);
    // The other team's marks (insignia, arrows) outside the radar, in their orange.
    int marks = 0;
    for (int y = 0; y < 640; ++y)
        for (int x = 0; x < 960; ++x) {
            if (x >= radar.x && x < radar.x + radar.w && y >= radar.y && y < radar.y + radar.h)
                continue;
            const auto c = at(x, y);
            if (c[0] > 200 && c[1] > 40 && c[1] < 110 && c[2] < 60)
                ++marks;
        }
    EXPECT_GT(marks, 20);
}

// The first mission's objective is the enemy's fighters: its row at the HUD's
// side shows their icon in the other team's colour while they fly, not the
// grey of a row with nothing in play.
TEST(GameRadarRun, AnAirMissionsObjectiveRowIsInTheEnemysColour)
{
    StagedGame game;
    if (!game.prepare())
        GTEST_SKIP() << "the game is not staged";
    const int code = game.run("-width 960 -height 640 -fixeddt 0.0166667 -autostart 1:c1m1 -frames 405 "
                              "-dumpframe 400:game-objective-row.png");
    ASSERT_EQ(code, 0) << game.errors();
    TextureImage shot;
    ASSERT_TRUE(game.loadShot("game-objective-row.png", shot, "hud"));

    PlaneHud hud;
    ASSERT_TRUE(stagedHud(hud));
    constexpr int kObjectiveRow = 199;
    const CSprite::Rect row = hud.elementRect(nullptr, kObjectiveRow);
    ASSERT_GT(row.w, 20.0f);
    // The icon stands in the row's left half, the count in its right.
    int enemy = 0, grey = 0;
    for (int y = static_cast<int>(row.y); y < static_cast<int>(row.y + row.h); ++y)
        for (int x = static_cast<int>(row.x); x < static_cast<int>(row.x + row.w / 2.0f); ++x) {
            const auto c = pixelAt(shot, static_cast<float>(x), static_cast<float>(y));
            if (c[0] > 200 && c[1] > 40 && c[1] < 110 && c[2] < 60)
                ++enemy;
            if (std::abs(c[0] - 190) < 8 && std::abs(c[1] - 190) < 8 && std::abs(c[2] - 190) < 8)
                ++grey;
        }
    EXPECT_GT(enemy, 20);
    EXPECT_LT(grey, enemy);
}

}  // namespace

namespace {

// A long hard pull darkens the view towards a blackout; past the faint
// start and two the radar is no longer drawn. The darkening lies over the
// HUD's plates and buttons but under its dials, and breathes: two pictures
// three quarters of a second apart, half its beat, differ.
TEST(GameRadarRun, ABlackoutTakesTheRadarAway)
{
    StagedGame game;
    if (!game.prepare())
        GTEST_SKIP() << "the game is not staged";
    const int code = game.runScript("260 keydown Down\n", "-width 960 -height 640 -fixeddt 0.0166667 -autostart 3:0 "
                                                          "-frames 750 -dumpframe 300:game-pull-start.png "
                                                          "-dumpframe 700:game-pull-blackout.png "
                                                          "-dumpframe 745:game-pull-blackout-2.png");
    ASSERT_EQ(code, 0) << game.errors();
    // It goes dark two past the faint start, not before.
    const std::string log = game.log(), line = "the view blacks out ";
    ASSERT_NE(log.find(line), std::string::npos);
    EXPECT_NEAR(std::stof(log.substr(log.find(line) + line.size())), 2.25f, 0.26f);
    TextureImage start, blackout, later;
    ASSERT_TRUE(game.loadShot("game-pull-start.png", start, "hud"));
    ASSERT_TRUE(game.loadShot("game-pull-blackout.png", blackout, "hud"));
    ASSERT_TRUE(game.loadShot("game-pull-blackout-2.png", later, "hud"));
    const auto& at = pixelAt;
    PlaneHud hud;
    ASSERT_TRUE(stagedHud(hud));
    const CSprite::Rect radar = hud.elementRect(nullptr, HudElementList::kRadarPlace);
    const CSprite::Rect pause = hud.elementRect(nullptr, 21);
    const float cx = radar.x + radar.w / 2.0f, cy = radar.y + radar.h / 2.0f;
    auto ownPlane = [&](const TextureImage& shot) {
        const auto own = at(shot, cx, cy);
        return own[0] < 60 && own[1] < 60 && own[2] > 100;
    };
    // The radar's light rim at its left edge, at the height of its centre.
    auto rim = [&](const TextureImage& shot) {
        int light = 0;
        for (float x = radar.x; x < radar.x + radar.w * 0.1f; x += 1.0f) {
            const auto c = at(shot, x, cy);
            light += c[0] + c[1] + c[2] > 450;
        }
        return light > 0;
    };
    EXPECT_TRUE(ownPlane(start) && rim(start)) << "the radar before the pull";
    EXPECT_FALSE(ownPlane(blackout)) << "the radar's own plane in the blackout";
    EXPECT_FALSE(rim(blackout)) << "the radar's rim in the blackout";
    auto sum = [&](const TextureImage& shot, float x, float y) {
        const auto c = at(shot, x, y);
        return c[0] + c[1] + c[2];
    };
    const float barX = pause.x + pause.w * 19.0f / 52.0f, barY = pause.y + pause.h / 2.0f;
    EXPECT_GT(sum(start, barX, barY), 690) << "the pause button before";
    const int dark = sum(blackout, barX, barY), darkLater = sum(later, barX, barY);
    EXPECT_LT(dark, 500) << "the pause button darkens";
    EXPECT_LT(darkLater, 500) << "the pause button darkens";
    EXPECT_GT(std::abs(dark - darkLater), 40) << "the darkening breathes";
    // The dials' hubs stay lit over it.
    const CSprite::Rect dial = hud.elementRect(nullptr, PlaneHud::kSpeedDial);
    EXPECT_GT(sum(blackout, dial.x + dial.w / 2.0f, dial.y + dial.h / 2.0f), 600) << "the speed dial's hub";
}

}  // namespace
