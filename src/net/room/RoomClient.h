#pragma once
#include "net/room/IRoomServerListener.h"

#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <thread>

#include <netinet/in.h>

// The TCP client of the online room server: connects on a short-lived thread,
// says hello, creates and joins rooms, and turns the server's messages into
// calls on one listener. Everything but the connect runs on the main thread.
class RoomClient {
public:
    static constexpr std::uint16_t kDefaultPort = 11489;
    static constexpr int kEntries = 7;
    static constexpr std::size_t kBuffer = 1024;
    static constexpr std::size_t kHelloSize = 124;
    static constexpr std::size_t kInfoHead = 311;
    static constexpr std::size_t kInfoExtraMax = kBuffer - kInfoHead;  // 713
    static constexpr std::size_t kServerInfoSize = 110;
    static constexpr std::size_t kJoinWithPasswordSize = 36;
    // The server's error codes of a refused join.
    static constexpr std::uint16_t kNoSuchRoom = 1, kRoomFull = 2, kWrongPassword = 4;

    enum class State : std::uint32_t {
        Idle = 0, Failed = 1, JoinPending = 2, CreatePending = 3, Succeeded = 4, Connected = 6, DetailsPending = 7
    };

    struct Endpoint {
        std::string host;
        std::uint16_t port = kDefaultPort;
    };
    struct Config {
        std::array<Endpoint, kEntries> table;
        std::function<void(int milliseconds)> sleep;  // empty: really sleeps
        std::function<void(int entry)> onAttempt;     // each connect attempt's table entry
    };
    // The three endpoints in the order first, second, third, first, second, third, second.
    static std::array<Endpoint, kEntries> makeTable(const Endpoint& first, const Endpoint& second,
                                                    const Endpoint& third);
    // "HOST[:PORT]"; false on a malformed text.
    static bool parseEndpoint(const std::string& text, Endpoint& out);

    // Every table entry at the endpoint of "-roomserver HOST[:PORT]"; the default one when malformed.
    static Config configFor(const std::string& endpoint);

    // -1 takes the entries in turn; 0-6 always that entry.
    static std::atomic<int> fixedServer;

    RoomClient();
    explicit RoomClient(Config config);
    ~RoomClient();
    RoomClient(const RoomClient&) = delete;
    RoomClient& operator=(const RoomClient&) = delete;

    void setListener(IRoomServerListener* listener) { listener_ = listener; }
    // Another endpoint table; taken only while not connected (false otherwise).
    bool setConfig(Config config);
    IRoomServerListener* listener() const { return listener_; }
    void setAccount(std::uint32_t account) { account_ = account; }

    // Starts the connect thread (after the previous one has ended); 0.
    int connectAsync(const char* name, std::uint16_t aircraft, std::uint32_t rank);
    int connectAsyncFlagged(const char* name, std::uint16_t aircraft, std::uint32_t rank);
    // Runs on the connect thread, or on the main thread after a close or redirect.
    int connect();
    bool resolveServer();
    // Reports the connect thread's outcome and handles every complete message.
    void poll(bool wait);

    // 0 on success, else the server's error code, or -1 without an answer or a connection.
    int createRoom(const std::uint8_t* serverInfo, std::uint8_t maxPlayers, std::uint8_t option,
                   const std::string& roomName);
    int joinRoomById(std::uint16_t room);
    // With a password (message 33); an empty one asks as the plain join does.
    int joinRoomById(std::uint16_t room, const std::string& password);
    int joinRoomByName(const std::string& roomName);
    void requestRoomList();                      // messages 6 and 15
    void requestRoomDetails(std::uint16_t room);  // message 32; state 7
    void leave();
    void closeSocket();

    // Received bytes handed straight to the reader, as if read from the socket.
    void feed(const std::uint8_t* data, std::size_t length);

    State state() const { return state_; }
    bool connected() const { return connected_; }
    std::uint16_t errorCode() const { return errorCode_; }
    int retriesLeft() const { return retries_; }

private:
    int startConnect(const char* name, std::uint16_t aircraft, std::uint32_t rank, bool flagged);
    void joinThread();
    bool sendAll(const std::uint8_t* data, std::size_t length);
    void buildHello(std::array<std::uint8_t, kHelloSize>& hello) const;
    int waitWhile(State pending);
    // One message at the head of the buffer: its size, 0 when it has not all arrived.
    std::size_t messageSize(bool& fatal) const;
    // False when the connection ended while handling them.
    bool handleBuffered();
    bool handleMessage(std::size_t size);
    void lostConnection(bool retry);
    void serverClosed();
    void redirect(std::uint32_t address, std::uint16_t port);
    void sleepMs(int ms) const;

    Config config_;
    std::atomic<int> socket_{-1};
    std::array<char, 32> name_{};
    std::uint16_t aircraft_ = 0;
    std::uint32_t rank_ = 0xFFFFFFFFu;
    std::uint32_t account_ = 0;
    sockaddr_in address_{};
    bool resolved_ = false;
    std::array<std::uint8_t, kBuffer> buffer_{};
    std::size_t buffered_ = 0;
    std::atomic<bool> connected_{false};
    std::atomic<State> state_{State::Idle};
    std::uint16_t errorCode_ = 0;
    std::thread thread_;
    std::atomic<bool> finished_{false};
    bool threadStarted_ = false;
    std::uint16_t helloFlag_ = 0;
    std::atomic<int> retries_{0};
    int serverIndex_ = 0;
    int entry_ = 0;
    IRoomServerListener* listener_ = nullptr;
};
