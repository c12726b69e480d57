// The tutorials' pointers drawn over the real flight HUD: the camera-drag
// gesture, the arrows beside the weapon gauges and the first weapon button
// (also mirrored), the red hands-off panel and the dark screen of the
// landing lesson. Written to build/tutorials/*.png for a look; each check
// finds the pointer's own colours where it belongs.
#include "GlTestContext.h"

#include "entities/aircraft/Airplane.h"
#include "gamedata/records/PlaneCfg.h"
#include "modes/Match.h"
#include "modes/tutorials/TutorialGameMode_ARCADE.h"
#include "modes/tutorials/TutorialGameMode_HUD.h"
#include "modes/tutorials/TutorialGameMode_SIMPLEWEAPONS.h"
#include "modes/tutorials/TutorialGameMode_TAKEOFFLAND.h"
#include "modes/tutorials/TutorialOverlay.h"
#include "platform/Clock.h"
#include "platform/File.h"
#include "platform/Language.h"
#include "platform/ScreenMetrics.h"
#include "platform/Settings.h"
#include "render/2d/Render2D.h"
#include "render/2d/SpriteSets.h"
#include "render/assets/ImageWriter.h"
#include "screens/hud/HudMessageQueue.h"
#include "screens/hud/PlaneHud.h"
#include "screens/hud/TutorialHudBridge.h"
#include "support/modes/TestConnections.h"

#include <filesystem>
#include <string>

namespace {
constexpr Rgba kSky{104, 140, 172, 255};
constexpr int kW = 1280, kH = 720;

struct TutorialPictures : GlTest {
    void SetUp() override
    {
        GlTest::SetUp();
        if (IsSkipped())
            return;
        setDataRoot(std::string(SKYFRONT_STAGE_DIR) + "/");
        ASSERT_TRUE(setScreenSize(kW, kH));
        unloadSprite(kSpriteSetHud);
        unloadSprite(TutorialOverlay::kSpriteSet);
        setSpriteLoadScale(screenMetrics().spriteScale);
        reloadFonts();
        ASSERT_TRUE(setLanguageByIndex(0));
        useTarget(kW, kH);
        std::filesystem::create_directories(SKYFRONT_BINARY_DIR "/tutorials");
        ASSERT_GE(getSprite(TutorialOverlay::kSpriteSet)->frameCount(), 12) << "the tutorial sheet is not staged";
        HudMessageQueue::instance().reset();
        settings().flipControls = 0;
        planeHud().init(nullptr);
        planeHud().setControlScheme(0);
        planeHud().active = true;
        planeHud().showAllButtons();
        // The pulse at its brightest for the picture.
        setFrameDelta(0.3141593f);
    }
    void TearDown() override
    {
        if (!IsSkipped()) {
            HudMessageQueue::instance().clearAll();
            settings().flipControls = 0;
            unloadStringTables();
        }
        GlTest::TearDown();
    }

    // A tutorial in a match of its own, reaching the game's tutorial HUD.
    template <typename Mode>
    struct TutorialMatch {
        std::unique_ptr<Match> match;
        Mode* mode = nullptr;
        Mode* operator->() const { return mode; }
        Mode& operator*() const { return *mode; }
    };
    template <typename Mode>
    TutorialMatch<Mode> tutorialAt(int step)
    {
        ModeHooks hooks;
        hooks.tutorial = &tutorialHudBridge();
        TutorialMatch<Mode> made;
        made.match = Match::create(std::make_unique<Mode>(), testConnections(hooks));
        made.mode = static_cast<Mode*>(&made.match->mode());
        made.mode->step = step;
        return made;
    }
    // The sky, the HUD and the tutorial's drawing over them.
    void drawOver(GameMode& mode)
    {
        clearTo(kSky);
        HudGameState state;
        state.player.exists = state.player.inPlay = true;
        state.player.speed = 150.0f;
        state.player.position = {0.0f, 1500.0f, 0.0f};
        state.player.health = 1.0f;
        planeHud().update(state);
        planeHud().draw();
        mode.drawHud();
        // Half a pulse a frame from here: every picture at full brightness.
        setFrameDelta(0.6283185f);
    }
    void save(const std::string& name)
    {
        const std::vector<Rgba> pixels = rect(0, 0, kW, kH);
        ASSERT_TRUE(writePngFile(SKYFRONT_BINARY_DIR "/tutorials/" + name, kW, kH,
                                 {reinterpret_cast<const std::uint8_t*>(pixels.data()), pixels.size() * 4}));
    }
    Rgba at(float x, float y) { return pixel(static_cast<int>(x), kH - 1 - static_cast<int>(y)); }
    static bool orange(const Rgba& c) { return c.r > 200 && c.g > 100 && c.g < 180 && c.b < 80; }
    // Orange pixels of the arrow in a box around a point.
    int orangeNear(float x, float y, float half)
    {
        int n = 0;
        for (float py = y - half; py <= y + half; py += 1.0f)
            for (float px = x - half; px <= x + half; px += 1.0f)
                if (px >= 0 && py >= 0 && px < kW && py < kH && orange(at(px, py)))
                    ++n;
        return n;
    }
    ITutorialHud::Rect element(int id)
    {
        ITutorialHud::Rect r;
        EXPECT_TRUE(tutorialHudBridge().elementRect(id, r)) << id;
        return r;
    }
};
}  // namespace

TEST_F(TutorialPictures, HudTutorialDragGestureAtTheCentre)
{
    auto mode = tutorialAt<TutorialGameMode_HUD>(2);
    // Three frames of a second: the arrow has slid 60 units and faded a little.
    for (int i = 0; i < 3; ++i) {
        setFrameDelta(1.0f);
        drawOver(*mode);
    }
    save("hud_step2_gesture.png");
    // In the middle column just under the hands-off panel, whose text stays clear.
    const float cx = kW / 2.0f;
    const float cy = TutorialOverlay::gestureY(static_cast<float>(kH), screenMetrics().uiScale,
                                               getSprite(TutorialOverlay::kSpriteSet)->frameRect(
                                                   TutorialOverlay::kRingFrame).h);
    EXPECT_GT(cy, kH / 2.0f + TutorialOverlay::kPanelHeight * 0.5f * screenMetrics().uiScale);
    EXPECT_EQ(orangeNear(cx, kH / 2.0f, 14.0f), 0) << "nothing of the gesture on the panel's text";
    // The fingertip's orange dot; the arrow slid down and right.
    EXPECT_GT(orangeNear(cx, cy, 6.0f), 20);
    EXPECT_EQ(orangeNear(cx - 150.0f, cy - 150.0f, 20.0f), 0) << "nothing up and left of the touch";
    int along = 0;
    for (float d = 60.0f; d < 260.0f; d += 10.0f)
        along += orangeNear(cx + d * 0.7071f, cy + d * 0.7071f, 4.0f);
    EXPECT_GT(along, 40) << "the arrow on the diagonal";
}

TEST_F(TutorialPictures, HudTutorialArrowPointsAtTheWeaponGauges)
{
    auto mode = tutorialAt<TutorialGameMode_HUD>(5);
    drawOver(*mode);
    save("hud_step5_gauges_arrow.png");
    const ITutorialHud::Rect r = element(TutorialGameMode_HUD::kGaugesElement);
    // Rotated by -135 degrees the arrow points up and left: it sits below and right of the gauges.
    const float tipX = r.x + r.w, tipY = r.y + r.h;
    EXPECT_GT(orangeNear(tipX + 30.0f, tipY + 30.0f, 30.0f), 40) << "arrow below right of the gauges";
    EXPECT_EQ(orangeNear(r.x - 60.0f, r.y + r.h * 0.5f, 20.0f), 0);
}

TEST_F(TutorialPictures, HandsOffPanelInRed)
{
    auto mode = tutorialAt<TutorialGameMode_TAKEOFFLAND>(0);
    drawOver(*mode);
    save("takeoff_hands_off_panel.png");
    const float cx = kW / 2.0f, cy = kH / 2.0f;
    int red = 0;
    for (float y = cy - 20.0f; y <= cy + 20.0f; y += 1.0f)
        for (float x = cx - 200.0f; x <= cx + 200.0f; x += 1.0f) {
            const Rgba c = at(x, y);
            red += c.r > 180 && c.g < 60 && c.b < 60;
        }
    EXPECT_GT(red, 100) << "the red text of the panel";
    EXPECT_TRUE(rgbNear(at(cx, cy + 120.0f), kSky, 8)) << "the panel stays at the centre";
}

TEST_F(TutorialPictures, ArcadePanelWhileTheAutopilotFliesThenTheArrowAtItsButton)
{
    auto mode = tutorialAt<TutorialGameMode_ARCADE>(3);
    PlaneCfg cfg;
    cfg.pMinSpeed = 107.0f;
    cfg.pSpeedSpan = 108.0f;
    auto made = Target::create<Airplane>(*mode, cfg, 0, std::u16string());
    Airplane* plane = made.get();
    mode->addPlayerAirplane(std::move(made), false);
    mode->setPlayerAirplane(plane);
    mode->attachAI(*plane, 1.0f, true);
    drawOver(*mode);
    save("arcade_autopilot_panel.png");
    const float cx = kW / 2.0f, cy = kH / 2.0f;
    auto redAtCentre = [&] {
        int red = 0;
        for (float y = cy - 20.0f; y <= cy + 20.0f; y += 1.0f)
            for (float x = cx - 200.0f; x <= cx + 200.0f; x += 1.0f) {
                const Rgba c = at(x, y);
                red += c.r > 180 && c.g < 60 && c.b < 60;
            }
        return red;
    };
    EXPECT_GT(redAtCentre(), 100);
    // Flown by the player: no panel.
    mode->detachAI(*plane);
    drawOver(*mode);
    EXPECT_EQ(redAtCentre(), 0);
    // The autopilot lesson: the arrow at the autopilot button, the panel gone.
    mode->step = 12;
    setFrameDelta(0.3141593f);  // the arrow's pulse starts here
    drawOver(*mode);
    save("arcade_step12_autopilot_arrow.png");
    const ITutorialHud::Rect r = element(TutorialGameMode_ARCADE::kAutopilotElement);
    // At the screen's corner the arrow comes from inside, within a button's reach of it.
    EXPECT_GT(orangeNear(r.x + r.w * 0.5f, r.y + r.h * 0.5f, r.w * 1.5f), 200) << "the arrow at the autopilot button";
    EXPECT_EQ(orangeNear(kW - r.x - r.w * 0.5f, r.y + r.h * 0.5f, r.w), 0);
    EXPECT_EQ(redAtCentre(), 0);
}

TEST_F(TutorialPictures, LandingLessonDarkensTheScreenWhileTheAircraftMoves)
{
    auto mode = tutorialAt<TutorialGameMode_TAKEOFFLAND>(4);
    drawOver(*mode);
    save("takeoff_step4_dark.png");
    for (const auto& [x, y] : {std::pair{20.0f, 20.0f}, {640.0f, 360.0f}, {1260.0f, 700.0f}}) {
        const Rgba c = at(x, y);
        EXPECT_LT(c.r + c.g + c.b, 90) << x << "," << y;
    }
    mode->step = 6;
    drawOver(*mode);
    EXPECT_TRUE(rgbNear(at(640.0f, 360.0f), kSky, 30)) << "light again on the approach";
}

TEST_F(TutorialPictures, WeaponsArrowLeftOfTheFirstWeaponButtonAndMirrored)
{
    auto mode = tutorialAt<TutorialGameMode_SIMPLEWEAPONS>(2);
    drawOver(*mode);
    save("weapons_step2_arrow.png");
    const ITutorialHud::Rect r = element(TutorialGameMode_SIMPLEWEAPONS::kWeaponSlotElement);
    const float s = screenMetrics().uiScale;
    const float cy = r.y + r.h * 0.5f;
    EXPECT_GT(orangeNear(r.x - 40.0f * s - 30.0f, cy, 12.0f), 40) << "left of the button";
    EXPECT_EQ(orangeNear(r.x + r.w + 60.0f, cy, 12.0f), 0);

    settings().flipControls = 1;
    drawOver(*mode);

    save("weapons_step2_arrow_mirrored.png");
    const float mirroredRight = kW - r.x;
    EXPECT_GT(orangeNear(mirroredRight + 40.0f * s + 30.0f, cy, 12.0f), 40) << "right of the mirrored button";
    EXPECT_EQ(orangeNear(r.x - 40.0f * s - 30.0f, cy, 12.0f), 0);
    // No arrow while a lesson is only explained.
    settings().flipControls = 0;
    mode->step = 9;
    drawOver(*mode);
    EXPECT_EQ(orangeNear(r.x - 40.0f * s - 30.0f, cy, 30.0f), 0);
}
