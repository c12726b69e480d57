#pragma once
#include <cstdint>

class GameMode;

// The network game as the game screen meets it: the last load step of a
// network match and the leaving of the game screen. The match layer fills it.
class INetworkSession {
public:
    virtual ~INetworkSession() = default;
    // The network part of the last load step; false while it must run again
    // next frame (a client waiting for the host's join end).
    virtual bool loadStep(GameMode& mode, float dt) = 0;
    // The game screen was left: any network game ends.
    virtual void gameLeft() = 0;

    // A network client's hold on its host, for the friends' list: Joined (in
    // the match; the host's address and port given as the client holds them),
    // Gone (the transport closed or the client back to browsing), or Between.
    enum class HostLink { Between, Joined, Gone };
    virtual HostLink hostLink(std::uint32_t& address, std::uint16_t& port) const
    {
        (void)address;
        (void)port;
        return HostLink::Gone;
    }
};
