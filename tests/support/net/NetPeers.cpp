#include "support/net/NetPeers.h"

#include <stdexcept>

#include <arpa/inet.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace nettest {

sockaddr_in loopback(std::uint16_t port, int host)
{
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = htonl(0x7F000000u | static_cast<std::uint32_t>(host));
    return address;
}

RawPeer::RawPeer(int host) : host_(static_cast<std::uint32_t>(host))
{
    fd_ = ::socket(AF_INET, SOCK_DGRAM, 0);
    sockaddr_in address = loopback(0, host);
    if (fd_ < 0 || ::bind(fd_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0)
        throw std::runtime_error("raw peer: no socket");
    socklen_t size = sizeof address;
    ::getsockname(fd_, reinterpret_cast<sockaddr*>(&address), &size);
    port_ = ntohs(address.sin_port);
}

RawPeer::~RawPeer()
{
    if (fd_ >= 0)
        ::close(fd_);
}

sockaddr_in RawPeer::address() const
{
    return loopback(port_, static_cast<int>(host_));
}

void RawPeer::sendTo(std::uint16_t port, const Bytes& datagram) const
{
    const sockaddr_in to = loopback(port);
    ::sendto(fd_, datagram.data(), datagram.size(), 0, reinterpret_cast<const sockaddr*>(&to), sizeof to);
}

std::optional<Bytes> RawPeer::receive(int waitMs) const
{
    pollfd wait{fd_, POLLIN, 0};
    if (::poll(&wait, 1, waitMs) <= 0)
        return std::nullopt;
    Bytes buffer(4096);
    const ssize_t got = ::recv(fd_, buffer.data(), buffer.size(), 0);
    if (got < 0)
        return std::nullopt;
    buffer.resize(static_cast<std::size_t>(got));
    return buffer;
}

std::vector<Bytes> RawPeer::drain() const
{
    std::vector<Bytes> all;
    while (auto datagram = receive(0))
        all.push_back(std::move(*datagram));
    return all;
}

Bytes reliable(std::uint8_t sequence, const Bytes& payload, std::uint8_t type)
{
    Bytes datagram{type, sequence, static_cast<std::uint8_t>(payload.size() & 0xFF),
                   static_cast<std::uint8_t>(payload.size() >> 8)};
    datagram.insert(datagram.end(), payload.begin(), payload.end());
    datagram.push_back(sequence);
    return datagram;
}

Bytes sequenced(std::uint8_t sequence, std::uint8_t sender, const Bytes& payload)
{
    Bytes datagram{12, sequence, static_cast<std::uint8_t>(payload.size() & 0xFF),
                   static_cast<std::uint8_t>(payload.size() >> 8), sender};
    datagram.insert(datagram.end(), payload.begin(), payload.end());
    datagram.push_back(sequence);
    return datagram;
}

Bytes connectDatagram(const Bytes& identity)
{
    Bytes datagram{0, 5, static_cast<std::uint8_t>(identity.size())};
    datagram.insert(datagram.end(), identity.begin(), identity.end());
    return datagram;
}

}  // namespace nettest
