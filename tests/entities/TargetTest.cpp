#include "TestPlanes.h"

#include "entities/EntityIds.h"
#include "entities/aircraft/Airplane.h"
#include "entities/weapons/Weapon.h"
#include "gamedata/records/WeaponList.h"
#include "platform/Log.h"
#include "platform/StringTable.h"
#include "support/TempDir.h"
#include "support/TestPak.h"
#include "support/entities/SimHost.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {
struct Targets : testing::Test {
    TempDir save, data;
    FileLayerScope scope{save.folder(), data.folder()};
    StringTable texts;
    PlaneCfg cfg = testFighter();
    SimHost host;

    void SetUp() override
    {
        clearEntityIds();
        setLogCapture([](LogLevel, const std::string&, const std::string&) {});
        data.write("data/weapons/weapons.lst", "gun\nrocket\n");
        data.write("data/weapons/gun.cfg", "WeaponCfg { name \"gun\" weapon_id 1 type machinegun numSlots 2 }\n");
        data.write("data/weapons/rocket.cfg", "WeaponCfg { name \"rocket\" weapon_id 2 type simple }\n");
        ASSERT_TRUE(WeaponList::instance().load(WeaponList::kListPath, texts));
    }
    void TearDown() override
    {
        setLogCapture({});
        WeaponList::instance().clear();
    }
};

TEST_F(Targets, IdsRunOutAtTheTableSizeAndTheEntityIsNotAdded)
{
    std::vector<std::unique_ptr<Airplane>> planes;
    for (int i = 0; i < 256; ++i) {
        auto p = Target::create<Airplane>(host, cfg, 0, std::u16string());
        ASSERT_NE(p, nullptr) << i;
        EXPECT_EQ(p->id(), i);
        planes.push_back(std::move(p));
    }
    EXPECT_EQ(Target::create<Airplane>(host, cfg, 0, std::u16string()), nullptr);
    auto orphan = std::make_unique<Airplane>(host, cfg, 0, u"");
    EXPECT_FALSE(orphan->hasId());
    EXPECT_EQ(host.add(std::move(orphan)), nullptr);
    EXPECT_TRUE(host.airplanes().empty());

    planes[17].reset();  // frees its id for the next one
    auto again = Target::create<Airplane>(host, cfg, 0, std::u16string());
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(again->id(), 17);
}

TEST_F(Targets, TakingOverAnIdChecksRangeAndUse)
{
    auto a = Target::create<Airplane>(host, cfg, 0, std::u16string());
    auto b = Target::create<Airplane>(host, cfg, 0, std::u16string());
    EXPECT_FALSE(a->takeOverId(b->id()));
    EXPECT_FALSE(a->takeOverId(256));
    EXPECT_FALSE(a->takeOverId(-1));
    EXPECT_EQ(a->id(), 0);
    EXPECT_TRUE(a->takeOverId(200));
    EXPECT_EQ(a->id(), 200);
    EXPECT_FALSE(targetIds().isUsed(0));
    EXPECT_TRUE(targetIds().isUsed(200));
}

TEST_F(Targets, EightSlotsFullMountsNothingMore)
{
    auto plane = Target::create<Airplane>(host, cfg, 0, std::u16string());
    for (int i = 0; i < kWeaponSlots; ++i)
        EXPECT_TRUE(plane->addWeapon(i % 2, i % 3));
    EXPECT_EQ(plane->weaponCount(), 8);
    EXPECT_EQ(host.weapons.size(), 8u);
    const int idsBefore = weaponIds().usedCount();
    EXPECT_FALSE(plane->addWeapon(0, 0));
    EXPECT_EQ(plane->weaponCount(), 8);
    EXPECT_EQ(weaponIds().usedCount(), idsBefore);
    EXPECT_FALSE(plane->addWeapon(7, 0));  // no such weapon
}

TEST_F(Targets, RemovingATagTellsTheHostAndFreesTheSlots)
{
    auto plane = Target::create<Airplane>(host, cfg, 0, std::u16string());
    ASSERT_TRUE(plane->addWeapon(0, 0));
    ASSERT_TRUE(plane->addWeapon(1, 1));
    ASSERT_TRUE(plane->addWeapon(0, 1));
    plane->removeWeaponsWithTag(1);
    EXPECT_EQ(plane->weaponCount(), 1);
    ASSERT_EQ(host.weapons.size(), 1u);
    EXPECT_EQ(host.weapons[0]->group(), 0);
    EXPECT_EQ(weaponIds().usedCount(), 1);
    EXPECT_EQ(plane->weapon(0)->launcherTimers().size(), 2u);
    EXPECT_EQ(plane->weapon(8), nullptr);
    EXPECT_EQ(plane->weapon(-1), nullptr);
}

TEST_F(Targets, ControlInputsPullTheTriggerOfTheirGroup)
{
    auto plane = Target::create<Airplane>(host, cfg, 0, std::u16string());
    ASSERT_TRUE(plane->addWeapon(0, 0));
    ASSERT_TRUE(plane->addWeapon(1, 1));
    plane->controlInput(1, 1.0f);
    EXPECT_FALSE(plane->weapon(0)->isFiring());
    EXPECT_TRUE(plane->weapon(1)->isFiring());
    EXPECT_TRUE(plane->weapon(1)->needsLock());
    EXPECT_FALSE(plane->weapon(0)->needsLock());
    plane->controlInput(1, 0.0f);
    EXPECT_FALSE(plane->weapon(1)->isFiring());
    plane->controlInput(7, 1.0f);  // not a weapon group: ignored
}

TEST_F(Targets, ClassesFollowTheKinds)
{
    auto plane = Target::create<Airplane>(host, cfg, 0, std::u16string());
    EXPECT_TRUE(plane->matchesClass(TargetClass::Air));
    EXPECT_FALSE(plane->matchesClass(TargetClass::Naval));
    EXPECT_TRUE(plane->matchesClass(TargetClass::Any));
    Target ship(host, TargetKind::Carrier, 1);
    EXPECT_TRUE(ship.matchesClass(TargetClass::Naval));
    EXPECT_FALSE(ship.matchesClass(TargetClass::Land));
    Target base(host, TargetKind::Base, 1);
    EXPECT_TRUE(base.matchesClass(TargetClass::Land));
}

TEST_F(Targets, ScoreBlockResetsOnTeamChangeAndRankIsClamped)
{
    auto plane = Target::create<Airplane>(host, cfg, 0, std::u16string());
    plane->scores[Airplane::kScorePoints] = 12;
    plane->scores[Airplane::kScoreDeaths] = 3;
    plane->onTeamChanged(false);
    EXPECT_EQ(plane->scores[Airplane::kScorePoints], 12);
    plane->onTeamChanged(true);
    EXPECT_EQ(plane->scores[Airplane::kScorePoints], 0);
    plane->setRank(40);
    EXPECT_EQ(plane->rank(), 17);
    plane->setRank(-3);
    EXPECT_EQ(plane->rank(), 0);
}

TEST_F(Targets, RespawnResetRestoresTheStartingValues)
{
    auto plane = Target::create<Airplane>(host, cfg, 0, std::u16string());
    plane->setHealth(0.1f);
    plane->setFlares(0);
    plane->setSpeed(12.0f);
    plane->setFlightState(FlightState::Fire, 10.0f);
    const int spawns = plane->spawnCounter;
    plane->resetForRespawn();
    EXPECT_EQ(plane->spawnCounter, spawns + 1);
    EXPECT_FLOAT_EQ(plane->health(), 1.0f);
    EXPECT_EQ(plane->flareCount(), cfg.pFlares);
    EXPECT_FLOAT_EQ(plane->speed(), 300.0f);
    EXPECT_FLOAT_EQ(plane->throttleSetting(), 1.0f);
    EXPECT_EQ(plane->flightState(), FlightState::Normal);
    EXPECT_TRUE(plane->ejectFlag());
    EXPECT_NEAR(plane->forward().z, -1.0f, 1e-6f);
}
}  // namespace
