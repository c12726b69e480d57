#include "net/transport/LanTransport.h"

#include "UdpImpairmentProxy.h"

#include <gtest/gtest.h>

#include <array>
#include <chrono>
#include <mutex>
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
// A party (a network thread or the proxy) not seen for this long is starved
// by the machine, not silent.
constexpr auto kStarved = std::chrono::milliseconds(20);

// The transports' clock. It stands still while the machine starves one of the
// parties (a network thread or the proxy): a loaded machine would otherwise
// pass its own pauses off as a silent peer, ten times over, and the peers
// would give each other up. A client's thread reads the clock on every pass,
// the proxy turns at least every 5 ms, and a host does while it has a client.
class SoakClock {
public:
    using Real = std::chrono::steady_clock;

    Clock::TimeStamp read(int side)
    {
        std::lock_guard lock(m_lock);
        const auto now = Real::now();
        m_seen[static_cast<std::size_t>(side)] = now;
        bool starved = false;
        if (m_proxy) {
            if (m_proxy->passes() != m_passes) {
                m_passes = m_proxy->passes();
                m_proxySeen = now;
            }
            const bool hostWaits = m_host->connectedCount() == 0;
            starved = (!hostWaits && now - m_seen[0] > kStarved) || now - m_seen[1] > kStarved ||
                      now - m_proxySeen > kStarved;
        }
        if (!starved)
            m_us += std::chrono::duration_cast<std::chrono::microseconds>(now - m_last).count() * kClockSpeed;
        m_last = now;
        const std::int64_t ms = m_us / 1000;
        return {static_cast<std::uint32_t>(ms / 1000), static_cast<std::uint32_t>(ms % 1000) * 1000};
    }
    void watch(const UdpImpairmentProxy* proxy, const LanTransport* host)
    {
        std::lock_guard lock(m_lock);
        m_proxy = proxy;
        m_host = host;
        m_seen.fill(Real::now());
        m_proxySeen = Real::now();
    }
    void unwatch()
    {
        std::lock_guard lock(m_lock);
        m_proxy = nullptr;
    }

private:
    std::mutex m_lock;
    std::int64_t m_us = 100000000;
    Real::time_point m_last = Real::now();
    std::array<Real::time_point, 2> m_seen{};
    const UdpImpairmentProxy* m_proxy = nullptr;
    const LanTransport* m_host = nullptr;
    std::uint64_t m_passes = 0;
    Real::time_point m_proxySeen;
};

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
    SoakClock clock;
    LanTransport::Config serverConfig;
    serverConfig.bindPort = 0;
    serverConfig.announceAddress = 0;
    serverConfig.clock = [&clock] { return clock.read(0); };
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
    clock.watch(&proxy, &server);
    struct Unwatch {
        SoakClock& clock;
        ~Unwatch() { clock.unwatch(); }
    } unwatch{clock};  // before the proxy goes, whatever ends the test

    LanTransport::Config clientConfig;
    clientConfig.announceAddress = 0;
    clientConfig.clock = [&clock] { return clock.read(1); };
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
