#include "TestWorld.h"
#include "render/assets/ImageWriter.h"

#include "platform/File.h"
#include "render/Graphics.h"
#include "render/RenderBuffer.h"
#include "render/shadows/ShadowMaps.h"
#include "render/shadows/ShadowVolumes.h"

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <vector>

bool TestWorld::load(Graphics& g) { return load(g, "test", 6000); }

bool TestWorld::load(Graphics& g, const std::string& folder, int treeCount)
{
    m_graphics = &g;
    m_folder = folder;
    setDataRoot(std::string(SKYFRONT_STAGE_DIR) + "/");
    const std::string base = "data/terrain/" + folder + "/";
    std::unique_ptr<File> heights = openFile(base + "height.bin");
    if (!heights || !terrain.load(*heights))
        return false;
    setShaderTerrainSize(terrain.size());
    if (!terrain.upload(base + "wm.pvr", "data/terrain/detail.pvr"))
        return false;
    if (!trees.buildFromFile(treeCount, base + "trees.raw", "data/terrain/trees.png", terrain))
        return false;
    if (!clouds.load())
        return false;
    clouds.buildField(-1.0f, terrain.baseHeight() + terrain.heightRange());
    sky.load();
    if (!sky.loadTexture("data/sky/horizon.png"))
        return false;
    water.setWorld(&terrain, &sky, &scatter);
    water.technique().setWaterValue(0.0f);
    setSun(0.5f);
    return true;
}

void TestWorld::setTier(int tier)
{
    const TextureFilter filter = m_graphics->qualityFilter();
    m_graphics->setQualityTier(tier);
    // The game loads its textures at the tier it runs at: the ground's again
    // when the tier's filter differs (mip levels from tier 2).
    if (m_graphics->qualityFilter() != filter)
        (void)terrain.upload("data/terrain/" + m_folder + "/wm.pvr", "data/terrain/detail.pvr");
    if (tier >= 3)
        createShadowMaps();
    else
        destroyShadowMaps();
}

void TestWorld::setSun(float sunValue, float fogDensity)
{
    const float angle = (sunValue * kPi - kPi / 2.0f) * 1.16f;
    Vec3 dir{std::sin(angle) * 0.333f, std::cos(angle), std::sin(angle) * 0.666f};
    const float len = std::sqrt(dir.x * dir.x + dir.y * dir.y + dir.z * dir.z);
    dir = Vec3{dir.x / len, dir.y / len, dir.z / len};
    const Vec3 c = scatter.computeSunColor(dir);
    const float color[3] = {c.x, c.y, c.z};
    const float d[3] = {dir.x, dir.y, dir.z};
    for (int i = 0; i < 3; ++i) {
        light.direction[i] = d[i];
        light.ambient[i] = 0.4f * color[i];
        light.diffuse[i] = 0.9f * color[i];
        light.sunColor[i] = color[i];
        fog.color[i] = color[i];
    }
    fog.start = 3000.0f;
    fog.end = std::max(75000.0f * (1.0f - fogDensity), 1.0f);
    m_graphics->setLight(&light);
    m_graphics->setFog(&fog);
    if (m_graphics->qualityTier() >= 2)
        clouds.relight(scatter.sunColor(), scatter.sunDirection());
}

void TestWorld::setCamera(const Vec3& eye, const Vec3& target, float fov, float aspect)
{
    fieldOfView = fov;
    Mat4 projection;
    mat4Perspective(projection, fov, aspect, 2.0f, 50000.0f);
    view = WorldView::fromMatrices(eye, lookAtMatrix(eye, target, Vec3{0, 1, 0}), projection);
}

void TestWorld::drawFrame()
{
    Graphics& g = *m_graphics;
    auto done = [this](const char* pass) {
        if (passDone)
            passDone(pass);
    };
    RenderBuffer* target = g.currentRenderTarget();
    time += 1.0f / 30.0f;
    ShadowVolumes::buildIndices(view);
    trees.fillBuffer(view);
    clouds.fillBuffer(view.eye);
    terrain.updateVisible(fieldOfView, view, terrainLevelBias(g.qualityTier()));
    done("cull and fill");
    if (shadowMaps()) {
        renderShadowMaps(view.eye);
        done("shadow map");
    }
    g.setProjectionMatrix(view.projection());
    g.setViewMatrix(view.view());
    g.setWorldMatrix(Mat4{});
    clouds.renderToTarget(view);
    done("cloud target");
    water.update(view.eye, time);
    water.renderRefraction();
    done("refraction");
    water.renderReflection();
    water.finishTargets();
    done("reflection");
    g.setRenderTarget(target);
    g.setClearColor(Color4{0, 0, 0, 255});
    g.clear();
    done("clear");
    // Opaque passes near to far, so early depth tests reject hidden pixels
    // before they are shaded; the sky last, into whatever is left.
    terrain.drawPass();
    done("terrain");
    water.drawSurface();
    done("water");
    ShadowVolumes::renderStencil();
    water.afterShadow();
    done("shadow volumes");
    trees.drawPass2();
    done("trees");
    ShadowVolumes::applyShadow();
    done("shadow volumes");
    sky.draw(scatter, view.eye);
    done("sky");
    clouds.composite(view);
    done("clouds");
}

bool saveTargetPng(Graphics& g, int width, int height, const std::string& path)
{
    std::vector<std::uint8_t> rgba;
    g.readPixels(0, 0, width, height, rgba);
    // Tests run in any order: the first to write into a folder makes it.
    std::error_code ec;
    std::filesystem::create_directories(std::filesystem::path(path).parent_path(), ec);
    return writePngFile(path, width, height, rgba);
}

void TestWorldGl::SetUp()
{
    GlTest::SetUp();
    if (IsSkipped())
        return;
    world = std::make_unique<TestWorld>();
    ASSERT_TRUE(world->load(gfx())) << "the test world is staged by the data tool";
}

void TestWorldGl::TearDown()
{
    if (world)
        world->setTier(0);
    GlTest::TearDown();
}
