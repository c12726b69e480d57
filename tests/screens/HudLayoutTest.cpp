#include "HudTestSupport.h"

#include "platform/Clock.h"
#include "platform/ScreenMetrics.h"
#include "platform/Settings.h"
#include "render/2d/CSprite.h"
#include "screens/hud/PlaneHud.h"

#include <gtest/gtest.h>

namespace {

// A HUD sheet whose layout frames place a few modules; loaded at 1.5 times
// its own scale, so offsets of 3 sheet pixels land on 4.5 screen pixels.
struct HudLayout : testing::Test {
    CSprite sheet;
    PlaneHud hud;
    SpriteSheet s;

    void part(int frame, int module, int x, int y)
    {
        // Frames are filled in ascending order, so each one's parts stay together.
        SpriteSheet::Frame& f = s.frames[static_cast<std::size_t>(frame)];
        if (f.partCount == 0)
            f.firstPart = static_cast<std::uint16_t>(s.parts.size());
        s.parts.push_back(SpriteSheet::Part{static_cast<std::uint16_t>(module), static_cast<std::int16_t>(x),
                                            static_cast<std::int16_t>(y), 0, 0.0f});
        ++f.partCount;
    }

    void SetUp() override
    {
        ASSERT_TRUE(setScreenSize(960, 640));
        s.texWidth = s.texHeight = 256;
        s.modules.assign(200, SpriteSheet::Module{0, 0, 8, 4});
        s.modules[3] = {0, 0, 20, 10};
        s.frames.resize(70);
        part(1, 6, 1, 1);        // row 0, frame A: module 6 here and in frame B
        part(1, 3, -30, 5);
        part(1, 9, 3, -3);
        part(2, 6, 100, 100);
        part(3, 3, 0, 0);        // row 1 repeats module 3: row 0 keeps it
        part(4, 5, 2, 2);        // row 1 frame B before row 2 frame A
        part(5, 5, 4, 4);
        part(8, 8, -20, 0);      // row 3 (not mirrorable) picture
        part(9, 7, 1, 1);        // module 7 twice: the first part places it
        part(9, 7, 9, 9);
        part(20, 8, -20, 0);     // row 9 (mirrorable) picture
        sheet.loadSheet(s, 1.5f);
        hud.initPanels(&sheet);
        setFrameDelta(0.25f);
    }
    void TearDown() override
    {
        settings().flipControls = 0;
        setScreenSize(960, 640);
    }
};

void expectRect(const CSprite::Rect& r, float x, float y, float w, float h)
{
    EXPECT_FLOAT_EQ(r.x, x);
    EXPECT_FLOAT_EQ(r.y, y);
    EXPECT_FLOAT_EQ(r.w, w);
    EXPECT_FLOAT_EQ(r.h, h);
}

TEST_F(HudLayout, TableFollowsTheAnchorsAndFrameNumbers)
{
    const auto& rows = hud.layout();
    EXPECT_EQ(rows[0].x, 960);
    EXPECT_EQ(rows[1].y, 320);
    EXPECT_EQ(rows[5].x, 480);
    EXPECT_EQ(rows[5].y, 640);
    EXPECT_EQ(rows[33].frameA, 67);
    EXPECT_EQ(rows[33].frameB, 68);
    EXPECT_EQ(rows[8].place, 2);
    EXPECT_EQ(rows[9].mirrorable, 1);
    EXPECT_EQ(rows[2].flags, 3);
    EXPECT_EQ(hud.panels().size(), 35u);
    EXPECT_FALSE(hud.layoutPanel(7).followsShake);
}

TEST_F(HudLayout, ElementRectsPreferLowerRowsAndFrameA)
{
    expectRect(hud.elementRect(&sheet, 3), 960 - 45, 8, 30, 15);     // row 0 over row 1
    expectRect(hud.elementRect(&sheet, 6), 960 + 2, 2, 12, 6);       // frame A over frame B
    expectRect(hud.elementRect(&sheet, 5), 960 + 3, 320 + 3, 12, 6); // row 1's frame B over row 2's frame A
    expectRect(hud.elementRect(&sheet, 7), 480 + 2, 320 + 2, 12, 6); // the first part using it
    // Offsets rounded after the scale: 4.5 and -4.5 go away from zero.
    expectRect(hud.elementRect(&sheet, 9), 960 + 5, -5, 12, 6);
}

TEST_F(HudLayout, AbsentModuleGivesOriginAndScaledSize)
{
    expectRect(hud.elementRect(&sheet, 150), 0, 0, 12, 6);
    expectRect(hud.elementRect(&sheet, 5000), 0, 0, 0, 0);
    expectRect(hud.elementRect(&sheet, -1), 0, 0, 0, 0);
}

TEST_F(HudLayout, PanelForElementLooksAtOneFrameKind)
{
    EXPECT_EQ(&hud.panelForElement(5, false), &hud.layoutPanel(2));
    EXPECT_EQ(&hud.panelForElement(5, true), &hud.layoutPanel(1));
    EXPECT_EQ(&hud.panelForElement(150, false), &hud.layoutPanel(0));
}

TEST_F(HudLayout, ResizeMovesElementRectsWithThePanels)
{
    ASSERT_TRUE(setScreenSize(1200, 800));
    expectRect(hud.elementRect(&sheet, 5), 1200 + 3, 400 + 3, 12, 6);
    hud.placePanels(Vec2{});
    EXPECT_FLOAT_EQ(hud.layoutPanel(1).position.x, 1200.0f);
    EXPECT_FLOAT_EQ(hud.layoutPanel(1).anchorOffset.y, 400.0f);
}

TEST_F(HudLayout, AChangeOfTheHeightAloneRebuildsTheLayout)
{
    expectRect(hud.elementRect(&sheet, 5), 960 + 3, 320 + 3, 12, 6);
    ASSERT_TRUE(setScreenSize(960, 800));
    expectRect(hud.elementRect(&sheet, 5), 960 + 3, 400 + 3, 12, 6);
    hud.placePanels(Vec2{});
    EXPECT_FLOAT_EQ(hud.layoutPanel(1).anchorOffset.y, 400.0f);
}

TEST_F(HudLayout, MiddleAnchorsRewriteTheStoredAnchor)
{
    for (int anchor : {1, 4}) {
        HudPanel panel(HudLayoutRow{anchor, 7, 9, -1, -1, 0, 0, 0, 7}, &sheet);
        panel.place(Vec2{});
        EXPECT_FLOAT_EQ(panel.anchorOffset.y, 320.0f) << anchor;
        EXPECT_FLOAT_EQ(panel.anchorOffset.x, 7.0f) << anchor;
    }
    HudPanel left(HudLayoutRow{7, 7, 9, -1, -1, 0, 0, 0, 7}, &sheet);
    left.place(Vec2{});
    EXPECT_FLOAT_EQ(left.anchorOffset.x, 0.0f);
    EXPECT_FLOAT_EQ(left.anchorOffset.y, 320.0f);
    HudPanel corner(HudLayoutRow{0, 7, 9, -1, -1, 0, 0, 0, 7}, &sheet);
    corner.place(Vec2{});
    EXPECT_FLOAT_EQ(corner.anchorOffset.y, 9.0f);
    EXPECT_FLOAT_EQ(corner.position.x, 960.0f);
    HudPanel top(HudLayoutRow{6, 0, 50, -1, -1, 0, 0, 0, 7}, &sheet);
    top.place(Vec2{3, 4});
    EXPECT_FLOAT_EQ(top.position.x, 3.0f);
    EXPECT_FLOAT_EQ(top.position.y, 54.0f);
    HudPanel fixed(HudLayoutRow{8, 0, 640, -1, -1, 2, 0, 0, 7}, &sheet);
    fixed.place(Vec2{3, 4});
    EXPECT_FLOAT_EQ(fixed.position.x, 0.0f);
    EXPECT_FLOAT_EQ(fixed.position.y, 640.0f);
}

TEST_F(HudLayout, SlideInterpolatesThenShakes)
{
    HudPanel& panel = hud.layoutPanel(3);   // top centre
    panel.startSlide(Vec2{0.0f, -200.0f}, 0.5f);
    panel.place(Vec2{5, 5});
    EXPECT_FLOAT_EQ(panel.position.x, 480.0f);
    EXPECT_FLOAT_EQ(panel.position.y, -100.0f);
    panel.place(Vec2{5, 5});
    EXPECT_FLOAT_EQ(panel.position.y, 0.0f);
    EXPECT_TRUE(panel.slide.active);
    panel.place(Vec2{5, 5});
    EXPECT_FALSE(panel.slide.active);
    EXPECT_FLOAT_EQ(panel.position.x, 485.0f);
    EXPECT_FLOAT_EQ(panel.position.y, 5.0f);
}

TEST_F(HudLayout, FlipMirrorsOnlyMirrorablePanels)
{
    hud.placePanels(Vec2{});
    settings().flipControls = 1;
    {
        QuadRecorder recorder;
        hud.layoutPanel(9).draw();   // mirrorable: the picture at W - x, mirrored
        const auto& quads = recorder.take();
        ASSERT_EQ(quads.size(), 1u);
        EXPECT_FLOAT_EQ(quads[0].minX, 18.0f);
        EXPECT_FLOAT_EQ(quads[0].maxX, 30.0f);
    }
    {
        QuadRecorder recorder;
        hud.layoutPanel(3).draw();   // not mirrorable: where it stands
        const auto& quads = recorder.take();
        ASSERT_EQ(quads.size(), 1u);
        EXPECT_FLOAT_EQ(quads[0].minX, 480.0f - 30.0f);
    }
    {
        QuadRecorder recorder;
        hud.layoutPanel(9).visible = false;
        hud.layoutPanel(9).draw();
        hud.layoutPanel(3).flags = 6;   // bit 0 clear: not drawn
        hud.layoutPanel(3).draw();
        EXPECT_TRUE(recorder.take().empty());
    }
}

}  // namespace
