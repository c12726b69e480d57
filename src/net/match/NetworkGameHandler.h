#pragma once
#include "modes/INetworkSession.h"
#include "net/match/NetworkGameClient.h"
#include "net/match/NetworkGameServer.h"
#include "net/room/IRoomServerListener.h"
#include "net/room/RoomClient.h"

#include <cstddef>
#include <cstdint>

// What the room server reports that the online room pages show; the menus
// fill it, nobody is told while it is unset.
class IRoomEvents {
public:
    virtual ~IRoomEvents() = default;
    virtual void onRoomEntry(const std::uint8_t* entry) = 0;
    virtual void onRoomLeft() = 0;
    virtual void onRoomError(const char* text) = 0;
    virtual void onRoomInfo(const std::uint8_t* message, std::size_t length) = 0;
    virtual void onConnectFailed() = 0;
    virtual void onConnected() = 0;
    virtual void onRoomMessage(const char* text) = 0;
};

// The process's one network-game state (main.cpp owns it): the room-server
// client, both sides of a network game, and the joins through the LAN list
// or an online room with their 10 s limits.
class NetworkGameHandler : public IRoomServerListener, public INetworkSession {
public:
    static constexpr float kJoinTimeout = 10.0f;
    static constexpr float kLoadWait = 5.0f;

    NetworkGameHandler();
    explicit NetworkGameHandler(RoomClient::Config roomConfig);
    ~NetworkGameHandler() override;
    NetworkGameHandler(const NetworkGameHandler&) = delete;
    NetworkGameHandler& operator=(const NetworkGameHandler&) = delete;

    // The one of the running game (null before main makes it).
    static NetworkGameHandler* instance();

    void connectRoomServer(bool autoJoinFirst, bool armAfter);
    void startLanBrowse();
    // Asks the n-th game of the LAN list to take this client (10 s to answer).
    void joinListedServer(int n);
    // Leaves the room server and stops any network game.
    void disconnect();
    void sendRoomQueries();
    // Each frame of the online and LAN pages: the room client, then the join under way.
    void update(float dt);
    void setRoomEvents(IRoomEvents* events) { m_events = events; }

    // INetworkSession: the host opens to players; a client applies its join
    // and waits up to 5 s for the host's join end, else the game goes on alone.
    bool loadStep(GameMode& mode, float dt) override;
    void gameLeft() override;
    HostLink hostLink(std::uint32_t& address, std::uint16_t& port) const override;

    // IRoomServerListener
    void onDisconnected() override { roomJoinState = 0; }
    void onJoinServer(std::uint32_t address, std::uint16_t port, std::uint32_t value) override;
    void onConnectionLost() override { roomJoinState = 0; }
    void onRoomEntry(const std::uint8_t* entry) override;
    void onRoomNotice(const char*, std::uint16_t) override {}
    void onRoomNotice2(const char*, std::uint16_t) override {}
    void onRoomLeft() override;
    void onRoomError(const char* text) override;
    void onRoomInfo(const std::uint8_t* message, std::size_t length) override;
    void onConnectFailed() override;
    void onConnected() override;
    void onRoomMessage(const char* text) override;

    bool joinArmed = false;
    RoomClient room;
    int lanJoinState = -1;  // -1 idle, 3 connecting, 0 given up
    float lanJoinTimer = 0.0f;
    int roomJoinState = -1;  // -1 idle, 0 failed, 2 joining a room, 3 connecting, 4 connected
    float roomJoinTimer = 0.0f;
    NetworkGameClient client;
    NetworkGameServer server;
    bool autoJoin = false;

private:
    void reset();
    void advanceJoin(int& state, float& timer, float dt);

    IRoomEvents* m_events = nullptr;
    float m_loadWait = -1.0f;  // -1: the load step has not begun
};
