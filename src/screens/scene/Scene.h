#pragma once
#include "platform/Math.h"
#include "render/Graphics.h"
#include "render/world/PropsGrid.h"

#include <array>
#include <memory>
#include <vector>

class Camera;
class IEffectGround;
class PropBatch;
class Terrain;
class Trees;
class Water;

// What the scene's frame calls outside itself, in the order it calls it. The
// game and menu screens fill it with the game mode, the effects and the
// sound listener; tests record the calls.
class ISceneFrame {
public:
    virtual ~ISceneFrame() = default;
    virtual void updateGameMode() {}
    // Start (true) and end (false) of the frame's matrix snapshot; only with a scene target.
    virtual void saveMatrices(bool startOfFrame) { (void)startOfFrame; }
    virtual void updateCamera(float dt) { (void)dt; }
    // The field-of-view zoom: 1 without a player plane or under autopilot.
    virtual float zoomFactor() { return 1.0f; }
    virtual bool controlsFrozen() { return false; }
    virtual void updateListener() {}
    virtual void updateHud() {}
    virtual bool playStopped() { return false; }
    // Trails, particle systems and contrails: they stand still (dt 0) while play is stopped.
    virtual void updateFrozenEffects(float dt) { (void)dt; }
    // The effect list, water, weather and screen effects: always the real delta.
    virtual void updateEffectList(float dt) { (void)dt; }
    virtual void updateWorldEffects(float dt) { (void)dt; }
    // Glare, weather, splats, streaks and the faint meter: the real delta too.
    virtual void updateScreenEffects(float dt) { (void)dt; }
    virtual void runCallbacks() {}
    virtual void advertiseAndJoin() {}
};

// The draw passes of the world, in the order Scene::draw runs them.
enum class ScenePass : int {
    FillBuffers = 0, Particles, TerrainVisible, ShadowMaps, HeatSources, Clouds, WaterPictures, Clear,
    OpaqueEntities, Props, MapItems, Terrain, WaterSurface, Sky, Shadows, Vegetation, Trees,
    SunGlare, HeatDistortion, ParticleLayer0, BlendedEffects, ParticleLayer1, ParticleLayer2,
    Weather, Airplanes, Overlay, PostProcess, PlayerParts, ScreenEffects,
};

struct SceneDrawFlags {
    bool terrain = false, water = false, trees = false, highDetail = false, heatDistortion = false,
         shadowMaps = false, cockpitParts = false;
};

// The passes one draw runs for these flags; the draw calls them in this order.
std::vector<ScenePass> scenePassOrder(const SceneDrawFlags& flags);

// The draw's side of the passes; the screens fill it with the renderer, the
// effects and the game mode's draw hooks.
class ISceneDraw {
public:
    virtual ~ISceneDraw() = default;
    virtual void runPass(ScenePass pass) = 0;
};

// The one 3-D view of the world: the game screen and the menu screen each
// make one. Holds the projections, the field of view, the sun and the fog.
class Scene {
public:
    Scene();
    virtual ~Scene();
    Scene(const Scene&) = delete;
    Scene& operator=(const Scene&) = delete;

    virtual void update(ISceneFrame& frame);
    virtual void draw(ISceneDraw& passes);

    // The world renderers every scene shares (water, clouds, sky, the models
    // and the effects' resources): once a run, before the first scene.
    static void loadEffectModels();

    void setupProjection();
    void updateFieldOfView(float zoom, bool controlsFrozen, float dt);
    // Rebuilds the light and fog the renderer reads once their inputs move
    // past small thresholds, or always when forced.
    void updateSunAndFog(bool force);
    // The scene's fog density (0..1, a share of the clear fog's reach) for a
    // map's fog, given as the light the air takes per world unit; 0 for none.
    static float fogDensityOfMap(float perUnit);

    float highestLevel() const;
    float terrainHeightAt(float x, float z) const;
    float terrainHeightAndNormalAt(float x, float z, Vec3& normal) const;
    SceneDrawFlags drawFlags() const;

    Terrain* terrain = nullptr;
    std::array<PropBatch*, 5> propSets{};
    PropBatch* vegetationProps = nullptr;
    Water* water = nullptr;
    Trees* trees = nullptr;
    float sunValue = 0.5f;
    float weatherIntensity = 0.0f;
    float fogDensity = 0.0f;
    float fogStart = 0.0f;
    // The map's light, tinting the sunlight; white leaves it as the sky gives it.
    Color4 lightColor{255, 255, 255, 255};
    int weatherMode = 0;
    int treeCount = 0;
    PropsGrid propsGrid;
    float fieldOfView = kPi / 4.0f;
    float fieldOfViewTarget = kPi / 4.0f;
    float nearPlane = 2.0f;
    float farPlane = 50000.0f;
    CameraMatrices cameraRecord;
    Camera* camera = nullptr;
    Mat4 ortho2D;
    Mat4 nearProjection;
    Mat4 mainProjection;
    float sceneTime = 0.0f;
    // The window's aspect; the screens set it from the drawable.
    float aspect = 1.5f;

    static constexpr float kNearPlane = 2.0f, kCullFar = 62500.0f, kMainFar = 50000.0f, kNearFar = 55000.0f;
    static constexpr float kFrozenFieldOfView = 0.549779f;
    // Where the fog ends in clear air.
    static constexpr float kClearFogEnd = 75000.0f;

private:
    // The effects read the ground under a point through this.
    std::unique_ptr<IEffectGround> m_ground;
};

// The one scene, or null.
Scene* scene();

// How far the world is seen, from the quality tier: D and what the distance
// classes and the effect list derive from it.
struct VisibilityDistances {
    float distance = 10000.0f, far3 = 30000.0f, squared = 1.0e8f, squaredFifth = 4.0e6f, far3Squared = 9.0e8f;
};
const VisibilityDistances& visibilityDistances();
void setVisibilityForTier(int tier);

// Forgets the last sun inputs and records, so the next sun update builds both.
void resetSunCache();
// The records last handed to the renderer (null before the first sun update).
const LightRecord* sceneLight();
const FogRecord* sceneFog();
