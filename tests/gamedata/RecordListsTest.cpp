#include "GameDataFixture.h"

#include "gamedata/records/MapLists.h"
#include "gamedata/records/RecordFile.h"
#include "gamedata/records/UnitList.h"
#include "gamedata/records/WeaponList.h"

namespace {
std::string weapon(const std::string& name, int id, const std::string& extra = "")
{
    return "WeaponCfg { name \"" + name + "\" weapon_id " + std::to_string(id) + " " + extra + " }\n";
}

std::string map(const std::string& name, const std::string& extra = "")
{
    return "MapInfoCfg { name \"" + name + "\" terrain \"test\" " + extra + " }\n";
}

std::string mission(const std::string& name, int campaign, int index)
{
    return map(name, "campaign_id " + std::to_string(campaign) + " index " + std::to_string(index));
}

using NameListTest = GameDataFixture;

TEST_F(NameListTest, ReadsNamesSkippingCommentsBlanksAndBadLines)
{
    std::vector<NameListEntry> names;
    parseNameList("# planes\r\n p51 \r\n\n\tzero\nbad name\n../up\nmig-21\n#tail", "x.lst", names);
    ASSERT_EQ(names.size(), 3u);
    EXPECT_EQ(names[0].name, "p51");
    EXPECT_EQ(names[0].line, 2);
    EXPECT_EQ(names[1].name, "zero");
    EXPECT_EQ(names[2].name, "mig-21");
    EXPECT_EQ(names[2].line, 7);
    EXPECT_EQ(warnings.size(), 2u);
    EXPECT_TRUE(warned({"x.lst:5"}));
    EXPECT_TRUE(warned({"x.lst:6"}));
    EXPECT_FALSE(isRecordName(std::string(kMaxRecordNameBytes + 1, 'a')));
    EXPECT_TRUE(isRecordName(std::string(kMaxRecordNameBytes, 'a')));
}

using WeaponListTest = GameDataFixture;

TEST_F(WeaponListTest, LooksWeaponsUpAndListsThemPerSlot)
{
    write("data/weapons/weapons.lst", "gun\nrockets\nbombs\nradar\n");
    write("data/weapons/gun.cfg", weapon("gun", 0, "type machinegun slotUsed 2 description \"GUN_INFO\""));
    write("data/weapons/rockets.cfg", weapon("rockets", 3, "type simple slotUsed 0"));
    write("data/weapons/bombs.cfg", weapon("bombs", 4, "type 9 subtype 1 slotUsed 1"));
    write("data/weapons/radar.cfg", weapon("radar", 5, "type radar_guided slotUsed -1"));
    WeaponList weapons;
    ASSERT_TRUE(weapons.load("data/weapons/weapons.lst", texts));
    ASSERT_EQ(weapons.count(), 4);
    EXPECT_EQ(weapons.indexByName("bombs"), 2);
    EXPECT_EQ(weapons.indexByName("radar"), 3);
    EXPECT_EQ(weapons.indexByName("torpedo"), -1);
    EXPECT_EQ(weapons.findByName("torpedo"), nullptr);
    EXPECT_EQ(weapons.findById(3)->name, "rockets");
    EXPECT_EQ(weapons.findById(1), nullptr);
    EXPECT_EQ(weapons.findByName("bombs")->type, kWeaponSimple);
    EXPECT_EQ(weapons.findByName("gun")->descriptionId, 102);
    EXPECT_TRUE(weapons.findByName("gun")->isGun());

    auto names = [](const std::vector<const WeaponCfg*>& list) {
        std::vector<std::string> out;
        for (const WeaponCfg* w : list)
            out.push_back(w->name);
        return out;
    };
    EXPECT_EQ(names(weapons.listFor(0)), (std::vector<std::string>{"rockets", "radar"}));
    EXPECT_EQ(names(weapons.listFor(1)), (std::vector<std::string>{"bombs", "radar"}));
    EXPECT_EQ(names(weapons.listFor(7)), (std::vector<std::string>{"radar"}));
}

TEST_F(WeaponListTest, ClampsCountsAndSkipsBadRecords)
{
    write("data/weapons/weapons.lst", "none\nmany\nbadtype\nbadid\ndup\nlast\n");
    write("data/weapons/none.cfg", weapon("none", 0, "numSlots 0 reloadTime 0 damage -5"));
    write("data/weapons/many.cfg", weapon("many", 1, "numSlots 1000 frameUsed 4"));
    write("data/weapons/badtype.cfg", weapon("badtype", 2, "type 12"));
    write("data/weapons/badid.cfg", weapon("badid", 300));
    write("data/weapons/dup.cfg", weapon("dup", 1));
    write("data/weapons/last.cfg", weapon("last", 9, "ammo 5"));
    WeaponList weapons;
    ASSERT_TRUE(weapons.load("data/weapons/weapons.lst", texts));
    ASSERT_EQ(weapons.count(), 3);
    EXPECT_EQ(weapons.findByName("none")->numSlots, 1);
    EXPECT_GT(weapons.findByName("none")->reloadTime, 0.0f);
    EXPECT_EQ(weapons.findByName("none")->damage, 0.0f);
    EXPECT_EQ(weapons.findByName("many")->numSlots, WeaponCfg::kMaxSlots);
    EXPECT_EQ(weapons.findByName("many")->iconIndex, 4);
    EXPECT_EQ(weapons.findByName("last")->ammo, 5);
    EXPECT_EQ(warnings.size(), 3u);
    EXPECT_TRUE(warned({"weapons.lst:3", "type 12"}));
    EXPECT_TRUE(warned({"weapons.lst:4", "outside"}));
    EXPECT_TRUE(warned({"weapons.lst:5", "already used by \"many\""}));
}

using UnitListTest = GameDataFixture;

TEST_F(UnitListTest, LoadsUnitsWithShortNames)
{
    write("data/units/units.lst", "navalunit\nbridge\nlongunitname\nnomodel\n");
    write("data/units/navalunit.cfg",
          "UnitCfg { kind 9 model \"destroyer.glm\" weapons [ UnitWeapon { name \"flak\" offset 0 5 -10 } ] }");
    write("data/units/bridge.cfg", "UnitCfg { kind 2 model \"bridge.glm\" health 0 }");
    write("data/units/longunitname.cfg", "UnitCfg { kind 3 model \"tank.glm\" }");
    write("data/units/nomodel.cfg", "UnitCfg { kind 3 }");
    UnitList units;
    ASSERT_TRUE(units.load("data/units/units.lst", texts));
    ASSERT_EQ(units.count(), 2);
    const UnitCfg* ship = units.findByName("navalunit");
    ASSERT_NE(ship, nullptr);
    EXPECT_TRUE(ship->isNaval());
    EXPECT_FALSE(ship->isBridge());
    ASSERT_EQ(ship->weapons.count(), 1);
    EXPECT_FLOAT_EQ(ship->weapons.at(0)->offset.z, -10.0f);
    EXPECT_TRUE(units.findByName("bridge")->isBridge());
    EXPECT_GE(units.findByName("bridge")->health, 1.0f);
    EXPECT_TRUE(warned({"units.lst:3", "longer than 9"}));
    EXPECT_TRUE(warned({"units.lst:4", "model"}));
}

struct MapListsTest : GameDataFixture {
    MapLists maps;
    void writeCampaign(int campaign, int count)
    {
        std::string list;
        for (int i = 0; i < count; ++i) {
            const std::string name = "c" + std::to_string(campaign + 1) + "m" + std::to_string(i + 1);
            list += name + "\n";
            write("data/maps/configs/" + name + ".cfg", mission(name, campaign, i));
        }
        write("data/maps/campaign" + std::to_string(campaign + 1) + ".lst", list);
    }
};

TEST_F(MapListsTest, FillsSkirmishSlotsFromZeroAndCampaignSlotsByLine)
{
    write("data/maps/skirmish.lst", "harbour\nbroken\ntraining\n");
    write("data/maps/configs/harbour.cfg", map("harbour", "title \"MAP_HARBOUR\""));
    write("data/maps/configs/broken.cfg", map("broken", "teamFriend \"GREEN\""));
    write("data/maps/configs/training.cfg", map("training"));
    write("data/maps/configs/mainmenu.cfg", map("mainmenu", "briefing_string \"BRIEF_ONE\""));
    writeCampaign(0, 5);
    writeCampaign(1, 3);
    ASSERT_TRUE(maps.load("data/maps/", texts));

    EXPECT_EQ(maps.countNonCampaign(), 2);
    EXPECT_EQ(maps.skirmishMap(0)->name, "harbour");
    EXPECT_EQ(maps.skirmishMap(1)->name, "training");
    EXPECT_EQ(maps.skirmishMap(2), nullptr);
    EXPECT_EQ(maps.skirmishMap(-1), nullptr);
    EXPECT_EQ(maps.skirmishMap(MapLists::kSlots), nullptr);
    EXPECT_TRUE(warned({"skirmish.lst:2", "GREEN"}));

    EXPECT_EQ(maps.countCampaign(0), 5);
    EXPECT_EQ(maps.countCampaign(1), 3);
    EXPECT_EQ(maps.countCampaign(2), 0);  // no list at all
    EXPECT_EQ(maps.countCampaign(3), 0);
    EXPECT_EQ(maps.campaignMission(1, 2)->name, "c2m3");
    EXPECT_EQ(maps.campaignMissionAt(MapLists::kSlots + 2), maps.campaignMission(1, 2));
    EXPECT_EQ(maps.campaignMission(1, 3), nullptr);
    EXPECT_EQ(maps.campaignMission(0, -1), nullptr);
    EXPECT_EQ(maps.campaignMission(-1, 0), nullptr);
    EXPECT_EQ(maps.campaignMissionAt(MapLists::kSlots * MapLists::kCampaigns), nullptr);

    ASSERT_NE(maps.menuMap(), nullptr);
    EXPECT_EQ(maps.menuMap()->briefingId, 101);
    EXPECT_EQ(maps.skirmishMap(0)->briefingId, 0);  // none given
}

TEST_F(MapListsTest, CampaignsStopAtSixteenMissions)
{
    write("data/maps/skirmish.lst", "a\n");
    write("data/maps/configs/a.cfg", map("a"));
    writeCampaign(2, 18);
    ASSERT_TRUE(maps.load("data/maps/", texts));
    EXPECT_EQ(maps.countCampaign(2), MapLists::kMaxCampaignMissions);
    EXPECT_NE(maps.campaignMission(2, 15), nullptr);
    EXPECT_EQ(maps.campaignMission(2, 16), nullptr);
    EXPECT_TRUE(warned({"campaign3.lst:17", "more than 16"}));
}

TEST_F(MapListsTest, MissionInTheWrongSlotIsSkipped)
{
    write("data/maps/skirmish.lst", "a\n");
    write("data/maps/configs/a.cfg", map("a"));
    write("data/maps/campaign1.lst", "first\nsecond\nthird\n");
    write("data/maps/configs/first.cfg", mission("first", 0, 0));
    write("data/maps/configs/second.cfg", mission("second", 0, 2));
    write("data/maps/configs/third.cfg", mission("third", 0, 2));
    ASSERT_TRUE(maps.load("data/maps/", texts));
    EXPECT_EQ(maps.countCampaign(0), 2);
    EXPECT_EQ(maps.campaignMission(0, 1), nullptr);
    EXPECT_EQ(maps.campaignMission(0, 2)->name, "third");
    EXPECT_TRUE(warned({"campaign1.lst:2", "mission 2"}));
}

TEST_F(MapListsTest, ClampsDivisorsAndKeepsAModulusWithoutMaps)
{
    write("data/maps/skirmish.lst", "zero\n");
    write("data/maps/configs/zero.cfg", map("zero", "difficulty 0 -1 0.7 rainProb 250 goldTime -3"));
    ASSERT_TRUE(maps.load("data/maps/", texts));
    const MapInfoCfg& m = *maps.skirmishMap(0);
    EXPECT_FLOAT_EQ(m.difficulty.x, MapInfoCfg::kMinDifficulty);
    EXPECT_FLOAT_EQ(m.difficulty.y, MapInfoCfg::kMinDifficulty);
    EXPECT_FLOAT_EQ(m.difficulty.z, 0.7f);
    EXPECT_FLOAT_EQ(m.rainProb, 100.0f);
    EXPECT_EQ(m.goldTime, 0);

    write("data/maps/skirmish.lst", "# none\n");
    EXPECT_FALSE(maps.load("data/maps/", texts));
    EXPECT_EQ(maps.countNonCampaign(), 1);
    EXPECT_EQ(maps.skirmishMap(0), nullptr);
    EXPECT_EQ(maps.menuMap(), nullptr);
}

TEST_F(MapListsTest, LoadFromFileKeepsTheRecordOnFailure)
{
    write("data/maps/configs/good.cfg", map("good", "goldTime 7"));
    write("data/maps/configs/bad.cfg", map("bad", "goldTime 7 wind 3"));
    MapInfoCfg record;
    ASSERT_TRUE(MapInfoCfg::loadFromFile(record, "data/maps/configs/good.cfg"));
    EXPECT_EQ(record.goldTime, 7);
    MapInfoCfg untouched;
    EXPECT_FALSE(MapInfoCfg::loadFromFile(untouched, "data/maps/configs/bad.cfg"));
    EXPECT_EQ(untouched.goldTime, 0);
    EXPECT_TRUE(warned({"bad.cfg:1", "wind"}));
}
}  // namespace
