#include "render/assets/GlmFormat.h"
#include "render/gl/GraphicsES20Extensions.h"
#include "render/assets/Model.h"
#include "render/assets/ModelBuffers.h"
#include "render/fx/PostProcess.h"

#include "GlTestContext.h"
#include "platform/File.h"
#include "render/GlmTestFile.h"
#include "support/TempDir.h"

#include <cmath>

namespace {
std::string asText(const std::vector<std::uint8_t>& bytes)
{
    return std::string(bytes.begin(), bytes.end());
}

Mat4 translation(float x, float y, float z)
{
    Mat4 m;
    mat4Translate(m, x, y, z);
    return m;
}

// A unit cube model in a temporary data root, drawn under an orthographic
// projection (x and y in -1..1 unscaled, depth over 100000 units) with the
// extension programs loaded.
struct ModelGl : GlTest {
    TempDir root;
    GraphicsES20Extensions* extensions = nullptr;
    Model* cube = nullptr;

    void SetUp() override
    {
        GlTest::SetUp();
        if (IsSkipped())
            return;
        extensions = new GraphicsES20Extensions(gfx());
        ASSERT_TRUE(extensions->load()) << extensions->error();
        setGraphicsExtensions(extensions);
        setDataRoot(root.folder());
        root.write("data/models/cube.glm", asText(writeGlm(makeCubeGlm())));
        cube = loadModel("cube.glm");
        ASSERT_NE(cube, nullptr);
        ASSERT_TRUE(cube->isUploaded());
        Mat4 projection;
        projection.m[10] = -1.0f / 100000.0f;
        gfx().setProjectionMatrix(projection);
        gfx().state().blend = kBlendOpaque;
        gfx().state().cull = CullMode::Back;
        clearTo({0, 0, 0, 255});
    }
    void TearDown() override
    {
        setGraphicsExtensions(nullptr);
        if (extensions)
            extensions->unload();
        delete extensions;
        GlTest::TearDown();
    }
    // The eye on the +x (quarters = 1) or -x (quarters = -1) side of a
    // cube at the origin, `distance` away, looking at it.
    void lookFromSide(int quarters, float distance)
    {
        gfx().setViewMatrix(mat4Multiply(translation(0, 0, -distance), mat4MakeRotationY(-float(quarters) * kPi / 2.0f)));
    }
    LightRecord sunFromPlusX{{1, 0, 0}, {0.2f, 0.2f, 0.2f}, {0.8f, 0.8f, 0.8f}, {1, 1, 1}};
};

TEST_F(ModelGl, CubeLitFromPlusXIsBrighterOnThatFace)
{
    gfx().setLight(&sunFromPlusX);
    lookFromSide(1, 5);
    drawModel(*cube, Mat4{});
    const Rgba lit = centre();
    clearTo({0, 0, 0, 255});
    lookFromSide(-1, 5);
    drawModel(*cube, Mat4{});
    const Rgba shaded = centre();
    EXPECT_TRUE(rgbNear(lit, {255, 255, 255}, 4)) << lit;
    EXPECT_TRUE(rgbNear(shaded, {51, 51, 51}, 4)) << shaded;
    // Outside the cube the background stays.
    EXPECT_TRUE(rgbNear(pixel(2, 2), {0, 0, 0}));
}

TEST_F(ModelGl, FarCubeTakesTheFogColor)
{
    const FogRecord fog{{0.25f, 0.5f, 1.0f}, 3000, 4000};
    gfx().setFog(&fog);
    lookFromSide(1, 10000);
    drawModel(*cube, Mat4{});
    EXPECT_TRUE(rgbNear(centre(), {64, 128, 255}, 3)) << centre();
    clearTo({0, 0, 0, 255});
    lookFromSide(1, 10);
    drawModel(*cube, Mat4{});
    EXPECT_TRUE(rgbNear(centre(), {255, 255, 255}, 3)) << centre();
}

TEST_F(ModelGl, WorldMatrixPlacesTheModel)
{
    lookFromSide(0, 5);
    drawModel(*cube, translation(0.5f, 0, 0));   // the cube now covers x 0..1
    EXPECT_TRUE(rgbNear(pixel(48, 32), {255, 255, 255}));
    EXPECT_TRUE(rgbNear(pixel(16, 32), {0, 0, 0}));
}

TEST_F(ModelGl, FreeCpuDataDropsOnlyBakedArraysAndTheModelStillDraws)
{
    root.write("data/models/baked.glm", asText(writeGlm(makeCubeGlm())));
    root.write("data/models/plane.glm", asText(writeGlm(makeCubeGlm())));
    Model* baked = loadModel("baked.glm");
    Model* kept = loadModel("plane.glm", kModelKeepCpuData);
    ASSERT_NE(baked, nullptr);
    ASSERT_NE(kept, nullptr);
    baked->markBakedIntoProps();
    kept->markBakedIntoProps();
    freeModelCpuData();
    EXPECT_TRUE(baked->node(0)->vertices.empty());
    EXPECT_TRUE(baked->node(0)->indices.empty());
    EXPECT_EQ(baked->collisionTriangles().size(), makeCubeGlm().collision.size());
    EXPECT_EQ(kept->node(0)->vertices.size(), 24u);
    EXPECT_EQ(cube->node(0)->vertices.size(), 24u);   // never baked
    lookFromSide(0, 5);
    drawModel(*baked, Mat4{});
    EXPECT_TRUE(rgbNear(centre(), {255, 255, 255}));
}

TEST_F(ModelGl, ModelsLoadedAfterTheFirstPageAreDrawnFromTheirOwnPage)
{
    // A model bigger than what is left of the first page gets a new one.
    GlmFile big = makeCubeGlm();
    GlmNode& node = big.nodes[0];
    const GlmFile one = makeCubeGlm();
    for (int copy = 1; copy < 1500; ++copy) {
        for (GlmVertex v : one.vertices)
            big.vertices.push_back(v);
        for (std::uint16_t i : one.indices)
            big.indices.push_back(static_cast<std::uint16_t>(i + node.vertexCount));
        node.vertexCount += 24;
        node.indexCount += 36;
    }
    big.nodes.push_back(node);   // a second node of the same size overflows the page
    big.nodes[1].name = "again";
    big.nodes[1].vertexBase = 0;
    big.nodes[1].firstIndex = 0;
    big.objects[0].nodeCount = 2;
    ASSERT_TRUE(checkGlm(big).empty()) << checkGlm(big);
    root.write("data/models/big.glm", asText(writeGlm(big)));
    Model* model = loadModel("big.glm");
    ASSERT_NE(model, nullptr);
    EXPECT_NE(model->node(0)->bufferPage, cube->node(0)->bufferPage);
    lookFromSide(0, 5);
    drawModel(*model, Mat4{});
    EXPECT_TRUE(rgbNear(centre(), {255, 255, 255}));
}

// A model without paint takes the program without the mask lookup; a painted
// one before it must leave no paint behind, and the tint applies in both.
TEST_F(ModelGl, PaintShowsOnlyWhereAMaskAndAVisibleColourAreGiven)
{
    lookFromSide(0, 5);
    ModelPaint red;
    red.mask = gfx().whiteTexture();   // covers the whole model with both paints
    red.colors[0] = Color4{255, 0, 0, 255};
    drawModel(*cube, Mat4{}, &red);
    EXPECT_TRUE(rgbNear(centre(), {255, 0, 0}, 2)) << centre();

    clearTo({0, 0, 0, 255});
    drawModel(*cube, Mat4{});
    EXPECT_TRUE(rgbNear(centre(), {255, 255, 255}, 2)) << centre();

    ModelPaint hidden = red;   // a mask, but no colour shows
    hidden.colors[0].a = 0;
    hidden.tint = Color4{128, 128, 128, 255};
    setLitModelState(nullptr, hidden);
    EXPECT_EQ(gfx().state().program, BuiltinProgram::UnpaintedModel);
    EXPECT_EQ(gfx().state().textures[1], nullptr);
    clearTo({0, 0, 0, 255});
    drawModel(*cube, Mat4{}, &hidden);
    EXPECT_TRUE(rgbNear(centre(), {128, 128, 128}, 2)) << centre();

    ModelPaint second;   // only the second colour, half covering
    second.mask = gfx().whiteTexture();
    second.colors[1] = Color4{0, 0, 255, 128};
    setLitModelState(nullptr, second);
    EXPECT_EQ(gfx().state().program, BuiltinProgram::LitModel);
    clearTo({0, 0, 0, 255});
    drawModel(*cube, Mat4{}, &second);
    EXPECT_TRUE(rgbNear(centre(), {127, 127, 255}, 3)) << centre();
}

TEST_F(ModelGl, DistortionVariantWritesViewNormalOffsets)
{
    // Turned 45 degrees: the left half of the picture shows a face whose
    // view normal points left, the right half one pointing right.
    const float c = std::sqrt(0.5f);
    gfx().setViewMatrix(translation(0, 0, -5));
    gfx().setWorldMatrix(mat4MakeRotationY(kPi / 4.0f));
    clearTo({128, 128, 0, 255});
    drawModelNodeDistortion(*cube, 0, 0.25f);
    const Rgba left = pixel(26, 32), right = pixel(38, 32);
    EXPECT_NEAR(left.r, 128 - 0.25 * c * 255, 4) << left;
    EXPECT_NEAR(right.r, 128 + 0.25 * c * 255, 4) << right;
    EXPECT_NEAR(left.g, 128, 2);
}

TEST_F(ModelGl, HeatDistortionEntryPointsDoNothingWithoutTheirTarget)
{
    ASSERT_EQ(gfx().distortionTarget, nullptr);
    bool drawn = false;
    renderHeatDistortion([&] { drawn = true; });
    applyHeatDistortion();
    blitToScreen();
    EXPECT_FALSE(drawn);
    EXPECT_EQ(gfx().currentRenderTarget(), &target());
    EXPECT_TRUE(rgbNear(centre(), {0, 0, 0}));
}

TEST_F(ModelGl, HeatDistortionFillsItsTargetWhenItExists)
{
    RenderBuffer distortion;
    ASSERT_TRUE(distortion.createTexture(TextureFormat::Rgba8, 32, 32, kClampSampler));
    gfx().distortionTarget = &distortion;
    bool drawn = false;
    renderHeatDistortion([&] {
        drawn = true;
        EXPECT_EQ(gfx().currentRenderTarget(), &distortion);
    });
    gfx().distortionTarget = nullptr;
    EXPECT_TRUE(drawn);
    EXPECT_EQ(gfx().currentRenderTarget(), &target());
    gfx().setRenderTarget(&distortion);
    EXPECT_TRUE(rgbNear(pixel(16, 16), {128, 128, 0}, 1));
}
}  // namespace
