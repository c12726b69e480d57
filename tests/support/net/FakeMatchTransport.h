#pragma once
#include "net/match/MatchTransport.h"

#include <cstdint>
#include <deque>
#include <utility>
#include <vector>

// A transport that hands over what the test puts in and writes down what is sent.
struct FakeMatchTransport : MatchTransport {
    struct Sent {
        int peer;
        bool reliable;
        std::vector<std::uint8_t> bytes;
    };
    std::deque<std::pair<int, std::vector<std::uint8_t>>> inbox;
    std::vector<Sent> sent;
    bool isConnected = false;
    bool accepting = false;

    bool startServer(int) override { return true; }
    bool startClient() override { return true; }
    void connectTo(std::uint32_t, std::uint16_t) override {}
    void broadcastDiscovery() override {}
    void setAccepting(bool on) override { accepting = on; }
    bool connected() const override { return isConnected; }
    bool peerConnected(int) const override { return isConnected; }
    int queueReliable(const std::uint8_t* m, std::size_t n, int peer) override
    {
        sent.push_back({peer, true, {m, m + n}});
        return 0;
    }
    int sendUnreliable(const std::uint8_t* m, std::size_t n, int peer) override
    {
        sent.push_back({peer, false, {m, m + n}});
        return 0;
    }
    int take(int& peer, std::uint8_t* out, std::size_t capacity) override
    {
        if (inbox.empty() || inbox.front().second.size() > capacity)
            return 0;
        peer = inbox.front().first;
        std::copy(inbox.front().second.begin(), inbox.front().second.end(), out);
        const int n = static_cast<int>(inbox.front().second.size());
        inbox.pop_front();
        return n;
    }
    std::vector<LanTransport::FoundServer> foundServers() const override { return {}; }
    void stop() override {}

    int count(std::uint8_t type) const
    {
        int n = 0;
        for (const Sent& s : sent)
            n += !s.bytes.empty() && s.bytes[0] == type;
        return n;
    }
};

