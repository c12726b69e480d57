#include "entities/ai/TargetAI.h"
#include "entities/aircraft/Airplane.h"
#include "entities/ground/GroundTarget.h"
#include "entities/weapons/AreaDamage.h"
#include "gamedata/map/GameWorld.h"
#include "gamedata/records/MapLists.h"
#include "gamedata/records/PlaneList.h"
#include "modes/IMenuFlight.h"
#include "modes/GameMode.h"
#include "modes/GameType.h"
#include "modes/ModeServices.h"
#include "render/assets/Model.h"
#include "render/world/PropsGrid.h"
#include "support/modes/ModeHarness.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <string>
#include <vector>

namespace {

// The scene's collision grid over the running mode's map, as the game screen builds it.
struct PropScene : IModeScene {
    PropsGrid grid;
    bool hitsProp(const Vec3& point, float radius) const override { return grid.findHit(point, radius) != nullptr; }
    bool crashesIntoProp(const Vec3& point, float radius) const override
    {
        return grid.findHit(point, radius, true) != nullptr;
    }
};

struct CountingAI : TargetAI {
    int& updates;
    CountingAI(Target& owner, int& counter) : TargetAI(owner, 0.5f), updates(counter) {}
    void update(float) override { ++updates; }
    void forget(const Target&) override {}
};

bool isMapUnit(const Target& t)
{
    const auto* unit = dynamic_cast<const GroundTarget*>(&t);
    return unit && unit->mapObjectIndex >= 0 && t.kind() != TargetKind::Base;
}

struct MapEntities : testing::Test {
    ModeHarness harness;
    PropScene scene;
    void SetUp() override
    {
        std::string error;
        ASSERT_TRUE(harness.mountData(error)) << error;
        harness.scene = &scene;
    }
    GameMode* start(GameType type)
    {
        GameMode* mode = harness.start(static_cast<int>(type), harness.firstSkirmishMap());
        if (mode && mode->world())
            scene.grid.build(*mode->world());
        return mode;
    }
    const EditorItem* namedItem(const GameMode& mode, const std::string& name) const
    {
        for (int i = 0; i < mode.world()->itemCount(); ++i)
            if (mode.world()->item(i)->name == name)
                return mode.world()->item(i);
        return nullptr;
    }
    // The centre of an item's model in the world.
    static Vec3 centreOf(const EditorItem& item)
    {
        return mat4TransformPoint(item.matrix, (item.modelData->boundsMin() + item.modelData->boundsMax()) * 0.5f);
    }
};

// Every kind of game builds the map's airfields, roads and units, as a mission does.
TEST_F(MapEntities, EveryKindOfGameHasTheMapsRunwaysRoadsAndGroundUnits)
{
    for (GameType type : {GameType::FreeForAll, GameType::TeamDeathmatch, GameType::CaptureTheFlag,
                          GameType::DestroyTheBase, GameType::Survival, GameType::Dogfight, GameType::FreeFlight,
                          GameType::LastManStanding}) {
        SCOPED_TRACE(static_cast<int>(type));
        GameMode* mode = start(type);
        ASSERT_NE(mode, nullptr);
        const GameWorld& world = *mode->world();
        int runwayItems = 0, units = 0, mapUnits = 0;
        for (int i = 0; i < world.itemCount(); ++i)
            runwayItems += world.item(i)->enabled && world.item(i)->kind == EditorItem::kRunway;
        for (int i = 0; i < world.objectCount(); ++i) {
            const int kind = world.object(i)->kind;
            mapUnits += (kind >= 1 && kind <= 5) || (kind >= 7 && kind <= 11);
        }
        for (Target* t : mode->activeTargets())
            units += isMapUnit(*t);
        ASSERT_GT(runwayItems, 0);
        EXPECT_EQ(static_cast<int>(mode->runways().size()), runwayItems);
        EXPECT_GT(mode->roadCount(), 0);
        // Two flak guns, three tanks and four supply trucks by each airfield and,
        // on this sea map, a carrier and a submarine off it.
        EXPECT_EQ(units, mapUnits);
        EXPECT_EQ(units, 11 * runwayItems);
        harness.finish();
    }
}

// A tunnel item of the map becomes a tunnel target whose radius is twice its model's.
TEST_F(MapEntities, ATunnelReachesTwiceItsModelsRadius)
{
    GameMode* mode = start(GameType::FreeFlight);
    ASSERT_NE(mode, nullptr);
    const EditorItem* tower = namedItem(*mode, "tower_0");
    ASSERT_TRUE(tower && tower->modelData);
    auto bore = std::make_unique<EditorItem>(*tower);
    bore->name = "tunnel_0";
    bore->kind = EditorItem::kTunnel;
    mode->world()->addItem(std::move(bore));
    const std::size_t before = mode->tunnels().size();
    mode->createTunnels();
    ASSERT_EQ(mode->tunnels().size(), before + 1);
    EXPECT_FLOAT_EQ(mode->tunnels().back()->radius(), 2.0f * tower->modelData->radius());
}

// A destroyed flak gun comes back where the map put it, a minute later.
TEST_F(MapEntities, ADestroyedGroundUnitReturnsAfterAMinute)
{
    GameMode* mode = start(GameType::DestroyTheBase);
    ASSERT_NE(mode, nullptr);
    GroundTarget* flak = nullptr;
    for (Target* t : mode->activeTargets())
        if (isMapUnit(*t))
            flak = static_cast<GroundTarget*>(t);
    ASSERT_NE(flak, nullptr);
    const Vec3 home = flak->position();
    mode->damageTarget(*flak, mode->playerAirplane(), 1e6f, flak->position(), nullptr);
    harness.run(1.0f);
    EXPECT_FALSE(flak->isActive());
    harness.run(58.0f);
    EXPECT_FALSE(flak->isActive());
    harness.run(2.0f);
    ASSERT_TRUE(flak->isActive());
    EXPECT_TRUE(flak->isAlive());
    EXPECT_NEAR(flak->position().x, home.x, 1.0f);
    EXPECT_NEAR(flak->position().z, home.z, 1.0f);
}

// An airplane flown into a hangar crashes; one just over the runway beside it does not.
TEST_F(MapEntities, AnAirplaneCrashesIntoAHangarButNotOverTheRunway)
{
    GameMode* mode = start(GameType::FreeForAll);
    ASSERT_NE(mode, nullptr);
    ASSERT_GT(scene.grid.propCount(), 0u);
    const EditorItem* runway = namedItem(*mode, "runway_0");
    const EditorItem* hangar = namedItem(*mode, "hangar_0_0");
    ASSERT_TRUE(runway && runway->modelData && hangar && hangar->modelData);
    Airplane* player = mode->playerAirplane();
    ASSERT_NE(player, nullptr);

    const Vec3 strip = runway->pos;
    player->setPositionAndStop({strip.x, mode->groundHeightAt(strip.x, strip.z) + 1.5f, strip.z});
    mode->update(ModeHarness::kFrame);
    EXPECT_TRUE(player->isAlive());
    for (const auto& d : harness.posted().destroyed)
        EXPECT_NE(d.victim, player);

    player->setPositionAndStop(centreOf(*hangar));
    mode->update(ModeHarness::kFrame);
    bool crashed = false;
    for (const auto& d : harness.posted().destroyed)
        crashed |= d.victim == player && d.cause == CrashCause::Prop;
    EXPECT_TRUE(crashed);
    EXPECT_FALSE(player->isAlive());
}

// A blast inside a flak gun's sphere but off its model leaves it whole; one
// that reaches the model hurts it.
TEST_F(MapEntities, ABlastMustReachAGroundUnitsModelNotJustItsSphere)
{
    GameMode* mode = start(GameType::FreeFlight);
    ASSERT_NE(mode, nullptr);
    GroundTarget* unit = nullptr;
    for (Target* t : mode->activeTargets())
        if (isMapUnit(*t) && static_cast<GroundTarget*>(t)->mapObject().modelData)
            unit = static_cast<GroundTarget*>(t);
    ASSERT_NE(unit, nullptr);
    const Model& model = *unit->mapObject().modelData;
    const Vec3 lo = model.boundsMin(), hi = model.boundsMax(), mid = (lo + hi) * 0.5f;
    // Off the middle of a side face, a tenth of the box's width out: the
    // sphere round the box's corners still reaches there.
    const float gap = 0.1f * (hi.x - lo.x), blast = 0.1f * gap;
    const Vec3 off = mat4TransformPoint(unit->matrix(), Vec3{hi.x + gap, mid.y, mid.z});
    ASSERT_GT(gap, 0.0f);
    ASSERT_LT(vec3DistanceSq(off, unit->position()), blast * blast + unit->squaredRadius());
    EXPECT_FALSE(unit->modelContact(off, blast));
    // A blast reaching the nearest corner of the model's triangles hits it.
    float reach = 1e30f;
    for (const GlmTriangle& t : model.collisionTriangles())
        for (const Vec3& v : {t.a, t.b, t.c})
            reach = std::min(reach, vec3Length(mat4TransformPoint(unit->matrix(), v) - off));
    reach += 0.01f;
    EXPECT_TRUE(unit->modelContact(off, reach));

    const float health = unit->health();
    EXPECT_EQ(applyAreaDamage(*mode, nullptr, kTeamNone, off, blast, 0.1f, nullptr, nullptr), 0);
    EXPECT_EQ(unit->health(), health);
    EXPECT_EQ(applyAreaDamage(*mode, nullptr, kTeamNone, off, reach, 0.1f, nullptr, nullptr), 1);
    EXPECT_LT(unit->health(), health);
}

// The mode's frame runs each AI controller once: the bots', the ground units'
// and the player's autopilot; the entities' own updates do not run it again.
TEST_F(MapEntities, EveryAIControllerRunsOnceAFrame)
{
    GameMode* mode = start(GameType::FreeForAll);
    ASSERT_NE(mode, nullptr);
    Airplane* player = mode->playerAirplane();
    Target *bot = nullptr, *unit = nullptr;
    for (Target* t : mode->activeTargets()) {
        if (t->kind() == TargetKind::Airplane && t != player && !bot)
            bot = t;
        if (isMapUnit(*t) && !unit)
            unit = t;
    }
    ASSERT_TRUE(player && bot && unit);
    int playerRuns = 0, botRuns = 0, unitRuns = 0;
    player->setAIController(std::make_unique<CountingAI>(*player, playerRuns));
    bot->setAIController(std::make_unique<CountingAI>(*bot, botRuns));
    unit->setAIController(std::make_unique<CountingAI>(*unit, unitRuns));
    for (int i = 0; i < 30; ++i)
        mode->update(ModeHarness::kFrame);
    EXPECT_EQ(playerRuns, 30);
    EXPECT_EQ(botRuns, 30);
    EXPECT_EQ(unitRuns, 30);
}

// A plane id no record has shows the first plane behind the menus instead
// of keeping the old one, and asking again changes nothing.
TEST_F(MapEntities, AnUnknownShowcasePlaneShowsTheFirstPlane)
{
    const MapInfoCfg* menu = MapLists::instance().menuMap();
    ASSERT_NE(menu, nullptr);
    GameMode* mode = harness.start(static_cast<int>(GameType::MenuBackground), menu);
    ASSERT_NE(mode, nullptr);
    ASSERT_NE(mode->playerAirplane(), nullptr);
    const PlaneCfg* other = PlaneList::instance().at(PlaneList::instance().count() - 1);
    ASSERT_NE(other, PlaneList::instance().at(0));
    Airplane* shown = mode->menuFlight()->showPlane(other->plane_id);
    ASSERT_NE(shown, nullptr);
    EXPECT_EQ(&shown->record(), other);

    Airplane* unknown = mode->menuFlight()->showPlane(9999);
    ASSERT_NE(unknown, nullptr);
    EXPECT_EQ(&unknown->record(), PlaneList::instance().at(0));
    EXPECT_EQ(mode->playerAirplane(), unknown);
    EXPECT_EQ(mode->menuFlight()->showPlane(9999), unknown);
}

}  // namespace
