#include "UiTestSupport.h"
#include "support/TempDir.h"
#include "support/ui/FakeMenuShowcase.h"

#include "platform/File.h"
#include "platform/Settings.h"
#include "ui/widgets/MenuPanel.h"
#include "ui/widgets/SceneMenuFrame.h"
#include "ui/widgets/SpriteButton.h"
#include "ui/widgets/SpriteHComboBox.h"
#include "ui/widgets/SpriteLabel.h"
#include "ui/widgets/StatePanel.h"

#include <filesystem>
#include <memory>

namespace {
// Three tiers: tier 0 holds two families (0 with variant 1, and 2), tier 1
// is empty of unlocked planes (3 is locked), tier 2 holds 4.
struct ScenePages : MenuTest {
    void SetUp() override
    {
        MenuTest::SetUp();
        setSaveFolder(saves.folder());
        saved = settings();
        IMenuShowcase::Stats s0{{0.0f, 0.5f, 1.3f, 0.5f}};
        IMenuShowcase::Stats s1{{0.2f, 0.4f, 1.0f, 0.5f}};
        scene.add({0, 0, 0, false, s0, 0, 3});
        scene.add({1, 0, 0, false, s1, 5, -1});
        scene.add({2, 0, 1, false, s0, 10, 11});
        scene.add({3, 1, 2, true, s0});
        scene.add({4, 2, 3, false, s1});
        setMenuShowcase(&scene);
        settings().localPlaneId = 0;
        settings().currentPlaneId = 0;
    }
    void TearDown() override
    {
        setMenuShowcase(nullptr);
        settings() = saved;
        setSaveFolder("");
        MenuTest::TearDown();
    }
    std::unique_ptr<SceneMenuFrame> showcasePage()
    {
        auto page = std::make_unique<SceneMenuFrame>(false, false, false, false);
        goToFrame(page.get());
        return page;
    }
    // Runs the page until the camera move started has ended.
    void settle(SceneMenuFrame& page, int frames = 120)
    {
        for (int i = 0; i < frames && page.cameraMove != 0; ++i)
            page.update();
    }
    TempDir saves;
    Settings saved;
    FakeMenuShowcase scene;
};

std::filesystem::path settingsFile(const TempDir& dir)
{
    return dir.path() / Settings::kFileName;
}
}  // namespace

TEST_F(ScenePages, ALockedSavedPlaneFallsBackToTheFirstUnlockedAndIsSaved)
{
    scene.find(0)->locked = true;
    settings().localPlaneId = 0;
    ASSERT_FALSE(std::filesystem::exists(settingsFile(saves)));
    auto page = showcasePage();
    EXPECT_EQ(settings().localPlaneId, 1);
    EXPECT_EQ(settings().currentPlaneId, 1);
    EXPECT_EQ(page->showcase().planeId, 1);
    EXPECT_TRUE(std::filesystem::exists(settingsFile(saves)));
    EXPECT_EQ(scene.created.back(), 1);
    EXPECT_GE(scene.sceneShown, 1);
}

TEST_F(ScenePages, ShowInfoOpensTheBalloonAndASecondCallClosesIt)
{
    auto page = showcasePage();
    EXPECT_FALSE(page->infoShown());
    page->showInfo(u"A fast plane.");
    EXPECT_TRUE(page->infoShown());
    page->showInfo(u"Another text");
    EXPECT_FALSE(page->infoShown());
    page->showInfo(u"Again");
    page->showInfo(nullptr);
    EXPECT_FALSE(page->infoShown());
}

TEST_F(ScenePages, AFilledPageHasNoShowcasePartsAndPlainContainerTouches)
{
    FilledMenuFrame page;
    EXPECT_EQ(page.planeIndicator, nullptr);
    EXPECT_EQ(page.variantIndicator, nullptr);
    EXPECT_EQ(page.statePanel, nullptr);
    EXPECT_EQ(page.tierButton, nullptr);
    EXPECT_EQ(page.zoneLeft, nullptr);
    EXPECT_EQ(page.zoneRight, nullptr);
    EXPECT_FALSE(page.arrowPanel->visible);
    ASSERT_NE(page.content(), nullptr);
    EXPECT_EQ(page.content()->touchMode, MenuContainer::kTouchList);
    goToFrame(&page);
    // A drag over a filled page starts no camera move.
    page.onTouchDown(480, 320);
    page.onTouchMove(100, 320);
    page.onTouchUp(100, 320);
    EXPECT_EQ(page.cameraMove, 0);
    // The page slots start no camera move that could never end.
    page.scrollRight();
    page.scrollDown();
    EXPECT_EQ(page.cameraMove, 0);
    clearFrameHistory();
}

TEST_F(ScenePages, PastTheLastPlaneOfATierComesTheNextNonEmptyTiersFirst)
{
    auto page = showcasePage();
    ASSERT_EQ(page->showcase().planeId, 0);
    page->startCameraMove1();
    settle(*page);
    EXPECT_EQ(page->showcase().planeId, 2);   // the next family of tier 0
    page->startCameraMove1();
    settle(*page);
    // Tier 1 is empty in the unlocked list, so the tier step skips to tier 2.
    EXPECT_EQ(page->currentTier, 2);
    EXPECT_EQ(page->showcase().planeId, 4);
    page->startCameraMove1();
    settle(*page);
    EXPECT_EQ(page->currentTier, 0);          // tiers wrap
    EXPECT_EQ(page->showcase().planeId, 0);
    page->startCameraMove2();
    settle(*page);
    EXPECT_EQ(page->currentTier, 2);          // backwards: the previous tier's last plane
    EXPECT_EQ(page->showcase().planeId, 4);
    EXPECT_EQ(scene.created.back(), 4);
}

TEST_F(ScenePages, VariantsStepInTheFamilyAndASingleVariantOnlyResetsTheCamera)
{
    auto page = showcasePage();
    page->startCameraMove4();
    settle(*page);
    EXPECT_EQ(page->showcase().planeId, 1);
    EXPECT_EQ(page->variantIndicator->currentPage, 1);
    EXPECT_EQ(settings().localPlaneId, 1);
    page->selectPlane(2);
    const std::size_t shown = scene.created.size();
    const int resets = scene.cameraResets;
    page->startCameraMove3();
    settle(*page);
    EXPECT_EQ(page->showcase().planeId, 2);
    EXPECT_EQ(scene.created.size(), shown);
    EXPECT_GT(scene.cameraResets, resets);
    EXPECT_EQ(page->cameraMove, 0);
}

TEST_F(ScenePages, AQuickFlickMovesButASlowDragDoesNot)
{
    auto page = showcasePage();
    clockNow = 1.0f;
    page->onTouchDown(600, 320);
    page->onTouchMove(560, 320);   // 40 px: under the drag threshold
    clockNow = 1.3f;
    page->onTouchUp(560, 320);
    EXPECT_EQ(page->cameraMove, 1);   // dragged leftwards: the next plane
    settle(*page);
    EXPECT_EQ(page->showcase().planeId, 2);

    clockNow = 5.0f;
    page->onTouchDown(600, 320);
    page->onTouchMove(560, 320);
    clockNow = 6.0f;
    page->onTouchUp(560, 320);
    EXPECT_EQ(page->cameraMove, 0);
}

TEST_F(ScenePages, ALongDragStartsTheMoveWhileTheFingerIsDown)
{
    auto page = showcasePage();
    page->onTouchDown(800, 320);
    for (int x = 780; x >= 500; x -= 20)
        page->onTouchMove(x, 320);
    EXPECT_EQ(page->cameraMove, 1);
    EXPECT_TRUE(page->gestureConsumed);
    page->onTouchUp(500, 320);
    settle(*page);
    EXPECT_EQ(page->showcase().planeId, 2);
}

TEST_F(ScenePages, TouchesInTheTopAndBottomFifthNeverDriveTheShowcase)
{
    auto page = showcasePage();
    for (int y : {20, 127, 513, 630}) {
        clockNow += 2.0f;
        page->onTouchDown(800, y);
        for (int x = 780; x >= 400; x -= 20)
            page->onTouchMove(x, y);
        clockNow += 0.2f;
        page->onTouchUp(400, y);
        EXPECT_EQ(page->cameraMove, 0) << "y " << y;
    }
}

TEST_F(ScenePages, TheWheelStartsMovesOnlyPastItsThreshold)
{
    auto page = showcasePage();
    page->onScroll(-100.0f, 0.0f);
    EXPECT_EQ(page->cameraMove, 0);
    page->onScroll(-120.0f, 0.0f);
    EXPECT_EQ(page->cameraMove, 1);
}

TEST_F(ScenePages, ALockedPlaneShownLeavesThePlayersPlane)
{
    auto page = showcasePage();
    page->selectPlane(3);
    EXPECT_EQ(page->showcase().planeId, 3);
    EXPECT_EQ(settings().localPlaneId, 0);
    EXPECT_EQ(settings().currentPlaneId, 0);
    page->showPlaneDescription();
    ASSERT_TRUE(page->infoShown());
    EXPECT_NE(page->infoLabel->shownText().find(u"unlock"), std::u16string_view::npos);
}

TEST_F(ScenePages, StatisticsClampSnapOnShowAndGlide)
{
    auto page = showcasePage();
    StateItem& weaponry = *page->bars[0];
    StateItem& aero = *page->bars[2];
    EXPECT_FLOAT_EQ(weaponry.targetBase, 0.1f);     // a statistic of 0 still shows a tenth
    EXPECT_FLOAT_EQ(weaponry.shownBase, 0.1f);      // snapped on show
    EXPECT_FLOAT_EQ(aero.targetBase, 1.0f);         // 1.3 fills the bar
    EXPECT_EQ(weaponry.targetBase, weaponry.targetVariant);

    page->selectPlane(1);   // variant 1: weaponry 0.2 against the family's 0
    EXPECT_FLOAT_EQ(weaponry.targetVariant, 0.2f * 0.9f + 0.1f);
    EXPECT_FLOAT_EQ(weaponry.shownVariant, 0.1f);   // not snapped
    setFrameDelta(0.01f);
    weaponry.update();
    EXPECT_NEAR(weaponry.shownVariant, 0.1f + 0.1f * (0.28f - 0.1f), 1e-5f);   // 10 a second
    for (int i = 0; i < 400; ++i)
        weaponry.update();
    EXPECT_EQ(weaponry.shownVariant, weaponry.targetVariant);
}

TEST_F(ScenePages, WeaponIconsComeFromTheRecordsAndNoMatchShowsTheEmptySlot)
{
    auto page = showcasePage();
    EXPECT_EQ(page->weaponIcon1->frame, 205);
    EXPECT_EQ(page->weaponIcon2->frame, 208);
    page->selectPlane(1);
    EXPECT_EQ(page->weaponIcon1->frame, 210);
    EXPECT_EQ(page->weaponIcon2->frame, 204);
    page->selectPlane(2);
    EXPECT_EQ(page->weaponIcon1->frame, 215);
    EXPECT_EQ(page->weaponIcon1->color.r, 224);
    EXPECT_EQ(page->weaponIcon2->color.b, 253);
    // A record's number far out of the sheet names no frame.
    scene.find(2)->weapon0 = 2000000000;
    page->refreshStats(false);
    EXPECT_EQ(page->weaponIcon1->frame, -1);
    EXPECT_FALSE(page->weaponsButton->enabled);   // no weapon choice yet
}

TEST_F(ScenePages, IndicatorDotsSelectThePlaneOfTheirTier)
{
    auto page = showcasePage();
    ASSERT_EQ(page->planeIndicator->pageCount, 2);
    EXPECT_EQ(page->variantIndicator->pageCount, 2);
    page->selectPlane(2);
    EXPECT_EQ(page->planeIndicator->currentPage, 1);
    EXPECT_EQ(page->variantIndicator->pageCount, 1);
}

TEST_F(ScenePages, TheDotRowsStepPlanesAndVariantsBySelectAndByTheirHalves)
{
    auto page = showcasePage();
    // Select on the focused plane dots: the next plane of the tier.
    page->planeIndicator->activate();
    EXPECT_EQ(page->cameraMove, 1);
    settle(*page);
    EXPECT_EQ(page->showcase().planeId, 2);
    // A tap on the left half of the row: back to the previous plane.
    SpritePageIndicator& dots = *page->planeIndicator;
    EXPECT_TRUE(dots.onTouchUp(dots.absX + 1, dots.absY + dots.height / 2));
    EXPECT_EQ(page->cameraMove, 2);
    settle(*page);
    EXPECT_EQ(page->showcase().planeId, 0);
    // The variant column: Select is the next variant, its upper half the previous one.
    page->variantIndicator->activate();
    EXPECT_EQ(page->cameraMove, 4);
    settle(*page);
    EXPECT_EQ(page->showcase().planeId, 1);
    SpritePageIndicator& variants = *page->variantIndicator;
    EXPECT_TRUE(variants.onTouchUp(variants.absX + variants.width / 2, variants.absY + 1));
    EXPECT_EQ(page->cameraMove, 3);
    settle(*page);
    EXPECT_EQ(page->showcase().planeId, 0);
}

TEST_F(ScenePages, AnEmptyPlaneListFallsBackToTierZeroAndTheFirstPlane)
{
    scene.planes.clear();
    scene.add({7, 3, 0, true});
    scene.p51 = 7;
    auto page = showcasePage();
    EXPECT_EQ(page->currentTier, 0);
    EXPECT_EQ(page->showcase().planeId, 7);
    page->startCameraMove1();
    settle(*page);
    EXPECT_EQ(page->cameraMove, 0);
}
