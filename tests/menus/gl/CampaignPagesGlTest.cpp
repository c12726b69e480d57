#include "harness/MenuHarness.h"

#include "gamedata/records/MapLists.h"
#include "gamedata/records/PlaneList.h"
#include "menus/MenuFrameRegistry.h"
#include "menus/frontend/BriefingMapMenu.h"
#include "menus/frontend/BriefingMenuFrame.h"
#include "menus/frontend/CampaignListSelectMenuFrame.h"
#include "menus/frontend/CampaignMenuFrame.h"
#include "menus/frontend/ComicCfg.h"
#include "menus/frontend/ComicsMenuFrame.h"
#include "menus/frontend/DogFightsMenuFrame.h"
#include "platform/File.h"
#include "platform/Language.h"
#include "platform/ScreenMetrics.h"
#include "platform/Settings.h"
#include "render/2d/CSprite.h"
#include "render/2d/SpriteSets.h"
#include "ui/MenuNavigation.h"
#include "ui/TextFitLog.h"
#include "ui/widgets/MenuPanel.h"
#include "ui/widgets/SpriteButton.h"
#include "ui/widgets/SpriteCounter.h"
#include "ui/widgets/SpriteHComboBox.h"

#include <filesystem>
#include <string>

namespace {
// The campaign road's pages over the menu backdrop at a screen size, with
// pictures under build/menus/campaign/.
struct CampaignPages : MenuHarness, testing::WithParamInterface<std::pair<int, int>> {
    void SetUp() override
    {
        MenuHarness::SetUp();
        if (IsSkipped())
            return;
        boot(GetParam().first, GetParam().second);
        MenuFrameRegistry::deleteAll();
        ASSERT_TRUE(MapLists::instance().load());
        ASSERT_TRUE(PlaneList::instance().load());   // the briefing names the mission's airplane
        settings().campaignProgress.fill(0);
        settings().campaignResults.fill(0);
        settings().setCampaignProgress(0, 0, 1);
        settings().setCampaignProgress(0, 1, 1);
        settings().campaignResults[0] = 3;   // gold on normal
        settings().dogfightsUnlocked = 0;
        settings().savedDifficulty = 1;
        std::filesystem::create_directories(std::string(SKYFRONT_BINARY_DIR) + "/menus/campaign");
    }
    void TearDown() override
    {
        if (!IsSkipped()) {
            clearFrameHistory();
            MenuFrameRegistry::deleteAll();
            MapLists::instance().clear();
            PlaneList::instance().clear();
        }
        MenuHarness::TearDown();
    }
    std::string picture(const char* name)
    {
        return "menus/campaign/" + std::string(name) + "_" + std::to_string(screenWidth()) + "x" +
               std::to_string(screenHeight()) + ".png";
    }
    // Pixels within the rectangle that are far from the menu's dark backdrop.
    int brightPixels(int x0, int y0, int w, int h)
    {
        const std::vector<Rgba> pixels = screenPixels();
        int count = 0;
        for (int y = std::max(y0, 0); y < std::min(y0 + h, screenHeight()); ++y)
            for (int x = std::max(x0, 0); x < std::min(x0 + w, screenWidth()); ++x) {
                const Rgba& c = pixels[static_cast<std::size_t>(y * screenWidth() + x)];
                count += c.r + c.g + c.b > 240 ? 1 : 0;
            }
        return count;
    }
    // The middle of the pixels of the map's blue (0, 0, 139) inside the rectangle; count 0 when none.
    struct Blob {
        float x = 0.0f, y = 0.0f;
        int count = 0;
    };
    Blob bluePlane(int x0, int y0, int w, int h)
    {
        const std::vector<Rgba> pixels = screenPixels();
        Blob blob;
        for (int y = y0; y < y0 + h; ++y)
            for (int x = x0; x < x0 + w; ++x) {
                const Rgba& c = pixels[static_cast<std::size_t>(y * screenWidth() + x)];
                if (c.b > 110 && c.b < 170 && c.r < 40 && c.g < 40) {
                    blob.x += static_cast<float>(x);
                    blob.y += static_cast<float>(y);
                    ++blob.count;
                }
            }
        if (blob.count > 0) {
            blob.x /= static_cast<float>(blob.count);
            blob.y /= static_cast<float>(blob.count);
        }
        return blob;
    }
};
}  // namespace

TEST_P(CampaignPages, TheCampaignListShowsTheMapAndReloadsIt)
{
    CampaignListSelectMenuFrame* list = MenuFrameRegistry::campaignListSelect();
    goToFrame(list);
    step(30);
    savePicture(picture("campaign_list"));
    const MenuPanel& map = *list->mapPanel;
    EXPECT_GT(map.width, 300);
    EXPECT_GE(map.absX, 0);
    EXPECT_LE(map.absX + map.width, screenWidth());
    EXPECT_LE(map.absY + map.height, screenHeight());
    EXPECT_GT(brightPixels(map.absX, map.absY, map.width, map.height), map.width * map.height / 4);
    for (const CampaignListEntry* entry : list->entries) {
        EXPECT_GT(entry->width, 100);
        EXPECT_GE(entry->absX, map.absX);
        EXPECT_LE(entry->absX + entry->width, map.absX + map.width);
    }
    // Leaving gives the picture back; coming back loads it again.
    CSprite* sheet = getSprite(CampaignListSelectMenuFrame::kMapSet);
    ASSERT_TRUE(sheet->isLoaded());
    // A click on campaign 2 opens its missions.
    const CampaignListEntry& second = *list->entries[1];
    click(second.absX + second.width / 2, second.absY + second.height / 2);
    step(2);
    EXPECT_EQ(currentFrame(), MenuFrameRegistry::campaignMenu());
    EXPECT_EQ(MenuFrameRegistry::campaignMenu()->campaign, 1);
    EXPECT_FALSE(sheet->isLoaded());
    goBack();
    step(2);
    EXPECT_TRUE(getSprite(CampaignListSelectMenuFrame::kMapSet)->isLoaded());
    step(10);
    EXPECT_GT(brightPixels(map.absX, map.absY, map.width, map.height), map.width * map.height / 4);
}

TEST_P(CampaignPages, MissionCardsThenTheBriefingWithItsMovingMap)
{
    CampaignMenuFrame* missions = MenuFrameRegistry::campaignMenu();
    missions->setCampaign(0);
    goToFrame(missions);
    step(60);
    savePicture(picture("missions"));
    ASSERT_EQ(missions->entries.size(), 5u);
    const CampaignMenuEntry& first = *missions->entries[0];
    EXPECT_GT(first.width, 200);
    EXPECT_GT(brightPixels(first.absX, first.absY, first.width, first.height), first.width * first.height / 4);
    EXPECT_TRUE(missions->entries[2]->locked);
    // Keys: right pages the row, and the focused open card leads to its briefing.
    missions->scrollRight();
    step(12);
    savePicture(picture("missions_paged"));
    missions->focusedItem = missions->entries[0];
    missions->entries[0]->activate();
    step(1);
    BriefingMenuFrame* briefing = MenuFrameRegistry::briefingMenu();
    ASSERT_EQ(currentFrame(), briefing);
    ASSERT_NE(briefing->map(), nullptr);
    const BriefingMapMenu::Rect area = briefing->map()->destination();
    EXPECT_GE(area.x, briefing->rightPanel->absX);
    EXPECT_LE(area.x + area.w, briefing->rightPanel->absX + briefing->rightPanel->width);
    step(100);
    savePicture(picture("briefing_a"));
    const int ax = static_cast<int>(area.x), ay = static_cast<int>(area.y);
    const int aw = static_cast<int>(area.w), ah = static_cast<int>(area.h);
    // The terrain shows, the flag line sits in the left panel.
    EXPECT_GT(brightPixels(ax, ay, aw, ah), aw * ah / 3);
    const BriefingFlagLabel& flag = *briefing->flagLabel;
    EXPECT_GE(flag.absY, briefing->leftPanel->absY);
    EXPECT_LE(flag.absY + flag.height, briefing->leftPanel->absY + briefing->leftPanel->height);
    EXPECT_EQ(flag.flagFrame, 124);   // the British flag of "EN"
    // The label in English with no space before its colon, then the mission's
    // airplane, on the same line or wrapped under it.
    const std::u16string& line = flag.text;
    ASSERT_GT(line.size(), 10u);
    EXPECT_EQ(line.rfind(u"Aircraft:", 0), 0u);
    EXPECT_TRUE(line[9] == u' ' || line[9] == u'\n') << "the name stands apart from the colon";
    EXPECT_NE(line.find(u"Spitfire"), std::u16string::npos) << "the mission's airplane is named";
    EXPECT_GT(brightPixels(flag.absX, flag.absY, flag.width, flag.height), 50);
    const Blob before = bluePlane(ax, ay, aw, ah);
    step(120);
    savePicture(picture("briefing_b"));
    const Blob after = bluePlane(ax, ay, aw, ah);
    EXPECT_GT(before.count, 20);
    EXPECT_GT(after.count, 20);
    EXPECT_GT(std::abs(after.x - before.x) + std::abs(after.y - before.y), 5.0f)
        << before.x << "," << before.y << " -> " << after.x << "," << after.y;

    // The same briefing once more: its map and picture come back whole.
    goBack();
    step(2);
    EXPECT_EQ(briefing->map(), nullptr);
    missions->entries[1]->activate();
    step(30);
    ASSERT_NE(briefing->map(), nullptr);
    EXPECT_TRUE(briefing->map()->ready());
    // The flag line's text starts after its flag again.
    EXPECT_GT(briefing->flagLabel->textOffsetX, 10);
    EXPECT_GT(briefing->flagLabel->width, briefing->flagLabel->textOffsetX);
    savePicture(picture("briefing_mission2"));
}

TEST_P(CampaignPages, ComicSlidesTurnAndZoom)
{
    ComicsMenuFrame* comics = MenuFrameRegistry::comicsMenu();
    ASSERT_TRUE(comics->loadComic("c1_end", ComicCfg::kEndToPlay));
    goToFrame(comics);
    step(10);
    savePicture(picture("comic_1"));
    EXPECT_EQ(comics->currentView().width, 1920);   // the dense sheet at scale 1
    EXPECT_GT(brightPixels(0, 0, screenWidth(), screenHeight()), screenWidth() * screenHeight() / 3);
    // Dragged left past the middle, the next slide glides in.
    const int y = screenHeight() / 2;
    mouseDown(screenWidth() * 3 / 4, y);
    step(1);
    for (int i = 1; i <= 8; ++i) {
        mouseMove(screenWidth() * 3 / 4 - i * screenWidth() / 12, y);
        step(1);
    }
    mouseUp(screenWidth() / 12, y);
    step(60);
    EXPECT_EQ(comics->page(), 1);
    savePicture(picture("comic_2"));
    // A double tap zooms twice as close.
    const float fit = comics->currentView().zoom;
    click(screenWidth() / 3, screenHeight() / 3);
    click(screenWidth() / 3 + 5, screenHeight() / 3 + 5);
    step(1);
    EXPECT_TRUE(comics->currentView().zoomed);
    EXPECT_NEAR(comics->currentView().zoom, 2.0f * fit, 1e-4f);
    savePicture(picture("comic_zoomed"));

    // A sheet with no dense variant loads the plain one at twice its scale.
    auto plain = openFile("data/comics/c1_end_1.bspr");
    ASSERT_NE(plain, nullptr);
    std::vector<std::uint8_t> bytes;
    ASSERT_TRUE(plain->readAll(bytes));
    std::filesystem::create_directories(saveFolder().path() / "data/comics");
    saveFolder().write("data/comics/plainonly.bspr", std::string(bytes.begin(), bytes.end()));
    CSprite sheet;
    ASSERT_TRUE(ComicsMenuFrame::loadComicSheet(sheet, "plainonly"));
    EXPECT_FLOAT_EQ(sheet.baseScale(), 2.0f);
    int w = 0, h = 0;
    sheet.frameBounds(0, w, h);
    EXPECT_EQ(w, 1920);
}

TEST_P(CampaignPages, DogfightsShowTheFirstCardAndALockedOneStaysSilent)
{
    DogFightsMenuFrame* page = MenuFrameRegistry::dogFightsMenu();
    goToFrame(page);
    step(30);
    savePicture(picture("dogfights"));
    const DogFightEntry& card = *page->shownCard();
    EXPECT_EQ(page->shown, 0);
    EXPECT_GT(card.width, 100);
    EXPECT_GT(brightPixels(card.absX, card.absY, card.width, card.height), card.width * card.height / 4);
    // A French goal, too long for the card beside a medal, shrinks to keep left of it.
    settings().dogfightsUnlocked = 1;
    settings().setDogfightMedal(0, 3);
    ASSERT_TRUE(setLanguageByIndex(languageIndexOfCode("fr")));
    reloadFonts();
    textFitLog().setEnabled(true);
    textFitLog().beginFrame();
    step(1);
    const float medal = getSprite(kSpriteSetMenus)->frameRect(DogFightEntry::kMedalFrameBase + 3).w;
    int goals = 0;
    for (const TextFitLog::Entry& text : textFitLog().entries())
        if (text.frame >= 0 && text.text.find("50") != std::string::npos) {
            ++goals;
            EXPECT_LE(text.inked.x + text.inked.w, card.absX + card.width - 10.0f * screenMetrics().uiScale - medal + 1);
        }
    EXPECT_EQ(goals, 1);
    textFitLog().setEnabled(false);
    ASSERT_TRUE(setLanguageByIndex(0));
    reloadFonts();
    settings().dogfightsUnlocked = 0;
    page->counter->value = 3;
    step(2);
    const DogFightEntry& locked = *page->shownCard();
    EXPECT_EQ(page->shown, 2);
    savePicture(picture("dogfights_locked"));
    click(locked.absX + locked.width / 2, locked.absY + locked.height / 2);
    step(2);
    EXPECT_TRUE(sounds().empty());
    EXPECT_EQ(currentFrame(), page);
}

// The dots under the cards follow the row: a drag to the left marks a later
// card, a drag back an earlier one, a tap on the dots' right half the next.
TEST_P(CampaignPages, MissionDotsFollowTheCardsTheRowWasMovedTo)
{
    CampaignMenuFrame* missions = MenuFrameRegistry::campaignMenu();
    missions->setCampaign(0);
    goToFrame(missions);
    step(60);
    ASSERT_GE(missions->entries.size(), 3u);
    ASSERT_EQ(missions->indicator->currentPage, 1) << "the last open card is marked at first";
    const CampaignMenuEntry& card = *missions->entries[1];
    const int y = card.absY + card.height / 2;
    const int pitch = missions->entries[2]->absX - card.absX;
    auto drag = [&](int from, int to) {
        mouseDown(from, y);
        step(1);
        for (int i = 1; i <= 10; ++i) {
            mouseMove(from + (to - from) * i / 10, y);
            step(1);
        }
        mouseUp(to, y);
        step(90);
    };
    const int middle = screenWidth() / 2;
    drag(middle + pitch / 2, middle - pitch / 2);
    // The row glides on after the release; the dots mark where it stops.
    EXPECT_GE(missions->cardAtMiddle(), 2);
    EXPECT_EQ(missions->indicator->currentPage, missions->cardAtMiddle());
    savePicture(picture("missions_dragged"));
    drag(middle - pitch / 2, middle + pitch);
    EXPECT_EQ(missions->indicator->currentPage, missions->cardAtMiddle());
    EXPECT_LE(missions->indicator->currentPage, 1);
    const int before = missions->indicator->currentPage;
    const SpritePageIndicator& dots = *missions->indicator;
    click(dots.absX + dots.width - 2, dots.absY + dots.height / 2);
    step(30);
    EXPECT_EQ(missions->indicator->currentPage, before + 1);
}

INSTANTIATE_TEST_SUITE_P(Sizes, CampaignPages, testing::Values(std::make_pair(960, 640), std::make_pair(1920, 1080)),
                         [](const testing::TestParamInfo<std::pair<int, int>>& info) {
                             return std::to_string(info.param.first) + "x" + std::to_string(info.param.second);
                         });
