#include "render/world/Props.h"

#include "FakePropWorld.h"
#include "GlmTestFile.h"
#include "render/assets/Model.h"
#include "render/world/ModelPropShape.h"
#include "render/world/PropsGrid.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <limits>
#include <memory>
#include <utility>

namespace {

// Object 0 of the test file: a drawn "body" (units.pvr), a helper and a
// "canopy" (canopy.png) moved by its node matrix.
struct ModelProps : testing::Test {
    void SetUp() override
    {
        model = Model::create("test_props.glm_0", makeTestGlm(), 0, 0, "data/models/");
        ASSERT_NE(model, nullptr);
        shape = std::make_unique<ModelPropShape>(*model);
    }
    void TearDown() override { delete model; }
    Model* model = nullptr;
    std::unique_ptr<ModelPropShape> shape;
    FakePropWorld world;
};

TEST_F(ModelProps, BatchHoldsOnlyItsTexturesPiecesInWorldSpace)
{
    ASSERT_EQ(shape->pieceCount(), 2u);  // the helper is not drawn
    world.add(shape.get(), {100, 0, 0});
    world.add(shape.get(), {0, 0, 200}, kPi / 2);
    allocatePropBuffers();
    const auto canopies = buildProps("canopy.png", world);
    ASSERT_EQ(canopies->chunks().size(), 1u);
    EXPECT_EQ(canopies->vertices().size(), 16u);
    EXPECT_EQ(canopies->indices().size(), 72u);
    // The canopy box runs x -0.5..0.5 in its node, moved by 0.25, then by the item to x = 100.
    EXPECT_NEAR(canopies->vertices()[0].x, 99.75f, 1e-4f);
    EXPECT_NEAR(canopies->vertices()[0].y, 1.5f, 1e-4f);
    // The second item's indices count on from the first's vertices.
    EXPECT_EQ(canopies->indices()[36], canopies->indices()[0] + 8);
    const auto bodies = buildProps("units.pvr", world);
    EXPECT_EQ(bodies->vertices().size(), 16u);
    EXPECT_TRUE(buildProps("vegetati.png", world)->vertices().empty());
    unmapPropBuffers();  // no renderer: the CPU copies stay
    EXPECT_FALSE(bodies->isUploaded());
    drawProps(bodies.get(), 1);  // no renderer: draws nothing, never crashes
    drawProps(nullptr, 1);
}

TEST_F(ModelProps, PiecesWithIndicesPastTheirVerticesAreSkipped)
{
    FakeBoxShape box({0, 0, 0}, {1, 1, 1}, "units.pvr");
    struct BrokenShape : FakeBoxShape {
        using FakeBoxShape::FakeBoxShape;
        PropPiece piece(std::size_t i) const override
        {
            PropPiece p = FakeBoxShape::piece(i);
            p.vertices = p.vertices.first(2);
            return p;
        }
    } broken({0, 0, 0}, {1, 1, 1}, "units.pvr");
    world.add(&broken, {0, 0, 0});
    world.add(&box, {5, 0, 0});
    const auto batch = buildProps("units.pvr", world);
    EXPECT_EQ(batch->vertices().size(), 4u);
    EXPECT_EQ(batch->indices().size(), 6u);
}

// Props are baked square by square: a chunk never spans two squares, and
// its box holds exactly its vertices, so a draw can leave it out by its box.
TEST_F(ModelProps, ChunksHoldOneSquareEachWithTheirBoxes)
{
    FakeBoxShape box({-1, 0, -1}, {1, 2, 1}, "units.pvr");
    world.add(&box, {100, 0, 100});
    world.add(&box, {20000, 0, 100});  // another square, between two of the first
    world.add(&box, {300, 0, 50});
    world.add(&box, {-20000, 0, -20000});
    allocatePropBuffers();
    const auto batch = buildProps("units.pvr", world);
    ASSERT_EQ(batch->chunks().size(), 3u);
    std::size_t vertices = 0;
    for (const PropBatch::Chunk& chunk : batch->chunks()) {
        Vec3 lo{1e30f, 1e30f, 1e30f}, hi{-1e30f, -1e30f, -1e30f};
        for (std::uint32_t i = chunk.firstVertex; i < chunk.firstVertex + chunk.vertexCount; ++i) {
            const PropVertex& v = batch->vertices()[i];
            lo = Vec3{std::min(lo.x, v.x), std::min(lo.y, v.y), std::min(lo.z, v.z)};
            hi = Vec3{std::max(hi.x, v.x), std::max(hi.y, v.y), std::max(hi.z, v.z)};
        }
        EXPECT_EQ(chunk.boundsMin.x, lo.x);
        EXPECT_EQ(chunk.boundsMax.z, hi.z);
        EXPECT_EQ(chunk.boundsMax.y, 2.0f);
        vertices += chunk.vertexCount;
        for (std::uint32_t k = chunk.firstIndex; k < chunk.firstIndex + chunk.indexCount; ++k)
            ASSERT_LT(batch->indices()[k], chunk.vertexCount);
    }
    EXPECT_EQ(vertices, batch->vertices().size());
    // The two items of the first square share one chunk: 99..301 along x.
    const auto shared = std::find_if(batch->chunks().begin(), batch->chunks().end(),
                                     [](const PropBatch::Chunk& c) { return c.boundsMin.x == 99.0f; });
    ASSERT_NE(shared, batch->chunks().end());
    EXPECT_EQ(shared->boundsMax.x, 301.0f);
    // Squares far past any map, or at no number at all, still take their props.
    FakePropWorld odd;
    odd.add(&box, {std::numeric_limits<float>::quiet_NaN(), 0, 0});
    odd.add(&box, {1e30f, 0, -1e30f});
    EXPECT_EQ(buildProps("units.pvr", odd)->chunks().size(), 2u);
}

// A draw keeps the chunks in the view and, at the lower tiers, within reach.
TEST(PropCulling, KeepsWhatIsInViewAndWithinReach)
{
    EXPECT_GT(propReach(0), 0.0f);
    EXPECT_EQ(propReach(1), propReach(0));
    EXPECT_EQ(propReach(2), 0.0f);  // as far as the view goes
    EXPECT_EQ(propReach(3), 0.0f);
    const Vec3 eye{0, 100, 0};
    Mat4 projection;
    mat4Perspective(projection, 0.8f, 1.5f, 2.0f, 50000.0f);
    const WorldView view = WorldView::fromMatrices(eye, lookAtMatrix(eye, Vec3{0, 100, -1000}, Vec3{0, 1, 0}),
                                                   projection);
    auto boxAt = [](float z) { return std::pair{Vec3{-50, 0, z - 50}, Vec3{50, 60, z + 50}}; };
    const auto [aheadMin, aheadMax] = boxAt(-3000.0f);
    const auto [behindMin, behindMax] = boxAt(3000.0f);
    const auto [farMin, farMax] = boxAt(-30000.0f);
    const PropCull all{&view, 0.0f}, near{&view, propReach(0)};
    EXPECT_TRUE(all.keeps(aheadMin, aheadMax));
    EXPECT_FALSE(all.keeps(behindMin, behindMax));
    EXPECT_TRUE(all.keeps(farMin, farMax));
    EXPECT_TRUE(near.keeps(aheadMin, aheadMax));
    EXPECT_FALSE(near.keeps(farMin, farMax));
    EXPECT_FALSE(near.keeps(behindMin, behindMax));
    // The reach counts to the box, not its middle: a box the eye stands in is kept.
    EXPECT_TRUE((PropCull{&view, 10.0f}.keeps(Vec3{-5000, 0, -5000}, Vec3{5000, 200, 5000})));
    // Without a view every chunk is drawn (the shadow map's depth).
    EXPECT_TRUE(PropCull{}.keeps(behindMin, behindMax));
}

TEST_F(ModelProps, GridUsesTheModelsCollisionTriangles)
{
    world.add(shape.get(), {0, 0, 0});
    PropsGrid grid;
    grid.build(world);
    ASSERT_EQ(grid.propCount(), 1u);
    EXPECT_FLOAT_EQ(grid.top(), 2.0f);
    // The one collision triangle lies in the plane z = -6 across x -1..1.
    EXPECT_NE(grid.findHit({0.5f, -0.5f, -6.5f}, 0.6f), nullptr);
    EXPECT_EQ(grid.findHit({0.0f, 0.0f, 0.0f}, 0.5f), nullptr);  // inside the box, no mesh there
    EXPECT_NE(grid.findPropAtPoint(0.5f, 5.0f), nullptr);
}

}  // namespace
