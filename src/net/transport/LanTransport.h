#pragma once
#include "platform/Clock.h"

#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include <netinet/in.h>

// The UDP peer under every LAN and online match: discovery, connection of a
// client to a host with up to seven clients, reliable messages (exactly once,
// in order, 64-slot rings with cumulative acknowledgements and resends) and
// sequenced messages (sent once, late ones dropped). The payloads are opaque.
// One network thread runs poll(); the main thread queues, sends and takes.
//
// Sequence numbers use the whole byte (0-255) while a ring has 64 slots and
// at most 32 messages are in flight: a copy or an acknowledgement has to be
// more than 220 numbers late before it can pass for a new one.
class LanTransport {
public:
    static constexpr int kPeers = 7;
    static constexpr int kRing = 64;
    static constexpr int kWindow = 32;  // reliable messages in flight, and how far ahead one is taken
    static constexpr std::size_t kSlotPayload = 1224;
    static constexpr std::size_t kMaxPayload = 1223;  // longer ones cannot be delivered
    static constexpr std::size_t kMaxBlob = 127;      // the identity goes out with a one-byte length
    static constexpr std::size_t kBlobCapacity = 258;
    static constexpr std::size_t kReceiveBuffer = 2248;
    static constexpr int kMaxFound = 20;
    static constexpr std::uint8_t kVersion = 5;
    static constexpr std::uint16_t kDefaultPort = 6026;

    enum class State : std::uint32_t { Closed = 0, Connecting = 1, Serving = 2, Discovering = 4 };
    // Why a host turned a connect away (the refused datagram's byte 1).
    enum class Refusal : std::uint8_t { None = 0, Closed = 1, Full = 2 };
    // A connect without a connection token (an older peer).
    static constexpr std::uint32_t kNoToken = 0x10000;
    enum class PacketType : std::uint8_t {
        Connect = 0, Accept = 1, Refused = 2, Ack = 4, ResendRequest = 5, Reliable = 6, ReliableResent = 7,
        Discovery = 9, Description = 10, Sequenced = 12
    };

    // Where the datagrams go and what time it is; tests bind free ports, send
    // discovery to 127.0.0.1 and run the clock by hand.
    struct Config {
        std::uint16_t bindPort = kDefaultPort;    // the server's port; 0 takes a free one
        std::uint16_t remotePort = kDefaultPort;  // discovery and announce go to this port
        std::uint32_t discoveryAddress = 0xFFFFFFFFu;  // host byte order
        std::uint32_t announceAddress = 0xE0000001u;   // 224.0.0.1; 0 sends no announce
        std::function<Clock::TimeStamp()> clock;       // empty: Clock::timeOfDay
        // Empty: the socket. Tests put a scripted link between two transports
        // (called with the ring lock held: it must not call back).
        std::function<void(const sockaddr_in& to, const std::uint8_t* data, std::size_t length)> send;
        // How long a pass waits for a datagram; a scripted link has none to wait for.
        int waitMicroseconds = 500;
    };

    struct FoundServer {
        std::uint32_t address = 0;  // network byte order, as received
        float quality = 0.0f;       // 0-5
        std::array<std::uint8_t, 256> info{};
    };

    using ClientConnected = std::function<void(int peer, const std::uint8_t* identity)>;
    using ClientDisconnected = std::function<void(int peer)>;
    using ServerListChanged = std::function<void()>;
    using CopyServerInfo = std::function<void(std::uint8_t* blob, std::uint32_t* length)>;

    LanTransport();
    explicit LanTransport(Config config);
    ~LanTransport();
    LanTransport(const LanTransport&) = delete;
    LanTransport& operator=(const LanTransport&) = delete;

    // Clears every peer and ring and keeps the identity (at most 127 bytes,
    // false and nothing kept when longer).
    bool init(const std::uint8_t* identity, std::size_t length);
    // Binds the server socket; false (and no socket) when the port cannot be had.
    bool startServer();
    int openClientSocket();
    // A new connection each time, also to the host already connected to
    // (both sides number from 0 again). Address in network byte order.
    void connectTo(std::uint32_t address, std::uint16_t port);
    void sendConnect();
    // A client gives its host up: nothing more goes to it (the host lets the slot time out).
    void dropServer();
    void broadcastDiscovery();
    void closeSocket();

    // 0, or -1 when the ring is full, the peer is out of range or the payload
    // is empty or longer than kMaxPayload.
    int queueReliable(const std::uint8_t* payload, std::size_t length, int peer);
    int sendUnreliable(const std::uint8_t* payload, std::size_t length, int peer);
    // The length of the next message (0 when none); the take copies it out
    // and returns its length, 0 when none or when `out` is too small.
    int peekAnyReliable(int& peer);
    int takeReliable(int peer, std::uint8_t* out, std::size_t capacity);
    int peekAnySequenced(int& peer);
    int peekSequenced(int peer);
    int takeSequenced(int peer, std::uint8_t* out, std::size_t capacity);

    void setClientConnected(ClientConnected callback);
    void setClientDisconnected(ClientDisconnected callback);
    void setServerListChanged(ServerListChanged callback);
    void setCopyServerInfo(CopyServerInfo callback);
    std::vector<FoundServer> foundServers() const;

    // One pass of the network thread: announce, at most one datagram, upkeep.
    // True when a datagram was read.
    bool poll();
    // The handler of one received datagram, also the fuzzing entry.
    void handleDatagram(const std::uint8_t* data, std::size_t length, const sockaddr_in& from);
    int threadLoop();
    static int threadMain(LanTransport* transport) { return transport->threadLoop(); }
    // Starts and stops the network thread (stop joins it: a pass blocks for at most 500 us).
    void startThread();
    void stopThread();

    void setPeerLimit(int limit);
    void setAccepting(bool accepting) { accepting_ = accepting; }
    // While not accepting, connects are turned away with this reason; None ignores them (a map still loading).
    void setRefusal(Refusal reason) { refuseWith_ = reason; }
    // On a client: why the host turned its connect away, None while it has not.
    Refusal refusal() const { return refusal_; }
    bool accepting() const { return accepting_; }
    State state() const { return state_; }
    bool connected() const { return connected_; }
    int connectedCount() const { return connectedCount_; }
    int ownIndex() const { return ownIndex_; }
    bool isClient() const { return client_; }
    bool running() const { return running_; }
    std::uint16_t boundPort() const;  // the local port of the socket, host byte order
    bool peerConnected(int peer) const;
    struct FreeCounts {
        int receive = 0, send = 0, sequenced = 0;
    };
    FreeCounts freeCounts(int peer) const;
    sockaddr_in peerAddress(int peer) const;

private:
    struct ReliableSlot {
        std::uint8_t type = 6;
        std::uint8_t sequence = 0;
        std::uint16_t length = 0;  // 0: empty
        std::array<std::uint8_t, kSlotPayload> payload{};
        std::uint32_t sent = 0;
    };
    struct SequencedSlot {
        std::uint8_t type = 12;
        std::uint8_t sequence = 0;
        std::uint16_t length = 0;
        std::uint8_t sender = 0;
        std::array<std::uint8_t, kSlotPayload> payload{};
    };
    // The u8 positions below are sequence numbers (0-255); a number's slot is its low six bits.
    struct Peer {
        sockaddr_in address{};
        std::atomic<bool> connected{false};
        Clock::TimeStamp lastHeard;
        std::array<ReliableSlot, kRing> receive;
        int receiveFree = kRing - 1;
        std::uint8_t head = 0, readIndex = 0, lastAckedHead = 0;
        Clock::TimeStamp ackTimer, resendRequestTimer;
        std::array<ReliableSlot, kRing> send;
        int sendFree = kRing - 1;
        std::uint8_t base = 0, tail = 0, nextToSend = 0;
        Clock::TimeStamp sendTimer;
        std::array<SequencedSlot, kRing> sequenced;
        int sequencedFree = kRing - 1;
        std::uint8_t nextExpected = 0, sequencedRead = 0;
        std::uint8_t sequencedSendCounter = 0;
        // Late sequenced numbers in a row, each newer than the one before: the
        // sender has moved on past a long dead spell.
        int lateRun = 0;
        std::uint8_t lastLate = 0;
        Clock::TimeStamp sequencedHeard;  // the last sequenced message taken as new
        // The host's record of the client's connection token (kNoToken: none given).
        std::uint32_t token = kNoToken;
        // Signs of a peer that numbers in six bits (0-63, an older build with
        // the same version byte): it stalls after 64 reliable messages, so it is let go.
        int narrowData = 0, narrowRequests = 0;
        bool narrow = false;
    };

    Clock::TimeStamp now() const;
    // Milliseconds from `then` to the present, truncated.
    std::int64_t since(const Clock::TimeStamp& then) const;
    void sendTo(const sockaddr_in& to, const std::uint8_t* data, std::size_t length);
    void sendTimes(const sockaddr_in& to, const std::uint8_t* data, std::size_t length, int times);
    sockaddr_in addressOf(std::uint32_t hostOrderAddress, std::uint16_t port) const;
    int findPeer(const sockaddr_in& from) const;
    int findFreeSlot() const;
    void resetRings(Peer& peer);
    void resetPeer(Peer& peer);
    void announce();
    // The length of the next sequenced message to take, stepping over lost numbers (ring lock held).
    int nextSequenced(Peer& peer);

    void handleUnconnectedClient(const std::uint8_t* data, std::size_t length, const sockaddr_in& from);
    void handleNewcomer(const std::uint8_t* data, std::size_t length, const sockaddr_in& from);
    void refuse(const std::uint8_t* data, std::size_t length, const sockaddr_in& from, Refusal reason);
    void sendAccept(const sockaddr_in& to, int slot, std::uint32_t token);
    void handleKnownPeer(int index, const std::uint8_t* data, std::size_t length);
    void receiveReliable(Peer& peer, const std::uint8_t* data, std::size_t length);
    void receiveSequenced(int index, Peer& peer, const std::uint8_t* data, std::size_t length);
    void receiveAck(Peer& peer, std::uint8_t acked);
    void upkeep(int index);
    void dropPeer(int index);
    std::uint8_t windowEnd(const Peer& peer) const;
    void resendFrom(Peer& peer, std::uint8_t start, int count);
    void resendOne(Peer& peer, std::uint8_t sequence);
    void sendSlot(Peer& peer, ReliableSlot& slot, PacketType type);
    void sendControl(Peer& peer, PacketType type, std::uint8_t value);

    Config config_;
    std::atomic<int> peerLimit_{kPeers};
    std::atomic<int> ownIndex_{0};
    mutable std::mutex ringLock_;
    mutable std::mutex callbackLock_;
    std::thread thread_;
    std::atomic<bool> stop_{false};
    std::atomic<bool> running_{false};
    std::array<std::uint8_t, kBlobCapacity> identity_{};
    std::uint32_t identityLength_ = 0;
    std::atomic<int> connectedCount_{0};
    std::atomic<bool> connected_{false};
    std::atomic<bool> client_{false};
    int foundCount_ = 0;
    std::array<FoundServer, kMaxFound> found_{};
    std::atomic<int> socket_{-1};
    std::atomic<State> state_{State::Closed};
    std::atomic<bool> accepting_{false};
    std::atomic<Refusal> refuseWith_{Refusal::None};  // a host's answer while not accepting
    std::atomic<Refusal> refusal_{Refusal::None};     // a client's: the answer it got
    std::atomic<std::uint32_t> connectToken_{kNoToken};  // a client's current connection
    sockaddr_in lastRefused_{};
    Clock::TimeStamp lastRefusedAt_;
    Clock::TimeStamp discoveryTime_;
    ClientConnected clientConnected_;
    ClientDisconnected clientDisconnected_;
    ServerListChanged serverListChanged_;
    CopyServerInfo copyServerInfo_;
    std::unique_ptr<std::array<Peer, kPeers>> peers_;
    std::array<std::uint8_t, kReceiveBuffer> receiveBuffer_{};
    std::array<std::uint8_t, kSlotPayload + 8> sendBuffer_{};  // the network thread's own
};
