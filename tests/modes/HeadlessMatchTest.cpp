#include "entities/aircraft/Airplane.h"
#include "entities/aircraft/Squadron.h"
#include "entities/weapons/Weapon.h"
#include "gamedata/map/GameWorld.h"
#include "gamedata/records/PlaneList.h"
#include "gamedata/records/WeaponList.h"
#include "modes/GameMode.h"
#include "modes/GameModeGlobals.h"
#include "modes/Match.h"
#include "modes/PlayerRecord.h"
#include "platform/Random.h"

#include "support/modes/ModeHarness.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <vector>

namespace {
struct HeadlessMatch : testing::Test {
    ModeHarness harness;
    GameMode* mode = nullptr;

    void SetUp() override
    {
        seedRandom(2024, 7);
        std::string error;
        ASSERT_TRUE(harness.mountData(error)) << error;
        const MapInfoCfg* map = harness.firstSkirmishMap();
        ASSERT_NE(map, nullptr);
        // The base rules alone: type 9 is a match type the factory makes into a tutorial.
        mode = harness.start(std::make_unique<GameMode>(GameType::Tutorial), map);
        ASSERT_NE(mode, nullptr);
        ASSERT_NE(mode->world(), nullptr);
    }

    // An AI airplane of a random plane with its gun and its first missile.
    Airplane* bot(int team, const Vec3& at, float heading, Squadron* squadron)
    {
        const PlaneCfg* record = PlaneList::instance().at(randModulo(PlaneList::instance().count()));
        Airplane* a = mode->createAirplane(nullptr, record->plane_id, team, 0.8f, squadron, true);
        if (!a)
            return nullptr;
        for (const std::string* name : {&record->pGunWeapon, &record->sp_weapon0})
            if (const WeaponCfg* w = WeaponList::instance().findByName(*name))
                (void)a->mountWeapon(*w, name == &record->pGunWeapon ? 0 : 1);
        mode->respawnAirplane(*a, 0.0f, &at);
        a->setOrientation(quatFromEuler(heading, 0.0f, 0.0f));
        a->setSpeed(a->record().pCruiseSpeed);
        return a;
    }
};

// Eight airplanes in two teams meet over a generated map for two minutes.
TEST_F(HeadlessMatch, EightAirplanesInTwoTeamsFightForTwoMinutes)
{
    constexpr float kPi = 3.14159265f;
    Squadron* squadrons[2] = {mode->addSquadron(std::make_unique<Squadron>()),
                              mode->addSquadron(std::make_unique<Squadron>())};
    for (int i = 0; i < 8; ++i) {
        const int team = i % 2;
        const float x = -900.0f + 600.0f * static_cast<float>(i / 2);
        const float z = team == 0 ? 1500.0f : -1500.0f;
        const float y = mode->groundHeightAt(x, z) + GameMode::kSpawnHeight;
        Airplane* a = bot(team, {x, y, z}, team == 0 ? 0.0f : kPi, squadrons[team]);
        ASSERT_NE(a, nullptr) << i;
        ASSERT_NE(a->aiController(), nullptr);
        if (i < 2)
            mode->setSquadronLeader(a, squadrons[team]);
    }
    ASSERT_EQ(mode->entities().size(), 8u);
    harness.run(120.0f);

    int kills = 0;
    for (const auto& d : harness.posted().destroyed)
        kills += d.killer && d.killer->team() != d.victim->team() ? 1 : 0;
    EXPECT_GT(kills, 0);
    RecordProperty("kills", kills);
    RecordProperty("missiles", mode->missilesRegistered());
    EXPECT_GT(mode->missilesRegistered(), 0);
    // Every missile that ended was unregistered; the rest are still flying.
    EXPECT_EQ(mode->missilesRegistered() - mode->missilesUnregistered(), mode->missiles().count());
    EXPECT_NEAR(gameClock(), 120.0f, 0.05f);
    for (const auto& e : mode->entities())
        EXPECT_TRUE(std::isfinite(e->position().y));

    mode->clearLevel();
    mode->clearLevel();
    EXPECT_EQ(mode->missilesRegistered(), mode->missilesUnregistered());
    EXPECT_TRUE(mode->entities().empty());
    EXPECT_TRUE(mode->activeTargets().empty());
    EXPECT_TRUE(mode->respawnQueue().empty());
    EXPECT_TRUE(mode->weapons().empty());
    EXPECT_EQ(mode->missiles().count(), 0);
    EXPECT_EQ(mode->world(), nullptr);
    EXPECT_TRUE(mode->squadrons().empty());
}

TEST_F(HeadlessMatch, AnUnknownPlaneIdBuildsTheFirstPlane)
{
    Airplane* a = mode->createAirplane(nullptr, 250, 1, 0.0f, nullptr, true);
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(&a->record(), PlaneList::instance().at(0));
    EXPECT_EQ(a->networkRole, NetworkRole::Local);
    EXPECT_EQ(harness.posted().count("added"), 1);
}

TEST_F(HeadlessMatch, AirplanesSpawnTwoThousandAboveTheGeneratedTerrain)
{
    Airplane* a = mode->createAirplane(nullptr, 0, 1, 0.0f, nullptr, true);
    ASSERT_NE(a, nullptr);
    for (int i = 0; i < 8; ++i) {
        mode->respawnAirplane(*a, 0.0f, nullptr);
        const Vec3 p = a->position();
        EXPECT_NEAR(p.y, mode->groundHeightAt(p.x, p.z) + GameMode::kSpawnHeight, 0.01f);
        EXPECT_NEAR(std::sqrt(p.x * p.x + p.z * p.z), GameMode::kSpawnCircle, 1.0f);
    }
}

}  // namespace

namespace {
TEST_F(HeadlessMatch, TheWeaponRuleSwapsGunsForMissilesOrTheOtherWay)
{
    const WeaponCfg* gun = WeaponList::instance().findByName("machinegun_light_1");
    const WeaponCfg* missile = WeaponList::instance().findByName("simple_missile_1");
    ASSERT_TRUE(gun && missile);
    Airplane* a = mode->createAirplane(nullptr, 0, 1, 0.0f, nullptr, true);
    ASSERT_TRUE(a->mountWeapon(*gun, 0));
    mode->weaponRule = 1;
    mode->applyWeaponRule(*a);
    ASSERT_NE(a->weapon(0), nullptr);
    EXPECT_EQ(&a->weapon(0)->record(), missile);
    mode->weaponRule = 0x102;  // the high byte is another option
    mode->applyWeaponRule(*a);
    EXPECT_EQ(&a->weapon(0)->record(), gun);
}
}  // namespace
