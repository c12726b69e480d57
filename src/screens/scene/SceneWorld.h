#pragma once
#include "effects/screen/Weather.h"
#include "entities/TargetDraw.h"
#include "render/world/WorldView.h"
#include "screens/scene/Scene.h"

#include <array>
#include <memory>
#include <string>

class Clouds;
class Target;
class GameMode;
class GameWorld;
class PropBatch;
class RenderBuffer;
class SkyDome;
class Trees;
class Water;
struct MapInfoCfg;

// A level's pieces are large and freed all at once when it goes (and before
// a level's forest, the last piece, after the load's decoded pictures), as
// are the menus' sheets when a game loads: the allocator hands the free pages
// back, also those between blocks still in use, instead of keeping them.
void returnFreedMemory();

// The world renderers every scene shares; Scene::loadEffectModels loads them.
Water& sceneWater();
Clouds& sceneClouds();
SkyDome& sceneSky();

// What a screen builds for the level its scene shows and frees when it is
// left: the ground's textures, the water's link to the map, the prop
// batches, the props grid, the forest and the cloud field.
class SceneLevel {
public:
    static constexpr int kPropSets = 5;
    // The batches' textures: five prop sets, then the vegetation.
    static const std::array<const char*, kPropSets + 1>& propTextureNames();

    SceneLevel();
    ~SceneLevel();
    SceneLevel(const SceneLevel&) = delete;
    SceneLevel& operator=(const SceneLevel&) = delete;

    // The ground's textures and the water, when the world has terrain.
    void attachTerrain(Scene& scene, GameWorld& world);
    // The sky's horizon band of high cloud; without it the sky stays plain.
    static bool loadSky();
    // The prop batches of the map's items; a batch whose texture does not
    // load leaves its slot empty.
    void buildProps(Scene& scene, const GameWorld& world);
    void buildPropsGrid(Scene& scene, const GameWorld& world);
    void buildClouds(const Scene& scene, float amount);
    // The forest: from the map's density file when it names one, else
    // scattered over the ground. Only ground with some height gets trees.
    void buildForest(Scene& scene, const MapInfoCfg* record, int treeCount);
    // Everything above at once, for the menu's flight.
    void buildAll(Scene& scene, GameWorld& world, int treeCount);
    // The scene stops pointing at what this level built; then it goes.
    void release(Scene& scene);

    int propSetCount() const;
    const Trees* trees() const { return m_trees.get(); }

private:
    std::array<std::unique_ptr<PropBatch>, kPropSets> m_props;
    std::unique_ptr<PropBatch> m_vegetation;
    std::unique_ptr<Trees> m_trees;
};

// The world passes the scene draws in play and behind the menus: the ground,
// the sea with its pictures, the props, the forest, the clouds and the sky in
// the renderer's order, the game mode's entities and the effects.
class GameSceneDraw : public ISceneDraw {
public:
    explicit GameSceneDraw(const Scene& scene);
    // The draw view points into the object's own frustum.
    GameSceneDraw(const GameSceneDraw&) = delete;
    GameSceneDraw& operator=(const GameSceneDraw&) = delete;
    void runPass(ScenePass pass) override;

    const WorldView& view() const { return m_view; }
    // Entities drawn by the last opaque and late passes, and into the sea's reflection.
    int entitiesDrawn() const { return m_entitiesDrawn; }
    int entitiesReflected() const { return m_entitiesReflected; }
    // The bomb marker of the player's airplane over the world, after the HUD.
    void drawBombMarker();

    // What the weather pass drew (drops and falling particles).
    const Weather::Drawn& weatherDrawn() const { return m_weatherDrawn; }

private:
    void drawEntities(DrawPass pass);
    // The far entities share the world's projection; the near ones get the
    // scene's near projection with their depth mapped onto it.
    void useFarProjection();
    void useNearProjection(float nearestReach);
    // How near the nearest drawn entity of the near class reaches to the eye.
    float nearestNearReach(const GameMode& mode) const;
    void drawParticleLayer(int pass);
    void drawHeatDistortion();
    void drawWeather();
    void drawDamageFlash();
    void drawScreenTint(const Color4& color);
    void drawReflectedEntities();
    void setWorldMatrices(const Mat4& projection);
    // At the top detail the world is drawn into the scene target; these put
    // it on the final target (ScenePicture.cpp).
    RenderBuffer* chooseDrawTarget(RenderBuffer* finalTarget) const;
    void drawPicturePasses();
    void drawPlayerOverPicture();

    const Scene& m_scene;
    WorldView m_view;
    DrawView m_drawView;
    RenderBuffer* m_target = nullptr;       // the final target, bound when the draw began
    RenderBuffer* m_drawTarget = nullptr;   // where the world is drawn
    int m_entitiesDrawn = 0;
    int m_entitiesReflected = 0;
    Weather::Drawn m_weatherDrawn;
};

// How much of the view a missile burst on the player whites out (0..1) for the splats' hit timer.
float damageFlashAlpha(float hitTimer);
// The window depth range under which `own` writes the same depth as `into`
// does under 0..1 for every point (both perspectives of one field of view).
struct DepthRange {
    float nearValue = 0.0f, farValue = 1.0f;
};
DepthRange matchedDepthRange(const Mat4& own, const Mat4& into);
// The near entities' near plane: the scene's, pulled in so it never cuts the
// nearest of them (its distance less its reach), never below the least plane.
float nearEntitiesPlane(float scenePlane, float nearestReach);

// Whether the map items lay their depth before their color at a quality tier.
bool mapItemsDepthFirst(int qualityTier);

// Whether the sea mirrors the entity: a ground unit near the water, drawn, not too far.
bool isReflected(const Target& target);
