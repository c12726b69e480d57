#pragma once
#include "screens/IGameScreen.h"
#include "screens/scene/Scene.h"

#include <memory>

// The screen of a running game: it loads the level behind the game loading
// screen, then runs the scene each frame until a menu takes over.
class GameScreen : public IGameScreen {
public:
    static constexpr int kLoadSteps = 23;

    void update() override;
    void draw() override;
    void onBack() override;
    void onLeave() override;
    void init() override;
    // One step of the level load; k/23 after step k-1, exactly 1.0 when done.
    float loadStep() override;
    bool isLoaded() const override { return m_loaded; }

    int loadCounter() const { return m_counter; }
    Scene* gameScene() { return m_scene.get(); }
    bool initDone() const { return m_initDone; }

private:
    void runStep(int step);

    std::unique_ptr<Scene> m_scene;
    int m_counter = 0;
    int m_initCalls = 0;
    bool m_initDone = false;
    bool m_loaded = false;
};

GameScreen& gameScreen();

// The world passes the scene draws in play and behind the menus.
class GameSceneDraw : public ISceneDraw {
public:
    explicit GameSceneDraw(const Scene& scene) : m_scene(scene) {}
    void runPass(ScenePass pass) override;

private:
    const Scene& m_scene;
};

// What the scene's frame does in play: the game mode's update, the effects.
class GameSceneFrame : public ISceneFrame {
public:
    void updateGameMode() override;
    void updateCamera(float dt) override;
    bool playStopped() override;
    void updateEffectList(float dt) override;
};
