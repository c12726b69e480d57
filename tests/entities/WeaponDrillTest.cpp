// The game's own weapon records fired in the scripted drills: what a player
// aims well hits, and a hard break with flares shakes off what flares can fool.
#include "entities/EntityIds.h"
#include "gamedata/records/WeaponList.h"
#include "platform/Log.h"
#include "support/TempDir.h"
#include "support/TestPak.h"
#include "support/entities/WeaponScenarios.h"

#include <gtest/gtest.h>

#include <set>

namespace {
constexpr int kSeeds = 50;

struct WeaponDrills : testing::Test {
    TempDir save;
    FileLayerScope scope{save.folder(), SKYFRONT_RECORDS_DIR "/"};

    void SetUp() override { ASSERT_TRUE(WeaponList::instance().load()); }
    void TearDown() override
    {
        WeaponList::instance().clear();
        clearEntityIds();
    }
    template <typename F>
    void forEach(F&& f)
    {
        for (int i = 0; i < WeaponList::instance().count(); ++i)
            f(*WeaponList::instance().at(i));
    }
};

bool isGuided(const WeaponCfg& w)
{
    return w.type == kWeaponAllAspect || w.type == kWeaponJointStrike || w.type == kWeaponMultiAir ||
           w.type == kWeaponMultiGround || w.type == kWeaponRadarGuided || w.type == kWeaponAlienQuick;
}

TEST_F(WeaponDrills, GunsAimedAtTheLeadPointHitFourBurstsInFive)
{
    int guns = 0;
    forEach([&](const WeaponCfg& w) {
        if (w.type != kWeaponMachinegun)
            return;
        ++guns;
        const DrillRate r = rateDrill(w, Drill::GunBurst, kSeeds);
        EXPECT_GE(r.hits * 5, r.runs * 4) << w.name << ": " << r.hits << " of " << r.runs;
    });
    EXPECT_GT(guns, 0);
}

TEST_F(WeaponDrills, EveryGuidedKindHitsAStraightTargetFromTwoThousand)
{
    std::set<int> kinds;
    forEach([&](const WeaponCfg& w) {
        if (!isGuided(w))
            return;
        kinds.insert(w.type);
        const DrillRate r = rateDrill(w, Drill::GuidedStraight, kSeeds);
        EXPECT_GE(r.hits, 45) << w.name << ": " << r.hits << " of " << r.runs;
    });
    EXPECT_EQ(kinds.size(), 6u) << "every guided kind has a record";
}

TEST_F(WeaponDrills, AHardBreakWithFlaresShakesOffWhatFlaresFool)
{
    forEach([&](const WeaponCfg& w) {
        if (w.type != kWeaponAllAspect && w.type != kWeaponMultiAir && w.type != kWeaponAlienQuick)
            return;
        const DrillRate r = rateDrill(w, Drill::GuidedEvading, kSeeds);
        EXPECT_LT(r.hits * 2, r.runs) << w.name << ": " << r.hits << " of " << r.runs;
        EXPECT_GT(r.decoyed, 0) << w.name;
    });
    // The radar seeker is hard to fool.
    const WeaponCfg* radar = nullptr;
    forEach([&](const WeaponCfg& w) { radar = w.type == kWeaponRadarGuided ? &w : radar; });
    ASSERT_NE(radar, nullptr);
    EXPECT_LT(rateDrill(*radar, Drill::GuidedEvading, kSeeds).decoyed, kSeeds / 4);
}

TEST_F(WeaponDrills, BombsAndTorpedoesHitAMovingShip)
{
    forEach([&](const WeaponCfg& w) {
        const Drill d = drillFor(w);
        if (d != Drill::Bomb && d != Drill::Torpedo)
            return;
        const DrillRate r = rateDrill(w, d, 20);
        EXPECT_GE(r.hits, 18) << w.name << ": " << r.hits << " of " << r.runs;
    });
}
}  // namespace
