// What belongs to the player's airplane alone: the flat flare and parachute
// sounds, the gun smoke, and the oil and hit timer of a missile bursting on
// it. Other pilots' flares and ejections stay silent, heard on the recording
// device of the real sound system.
#include "TestPlanes.h"

#include "effects/EffectScene.h"
#include "effects/particles/AircraftParticles.h"
#include "effects/screen/ScreenSplats.h"
#include "effects/trails/MissileTrail.h"
#include "effects/world/Parachute.h"
#include "entities/EntityIds.h"
#include "entities/aircraft/Airplane.h"
#include "entities/weapons/Machinegun.h"
#include "entities/weapons/Missile.h"
#include "gamedata/records/WeaponCfg.h"
#include "platform/Random.h"
#include "support/entities/SimHost.h"
#include "support/entities/TestWeapons.h"
#include "support/sound/RecordingSound.h"

#include <gtest/gtest.h>

namespace {
constexpr float kFrame = 1.0f / 60.0f;

struct PlayerEffects : testing::Test {
    RecordingSound sound{"flares", "parachute"};
    SimHost host;
    PlaneCfg cfg = testJet();

    void SetUp() override
    {
        clearEntityIds();
        seedRandom(3, 7);
        ParticleSystem::deleteAll();
        ParticleSystem::initParticleBuffers();
        ScreenSplats::reset();
        cfg.pFlares = 4;
    }
    void TearDown() override
    {
        host.missiles().clear();
        ParticleSystem::deleteAll();
        MissileTrail::deleteAll();
        ScreenSplats::reset();
    }
    Airplane* plane(int team, const Vec3& at, float speed = 250.0f)
    {
        Airplane* a = host.add(Target::create<Airplane>(host, cfg, team, std::u16string(u"p")));
        a->setPositionAndStop(at);
        a->resetForRespawn();
        a->setSpeed(speed);
        a->setThrottleForSpeed(speed);
        return a;
    }
    Machinegun* gun(Airplane* a, const WeaponCfg& record)
    {
        if (!a->mountWeapon(record, 0))
            return nullptr;
        return dynamic_cast<Machinegun*>(a->weapon(0));
    }
};

TEST_F(PlayerEffects, AnotherPilotsFlaresAndEjectionAreNotThePlayersSounds)
{
    ASSERT_TRUE(sound.started());
    Airplane* player = plane(0, {0.0f, 2000.0f, 0.0f});
    Airplane* bot = plane(1, {500.0f, 2000.0f, 0.0f});
    Airplane* peer = plane(2, {-500.0f, 2000.0f, 0.0f});
    host.setPlayer(player);

    ASSERT_TRUE(bot->launchFlares());
    EXPECT_EQ(sound.playCount("flares"), 0) << "a bot's salvo";
    // A peer's ejection comes from the network, forced.
    std::unique_ptr<Parachute> peerChute = peer->ejectPilot(true);
    ASSERT_NE(peerChute, nullptr);
    EXPECT_EQ(sound.playCount("parachute"), 0) << "a peer's ejection";
    EXPECT_EQ(ParticleSystem::count(), 1u) << "the bot's flares still fly";

    ASSERT_TRUE(player->launchFlares());
    std::unique_ptr<Parachute> chute = player->ejectPilot(true);
    ASSERT_NE(chute, nullptr);
    EXPECT_EQ(sound.playCount("flares"), 1);
    EXPECT_EQ(sound.playCount("parachute"), 1);
    EXPECT_EQ(sound.played(), (std::vector<std::string>{"flares", "parachute"}));
}

TEST_F(PlayerEffects, OnlyThePlayersGunsSmokeAndTheSmokeFollowsThePlayer)
{
    WeaponCfg record = testMissile(40, kWeaponMachinegun, 2);
    record.reloadTime = 0.1f;
    Airplane* a = plane(0, {0.0f, 2000.0f, 0.0f});
    Airplane* b = plane(1, {500.0f, 2000.0f, 0.0f});
    Machinegun* gunA = gun(a, record);
    Machinegun* gunB = gun(b, record);
    ASSERT_TRUE(gunA && gunB);
    host.setPlayer(a);
    host.step(kFrame);
    EXPECT_NE(gunA->smokeSystem(), nullptr);
    EXPECT_EQ(gunB->smokeSystem(), nullptr) << "a bot's gun";
    EXPECT_EQ(ParticleSystem::count(), 1u);

    // The player takes another airplane: the smoke goes with the player.
    host.setPlayer(b);
    host.step(kFrame);
    EXPECT_EQ(gunA->smokeSystem(), nullptr);
    EXPECT_NE(gunB->smokeSystem(), nullptr);
    EXPECT_EQ(ParticleSystem::count(), 1u);

    // A screen change empties the pool; the player's gun makes its smoke again.
    ParticleSystem::deleteAll();
    EXPECT_EQ(gunB->smokeSystem(), nullptr);
    host.step(kFrame);
    EXPECT_NE(gunB->smokeSystem(), nullptr);

    // Switched off by hand, it stays off while the player stays the same.
    gunB->setSmoke(false);
    host.step(kFrame);
    EXPECT_EQ(gunB->smokeSystem(), nullptr);
    EXPECT_EQ(ParticleSystem::count(), 0u);
}

TEST_F(PlayerEffects, WithThePoolFullThePlayersGunTriesOnceAndFiresWithoutSmoke)
{
    WeaponCfg record = testMissile(40, kWeaponMachinegun, 2);
    record.reloadTime = 0.1f;
    Airplane* a = plane(0, {0.0f, 2000.0f, 0.0f});
    Machinegun* g = gun(a, record);
    ASSERT_NE(g, nullptr);
    host.setPlayer(a);
    host.step(kFrame);
    ASSERT_NE(g->smokeSystem(), nullptr);
    ParticleSystem::deleteAll();
    std::vector<Flares*> filler;
    while (ParticleSystem::count() < ParticleSystem::kCapacity)
        filler.push_back(spawnPooled<Flares>(static_cast<const IAirplaneFx*>(a)));
    host.step(kFrame);
    EXPECT_EQ(g->smokeSystem(), nullptr);
    // A free place later is not taken behind the player's back every frame:
    // only a new player (or the switch) asks again.
    delete filler.back();
    host.step(kFrame);
    EXPECT_EQ(g->smokeSystem(), nullptr);
    EXPECT_EQ(ParticleSystem::count(), ParticleSystem::kCapacity - 1);
}

TEST_F(PlayerEffects, AMissileBurstingOnThePlayerThrowsOilAndItsTrailEndsOnTheTarget)
{
    effectScene().screenWidth = 960.0f;
    effectScene().screenHeight = 640.0f;
    const WeaponCfg seeker = testMissile(40, kWeaponAllAspect, 2);
    auto fireAt = [&](Airplane* shooter) -> Missile* {
        shooter->weapon(0)->updateTargeting(2.0f);
        shooter->controlInput(0, 1.0f);
        host.step(kFrame);
        shooter->controlInput(0, 0.0f);
        return host.missiles().count() == 1 ? host.missiles().at(0) : nullptr;
    };
    auto flyUntilGone = [&] {
        for (int i = 0; i < 60 * 8 && host.missiles().count() > 0; ++i)
            host.step(kFrame);
        return host.missiles().count() == 0;
    };
    auto oilShown = [] {
        int oil = 0;
        for (const ScreenSplats::Splat& s : ScreenSplats::splats())
            oil += s.life > 0.0f && s.kind == ScreenSplats::kOil ? 1 : 0;
        return oil;
    };

    // A bot hit by a bot: nothing on the player's screen.
    Airplane* player = plane(0, {0.0f, 3000.0f, 3000.0f});
    host.setPlayer(player);
    Airplane* shooter = plane(1, {0.0f, 3000.0f, 0.0f});
    Airplane* victim = plane(2, {0.0f, 3000.0f, -1200.0f}, 300.0f);
    victim->setFlares(0);
    player->setFlares(0);
    ASSERT_TRUE(shooter->mountWeapon(seeker, 0));
    Missile* m = fireAt(shooter);
    ASSERT_NE(m, nullptr);
    ASSERT_EQ(m->target(), victim);
    ASSERT_TRUE(flyUntilGone());
    EXPECT_EQ(oilShown(), 0);
    EXPECT_EQ(ScreenSplats::hitTimer(), 0.0f);
    // The trail's newest point is where the victim was struck.
    ASSERT_EQ(MissileTrail::count(), 1u);
    const MissileTrail& trail = *MissileTrail::at(0);
    EXPECT_LT(vec3Length(trail.points[static_cast<std::size_t>(trail.head)].position - victim->position()), 1.0f);
    MissileTrail::deleteAll();

    // The same at the player: oil over the view and the hit timer at 1.
    shooter->setPositionAndStop({0.0f, 3000.0f, 4200.0f});
    Quat toPlayer;
    quatFromDirectionTo(toPlayer, Vec3{0.0f, 0.0f, -1.0f});
    shooter->setOrientation(toPlayer);
    m = fireAt(shooter);
    ASSERT_NE(m, nullptr);
    ASSERT_EQ(m->target(), player);
    ASSERT_TRUE(flyUntilGone());
    EXPECT_GE(oilShown(), 3) << "three or four oil splats";
    EXPECT_FLOAT_EQ(ScreenSplats::hitTimer(), 1.0f);
}
}  // namespace
