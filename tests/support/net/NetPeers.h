#pragma once
// Test peers for the network library: a clock run by hand and a bare UDP
// socket on a loopback address that speaks raw datagrams.
#include "platform/Clock.h"

#include <atomic>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include <netinet/in.h>

namespace nettest {

class ManualClock {
public:
    Clock::TimeStamp operator()() const
    {
        const std::int64_t ms = ms_;
        return {static_cast<std::uint32_t>(ms / 1000), static_cast<std::uint32_t>(ms % 1000) * 1000};
    }
    void advance(std::int64_t ms) { ms_ += ms; }
    std::int64_t ms() const { return ms_; }

private:
    std::atomic<std::int64_t> ms_{100000};
};

using Bytes = std::vector<std::uint8_t>;

// A UDP socket bound to a free port of 127.0.0.<host>.
class RawPeer {
public:
    explicit RawPeer(int host = 1);
    ~RawPeer();
    RawPeer(const RawPeer&) = delete;
    RawPeer& operator=(const RawPeer&) = delete;

    std::uint16_t port() const { return port_; }
    sockaddr_in address() const;
    void sendTo(std::uint16_t port, const Bytes& datagram) const;
    // The next datagram within `waitMs`, or none.
    std::optional<Bytes> receive(int waitMs = 200) const;
    // Every datagram that is waiting now.
    std::vector<Bytes> drain() const;

private:
    int fd_ = -1;
    std::uint32_t host_ = 0;
    std::uint16_t port_ = 0;
};

sockaddr_in loopback(std::uint16_t port, int host = 1);
// Datagram builders of the wire layout.
Bytes reliable(std::uint8_t sequence, const Bytes& payload, std::uint8_t type = 6);
Bytes sequenced(std::uint8_t sequence, std::uint8_t sender, const Bytes& payload);
Bytes connectDatagram(const Bytes& identity);

}  // namespace nettest
