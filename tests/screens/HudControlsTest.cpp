// The HUD's value texts, voice-chat indicator, camera drag and direction pad.
#include "platform/Clock.h"
#include "platform/ScreenMetrics.h"
#include "platform/Settings.h"
#include "screens/hud/CamRotateControl.h"
#include "screens/hud/HudText.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {

bool sameColor(Color4 a, Color4 b) { return a.r == b.r && a.g == b.g && a.b == b.b && a.a == b.a; }

TEST(HudTextControl, ColourFollowsTheValueAcrossTheRange)
{
    HudText t;
    t.rangeMin = 0.0f;
    t.rangeMax = 100.0f;
    t.setValue(0.0f);
    EXPECT_TRUE(sameColor(t.color, Color4{255, 0, 0, 255}));
    t.setValue(-5.0f);
    EXPECT_TRUE(sameColor(t.color, Color4{255, 0, 0, 255}));
    t.setValue(100.0f);
    EXPECT_TRUE(sameColor(t.color, Color4{0, 128, 0, 255}));
    t.setValue(50.0f);
    // Truncated: 255 * 0.5 = 127.5 -> 127, 128 * 0.5 = 64.
    EXPECT_TRUE(sameColor(t.color, Color4{127, 64, 0, 255}));
}

TEST(HudTextControl, BlinksBelowATenthOfTheRange)
{
    setFrameDelta(0.1f);
    HudText t;
    t.rangeMin = 0.0f;
    t.rangeMax = 100.0f;
    t.setValue(9.0f);
    t.update();
    EXPECT_TRUE(t.blinking);
    EXPECT_NEAR(t.blinkFactor, std::fabs(std::sin(1.0f)), 1e-5f);
    t.setValue(10.0f);
    t.update();
    EXPECT_FALSE(t.blinking);
}

TEST(HudTextControl, AnEmptyRangeTakesTheLowColourAndNeverBlinks)
{
    HudText t;
    t.rangeMin = t.rangeMax = 50.0f;
    t.setValue(70.0f);
    EXPECT_TRUE(sameColor(t.color, t.lowColor));
    t.update();
    EXPECT_FALSE(t.blinking);
    EXPECT_EQ(t.fraction(), 0.0f);
}

TEST(HudTextControl, TakesNoTouches)
{
    HudText t;
    VoiceChatFeedback v;
    EXPECT_FALSE(t.touchBegan(1, 480.0f, 320.0f));
    EXPECT_FALSE(t.containsPoint(480.0f, 320.0f));
    EXPECT_EQ(t.touchId(), -1);
    EXPECT_FALSE(v.touchBegan(1, 480.0f, 10.0f));
    EXPECT_EQ(v.touchId(), -1);
}

TEST(VoiceChatIndicator, DotsRunEveryEighthSecondThenIdle)
{
    setFrameDelta(0.125f);
    VoiceChatFeedback v;
    v.state = 4;
    v.stateTimer = 1.0f;
    std::vector<int> dots;
    for (int i = 0; i < 7; ++i) {
        v.update();
        dots.push_back(v.litDots);
    }
    EXPECT_EQ(dots, (std::vector<int>{1, 2, 3, 0, 1, 2, 3}));
    EXPECT_EQ(v.state, 4);
    v.update();
    EXPECT_EQ(v.state, 2);
}

TEST(VoiceChatIndicator, TalkingPulsesBetweenNoneAndFull)
{
    setFrameDelta(0.1f);
    VoiceChatFeedback v;
    v.state = 1;
    for (int i = 0; i < 3; ++i)
        v.update();
    EXPECT_FLOAT_EQ(v.pulse, 1.0f);
    EXPECT_EQ(v.pulseDirection, -1);
    v.update();
    EXPECT_NEAR(v.pulse, 0.5f, 1e-5f);
}

float g_now = 0.0f;
float fakeNow() { return g_now; }

struct CameraDrag : testing::Test {
    CamRotateControl cam;
    std::vector<int> gestures;
    void SetUp() override
    {
        ASSERT_TRUE(setScreenSize(960, 640));
        g_now = 100.0f;
        cam.clock = &fakeNow;
        cam.gestures = [this](int code) { gestures.push_back(code); };
    }
};

TEST_F(CameraDrag, TheLookWaitsAThirdOfASecondThenFollowsTheFinger)
{
    // With gestures on the hold keeps a swipe from turning the view.
    cam.gesturesOn = true;
    ASSERT_TRUE(cam.containsPoint(500.0f, 400.0f));
    ASSERT_TRUE(cam.touchBegan(1, 500.0f, 400.0f));
    g_now += 0.2f;
    cam.touchMoved(1, 400.0f, 300.0f);
    EXPECT_EQ(cam.lookX, 0.0f);
    EXPECT_EQ(cam.lookY, 0.0f);
    g_now += 0.2f;
    cam.touchMoved(1, 480.0f, 320.0f);
    EXPECT_EQ(cam.lookX, 0.0f);
    EXPECT_EQ(cam.lookY, 0.0f);
    cam.touchMoved(1, 0.0f, 640.0f);
    EXPECT_FLOAT_EQ(cam.lookX, 1.0f);
    EXPECT_FLOAT_EQ(cam.lookY, -1.0f);
    // Held, the drag keeps the touch anywhere.
    EXPECT_TRUE(cam.containsPoint(5.0f, 5.0f));
    cam.touchEnded(1, 0.0f, 640.0f);
    EXPECT_EQ(cam.touchId(), -1);
    EXPECT_EQ(cam.lookX, 0.0f);
    EXPECT_FALSE(cam.containsPoint(5.0f, 5.0f));
}

TEST_F(CameraDrag, WithoutGesturesAQuickDragTurnsTheLookAtOnceAndAStillTouchWaits)
{
    // A touch that only trembles shows no look before the third of a second.
    cam.touchBegan(1, 500.0f, 400.0f);
    g_now += 0.1f;
    cam.touchMoved(1, 505.0f, 403.0f);
    EXPECT_EQ(cam.lookX, 0.0f);
    EXPECT_EQ(cam.lookY, 0.0f);
    // Dragged away within a tenth of a second, the look follows at once and
    // keeps following, also when the pointer comes back near its start.
    g_now += 0.05f;
    cam.touchMoved(1, 860.0f, 600.0f);
    EXPECT_FLOAT_EQ(cam.lookX, -380.0f / 480.0f);
    EXPECT_FLOAT_EQ(cam.lookY, -0.875f);
    EXPECT_GT(std::fabs(cam.lookX) + std::fabs(cam.lookY), 0.8f) << "the first lesson counts a turn above 0.8";
    cam.touchMoved(1, 504.0f, 400.0f);
    EXPECT_FLOAT_EQ(cam.lookX, -0.05f);
    cam.touchEnded(1, 504.0f, 400.0f);
    EXPECT_EQ(cam.lookX, 0.0f);
    // The next touch starts still again.
    cam.touchBegan(2, 500.0f, 400.0f);
    cam.touchMoved(2, 502.0f, 400.0f);
    EXPECT_EQ(cam.lookX, 0.0f);
    EXPECT_TRUE(gestures.empty());
}

TEST_F(CameraDrag, GesturesOnlyWhenSwitchedOn)
{
    cam.touchBegan(1, 500.0f, 400.0f);
    g_now += 0.1f;
    cam.touchEnded(1, 400.0f, 400.0f);
    EXPECT_TRUE(gestures.empty());
    cam.gesturesOn = true;
    g_now += 1.0f;
    cam.touchBegan(1, 500.0f, 400.0f);
    g_now += 0.1f;
    cam.touchEnded(1, 400.0f, 400.0f);   // 100 pixels left
    g_now += 0.05f;
    cam.touchBegan(2, 500.0f, 400.0f);
    cam.touchEnded(2, 500.0f, 400.0f);   // 0.05 s after the last end
    g_now += 1.0f;
    cam.touchBegan(3, 500.0f, 400.0f);
    g_now += 0.1f;
    cam.touchEnded(3, 500.0f, 460.0f);   // 60 pixels down
    EXPECT_EQ(gestures, (std::vector<int>{3, 7, 1}));
}

TEST_F(CameraDrag, KeyboardLookEasesAndSnapsBack)
{
    setFrameDelta(0.25f);
    cam.updateInertia(-1.0f, 1.0f);
    EXPECT_FLOAT_EQ(cam.lookX, 0.25f);
    EXPECT_FLOAT_EQ(cam.lookY, -0.25f);
    for (int i = 0; i < 10; ++i)
        cam.updateInertia(-1.0f, 0.0f);
    EXPECT_FLOAT_EQ(cam.lookX, 1.0f);
    cam.updateInertia(0.0f, 0.0f);
    EXPECT_EQ(cam.lookX, 0.0f);
    EXPECT_EQ(cam.lookY, 0.0f);
}

struct Pad : testing::Test {
    ControlsDpad pad;
    void SetUp() override
    {
        ASSERT_TRUE(setScreenSize(960, 640));
        // Ring 140, knob 56; area corners (16, 340) and (300, 624).
        pad.layout(56.0f, 56.0f, 140.0f, 140.0f, 16.0f, 340.0f, 300.0f, 624.0f, false);
    }
};

TEST_F(Pad, TheAreaLiesInsideTheCornersAndMirrors)
{
    EXPECT_FLOAT_EQ(pad.area.x, 16.0f + 35.0f);
    EXPECT_FLOAT_EQ(pad.area.w, 284.0f - 70.0f);
    EXPECT_FLOAT_EQ(pad.area.y, 340.0f + 35.0f);
    pad.layout(56.0f, 56.0f, 140.0f, 140.0f, 16.0f, 340.0f, 300.0f, 624.0f, true);
    EXPECT_FLOAT_EQ(pad.area.x, 960.0f - 51.0f - 214.0f);
}

TEST_F(Pad, AxesFollowTheFingersTravelNotItsPlace)
{
    ASSERT_TRUE(pad.touchBegan(5, 150.0f, 480.0f));
    float x = 1.0f, y = 1.0f;
    pad.axes(x, y);
    EXPECT_FLOAT_EQ(x, 0.0f);
    EXPECT_FLOAT_EQ(y, 0.0f);
    pad.touchMoved(5, 185.0f, 445.0f);
    pad.axes(x, y);
    EXPECT_FLOAT_EQ(x, 0.5f);
    EXPECT_FLOAT_EQ(y, -0.5f);
    // Beyond the area the finger still holds the pad on its half of the screen.
    EXPECT_TRUE(pad.containsPoint(400.0f, 100.0f));
    EXPECT_FALSE(pad.containsPoint(500.0f, 100.0f));
    pad.touchMoved(9, 100.0f, 480.0f);   // another finger moves nothing
    pad.axes(x, y);
    EXPECT_FLOAT_EQ(x, 0.5f);
    pad.touchEnded(5, 0.0f, 0.0f);
    pad.axes(x, y);
    EXPECT_EQ(x, 0.0f);
    EXPECT_EQ(pad.touchId(), -1);
}

TEST_F(Pad, ARejectedTouchKeepsNoId)
{
    EXPECT_FALSE(pad.touchBegan(3, 800.0f, 100.0f));
    EXPECT_EQ(pad.touchId(), -1);
    // The pad still takes the next touch in its area.
    EXPECT_TRUE(pad.touchBegan(4, 150.0f, 480.0f));
    EXPECT_EQ(pad.touchId(), 4);
}

}  // namespace
