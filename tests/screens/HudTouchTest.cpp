// Where touches go on the flight HUD, and the buttons' hit shapes.
#include "HudPlayFixture.h"

namespace {

using HudTouch = HudPlay;
using Pressed = std::pair<int, bool>;

TEST_F(HudTouch, AControlTakesATouchBeforeTheButtonUnderIt)
{
    hud.showEjectAlways = true;
    hud.update(state);
    // The eject ring's finger margin reaches into the camera drag's area.
    auto eject = centreOf(18);
    while (!hud.camRotate().containsPoint(static_cast<float>(eject.first), static_cast<float>(eject.second)))
        ++eject.first;
    ASSERT_TRUE(hud.button(18)->hitTest(static_cast<float>(eject.first), static_cast<float>(eject.second)));
    hud.onTouchDown(7, eject.first, eject.second);
    EXPECT_EQ(hud.camRotate().touchId(), 7);
    EXPECT_FALSE(hud.button(18)->pressed);
    EXPECT_TRUE(handler.actions.empty());
}

TEST_F(HudTouch, SlidingOffThePadPressesTheButtonBeneath)
{
    ControlsDpad& pad = hud.dpad();
    const int px = static_cast<int>(pad.area.x + pad.area.w / 2.0f), py = static_cast<int>(pad.area.y + pad.area.h / 2.0f);
    hud.onTouchDown(3, px, py);
    ASSERT_EQ(pad.touchId(), 3);
    // Still on its half of the screen: the pad keeps steering.
    hud.onTouchMove(3, px + 20, py - 30);
    EXPECT_EQ(pad.touchId(), 3);
    const auto weapon = centreOf(5);
    hud.onTouchMove(3, weapon.first, weapon.second);
    EXPECT_EQ(pad.touchId(), -1);
    EXPECT_TRUE(hud.button(5)->pressed);
    EXPECT_EQ(handler.actions, (std::vector<Pressed>{{action(ControlAction::Weapon_1), true}}));
}

TEST_F(HudTouch, AWeaponButtonFiresWhereverTheFingerGoesUntilItLifts)
{
    const auto weapon = centreOf(6);
    hud.onTouchDown(2, weapon.first, weapon.second);
    hud.onTouchMove(2, 5, 5);
    hud.onTouchMove(2, 480, 320);
    EXPECT_TRUE(hud.button(6)->pressed);
    EXPECT_EQ(handler.actions.size(), 1u);
    hud.onTouchUp(2, 480, 320);
    EXPECT_FALSE(hud.button(6)->pressed);
    EXPECT_EQ(handler.actions, (std::vector<Pressed>{{action(ControlAction::Weapon_2), true},
                                                      {action(ControlAction::Weapon_2), false}}));
}

TEST_F(HudTouch, AfterRoundOverOnlyPauseAndChatRespond)
{
    state.singlePlayer = false;
    hud.update(state);
    hud.showButtonGroup(17, 0);
    hud.showButtonGroup(26, 0);
    hud.roundOver = true;
    for (int id : {5, 6, 4, 1})
        tap(1, centreOf(id));
    EXPECT_TRUE(handler.actions.empty());
    EXPECT_TRUE(game.calls.empty());
    tap(1, centreOf(3));
    tap(1, centreOf(17));
    tap(1, centreOf(26));
    EXPECT_EQ(game.calls, (std::vector<std::string>{"pause", "chat", "chat custom"}));
}

TEST_F(HudTouch, TheFastForwardZoneRunsTheGameFiveTimesFasterUntilTouchUp)
{
    hud.roundOver = true;
    hud.onTouchDown(4, 700, 500);
    EXPECT_FLOAT_EQ(timeScale(), 5.0f);
    EXPECT_TRUE(hud.fastForwardHeld);
    hud.onTouchUp(4, 700, 500);
    EXPECT_FLOAT_EQ(timeScale(), 1.0f);
    // Outside the bottom-right three-eighths nothing speeds up.
    hud.onTouchDown(5, 590, 500);
    EXPECT_FLOAT_EQ(timeScale(), 1.0f);
}

TEST_F(HudTouch, ThePauseAndReleaseAllNeverLeaveTheGameFastForwarded)
{
    hud.roundOver = true;
    hud.onTouchDown(4, 900, 600);
    hud.onPause();
    EXPECT_FLOAT_EQ(timeScale(), 1.0f);
    EXPECT_FALSE(hud.fastForwardHeld);
    hud.onTouchDown(5, 900, 600);
    hud.releaseAll();
    EXPECT_FLOAT_EQ(timeScale(), 1.0f);
}

struct HudHitTest : testing::Test {
    HudButton b;
    void SetUp() override
    {
        ASSERT_TRUE(setScreenSize(960, 640));
        b.basePos = {100.0f, 100.0f};
        b.size = {50.0f, 30.0f};
    }
    void TearDown() override { settings().flipControls = 0; }
};

TEST_F(HudHitTest, SmallRingsAreHitAtLeastAFingerWide)
{
    b.size = {20.0f, 20.0f};
    b.round = true;
    b.outerRadius = 10.0f;
    b.centreOffset = {10.0f, 10.0f};
    // (100 - 20) / 2 = 40 pixels added: a radius of 50 around (110, 110).
    EXPECT_TRUE(b.hitTest(110.0f + 49.9f, 110.0f));
    EXPECT_TRUE(b.hitTest(110.0f + 50.0f, 110.0f));
    EXPECT_FALSE(b.hitTest(110.0f + 50.1f, 110.0f));
    EXPECT_TRUE(b.hitTest(110.0f, 110.0f)) << "the centre of a ring without a hole";
    b.innerRadius = 5.0f;
    EXPECT_FALSE(b.hitTest(110.0f, 110.0f));
    EXPECT_FALSE(b.hitTest(115.0f, 110.0f));
    EXPECT_TRUE(b.hitTest(115.5f, 110.0f));
    b.visible = false;
    EXPECT_FALSE(b.hitTest(110.0f, 110.0f));
}

TEST_F(HudHitTest, RectanglesHaveAStrictTenPixelMargin)
{
    EXPECT_FALSE(b.hitTest(90.0f, 110.0f));
    EXPECT_TRUE(b.hitTest(90.5f, 110.0f));
    EXPECT_TRUE(b.hitTest(159.5f, 139.5f));
    EXPECT_FALSE(b.hitTest(160.0f, 110.0f));
    EXPECT_FALSE(b.hitTest(120.0f, 140.0f));
    EXPECT_FALSE(b.hitTest(120.0f, 90.0f));
}

TEST_F(HudHitTest, ReachExtendsTheRectangleBothWays)
{
    b.reach = {30.0f, 40.0f};
    EXPECT_TRUE(b.hitTest(189.5f, 179.5f));
    EXPECT_FALSE(b.hitTest(190.0f, 120.0f));
    EXPECT_FALSE(b.hitTest(120.0f, 180.0f));
    b.reach = {0.0f, -100.0f};
    EXPECT_TRUE(b.hitTest(120.0f, -9.5f));
    EXPECT_FALSE(b.hitTest(120.0f, -10.0f));
    EXPECT_TRUE(b.hitTest(120.0f, 239.5f));
    EXPECT_FALSE(b.hitTest(120.0f, 240.0f));
}

TEST_F(HudHitTest, FlipMirrorsMirrorableButtonsAndTheirReach)
{
    settings().flipControls = 1;
    b.reach = {30.0f, 40.0f};
    EXPECT_TRUE(b.hitTest(120.0f, 120.0f)) << "not mirrorable: hit in place";
    b.mirrorable = true;
    // Mirrored: left edge 960 - 100 - 50 = 810; the reach goes left.
    EXPECT_FALSE(b.hitTest(120.0f, 120.0f));
    EXPECT_TRUE(b.hitTest(770.5f, 120.0f));
    EXPECT_FALSE(b.hitTest(770.0f, 120.0f));
    EXPECT_TRUE(b.hitTest(859.5f, 120.0f));
    EXPECT_FALSE(b.hitTest(860.0f, 120.0f));
}

TEST_F(HudHitTest, AStickyButtonHoldingATouchHitsEverywhere)
{
    b.sticky = true;
    b.touchId = 4;
    EXPECT_TRUE(b.hitTest(900.0f, 600.0f));
    b.enabled = false;
    EXPECT_FALSE(b.hitTest(120.0f, 110.0f));
}

}  // namespace
