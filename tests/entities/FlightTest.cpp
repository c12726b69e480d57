#include "TestPlanes.h"

#include "entities/aircraft/Airplane.h"
#include "entities/aircraft/Steering.h"
#include "support/entities/FlightScenarios.h"
#include "support/entities/SimHost.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {
struct Flight : testing::Test {
    PlaneCfg cfg = testFighter();
    SimHost host;
    Airplane* plane = nullptr;

    void SetUp() override
    {
        plane = host.add(Target::create<Airplane>(host, cfg, 0, std::u16string(u"Pilot")));
        ASSERT_NE(plane, nullptr);
        host.setPlayer(plane);
        plane->setPositionAndStop({0.0f, 3000.0f, 0.0f});
        plane->resetForRespawn();
    }
    void cruise(float speed)
    {
        plane->setSpeed(speed);
        plane->setThrottleForSpeed(speed);
        plane->setThrottleSetting(plane->throttleCommand());
    }
    template <typename Pilot>
    float fly(float seconds, Pilot&& pilot, float dt = 1.0f / 60.0f)
    {
        int frame = 0;
        float t = 0.0f;
        while (t < seconds) {
            if (pilot(t))
                return t;
            host.step(dt);
            t = float(++frame) * dt;
        }
        return t;
    }
};

TEST_F(Flight, LevelFlightAtCruiseHoldsHeightForAMinute)
{
    cruise(cfg.pCruiseSpeed);
    float drift = 0.0f;
    fly(60.0f, [&](float) {
        drift = std::max(drift, std::fabs(plane->position().y - 3000.0f));
        return false;
    });
    EXPECT_LE(drift, 30.0f);
    EXPECT_NEAR(plane->speed(), cfg.pCruiseSpeed, 1.0f);
}

TEST_F(Flight, ThrottleForSpeedFollowsTheRecordAndClamps)
{
    plane->setThrottleForSpeed(cfg.pMinSpeed + 0.5f * cfg.pSpeedSpan);
    EXPECT_FLOAT_EQ(plane->throttleCommand(), 0.5f);
    plane->setThrottleForSpeed(900.0f);
    EXPECT_FLOAT_EQ(plane->throttleCommand(), 1.0f);
    plane->setThrottleForSpeed(-500.0f);
    EXPECT_FLOAT_EQ(plane->throttleCommand(), -1.0f);
    plane->setThrottleForSpeed(0.0f);
    EXPECT_NEAR(plane->throttleCommand(), (0.0f - 107.0f) / 108.0f, 1e-6f);

    for (float goal : {80.0f, 150.0f, 200.0f}) {
        cruise(cfg.pCruiseSpeed);
        plane->setThrottleForSpeed(goal);
        fly(40.0f, [&](float) {
            plane->setControlVector(levelInputs(plane->orientation(), 0.0f));
            return false;
        });
        EXPECT_NEAR(plane->speed(), goal, goal * 0.02f) << goal;
    }
}

TEST_F(Flight, EngineOffNoseUpStallsBelowFifteenAndFullThrottleRecovers)
{
    cruise(cfg.pCruiseSpeed);
    plane->setThrottleForSpeed(0.0f);
    const float stallTime = fly(30.0f, [&](float) {
        plane->setControlVector(levelInputs(plane->orientation(), 0.6f));
        return plane->speed() < 15.0f;
    });
    ASSERT_LT(plane->speed(), 15.0f);
    EXPECT_LT(stallTime, 30.0f);
    EXPECT_GT(plane->position().y, 3000.0f);

    plane->setThrottleCommand(1.0f);
    const float recovery = fly(10.0f, [&](float) {
        plane->setControlVector(levelInputs(plane->orientation(), 0.05f));
        return plane->forward().y >= -0.1f && plane->speed() > cfg.pStallSpeed * 1.1f;
    });
    EXPECT_LT(recovery, 10.0f);
}

TEST_F(Flight, SameManoeuvreEndsInTheSamePlaceAtEveryFrameRate)
{
    auto flyAt = [&](float dt) {
        SimHost h;
        Airplane* p = h.add(Target::create<Airplane>(h, cfg, 0, std::u16string()));
        p->setPositionAndStop({0.0f, 3000.0f, 0.0f});
        p->resetForRespawn();
        p->setSpeed(cfg.pCruiseSpeed);
        for (int frame = 0; float(frame) * dt < 10.0f; ++frame) {
            const float t = float(frame) * dt;
            p->setControlVector(t < 3.0f ? Vec3{0.7f, 0.2f, 0.4f} : Vec3{-0.2f, -0.6f, 0.0f});
            h.step(dt);
        }
        return p->position();
    };
    const Vec3 slow = flyAt(1.0f / 30.0f);
    const Vec3 fast = flyAt(1.0f / 144.0f);
    // 10 s of flight covers more than 1500 units: 1 % of it is 15.
    EXPECT_LT(vec3Length(slow - fast), 15.0f);
}

TEST_F(Flight, InputSignsMatchTheHudAndTheAi)
{
    cruise(cfg.pCruiseSpeed);
    plane->setControlVector({0.0f, 1.0f, 0.0f});  // yaw left
    fly(0.5f, [](float) { return false; });
    EXPECT_GT(plane->headingVector().y, 0.0f);
    EXPECT_GT(plane->headingAngle(), 0.0f);

    plane->resetForRespawn();
    cruise(cfg.pCruiseSpeed);
    plane->setControlVector({0.0f, 0.0f, -1.0f});  // roll right
    fly(0.2f, [](float) { return false; });
    EXPECT_LT(plane->bankValue(), 0.0f);
    // Roll input := minus the bank value levels the wings.
    fly(3.0f, [&](float) {
        plane->setControlVector({0.0f, 0.0f, -plane->bankValue()});
        return false;
    });
    EXPECT_NEAR(plane->bankValue(), 0.0f, 0.02f);

    plane->resetForRespawn();
    cruise(cfg.pCruiseSpeed);
    fly(1.0f, [](float) { return false; });
    EXPECT_LT(std::fabs(plane->loadVector().x), 0.1f);
    plane->setControlVector({1.0f, 0.0f, 0.0f});
    fly(0.3f, [](float) { return false; });
    EXPECT_GT(plane->forward().y, 0.0f);
    EXPECT_GT(plane->loadVector().x, 0.5f);
}

TEST_F(Flight, ArcadeTurnInputBanksAndTurnsAndLevelsItself)
{
    cruise(cfg.pCruiseSpeed);
    plane->setControlType(ControlType::Arcade);
    plane->setControlVector({0.0f, 1.0f, 0.0f});
    fly(2.0f, [](float) { return false; });
    EXPECT_GT(plane->bankValue(), 0.5f);
    EXPECT_GT(plane->headingAngle(), 0.3f);
    EXPECT_NEAR(plane->position().y, 3000.0f, 30.0f);
    plane->setControlVector({});
    fly(3.0f, [](float) { return false; });
    EXPECT_NEAR(plane->bankValue(), 0.0f, 0.05f);
}

TEST_F(Flight, MouseSteeringTurnsTowardTheAim)
{
    cruise(cfg.pCruiseSpeed);
    plane->setControlType(ControlType::Mouse);
    plane->setAimDirection({-1.0f, 0.0f, -0.2f});
    fly(6.0f, [](float) { return false; });
    EXPECT_LT(plane->forward().x, -0.8f);
    EXPECT_NEAR(plane->position().y, 3000.0f, 150.0f);
}

TEST_F(Flight, BoostDrainsItsReserveAndEndsOnCommand)
{
    cruise(cfg.pCruiseSpeed);
    plane->setThrottleCommand(1.0f);
    plane->setCommandValue(true);
    fly(3.0f, [](float) { return false; });
    EXPECT_TRUE(plane->isBoosting());
    EXPECT_NEAR(plane->boostReserve(), plane->boostCapacity() - 3.0f, 0.05f);
    EXPECT_GT(plane->speed(), cfg.pMinSpeed + cfg.pSpeedSpan);
    plane->setCommandValue(false);
    fly(0.1f, [](float) { return false; });
    EXPECT_FALSE(plane->isBoosting());
}

TEST(FlightScenarios, EveryScenarioPassesForTheTestPlanes)
{
    for (const PlaneCfg& cfg : {testFighter(), testJet()})
        for (const Scenario& s : flightScenarios()) {
            const ScenarioResult r = s.run(cfg);
            EXPECT_TRUE(r.pass) << cfg.name << " " << r.name << ": " << r.measured;
        }
}
}  // namespace
