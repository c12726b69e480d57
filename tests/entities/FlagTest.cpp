#include "TestPlanes.h"

#include "entities/aircraft/Airplane.h"
#include "entities/ground/Flag.h"
#include "entities/ground/Road.h"
#include "support/entities/SimHost.h"

#include <gtest/gtest.h>

namespace {
struct Flags : testing::Test {
    PlaneCfg cfg = testFighter();
    SimHost host;
    Flag flag{host, 0};
    Airplane friendly{host, cfg, 0, u""};
    Airplane enemy{host, cfg, 1, u""};

    void SetUp() override { flag.setHome({1000.0f, 100.0f, 1000.0f}); }
};

TEST_F(Flags, NearIsTwoHundredFiftyOnEveryAxis)
{
    EXPECT_EQ(flag.kind(), TargetKind::Flag);
    EXPECT_TRUE(flag.isNear({1250.0f, 350.0f, 750.0f}));
    EXPECT_FALSE(flag.isNear({1250.1f, 100.0f, 1000.0f}));
    EXPECT_FALSE(flag.isNear({1000.0f, -151.0f, 1000.0f}));
}

TEST_F(Flags, AtHomeOnlyAnEnemyTouchesItAndADroppedFlagAnyone)
{
    enemy.setPositionAndStop({1100.0f, 200.0f, 900.0f});
    friendly.setPositionAndStop({1100.0f, 200.0f, 900.0f});
    EXPECT_TRUE(flag.isAtHome(enemy));
    EXPECT_FALSE(flag.isAtHome(friendly));
    enemy.setPositionAndStop({1400.0f, 200.0f, 900.0f});
    EXPECT_FALSE(flag.isAtHome(enemy));

    flag.pickUp(enemy, false);
    EXPECT_EQ(flag.state(), Flag::State::CarriedByEnemy);
    flag.update(0.1f);
    EXPECT_FLOAT_EQ(flag.position().x, 1400.0f);
    EXPECT_FALSE(flag.isTouchable(friendly));
    flag.drop();
    EXPECT_EQ(flag.state(), Flag::State::Dropped);
    friendly.setPositionAndStop({1300.0f, 250.0f, 1000.0f});
    EXPECT_TRUE(flag.isAtHome(friendly));
}

TEST_F(Flags, ReturnHomeClearsCarrierAndTimers)
{
    flag.pickUp(enemy, false);
    flag.outOfBoundsTimer = 0.0f;
    flag.update(2.0f);
    EXPECT_FLOAT_EQ(flag.outOfBoundsTimer, 2.0f);
    flag.returnHome();
    EXPECT_EQ(flag.state(), Flag::State::Home);
    EXPECT_EQ(flag.carrier(), nullptr);
    EXPECT_LT(flag.outOfBoundsTimer, 0.0f);
    flag.update(2.0f);
    EXPECT_LT(flag.outOfBoundsTimer, 0.0f);  // runs only from 0 up
    EXPECT_FLOAT_EQ(flag.position().z, 1000.0f);
}

TEST(Roads, KeepTheirItemAndPath)
{
    Road road(12, {{0.0f, 0.0f, 0.0f}, {100.0f, 0.0f, 0.0f}});
    EXPECT_EQ(road.itemIndex(), 12);
    EXPECT_EQ(road.path().size(), 2u);
}
}  // namespace
