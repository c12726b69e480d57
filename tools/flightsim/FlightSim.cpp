// Flies scripted manoeuvres for the game's aircraft and prints what it
// measured, one line a scenario with PASS or FAIL. Exit code 0 when every
// scenario passed, 1 when one failed, 2 on bad arguments or missing data.
#include "gamedata/records/PlaneList.h"
#include "platform/File.h"
#include "platform/Log.h"
#include "platform/Pak.h"
#include "platform/Random.h"
#include "platform/Settings.h"
#include "platform/StringTable.h"
#include "support/entities/FlightScenarios.h"

#include <cstdio>
#include <cstring>
#include <string>

namespace {
void usage()
{
    std::printf("usage: flightsim [--plane NAME|all] [--scenario NAME|all] [--data STAGE_DIR] [--quiet] [--list]\n");
    std::printf("scenarios:");
    for (const Scenario& s : flightScenarios())
        std::printf(" %s", s.name);
    std::printf("\n");
}
}  // namespace

int main(int argc, char** argv)
{
    std::string plane = "p51", scenario = "all", stage = SKYFRONT_STAGE_DIR;
    bool quiet = false, list = false;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool hasValue = i + 1 < argc;
        if (arg == "--plane" && hasValue)
            plane = argv[++i];
        else if (arg == "--scenario" && hasValue)
            scenario = argv[++i];
        else if (arg == "--data" && hasValue)
            stage = argv[++i];
        else if (arg == "--quiet")
            quiet = true;
        else if (arg == "--list")
            list = true;
        else {
            usage();
            return 2;
        }
    }
    if (scenario != "all" && !findScenario(scenario)) {
        std::fprintf(stderr, "flightsim: no scenario \"%s\"\n", scenario.c_str());
        usage();
        return 2;
    }
    setDataRoot(stage + "/");
    if (!mountPak(stage + "/paks/base.pak")) {
        std::fprintf(stderr, "flightsim: cannot mount %s/paks/base.pak\n", stage.c_str());
        return 2;
    }
    StringTable english;
    if (auto table = openFile("data/strings/EN/main.str"))
        (void)english.load(*table);
    Settings profile;
    PlaneList planes;
    if (!planes.load(PlaneList::kListPath, english, profile)) {
        std::fprintf(stderr, "flightsim: no aircraft loaded\n");
        return 2;
    }
    if (list) {
        for (int i = 0; i < planes.count(); ++i)
            std::printf("%s\n", planes.at(i)->name.c_str());
        return 0;
    }
    if (plane != "all" && !planes.findByName(plane)) {
        std::fprintf(stderr, "flightsim: no aircraft \"%s\"\n", plane.c_str());
        return 2;
    }
    int failed = 0, run = 0;
    for (int i = 0; i < planes.count(); ++i) {
        const PlaneCfg& cfg = *planes.at(i);
        if (plane != "all" && cfg.name != plane)
            continue;
        for (const Scenario& s : flightScenarios()) {
            if (scenario != "all" && scenario != s.name)
                continue;
            seedRandom(1234, 5678);
            const ScenarioResult result = s.run(cfg);
            ++run;
            failed += result.pass ? 0 : 1;
            if (!quiet || !result.pass)
                std::printf("%-10s %-10s %s  %s\n", cfg.name.c_str(), result.name.c_str(),
                            result.pass ? "PASS" : "FAIL", result.measured.c_str());
        }
    }
    std::printf("%d of %d scenarios passed\n", run - failed, run);
    return failed == 0 ? 0 : 1;
}
