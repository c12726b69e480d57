// The flight HUD in play over a sky, the ground and the player's airplane
// seen from behind, at three screen sizes: written to build/hud/play-*.png
// for a look, with the dials and the pause button checked by their pixels.
#include "GlTestContext.h"

#include "modes/progress/AchievementPopup.h"
#include "platform/Clock.h"
#include "platform/File.h"
#include "platform/Language.h"
#include "platform/ScreenMetrics.h"
#include "platform/Settings.h"
#include "platform/StringTable.h"
#include "render/2d/Render2D.h"
#include "render/2d/SpriteSets.h"
#include "render/assets/ImageWriter.h"
#include "screens/hud/HudMessageQueue.h"
#include "screens/hud/PlaneHud.h"

#include <filesystem>
#include <string>

namespace {

constexpr Rgba kSky{104, 140, 172, 255};

struct PlaneHudPictures : GlTest, testing::WithParamInterface<std::pair<int, int>> {
    int w = 0, h = 0;
    PlaneHud hud;
    HudGameState state;

    void SetUp() override
    {
        GlTest::SetUp();
        if (IsSkipped())
            return;
        std::tie(w, h) = GetParam();
        setDataRoot(std::string(SKYFRONT_STAGE_DIR) + "/");
        ASSERT_TRUE(setScreenSize(w, h));
        unloadSprite(kSpriteSetHud);
        setSpriteLoadScale(screenMetrics().spriteScale);
        reloadFonts();
        ASSERT_TRUE(setLanguageByIndex(0));
        useTarget(w, h);
        std::filesystem::create_directories(SKYFRONT_BINARY_DIR "/hud");
        ASSERT_NE(getSprite(kSpriteSetHud), nullptr);
        ASSERT_GT(getSprite(kSpriteSetHud)->frameCount(), 180) << "the HUD sheet is not staged";
        HudMessageQueue::instance().reset();
        hud.init(nullptr);
        hud.setControlScheme(0);
        hud.setWeaponIcons(0, 1, 4);
        settings().metricUnits = 0;
        playerAirplane();
    }
    void TearDown() override
    {
        if (!IsSkipped())
            HudMessageQueue::instance().clearAll();
        setTimeScale(1.0f);
        GlTest::TearDown();
    }

    void playerAirplane()
    {
        HudPlaneState& p = state.player;
        p.exists = p.inPlay = true;
        p.position = {0.0f, 1372.0f, 0.0f};   // 4500 ft
        p.speed = 179.0f;                     // 320 mph
        p.health = 0.62f;
        p.boostReserve = 7.0f;
        p.boostCapacity = 10.0f;
        p.canEject = true;
        p.counter = 3;
        p.hasTarget = true;
        p.weapons[0] = HudWeaponState{true, 0, true, 2};
        p.weapons[1] = HudWeaponState{true, 1, true, 4};
        p.weapons[2] = HudWeaponState{true, 2, true, 0, true, 0.45f};
        state.steeringMode = 0;
    }
    // Sky, ground and the airplane from behind, as the game's chase view sees it.
    void drawBackdrop()
    {
        clearTo(kSky);
        begin2D();
        const float W = static_cast<float>(w), H = static_cast<float>(h), s = H / 640.0f;
        drawFilledRect(0, 0, W, H * 0.35f, 80, 116, 156, 255);
        drawFilledRect(0, H * 0.62f, W, H * 0.38f, 76, 104, 64, 255);
        drawFilledRect(0, H * 0.62f, W, 6 * s, 150, 170, 180, 255);
        const float cx = W / 2, cy = H * 0.56f;
        drawFilledRect(cx - 150 * s, cy - 6 * s, 300 * s, 12 * s, 60, 66, 58, 255);   // wings
        drawFilledRect(cx - 18 * s, cy - 16 * s, 36 * s, 36 * s, 72, 78, 66, 255);    // fuselage
        drawFilledRect(cx - 50 * s, cy - 34 * s, 100 * s, 7 * s, 60, 66, 58, 255);    // tailplane
        drawFilledRect(cx - 3 * s, cy - 62 * s, 6 * s, 46 * s, 60, 66, 58, 255);      // fin
        drawFilledRect(cx - 8 * s, cy - 8 * s, 16 * s, 8 * s, 30, 36, 40, 255);       // canopy
        end2D();
    }
    // One frame of play: the update, then the draw over the backdrop.
    void frame(float dt)
    {
        setFrameDelta(dt);
        hud.update(state);
        drawBackdrop();
        hud.draw();
        state.player.position.x += state.player.speed * dt;
    }
    void save(const std::string& name)
    {
        const std::vector<Rgba> pixels = rect(0, 0, w, h);
        ASSERT_TRUE(writePngFile(SKYFRONT_BINARY_DIR "/hud/" + name, w, h,
                                 {reinterpret_cast<const std::uint8_t*>(pixels.data()), pixels.size() * 4}));
    }
    Rgba screenPixel(int x, int y) { return pixel(x, h - 1 - y); }
    std::string size() const { return std::to_string(w) + "x" + std::to_string(h); }
    // How many pixels of the rectangle differ from the backdrop drawn without the HUD.
    int changedPixels(const std::vector<Rgba>& before, const CSprite::Rect& r)
    {
        const std::vector<Rgba> after = rect(0, 0, w, h);
        int changed = 0;
        for (int y = static_cast<int>(r.y); y < static_cast<int>(r.y + r.h); ++y)
            for (int x = static_cast<int>(r.x); x < static_cast<int>(r.x + r.w); ++x) {
                const std::size_t i = static_cast<std::size_t>((h - 1 - y) * w + x);
                if (!rgbNear(after[i], before[i], 6))
                    ++changed;
            }
        return changed;
    }
};

TEST_P(PlaneHudPictures, DialsButtonsAndMessagesOverTheFlight)
{
    drawBackdrop();
    const std::vector<Rgba> bare = rect(0, 0, w, h);
    HudMessageQueue& queue = HudMessageQueue::instance();
    queue.pushLong(u"\x08;Red Leader\x01; downed a bomber");
    queue.pushLong(u"\x07;Blue Two\x01; hit a flak tower");
    queue.pushCentre(248, Color4{255, 80, 60, 255}, 0.0f);
    for (int i = 0; i < 60; ++i)
        frame(1.0f / 60.0f);
    drawBackdrop();
    hud.draw();
    save("play-" + size() + ".png");

    const CSprite::Rect speed = hud.elementRect(nullptr, PlaneHud::kSpeedDial);
    const CSprite::Rect altimeter = hud.elementRect(nullptr, PlaneHud::kAltimeter);
    EXPECT_GT(changedPixels(bare, speed), static_cast<int>(speed.w * speed.h / 2)) << "the speed dial";
    EXPECT_GT(changedPixels(bare, altimeter), static_cast<int>(altimeter.w * altimeter.h / 2)) << "the altimeter";
    HudButton* pause = hud.button(3);
    ASSERT_NE(pause, nullptr);
    const Vec2 p = pause->screenPos();
    const CSprite::Rect pauseRect{p.x, p.y, pause->size.x, pause->size.y};
    EXPECT_GT(changedPixels(bare, pauseRect), static_cast<int>(pause->size.x * pause->size.y / 2)) << "pause";
    // The two bars of the pause symbol are white.
    const Rgba bar = screenPixel(static_cast<int>(p.x + pause->size.x * 20.0f / 52.0f),
                                 static_cast<int>(p.y + pause->size.y / 2.0f));
    EXPECT_GT(bar.r + bar.g + bar.b, 600) << bar;
    // An earned achievement shows over the flight, and goes in a blackout.
    for (const bool dark : {false, true}) {
        state.blackingOut = dark;
        achievementPopup().clear();
        frame(0.0f);
        const std::vector<Rgba> without = rect(0, 0, w, h);
        ASSERT_TRUE(achievementPopup().push(253, 6));
        for (int i = 0; i < 60; ++i)
            achievementPopup().update(1.0f / 60.0f);
        const auto p = achievementPopup().panel(w, h, screenMetrics().uiScale);
        frame(0.0f);
        EXPECT_EQ(changedPixels(without, {p.x, p.y, p.w, p.h}) > p.w * p.h / 4, !dark);
    }
    achievementPopup().clear();
}

TEST_P(PlaneHudPictures, RoundOverShowsOnlyThePauseButtonAndFastForward)
{
    for (int i = 0; i < 40; ++i)
        frame(1.0f / 60.0f);
    hud.roundOver = true;
    hud.fade = {+1, 0.0f, 0.0f};
    drawBackdrop();
    hud.draw();
    save("roundover-" + size() + ".png");
    const ScreenMetrics& m = screenMetrics();
    // The middle of the left arrow, 11 art pixels left of the symbol's centre.
    const Rgba ff = screenPixel(static_cast<int>(w - 80.0f * m.screenScaleX - 11.0f),
                                static_cast<int>(h - 80.0f * m.screenScaleY));
    EXPECT_GT(ff.r + ff.g + ff.b, 600) << "the fast-forward arrows";
}

TEST_P(PlaneHudPictures, PressedPadAndFlippedControls)
{
    settings().flipControls = 1;
    hud.layoutDpad(true);
    for (int i = 0; i < 40; ++i)
        frame(1.0f / 60.0f);
    const ControlsDpad& pad = hud.dpad();
    hud.onTouchDown(5, static_cast<int>(pad.area.x + pad.area.w / 2), static_cast<int>(pad.area.y + pad.area.h / 2));
    hud.onTouchMove(5, static_cast<int>(pad.area.x + pad.area.w / 2 + 30),
                    static_cast<int>(pad.area.y + pad.area.h / 2 - 20));
    drawBackdrop();
    hud.draw();
    save("flipped-" + size() + ".png");
    settings().flipControls = 0;
    EXPECT_EQ(hud.dpad().touchId(), 5);
}

// The flag carrier's warning (and the respawn countdown in its place) stands
// on a line 60 scaled units above the bottom edge, centred, nothing below it.
TEST_P(PlaneHudPictures, CarrierWarningStandsAboveTheBottomEdge)
{
    drawBackdrop();
    const std::vector<Rgba> bare = rect(0, 0, w, h);
    const std::u16string* warning = findStringTable().text(88);
    ASSERT_NE(warning, nullptr);
    state.respawnText = *warning;
    for (int i = 0; i < 10; ++i)
        frame(1.0f / 60.0f);
    drawBackdrop();
    hud.draw();
    save("carrier-warning-" + size() + ".png");
    const ScreenMetrics& m = screenMetrics();
    const float line = static_cast<float>(h) - 60.0f * m.screenScaleY;
    const float half = 120.0f * m.screenScaleX;
    const CSprite::Rect above{w / 2.0f - half, line - 30.0f * m.screenScaleY, 2.0f * half, 30.0f * m.screenScaleY};
    const CSprite::Rect below{w / 2.0f - half, line + 3.0f, 2.0f * half, 50.0f * m.screenScaleY};
    EXPECT_GT(changedPixels(bare, above), static_cast<int>(above.w * above.h / 20)) << "the warning's letters";
    EXPECT_EQ(changedPixels(bare, below), 0) << "nothing under the line";
}

INSTANTIATE_TEST_SUITE_P(Sizes, PlaneHudPictures,
                         testing::Values(std::pair{960, 640}, std::pair{1280, 720}, std::pair{1920, 1080}),
                         [](const auto& info) {
                             return std::to_string(info.param.first) + "x" + std::to_string(info.param.second);
                         });

}  // namespace
