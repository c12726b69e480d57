#pragma once
#include "screens/IGameScreen.h"
#include "modes/ModeServices.h"
#include "screens/scene/Scene.h"
#include "screens/scene/SceneWorld.h"

#include <memory>

class GameMode;
class INetworkSession;

// The screen of a running game: it loads the level behind the game loading
// screen, then runs the scene each frame until a menu takes over.
class GameScreen : public IGameScreen {
public:
    static constexpr int kLoadSteps = 23;

    void update() override;
    void draw() override;
    void onBack() override;
    void onLeave() override;
    void onPause() override;
    void onResume() override;
    void onTouchDown(int id, int x, int y) override;
    void onTouchUp(int id, int x, int y) override;
    void onTouchMove(int id, int x, int y) override;
    void init() override;
    // One step of the level load; k/23 after step k-1, exactly 1.0 when done.
    float loadStep() override;
    bool isLoaded() const override { return m_loaded; }

    int loadCounter() const { return m_counter; }
    // The network game the last load step waits for and leaving ends (null: none).
    void setNetworkSession(INetworkSession* session) { m_network = session; }
    Scene* gameScene() { return m_scene.get(); }
    bool initDone() const { return m_initDone; }

private:
    void runStep(int step);
    void startLevel(GameMode* mode);
    void createScene(GameMode* mode);
    void finishLevel(GameMode* mode);

    std::unique_ptr<Scene> m_scene;
    SceneLevel m_level;
    INetworkSession* m_network = nullptr;
    int m_counter = 0;
    int m_initCalls = 0;
    bool m_initDone = false;
    bool m_loaded = false;
};

GameScreen& gameScreen();

// What the scene's frame does in play: the game mode's update, the effects.
class GameSceneFrame : public ISceneFrame {
public:
    void updateGameMode() override;
    // The renderer's projection at the start of the frame's work, put back after it.
    void saveMatrices(bool startOfFrame) override;
    void updateCamera(float dt) override;
    // Wider above cruise speed; 1 without a player plane or under the autopilot.
    float zoomFactor() override;
    bool controlsFrozen() override;
    void updateListener() override;
    bool playStopped() override;
    void updateEffectList(float dt) override;
    void updateWorldEffects(float dt) override;
    void updateHud() override;
    void updateFrozenEffects(float dt) override;
};

// The scene's weather and sun as the game mode sets them.
class SceneModeServices : public IModeScene {
public:
    int weatherMode() const override;
    void setWeather(int mode, float intensity, float secondIntensity) override;
    void setSunValue(float value) override;
    bool hitsProp(const Vec3& point, float radius) const override;
};
// The pause screen as the game mode opens it.
class SceneModeOverlays : public IModeOverlays {
public:
    bool overlayOpenOrQueued() const override;
    void openPauseScreen(PauseMenu menu) override;
    void setPaused(bool paused) override;
};
// Set while a single-player game stands still behind its pause screen.
bool gamePaused();
// The mode reaches the scene, the overlays and the camera through these.
void connectModeToScene(GameMode& mode);
