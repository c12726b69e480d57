#include "net/transport/LanTransport.h"

#include "UdpImpairmentProxy.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstring>

#include <arpa/inet.h>
#include <thread>
#include <vector>

namespace {

// The transports' timers run this many times faster than the wall clock, so
// the 100 ms resends of a lossy link take 10 ms (and the 7 s time-out 700 ms).
constexpr int kClockSpeed = 10;
// 10 000 each way take 15-30 s on an idle machine; a busy shared one is several
// times slower, so the check sends fewer.
constexpr int kMessages = 3000;

Clock::TimeStamp fastClock()
{
    static const auto start = std::chrono::steady_clock::now();
    const auto real = std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() - start);
    const std::int64_t ms = 100000 + real.count() * kClockSpeed / 1000;
    return {static_cast<std::uint32_t>(ms / 1000), static_cast<std::uint32_t>(ms % 1000) * 1000};
}

std::size_t sizeOf(int index)
{
    return 1 + static_cast<std::size_t>(index * 7919) % LanTransport::kMaxPayload;
}

std::uint8_t byteOf(int index, std::size_t at)
{
    return static_cast<std::uint8_t>(index * 31 + at * 7);
}

// Queues the next messages while the ring has room and checks what arrived.
struct Flow {
    LanTransport& from;
    LanTransport& to;
    int queued = 0, taken = 0, steps = 0;
    int lastSequenced = -1;
    bool orderBroken = false, sequencedBroken = false;
    std::vector<std::uint8_t> message = std::vector<std::uint8_t>(LanTransport::kMaxPayload);

    void step()
    {
        while (queued < kMessages) {
            const std::size_t length = sizeOf(queued);
            for (std::size_t i = 0; i < length; ++i)
                message[i] = byteOf(queued, i);
            if (from.queueReliable(message.data(), length, 0) != 0)
                break;
            ++queued;
        }
        // About as often as a game sends its frame state.
        if (++steps % 20 == 0) {
            std::uint8_t counter[4];
            std::memcpy(counter, &queued, 4);
            from.sendUnreliable(counter, sizeof counter, 0);
        }
        std::uint8_t in[LanTransport::kSlotPayload];
        while (const int length = to.takeReliable(0, in, sizeof in)) {
            bool same = static_cast<std::size_t>(length) == sizeOf(taken);
            for (int i = 0; same && i < length; ++i)
                same = in[i] == byteOf(taken, static_cast<std::size_t>(i));
            orderBroken = orderBroken || !same;
            ++taken;
        }
        while (to.takeSequenced(0, in, sizeof in) == 4) {
            int value = 0;
            std::memcpy(&value, in, 4);
            sequencedBroken = sequencedBroken || value < lastSequenced;
            lastSequenced = value;
        }
    }
};

}  // namespace

TEST(LanTransportSoak, DeliversEveryMessageOnceAndInOrderThroughALossyLink)
{
    LanTransport::Config serverConfig;
    serverConfig.bindPort = 0;
    serverConfig.announceAddress = 0;
    serverConfig.clock = fastClock;
    LanTransport server(serverConfig);
    const std::uint8_t info[2] = {'s', 0};
    ASSERT_TRUE(server.init(info, sizeof info));
    ASSERT_TRUE(server.startServer());

    UdpImpairmentProxy::Options options;
    options.upstreamPort = server.boundPort();
    options.seed = 51;
    options.toUpstream = {0.2, 0.05, 0.05, 1};
    options.toClient = {0.2, 0.05, 0.05, 1};
    UdpImpairmentProxy proxy(options);
    ASSERT_TRUE(proxy.start());

    LanTransport::Config clientConfig;
    clientConfig.announceAddress = 0;
    clientConfig.clock = fastClock;
    LanTransport client(clientConfig);
    const std::uint8_t name[2] = {'c', 0};
    ASSERT_TRUE(client.init(name, sizeof name));
    server.startThread();
    client.startThread();
    client.connectTo(htonl(INADDR_LOOPBACK), proxy.port());

    const auto start = std::chrono::steady_clock::now();
    const auto limit = start + std::chrono::seconds(110);
    while (!(client.connected() && server.connectedCount() == 1) && std::chrono::steady_clock::now() < limit)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    ASSERT_TRUE(client.connected());

    Flow up{client, server};
    Flow down{server, client};
    while ((up.taken < kMessages || down.taken < kMessages) && std::chrono::steady_clock::now() < limit &&
           client.connected() && server.connectedCount() == 1) {
        up.step();
        down.step();
        std::this_thread::sleep_for(std::chrono::microseconds(500));
    }
    const bool stillConnected = client.connected() && server.connectedCount() == 1;
    client.stopThread();
    server.stopThread();
    EXPECT_TRUE(stillConnected);
    proxy.stop();
    EXPECT_EQ(up.taken, kMessages);
    EXPECT_EQ(down.taken, kMessages);
    EXPECT_FALSE(up.orderBroken);
    EXPECT_FALSE(down.orderBroken);
    EXPECT_FALSE(up.sequencedBroken);
    EXPECT_FALSE(down.sequencedBroken);
    EXPECT_GT(proxy.dropped(), 0u);
    std::printf("soak: %lld ms, %llu dropped\n",
                static_cast<long long>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                           std::chrono::steady_clock::now() - start).count()),
                static_cast<unsigned long long>(proxy.dropped()));
}
