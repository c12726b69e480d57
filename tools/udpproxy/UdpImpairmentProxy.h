#pragma once
// Stands between UDP clients and one upstream host on the loopback: each
// client gets its own upstream socket, and each direction loses, duplicates,
// reorders and delays datagrams by a seeded random draw.
#include <atomic>
#include <cstdint>
#include <random>
#include <thread>

class UdpImpairmentProxy {
public:
    struct Impairment {
        double loss = 0.0;       // 0-1
        double duplicate = 0.0;  // 0-1
        double reorder = 0.0;    // 0-1: swapped with the next one
        int delayMs = 0;         // each datagram's latency
    };
    struct Options {
        std::uint16_t listenPort = 0;  // 0 takes a free port
        std::uint16_t upstreamPort = 0;
        std::uint32_t seed = 1;
        Impairment toUpstream;
        Impairment toClient;
    };

    explicit UdpImpairmentProxy(Options options);
    ~UdpImpairmentProxy();
    bool start();
    void stop();
    std::uint16_t port() const { return port_; }
    std::uint64_t dropped() const { return dropped_; }
    std::uint64_t forwarded() const { return forwarded_; }
    // Turns of its loop, at least one every 5 ms while it gets the processor.
    std::uint64_t passes() const { return passes_; }

private:
    void run();

    Options options_;
    int listenFd_ = -1;
    std::uint16_t port_ = 0;
    std::thread thread_;
    std::atomic<bool> stop_{false};
    std::atomic<std::uint64_t> dropped_{0}, forwarded_{0}, passes_{0};
};
