#include "render/world/Props.h"

#include "FakePropWorld.h"
#include "GlmTestFile.h"
#include "render/assets/Model.h"
#include "render/world/ModelPropShape.h"
#include "render/world/PropsGrid.h"

#include <gtest/gtest.h>

#include <memory>

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
