#include "net/transport/LanTransport.h"

#include "support/net/NetPeers.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>

using nettest::Bytes;
using nettest::RawPeer;

namespace {

std::vector<Bytes> ofType(const std::vector<Bytes>& datagrams, std::uint8_t type)
{
    std::vector<Bytes> picked;
    for (const Bytes& d : datagrams)
        if (!d.empty() && d[0] == type)
            picked.push_back(d);
    return picked;
}

// A client transport run by hand against a raw host on 127.0.0.1, with
// strangers on other loopback addresses and ports.
struct ClientOfRawHost : ::testing::Test {
    nettest::ManualClock clock;
    LanTransport client{[this] {
        LanTransport::Config config;
        config.bindPort = 0;
        config.announceAddress = 0;
        config.clock = [this] { return clock(); };
        return config;
    }()};
    RawPeer host{1};
    RawPeer stranger{2};
    RawPeer neighbour{1};  // the host's address, another port

    void SetUp() override
    {
        ASSERT_EQ(client.openClientSocket(), 0);
        client.connectTo(htonl(0x7F000001u), host.port());
        ASSERT_EQ(ofType(host.drain(), 0).size(), 3u);
    }
    std::uint16_t clientPort() { return client.boundPort(); }
    void from(const RawPeer& peer, const Bytes& datagram)
    {
        peer.sendTo(clientPort(), datagram);
        for (int i = 0; i < 50 && client.poll(); ++i) {
        }
    }
    void accept(std::uint8_t slot = 2)
    {
        from(host, Bytes{1, slot});
        ASSERT_TRUE(client.connected());
    }
    std::vector<Bytes> takeAll()
    {
        std::vector<Bytes> all;
        Bytes buffer(LanTransport::kSlotPayload);
        int peer = -1;
        for (;;) {
            int n = 0;
            if (client.peekAnyReliable(peer) > 0)
                n = client.takeReliable(peer, buffer.data(), buffer.size());
            else if (client.peekAnySequenced(peer) > 0)
                n = client.takeSequenced(peer, buffer.data(), buffer.size());
            if (n <= 0)
                return all;
            EXPECT_EQ(peer, 0);
            all.emplace_back(buffer.begin(), buffer.begin() + n);
        }
    }
};

}  // namespace

TEST_F(ClientOfRawHost, AnAcceptFromAnyoneButTheHostAskedIsIgnored)
{
    from(stranger, Bytes{1, 3});
    EXPECT_FALSE(client.connected()) << "another address";
    from(neighbour, Bytes{1, 3});
    EXPECT_FALSE(client.connected()) << "the host's address, another port";
    EXPECT_EQ(client.ownIndex(), 0);

    from(host, Bytes{1, 7});  // past the seven slots
    EXPECT_FALSE(client.connected());
    accept(3);
    EXPECT_EQ(client.ownIndex(), 3);
    EXPECT_EQ(client.connectedCount(), 1);
    const sockaddr_in at = client.peerAddress(0);
    EXPECT_EQ(ntohs(at.sin_port), host.port());
}

TEST_F(ClientOfRawHost, AJoinedClientTakesMessagesOnlyFromItsHost)
{
    accept();
    from(stranger, nettest::reliable(0, {66}));
    from(stranger, nettest::sequenced(0, 0, {67}));
    from(neighbour, nettest::reliable(0, {68}));
    from(stranger, Bytes{1, 5});  // a late accept moves nothing
    EXPECT_TRUE(takeAll().empty());
    EXPECT_EQ(client.ownIndex(), 2);
    EXPECT_TRUE(stranger.drain().empty()) << "nothing answers a stranger";

    from(host, nettest::reliable(0, {1}));
    // The host sends sequenced messages as peer 0 of its client.
    from(host, nettest::sequenced(0, 0, {2}));
    EXPECT_EQ(takeAll(), (std::vector<Bytes>{{1}, {2}}));
}

TEST_F(ClientOfRawHost, AClientThatLostItsHostTakesNoAcceptUntilItConnectsAgain)
{
    accept();
    clock.advance(7001);
    client.poll();
    EXPECT_FALSE(client.connected());
    from(host, Bytes{1, 2});
    from(stranger, Bytes{1, 2});
    EXPECT_FALSE(client.connected()) << "the lost host's address is cleared";

    client.connectTo(htonl(0x7F000002u), stranger.port());
    from(host, Bytes{1, 4});
    EXPECT_FALSE(client.connected());
    from(stranger, Bytes{1, 4});
    EXPECT_TRUE(client.connected());
    EXPECT_EQ(client.ownIndex(), 4);
}

// The client's sending side: acknowledgements that name nothing outstanding
// move nothing, the base moves past what was acknowledged, and a resend
// request is answered with that one slot marked as resent.
TEST_F(ClientOfRawHost, AcknowledgementsMoveTheBaseOnlyOverOutstandingSlots)
{
    accept();
    for (std::uint8_t i = 0; i < 4; ++i)
        ASSERT_EQ(client.queueReliable(&i, 1, 0), 0);
    client.poll();
    EXPECT_EQ(ofType(host.drain(), 6).size(), 4u);
    EXPECT_EQ(client.freeCounts(0).send, LanTransport::kRing - 5);

    from(host, Bytes{4, 4, 0, 0});  // slot 4 was never sent
    EXPECT_EQ(client.freeCounts(0).send, LanTransport::kRing - 5);
    from(host, Bytes{4, 63, 0, 0});  // behind the base
    EXPECT_EQ(client.freeCounts(0).send, LanTransport::kRing - 5);
    from(host, Bytes{4, 1, 0, 0});
    EXPECT_EQ(client.freeCounts(0).send, LanTransport::kRing - 3);
    from(host, Bytes{4, 1, 0, 0});  // again: nothing more
    EXPECT_EQ(client.freeCounts(0).send, LanTransport::kRing - 3);

    clock.advance(101);
    client.poll();
    auto resent = ofType(host.drain(), 6);
    ASSERT_EQ(resent.size(), 2u);
    EXPECT_EQ(resent[0], nettest::reliable(2, {2}));
    EXPECT_EQ(resent[1], nettest::reliable(3, {3}));

    from(host, Bytes{5, 3, 0, 0});
    EXPECT_EQ(ofType(host.drain(), 7), (std::vector<Bytes>{nettest::reliable(3, {3}, 7)}));
    from(host, Bytes{5, 1, 0, 0});  // acknowledged already: not resent
    EXPECT_TRUE(ofType(host.drain(), 7).empty());

    from(host, Bytes{4, 3, 0, 0});
    EXPECT_EQ(client.freeCounts(0).send, LanTransport::kRing - 1);
    clock.advance(101);
    client.poll();
    EXPECT_TRUE(ofType(host.drain(), 6).empty()) << "nothing is left to resend";
}

// Sequence numbers run over the whole byte, four laps of the 64-slot rings:
// a sender past 255 starts at 0 again and the receiver follows it across.
TEST_F(ClientOfRawHost, SequencedAndReliableNumbersFollowTheWrap)
{
    accept();
    for (int i = 0; i < 260; ++i) {
        const auto s = static_cast<std::uint8_t>(i);
        from(host, nettest::sequenced(s, 0, {static_cast<std::uint8_t>(i)}));
        from(host, nettest::reliable(s, {static_cast<std::uint8_t>(i + 1)}));
        const auto got = takeAll();
        ASSERT_EQ(got.size(), 2u) << i;
        EXPECT_EQ(got[0][0], static_cast<std::uint8_t>(i + 1)) << "reliable first";
        EXPECT_EQ(got[1][0], static_cast<std::uint8_t>(i));
    }
    // Up to half the ring ahead is new (127 past the expected 4), half the
    // ring and more is late, as is anything behind the expected one.
    from(host, nettest::sequenced(4 + 127, 0, {9}));
    from(host, nettest::sequenced(static_cast<std::uint8_t>(132 + 128), 0, {10}));
    EXPECT_EQ(takeAll(), (std::vector<Bytes>{{9}}));
    from(host, nettest::sequenced(130, 0, {11}));
    EXPECT_TRUE(takeAll().empty());

    // The client numbers what it sends the same way, from 0.
    const std::uint8_t b = 1;
    for (int i = 0; i < 200; ++i)
        ASSERT_EQ(client.sendUnreliable(&b, 1, 0), 0);
    auto sent = ofType(host.drain(), 12);
    ASSERT_EQ(sent.size(), 200u);
    EXPECT_EQ(sent[0][4], 2) << "its own slot as sender";
    for (int i = 0; i < 57; ++i)
        ASSERT_EQ(client.sendUnreliable(&b, 1, 0), 0);
    sent = ofType(host.drain(), 12);
    ASSERT_EQ(sent.size(), 57u);
    EXPECT_EQ(sent[55][1], 255);
    EXPECT_EQ(sent[56][1], 0);
}

// What arrives 32 or more past the head could be last lap's copy: it is
// not stored. A resent datagram is stored only at the head.
TEST_F(ClientOfRawHost, TheReceiveWindowEndsThirtyTwoPastTheHead)
{
    accept();
    const int free = client.freeCounts(0).receive;
    from(host, nettest::reliable(32, {32}));
    EXPECT_EQ(client.freeCounts(0).receive, free);
    from(host, nettest::reliable(1, {1}, 7));
    EXPECT_EQ(client.freeCounts(0).receive, free) << "resent, but not the head";
    from(host, nettest::reliable(31, {31}));
    EXPECT_EQ(client.freeCounts(0).receive, free - 1);
    from(host, nettest::reliable(0, {0}, 7));
    EXPECT_EQ(takeAll(), (std::vector<Bytes>{{0}}));
}

// A resend request for a slot past the window is not answered: the slot has
// not gone out yet, and going out of turn it would be taken for an old copy.
TEST_F(ClientOfRawHost, AResendRequestPastTheWindowIsNotAnswered)
{
    accept();
    for (std::uint8_t i = 0; i < 40; ++i)
        ASSERT_EQ(client.queueReliable(&i, 1, 0), 0);
    client.poll();
    EXPECT_EQ(ofType(host.drain(), 6).size(), 32u);
    from(host, Bytes{5, 35, 0, 0});
    EXPECT_TRUE(ofType(host.drain(), 7).empty());
    from(host, Bytes{5, 31, 0, 0});
    EXPECT_EQ(ofType(host.drain(), 7), (std::vector<Bytes>{nettest::reliable(31, {31}, 7)}));
}

// A client that lost its host and joins again counts sequenced messages from
// 0 again, as the host does for a newcomer.
TEST_F(ClientOfRawHost, AClientJoinedAgainTakesSequencedMessagesFromZero)
{
    accept();
    for (std::uint8_t i = 0; i < 20; ++i)
        from(host, nettest::sequenced(i, 0, {i}));
    EXPECT_EQ(takeAll().size(), 20u);
    clock.advance(7001);
    client.poll();
    ASSERT_FALSE(client.connected());
    client.connectTo(htonl(0x7F000001u), host.port());
    accept();
    from(host, nettest::sequenced(0, 0, {100}));
    EXPECT_EQ(takeAll(), (std::vector<Bytes>{{100}}));
    const std::uint8_t b = 1;
    ASSERT_EQ(client.sendUnreliable(&b, 1, 0), 0);
    const auto sent = ofType(host.drain(), 12);
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0][1], 0) << "its own count starts again too";
}

// JOIN pressed again while the host's answer to the first press is still on
// its way: that accept names the earlier connection's token and must not
// join the retry, which waits for the accept with its own.
TEST_F(ClientOfRawHost, AnAcceptOfAnEarlierConnectIsNotTakenForTheRetrys)
{
    const auto tokenOfLastConnect = [this] {
        const auto connects = ofType(host.drain(), 0);
        EXPECT_FALSE(connects.empty());
        const Bytes& c = connects.empty() ? Bytes{0, 0, 0} : connects.back();
        EXPECT_EQ(c.size(), c[2] + 5u) << "a connect carries its token after the identity";
        return Bytes(c.end() - 2, c.end());
    };
    client.connectTo(htonl(0x7F000001u), host.port());
    const Bytes first = tokenOfLastConnect();
    client.connectTo(htonl(0x7F000001u), host.port());
    const Bytes retry = tokenOfLastConnect();
    ASSERT_NE(first, retry);

    from(host, Bytes{1, 2, first[0], first[1]});
    EXPECT_FALSE(client.connected()) << "the earlier connection's accept";
    EXPECT_EQ(client.ownIndex(), 0);
    from(host, Bytes{1, 5, retry[0], retry[1]});
    EXPECT_TRUE(client.connected());
    EXPECT_EQ(client.ownIndex(), 5);
}

// A connect in the host's name (anyone on the network can forge one) is not
// a new connection to a client: it answers nothing, and both ways of the
// reliable channel go on with the numbers they had.
TEST_F(ClientOfRawHost, AConnectInTheHostsNameMovesNothingOnAJoinedClient)
{
    accept();
    from(host, nettest::reliable(0, {1}));
    EXPECT_EQ(takeAll(), (std::vector<Bytes>{{1}}));
    const std::uint8_t up = 9;
    ASSERT_EQ(client.queueReliable(&up, 1, 0), 0);
    client.poll();
    EXPECT_EQ(ofType(host.drain(), 6), (std::vector<Bytes>{nettest::reliable(0, {9})}));
    from(host, Bytes{4, 0, 0, 0});

    Bytes forged = nettest::connectDatagram({'z', 0});
    forged.insert(forged.end(), {0x21, 0x43});
    from(host, forged);
    from(host, nettest::connectDatagram({'z', 0}));
    EXPECT_TRUE(ofType(host.drain(), 1).empty()) << "no accept goes out";
    EXPECT_TRUE(client.connected());

    from(host, nettest::reliable(1, {2}));
    EXPECT_EQ(takeAll(), (std::vector<Bytes>{{2}}));
    ASSERT_EQ(client.queueReliable(&up, 1, 0), 0);
    client.poll();
    EXPECT_EQ(ofType(host.drain(), 6), (std::vector<Bytes>{nettest::reliable(1, {9})}));
}

// A sender back from a dead spell of 128 and more numbers its sequenced
// messages behind what the client expects: after a silent second, four such
// numbers in a row each newer than the last make the client follow it from
// the fourth. Copies held back on the way come within the second and are
// dropped however many come in a row.
TEST_F(ClientOfRawHost, LateSequencedNumbersAreFollowedOnlyAfterASilentSecond)
{
    accept();
    for (int i = 0; i < 200; ++i) {
        from(host, nettest::sequenced(static_cast<std::uint8_t>(i), 0, {static_cast<std::uint8_t>(i)}));
        ASSERT_EQ(takeAll().size(), 1u) << i;
    }

    clock.advance(900);
    for (std::uint8_t copy = 150; copy < 160; ++copy)
        from(host, nettest::sequenced(copy, 0, {copy}));
    EXPECT_TRUE(takeAll().empty()) << "held-back copies handed out as new";

    from(host, nettest::sequenced(200, 0, {200}));
    EXPECT_EQ(takeAll(), (std::vector<Bytes>{{200}}));
    clock.advance(1001);
    for (std::uint8_t late = 90; late < 93; ++late)
        from(host, nettest::sequenced(late, 0, {late}));
    EXPECT_TRUE(takeAll().empty()) << "three late numbers are not yet the sender's new count";
    from(host, nettest::sequenced(93, 0, {93}));
    EXPECT_EQ(takeAll(), (std::vector<Bytes>{{93}})) << "the fourth is followed";
    from(host, nettest::sequenced(94, 0, {94}));
    from(host, nettest::sequenced(92, 0, {92}));
    EXPECT_EQ(takeAll(), (std::vector<Bytes>{{94}}));
}
