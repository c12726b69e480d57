#include "net/match/NetworkGameHandler.h"

#include "modes/GameMode.h"
#include "platform/ByteReader.h"
#include "platform/Log.h"
#include "platform/Settings.h"
#include "platform/Text.h"

#include <arpa/inet.h>

namespace {
NetworkGameHandler* g_handler = nullptr;
}

NetworkGameHandler::NetworkGameHandler() : NetworkGameHandler(RoomClient::Config{}) {}

NetworkGameHandler::NetworkGameHandler(RoomClient::Config roomConfig) : room(std::move(roomConfig))
{
    room.setListener(this);
    g_handler = this;
    netGlobals().onStopRequested = [this] { disconnect(); };
}

NetworkGameHandler::~NetworkGameHandler()
{
    if (g_handler == this) {
        g_handler = nullptr;
        netGlobals().onStopRequested = nullptr;
    }
    room.setListener(nullptr);
    room.leave();
    NetworkGame::stop();
}

NetworkGameHandler* NetworkGameHandler::instance() { return g_handler; }

void NetworkGameHandler::reset()
{
    // Leaving tells nobody: the handler is the listener and knows already.
    room.setListener(nullptr);
    room.leave();
    room.setListener(this);
    roomJoinState = -1;
    NetworkGame::stop();
    lanJoinState = -1;
    joinArmed = false;
    client.state = NetworkGameClient::Browsing;
    client.joined = 0;
    client.active = 0;
    m_loadWait = -1.0f;
}

void NetworkGameHandler::connectRoomServer(bool autoJoinFirst, bool armAfter)
{
    reset();
    autoJoin = autoJoinFirst;
    const Settings& s = settings();
    const char* name = toNarrowTemp(s.playerName.c_str());
    room.setAccount(s.playerAccount[0]);
    int result = 0;
    if (autoJoin) {
        result = room.connectAsyncFlagged(name, s.localPlaneId, s.playerRank);
        joinArmed = true;
    } else {
        result = room.connectAsync(name, s.localPlaneId, s.playerRank);
        joinArmed = armAfter;
    }
    // The client may have dropped its listener on its socket start: this handler listens.
    room.setListener(this);
    if (result != 0)
        roomJoinState = 0;
}

void NetworkGameHandler::startLanBrowse()
{
    reset();
    autoJoin = false;
    if (client.startLan())
        client.clearServerList();
}

void NetworkGameHandler::joinListedServer(int n)
{
    (void)client.joinListedServer(n);
    lanJoinTimer = 0.0f;
    lanJoinState = 3;
}

void NetworkGameHandler::disconnect()
{
    reset();
    autoJoin = false;
}

void NetworkGameHandler::sendRoomQueries()
{
    if (room.connected())
        room.requestRoomList();
}

void NetworkGameHandler::advanceJoin(int& state, float& timer, float dt)
{
    timer += dt;
    if (timer > kJoinTimeout) {
        state = 0;
        return;
    }
    if (client.refusal() != LanTransport::Refusal::None) {
        state = 0;  // the host said why: no use waiting out the time
        return;
    }
    if (state == 3) {
        const MatchTransport* t = netGlobals().transport.get();
        if (t && t->connected()) {
            state = 4;
            timer = 0.0f;
        }
    } else if (state == 4) {
        client.processMessages();
    }
}

void NetworkGameHandler::update(float dt)
{
    room.poll(false);
    if (roomJoinState > 1)
        advanceJoin(roomJoinState, roomJoinTimer, dt);
    else if (lanJoinState > 1)
        advanceJoin(lanJoinState, lanJoinTimer, dt);
    else
        lanJoinTimer = roomJoinTimer = 0.0f;
}

void NetworkGameHandler::onJoinServer(std::uint32_t address, std::uint16_t port, std::uint32_t)
{
    if (!joinArmed)
        return;
    client.connectTo(ntohl(address), port);
    roomJoinState = 3;
    joinArmed = false;
    roomJoinTimer = 0.0f;
}

void NetworkGameHandler::onRoomEntry(const std::uint8_t* entry)
{
    if (!entry)
        return;
    if (!autoJoin) {
        if (m_events)
            m_events->onRoomEntry(entry);
        return;
    }
    if (roomJoinState > 1)
        return;
    roomJoinTimer = 0.0f;
    roomJoinState = 2;
    joinArmed = true;
    // The room's id follows the message type.
    std::uint16_t type = 0, roomId = 0;
    ByteReader r(std::span<const std::uint8_t>(entry, 4));
    if (r.u16(type) && r.u16(roomId))
        (void)room.joinRoomById(roomId);
}

void NetworkGameHandler::onRoomLeft()
{
    if (m_events)
        m_events->onRoomLeft();
}

void NetworkGameHandler::onRoomError(const char* text)
{
    if (m_events)
        m_events->onRoomError(text);
}

void NetworkGameHandler::onRoomInfo(const std::uint8_t* message, std::size_t length)
{
    if (m_events)
        m_events->onRoomInfo(message, length);
}

void NetworkGameHandler::onConnectFailed()
{
    roomJoinState = 0;
    if (m_events)
        m_events->onConnectFailed();
}

void NetworkGameHandler::onConnected()
{
    if (m_events)
        m_events->onConnected();
}

void NetworkGameHandler::onRoomMessage(const char* text)
{
    if (m_events)
        m_events->onRoomMessage(text);
}

bool NetworkGameHandler::loadStep(GameMode& mode, float dt)
{
    if (!NetworkGame::running())
        return true;
    if (mode.isNetworkServer()) {
        mode.setServerName(netGlobals().serverInfo.name());
        NetworkGame::openToPlayers();
        return true;
    }
    if (m_loadWait < 0.0f) {
        // A client knows the match by the host's join answer.
        mode.setServerName(client.joinSetup().gameName);
        client.applyJoinState();
        client.active = 1;
        m_loadWait = 0.0f;
    }
    m_loadWait += dt;
    if (m_loadWait > kLoadWait) {
        disconnect();
        return true;
    }
    client.update(IGameListener::Phase::Receive);
    if (client.state == NetworkGameClient::Waiting || client.state == NetworkGameClient::Playing) {
        m_loadWait = -1.0f;
        return true;
    }
    return false;
}

INetworkSession::HostLink NetworkGameHandler::hostLink(std::uint32_t& address, std::uint16_t& port) const
{
    if (!NetworkGame::running() || client.state == NetworkGameClient::Browsing)
        return HostLink::Gone;
    if (client.state != NetworkGameClient::Waiting && client.state != NetworkGameClient::Playing)
        return HostLink::Between;
    address = client.serverAddress;
    port = client.serverPort;
    return HostLink::Joined;
}

void NetworkGameHandler::gameLeft()
{
    // The room server is left too: the online page keeps its connection
    // open when it is left, so any later game may end with it still open.
    if (room.connected())
        logInfo("net", "the room server is left with the game");
    if (NetworkGame::running() || room.connected())
        disconnect();
}
