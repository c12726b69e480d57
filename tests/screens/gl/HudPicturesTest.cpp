// The HUD drawn from the staged data at two screen sizes, written to
// build/hud/*.png for a look, with a notice checked by its panel's pixels.
#include "GlTestContext.h"

#include "platform/File.h"
#include "platform/Language.h"
#include "platform/ScreenMetrics.h"
#include "render/2d/Render2D.h"
#include "render/2d/SpriteSets.h"
#include "render/assets/ImageWriter.h"
#include "screens/hud/HudMessageQueue.h"
#include "screens/hud/PlaneHud.h"

#include <filesystem>
#include <string>

namespace {

constexpr Rgba kSky{96, 128, 156, 255};

struct Objective : IHudTrigger {
    int kind() const override { return 6; }
    int total() const override { return 12; }
    int done() const override { return 5; }
    bool firstTargetInPlay(int& k, int& v, int& t) const override { k = 3, v = -1, t = 1; return true; }
};

struct HudPictures : GlTest, testing::WithParamInterface<std::pair<int, int>> {
    int w = 0, h = 0;
    Objective objective;

    void SetUp() override
    {
        GlTest::SetUp();
        if (IsSkipped())
            return;
        std::tie(w, h) = GetParam();
        setDataRoot(std::string(SKYFRONT_STAGE_DIR) + "/");
        ASSERT_TRUE(setScreenSize(w, h));
        setSpriteLoadScale(screenMetrics().spriteScale);
        ASSERT_TRUE(setLanguageByIndex(0));
        useTarget(w, h);
        std::filesystem::create_directories(SKYFRONT_BINARY_DIR "/hud");
        planeHud().initPanels(nullptr);
        ASSERT_GT(planeHud().sheet()->frameCount(), 68) << "the HUD sheet is not staged";
        HudMessageQueue::instance().reset();
    }
    void TearDown() override
    {
        if (!IsSkipped())
            HudMessageQueue::instance().clearAll();
        GlTest::TearDown();
    }

    // The panels and the queue as the HUD draws them; with `elements` also
    // every placement frame, i.e. each element at its place.
    void drawHud(bool elements)
    {
        clearTo(kSky);
        begin2D();
        PlaneHud& hud = planeHud();
        hud.placePanels(Vec2{});
        hud.drawPanels();
        if (elements)
            drawElementPreview(hud);
        HudMessageQueue& queue = HudMessageQueue::instance();
        queue.drawNotices();
        queue.drawCentre();
        queue.drawLong();
        queue.drawScoreLine();
        hud.drawPlayerList(0, 3);
        end2D();
    }
    // Each element of scheme 0 at its place, with the dials, radar, sights
    // and markers the later HUD passes draw, for a look at the whole sheet.
    void drawElementPreview(PlaneHud& hud)
    {
        for (int row = 0; row < 14; ++row) {
            const HudLayoutRow& r = hud.layout()[static_cast<std::size_t>(row)];
            hud.sheet()->drawFrame(r.frameA, static_cast<float>(r.x), static_cast<float>(r.y));
        }
        CSprite& s = *hud.sheet();
        const auto centre = [&](int module) {
            const CSprite::Rect r = hud.elementRect(&s, module);
            return Vec2{r.x + r.w / 2, r.y + r.h / 2};
        };
        const Vec2 radar = centre(24);
        s.drawFrame(104, radar.x, radar.y);
        s.drawFrame(175, radar.x, radar.y);
        s.drawFrame(110, radar.x, radar.y);
        s.drawFrame(100, radar.x + 30, radar.y - 40);
        s.drawFrame(92, radar.x - 50, radar.y + 20);
        const Vec2 speed = centre(3), altitude = centre(4);
        s.drawFrame(121, speed.x, speed.y, 320.0f * 6.25f / 800.0f);
        s.drawFrame(122, speed.x, speed.y);
        s.drawFrame(121, altitude.x, altitude.y, 4500.0f * 6.25f / 36000.0f);
        s.drawFrame(122, altitude.x, altitude.y);
        const CSprite::Rect drums = hud.elementRect(&s, 159);
        for (int i = 0; i < 3; ++i)
            s.drawModuleAt(161 + (i == 0 ? 4 : i == 1 ? 5 : 0), drums.x + drums.w * (1 + 2 * i) / 6.0f,
                           drums.y + drums.h / 2);
        const CSprite::Rect tens = hud.elementRect(&s, 153), hundreds = hud.elementRect(&s, 152);
        s.drawModule(161 + 8, hundreds.x - hundreds.w, hundreds.y);
        s.drawModule(161 + 7, hundreds.x, hundreds.y);
        s.drawModule(15, tens.x, tens.y);
        const CSprite::Rect alt = hud.elementRect(&s, 4);
        s.drawFrame(156, alt.x + alt.w + 6, alt.y + 15);
        s.drawFrame(157, alt.x + alt.w + 6, alt.y + 15);
        const int icons[3][2] = {{29, 71}, {31, 73}, {34, 75}};
        for (const auto& [button, icon] : icons) {
            const Vec2 c = centre(button);
            s.drawModuleAt(icon, c.x, c.y);
        }
        s.drawFrame(118, w / 2.0f, h / 2.0f);
        s.drawModuleAt(96, w / 2.0f + 26, h / 2.0f - 14);
        const Vec2 target{w * 0.68f, h * 0.36f};
        s.drawFrame(99, target.x, target.y);
        s.drawFrame(130, target.x, target.y);
        s.drawFrame(95, w - 20.0f, h * 0.6f, 1.5708f);
        for (int frame = 124; frame <= 131; ++frame)
            s.drawFrame(frame, w * 0.3f + (frame - 124) * 34.0f, h * 0.78f);
    }
    void save(const std::string& name)
    {
        const std::vector<Rgba> pixels = rect(0, 0, w, h);
        static_assert(sizeof(Rgba) == 4);
        ASSERT_TRUE(writePngFile(SKYFRONT_BINARY_DIR "/hud/" + name, w, h,
                                 {reinterpret_cast<const std::uint8_t*>(pixels.data()), pixels.size() * 4}));
    }
    Rgba screenPixel(int x, int y) { return pixel(x, h - 1 - y); }
    std::string size() const { return std::to_string(w) + "x" + std::to_string(h); }
};

TEST_P(HudPictures, NoticeShowsOnItsPanelUntilItExpires)
{
    HudMessageQueue& queue = HudMessageQueue::instance();
    queue.pushLong(u"\x08;Red Leader\x01; downed a bomber");
    queue.pushLong(u"\x07;Blue Two\x01; hit a flak tower");
    queue.pushNotice(u"Enemy bombers are approaching the airfield", 4.0f, true, false);
    queue.pushCentre(248, Color4{255, 80, 60, 255}, 0.0f);
    queue.setCountdown(12.5f, "TIME");
    queue.registerTrigger(&objective);
    queue.update(0.2f);   // past the pop-in
    queue.update(0.15f);  // the warning half faded
    drawHud(false);
    save("hud_" + size() + ".png");

    // Just inside the notice panel's right end, on the notice's line (its
    // left end may lie over the event lines' panel, which stays).
    const HudMessage& notice = *queue.notices().front();
    const int x = static_cast<int>(w / 2 + notice.width / 2 + 8);
    const int y = static_cast<int>(queue.noticeY);
    const Rgba panel = screenPixel(x, y);
    EXPECT_FALSE(rgbNear(panel, kSky, 12)) << "no panel at " << x << ", " << y;
    EXPECT_GT(panel.b, panel.r) << "the panel is blue";
    EXPECT_LT(panel.r + panel.g + panel.b, kSky.r + kSky.g + kSky.b) << "the panel is darker than the sky";

    queue.update(4.0f);
    ASSERT_EQ(queue.noticeCount(), 0);
    drawHud(false);
    EXPECT_TRUE(rgbNear(screenPixel(x, y), kSky, 3)) << "the notice is gone";

    drawHud(true);
    save("hud_elements_" + size() + ".png");
}

INSTANTIATE_TEST_SUITE_P(Sizes, HudPictures, testing::Values(std::pair{960, 640}, std::pair{1920, 1080}),
                         [](const auto& info) {
                             return std::to_string(info.param.first) + "x" + std::to_string(info.param.second);
                         });

}  // namespace
