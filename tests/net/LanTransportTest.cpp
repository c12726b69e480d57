#include "net/transport/LanTransport.h"

#include "support/net/NetPeers.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>

#include <chrono>
#include <string>
#include <thread>

using nettest::Bytes;
using nettest::RawPeer;

namespace {

LanTransport::Config testConfig(nettest::ManualClock* clock, std::uint16_t remotePort = 1)
{
    LanTransport::Config config;
    config.bindPort = 0;
    config.remotePort = remotePort;
    config.discoveryAddress = 0x7F000001u;
    config.announceAddress = 0;
    if (clock)
        config.clock = [clock] { return (*clock)(); };
    return config;
}

template <typename Done>
bool pump(LanTransport& transport, Done done, int passes = 2000)
{
    for (int i = 0; i < passes; ++i) {
        if (done())
            return true;
        transport.poll();
    }
    return done();
}

// Polls until the socket has nothing waiting (a pass handles one datagram).
void settle(LanTransport& transport)
{
    for (int i = 0; i < 2000 && transport.poll(); ++i) {
    }
}

std::vector<Bytes> takeAllReliable(LanTransport& transport, int peer)
{
    std::vector<Bytes> all;
    Bytes buffer(LanTransport::kSlotPayload);
    while (const int length = transport.takeReliable(peer, buffer.data(), buffer.size()))
        all.emplace_back(buffer.begin(), buffer.begin() + length);
    return all;
}

std::vector<Bytes> takeAllSequenced(LanTransport& transport, int peer)
{
    std::vector<Bytes> all;
    Bytes buffer(LanTransport::kSlotPayload);
    while (const int length = transport.takeSequenced(peer, buffer.data(), buffer.size()))
        all.emplace_back(buffer.begin(), buffer.begin() + length);
    return all;
}

std::vector<Bytes> ofType(const std::vector<Bytes>& datagrams, std::uint8_t type)
{
    std::vector<Bytes> picked;
    for (const Bytes& d : datagrams)
        if (!d.empty() && d[0] == type)
            picked.push_back(d);
    return picked;
}

// A server transport on a free port with one raw client connected in slot 0.
struct ServerWithPeer : ::testing::Test {
    nettest::ManualClock clock;
    LanTransport server{testConfig(&clock)};
    RawPeer peer;
    std::vector<int> connectedSlots, disconnectedSlots;
    std::string identitySeen;

    void SetUp() override
    {
        const std::uint8_t info[4] = {'g', 'a', 'm', 'e'};
        ASSERT_TRUE(server.init(info, sizeof info));
        ASSERT_TRUE(server.startServer());
        server.setClientConnected([this](int slot, const std::uint8_t* identity) {
            connectedSlots.push_back(slot);
            identitySeen = reinterpret_cast<const char*>(identity);
        });
        server.setClientDisconnected([this](int slot) { disconnectedSlots.push_back(slot); });
        peer.sendTo(server.boundPort(), nettest::connectDatagram({'a', 'b', 0}));
        ASSERT_TRUE(pump(server, [&] { return server.connectedCount() == 1; }));
        const auto accepts = ofType(peer.drain(), 1);
        ASSERT_EQ(accepts.size(), 3u);
        EXPECT_EQ(accepts[0], (Bytes{1, 0}));
    }

    void send(const Bytes& datagram)
    {
        peer.sendTo(server.boundPort(), datagram);
        settle(server);
    }
};

}  // namespace

TEST_F(ServerWithPeer, ReliableMessagesAreDeliveredOnceAndInOrder)
{
    EXPECT_EQ(connectedSlots, (std::vector<int>{0}));
    EXPECT_EQ(identitySeen, "ab");
    for (std::uint8_t s = 0; s < 5; ++s)
        send(nettest::reliable(s, {s}));
    send(nettest::reliable(5, {5}));
    send(nettest::reliable(7, {7}));
    EXPECT_EQ(takeAllReliable(server, 0).size(), 6u) << "7 waits for 6";
    send(nettest::reliable(6, {6}));
    send(nettest::reliable(6, {66}));  // a duplicate
    EXPECT_EQ(takeAllReliable(server, 0), (std::vector<Bytes>{{6}, {7}}));

    // A resent datagram is stored only at the head, and nothing 32 or more ahead.
    send(nettest::reliable(10, {10}, 7));
    send(nettest::reliable(8 + 32, {40}));
    send(nettest::reliable(8, {8}, 7));
    send(nettest::reliable(9, {9}));
    send(nettest::reliable(10, {10}));
    EXPECT_EQ(takeAllReliable(server, 0), (std::vector<Bytes>{{8}, {9}, {10}}));
}

TEST_F(ServerWithPeer, SequenceNumbersWrapInRingsAndAcknowledgements)
{
    // The numbers run over the whole byte, the slots over 64 of them.
    for (int i = 0; i < 262; ++i) {
        send(nettest::reliable(static_cast<std::uint8_t>(i), {static_cast<std::uint8_t>(i)}));
        const auto taken = takeAllReliable(server, 0);
        ASSERT_EQ(taken, (std::vector<Bytes>{{static_cast<std::uint8_t>(i)}})) << i;
    }
    peer.drain();
    clock.advance(51);
    server.poll();
    const auto acks = ofType(peer.drain(), 4);
    ASSERT_EQ(acks.size(), 1u);
    EXPECT_EQ(acks[0], (Bytes{4, 5, 0, 0}));

    // 64 numbers on shares the expected one's slot but is not that message.
    send(nettest::reliable(6 + 64, {64}));
    send(nettest::reliable(6, {6}));
    EXPECT_EQ(takeAllReliable(server, 0), (std::vector<Bytes>{{6}}));
    const std::uint8_t state = 1;
    for (int i = 0; i < 200; ++i)
        server.sendUnreliable(&state, 1, 0);
    EXPECT_EQ(ofType(peer.drain(), 12).size(), 200u);
    for (int i = 0; i < 60; ++i)
        server.sendUnreliable(&state, 1, 0);
    const auto sequenced = ofType(peer.drain(), 12);
    ASSERT_EQ(sequenced.size(), 60u);
    EXPECT_EQ(sequenced[55][1], 255);
    EXPECT_EQ(sequenced[56][1], 0);
}

TEST_F(ServerWithPeer, DamagedDataDatagramsAreDropped)
{
    Bytes longer = nettest::reliable(0, {1, 2, 3});
    longer[2] = 9;  // declares more than it carries
    send(longer);
    Bytes shorter = nettest::reliable(0, {1, 2, 3});
    shorter[2] = 1;
    send(shorter);
    Bytes badTrailer = nettest::reliable(0, {1});
    badTrailer.back() = 3;
    send(badTrailer);
    send(Bytes{6, 0, 0, 0, 0});                                // empty payload
    send(nettest::reliable(0, Bytes(LanTransport::kSlotPayload, 1)));  // 1229 bytes
    send(Bytes{6});
    send(Bytes{12, 0});
    send(nettest::sequenced(0, 0, {}));
    Bytes seqLonger = nettest::sequenced(0, 0, {1, 2});
    seqLonger[2] = 200;
    send(seqLonger);
    send(Bytes(3000, 6));  // over the receive buffer
    EXPECT_TRUE(takeAllReliable(server, 0).empty());
    EXPECT_TRUE(takeAllSequenced(server, 0).empty());
    send(nettest::reliable(0, Bytes(LanTransport::kMaxPayload, 7)));
    EXPECT_EQ(takeAllReliable(server, 0).size(), 1u);
}

TEST_F(ServerWithPeer, SequencedMessagesSkipGapsAndDropLateOnes)
{
    send(nettest::sequenced(3, 0, {3}));
    send(nettest::sequenced(4, 0, {4}));
    send(nettest::sequenced(9, 0, {9}));
    send(nettest::sequenced(2, 0, {2}));     // behind 10: late
    send(nettest::sequenced(138, 0, {138})); // half the number ring ahead of 10: late too
    send(nettest::sequenced(10, 1, {10})); // not this peer's index
    int peerIndex = -1;
    EXPECT_EQ(server.peekAnySequenced(peerIndex), 1);
    EXPECT_EQ(peerIndex, 0);
    EXPECT_EQ(takeAllSequenced(server, 0), (std::vector<Bytes>{{3}, {4}, {9}}));
    EXPECT_EQ(server.peekSequenced(0), 0);
}

TEST_F(ServerWithPeer, AcknowledgesPast35AtOnceAndOtherwiseAfter50Ms)
{
    for (std::uint8_t s = 0; s < 35; ++s)
        send(nettest::reliable(s, {s}));
    EXPECT_TRUE(ofType(peer.drain(), 4).empty()) << "35 behind waits for the timer";
    send(nettest::reliable(35, {35}));
    auto acks = ofType(peer.drain(), 4);
    ASSERT_EQ(acks.size(), 1u);
    EXPECT_EQ(acks[0][1], 35);

    send(nettest::reliable(36, {36}));
    clock.advance(50);
    settle(server);
    EXPECT_TRUE(ofType(peer.drain(), 4).empty()) << "not at 50 ms";
    clock.advance(1);
    server.poll();
    acks = ofType(peer.drain(), 4);
    ASSERT_EQ(acks.size(), 1u);
    EXPECT_EQ(acks[0][1], 36);
}

TEST_F(ServerWithPeer, ACopyOfADeliveredSlotAcknowledgesTheHeadAgain)
{
    for (std::uint8_t s = 0; s < 3; ++s)
        send(nettest::reliable(s, {s}));
    clock.advance(51);
    settle(server);
    auto acks = ofType(peer.drain(), 4);
    ASSERT_EQ(acks.size(), 1u);
    EXPECT_EQ(acks[0][1], 2);
    EXPECT_EQ(takeAllReliable(server, 0).size(), 3u);

    // That acknowledgement was lost: the peer resends its base, which is old
    // news here, and must hear the head again or it would stall.
    send(nettest::reliable(0, {0}));
    clock.advance(51);
    settle(server);
    acks = ofType(peer.drain(), 4);
    ASSERT_EQ(acks.size(), 1u) << "the lost acknowledgement is repeated";
    EXPECT_EQ(acks[0][1], 2);
    EXPECT_TRUE(takeAllReliable(server, 0).empty()) << "the copy is not delivered twice";
    clock.advance(51);
    settle(server);
    EXPECT_TRUE(ofType(peer.drain(), 4).empty()) << "and only once";
}

TEST_F(ServerWithPeer, QueuedMessagesGoOutAndAreResentFromTheBase)
{
    for (std::uint8_t i = 0; i < 63; ++i)
        ASSERT_EQ(server.queueReliable(&i, 1, 0), 0);
    const std::uint8_t extra = 99;
    EXPECT_EQ(server.queueReliable(&extra, 1, 0), -1) << "one slot always stays empty";
    EXPECT_EQ(server.queueReliable(&extra, 0, 0), -1);
    Bytes tooLong(LanTransport::kMaxPayload + 1, 1);
    EXPECT_EQ(server.queueReliable(tooLong.data(), tooLong.size(), 0), -1);

    server.poll();
    auto sent = ofType(peer.drain(), 6);
    // Only 32 past the base go out: an old copy of slot 0 arriving after the
    // receiver had moved on 33 would be taken for the next lap's message.
    ASSERT_EQ(sent.size(), 32u) << "sent in the pass they were queued";
    EXPECT_EQ(sent[31], nettest::reliable(31, {31}));

    clock.advance(101);
    server.poll();
    sent = ofType(peer.drain(), 6);
    ASSERT_EQ(sent.size(), 5u);
    EXPECT_EQ(sent[0][1], 0);
    EXPECT_EQ(sent[4][1], 4);

    send(Bytes{5, 3, 0, 0});  // resend request
    const auto resent = ofType(peer.drain(), 7);
    ASSERT_EQ(resent.size(), 1u);
    EXPECT_EQ(resent[0], nettest::reliable(3, {3}, 7));

    send(Bytes{40, 0, 0, 0});  // not a type
    send(Bytes{4, 9, 0, 0});   // 0-9 arrived: the window moves on by ten
    sent = ofType(peer.drain(), 6);
    ASSERT_EQ(sent.size(), 10u);
    EXPECT_EQ(sent[0][1], 32);
    EXPECT_EQ(sent[9][1], 41);
    const std::uint8_t more = 63;
    EXPECT_EQ(server.queueReliable(&more, 1, 0), 0);
    clock.advance(101);
    server.poll();
    sent = ofType(peer.drain(), 6);
    ASSERT_FALSE(sent.empty());
    EXPECT_EQ(sent[0][1], 10) << "the base moved past the acknowledged slots";
}

TEST_F(ServerWithPeer, ResendRequestsEvery100MsAndTimeOutAfter7000)
{
    clock.advance(100);
    server.poll();
    EXPECT_TRUE(ofType(peer.drain(), 5).empty());
    clock.advance(1);
    server.poll();
    EXPECT_EQ(ofType(peer.drain(), 5), (std::vector<Bytes>{{5, 0, 0, 0}}));

    clock.advance(6899);
    server.poll();
    EXPECT_EQ(server.connectedCount(), 1);
    clock.advance(1);
    server.poll();
    EXPECT_EQ(server.connectedCount(), 0);
    EXPECT_FALSE(server.connected());
    EXPECT_EQ(disconnectedSlots, (std::vector<int>{0}));
    EXPECT_EQ(server.state(), LanTransport::State::Serving);
}

TEST_F(ServerWithPeer, AConnectAfter700MsSilenceIsARestart)
{
    clock.advance(700);
    send(nettest::connectDatagram({'a', 0}));
    EXPECT_TRUE(disconnectedSlots.empty()) << "700 ms is the same connection";
    EXPECT_EQ(ofType(peer.drain(), 1).size(), 3u);
    send(nettest::reliable(0, {1}));
    clock.advance(701);
    send(nettest::connectDatagram({'c', 0}));
    EXPECT_EQ(disconnectedSlots, (std::vector<int>{0}));
    EXPECT_EQ(connectedSlots, (std::vector<int>{0, 0}));
    EXPECT_EQ(identitySeen, "c");
    EXPECT_TRUE(takeAllReliable(server, 0).empty()) << "the reliable rings start again";
}

// A full server says so to a connect and lists itself to nobody; a closed one
// keeps quiet while its map loads and otherwise says why it turns joins away.
TEST_F(ServerWithPeer, AFullOrClosedServerTurnsNewcomersAwayWithItsReason)
{
    server.setPeerLimit(1);
    RawPeer second(2);
    second.sendTo(server.boundPort(), nettest::connectDatagram({'x', 0}));
    second.sendTo(server.boundPort(), Bytes{9, 5, 0});
    settle(server);
    EXPECT_EQ(second.drain(), (std::vector<Bytes>(3, Bytes{2, 2})));

    server.setPeerLimit(7);
    server.setAccepting(false);
    second.sendTo(server.boundPort(), nettest::connectDatagram({'x', 0}));
    second.sendTo(server.boundPort(), Bytes{9, 5, 0});
    settle(server);
    EXPECT_TRUE(second.drain().empty()) << "a map still loading";
    server.setRefusal(LanTransport::Refusal::Closed);
    second.sendTo(server.boundPort(), nettest::connectDatagram({'x', 0}));
    second.sendTo(server.boundPort(), Bytes{9, 5, 0});
    settle(server);
    EXPECT_EQ(second.drain(), (std::vector<Bytes>(3, Bytes{2, 1})));
    EXPECT_EQ(server.connectedCount(), 1);

    server.setAccepting(true);
    second.sendTo(server.boundPort(), Bytes{9, 5, 0, 0});  // not exactly 3 bytes
    second.sendTo(server.boundPort(), nettest::connectDatagram({'x', 0, 0}) /*n says 3*/);
    settle(server);
    EXPECT_EQ(server.connectedCount(), 2);
    const auto all = second.drain();
    EXPECT_TRUE(ofType(all, 10).empty());
    EXPECT_EQ(ofType(all, 1).size(), 3u);
}

TEST(LanTransportSetUp, RefusesLongIdentitiesAndATakenPort)
{
    LanTransport first(testConfig(nullptr));
    Bytes blob(128, 1);
    EXPECT_FALSE(first.init(blob.data(), blob.size()));
    EXPECT_TRUE(first.init(blob.data(), 127));
    ASSERT_TRUE(first.startServer());

    LanTransport::Config config = testConfig(nullptr);
    config.bindPort = first.boundPort();
    LanTransport second(config);
    EXPECT_FALSE(second.startServer()) << "nothing hosts unbound";
    EXPECT_EQ(second.state(), LanTransport::State::Closed);
}

// Both network threads running, as in a game: a host on the same machine
// answers a connect at once. The client's clock stands still, so it never
// sends its connect again: an accept it dropped would leave it unconnected.
TEST(LanTransportThreads, AClientIsConnectedByTheFirstAnswerOfAHostThatAnswersAtOnce)
{
    nettest::ManualClock frozen;
    for (int round = 0; round < 20; ++round) {
        LanTransport host(testConfig(nullptr));
        ASSERT_TRUE(host.startServer());
        host.setAccepting(true);
        host.startThread();
        LanTransport client(testConfig(&frozen));
        ASSERT_EQ(client.openClientSocket(), 0);
        client.startThread();
        client.connectTo(htonl(0x7F000001u), host.boundPort());
        const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (!client.connected() && std::chrono::steady_clock::now() < end)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        ASSERT_TRUE(client.connected()) << "round " << round;
        EXPECT_EQ(host.connectedCount(), 1);
        client.stopThread();
        host.stopThread();
    }
}
