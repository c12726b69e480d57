// Bots against bots on the game's skirmish maps, headless and seeded: one
// line a run with kills, deaths, crashes by cause, missiles fired and hit
// and the simulated time per wall-clock second, then a summary. Exit code 0
// when every run had kills on both teams (armed runs), no pilot flew into
// the ground or the sea unhit, every run was fast enough and, with two
// skills, the higher one won most matches; 1 otherwise; 2 on bad arguments or
// missing data.
#include "gamedata/map/GameWorld.h"
#include "gamedata/map/MapLoader.h"
#include "gamedata/records/MapLists.h"
#include "gamedata/records/PlaneList.h"
#include "gamedata/records/UnitList.h"
#include "gamedata/records/WeaponList.h"
#include "platform/File.h"
#include "platform/Log.h"
#include "platform/Pak.h"
#include "platform/Settings.h"
#include "platform/StringTable.h"
#include "support/entities/CombatScenarios.h"

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {
void usage()
{
    std::printf("usage: combatsim [--map SLOT|all] [--bots N] [--minutes M] [--seeds N] [--seed FIRST]\n"
                "                 [--skill S] [--skill-a S] [--skill-b S] [--plane NAME|all] [--unarmed]\n"
                "                 [--min-speed X] [--data STAGE_DIR]\n");
}

struct Options {
    std::string map = "all", plane = "all", stage = SKYFRONT_STAGE_DIR;
    int bots = 8, seeds = 10, firstSeed = 1;
    float minutes = 5.0f, skillA = 0.5f, skillB = 0.5f, minSpeed = 50.0f;
    bool armed = true;
};

bool parse(int argc, char** argv, Options& o)
{
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool hasValue = i + 1 < argc;
        const char* v = hasValue ? argv[i + 1] : "";
        if (arg == "--unarmed") {
            o.armed = false;
            continue;
        }
        if (!hasValue)
            return false;
        ++i;
        if (arg == "--map")
            o.map = v;
        else if (arg == "--plane")
            o.plane = v;
        else if (arg == "--data")
            o.stage = v;
        else if (arg == "--bots")
            o.bots = std::atoi(v);
        else if (arg == "--seeds")
            o.seeds = std::atoi(v);
        else if (arg == "--seed")
            o.firstSeed = std::atoi(v);
        else if (arg == "--minutes")
            o.minutes = static_cast<float>(std::atof(v));
        else if (arg == "--skill")
            o.skillA = o.skillB = static_cast<float>(std::atof(v));
        else if (arg == "--skill-a")
            o.skillA = static_cast<float>(std::atof(v));
        else if (arg == "--skill-b")
            o.skillB = static_cast<float>(std::atof(v));
        else if (arg == "--min-speed")
            o.minSpeed = static_cast<float>(std::atof(v));
        else
            return false;
    }
    return o.bots >= 2 && o.bots <= 64 && o.seeds >= 1 && o.seeds <= 1000 && o.minutes > 0.0f && o.minutes <= 120.0f &&
           o.skillA >= 0.0f && o.skillA <= 1.0f && o.skillB >= 0.0f && o.skillB <= 1.0f;
}
}  // namespace

int main(int argc, char** argv)
{
    Options o;
    if (!parse(argc, argv, o)) {
        usage();
        return 2;
    }
    setLogCapture([](LogLevel level, const std::string& tag, const std::string& m) {
        if (level != LogLevel::Info)
            std::fprintf(stderr, "%s: %s\n", tag.c_str(), m.c_str());
    });
    setDataRoot(o.stage + "/");
    if (!mountPak(o.stage + "/paks/base.pak")) {
        std::fprintf(stderr, "combatsim: cannot mount %s/paks/base.pak\n", o.stage.c_str());
        return 2;
    }
    StringTable english;
    if (auto table = openFile("data/strings/EN/main.str"))
        (void)english.load(*table);
    Settings profile;
    PlaneList planes;
    MapLists& maps = MapLists::instance();
    if (!planes.load(PlaneList::kListPath, english, profile) || !WeaponList::instance().load() ||
        !UnitList::instance().load(UnitList::kListPath, english) || !maps.load(MapLists::kFolder, english)) {
        std::fprintf(stderr, "combatsim: the game data did not load\n");
        return 2;
    }
    CombatSetup setup;
    for (int i = 0; i < planes.count(); ++i)
        if (o.plane == "all" || planes.at(i)->name == o.plane)
            setup.planes.push_back(planes.at(i));
    if (setup.planes.empty()) {
        std::fprintf(stderr, "combatsim: no aircraft \"%s\"\n", o.plane.c_str());
        return 2;
    }
    setup.weapons = o.armed ? &WeaponList::instance() : nullptr;
    setup.bots = o.bots;
    setup.seconds = o.minutes * 60.0f;
    setup.skill = {o.skillA, o.skillB};

    int runs = 0, failed = 0, slowest = 0;
    double worstSpeed = 1e30;
    int wins[2] = {0, 0};
    CombatResult total;
    for (int slot = 0; slot < MapLists::kSlots; ++slot) {
        const MapInfoCfg* record = maps.skirmishMap(slot);
        if (!record || (o.map != "all" && std::atoi(o.map.c_str()) != slot && o.map != record->name))
            continue;
        GameWorld world;
        world.init();
        if (!MapLoader::loadEdt(world, record)) {
            std::fprintf(stderr, "combatsim: map %s did not load\n", record->name.c_str());
            return 2;
        }
        setup.world = &world;
        for (int s = 0; s < o.seeds; ++s) {
            setup.seed = static_cast<std::uint32_t>(o.firstSeed + s);
            const CombatResult r = runCombat(setup);
            ++runs;
            bool ok = r.cleanCrashes == 0 && r.speedFactor() >= o.minSpeed;
            if (o.armed)
                ok = ok && r.kills[0] > 0 && r.kills[1] > 0;
            failed += ok ? 0 : 1;
            if (r.winner() >= 0)
                ++wins[r.winner()];
            if (r.speedFactor() < worstSpeed) {
                worstSpeed = r.speedFactor();
                slowest = runs;
            }
            for (int t = 0; t < 2; ++t) {
                total.kills[static_cast<std::size_t>(t)] += r.kills[static_cast<std::size_t>(t)];
                total.deaths[static_cast<std::size_t>(t)] += r.deaths[static_cast<std::size_t>(t)];
            }
            for (std::size_t c = 0; c < total.causes.size(); ++c)
                total.causes[c] += r.causes[c];
            total.cleanCrashes += r.cleanCrashes;
            total.missilesFired += r.missilesFired;
            total.missilesHit += r.missilesHit;
            total.missilesDecoyed += r.missilesDecoyed;
            total.terrainSaves += r.terrainSaves;
            total.simSeconds += r.simSeconds;
            total.wallSeconds += r.wallSeconds;
            std::printf("%-11s seed %-3u %s  %s\n", record->name.c_str(), setup.seed, describeCombat(r).c_str(),
                        ok ? "ok" : "FAIL");
            std::fflush(stdout);
        }
        world.release();
    }
    if (runs == 0) {
        std::fprintf(stderr, "combatsim: no skirmish map \"%s\"\n", o.map.c_str());
        return 2;
    }
    std::printf("total: %s\n", describeCombat(total).c_str());
    std::printf("matches won: team A (skill %.2f) %d, team B (skill %.2f) %d, drawn %d; slowest run %d at %.0fx\n",
                o.skillA, wins[0], o.skillB, wins[1], runs - wins[0] - wins[1], slowest, worstSpeed);
    if (o.armed && o.skillA != o.skillB) {
        const int better = o.skillA > o.skillB ? 0 : 1;
        if (wins[better] * 2 <= runs) {
            std::printf("the higher skill did not win most matches\n");
            ++failed;
        }
    }
    std::printf("%d of %d runs passed\n", runs - failed, runs);
    return failed == 0 ? 0 : 1;
}
