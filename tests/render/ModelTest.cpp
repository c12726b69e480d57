#include "render/assets/Model.h"
#include "render/Renderer.h"

#include "GlmTestFile.h"
#include "platform/File.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

namespace {
std::string asText(const std::vector<std::uint8_t>& bytes)
{
    return std::string(bytes.begin(), bytes.end());
}

// A data root holding the test file under several names; every test uses its
// own names because the model cache lives for the whole run.
struct ModelLoading : testing::Test {
    TempDir root;
    ModelLoading()
    {
        setDataRoot(root.folder());
        root.write("data/models/" + base() + ".glm", asText(writeGlm(makeTestGlm())));
    }
    ~ModelLoading() override { resetRenderGlobals(); }
    std::string base() const
    {
        return std::string("m_") + testing::UnitTest::GetInstance()->current_test_info()->name();
    }
    std::string path(const char* suffix = ".glm") const { return "data/models/" + base() + suffix; }
};

TEST_F(ModelLoading, ObjectZeroKeepsNodesBoundsAndTextures)
{
    Model* model = loadModel(path());
    ASSERT_NE(model, nullptr);
    ASSERT_EQ(model->nodeCount(), 3u);
    EXPECT_EQ(model->node(2)->name, "canopy");
    EXPECT_EQ(model->node(2)->parent, 0);
    EXPECT_EQ(model->node(2)->matrix.m[14], -0.75f);
    EXPECT_EQ(model->node(3), nullptr);
    EXPECT_EQ(model->boundsMax().y, 2.0f);
    EXPECT_EQ(model->radius(), 6.2f);
    EXPECT_EQ(model->size(), 12.0f);
    ASSERT_EQ(model->collisionTriangles().size(), 1u);
    ASSERT_EQ(model->textureNames().size(), 2u);
    EXPECT_EQ(model->textureNames()[1], "data/models/canopy.png");
    EXPECT_EQ(model->node(0)->vertices.size(), 8u);
    EXPECT_EQ(model->node(0)->indices.size(), 36u);
}

TEST_F(ModelLoading, SuffixAddressesObjectKWithItsOwnNodesAndTriangles)
{
    Model* hangar = loadModel(path(".glm_1"));
    ASSERT_NE(hangar, nullptr);
    ASSERT_EQ(hangar->nodeCount(), 1u);
    EXPECT_EQ(hangar->node(0)->name, "hangar");
    EXPECT_EQ(hangar->node(0)->parent, -1);
    EXPECT_EQ(hangar->node(0)->vertices[7].z, 30.0f);
    ASSERT_EQ(hangar->collisionTriangles().size(), 2u);
    EXPECT_EQ(hangar->collisionTriangles()[1].a.z, 30.0f);
    EXPECT_EQ(hangar->boundsMin().x, -20.0f);
}

TEST_F(ModelLoading, SameObjectUnderAnyOfItsNamesIsOneCachedModel)
{
    Model* first = loadModel(path());
    EXPECT_EQ(loadModel(path(".glm_0")), first);
    EXPECT_EQ(loadModel(base() + ".glm"), first);
    EXPECT_NE(loadModel(base() + ".glm_1"), first);
    EXPECT_EQ(modelKey("runway_field.glm_0"), "data/models/runway_field.glm_0");
    EXPECT_EQ(modelKey("data/planes/p51/p51_ful.glm"), "data/planes/p51/p51_ful.glm_0");
}

TEST_F(ModelLoading, BadNamesMissingObjectsAndDamagedFilesGiveNull)
{
    EXPECT_EQ(loadModel(path(".glm_2")), nullptr);
    EXPECT_EQ(loadModel(path(".glm_")), nullptr);
    EXPECT_EQ(loadModel(path(".glm_1x")), nullptr);
    EXPECT_EQ(loadModel(path(".glm_-1")), nullptr);
    EXPECT_EQ(loadModel(path(".pvr")), nullptr);
    EXPECT_EQ(loadModel("data/models/absent.glm"), nullptr);
    EXPECT_EQ(loadModel("../outside.glm"), nullptr);

    std::vector<std::uint8_t> bytes = writeGlm(makeTestGlm());
    bytes.resize(bytes.size() - 2);
    root.write("data/models/cut.glm", asText(bytes));
    EXPECT_EQ(loadModel("data/models/cut.glm"), nullptr);
}

TEST_F(ModelLoading, FailureIsNotCachedSoARepairedFileLoads)
{
    EXPECT_EQ(loadModel("data/models/later.glm"), nullptr);
    root.write("data/models/later.glm", asText(writeGlm(makeTestGlm())));
    EXPECT_NE(loadModel("data/models/later.glm"), nullptr);
}

TEST_F(ModelLoading, NodeLookupByName)
{
    Model* model = loadModel(path());
    ASSERT_NE(model, nullptr);
    const Model::Node* glow = model->findNode("jetglow");
    ASSERT_NE(glow, nullptr);
    EXPECT_TRUE(glow->isHelper());
    EXPECT_EQ(glow->centre.z, 6.5f);
    EXPECT_EQ(model->getNode("canopy"), model->node(2));
    EXPECT_EQ(model->findNodeIndex("canopy"), 2);
    EXPECT_EQ(model->findNode("jet"), nullptr);
    EXPECT_EQ(model->findNode("hangar"), nullptr);
    EXPECT_EQ(model->findNodeIndex("sonic"), -1);
    // Without an upload there is no texture to give.
    EXPECT_EQ(model->firstTexture(), nullptr);
}

TEST_F(ModelLoading, TableLoadsEveryListedModelAndSkipsMissingOnes)
{
    root.write("data/models/test.lst", "# models\n" + base() + ".glm\n\n  " + base() + ".glm_1 \r\nnothing.glm\n");
    EXPECT_EQ(loadAllModels("data/models/test.lst"), 2);
    EXPECT_NE(loadModel(path(".glm_1")), nullptr);
    EXPECT_EQ(loadAllModels("data/models/none.lst"), 0);
}

TEST_F(ModelLoading, FreeCpuDataKeepsWhatLaterUsersRead)
{
    Model* plain = loadModel(path());
    Model* baked = loadModel(path(".glm_1"));
    ASSERT_NE(plain, nullptr);
    ASSERT_NE(baked, nullptr);
    baked->markBakedIntoProps();
    freeModelCpuData();
    // Nothing was uploaded here, so the arrays are the only copy and stay.
    EXPECT_EQ(baked->node(0)->vertices.size(), 8u);
    EXPECT_EQ(plain->findNode("jetglow")->vertices.size(), 8u);
    EXPECT_EQ(baked->collisionTriangles().size(), 2u);
    EXPECT_EQ(plain->collisionTriangles().size(), 1u);
}
}  // namespace
