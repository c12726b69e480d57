// The host's share of a frame in a full match: seven joiners' airplane
// states and a chat read, then the rotating state sender with health
// messages, over a scripted transport (goal: under 0.1 ms).
#include "entities/EntityIds.h"
#include "entities/aircraft/Airplane.h"
#include "gamedata/records/PlaneCfg.h"
#include "modes/GameModeGlobals.h"
#include "modes/Match.h"
#include "modes/kinds/GameModeFFA.h"
#include "net/match/AirplaneStateCodec.h"
#include "net/match/NetworkGameServer.h"
#include "net/match/NetworkPlayer.h"

#include <benchmark/benchmark.h>

#include <deque>
#include <memory>
#include <vector>

namespace {
constexpr float kFrame = 1.0f / 60.0f;

struct ScriptedTransport : MatchTransport {
    std::deque<std::pair<int, std::vector<std::uint8_t>>> inbox;
    std::size_t sentBytes = 0;
    bool startServer(int) override { return true; }
    bool startClient() override { return true; }
    void connectTo(std::uint32_t, std::uint16_t) override {}
    void broadcastDiscovery() override {}
    void setAccepting(bool) override {}
    bool connected() const override { return true; }
    bool peerConnected(int) const override { return true; }
    int queueReliable(const std::uint8_t*, std::size_t n, int) override { return sentBytes += n, 0; }
    int sendUnreliable(const std::uint8_t*, std::size_t n, int) override { return sentBytes += n, 0; }
    int take(int& peer, std::uint8_t* out, std::size_t) override
    {
        if (inbox.empty())
            return 0;
        peer = inbox.front().first;
        std::copy(inbox.front().second.begin(), inbox.front().second.end(), out);
        const int n = static_cast<int>(inbox.front().second.size());
        inbox.pop_front();
        return n;
    }
    std::vector<LanTransport::FoundServer> foundServers() const override { return {}; }
    void stop() override {}
};

void hostFrameWithSevenJoiners(benchmark::State& state)
{
    clearEntityIds();
    PlaneCfg plane;
    plane.pMinSpeed = 107.0f;
    plane.pSpeedSpan = 108.0f;
    auto owned = std::make_unique<GameModeFFA>();
    GameModeFFA& mode = *owned;
    mode.setNetwork(true, true, false);
    NetworkGlobals& g = netGlobals();
    g.mode = [&mode] { return static_cast<GameMode*>(&mode); };
    ScriptedTransport* transport = nullptr;
    g.makeTransport = [&transport](const std::uint8_t*, std::size_t, MatchTransport::Callbacks) {
        auto made = std::make_unique<ScriptedTransport>();
        transport = made.get();
        return made;
    };
    NetworkGameServer server;
    if (!server.start(7)) {
        state.SkipWithError("no transport");
        return;
    }
    MatchConnections connections = MatchConnections::none();
    connections.network = &server;
    const std::unique_ptr<Match> match = Match::create(std::move(owned), connections);
    std::vector<std::vector<std::uint8_t>> states;
    for (int i = 0; i < 8; ++i) {
        auto made = Target::create<Airplane>(mode, plane, i % 2, u"Wing");
        Airplane* a = made.get();
        mode.addPlayerAirplane(std::move(made), false);
        a->setPositionAndStop({100.0f * static_cast<float>(i), 2000.0f, 0.0f});
        if (i == 0) {
            g.localPlayer->airplaneId = static_cast<std::uint32_t>(a->id());
            continue;
        }
        (new NetworkPlayer(static_cast<std::uint8_t>(i)))->airplaneId = static_cast<std::uint32_t>(a->id());
        std::vector<std::uint8_t> block(netmsg::kMaxMessage);
        AirplaneNetState netState;
        block.resize(a->netState(netState) ? static_cast<std::size_t>(encodeAirplaneState(netState, block)) : 0);
        netmsg::AirplaneStateMsg::frame(block, a->id());
        states.push_back(block);
    }
    const std::vector<std::uint8_t> chat{7, 'g', 0, 'g', 0, 0, 0};
    int frame = 0;
    for (auto _ : state) {
        // Each joiner sends 20 states a second: about one of the seven per frame in three.
        for (std::size_t i = 0; i < states.size(); ++i)
            if ((frame + static_cast<int>(i)) % 3 == 0)
                transport->inbox.push_back({static_cast<int>(i), states[i]});
        if (frame % 60 == 0)
            transport->inbox.push_back({0, chat});
        server.update(IGameListener::Phase::Receive);
        server.sendStates(kFrame);
        ++frame;
    }
    benchmark::DoNotOptimize(transport->sentBytes);
    mode.leaveNetworkGame();
    NetworkGame::stop();
    g.mode = nullptr;
    g.makeTransport = nullptr;
}
BENCHMARK(hostFrameWithSevenJoiners)->Unit(benchmark::kMicrosecond);
}  // namespace

BENCHMARK_MAIN();
