#include "UdpImpairmentProxy.h"

#include <chrono>
#include <cstring>
#include <queue>
#include <vector>

#include <arpa/inet.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;

sockaddr_in loopback(std::uint16_t port)
{
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    return address;
}

struct Pending {
    Clock::time_point due;
    std::uint64_t order = 0;
    int fd = -1;
    sockaddr_in to{};
    std::vector<std::uint8_t> bytes;
    bool operator>(const Pending& other) const
    {
        return due != other.due ? due > other.due : order > other.order;
    }
};

struct Link {
    sockaddr_in client{};
    int upstreamFd = -1;
};

}  // namespace

UdpImpairmentProxy::UdpImpairmentProxy(Options options) : options_(options) {}

UdpImpairmentProxy::~UdpImpairmentProxy()
{
    stop();
}

bool UdpImpairmentProxy::start()
{
    listenFd_ = ::socket(AF_INET, SOCK_DGRAM, 0);
    sockaddr_in address = loopback(options_.listenPort);
    socklen_t size = sizeof address;
    if (listenFd_ < 0 || ::bind(listenFd_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        ::getsockname(listenFd_, reinterpret_cast<sockaddr*>(&address), &size) != 0) {
        if (listenFd_ >= 0)
            ::close(listenFd_);
        listenFd_ = -1;
        return false;
    }
    port_ = ntohs(address.sin_port);
    stop_ = false;
    thread_ = std::thread(&UdpImpairmentProxy::run, this);
    return true;
}

void UdpImpairmentProxy::stop()
{
    stop_ = true;
    if (thread_.joinable())
        thread_.join();
    if (listenFd_ >= 0)
        ::close(listenFd_);
    listenFd_ = -1;
}

void UdpImpairmentProxy::run()
{
    std::mt19937 random(options_.seed);
    std::uniform_real_distribution<double> chance(0.0, 1.0);
    std::priority_queue<Pending, std::vector<Pending>, std::greater<>> pending;
    std::vector<Link> links;
    std::uint64_t order = 0;
    const sockaddr_in upstream = loopback(options_.upstreamPort);

    // A reordered datagram is held back until the next one in its direction
    // has gone past it (or 20 ms have passed), as a network that swaps
    // neighbours does; a duplicate follows its original.
    struct Held {
        bool full = false;
        Clock::time_point since;
        Pending datagram;
    };
    Held held[2];
    const auto schedule = [&](int direction, const Impairment& how, int fd, const sockaddr_in& to,
                              const std::uint8_t* data, std::size_t length) {
        if (chance(random) < how.loss) {
            ++dropped_;
            return;
        }
        const auto due = Clock::now() + std::chrono::milliseconds(how.delayMs);
        Pending datagram{due, order++, fd, to, std::vector<std::uint8_t>(data, data + length)};
        const bool twice = chance(random) < how.duplicate;
        Held& hold = held[direction];
        if (!hold.full && chance(random) < how.reorder) {
            hold = {true, Clock::now(), datagram};
            if (twice)
                pending.push(datagram);
            return;
        }
        pending.push(datagram);
        if (twice) {
            datagram.order = order++;
            pending.push(datagram);
        }
        if (hold.full) {
            hold.datagram.due = due;
            hold.datagram.order = order++;
            pending.push(hold.datagram);
            hold.full = false;
        }
    };

    std::uint8_t buffer[4096];
    while (!stop_) {
        ++passes_;
        std::vector<pollfd> fds{{listenFd_, POLLIN, 0}};
        for (const Link& link : links)
            fds.push_back({link.upstreamFd, POLLIN, 0});
        int wait = 5;
        if (!pending.empty()) {
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(pending.top().due - Clock::now());
            wait = left.count() < 0 ? 0 : static_cast<int>(std::min<long long>(left.count(), 5));
        }
        ::poll(fds.data(), fds.size(), wait);
        if (fds[0].revents & POLLIN) {
            sockaddr_in from{};
            socklen_t size = sizeof from;
            const ssize_t got = ::recvfrom(listenFd_, buffer, sizeof buffer, 0, reinterpret_cast<sockaddr*>(&from), &size);
            if (got > 0) {
                Link* link = nullptr;
                for (Link& known : links)
                    if (known.client.sin_port == from.sin_port && known.client.sin_addr.s_addr == from.sin_addr.s_addr)
                        link = &known;
                if (!link) {
                    const int fd = ::socket(AF_INET, SOCK_DGRAM, 0);
                    if (fd >= 0)
                        link = &links.emplace_back(Link{from, fd});
                }
                if (link)
                    schedule(0, options_.toUpstream, link->upstreamFd, upstream, buffer, static_cast<std::size_t>(got));
            }
        }
        for (std::size_t i = 1; i < fds.size(); ++i) {
            if (!(fds[i].revents & POLLIN))
                continue;
            const ssize_t got = ::recv(fds[i].fd, buffer, sizeof buffer, 0);
            if (got > 0)
                schedule(1, options_.toClient, listenFd_, links[i - 1].client, buffer, static_cast<std::size_t>(got));
        }
        for (Held& hold : held) {
            if (hold.full && Clock::now() - hold.since > std::chrono::milliseconds(20)) {
                pending.push(hold.datagram);
                hold.full = false;
            }
        }
        while (!pending.empty() && pending.top().due <= Clock::now()) {
            const Pending& next = pending.top();
            ::sendto(next.fd, next.bytes.data(), next.bytes.size(), 0, reinterpret_cast<const sockaddr*>(&next.to),
                     sizeof next.to);
            ++forwarded_;
            pending.pop();
        }
    }
    for (const Link& link : links)
        ::close(link.upstreamFd);
}
