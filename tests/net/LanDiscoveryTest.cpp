#include "net/transport/LanTransport.h"

#include "support/net/NetPeers.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <memory>
#include <thread>

using nettest::Bytes;
using nettest::RawPeer;

namespace {

Bytes description(const Bytes& info)
{
    Bytes datagram(info.size() + 2);
    datagram[0] = 10;
    datagram[1] = static_cast<std::uint8_t>(info.size());
    std::copy(info.begin(), info.end(), datagram.begin() + 2);
    return datagram;
}

void settle(LanTransport& transport)
{
    for (int i = 0; i < 2000 && transport.poll(); ++i) {
    }
}

// A client transport that has broadcast discovery to a raw peer on 127.0.0.1.
struct DiscoveringClient : ::testing::Test {
    nettest::ManualClock clock;
    RawPeer asked;
    std::unique_ptr<LanTransport> client;
    int listChanges = 0;

    void SetUp() override
    {
        LanTransport::Config config;
        config.remotePort = asked.port();
        config.discoveryAddress = 0x7F000001u;
        config.clock = [this] { return clock(); };
        client = std::make_unique<LanTransport>(config);
        const std::uint8_t name[4] = {'p', 0, 0, 0};
        ASSERT_TRUE(client->init(name, sizeof name));
        ASSERT_EQ(client->openClientSocket(), 0);
        client->setServerListChanged([this] { ++listChanges; });
        client->broadcastDiscovery();
        const auto asks = asked.drain();
        ASSERT_EQ(asks.size(), 7u);
        EXPECT_EQ(asks[0], (Bytes{9, 5, 0}));
        EXPECT_EQ(client->state(), LanTransport::State::Discovering);
    }

    void answer(const RawPeer& host, const Bytes& datagram)
    {
        host.sendTo(client->boundPort(), datagram);
        settle(*client);
    }
};

}  // namespace

TEST_F(DiscoveringClient, QualityFollowsTheAnswerTime)
{
    clock.advance(100);
    answer(asked, description({'a', 'b'}));
    RawPeer late(2);
    clock.advance(301);
    answer(late, description({'z'}));
    const auto found = client->foundServers();
    ASSERT_EQ(found.size(), 2u);
    EXPECT_FLOAT_EQ(found[0].quality, 4.0f);
    EXPECT_EQ(found[0].info[0], 'a');
    EXPECT_EQ(found[0].info[2], 0);
    EXPECT_FLOAT_EQ(found[1].quality, 0.0f);
    EXPECT_EQ(listChanges, 2);
}

TEST_F(DiscoveringClient, ARepeatHostKeepsOneEntryAndTheListHoldsTwenty)
{
    answer(asked, description({'o', 'l', 'd'}));
    answer(asked, description({'n'}));
    auto found = client->foundServers();
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0].info[0], 'n');
    EXPECT_EQ(found[0].info[1], 0) << "the old description is cleared";

    std::vector<std::unique_ptr<RawPeer>> hosts;
    for (int host = 2; host <= 21; ++host) {
        hosts.push_back(std::make_unique<RawPeer>(host));
        answer(*hosts.back(), description({static_cast<std::uint8_t>(host)}));
    }
    found = client->foundServers();
    ASSERT_EQ(found.size(), 20u) << "the 21st host is not listed";
    EXPECT_EQ(found[19].info[0], 20);
}

TEST_F(DiscoveringClient, DescriptionsWhoseLengthDisagreesAreDropped)
{
    answer(asked, Bytes{10, 5, 'a'});
    answer(asked, Bytes{10, 0, 'a', 'b'});
    answer(asked, Bytes{10});
    answer(asked, Bytes{1, 0});  // an accept while discovering
    EXPECT_TRUE(client->foundServers().empty());
    EXPECT_FALSE(client->connected());
    answer(asked, description({}));
    EXPECT_EQ(client->foundServers().size(), 1u);
}

TEST(LanTransportLoopback, DiscoverConnectExchangeAndLoseTheServer)
{
    const std::uint8_t info[3] = {'s', 'r', 'v'};
    LanTransport::Config serverConfig;
    serverConfig.bindPort = 0;
    serverConfig.announceAddress = 0;
    LanTransport server(serverConfig);
    ASSERT_TRUE(server.init(info, sizeof info));
    ASSERT_TRUE(server.startServer());
    std::atomic<int> copies{0};
    server.setCopyServerInfo([&](std::uint8_t* blob, std::uint32_t* length) {
        ++copies;
        blob[0] = 'S';
        *length = 3;
    });

    LanTransport::Config clientConfig;
    clientConfig.remotePort = server.boundPort();
    clientConfig.discoveryAddress = 0x7F000001u;
    LanTransport client(clientConfig);
    const std::uint8_t name[4] = {'n', 0, 0, 0};
    ASSERT_TRUE(client.init(name, sizeof name));
    ASSERT_EQ(client.openClientSocket(), 0);
    server.startThread();
    client.startThread();

    const auto until = [](auto done) {
        const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        for (;;) {
            if (done())
                return true;
            if (std::chrono::steady_clock::now() > end)
                return false;
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    };
    client.broadcastDiscovery();
    ASSERT_TRUE(until([&] { return !client.foundServers().empty(); }));
    const auto found = client.foundServers();
    EXPECT_EQ(found[0].info[0], 'S');
    EXPECT_GE(copies.load(), 1);

    client.connectTo(found[0].address, server.boundPort());
    ASSERT_TRUE(until([&] { return client.connected() && server.connectedCount() == 1; }));
    EXPECT_EQ(client.ownIndex(), 0);

    for (std::uint8_t i = 1; i <= 100; ++i) {
        // A full ring waits for the acknowledgements.
        ASSERT_TRUE(until([&] { return client.queueReliable(&i, 1, 0) == 0; }));
        Bytes big(i * 12, i);
        ASSERT_TRUE(until([&] { return server.queueReliable(big.data(), big.size(), 0) == 0; }));
        // Keep below the 63 outstanding slots.
        std::uint8_t buffer[LanTransport::kSlotPayload];
        if (i % 50 == 0) {
            for (int got = 0; got < 50;) {
                int peer = -1;
                if (server.peekAnyReliable(peer) && server.takeReliable(peer, buffer, sizeof buffer) == 1) {
                    EXPECT_EQ(buffer[0], i - 49 + got);
                    ++got;
                    continue;
                }
                ASSERT_TRUE(until([&] { return server.peekAnyReliable(peer) > 0; }));
            }
            for (int got = 0; got < 50;) {
                const int length = client.takeReliable(0, buffer, sizeof buffer);
                if (length) {
                    EXPECT_EQ(length, (i - 49 + got) * 12);
                    ++got;
                    continue;
                }
                int peer = -1;
                ASSERT_TRUE(until([&] { return client.peekAnyReliable(peer) > 0; }));
            }
        }
    }
    const std::uint8_t ping[2] = {7, 8};
    EXPECT_EQ(client.sendUnreliable(ping, sizeof ping, 0), 0);
    ASSERT_TRUE(until([&] { return server.peekSequenced(0) == 2; }));

    client.stopThread();
    client.closeSocket();
    EXPECT_FALSE(client.connected());
    EXPECT_EQ(client.state(), LanTransport::State::Closed);
    server.stopThread();
    EXPECT_FALSE(server.running());
}
