// The staged maps read against the achievement table: each landmark the
// table names lies on a skirmish map under its own number and name, apart
// from the others, at a place built there; flying over all of them earns
// every landmark and visit achievement; every achievement's events have a source.
#include "gamedata/map/GameWorld.h"
#include "gamedata/map/MapLoader.h"
#include "gamedata/map/MapTrigger.h"
#include "gamedata/records/MapLists.h"
#include "gamedata/records/UnitCfg.h"
#include "gamedata/records/UnitList.h"
#include "modes/progress/AchievementPopup.h"
#include "modes/progress/AchievementTable.h"
#include "modes/progress/Achievements.h"
#include "platform/File.h"
#include "platform/Pak.h"
#include "platform/Settings.h"
#include "platform/Steam.h"
#include "platform/StringTable.h"
#include "render/assets/Model.h"

#include "support/TempDir.h"
#include "support/TestPak.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <map>
#include <sstream>
#include <string>

namespace {
constexpr int kFirstVisit = 92, kLastVisit = 98;
constexpr const char* kLanguages[] = {"EN", "DE", "ES", "FR", "IT", "JA", "KO", "PT", "RU", "ZH"};

struct Landmark {
    std::string map, notice;
    Vec3 pos;
    float radius = 0.0f;
    int itemsInside = 0;
};

struct LandmarkAchievements : testing::Test {
    TempDir save, data;
    FileLayerScope scope{save.folder(), data.folder()};
    std::map<std::string, StringTable> tables;
    MapLists maps;
    std::map<int, Landmark> landmarks;  // by number
    // Per map-made event (kills by unit kind, 47 a tunnel), whether a map holds its source.
    std::map<int, bool> sources{{16, false}, {18, false}, {19, false}, {20, false}, {22, false}, {47, false}};
    // Per map, the vehicles (event 16) of each team.
    std::map<std::string, std::map<int, int>> vehicles;
    void SetUp() override
    {
        ASSERT_TRUE(mountPak(SKYFRONT_STAGE_DIR "/paks/base.pak"));
        for (const char* language : kLanguages) {
            auto file = openFile(std::string("data/strings/") + language + "/main.str");
            ASSERT_NE(file, nullptr) << language;
            ASSERT_TRUE(tables[language].load(*file)) << language;
        }
        ASSERT_TRUE(maps.load(MapLists::kFolder, tables["EN"]));
        ASSERT_TRUE(UnitList::instance().load(UnitList::kListPath, tables["EN"]));
        for (int i = 0; i < maps.countNonCampaign(); ++i)
            readLandmarks(maps.skirmishMap(i)), readSources(maps.skirmishMap(i));
        for (int c = 0; c < MapLists::kCampaigns; ++c)
            for (int m = 0; m < maps.countCampaign(c); ++m)
                readSources(maps.campaignMission(c, m));
    }
    void readSources(const MapInfoCfg* record)
    {
        GameWorld world;
        world.init();
        ASSERT_TRUE(MapLoader::loadEdt(world, record)) << record->name;
        const std::map<int, int> killEvent{{4, 16}, {5, 16}, {11, 18}, {8, 19}, {2, 20}};
        for (int i = 0; i < world.objectCount(); ++i)
            if (const MapObject& o = *world.object(i); o.active && o.spawn == 0 && killEvent.count(o.kind))
                if (const UnitCfg* unit = UnitList::instance().findByName(o.unit);
                    unit && unit->kind == o.kind && MapLoader::findModel(unit->model))
                {
                    sources[unit->isBridge() ? 22 : killEvent.at(o.kind)] = true;
                    vehicles[record->name][o.team] += killEvent.at(o.kind) == 16 ? 1 : 0;
                }
        for (int i = 0; i < world.itemCount(); ++i)
            sources[47] = sources[47] || (world.item(i)->kind == EditorItem::kTunnel && world.item(i)->modelData);
    }
    void TearDown() override
    {
        releaseAllModels();
        unmountAllPaks();
    }

    void readLandmarks(const MapInfoCfg* record)
    {
        GameWorld world;
        world.init();
        ASSERT_TRUE(MapLoader::loadEdt(world, record)) << record->name;
        const auto& found = world.landmarkTriggers();
        for (const MapTrigger* t : found) {
            EXPECT_EQ(landmarks.count(t->landmark), 0u) << "number " << t->landmark << " twice, on " << record->name;
            Landmark& l = landmarks[t->landmark];
            l = {record->name, t->notice, t->pos, t->radius, 0};
            for (int k = 0; k < world.itemCount(); ++k) {
                const Vec3 at{world.item(k)->matrix.m[12], 0.0f, world.item(k)->matrix.m[14]};
                l.itemsInside += std::hypot(at.x - t->pos.x, at.z - t->pos.z) < t->radius ? 1 : 0;
            }
            // One pass over a landmark reaches that one alone.
            for (const MapTrigger* other : found) {
                if (other == t || other->landmark > MapTrigger::kLandmarkEventLast - MapTrigger::kLandmarkEventBase)
                    continue;
                EXPECT_GT(std::hypot(other->pos.x - t->pos.x, other->pos.z - t->pos.z), t->radius + other->radius)
                    << record->name << ": " << t->notice << " and " << other->notice;
            }
        }
    }
};

TEST_F(LandmarkAchievements, EveryLandmarkAndVisitAchievementCanBeEarnedOnTheMaps)
{
    const auto rows = achievementRows();
    const StringTable& english = tables["EN"];
    int named = 0;
    std::map<std::string, int> perMap;
    for (std::size_t index = 0; index < rows.size(); ++index) {
        const AchievementRow& row = rows[index];
        if (row.kind != AchievementKind::Counter)
            continue;
        const int event = std::atoi(row.events);
        if (event < MapTrigger::kLandmarkEventBase || event > MapTrigger::kLandmarkEventLast)
            continue;
        ++named;
        const int number = event - MapTrigger::kLandmarkEventBase;
        SCOPED_TRACE(row.steamName);
        ASSERT_EQ(landmarks.count(number), 1u) << "no map has landmark " << number;
        const Landmark& l = landmarks[number];
        ++perMap[l.map];
        // Named as its achievement names it, in every language.
        EXPECT_EQ(english.findId(l.notice), row.nameText) << l.notice;
        for (const char* language : kLanguages) {
            const std::u16string* text = tables[language].text(row.nameText);
            EXPECT_TRUE(text && !text->empty()) << language;
        }
        // The crossing is open water and the cliffs are the land itself; every
        // other place is built there.
        if (row.nameText != 338 && row.nameText != 335) {
            EXPECT_GT(l.itemsInside, 0) << "nothing stands at " << l.notice << " on " << l.map;
        }
        EXPECT_GT(l.radius, 100.0f);
    }
    EXPECT_EQ(named, MapTrigger::kLandmarkEventLast - MapTrigger::kLandmarkEventBase + 1);
    EXPECT_GE(perMap.size(), 3u) << "the landmarks lie on more than one map";

    // Over every landmark once, in number order, the pop-ups shown in turn.
    Settings profile;
    Steam account;
    AchievementPopup popup;
    Achievements table{profile, account, nullptr, popup};
    table.buildTable();
    for (const auto& [number, l] : landmarks) {
        const int event = MapTrigger::kLandmarkEventBase + number;
        if (event > MapTrigger::kLandmarkEventLast)
            continue;
        table.notifyEvent(event);
        for (int i = 0; i < 100 && !popup.entries().empty(); ++i)
            popup.update(0.5f);
    }
    for (std::size_t index = 0; index < rows.size(); ++index) {
        const int event = rows[index].kind == AchievementKind::Counter ? std::atoi(rows[index].events) : 0;
        const bool landmark = event >= MapTrigger::kLandmarkEventBase && event <= MapTrigger::kLandmarkEventLast;
        const bool visit = static_cast<int>(index) >= kFirstVisit && static_cast<int>(index) <= kLastVisit;
        if (landmark || visit) {
            EXPECT_TRUE(table.find(static_cast<int>(index))->done) << rows[index].steamName;
        }
    }
}

TEST_F(LandmarkAchievements, EveryAchievementsEventsHaveASourceOnSomeMap)
{
    // Vehicles, which the counters of 10 and 500 count, stand for both sides
    // on every match map but the tutorials': three tanks and four trucks.
    for (int i = 0; i < maps.countNonCampaign(); ++i)
        if (const std::string name = maps.skirmishMap(i)->name; name != "training") {
            EXPECT_EQ(vehicles[name][0], 7) << name;
            EXPECT_EQ(vehicles[name][1], 7) << name;
        }
    for (const AchievementRow& row : achievementRows()) {
        std::istringstream events(row.events);
        for (int event = 0; events >> event;) {
            // Landmarks 0 to 38 are the table's, each on a map and counted by the game.
            const int landmark = event - MapTrigger::kLandmarkEventBase;
            if (landmark >= 0 && landmark <= 38) {
                EXPECT_TRUE(landmarks.count(landmark) && event <= MapTrigger::kLandmarkEventLast) << row.steamName;
            } else if (sources.count(event)) {
                EXPECT_TRUE(sources[event]) << row.steamName << ": nothing on the maps makes event " << event;
            }
        }
    }
}

// The names say what earns them: a name naming a count names the table's
// count in every language; every event a row waits for, the conditions the
// game puts on it and the events that start it over are said in English.
TEST_F(LandmarkAchievements, EveryNameSaysWhatEarnsIt)
{
    auto numbers = [](const std::u16string& text) {
        std::vector<int> out;
        for (std::size_t i = 0; i < text.size();) {
            if (text[i] < u'0' || text[i] > u'9') {
                ++i;
                continue;
            }
            int n = 0;
            for (; i < text.size() && text[i] >= u'0' && text[i] <= u'9'; ++i)
                n = n * 10 + (text[i] - u'0');
            out.push_back(n);
        }
        return out;
    };
    using Words = std::vector<std::u16string>;
    // What each event stands for: the name says one of these. Landmarks
    // (73 to 111) are read against their maps above.
    auto deedOf = [](int event) -> Words {
        static const std::map<int, Words> deeds{
            {2, {}},  // the player in the air: where a sequence begins
            {12, {u"eject"}}, {13, {u"crash"}}, {14, {u"planes, vehicles or ships"}}, {15, {u"planes"}},
            {16, {u"vehicles"}}, {18, {u"carriers"}}, {19, {u"submarines"}}, {20, {u"buildings"}},
            {23, {u"base"}}, {25, {u"capture", u"Capture"}}, {26, {u"flag"}}, {45, {u"collision"}}, {46, {u"campaigns"}},
            {47, {u"tunnel"}}, {48, {u"rank"}}, {50, {u"Survival match"}}, {51, {u"Survival waves"}},
            {52, {u"dogfight"}}, {53, {u"dogfight 7"}}, {54, {u"dogfight 11"}}, {55, {u"dogfight 12"}},
            {56, {u"dogfight 13"}}, {57, {u"Capture the Flag"}}, {58, {u"HUD tutorial"}},
            {60, {u"controls tutorial"}}, {61, {u"take-off and landing tutorial"}}, {62, {u"weapons tutorial"}},
            {63, {u"squadron tutorial"}}, {67, {u"Survival"}}, {68, {u"free-for-all"}}, {69, {u"paint"}},
            {70, {u"kill mid-manoeuvre", u"dead engine"}}, {72, {u"network matches"}},
            {124, {u"every village"}}, {125, {u"every runway"}}, {126, {u"every landmark building"}},
            {127, {u"every hangar"}}, {128, {u"every bridge"}}, {129, {u"every tunnel"}},
            {130, {u"every landmark"}}, {131, {u"first"}}};
        if (event >= 132 && event <= 142)
            return {u"campaign missions"};  // a mission won with the airplane whole
        if (event >= MapTrigger::kLandmarkEventBase && event <= MapTrigger::kLandmarkEventLast)
            return {};
        const auto it = deeds.find(event);
        // An event not listed here fails every name until it is given its words.
        return it == deeds.end() ? Words{u"\x01"} : it->second;
    };
    // What the game asks of an event beyond the table, all of it said.
    const std::map<int, Words> conditions{
        {57, {u"more than 5 captures", u"to none"}},                          // the other side never scored
        {68, {u"skilled bots", u"by 10 points", u"without going down"}},   // bots above half skill, no death
        {142, {u"without going down"}}};                                      // each win with the airplane whole
    // The events that start a row over, as its name has to say them.
    const std::map<int, Words> resets{{11, {u"in one life", u"without going down"}},
                                      {6, {u"in a row"}},
                                      {71, {u"in a row"}}};
    auto says = [](const std::u16string& name, const Words& any) {
        return any.empty() || std::any_of(any.begin(), any.end(), [&](const std::u16string& w) {
                   return name.find(w) != std::u16string::npos;
               });
    };
    const StringTable& english = tables["EN"];
    for (const AchievementRow& row : achievementRows()) {
        if (row.nameText < 0)
            continue;
        SCOPED_TRACE(row.steamName);
        std::vector<int> steps;
        std::istringstream events(row.events);
        for (int e = 0; events >> e;)
            if (e != 0)
                steps.push_back(e);
        const std::u16string* name = english.text(row.nameText);
        ASSERT_TRUE(name != nullptr);
        const std::string shown(name->begin(), name->end());
        const std::vector<int> said = numbers(*name);
        // A counter of more than one names its target; a wave counter counts
        // the waves begun, so its name says the waves survived; a sequence
        // names how many steps follow the one it opens with (the player in
        // the air, the first mission begun), or all of them.
        int count = row.kind == AchievementKind::Counter ? row.target : static_cast<int>(steps.size());
        if (row.kind == AchievementKind::Counter && steps == std::vector<int>{51})
            --count;
        if (row.kind != AchievementKind::Counter && steps.size() > 1 && steps[0] != steps[1])
            --count;
        if (!said.empty() && (row.kind != AchievementKind::Counter || row.target > 1)) {
            EXPECT_EQ(said.front(), count) << shown;
        }
        if (row.kind == AchievementKind::TimedEventMatch) {
            EXPECT_NE(name->find(u"within 2 minutes"), std::u16string::npos) << shown;
        }
        for (int e : steps) {
            EXPECT_TRUE(says(*name, deedOf(e))) << shown << ": event " << e;
            if (conditions.count(e)) {
                for (const std::u16string& w : conditions.at(e)) {
                    EXPECT_NE(name->find(w), std::u16string::npos) << shown << ": event " << e;
                }
            }
        }
        std::istringstream resetEvents(row.resets);
        for (int e = 0; resetEvents >> e;)
            if (resets.count(e)) {
                EXPECT_TRUE(says(*name, resets.at(e))) << shown << ": start over on event " << e;
            }
        for (int id : {row.nameText, row.nameText == 277 ? 278 : row.nameText})
            for (const char* language : kLanguages) {
                const std::u16string* text = tables[language].text(id);
                ASSERT_TRUE(text && !text->empty()) << language << " " << id;
                const std::vector<int> own = numbers(*text);
                for (int n : numbers(*english.text(id)))
                    EXPECT_NE(std::find(own.begin(), own.end(), n), own.end()) << language << " " << id << " lacks " << n;
            }
    }
}

}  // namespace
