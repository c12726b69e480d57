#include "render/assets/Model.h"
#include "render/Renderer.h"
#include "render/assets/PvrFormat.h"

#include "platform/File.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace {
// The models the data tool writes, read back through the game's loader.
struct StagedModels : testing::Test {
    StagedModels() { setDataRoot(SKYFRONT_STAGE_DIR); }
    ~StagedModels() override { resetRenderGlobals(); }
};

TEST_F(StagedModels, TableLoadsEveryModel)
{
    EXPECT_EQ(loadAllModels(), 10);
    for (const char* name : {"fighter_jet.glm", "army_truck.glm", "destroyer.glm", "airbase.glm_0", "airbase.glm_1",
                             "tank.glm", "flakgun.glm", "bridge.glm", "cargoship.glm", "bunker.glm"}) {
        const Model* model = loadModel(name);
        ASSERT_NE(model, nullptr) << name;
        EXPECT_GT(model->collisionTriangles().size(), 10u) << name;
        EXPECT_GT(model->radius(), 0.0f) << name;
    }
    EXPECT_EQ(loadModel("airbase.glm_1")->node(0)->name, "tower");
}

TEST_F(StagedModels, EveryAircraftFamilyHasItsPartsAndAnEngine)
{
    for (const char* family : {"p51", "spitfire", "bf109", "zero", "corsair", "il2", "me262", "f86", "mig15", "mig21",
                               "f4", "f16", "a10", "su25"}) {
        const std::string file = std::string("data/planes/") + family + "/" + family + "_ful.glm";
        const Model* plane = loadModel(file);
        ASSERT_NE(plane, nullptr) << file;
        for (const char* name : {"body", "canopy", "wing_l", "wing_r", "tail"})
            EXPECT_NE(plane->findNode(name), nullptr) << file << " " << name;
        EXPECT_TRUE(plane->findNode("propeller") || plane->findNode("jet")) << file;
        // Nose to -z, wings wider than the fuselage is long is no aircraft of ours.
        EXPECT_LT(plane->boundsMin().z, -3.0f) << file;
        EXPECT_GT(plane->boundsMax().x, 3.0f) << file;
        EXPECT_GT(plane->collisionTriangles().size(), 50u) << file;
    }
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

// The detail texture is tiled across the ground: its right edge meets its
// left and its bottom its top, so a seam would show as a grid over the land.
TEST(StagedTextures, TiledDetailTextureHasNoSeam)
{
    auto file = FileDisk::open(std::string(SKYFRONT_STAGE_DIR) + "/data/terrain/detail.pvr", "rb");
    ASSERT_TRUE(file);
    std::vector<std::uint8_t> bytes;
    ASSERT_TRUE(file->readAll(bytes));
    TextureImage image;
    ASSERT_TRUE(decodePvr(bytes, image));
    ASSERT_EQ(image.format, TextureFormat::Luminance8);
    const int w = image.width, h = image.height;
    const auto at = [&](int x, int y) { return static_cast<int>(image.levels[0][static_cast<std::size_t>(y * w + x)]); };
    // Mean step between neighbouring texels inside, and across each wrap.
    double inside = 0.0, acrossX = 0.0, acrossY = 0.0;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x + 1 < w; ++x)
            inside += std::abs(at(x + 1, y) - at(x, y));
    inside /= static_cast<double>(h) * (w - 1);
    for (int y = 0; y < h; ++y)
        acrossX += std::abs(at(0, y) - at(w - 1, y));
    for (int x = 0; x < w; ++x)
        acrossY += std::abs(at(x, 0) - at(x, h - 1));
    EXPECT_GT(inside, 0.5);   // there is grain to compare
    EXPECT_LT(acrossX / h, 2.0 * inside);
    EXPECT_LT(acrossY / w, 2.0 * inside);
}
