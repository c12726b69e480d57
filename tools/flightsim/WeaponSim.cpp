// Fires every weapon of the game's data at scripted targets over many seeds
// and prints the hit rates, one line a weapon and drill. Exit code 0 when the
// guns and the guided kinds meet their marks, 1 when one falls short, 2 on
// bad arguments or missing data.
#include "gamedata/records/WeaponList.h"
#include "platform/File.h"
#include "platform/Pak.h"
#include "support/entities/WeaponScenarios.h"

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {
void usage() { std::printf("usage: weaponsim [--weapon NAME|all] [--seeds N] [--data STAGE_DIR]\n"); }

// The least a drill must hit for the weapon to feel right; -1 when it is only reported.
float mark(const WeaponCfg& w, Drill drill)
{
    if (drill == Drill::GunBurst)
        return 0.8f;
    if (drill == Drill::GuidedStraight)
        return 0.9f;
    (void)w;
    return -1.0f;
}

// Kinds that flares pull off more often than not must miss an evading target
// more often than they hit it.
bool decoyable(const WeaponCfg& w)
{
    return w.type == kWeaponAllAspect || w.type == kWeaponMultiAir || w.type == kWeaponAlienQuick;
}
}  // namespace

int main(int argc, char** argv)
{
    std::string only = "all", stage = SKYFRONT_STAGE_DIR;
    int seeds = 50;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool hasValue = i + 1 < argc;
        if (arg == "--weapon" && hasValue)
            only = argv[++i];
        else if (arg == "--seeds" && hasValue)
            seeds = std::atoi(argv[++i]);
        else if (arg == "--data" && hasValue)
            stage = argv[++i];
        else {
            usage();
            return 2;
        }
    }
    if (seeds < 1 || seeds > 100000) {
        usage();
        return 2;
    }
    setDataRoot(stage + "/");
    if (!mountPak(stage + "/paks/base.pak")) {
        std::fprintf(stderr, "weaponsim: cannot mount %s/paks/base.pak\n", stage.c_str());
        return 2;
    }
    WeaponList& weapons = WeaponList::instance();
    if (!weapons.load()) {
        std::fprintf(stderr, "weaponsim: no weapons loaded\n");
        return 2;
    }
    if (only != "all" && !weapons.findByName(only)) {
        std::fprintf(stderr, "weaponsim: no weapon \"%s\"\n", only.c_str());
        return 2;
    }
    std::printf("%-20s %-13s %-13s %9s %7s  %s\n", "weapon", "type", "drill", "hits", "rate", "");
    int failed = 0;
    for (int i = 0; i < weapons.count(); ++i) {
        const WeaponCfg& w = *weapons.at(i);
        if (only != "all" && w.name != only)
            continue;
        const char* typeName = "?";
        for (const SerEnumValue& v : weaponTypeNames())
            if (v.value == w.type)
                typeName = v.name;
        const Drill drill = drillFor(w);
        if (drill == Drill::None) {
            std::printf("%-20s %-13s %-13s %9s %7s  no damage\n", w.name.c_str(), typeName, drillName(drill), "-", "-");
            continue;
        }
        const DrillRate rate = rateDrill(w, drill, seeds);
        const float need = mark(w, drill);
        const bool ok = need < 0.0f || rate.rate() >= need;
        failed += ok ? 0 : 1;
        std::printf("%-20s %-13s %-13s %4d of %2d %6.0f%%  %s\n", w.name.c_str(), typeName, drillName(drill), rate.hits,
                    rate.runs, 100.0f * rate.rate(), need < 0.0f ? "" : ok ? "PASS" : "FAIL");
        if (drill == Drill::GuidedStraight && (w.type != kWeaponJointStrike && w.type != kWeaponMultiGround)) {
            const DrillRate evade = rateDrill(w, Drill::GuidedEvading, seeds);
            const bool evadeOk = !decoyable(w) || evade.rate() < 0.5f;
            failed += evadeOk ? 0 : 1;
            std::printf("%-20s %-13s %-13s %4d of %2d %6.0f%%  %s (decoyed in %d)\n", "", "", drillName(Drill::GuidedEvading),
                        evade.hits, evade.runs, 100.0f * evade.rate(), decoyable(w) ? (evadeOk ? "PASS" : "FAIL") : "",
                        evade.decoyed);
        }
    }
    return failed == 0 ? 0 : 1;
}
