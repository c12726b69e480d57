// A host and its clients as in a game: real transports on their network
// threads over the loopback, joining, turned away, and standing up to a
// datagram forged in the host's name.
#include "net/transport/LanTransport.h"

#include "support/net/NetPeers.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/ip.h>
#include <netinet/udp.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <functional>
#include <memory>
#include <thread>

using nettest::Bytes;

namespace {

LanTransport::Config loopbackConfig()
{
    LanTransport::Config config;
    config.bindPort = 0;
    config.announceAddress = 0;
    return config;
}

bool waitFor(const std::function<bool()>& done, int seconds = 20)
{
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    for (;;) {
        if (done())
            return true;
        if (std::chrono::steady_clock::now() >= end)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
}

// A host on a free port with its network thread running.
std::unique_ptr<LanTransport> startHost()
{
    auto host = std::make_unique<LanTransport>(loopbackConfig());
    if (!host->startServer())
        return nullptr;
    host->startThread();
    return host;
}

std::unique_ptr<LanTransport> startClient(const LanTransport& host)
{
    auto client = std::make_unique<LanTransport>(loopbackConfig());
    if (client->openClientSocket() != 0)
        return nullptr;
    client->startThread();
    client->connectTo(htonl(0x7F000001u), host.boundPort());
    return client;
}

// One reliable message from `from` to `to` (each side's peer index of the
// other): queued, and taken on the far side with its bytes unchanged.
bool deliver(LanTransport& from, int toPeer, LanTransport& to, int fromPeer, std::uint8_t value)
{
    const std::uint8_t message[3] = {value, 0x5A, value};
    if (from.queueReliable(message, sizeof message, toPeer) != 0)
        return ADD_FAILURE() << "not queued", false;
    std::uint8_t got[LanTransport::kSlotPayload] = {};
    int length = 0;
    if (!waitFor([&] { return (length = to.takeReliable(fromPeer, got, sizeof got)) != 0; }, 5))
        return ADD_FAILURE() << "nothing arrived", false;
    return length == 3 && std::memcmp(got, message, 3) == 0;
}

// A UDP datagram with any source address and port, written as a whole IPv4
// packet through a raw socket; false when the socket is not to be had.
bool sendForged(const sockaddr_in& source, const sockaddr_in& destination, const Bytes& payload)
{
    const int fd = ::socket(AF_INET, SOCK_RAW, IPPROTO_RAW);
    if (fd < 0)
        return false;
    Bytes packet(sizeof(iphdr) + sizeof(udphdr) + payload.size());
    auto* ip = reinterpret_cast<iphdr*>(packet.data());
    ip->version = 4;
    ip->ihl = 5;
    ip->ttl = 64;
    ip->protocol = IPPROTO_UDP;
    ip->tot_len = htons(static_cast<std::uint16_t>(packet.size()));
    ip->saddr = source.sin_addr.s_addr;
    ip->daddr = destination.sin_addr.s_addr;
    auto* udp = reinterpret_cast<udphdr*>(packet.data() + sizeof(iphdr));
    udp->source = source.sin_port;
    udp->dest = destination.sin_port;
    udp->len = htons(static_cast<std::uint16_t>(sizeof(udphdr) + payload.size()));
    udp->check = 0;  // none: allowed over IPv4
    std::memcpy(packet.data() + sizeof(iphdr) + sizeof(udphdr), payload.data(), payload.size());
    const bool sent = ::sendto(fd, packet.data(), packet.size(), 0, reinterpret_cast<const sockaddr*>(&destination),
                               sizeof destination) == static_cast<ssize_t>(packet.size());
    ::close(fd);
    return sent;
}

}  // namespace

// One datagram in the host's name on the network must not end a player's
// match: a joined client takes no connect, answers none, and both ways of
// the reliable channel go on numbering where they were.
TEST(LanJoinOnLoopback, AConnectForgedInTheHostsNameLeavesTheClientsChannelFlowing)
{
    auto host = startHost();
    ASSERT_NE(host, nullptr);
    auto client = startClient(*host);
    ASSERT_NE(client, nullptr);
    ASSERT_TRUE(waitFor([&] { return client->connected() && host->connectedCount() == 1; }));
    const int slot = client->ownIndex();
    for (std::uint8_t i = 0; i < 5; ++i) {
        ASSERT_TRUE(deliver(*host, slot, *client, 0, i)) << "to the client " << int(i);
        ASSERT_TRUE(deliver(*client, 0, *host, slot, static_cast<std::uint8_t>(100 + i))) << "to the host " << int(i);
    }

    sockaddr_in hostAddress = nettest::loopback(host->boundPort());
    const sockaddr_in clientAddress = nettest::loopback(client->boundPort());
    // A connect with a token of its own and one without any, the kind an older peer sends.
    Bytes withToken = nettest::connectDatagram({'x', 0});
    withToken.insert(withToken.end(), {0x34, 0x12});
    for (const Bytes& forged : {withToken, nettest::connectDatagram({'y', 0})})
        if (!sendForged(hostAddress, clientAddress, forged))
            GTEST_SKIP() << "no raw socket to forge a sender with: " << std::strerror(errno);
    // The forged datagrams are read within a few passes of the client's thread.
    std::this_thread::sleep_for(std::chrono::milliseconds(200));

    EXPECT_TRUE(client->connected());
    EXPECT_EQ(client->ownIndex(), slot);
    for (std::uint8_t i = 5; i < 70; ++i) {
        ASSERT_TRUE(deliver(*host, slot, *client, 0, i)) << "to the client " << int(i);
        ASSERT_TRUE(deliver(*client, 0, *host, slot, static_cast<std::uint8_t>(100 + i))) << "to the host " << int(i);
    }
    EXPECT_EQ(host->connectedCount(), 1);
    client->stopThread();
    host->stopThread();
}

// A host that cannot take a joiner says why, and the client reads the
// reason it was given: a full game, or a match that takes nobody now.
TEST(LanJoinOnLoopback, AClientTurnedAwayKnowsWhetherTheGameIsFullOrClosed)
{
    auto host = startHost();
    ASSERT_NE(host, nullptr);
    host->setPeerLimit(1);
    auto first = startClient(*host);
    ASSERT_NE(first, nullptr);
    ASSERT_TRUE(waitFor([&] { return first->connected(); }));
    EXPECT_EQ(first->refusal(), LanTransport::Refusal::None);

    auto second = startClient(*host);
    ASSERT_NE(second, nullptr);
    ASSERT_TRUE(waitFor([&] { return second->refusal() != LanTransport::Refusal::None; }));
    EXPECT_EQ(second->refusal(), LanTransport::Refusal::Full);
    EXPECT_FALSE(second->connected());

    host->setPeerLimit(7);
    host->setRefusal(LanTransport::Refusal::Closed);
    host->setAccepting(false);
    auto third = startClient(*host);
    ASSERT_NE(third, nullptr);
    ASSERT_TRUE(waitFor([&] { return third->refusal() != LanTransport::Refusal::None; }));
    EXPECT_EQ(third->refusal(), LanTransport::Refusal::Closed);
    EXPECT_FALSE(third->connected());

    // Asked again once the host takes players, the same client gets in (the
    // copies of the refusal, which name no connection, have been read by then).
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    host->setAccepting(true);
    third->connectTo(htonl(0x7F000001u), host->boundPort());
    EXPECT_EQ(third->refusal(), LanTransport::Refusal::None);
    ASSERT_TRUE(waitFor([&] { return third->connected(); }));
    EXPECT_EQ(host->connectedCount(), 2);
    for (auto* t : {third.get(), second.get(), first.get(), host.get()})
        t->stopThread();
}
