#include "screens/GameStart.h"

#include "entities/TimedPoints.h"
#include "gamedata/records/MapInfoCfg.h"
#include "gamedata/records/MapLists.h"
#include "modes/GameMode.h"
#include "modes/GameModeFactory.h"
#include "modes/GameModeGlobals.h"
#include "modes/Match.h"
#include "modes/kinds/GameModeCampaign.h"
#include "modes/MatchConnections.h"
#include "platform/Log.h"
#include "platform/Settings.h"
#include "screens/GameScreen.h"
#include "screens/LoadingScreen.h"
#include "screens/hud/GameHud.h"
#include "screens/hud/HudMessages.h"
#include "screens/hud/TutorialHudBridge.h"
#include "screens/scene/SceneCameras.h"
#include "screens/Screens.h"

#include <memory>

namespace {
constexpr int kTakeOffLandingTutorial = 3;
constexpr int kTakeOffLandingMap = 1;
// "-autostart 9:N" plays tutorial N on the tutorial map.
constexpr int kTutorialMap = 1;

// Every start begins with an empty timed-points pool, so no owner of the
// last game outlives it there.
void showLoading(IGameScreen& gameScreen)
{
    TimedPoints::instance().clear();
    LoadingScreen& loading = gameLoadingScreen();
    loading.prepare(&gameScreen);
    setCurrentScreen(&loading);
}

MatchConnections& gameConnections()
{
    static MatchConnections connections;
    return connections;
}

// Loads the match on the game screen; nothing changes when the match cannot be made.
GameStartResult loadMatch(std::unique_ptr<GameMode> mode, IGameListener* network, IGameScreen& gameScreen)
{
    std::unique_ptr<Match> match = connectMatch(std::move(mode), network);
    if (!match)
        return GameStartResult::NotConnected;
    showLoading(gameScreen);
    setCurrentMatch(std::move(match));
    return GameStartResult::Started;
}

// The mode of a game type on a skirmish map, or null with the reason.
std::unique_ptr<GameMode> makeGame(int type, int& mapIndex, int tutorialIndex, GameStartResult& result)
{
    result = GameStartResult::Started;
    if (!isStartableGameType(type)) {
        logWarning("game", "no game of type %d", type);
        result = GameStartResult::UnknownType;
        return nullptr;
    }
    if (type == static_cast<int>(GameType::Tutorial)) {
        ::tutorialIndex() = tutorialIndex;
        if (tutorialIndex == kTakeOffLandingTutorial)
            mapIndex = kTakeOffLandingMap;
    }
    const MapInfoCfg* record = MapLists::instance().skirmishMap(mapIndex);
    if (!record) {
        logWarning("game", "no map %d to start a game on", mapIndex);
        result = GameStartResult::BadMap;
        return nullptr;
    }
    std::unique_ptr<GameMode> mode = createGameMode(type);
    if (!mode) {
        result = GameStartResult::UnknownType;
        return nullptr;
    }
    mode->setMapRecord(record);
    return mode;
}
}  // namespace

void setGameConnections(const MatchConnections& connections)
{
    gameConnections() = connections;
    // Each match names its own network game.
    gameConnections().network = nullptr;
}

void fillScreenConnections(MatchConnections& connections)
{
    connections.hooks.hud = &gameHud();
    connections.hooks.camera = &sceneModeCamera();
    connections.hooks.tutorial = &tutorialHudBridge();
    connections.services.scene = &sceneModeServices();
    connections.services.messages = &hudMessages();
    connections.services.overlays = &sceneModeOverlays();
}

std::unique_ptr<Match> connectMatch(std::unique_ptr<GameMode> mode, IGameListener* network)
{
    MatchConnections connections = gameConnections();
    connections.network = network;
    return Match::create(std::move(mode), connections);
}

bool isStartableGameType(int type)
{
    switch (static_cast<GameType>(type)) {
    case GameType::FreeForAll:
    case GameType::TeamDeathmatch:
    case GameType::CaptureTheFlag:
    case GameType::DestroyTheBase:
    case GameType::Survival:
    case GameType::Dogfight:
    case GameType::Tutorial:
    case GameType::FreeFlight:
    case GameType::LastManStanding:
        return true;
    default:
        return false;
    }
}

GameStartResult createGame(int type, bool netFlag, int mapIndex, IGameScreen& gameScreen, int tutorialIndex)
{
    GameStartResult result;
    std::unique_ptr<GameMode> mode = makeGame(type, mapIndex, tutorialIndex, result);
    if (!mode)
        return result;
    // A network role without a network game sends nothing: the game's own
    // network matches start through createNetworkGame.
    mode->setNetwork(netFlag, false, false);
    result = loadMatch(std::move(mode), &noNetwork(), gameScreen);
    if (result == GameStartResult::Started)
        logInfo("game", "starting a game of type %d on map %d", type, mapIndex);
    return result;
}

GameStartResult createNetworkGame(int type, int mapIndex, bool hosting, bool online, IGameListener* listener,
                                  IGameScreen& gameScreen)
{
    GameStartResult result;
    std::unique_ptr<GameMode> mode = makeGame(type, mapIndex, 0, result);
    if (!mode)
        return result;
    mode->setNetwork(true, hosting, online);
    result = loadMatch(std::move(mode), listener, gameScreen);
    if (result == GameStartResult::Started)
        logInfo("game", "starting a game of type %d on map %d", type, mapIndex);
    return result;
}

GameStartResult startCampaignMission(int campaign, int mission, IGameScreen& gameScreen, int difficulty, int resume)
{
    if (campaign < 0 || campaign >= MapLists::kCampaigns || mission < 0 || mission >= MapLists::kSlots) {
        logWarning("game", "no campaign mission %d of campaign %d", mission, campaign);
        return GameStartResult::NoMission;
    }
    const MapInfoCfg* record = MapLists::instance().campaignMission(campaign, mission);
    if (!record) {
        logWarning("game", "campaign %d has no mission %d", campaign, mission);
        return GameStartResult::NoMission;
    }
    std::unique_ptr<GameMode> mode = createGameMode(static_cast<int>(GameType::Campaign));
    if (!mode)
        return GameStartResult::UnknownType;
    mode->setNetwork(false, false, false);
    mode->setMapRecord(record);
    mode->difficulty = difficulty >= 0 && difficulty <= 2 ? difficulty : 1;
    mode->setResumeValue(resume);
    // The player flies the plane chosen in the menus, not the mission's own.
    mode->setChosenPlane(settings().localPlaneId);
    return loadMatch(std::move(mode), &noNetwork(), gameScreen);
}

namespace {
struct Autostart {
    int type = 0;
    int map = 0;
    std::string mission;  // a campaign mission's record name
};
Autostart& autostart()
{
    static Autostart request;
    return request;
}
}  // namespace

void requestAutostart(int type, int mapIndex)
{
    autostart() = Autostart{type, mapIndex, {}};
}

void requestCampaignAutostart(const std::string& missionName)
{
    autostart() = Autostart{static_cast<int>(GameType::Campaign), 0, missionName};
}

namespace {
// The campaign mission of that record name, as the same start as the menus'.
GameStartResult startCampaignByName(const std::string& name, IGameScreen& gameScreen)
{
    for (int c = 0; c < MapLists::kCampaigns; ++c)
        for (int m = 0; m < MapLists::kSlots; ++m)
            if (const MapInfoCfg* record = MapLists::instance().campaignMission(c, m); record && record->name == name)
                return startCampaignMission(c, m, gameScreen);
    logWarning("game", "no campaign mission \"%s\"", name.c_str());
    return GameStartResult::NoMission;
}
}  // namespace

bool runAutostart(IGameScreen& gameScreen)
{
    Autostart& request = autostart();
    if (request.type == 0)
        return false;
    const Autostart asked = request;
    request = Autostart{};  // once, whether it starts or not
    GameStartResult result;
    if (!asked.mission.empty())
        result = startCampaignByName(asked.mission, gameScreen);
    else if (asked.type == static_cast<int>(GameType::Tutorial))
        result = createGame(asked.type, false, kTutorialMap, gameScreen, asked.map);
    else
        result = createGame(asked.type, false, asked.map, gameScreen);
    if (result != GameStartResult::Started)
        logWarning("game", "-autostart %d:%d refused (%d)", asked.type, asked.map, static_cast<int>(result));
    return result == GameStartResult::Started;
}
