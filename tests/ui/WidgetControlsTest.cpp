#include "StagedArt.h"
#include "UiTestSupport.h"

#include "ui/widgets/SpriteCheckbox.h"
#include "ui/widgets/SpriteCounter.h"
#include "ui/widgets/SpriteHComboBox.h"
#include "ui/widgets/SpriteSlider.h"

#include <string>

namespace {

using namespace std::string_literals;

// ---- Check box ----


TEST_F(MenuTest, CheckboxSizesAndTogglesFromKeysAsFromTouches)
{
    SpriteCheckbox box;
    box.sprite = &stagedMenuSprite();
    box.font = &stagedMenuFont(2);
    box.updateLayout();
    int w = 0, h = 0;
    stagedMenuSprite().frameBounds(SpriteCheckbox::kFrameOn, w, h);
    ASSERT_GT(w, 0);
    // Without a label: exactly the checked frame.
    EXPECT_EQ(box.width, w);
    EXPECT_EQ(box.height, h);

    std::string calls;
    box.onCheck = [&] { calls += "check "; };
    box.onUncheck = [&] { calls += "uncheck "; };
    box.onChange = [&] { calls += box.checked ? "change(on) " : "change(off) "; };
    box.activate();
    EXPECT_TRUE(box.checked);
    box.activate();
    EXPECT_FALSE(box.checked);
    EXPECT_TRUE(box.onTouchDown(3, 3));
    EXPECT_TRUE(box.onTouchUp(3, 3));   // the release changes nothing
    EXPECT_EQ(calls, "check change(on) uncheck change(off) check change(on) ");
    EXPECT_TRUE(box.checked);
    EXPECT_TRUE(box.drawsOwnFocus());
    EXPECT_EQ(sounds.size(), 0u);

    // A label beside: box, gap of 10 x scale, text; below: centred under the box.
    box.setText(u"Sound");
    const int text = static_cast<int>(stagedMenuFont(2).measure(u"Sound").width);
    EXPECT_EQ(box.labelX, w + 10);
    EXPECT_EQ(box.width, w + 10 + text);
    box.labelBelow = true;
    box.setText(u"Sound");
    EXPECT_EQ(box.labelY, h + 5);
    EXPECT_EQ(box.boxX, box.width / 2 - w / 2);
}

// A label too wide for the box's room: under the box it breaks at its space
// and, still too tall for the room, draws smaller; beside the box it draws
// smaller. Either way the box keeps to its room.
TEST_F(MenuTest, CheckboxFitsALongLabelIntoItsRoom)
{
    SpriteCheckbox box;
    box.sprite = &stagedMenuSprite();
    box.font = &stagedMenuFont(2);
    const std::u16string label = u"Inverted pitch axis";
    const float full = stagedMenuFont(2).measure(label).width;
    ASSERT_GT(full, 60.0f);
    box.labelBelow = true;
    box.fitWidth = static_cast<int>(full * 0.7f);
    box.setText(label);
    EXPECT_NE(box.shownLabel().find(u'\n'), std::u16string_view::npos);
    EXPECT_FLOAT_EQ(box.labelScale(), 1.0f);
    EXPECT_LE(box.width, box.fitWidth);
    const int twoLines = box.height;

    box.fitHeight = twoLines - 10;
    box.setText(label);
    EXPECT_LT(box.labelScale(), 1.0f);
    EXPECT_LE(box.height, box.fitHeight + 1);

    box.labelBelow = false;
    box.fitHeight = 0;
    box.setText(label);
    EXPECT_EQ(box.shownLabel(), label);
    EXPECT_LT(box.labelScale(), 1.0f);
    EXPECT_LE(box.width, box.fitWidth + 1);

    // Without a room the label is drawn as it is.
    box.fitWidth = 0;
    box.setText(label);
    EXPECT_FLOAT_EQ(box.labelScale(), 1.0f);
    EXPECT_GT(box.width, static_cast<int>(full));
}

// ---- Counter ----

struct Counter : MenuTest {
    SpriteCounter counter;
    void SetUp() override
    {
        MenuTest::SetUp();
        counter.setArt(&stagedMenuSprite(), &stagedMenuFont(1), &stagedMenuFont(2));
        ASSERT_GT(counter.rowHeight, 1);
    }
    void drag(int from, int to, int steps)
    {
        counter.onTouchDown(0, from);
        for (int i = 1; i <= steps; ++i)
            counter.onTouchMove(0, from + (to - from) * i / steps);
    }
    void run(int frames)
    {
        for (int i = 0; i < frames; ++i)
            counter.update();
    }
};

TEST_F(Counter, DragStopsAtTheEndsAndActivationWraps)
{
    counter.minimum = 1;
    counter.maximum = 5;
    counter.value = 4;
    // Up by ten rows: the drum stops with 5 under the window.
    drag(500, 500 - 10 * counter.rowHeight, 40);
    EXPECT_LE(counter.shownValue(), 5.0f);
    counter.onTouchMove(0, 500 - 10 * counter.rowHeight);
    counter.onTouchUp(0, 500 - 10 * counter.rowHeight);
    EXPECT_EQ(counter.value, 5);
    counter.activate();
    EXPECT_EQ(counter.value, 1);
    EXPECT_TRUE(counter.returning());
    counter.value = 0;   // an owner's value below the range wraps to the top
    counter.activate();
    EXPECT_EQ(counter.value, 1);
}

TEST_F(Counter, SlowAndFastReleasesSettleInsideTheRange)
{
    counter.minimum = 1;
    counter.maximum = 13;
    counter.value = 7;
    // Slow: a little over half a row up, then still: the next value.
    drag(300, 300 - counter.rowHeight * 6 / 10, 20);
    counter.onTouchMove(0, 300 - counter.rowHeight * 6 / 10);
    counter.onTouchUp(0, 0);
    EXPECT_FALSE(counter.flinging());
    EXPECT_EQ(counter.value, 8);
    EXPECT_EQ(counter.dragOffset, 0.0f);

    // Fast, both ways: it flings, then settles on a whole value in the range.
    for (int direction : {-1, 1}) {
        counter.onTouchDown(0, 300);
        counter.onTouchMove(0, 300 + direction * 40);
        counter.onTouchUp(0, 0);
        EXPECT_TRUE(counter.flinging());
        run(600);
        EXPECT_FALSE(counter.flinging());
        EXPECT_GE(counter.value, 1);
        EXPECT_LE(counter.value, 13);
        EXPECT_EQ(counter.dragOffset, 0.0f);
    }
}

// Any range can be drawn: the texts are formatted per row, never read from a
// table (the sanitizer build would catch a read past one).
TEST_F(Counter, LargeAndNegativeRangesFormatEveryValue)
{
    EXPECT_EQ(SpriteCounter::valueText(7), u"007"s);
    EXPECT_EQ(SpriteCounter::valueText(42), u"042"s);
    EXPECT_EQ(SpriteCounter::valueText(600), u"600"s);
    EXPECT_EQ(SpriteCounter::valueText(-3), u"-3"s);
    counter.minimum = -20;
    counter.maximum = 600;
    for (int v : {600, -20, 0, 599}) {
        counter.value = v;
        counter.draw();
        counter.activate();
        run(120);
    }
    EXPECT_EQ(counter.value, 600);
}

// ---- Sliders ----

// The values an owner read in its onChange.
struct SliderLog {
    std::vector<float> values;
    template <class Slider>
    void follow(Slider& slider)
    {
        slider.onChange = [this, &slider] { values.push_back(slider.value); };
    }
};

struct Slider : MenuTest {
    SpriteSlider slider;
    SliderLog log;
    void SetUp() override
    {
        MenuTest::SetUp();
        slider.setSprite(&stagedMenuSprite());
        ASSERT_GT(slider.trackLength, 0);
        slider.x = 100;
        slider.y = 200;
        slider.layout(0, 0);
        log.follow(slider);
    }
    int thumbCentre() const { return slider.absX + slider.halfThumb + slider.thumbPosition(); }
    void run(int frames)
    {
        for (int i = 0; i < frames; ++i)
            slider.update();
    }
};

TEST_F(Slider, GrabsOnlyNearTheThumbAndReachesExactEnds)
{
    const int centre = thumbCentre();
    EXPECT_FALSE(slider.onTouchDown(centre + 61, 210));   // 60 x the art scale at most
    EXPECT_FALSE(slider.dragging());
    ASSERT_TRUE(slider.onTouchDown(centre + 60, 210));
    slider.onTouchMove(centre + 2000, 210);
    EXPECT_EQ(slider.thumbPosition(), slider.trackEnd());
    EXPECT_EQ(log.values.back(), 1.0f);
    slider.onTouchMove(centre - 2000, 210);
    EXPECT_EQ(slider.thumbPosition(), slider.trackStart);
    EXPECT_EQ(log.values.back(), 0.0f);
    slider.onTouchUp(centre - 2000, 210);
    EXPECT_FALSE(slider.dragging());
}

TEST_F(Slider, ActivationStepsAndWrapsToTheStart)
{
    int steps = 0;
    while (slider.thumbPosition() < slider.trackEnd() && steps < 1000) {
        slider.activate();
        ++steps;
    }
    EXPECT_EQ(steps, (slider.trackLength + SpriteSlider::kStep - 1) / SpriteSlider::kStep);
    EXPECT_EQ(log.values.back(), 1.0f);
    slider.activate();
    EXPECT_EQ(slider.thumbPosition(), slider.trackStart);
    EXPECT_EQ(log.values.back(), 0.0f);
    // The touch point went back with the thumb: it stays there.
    run(60);
    EXPECT_EQ(slider.thumbPosition(), slider.trackStart);
}

TEST_F(Slider, AThumbPlacedByItsOwnerStaysWithoutCallingBack)
{
    slider.setValue(0.5f);
    const int placed = slider.thumbPosition();
    EXPECT_NEAR(slider.value, 0.5f, 0.01f);
    run(120);
    EXPECT_EQ(slider.thumbPosition(), placed);
    EXPECT_TRUE(log.values.empty());
    // A list that scrolls the slider does not pull the thumb either.
    slider.layout(-300, 40);
    run(120);
    EXPECT_EQ(slider.thumbPosition(), placed);
    EXPECT_TRUE(log.values.empty());
}

TEST_F(Slider, EasesAfterTheFingerLiftsButNotWhenDisabled)
{
    slider.onTouchDown(thumbCentre(), 210);
    const int target = thumbCentre() + 100;
    slider.onTouchMove(thumbCentre() + 40, 210);
    slider.onTouchUp(target, 210);
    // The touch point sits 40 px on; the thumb moved with the finger.
    run(120);
    EXPECT_NEAR(thumbCentre(), slider.absX + slider.touchPoint(), 6);

    slider.setValue(0.0f);
    log.values.clear();
    slider.sliderEnabled = false;
    EXPECT_FALSE(slider.onTouchDown(thumbCentre(), 210));
    slider.activate();
    run(120);
    EXPECT_EQ(slider.thumbPosition(), slider.trackStart);
    EXPECT_TRUE(log.values.empty());
}

// Art that leaves no track gives value 0 instead of dividing by zero.
TEST_F(MenuTest, SlidersWithoutTrackGiveZero)
{
    SpriteSlider slider;
    slider.setSprite(nullptr);
    SliderLog log;
    log.follow(slider);
    slider.activate();
    ASSERT_FALSE(log.values.empty());
    EXPECT_EQ(log.values.back(), 0.0f);

    VerticalSlider vertical(-1, -1);
    vertical.setSprite(nullptr);
    vertical.setThumbPosition(50);
    EXPECT_EQ(vertical.computeValue(), 0.0f);
    vertical.activate();
    EXPECT_EQ(vertical.value, 0.0f);
}

TEST_F(MenuTest, VerticalSliderSpansItsTravelAndWraps)
{
    VerticalSlider slider(SpriteSlider::kThumbOnlyTrackFrame, SpriteSlider::kThumbFrame);
    slider.setSprite(&stagedMenuSprite());
    // A tall track for the test: the thumb-only groove laid on end.
    slider.height = 300;
    slider.trackLength = 300 - 2 * slider.trackStart;
    SliderLog log;
    log.follow(slider);
    slider.setThumbPosition(10000);
    EXPECT_EQ(slider.thumbPosition(), slider.thumbEnd());
    EXPECT_FLOAT_EQ(slider.computeValue(), 1.0f);
    slider.activate();   // at the end: back to the start
    EXPECT_EQ(slider.thumbPosition(), slider.trackStart);
    EXPECT_FLOAT_EQ(slider.computeValue(), 0.0f);
    for (int i = 0; i < 120; ++i)
        slider.update();
    EXPECT_EQ(slider.thumbPosition(), slider.trackStart);
    slider.enabled = false;
    log.values.clear();
    slider.activate();
    EXPECT_TRUE(log.values.empty());
}

// ---- Combo box and page indicator ----


TEST_F(MenuTest, ComboBoxWrapsBothWaysAndAnEmptyListIsOneEmptyItem)
{
    SpriteHComboBox box(u"800x600\0" u"1280x720\0" u"1920x1080\0\0"s);
    box.setSprite(&stagedMenuSprite());
    box.font = &stagedMenuFont(1);
    box.fitHeight();
    ASSERT_EQ(box.itemCount(), 3);
    EXPECT_EQ(box.itemText(3), nullptr);
    EXPECT_EQ(box.itemText(-1), nullptr);
    int changes = 0;
    box.onChange = [&] { ++changes; };
    box.layout(0, 0);
    const int left = box.absX + 2, right = box.absX + box.width - 2;
    box.onTouchDown(left, box.absY + 5);
    EXPECT_EQ(box.selected, 2);
    EXPECT_EQ(box.lastStep, -1);
    box.onTouchUp(left, box.absY + 5);
    EXPECT_EQ(box.lastStep, 0);
    box.onTouchDown(right, box.absY + 5);
    EXPECT_EQ(box.selected, 0);
    box.onTouchDown(box.absX + box.width / 2, box.absY + 5);   // the middle: no step
    EXPECT_EQ(box.selected, 0);
    EXPECT_EQ(changes, 2);
    int wide = 0, h = 0;
    stagedMenuSprite().frameBounds(SpriteHComboBox::kBaseFrame + 2, wide, h);
    EXPECT_EQ(box.height, h);

    SpriteHComboBox empty(u"\0\0"s);
    ASSERT_EQ(empty.itemCount(), 1);
    EXPECT_EQ(*empty.itemText(0), u"");
    empty.stepRight();
    empty.stepLeft();
    EXPECT_EQ(empty.selected, 0);
    // A list without its ending stops where the units do.
    SpriteHComboBox unended(u"a\0b"s);
    EXPECT_EQ(unended.itemCount(), 2);
}


TEST_F(MenuTest, PageIndicatorFindsDotsAndSendsTaps)
{
    SpritePageIndicator dots(16, 3);
    dots.setSprite(&stagedMenuSprite());
    ASSERT_GT(dots.dotWidth, 0);
    EXPECT_EQ(dots.width, 3 * dots.dotWidth + 2 * 16);
    dots.x = 100;
    dots.y = 50;
    dots.layout(0, 0);
    EXPECT_EQ(dots.pageAt(100, 50), 0);
    EXPECT_EQ(dots.pageAt(100 + dots.dotWidth + 16 + 3, 52), 1);
    EXPECT_EQ(dots.pageAt(100 + 2 * (dots.dotWidth + 16), 50), 2);
    EXPECT_EQ(dots.pageAt(100, 50 + 20), -1);   // the reach is strict

    std::string calls;
    EXPECT_TRUE(dots.onTouchUp(dots.absX + 1, 55));   // no actions yet: nothing, still handled
    dots.onPrevious = [&] { calls += "prev "; };
    dots.onNext = [&] { calls += "next "; };
    dots.onTouchUp(dots.absX + 1, 55);
    dots.onTouchUp(dots.absX + dots.width / 2, 55);   // the centre line goes next
    dots.activate();
    EXPECT_EQ(calls, "prev next next ");

    dots.setMark(1, 2);
    dots.setMark(400, 1);   // beyond the marks: ignored
    EXPECT_EQ(dots.frameFor(0), SpritePageIndicator::kCurrentDotFrame);
    EXPECT_EQ(dots.frameFor(1), 185);
    dots.currentPage = 1;
    EXPECT_EQ(dots.frameFor(1), 184);
    dots.setPageCount(1, 16);
    EXPECT_EQ(dots.mark(1), 0);
    EXPECT_EQ(dots.width, dots.dotWidth);
    // One page draws nothing but still answers.
    calls.clear();
    dots.onTouchUp(dots.absX + dots.width, 55);
    EXPECT_EQ(calls, "next ");
    EXPECT_TRUE(dots.contains(dots.absX - 19, dots.absY, 0.0f));
}

}  // namespace
