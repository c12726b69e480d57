#include "entities/aircraft/Airplane.h"
#include "entities/aircraft/Squadron.h"
#include "entities/ai/TargetAI.h"
#include "entities/ground/GroundTarget.h"
#include "gamedata/map/GameWorld.h"
#include "gamedata/records/PlaneList.h"
#include "gamedata/records/UnitList.h"
#include "gamedata/records/WeaponList.h"
#include "modes/GameMode.h"
#include "modes/GameModeGlobals.h"
#include "modes/Match.h"
#include "modes/ModeServices.h"
#include "platform/Random.h"

#include "support/modes/ModeHarness.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

namespace {
struct CountingMessages : IModeMessages {
    int notices = 0;
    int lines = 0;
    void pushNotice(std::u16string_view, float, int, int) override { ++notices; }
    void pushLong(std::u16string_view) override { ++lines; }
};

// Eight AI airplanes in two teams and armed ground units on a generated map
// for ten minutes: the frame in every pass, deaths, respawns and triggers.
TEST(TenMinuteMatch, EightAirplanesAndGroundUnitsFightForTenMinutes)
{
    constexpr float kPi = 3.14159265f;
    seedRandom(77, 3);
    ModeHarness harness;
    std::string error;
    ASSERT_TRUE(harness.mountData(error)) << error;
    CountingMessages messages;
    harness.messages = &messages;
    GameMode* mode = harness.start(static_cast<int>(GameType::FreeFlight), harness.firstSkirmishMap());
    ASSERT_NE(mode, nullptr);
    mode->createRunways();
    mode->createRoads();
    mode->createTunnels();
    mode->createEffectDummies();

    Squadron* squadrons[2] = {mode->addSquadron(std::make_unique<Squadron>()),
                              mode->addSquadron(std::make_unique<Squadron>())};
    Airplane* first = nullptr;
    for (int i = 0; i < 8; ++i) {
        const int team = i % 2;
        const PlaneCfg* record = PlaneList::instance().at(i % PlaneList::instance().count());
        Airplane* a = mode->createAirplane(nullptr, record->plane_id, team, 0.8f, squadrons[team], true);
        ASSERT_NE(a, nullptr);
        for (const std::string* name : {&record->pGunWeapon, &record->sp_weapon0})
            if (const WeaponCfg* w = WeaponList::instance().findByName(*name))
                (void)a->mountWeapon(*w, name == &record->pGunWeapon ? 0 : 1);
        const float x = -900.0f + 600.0f * static_cast<float>(i / 2);
        const float z = team == 0 ? 1500.0f : -1500.0f;
        const Vec3 at{x, mode->groundHeightAt(x, z) + GameMode::kSpawnHeight, z};
        mode->respawnAirplane(*a, 0.0f, &at);
        a->setOrientation(quatFromEuler(team == 0 ? 0.0f : kPi, 0.0f, 0.0f));
        a->setSpeed(a->record().pCruiseSpeed);
        if (i < 2)
            mode->setSquadronLeader(a, squadrons[team]);
        if (!first)
            first = a;
    }
    // The first airplane is the player's, flown by its autopilot.
    mode->setPlayerAirplane(first);

    // Ground units of both sides with their own weapons and gunners.
    std::vector<std::unique_ptr<MapObject>> objects;
    const int units = std::min(UnitList::instance().count(), 8);
    for (int i = 0; i < units; ++i) {
        auto object = std::make_unique<MapObject>(UnitList::instance().at(i)->name);
        object->team = i % 2;
        object->pos = {-2000.0f + 500.0f * static_cast<float>(i), 0.0f, i % 2 ? -2500.0f : 2500.0f};
        object->pos.y = mode->groundHeightAt(object->pos.x, object->pos.z);
        auto unit = Target::create<GroundTarget>(*mode, *object, UnitList::instance().at(i));
        GroundTarget* raw = unit.get();
        ASSERT_NE(mode->addPlayerAirplane(std::move(unit), true), nullptr);
        raw->mountUnitWeapons(WeaponList::instance());
        raw->setAIController(TargetAI::create(*raw, 0.8f));
        objects.push_back(std::move(object));
    }

    // A landmark the player's airplane starts inside.
    auto landmark = std::make_unique<MapTrigger>();
    landmark->name = "start_landmark";
    landmark->landmark = 0;
    landmark->notice = "LANDMARK_START";
    landmark->pos = first->position();
    landmark->radius = 500.0f;
    landmark->group = 9999;
    const MapTrigger* ours = landmark.get();
    mode->world()->addTrigger(std::move(landmark));
    const auto& landmarks = mode->world()->landmarkTriggers();
    ASSERT_NE(std::find(landmarks.begin(), landmarks.end(), ours), landmarks.end());

    harness.run(600.0f);

    EXPECT_NEAR(gameClock(), 600.0f, 0.25f);  // a float clock summed 36000 times
    EXPECT_EQ(std::find(landmarks.begin(), landmarks.end(), ours), landmarks.end());
    EXPECT_GE(messages.notices, 1);
    EXPECT_GT(mode->missilesRegistered(), 0);
    EXPECT_GT(harness.posted().destroyed.size(), 0u);
    EXPECT_EQ(mode->missilesRegistered() - mode->missilesUnregistered(), mode->missiles().count());
    for (const auto& e : mode->entities())
        EXPECT_TRUE(std::isfinite(e->position().x) && std::isfinite(e->position().y));

    mode->clearLevel();
    mode->clearLevel();
    EXPECT_EQ(mode->missilesRegistered(), mode->missilesUnregistered());
    EXPECT_TRUE(mode->entities().empty());
    EXPECT_TRUE(mode->activeTargets().empty());
    EXPECT_TRUE(mode->respawnQueue().empty());
    EXPECT_TRUE(mode->weapons().empty());
    EXPECT_TRUE(mode->runways().empty());
    EXPECT_TRUE(mode->tunnels().empty());
    EXPECT_EQ(mode->roadCount(), 0);
    EXPECT_EQ(mode->missiles().count(), 0);
    EXPECT_TRUE(mode->squadrons().empty());
    EXPECT_EQ(mode->world(), nullptr);
    EXPECT_EQ(mode->pendingDeletions(), 0);
}
}  // namespace
