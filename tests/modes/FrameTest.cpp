#include "ModeTestKit.h"

#include "effects/EffectList.h"
#include "entities/weapons/MissileKinds.h"
#include "gamedata/map/GameWorld.h"
#include "modes/ModeServices.h"
#include "support/modes/ModeHarness.h"

namespace {
struct WeatherScene : IModeScene {
    int mode = 0;
    float intensity = 0.0f, second = 0.0f;
    int weatherMode() const override { return mode; }
    void setWeather(int m, float i, float s) override { mode = m, intensity = i, second = s; }
};

using Frame = ModeKit;

// A stopped game keeps its clock, weather and network running while nothing in the world moves.
TEST_F(Frame, PlayStoppedFreezesTheWorldButNotTheClockWeatherOrNetwork)
{
    WeatherScene scene;
    connectServices(ModeServices{&scene, nullptr, nullptr});
    Airplane* a = airplane(1, {0, 2000, 0});
    a->setSpeed(150.0f);
    mode->startWeather(1, 1.0f);
    mode->playStopped = true;
    const Vec3 before = a->position();
    listener.calls.clear();
    step(0.5f);
    EXPECT_EQ(a->position().x, before.x);
    EXPECT_EQ(a->position().y, before.y);
    EXPECT_EQ(a->position().z, before.z);
    EXPECT_NEAR(gameClock(), 0.5f, 1e-3f);
    EXPECT_NEAR(scene.intensity, 0.5f, 0.02f);
    EXPECT_EQ(listener.count("receive"), 30);
    EXPECT_EQ(listener.count("send"), 30);
    ASSERT_GE(listener.calls.size(), 2u);
    EXPECT_EQ(listener.calls.front(), "receive");
    EXPECT_EQ(listener.calls.back(), "send");

    mode->playStopped = false;
    step(0.1f);
    EXPECT_NE(a->position().z, before.z);
}

TEST_F(Frame, AirplanesOfOneTeamFlyThroughEachOtherAndEnemiesCollide)
{
    Airplane* a = airplane(0, {0, 2000, 0});
    Airplane* b = airplane(0, {0.5f, 2000, 0});
    mode->attachAI(*a, 0.5f, true);
    mode->attachAI(*b, 0.5f, true);
    mode->update(1.0f / 60.0f);
    EXPECT_TRUE(a->isAlive());
    EXPECT_TRUE(b->isAlive());
    EXPECT_TRUE(posted().destroyed.empty());

    Airplane* enemy = airplane(1, {0, 3000, 0});
    Airplane* other = airplane(0, {0.5f, 3000, 0});
    mode->update(1.0f / 60.0f);
    ASSERT_EQ(posted().destroyed.size(), 2u);
    for (const auto& d : posted().destroyed) {
        EXPECT_TRUE(d.victim == enemy || d.victim == other);
        EXPECT_EQ(d.killer, nullptr);
        EXPECT_EQ(d.cause, CrashCause::CollisionPair);
    }
    EXPECT_NE(posted().destroyed[0].victim, posted().destroyed[1].victim);
    EXPECT_TRUE(a->isAlive());
}

TEST_F(Frame, AnAIAirplaneIgnoresGroundUnitsButAFlownOneHitsThem)
{
    Airplane* bot = airplane(0, {0, 5, 0});
    mode->attachAI(*bot, 0.5f, true);
    Target* unit = groundUnit(1, TargetKind::LandUnit, {0, 5, 0});
    mode->update(1.0f / 60.0f);
    EXPECT_TRUE(bot->isAlive());
    ASSERT_NE(unit, nullptr);
    EXPECT_TRUE(posted().destroyed.empty());

    Airplane* flown = airplane(0, {0, 5, 0});
    mode->update(1.0f / 60.0f);
    bool flownCrashed = false;
    for (const auto& d : posted().destroyed)
        flownCrashed |= d.victim == flown && d.cause == CrashCause::Collision;
    EXPECT_TRUE(flownCrashed);
}

// Missile endings need the generated effect descriptions, so these run on the mounted data.
struct FrameOnTheMap : testing::Test {
    ModeHarness harness;
    GameMode* mode = nullptr;
    PlaneCfg plane;
    WeaponCfg record;

    void SetUp() override
    {
        kitPlane(plane);
        std::string error;
        ASSERT_TRUE(harness.mountData(error)) << error;
        mode = harness.start(static_cast<int>(GameType::Dogfight), harness.firstSkirmishMap());
        ASSERT_NE(mode, nullptr);
        clearEffects();
        record.type = kWeaponSimple;
        record.weapon_id = 12;
        record.speed = 200.0f;
        record.life = 0.5f;
    }
    void TearDown() override { clearEffects(); }
    Airplane* owner()
    {
        auto a = Target::create<Airplane>(*mode, plane, 0, std::u16string(u"Owner"));
        Airplane* raw = a.get();
        mode->addPlayerAirplane(std::move(a), false);
        raw->setPositionAndStop({0.0f, 8000.0f, 0.0f});
        return raw;
    }
    void launch(Airplane& from, const Vec3& at, int subtype)
    {
        record.subtype = subtype;
        MissileLaunch l;
        l.record = &record;
        l.host = mode;
        l.owner = &from;
        l.position = at;
        l.direction = {0.0f, 0.0f, -1.0f};
        mode->addMissile(Missile::make<SimpleMissile>(l));
    }
    // A point of land well above sea level.
    bool highGround(Vec3& out)
    {
        for (float x = -20000.0f; x <= 20000.0f; x += 500.0f)
            for (float z = -20000.0f; z <= 20000.0f; z += 500.0f)
                if (const float h = mode->groundHeightAt(x, z); h > 50.0f) {
                    out = {x, h, z};
                    return true;
                }
        return false;
    }
    void frames(int n)
    {
        for (int i = 0; i < n; ++i)
            mode->update(ModeHarness::kFrame);
    }
};

TEST_F(FrameOnTheMap, AMissileExpiringInTheAirLeavesNoEffectAndOneHittingTheGroundDoes)
{
    Airplane* a = owner();
    launch(*a, {0.0f, 7000.0f, 0.0f}, SimpleMissile::Rocket);
    frames(60);
    EXPECT_EQ(mode->missiles().count(), 0);
    EXPECT_EQ(effectCount(), 0);

    Vec3 land;
    ASSERT_TRUE(highGround(land));
    launch(*a, land + Vec3{0.0f, -5.0f, 0.0f}, SimpleMissile::Rocket);
    frames(1);
    EXPECT_EQ(mode->missiles().count(), 0);
    EXPECT_GT(effectCount(), 0);
}

TEST_F(FrameOnTheMap, ATorpedoMeetingLandVanishesAndOneInTheSeaRunsOn)
{
    Airplane* a = owner();
    Vec3 land;
    ASSERT_TRUE(highGround(land));
    launch(*a, land + Vec3{0.0f, -5.0f, 0.0f}, SimpleMissile::Torpedo);
    frames(1);
    EXPECT_EQ(mode->missiles().count(), 0);
    EXPECT_EQ(effectCount(), 0);  // dropped on land: no explosion

    record.life = 20.0f;
    const Vec3 sea{30000.0f, SimpleMissile::kTorpedoDepth, 30000.0f};
    ASSERT_LE(mode->groundHeightAt(sea.x, sea.z), 0.5f);
    launch(*a, sea, SimpleMissile::Torpedo);
    frames(30);
    EXPECT_EQ(mode->missiles().count(), 1);
    EXPECT_EQ(mode->missilesRegistered() - mode->missilesUnregistered(), 1);
}
}  // namespace
