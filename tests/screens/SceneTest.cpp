#include "screens/scene/Scene.h"

#include "effects/EffectScene.h"
#include "platform/Clock.h"
#include "render/world/Terrain.h"
#include "screens/scene/Camera.h"
#include "screens/scene/SceneWorld.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

namespace {

struct FixedCamera : Camera {
    FixedCamera() : Camera(0) {}
    void update() override {}
    void snap() override {}
    void setMode(int m) override { mode = m; }
};

// Records the frame's calls with the delta each effect update saw.
struct RecordingFrame : ISceneFrame {
    std::vector<std::string> calls;
    bool stopped = false;
    float zoom = 1.0f;
    bool frozen = false;
    float frozenDt = -1.0f, listDt = -1.0f, screenDt = -1.0f;
    void updateGameMode() override { calls.push_back("mode"); }
    void saveMatrices(bool start) override { calls.push_back(start ? "save1" : "save0"); }
    void updateCamera(float) override { calls.push_back("camera"); }
    float zoomFactor() override { return zoom; }
    bool controlsFrozen() override { return frozen; }
    void updateListener() override { calls.push_back("listener"); }
    void updateHud() override { calls.push_back("hud"); }
    bool playStopped() override { return stopped; }
    void updateFrozenEffects(float dt) override
    {
        frozenDt = dt;
        calls.push_back("trails");
    }
    void updateEffectList(float dt) override
    {
        listDt = dt;
        calls.push_back("effects");
    }
    void updateWorldEffects(float) override { calls.push_back("world"); }
    void updateScreenEffects(float dt) override
    {
        screenDt = dt;
        calls.push_back("screen");
    }
    void runCallbacks() override { calls.push_back("callbacks"); }
    void advertiseAndJoin() override { calls.push_back("join"); }
};

// A flat field of `height` over 4 x 4 cells of 1000.
void flatTerrain(Terrain& terrain, float height)
{
    Terrain::Layout layout;
    layout.grid = 4;
    layout.cellSize = 1000.0f;
    layout.baseHeight = height;
    layout.heightRange = 100.0f;
    std::vector<std::uint16_t> samples(25, 0);
    ASSERT_TRUE(terrain.setSamples(layout, samples));
}

}  // namespace

TEST(scene, DefaultsAndTheOneGlobalScene)
{
    EXPECT_EQ(scene(), nullptr);
    {
        Scene s;
        EXPECT_EQ(scene(), &s);
        EXPECT_FLOAT_EQ(s.sunValue, 0.5f);
        EXPECT_FLOAT_EQ(s.weatherIntensity, 0.0f);
        EXPECT_FLOAT_EQ(s.fieldOfView, kPi / 4.0f);
        EXPECT_FLOAT_EQ(s.fieldOfViewTarget, kPi / 4.0f);
        EXPECT_FLOAT_EQ(s.nearPlane, 2.0f);
        EXPECT_FLOAT_EQ(s.farPlane, 50000.0f);
        EXPECT_FLOAT_EQ(s.sceneTime, 0.0f);
        EXPECT_EQ(s.terrain, nullptr);
        EXPECT_EQ(s.camera, nullptr);
    }
    EXPECT_EQ(scene(), nullptr);
}

TEST(scene, FarDistancesFollowTheQualityTier)
{
    const struct {
        int tier;
        float d;
    } cases[] = {{0, 10000.0f}, {1, 10000.0f}, {2, 15000.0f}, {3, 20000.0f}, {5, 20000.0f}};
    for (const auto& c : cases) {
        setVisibilityForTier(c.tier);
        const VisibilityDistances& v = visibilityDistances();
        EXPECT_FLOAT_EQ(v.distance, c.d) << c.tier;
        EXPECT_FLOAT_EQ(v.far3, 3.0f * c.d);
        EXPECT_FLOAT_EQ(v.squared, c.d * c.d);
        EXPECT_FLOAT_EQ(v.squaredFifth, c.d * c.d / 25.0f);
        EXPECT_FLOAT_EQ(v.far3Squared, 9.0f * c.d * c.d);
    }
}

TEST(scene, NearPlaneGrowsWithHeightAboveTheGround)
{
    Scene s;
    FixedCamera cam;
    s.camera = &cam;
    const struct {
        float y;
        float nearPlane;
    } noTerrain[] = {{0.0f, 2.0f}, {2000.0f, 2.0f}, {3500.0f, 2.0f + 39.25f * 0.5f}, {5000.0f, 41.25f}, {90000.0f, 41.25f},
                     {-500.0f, 2.0f}};
    for (const auto& c : noTerrain) {
        cam.position = {100.0f, c.y, 100.0f};
        s.setupProjection();
        EXPECT_NEAR(s.nearPlane, c.nearPlane, 1e-3f) << c.y;
        EXPECT_FLOAT_EQ(s.farPlane, 55000.0f);
    }
    // Over ground 1000 high the plane must climb 1000 more for the same near plane.
    Terrain ground;
    flatTerrain(ground, 1000.0f);
    s.terrain = &ground;
    cam.position = {1500.0f, 5000.0f, 1500.0f};
    s.setupProjection();
    EXPECT_NEAR(s.nearPlane, 2.0f + 39.25f * 2000.0f / 3000.0f, 1e-3f);
    cam.position = {1500.0f, 6000.0f, 1500.0f};
    s.setupProjection();
    EXPECT_NEAR(s.nearPlane, 41.25f, 1e-3f);
}

TEST(scene, FieldOfViewMovesTowardItsTarget)
{
    Scene s;
    s.updateFieldOfView(1.0f, false, 0.0f);
    EXPECT_NEAR(s.fieldOfViewTarget, 1.0472f, 1e-4f);
    EXPECT_FLOAT_EQ(s.fieldOfView, kPi / 4.0f);  // no time, no move
    s.updateFieldOfView(2.0f, false, 0.1f);
    const float target = kPi / 4.0f + (1.0472f - kPi / 4.0f) * 2.0f;
    EXPECT_NEAR(s.fieldOfViewTarget, target, 1e-4f);
    EXPECT_NEAR(s.fieldOfView, kPi / 4.0f + (target - kPi / 4.0f) * 0.225f, 1e-4f);
    // Frozen controls narrow the view whatever the zoom.
    s.updateFieldOfView(2.5f, true, 0.1f);
    EXPECT_FLOAT_EQ(s.fieldOfViewTarget, Scene::kFrozenFieldOfView);
    for (int i = 0; i < 200; ++i)
        s.updateFieldOfView(1.0f, false, 1.0f / 30.0f);
    EXPECT_NEAR(s.fieldOfView, 1.0472f, 1e-3f);
}

TEST(scene, SunAndFogRebuildOnlyPastTheirThresholds)
{
    resetSunCache();
    Scene s;
    s.fogStart = 500.0f;
    s.updateSunAndFog(false);  // the first one always builds both
    const LightRecord* light = sceneLight();
    const FogRecord* fog = sceneFog();
    ASSERT_NE(light, nullptr);
    ASSERT_NE(fog, nullptr);
    EXPECT_FLOAT_EQ(fog->start, 3500.0f);
    EXPECT_FLOAT_EQ(fog->end, 75000.0f);
    EXPECT_NEAR(light->direction[1], std::cos(0.0f), 1e-4f);  // noon: straight up
    for (int i = 0; i < 3; ++i) {
        EXPECT_FLOAT_EQ(light->ambient[i], 0.4f * light->sunColor[i]);
        EXPECT_FLOAT_EQ(fog->color[i], light->sunColor[i]);
    }
    // Small moves keep the records.
    s.sunValue += 0.5f / 3600.0f;
    s.fogDensity += 0.0005f;
    s.weatherIntensity += 0.005f;
    s.updateSunAndFog(false);
    EXPECT_EQ(sceneFog(), fog);
    EXPECT_EQ(sceneLight(), light);
    // A fog move rebuilds only the fog.
    s.fogDensity = 1.0f;
    s.updateSunAndFog(false);
    EXPECT_NE(sceneFog(), fog);
    EXPECT_FLOAT_EQ(sceneFog()->end, 1.0f);
    // Out-of-range inputs are clamped before use.
    s.sunValue = 7.0f;
    s.updateSunAndFog(false);
    EXPECT_FLOAT_EQ(s.sunValue, 1.0f);
    EXPECT_LT(sceneLight()->direction[1], 0.0f);  // past dusk the sun is below
    EXPECT_NEAR(std::atan2(sceneLight()->direction[2], sceneLight()->direction[0]), std::atan2(0.666f, 0.333f), 1e-3f);
    const FogRecord* kept = sceneFog();
    s.updateSunAndFog(true);  // forced: always new
    EXPECT_NE(sceneFog(), kept);
    resetSunCache();
    EXPECT_EQ(sceneLight(), nullptr);
}

TEST(scene, TerrainQueriesWithAndWithoutTerrain)
{
    Scene s;
    Vec3 normal{5.0f, 5.0f, 5.0f};
    EXPECT_FLOAT_EQ(s.terrainHeightAt(10.0f, 10.0f), 0.0f);
    EXPECT_FLOAT_EQ(s.terrainHeightAndNormalAt(10.0f, 10.0f, normal), 0.0f);
    EXPECT_FLOAT_EQ(normal.y, 1.0f);
    EXPECT_FLOAT_EQ(s.highestLevel(), 0.0f);
    Terrain below;
    flatTerrain(below, -50.0f);  // sea floor: never below 0
    s.terrain = &below;
    EXPECT_FLOAT_EQ(s.terrainHeightAt(100.0f, 100.0f), 0.0f);
    normal = {};
    EXPECT_FLOAT_EQ(s.terrainHeightAndNormalAt(100.0f, 100.0f, normal), 0.0f);
    EXPECT_FLOAT_EQ(normal.y, 1.0f);
    EXPECT_FLOAT_EQ(s.highestLevel(), 50.0f);
    Terrain hill;
    flatTerrain(hill, 300.0f);
    s.terrain = &hill;
    EXPECT_FLOAT_EQ(s.terrainHeightAt(100.0f, 100.0f), 300.0f);
    EXPECT_FLOAT_EQ(s.highestLevel(), 400.0f);
}

TEST(scene, UpdateCallsInOrderAndStoppedPlayFreezesOnlyTrails)
{
    setFrameDelta(0.05f);
    Scene s;
    RecordingFrame frame;
    s.update(frame);
    const std::vector<std::string> expected{"mode",  "camera", "listener",  "hud", "trails",
                                            "effects", "world", "screen", "callbacks", "join"};
    EXPECT_EQ(frame.calls, expected);
    EXPECT_FLOAT_EQ(frame.frozenDt, 0.05f);
    EXPECT_FLOAT_EQ(frame.listDt, 0.05f);

    RecordingFrame stopped;
    stopped.stopped = true;
    s.sceneTime = -3.0f;
    s.update(stopped);
    EXPECT_FLOAT_EQ(stopped.frozenDt, 0.0f);
    EXPECT_FLOAT_EQ(stopped.listDt, 0.05f);
    EXPECT_FLOAT_EQ(stopped.screenDt, 0.05f);  // glare, weather and the faint meter run on
    EXPECT_FLOAT_EQ(s.sceneTime, -3.0f);  // the scene clock stands still too
    EXPECT_FLOAT_EQ(frameDelta(), 0.05f);
}

TEST(scene, DrawPassOrderForTheFlagCombinations)
{
    using P = ScenePass;
    auto indexOf = [](const std::vector<P>& order, P pass) {
        for (std::size_t i = 0; i < order.size(); ++i)
            if (order[i] == pass)
                return static_cast<int>(i);
        return -1;
    };
    for (int bits = 0; bits < 64; ++bits) {
        SceneDrawFlags f;
        f.terrain = bits & 1;
        f.water = bits & 2;
        f.trees = bits & 4;
        f.highDetail = bits & 8;
        f.heatDistortion = bits & 16;
        f.cockpitParts = bits & 32;
        const std::vector<P> order = scenePassOrder(f);
        EXPECT_EQ(indexOf(order, P::Terrain) >= 0, f.terrain) << bits;
        EXPECT_EQ(indexOf(order, P::WaterSurface) >= 0, f.water) << bits;
        EXPECT_EQ(indexOf(order, P::Trees) >= 0, f.trees) << bits;
        EXPECT_EQ(indexOf(order, P::PostProcess) >= 0, f.highDetail) << bits;
        EXPECT_EQ(indexOf(order, P::HeatDistortion) >= 0, f.heatDistortion) << bits;
        EXPECT_EQ(indexOf(order, P::HeatSources) >= 0, f.heatDistortion) << bits;
        if (f.heatDistortion) {
            EXPECT_LT(indexOf(order, P::HeatSources), indexOf(order, P::Clear)) << bits;
        }
        // The shadows darken the sky too, as they would were it drawn first.
        EXPECT_LT(indexOf(order, P::Sky), indexOf(order, P::SunGlare)) << bits;
        // Smoke and fire draw whether or not the air shimmers, after the shimmer.
        for (P layer : {P::ParticleLayer0, P::ParticleLayer1, P::ParticleLayer2})
            EXPECT_GE(indexOf(order, layer), 0) << bits;
        if (f.heatDistortion) {
            EXPECT_LT(indexOf(order, P::HeatDistortion), indexOf(order, P::ParticleLayer0)) << bits;
            EXPECT_GT(indexOf(order, P::HeatDistortion), indexOf(order, P::Sky)) << bits;
        }
        // Buffers fill before any pass draws; the world is cleared before the opaque pass.
        EXPECT_EQ(order.front(), P::FillBuffers);
        EXPECT_LT(indexOf(order, P::Clear), indexOf(order, P::OpaqueEntities));
        EXPECT_LT(indexOf(order, P::OpaqueEntities), indexOf(order, P::Sky));
        // The opaque world near to far, the sky last into what is left.
        if (f.water) {
            EXPECT_LT(indexOf(order, P::WaterSurface), indexOf(order, P::Sky)) << bits;
        }
        if (f.trees) {
            EXPECT_LT(indexOf(order, P::Trees), indexOf(order, P::Sky)) << bits;
        }
        if (f.terrain) {
            EXPECT_LT(indexOf(order, P::TerrainVisible), indexOf(order, P::Clear)) << bits;
            EXPECT_LT(indexOf(order, P::Terrain), indexOf(order, P::Sky)) << bits;
        }
        EXPECT_LT(indexOf(order, P::BlendedEffects), indexOf(order, P::Airplanes));
        EXPECT_LT(indexOf(order, P::Airplanes), indexOf(order, P::Overlay));
        EXPECT_EQ(order.back(), P::ScreenEffects);
        if (f.cockpitParts) {
            EXPECT_EQ(order[order.size() - 2], P::PlayerParts);
        }
    }
}

TEST(scene, EffectsReadTheSceneClockAndGroundOnlyWhileTheSceneLives)
{
    setFrameDelta(0.02f);
    EffectScene& effects = effectScene();
    {
        Scene s;
        RecordingFrame frame;
        effects.visibleParticles = 40;   // last frame's count
        s.update(frame);
        EXPECT_FLOAT_EQ(effects.time, s.sceneTime);
        EXPECT_EQ(effects.visibleParticles, 0);
        ASSERT_NE(effects.ground, nullptr);
        float height = -1.0f;
        Vec3 normal;
        EXPECT_FALSE(effects.ground->groundAt(0.0f, 0.0f, height, normal));   // no terrain: flat ground
        Terrain hill;
        flatTerrain(hill, 300.0f);
        s.terrain = &hill;
        ASSERT_TRUE(effects.ground->groundAt(100.0f, 100.0f, height, normal));
        EXPECT_FLOAT_EQ(height, 300.0f);
        EXPECT_FLOAT_EQ(normal.y, 1.0f);
        s.terrain = nullptr;
    }
    // A wreck outliving the scene must not ask a deleted one.
    EXPECT_EQ(effects.ground, nullptr);
}

