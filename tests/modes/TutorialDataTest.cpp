#include "gamedata/map/GameWorld.h"
#include "gamedata/map/MapEntities.h"
#include "gamedata/records/PlaneList.h"
#include "gamedata/records/UnitList.h"
#include "modes/tutorials/TutorialGameMode_TAKEOFFLAND.h"
#include "modes/tutorials/TutorialOverlay.h"
#include "platform/File.h"
#include "platform/Language.h"
#include "render/2d/SpriteSheet.h"

#include "TutorialRun.h"

#include <vector>

// The generated data the tutorials need: the tutorial map with its runway
// first, the tarn under the ship's point and open sky at the start; the ship's
// model and unit, a plane of id 0; the pointer sheet; every text, the key
// hints as "%w" formats.
namespace {
struct TutorialData : testing::Test {
    TutorialRun run;
    void SetUp() override
    {
        std::string error;
        ASSERT_TRUE(run.start(TutorialGameMode_TAKEOFFLAND::kIndex, error)) << error;
    }
};

// Every text id the six tutorials show, and those that name keys.
const std::vector<int> kTexts = {
    387, 388, 419, 420, 422, 423, 424, 425, 426, 427, 428, 429, 430, 431, 433, 434, 436, 437, 439, 440, 441, 443, 447,
    449, 451, 452, 455, 457, 459, 460, 461, 464, 465, 468, 469, 470, 473, 474, 477, 482, 483, 487, 490, 494, 495, 496,
    497, 500, 501, 502, 503, 504, 505, 506, 507, 508, 509, 510, 511, 512, 513, 514, 515, 516, 517, 518, 519, 520, 521,
    522, 523, 524, 525, 528, 532, 535, 536, 537, 538, 539, 540, 541, 542, 543, 546, 547, 549, 553, 554, 557, 559, 561,
    562, 563, 566, 567, 575, 576, 584, 585, 588, 593, 597, 602, 604, 605, 606, 607, 608, 609, 610, 611, 612, 613, 614,
    615, 617, 620, 622, 624, 626, 627, 628, 630, 632, 633, 634, 635, 636, 638, 639, 642, 643, 644, 645, 646, 647, 650,
    651, 652, 653, 654, 655, 656, 657, 658, 659, 661, 663, 664, 665, 666, 667, 668, 669, 670, 671, 673, 712, 714, 715,
    716, 717, 718, 719, 720, 722, 724, 725};
const std::vector<std::pair<int, int>> kKeyHints = {
    {437, 1}, {443, 2}, {447, 1}, {449, 1}, {455, 1}, {457, 1}, {461, 1}, {465, 1}, {470, 1}, {474, 1}, {482, 2},
    {483, 1}, {490, 1}, {497, 3}, {532, 1}, {546, 2}, {547, 1}, {549, 1}, {557, 1}, {559, 1}, {563, 1}, {567, 1},
    {575, 2}, {576, 1}, {593, 1}, {597, 1}, {617, 1}, {624, 1}, {630, 1}, {638, 1}, {639, 1}, {712, 1}};

int codes(const std::u16string& text)
{
    int n = 0;
    for (std::size_t i = text.find(u"%w"); i != std::u16string::npos; i = text.find(u"%w", i + 2))
        ++n;
    return n;
}
}  // namespace

TEST_F(TutorialData, TutorialMapHasTheRunwayFirstTheTarnAndOpenSky)
{
    const GameWorld* world = run.mode->world();
    ASSERT_NE(world, nullptr);
    // The first runway item is the runway_field one.
    const EditorItem* first = nullptr;
    for (int i = 0; i < world->itemCount() && !first; ++i)
        if (world->item(i)->kind == EditorItem::kRunway)
            first = world->item(i);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->model, TutorialGameMode_TAKEOFFLAND::kRunwayModel);
    EXPECT_EQ(world->findItemByModel(TutorialGameMode_TAKEOFFLAND::kRunwayModel), first);
    // The ship's point lies on water.
    bool tarn = false;
    for (const MapLake& lake : world->lakes())
        tarn = tarn || (lake.covers(10035.3f, -4490.8f) && std::abs(lake.level - 1155.68f) < 1.0f);
    EXPECT_TRUE(tarn);
    EXPECT_LT(world->groundHeightAt(10035.3f, -4490.8f), 1155.68f) << "the tarn's bed under its surface";
    // 2000 above the ground at the start point, clear of every hill around it.
    const float start = world->groundHeightAt(TutorialGameMode::kStartX, TutorialGameMode::kStartZ) + 2000.0f;
    for (float dx = -3000.0f; dx <= 3000.0f; dx += 500.0f)
        for (float dz = -3000.0f; dz <= 3000.0f; dz += 500.0f)
            EXPECT_LT(world->groundHeightAt(TutorialGameMode::kStartX + dx, TutorialGameMode::kStartZ + dz), start - 500.0f);
}

TEST_F(TutorialData, ShipModelUnitAndTheDronesPlane)
{
    EXPECT_TRUE(openFile("data/models/destroyer_ally.glm"));
    EXPECT_NE(UnitList::instance().findByName("navalunit"), nullptr);
    EXPECT_NE(PlaneList::instance().findById(0), nullptr);
}

TEST_F(TutorialData, PointerSheetHasTheGestureAndTheArrowAtEveryScale)
{
    for (const char* name : {"data/sprites/tutorial.bspr", "data/sprites/tutorial_2x.bspr", "data/sprites/tutorial_low.bspr"}) {
        auto file = openFile(name);
        ASSERT_TRUE(file) << name;
        std::vector<std::uint8_t> bytes;
        ASSERT_TRUE(file->readAll(bytes));
        SpriteSheet sheet;
        ASSERT_TRUE(readSpriteSheet(bytes, sheet)) << name;
        ASSERT_GE(sheet.frames.size(), 12u) << name;
        for (int f : {TutorialOverlay::kTouchFrame, TutorialOverlay::kRingFrame, TutorialOverlay::kArrowFrame})
            EXPECT_EQ(sheet.frames[static_cast<std::size_t>(f)].partCount, 1) << name << " frame " << f;
    }
}

TEST_F(TutorialData, EveryTextIsWrittenAndTheKeyHintsAreFormats)
{
    for (int id : kTexts) {
        const std::u16string& text = getStringByIndex(id);
        EXPECT_FALSE(text.empty()) << id;
        EXPECT_NE(text, u"DUMMY") << id;
    }
    for (const auto& [id, keys] : kKeyHints)
        EXPECT_EQ(codes(getStringByIndex(id)), keys) << id;
}
