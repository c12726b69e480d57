// libFuzzer entry for the LAN transport's datagram handler, on either side of
// a connection: the first byte picks the side, the rest is a run of datagrams
// (each a two-byte length and its bytes) from the peer or from a stranger,
// with the clock stepping between them. The rings never count more than 63
// free slots nor hold a message longer than a datagram can carry.
#include "FuzzTarget.h"

#include "net/transport/LanTransport.h"

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

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 1)
        return 0;
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
