#include "TestPlanes.h"

#include "entities/aircraft/Airplane.h"
#include "entities/aircraft/Steering.h"
#include "entities/ground/Runway.h"
#include "entities/ground/Tunnel.h"
#include "support/entities/SimHost.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>

namespace {
constexpr Vec3 kHalf{25.0f, 20.0f, 800.0f};

struct Runways : testing::Test {
    PlaneCfg cfg = testFighter();
    SimHost host;
    Runway* runway = nullptr;
    Airplane* plane = nullptr;

    void SetUp() override
    {
        runway = &host.addRunway({0.0f, 0.0f, 0.0f}, 0.0f, kHalf);
        plane = host.add(Target::create<Airplane>(host, cfg, 0, std::u16string(u"Pilot")));
        host.setPlayer(plane);
    }
    float groundLevel() const { return plane->flightParams().groundOffset; }
    void standOnRunway()
    {
        plane->setPositionAndStop({0.0f, groundLevel(), 700.0f});
        plane->resetForRespawn();
        plane->setLanded(runway);
        plane->setSpeed(0.0f);
        plane->setThrottleForSpeed(0.0f);
        plane->setThrottleSetting(0.0f);
    }
    // A 3-degree approach from behind the runway, a flare, then the brakes.
    void approachAndLand(float x)
    {
        const float speed = cfg.pStallSpeed + 45.0f;
        plane->setPositionAndStop({x, groundLevel() + 4000.0f * std::tan(0.0523599f), 4600.0f});
        plane->resetForRespawn();
        plane->setOrientation(quatFromEuler(0.0f, -0.0523599f, 0.0f));
        plane->setSpeed(speed);
        plane->setThrottleForSpeed(speed);
        plane->setThrottleSetting(plane->throttleCommand());
        for (int frame = 0; frame < 60 * 90 && plane->lifeState() == LifeState::Alive; ++frame) {
            if (plane->isLanded()) {
                plane->setControlVector({});
                plane->setThrottleCommand(-1.0f);
            } else if (plane->position().y - groundLevel() > 12.0f) {
                plane->setControlVector(steerInputs(plane->orientation(), Vec3{x, 0.0f, 600.0f} - plane->position()));
            } else {
                plane->setControlVector(levelInputs(plane->orientation(), -0.015f));
                plane->setThrottleForSpeed(cfg.pStallSpeed * 1.15f);
            }
            host.step(1.0f / 60.0f);
        }
    }
};

TEST_F(Runways, ThrottleAtZeroHoldsTheAirplaneStill)
{
    standOnRunway();
    for (int i = 0; i < 180; ++i)
        host.step(1.0f / 60.0f);
    EXPECT_EQ(plane->speed(), 0.0f);
    EXPECT_TRUE(plane->isLanded());
    EXPECT_EQ(plane->runway(), runway);
}

TEST_F(Runways, TakeOffClimbsToFiveHundredAndLeavesTheRunway)
{
    standOnRunway();
    plane->setThrottleCommand(1.0f);
    for (int i = 0; i < 60 * 60 && plane->position().y < 500.0f; ++i) {
        plane->setControlVector(plane->speed() > cfg.pStallSpeed * 1.2f ? levelInputs(plane->orientation(), 0.2f)
                                                                       : Vec3{});
        host.step(1.0f / 60.0f);
    }
    EXPECT_GE(plane->position().y, 500.0f);
    EXPECT_FALSE(plane->isLanded());
    EXPECT_EQ(plane->runway(), nullptr);
    EXPECT_EQ(std::count(host.events.begin(), host.events.end(), Airplane::kEventTookOff), 1);
    EXPECT_FALSE(host.crashed(*plane));
}

TEST_F(Runways, NoLiftOffBelowTheStallSpeedWhateverTheStick)
{
    standOnRunway();
    plane->setThrottleForSpeed(cfg.pStallSpeed * 0.8f);
    plane->setControlVector({1.0f, 0.0f, 0.0f});
    for (int i = 0; i < 60 * 10; ++i)
        host.step(1.0f / 60.0f);
    EXPECT_TRUE(plane->isLanded());
    EXPECT_NEAR(plane->position().y, groundLevel(), 1e-3f);
}

TEST_F(Runways, LandingOnTheRunwayStopsAtExactlyZeroWithTheLinkSet)
{
    approachAndLand(0.0f);
    EXPECT_FALSE(host.crashed(*plane));
    EXPECT_TRUE(plane->isLanded());
    EXPECT_EQ(plane->speed(), 0.0f);
    EXPECT_EQ(plane->runway(), runway);
    EXPECT_EQ(std::count(host.events.begin(), host.events.end(), Airplane::kEventLanded), 1);
}

TEST_F(Runways, SameTouchDownOffTheRunwayIsAGroundCrash)
{
    approachAndLand(3000.0f);
    ASSERT_TRUE(host.crashed(*plane));
    EXPECT_EQ(host.crashes.front().cause, CrashCause::Ground);
    EXPECT_FALSE(plane->isLanded());
    EXPECT_EQ(plane->lifeState(), LifeState::Destroyed);
}

TEST_F(Runways, LandedAirplaneRefusesGroundCrashesOnly)
{
    standOnRunway();
    EXPECT_FALSE(plane->acceptsCrashCause(CrashCause::Ground));
    EXPECT_TRUE(plane->acceptsCrashCause(CrashCause::Collision));
    plane->setLanded(nullptr);
    EXPECT_TRUE(plane->acceptsCrashCause(CrashCause::Ground));
}

TEST_F(Runways, ApproachLampLightsOnTheGlidePathOnly)
{
    plane->setPositionAndStop({0.0f, 3000.0f * std::tan(0.0523599f), 3000.0f});
    plane->resetForRespawn();
    host.step(1.0f / 60.0f);
    EXPECT_TRUE(plane->approachLamp());
    EXPECT_NEAR(plane->approachLampA(), 1.0f - 3000.0f / 5000.0f, 0.02f);
    EXPECT_GT(plane->approachLampB(), 0.9f);

    plane->setOrientation(quatFromEuler(kPi / 2.0f, 0.0f, 0.0f));  // across the runway
    host.step(1.0f / 60.0f);
    EXPECT_FALSE(plane->approachLamp());

    plane->setPositionAndStop({0.0f, 2000.0f, 3000.0f});  // above the ceiling
    plane->setOrientation(Quat{});
    host.step(1.0f / 60.0f);
    EXPECT_FALSE(plane->approachLamp());
}

// The maps' runway model is long along its own x: its runway runs across the
// heading, and the lamp lights on an approach along the strip, not across it.
TEST(RunwayAxis, ARunwayLongInItsXRunsAcrossItsHeading)
{
    SimHost host;
    Runway& strip = host.addRunway({0.0f, 0.0f, 0.0f}, 0.0f, {800.0f, 20.0f, 25.0f});
    EXPECT_NEAR(std::fabs(strip.direction().x), 1.0f, 1e-5f);
    EXPECT_TRUE(strip.contains({700.0f, 0.0f, 0.0f}, 5.0f));
    EXPECT_FALSE(strip.contains({0.0f, 0.0f, 700.0f}, 5.0f));

    PlaneCfg cfg = testFighter();
    Airplane* plane = host.add(Target::create<Airplane>(host, cfg, 0, std::u16string(u"Pilot")));
    host.setPlayer(plane);
    plane->setPositionAndStop({3000.0f, 3000.0f * std::tan(0.0523599f), 0.0f});
    plane->resetForRespawn();
    plane->setOrientation(quatFromEuler(kPi / 2.0f, 0.0f, 0.0f));  // along the strip
    host.step(1.0f / 60.0f);
    EXPECT_TRUE(plane->approachLamp());
    plane->setOrientation(Quat{});  // across it
    host.step(1.0f / 60.0f);
    EXPECT_FALSE(plane->approachLamp());
}

TEST(Tunnels, BoreShieldsFromTheGroundAndCountsTheFlyThrough)
{
    SimHost host;
    PlaneCfg cfg = testFighter();
    Mat4 placement = mat4FromQuatPosition(Quat{}, {0.0f, 20.0f, -200.0f});
    Tunnel& tunnel = host.addTunnel(placement, {30.0f, 20.0f, 150.0f}, 150.0f);
    EXPECT_EQ(tunnel.kind(), TargetKind::Tunnel);
    EXPECT_EQ(tunnel.team(), kTeamNone);
    EXPECT_FLOAT_EQ(tunnel.radius(), 300.0f);
    EXPECT_TRUE(tunnel.ownHitCheck({0.0f, 20.0f, -200.0f}, 8.0f));
    EXPECT_FALSE(tunnel.ownHitCheck({25.0f, 20.0f, -200.0f}, 8.0f));
    EXPECT_FALSE(tunnel.ownHitCheck({0.0f, 20.0f, -400.0f}, 8.0f));

    Airplane* plane = host.add(Target::create<Airplane>(host, cfg, 0, std::u16string()));
    host.setPlayer(plane);
    plane->setPositionAndStop({0.0f, 20.0f, -20.0f});
    plane->resetForRespawn();
    plane->setSpeed(cfg.pCruiseSpeed);
    host.heightFunction = [](float, float z) { return z < -60.0f && z > -340.0f ? 60.0f : 0.0f; };
    for (int i = 0; i < 30; ++i)
        host.step(1.0f / 60.0f);
    EXPECT_EQ(plane->containingTarget(), &tunnel);
    EXPECT_FALSE(plane->acceptsCrashCause(CrashCause::Ground));
    EXPECT_FALSE(host.crashed(*plane));
    EXPECT_EQ(std::count(host.events.begin(), host.events.end(), Airplane::kEventTunnel), 1);
}
}  // namespace

namespace {
TEST(RunwayList, ARemovedRunwayLeavesTheAirfieldsAndIsForgottenByItsAirplanes)
{
    PlaneCfg cfg = testFighter();
    SimHost host;
    const std::size_t before = Runway::airfields().size();
    auto field = std::make_unique<Runway>(host, Vec3{0.0f, 0.0f, 0.0f}, 0.0f, kHalf);
    auto other = std::make_unique<Runway>(host, Vec3{5000.0f, 0.0f, 0.0f}, 0.0f, kHalf);
    ASSERT_EQ(Runway::airfields().size(), before + 2);
    auto parked = Target::create<Airplane>(host, cfg, 0, std::u16string(u"a"));
    auto elsewhere = Target::create<Airplane>(host, cfg, 0, std::u16string(u"b"));
    parked->setLanded(field.get());
    elsewhere->setLanded(other.get());
    ASSERT_EQ(field->landedAirplanes().size(), 1u);

    field.reset();
    EXPECT_EQ(Runway::airfields().size(), before + 1);
    EXPECT_EQ(parked->runway(), nullptr);
    EXPECT_EQ(elsewhere->runway(), other.get());

    // An airplane that goes first leaves no dangling entry on its runway.
    elsewhere.reset();
    EXPECT_TRUE(other->landedAirplanes().empty());
    other.reset();
    EXPECT_EQ(Runway::airfields().size(), before);
}
}  // namespace
