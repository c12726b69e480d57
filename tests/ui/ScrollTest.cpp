#include "UiTestSupport.h"

#include <cmath>

namespace {

// A scrolling list 200 x 100 at (100, 100) with ten 40-pixel rows, no padding.
struct Scrolling : MenuTest {
    MenuContainer list;
    std::vector<ProbeItem*> rows;
    void SetUp() override
    {
        MenuTest::SetUp();
        list.x = list.y = 100;
        list.width = 200;
        list.height = 100;
        list.spacing = 0;
        for (int i = 0; i < 10; ++i) {
            auto* row = new ProbeItem(200, 40);
            row->anchorMode = MenuItem::kAnchorPlaced;
            list.addItem(row);
            rows.push_back(row);
        }
        list.layout(0, 0);
        list.recomputeOverscrollLimits();
    }
    void step(int frames = 1)
    {
        for (int i = 0; i < frames; ++i)
            list.update();
    }
};

TEST_F(Scrolling, TapDeliversDownAndUpAtRelease)
{
    EXPECT_TRUE(list.onTouchDown(150, 120));
    EXPECT_EQ(rows[0]->events, "");
    list.onTouchMove(151, 121);   // within three pixels: still a tap
    EXPECT_TRUE(list.onTouchUp(151, 121));
    EXPECT_EQ(rows[0]->events, "mdu");
}

TEST_F(Scrolling, DragPastThreeScaledPixelsCancelsTheTapAndScrolls)
{
    list.onTouchDown(150, 180);
    list.onTouchMove(150, 176);
    EXPECT_TRUE(list.dragged());
    EXPECT_FLOAT_EQ(list.scrollY, -4.0f);
    list.onTouchMove(150, 150);
    list.onTouchUp(150, 150);
    EXPECT_EQ(rows[2]->events.find('d'), std::string::npos);
    EXPECT_FLOAT_EQ(list.scrollY, -30.0f);
    EXPECT_EQ(rows[0]->absY, 100 - 30);
}

TEST_F(Scrolling, UpwardAndDownwardDragsBothCount)
{
    list.scrollY = -100.0f;
    list.onTouchDown(150, 150);
    list.onTouchMove(150, 154);
    EXPECT_TRUE(list.dragged());
    list.onTouchUp(150, 154);
    list.onTouchDown(150, 150);
    list.onTouchMove(150, 146);
    EXPECT_TRUE(list.dragged());
}

TEST_F(Scrolling, TheThresholdFollowsTheScale)
{
    ASSERT_TRUE(setScreenSize(1920, 1280));
    list.onTouchDown(150, 180);
    list.onTouchMove(150, 175);   // 5 pixels at a scale of 2: not a drag yet
    EXPECT_FALSE(list.dragged());
    list.onTouchMove(150, 168);
    EXPECT_TRUE(list.dragged());
}

TEST_F(Scrolling, FlingDecaysAtSixHundredAndStops)
{
    MenuContainer tall;
    tall.width = 200;
    tall.height = 100;
    tall.spacing = 0;
    tall.kinetic = true;
    for (int i = 0; i < 100; ++i) {
        auto* row = new ProbeItem(200, 40);
        row->anchorMode = MenuItem::kAnchorPlaced;
        tall.addItem(row);
    }
    tall.layout(0, 0);
    tall.scrollY = -100.0f;
    tall.flingVelocityY = -1000.0f;
    for (int i = 0; i < 60; ++i)
        tall.update();
    EXPECT_NEAR(tall.flingVelocityY, -400.0f, 0.1f);
    int frames = 60;
    while (tall.flingVelocityY != 0.0f && frames < 1000) {
        EXPECT_LE(tall.flingVelocityY, -17.0f + 10.0f);
        tall.update();
        ++frames;
    }
    EXPECT_NEAR(frames, 99, 1);
    // The distance of a steady deceleration: v squared over twice the rate.
    EXPECT_NEAR(tall.scrollY, -100.0f - 1000.0f * 1000.0f / 1200.0f, 10.0f);
    const float stopped = tall.scrollY;
    tall.update();
    EXPECT_EQ(tall.scrollY, stopped);
}

TEST_F(Scrolling, FlingSlowingPastZeroStopsInsteadOfTurning)
{
    list.kinetic = true;
    list.scrollY = -100.0f;
    list.flingVelocityY = -40.0f;
    setFrameDelta(0.1f);
    step();
    EXPECT_EQ(list.flingVelocityY, 0.0f);
}

TEST_F(Scrolling, FlingFromTouchSamplesFollowsTheFinger)
{
    list.kinetic = true;
    list.scrollY = -100.0f;
    list.layout(0, 0);
    clockNow = 1.0f;
    list.onTouchDown(150, 190);
    clockNow = 1.1f;
    list.onTouchMove(150, 150);
    clockNow = 1.2f;
    list.onTouchUp(150, 110);
    EXPECT_NEAR(list.flingVelocityY, -400.0f, 0.5f);
    EXPECT_EQ(list.flingVelocityX, 0.0f);   // the content is not wider than the list
}

TEST_F(Scrolling, RubberBandNeverPassesTheLimitAndSpringsBack)
{
    const int limit = list.overscrollLimitY;
    ASSERT_EQ(limit, 50);
    list.onTouchDown(150, 110);
    int previous = 0;
    float before = list.scrollY;
    for (int y = 114; y < 600; y += 4) {
        list.onTouchMove(150, y);
        EXPECT_LE(list.scrollY, static_cast<float>(limit));
        EXPECT_LE(list.scrollY - before, 4.0f);   // never more than the finger
        before = list.scrollY;
        previous = y;
    }
    EXPECT_GT(list.scrollY, 0.0f);
    EXPECT_LT(list.scrollY, static_cast<float>(previous - 110));
    list.onTouchUp(150, previous);
    const float over = list.scrollY;
    setFrameDelta(0.01f);
    step();
    EXPECT_NEAR(list.scrollY, over - (over / limit * 700.0f + 700.0f) * 0.01f, 0.01f);
    setFrameDelta(1.0f / 60.0f);
    step(60);
    EXPECT_EQ(list.scrollY, 0.0f);
    EXPECT_EQ(rows[0]->absY, 100);
}

TEST_F(Scrolling, SpringBackFromTheFarEnd)
{
    list.scrollY = -(400.0f - 100.0f) - 20.0f;
    setFrameDelta(0.01f);
    step();
    EXPECT_NEAR(list.scrollY, -320.0f + (700.0f + 20.0f / 50.0f * 700.0f) * 0.01f, 0.01f);
    step(100);
    EXPECT_EQ(list.scrollY, -300.0f);
}

TEST_F(Scrolling, WheelScrollsOnlyAListWithABar)
{
    EXPECT_TRUE(list.onScroll(0.0f, 40.0f));   // passed on: a child took it
    EXPECT_EQ(rows[0]->events, "w");
    EXPECT_EQ(list.scrollY, 0.0f);
    list.scrollBar.shown = true;
    EXPECT_TRUE(list.onScroll(0.0f, 40.0f));
    // The delta is held to 2: a fifth of half the height.
    EXPECT_FLOAT_EQ(list.scrollY, -10.0f);
    EXPECT_EQ(rows[0]->events, "w");
}

TEST_F(Scrolling, ScrollToItemCentresItAndDoesNothingWhenTheListFits)
{
    list.scrollToItem(rows[5]);
    ASSERT_TRUE(list.scrollToYActive);
    EXPECT_FLOAT_EQ(list.scrollTargetY, -(200.0f + 20.0f - 50.0f));
    step(30);
    EXPECT_FALSE(list.scrollToYActive);
    EXPECT_FLOAT_EQ(list.scrollY, -170.0f);

    MenuContainer fits;
    fits.width = fits.height = 500;
    auto* row = new ProbeItem(100, 40);
    fits.addItem(row);
    fits.layout(0, 0);
    fits.scrollToItem(row);
    EXPECT_FALSE(fits.scrollToXActive);
    EXPECT_FALSE(fits.scrollToYActive);
}

TEST_F(Scrolling, CancelReachesTheChildrenAndEndsTheGesture)
{
    list.onTouchDown(150, 120);
    list.onTouchCancel();
    EXPECT_EQ(list.touchedChild(), nullptr);
    EXPECT_FALSE(list.dragPending());
}

TEST_F(Scrolling, OverscrollLimitWithAScrollBarAsWideAsTheListIsZero)
{
    list.scrollBar.shown = true;
    list.scrollBar.barWidth = 200;
    list.contentWidth = 400;
    list.recomputeOverscrollLimits();
    EXPECT_EQ(list.overscrollLimitX, 0);
    list.scrollBar.barWidth = 300;
    list.recomputeOverscrollLimits();
    EXPECT_EQ(list.overscrollLimitX, 0);
}


TEST_F(Scrolling, ARemovedItemGetsNoMoreTouchesAndItsOwnerMayDeleteIt)
{
    // Pressed, then removed before the release: the release goes nowhere.
    list.onTouchDown(150, 120);
    ASSERT_EQ(list.touchedChild(), rows[0]);
    list.removeItem(rows[0]);
    EXPECT_EQ(list.touchedChild(), nullptr);
    list.onTouchUp(150, 120);
    EXPECT_EQ(rows[0]->events, "");
    delete rows[0];

    // Removed and deleted by its owner while pressed (the sanitizer build
    // catches any later touch of it).
    ProbeItem* second = rows[1];
    list.onTouchDown(150, 120);
    ASSERT_EQ(list.touchedChild(), second);
    list.removeItem(second);
    delete second;
    list.onTouchMove(150, 122);
    list.onTouchUp(150, 122);
    list.onTouchDown(150, 120);
    list.onTouchCancel();
    list.onScroll(0.0f, 10.0f);
    step(2);
    EXPECT_EQ(list.itemAt(0), rows[2]);
}

TEST_F(Scrolling, ClearResetsTheScrollAndItsAnimation)
{
    list.scrollX = -20.0f;
    list.scrollY = -120.0f;
    list.flingVelocityY = -300.0f;
    list.scrollToItem(rows[9]);
    list.clear();
    EXPECT_EQ(list.scrollX, 0.0f);
    EXPECT_EQ(list.scrollY, 0.0f);
    EXPECT_EQ(list.flingVelocityY, 0.0f);
    EXPECT_FALSE(list.scrollToXActive);
    EXPECT_FALSE(list.scrollToYActive);
    EXPECT_EQ(list.itemAt(0), nullptr);
    step(10);
    EXPECT_EQ(list.scrollY, 0.0f);
}

TEST_F(Scrolling, ADragAndAnAnimatedScrollStopAtTheListsEnds)
{
    const float rest = -(400.0f - 100.0f);
    const float limit = static_cast<float>(list.overscrollLimitY);
    // A long drag up runs past the far end by at most the limit, then springs back.
    list.onTouchDown(150, 190);
    for (int y = 186; y > -600; y -= 4) {
        list.onTouchMove(150, y);
        ASSERT_GE(list.scrollY, rest - limit) << y;
    }
    list.onTouchUp(150, -598);
    step(100);
    EXPECT_EQ(list.scrollY, rest);

    // Animated scrolls to the last and the first row stop at the ends, never past them.
    list.scrollToItem(rows[9]);
    for (int i = 0; i < 30; ++i) {
        step();
        ASSERT_GE(list.scrollY, rest) << i;
        ASSERT_LE(list.scrollY, 0.0f) << i;
    }
    EXPECT_FALSE(list.scrollToYActive);
    EXPECT_EQ(list.scrollY, rest);
    list.scrollToItem(rows[0]);
    for (int i = 0; i < 30; ++i) {
        step();
        ASSERT_GE(list.scrollY, rest) << i;
        ASSERT_LE(list.scrollY, 0.0f) << i;
    }
    EXPECT_FALSE(list.scrollToYActive);
    EXPECT_EQ(list.scrollY, 0.0f);
}
}  // namespace
