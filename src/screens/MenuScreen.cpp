#include "screens/MenuScreen.h"

#include "effects/AircraftEffects.h"
#include "effects/particles/AircraftParticles.h"

#include "platform/Clock.h"
#include "platform/Controls.h"
#include "modes/progress/Achievements.h"
#include "gamedata/AirplaneModel.h"
#include "gamedata/records/MapLists.h"
#include "gamedata/records/PlaneList.h"
#include "gamedata/records/UnitList.h"
#include "gamedata/records/WeaponList.h"
#include "platform/File.h"
#include "platform/FileHashList.h"
#include "platform/GamesDetection.h"
#include "platform/Language.h"
#include "platform/FrameProfile.h"
#include "platform/Log.h"
#include "platform/Settings.h"
#include "platform/Steam.h"
#include "render/Graphics.h"
#include "render/assets/TextureCache.h"
#include "render/2d/SpriteSets.h"
#include "gamedata/map/GameWorld.h"
#include "modes/GameMode.h"
#include "modes/GameModeFactory.h"
#include "modes/GameModeGlobals.h"
#include "modes/Match.h"
#include "modes/IMenuFlight.h"
#include "screens/GameScreen.h"
#include "screens/Screens.h"
#include "screens/GameStart.h"
#include "screens/scene/Camera.h"
#include "screens/scene/MenuCamera.h"
#include "screens/scene/SceneCameras.h"
#include "screens/scene/AirplaneCameraPlane.h"
#include "ui/MenuNavigation.h"
#include "screens/QuitGameOverlay.h"
#include "sound/SoundSource.h"
#include "sound/SoundTable.h"

#include <vector>

namespace {
// The effects texture the particles and effects draw from.
const char* effectsTexture(int tier)
{
    return tier < 2 ? "data/FX/fx_low.png" : "data/FX/fx.png";
}

int qualityTier()
{
    const Graphics* device = graphics();
    return device ? device->qualityTier() : 0;
}
}  // namespace

void MenuScreen::init()
{
    m_initDone = true;
    Scene::loadEffectModels();
}

void MenuScreen::loadSettingsAndLanguage()
{
    Settings& s = settings();
    if (!s.load())
        logInfo("screens", "%s: nothing read again; the settings keep their values", Settings::kFileName);
    s.loadTmpFile();
    if (s.profileResetPending) {
        s.resetPlayerProfile();
        s.profileResetPending = 0;
        s.save();
    }
    // The room server and the hosts know the player by the account number.
    s.playerAccount = {steam().accountId(), 0, 0, 0};
    // Checked before its first use: a damaged or edited file may hold any index.
    s.sanitize();
    findStringTable();
    if (s.languageIndex < 0 || !setLanguageByIndex(s.languageIndex)) {
        setLanguageByCode(steam().uiLanguage());
        s.languageIndex = currentLanguage();
    }
    reloadFonts();
    loadGameLists();
    loadFileHashList();
    if (!verifyFileHashes())
        logWarning("screens", "the data files differ from their hash list");
    // Now the saved choices can be held to the lists that loaded.
    std::vector<int> planeIds;
    const PlaneList& planes = PlaneList::instance();
    for (int i = 0; i < planes.count(); ++i)
        if (const PlaneCfg* plane = planes.at(i))
            planeIds.push_back(plane->plane_id);
    s.sanitize(planeIds, MapLists::instance().countNonCampaign());
    // Applies the unlocks earned so far and saves the settings.
    loadProgress();
}

void MenuScreen::loadGameLists()
{
    if (!WeaponList::instance().load())
        logWarning("screens", "the weapon list did not load whole");
    if (!UnitList::instance().load())
        logWarning("screens", "the unit list did not load whole");
    if (!MapLists::instance().load())
        logWarning("screens", "the map lists did not load whole");
}

void MenuScreen::loadSharedModelTexture(int index)
{
    static constexpr const char* kNames[kSharedModelTextures] = {
        "data/models/building.pvr", "data/models/build1.pvr",      "data/models/build2.pvr",
        "data/models/units.pvr",    "data/models/building_di.pvr", "data/models/units_di.pvr"};
    const char* name = kNames[index];
    // The lit variants are optional: a missing one is no fault.
    if (index >= 4 && !openFile(name))
        return;
    const Graphics* device = graphics();
    const SamplerSettings sampler{device ? device->qualityFilter() : TextureFilter::Linear, TextureWrap::Repeat};
    TextureLoadFlags flags;
    flags.dropLevels = sharedModelTextureDrop(name, qualityTier());
    m_sharedTextures[static_cast<std::size_t>(index)] = getTexture(name, sampler, flags);
}

float MenuScreen::loadStep()
{
    const int step = m_step;
    switch (step) {
    case 0:
    case 1:
    case 2:
    case 3:
    case 4:
    case 5:
        loadSharedModelTexture(step);
        break;
    case 6:
        // Asked for as the particle sheet asks for it, so the sheet finds this one.
        m_effectsTexture = getTexture(effectsTexture(qualityTier()), kClampSampler);
        if (!m_effectsTexture)
            logWarning("screens", "the effects texture is missing");
        break;
    case 7:
        if (!m_initDone)
            init();
        break;
    case 8:
        loadSettingsAndLanguage();
        break;
    case 11:
        preloadMenuSprites();
        break;
    case 12:
        loadGamesDetectionList();
        break;
    case 13:
        // The main menu hears what owning another of our games unlocked.
        processGamesDetection();
        clearGamesDetection();
        break;
    default:
        break;
    }
    if (step + 1 >= kLoadSteps) {
        m_loaded = true;
        m_step = 0;
        update();
        return 1.0f;
    }
    m_step = step + 1;
    return static_cast<float>(m_step) / kLoadSteps;
}

void MenuScreen::update()
{
    controls().updateMenuActions(frameDelta());
    Settings& s = settings();
    if (s.settingsChanged) {
        s.settingsChanged = 0;
        s.loadTmpFile();
    }
    updateMenuFrames();
    // A page that hides the scene (the comics) holds the menu flight too.
    if (m_scene && m_sceneDrawn) {
        GameSceneFrame frame;
        m_scene->update(frame);
    }
    // Last: a started game makes this screen leave. Not from the load's last
    // step, while the loading screen is still current and would switch back here.
    if (m_loaded && currentScreen() == this)
        runAutostart(gameScreen());
}

void MenuScreen::startMenuFlight()
{
    std::unique_ptr<GameMode> mode = createGameMode(static_cast<int>(GameType::MenuBackground));
    const MapInfoCfg* record = MapLists::instance().menuMap();
    if (!mode || !record) {
        logInfo("screens", "no menu flight: the menu map did not load");
        return;
    }
    mode->setMapRecord(record);
    std::unique_ptr<Match> match = connectMatch(std::move(mode), &noNetwork());
    if (!match)
        return;
    setCurrentMatch(std::move(match));
    if (!modeOf(currentMatch())->startLevel())
        logWarning("screens", "the menu flight's world did not load");
    m_scene = std::make_unique<Scene>();
    MenuCamera& camera = menuCamera();
    m_scene->camera = &camera;
    setActiveCamera(&camera);
    AircraftEffects::load();
    if (!DirtShots::current())
        (void)spawnPooled<DirtShots>();
    if (const Graphics* device = graphics())
        if (device->screenHeight() > 0) {
            m_scene->aspect = static_cast<float>(device->screenWidth()) / device->screenHeight();
            camera.windowWidth = device->screenWidth();
            camera.windowHeight = device->screenHeight();
        }
    if (GameWorld* world = modeOf(currentMatch())->world())
        m_level.buildAll(*m_scene, *world, record->treeCount);
    modeOf(currentMatch())->setSunValue(IMenuFlight::kSun);
    m_scene->updateSunAndFog(true);
    // The showcase is the menu flight's airplane; the camera circles it.
    AirplaneCameraPlane& showcase = menuShowcasePlane();
    showcase.follow(modeOf(currentMatch())->playerAirplane());
    if (IMenuFlight* flight = modeOf(currentMatch())->menuFlight())
        flight->previewShownPaint();
    camera.showcase = showcase.airplane() ? &showcase : nullptr;
    const Scene* view = m_scene.get();
    camera.terrainHeight = [view](float x, float z) { return view->terrainHeightAt(x, z); };
    // The eye stands off the plane's left side, so the plane shows right of
    // the statistics panel on the left of the scene pages.
    camera.sideScale = -0.35f;
    camera.setMode(0);
    camera.snap();
    camera.updateMatrices(0.0f);
}


void MenuScreen::changeShowcasePlane(int planeId)
{
    GameMode* mode = modeOf(currentMatch());
    IMenuFlight* flight = mode ? mode->menuFlight() : nullptr;
    if (!m_scene || !flight)
        return;
    const Airplane* before = mode->playerAirplane();
    const Airplane* shown = flight->showPlane(planeId);
    if (shown == before)
        return;
    AirplaneCameraPlane& showcase = menuShowcasePlane();
    showcase.follow(shown);
    flight->previewShownPaint();
    MenuCamera& camera = menuCamera();
    camera.showcase = shown ? &showcase : nullptr;
    camera.moveBlend = 0.0f;
    logInfo("screens", "showcase airplane now plane %d", planeId);
}

void MenuScreen::setShowcaseCameraMode(int mode, bool snap)
{
    MenuCamera& camera = menuCamera();
    if (mode == 0 && !snap) {
        camera.returnToDefaultMode();
        return;
    }
    camera.setMode(mode);
    if (snap) {
        camera.moveBlend = 1.0f;
        camera.update();
        camera.snap();
    }
}

void MenuScreen::onEnter()
{
    // The menus run at the normal pace whatever the last game left behind.
    setTimeScale(1.0f);
    m_sceneDrawn = true;
    startMenuFlight();
    // After the flight's level start, which silences every source: the saved
    // volumes, and the menu piece from its start when music is on.
    startMenuMusic(settings());
}

void MenuScreen::onLeave()
{
    const GameMode* mode = modeOf(currentMatch());
    if (m_scene)
        m_level.release(*m_scene);
    if (mode && mode->gameType() == GameType::MenuBackground) {
        modeOf(currentMatch())->clearLevel();
        endMatch();
    }
    AircraftEffects::release();
    skinPreviewPaint().model = nullptr;
    m_scene.reset();
    if (SoundSourceStreamed* music = globalSources().music)
        music->stop();
    MenuCamera& camera = menuCamera();
    camera.showcase = nullptr;
    camera.terrainHeight = nullptr;
    if (activeCamera() == &camera)
        setActiveCamera(nullptr);
}

void MenuScreen::draw()
{
    static bool firstFrame = true;
    if (firstFrame) {
        firstFrame = false;
        logInfo("screens", "first menu frame %.2f s after start", Clock::nowPrecise());
    }
    if (Graphics* device = graphics()) {
        device->setRenderTarget(nullptr);
        // The scene clears what it draws into itself.
        if (!m_scene || !m_sceneDrawn)
            device->clear();
    }
    if (m_scene && m_sceneDrawn) {
        frameProfile().markCounted("menu");
        GameSceneDraw passes(*m_scene);
        m_scene->draw(passes);
    }
    ProfileScope timed(FrameLib::Menus, "menu pages");
    drawMenuFrames();   // in its own 2-D pass; the pop-ups come over all screens
}

void MenuScreen::onScroll(int, float dx, float dy)
{
    dispatchScroll(dx, dy);
}

void MenuScreen::onSwipe(int, float vx, float vy)
{
    dispatchSwipe(vx, vy);
}

void MenuScreen::onBack()
{
    // With no page open the screen stands where the main menu will be, whose
    // back key asks whether to quit.
    if (!currentFrame() && !overlayFrame()) {
        QuitGameOverlay::instance().show();
        logInfo("menus", "page shown: QuitGameOverlay");
        return;
    }
    dispatchBackKey();
}

MenuScreen& menuScreen()
{
    static MenuScreen screen;
    return screen;
}
