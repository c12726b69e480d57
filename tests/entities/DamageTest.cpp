#include "TestPlanes.h"

#include "entities/DamageRule.h"
#include "effects/screen/ScreenDamage.h"
#include "effects/world/Gibs.h"
#include "gamedata/records/WeaponCfg.h"
#include "effects/world/Parachute.h"
#include "entities/TimedPoints.h"
#include "entities/aircraft/Airplane.h"
#include "platform/Random.h"
#include "support/entities/SimHost.h"
#include "support/effects/ParticleScope.h"
#include "support/entities/WeaponScenarios.h"
#include "support/sound/RecordingSound.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {
struct Damage : testing::Test {
    PlaneCfg cfg = testFighter();
    SimHost host;
    Airplane* plane = nullptr;
    int wrecksBefore = 0;
    int wrecks() const { return wreckCounts().requested - wrecksBefore; }
    int wreckKind() const { return static_cast<int>(wreckCounts().lastKind); }

    void SetUp() override
    {
        seedRandom(11, 22);
        plane = host.add(Target::create<Airplane>(host, cfg, 1, std::u16string(u"Pilot")));
        host.setPlayer(plane);
        plane->setPositionAndStop({0.0f, 2000.0f, 0.0f});
        plane->resetForRespawn();
        plane->setSpeed(cfg.pCruiseSpeed);
        wrecksBefore = wreckCounts().requested;
    }
    void run(float seconds)
    {
        for (int i = 0; float(i) / 60.0f < seconds; ++i)
            host.step(1.0f / 60.0f);
    }
};

TEST(DamageRuleArmour, DivisorIsFlooredSoNoHitDividesByZeroOrHeals)
{
    EXPECT_FLOAT_EQ(armourDivisor(1.5f, true), 1.0f);
    EXPECT_FLOAT_EQ(armourDivisor(1.5f, false), 1.7f);
    for (float armour : {0.5f, 0.3f, 0.0f, -2.0f, NAN}) {
        EXPECT_GE(armourDivisor(armour, true), kMinArmourDivisor) << armour;
        EXPECT_GE(armourDivisor(armour, false), kMinArmourDivisor) << armour;
    }

    SimHost host;
    PlaneCfg weak = testFighter();
    weak.pArmour = 0.5f;
    Airplane victim(host, weak, 0, u"");
    DamageContext campaign;
    campaign.campaign = true;
    const float d = damageAfterRules(0.1f, victim, nullptr, nullptr, campaign);
    EXPECT_TRUE(std::isfinite(d));
    EXPECT_GT(d, 0.0f);
}

TEST(DamageRuleChain, CampaignHitOnThePlayerFollowsTheWorkedExample)
{
    SimHost host;
    PlaneCfg armoured = testFighter();
    armoured.pArmour = 1.5f;
    Airplane victim(host, armoured, 0, u"");
    DamageContext c;
    c.campaign = true;
    c.victimIsPlayer = true;
    c.takenScale = 0.75f;
    EXPECT_NEAR(damageAfterRules(10.0f, victim, nullptr, nullptr, c), 2.4975f, 1e-4f);
    EXPECT_EQ(damageAfterRules(-3.0f, victim, nullptr, nullptr, c), 0.0f);
    EXPECT_EQ(damageAfterRules(NAN, victim, nullptr, nullptr, c), 0.0f);
}

TEST(DamageRuleChain, TheTierBonusGoesToGroundAndNavalVictimsOfTierTwoAttackersOutsideCampaigns)
{
    SimHost host;
    const auto ofTier = [](int tier) {
        PlaneCfg p = testFighter();
        p.plane_tier = tier;
        p.pDamage = 1.0f;
        return p;
    };
    const PlaneCfg tierTwo = ofTier(2);
    const PlaneCfg fighter = testFighter();  // airplanes keep a pointer to their record
    Airplane victimPlane(host, fighter, 0, u"");
    ScriptedTarget airTarget(host, TargetKind::AirTarget, 0, 5.0f, 100.0f);
    ScriptedTarget building(host, TargetKind::Building, 0, 5.0f, 100.0f);
    ScriptedTarget vehicle(host, TargetKind::Vehicle, 0, 5.0f, 100.0f);
    ScriptedTarget ship(host, TargetKind::Ship, 0, 5.0f, 100.0f);
    const struct {
        const Target* victim;
        float bonus;
    } victims[] = {{&victimPlane, 1.0f}, {&airTarget, 1.0f}, {&building, 1.5f}, {&vehicle, 1.5f}, {&ship, 1.5f}};
    DamageContext skirmish, campaign;
    campaign.campaign = true;
    for (const int tier : {0, 1, 3}) {
        const PlaneCfg otherTier = ofTier(tier);
        const Airplane bonused(host, tierTwo, 1, u""), plain(host, otherTier, 1, u"");
        for (const auto& v : victims) {
            const float base = damageAfterRules(10.0f, *v.victim, &plain, nullptr, skirmish);
            ASSERT_GT(base, 0.0f);
            EXPECT_NEAR(damageAfterRules(10.0f, *v.victim, &bonused, nullptr, skirmish) / base, v.bonus, 1e-4f)
                << "tier " << tier << ", victim kind " << static_cast<int>(v.victim->kind());
            EXPECT_FLOAT_EQ(damageAfterRules(10.0f, *v.victim, &bonused, nullptr, campaign),
                            damageAfterRules(10.0f, *v.victim, &plain, nullptr, campaign))
                << "no bonus in campaign missions";
        }
    }
}

TEST_F(Damage, HeavyHitsSetFlightStatesThatRelayAndExpire)
{
    RecordingSound sound{"engine_explode"};
    plane->setFlightState(FlightState::EngineDead, 2.0f);
    EXPECT_EQ(host.flightStateReports, 1);
    EXPECT_EQ(sound.playCount("engine_explode"), 1);
    const float before = plane->speed();
    run(1.0f);
    EXPECT_LT(plane->speed(), before - 10.0f);  // no engine
    run(1.5f);
    EXPECT_EQ(plane->flightState(), FlightState::Normal);

    int set = 0;
    for (int i = 0; i < 40; ++i) {
        plane->setFlightState(FlightState::Normal, 0.0f);
        plane->setHealth(1.0f);
        plane->onHit(plane->position(), 1, nullptr, 0.9f);
        set += plane->flightState() != FlightState::Normal;
    }
    EXPECT_GT(set, 25);  // probability 0.9 per heavy hit
    plane->setFlightState(FlightState::Normal, 0.0f);
    plane->onHit(plane->position(), 1, nullptr, 0.1f);
    EXPECT_EQ(plane->flightState(), FlightState::Normal);  // light hits never do
}

TEST_F(Damage, DamageLevelsStartSmokeThenFireAndStopAtFullHealth)
{
    RecordingSound sound{};
    ParticleScope particles(sound.data(), {"plane_damage_smoke.psc", "plane_damage_fire.psc"});
    host.damageTarget(*plane, nullptr, 0.6f, plane->position(), nullptr);
    EXPECT_LT(plane->health(), 0.6f);
    EXPECT_EQ(plane->damageLevel(), 1);
    EXPECT_NE(plane->effectSlots[0], nullptr);  // smoke
    EXPECT_EQ(plane->effectSlots[1], nullptr);
    host.damageTarget(*plane, nullptr, 0.6f, plane->position(), nullptr);
    EXPECT_LT(plane->health(), 0.3f);
    EXPECT_EQ(plane->damageLevel(), 2);
    EXPECT_NE(plane->effectSlots[1], nullptr);  // and fire
    EXPECT_EQ(particles.positions().size(), 2u);
    plane->setHealth(1.0f);
    plane->updateDamageLevels();
    EXPECT_EQ(plane->damageLevel(), 0);
    EXPECT_EQ(plane->effectSlots[0], nullptr);
    EXPECT_EQ(plane->effectSlots[1], nullptr);
    EXPECT_GT(host.playerDamageTaken, 0.0f);
    EXPECT_EQ(plane->hitReport, 1);
}

TEST_F(Damage, KilledByDamageDiesWithinSevenSecondsAndLeavesAWreck)
{
    plane->setHealth(0.0f);
    host.step(1.0f / 60.0f);
    EXPECT_EQ(plane->lifeState(), LifeState::Dying);
    EXPECT_EQ(plane->deathCause, CrashCause::KilledByDamage);
    plane->setControlVector({1.0f, 0.0f, 0.0f});  // the stick no longer answers
    run(3.9f);
    EXPECT_EQ(plane->lifeState(), LifeState::Dying);
    run(3.2f);
    EXPECT_EQ(plane->lifeState(), LifeState::Destroyed);
    EXPECT_EQ(wrecks(), 1);
    EXPECT_EQ(wreckKind(), 1);  // in the air
}

TEST_F(Damage, TakenOutWhileDyingLeavesItsWreckWhereItWasOnce)
{
    plane->setPositionAndStop({500.0f, 1500.0f, -200.0f});
    plane->setHealth(0.0f);
    host.step(1.0f / 60.0f);
    ASSERT_EQ(plane->lifeState(), LifeState::Dying);
    const Vec3 where = plane->position();
    // A match moves the airplane to its spawn point and then takes it out.
    plane->setPosition({0.0f, 2000.0f, 0.0f});
    plane->onTakenOut();
    EXPECT_EQ(plane->lifeState(), LifeState::Destroyed);
    EXPECT_EQ(wrecks(), 1);
    EXPECT_EQ(wreckKind(), 1);  // in the air
    EXPECT_NEAR(vec3Length(wreckCounts().lastPosition - where), 0.0f, 1.0f);
    plane->onTakenOut();  // out again, already a wreck: nothing more
    EXPECT_EQ(wrecks(), 1);

    // An airplane taken out alive (a team change, the end of a round) leaves none.
    plane->resetForRespawn();
    ASSERT_TRUE(plane->isAlive());
    plane->onTakenOut();
    EXPECT_EQ(wrecks(), 1);
}

TEST_F(Damage, CrashIntoTheGroundCountsAndWrecksOnce)
{
    plane->setPositionAndStop({0.0f, 30.0f, 0.0f});
    plane->setOrientation(quatFromEuler(0.0f, -0.8f, 0.0f));
    run(2.0f);
    EXPECT_TRUE(host.crashed(*plane));
    EXPECT_EQ(plane->lifeState(), LifeState::Destroyed);
    EXPECT_EQ(wrecks(), 1);
    EXPECT_EQ(wreckKind(), 2);
    EXPECT_EQ(std::count(host.events.begin(), host.events.end(), Airplane::kEventCrashed), 1);
}

TEST_F(Damage, EjectionNeedsTheFlagAndTheCooldownUnlessForced)
{
    int parachutes = 0;
    auto eject = [&](bool force) {
        std::unique_ptr<Parachute> p = plane->ejectPilot(force);
        if (p) {
            ++parachutes;
            EXPECT_EQ(plane->parachute, p.get());
            EXPECT_EQ(p->owner, static_cast<IAirplaneFx*>(plane));
        }
        return p;
    };
    EXPECT_FALSE(plane->canEject());  // cool-down and full health
    EXPECT_EQ(eject(false), nullptr);
    EXPECT_TRUE(plane->ejectFlag());
    run(5.1f);
    EXPECT_FALSE(plane->canEject());  // healthy
    plane->setHealth(0.2f);
    EXPECT_TRUE(plane->canEject());
    std::unique_ptr<Parachute> first = eject(false);
    EXPECT_FALSE(plane->ejectFlag());
    EXPECT_EQ(parachutes, 1);
    EXPECT_FALSE(plane->canEject());
    EXPECT_EQ(eject(true), nullptr);
    EXPECT_EQ(parachutes, 1);  // once per life
    first.reset();             // a finished parachute lets go of its airplane
    EXPECT_EQ(plane->parachute, nullptr);

    plane->resetForRespawn();
    EXPECT_TRUE(plane->ejectFlag());
    EXPECT_FLOAT_EQ(plane->ejectCooldown(), Airplane::kEjectCooldown);
    std::unique_ptr<Parachute> second = eject(true);  // forced: the cool-down does not matter
    EXPECT_FALSE(plane->ejectFlag());
    EXPECT_EQ(parachutes, 2);
    run(1.0f);
    EXPECT_TRUE(plane->isAlive());  // the airplane flies on
    plane->resetForRespawn();       // the pilot in the air drifts on alone
    EXPECT_EQ(second->owner, nullptr);
    second->update(0.1f);
}

struct FakeMissile : IGameEntity {
    Vec3 at;
    const Vec3& position() const override { return at; }
    Vec3 velocity() const override { return {}; }
    std::u16string displayName(bool) const override { return {}; }
    bool isAlive() const override { return true; }
    float health() const override { return 1.0f; }
    float maxHealth() const override { return 1.0f; }
    float radius() const override { return 1.0f; }
    bool canBeTargeted() const override { return false; }
    void update(float) override {}
};

TEST_F(Damage, ThePlayersCanopyTakesGunHolesAndMissileDustAndIsCleanAfterRespawn)
{
    ASSERT_TRUE(plane->fxIsPlayer());
    ScreenDamage::clean(nullptr);
    (void)ScreenDamage::render();   // nothing waiting from earlier tests
    plane->onHit(plane->position(), kWeaponMachinegun, nullptr, 0.01f);
    const int holesPerHit = ScreenDamage::bulletHoles();
    EXPECT_GT(holesPerHit, 0);
    plane->onHit(plane->position(), kWeaponRadarGuided, nullptr, 0.01f);
    EXPECT_EQ(ScreenDamage::dustHoles(), 2);
    EXPECT_EQ(ScreenDamage::bulletHoles(), holesPerHit);   // a missile makes no bullet holes
    plane->onHit(plane->position(), kWeaponFlak, nullptr, 0.01f);
    EXPECT_EQ(ScreenDamage::dustHoles(), 2);
    // A bot's hits never mark the player's glass.
    Airplane* bot = host.add(Target::create<Airplane>(host, cfg, 2, std::u16string(u"Bot")));
    bot->onHit(bot->position(), kWeaponMachinegun, nullptr, 0.01f);
    bot->onHit(bot->position(), kWeaponAllAspect, nullptr, 0.01f);
    EXPECT_EQ(ScreenDamage::bulletHoles(), holesPerHit);
    EXPECT_EQ(ScreenDamage::dustHoles(), 2);
    // Respawned: what was waiting is dropped and the next render starts clean.
    plane->resetForRespawn();
    EXPECT_EQ(ScreenDamage::bulletHoles(), 0);
    EXPECT_EQ(ScreenDamage::dustHoles(), 0);
}

TEST_F(Damage, FlaresGoOutAgainstAnIncomingMissileAndRunOut)
{
    TimedPoints::instance().clear();
    ASSERT_EQ(plane->flareCount(), 2);
    FakeMissile missile;
    missile.at = plane->position() + Vec3{0.0f, 0.0f, 3000.0f};
    plane->incomingMissile = &missile;
    run(0.5f);
    EXPECT_EQ(host.flareSalvos, 0);  // too far
    missile.at = plane->position() + Vec3{0.0f, 0.0f, 800.0f};
    run(0.1f);
    EXPECT_EQ(host.flareSalvos, 1);
    EXPECT_EQ(plane->flareCount(), 1);
    EXPECT_EQ(TimedPoints::instance().activeCount(), 1);
    missile.at = plane->position() + Vec3{0.0f, 0.0f, 800.0f};
    run(1.0f);
    EXPECT_EQ(host.flareSalvos, 1);  // one salvo every 2 s
    for (int i = 0; i < 6; ++i) {
        missile.at = plane->position() + Vec3{0.0f, 0.0f, 500.0f};
        run(1.0f);
    }
    EXPECT_EQ(plane->flareCount(), 0);
    EXPECT_EQ(host.flareSalvos, 2);
    EXPECT_FALSE(plane->launchFlares());
    TimedPoints::instance().update(3.0f);
    EXPECT_EQ(TimedPoints::instance().activeCount(), 0);
    plane->incomingMissile = nullptr;
}

TEST(TimedPointsPool, HoldsSixtyFourAndFreesExpiredPoints)
{
    TimedPoints& pool = TimedPoints::instance();
    pool.clear();
    for (int i = 0; i < TimedPoints::kCapacity; ++i)
        EXPECT_EQ(pool.add({}, 1.0f + float(i), nullptr), i);
    EXPECT_EQ(pool.add({}, 1.0f, nullptr), -1);
    pool.update(1.5f);
    EXPECT_EQ(pool.at(0), nullptr);
    EXPECT_NE(pool.at(1), nullptr);
    EXPECT_EQ(pool.add({}, 1.0f, nullptr), 0);
    EXPECT_EQ(pool.at(-1), nullptr);
    EXPECT_EQ(pool.at(64), nullptr);
    pool.clear();
    EXPECT_EQ(pool.activeCount(), 0);
}
}  // namespace
