#include "MenusTestSupport.h"

#include "menus/frontend/AchievementsMenuFrame.h"
#include "menus/frontend/CreditsMenuFrame.h"
#include "menus/frontend/HowToPlayMenuFrame.h"
#include "modes/progress/Achievements.h"
#include "ui/widgets/HMenuItemsSlider.h"
#include "ui/widgets/MenuPanel.h"
#include "ui/widgets/SpriteHComboBox.h"
#include "ui/widgets/SpriteLabel.h"

#include <algorithm>
#include <array>

namespace {
struct AchievementsPage : PageTest {
    void SetUp() override
    {
        PageTest::SetUp();
        settings().achievementDone.fill(0);
        achievements().buildTable();
    }
    void TearDown() override
    {
        PageTest::TearDown();
        achievements().buildTable();
    }
    // Rows per column forced to n by the pager's height.
    static void forceRows(AchievementsMenuFrame& page, int n)
    {
        page.pager->height = n * AchievementsMenuFrame::rowHeight();
        page.buildItems();
    }
};
using HowToPlay = PageTest;
using Credits = PageTest;

int pageOfRow(const AchievementsMenuFrame& page, const AchItem* row)
{
    // A row's column sits in its page, which the pager holds.
    const MenuContainer* pageItem = row->parent->parent;
    for (int i = 0; i < page.pager->itemCount(); ++i)
        if (page.pager->itemAt(i) == pageItem)
            return i;
    return -1;
}
}  // namespace

TEST_F(AchievementsPage, RowsFillTwoColumnsAPageEarnedFirst)
{
    ASSERT_GE(achievements().list().size(), 12u);
    const int earned = achievements().list()[11]->index;
    settings().achievementDone[static_cast<std::size_t>(earned)] = 1;
    achievements().buildTable();
    AchievementsMenuFrame page;
    forceRows(page, 5);
    ASSERT_GE(page.rows.size(), 11u);
    EXPECT_EQ(page.rowsPerColumn, 5);
    EXPECT_EQ(page.rows[0]->achievement.index, earned);
    EXPECT_EQ(pageOfRow(page, page.rows[9]), 0);
    EXPECT_EQ(pageOfRow(page, page.rows[10]), 1);
    // Rows 0..4 on the left, 5..9 on the right.
    EXPECT_NE(page.rows[4]->parent, page.rows[5]->parent);
    EXPECT_EQ(page.rows[0]->parent, page.rows[4]->parent);
    const int pages = static_cast<int>((page.rows.size() + 9) / 10);
    EXPECT_EQ(page.indicator->pageCount, pages);
    page.prevPage();
    EXPECT_EQ(page.indicator->currentPage, pages - 1);
    page.nextPage();
    EXPECT_EQ(page.indicator->currentPage, 0);
    page.onPageChanged(pages);
    EXPECT_EQ(page.indicator->currentPage, 0);
}

TEST_F(AchievementsPage, APagerShorterThanARowStillHoldsOneRowPerColumn)
{
    AchievementsMenuFrame page;
    page.pager->height = 1;
    page.buildItems();
    EXPECT_EQ(page.rowsPerColumn, 1);
    EXPECT_EQ(page.indicator->pageCount, static_cast<int>((page.rows.size() + 1) / 2));
}

TEST_F(AchievementsPage, NoProgressShowsTheLockWithoutABar)
{
    AchievementsMenuFrame page;
    ASSERT_FALSE(page.rows.empty());
    const AchItem* row = page.rows.back();
    EXPECT_FALSE(row->achievement.done);
    if (row->achievement.progress() <= 0.0f) {
        EXPECT_FALSE(row->showsBar());
    }
}

TEST_F(AchievementsPage, CollectionIsMarkedOnTheNextShow)
{
    for (int member : {71, 72})
        settings().achievementDone[member] = 1;
    achievements().buildTable();
    AchievementsMenuFrame page;
    goToFrame(&page);
    EXPECT_EQ(settings().achievementDone[97], 0);
    settings().achievementDone[73] = 1;
    EXPECT_EQ(settings().achievementDone[97], 0);
    clearFrameHistory();
    goToFrame(&page);
    EXPECT_EQ(settings().achievementDone[97], 1);
    ASSERT_NE(achievements().find(97), nullptr);
    EXPECT_TRUE(achievements().find(97)->done);
    ASSERT_GE(page.rows.size(), 4u);
    EXPECT_TRUE(std::any_of(page.rows.begin(), page.rows.begin() + 4,
                            [](const AchItem* row) { return row->achievement.index == 97; }));
}

TEST(HelpText, OnlyTheFirstKeySlotIsFilled)
{
    EXPECT_EQ(fillHelpText(u"Press %s to eject", u"E"), u"Press E to eject");
    EXPECT_EQ(fillHelpText(u"Press %w now", u"F1"), u"Press F1 now");
    EXPECT_EQ(fillHelpText(u"%d%% done, %s and %s", u"Q"), u"%d%% done, Q and %s");
    EXPECT_EQ(fillHelpText(u"ends with %", u"Q"), u"ends with %");
    EXPECT_EQ(fillHelpText(u"", u"Q"), u"");
}

TEST(HelpText, PicturesKeepTheirColoursUnlessTheRecordTintsThem)
{
    auto rgba = [](const Color4& c) { return std::array<int, 4>{c.r, c.g, c.b, c.a}; };
    const std::array<int, 4> white{255, 255, 255, 255};
    EXPECT_EQ(rgba(helpPictureTint(0)), white);
    EXPECT_EQ(rgba(helpPictureTint(0x000000FF)), (std::array<int, 4>{255, 0, 0, 255}));
    EXPECT_EQ(rgba(helpPictureTint(0x00123456)), (std::array<int, 4>{0x56, 0x34, 0x12, 255}));
    EXPECT_EQ(rgba(helpPictureTint(0x7F000000)), white) << "the high byte is no colour";
    // Every picture of the table shows its art as drawn.
    for (const HelpRecord& record : helpTable()) {
        if (record.kind == HelpRecord::Kind::Picture) {
            EXPECT_EQ(rgba(helpPictureTint(record.colour)), white) << record.spriteSet << "/" << record.spriteFrame;
        }
    }
}

TEST_F(HowToPlay, ThirteenHelpPagesAndThreeRankPages)
{
    int breaks = 0;
    for (const HelpRecord& record : helpTable())
        breaks += record.kind == HelpRecord::Kind::PageBreak ? 1 : 0;
    EXPECT_EQ(helpTable().size(), 197u);
    EXPECT_EQ(breaks + 1, kHelpPageCount);
    HowToPlayMenuFrame page;
    EXPECT_EQ(page.pager->itemCount(), kHelpPageCount + kRankPageCount);
    EXPECT_EQ(page.pageIndicator->pageCount, 16);
    page.onPageChanged(16);
    EXPECT_EQ(page.pageIndicator->currentPage, 0);
    page.onPageChanged(15);
    EXPECT_EQ(page.pageIndicator->currentPage, 15);
}

TEST_F(HowToPlay, RankZeroHasNoPointsLine)
{
    HowToPlayMenuFrame page;
    const auto* firstRanks = static_cast<const MenuContainer*>(page.pager->itemAt(kHelpPageCount));
    ASSERT_NE(firstRanks, nullptr);
    // Title, then per rank: insignia, name and (above rank 0) the points.
    EXPECT_EQ(firstRanks->itemCount(), 1 + 6 * 3 - 1);
    const auto* lastRanks = static_cast<const MenuContainer*>(page.pager->itemAt(kHelpPageCount + 2));
    EXPECT_EQ(lastRanks->itemCount(), 1 + 6 * 3);
    const auto* points = static_cast<const SpriteLabel*>(firstRanks->itemAt(5));
    EXPECT_EQ(points->shownText(), u"300 pts.");
}

TEST_F(Credits, TextRisesAndStartsAgainAtTheBottomOnTime)
{
    CreditsMenuFrame page;
    goToFrame(&page);
    const float start = page.scrollY;
    EXPECT_FLOAT_EQ(start, static_cast<float>(page.bandHeight - page.linePitch));
    setFrameDelta(0.5f);
    page.update();
    EXPECT_FLOAT_EQ(page.scrollY, start - 10.0f);
    // The last line leaves the top after (start + 135 L) / 20 seconds.
    const float seconds = (start + 135.0f * page.linePitch) / 20.0f;
    setFrameDelta(seconds - 0.5f - 0.01f);
    page.update();
    EXPECT_LT(page.scrollY, 0.0f);
    setFrameDelta(0.02f);
    page.update();
    EXPECT_FLOAT_EQ(page.scrollY, static_cast<float>(page.bandHeight));
}

TEST_F(Credits, EveryMoveOfAFrameCountsAndDraggingDownShowsTheEnd)
{
    CreditsMenuFrame page;
    goToFrame(&page);
    page.scrollY = 100.0f;
    page.onTouchDown(600, 300);
    page.onTouchMove(600, 290);
    page.onTouchMove(600, 280);
    page.onTouchMove(600, 275);
    page.update();
    EXPECT_FLOAT_EQ(page.scrollY, 75.0f);
    page.onTouchMove(600, 275 + page.bandHeight + 2 * page.linePitch);
    page.update();
    EXPECT_FLOAT_EQ(page.scrollY, -135.0f * page.linePitch);
    page.onTouchUp(600, 600);
    EXPECT_TRUE(page.autoScroll);
}

TEST_F(Credits, VersionLineAndHeadings)
{
    EXPECT_EQ(CreditsMenuFrame::lineText(2), u"1.5.0");
    bool heading = false;
    const std::u16string first = CreditsMenuFrame::lineText(0, &heading);
    EXPECT_TRUE(first.empty() || first[0] != u'#');
}

// The arrow keys on the focused page dots turn the pages of How to Play and of
// the achievements, as a swipe does.
TEST_F(HowToPlay, TheArrowKeysOnThePageDotsTurnThePages)
{
    HowToPlayMenuFrame page;
    ASSERT_EQ(page.focusedItem, page.pageIndicator);
    page.moveFocus(MenuItem::kRight);
    page.moveFocus(MenuItem::kRight);
    for (int i = 0; i < 120; ++i)
        page.pager->update();
    EXPECT_EQ(page.pager->indexOf(page.pager->currentItem()), 2);
    page.moveFocus(MenuItem::kLeft);
    for (int i = 0; i < 120; ++i)
        page.pager->update();
    EXPECT_EQ(page.pager->indexOf(page.pager->currentItem()), 1);
    EXPECT_EQ(page.focusedItem, page.pageIndicator) << "the dots keep the focus";
}

TEST_F(AchievementsPage, TheArrowKeysOnThePageDotsTurnThePages)
{
    AchievementsMenuFrame page;
    forceRows(page, 2);
    ASSERT_GE(page.indicator->pageCount, 3);
    page.focusedItem = page.indicator;
    page.moveFocus(MenuItem::kRight);
    EXPECT_EQ(page.indicator->currentPage, 1);
    page.moveFocus(MenuItem::kLeft);
    page.moveFocus(MenuItem::kLeft);
    EXPECT_EQ(page.indicator->currentPage, page.indicator->pageCount - 1) << "back from the first wraps to the last";
}
