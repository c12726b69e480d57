// An air wreck breaking up and an ejected pilot's parachute opening, drawn as
// the scene draws them (the model pass, then the particle layers) over a
// plain sky: pictures in build/effects/view/ and the checks that the pieces
// spread and the chute grows.
#include "effects/EffectList.h"
#include "effects/EffectScene.h"
#include "effects/particles/PConfig.h"
#include "effects/particles/ParticleBatches.h"
#include "effects/world/Gibs.h"
#include "effects/world/Parachute.h"
#include "GlTestContext.h"
#include "TestWorld.h"
#include "platform/File.h"
#include "platform/Random.h"
#include "render/2d/SpriteSets.h"
#include "render/gl/GraphicsES20Extensions.h"
#include "support/effects/FakeAircraft.h"

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace {
constexpr int kWidth = 320, kHeight = 240;
constexpr float kFrame = 1.0f / 30.0f;
const std::string kFolder = SKYFRONT_BINARY_DIR "/effects/view/";

// The ground far below: nothing lands within the pictures' seconds.
struct DeepGround final : IEffectGround {
    bool groundAt(float, float, float& h, Vec3& normal) const override
    {
        h = -5000.0f;
        normal = {0.0f, 1.0f, 0.0f};
        return true;
    }
};

struct WreckPictures : GlTest {
    DeepGround ground;

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
        seedRandom(31, 41);
        Mat4 projection, view;
        mat4Perspective(projection, 1.0f, float(kWidth) / float(kHeight), 1.0f, 5000.0f);
        setEffectCamera({}, view, projection);
        effectScene().viewDistanceSq = 5000.0f * 5000.0f;
        effectScene().screenWidth = kWidth;
        effectScene().screenHeight = kHeight;
        effectScene().ground = &ground;
        gfx().setProjectionMatrix(projection);
        gfx().setViewMatrix(view);
        gfx().setWorldMatrix(Mat4{});
        std::filesystem::create_directories(kFolder);
    }
    void TearDown() override
    {
        clearEffects();
        Parachute::releaseShared();
        releaseParticleBatches();
        unloadSprite(3);
        freeParticleConfigs();
        effectScene().ground = nullptr;
        gfx().setQualityTier(0);
        GlTest::TearDown();
    }
    // The camera keeps `point` at `offset` in its view, as a following camera would.
    void follow(const Vec3& point, const Vec3& offset)
    {
        Mat4 projection, view;
        mat4Perspective(projection, 1.0f, float(kWidth) / float(kHeight), 1.0f, 5000.0f);
        mat4Translate(view, offset.x - point.x, offset.y - point.y, offset.z - point.z);
        const Vec3 eye{point.x - offset.x, point.y - offset.y, point.z - offset.z};
        setEffectCamera(eye, view, projection);
        gfx().setProjectionMatrix(projection);
        gfx().setViewMatrix(view);
    }
    void backdrop()
    {
        clearTo({96, 132, 176, 255});
    }
    // The scene's order: wreck models near and far, then the particle layers far to late.
    void drawWorld(Parachute* chute = nullptr)
    {
        backdrop();
        drawEffectsModelPass(true, false);
        drawEffectsModelPass(false, false);
        if (chute)
            chute->render(1);
        gfx().setWorldMatrix(Mat4{});
        drawParticleBatches();
        for (int pass = 2; pass >= 0; --pass) {
            drawEffects(pass);
            flushParticleBatch(pass);
        }
    }
    // Pixels off the plain sky and their bounding width.
    void footprint(int& count, int& width)
    {
        const std::vector<Rgba> px = rect(0, 0, kWidth, kHeight);
        count = 0;
        int left = kWidth, right = -1;
        for (int y = 0; y < kHeight; ++y)
            for (int x = 0; x < kWidth; ++x) {
                const Rgba& p = px[static_cast<std::size_t>(y * kWidth + x)];
                if (std::abs(p.r - 96) + std::abs(p.g - 132) + std::abs(p.b - 176) > 24) {
                    ++count;
                    left = std::min(left, x);
                    right = std::max(right, x);
                }
            }
        width = right >= left ? right - left + 1 : 0;
    }
    void save(const std::string& name) { EXPECT_TRUE(saveTargetPng(gfx(), kWidth, kHeight, kFolder + name + ".png")); }
};

TEST_F(WreckPictures, AnAirWreckBurnsBreaksApartAndIsGone)
{
    Mat4 at;
    mat4Translate(at, 0.0f, -5.0f, -90.0f);
    mat4RotateY(at, 1.2f);   // seen from the side
    auto* wreck = static_cast<PlaneAirGibs*>(
        startWreck("data/planes/f16/f16_ful.glm", GibsKind::PlaneAir, at, {0, 0, -30}, {0, 10, 0}, 1));
    ASSERT_NE(wreck, nullptr);
    float t = 0.0f;
    int firstCount = 0, firstWidth = 0, lastWidth = 0;
    std::vector<std::vector<Rgba>> shots;
    for (float shot : {0.5f, 2.5f}) {
        while (t < shot) {
            updateEffects(kFrame);
            t += kFrame;
        }
        follow(wreck->cameraPoint, {0.0f, -5.0f, -90.0f});
        drawWorld();
        int count = 0, width = 0;
        footprint(count, width);
        EXPECT_GT(count, 30) << shot;
        if (shot == 0.5f) {
            firstCount = count;
            firstWidth = width;
        }
        lastWidth = width;
        shots.push_back(rect(0, 0, kWidth, kHeight));
        save("wreck_" + std::to_string(static_cast<int>(shot * 10.0f)) + "ds");
    }
    EXPECT_GT(firstCount, 0);
    EXPECT_GT(firstWidth, 0);
    EXPECT_GT(lastWidth, 0);
    // From burning to blown apart the picture changes.
    std::size_t changed = 0;
    for (std::size_t i = 0; i < shots[0].size(); ++i)
        changed += std::abs(shots[0][i].r - shots[1][i].r) + std::abs(shots[0][i].g - shots[1][i].g) > 24 ? 1 : 0;
    EXPECT_GT(changed, shots[0].size() / 100);
    // At five seconds the pieces have fallen away under the fading smoke.
    while (t < 5.0f) {
        updateEffects(kFrame);
        t += kFrame;
    }
    follow(wreck->cameraPoint, {0.0f, -5.0f, -90.0f});
    drawWorld();
    save("wreck_50ds");
    for (int i = 0; i < 30 * 10; ++i)
        updateEffects(kFrame);
    EXPECT_EQ(effectCount(), 0);   // ten seconds on, nothing of it is left
}

TEST_F(WreckPictures, OnlyAShipWreckShimmersInTheHeatDistortionPass)
{
    GraphicsES20Extensions extensions(gfx());
    ASSERT_TRUE(extensions.load()) << extensions.error();
    setGraphicsExtensions(&extensions);
    Mat4 far;
    mat4Translate(far, 0.0f, 0.0f, -600.0f);
    // The distortion target's "no offset" colour, then the variant pass alone.
    const auto shimmer = [this](const Vec3& at) {
        follow(at, {0.0f, -20.0f, -300.0f});
        clearTo({128, 128, 0, 255});
        drawEffectsModelPass(false, true);
        std::size_t moved = 0;
        for (const Rgba& p : rect(0, 0, kWidth, kHeight))
            moved += p.r != 128 || p.g != 128 ? 1 : 0;
        return moved;
    };
    auto* plane = static_cast<PlaneAirGibs*>(startWreck("data/planes/f16/f16_ful.glm", GibsKind::PlaneAir, far, {0, 0, -1}, {}, 1));
    ASSERT_NE(plane, nullptr);
    updateEffects(kFrame);
    EXPECT_EQ(shimmer(plane->cameraPoint), 0u);
    clearEffects();
    auto* ship = startWreck("destroyer.glm", GibsKind::Ship, far, {0, 0, -1}, {1, 1, 1}, 1);
    ASSERT_NE(ship, nullptr);
    updateEffects(kFrame);
    EXPECT_GT(shimmer({0.0f, 0.0f, -600.0f}), 50u);
    save("ship_wreck_shimmer");
    clearEffects();
    setGraphicsExtensions(nullptr);
    extensions.unload();
}

TEST_F(WreckPictures, TheParachuteOpensAndDriftsAfterItsAirplane)
{
    FakeAirplane plane;
    plane.moveTo({0.0f, 0.0f, -40.0f});
    plane.velocity = {0.0f, 0.0f, 0.0f};
    plane.speed = 0.0f;
    auto chute = std::make_unique<Parachute>(plane);
    if (!Parachute::sharedModel())
        GTEST_SKIP() << "no paratrooper model staged";
    float t = 0.0f;
    int widths[3] = {};
    int k = 0;
    for (float shot : {1.0f, 3.0f, 6.0f}) {
        while (t < shot - 1e-4f) {
            chute->update(kFrame);
            t += kFrame;
        }
        follow(chute->position, {0.0f, 0.0f, -30.0f});
        drawWorld(chute.get());
        int count = 0;
        footprint(count, widths[k]);
        save("parachute_" + std::to_string(static_cast<int>(shot)) + "s");
        ++k;
    }
    EXPECT_GT(widths[1], widths[0]);   // the canopy has opened by 3 s
    chute->update(0.2f);
    EXPECT_TRUE(chute->done);
}
}  // namespace
