#include "support/entities/CombatScenarios.h"

#include "entities/EntityIds.h"
#include "entities/TimedPoints.h"
#include "entities/ai/AirplaneAI.h"
#include "entities/aircraft/Airplane.h"
#include "entities/aircraft/Squadron.h"
#include "entities/ground/GroundTarget.h"
#include "entities/ground/GroundTargets.h"
#include "entities/weapons/MissileSet.h"
#include "entities/weapons/Weapon.h"
#include "gamedata/map/GameWorld.h"
#include "gamedata/records/PlaneCfg.h"
#include "gamedata/records/UnitList.h"
#include "gamedata/records/WeaponList.h"
#include "platform/Random.h"
#include "support/entities/SimHost.h"

#include <algorithm>
#include <ctime>
#include <cmath>
#include <cstdio>
#include <memory>

namespace {
constexpr float kRespawnDelay = 5.0f;
constexpr float kCleanAfter = 15.0f;  // s without a hit before a crash is the pilot's fault
constexpr float kSpawnHeight = 1500.0f;

struct Bot {
    Airplane* plane = nullptr;
    bool wasAlive = true;
    float respawnIn = -1.0f;
    float lastHit = -1000.0f;
};

struct Arena {
    const CombatSetup& setup;
    SimHost host;
    std::array<Vec3, 2> home;
    std::array<std::unique_ptr<Squadron>, 2> squadrons;
    std::vector<Bot> bots;
    float clock = 0.0f;
    CombatResult result;

    explicit Arena(const CombatSetup& s) : setup(s)
    {
        if (s.world) {
            const GameWorld* w = s.world;
            host.heightFunction = [w](float x, float z) { return w->groundOrSeaHeightAt(x, z); };
            host.waterFunction = [w](float x, float z) { return w->isWaterAt(x, z); };
        }
        findHomes();
        host.missiles().onEnd = [this](const MissileSet::Ending& e) {
            if (e.how != MissileSet::End::Detonated && e.missile->isDecoyed())
                ++result.missilesDecoyed;
        };
    }

    float groundAt(const Vec3& p) const { return host.groundHeightAt(p.x, p.z); }

    // Each team starts over its base; without bases, 12 km apart.
    void findHomes()
    {
        home = {Vec3{-6000.0f, 0.0f, 0.0f}, Vec3{6000.0f, 0.0f, 0.0f}};
        if (!setup.world)
            return;
        std::array<bool, 2> found{};
        for (int i = 0; i < setup.world->objectCount(); ++i) {
            const MapObject* o = setup.world->object(i);
            if (o->kind == static_cast<int>(TargetKind::Base) && (o->team == 0 || o->team == 1) && !found[o->team]) {
                home[static_cast<std::size_t>(o->team)] = o->pos;
                found[static_cast<std::size_t>(o->team)] = true;
            }
        }
        if (!found[0] || !found[1]) {
            const Vec3 c = setup.world->worldspawn().centre;
            home = {c + Vec3{-6000.0f, 0.0f, 0.0f}, c + Vec3{6000.0f, 0.0f, 0.0f}};
        }
    }

    void equip(Airplane& a)
    {
        if (!setup.weapons)
            return;
        const PlaneCfg& r = a.record();
        if (const WeaponCfg* gun = setup.weapons->findByName(r.pGunWeapon))
            a.mountWeapon(*gun, 0);
        if (const WeaponCfg* w = setup.weapons->findByName(r.sp_weapon0))
            a.mountWeapon(*w, 1);
        if (const WeaponCfg* w = setup.weapons->findByName(r.sp_weapon1))
            a.mountWeapon(*w, 2);
    }

    void place(Bot& bot, int index)
    {
        Airplane& a = *bot.plane;
        const int team = a.team();
        const Vec3 base = home[static_cast<std::size_t>(team)];
        const Vec3 other = home[static_cast<std::size_t>(1 - team)];
        const Vec3 toward = vec3NormalizeOr(Vec3{other.x - base.x, 0.0f, other.z - base.z}, Vec3{0.0f, 0.0f, -1.0f});
        const Vec3 side{-toward.z, 0.0f, toward.x};
        Vec3 at = base + side * (static_cast<float>(index) * 250.0f - 400.0f) + toward * randRange(-300.0f, 300.0f);
        at.y = groundAt(at) + kSpawnHeight + static_cast<float>(index) * 40.0f;
        a.setPositionAndStop(at);
        a.resetForRespawn();
        Quat q;
        quatFromDirectionTo(q, toward);
        a.setOrientation(q);
        a.setSpeed(std::max(a.record().pCruiseSpeed, a.record().pMinSpeed));
        for (int slot = 0; slot < kWeaponSlots; ++slot)
            if (Weapon* w = a.weapon(slot)) {
                w->reset();
                w->refill(true);
            }
        if (a.aiController())
            a.aiController()->reset();
        bot.wasAlive = true;
        bot.respawnIn = -1.0f;
        bot.lastHit = -1000.0f;
    }

    // The AI level of a bot of this skill, as the skirmish modes roll it.
    static int botLevel(float skill)
    {
        const int level = randModulo(3) - 1 - static_cast<int>((skill - 0.2f) * -10.0f / 0.8f);
        return std::clamp(level, 0, 10);
    }

    void spawnBots()
    {
        for (int t = 0; t < 2; ++t) {
            squadrons[static_cast<std::size_t>(t)] = std::make_unique<Squadron>();
            squadrons[static_cast<std::size_t>(t)]->setOrder(SquadronOrder::Attack);
        }
        const int perTeam = std::max(setup.bots / 2, 1);
        for (int i = 0; i < perTeam * 2; ++i) {
            const int team = i % 2;
            const PlaneCfg& cfg = *setup.planes[static_cast<std::size_t>(i / 2) % setup.planes.size()];
            char name[16];
            std::snprintf(name, sizeof name, "Bot %d", i);
            std::u16string pilot(name, name + std::char_traits<char>::length(name));
            Airplane* a = host.add(Target::create<Airplane>(host, cfg, team, pilot));
            if (!a)
                continue;
            const float skill = setup.skill[static_cast<std::size_t>(team)];
            a->setAIController(std::make_unique<AirplaneAI>(*a, skill));
            a->aiPilot = true;
            a->aiLevel = botLevel(skill);
            squadrons[static_cast<std::size_t>(team)]->add(*a, i < 2);
            equip(*a);
            bots.push_back({a});
            place(bots.back(), i / 2);
        }
    }

    void spawnGroundUnits()
    {
        if (!setup.world || !setup.groundUnits || !setup.weapons)
            return;
        for (auto& unit : createGroundTargets(host, *setup.world, *setup.weapons))
            host.addTarget(std::move(unit));
    }

    void tally(float dt)
    {
        for (Bot& bot : bots) {
            Airplane& a = *bot.plane;
            if (bot.wasAlive && !a.isAlive()) {
                bot.wasAlive = false;
                bot.respawnIn = kRespawnDelay;
                const int cause = std::clamp(static_cast<int>(a.deathCause), 0, 6);
                ++result.causes[static_cast<std::size_t>(cause)];
                ++result.deaths[static_cast<std::size_t>(a.team())];
                const Target* killer = a.lastAttacker;
                if (cause == static_cast<int>(CrashCause::KilledByDamage) && killer && killer->team() != a.team() &&
                    (killer->team() == 0 || killer->team() == 1))
                    ++result.kills[static_cast<std::size_t>(killer->team())];
                if ((a.deathCause == CrashCause::Ground || a.deathCause == CrashCause::Water) &&
                    clock - bot.lastHit > kCleanAfter)
                    ++result.cleanCrashes;
            }
            if (!bot.wasAlive) {
                bot.respawnIn -= dt;
                if (bot.respawnIn <= 0.0f) {
                    a.lastAttacker = nullptr;
                    a.deathCause = CrashCause::None;
                    place(bot, static_cast<int>(&bot - bots.data()) / 2);
                }
            }
        }
    }

    void noteHits(std::size_t from)
    {
        for (std::size_t i = from; i < host.hits.size(); ++i)
            for (Bot& bot : bots)
                if (host.hits[i].victim == bot.plane)
                    bot.lastHit = clock;
    }

    void run()
    {
        spawnBots();
        spawnGroundUnits();
        // Processor time of this (single-threaded) run: the speed on one
        // core, whatever else the machine is doing.
        const std::clock_t start = std::clock();
        const int frames = static_cast<int>(setup.seconds / setup.frame);
        for (int f = 0; f < frames; ++f) {
            for (auto& s : squadrons)
                s->update();
            const std::size_t hitsBefore = host.hits.size();
            host.step(setup.frame);
            clock += setup.frame;
            noteHits(hitsBefore);
            // The hit list only feeds the clean-crash test: keep it short.
            if (host.hits.size() > 4096)
                host.hits.clear();
            tally(setup.frame);
        }
        result.wallSeconds = static_cast<double>(std::clock() - start) / CLOCKS_PER_SEC;
        result.simSeconds = static_cast<double>(frames) * setup.frame;
        result.missilesFired = host.missilesLaunched;
        result.missilesHit = host.missilesHit;
        for (const Bot& bot : bots)
            if (auto* ai = dynamic_cast<AirplaneAI*>(bot.plane->aiController()))
                result.terrainSaves += ai->terrainSaves();
    }
};
}  // namespace

CombatResult runCombat(const CombatSetup& setup)
{
    clearEntityIds();
    seedRandom(setup.seed * 2654435761u + 99u, setup.seed ^ 0x9e3779b9u);
    if (setup.planes.empty())
        return {};
    CombatResult result;
    {
        Arena arena(setup);
        arena.run();
        result = arena.result;
    }
    return result;
}

std::string describeCombat(const CombatResult& r)
{
    char line[320];
    std::snprintf(line, sizeof line,
                  "kills %d-%d deaths %d-%d | by damage %d ground %d water %d collision %d (clean crashes %d, "
                  "pull-ups %d) | missiles %d fired %d hit %d decoyed | %.0f s in %.2f s (%.0fx)",
                  r.kills[0], r.kills[1], r.deaths[0], r.deaths[1], r.causes[5], r.causes[1], r.causes[2],
                  r.causes[3] + r.causes[6], r.cleanCrashes, r.terrainSaves, r.missilesFired, r.missilesHit, r.missilesDecoyed,
                  r.simSeconds, r.wallSeconds, r.speedFactor());
    return line;
}
