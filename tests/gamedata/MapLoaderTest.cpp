#include "support/gamedata/MapTestHooks.h"

#include "gamedata/map/MapLoader.h"
#include "gamedata/records/MapInfoCfg.h"
#include "platform/Log.h"
#include "render/world/Terrain.h"

#include "GameDataFixture.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace {

// A 1 km square: land rising from -100 in the west to +300 in the east.
std::unique_ptr<Terrain> slope()
{
    Terrain::Layout layout{4, 250.0f, -100.0f, 400.0f};
    std::vector<std::uint16_t> samples;
    for (int row = 0; row <= 4; ++row)
        for (int col = 0; col <= 4; ++col)
            samples.push_back(static_cast<std::uint16_t>(col * 65535 / 4));
    auto terrain = std::make_unique<Terrain>();
    EXPECT_TRUE(terrain->setSamples(layout, samples));
    return terrain;
}

TEST(MapHeights, GroundOrSeaHeightOverLandSeaAndALake)
{
    GameWorld world;
    world.init();
    EXPECT_EQ(world.groundOrSeaHeightAt(123.0f, 456.0f), 0.0f) << "no terrain: sea level";
    world.setTerrain(slope());
    MapLake lake;
    lake.pos = {250.0f, 0.0f, 0.0f};
    lake.radius = 100.0f;
    lake.level = 220.0f;
    world.addLake(lake);

    EXPECT_NEAR(world.groundOrSeaHeightAt(-500.0f, 0.0f), 0.0f, 1e-3f) << "sea over ground at -100";
    EXPECT_NEAR(world.groundHeightAt(-500.0f, 0.0f), -100.0f, 0.5f);
    EXPECT_TRUE(world.isWaterAt(-500.0f, 0.0f));
    EXPECT_NEAR(world.groundOrSeaHeightAt(0.0f, 300.0f), 100.0f, 0.5f) << "land";
    EXPECT_FALSE(world.isWaterAt(0.0f, 300.0f));
    EXPECT_NEAR(world.groundOrSeaHeightAt(Vec3{250.0f, 999.0f, 50.0f}), 220.0f, 1e-3f) << "lake over ground at 200";
    EXPECT_TRUE(world.isWaterAt(250.0f, 50.0f));
    EXPECT_NEAR(world.groundOrSeaHeightAt(250.0f, 150.0f), 200.0f, 0.5f) << "beside the lake";
}

struct MapLoading : GameDataFixture {
    GameWorld world;
    void SetUp() override { world.init(); }
};

TEST_F(MapLoading, ABrokenRecordIsReportedAndTheRestLoads)
{
    ASSERT_TRUE(MapLoader::loadEdtText(world, R"(
        // items and objects around a broken one
        EditorItem { name "first" model "" pos 1 2 3 angles 0 90 0 }
        EditorItem { name "broken" pos 1 2 }
        MapObject { name "ok" unit "tank" kind 3 team 1 pos 10 0 10 }
        MapObject { name "longname" unit "tenletters" }
        MapObject { name "nothing" colour 3 }
        Spaceship { name "alien" }
        MapTrigger { name "idle" condition Timer }
        MapTrigger { name "ready" condition Timer exec [ TriggerAction { type Win } ] }
        EditorItem { name "last" kind runway pos 4 5 6 }
        MapWaypoint { path "loop" order 2 pos 0 0 2 }
        MapWaypoint { path "loop" order 1 pos 0 0 1 }
        MapLake { name "pond" pos 0 0 0 radius 10 level 5 }
    )", "broken.edt"));
    EXPECT_EQ(world.itemCount(), 2);
    EXPECT_EQ(world.item(1)->kind, EditorItem::kRunway);
    EXPECT_EQ(world.objectCount(), 1);
    EXPECT_EQ(world.triggerCount(), 1);
    EXPECT_EQ(world.pathPoints("loop").size(), 2u);
    EXPECT_EQ(world.pathPoints("loop")[0].z, 1.0f);
    EXPECT_EQ(world.lakes().size(), 1u);
    EXPECT_TRUE(warned({"error parsing object broken"}));
    EXPECT_TRUE(warned({"error parsing object longname"}));
    EXPECT_TRUE(warned({"error parsing object nothing"}));
    EXPECT_TRUE(warned({"error parsing object alien"}));
    EXPECT_TRUE(warned({"Trigger idle has no exec"}));
    // Item angles: the second is the heading; 90 degrees turns +x to -z.
    const Mat4& m = world.item(0)->matrix;
    const Vec3 along = rotateVector3x3(m, {1.0f, 0.0f, 0.0f});
    EXPECT_NEAR(along.z, -1.0f, 1e-5f);
    EXPECT_NEAR(m.m[13], 2.0f, 1e-6f);
}

TEST_F(MapLoading, TheItemTableStopsAt2048)
{
    std::string text = "Worldspawn { }\n";
    for (int i = 0; i < GameWorld::kMaxItems + 3; ++i)
        text += "EditorItem { name \"prop" + std::to_string(i) + "\" }\n";
    EXPECT_FALSE(MapLoader::loadWorldspawn(world)) << "no map loaded";
    ASSERT_TRUE(MapLoader::loadEdtText(world, text, "full.edt"));
    EXPECT_EQ(world.itemCount(), GameWorld::kMaxItems);
    EXPECT_EQ(world.item(GameWorld::kMaxItems - 1)->name, "prop2047");
    EXPECT_EQ(world.item(GameWorld::kMaxItems), nullptr);
    EXPECT_TRUE(warned({"error parsing object prop2048"}));
    EXPECT_TRUE(warned({"error parsing object prop2050"}));
    // Code that appends its own item checks first and is refused.
    EXPECT_FALSE(MapLoader::loadWorldspawn(world));
    EXPECT_EQ(world.addItem(std::make_unique<EditorItem>()), -1);
    EXPECT_EQ(world.itemCount(), GameWorld::kMaxItems);
}

TEST_F(MapLoading, ARecordLoadsItsEdtAndTerrainAndNullLoadsNothing)
{
    EXPECT_FALSE(MapLoader::loadEdt(world, nullptr));
    EXPECT_TRUE(warned({"no map record"}));

    MapInfoCfg record;
    record.name = "meadow";
    record.terrain = "meadow";
    EXPECT_FALSE(MapLoader::loadEdt(world, &record)) << "no .edt yet";

    write("data/maps/meadow.edt", "Worldspawn { spawn 1 2 3 }\nEditorItem { name \"a\" model \"runway_field.glm_0\" }\n");
    write("data/terrain/meadow/height.bin", std::string(
        reinterpret_cast<const char*>(Terrain::encode({1, 10.0f, 5.0f, 0.0f}, std::vector<std::uint16_t>(4)).data()), 28));
    ASSERT_TRUE(MapLoader::loadEdt(world, &record));
    EXPECT_EQ(world.mapRecord(), &record);
    ASSERT_NE(world.terrain(), nullptr);
    EXPECT_NEAR(world.groundOrSeaHeightAt(0.0f, 0.0f), 5.0f, 1e-4f);
    EXPECT_EQ(world.worldspawn().spawn.y, 2.0f);
    EXPECT_EQ(world.findItemByModel("runway_field.glm_0"), world.item(0));
    EXPECT_EQ(world.item(0)->modelData, nullptr) << "the model file is missing: the item stays, without a model";
    EXPECT_TRUE(MapLoader::loadWorldspawn(world));
    EXPECT_EQ(MapLoader::findModel("destroyer_ally"), nullptr);

    world.release();
    EXPECT_EQ(world.itemCount(), 0);
    EXPECT_EQ(world.terrain(), nullptr);
    EXPECT_FALSE(world.hasWorldspawn());
}

TEST(MapObjectMade, TheTutorialShipKeepsNineBytesOfItsUnitName)
{
    MapObject ship("navalunit_extra");
    EXPECT_EQ(ship.unit, "navalunit");
    ship.setPosition({10035.3f, 1155.68f, -4490.8f});
    EXPECT_EQ(ship.matrix.m[12], 10035.3f);
    EXPECT_EQ(ship.matrix.m[14], -4490.8f);
    FakeEntity target;
    ship.entity = &target;
    EXPECT_FALSE(ship.isGone());
    target.gone = true;
    EXPECT_TRUE(ship.isGone());
}

}  // namespace
