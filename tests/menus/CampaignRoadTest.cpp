#include "StagedPageTest.h"
#include "support/ui/FakeMenuShowcase.h"

#include "gamedata/records/MapLists.h"
#include "menus/MenuFrameRegistry.h"
#include "menus/frontend/BriefingMapMenu.h"
#include "menus/frontend/BriefingMenuFrame.h"
#include "menus/frontend/CampaignEndPages.h"
#include "menus/frontend/CampaignListSelectMenuFrame.h"
#include "menus/frontend/CampaignMenuFrame.h"
#include "menus/frontend/ComicCfg.h"
#include "menus/frontend/ComicsMenuFrame.h"
#include "menus/frontend/DogFightsMenuFrame.h"
#include "modes/GameModeGlobals.h"
#include "modes/GameType.h"
#include "platform/Analytics.h"
#include "platform/Input.h"
#include "platform/Language.h"
#include "platform/StringTable.h"
#include "render/2d/SpriteSets.h"
#include "render/2d/SpriteSheet.h"
#include "screens/PauseScreen.h"
#include "screens/Screens.h"
#include "ui/widgets/MenuPanel.h"
#include "ui/widgets/SpriteButton.h"
#include "ui/widgets/SpriteCheckbox.h"
#include "ui/widgets/SpriteCounter.h"
#include "ui/widgets/SpriteHComboBox.h"

#include <cmath>
#include <string>
#include <vector>

namespace {
constexpr float kHalfTurn = 3.14159265f;

// The staged data as the game reads it: texts and the map lists.
struct CampaignRoad : StagedPageTest {
    void SetUp() override
    {
        StagedPageTest::SetUp();
        if (HasFatalFailure())
            return;
        settings().campaignProgress.fill(0);
        settings().campaignResults.fill(0);
        settings().dogfightsUnlocked = 0;
        settings().dogfightMedals.fill(0);
        settings().savedDifficulty = 1;
        gameChoices() = GameChoices{};
    }
    void TearDown() override
    {
        clearFrameHistory();
        MenuFrameRegistry::deleteAll();
        resetScreens();
        StagedPageTest::TearDown();
    }
};

// A sheet of one frame per step placing the code modules at points.
struct SheetMaker {
    SpriteSheet sheet;
    SheetMaker()
    {
        sheet.texWidth = sheet.texHeight = 2048;
        sheet.modules.push_back({100, 200, 400, 400});   // the map window
        for (int code = 1; code <= 43; ++code)
            sheet.modules.push_back({0, 0, 2, 2});
    }
    // A step: (code, x, y) with x, y the centre of the part.
    void step(int duration, std::vector<std::array<int, 3>> parts)
    {
        SpriteSheet::Frame frame;
        frame.firstPart = static_cast<std::uint16_t>(sheet.parts.size());
        for (const auto& p : parts) {
            SpriteSheet::Part part;
            part.module = static_cast<std::uint16_t>(p[0]);
            part.x = static_cast<std::int16_t>(p[1] - 1);
            part.y = static_cast<std::int16_t>(p[2] - 1);
            sheet.parts.push_back(part);
        }
        frame.partCount = static_cast<std::uint16_t>(parts.size());
        sheet.animFrames.push_back({static_cast<std::uint16_t>(sheet.frames.size()), static_cast<std::uint16_t>(duration)});
        sheet.frames.push_back(frame);
        sheet.anims.assign(1, SpriteSheet::Anim{0, static_cast<std::uint16_t>(sheet.animFrames.size())});
    }
};
}  // namespace

// ---- The campaign list and the mission cards ----

TEST_F(CampaignRoad, ACampaignOpensWhereverItsTouchEnds)
{
    CampaignListSelectMenuFrame* list = MenuFrameRegistry::campaignListSelect();
    goToFrame(list);
    CampaignListEntry& second = *list->entries[1];
    ASSERT_TRUE(second.onTouchDown(second.absX, second.absY));
    // Lifted far away: the campaign opens all the same, without the click.
    EXPECT_FALSE(second.onTouchUp(second.absX + 500, second.absY + 400));
    EXPECT_EQ(currentFrame(), MenuFrameRegistry::campaignMenu());
    EXPECT_EQ(MenuFrameRegistry::campaignMenu()->campaign, 1);
    EXPECT_EQ(gameChoices().currentCampaign, 1);
    goBack();
    EXPECT_EQ(currentFrame(), list);
    list->entries[2]->activate();
    EXPECT_EQ(MenuFrameRegistry::campaignMenu()->campaign, 2);
}

TEST_F(CampaignRoad, CardsReadTheirOwnMissionsLockAndMedal)
{
    settings().setCampaignProgress(0, 0, 1);
    settings().setCampaignProgress(0, 1, 1);
    settings().setCampaignProgress(0, 3, 1);
    // Normal in byte 0, hard in byte 1, easy in byte 2; 7 is no medal.
    settings().campaignResults[1] = 0x00030702u;
    CampaignMenuFrame* page = MenuFrameRegistry::campaignMenu();
    page->setCampaign(0);
    goToFrame(page);
    ASSERT_EQ(page->entries.size(), 5u);
    std::vector<bool> locks;
    for (const CampaignMenuEntry* entry : page->entries)
        locks.push_back(entry->locked);
    EXPECT_EQ(locks, (std::vector<bool>{false, false, true, false, true}));
    // The focus and the page dot go to the highest open mission.
    EXPECT_EQ(page->focusedItem, page->entries[3]);
    EXPECT_EQ(page->highestOpen, 3);
    EXPECT_EQ(page->indicator->currentPage, 3);
    EXPECT_EQ(page->titleLabel->stringId, CampaignMenuFrame::kCampaignTitleBase);

    EXPECT_EQ(CampaignMenuEntry::medalAt(0, 1, 1), 2);
    EXPECT_EQ(CampaignMenuEntry::medalAt(0, 1, 2), 0);   // 7 draws nothing
    EXPECT_EQ(CampaignMenuEntry::medalAt(0, 1, 0), 3);
    EXPECT_EQ(CampaignMenuEntry::medalAt(0, 1, 5), 0);
    EXPECT_EQ(CampaignMenuEntry::medalAt(0, 0, 1), 0);

    // Missions past the progress table are never open.
    for (int c = 0; c < 3; ++c)
        settings().setCampaignProgress(c, 15, 1);
    EXPECT_TRUE(CampaignMenuFrame::missionOpen(0, 15));
    EXPECT_FALSE(CampaignMenuFrame::missionOpen(0, 16));
    EXPECT_FALSE(CampaignMenuFrame::missionOpen(1, -1));
}

TEST_F(CampaignRoad, AnEmptySlotLeavesTheLaterLocksOnTheirOwnCards)
{
    // A list whose second line names a missing record: slot 1 stays empty.
    saves.write("gap/skirmish.lst", "harbour\n");
    saves.write("gap/campaign1.lst", "c1m1\nnosuchmission\nc1m3\nc1m4\n");
    saves.write("gap/campaign2.lst", "");
    saves.write("gap/campaign3.lst", "");
    for (const char* name : {"harbour", "c1m1", "c1m3", "c1m4"}) {
        auto file = openFile(std::string("data/maps/configs/") + name + ".cfg");
        ASSERT_NE(file, nullptr) << name;
        std::vector<std::uint8_t> bytes;
        ASSERT_TRUE(file->readAll(bytes));
        saves.write(std::string("gap/configs/") + name + ".cfg", std::string(bytes.begin(), bytes.end()));
    }
    ASSERT_TRUE(MapLists::instance().load("gap/"));
    ASSERT_EQ(MapLists::instance().campaignMission(0, 1), nullptr);
    settings().setCampaignProgress(0, 0, 1);
    settings().setCampaignProgress(0, 2, 1);
    CampaignMenuFrame* page = MenuFrameRegistry::campaignMenu();
    page->setCampaign(0);
    goToFrame(page);
    // Every filled slot has its card, the last one too.
    ASSERT_EQ(page->entries.size(), 3u);
    EXPECT_EQ(page->entries[1]->slot, 2);
    EXPECT_EQ(page->entries[2]->slot, 3);
    EXPECT_FALSE(page->entries[1]->locked);   // mission 3 is open
    EXPECT_TRUE(page->entries[2]->locked);    // mission 4 is not
    EXPECT_EQ(page->focusedItem, page->entries[1]);
    // A locked card never opens its briefing.
    int opened = 0;
    page->entries[2]->openBriefing = [&](const MapInfoCfg&) { ++opened; };
    page->entries[2]->activate();
    page->entries[1]->openBriefing = [&](const MapInfoCfg& record) { opened += 10 * (record.index + 1); };
    page->entries[1]->activate();
    EXPECT_EQ(opened, 30);
}

TEST_F(CampaignRoad, KeyPagingStaysWithinTheRowBothWays)
{
    CampaignMenuFrame* page = MenuFrameRegistry::campaignMenu();
    goToFrame(page);
    MenuPanel& row = *page->row;
    row.width = 1000;
    row.contentWidth = 1900;
    ASSERT_NE(row.itemAt(0), nullptr);
    row.itemAt(0)->width = 400;
    row.scrollX = 0.0f;
    // From the start, left goes nowhere.
    page->scrollLeft();
    for (int i = 0; i < 12; ++i)
        page->stepPendingScroll();
    EXPECT_FLOAT_EQ(row.scrollX, 0.0f);
    // Ten frames move one card width; the right end stops it at width - content.
    page->scrollRight();
    for (int i = 0; i < 10; ++i)
        page->stepPendingScroll();
    EXPECT_FLOAT_EQ(row.scrollX, -400.0f);
    EXPECT_EQ(page->pendingScroll, 0);
    for (int k = 0; k < 3; ++k) {
        page->scrollRight();
        for (int i = 0; i < 10; ++i)
            page->stepPendingScroll();
    }
    EXPECT_FLOAT_EQ(row.scrollX, -900.0f);
    // And back from the right end.
    page->scrollLeft();
    for (int i = 0; i < 10; ++i)
        page->stepPendingScroll();
    EXPECT_FLOAT_EQ(row.scrollX, -500.0f);
    for (int k = 0; k < 3; ++k) {
        page->scrollLeft();
        for (int i = 0; i < 10; ++i)
            page->stepPendingScroll();
    }
    EXPECT_FLOAT_EQ(row.scrollX, 0.0f);
}

// ---- The briefing ----

TEST_F(CampaignRoad, ResumeFollowsTheCheckpointOfTheChosenDifficulty)
{
    const MapInfoCfg* mission = MapLists::instance().campaignMission(0, 1);
    ASSERT_NE(mission, nullptr);
    BriefingMenuFrame* page = MenuFrameRegistry::briefingMenu();
    goToFrame(MenuFrameRegistry::campaignMenu());
    page->setMission(mission);
    goToFrame(page);
    EXPECT_FALSE(page->resumeButton->visible);
    EXPECT_TRUE(page->difficultyBoxes[1]->checked);
    // "Hard" has its own warmer box, of the others' height.
    EXPECT_EQ(page->difficultyBoxes[1]->frameOn, page->difficultyBoxes[0]->frameOn);
    EXPECT_NE(page->difficultyBoxes[2]->frameOn, page->difficultyBoxes[0]->frameOn);
    for (const SpriteCheckbox* box : page->difficultyBoxes)
        EXPECT_EQ(box->height, page->difficultyBoxes[0]->height);
    EXPECT_EQ(BriefingMenuFrame::checkpointName(*mission, 2), "missionSavc0m1_2.sav");

    // A checkpoint on hard: shown as soon as hard is checked, gone again on easy.
    saves.write("missionSavc0m1_2.sav", "checkpoint");
    page->difficultyBoxes[2]->onTouchDown(0, 0);
    EXPECT_TRUE(page->difficultyBoxes[2]->checked);
    EXPECT_FALSE(page->difficultyBoxes[1]->checked);
    EXPECT_EQ(gameChoices().nextDifficulty, 2);
    EXPECT_TRUE(page->resumeButton->visible);
    page->difficultyBoxes[0]->onTouchDown(0, 0);
    EXPECT_EQ(gameChoices().nextDifficulty, 0);
    EXPECT_FALSE(page->resumeButton->visible);
    EXPECT_FALSE(page->difficultyBoxes[2]->checked);
    // Clicking the checked box leaves it checked.
    page->difficultyBoxes[0]->onTouchDown(0, 0);
    EXPECT_TRUE(page->difficultyBoxes[0]->checked);
    EXPECT_EQ(gameChoices().nextDifficulty, 0);

    // Back keeps the last choice as the saved difficulty.
    goBack();
    EXPECT_EQ(settings().savedDifficulty, 0);
    EXPECT_EQ(onDisk().savedDifficulty, 0);
    EXPECT_EQ(page->mission(), nullptr);
}

TEST_F(CampaignRoad, FlyAndResumeStartTheMissionOnceAndLeaveNoMap)
{
    const MapInfoCfg* mission = MapLists::instance().campaignMission(1, 2);
    ASSERT_NE(mission, nullptr);
    struct Start {
        int campaign, mission, difficulty, resume;
    };
    std::vector<Start> starts;
    BriefingMenuFrame* page = MenuFrameRegistry::briefingMenu();
    page->startMission = [&](int c, int m, int d, int r) { starts.push_back({c, m, d, r}); };
    settings().savedDifficulty = 2;
    page->setMission(mission);
    goToFrame(page);
    page->onFly();
    ASSERT_EQ(starts.size(), 1u);
    EXPECT_EQ(starts[0].campaign, 1);
    EXPECT_EQ(starts[0].mission, 2);
    EXPECT_EQ(starts[0].difficulty, 2);
    EXPECT_EQ(starts[0].resume, 0);
    EXPECT_EQ(gameChoices().selectedMission, 2);
    // Still the current page after its own hide: drawing and a second hide are harmless.
    EXPECT_EQ(page->map(), nullptr);
    page->update();
    page->draw();
    page->onHide();
    page->onFly();   // no mission any more: nothing starts
    EXPECT_EQ(starts.size(), 1u);

    saves.write("missionSavc1m2_2.sav", "checkpoint");
    page->setMission(mission);
    page->onShow();
    EXPECT_TRUE(page->resumeButton->visible);
    page->onFlyResume();
    ASSERT_EQ(starts.size(), 2u);
    EXPECT_EQ(starts[1].resume, 1);
    EXPECT_EQ(gameChoices().resume, 1);
    EXPECT_EQ(settings().savedDifficulty, 2);
}

TEST_F(CampaignRoad, ABriefingWithoutMissionShowsNoMap)
{
    BriefingMenuFrame* page = MenuFrameRegistry::briefingMenu();
    page->setMission(nullptr);
    goToFrame(page);
    EXPECT_EQ(page->map(), nullptr);
    EXPECT_FALSE(page->resumeButton->visible);
    page->update();
    page->draw();
    // No mission in the slot, or no sheet by that name: no map, never another set.
    BriefingMapMenu map;
    EXPECT_FALSE(map.setup(0, 20, 0, 0, 300, 300));
    EXPECT_FALSE(map.setup(5, 0, 0, 0, 300, 300));
    EXPECT_FALSE(map.setup(-1, -1, 0, 0, 300, 300));
    EXPECT_FALSE(map.ready());
    EXPECT_EQ(BriefingMapMenu::terrainPictureName("Ocean/wm"), "data/terrain/Channel/wm.pvr");
    EXPECT_EQ(BriefingMapMenu::terrainPictureName("pacific/wm"), "data/terrain/pacific/wm.pvr");
    EXPECT_EQ(BriefingMapMenu::flagFrameOfCode("DE"), 127);
    EXPECT_EQ(BriefingMapMenu::flagFrameOfCode("XX"), 0);
}

// ---- The briefing map's steps ----

TEST(BriefingMapSteps, ElementsHeadingsAndArrowsFromTheSheet)
{
    SheetMaker maker;
    // Step 0: side flag 1, a British plane at (100, 100) looking up at (100, 80),
    // a path of four points, a red arrow, a target and a badge.
    maker.step(40, {{42, 1, 1}, {43, 1, 1}, {1, 100, 80}, {3, 100, 100}, {11, 100, 100}, {12, 200, 100},
                    {13, 200, 200}, {11, 100, 200}, {8, 10, 10}, {9, 10, 110}, {26, 50, 60}, {38, 300, 300}});
    // Step 1: code 15 keeps step 0 and this one; a plane without a nation.
    maker.step(20, {{15, 1, 1}, {1, 5, 5}, {20 + 24, 5, 5}});
    // Step 2: code 14 shows this step only; a path point without a plane.
    maker.step(30, {{14, 1, 1}, {11, 50, 50}, {8, 0, 0}});
    BriefingMapMenu::StepList list = BriefingMapMenu::buildSteps(maker.sheet, 1.0f, 10.0f, 20.0f, 0.5f, 32.0f);
    ASSERT_EQ(list.steps.size(), 3u);
    EXPECT_EQ(list.sideFlag, 1);   // the last side code wins
    const auto& first = list.steps[0].elems;
    ASSERT_EQ(first.size(), 4u);
    auto* plane = dynamic_cast<BriefingMapMenu::ElemPlane*>(first[0].get());
    ASSERT_NE(plane, nullptr);
    EXPECT_EQ(plane->kind, 3);
    EXPECT_FLOAT_EQ(plane->x, 10.0f + 0.5f * 100.0f);
    EXPECT_FLOAT_EQ(plane->y, 20.0f + 0.5f * 100.0f);
    // From its look point to its nation point: (0, 20), so atan2(20, 0) - pi/2 = 0.
    EXPECT_NEAR(plane->heading, 0.0f, 1e-5f);
    ASSERT_EQ(plane->path.size(), 4u);
    EXPECT_FLOAT_EQ(plane->path[1].x, 10.0f + 100.0f);
    auto* arrow = dynamic_cast<BriefingMapMenu::ElemArrow*>(first[1].get());
    ASSERT_NE(arrow, nullptr);
    EXPECT_EQ(arrow->endKind, 9);
    EXPECT_EQ(arrow->length, 50);
    EXPECT_NEAR(arrow->heading, std::atan2(-50.0f, 0.0f) - kHalfTurn / 2.0f, 1e-5f);
    EXPECT_EQ(first[2]->kind, 26);
    EXPECT_FLOAT_EQ(dynamic_cast<BriefingMapMenu::ElemTarget*>(first[2].get())->iconScale, 1.0f);
    EXPECT_EQ(first[3]->kind, 38);
    EXPECT_EQ(BriefingMapMenu::flagFrameOfKind(38), 127);

    ASSERT_EQ(list.steps[1].elems.size(), 1u);
    EXPECT_EQ(list.steps[1].elems[0]->kind, 0);   // a plane drawn white with flag 0
    EXPECT_EQ(BriefingMapMenu::flagFrameOfKind(0), 0);
    EXPECT_EQ(BriefingMapMenu::planeColor(0, 0).b, 255);
    EXPECT_EQ(list.steps[1].keepFrom, 0);
    ASSERT_EQ(list.steps[2].elems.size(), 1u);   // the lone path point joins nothing
    EXPECT_EQ(list.steps[2].keepFrom, 2);
    auto* stub = dynamic_cast<BriefingMapMenu::ElemArrow*>(list.steps[2].elems[0].get());
    ASSERT_NE(stub, nullptr);
    EXPECT_EQ(stub->length, 0);

    // Blue and red by kind and side flag.
    EXPECT_EQ(BriefingMapMenu::planeColor(3, 1).r, 139);
    EXPECT_EQ(BriefingMapMenu::planeColor(4, 1).b, 139);
    EXPECT_EQ(BriefingMapMenu::planeColor(4, 0).r, 139);
}

TEST(BriefingMapSteps, TheClockMovesPlanesGrowsArrowsAndChoosesWhatShows)
{
    SheetMaker maker;
    maker.step(40, {{1, 100, 80}, {2, 100, 100}, {11, 0, 0}, {11, 100, 0}, {11, 100, 100}, {11, 0, 100},
                    {8, 0, 0}, {10, 0, 64}});
    maker.step(20, {{15, 1, 1}, {27, 5, 5}});
    maker.step(30, {{14, 1, 1}, {28, 5, 5}});
    BriefingMapMenu::StepList list = BriefingMapMenu::buildSteps(maker.sheet, 1.0f, 0.0f, 0.0f, 1.0f, 32.0f);
    auto& plane = dynamic_cast<BriefingMapMenu::ElemPlane&>(*list.steps[0].elems[0]);
    auto& arrow = dynamic_cast<BriefingMapMenu::ElemArrow&>(*list.steps[0].elems[1]);
    EXPECT_EQ(list.visibleSteps(), (std::vector<int>{0}));
    // Update 10 of 40: the second of four points, heading toward the third.
    for (int i = 0; i < 10; ++i)
        list.advance();
    EXPECT_FLOAT_EQ(plane.x, 100.0f);
    EXPECT_FLOAT_EQ(plane.y, 0.0f);
    EXPECT_NEAR(plane.heading, std::atan2(-100.0f, 0.0f) - kHalfTurn / 2.0f, 1e-5f);
    EXPECT_NEAR(arrow.progress, 10.0f / 40.0f * 2.0f, 1e-5f);
    // The last point looks back at the first.
    for (int i = 0; i < 29; ++i)
        list.advance();
    EXPECT_FLOAT_EQ(plane.x, 0.0f);
    EXPECT_FLOAT_EQ(plane.y, 100.0f);
    EXPECT_NEAR(plane.heading, std::atan2(100.0f, 0.0f) - kHalfTurn / 2.0f, 1e-5f);
    EXPECT_NEAR(arrow.progress, 39.0f / 40.0f * 2.0f, 1e-5f);
    EXPECT_EQ(list.currentStep(), 0);
    list.advance();   // t = 40: the second step plays, the first stays as it was
    EXPECT_EQ(list.currentStep(), 1);
    EXPECT_NEAR(arrow.progress, 39.0f / 40.0f * 2.0f, 1e-5f);
    EXPECT_EQ(list.visibleSteps(), (std::vector<int>{0, 1}));
    for (int i = 0; i < 20; ++i)
        list.advance();
    EXPECT_EQ(list.currentStep(), 2);
    EXPECT_EQ(list.visibleSteps(), (std::vector<int>{0, 2}));
    // Past the end the last picture stays.
    for (int i = 0; i < 200; ++i)
        list.advance();
    EXPECT_EQ(list.currentStep(), 2);
    EXPECT_EQ(list.visibleSteps(), (std::vector<int>{0, 2}));
    arrow.update(-1, -1);
    EXPECT_FLOAT_EQ(arrow.progress, 2.0f);
}

// ---- Comics ----

TEST(ComicRecord, SlidesReadInOrderAndDamageLeavesNone)
{
    ComicCfg comic;
    EXPECT_TRUE(comic.loadText(R"(ComicCfg { slides [ ComicSlide { sprite "a" txtStart "T1" }
        ComicSlide { sprite "b" txtStart "T3" } ] })", 3));
    ASSERT_EQ(comic.slideCount(), 2);
    EXPECT_EQ(comic.slide(1)->sprite, "b");
    EXPECT_EQ(comic.slide(1)->txtStart, "T3");
    EXPECT_EQ(comic.endMode, 3);
    // A slide without a sheet is dropped; the rest keep their order.
    EXPECT_TRUE(comic.loadText(R"(ComicCfg { slides [ ComicSlide { txtStart "X" } ComicSlide { sprite "c" } ] })", 2));
    ASSERT_EQ(comic.slideCount(), 1);
    EXPECT_EQ(comic.slide(0)->sprite, "c");
    // Damage or nothing at all: no slide.
    EXPECT_FALSE(comic.loadText(R"(ComicCfg { slides [ ComicSlide { sprite "a" )", 2));
    EXPECT_EQ(comic.slideCount(), 0);
    EXPECT_FALSE(comic.loadText("ComicCfg { }", 2));
    EXPECT_FALSE(comic.loadText("Other { }", 2));
    EXPECT_EQ(comic.slide(0), nullptr);
}

TEST(ComicViews, DoubleZoomKeepsThePointAndPanningMeetsHalfResistance)
{
    ComicSlideView view;
    view.width = 1920;
    view.height = 1280;
    view.fit(1280, 720);
    EXPECT_FLOAT_EQ(view.zoom, 1280.0f / 1920.0f);
    EXPECT_FLOAT_EQ(view.y, (720.0f - 1280.0f * view.zoom) / 2.0f);
    // About the middle: the middle stays where it was.
    const float z = view.zoom;
    const float pictureX = (640.0f - view.x) / z, pictureY = (360.0f - view.y) / z;
    view.toggleZoom(640.0f, 360.0f, 1280, 720);
    EXPECT_TRUE(view.zoomed);
    EXPECT_FLOAT_EQ(view.zoom, 2.0f * z);
    EXPECT_NEAR(view.x + pictureX * view.zoom, 640.0f, 1e-3f);
    EXPECT_NEAR(view.y + pictureY * view.zoom, 360.0f, 1e-3f);
    view.toggleZoom(640.0f, 360.0f, 1280, 720);
    EXPECT_FALSE(view.zoomed);
    EXPECT_FLOAT_EQ(view.zoom, z);
    // Near a corner the zoomed picture keeps that corner on the screen's.
    view.toggleZoom(100.0f, 100.0f, 1280, 720);
    EXPECT_FLOAT_EQ(view.x, 0.0f);
    EXPECT_FLOAT_EQ(view.y, 0.0f);
    view.fit(1280, 720);

    view.firstSlide = true;
    view.pan(40.0f, 0.0f, 1280, 720);
    EXPECT_FLOAT_EQ(view.x, 40.0f);   // at 0 the first drag is whole
    view.pan(40.0f, 0.0f, 1280, 720);
    EXPECT_FLOAT_EQ(view.x, 60.0f);   // past the edge, half
    const float top = view.y;
    view.pan(-100.0f, 50.0f, 1280, 720);
    EXPECT_FLOAT_EQ(view.x, -40.0f);  // back, whole
    EXPECT_FLOAT_EQ(view.y, top + 50.0f);
    view.pan(0.0f, 500.0f, 1280, 720);
    EXPECT_FLOAT_EQ(view.y, 0.0f);    // the taller picture's top stays at the screen's
    // With nothing beside it the easing brings it back.
    for (int i = 0; i < 60; ++i)
        view.ease(true, 1.0f / 60.0f, 1280, 720);
    EXPECT_FLOAT_EQ(view.x, 0.0f);

    // A picture without size never divides by zero.
    ComicSlideView empty;
    empty.fit(1280, 720);
    EXPECT_TRUE(std::isfinite(empty.zoom));
    empty.toggleZoom(10.0f, 10.0f, 1280, 720);
    empty.ease(true, 0.1f, 1280, 720);
    EXPECT_TRUE(std::isfinite(empty.x) && std::isfinite(empty.y));
}

TEST_F(CampaignRoad, ComicPagesTurnAndDoubleTapsCountOnce)
{
    ComicsMenuFrame* comics = MenuFrameRegistry::comicsMenu();
    ASSERT_TRUE(comics->loadComic("c1_end", ComicCfg::kEndToPlay));
    ASSERT_EQ(comics->slideCount(), 2);
    goToFrame(comics);
    EXPECT_EQ(comics->page(), 0);
    EXPECT_FALSE(comics->previousButton->visible);
    EXPECT_TRUE(comics->nextButton->visible);
    ComicSlideView& first = comics->currentView();
    first.width = 1920;
    first.height = 1280;
    first.fit(1280, 720);
    // Two taps within 40 px and a second: double zoom; a third quick tap is a new first tap.
    comics->onTouchDown(600, 300);
    comics->onTouchUp(600, 300);
    comics->update();
    EXPECT_FALSE(first.zoomed);
    comics->onTouchDown(620, 310);
    EXPECT_TRUE(first.zoomed);
    comics->onTouchUp(620, 310);
    const float zoom = first.zoom;
    comics->onTouchDown(620, 310);
    comics->onTouchUp(620, 310);
    EXPECT_TRUE(first.zoomed);
    EXPECT_FLOAT_EQ(first.zoom, zoom);
    // A tap on the bar never zooms.
    comics->onTouchDown(620, 715);
    comics->onTouchUp(620, 715);
    comics->onTouchDown(620, 715);
    comics->onTouchUp(620, 715);
    EXPECT_FLOAT_EQ(first.zoom, zoom);

    comics->nextPage();
    EXPECT_EQ(comics->page(), 1);
    EXPECT_FALSE(comics->nextButton->visible);
    EXPECT_TRUE(comics->previousButton->visible);
    comics->nextPage();
    EXPECT_EQ(comics->page(), 1);
    comics->moveFocus(MenuItem::kLeft);
    EXPECT_EQ(comics->page(), 0);
    // The bar fades while nothing touches it and comes back with a touch.
    for (int i = 0; i < 60; ++i)
        comics->update();
    EXPECT_LT(comics->barAlpha(), 1.0f);
    comics->onTouchDown(10, 10);
    comics->update();
    EXPECT_FLOAT_EQ(comics->barAlpha(), 1.0f);
    comics->onTouchUp(10, 10);
}

TEST_F(CampaignRoad, ComicsWithOneSlideOrNoneAndTheirEnds)
{
    // One slide: no turning at all.
    saves.write("data/comics/single.cfg", R"(ComicCfg { slides [ ComicSlide { sprite "c1_end_1" txtStart "COMIC_C1_END_1" } ] })");
    ComicsMenuFrame* comics = MenuFrameRegistry::comicsMenu();
    ASSERT_TRUE(comics->loadComic("single", ComicCfg::kEndToPlay));
    goToFrame(comics);
    EXPECT_FALSE(comics->previousButton->visible);
    EXPECT_FALSE(comics->nextButton->visible);
    comics->nextPage();
    comics->currentView().x = -2000.0f;
    comics->update();
    EXPECT_EQ(comics->page(), 0);
    goBack();

    // A missing comic ends at once: back to the page before.
    auto* before = MenuFrameRegistry::campaignListSelect();
    goToFrame(before);
    EXPECT_FALSE(comics->loadComic("nosuchcomic", ComicCfg::kEndToPlay));
    goToFrame(comics);
    EXPECT_EQ(currentFrame(), before);
    EXPECT_FALSE(comics->shown());

    // After a won mission the end queues the pause screen with the result page.
    MenuFrame resultPage;
    CampaignEndPages& pages = CampaignEndPages::instance();
    pages.resultPage = [&] { return &resultPage; };
    EXPECT_FALSE(pages.showEndComic("data/comics/nosuchcomic.cfg"));
    EXPECT_EQ(overlayQueueSize(), 0u);
    ASSERT_TRUE(pages.showEndComic("data/comics/c2_end.cfg"));
    EXPECT_EQ(pauseScreen().frame, comics);
    EXPECT_EQ(overlayQueueSize(), 1u);
    goToFrame(comics);
    EXPECT_EQ(comics->endButton->labelStringId, ComicsMenuFrame::kEndToResultString);
    comics->onEnd();
    EXPECT_EQ(pauseScreen().frame, &resultPage);
    EXPECT_EQ(overlayQueueSize(), 1u);
    EXPECT_EQ(topOverlayScreen(), pauseScreenToOpen());
    pages.resultPage = nullptr;

    // A comic during play: on the pause screen, its end going back to the game.
    resetScreens();
    EXPECT_FALSE(pages.showPlayComic("data/comics/nosuchcomic.cfg"));
    ASSERT_TRUE(pages.showPlayComic("data/comics/c3_end.cfg"));
    EXPECT_EQ(pauseScreen().frame, comics);
    EXPECT_EQ(comics->comic().endMode, ComicCfg::kEndToPlay);
    EXPECT_EQ(overlayQueueSize(), 1u);
    pauseScreen().frame = nullptr;
}

// ---- Dogfights ----

TEST_F(CampaignRoad, DogfightCounterFollowsProgressAndTheArrowKeys)
{
    DogFightsMenuFrame* page = MenuFrameRegistry::dogFightsMenu();
    goToFrame(page);
    EXPECT_EQ(page->counter->value, 1);
    EXPECT_EQ(SpriteCounter::valueText(page->counter->value), u"001");
    EXPECT_EQ(page->shown, 0);
    EXPECT_TRUE(page->cards[0]->visible);
    EXPECT_FALSE(page->cards[1]->visible);
    EXPECT_FALSE(page->cards[0]->locked());
    for (int i = 1; i < DogFightsMenuFrame::kChallengeCount; ++i)
        EXPECT_TRUE(page->cards[static_cast<std::size_t>(i)]->locked()) << i;

    // A held arrow key moves the counter once.
    const int down = Input::keyInfo(Input::kKeyDown).keyCode, up = Input::keyInfo(Input::kKeyUp).keyCode;
    input().keyDown(down);
    page->update();
    input().endFrame();
    page->update();
    EXPECT_EQ(page->counter->value, 2);
    EXPECT_EQ(page->shown, 1);
    EXPECT_TRUE(page->cards[1]->visible && page->cards[1]->focusable);
    EXPECT_FALSE(page->cards[0]->visible);
    input().keyUp(down);
    input().endFrame();
    input().keyDown(up);
    page->update();
    input().keyUp(up);
    input().endFrame();
    input().keyDown(up);
    page->update();
    input().keyUp(up);
    input().endFrame();
    EXPECT_EQ(page->counter->value, 1);

    settings().dogfightsUnlocked = 13;
    page->onShow();
    EXPECT_EQ(page->counter->value, 13);
    input().keyDown(down);
    page->update();
    input().keyUp(down);
    input().endFrame();
    EXPECT_EQ(page->counter->value, 13);
    EXPECT_EQ(DogFightEntry::skillBarWidth(0.3f, 120.0f), 0.0f);
    EXPECT_FLOAT_EQ(DogFightEntry::skillBarWidth(0.9f, 120.0f), 120.0f);
    EXPECT_EQ(DogFightEntry::skillBarWidth(1.0f, 120.0f), 120.0f);
}

TEST_F(CampaignRoad, OnlyAnOpenCardStartsItsDogfight)
{
    DogFightsMenuFrame* page = MenuFrameRegistry::dogFightsMenu();
    settings().dogfightsUnlocked = 4;
    goToFrame(page);
    std::vector<int> started;
    for (DogFightEntry* card : page->cards)
        card->startGame = [&](int slot) { started.push_back(slot); };
    DogFightEntry& locked = *page->cards[6];
    EXPECT_TRUE(locked.onTouchDown(locked.absX, locked.absY));
    EXPECT_TRUE(locked.onTouchUp(locked.absX, locked.absY));
    locked.activate();
    EXPECT_TRUE(started.empty());

    DogFightEntry& open = *page->cards[4];
    open.activate();
    ASSERT_EQ(started, std::vector<int>{4});
    // A press on the card starts it wherever it comes up.
    EXPECT_TRUE(open.onTouchDown(open.absX + 5, open.absY + 5));
    EXPECT_FALSE(open.onTouchUp(open.absX + open.width + 300, open.absY - 200));
    ASSERT_EQ(started, (std::vector<int>{4, 4}));
    EXPECT_EQ(settings().skirmishType, static_cast<int>(GameType::Dogfight));
    EXPECT_EQ(settings().skirmishMap, 4);
    EXPECT_EQ(settings().dogfightIndex, 4);
    EXPECT_EQ(settings().dogfightEnemyCount, 3);
    EXPECT_FLOAT_EQ(settings().dogfightSkill, 0.75f);
    EXPECT_EQ(gameChoices().nextDifficulty, 1);
    EXPECT_EQ(static_cast<int>(GameType::Dogfight), 7);

    // Leaving writes the shown card's parameters.
    page->counter->value = 3;
    page->update();
    EXPECT_FALSE(page->onEscape());
    EXPECT_EQ(settings().dogfightIndex, 2);
    EXPECT_EQ(settings().dogfightMissileEnemies, 1);

    // A card whose map slot is empty never starts.
    MapLists::instance().clear();
    DogFightEntry orphan(0, 0);
    EXPECT_TRUE(orphan.locked());
    orphan.startGame = [&](int slot) { started.push_back(100 + slot); };
    orphan.activate();
    EXPECT_EQ(started.size(), 2u);
}

// ---- What a start tells the analytics, and the comic over the scene ----

TEST_F(CampaignRoad, MissionAndDogfightStartsSetTheAnalyticsParameters)
{
    Analytics::clearEventParams();
    settings().localPlaneId = 3;
    BriefingMenuFrame* briefing = MenuFrameRegistry::briefingMenu();
    int starts = 0;
    briefing->startMission = [&](int, int, int, int) { ++starts; };
    briefing->setMission(MapLists::instance().campaignMission(1, 2));
    goToFrame(briefing);
    briefing->onFly();
    EXPECT_EQ(starts, 1);
    EXPECT_EQ(Analytics::eventParams(), "CAMPAIGN=1 MISSION=2 PLANE=3");

    settings().dogfightsUnlocked = 4;
    settings().localPlaneId = 5;
    DogFightsMenuFrame* dogfights = MenuFrameRegistry::dogFightsMenu();
    goToFrame(dogfights);
    for (DogFightEntry* card : dogfights->cards)
        card->startGame = [](int) {};
    dogfights->cards[2]->activate();
    EXPECT_EQ(Analytics::eventParams(), "DOGFIGHT=2 PLANE=5");
    // A locked card starts nothing and leaves the parameters as they were.
    dogfights->cards[6]->activate();
    EXPECT_EQ(Analytics::eventParams(), "DOGFIGHT=2 PLANE=5");
}

TEST_F(CampaignRoad, AComicSwitchesTheSceneOffUntilItIsLeft)
{
    FakeMenuShowcase scene;
    scene.add({0, 0, 0});
    setMenuShowcase(&scene);
    goToFrame(MenuFrameRegistry::campaignListSelect());
    EXPECT_TRUE(scene.sceneOn);
    ComicsMenuFrame* comics = MenuFrameRegistry::comicsMenu();
    ASSERT_TRUE(comics->loadComic("c1_end", ComicCfg::kEndToPlay));
    goToFrame(comics);
    EXPECT_EQ(scene.sceneHidden, 1);
    EXPECT_FALSE(scene.sceneOn) << "off after the page left behind was hidden";
    comics->update();
    comics->nextPage();
    EXPECT_FALSE(scene.sceneOn) << "turning pages leaves it off";
    goBack();
    EXPECT_TRUE(scene.sceneOn);
    EXPECT_EQ(scene.sceneHidden, 1);
    setMenuShowcase(nullptr);
}

// ---- The generated data ----

TEST_F(CampaignRoad, EveryMissionHasACardABriefingMapAndItsComic)
{
    int missions = 0;
    for (int c = 0; c < MapLists::kCampaigns; ++c)
        for (int m = 0; m < MapLists::kSlots; ++m) {
            const MapInfoCfg* record = MapLists::instance().campaignMission(c, m);
            if (!record)
                continue;
            ++missions;
            SCOPED_TRACE(record->name);
            EXPECT_EQ(spriteSetByName(record->menuSprite), CampaignMenuEntry::kFallbackSet + c);
            EXPECT_EQ(record->menuFrame, m);
            EXPECT_GT(record->briefingId, 0);
            EXPECT_TRUE(fileExists(BriefingMapMenu::terrainPictureName(record->watermap)));
            // The sheet's window lies inside the picture's 2048 units, and its
            // steps show the own side's plane, an arrow and a target.
            const std::string sheetName = "data/sprites/c" + std::to_string(c + 1) + "m" + std::to_string(m + 1);
            EXPECT_GE(spriteSetByName(sheetName), 22);
            auto file = openFile(sheetName + ".bspr");
            ASSERT_NE(file, nullptr);
            std::vector<std::uint8_t> bytes;
            ASSERT_TRUE(file->readAll(bytes));
            SpriteSheet sheet;
            ASSERT_TRUE(readSpriteSheet(bytes, sheet));
            ASSERT_FALSE(sheet.modules.empty());
            EXPECT_LE(sheet.modules[0].x + sheet.modules[0].w, 2048);
            EXPECT_LE(sheet.modules[0].y + sheet.modules[0].h, 2048);
            BriefingMapMenu::StepList list = BriefingMapMenu::buildSteps(sheet, sheet.sheetScale, 0.0f, 0.0f, 1.0f, 32.0f);
            EXPECT_GE(list.steps.size(), 3u);
            bool plane = false, arrow = false, target = false;
            for (const BriefingMapMenu::Step& step : list.steps)
                for (const auto& elem : step.elems) {
                    plane = plane || (elem->kind >= 2 && elem->kind <= 7 &&
                                      !dynamic_cast<BriefingMapMenu::ElemPlane&>(*elem).path.empty());
                    arrow = arrow || dynamic_cast<BriefingMapMenu::ElemArrow*>(elem.get()) != nullptr;
                    target = target || (elem->kind >= 25 && elem->kind <= 35);
                }
            EXPECT_TRUE(plane && arrow && target);
            if (!record->comicEnd.empty()) {
                ComicCfg comic;
                EXPECT_TRUE(comic.load(record->comicEnd, ComicCfg::kEndToResult));
                for (int i = 0; i < comic.slideCount(); ++i) {
                    EXPECT_NE(openFile("data/comics/" + comic.slide(i)->sprite + "_2x.bspr"), nullptr);
                    EXPECT_GE(findStringTable().findId(comic.slide(i)->txtStart), 0);
                }
            }
        }
    EXPECT_EQ(missions, 15);
}
