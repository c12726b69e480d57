#include "platform/sys/App.h"
#include "platform/Log.h"
#include "effects/particles/PConfig.h"
#include "gamedata/records/PlaneList.h"
#include "menus/GameShowcase.h"
#include "menus/MenuFrameRegistry.h"
#include "menus/MenuPages.h"
#include "menus/SaveNoticeAlerts.h"
#include "menus/frontend/CampaignEndPages.h"
#include "menus/ingame/CampaignFailMenuFrame.h"
#include "menus/ingame/FreeFlightPauseMenuFrame.h"
#include "menus/ingame/PauseCampaignMenuFrame.h"
#include "menus/ingame/TutorialPauseMenuFrame.h"
#include "menus/ingame/TutorialWinMenuFrame.h"
#include "menus/frontend/ChooseControlTypePanel.h"
#include "menus/frontend/CampaignListSelectMenuFrame.h"
#include "menus/frontend/DogFightsMenuFrame.h"
#include "menus/frontend/FrontendLinks.h"
#include "menus/settings/ProfileMenuFrame.h"
#include "menus/frontend/MainMenuFrame.h"
#include "menus/ingame/GameResultMenuFrame.h"
#include "menus/ingame/InGameLinks.h"
#include "menus/ingame/SkirmishEndMenuFrame.h"
#include "menus/ingame/TeamSkirmishEndMenuFrame.h"
#include "menus/multiplayer/MultiPlayerMenuFrameOnline.h"
#include "menus/settings/LanguageMenuFrame.h"
#include "menus/settings/GraphicsSettingsMenuFrame.h"
#include "menus/ingame/CustomChatMenuFrame.h"
#include "menus/ingame/MPChatMenuFrame.h"
#include "menus/ingame/MPServerDisconnectMenuFrame.h"
#include "menus/multiplayer/MPCreateWiFiMenuFrame.h"
#include "menus/multiplayer/MultiPlayerMenuFrame.h"
#include "menus/multiplayer/MultiPlayerMenuFrameSteam.h"
#include "menus/multiplayer/MultiPlayerMenuFrameWIFI.h"
#include "platform/Steam.h"
#include "screens/hud/GameHud.h"
#include <arpa/inet.h>
#include <cstdlib>
#ifdef __GLIBC__
#include <malloc.h>
#endif
#include "modes/GameMode.h"
#include "modes/GameModeGlobals.h"
#include "modes/Match.h"
#include "modes/MatchConnections.h"
#include "modes/progress/GameProgress.h"
#include "modes/progress/ScoreMgr.h"
#include "modes/MatchReport.h"
#include "modes/TestPlacement.h"
#include "entities/aircraft/Airplane.h"
#include "entities/weapons/MissileKinds.h"
#include "entities/weapons/Weapon.h"
#include "platform/sys/Window.h"
#include "modes/progress/UnlocksMgr.h"
#include "net/match/NetworkGameHandler.h"
#include "platform/GamesDetection.h"
#include "platform/Clock.h"
#include "platform/FrameProfile.h"
#include "platform/AssertMessage.h"
#include "platform/Options.h"
#include "platform/ScreenMetrics.h"
#include "platform/Settings.h"
#include "render/FragmentCounter.h"
#include "render/GpuProgram.h"
#include "render/Graphics.h"
#include "render/Renderer.h"
#include "render/gl/GraphicsES20.h"
#include "render/gl/GraphicsES20Extensions.h"
#include "render/fx/PostProcess.h"
#include "render/2d/Render2D.h"
#include "render/2d/SpriteSets.h"
#include "render/assets/ImageWriter.h"
#include "screens/GameScreen.h"
#include "screens/GameStart.h"
#include "screens/MenuScreen.h"
#include "screens/scene/MenuCamera.h"
#include "screens/scene/SceneCameras.h"
#include "screens/QuitGameOverlay.h"
#include "screens/Screens.h"
#include "screens/SplashesScreen.h"
#include "sound/Sound.h"
#include "ui/MenuFrame.h"
#include "ui/MenuHooks.h"
#include "ui/MenuNavigation.h"
#include "ui/TextFitLog.h"
#include "ui/widgets/MenuAlert.h"

#include <cstdlib>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace {
// The one renderer. stopRenderer frees its GL names before the window goes,
// so destroying it at exit calls no GL.
GraphicsES20& renderer()
{
    static GraphicsES20 device;
    return device;
}

GraphicsES20Extensions& rendererExtensions()
{
    static GraphicsES20Extensions extensions(renderer());
    return extensions;
}

bool startRenderer()
{
    const ScreenMetrics& metrics = screenMetrics();
    GraphicsES20& device = renderer();
    if (!device.init(metrics.screenWidth, metrics.screenHeight)) {
        logWarning("game", "renderer cannot start: %s", device.error().c_str());
        return false;
    }
    setGraphics(&device);
    device.setQualityTier(startupGraphics().quality);
    GraphicsES20Extensions& extensions = rendererExtensions();
    if (!extensions.load()) {
        logWarning("game", "renderer cannot start: %s", extensions.error().c_str());
        return false;
    }
    setGraphicsExtensions(&extensions);
    // Without its own scene target the scene simply draws to the screen.
    if (!PostProcess::createTargets())
        logInfo("game", "no scene target, drawing straight to the screen");
    setSpriteLoadScale(metrics.spriteScale);
    // The timed split frames wait for the GL at each pass's end.
    frameProfile().setSync([] { renderer().finish(); });
    // ... and count the fragments each pass shades, where the GL can.
    frameProfile().setFragmentCounter([](bool more) { return fragmentCounter().next(more); });
    return true;
}

// The screen's viewport and the 2-D pass follow the drawable after a resize.
void resizeRenderer(int width, int height)
{
    Graphics* device = graphics();
    if (!device)
        return;
    device->setScreenSize(width, height);
    if (!device->currentRenderTarget())
        device->setRenderTarget(nullptr);
}

// A machine without an audio device plays to the null output; only OpenAL
// itself failing ends the program. The menu screen starts the music.
void startSound()
{
    if (!Sound::init())
        std::exit(-1);
}

void updateSound()
{
    Sound::update();
    static bool reported = false;
    if (reported)
        return;
    // Told once the menu has had its chance to start the music (the stream
    // reports playing after the update that follows its start).
    static int menuUpdates = 0;
    const SoundSourceStreamed* music = globalSources().music;
    const bool playing = music && music->isPlaying();
    if (currentScreen() == &menuScreen())
        ++menuUpdates;
    if (!playing && menuUpdates < 3)
        return;
    reported = true;
    logInfo("sound", "music %s", playing ? "playing" : "silent");
}

// Every GL name goes while the window's context still lives.
void stopRenderer()
{
    // The screen in play leaves first: its level, game mode and scene go
    // while the GL and the entities' registries still live.
    setCurrentScreen(nullptr);
    endMatch();
    // Nothing draws particles any more: the descriptions' cache goes too.
    freeParticleConfigs();
    frameProfile().setSync(nullptr);
    frameProfile().setFragmentCounter(nullptr);
    fragmentCounter().release();
    shutdownRenderer();
}

// The "-dumpframe" test option: the screen just drawn, as a PNG file.
bool saveFrame(const std::string& path)
{
    Graphics* device = graphics();
    if (!device)
        return false;
    device->setRenderTarget(nullptr);
    const ScreenMetrics& metrics = screenMetrics();
    std::vector<std::uint8_t> rgba;
    device->readPixels(0, 0, metrics.screenWidth, metrics.screenHeight, rgba);
    if (!writePngFile(path, metrics.screenWidth, metrics.screenHeight, rgba))
        return false;
    return !textFitLog().enabled() || textFitLog().write(path + ".texts");
}

void clearScreen(float r, float g, float b)
{
    Graphics* device = graphics();
    if (!device)
        return;
    device->setRenderTarget(nullptr);
    device->setClearColor(Color4{static_cast<std::uint8_t>(r * 255.0f + 0.5f), static_cast<std::uint8_t>(g * 255.0f + 0.5f),
                                 static_cast<std::uint8_t>(b * 255.0f + 0.5f), 255});
    device->clear();
}
// The aircraft list. Without a single aircraft there is nothing to fly and
// every plane lookup would come back empty, so the program stops here.
bool loadGameData()
{
    if (PlaneList::instance().load())
        return true;
    showAssertMessage("No aircraft could be loaded from data/planes/planes.lst; the game data is missing or "
                      "damaged. Reinstall the game.");
    return false;
}

// The menus' ties to the game: the showcase's records and scene, the alert
// behind the buttons' confirmations and notices, and the first-run choice of
// control type in front of a game's load.
void startMenus()
{
    setMenuShowcase(&GameShowcase::instance());
    // The comics a map shows during play.
    setComicOpener([](const std::string& path) { return CampaignEndPages::instance().showPlayComic(path); });
    FrontendLinks& links = frontendLinks();
    links.campaignList = [] { return static_cast<MenuFrame*>(MenuFrameRegistry::campaignListSelect()); };
    links.dogFights = [] { return static_cast<MenuFrame*>(MenuFrameRegistry::dogFightsMenu()); };
    links.profile = [] { return static_cast<MenuFrame*>(MenuFrameRegistry::profileMenu()); };
    // The online room browser: browsing from the multiplayer page, a quick match from the main menu.
    links.onlineRooms = [] { return static_cast<MenuFrame*>(MenuFrameRegistry::onlineMenu()); };
    links.onlineQuickMatch = [] {
        MultiPlayerMenuFrameOnline* page = MenuFrameRegistry::onlineMenu();
        if (page)
            page->quickMatch = true;
        return static_cast<MenuFrame*>(page);
    };
    GameShowcase::SceneHooks& scene = GameShowcase::instance().scene;
    scene.createPlane = [](int planeId) { menuScreen().changeShowcasePlane(planeId); };
    scene.sceneShown = [] { menuScreen().setSceneDrawn(true); };
    scene.sceneHidden = [] { menuScreen().setSceneDrawn(false); };
    scene.cameraMode = [] { return menuCamera().mode; };
    scene.blendComplete = [] { return menuCamera().moveBlend >= 1.0f; };
    scene.setCameraMode = [](int mode, bool snap) { menuScreen().setShowcaseCameraMode(mode, snap); };
    scene.slide = [](float x, float y) { menuCamera().slideX = x, menuCamera().slideY = y; };
    scene.rotate = [](float dx, float dy) { menuCamera().rotateByDrag(dx, dy); };
    setWeaponChoiceHook(openWeaponSelection);
    setMenuAlertHooks({[](int stringId, MenuAction confirmed) { showConfirm(stringId, std::move(confirmed)); },
                       [](const char16_t* text, MenuAction closed) {
                           showAlert(text ? std::u16string_view(text) : std::u16string_view(), std::move(closed));
                       }});
    setControlTypeChoice(showControlTypeChoice);
    // The pause pages of the campaign, the tutorials and free flight, and the
    // page of a lost mission.
    setPauseMenuPage(PauseMenu::Campaign, [] { return static_cast<MenuFrame*>(MenuFrameRegistry::pauseCampaignMenu()); });
    setPauseMenuPage(PauseMenu::Tutorial, [] { return static_cast<MenuFrame*>(MenuFrameRegistry::tutorialPauseMenu()); });
    setPauseMenuPage(PauseMenu::TutorialWin, [] { return static_cast<MenuFrame*>(MenuFrameRegistry::tutorialWinMenu()); });
    setPauseMenuPage(PauseMenu::FreeFlight,
                     [] { return static_cast<MenuFrame*>(MenuFrameRegistry::freeFlightPauseMenu()); });
    CampaignEndPages::instance().failurePage = CampaignFailMenuFrame::showOverGame;
    // The score tables of matches and the result page every finished game ends on.
    setPauseMenuPage(PauseMenu::Match, [] { return static_cast<MenuFrame*>(MenuFrameRegistry::skirmishEndMenu()); });
    setPauseMenuPage(PauseMenu::TeamMatch,
                     [] { return static_cast<MenuFrame*>(MenuFrameRegistry::teamSkirmishEndMenu()); });
    CampaignEndPages::instance().resultPage = [] {
        return static_cast<MenuFrame*>(MenuFrameRegistry::gameResultMenu());
    };
    GameResultMenuFrame::Routes& results = GameResultMenuFrame::routes();
    results.pointsFactor = [] {
        NetworkGameHandler* handler = NetworkGameHandler::instance();
        return handler ? handler->client.pointsFactor : 1.0f;
    };
    results.disconnect = [] {
        if (NetworkGameHandler* handler = NetworkGameHandler::instance())
            handler->disconnect();
    };
    results.serverName = [] {
        const GameMode* mode = modeOf(currentMatch());
        return mode ? mode->report().serverName : std::u16string();
    };
    results.networkMap = [] {
        const NetworkGameHandler* handler = NetworkGameHandler::instance();
        const GameMode* mode = modeOf(currentMatch());
        if (!handler || !mode || mode->isSinglePlayer())
            return -1;
        return mode->isNetworkClient() ? static_cast<int>(handler->client.joinSetup().mapIndex)
                                       : static_cast<int>(netGlobals().serverInfo.bytes[ServerInfo::MapIndex]);
    };
    // Multiplayer: the entry page, the chat lines, the chat over a network
    // match and the notice of a lost host.
    links.multiPlayer = [] { return static_cast<MenuFrame*>(MenuFrameRegistry::multiPlayerMenu()); };
    links.customChat = [] { return static_cast<MenuFrame*>(MenuFrameRegistry::customChatMenu()); };
    setChatOpener(openChatOverGame);
    setPauseMenuPage(PauseMenu::ServerLost,
                     [] { return static_cast<MenuFrame*>(MenuFrameRegistry::mpServerDisconnectMenu()); });
    // A network game's pause, result and lost-host pages lead back to the
    // list the game was found in.
    const auto lanGames = [] { return static_cast<MenuFrame*>(MenuFrameRegistry::wifiMenu()); };
    InGameLinks& inGame = inGameLinks();
    inGame.multiPlayer = links.multiPlayer;
    inGame.lanGames = lanGames;
    inGame.onlineRooms = links.onlineRooms;
    results.multiPlayer = links.multiPlayer;
    results.lanGames = lanGames;
    results.onlineRooms = links.onlineRooms;
    results.quickMatch = [] {
        const auto* online = static_cast<const MultiPlayerMenuFrameOnline*>(
            MenuFrameRegistry::existing(MenuFrameRegistry::Page::MultiPlayerOnline));
        return online && online->lastConnectQuick;
    };
}

// Every match the game starts reaches the HUD, the camera, the achievements,
// the score keeper, the tutorial HUD, the scene, the HUD's messages, the
// overlays and the campaign's end pages through these; the network game is
// each match's own.
void connectMatches()
{
    MatchConnections connections;
    fillScreenConnections(connections);
    connections.hooks.progress = &gameProgress();
    connections.hooks.scores = &ScoreMgr::instance();
    connections.services.endPages = &CampaignEndPages::instance();
    setGameConnections(connections);
}

// "-autohost", "-netport" and "-lanaddr"; a join asked for with "+connect"
// is taken once the menus have loaded.
TestOptions g_netTest;

void applyNetworkOptions(const TestOptions& test)
{
    g_netTest = test;
    LanTransport::Config& lan = netGlobals().lanConfig;
    if (test.netPort > 0)
        lan.bindPort = lan.remotePort = static_cast<std::uint16_t>(test.netPort);
    in_addr address{};
    if (!test.lanAddress.empty() && inet_pton(AF_INET, test.lanAddress.c_str(), &address) == 1)
        lan.discoveryAddress = lan.announceAddress = ntohl(address.s_addr);
}

void updateNetworkRequests()
{
    steam().runCallbacks();
    if (!menuScreen().isLoaded() || !currentFrame())
        return;
    if (g_netTest.autohostType > 0 && currentScreen() == &menuScreen()) {
        const int type = g_netTest.autohostType;
        g_netTest.autohostType = 0;
        autohostLanGame(type, g_netTest.autohostMap);
    }
    if (steam().requestedServer().port != 0)
        (void)MenuFrameRegistry::steamMenu()->takeRequest();
    // "+connect_lobby": the online page joins that room once the menus stand.
    if (!steam().requestedLobby().empty() && currentScreen() == &menuScreen()) {
        const std::string room = steam().requestedLobby(), password = steam().password();
        steam().clearLobbyRequest();
        MultiPlayerMenuFrameOnline::joinRequestedRoom(room, password);
    }
}

// "-testplace foe|flag|ship": a scripted run's way to a kill, a flag capture or a ship close by.
std::optional<TestPlacement> g_testPlacement;

void updateTestPlacement()
{
    if (!g_testPlacement || currentScreen() != &gameScreen())
        return;
    if (GameMode* mode = modeOf(currentMatch()))
        g_testPlacement->update(*mode, frameDelta());
}

// "-logplayer N": where the player's airplane is, for a script's next run.
void logPlayerAirplane(const App& app)
{
    const int every = app.testOptions().logPlayerEvery;
    if (every <= 0 || app.framesDrawn() % every != 0 || currentScreen() != &gameScreen())
        return;
    const GameMode* mode = modeOf(currentMatch());
    const Airplane* a = mode ? mode->playerAirplane() : nullptr;
    if (!a)
        return;
    const int frame = app.framesDrawn();
    const Vec3 p = a->position(), v = a->velocity(), f = a->forward(), u = a->up();
    logInfo("test", "frame %d player at %.2f %.2f %.2f moving %.3f %.3f %.3f facing %.4f %.4f %.4f up %.4f %.4f %.4f",
            frame, p.x, p.y, p.z, v.x, v.y, v.z, f.x, f.y, f.z, u.x, u.y, u.z);
    // What a script steering by these lines aims at and sees of its shots.
    if (const Target* t = mode->lessonTarget()) {
        const Vec3 at = t->position();
        logInfo("test", "frame %d target at %.2f %.2f %.2f radius %.1f", frame, at.x, at.y, at.z, t->radius());
    }
    Vec3 impact;
    if (const Weapon* w = a->weapon(0); w && w->predictedImpact(impact))
        logInfo("test", "frame %d bomb falls at %.2f %.2f %.2f", frame, impact.x, impact.y, impact.z);
    if (const Missile* m = mode->playerMissile()) {
        const Vec3 at = m->position();
        const auto* simple = dynamic_cast<const SimpleMissile*>(m);
        logInfo("test", "frame %d missile at %.2f %.2f %.2f%s", frame, at.x, at.y, at.z,
                simple && simple->isRunning() ? " running" : "");
    }
}

// "-menupage NAME" stands in for the menus that will lead to the page.
std::string g_menuPage;

void showFirstMenuPage()
{
    if (currentScreen() != &menuScreen() || !menuScreen().isLoaded() || currentFrame())
        return;
    goToFrame(MenuFrameRegistry::mainMenu());
    if (g_menuPage.empty())
        return;
    if (MenuFrame* page = menuPageByName(g_menuPage)) {
        goToFrame(page);
        logInfo("menus", "page shown: %s", g_menuPage.c_str());
    } else {
        logWarning("menus", "no menu page \"%s\"", g_menuPage.c_str());
    }
    g_menuPage.clear();
}

// "-pageat N:NAME": the later pages of a run that tours several.
void showLaterMenuPages(const App& app)
{
    if (currentScreen() != &menuScreen() || !menuScreen().isLoaded())
        return;
    for (const TestOptions::FrameDump& later : app.testOptions().laterPages) {
        if (later.frame != app.framesDrawn())
            continue;
        if (MenuFrame* page = menuPageByName(later.path)) {
            goToFrame(page);
            logInfo("menus", "page shown: %s", later.path.c_str());
        } else {
            logWarning("menus", "no menu page \"%s\"", later.path.c_str());
        }
    }
}
}  // namespace

namespace {
// Every thread that allocates (the software renderer's raster threads, the
// sound mixer, the window system's) would get a malloc arena of its own, each
// holding its freed pages: up to 12 MiB of the peak for allocations that are
// rare off the main thread. Blocks of 4 MiB and more (decoded pictures, the
// large textures' pixels) go back to the system when freed instead of raising
// the heap's floor; below that the GL's per-frame upload buffers (1 MiB)
// would pay a map and its page faults each time. The user's MALLOC_ARENA_MAX
// and MALLOC_MMAP_THRESHOLD_ still decide.
void tuneAllocator()
{
#ifdef __GLIBC__
    if (std::getenv("MALLOC_ARENA_MAX") == nullptr)
        mallopt(M_ARENA_MAX, 2);
    if (std::getenv("MALLOC_MMAP_THRESHOLD_") == nullptr)
        mallopt(M_MMAP_THRESHOLD, 4 << 20);
#endif
}
}  // namespace

int main(int argc, char** argv)
{
    tuneAllocator();
    // The subsystems above the platform register their screens, sound and
    // overlays here as they join the game; until then the loop shows the empty screen.
    AppHooks hooks;
    App* running = nullptr;
    // The run's one network-game state: the game screen's last load step and its leaving reach it.
    NetworkGameHandler network;
    hooks.startRenderer = startRenderer;
    hooks.stopRenderer = stopRenderer;
    hooks.showFirstScreen = [&running, &network] {
        // "-autostart" stands in for the menus: the menu starts that game once loaded.
        if (running && !running->testOptions().autostartMission.empty())
            requestCampaignAutostart(running->testOptions().autostartMission);
        else if (running && running->testOptions().autostartType > 0)
            requestAutostart(running->testOptions().autostartType, running->testOptions().autostartMap);
        if (running) {
            g_menuPage = running->testOptions().menuPage;
            textFitLog().setEnabled(running->testOptions().textBoxes);
            applyNetworkOptions(running->testOptions());
            const auto placement = TestPlacement::kindByName(running->testOptions().testPlace);
            if (placement != TestPlacement::Kind::None)
                g_testPlacement.emplace(placement);
        }
        startScreens();
        gameScreen().setNetworkSession(&network);
        network.setRoomEvents(&MultiPlayerMenuFrameOnline::roomEvents());
        if (running)
            (void)network.room.setConfig(RoomClient::configFor(running->roomServer()));
        // The graphics page lists the screen's modes from its first showing on.
        std::vector<GraphicsSettingsMenuFrame::Resolution> modes;
        for (const DisplayMode& mode : displayModes())
            modes.push_back({mode.width, mode.height});
        GraphicsSettingsMenuFrame::setDisplayModes(std::move(modes));
        startMenus();
        connectMatches();
        // A game started by "-autostart" skips the menus, and with them the
        // first-run question of the control type.
        if (running && (!running->testOptions().autostartMission.empty() || running->testOptions().autostartType > 0))
            setControlTypeChoice(nullptr);
        setCurrentScreen(&splashesScreen());
    };
    hooks.ensureQuitOverlay = [] { QuitGameOverlay::instance(); };
    hooks.updateQuitOverlay = [] { QuitGameOverlay::instance().update(); };
    hooks.quitConfirmed = [] { return QuitGameOverlay::instance().quit; };
    hooks.drawScreens = [] {
        textFitLog().beginFrame();
        drawScreens();
    };
    hooks.updateScreens = [&running] {
        settleAfterShaderBuilds();
        showFirstMenuPage();
        if (running)
            showLaterMenuPages(*running);
        if (currentScreen() == &menuScreen())
            showSaveNotices();
        updateNetworkRequests();
        updateTestPlacement();
        if (running) {
            logPlayerAirplane(*running);
            running->setPacedToWallClock(NetworkGame::running());
        }
        updateScreens();
    };
    hooks.updateAchievementPopups = [] { updateAchievementPopups(frameDelta()); };
    hooks.rebuildMenusForLanguage = rebuildMenusForLanguage;
    hooks.touch = dispatchTouchToScreens;
    hooks.back = dispatchBackToScreens;
    hooks.clearScreen = clearScreen;
    hooks.saveFrame = saveFrame;
    hooks.screenResized = resizeRenderer;
    hooks.loadGameData = loadGameData;
    hooks.startSound = startSound;
    hooks.stopSound = [] { Sound::close(); };
    hooks.updateSound = updateSound;
    hooks.focusLost = [] {
        applyFocusLost();
        pauseOnFocusLoss();
    };
    hooks.focusGained = [] { applyFocusGained(settings()); };
    hooks.focusedItemCentre = [](int& x, int& y) {
        MenuFrame* frame = getInputFrame();
        const MenuItem* item = frame ? frame->focusedItem : nullptr;
        if (!item)
            return false;
        x = item->absX + item->width / 2;
        y = item->absY + item->height / 2;
        return true;
    };
    // Owning another of our games unlocks its reward through the unlock rules.
    // The main menu hears of these unlocks only, to show their notice.
    setGamesDetectionHooks({[](std::uint32_t appId) { return steam().isAppInstalled(appId); },
                            [](int type) {
                                UnlocksMgr& unlocks = UnlocksMgr::instance();
                                IUnlockListener* before = unlocks.listener();
                                unlocks.setListener(MenuFrameRegistry::mainMenu());
                                unlocks.fireEvent(static_cast<UnlockEventType>(type));
                                unlocks.setListener(before);
                            }});
    App app(std::move(hooks));
    running = &app;
    return app.run(argc, argv);
}
