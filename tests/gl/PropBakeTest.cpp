#include "render/world/Props.h"

#include "GlTestContext.h"
#include "platform/File.h"
#include "render/FakePropWorld.h"
#include "render/GlmTestFile.h"
#include "render/assets/Model.h"
#include "render/world/ModelPropShape.h"
#include "support/TempDir.h"

#include <filesystem>

namespace {

std::size_t nodeVertexCount(const Model& model)
{
    std::size_t count = 0;
    for (std::size_t i = 0; i < model.nodeCount(); ++i)
        count += model.node(i)->vertices.size() + model.node(i)->indices.size();
    return count;
}

// The test model file in a temporary data root: object 1 is the hangar (one
// "units.pvr" box, two collision triangles), object 0 the plane.
struct PropBakeGl : GlTest {
    TempDir root;
    void SetUp() override
    {
        GlTest::SetUp();
        if (IsSkipped())
            return;
        setDataRoot(root.folder());
        const std::vector<std::uint8_t> bytes = writeGlm(makeTestGlm());
        for (const char* name : {"data/models/props.glm", "data/models/spare.glm"})
            root.write(name, std::string(bytes.begin(), bytes.end()));
    }
};

TEST_F(PropBakeGl, FreeDropsTheBakedModelsArraysAndTheNextBakeReadsThemBack)
{
    Model* hangar = loadModel("props.glm_1");
    Model* plane = loadModel("props.glm_0", kModelKeepCpuData);
    Model* spare = loadModel("spare.glm_1");
    ASSERT_TRUE(hangar && plane && spare);
    ASSERT_TRUE(hangar->isUploaded());
    ModelPropShape hangarShape(*hangar), planeShape(*plane);
    FakePropWorld world;
    world.add(&hangarShape, {0, 0, 0});
    world.add(&planeShape, {100, 0, 0});

    allocatePropBuffers();
    const auto batch = buildProps("units.pvr", world);
    const std::size_t bakedVertices = batch->vertices().size();
    EXPECT_EQ(bakedVertices, 16u);  // the hangar box and the plane's body
    EXPECT_TRUE(hangar->isBakedIntoProps());
    EXPECT_FALSE(spare->isBakedIntoProps());
    unmapPropBuffers();
    freeModelCpuData();
    EXPECT_EQ(nodeVertexCount(*hangar), 0u);
    EXPECT_EQ(hangar->collisionTriangles().size(), 2u) << "the props grid still needs them";
    EXPECT_GT(nodeVertexCount(*plane), 0u) << "loaded to be kept";
    EXPECT_GT(nodeVertexCount(*spare), 0u) << "never baked";

    // The menu entered again bakes the same world once more.
    allocatePropBuffers();
    const auto again = buildProps("units.pvr", world);
    EXPECT_EQ(again->vertices().size(), bakedVertices);
    unmapPropBuffers();
    freeModelCpuData();

    // With its file gone the hangar bakes nothing, and nothing breaks.
    std::filesystem::remove(root.path() / "data/models/props.glm");
    FakePropWorld hangarOnly;
    hangarOnly.add(&hangarShape, {0, 0, 0});
    allocatePropBuffers();
    const auto without = buildProps("units.pvr", hangarOnly);
    EXPECT_TRUE(without->vertices().empty());
    unmapPropBuffers();
}

}  // namespace
