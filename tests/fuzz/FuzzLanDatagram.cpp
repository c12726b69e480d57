// libFuzzer entry for the LAN transport's datagram handler, on either side of
// a connection: the first byte picks the side, the rest is a run of datagrams
// (each a two-byte length and its bytes) from the peer or from a stranger,
// with the clock stepping between them. The rings never count more than 63
// free slots nor hold a message longer than a datagram can carry.
//
// With bit 2 of the first byte set, a real host and client talk over a
// scripted link instead, the rest of the input scripting it: what is lost,
// repeated, held back and let go in another order, what each side sends and
// when the clock moves. Every reliable message arrives once and in order,
// sequenced ones only go forward, and once the link is clean again everything
// sent arrives unless a side gave the other up.
#include "FuzzTarget.h"

#include "net/transport/LanTransport.h"
#include "support/net/ScriptedLink.h"

#include <algorithm>

#include <arpa/inet.h>

namespace {

sockaddr_in from(std::uint16_t port)
{
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = htonl(0x7F000001u);
    return address;
}

void checkRings(LanTransport& transport)
{
    for (int peer = 0; peer < LanTransport::kPeers; ++peer) {
        const auto counts = transport.freeCounts(peer);
        FUZZ_CHECK(counts.receive >= 0 && counts.receive <= 63);
        FUZZ_CHECK(counts.send >= 0 && counts.send <= 63);
        FUZZ_CHECK(counts.sequenced >= 0 && counts.sequenced <= 63);
    }
}

// Fewer than 220 each way: no number comes round again, so no copy can be
// late enough to pass for a new message (which no rule could tell).
constexpr int kMostMessages = 200;

struct Direction {
    LanTransport& from;
    LanTransport& to;
    int queued = 0, taken = 0, sequencedSent = 0, lastSequenced = -1;

    static void fill(int index, std::uint8_t* m, std::size_t& length)
    {
        length = 2 + static_cast<std::size_t>(index % 37);
        for (std::size_t i = 0; i < length; ++i)
            m[i] = static_cast<std::uint8_t>(i < 2 ? index >> (8 * i) : index * 13 + i);
    }
    void queue(int count)
    {
        std::uint8_t m[64];
        std::size_t length = 0;
        for (; count > 0 && queued < kMostMessages; --count) {
            fill(queued, m, length);
            if (from.queueReliable(m, length, 0) != 0)
                return;
            ++queued;
        }
    }
    void sendSequenced()
    {
        if (sequencedSent >= kMostMessages)
            return;
        const std::uint8_t m[2] = {static_cast<std::uint8_t>(sequencedSent),
                                   static_cast<std::uint8_t>(sequencedSent >> 8)};
        from.sendUnreliable(m, sizeof m, 0);
        ++sequencedSent;
    }
    void take()
    {
        std::uint8_t in[LanTransport::kSlotPayload];
        std::uint8_t expected[64];
        std::size_t length = 0;
        while (const int got = to.takeReliable(0, in, sizeof in)) {
            FUZZ_CHECK(taken < queued);
            fill(taken, expected, length);
            FUZZ_CHECK(static_cast<std::size_t>(got) == length && std::equal(in, in + length, expected));
            ++taken;
        }
        while (to.takeSequenced(0, in, sizeof in) == 2) {
            const int value = in[0] | in[1] << 8;
            FUZZ_CHECK(value > lastSequenced && value < sequencedSent);
            lastSequenced = value;
        }
    }
};

bool staleUpdate(const nettest::ScriptedLink& link, const nettest::ScriptedLink::Datagram& d)
{
    constexpr std::uint8_t kUpdate = static_cast<std::uint8_t>(LanTransport::PacketType::Sequenced);
    if (d.type() != kUpdate)
        return false;
    for (auto newer = link.sent.rbegin(); newer != link.sent.rend(); ++newer)
        if (newer->way == d.way && newer->type() == kUpdate)
            return static_cast<std::uint8_t>(newer->number() - d.number()) >= 100;
    return false;
}

void runLink(const std::uint8_t* data, std::size_t size)
{
    nettest::ScriptedLink link;
    using Fate = nettest::ScriptedLink::Fate;
    std::uint8_t pattern = 0;
    int fates = 0;
    link.script = [&](const nettest::ScriptedLink::Datagram&) {
        return static_cast<Fate>((pattern >> (2 * (fates++ % 4))) & 3);
    };
    bool gaveUp = false;
    link.host().setClientDisconnected([&](int) { gaveUp = true; });
    FUZZ_CHECK(link.connect());
    Direction down{link.host(), link.client()}, up{link.client(), link.host()};
    for (std::size_t at = 1; at < size; ++at) {
        const std::uint8_t op = data[at] & 7, arg = data[at] >> 3;
        switch (op) {
        case 0: link.step(1 + arg); break;
        case 1: down.queue(1 + arg); break;
        case 2: up.queue(1 + arg); break;
        case 3: down.sendSequenced(); break;
        case 4: up.sendSequenced(); break;
        case 5:
            if (!link.held.empty())
                link.release(arg % link.held.size());
            break;
        case 6: pattern = static_cast<std::uint8_t>(arg * 9); break;
        default:
            down.take();
            up.take();
            break;
        }
        // A network holds nothing back for long: a dozen, half a second.
        while (link.held.size() > 12 || (!link.held.empty() && link.clock.ms() - link.held[0].heldAtMs > 500))
            link.release(0);
        // Nor past a hundred newer numbers of its sender's updates: at the
        // game's frame rate that is seconds, and a one-byte number tells old
        // from new only within 128.
        for (std::size_t i = 0; i < link.held.size();) {
            if (staleUpdate(link, link.held[i]))
                link.release(i);
            else
                ++i;
        }
        gaveUp = gaveUp || !link.client().connected();
        checkRings(link.host());
        checkRings(link.client());
    }
    pattern = 0;
    link.releaseAll();
    for (int i = 0; i < 4000 && !gaveUp && (down.taken < down.queued || up.taken < up.queued); ++i) {
        link.step();
        down.take();
        up.take();
        gaveUp = gaveUp || !link.client().connected();
    }
    FUZZ_CHECK(gaveUp || (down.taken == down.queued && up.taken == up.queued));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 1)
        return 0;
    if (data[0] & 4) {
        runLink(data, size);
        return 0;
    }
    std::int64_t ms = 1000;
    LanTransport::Config config;
    config.bindPort = 0;
    config.remotePort = 9;
    config.discoveryAddress = 0x7F000001u;
    config.announceAddress = 0;
    config.clock = [&ms] {
        return Clock::TimeStamp{static_cast<std::uint32_t>(ms / 1000), static_cast<std::uint32_t>(ms % 1000) * 1000};
    };
    LanTransport transport(config);
    const std::uint8_t name[2] = {'n', 0};
    transport.init(name, sizeof name);
    const bool clientSide = data[0] & 1;
    const sockaddr_in peer = from(9);
    if (clientSide) {
        transport.openClientSocket();
        if (data[0] & 2) {
            transport.broadcastDiscovery();
        } else {
            transport.connectTo(peer.sin_addr.s_addr, 9);
            const std::uint8_t accept[2] = {1, 0};
            transport.handleDatagram(accept, sizeof accept, peer);
        }
    } else {
        transport.setAccepting(true);
        const std::uint8_t connect[5] = {0, 5, 2, 'a', 0};
        transport.handleDatagram(connect, sizeof connect, peer);
    }

    std::uint8_t message[LanTransport::kSlotPayload];
    std::size_t at = 1;
    while (at + 2 <= size) {
        const std::size_t length = data[at] | ((data[at + 1] & 0x0F) << 8);
        const bool stranger = data[at + 1] & 0x80;
        ms += ((data[at + 1] >> 4) & 0x07) * 150;
        at += 2;
        const std::size_t take = length < size - at ? length : size - at;
        transport.handleDatagram(data + at, take, stranger ? from(10) : peer);
        at += take;
        checkRings(transport);
        int index = -1;
        if (transport.peekAnyReliable(index)) {
            const int got = transport.takeReliable(index, message, sizeof message);
            FUZZ_CHECK(got > 0 && static_cast<std::size_t>(got) <= LanTransport::kReceiveBuffer &&
                       static_cast<std::size_t>(got) <= LanTransport::kMaxPayload);
        }
        if (transport.peekAnySequenced(index)) {
            const int got = transport.takeSequenced(index, message, sizeof message);
            FUZZ_CHECK(got >= 0 && static_cast<std::size_t>(got) <= LanTransport::kMaxPayload);
        }
    }
    for (const auto& server : transport.foundServers())
        FUZZ_CHECK(server.quality >= 0.0f && server.quality <= 5.0f);
    return 0;
}
