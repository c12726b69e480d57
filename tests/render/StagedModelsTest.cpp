#include "render/assets/Model.h"
#include "render/Renderer.h"

#include "platform/File.h"

#include <gtest/gtest.h>

namespace {
// The models the data tool writes, read back through the game's loader.
struct StagedModels : testing::Test {
    StagedModels() { setDataRoot(SKYFRONT_STAGE_DIR); }
    ~StagedModels() override { resetRenderGlobals(); }
};

TEST_F(StagedModels, TableLoadsEveryModel)
{
    EXPECT_EQ(loadAllModels(), 5);
    for (const char* name : {"fighter_jet.glm", "army_truck.glm", "destroyer.glm", "airbase.glm_0", "airbase.glm_1"}) {
        const Model* model = loadModel(name);
        ASSERT_NE(model, nullptr) << name;
        EXPECT_GT(model->collisionTriangles().size(), 10u) << name;
        EXPECT_GT(model->radius(), 0.0f) << name;
    }
    EXPECT_EQ(loadModel("airbase.glm_1")->node(0)->name, "tower");
}

TEST_F(StagedModels, AircraftHasTheNodesItsEffectsLookUp)
{
    const Model* jet = loadModel("fighter_jet.glm", kModelKeepCpuData);
    ASSERT_NE(jet, nullptr);
    for (const char* name : {"jet", "jetcore", "jetglow", "steamu", "steamd", "cobra", "sonic", "contrail"}) {
        const Model::Node* node = jet->findNode(name);
        ASSERT_NE(node, nullptr) << name;
        EXPECT_TRUE(node->isHelper()) << name;
        EXPECT_FALSE(node->vertices.empty()) << name;
    }
    for (const char* name : {"body", "canopy", "wing_l", "wing_r", "tail"})
        EXPECT_FALSE(jet->findNode(name)->isHelper()) << name;
    // The flame starts at the nozzle exit and trails behind (the nose is -z).
    const Model::Node* flame = jet->findNode("jet");
    EXPECT_NEAR(flame->centre.z - flame->radius, 8.1f, 1e-4f);
    EXPECT_NEAR(2.0f * flame->radius, 4.0f, 1e-4f);
    EXPECT_LT(jet->boundsMin().z, -7.5f);
    EXPECT_GT(jet->findNode("jetglow")->centre.x, 0.0f);
    EXPECT_NE(jet->loadFlags() & kModelKeepCpuData, 0u);
}
}  // namespace
