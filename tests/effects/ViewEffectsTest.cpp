// The effects over the view without a window: the faint meter, the canopy's
// damage queue, the sun glare's ramps, the speed streaks and the weather pools.
#include "effects/EffectScene.h"
#include "effects/screen/FaintMeter.h"
#include "effects/screen/ScreenDamage.h"
#include "effects/screen/SpeedStreaks.h"
#include "effects/screen/SunGlare.h"
#include "effects/screen/Weather.h"

#include "platform/Random.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {
TEST(FaintMeter, RisesUnderLoadDecaysSlowAndIsSilentAtItsStart)
{
    Effects::cachePlayerRange(4.5f, 8.5f);
    Effects::resetFaint();
    Effects::FaintInput in{true, 200.0f, false, 0.5f};
    for (int i = 0; i < 60; ++i)
        Effects::updateFaint(in, 1.0f / 60.0f);
    EXPECT_NEAR(Effects::faintValue(), 0.0f, 1e-5f);   // 2L - 1 = 0: no rise
    in.load = 3.0f;
    for (int i = 0; i < 600; ++i)
        Effects::updateFaint(in, 1.0f / 60.0f);
    EXPECT_FLOAT_EQ(Effects::faintValue(), 8.5f);   // held at the end
    in.speed = 120.0f;                             // slow: decays by 1 a second
    Effects::updateFaint(in, 1.0f);
    EXPECT_NEAR(Effects::faintValue(), 7.5f, 1e-5f);
    Effects::updateFaint({}, 0.1f);                 // no game: cleared
    EXPECT_FLOAT_EQ(Effects::faintValue(), 0.0f);

    EXPECT_FLOAT_EQ(Effects::faintVolume(4.5f), 0.0f);
    EXPECT_NEAR(Effects::faintVolume(4.6f), 0.025f, 1e-4f);
    EXPECT_FLOAT_EQ(Effects::faintVolume(-8.5f), 1.0f);
    // A record without a range faints all at once instead of dividing by zero.
    Effects::cachePlayerRange(5.0f, 5.0f);
    EXPECT_FLOAT_EQ(Effects::faintVolume(5.0f), 0.0f);
    EXPECT_FLOAT_EQ(Effects::faintVolume(5.01f), 1.0f);
    Effects::cachePlayerRange(6.0f, 4.0f);
    EXPECT_FLOAT_EQ(Effects::faintVolume(6.5f), 1.0f);
    Effects::cachePlayerRange(4.5f, 8.5f);
    Effects::resetFaint();
}

TEST(CanopyDamage, PaintsAtMostEightHolesAfterTheCleanCopyAndNothingWithoutWork)
{
    ScreenDamage::clean(nullptr);
    EXPECT_FALSE(ScreenDamage::render().touched);
    ScreenDamage::addHit();
    ScreenDamage::addHit();
    ScreenDamage::addHit();
    EXPECT_EQ(ScreenDamage::bulletHoles(), 9);
    ScreenDamage::addDust(7);
    ScreenDamage::Painted p = ScreenDamage::render();
    EXPECT_TRUE(p.touched);
    EXPECT_FALSE(p.cleaned);
    EXPECT_EQ(p.bulletHoles, 8);
    EXPECT_EQ(p.dustHoles, 5);
    EXPECT_EQ(ScreenDamage::bulletHoles(), 0);
    EXPECT_FALSE(ScreenDamage::render().touched);

    // A respawn's clean copy goes down before holes of the same frame.
    int marker = 0;
    ScreenDamage::addHit();
    ScreenDamage::clean(reinterpret_cast<const class Texture2D*>(&marker));
    ScreenDamage::addHit();
    p = ScreenDamage::render();
    EXPECT_TRUE(p.cleaned);
    EXPECT_EQ(p.bulletHoles, 3);
    EXPECT_FALSE(ScreenDamage::render().touched);
}

struct Glare : testing::Test {
    void SetUp() override
    {
        EffectScene& s = effectScene();
        Mat4 view, projection;
        mat4Perspective(projection, 1.0f, 1.5f, 1.0f, 100000.0f);
        setEffectCamera({0.0f, 0.0f, 0.0f}, view, projection);   // looking down -z
        SunGlare::load();
        (void)s;
    }
    void TearDown() override { effectScene().hasFrustum = false; }
    static SunGlare::Input sunAt(const Vec3& d)
    {
        SunGlare::Input in;
        in.lightDirection = d;
        return in;
    }
};

TEST_F(Glare, FadesInAndOutInAQuarterSecondWithoutFlareAtTheCentre)
{
    EXPECT_FALSE(SunGlare::hasQuery());   // no device: no query
    Vec3 ahead{0.0f, 0.0001f, -1.0f};
    vec3Normalize(ahead);
    SunGlare::update(sunAt(ahead), 0.125f);
    EXPECT_FLOAT_EQ(SunGlare::visibility(), 0.5f);
    SunGlare::update(sunAt(ahead), 0.125f);
    EXPECT_FLOAT_EQ(SunGlare::visibility(), 1.0f);
    EXPECT_FLOAT_EQ(SunGlare::flareStrength(), 0.0f);   // at the centre
    Vec3 side{0.45f, 0.05f, -1.0f};
    vec3Normalize(side);
    SunGlare::update(sunAt(side), 0.01f);
    EXPECT_GT(SunGlare::flareStrength(), 0.0f);
    Vec3 low{0.45f, -0.05f, -1.0f};   // below the horizon: glow but no flare
    vec3Normalize(low);
    SunGlare::update(sunAt(low), 0.01f);
    EXPECT_FLOAT_EQ(SunGlare::flareStrength(), 0.0f);
    SunGlare::update(sunAt({0.0f, 0.3f, 1.0f}), 0.25f);   // behind the camera
    EXPECT_FLOAT_EQ(SunGlare::visibility(), 0.0f);
    EXPECT_EQ(SunGlare::hidden(), 0);
    EXPECT_FLOAT_EQ(SunGlare::occlusion(), 0.0f);
}

TEST(SpeedStreaksPools, NothingAtOneHundredFullLinesAtTwoHundredAndOnlyInHighDetail)
{
    setEffectQualityOverride(3, true);
    seedRandom(1, 2);
    SpeedStreaks::load({}, 1.5f);
    SpeedStreaks::Input in;
    in.active = true;
    in.speed = 100.0f;
    SpeedStreaks::update(in, 1.0f / 60.0f);
    EXPECT_FLOAT_EQ(SpeedStreaks::lineIntensity(), 0.0f);
    EXPECT_FLOAT_EQ(SpeedStreaks::puffIntensity(), 0.0f);
    in.speed = 200.0f;
    SpeedStreaks::update(in, 1.0f / 60.0f);
    EXPECT_FLOAT_EQ(SpeedStreaks::lineIntensity(), 1.0f);
    for (const auto& p : SpeedStreaks::puffs())
        EXPECT_GE(p.timer, 0.0f);
    for (std::size_t i = 1; i < SpeedStreaks::puffs().size(); ++i)
        EXPECT_LE(SpeedStreaks::puffs()[i - 1].key, SpeedStreaks::puffs()[i].key);
    in.active = false;   // an ended match
    SpeedStreaks::update(in, 1.0f / 60.0f);
    EXPECT_FLOAT_EQ(SpeedStreaks::puffIntensity(), 0.0f);
    setEffectQualityOverride(2, false);
    in.active = true;
    SpeedStreaks::update(in, 1.0f / 60.0f);
    EXPECT_FLOAT_EQ(SpeedStreaks::lineIntensity(), 0.0f);
    setEffectQualityOverride(-1, false);
}

TEST(WeatherPools, IntensityPicksTheCountsAModeChangeFreesAllAndTunnelsStayDry)
{
    seedRandom(7, 8);
    Weather::load(1.5f);
    EXPECT_EQ(Weather::liveCount(), 0);
    Weather::update(1, 0.5f, 1.0f / 60.0f);
    EXPECT_EQ(Weather::liveCount(), Weather::kDrops + Weather::kParticles);
    const Weather::View view{true, false};
    Weather::Drawn d = Weather::render(1, 0.5f, view);
    EXPECT_EQ(d.drops, 32);
    EXPECT_EQ(d.particles, 64);
    EXPECT_EQ(Weather::render(1, 0.5f, {true, true}).drops, 0);    // inside a tunnel
    EXPECT_EQ(Weather::render(1, 0.5f, {false, false}).drops, 0);  // no player plane
    EXPECT_EQ(Weather::render(1, 0.005f, view).drops, 0);
    // Rain to snow: every drop and streak starts over as a flake.
    const float rainWidth = Weather::particles()[0].halfWidth;
    Weather::update(2, 1.0f, 0.0f);
    EXPECT_EQ(Weather::liveCount(), Weather::kDrops + Weather::kParticles);
    const Weather::Particle& flake = Weather::particles()[0];
    EXPECT_FLOAT_EQ(flake.halfWidth, flake.length);
    EXPECT_NE(flake.halfWidth, rainWidth);
    // A drop grows by 1.003 an update while it lives.
    const float w = Weather::drops()[0].width, t = Weather::drops()[0].timer;
    if (t > 0.1f) {
        Weather::update(2, 1.0f, 0.01f);
        EXPECT_NEAR(Weather::drops()[0].width, w * 1.003f, 1e-6f);
    }
}
}  // namespace
