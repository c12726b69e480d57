#include "TestPlanes.h"

#include "entities/EntityIds.h"
#include "entities/aircraft/Airplane.h"
#include "entities/weapons/MissileKinds.h"
#include "entities/weapons/MissileSet.h"
#include "gamedata/records/WeaponCfg.h"
#include "platform/Random.h"
#include "sound/SoundSource.h"
#include "sound/SoundTable.h"
#include "support/effects/ParticleScope.h"
#include "support/entities/SimHost.h"
#include "support/sound/FakeAudioDevice.h"
#include "support/sound/RecordingSound.h"

#include <gtest/gtest.h>

namespace {
constexpr float kFrame = 1.0f / 60.0f;

// Entities play sounds and start effects by calling the sound and effects
// libraries themselves; these tests listen on the recording device and read
// the effect list.
struct DirectCalls : testing::Test {
    RecordingSound sound{"jet", "propellerPlane", "missile", "takeoff"};
    SimHost host;
    PlaneCfg cfg = testJet();

    void SetUp() override
    {
        clearEntityIds();
        seedRandom(5, 9);
    }
    Airplane* plane(const Vec3& at)
    {
        Airplane* a = host.add(Target::create<Airplane>(host, cfg, 0, std::u16string(u"p")));
        a->setPositionAndStop(at);
        a->resetForRespawn();
        a->setSpeed(250.0f);
        a->setThrottleForSpeed(250.0f);
        return a;
    }
};

TEST_F(DirectCalls, ThePlayersEngineLoopStartsOnceAndFollowsThePlane)
{
    ASSERT_TRUE(sound.started());
    Airplane* player = plane({0.0f, 2000.0f, 0.0f});
    host.setPlayer(player);
    for (int i = 0; i < 90; ++i)
        host.step(kFrame);
    // Started on the first frame, then only moved and tuned.
    EXPECT_EQ(sound.playCount("jet"), 1);
    EXPECT_EQ(sound.playCount("propellerPlane"), 0);
    const GlobalSources& g = globalSources();
    ASSERT_NE(g.jet, nullptr);
    EXPECT_NEAR(g.jet->position().z, player->position().z, 1e-3f);
    EXPECT_GT(g.jet->pitch(), 0.6f);
}

TEST_F(DirectCalls, AnOtherPlanesEngineIsNotTheOneLoop)
{
    plane({0.0f, 2000.0f, 0.0f});
    for (int i = 0; i < 10; ++i)
        host.step(kFrame);
    EXPECT_EQ(sound.playCount("jet"), 0);
}

TEST_F(DirectCalls, ARocketIsHeardAtLaunchAndBurstsWhereItHitsTheGround)
{
    ParticleScope particles(sound.data(), {"missile_explode_ground.psc"});
    host.heightFunction = [](float, float) { return 50.0f; };  // land, not sea level
    Airplane* shooter = plane({0.0f, 300.0f, 0.0f});
    WeaponCfg rocket;
    rocket.name = "rocket";
    rocket.weapon_id = 43;
    rocket.type = kWeaponSimple;
    rocket.subtype = SimpleMissile::Rocket;
    rocket.speed = 300.0f;
    rocket.life = 10.0f;
    rocket.reloadTime = 1.0f;
    ASSERT_TRUE(shooter->mountWeapon(rocket, 0));
    Quat down;
    quatFromDirectionTo(down, Vec3{0.0f, -0.7071f, -0.7071f});
    shooter->setOrientation(down);
    shooter->controlInput(0, 1.0f);
    host.step(kFrame);
    shooter->controlInput(0, 0.0f);
    EXPECT_EQ(sound.playCount("missile"), 1);

    Vec3 impact;
    bool ended = false;
    host.missiles().onEnd = [&](const MissileSet::Ending& e) {
        ended = e.how == MissileSet::End::Ground;
        impact = e.at;
    };
    for (int i = 0; i < 60 * 5 && !ended; ++i)
        host.step(kFrame);
    host.missiles().onEnd = nullptr;
    ASSERT_TRUE(ended);
    const std::vector<Vec3> bursts = particles.positions();
    ASSERT_EQ(bursts.size(), 1u);
    EXPECT_NEAR(vec3Length(bursts[0] - impact), 0.0f, 1e-3f);
}
}  // namespace

namespace {
TEST_F(DirectCalls, TheEnginesPitchAndVolumeRiseWithThrottleAndSpeed)
{
    ASSERT_TRUE(sound.started());
    Airplane* player = plane({0.0f, 2000.0f, 0.0f});
    host.setPlayer(player);
    const GlobalSources& g = globalSources();
    ASSERT_NE(g.jet, nullptr);
    // What the fake device plays: the channel's rate over the sound's own.
    auto heard = [&]() {
        const FakeAudioDevice::ChannelState* c = sound.device().state(g.jet->channel());
        return c ? std::pair<float, float>{c->frequency, c->volume} : std::pair<float, float>{0.0f, 0.0f};
    };
    player->setSpeed(200.0f);
    player->setThrottleSetting(-1.0f);
    player->updateEngineSound();
    const auto idle = heard();
    ASSERT_GT(idle.first, 0.0f);
    player->setThrottleSetting(1.0f);
    player->updateEngineSound();
    const auto full = heard();
    EXPECT_GT(full.first, idle.first * 1.2f) << "pitch up with the throttle";
    EXPECT_GT(full.second, idle.second);
    player->setSpeed(380.0f);
    player->updateEngineSound();
    const auto fast = heard();
    EXPECT_GT(fast.first, full.first) << "and with the speed";
    EXPECT_GE(fast.second, full.second);
    EXPECT_LE(fast.second, 1.0f);
}
}  // namespace
