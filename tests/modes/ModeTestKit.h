#pragma once
#include "entities/TimedPoints.h"
#include "entities/aircraft/Airplane.h"
#include "entities/ground/GroundTarget.h"
#include "entities/weapons/BulletPool.h"
#include "gamedata/records/PlaneCfg.h"
#include "gamedata/map/MapEntities.h"
#include "gamedata/records/WeaponCfg.h"
#include "modes/GameMode.h"
#include "modes/GameModeGlobals.h"
#include "modes/Match.h"
#include "modes/Match.h"
#include "platform/Random.h"

#include "support/modes/RecordingListener.h"
#include "support/modes/TestConnections.h"

#include <gtest/gtest.h>

#include <deque>
#include <memory>

// A propeller fighter with round numbers, so damage cases read plainly.
inline void kitPlane(PlaneCfg& p, float armour = 1.5f, int tier = 0, float planeDamage = 1.0f)
{
    p.name = "kitplane";
    p.pArmour = armour;
    p.plane_tier = tier;
    p.pDamage = planeDamage;
    p.pFlares = 2;
    p.pMinSpeed = 107.0f;
    p.pSpeedSpan = 108.0f;
    p.pCruiseSpeed = 150.0f;
}

// A mode of the given type in a match of its own (not the running one) with
// a recording listener and HUD, and helpers that put airplanes and ground
// units into it.
struct ModeKit : testing::Test {
    PlaneCfg plane;
    RecordingListener listener;
    RecordingHud hud;
    // What the next makeMode gives the match beside the HUD and listener.
    ModeServices services;
    std::unique_ptr<Match> kitMatch;
    GameMode* mode = nullptr;
    PostedEvents posted() const { return readOutbox(mode->outbox()); }

    void makeMode(GameType type)
    {
        if (mode)
            mode->clearLevel();
        kitMatch.reset();
        kitMatch = Match::create(std::make_unique<GameMode>(type), testConnections(hud.hooks(), services, &listener));
        mode = &kitMatch->mode();
        listener = RecordingListener{};
    }
    // A fresh mode of the same type with these services.
    void connectServices(const ModeServices& given)
    {
        services = given;
        makeMode(mode->gameType());
    }
    void SetUp() override
    {
        kitPlane(plane);
        seedRandom(7, 9);
        teamCounters() = TeamCounters{};
        setGameClock(0.0f);
        BulletPool::instance().clear();
        TimedPoints::instance().clear();
        makeMode(GameType::TeamDeathmatch);
    }
    void TearDown() override
    {
        kitMatch.reset();
        mode = nullptr;
    }

    // Records outlive every mode of the test.
    std::deque<PlaneCfg> records;
    const PlaneCfg* record(float armour, int tier = 0, float planeDamage = 1.0f)
    {
        kitPlane(records.emplace_back(), armour, tier, planeDamage);
        return &records.back();
    }

    Airplane* airplane(int team, const Vec3& at = {0.0f, 2000.0f, 0.0f}, const PlaneCfg* cfgOrNull = nullptr)
    {
        const PlaneCfg& cfg = cfgOrNull ? *cfgOrNull : plane;
        auto a = Target::create<Airplane>(*mode, cfg, team, std::u16string(u"Pilot"));
        Airplane* raw = a.get();
        if (!mode->addPlayerAirplane(std::move(a), true))
            return nullptr;
        raw->setPositionAndStop(at);
        raw->resetForRespawn();
        return raw;
    }
    Target* groundUnit(int team, TargetKind kind = TargetKind::LandUnit, const Vec3& at = {})
    {
        auto t = Target::create<Target>(*mode, kind, team);
        t->setPosition(at);
        return mode->addPlayerAirplane(std::move(t), true);
    }
    // A ship of team 1 made from a map object, as the map loader makes them;
    // the objects live as long as the fixture, past the mode (TearDown).
    std::deque<MapObject> mapObjects;
    GroundTarget* ship(TargetKind kind, const Vec3& at)
    {
        MapObject& object = mapObjects.emplace_back();
        object.kind = static_cast<int>(kind);
        object.team = 1;
        object.pos = at;
        auto made = Target::create<GroundTarget>(*mode, object, nullptr);
        GroundTarget* raw = made.get();
        mode->addPlayerAirplane(std::move(made), true);
        return raw;
    }
    void step(float seconds)
    {
        for (int i = 0; static_cast<float>(i) < seconds * 60.0f; ++i)
            mode->update(1.0f / 60.0f);
    }
};
