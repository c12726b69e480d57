#include "screens/scene/Scene.h"

#include "effects/EffectScene.h"
#include "effects/screen/ScreenDamage.h"
#include "effects/screen/SpeedStreaks.h"
#include "effects/screen/SunGlare.h"
#include "effects/screen/Weather.h"
#include "entities/ground/Flag.h"
#include "gamedata/AirplaneModel.h"
#include "platform/Clock.h"
#include "platform/FrameProfile.h"
#include "platform/Log.h"
#include "render/assets/Model.h"
#include "render/fx/PostProcess.h"
#include "render/world/Water.h"
#include "render/world/SkyDome.h"
#include "render/shadows/ShadowMaps.h"
#include "render/world/AtmosScatter.h"
#include "render/world/Clouds.h"
#include "render/world/Terrain.h"
#include "screens/scene/Camera.h"
#include "screens/scene/GameCamera.h"
#include "screens/scene/SceneCameras.h"
#include "entities/aircraft/Airplane.h"
#include "modes/GameMode.h"
#include "modes/GameModeGlobals.h"
#include "modes/Match.h"
#include "screens/scene/SceneWorld.h"

#include <algorithm>
#include <cmath>

namespace {
Scene* g_scene = nullptr;
VisibilityDistances g_visibility;

// The sun inputs the records were last built from; -1 forces a rebuild.
struct SunCache {
    float sun = -1.0f, weather = -1.0f, fog = -1.0f, fogStart = -1.0f;
    Color4 lightColor{0, 0, 0, 0};  // none yet: the first light is always built
    std::unique_ptr<LightRecord> light;
    std::unique_ptr<FogRecord> fogRecord;
};
SunCache& sunCache()
{
    static SunCache cache;
    return cache;
}

bool highDetailOn()
{
    const Graphics* device = graphics();
    return device && device->highDetail() != 0;
}

bool hasSceneTarget()
{
    const Graphics* device = graphics();
    if (!device)
        return false;
    for (RenderBuffer* target : device->sceneTargets)
        if (target)
            return true;
    return false;
}
}  // namespace

Scene* scene() { return g_scene; }

namespace {
// The scene's terrain as the wrecks and the effects ask for it.
class SceneGround final : public IEffectGround {
public:
    explicit SceneGround(const Scene& scene) : m_scene(scene) {}
    bool groundAt(float x, float z, float& height, Vec3& normal) const override
    {
        if (!m_scene.terrain)
            return false;
        height = m_scene.terrainHeightAndNormalAt(x, z, normal);
        return true;
    }

private:
    const Scene& m_scene;
};
}  // namespace

const VisibilityDistances& visibilityDistances() { return g_visibility; }

void setVisibilityForTier(int tier)
{
    const float d = tier >= 3 ? 20000.0f : tier == 2 ? 15000.0f : 10000.0f;
    g_visibility.distance = d;
    g_visibility.far3 = 3.0f * d;
    g_visibility.squared = d * d;
    g_visibility.squaredFifth = d * d / 25.0f;
    g_visibility.far3Squared = 9.0f * d * d;
    // Smoke, fire and wrecks past the fogged world are neither batched nor drawn.
    effectScene().viewDistanceSq = g_visibility.squared;
}

void resetSunCache()
{
    SunCache& cache = sunCache();
    // The renderer must not keep pointers to the records going away.
    if (Graphics* device = graphics()) {
        if (device->light() == cache.light.get())
            device->setLight(nullptr);
        if (device->fog() == cache.fogRecord.get())
            device->setFog(nullptr);
    }
    cache = SunCache{};
}

const LightRecord* sceneLight() { return sunCache().light.get(); }
const FogRecord* sceneFog() { return sunCache().fogRecord.get(); }

Scene::Scene()
{
    mat4Ortho(ortho2D, -1.0f, 1.0f, -1.0f, 1.0f, -1.0f, 1.0f);
    mat4Perspective(mainProjection, fieldOfView, aspect, kNearPlane, kMainFar);
    mat4Perspective(nearProjection, fieldOfView, aspect, kNearPlane, kNearFar);
    propsGrid.clear();
    m_ground = std::make_unique<SceneGround>(*this);
    g_scene = this;
}

Scene::~Scene()
{
    propsGrid.clear();
    // Effects outliving the scene fall back to flat ground.
    if (effectScene().ground == m_ground.get())
        effectScene().ground = nullptr;
    if (g_scene == this)
        g_scene = nullptr;
}

void Scene::update(ISceneFrame& frame)
{
    const float dt = frameDelta();
    {
        ProfileScope timed(FrameLib::Mode);
        frame.updateGameMode();
    }
    const bool snapshot = hasSceneTarget();
    if (snapshot)
        frame.saveMatrices(true);
    frame.updateCamera(dt);
    updateFieldOfView(frame.zoomFactor(), frame.controlsFrozen(), dt);
    frame.updateListener();
    {
        ProfileScope timed(FrameLib::Hud);
        frame.updateHud();
    }
    ProfileScope timed(FrameLib::Effects, "effects update");
    // A stopped play freezes the trails and particles, not the screen effects.
    if (frame.playStopped()) {
        frame.updateFrozenEffects(0.0f);
    } else {
        sceneTime = Clock::now();
        frame.updateFrozenEffects(dt);
    }
    EffectScene& effects = effectScene();
    effects.time = sceneTime;
    effects.ground = m_ground.get();
    // The particle batches count afresh for this frame's draw.
    effects.visibleParticles = 0;
    frame.updateEffectList(dt);
    frame.updateWorldEffects(dt);
    frame.updateScreenEffects(dt);
    if (snapshot)
        frame.saveMatrices(false);
    frame.runCallbacks();
    frame.advertiseAndJoin();
}

void Scene::updateFieldOfView(float zoom, bool controlsFrozen, float dt)
{
    fieldOfViewTarget = kPi / 4.0f + (1.0472f - kPi / 4.0f) * zoom;
    if (controlsFrozen)
        fieldOfViewTarget = kFrozenFieldOfView;
    fieldOfView += (fieldOfViewTarget - fieldOfView) * dt * 2.25f;
    setupProjection();
}

void Scene::setupProjection()
{
    const Mat4 view = camera ? camera->viewMatrix : Mat4{};
    Mat4 cull;
    mat4Perspective(cull, fieldOfView, aspect, kNearPlane, kCullFar);
    setCameraMatrices(cameraRecord, cull, view);
    mat4Perspective(mainProjection, fieldOfView, aspect, kNearPlane, kMainFar);
    // High above the ground the depth range moves out, so distant ground keeps its precision.
    const Vec3 eye = camera ? camera->position : Vec3{};
    float h = eye.y - 2000.0f;
    if (!highDetailOn())
        h -= terrainHeightAt(eye.x, eye.z);
    h = std::clamp(h, 0.0f, 3000.0f);
    nearPlane = kNearPlane + 39.25f * h / 3000.0f;
    farPlane = kNearFar;
    mat4Perspective(nearProjection, fieldOfView, aspect, nearPlane, kNearFar);
}

void Scene::updateSunAndFog(bool force)
{
    sunValue = std::clamp(sunValue, 0.0f, 1.0f);
    fogDensity = std::clamp(fogDensity, 0.0f, 1.0f);
    weatherIntensity = std::clamp(weatherIntensity, 0.0f, 1.0f);
    SunCache& cache = sunCache();
    const bool weatherMoved = std::fabs(weatherIntensity - cache.weather) > 0.01f;
    const bool sunMoved = std::fabs(sunValue - cache.sun) > 1.0f / 3600.0f;
    const bool fogMoved = std::fabs(fogDensity - cache.fog) > 0.001f;
    // The map's fog start and light arrive after the scene is made (and each
    // frame of a mission); a record built before them must not keep standing.
    const bool fogStartMoved = std::fabs(fogStart - cache.fogStart) > 1.0f;
    const bool lightMoved = lightColor.r != cache.lightColor.r || lightColor.g != cache.lightColor.g ||
                            lightColor.b != cache.lightColor.b;
    if (!force && !weatherMoved && !sunMoved && !fogMoved && !fogStartMoved && !lightMoved)
        return;
    AtmosScatter& atmos = atmosScatter();
    if (force || weatherMoved) {
        cache.weather = weatherIntensity;
        atmos.setWavelengths(weatherIntensity);
    }
    Graphics* device = graphics();
    if (force || weatherMoved || sunMoved || lightMoved || !cache.light) {
        cache.sun = sunValue;
        cache.lightColor = lightColor;
        const float angle = (sunValue * kPi - kPi / 2.0f) * 1.16f;
        Vec3 direction{std::sin(angle) * 0.333f, std::cos(angle), std::sin(angle) * 0.666f};
        const float length = std::sqrt(direction.x * direction.x + direction.y * direction.y + direction.z * direction.z);
        direction = Vec3{direction.x / length, direction.y / length, direction.z / length};
        const Vec3 colour = atmos.computeSunColor(direction);
        auto light = std::make_unique<LightRecord>();
        // The map's light tints the sunlight (and so the fog): warm over
        // green land, cold over snow.
        const float c[3] = {colour.x * lightColor.r / 255.0f, colour.y * lightColor.g / 255.0f,
                            colour.z * lightColor.b / 255.0f};
        const float d[3] = {direction.x, direction.y, direction.z};
        for (int i = 0; i < 3; ++i) {
            light->direction[i] = d[i];
            light->ambient[i] = 0.4f * c[i];
            light->diffuse[i] = 0.9f * c[i];
            light->sunColor[i] = c[i];
        }
        if (device)
            device->setLight(light.get());
        cache.light = std::move(light);
        if (device && device->qualityTier() >= 2)
            sceneClouds().relight(atmos.sunColor(), atmos.sunDirection());
    }
    cache.fog = fogDensity;
    cache.fogStart = fogStart;
    auto fog = std::make_unique<FogRecord>();
    for (int i = 0; i < 3; ++i)
        fog->color[i] = cache.light->sunColor[i];
    fog->start = fogStart + 3000.0f;
    fog->end = std::max(kClearFogEnd * (1.0f - fogDensity), 1.0f);
    if (device)
        device->setFog(fog.get());
    cache.fogRecord = std::move(fog);
}

float Scene::fogDensityOfMap(float perUnit)
{
    if (!std::isfinite(perUnit) || perUnit <= 0.0f)
        return 0.0f;
    // Thick where the air has taken all but a twentieth of the light (e^-3).
    const float end = 3.0f / perUnit;
    return std::clamp(1.0f - end / kClearFogEnd, 0.0f, 1.0f);
}

float Scene::highestLevel() const
{
    const float props = std::max(propsGrid.top(), 0.0f);
    if (!terrain)
        return props;
    return std::max(props, terrain->baseHeight() + terrain->heightRange());
}

float Scene::terrainHeightAt(float x, float z) const
{
    if (!terrain)
        return 0.0f;
    return std::max(terrain->heightAt(x, z), 0.0f);
}

float Scene::terrainHeightAndNormalAt(float x, float z, Vec3& normal) const
{
    normal = Vec3{0.0f, 1.0f, 0.0f};
    if (!terrain)
        return 0.0f;
    Vec3 n;
    const float h = terrain->heightAndNormalAt(x, z, n);
    if (!(h > 0.0f))
        return 0.0f;
    normal = n;
    return h;
}

SceneDrawFlags Scene::drawFlags() const
{
    SceneDrawFlags flags;
    flags.terrain = terrain != nullptr;
    flags.water = water != nullptr;
    flags.trees = trees != nullptr;
    flags.highDetail = highDetailOn();
    flags.shadowMaps = shadowMaps() != nullptr;
    const Graphics* device = graphics();
    flags.heatDistortion = device && device->distortionTarget != nullptr;
    // From the cockpit the player sees the parts outside it and the glass.
    if (activeCamera() == &gameCamera() && gameCamera().mode == GameCamera::kCockpitMode)
        if (const GameMode* mode = modeOf(currentMatch()))
            if (const Airplane* player = mode->playerAirplane(); player && player->isActive())
                flags.cockpitParts = true;
    return flags;
}

void Scene::draw(ISceneDraw& passes)
{
    updateSunAndFog(false);
    Graphics* device = graphics();
    RenderBuffer* shown = device ? device->currentRenderTarget() : nullptr;
    const bool reduced = PostProcess::beginReducedScene();
    for (ScenePass pass : scenePassOrder(drawFlags()))
        passes.runPass(pass);
    if (reduced)
        PostProcess::endReducedScene(shown);
}

std::vector<ScenePass> scenePassOrder(const SceneDrawFlags& flags)
{
    using P = ScenePass;
    std::vector<P> order{P::FillBuffers, P::Particles};
    if (flags.terrain)
        order.push_back(P::TerrainVisible);
    if (flags.shadowMaps)
        order.push_back(P::ShadowMaps);
    // What shimmers goes into its own target before the world is drawn.
    if (flags.heatDistortion)
        order.push_back(P::HeatSources);
    order.push_back(P::Clouds);
    if (flags.water)
        order.push_back(P::WaterPictures);
    order.insert(order.end(), {P::Clear, P::OpaqueEntities, P::Props, P::MapItems});
    if (flags.terrain)
        order.push_back(P::Terrain);
    // The sky writes no depth and fills only what nothing covers, so drawn
    // after the opaque world it shades only the pixels left over, the same
    // picture for less work. The shadows are laid after it either way.
    if (flags.water)
        order.push_back(P::WaterSurface);
    order.push_back(P::Shadows);
    if (flags.trees)
        order.insert(order.end(), {P::Vegetation, P::Trees});
    order.push_back(P::Sky);
    order.push_back(P::SunGlare);
    // The shimmer bends what is drawn so far; the smoke and fire drawn after
    // it stay sharp. They are drawn with or without it: left out under it,
    // every far and near plume would vanish at the top detail.
    if (flags.heatDistortion)
        order.push_back(P::HeatDistortion);
    order.push_back(P::ParticleLayer0);
    order.push_back(P::BlendedEffects);
    order.push_back(P::ParticleLayer1);
    order.insert(order.end(), {P::ParticleLayer2, P::Weather, P::Airplanes, P::Overlay});
    if (flags.highDetail)
        order.push_back(P::PostProcess);
    if (flags.cockpitParts)
        order.push_back(P::PlayerParts);
    order.push_back(P::ScreenEffects);
    return order;
}

void Scene::loadEffectModels()
{
    static bool loaded = false;
    if (loaded)
        return;
    loaded = true;
    setWater(&sceneWater());
    if (!sceneClouds().load())
        logWarning("scene", "no cloud atlas: the sky stays clear");
    const Graphics* device = graphics();
    setVisibilityForTier(device ? device->qualityTier() : 0);
    if (loadAllModels() <= 0)
        logWarning("scene", "no models loaded from the model table");
    resetSunCache();
    SunGlare::load();
    sceneSky().load();
    const float aspect = device && device->screenHeight() > 0
                             ? static_cast<float>(device->screenWidth()) / static_cast<float>(device->screenHeight())
                             : 1.5f;
    Weather::load(aspect);
    // The canopy glass's target comes with the first damage or cockpit view.
    if (device)
        ScreenDamage::useLazyTarget();
    SpeedStreaks::load(Vec3{}, aspect);
    if (device)
        AirplaneModel::loadSharedTextures();
    Flag::buildClothMesh();
}
