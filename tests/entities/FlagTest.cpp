#include "TestPlanes.h"

#include "entities/aircraft/Airplane.h"
#include "entities/ground/Flag.h"
#include "entities/ground/Road.h"
#include "support/entities/SimHost.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

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

TEST(Roads, TheRibbonFollowsThePathAndSkipsBadPoints)
{
    const float nan = std::numeric_limits<float>::quiet_NaN();
    Road road(3, {{0.0f, 5.0f, 0.0f}, {0.0f, 5.0f, 0.0f}, {nan, 0.0f, 0.0f}, {100.0f, 5.0f, 0.0f}, {100.0f, 5.0f, 100.0f}});
    road.update(0.016f);
    const std::vector<GlmVertex>& ribbon = road.ribbon();
    ASSERT_EQ(ribbon.size(), 6u) << "two edges for each of the three usable points";
    // Across the first leg (along +x) the edges lie a road width apart in z, above the path.
    EXPECT_NEAR(std::fabs(ribbon[0].z - ribbon[1].z), Road::kWidth, 1e-3f);
    EXPECT_NEAR(ribbon[0].y, 5.0f + Road::kLift, 1e-4f);
    for (const GlmVertex& v : ribbon)
        EXPECT_TRUE(std::isfinite(v.x) && std::isfinite(v.z));
    road.setPath({{0.0f, 0.0f, 0.0f}});
    road.update(0.016f);
    EXPECT_TRUE(road.ribbon().empty()) << "one point makes no road";
    road.draw(DrawView{});  // no renderer here: nothing happens
}
}  // namespace

namespace {
TEST_F(Flags, TheClothStaysFiniteAndOnItsCarrierWhileItTurns)
{
    Flag::buildClothMesh();
    enemy.setPositionAndStop({0.0f, 800.0f, 0.0f});
    enemy.setSpeed(250.0f);
    flag.pickUp(enemy, false);
    Quat q;
    for (int frame = 0; frame < 600; ++frame) {
        // A hard, endless turn with a roll: the wind swings all the way round.
        const float heading = frame * 0.05f;
        q = quatFromEuler(heading, 0.2f * std::sin(frame * 0.1f), 1.2f);
        enemy.setOrientation(q);
        enemy.setSpeed(frame % 200 == 0 ? 0.0f : 250.0f);
        flag.update(1.0f / 60.0f);
        flag.updateVisual(frame == 300 ? 1e9f : 1.0f / 60.0f);
        const std::vector<Vec3>& cloth = flag.clothPoints();
        ASSERT_EQ(cloth.size(), std::size_t{Flag::kClothColumns * Flag::kClothRows});
        const Vec3 anchor = flag.attachment();
        for (const Vec3& p : cloth) {
            ASSERT_TRUE(std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.z)) << frame;
            ASSERT_LE(vec3Length(p - anchor), Flag::kClothLength + Flag::kClothHeight + 10.0f) << frame;
        }
        // The pole column hangs straight down from the attachment.
        for (int row = 0; row < Flag::kClothRows; ++row) {
            const Vec3& p = cloth[static_cast<std::size_t>(row)];
            ASSERT_NEAR(p.x, anchor.x, 1e-3f);
            ASSERT_NEAR(p.z, anchor.z, 1e-3f);
        }
    }
    // Dropped and at rest it hangs from its pole top.
    flag.drop();
    flag.updateVisual(0.1f);
    EXPECT_NEAR(flag.attachment().y, flag.position().y + Flag::kPoleHeight, 1e-3f);
    flag.updateVisual(std::numeric_limits<float>::quiet_NaN());
    EXPECT_TRUE(std::isfinite(flag.clothPoints().back().x));
}
}  // namespace
