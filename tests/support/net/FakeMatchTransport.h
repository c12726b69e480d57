#pragma once
// A match transport for tests: hands over what the test puts in its inbox
// and writes down everything sent, reliable or sequenced, with the peer.
#include "net/match/MatchTransport.h"

#include <algorithm>
#include <cstdint>
#include <deque>
#include <utility>
#include <vector>

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

    // Messages of that type sent (to any peer).
    int count(std::uint8_t type) const
    {
        return static_cast<int>(std::count_if(sent.begin(), sent.end(), [type](const Sent& s) {
            return !s.bytes.empty() && s.bytes[0] == type;
        }));
    }
    // The peers a message of that type went to, in order.
    std::vector<int> peersOf(std::uint8_t type) const
    {
        std::vector<int> peers;
        for (const Sent& s : sent)
            if (!s.bytes.empty() && s.bytes[0] == type)
                peers.push_back(s.peer);
        return peers;
    }
};
