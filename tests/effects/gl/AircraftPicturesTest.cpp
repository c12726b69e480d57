// The aircraft and weapon effects drawn over a plain sky: pictures in
// build/effects/aircraft/ for a person to look at, each checked against the
// empty scene.
#include "effects/AircraftEffects.h"
#include "effects/EffectScene.h"
#include "effects/particles/AircraftParticles.h"
#include "effects/particles/EffectTextures.h"
#include "effects/trails/AirplaneContrail.h"
#include "effects/trails/MissileTrail.h"
#include "effects/trails/Tracers.h"
#include "effects/world/AircraftLooks.h"

#include "GlTestContext.h"
#include "TestWorld.h"
#include "support/effects/FakeAircraft.h"

#include "gamedata/AirplaneModel.h"
#include "gamedata/records/PlaneCfg.h"
#include "platform/File.h"
#include "platform/Random.h"
#include "render/assets/Model.h"
#include "render/assets/ModelBuffers.h"
#include "render/fx/PostProcess.h"
#include "render/gl/GraphicsES20Extensions.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace {
constexpr int kWidth = 320, kHeight = 240;
constexpr float kFrame = 1.0f / 30.0f;

struct AircraftPictures : GlTest {
    Mat4 projection;
    PlaneCfg record;
    const AirplaneModel* jetModel = nullptr;

    void SetUp() override
    {
        GlTest::SetUp();
        if (IsSkipped())
            return;
        setDataRoot(std::string(SKYFRONT_STAGE_DIR) + "/");
        useTarget(kWidth, kHeight);
        gfx().setQualityTier(3);   // every slot, the haze texture included
        seedRandom(2026, 12);
        mat4Perspective(projection, 1.0f, float(kWidth) / float(kHeight), 1.0f, 5000.0f);
        setEffectCamera({}, Mat4{}, projection);
        effectScene().screenWidth = kWidth;
        effectScene().screenHeight = kHeight;
        gfx().setProjectionMatrix(projection);
        gfx().setViewMatrix(Mat4{});
        gfx().setWorldMatrix(Mat4{});
        ASSERT_EQ(AircraftEffects::load(), 0) << "every effect texture is staged by the data tool";
        record.file = "data/planes/f16/f16_ful.glm";
        jetModel = AirplaneModel::forPlane(record);
        std::filesystem::create_directories(SKYFRONT_BINARY_DIR "/effects/aircraft");
        // The shimmer goes with the other view pictures, whichever test runs first.
        std::filesystem::create_directories(SKYFRONT_BINARY_DIR "/effects/view");
    }
    void TearDown() override
    {
        AircraftEffects::release();
        AirplaneModel::releaseAll();
        gfx().setQualityTier(0);
        setDataRoot("");
        GlTest::TearDown();
    }
    void backdrop()
    {
        gfx().setRenderState(RenderState{});
        gfx().setWorldMatrix(Mat4{});
        clearTo({92, 128, 178, 255});
        gfx().setProjectionMatrix(Mat4{});
        gfx().state().depthTest = false;
        drawQuad(-1.0f, -1.0f, 1.0f, -0.4f, 0.0f, {58, 80, 104, 255});
        gfx().state().depthTest = true;
        gfx().setProjectionMatrix(projection);
    }
    std::vector<Rgba> frame() { return rect(0, 0, kWidth, kHeight); }
    // Share of pixels that moved away from the empty picture, and their summed brightness change.
    static double changed(const std::vector<Rgba>& a, const std::vector<Rgba>& b, double* light = nullptr)
    {
        std::size_t n = 0;
        double sum = 0.0;
        for (std::size_t i = 0; i < a.size(); ++i) {
            const int d = (b[i].r - a[i].r) + (b[i].g - a[i].g) + (b[i].b - a[i].b);
            sum += d;
            n += std::abs(d) > 12 ? 1 : 0;
        }
        if (light)
            *light = sum;
        return double(n) / double(a.size());
    }
    // Draws `draw` over the backdrop, saves the picture and returns the share that changed.
    double picture(const std::string& name, const std::function<void()>& draw, double* light = nullptr)
    {
        backdrop();
        const std::vector<Rgba> empty = frame();
        draw();
        EXPECT_TRUE(saveTargetPng(gfx(), kWidth, kHeight, SKYFRONT_BINARY_DIR "/effects/aircraft/" + name + ".png"));
        return changed(empty, frame(), light);
    }
    static Mat4 pose(const Vec3& at, const Vec3& forward)
    {
        Quat q;
        quatFromDirectionTo(q, forward);
        return mat4FromQuatPosition(q, at);
    }
};

TEST_F(AircraftPictures, ExhaustAtFullThrottleIsLongerAndBrighterThanAtIdle)
{
    ASSERT_NE(jetModel, nullptr);
    FakeAirplane jet;
    jet.player = true;
    jet.model = jetModel;
    jet.matrix = pose({3.0f, -0.5f, -13.0f}, vec3NormalizeOr({1.0f, 0.0f, 0.45f}, {1, 0, 0}));
    double light[2] = {0.0, 0.0};
    const float throttles[2] = {0.0f, 1.0f};
    for (int k = 0; k < 2; ++k) {
        JetExhaust exhaust(jet);
        ASSERT_TRUE(exhaust.valid());
        exhaust.update(throttles[k], kFrame);
        const std::string name = k == 0 ? "exhaust_throttle_0" : "exhaust_throttle_1";
        picture(name, [&] {
            drawModel(jetModel->model(), jet.matrix);
            exhaust.render();
            exhaust.renderHaze(1.5f);   // the player's shimmer over it
        });
        // The flame alone, for the light it adds.
        EXPECT_GT(picture(name + "_flame", [&] { exhaust.render(); }, &light[k]), 0.0008);
    }
    // Light added over the same airplane: the full-throttle flame gives more.
    EXPECT_GT(light[1], light[0] * 1.2);
}

TEST_F(AircraftPictures, FlaresBoomAndVapourCone)
{
    ASSERT_NE(jetModel, nullptr);
    FakeAirplane plane;
    plane.model = jetModel;
    // Seen from the side, flying to the right and a little down.
    plane.direction = vec3NormalizeOr({1.0f, -0.15f, 0.0f}, {1, 0, 0});
    plane.matrix = pose({-25.0f, 12.0f, -110.0f}, plane.direction);
    plane.velocity = plane.direction * 250.0f;
    auto* flares = spawnPooled<Flares>(static_cast<const IAirplaneFx*>(&plane));
    ASSERT_NE(flares, nullptr);
    for (int i = 0; i < 24; ++i)
        ParticleSystem::updateAll(kFrame);
    EXPECT_GT(picture("flares", [&] { ParticleSystem::drawAll(projection, projection); }), 0.005);
    ParticleSystem::deleteAll();

    plane.matrix = pose({0.0f, -2.0f, -45.0f}, vec3NormalizeOr({1.0f, 0.0f, -0.6f}, {1, 0, 0}));
    plane.direction = {1.0f, 0.0f, 0.0f};
    // The boom's own draw of the random numbers, whatever the flares took.
    seedRandom(2026, 12);
    SonicBoom* boomSlot = nullptr;
    ASSERT_NE(spawnPooled<SonicBoom>(static_cast<const IAirplaneFx*>(&plane), &boomSlot), nullptr);
    for (int i = 0; i < 8; ++i)
        ParticleSystem::updateAll(kFrame);
    EXPECT_GT(picture("sonic_boom", [&] {
        drawModel(jetModel->model(), plane.matrix);
        ParticleSystem::drawAll(projection, projection);
    }), 0.03);
    ParticleSystem::deleteAll();

    plane.speed = 300.0f;
    plane.load = 1.0f;
    plane.matrix = pose({0.0f, -1.0f, -26.0f}, vec3NormalizeOr({1.0f, 0.0f, -0.4f}, {1, 0, 0}));
    VapourCone cone(plane);
    for (int i = 0; i < 60; ++i)
        cone.update(kFrame, 0.95f);
    ASSERT_TRUE(cone.cone);
    EXPECT_GT(picture("vapour_cone", [&] {
        drawModel(jetModel->model(), plane.matrix);
        cone.render();
    }), 0.03);
}

TEST_F(AircraftPictures, ATrailAcrossTheViewAndAContrailBehindATurningJet)
{
    FakeMissile missile;
    missile.position = {-110.0f, -25.0f, -150.0f};
    missile.direction = vec3NormalizeOr({1.0f, 0.2f, 0.0f}, {1, 0, 0});
    MissileTrail* trail = MissileTrail::create(missile);
    ASSERT_NE(trail, nullptr);
    for (int i = 0; i < 45; ++i) {
        missile.position = missile.position + missile.direction * (130.0f * kFrame);
        missile.age += kFrame;
        MissileTrail::updateAll(kFrame);
    }
    EXPECT_GT(picture("missile_trail", [&] { MissileTrail::renderAll(Mat4{}); }), 0.008);
    EXPECT_GE(MissileTrail::glowCount(), 1);

    FakeAirplane jet;
    jet.model = jetModel;
    jet.speed = 260.0f;
    jet.contrailFactor = 1.0f;
    AirplaneContrail contrail(jet, {5.0f, 0.0f, 2.0f});
    // A level turn to the left in front of the camera.
    // Below the camera: the turn is seen from above.
    const Vec3 centre{0.0f, -45.0f, -120.0f};
    for (int i = 0; i <= 75; ++i) {
        const float a = 0.6f * float(i) * kFrame * 2.0f;
        const Vec3 p = centre + Vec3{std::cos(a) * 45.0f, 0.0f, std::sin(a) * 45.0f};
        const Vec3 forward{-std::sin(a), 0.0f, std::cos(a)};
        jet.matrix = pose(p, forward);
        jet.direction = forward;
        jet.velocity = forward * jet.speed;
        contrail.update(kFrame);
    }
    EXPECT_GT(picture("contrail_turn", [&] {
        if (jetModel)
            drawModel(jetModel->model(), jet.matrix);
        AirplaneContrail::renderAll(projection, projection);
    }), 0.005);
    const std::vector<Rgba> all = frame();

    // Drawn alone, as the player's contrail over the finished picture, it is
    // the same contrail.
    picture("contrail_strips", [&] {
        if (jetModel)
            drawModel(jetModel->model(), jet.matrix);
        gfx().setProjectionMatrix(projection);
        contrail.drawStrips();
    });
    const std::vector<Rgba> alone = frame();
    int different = 0;
    for (std::size_t i = 0; i < all.size(); ++i)
        different += rgbNear(all[i], alone[i], 2) ? 0 : 1;
    EXPECT_EQ(different, 0);
}

struct HidingCamera : IPoolCamera {
    bool hide = false;
    void shake(float) override {}
    void systemGone(const Vec3*) override {}
    bool hidesGunSmoke() const override { return hide; }
};

// Firing, the muzzle flashes and smoke streams back from it; from the plane's
// own position the camera sees neither.
TEST_F(AircraftPictures, GunSmokeWhileFiringAndNoneFromThePlanesOwnPosition)
{
    FakeAirplane plane;
    plane.player = true;
    plane.matrix = pose({0.0f, -2.0f, -14.0f}, vec3NormalizeOr({0.3f, 0.0f, -1.0f}, {0, 0, -1}));
    plane.direction = vec3NormalizeOr({0.3f, 0.0f, -1.0f}, {0, 0, -1});
    FakeGun gun;
    gun.airplane = &plane;
    gun.firing = true;
    gun.muzzle = {0.0f, -2.0f, -14.0f};
    auto* smoke = spawnPooled<MachinegunSmoke>(static_cast<IGunFx*>(&gun));
    ASSERT_NE(smoke, nullptr);
    ASSERT_NE(MachinegunSmoke::flashModel(), nullptr);
    for (int i = 0; i < 20; ++i)
        ParticleSystem::updateAll(kFrame);
    ASSERT_GT(smoke->liveCount, 3);
    HidingCamera camera;
    setPoolCamera(&camera);
    const auto draw = [&] { ParticleSystem::drawAll(projection, projection); };
    EXPECT_GT(picture("gun_smoke", draw), 0.002);
    camera.hide = true;
    EXPECT_EQ(picture("gun_smoke_hidden", draw), 0.0);
    setPoolCamera(nullptr);
    ParticleSystem::deleteAll();
}

// Between two levels of a test run the model cache is emptied; the next
// gun's flash is loaded afresh instead of drawn from the freed one.
TEST_F(AircraftPictures, GunFlashAfterTheModelCacheIsEmptied)
{
    FakeAirplane plane;
    plane.player = true;
    plane.matrix = pose({0.0f, -2.0f, -14.0f}, {0.0f, 0.0f, -1.0f});
    FakeGun gun;
    gun.airplane = &plane;
    gun.firing = true;
    gun.muzzle = {0.0f, -2.0f, -14.0f};
    ASSERT_NE(spawnPooled<MachinegunSmoke>(static_cast<IGunFx*>(&gun)), nullptr);
    ParticleSystem::deleteAll();
    jetModel = nullptr;
    AirplaneModel::releaseAll();
    releaseAllModels();
    // Garbage over the freed model's memory makes a stale pointer show.
    std::vector<std::unique_ptr<std::uint8_t[]>> reuse;
    for (int i = 0; i < 64; ++i) {
        reuse.push_back(std::make_unique<std::uint8_t[]>(1024));
        std::fill_n(reuse.back().get(), 1024, 0xff);
    }
    auto* smoke = spawnPooled<MachinegunSmoke>(static_cast<IGunFx*>(&gun));
    ASSERT_NE(smoke, nullptr);
    for (int i = 0; i < 10; ++i)
        ParticleSystem::updateAll(kFrame);
    const auto draw = [&] { ParticleSystem::drawAll(projection, projection); };
    const double firing = picture("gun_smoke_reloaded", draw);
    gun.firing = false;
    // The same smoke without the flash.
    EXPECT_GT(firing, picture("gun_smoke_reloaded_idle", draw) + 0.0002);
    ParticleSystem::deleteAll();
}

TEST_F(AircraftPictures, TracersAndALaserBeam)
{
    Tracers::clearAll();
    for (int i = 0; i < 12; ++i) {
        const Vec3 from{-30.0f + i * 3.0f, -8.0f + i * 1.2f, -80.0f - i * 6.0f};
        Tracers::add({from, from + Vec3{1.8f, 0.6f, -3.0f}});   // short streaks with gaps between
    }
    Tracers::addBeam({20.0f, -15.0f, -40.0f}, {-10.0f, 5.0f, -300.0f}, 0.08f);
    EXPECT_GT(picture("tracers", [&] { Tracers::renderAll(); }), 0.005);
    Tracers::clearAll();
}

// The air behind a jet's nozzles bends the picture behind it: stripes seen
// through the exhaust move, and nothing outside the exhaust's own outline.
TEST_F(AircraftPictures, HeatShimmerBendsOnlyWhatLiesBehindTheExhaust)
{
    ASSERT_NE(jetModel, nullptr);
    const int jet = jetModel->nodeIndex("jet");
    ASSERT_GE(jet, 0) << "the jet has an exhaust node";
    const Model& model = jetModel->model();
    const Mat4 world = pose({3.0f, -0.5f, -20.0f}, vec3NormalizeOr({1.0f, 0.0f, 0.45f}, {1, 0, 0}));
    const Mat4 jetWorld = mat4Multiply(world, model.node(static_cast<std::size_t>(jet))->matrix);
    GraphicsES20Extensions extensions(gfx());
    ASSERT_TRUE(extensions.load()) << extensions.error();
    setGraphicsExtensions(&extensions);
    gfx().setScreenSize(kWidth, kHeight);
    ASSERT_TRUE(PostProcess::createTargets());
    ASSERT_NE(gfx().distortionTarget, nullptr) << "top detail makes the distortion target";

    // Upright stripes: any sideways bend shows.
    auto stripes = [&] {
        backdrop();
        gfx().setProjectionMatrix(Mat4{});
        gfx().state().depthTest = false;
        for (int i = 0; i < 32; i += 2) {
            const float x = -1.0f + float(i) / 16.0f;
            drawQuad(x, -1.0f, x + 1.0f / 16.0f, 1.0f, 0.0f, {230, 220, 90, 255});
        }
        gfx().setProjectionMatrix(projection);
        gfx().setRenderState(RenderState{});
        gfx().setWorldMatrix(world);
        drawModel(model, world);
        gfx().setWorldMatrix(Mat4{});
    };
    // The exhaust's outline, drawn flat.
    useTarget(kWidth, kHeight);
    clearTo({0, 0, 0, 255});
    {
        RenderState flat;
        flat.program = BuiltinProgram::Color;
        flat.color = Color4{255, 255, 255, 255};
        flat.depthTest = false;
        flat.cull = CullMode::None;
        gfx().setRenderState(flat);
        gfx().setWorldMatrix(jetWorld);
        drawModelNode(model, jet);
        gfx().setWorldMatrix(Mat4{});
    }
    const std::vector<Rgba> outline = frame();

    stripes();
    const std::vector<Rgba> still = frame();
    renderHeatDistortion([&] {
        gfx().setWorldMatrix(jetWorld);
        drawModelNodeDistortion(model, jet, 0.03f);
        gfx().setWorldMatrix(Mat4{});
    });
    EXPECT_EQ(gfx().currentRenderTarget(), &target()) << "the scene's target is bound again";
    applyHeatDistortion();
    const std::vector<Rgba> bent = frame();
    EXPECT_TRUE(saveTargetPng(gfx(), kWidth, kHeight, SKYFRONT_BINARY_DIR "/effects/view/heat_shimmer.png"));

    int inside = 0, outside = 0, outlined = 0;
    for (std::size_t i = 0; i < bent.size(); ++i) {
        const bool moved = !rgbNear(bent[i], still[i], 3);
        const bool behind = outline[i].r > 128;
        outlined += behind ? 1 : 0;
        if (moved)
            (behind ? inside : outside) += 1;
    }
    EXPECT_GT(outlined, 50) << "the exhaust is in view";
    EXPECT_GT(inside, outlined / 20) << "the stripes behind the exhaust move";
    EXPECT_EQ(outside, 0) << "nothing else moves";

    // Nothing hot in view this frame: the apply pass is skipped.
    stripes();
    renderHeatDistortion([] {});
    EXPECT_EQ(distortionDrawsThisFrame(), 0);
    applyHeatDistortion();
    int unbent = 0;
    const std::vector<Rgba> calm = frame();
    for (std::size_t i = 0; i < calm.size(); ++i)
        unbent += rgbNear(calm[i], still[i], 3) ? 0 : 1;
    EXPECT_EQ(unbent, 0);

    // Without the target the pass is skipped and the picture stays as it was.
    PostProcess::destroyTargets();
    EXPECT_EQ(gfx().distortionTarget, nullptr);
    stripes();
    applyHeatDistortion();
    int changed = 0;
    const std::vector<Rgba> again = frame();
    for (std::size_t i = 0; i < again.size(); ++i)
        changed += rgbNear(again[i], still[i], 3) ? 0 : 1;
    EXPECT_EQ(changed, 0);
    setGraphicsExtensions(nullptr);
    extensions.unload();
}
}  // namespace
