#pragma once
#include "render/Texture2D.h"
#include "screens/IGameScreen.h"
#include "screens/MenuTouchRouter.h"
#include "screens/scene/Scene.h"
#include "screens/scene/SceneWorld.h"

#include <array>
#include <memory>

// The screen behind the menus. It loads in 18 steps, once a run, from the menu
// loading screen; entering it again later does not repeat them.
class MenuScreen : public IGameScreen {
public:
    static constexpr int kLoadSteps = 18;

    float loadStep() override;
    bool isLoaded() const override { return m_loaded; }
    void init() override;
    void update() override;
    void draw() override;
    void onTouchDown(int id, int x, int y) override { m_touches.down(id, x, y); }
    void onTouchUp(int id, int x, int y) override { m_touches.up(id, x, y); }
    void onTouchMove(int id, int x, int y) override { m_touches.move(id, x, y); }
    void onTouchCancel(int id) override { m_touches.cancel(id); }
    void onScroll(int id, float dx, float dy) override;
    void onSwipe(int id, float vx, float vy) override;
    void onBack() override;
    // Entering starts the menu flight and its scene; leaving ends both.
    void onEnter() override;
    void onLeave() override;
    Scene* menuScene() { return m_scene.get(); }
    // The showcase: the plane the scene pages show, and the camera's mode
    // (snap ends a running move at once; mode 0 without snap returns to rest).
    void changeShowcasePlane(int planeId);
    // Whether the 3-D scene is drawn behind the pages; a page that covers the
    // whole screen turns it off until it leaves. Entering the screen turns it on.
    void setSceneDrawn(bool drawn) { m_sceneDrawn = drawn; }
    bool sceneDrawn() const { return m_sceneDrawn; }
    void setShowcaseCameraMode(int mode, bool snap);

    int trackedTouch() const { return m_touches.tracked(); }
    int loadCounter() const { return m_step; }

private:
    void loadSettingsAndLanguage();
    void loadGameLists();
    void loadSharedModelTexture(int index);
    void startMenuFlight();

    MenuTouchRouter m_touches;
    bool m_loaded = false;
    bool m_initDone = false;
    bool m_sceneDrawn = true;
    int m_step = 0;      // lives for the whole run
    std::unique_ptr<Scene> m_scene;
    SceneLevel m_level;
    TextureRef m_effectsTexture;   // kept loaded for the particles and effects
    // The models' shared textures, held from the load on (reduced below tier 2).
    static constexpr int kSharedModelTextures = 6;
    std::array<TextureRef, kSharedModelTextures> m_sharedTextures;
};

MenuScreen& menuScreen();
