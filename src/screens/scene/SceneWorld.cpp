#include "screens/scene/SceneWorld.h"

#include "effects/AircraftEffects.h"
#include "effects/EffectList.h"
#include "effects/EffectScene.h"
#include "effects/trails/Tracers.h"
#include "effects/particles/ParticleBatches.h"
#include "effects/screen/ScreenDamage.h"
#include "effects/screen/ScreenSplats.h"
#include "effects/screen/SpeedStreaks.h"
#include "effects/screen/SunGlare.h"
#include "effects/world/AircraftLooks.h"
#include "entities/Target.h"
#include "entities/aircraft/Airplane.h"
#include "entities/weapons/Machinegun.h"
#include "gamedata/map/GameWorld.h"
#include "gamedata/records/MapInfoCfg.h"
#include "modes/GameMode.h"
#include "modes/GameModeGlobals.h"
#include "modes/Match.h"
#include "platform/FrameProfile.h"
#include "platform/Log.h"
#include "render/DepthRange.h"
#include "render/Graphics.h"
#include "render/fx/PostProcess.h"
#include "render/shadows/ShadowMaps.h"
#include "render/shadows/ShadowVolumes.h"
#include "render/world/AtmosScatter.h"
#include "render/world/Clouds.h"
#include "render/world/Props.h"
#include "render/world/SkyDome.h"
#include "render/world/Terrain.h"
#include "render/world/Trees.h"
#include "render/world/Water.h"
#include "screens/scene/Camera.h"

#include <algorithm>
#include <cmath>
#include <iterator>
#ifdef __GLIBC__
#include <malloc.h>
#endif

namespace {
// Ground that never rises this high is sea floor and flat shore: no forest.
constexpr float kForestMinimumRelief = 100.0f;
constexpr const char* kDetailTexture = "data/terrain/detail.pvr";
constexpr const char* kTreeTexture = "data/terrain/trees.png";
constexpr const char* kSkyTexture = "data/sky/horizon.png";

// The frame timing's name and library of each pass, in ScenePass order.
struct PassLabel {
    const char* name;
    FrameLib lib;
};
constexpr PassLabel kPassLabels[] = {
    {"fill buffers", FrameLib::World},  {"particle fill", FrameLib::Effects}, {"terrain cull", FrameLib::World},
    {"shadow maps", FrameLib::World},   {"heat sources", FrameLib::PostProcess}, {"clouds", FrameLib::World},
    {"water pictures", FrameLib::World},
    {"clear", FrameLib::World},         {"opaque entities", FrameLib::Entities}, {"props", FrameLib::World},
    {"map items", FrameLib::Entities},  {"terrain", FrameLib::World},         {"water", FrameLib::World},
    {"sky", FrameLib::World},           {"shadows", FrameLib::World},         {"vegetation", FrameLib::World},
    {"trees", FrameLib::World},         {"sun glare", FrameLib::Effects},     {"heat distortion", FrameLib::PostProcess},
    {"particles 0", FrameLib::Effects}, {"blended effects", FrameLib::Effects}, {"particles 1", FrameLib::Effects},
    {"particles 2", FrameLib::Effects}, {"weather", FrameLib::Effects},       {"airplanes", FrameLib::Entities},
    {"overlay", FrameLib::Hud},         {"post-process", FrameLib::PostProcess}, {"player parts", FrameLib::Entities},
    {"screen effects", FrameLib::Effects},
};
static_assert(std::size(kPassLabels) == static_cast<std::size_t>(ScenePass::ScreenEffects) + 1);
}  // namespace

void returnFreedMemory()
{
#ifdef __GLIBC__
    malloc_trim(0);
#endif
}

Water& sceneWater()
{
    static Water water;
    return water;
}

Clouds& sceneClouds()
{
    static Clouds clouds;
    return clouds;
}

SkyDome& sceneSky()
{
    static SkyDome sky;
    return sky;
}

const std::array<const char*, SceneLevel::kPropSets + 1>& SceneLevel::propTextureNames()
{
    static const std::array<const char*, kPropSets + 1> names{"building.pvr", "build1.pvr", "build2.pvr",
                                                              "build_a.png",  "units.pvr",  "vegetati.png"};
    return names;
}

SceneLevel::SceneLevel() = default;
SceneLevel::~SceneLevel() = default;

void SceneLevel::attachTerrain(Scene& scene, GameWorld& world)
{
    Terrain* terrain = world.terrain();
    scene.terrain = terrain;
    if (!terrain)
        return;
    const MapInfoCfg* record = world.mapRecord();
    const std::string folder = record ? record->terrain : std::string();
    if (graphics() && !terrain->upload("data/terrain/" + folder + "/wm.pvr", kDetailTexture))
        logWarning("scene", "the ground of %s cannot go to the GPU", folder.c_str());
    setShaderTerrainSize(terrain->size());
    Water& water = sceneWater();
    water.setWorld(terrain, &sceneSky(), &atmosScatter());
    water.technique().setWaterValue(record ? record->water : 0.5f);
    scene.water = &water;
    setWater(&water);
    scene.fogStart = record ? record->fogStart : 0.0f;
}

bool SceneLevel::loadSky()
{
    if (!graphics())
        return false;
    if (sceneSky().loadTexture(kSkyTexture))
        return true;
    logWarning("scene", "the sky's texture %s does not load; the sky stays plain", kSkyTexture);
    return false;
}

void SceneLevel::buildProps(Scene& scene, const GameWorld& world)
{
    allocatePropBuffers();
    const auto& names = propTextureNames();
    for (int i = 0; i <= kPropSets; ++i) {
        std::unique_ptr<PropBatch> batch = ::buildProps(names[i], world);
        if (batch && !batch->texture())
            batch.reset();  // the level still loads without it
        if (i < kPropSets)
            m_props[i] = std::move(batch);
        else
            m_vegetation = std::move(batch);
    }
    unmapPropBuffers();
    for (int i = 0; i < kPropSets; ++i)
        scene.propSets[i] = m_props[i].get();
    scene.vegetationProps = m_vegetation.get();
}

void SceneLevel::buildPropsGrid(Scene& scene, const GameWorld& world) { scene.propsGrid.build(world); }

void SceneLevel::buildClouds(const Scene& scene, float amount)
{
    sceneClouds().buildField(amount, scene.highestLevel());
    const AtmosScatter& atmos = atmosScatter();
    sceneClouds().relight(atmos.sunColor(), atmos.sunDirection());
}

void SceneLevel::buildForest(Scene& scene, const MapInfoCfg* record, int treeCount)
{
    returnFreedMemory();
    scene.treeCount = treeCount;
    const Terrain* terrain = scene.terrain;
    if (!terrain || terrain->baseHeight() + terrain->heightRange() <= kForestMinimumRelief || treeCount <= 0)
        return;
    auto trees = std::make_unique<Trees>();
    if (const Graphics* device = graphics())
        trees->setDetail(Trees::detailFor(device->qualityTier()));
    bool built = false;
    if (record && !record->treeFile.empty())
        built = trees->buildFromFile(treeCount, "data/terrain/" + record->treeFile + ".raw", kTreeTexture, *terrain);
    if (!built)
        trees->buildForest(kTreeTexture, *terrain, treeCount);
    logInfo("scene", "forest: %zu trees of %d asked for", trees->trees().size(), treeCount);
    m_trees = std::move(trees);
    scene.trees = m_trees.get();
}

void SceneLevel::buildAll(Scene& scene, GameWorld& world, int treeCount)
{
    attachTerrain(scene, world);
    (void)loadSky();
    buildProps(scene, world);
    buildPropsGrid(scene, world);
    const MapInfoCfg* record = world.mapRecord();
    buildClouds(scene, record ? record->cloudAmount : -1.0f);
    buildForest(scene, record, treeCount);
}

void SceneLevel::release(Scene& scene)
{
    scene.propSets.fill(nullptr);
    scene.vegetationProps = nullptr;
    scene.trees = nullptr;
    scene.water = nullptr;
    scene.terrain = nullptr;
    scene.propsGrid.clear();
    // The water keeps no link to a terrain about to go.
    sceneWater().setWorld(nullptr, &sceneSky(), &atmosScatter());
    for (auto& batch : m_props)
        batch.reset();
    m_vegetation.reset();
    m_trees.reset();
    returnFreedMemory();
}

int SceneLevel::propSetCount() const
{
    int count = 0;
    for (const auto& batch : m_props)
        count += batch ? 1 : 0;
    return count;
}

GameSceneDraw::GameSceneDraw(const Scene& scene) : m_scene(scene)
{
    const Camera* camera = scene.camera;
    const Vec3 eye = camera ? camera->position : Vec3{};
    m_view = WorldView::fromMatrices(eye, camera ? camera->viewMatrix : Mat4{}, scene.mainProjection);
    m_drawView.eye = eye;
    m_drawView.forward = camera ? camera->forward : Vec3{0.0f, 0.0f, -1.0f};
    m_drawView.time = scene.sceneTime;
    m_drawView.frustum = &m_view.camera;
}

void GameSceneDraw::setWorldMatrices(const Mat4& projection)
{
    Graphics* device = graphics();
    device->setProjectionMatrix(projection);
    device->setViewMatrix(m_view.view());
    device->setWorldMatrix(Mat4{});
}

void GameSceneDraw::drawEntities(DrawPass pass)
{
    GameMode* mode = modeOf(currentMatch());
    if (!mode)
        return;
    // The opaque pass draws the near entities first, the late pass the far
    // ones: what is near covers what is far at the least cost either way.
    const bool nearFirst = pass == DrawPass::Opaque;
    const float nearestReach = nearestNearReach(*mode);
    for (const bool nearGroup : {nearFirst, !nearFirst}) {
        if (nearGroup)
            useNearProjection(nearestReach);
        else
            useFarProjection();
        for (Target* target : mode->activeTargets()) {
            if ((target->drawClass == 1) != nearGroup || !target->isDrawnIn(m_drawView))
                continue;
            target->drawIn(m_drawView, pass);
            ++m_entitiesDrawn;
        }
    }
    // The world goes on under the far projection; the draws leave their own model matrix behind.
    useFarProjection();
}

float GameSceneDraw::nearestNearReach(const GameMode& mode) const
{
    float nearestReach = 1e30f;
    for (const Target* target : mode.activeTargets())
        if (target->drawClass == 1 && target->isDrawnIn(m_drawView))
            nearestReach = std::min(nearestReach, vec3Length(target->position() - m_view.eye) - target->drawRadius());
    return nearestReach;
}

void GameSceneDraw::useFarProjection()
{
    setDepthRange(0.0f, 1.0f);
    setWorldMatrices(m_scene.mainProjection);
}

void GameSceneDraw::useNearProjection(float nearestReach)
{
    Mat4 projection = m_scene.nearProjection;
    const float plane = nearEntitiesPlane(m_scene.nearPlane, nearestReach);
    if (plane < m_scene.nearPlane)
        mat4Perspective(projection, m_scene.fieldOfView, m_scene.aspect, plane, Scene::kNearFar);
    const DepthRange range = matchedDepthRange(projection, m_scene.mainProjection);
    setDepthRange(range.nearValue, range.farValue);
    setWorldMatrices(projection);
}

DepthRange matchedDepthRange(const Mat4& own, const Mat4& into)
{
    // At eye distance z a perspective gives NDC depth A + B / z with A = -m10
    // and B = m14; a range r maps it to r.near + (r.far - r.near) (ndc + 1) / 2.
    const float ownA = -own.m[10], ownB = own.m[14], intoA = -into.m[10], intoB = into.m[14];
    DepthRange range;
    if (!(std::fabs(ownB) > 0.0f) || !std::isfinite(intoB / ownB))
        return range;
    const float span = intoB / ownB;
    range.nearValue = 0.5f * (1.0f + intoA) - 0.5f * span * (1.0f + ownA);
    range.farValue = range.nearValue + span;
    return range;
}

bool mapItemsDepthFirst(int qualityTier)
{
    // Only the top tier shades the items with the shadow map, where a pixel
    // shaded twice costs the most.
    return qualityTier >= 3;
}

float nearEntitiesPlane(float scenePlane, float nearestReach)
{
    return std::clamp(std::min(scenePlane, nearestReach), Scene::kNearPlane, std::max(scenePlane, Scene::kNearPlane));
}

void GameSceneDraw::drawReflectedEntities()
{
    GameMode* mode = modeOf(currentMatch());
    if (!mode)
        return;
    // Seen from below the sea: no frustum of the camera's own, and the
    // mirror turns every winding round.
    DrawView mirrored = m_drawView;
    mirrored.eye.y = -mirrored.eye.y;
    mirrored.forward.y = -mirrored.forward.y;
    mirrored.frustum = nullptr;
    Graphics* device = graphics();
    device->setMirroredWinding(true);
    for (Target* target : mode->activeTargets()) {
        if (!isReflected(*target) || !target->isDrawnIn(mirrored))
            continue;
        target->drawIn(mirrored, DrawPass::Opaque);
        ++m_entitiesReflected;
    }
    device->setMirroredWinding(false);
    device->setWorldMatrix(Mat4{});
}

bool isReflected(const Target& target)
{
    constexpr float kReflectedBelow = 250.0f;
    constexpr float kReflectedWithinSq = 1.0e8f;
    return target.drawClass != 0 && target.isGroundTarget() && target.position().y < kReflectedBelow &&
           target.cameraDistanceSq <= kReflectedWithinSq;
}

void GameSceneDraw::drawBombMarker()
{
    GameMode* mode = modeOf(currentMatch());
    if (!mode || !mode->playerAirplane() || !graphics())
        return;
    setWorldMatrices(m_scene.mainProjection);
    mode->drawBombMarker(m_drawView);
    graphics()->setWorldMatrix(Mat4{});
}

void GameSceneDraw::drawParticleLayer(int pass)
{
    if (particleBatchCount(pass) <= 0)
        return;
    setWorldMatrices(m_scene.mainProjection);
    flushParticleBatch(pass);
}

void GameSceneDraw::drawHeatDistortion()
{
    GameMode* mode = modeOf(currentMatch());
    if (!mode)
        return;
    // The near entities and the effects within 250 units under the near
    // projection, then the far entities under the world's.
    useNearProjection(nearestNearReach(*mode));
    for (Target* target : mode->activeTargets())
        if (target->drawClass == 1 && target->isDrawnIn(m_drawView))
            target->drawHeatDistortionIn(m_drawView);
    drawEffectsModelPass(true, true);
    useFarProjection();
    for (Target* target : mode->activeTargets())
        if (target->drawClass >= 2 && target->isDrawnIn(m_drawView))
            target->drawHeatDistortionIn(m_drawView);
    graphics()->setWorldMatrix(Mat4{});
}

void GameSceneDraw::drawWeather()
{
    Weather::View view;
    GameMode* mode = modeOf(currentMatch());
    if (const Airplane* player = mode ? mode->playerAirplane() : nullptr) {
        view.hasPlayer = true;
        // No rain falls inside a tunnel.
        view.insideTarget = mode->findGroundTargetAt(player->position(), 0.0f) != nullptr;
    }
    m_weatherDrawn = Weather::render(m_scene.weatherMode, m_scene.weatherIntensity, view);
}

void GameSceneDraw::drawDamageFlash()
{
    const float flash = damageFlashAlpha(ScreenSplats::hitTimer());
    if (flash > 0.0f)
        drawScreenTint(Color4{255, 236, 200, static_cast<std::uint8_t>(std::lround(flash * 255.0f))});
}

void GameSceneDraw::drawScreenTint(const Color4& color)
{
    Graphics* device = graphics();
    const Mat4 projection = device->projectionMatrix(), view = device->viewMatrix();
    device->setProjectionMatrix(Mat4{});
    device->setViewMatrix(Mat4{});
    device->setWorldMatrix(Mat4{});
    device->pushState();
    RenderState state = RenderState::alphaBlend();
    state.depthTest = false;
    state.program = BuiltinProgram::Color;
    state.color = color;
    device->setRenderState(state);
    device->drawFullScreenQuad();
    device->popState();
    device->setProjectionMatrix(projection);
    device->setViewMatrix(view);
}

float damageFlashAlpha(float hitTimer)
{
    // A missile burst whites out half the view and fades over its second.
    return std::clamp(hitTimer, 0.0f, 1.0f) * 0.6f;
}

void GameSceneDraw::runPass(ScenePass pass)
{
    Graphics* device = graphics();
    if (!device)
        return;
    const PassLabel& label = kPassLabels[static_cast<int>(pass)];
    ProfileScope timed(label.lib, label.name);
    Terrain* terrain = m_scene.terrain;
    switch (pass) {
    case ScenePass::FillBuffers:
        m_target = device->currentRenderTarget();
        m_drawTarget = chooseDrawTarget(m_target);
        setEffectCamera(m_view.eye, m_view.view(), m_view.projection());
        ShadowVolumes::buildIndices(m_view);
        if (m_scene.trees)
            m_scene.trees->fillBuffer(m_view);
        sceneClouds().fillBuffer(m_view.eye);
        break;
    case ScenePass::Particles:
        // The three layers' batches start empty; the effect list fills them far to late.
        drawParticleBatches();
        drawEffects(2);
        drawEffects(1);
        drawEffects(0);
        break;
    case ScenePass::TerrainVisible:
        terrain->updateVisible(m_scene.fieldOfView, m_view, terrainLevelBias(device->qualityTier()));
        break;
    case ScenePass::ShadowMaps:
        renderShadowMaps(m_view.eye);
        break;
    case ScenePass::Clouds:
        setWorldMatrices(m_scene.nearProjection);
        sceneClouds().renderToTarget(m_view);
        ScreenDamage::render();
        break;
    case ScenePass::WaterPictures:
        setWorldMatrices(m_scene.mainProjection);
        m_scene.water->renderRefraction();
        m_scene.water->renderReflection([this] { drawReflectedEntities(); });
        m_scene.water->finishTargets();
        break;
    case ScenePass::Clear:
        {
            ProfileScope bind(FrameLib::World, "bind scene");
            device->setRenderTarget(m_drawTarget);
        }
        setWorldMatrices(m_scene.mainProjection);
        device->clear();
        break;
    case ScenePass::OpaqueEntities:
        drawEntities(DrawPass::Opaque);
        if (const GameMode* mode = modeOf(currentMatch()))
            mode->drawParachutes(1);
        // Wrecks: the near band, then the far one.
        drawEffectsModelPass(true, false);
        setWorldMatrices(m_scene.mainProjection);
        drawEffectsModelPass(false, false);
        device->setWorldMatrix(Mat4{});
        break;
    case ScenePass::Props: {
        // The map items' depth first: their color pass then shades only what shows.
        const bool depthFirst = mapItemsDepthFirst(device->qualityTier());
        const PropCull cull{&m_view, propReach(device->qualityTier())};
        if (depthFirst)
            for (const PropBatch* batch : m_scene.propSets)
                drawProps(batch, 0, false, cull);
        for (const PropBatch* batch : m_scene.propSets)
            drawProps(batch, 1, depthFirst, cull);
        break;
    }
    case ScenePass::Terrain:
        terrain->drawPass();
        break;
    case ScenePass::WaterSurface:
        m_scene.water->drawSurface();
        break;
    case ScenePass::Shadows:
        ShadowVolumes::renderStencil();
        if (m_scene.water)
            m_scene.water->afterShadow();
        break;
    case ScenePass::Vegetation:
        drawProps(m_scene.vegetationProps, 1, false, PropCull{&m_view, propReach(device->qualityTier())});
        break;
    case ScenePass::Trees:
        m_scene.trees->drawPass2();
        break;
    case ScenePass::Sky:
        sceneSky().draw(atmosScatter(), m_view.eye);
        break;
    case ScenePass::SunGlare: {
        {
            ProfileScope shade(FrameLib::World, "shadow shade");
            ShadowVolumes::applyShadow();
        }
        SunGlare::renderOverlay();
        if (!device->highDetail())
            SunGlare::render();
        ProfileScope composite(FrameLib::World, "cloud composite");
        sceneClouds().composite(m_view);
        setWorldMatrices(m_scene.mainProjection);
        break;
    }
    case ScenePass::HeatSources:
        renderHeatDistortion([this] { drawHeatDistortion(); });
        break;
    case ScenePass::HeatDistortion:
        applyHeatDistortion();
        break;
    case ScenePass::ParticleLayer0:
        drawParticleLayer(2);
        break;
    case ScenePass::ParticleLayer1:
        drawParticleLayer(1);
        break;
    case ScenePass::ParticleLayer2:
        drawParticleLayer(0);
        break;
    case ScenePass::Weather:
        drawWeather();
        break;
    case ScenePass::ScreenEffects:
        SunGlare::renderFlare();
        if (device->highDetail())
            SpeedStreaks::render();
        {
            ProfileScope splats(FrameLib::Effects, "splats");
            ScreenSplats::render();
            drawDamageFlash();
        }
        break;
    case ScenePass::Airplanes:
        drawEntities(DrawPass::Late);
        break;
    case ScenePass::PlayerParts:
        // The last 3-D draw: the player's own parts, then the canopy glass
        // with its cracks over everything.
        if (GameMode* mode = modeOf(currentMatch())) {
            if (Airplane* player = mode->playerAirplane()) {
                setWorldMatrices(m_scene.mainProjection);
                player->drawParts(m_drawView);
                device->setWorldMatrix(Mat4{});
                ScreenDamage::drawGlass();
            }
        }
        break;
    case ScenePass::BlendedEffects:
        // Contrails, trails, tracers and the pooled effects over the world.
        Tracers::begin();
        Machinegun::submitTracers();
        AircraftEffects::draw(m_scene.mainProjection, m_scene.nearProjection);
        if (GameMode* mode = modeOf(currentMatch()))
            mode->drawParachutes(0);
        setWorldMatrices(m_scene.mainProjection);
        break;
    case ScenePass::PostProcess:
        drawPicturePasses();
        break;
    default:
        break;
    }
}
