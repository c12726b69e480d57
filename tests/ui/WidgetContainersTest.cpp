#include "StagedArt.h"
#include "UiTestSupport.h"

#include "ui/widgets/HMenuItemsSlider.h"
#include "ui/widgets/MenuPanel.h"
#include "ui/widgets/SpriteHComboBox.h"

#include <string>

namespace {

struct DrawProbe : ProbeItem {
    DrawProbe(int w, int h) : ProbeItem(w, h) {}
    void draw() override { ++draws; }
    int draws = 0;
};

// ---- Panels ----

TEST_F(MenuTest, PanelsDrawChildrenOnlyWhenVisibleAndUnscaled)
{
    MenuPanel panel(MenuContainer::kLayoutList, 300, 200, nullptr);
    auto* child = new DrawProbe(50, 50);
    panel.placeItem(child);
    panel.layout(0, 0);
    panel.draw();
    EXPECT_EQ(child->draws, 1);
    panel.alpha = 0.0f;
    panel.dim = true;
    panel.draw();
    EXPECT_EQ(child->draws, 1);
    panel.alpha = 0.5f;
    panel.backgroundScale = 0.5f;
    panel.draw();
    EXPECT_EQ(child->draws, 1);
    panel.backgroundScale = 1.0f;
    panel.draw();
    EXPECT_EQ(child->draws, 2);

    // A list that fits does not scroll to its child; one that does not, does.
    panel.scrollToChild(child);
    EXPECT_FALSE(panel.scrollToYActive);
    for (int i = 0; i < 6; ++i)
        panel.placeItem(new DrawProbe(50, 50));
    panel.layout(0, 0);
    panel.scrollToChild(panel.itemAt(6));
    EXPECT_TRUE(panel.scrollToYActive);

    // A background panel takes its frame's size.
    MenuPanel framed(&stagedMenuSprite(), 56, MenuContainer::kLayoutStacked);
    int w = 0, h = 0;
    stagedMenuSprite().frameBounds(56, w, h);
    EXPECT_EQ(framed.width, w);
    EXPECT_EQ(framed.height, h);

    // A spacer only takes room.
    MenuPanel row(MenuContainer::kLayoutRow);
    new MenuSpacer(40, 10, &row);
    row.placeItem(new DrawProbe(20, 10));
    row.layout(0, 0);
    EXPECT_EQ(row.itemAt(1)->absX, 40);
}

// ---- Item slider ----

// What the owner heard, with the index it read in each action.
struct SliderCalls {
    std::string calls;
    MenuAction record(HMenuItemsSlider& slider, const char* what)
    {
        return [this, &slider, what] { calls += what + std::to_string(slider.reportedIndex()) + " "; };
    }
};

struct ItemSlider : MenuTest {
    HMenuItemsSlider slider;
    SliderCalls log;
    std::vector<ProbeItem*> cards;
    void SetUp() override
    {
        MenuTest::SetUp();
        for (int i = 0; i < 6; ++i) {
            cards.push_back(new ProbeItem(200, 100));
            slider.addItemWithIndex(cards.back(), i + 1);
        }
        slider.layout(0, 0);
        settle();
        slider.onTap = log.record(slider, "tap");
        slider.onCentre = log.record(slider, "centre");
        slider.onSelect = log.record(slider, "select");
        slider.onSnapped = log.record(slider, "snapped");
    }
    void settle()
    {
        for (int i = 0; i < 200 && (slider.snapDirection() != 0 || slider.flingVelocity() != 0.0f); ++i)
            slider.update();
    }
    int cardCentre(int i) const { return cards[static_cast<std::size_t>(i)]->absX + 100; }
    void move(int x, int y)
    {
        clockNow += 1.0f / 60.0f;
        slider.onTouchMove(x, y);
    }
};

TEST_F(ItemSlider, ATapOnANeighbourGlidesItExactlyToTheCentre)
{
    MenuItem* current = slider.currentItem();
    ASSERT_NE(current, nullptr);
    EXPECT_EQ(slider.centreOffset(*current), 0);
    const int at = static_cast<int>(std::find(cards.begin(), cards.end(), current) - cards.begin());
    ASSERT_LT(at + 1, 6);
    const int tapX = cardCentre(at + 1);
    slider.onTouchDown(tapX, 50);
    slider.onTouchUp(tapX, 50);
    EXPECT_EQ(slider.currentItem(), cards[static_cast<std::size_t>(at + 1)]);
    EXPECT_EQ(slider.snapDirection(), 1);
    EXPECT_EQ(log.calls, "select" + std::to_string(at + 2) + " ");
    log.calls.clear();
    float before = slider.scrollX;
    int frames = 0;
    while (slider.snapDirection() != 0 && frames < 100) {
        slider.update();
        ++frames;
        if (slider.snapDirection() != 0) {
            EXPECT_FLOAT_EQ(before - slider.scrollX, 33.0f);
        }
        before = slider.scrollX;
    }
    EXPECT_EQ(frames, 7);   // 220 px: six steps of 33, then the last exact one
    EXPECT_EQ(slider.centreOffset(*slider.currentItem()), 0);
    const std::string index = std::to_string(at + 2);
    EXPECT_EQ(log.calls, "centre" + index + " snapped" + index + " ");
    EXPECT_EQ(slider.reportedItem(), slider.currentItem());

    // A tap on the centred card runs the tap callbacks.
    log.calls.clear();
    slider.onTouchDown(480, 50);
    slider.onTouchUp(480, 50);
    EXPECT_EQ(log.calls, "tap" + index + " ");
}

TEST_F(ItemSlider, AVerticalFirstDragNeverScrolls)
{
    const float start = slider.scrollX;
    slider.onTouchDown(500, 50);
    move(502, 70);
    move(700, 70);
    move(300, 70);
    EXPECT_EQ(slider.axisLock(), 2);
    EXPECT_EQ(slider.scrollX, start);
    // The touched card had the moves.
    EXPECT_NE(slider.currentItem(), nullptr);
    bool moved = false;
    for (ProbeItem* card : cards)
        moved = moved || card->events.find('m') != std::string::npos;
    EXPECT_TRUE(moved);
    slider.onTouchUp(300, 70);
    settle();
    EXPECT_EQ(slider.scrollX, start);
}

TEST_F(ItemSlider, ASlowReleaseSnapsAndAFastOneFlings)
{
    slider.onTouchDown(600, 50);
    move(560, 50);
    move(520, 50);
    move(510, 50);
    move(505, 50);
    clockNow += 1.0f / 60.0f;
    slider.onTouchUp(500, 50);   // 10 px from two moves back
    EXPECT_EQ(slider.flingVelocity(), 0.0f);
    settle();
    EXPECT_EQ(slider.centreOffset(*slider.currentItem()), 0);

    slider.onTouchDown(800, 50);
    move(700, 50);
    move(600, 50);
    move(500, 50);
    clockNow += 1.0f / 60.0f;
    slider.onTouchUp(400, 50);
    EXPECT_LT(slider.flingVelocity(), 0.0f);
    settle();
    EXPECT_EQ(slider.flingVelocity(), 0.0f);
    EXPECT_EQ(slider.centreOffset(*slider.currentItem()), 0);
}

TEST_F(ItemSlider, ScrollToIndexJumpsAndTheCurrentIndexDoesNothing)
{
    slider.scrollToIndex(4);
    EXPECT_EQ(slider.currentItem(), cards[4]);
    EXPECT_EQ(slider.centreOffset(*cards[4]), 0);
    const float at = slider.scrollX;
    slider.scrollToIndex(4);
    slider.scrollToIndex(99);
    EXPECT_EQ(slider.scrollX, at);
    EXPECT_TRUE(log.calls.empty());
    slider.nextPage();
    slider.nextPage();   // past the last: stays
    EXPECT_EQ(slider.currentItem(), cards[5]);
    settle();
    slider.prevPage();
    settle();
    EXPECT_EQ(slider.currentItem(), cards[4]);
    EXPECT_EQ(slider.centreOffset(*cards[4]), 0);
}

// ---- Paged container ----

TEST_F(MenuTest, PagedContainerOpensPagesAsTheyFillAndTheDotsFollow)
{
    MenuContainer paged;
    paged.layoutMode = MenuContainer::kLayoutPaged;
    paged.width = 400;
    paged.height = 300;
    paged.spacing = 10;
    paged.layout(0, 0);
    std::vector<ProbeItem*> items;
    for (int i = 0; i < 6; ++i) {
        items.push_back(new ProbeItem(100, 100));
        paged.placeItem(items.back());
    }
    ASSERT_NE(paged.pageSlider, nullptr);
    ASSERT_NE(paged.pageIndicator, nullptr);
    paged.pageIndicator->setSprite(&stagedMenuSprite());
    EXPECT_EQ(paged.pageSlider->itemCount(), 1);
    EXPECT_EQ(paged.pageIndicator->pageCount, 1);
    EXPECT_EQ(paged.paddingX, 40);
    // Three columns, two rows.
    EXPECT_EQ(items[1]->absX - items[0]->absX, 110);
    EXPECT_EQ(items[3]->absY - items[0]->absY, 110);
    items.push_back(new ProbeItem(100, 100));
    paged.placeItem(items.back());
    EXPECT_EQ(paged.pageSlider->itemCount(), 2);
    EXPECT_EQ(paged.pageIndicator->pageCount, 2);
    const int firstX = items[0]->absX;
    EXPECT_EQ(items[6]->absX, firstX + 400);
    EXPECT_EQ(items[6]->absY, items[0]->absY);

    // The next dot slides the second page in; the indicator follows it.
    paged.pageIndicator->activate();
    for (int i = 0; i < 60; ++i)
        paged.update();
    EXPECT_EQ(paged.pageIndicator->currentPage, 1);
    // The second page's first item now stands where the first page's did.
    EXPECT_EQ(items[6]->absX, firstX);
}

// Items without width and a container without spacing give no column step.
TEST_F(MenuTest, PagedContainerTakesZeroWidthItems)
{
    MenuContainer paged;
    paged.layoutMode = MenuContainer::kLayoutPaged;
    paged.width = 200;
    paged.height = 100;
    paged.spacing = 0;
    for (int i = 0; i < 3; ++i)
        paged.placeItem(new ProbeItem(0, 0));
    paged.layout(0, 0);
    paged.update();
    ASSERT_NE(paged.pageSlider, nullptr);
    EXPECT_GE(paged.pageSlider->itemCount(), 1);
}

}  // namespace
