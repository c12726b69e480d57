#include "render/world/PropsGrid.h"

#include "FakePropWorld.h"

#include <gtest/gtest.h>

#include <limits>

namespace {

struct PropsGridTest : testing::Test {
    FakeBoxShape hangar{{-10, 0, -20}, {10, 15, 20}, "building.pvr"};
    FakeBoxShape crate{{-1, 0, -1}, {1, 2, 1}, "units.pvr", false};
    FakePropWorld world;
    PropsGrid grid;
};

TEST_F(PropsGridTest, PointQueryInsideAndOutsideABox)
{
    world.add(&hangar, {1000, 50, 1000});
    world.add(&hangar, {3000, 0, -2000}, kPi / 2);  // yawed: long side along x
    grid.build(world);
    ASSERT_EQ(grid.propCount(), 2u);
    const auto* p = grid.findPropAtPoint(1005, 1015);
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(p->item, 0u);
    EXPECT_EQ(grid.findPropAtPoint(1011, 1000), nullptr);
    const auto* yawed = grid.findPropAtPoint(3015, -2005);
    ASSERT_NE(yawed, nullptr);
    EXPECT_EQ(yawed->item, 1u);
    EXPECT_EQ(grid.findPropAtPoint(3005, -2015), nullptr);
    EXPECT_EQ(grid.findPropAtPoint(-1e6f, 0), nullptr);       // outside the grid
    EXPECT_FLOAT_EQ(grid.top(), 65.0f);
}

TEST_F(PropsGridTest, HitNeedsTheMeshWithinTheRadius)
{
    world.add(&hangar, {0, 0, 0});
    grid.build(world);
    // Beside the wall at x = 10: a radius just reaching it hits, a smaller one does not.
    EXPECT_NE(grid.findHit({14, 5, 0}, 4.01f), nullptr);
    EXPECT_EQ(grid.findHit({14, 5, 0}, 3.99f), nullptr);
    // Deep inside the closed mesh, far from every wall.
    EXPECT_NE(grid.findHit({0, 7, 0}, 1.0f), nullptr);
    // Above the roof.
    EXPECT_EQ(grid.findHit({0, 20, 0}, 2.0f), nullptr);
    EXPECT_EQ(grid.findHit({1e7f, 5, 0}, 5.0f), nullptr);
    const float nan = std::numeric_limits<float>::quiet_NaN();
    EXPECT_EQ(grid.findHit({nan, 5, 0}, 5.0f), nullptr);
}

TEST_F(PropsGridTest, FirstPropInWorldOrderWinsAcrossCells)
{
    world.add(&crate, {600, 0, 0});    // item 0, in the next cell
    world.add(&crate, {511, 0, 0});    // item 1
    grid.build(world);
    // A sphere reaching both crates over a cell border returns item 0.
    const auto* hit = grid.findHit({555.5f, 1, 0}, 44.6f);
    ASSERT_NE(hit, nullptr);
    EXPECT_EQ(hit->item, 0u);
    // A box without a collision mesh is confirmed by the box alone.
    EXPECT_EQ(grid.findHit({511, 1, 0}, 0.5f)->item, 1u);
}

// An airplane's body passes over what is landed on or rolled over, and still
// meets a building behind it; missiles still meet everything.
TEST_F(PropsGridTest, SolidOnlyPassesOverRunwaysAndFlatPieces)
{
    FakeBoxShape strip{{-20, 0, -200}, {20, 1.5f, 200}, "runway.pvr"};
    FakeBoxShape tunnel{{-15, 0, -50}, {15, 20, 50}, "rock.pvr"};
    world.add(&strip, {0, 0, 0});             // item 0: flat, solid as placed
    PropPlacement bore;                       // item 1: placed as flown through
    bore.shape = &tunnel;
    bore.matrix.m[12] = 500.0f;
    bore.solid = false;
    world.addRaw(bore);
    world.add(&hangar, {0, 0, 0});            // item 2: the same spot as the strip
    grid.build(world);
    ASSERT_EQ(grid.propCount(), 3u);
    EXPECT_EQ(grid.findHit({0, 1, 150}, 2.0f)->item, 0u);
    EXPECT_EQ(grid.findHit({0, 1, 150}, 2.0f, true), nullptr);
    EXPECT_EQ(grid.findHit({0, 7, 0}, 1.0f, true)->item, 2u);
    EXPECT_EQ(grid.findHit({500, 10, 0}, 1.0f)->item, 1u);
    EXPECT_EQ(grid.findHit({500, 10, 0}, 1.0f, true), nullptr);
}

TEST_F(PropsGridTest, BadItemsAreLeftOutAndClearEmpties)
{
    PropPlacement singular;
    singular.shape = &crate;
    singular.matrix.m[0] = 0.0f;
    world.addRaw(singular);
    PropPlacement none;
    world.addRaw(none);
    FakeBoxShape inverted{{1, 1, 1}, {-1, -1, -1}, "x"};
    world.add(&inverted, {0, 0, 0});
    PropPlacement overflowing;  // finite and invertible, but its box lies past the float range
    overflowing.shape = &crate;
    overflowing.matrix.m[0] = 3e38f;
    overflowing.matrix.m[12] = 3e38f;
    world.addRaw(overflowing);
    world.add(&crate, {0, -30, 0});
    grid.build(world);
    ASSERT_EQ(grid.propCount(), 1u);
    EXPECT_EQ(grid.prop(0)->item, 4u);
    EXPECT_EQ(grid.top(), 0.0f);  // below sea level counts as 0
    grid.clear();
    EXPECT_EQ(grid.findPropAtPoint(0, 0), nullptr);
    EXPECT_EQ(grid.findHit({0, -29, 0}, 5.0f), nullptr);
}

TEST_F(PropsGridTest, HugeSpreadKeepsTheGridBounded)
{
    world.add(&crate, {-1e6f, 0, -1e6f});
    world.add(&crate, {1e6f, 0, 1e6f});
    grid.build(world);
    EXPECT_NE(grid.findPropAtPoint(1e6f, 1e6f), nullptr);
    EXPECT_NE(grid.findHit({-1e6f, 1, -1e6f}, 1.0f), nullptr);
}

}  // namespace
