#pragma once
#include "net/match/MatchTransport.h"
#include "net/match/ServerInfo.h"

#include <array>
#include <atomic>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>

class GameMode;
class NetworkPlayer;
class Target;

// A connect (0) or disconnect (1) of a client, handed from the network
// thread to the host's reader; a connect carries 115 bytes of the client's
// identity (its name), zero past what it sent.
struct NetEvent {
    enum Kind : std::uint8_t { Connected = 0, Disconnected = 1 };
    std::uint8_t kind = Connected;
    std::uint8_t slot = 0;
    std::array<std::uint8_t, 115> identity{};
};

// What the two sides of a network game share in a process: there is one
// network game at a time and at most one transport.
struct NetworkGlobals {
    std::unique_ptr<MatchTransport> transport;
    bool hosting = false;
    NetworkPlayer* localPlayer = nullptr;
    float sendAccumulator = 0.0f;
    float joinDelay = 3.0f;
    std::atomic<bool> discoveredChanged{false};
    ServerInfo serverInfo;
    std::mutex eventLock;  // the event queue and the server info (read by the network thread)
    std::deque<NetEvent> events;
    // Ports and addresses of the LAN transports made (tests and the peer
    // program use free loopback ports).
    LanTransport::Config lanConfig;
    // Makes the transport of a start; empty: a LanMatchTransport on lanConfig.
    std::function<std::unique_ptr<MatchTransport>(const std::uint8_t* identity, std::size_t length,
                                                  MatchTransport::Callbacks callbacks)>
        makeTransport;
    // The mode the network game plays; empty: the current game mode.
    std::function<GameMode*()> mode;
    // What the mode's "stop the network game" and "disconnect" do; the
    // handler fills it (leave the room, then stop). Empty: NetworkGame::stop.
    std::function<void()> onStopRequested;
};
NetworkGlobals& netGlobals();

// The base of the host's and the client's network game: start and stop,
// the roster's lifetime and the chat-log line.
class NetworkGame {
public:
    static constexpr int kColourOwn = 4, kColourTeam = 2, kColourOther = 3;
    static constexpr int kJoinedText = 870, kLeftText = 871;

    // Ends the network game: the thread joined, the socket closed, the
    // transport deleted, every player deleted.
    static void stop();
    // The host takes connects and announces the game (its map has loaded).
    static void openToPlayers();
    // "name: text" of a chat in the sender's colour, pushed to the HUD.
    static void addChatLine(const Target* sender, std::u16string_view text);
    // The line as it stands (formatted by the caller) pushed to the HUD.
    static void pushChatLine();
    // The join (870) or leave (871) line of the airplane's pilot.
    static void formatJoinLeaveLine(const Target& airplane, int textId);
    static std::u16string& chatLine();
    static bool running() { return netGlobals().transport != nullptr; }

    std::uint8_t active = 0;  // client: the map has loaded; host: the state sender's cursor
    std::uint8_t playerId = 0;
    std::uint8_t joined = 0;

protected:
    static GameMode* mode();
    static MatchTransport* transport() { return netGlobals().transport.get(); }
    // Seconds of game time since the last call through the same clock mark.
    static float step(float& mark);
    static std::unique_ptr<MatchTransport> makeTransport(const std::uint8_t* identity, std::size_t length,
                                                         MatchTransport::Callbacks callbacks);
};
