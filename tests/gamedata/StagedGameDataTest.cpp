#include "gamedata/map/GameWorld.h"
#include "gamedata/map/MapLoader.h"
#include "gamedata/records/MapLists.h"
#include "gamedata/records/PlaneList.h"
#include "gamedata/records/RecordFile.h"
#include "gamedata/records/UnitList.h"
#include "gamedata/records/WeaponList.h"
#include "platform/File.h"
#include "platform/Log.h"
#include "platform/Pak.h"
#include "platform/Settings.h"
#include "platform/StringTable.h"

#include "support/TempDir.h"
#include "support/gamedata/EveryMap.h"
#include "support/TestPak.h"

#include <gtest/gtest.h>

#include <map>
#include <set>

namespace {
// The data tool's records read from paks/base.pak alone: every list loads
// whole and every name one record gives another resolves.
struct StagedGameData : testing::Test {
    TempDir save, data;
    FileLayerScope scope{save.folder(), data.folder()};
    std::vector<std::string> warnings;
    StringTable english;
    Settings profile;
    PlaneList planes;
    WeaponList weapons;
    UnitList units;
    MapLists maps;

    void SetUp() override
    {
        ASSERT_TRUE(mountPak(SKYFRONT_STAGE_DIR "/paks/base.pak"));
        auto table = openFile("data/strings/EN/main.str");
        ASSERT_NE(table, nullptr);
        ASSERT_TRUE(english.load(*table));
        setLogCapture([this](LogLevel, const std::string&, const std::string& message) { warnings.push_back(message); });
        ASSERT_TRUE(planes.load(PlaneList::kListPath, english, profile));
        ASSERT_TRUE(weapons.load(WeaponList::kListPath, english));
        ASSERT_TRUE(units.load(UnitList::kListPath, english));
        ASSERT_TRUE(maps.load(MapLists::kFolder, english));
        setLogCapture({});
    }

    bool exists(const std::string& name) { return openFile(name) != nullptr; }
    void expectText(const std::string& key, const std::string& owner)
    {
        EXPECT_GE(english.findId(key), 0) << owner << ": no English text \"" << key << "\"";
    }
    int listedCount(const char* list)
    {
        std::vector<NameListEntry> names;
        EXPECT_TRUE(readNameList(list, names));
        return static_cast<int>(names.size());
    }
};

TEST_F(StagedGameData, EveryListedRecordLoads)
{
    for (const std::string& w : warnings)
        ADD_FAILURE() << w;
    EXPECT_EQ(planes.count(), listedCount(PlaneList::kListPath));
    EXPECT_EQ(weapons.count(), listedCount(WeaponList::kListPath));
    EXPECT_EQ(units.count(), listedCount(UnitList::kListPath));
    EXPECT_EQ(maps.countNonCampaign(), listedCount("data/maps/skirmish.lst"));
    for (int c = 0; c < MapLists::kCampaigns; ++c)
        EXPECT_EQ(maps.countCampaign(c), listedCount(("data/maps/campaign" + std::to_string(c + 1) + ".lst").c_str()));
    EXPECT_NE(maps.menuMap(), nullptr);
}

TEST_F(StagedGameData, AircraftAreCompleteAndReferToWhatExists)
{
    ASSERT_GE(planes.count(), 12);
    EXPECT_EQ(planes.findByName("p51")->plane_id, 0);
    EXPECT_GE(planes.tierCount(), 3);
    std::map<std::string, int> familySizes;
    std::set<int> engines;
    for (int i = 0; i < planes.count(); ++i) {
        const PlaneCfg& p = *planes.at(i);
        EXPECT_EQ(p.plane_id, i) << p.name;  // unlock tables and lists agree
        EXPECT_TRUE(exists(p.file)) << p.name << ": " << p.file;
        expectText(p.pStrInfo, p.name);
        EXPECT_FALSE(p.fullname.empty()) << p.name;
        EXPECT_FALSE(p.shortname.empty()) << p.name;
        EXPECT_NE(weapons.findByName(p.pGunWeapon), nullptr) << p.name;
        EXPECT_TRUE(weapons.findByName(p.pGunWeapon)->isGun()) << p.name;
        for (const std::string* slot : {&p.sp_weapon0, &p.sp_weapon1})
            EXPECT_TRUE(slot->empty() || weapons.findByName(*slot)) << p.name << ": " << *slot;
        // The paint rows as written, before the loader's clamp adds any.
        PlaneCfg raw;
        std::string error;
        ASSERT_TRUE(loadRecordFile(raw, "data/planes/" + p.name + ".cfg", error)) << error;
        EXPECT_GE(raw.paints.count(), 1) << p.name;
        EXPECT_GE(raw.pArmour, PlaneCfg::kMinArmour) << p.name;
        EXPECT_LT(p.pStallSpeed, p.pCruiseSpeed) << p.name;
        EXPECT_LT(p.pCruiseSpeed, p.topSpeed()) << p.name;
        EXPECT_LE(p.pMinSpeed - p.pSpeedSpan, 0.0f) << p.name << " cannot stop on a runway";
        ++familySizes[p.file];
        engines.insert(p.pEngine);
    }
    EXPECT_EQ(engines.size(), 2u);
    EXPECT_TRUE(std::any_of(familySizes.begin(), familySizes.end(), [](const auto& f) { return f.second >= 2; }));
    // The hangar titles tier t with string 1222 + t.
    for (int tier = 0; tier < planes.tierCount(); ++tier)
        EXPECT_NE(english.text(1222 + tier), nullptr) << "tier " << tier;
    EXPECT_FALSE(planes.listAvailable().empty()) << "a new pilot needs a plane to fly";
}
TEST_F(StagedGameData, TiersMatter)
{
    // Per tier: the fastest top speed and the strongest armour.
    std::vector<float> top(static_cast<std::size_t>(planes.tierCount())), armour(top.size());
    for (int i = 0; i < planes.count(); ++i) {
        const PlaneCfg& p = *planes.at(i);
        const auto t = static_cast<std::size_t>(p.plane_tier);
        top[t] = std::max(top[t], p.topSpeed());
        armour[t] = std::max(armour[t], p.pArmour);
    }
    EXPECT_GT(top[1], top[0] * 1.4f) << "jets outrun propellers";
    EXPECT_GT(armour[2], armour[0] * 1.8f) << "attack aircraft take hits";
    EXPECT_GT(armour[2], armour[1] * 1.5f);
}

TEST_F(StagedGameData, WeaponsCoverEveryKindTheGameFires)
{
    for (const char* name : {"machinegun_light_1", "machinegun_heavy_1", "simple_missile_1", "simple_missile_2",
                             "torpedo_1", "bomb_1"})
        EXPECT_NE(weapons.findByName(name), nullptr) << name;
    std::set<int> types, subtypes;
    for (int i = 0; i < weapons.count(); ++i) {
        const WeaponCfg& w = *weapons.at(i);
        EXPECT_EQ(w.weapon_id, i) << w.name;
        expectText(w.description, w.name);
        types.insert(w.type);
        if (w.type == kWeaponSimple)
            subtypes.insert(w.subtype);
    }
    for (int type = 0; type <= kWeaponSmoke; ++type)
        EXPECT_TRUE(type == kWeaponNone || types.count(type)) << "no weapon of type " << type;
    EXPECT_EQ(subtypes, (std::set<int>{0, 1, 2}));
    EXPECT_FALSE(weapons.listFor(0).empty());
    EXPECT_FALSE(weapons.listFor(1).empty());
}

// Nothing the game can fire or place stays unseen: every weapon type and
// missile kind is carried by a plane of the list (a bot may fly any), offered
// in the loadout or mounted on a unit some map places, and every unit of the
// list stands on some map.
TEST_F(StagedGameData, EveryWeaponKindIsCarriedAndEveryUnitPlaced)
{
    std::map<std::string, std::string> placed;  // unit name -> the first map placing it
    for (const MapInfoCfg* map : everyMap(maps)) {
        ASSERT_NE(map, nullptr);
        auto file = openFile(MapLoader::edtPath(map->name));
        ASSERT_NE(file, nullptr) << map->name;
        std::vector<std::uint8_t> bytes;
        ASSERT_TRUE(file->readAll(bytes)) << map->name;
        const std::string text(bytes.begin(), bytes.end());
        GameWorld world;
        world.init();
        ASSERT_TRUE(MapLoader::loadEdtText(world, text, map->name)) << map->name;
        for (int i = 0; i < world.objectCount(); ++i)
            placed.emplace(world.object(i)->unit, map->name);
    }

    std::map<int, std::string> carriers;  // weapon type -> who carries one
    std::set<int> subtypes;
    const auto carry = [&](const std::string& weapon, const std::string& by) {
        if (const WeaponCfg* w = weapons.findByName(weapon)) {
            carriers.emplace(w->type, by + " carries " + w->name);
            if (w->type == kWeaponSimple)
                subtypes.insert(w->subtype);
        }
    };
    for (int i = 0; i < planes.count(); ++i) {
        const PlaneCfg& p = *planes.at(i);
        for (const std::string* w : {&p.pGunWeapon, &p.sp_weapon0, &p.sp_weapon1})
            carry(*w, p.name);
    }
    for (int slot = 0; slot < 2; ++slot)
        for (const WeaponCfg* w : weapons.listFor(slot))
            if (w->usableFlags != 0)
                carry(w->name, "the loadout");
    for (int i = 0; i < units.count(); ++i) {
        const UnitCfg& u = *units.at(i);
        EXPECT_TRUE(placed.count(u.name)) << "no map places the unit " << u.name << " (kind " << u.kind << ")";
        if (!placed.count(u.name))
            continue;
        for (int k = 0; k < u.weapons.count(); ++k)
            carry(u.weapons.at(k)->name, u.name + " on " + placed[u.name]);
    }
    for (int type = 0; type <= kWeaponSmoke; ++type)
        EXPECT_TRUE(type == kWeaponNone || carriers.count(type)) << "nothing carries a weapon of type " << type;
    EXPECT_EQ(subtypes, (std::set<int>{0, 1, 2})) << "rockets, bombs and torpedoes";
    // The special tier flies the alien weapons; nothing else has them.
    EXPECT_NE(carriers[kWeaponAlienLaser].find("visitor"), std::string::npos) << carriers[kWeaponAlienLaser];
    EXPECT_NE(carriers[kWeaponAlienQuick].find("visitor"), std::string::npos) << carriers[kWeaponAlienQuick];
    EXPECT_EQ(planes.findByName("visitor")->plane_tier, planes.tierCount() - 1);
}

TEST_F(StagedGameData, UnitsNameTheirModelsAndWeapons)
{
    ASSERT_NE(units.findByName("navalunit"), nullptr);
    EXPECT_TRUE(units.findByName("navalunit")->isNaval());
    std::set<int> kinds;
    bool bridge = false, flak = false;
    for (int i = 0; i < units.count(); ++i) {
        const UnitCfg& u = *units.at(i);
        // "airbase.glm_1" is object 1 of "data/models/airbase.glm".
        const std::string file = "data/models/" + u.model.substr(0, u.model.find(".glm") + 4);
        EXPECT_TRUE(exists(file)) << u.name << ": " << file;
        expectText(u.display, u.name);
        for (int k = 0; k < u.weapons.count(); ++k) {
            const WeaponCfg* w = weapons.findByName(u.weapons.at(k)->name);
            EXPECT_NE(w, nullptr) << u.name << ": " << u.weapons.at(k)->name;
            flak = flak || (w && w->type == kWeaponFlak);
        }
        kinds.insert(u.kind);
        bridge = bridge || u.isBridge();
    }
    EXPECT_TRUE(bridge);
    EXPECT_TRUE(flak);
    for (int kind : {2, 3, 4, 6, 9, 10})  // buildings, tanks, trucks, a base, ships
        EXPECT_TRUE(kinds.count(kind)) << "no unit of kind " << kind;
}

TEST_F(StagedGameData, MapsNameTheirTerrainPlanesAndTexts)
{
    EXPECT_GE(maps.countNonCampaign(), 6);
    std::vector<const MapInfoCfg*> all{maps.menuMap()};
    for (int slot = 0; slot < maps.countNonCampaign(); ++slot)
        all.push_back(maps.skirmishMap(slot));
    for (int c = 0; c < MapLists::kCampaigns; ++c) {
        const int count = maps.countCampaign(c);
        // Briefing pictures exist for eight missions a campaign.
        EXPECT_GE(count, 1);
        EXPECT_LE(count, 8);
        for (int m = 0; m < count; ++m) {
            const MapInfoCfg* mission = maps.campaignMission(c, m);
            ASSERT_NE(mission, nullptr) << c << "/" << m;
            all.push_back(mission);
            EXPECT_GT(mission->goldTime, 0) << mission->name;
            EXPECT_LT(mission->goldTime, mission->silverTime) << mission->name;
            EXPECT_LT(mission->goldTimeAce, mission->silverTimeAce) << mission->name;
            EXPECT_GT(mission->missionPoints, 0) << mission->name;
            EXPECT_GT(mission->briefingId, 0) << mission->name;
            EXPECT_NE(planes.findByName(mission->preferedPlane), nullptr) << mission->name;
        }
        EXPECT_FALSE(maps.campaignMission(c, count - 1)->comicEnd.empty()) << "campaign " << c << " has no end";
    }
    for (const MapInfoCfg* map : all) {
        ASSERT_NE(map, nullptr);
        EXPECT_TRUE(exists("data/terrain/" + map->terrain + "/height.bin")) << map->name;
        EXPECT_TRUE(exists("data/terrain/" + map->watermap + ".pvr")) << map->name;
        EXPECT_TRUE(map->treeFile.empty() || exists("data/terrain/" + map->treeFile + ".raw")) << map->name;
        expectText(map->title, map->name);
        expectText(map->description, map->name);
        if (!map->briefing_string.empty())
            expectText(map->briefing_string, map->name);
        EXPECT_LE(map->rainProb + map->snowProb, 100.0f) << map->name;
    }
}
}  // namespace
