#include "menus/multiplayer/MultiPlayerMenuFrameSteam.h"

#include "menus/MenuFrameRegistry.h"
#include "menus/frontend/MainMenuFrame.h"
#include "menus/frontend/PlayMenuFrame.h"
#include "menus/multiplayer/JoinRefusal.h"
#include "modes/GameMode.h"
#include "modes/GameModeGlobals.h"
#include "modes/Match.h"
#include "net/match/NetworkGameHandler.h"
#include "platform/Log.h"
#include "platform/Steam.h"
#include "screens/GameScreen.h"
#include "screens/GameStart.h"
#include "screens/MenuScreen.h"
#include "screens/Screens.h"
#include "ui/MenuNavigation.h"
#include "ui/widgets/MenuAlert.h"
#include "ui/widgets/MenuPanel.h"
#include "ui/widgets/SpriteLabel.h"

#include <arpa/inet.h>

MultiPlayerMenuFrameSteam* MenuFrameRegistry::steamMenu()
{
    return slot<MultiPlayerMenuFrameSteam>(Page::MultiPlayerSteam);
}

MultiPlayerMenuFrameSteam::MultiPlayerMenuFrameSteam()
{
    content()->visible = false;
    content()->enabled = false;
    titleLabel->visible = false;
    launch = [](int type, int map) {
        mapChoice().selectedMap = map;
        NetworkGameHandler* handler = NetworkGameHandler::instance();
        const GameStartResult result =
            createNetworkGame(type, map, false, false, handler ? &handler->client : nullptr, gameScreen());
        logInfo("menus", "requested join start: type %d map %d result %d", type, map, static_cast<int>(result));
    };
    showMenuScreen = [] {
        if (currentScreen() != &menuScreen())
            setCurrentScreen(&menuScreen());
    };
}

bool MultiPlayerMenuFrameSteam::takeRequest()
{
    // A request that arrives while a join runs waits for this page to be idle.
    if (state != Idle || steam().requestedServer().port == 0)
        return false;
    openFromGame();
    return true;
}

void MultiPlayerMenuFrameSteam::openFromGame()
{
    state = Busy;
    if (GameMode* match = modeOf(currentMatch()); match && currentScreen() == &gameScreen())
        match->endMatch();
    dropOverlayScreens();
    if (showMenuScreen)
        showMenuScreen();
    clearFrameHistory();
    goToFrame(MenuFrameRegistry::mainMenu());
    goToFrame(this);
    state = Connect;
}

void MultiPlayerMenuFrameSteam::update()
{
    FilledMenuFrame::update();
    NetworkGameHandler* handler = NetworkGameHandler::instance();
    if (!handler)
        return;
    if (state == Connect) {
        const Steam::ServerAddress asked = steam().requestedServer();
        handler->disconnect();
        handler->client.connectTo(ntohl(asked.address), static_cast<std::uint16_t>(asked.port));
        // The handler follows the join and gives up after its 10 s.
        handler->roomJoinState = 4;
        handler->roomJoinTimer = 0.0f;
        steam().clearRequestedServer();
        state = Waiting;
        return;
    }
    if (state != Waiting)
        return;
    handler->update(frameDelta());
    if (handler->roomJoinState == 0) {
        handler->roomJoinState = -1;
        clearFrameHistory();
        goToFrame(MenuFrameRegistry::mainMenu());
        showMessageById(joinRefusalString(handler->client.refusal(), kJoinFailedString));
        state = Idle;
        return;
    }
    const MatchTransport* transport = netGlobals().transport.get();
    if (transport && transport->connected() && handler->client.state == NetworkGameClient::Loading) {
        clearFrameHistory();
        goToFrame(MenuFrameRegistry::mainMenu());
        handler->roomJoinState = -1;
        state = Idle;
        // The host's own game type: the join is into its match, whatever was played here last.
        const netmsg::JoinCompleteMsg& join = handler->client.joinSetup();
        if (launch)
            launch(join.gameType, join.mapIndex);
    }
}

void MultiPlayerMenuFrameSteam::onBack()
{
    goBack();
    state = Idle;
}

bool MultiPlayerMenuFrameSteam::onEscape()
{
    onBack();
    return true;
}
