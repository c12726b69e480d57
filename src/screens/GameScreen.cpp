#include "screens/GameScreen.h"

#include "screens/GameControls.h"

#include "effects/AircraftEffects.h"
#include "effects/EffectList.h"
#include "effects/EffectScene.h"
#include "effects/particles/AircraftParticles.h"
#include "effects/screen/FaintMeter.h"
#include "effects/screen/ScreenDamage.h"
#include "gamedata/AirplaneModel.h"
#include "render/2d/SpriteSets.h"
#include "render/assets/Model.h"
#include "effects/screen/ScreenSplats.h"
#include "effects/screen/SpeedStreaks.h"
#include "effects/screen/SunGlare.h"
#include "effects/screen/Weather.h"
#include "render/fx/PostProcess.h"
#include "effects/trails/Tracers.h"
#include "effects/world/AircraftLooks.h"
#include "entities/aircraft/Airplane.h"
#include "entities/weapons/Machinegun.h"
#include "gamedata/map/GameWorld.h"
#include "gamedata/records/PlaneCfg.h"
#include "modes/GameMode.h"
#include "modes/GameModeGlobals.h"
#include "modes/Match.h"
#include "modes/INetworkSession.h"
#include "platform/Clock.h"
#include "platform/FrameProfile.h"
#include "platform/Input.h"
#include "platform/Log.h"
#include "platform/Steam.h"
#include "sound/Sound.h"
#include "render/Graphics.h"
#include "render/GpuMemory.h"
#include "render/world/AtmosScatter.h"
#include "render/world/SkyDome.h"
#include "screens/PauseScreen.h"
#include "screens/ScreenInput.h"
#include "screens/Screens.h"
#include "screens/hud/GameHud.h"
#include "screens/hud/HudMessageQueue.h"
#include "screens/hud/PlaneHud.h"
#include "screens/hud/TutorialHudBridge.h"
#include "screens/scene/Camera.h"
#include "screens/scene/GameCamera.h"
#include "screens/scene/SceneCameras.h"
#include "gamedata/records/MapInfoCfg.h"
#include "platform/Settings.h"
#include "render/world/Water.h"

#include <algorithm>
#include <cmath>

namespace {
// What the pooled effects ask of the game camera: the boom's shake, and
// letting go of a point inside a system that is being deleted.
class PoolCamera final : public IPoolCamera {
public:
    void shake(float amount) override
    {
        if (auto* camera = dynamic_cast<GameCamera*>(activeCamera()))
            camera->shake = amount;
    }
    void systemGone(const Vec3* position) override
    {
        auto* camera = dynamic_cast<GameCamera*>(activeCamera());
        if (!camera)
            return;
        // A view orbiting the system goes back to the player's own first.
        if (camera->mode == 6 && position && camera->orbitPointRef == position)
            camera->updateLookAt();
        for (const Vec3** ref : {&camera->lockedPoint, &camera->orbitPointRef, &camera->focusPoint})
            if (*ref == position)
                *ref = nullptr;
    }
    void lookAtPoint(const Vec3* point, float distance, float angle, float time, int mode, float) override
    {
        // The effects ask for their whole distance: a zoom would take its
        // share off it, and all of it would put the camera inside the wreck
        // or the parachute it looks at.
        if (auto* camera = dynamic_cast<GameCamera*>(activeCamera()))
            camera->lookAtPoint(point, distance, angle, time, mode != 0, 0.0f);
    }
    // The cinematic views turn toward this point instead of the next target.
    void followPoint(const Vec3* point) override
    {
        // Only a cinematic view turns to a new point: the player's own views
        // keep theirs whatever falls out of the sky.
        if (auto* camera = dynamic_cast<GameCamera*>(activeCamera()))
            if (!point || camera->mode == 10 || camera->mode == 11)
                camera->focusPoint = point;
    }
    bool followsPoint(const Vec3* point) const override
    {
        const auto* camera = dynamic_cast<const GameCamera*>(activeCamera());
        return camera && point && camera->focusPoint == point;
    }
    // From the plane's own position, looking ahead, the muzzles sit in the eye.
    bool hidesGunSmoke() const override
    {
        const auto* camera = dynamic_cast<const GameCamera*>(activeCamera());
        return camera && camera->mode == 3 && !camera->lockedPoint;
    }
};
PoolCamera g_poolCamera;
}  // namespace

void GameSceneFrame::updateGameMode()
{
    if (GameMode* mode = modeOf(currentMatch()))
        mode->runFrame(frameDelta());
}

void GameSceneFrame::saveMatrices(bool startOfFrame)
{
    static Mat4 projection;
    Graphics* device = graphics();
    if (!device)
        return;
    if (startOfFrame)
        projection = device->projectionMatrix();
    else
        device->setProjectionMatrix(projection);
}

void GameSceneFrame::updateCamera(float dt)
{
    const CamRotateControl& look = planeHud().camRotate();
    GameCamera& camera = gameCamera();
    camera.controlLook = {look.lookX, look.lookY};
    // Steered by the mouse, the views behind the plane look where it aims.
    const PlaneHud::Reticle& aim = planeHud().reticle;
    camera.followsAim = input().steeringMode == Input::kSteerMouse && aim.warmFrames >= 3;
    camera.aimOrientation = aim.orientation;
    camera.levelView = planeHud().shownScheme() == 1;
    if (Camera* camera = activeCamera())
        camera->updateMatrices(dt);
    // Propellers and flags move, and the draw classes follow the camera just moved.
    if (GameMode* mode = modeOf(currentMatch()))
        mode->updateDistanceClasses(dt);
}

float GameSceneFrame::zoomFactor()
{
    const GameMode* mode = modeOf(currentMatch());
    const Airplane* player = mode ? mode->playerAirplane() : nullptr;
    if (!player || player->aiController() || mode->autopilot)
        return 1.0f;
    const GameCamera& camera = gameCamera();
    if (activeCamera() == &camera && camera.mode == 7)
        return 2.0f;
    const float cruise = player->planeRecord ? player->planeRecord->pCruiseSpeed : player->speed();
    return 1.0f + std::clamp((player->speed() - cruise + 50.0f) / 40.0f, 0.0f, 1.5f) + player->extraZoom;
}

bool GameSceneFrame::controlsFrozen()
{
    const GameMode* mode = modeOf(currentMatch());
    return mode && mode->controlsFrozen;
}

void GameSceneFrame::updateListener()
{
    if (const Camera* camera = activeCamera())
        camera->moveListener();
}

void GameSceneFrame::updateWorldEffects(float)
{
    const Scene* s = scene();
    if (s && s->water && s->camera)
        s->water->update(s->camera->position, s->sceneTime);
}

namespace {
bool sceneHighDetail()
{
    const Graphics* device = graphics();
    return device && device->highDetail() != 0;
}

// The player's airplane while a game (not the menu's flight) runs with it in play.
Airplane* playerInPlay(GameMode* mode)
{
    if (!mode || mode->gameType() == GameType::MenuBackground)
        return nullptr;
    Airplane* player = mode->playerAirplane();
    return player && player->isActive() && player->inPlay ? player : nullptr;
}
}  // namespace

Effects::FaintInput faintInput(GameMode* mode)
{
    Effects::FaintInput in;
    Airplane* player = playerInPlay(mode);
    if (!player || !player->controlsEnabled || mode->playStopped || mode->controlsFrozen)
        return in;
    in.active = true;
    in.speed = player->speed();
    in.recovering = mode->autopilot || player->aiController() != nullptr;
    in.load = player->loadVector().x;
    return in;
}

void GameSceneFrame::updateScreenEffects(float dt)
{
    const Scene* s = scene();
    const Camera* camera = activeCamera();
    const LightRecord* light = sceneLight();
    Color3f sun{1.0f, 1.0f, 1.0f};
    if (light)
        sun = Color3f{light->sunColor[0], light->sunColor[1], light->sunColor[2]};
    if (s && camera && light) {
        SunGlare::Input glare;
        glare.lightDirection = Vec3{light->direction[0], light->direction[1], light->direction[2]};
        glare.sunColor = sun;
        glare.cameraPosition = camera->position;
        glare.aspect = s->aspect;
        SunGlare::update(glare, dt);
    }
    if (s)
        Weather::update(s->weatherMode, s->weatherIntensity, dt);
    // Splats are placed in the 2-D pass's pixels: the window's, whatever its size.
    if (const Graphics* device = graphics(); device && device->screenWidth() > 0 && device->screenHeight() > 0) {
        effectScene().screenWidth = static_cast<float>(device->screenWidth());
        effectScene().screenHeight = static_cast<float>(device->screenHeight());
    }
    ScreenSplats::update(dt);
    GameMode* mode = modeOf(currentMatch());
    if (sceneHighDetail()) {
        if (camera && s)
            PostProcess::updateSunParams(camera->viewMatrix, s->mainProjection);
        SpeedStreaks::Input streaks;
        if (Airplane* player = playerInPlay(mode); player && !mode->playStopped) {
            streaks.active = true;
            streaks.plane = player->fxMatrix();
            streaks.speed = player->speed();
        }
        streaks.time = s ? s->sceneTime : 0.0f;
        streaks.light = sun;
        SpeedStreaks::update(streaks, dt);
    }
    Effects::updateFaint(faintInput(mode), dt);
}

int SceneModeServices::weatherMode() const
{
    const Scene* s = scene();
    return s ? s->weatherMode : 0;
}

void SceneModeServices::setWeather(int mode, float intensity, float)
{
    if (Scene* s = scene()) {
        s->weatherMode = mode;
        s->weatherIntensity = intensity;
    }
}

void SceneModeServices::setSunValue(float value)
{
    if (Scene* s = scene())
        s->sunValue = value;
}

void SceneModeServices::setLightAndFog(const Color4& light, float fogStart, float fogDensity)
{
    Scene* s = scene();
    if (!s)
        return;
    const float density = Scene::fogDensityOfMap(fogDensity);
    const float start = std::isfinite(fogStart) ? std::max(fogStart, 0.0f) : 0.0f;
    const bool changed = light.r != s->lightColor.r || light.g != s->lightColor.g || light.b != s->lightColor.b ||
                         start != s->fogStart || density != s->fogDensity;
    s->lightColor = Color4{light.r, light.g, light.b, 255};
    s->fogStart = start;
    s->fogDensity = density;
    if (changed)
        logInfo("game", "the map's light %d %d %d, fog from %.0f to %.0f", light.r, light.g, light.b,
                static_cast<double>(start + 3000.0f),
                static_cast<double>(std::max(Scene::kClearFogEnd * (1.0f - density), 1.0f)));
}

namespace {
bool g_gamePaused = false;
}  // namespace

bool gamePaused() { return g_gamePaused; }
void setGamePaused(bool paused) { g_gamePaused = paused; }

void SceneModeOverlays::setPaused(bool paused) { g_gamePaused = paused; }

bool SceneModeServices::hitsProp(const Vec3& point, float radius) const
{
    const Scene* s = scene();
    return s && s->propsGrid.findHit(point, radius) != nullptr;
}

bool SceneModeServices::crashesIntoProp(const Vec3& point, float radius) const
{
    const Scene* s = scene();
    return s && s->propsGrid.findHit(point, radius, true) != nullptr;
}

float SceneModeServices::farDistanceSq(int which) const
{
    const VisibilityDistances& d = visibilityDistances();
    return which == 0 ? d.squaredFifth : d.squared;
}

bool SceneModeOverlays::overlayOpenOrQueued() const { return overlayScreen() || overlayQueueSize() > 0; }

void SceneModeOverlays::closeOverlay()
{
    if (!overlayScreen())
        return;
    closeOverlayScreen();
    logInfo("screens", "overlay closed by the game");
}

namespace {
std::function<bool(const std::string&)>& comicOpener()
{
    static std::function<bool(const std::string&)> opener;
    return opener;
}
}  // namespace

void setComicOpener(std::function<bool(const std::string& path)> opener)
{
    comicOpener() = std::move(opener);
}

bool SceneModeOverlays::openComic(const std::string& path)
{
    return comicOpener() && comicOpener()(path);
}

namespace {
constexpr int kPauseMenuKinds = 7;
// A mission's end opens the page it has set; no registered page may replace it.
static_assert(static_cast<int>(PauseMenu::MissionEnd) >= kPauseMenuKinds);
std::function<MenuFrame*()>& pausePageSlot(PauseMenu menu)
{
    static std::function<MenuFrame*()> pages[kPauseMenuKinds];
    static std::function<MenuFrame*()> none;
    const int kind = static_cast<int>(menu);
    return kind >= 0 && kind < kPauseMenuKinds ? pages[kind] : none;
}
}  // namespace

void setPauseMenuPage(PauseMenu menu, std::function<MenuFrame*()> page)
{
    const int kind = static_cast<int>(menu);
    if (kind >= 0 && kind < kPauseMenuKinds)
        pausePageSlot(menu) = std::move(page);
}

MenuFrame* pauseMenuPage(PauseMenu menu)
{
    const std::function<MenuFrame*()>& page = pausePageSlot(menu);
    return page ? page() : nullptr;
}

void SceneModeOverlays::openPauseScreen(PauseMenu menu)
{
    logInfo("screens", "pause screen opened (menu %d)", static_cast<int>(menu));
    if (MenuFrame* page = pauseMenuPage(menu))
        pauseScreen().frame = page;
    ::openPauseScreen();
}

SceneModeServices& sceneModeServices()
{
    static SceneModeServices services;
    return services;
}

SceneModeOverlays& sceneModeOverlays()
{
    static SceneModeOverlays overlays;
    return overlays;
}

bool GameSceneFrame::playStopped()
{
    const GameMode* mode = modeOf(currentMatch());
    return mode && mode->playStopped;
}

void GameSceneFrame::updateEffectList(float dt) { updateEffects(dt); }

void GameSceneFrame::updateHud()
{
    if (GameMode* mode = modeOf(currentMatch()))
        mode->drawOverlay();
    // Behind the menus only the lock-on tone runs.
    const GameMode* mode = modeOf(currentMatch());
    if (mode && mode->gameType() == GameType::MenuBackground) {
        HudGameState state;
        readHudGameState(mode, state);
        planeHud().updateLockTone(state);
        return;
    }
    planeHud().update();
}

void GameSceneFrame::updateFrozenEffects(float dt) { AircraftEffects::update(dt); }

void GameSceneFrame::advertiseAndJoin()
{
    // The pending join of a friend's request runs in the main loop.
    const GameMode* mode = modeOf(currentMatch());
    advertiseJoinedServer(mode && mode->isNetworkClient(), gameScreen().networkSession(), steam());
}

void advertiseJoinedServer(bool networkClient, const INetworkSession* session, Steam& steam)
{
    if (!networkClient)
        return;
    std::uint32_t address = 0;
    std::uint16_t port = 0;
    const INetworkSession::HostLink link =
        session ? session->hostLink(address, port) : INetworkSession::HostLink::Gone;
    if (link == INetworkSession::HostLink::Joined && !steam.advertised()) {
        steam.advertiseGame(Steam::kNonSteamServerId, address, port);
        steam.setAdvertised(true);
    } else if (link == INetworkSession::HostLink::Gone && steam.advertised()) {
        steam.advertiseGame(Steam::kNonSteamServerId, 0, 0);
        steam.setAdvertised(false);
    }
}

GameScreen& gameScreen()
{
    static GameScreen screen;
    return screen;
}

void GameScreen::init()
{
    ++m_initCalls;
    if (m_initCalls >= 6)
        m_initDone = true;
}

namespace {
std::function<void()>& controlTypeChoice()
{
    static std::function<void()> show;
    return show;
}

// A player who never chose a control type chooses before the first game; the
// tutorials teach with the default.
bool controlTypeChoiceDue()
{
    const GameMode* mode = modeOf(currentMatch());
    return controlTypeChoice() && settings().controlType == 2 && mode && mode->gameType() != GameType::Tutorial;
}
}  // namespace

void setControlTypeChoice(std::function<void()> show)
{
    controlTypeChoice() = std::move(show);
}

float GameScreen::loadStep()
{
    if (m_counter == 0 && controlTypeChoiceDue()) {
        settings().controlType = 1;
        controlTypeChoice()();
        return 0.1f;
    }
    if (m_counter < kLoadSteps - 1) {
        runStep(m_counter);
        ++m_counter;
        return static_cast<float>(m_counter) / kLoadSteps;
    }
    // A network match opens to players (host) or waits for the host's word (client).
    if (GameMode* mode = modeOf(currentMatch()); mode && !mode->isSinglePlayer() && m_network &&
                                            !m_network->loadStep(*mode, frameDelta()))
        return static_cast<float>(m_counter) / kLoadSteps;
    m_loaded = true;
    m_counter = 0;
    returnFreedMemory();  // what the load decoded and let go
    logInfo("render", "after loading the level: %s", describeGpuMemory(tallyGpuMemory()).c_str());
    finishGameHud();
    update();
    return 1.0f;
}

void GameScreen::startLevel(GameMode* mode)
{
    setActiveCamera(&gameCamera());
    if (!mode)
        return;
    mode->resetRound();
    if (!mode->startLevel())
        logWarning("game", "the level did not load; flying an empty world");
}

void GameScreen::createScene(GameMode* mode)
{
    m_scene = std::make_unique<Scene>();
    m_scene->camera = &gameCamera();
    if (const Graphics* device = graphics())
        if (device->screenHeight() > 0)
            m_scene->aspect = static_cast<float>(device->screenWidth()) / device->screenHeight();
    (void)SceneLevel::loadSky();
    if (!mode)
        return;
    if (GameWorld* world = mode->world())
        m_scene->terrain = world->terrain();
    // The sun: midday, the chosen hour in free flight; a campaign sets its own.
    if (mode->gameType() == GameType::FreeFlight)
        mode->setSunValue(std::isfinite(settings().sunValue) ? std::clamp(settings().sunValue, 0.0f, 1.0f) : 0.5f);
    else if (mode->gameType() == GameType::Campaign)
        mode->setSunValue(mode->sunValue());  // the mission's own, set as its level started
    else
        mode->setSunValue(0.5f);
    m_scene->updateSunAndFog(true);
    logInfo("game", "the sun stands at %.2f", static_cast<double>(m_scene->sunValue));
}

void GameScreen::finishLevel(GameMode* mode)
{
    const MapInfoCfg* record = mode ? mode->mapRecord() : nullptr;
    m_level.buildForest(*m_scene, record, record ? record->treeCount : 0);
    GameCamera& camera = gameCamera();
    camera.resetForLevel();
    camera.setMode(settings().chosenViewMode);
    // The lock view starts on the nearest target, not only on one already chosen.
    if (camera.mode == 4)
        camera.lockNearestTarget();
    camera.updateMatrices(0.0f);
    m_scene->setupProjection();
    if (mode)
        mode->refillPlayerWeapons();
}

// The faint meter's range and a clean canopy for the player's airplane.
void startPlayerEffects(GameMode* mode)
{
    const Airplane* player = mode ? mode->playerAirplane() : nullptr;
    if (player && player->planeRecord)
        Effects::cachePlayerRange(player->planeRecord->pFaintStart, player->planeRecord->pFaintEnd);
    else
        Effects::cachePlayerRange(PlaneCfg{}.pFaintStart, PlaneCfg{}.pFaintEnd);
    Effects::resetFaint();
    ScreenDamage::clean(AirplaneModel::canopyTexture());
}

void GameScreen::runStep(int step)
{
    GameMode* mode = modeOf(currentMatch());
    GameWorld* world = mode ? mode->world() : nullptr;
    switch (step) {
    case 0:
        clearEffects();
        AircraftEffects::release();
        break;
    case 1:
        // The menus' artwork is not drawn in play; what was loaded comes back on leaving.
        m_releasedSprites.clear();
        for (int set : kMenuSpriteSets)
            if (spriteLoaded(set)) {
                m_releasedSprites.push_back(set);
                unloadSprite(set);
            }
        releaseSpriteTexture(kMenuSheetSet);
        releaseSpriteTexture(kRankSpriteSet);
        // With the menu's flight gone too, before the level takes its place.
        returnFreedMemory();
        break;
    case 2:
    case 3:
    case 4:
    case 5:
        if (!m_initDone)
            init();
        break;
    case 6:
        startLevel(mode);
        startGameHud();
        break;
    case 7:
        createScene(mode);
        AircraftEffects::load();
        setPoolCamera(&g_poolCamera);
        break;
    case 8:
        if (world && world->terrain())
            m_level.attachTerrain(*m_scene, *world);
        break;
    case 9:
        if (world)
            m_level.buildProps(*m_scene, *world);
        break;
    case 10:
        applyControlDevice();
        break;
    case 11:
        if (world)
            m_level.buildPropsGrid(*m_scene, *world);
        break;
    case 12:
        freeModelCpuData();
        break;
    case 13:
        if (const MapInfoCfg* record = mode ? mode->mapRecord() : nullptr)
            m_scene->fogStart = record->fogStart;
        break;
    case 14:
        gameCamera().setMode(settings().chosenViewMode);
        break;
    case 15:
        if (mode)
            mode->ensureLocalPlayer();
        startPlayerEffects(mode);
        break;
    case 17:
        if (const MapInfoCfg* record = mode ? mode->mapRecord() : nullptr)
            m_scene->treeCount = record->treeCount;
        break;
    case 18:
        if (!DirtShots::current())
            (void)spawnPooled<DirtShots>();
        ScreenSplats::reset();
        break;
    case 19:
        if (mode && mode->isNetworkClient() && m_clientLoaded)
            m_clientLoaded(mode->isNetworkServer());
        break;
    case 20:
        m_level.buildClouds(*m_scene, mode && mode->mapRecord() ? mode->mapRecord()->cloudAmount : -1.0f);
        break;
    case 21:
        finishLevel(mode);
        break;
    default:
        break;
    }
}

void GameScreen::update()
{
    if (g_gamePaused) {
        // The world stands still; only the pause menu's keys run.
        if (!Sound::isPaused())
            Sound::pauseAll();
        const GameMode* mode = modeOf(currentMatch());
        GameControls::updateSteeringMode(true);
        runPausedInput(mode && mode->playerAirplane(), frameDelta());
        return;
    }
    if (Sound::isPaused())
        Sound::resumeAll();
    const bool menusUp = overlayScreen() || overlayQueueSize() > 0;
    GameControls::updateSteeringMode(menusUp);
    runPlayInput(menusUp, frameDelta());
    if (!m_scene)
        return;
    GameSceneFrame frame;
    m_scene->update(frame);
}

void GameScreen::draw()
{
    if (!m_scene)
        return;
    frameProfile().markCounted("game");
    GameSceneDraw passes(*m_scene);
    m_scene->draw(passes);
    // An open or queued overlay draws over the world without the HUD.
    if (!overlayScreen() && overlayQueueSize() == 0 && planeHud().active) {
        ProfileScope timed(FrameLib::Hud, "hud");
        planeHud().draw();
        if (GameMode* mode = modeOf(currentMatch()))
            mode->drawHud();
        passes.drawBombMarker();
    }
}

void GameScreen::onPause() { planeHud().onPause(); }

void GameScreen::onResume()
{
    g_gamePaused = false;
    planeHud().releaseAll();
    // A tutorial keeps the panels it hid; the scheme would show them again.
    const GameMode* mode = modeOf(currentMatch());
    if (!mode || mode->gameType() != GameType::Tutorial)
        planeHud().onPlaneChanged();
}

void GameScreen::onTouchDown(int id, int x, int y)
{
    // A tap on the head notice is the notice's, whatever the game: it must
    // not turn the view under it (a lesson lets the notice go).
    GameMode* mode = modeOf(currentMatch());
    if (mode && HudMessageQueue::instance().hitHeadNotice(static_cast<float>(x), static_cast<float>(y))) {
        mode->tutorialHudHook();
        return;
    }
    planeHud().onTouchDown(id, x, y);
}
void GameScreen::onTouchUp(int id, int x, int y) { planeHud().onTouchUp(id, x, y); }
void GameScreen::onTouchMove(int id, int x, int y) { planeHud().onTouchMove(id, x, y); }

void GameScreen::onBack() { gameHud().pauseGame(); }

void pauseOnFocusLoss()
{
    if (currentScreen() != &gameScreen() || g_gamePaused)
        return;
    // A network match opens its page too; the mode keeps that match running.
    gameHud().pauseGame();
}

void GameScreen::onLeave()
{
    g_gamePaused = false;
    GameControls::endScorePeek();
    input().steeringMode = Input::kSteerNone;  // the menus want their pointer back
    if (m_network)
        m_network->gameLeft();
    planeHud().releaseAll();
    HudMessageQueue::instance().clearAll();
    if (m_scene)
        m_level.release(*m_scene);
    // The level goes before its mode, the mode before the scene that views it.
    if (GameMode* mode = modeOf(currentMatch()))
        mode->clearLevel();
    endMatch();
    clearEffects();
    AircraftEffects::release();
    setPoolCamera(nullptr);
    m_scene.reset();
    if (activeCamera() == &gameCamera())
        setActiveCamera(nullptr);
    m_loaded = false;
    m_counter = 0;
    // The menu pages may hold these sheets: they are whole again before a page draws.
    for (int set : m_releasedSprites)
        (void)getSprite(set);
    m_releasedSprites.clear();
}
