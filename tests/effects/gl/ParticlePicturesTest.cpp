// Particle effects drawn over a plain sky by the real sheet: pictures for a
// person to look at in build/effects/, and the checks that they show
// something in front of the camera and nothing behind it.
#include "effects/EffectList.h"
#include "effects/EffectScene.h"
#include "effects/particles/PConfig.h"
#include "effects/particles/PSystem.h"
#include "effects/particles/ParticleBatches.h"

#include "GlTestContext.h"
#include "TestWorld.h"

#include "platform/File.h"
#include "platform/Random.h"
#include "render/2d/CSprite.h"
#include "render/2d/SpriteSets.h"

#include <filesystem>
#include <string>
#include <vector>

namespace {
constexpr int kWidth = 320, kHeight = 240;
constexpr float kFrame = 1.0f / 30.0f;

struct ParticlePictures : GlTest {
    void SetUp() override
    {
        GlTest::SetUp();
        if (IsSkipped())
            return;
        setDataRoot(std::string(SKYFRONT_STAGE_DIR) + "/");
        useTarget(kWidth, kHeight);
        gfx().setQualityTier(2);
        freeParticleConfigs();
        clearEffects();
        seedRandom(2024, 11);
        Mat4 projection;
        mat4Perspective(projection, 1.0f, float(kWidth) / float(kHeight), 1.0f, 5000.0f);
        setCamera(projection);
        std::filesystem::create_directories(SKYFRONT_BINARY_DIR "/effects");
    }
    void TearDown() override
    {
        clearEffects();
        releaseParticleBatches();
        unloadSprite(3);
        freeParticleConfigs();
        gfx().setQualityTier(0);
        GlTest::TearDown();
    }
    // The camera at the origin looking down -z, the horizon a little low.
    void setCamera(const Mat4& projection)
    {
        Mat4 view;
        setEffectCamera({0.0f, 0.0f, 0.0f}, view, projection);
        effectScene().viewDistanceSq = 5000.0f * 5000.0f;
        effectScene().screenWidth = kWidth;
        effectScene().screenHeight = kHeight;
        gfx().setProjectionMatrix(projection);
        gfx().setViewMatrix(view);
        gfx().setWorldMatrix(Mat4{});
    }
    // A dusk-blue sky and a dark sea below the horizon, the same every frame.
    void drawBackdrop()
    {
        clearTo({96, 132, 176, 255});
        const Mat4 projection = gfx().projectionMatrix(), view = gfx().viewMatrix();
        gfx().setProjectionMatrix(Mat4{});
        gfx().setViewMatrix(Mat4{});
        gfx().state().depthTest = false;
        gfx().state().depthWrite = false;
        drawQuad(-1.0f, -1.0f, 1.0f, -0.35f, 0.0f, {40, 62, 84, 255});
        gfx().state().depthTest = true;
        gfx().state().depthWrite = true;
        gfx().setProjectionMatrix(projection);
        gfx().setViewMatrix(view);
    }
    void drawScene()
    {
        drawBackdrop();
        drawParticleBatches();
        for (int pass = 2; pass >= 0; --pass) {
            drawEffects(pass);
            flushParticleBatch(pass);
        }
    }
    std::vector<Rgba> frame() { return rect(0, 0, kWidth, kHeight); }
    static double differing(const std::vector<Rgba>& a, const std::vector<Rgba>& b)
    {
        std::size_t n = 0;
        for (std::size_t i = 0; i < a.size(); ++i)
            n += (std::abs(a[i].r - b[i].r) + std::abs(a[i].g - b[i].g) + std::abs(a[i].b - b[i].b)) > 12 ? 1 : 0;
        return double(n) / double(a.size());
    }
    // The effect at `at` (100 units ahead, or behind the camera), run for 60 frames; pictures of
    // frames 5, 20 and 60 are saved when `picture` names them.
    void run(const char* name, const Vec3& at, const std::string& picture, std::vector<double>& shares)
    {
        const PConfig* config = getParticleConfig(name);
        ASSERT_NE(config, nullptr);
        ASSERT_TRUE(config->loaded) << name;
        drawBackdrop();
        const std::vector<Rgba> empty = frame();
        auto* system = new PSystem(config, {0.0f, 1.0f, 0.0f});
        system->setPosition(at.x, at.y, at.z);
        addEffect(system);
        for (int n = 1; n <= 60; ++n) {
            effectScene().visibleParticles = 0;
            updateEffects(kFrame);
            drawScene();
            if (n == 5 || n == 20 || n == 60) {
                shares.push_back(differing(empty, frame()));
                if (!picture.empty()) {
                    const std::string path =
                        SKYFRONT_BINARY_DIR "/effects/" + picture + "_" + std::to_string(n) + ".png";
                    EXPECT_TRUE(saveTargetPng(gfx(), kWidth, kHeight, path));
                }
            }
        }
        clearEffects();
    }
};

TEST_F(ParticlePictures, ExplosionSmokeAndSplashShowAheadAndNothingBehind)
{
    ASSERT_TRUE(getSprite(3)->isLoaded()) << "the particle sheet is staged by the data tool";
    const struct {
        const char* file;
        const char* picture;
        Vec3 ahead;
    } effects[] = {
        {"plane_explode_air.psc", "explosion", {0.0f, 0.0f, -100.0f}},
        {"smoke_column.psc", "smoke_column", {0.0f, -30.0f, -100.0f}},
        {"plane_explode_water.psc", "water_splash", {0.0f, -25.0f, -100.0f}},
    };
    for (const auto& effect : effects) {
        SCOPED_TRACE(effect.file);
        std::vector<double> ahead, behind;
        run(effect.file, effect.ahead, effect.picture, ahead);
        // Behind: far enough that no spark thrown towards the camera reaches past it.
        run(effect.file, {effect.ahead.x, effect.ahead.y, 300.0f}, "", behind);
        ASSERT_EQ(ahead.size(), 3u);
        for (double share : ahead)
            EXPECT_GE(share, 0.01);
        for (double share : behind)
            EXPECT_EQ(share, 0.0);
    }
}
}  // namespace
