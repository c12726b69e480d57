// Plays each generated campaign mission on paper before it ships: loads the
// staged mission records and maps with the game's own loaders and fails the
// run when a mission cannot be won or shows a text the English table lacks.
#include "DataTool.h"
#include "StagedRecords.h"

#include "gamedata/map/GameWorld.h"
#include "gamedata/map/MapLoader.h"
#include "gamedata/records/MapInfoCfg.h"
#include "gamedata/records/MapLists.h"
#include "gamedata/records/PlaneList.h"
#include "gamedata/records/UnitList.h"
#include "gamedata/records/WeaponList.h"
#include "platform/File.h"
#include "platform/Log.h"
#include "platform/Settings.h"
#include "platform/StringTable.h"

#include <algorithm>
#include <cstdio>
#include <set>
#include <string>
#include <vector>

namespace {

// The flawless-win achievement event of a mission: 132 + 5 x campaign + mission.
constexpr int kFlawlessEventBase = 132;
constexpr int kMissionsWithEvents = 5;

struct MissionChecker {
    const StringTable& texts;
    const PlaneList& planes;
    const WeaponList& weapons;
    const UnitList& units;
    std::vector<std::string>& faults;
    std::string mission;

    void fault(const std::string& message) { faults.push_back("mission " + mission + ": " + message); }

    void key(const std::string& k, const char* what)
    {
        if (!k.empty() && texts.findId(k) < 0)
            fault(std::string(what) + " \"" + k + "\" is not in the English table");
    }

    // Some weapon of the plane hurts a target of that class.
    bool canDestroy(const PlaneCfg& plane, const MapObject& object)
    {
        const UnitCfg* unit = object.kind == 0 ? nullptr : units.findByName(object.unit);
        const int kind = unit ? unit->kind : object.kind;
        if (plane.pDamage <= 0.0f)
            return false;
        for (const std::string* name : {&plane.pGunWeapon, &plane.sp_weapon0, &plane.sp_weapon1}) {
            const WeaponCfg* w = weapons.findByName(*name);
            if (!w || w->damage <= 0.0f)
                continue;
            const float factor = kind == 0 ? w->dmgAir : (kind >= 8 && kind <= 11) ? w->dmgNaval : w->dmgLand;
            if (factor > 0.0f)
                return true;
        }
        return false;
    }

    void goal(const PlaneCfg& plane, const MapTrigger& t, const GameWorld& world)
    {
        if (t.objectList.empty())
            fault("objective \"" + t.name + "\" lists no objects");
        for (const std::string& name : splitNames(t.objects)) {
            const MapObject* o = world.findObject(name);
            if (!o) {
                fault("objective \"" + t.name + "\" names the missing object \"" + name + "\"");
                continue;
            }
            if (o->team != 1)
                fault("goal object \"" + name + "\" is not on the enemy's team");
            if (o->kind == 0 ? !planes.findByName(o->unit) : !units.findByName(o->unit))
                fault("goal object \"" + name + "\" has no record \"" + o->unit + "\"");
            else if (!canDestroy(plane, *o))
                fault("goal object \"" + name + "\" cannot be destroyed by the weapons of " + plane.name);
        }
    }

    // The triggers an enabled trigger leads to through Objective and Enable actions.
    std::set<const MapTrigger*> reachable(const GameWorld& world)
    {
        std::vector<const MapTrigger*> open;
        std::set<const MapTrigger*> seen;
        for (int i = 0; i < world.triggerCount(); ++i)
            if (const MapTrigger* t = world.trigger(i); t->enabled && !t->isLandmark())
                open.push_back(t), seen.insert(t);
        while (!open.empty()) {
            const MapTrigger* t = open.back();
            open.pop_back();
            for (int a = 0; a < t->exec.count(); ++a) {
                const TriggerAction& action = *t->exec.at(a);
                if (action.type != TriggerAction::Objective && action.type != TriggerAction::Enable)
                    continue;
                const MapTrigger* next = world.findTrigger(action.target);
                if (next && seen.insert(next).second)
                    open.push_back(next);
            }
        }
        return seen;
    }

    void check(const MapInfoCfg& record, const GameWorld& world, int campaign)
    {
        if (record.goldTime <= 0 || record.goldTime >= record.silverTime)
            fault("gold time is not below the silver time");
        if (record.goldTimeAce <= 0 || record.goldTimeAce >= record.silverTimeAce)
            fault("ace gold time is not below the ace silver time");
        if (record.missionPoints <= 0)
            fault("pays no mission points");
        if (kFlawlessEventBase + kMissionsWithEvents * campaign + record.index >= Settings::kEventIdCount ||
            record.index >= kMissionsWithEvents)
            fault("has no room in the event table");
        key(record.title, "title");
        key(record.description, "description");
        key(record.briefing_string, "briefing");
        const PlaneCfg* plane = planes.findByName(record.preferedPlane);
        if (!plane) {
            fault("flies the unknown plane \"" + record.preferedPlane + "\"");
            return;
        }
        const std::set<const MapTrigger*> live = reachable(world);
        bool objective = false, win = false, checkpoint = false;
        for (int i = 0; i < world.triggerCount(); ++i) {
            const MapTrigger& t = *world.trigger(i);
            key(t.notice, "notice");
            if (t.kind == MapTrigger::Objective) {
                objective = true;
                goal(*plane, t, world);
            }
            for (int a = 0; a < t.exec.count(); ++a) {
                const TriggerAction& action = *t.exec.at(a);
                if (action.type == TriggerAction::Notice)
                    key(action.text, "notice");
                if (action.type == TriggerAction::Win && live.count(&t) && t.kind == MapTrigger::Objective)
                    win = true;
                if (action.type == TriggerAction::Checkpoint)
                    checkpoint = true;
                const int reason = static_cast<int>(action.value);
                if (action.type == TriggerAction::Fail && reason > 0 && !texts.text(reason))
                    fault("failure reason " + std::to_string(reason) + " is not in the English table");
            }
        }
        if (!objective)
            fault("has no objective trigger");
        if (!win)
            fault("no objective that wins is reached from an enabled trigger");
        if (!checkpoint)
            fault("has no checkpoint trigger");
    }
};

bool checkMissions(DataContext& context)
{
    StagedRecords records(context);
    std::vector<std::string>& faults = records.faults;
    const MapLists& maps = records.maps;
    int count = 0;
    MissionChecker checker{records.texts, records.planes, records.weapons, records.units, faults, {}};
    for (int c = 0; c < MapLists::kCampaigns; ++c)
        for (int m = 0; m < MapLists::kSlots; ++m) {
            const MapInfoCfg* record = maps.campaignMission(c, m);
            if (!record)
                continue;
            ++count;
            checker.mission = record->name;
            std::vector<std::uint8_t> bytes;
            auto file = openFile(MapLoader::edtPath(record->name));
            GameWorld world;
            world.init();
            const bool read = file && file->readAll(bytes);
            const std::string text(bytes.begin(), bytes.end());
            if (!read || !MapLoader::loadEdtText(world, text, record->name)) {
                checker.fault("its map does not load");
                continue;
            }
            checker.check(*record, world, c);
            world.release();
        }
    records.finish();
    if (count != MapLists::kCampaigns * kMissionsWithEvents)
        faults.push_back("expected 15 campaign missions, found " + std::to_string(count));
    for (const std::string& fault : faults)
        context.error(fault);
    if (faults.empty())
        std::printf("%d campaign missions checked: each can be won\n", count);
    return faults.empty();
}

}  // namespace

SKYFRONT_DATA_STEP(810, "campaign mission check", checkMissions);
