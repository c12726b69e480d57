#pragma once
#include "net/transport/LanTransport.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

// What a network game needs of its datagram peer. The game's one transport
// is a LanTransport with its network thread (LanMatchTransport); tests put a
// scripted one in its place. The callbacks run on the network thread.
class MatchTransport {
public:
    struct Callbacks {
        std::function<void(int slot, const std::uint8_t* identity)> clientConnected;  // 115 bytes readable
        std::function<void(int slot)> clientDisconnected;
        std::function<void()> serverListChanged;
        std::function<void(std::uint8_t* blob, std::uint32_t* length)> copyServerInfo;
    };

    virtual ~MatchTransport() = default;

    // The host's socket with at most peerLimit clients, not yet accepting,
    // and the network thread; false when the socket cannot be had.
    virtual bool startServer(int peerLimit) = 0;
    // A client's socket and the network thread; false when the socket fails.
    virtual bool startClient() = 0;
    virtual void connectTo(std::uint32_t addressNetworkOrder, std::uint16_t port) = 0;
    virtual void broadcastDiscovery() = 0;
    virtual void setAccepting(bool accepting) = 0;
    // While not accepting, joins are turned away with this reason (None: ignored).
    virtual void setRefusal(LanTransport::Refusal) {}
    // A client: why its host turned the connect away, None while it has not.
    virtual LanTransport::Refusal refusal() const { return LanTransport::Refusal::None; }
    // A client gives up the host it asked (the host lets the slot time out).
    virtual void dropServer() {}
    // A client: accepted by its host; a host: at least one client.
    virtual bool connected() const = 0;
    virtual bool peerConnected(int slot) const = 0;
    // 0, or -1 when the message was dropped (full ring, bad peer or length).
    virtual int queueReliable(const std::uint8_t* message, std::size_t length, int peer) = 0;
    virtual int sendUnreliable(const std::uint8_t* message, std::size_t length, int peer) = 0;
    // The next received message: in-order reliable ones of any peer first,
    // then sequenced ones; its length, or 0 when none is waiting.
    virtual int take(int& peer, std::uint8_t* out, std::size_t capacity) = 0;
    virtual std::vector<LanTransport::FoundServer> foundServers() const = 0;
    virtual void clearFoundServers() {}
    // Ends the network thread (joined) and closes the socket.
    virtual void stop() = 0;
};
