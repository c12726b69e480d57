#include "gamedata/AirplaneModel.h"
#include "gamedata/map/GameWorld.h"
#include "gamedata/map/MapLoader.h"
#include "gamedata/map/MapTrigger.h"
#include "gamedata/records/MapLists.h"
#include "gamedata/records/PlaneList.h"
#include "gamedata/records/UnitList.h"
#include "platform/File.h"
#include "platform/Log.h"
#include "platform/Pak.h"
#include "platform/Settings.h"
#include "platform/StringTable.h"
#include "render/assets/Model.h"

#include "support/TempDir.h"
#include "support/gamedata/EveryMap.h"
#include "support/TestPak.h"

#include <gtest/gtest.h>

#include <cmath>
#include <set>

namespace {
// The data tool's maps read from paks/base.pak alone: each loads clean and
// holds what the tutorials and the modes count on.
struct StagedMaps : testing::Test {
    TempDir save, data;
    FileLayerScope scope{save.folder(), data.folder()};
    std::vector<std::string> warnings;
    StringTable english;
    Settings profile;
    PlaneList planes;
    UnitList units;
    MapLists maps;

    void SetUp() override
    {
        ASSERT_TRUE(mountPak(SKYFRONT_STAGE_DIR "/paks/base.pak"));
        auto table = openFile("data/strings/EN/main.str");
        ASSERT_NE(table, nullptr);
        ASSERT_TRUE(english.load(*table));
        ASSERT_TRUE(planes.load(PlaneList::kListPath, english, profile));
        ASSERT_TRUE(units.load(UnitList::kListPath, english));
        ASSERT_TRUE(maps.load(MapLists::kFolder, english));
        setLogCapture([this](LogLevel, const std::string&, const std::string& m) { warnings.push_back(m); });
    }
    void TearDown() override
    {
        setLogCapture({});
        AirplaneModel::releaseAll();
        releaseAllModels();
        unmountAllPaks();
    }
    // Every map record of every list, and the menu flight's.
    std::vector<const MapInfoCfg*> allMaps() const { return everyMap(maps); }
    void load(GameWorld& world, const MapInfoCfg* record)
    {
        world.init();
        warnings.clear();
        ASSERT_TRUE(MapLoader::loadEdt(world, record)) << record->name;
        ASSERT_NE(world.terrain(), nullptr) << record->name;
        for (const std::string& w : warnings)
            ADD_FAILURE() << record->name << ": " << w;
    }
};

TEST_F(StagedMaps, EveryMapLoadsWholeWithItsModelsUnitsAndTriggerTargets)
{
    const auto all = allMaps();
    ASSERT_EQ(all.size(), 22u);
    for (const MapInfoCfg* record : all) {
        ASSERT_NE(record, nullptr);
        GameWorld world;
        load(world, record);
        const std::string& name = record->name;
        EXPECT_TRUE(world.hasWorldspawn()) << name;
        const Vec3 spawn = world.worldspawn().spawn;
        EXPECT_GT(spawn.y, world.groundOrSeaHeightAt(spawn) + 300.0f) << name << ": spawn above the ground";
        EXPECT_LT(spawn.y, world.worldspawn().ceiling) << name;
        for (int i = 0; i < world.itemCount(); ++i)
            EXPECT_NE(world.item(i)->modelData, nullptr) << name << ": " << world.item(i)->model;
        for (int i = 0; i < world.objectCount(); ++i) {
            const MapObject& o = *world.object(i);
            EXPECT_TRUE(units.findByName(o.unit) || planes.findByName(o.unit)) << name << ": unit " << o.unit;
            if (o.kind != 0 && units.findByName(o.unit)) {
                const UnitCfg& unit = *units.findByName(o.unit);
                EXPECT_EQ(o.kind, unit.kind) << name << ": " << o.name;
                const float ground = world.groundOrSeaHeightAt(o.pos);
                // Ships float on water, bridges span it, the rest stand on land.
                if (!unit.isBridge()) {
                    EXPECT_EQ(unit.isNaval(), world.isWaterAt(o.pos.x, o.pos.z)) << name << ": " << o.name;
                }
                EXPECT_NEAR(o.pos.y, ground, unit.isBridge() ? 20.0f : 2.0f) << name << ": " << o.name;
            }
        }
        for (int i = 0; i < world.triggerCount(); ++i) {
            const MapTrigger& t = *world.trigger(i);
            EXPECT_EQ(t.objectList.size(), splitNames(t.objects).size()) << name << ": trigger " << t.name;
            if (!t.notice.empty()) {
                EXPECT_GE(english.findId(t.notice), 0) << name << ": " << t.notice;
            }
            for (int k = 0; k < t.exec.count(); ++k) {
                if (t.exec.at(k)->type == TriggerAction::Notice) {
                    EXPECT_GE(english.findId(t.exec.at(k)->text), 0) << name << ": " << t.exec.at(k)->text;
                }
            }
        }
        for (const MapWaypoint& w : world.waypoints())
            EXPECT_GT(w.pos.y, world.groundOrSeaHeightAt(w.pos) + 300.0f) << name << ": waypoint " << w.name;
        EXPECT_TRUE(openFile("data/terrain/" + record->watermap + ".pvr")) << name << ": briefing picture";
    }
}

TEST_F(StagedMaps, TheTutorialMapHasItsRunwayShipWaterAndRoomToFly)
{
    GameWorld world;
    load(world, maps.skirmishMap(1));
    const EditorItem* runway = world.findItemByModel("runway_field.glm_0");
    ASSERT_NE(runway, nullptr);
    EXPECT_EQ(runway->kind, EditorItem::kRunway);
    EXPECT_NEAR(runway->pos.y, world.groundHeightAt(runway->pos.x, runway->pos.z), 1.0f);

    // The weapons lesson's ship at (10035.3, 1155.68, -4490.8) floats on open water.
    EXPECT_TRUE(world.isWaterAt(10035.3f, -4490.8f));
    EXPECT_NEAR(world.groundOrSeaHeightAt(10035.3f, -4490.8f), 1155.68f, 5.0f);
    for (float d : {-300.0f, 300.0f})
        EXPECT_TRUE(world.isWaterAt(10035.3f + d, -4490.8f + d)) << "room for the ship to turn";
    EXPECT_NE(MapLoader::findModel("destroyer_ally"), nullptr);

    // The lessons start 2000 above the ground at (12679.454, 4755.814).
    EXPECT_LT(world.groundOrSeaHeightAt(12679.454f, 4755.814f) + 2000.0f, world.worldspawn().ceiling);

    // Take-off and landing: the climb waypoint 2600 ahead and 600 up, and the
    // approach from 3600 back at 500 up, with the glide path in between.
    const float heading = (runway->angles.y + 90.0f) * 0.017453292f;
    const Vec3 along = rotateVector3x3(mat4MakeRotationY(2.0f * 3.14159265f - heading), {0.0f, 0.0f, -1.0f});
    const Vec3 axis = rotateVector3x3(runway->matrix, {1.0f, 0.0f, 0.0f});
    EXPECT_GT(vec3Dot(along, axis), 0.999f) << "the runway model lies along the lesson's runway direction";
    for (float t = -3600.0f; t <= 2600.0f; t += 100.0f) {
        const Vec3 p = runway->pos + along * t;
        const float path = t < 0.0f ? 500.0f * (-t / 3600.0f) : 600.0f * (t / 2600.0f);
        EXPECT_LT(world.groundOrSeaHeightAt(p), runway->pos.y + path + 5.0f) << "ground in the way at " << t;
    }
}

TEST_F(StagedMaps, SkirmishMapsHaveBothBasesAndARunway)
{
    for (int i = 0; i < maps.countNonCampaign(); ++i) {
        GameWorld world;
        load(world, maps.skirmishMap(i));
        std::set<int> baseTeams;
        for (int k = 0; k < world.objectCount(); ++k)
            if (world.object(k)->kind == 6)
                baseTeams.insert(world.object(k)->team);
        EXPECT_TRUE(baseTeams.count(0) && baseTeams.count(1)) << maps.skirmishMap(i)->name;
        int runways = 0;
        for (int k = 0; k < world.itemCount(); ++k)
            runways += world.item(k)->kind == EditorItem::kRunway;
        EXPECT_GE(runways, 1) << maps.skirmishMap(i)->name;
        EXPECT_FALSE(world.landmarkTriggers().empty()) << maps.skirmishMap(i)->name;
    }
}

TEST_F(StagedMaps, TheMenuFlightAndTheMissionsHaveWhatTheirModesRead)
{
    GameWorld menu;
    load(menu, maps.menuMap());
    EXPECT_NEAR(menu.worldspawn().spawn.x, 12679.454f, 0.01f);
    EXPECT_NEAR(menu.worldspawn().spawn.y, 1608.3379f, 0.01f);
    EXPECT_GE(menu.pathPoints("menu").size(), 4u);

    // A start on an empty mission slot is refused.
    EXPECT_EQ(MapLoader::campaignMissionRecord(maps, 0, maps.countCampaign(0)), nullptr);
    EXPECT_EQ(MapLoader::campaignMissionRecord(maps, 3, 0), nullptr);
    for (int c = 0; c < MapLists::kCampaigns; ++c)
        for (int i = 0; i < maps.countCampaign(c); ++i) {
            const MapInfoCfg* record = MapLoader::campaignMissionRecord(maps, c, i);
            GameWorld world;
            load(world, record);
            int players = 0;
            for (int k = 0; k < world.objectCount(); ++k)
                players += world.object(k)->player;
            EXPECT_EQ(players, 1) << record->name;
            const MapTrigger* goal = world.findTrigger("goal");
            ASSERT_NE(goal, nullptr) << record->name;
            EXPECT_EQ(goal->kind, MapTrigger::Objective);
            EXPECT_GT(goal->targetTotal(), 0) << record->name;
            bool wins = false;
            for (int k = 0; k < goal->exec.count(); ++k)
                wins = wins || goal->exec.at(k)->type == TriggerAction::Win;
            EXPECT_TRUE(wins) << record->name;
        }
}

// Every kind of trigger action is played by some map, and what an action
// names (a tune, a sound, an effect) is in the pak. Only the time of day and
// the weather stay with the map records and the match set-up.
TEST_F(StagedMaps, TheMapsUseEveryTriggerActionAndNameOnlyStagedTunesSoundsAndEffects)
{
    std::set<int> used;
    int effectPoints = 0;
    for (const MapInfoCfg* record : allMaps()) {
        GameWorld world;
        load(world, record);
        std::string startTune;
        bool allows = false, forbids = false, lost = false;
        for (int i = 0; i < world.triggerCount(); ++i) {
            const MapTrigger& t = *world.trigger(i);
            effectPoints += t.isEffectPoint();
            lost = lost || t.condition == MapTrigger::Lost;
            for (int k = 0; k < t.exec.count(); ++k) {
                const TriggerAction& a = *t.exec.at(k);
                used.insert(a.type);
                allows = allows || a.type == TriggerAction::AllowLoss;
                forbids = forbids || a.type == TriggerAction::ForbidLoss;
                // What a tune, sound or effect names is staged.
                const bool effect = a.type == TriggerAction::Effect;
                const bool named = effect || a.type == TriggerAction::Music || a.type == TriggerAction::Sound;
                for (const std::string& file : splitNames(named ? a.text : ""))
                    EXPECT_NE(openFile((effect ? "data/FX/" : "") + file), nullptr) << record->name << " " << file;
                // An effect point only stands: it starts nothing else.
                EXPECT_TRUE(effect || !t.isEffectPoint()) << record->name << " " << t.name;
                if (a.type == TriggerAction::Music && t.enabled && t.condition == MapTrigger::Timer && t.delay < 1.0f)
                    startTune = a.text;
            }
        }
        // Every map but the menu's flight starts a tune as play starts: the
        // tutorials' field the calm one, the matches the fight's.
        const std::string name = record->name;
        const char* wanted = name == "mainmenu" ? ""
                             : name == "training" || record->campaign_id >= 0
                                 ? "data/sounds/music/high_patrol.mp3"
                                 : "data/sounds/music/into_the_fray.mp3";
        EXPECT_EQ(startTune, wanted) << name;
        // A mission that forgives the pilot's loss says where it stops, and
        // what happens when he is down.
        EXPECT_EQ(allows, forbids) << name;
        EXPECT_EQ(allows, lost) << name;
    }
    EXPECT_GE(effectPoints, 17);  // the missions' burning towns, the wreck, the channel's village
    for (int type = TriggerAction::Notice; type <= TriggerAction::Comic; ++type)
        EXPECT_TRUE(used.count(type) || type == TriggerAction::Sun || type == TriggerAction::Weather) << type;
}

TEST_F(StagedMaps, EveryModelTheRecordsNameLoadsWithItsWreck)
{
    EXPECT_TRUE(openFile("data/models/canopy.png"));
    EXPECT_TRUE(openFile("data/models/propeller.png"));
    for (int i = 0; i < units.count(); ++i) {
        const std::string model = units.at(i)->model;
        EXPECT_NE(MapLoader::findModel(model), nullptr) << model;
        const std::string stem = model.substr(0, model.find('.'));
        EXPECT_NE(loadModel(stem + "_gibs.glm"), nullptr) << stem;
    }
    for (int i = 0; i < planes.count(); ++i) {
        const PlaneCfg& plane = *planes.at(i);
        const AirplaneModel* model = AirplaneModel::forPlane(plane);
        ASSERT_NE(model, nullptr) << plane.name;
        for (const char* node : {"canopy", "steamu", "steamd", "cobra", "contrail"})
            EXPECT_TRUE(model->hasNode(node)) << plane.name << ": " << node;
        // Jets carry their exhaust and the boom cone; propeller planes none of them.
        for (const char* node : {"jet", "jetcore", "jetglow", "sonic"})
            EXPECT_EQ(model->hasNode(node), plane.pEngine == 1) << plane.name << ": " << node;
        EXPECT_GT(std::fabs(model->contrailPoint().x), 2.0f) << plane.name << ": contrail at the wing tip";
        EXPECT_GT(model->length(), 5.0f) << plane.name;
        EXPECT_GT(model->span(), 5.0f) << plane.name;
        EXPECT_GT(model->groundOffset(), 0.0f) << plane.name;
        EXPECT_GE(model->paintCount(), 1) << plane.name;
        const std::string last = plane.file.substr(plane.file.rfind('/') + 1);
        const std::string gibs = "data/models/" + last.substr(0, last.find("_ful")) + "_gibs.glm";
        EXPECT_NE(loadModel(gibs), nullptr) << gibs;
        EXPECT_EQ(AirplaneModel::photoNames(plane).back(), "data/sprites/photo.png");
        // Every family has its own photo and paint mask beside the model.
        EXPECT_TRUE(openFile(AirplaneModel::photoNames(plane).front())) << plane.name;
        EXPECT_NE(AirplaneModel::photoNames(plane).front(), "data/sprites/photo.png") << plane.name;
        EXPECT_TRUE(openFile(model->paintMaskName())) << plane.name;
    }
    EXPECT_TRUE(openFile("data/sprites/photo.png"));
    EXPECT_TRUE(openFile("data/models/flag_friend.png"));
    EXPECT_TRUE(openFile("data/models/flag_enemy.png"));
}

}  // namespace
