// Target markers, the radar and the gunsight over a flight frame, written
// to build/hud/markers-*.png and checked by their pixels.
#include "GlTestContext.h"

#include "support/screens/HudMarkerFakes.h"

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

#include <filesystem>
#include <string>

namespace {

constexpr int kW = 1280, kH = 720;
constexpr std::uintptr_t kTarget = 1, kWingman = 2, kTank = 3;

struct MarkerPictures : GlTest, HudCameraFixture {
    PlaneHud hud;
    HudGameState state;
    FakeHudObjects objects;

    void SetUp() override
    {
        GlTest::SetUp();
        if (IsSkipped())
            return;
        setDataRoot(std::string(SKYFRONT_STAGE_DIR) + "/");
        ASSERT_TRUE(setScreenSize(kW, kH));
        unloadSprite(kSpriteSetHud);
        setSpriteLoadScale(screenMetrics().spriteScale);
        reloadFonts();
        ASSERT_TRUE(setLanguageByIndex(0));
        useTarget(kW, kH);
        std::filesystem::create_directories(SKYFRONT_BINARY_DIR "/hud");
        ASSERT_GT(getSprite(kSpriteSetHud)->frameCount(), 180) << "the HUD sheet is not staged";
        HudMessageQueue::instance().reset();
        HudElementList::instance().reset();
        hud.init(nullptr);
        hud.setControlScheme(0);
        HudPlaneState& p = state.player;
        p.exists = p.inPlay = true;
        p.health = 0.8f;
        p.position = {0.0f, 1000.0f, 0.0f};
        state.gameType = 9;
        frame.gameType = 9;
        frame.playerPosition = {0.0f, 0.0f, 0.0f};
        frame.viewedVelocity = {0.0f, 0.0f, -150.0f};
        state.objects = &objects;
        HudElementList& list = HudElementList::instance();
        list.sides = {"US", "RED", ""};
        list.hasSides = true;
        objects.names[kTarget] = u"Bandit";
        objects.names[kWingman] = u"Blue Two";
        place(kTarget, {60.0f, 0.0f, -800.0f}, 0, 1);
        place(kWingman, {-2500.0f, 300.0f, -6000.0f}, 0, 0);
        place(kTank, {4000.0f, -900.0f, -9000.0f}, 3, 1);
    }
    void TearDown() override
    {
        if (!IsSkipped()) {
            HudMessageQueue::instance().clearAll();
            HudElementList::instance().reset();
        }
        GlTest::TearDown();
    }
    void place(std::uintptr_t key, Vec3 at, int kind, int team)
    {
        objects.at(key, at).health = 0.6f;
        HudElementList& list = HudElementList::instance();
        list.markers.add(keyRef(key), kind, false, team, frame, objects, &list.sides);
    }
    void run(int frames)
    {
        for (int i = 0; i < frames; ++i) {
            setFrameDelta(1.0f / 30.0f);
            frame.dt = 1.0f / 30.0f;
            state.markers = frame;
            hud.update(state);
            clearTo(Rgba{104, 140, 172, 255});
            begin2D();
            drawFilledRect(0, kH * 0.62f, kW, kH * 0.38f, 76, 104, 64, 255);
            end2D();
            hud.draw();
        }
    }
    void save(const std::string& name)
    {
        const std::vector<Rgba> pixels = rect(0, 0, kW, kH);
        ASSERT_TRUE(writePngFile(SKYFRONT_BINARY_DIR "/hud/" + name, kW, kH,
                                 {reinterpret_cast<const std::uint8_t*>(pixels.data()), pixels.size() * 4}));
    }
    Rgba at(int x, int y) { return pixel(x, kH - 1 - y); }
    static bool reddish(const Rgba& c) { return c.r > 170 && c.g < 90 && c.b < 110; }
};

TEST_F(MarkerPictures, TargetAheadGunsightAndRadar)
{
    // Far off the nose first: the gunsight is white.
    objects.objects[kTarget].position = {900.0f, 0.0f, -800.0f};
    run(2);
    const Rgba idle = at(kW / 2, kH / 2);
    EXPECT_GT(idle.r + idle.g + idle.b, 600) << idle;

    objects.objects[kTarget].position = {60.0f, 0.0f, -800.0f};
    run(3);
    save("markers-ahead.png");
    const HudMarker& m = *HudElementList::instance().markers.find(keyRef(kTarget));
    ASSERT_TRUE(m.visible);
    EXPECT_TRUE(m.onTarget);
    // The insignia of the enemy side ("RED") sits on the projected point.
    EXPECT_TRUE(reddish(at(static_cast<int>(m.screen.x), static_cast<int>(m.screen.y)))) << at(static_cast<int>(m.screen.x), static_cast<int>(m.screen.y));
    // The gunsight at the centre, red once the lead is on target.
    EXPECT_TRUE(reddish(at(kW / 2, kH / 2))) << at(kW / 2, kH / 2);
    // The own plane in dark blue at the radar's centre.
    const CSprite::Rect r = hud.elementRect(nullptr, HudElementList::kRadarPlace);
    const Rgba own = at(static_cast<int>(r.x + r.w / 2.0f), static_cast<int>(r.y + r.h / 2.0f));
    EXPECT_GT(own.b, own.r + 60) << own;
    EXPECT_LT(own.g, 60) << own;
}

TEST_F(MarkerPictures, TargetBehindShowsItsArrowOnTheEdge)
{
    objects.objects[kTarget].position = {400.0f, 100.0f, 1500.0f};
    run(3);
    save("markers-behind.png");
    const HudMarker& m = *HudElementList::instance().markers.find(keyRef(kTarget));
    ASSERT_TRUE(m.offScreen);
    // The arrow's tip is on the edge; its body reaches in, in the enemy colour.
    int orange = 0;
    for (int y = 0; y < kH; ++y)
        for (int x = 0; x < kW; ++x) {
            if (x > 60 && x < kW - 60 && y > 60 && y < kH - 60)
                continue;
            const Rgba c = at(x, y);
            if (c.r > 200 && c.g > 40 && c.g < 110 && c.b < 60)
                ++orange;
        }
    EXPECT_GT(orange, 30);
}

TEST_F(MarkerPictures, NoticeShowsItsIconBesideTheText)
{
    HudMessageQueue& queue = HudMessageQueue::instance();
    queue.setNoticeIcon(3);  // enemy airspace
    queue.pushNotice(u"Entering enemy airspace", 6.0f, false, true);
    queue.setNoticeIcon(99);  // not in the set: no icon, no room kept for one
    queue.pushNotice(u"Nothing beside me", 6.0f, false, true);
    queue.setNoticeIcon(0);
    run(8);
    save("markers-notice.png");
    // The warning triangle's red edge left of the text, inside the panel.
    int red = 0;
    for (int y = 80; y < 240; ++y)
        for (int x = kW / 4; x < kW / 2; ++x)
            if (reddish(at(x, y)))
                ++red;
    EXPECT_GT(red, 40);
}

}  // namespace
