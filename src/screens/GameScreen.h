#pragma once
#include "screens/IGameScreen.h"
#include "effects/screen/FaintMeter.h"
#include "modes/ModeServices.h"
#include "screens/scene/Scene.h"
#include "screens/scene/SceneWorld.h"

#include <functional>
#include <memory>
#include <vector>

class GameMode;
class MenuFrame;
class INetworkSession;
class Steam;

// The screen of a running game: it loads the level behind the game loading
// screen, then runs the scene each frame until a menu takes over.
class GameScreen : public IGameScreen {
public:
    static constexpr int kLoadSteps = 23;
    // The menus' sprite sets, let go of when a game loads.
    static constexpr int kMenuSpriteSets[] = {8, 9, 11, 13, 14, 15, 16, 18};
    // Sheets a match draws only on its pages (pause, chat, results; the HUD's
    // message boxes take the menus' panel from a texture of its own): their
    // textures go when a game loads and come back at the first draw; their
    // frames stay, so the pages keep their layout. 7 the menus, 17 the ranks.
    static constexpr int kMenuSheetSet = 7, kRankSpriteSet = 17;

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
    INetworkSession* networkSession() const { return m_network; }
    Scene* gameScene() { return m_scene.get(); }
    bool initDone() const { return m_initDone; }
    // A network client's last word on the load (the join state it was sent,
    // the map marked loaded); the argument tells whether this side also hosts.
    void setClientLoadedHook(std::function<void(bool hosting)> hook) { m_clientLoaded = std::move(hook); }

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
    std::function<void(bool)> m_clientLoaded;
    std::vector<int> m_releasedSprites;
};

GameScreen& gameScreen();

// The window lost the input focus: a game in play opens its pause page; a
// network match goes on under it for the others.
void pauseOnFocusLoss();

// Shows the first-run choice of control type in front of the load (main.cpp
// sets it to the menus' panel). While empty the load never stops for it.
void setControlTypeChoice(std::function<void()> show);

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
    void updateScreenEffects(float dt) override;
    void updateHud() override;
    void updateFrozenEffects(float dt) override;
    void advertiseAndJoin() override;
};

// A network client's joined host announced to friends once, and withdrawn
// once when the client loses it. Nothing for other games.
void advertiseJoinedServer(bool networkClient, const INetworkSession* session, Steam& steam);

// The faint meter's range and a clean canopy for the player's airplane (game start).
void startPlayerEffects(GameMode* mode);

// What the faint meter reads of the mode and the player's airplane this frame.
Effects::FaintInput faintInput(GameMode* mode);

// The scene's weather and sun as the game mode sets them.
class SceneModeServices : public IModeScene {
public:
    int weatherMode() const override;
    void setWeather(int mode, float intensity, float secondIntensity) override;
    void setSunValue(float value) override;
    // The map's light tints the sun; its fog starts past the record's start
    // and thickens by the map's density.
    void setLightAndFog(const Color4& light, float fogStart, float fogDensity) override;
    bool hitsProp(const Vec3& point, float radius) const override;
    bool crashesIntoProp(const Vec3& point, float radius) const override;
    // The visibility distance's fifth and the distance itself, squared.
    float farDistanceSq(int which) const override;
};
// The pause screen as the game mode opens it.
class SceneModeOverlays : public IModeOverlays {
public:
    bool overlayOpenOrQueued() const override;
    void openPauseScreen(PauseMenu menu) override;
    // As the page's own Resume: the overlay leaves and the game takes input.
    void closeOverlay() override;
    void setPaused(bool paused) override;
    // Through the comic opener the menus register; false while there is none.
    bool openComic(const std::string& path) override;
};
// The menu page the pause screen shows for each kind of pause menu; the menus
// register theirs at start-up. A kind without a page keeps the page last set.
void setPauseMenuPage(PauseMenu menu, std::function<MenuFrame*()> page);
// The page registered for the kind, or null.
MenuFrame* pauseMenuPage(PauseMenu menu);
// The menus' comics page opened over the game with a comic record; false
// (nothing shown) when the record does not load. Empty: no comic opens.
void setComicOpener(std::function<bool(const std::string& path)> opener);
// Set while a single-player game stands still behind its pause screen.
bool gamePaused();
// The pause pages' resume clears it; every game start does too.
void setGamePaused(bool paused);
// The one scene service and overlays of the game, which every match is given.
SceneModeServices& sceneModeServices();
SceneModeOverlays& sceneModeOverlays();
