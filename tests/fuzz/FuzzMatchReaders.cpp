// Any bytes to every reader of a network match, the host's and the client's,
// over a headless free-for-all with eight airplanes and a scripted transport:
// byte 0 picks the side (bit 7: host) and the sending slot, the rest is the
// message. Nothing may fault, nothing may be sent back larger than a message,
// this side's own airplane stays, and what the readers set stays in range.
#include "FuzzTarget.h"

#include "entities/EntityIds.h"
#include "entities/aircraft/Airplane.h"
#include "gamedata/records/PlaneCfg.h"
#include "modes/GameModeGlobals.h"
#include "modes/Match.h"
#include "modes/kinds/GameModeFFA.h"
#include "net/match/NetworkGameClient.h"
#include "net/match/NetworkGameServer.h"
#include "net/match/NetworkPlayer.h"

#include <cmath>
#include <deque>
#include <memory>
#include <vector>

namespace {

struct ScriptedTransport : MatchTransport {
    std::deque<std::pair<int, std::vector<std::uint8_t>>> inbox;
    bool startServer(int) override { return true; }
    bool startClient() override { return true; }
    void connectTo(std::uint32_t, std::uint16_t) override {}
    void broadcastDiscovery() override {}
    void setAccepting(bool) override {}
    bool connected() const override { return true; }
    bool peerConnected(int) const override { return true; }
    int queueReliable(const std::uint8_t*, std::size_t n, int) override
    {
        FUZZ_CHECK(n > 0 && n <= netmsg::kMaxMessage);
        return 0;
    }
    int sendUnreliable(const std::uint8_t*, std::size_t n, int) override
    {
        FUZZ_CHECK(n > 0 && n <= netmsg::kMaxMessage);
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
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzz::silenceLog();
    if (size < 2)
        return 0;
    clearEntityIds();
    static PlaneCfg plane;
    auto mode = std::make_unique<GameModeFFA>();
    GameModeFFA* m = mode.get();
    const bool host = (data[0] & 0x80) != 0;
    const int slot = data[0] & 0x07;
    m->setNetwork(true, host, false);
    NetworkGlobals& g = netGlobals();
    g.mode = [m] { return static_cast<GameMode*>(m); };
    ScriptedTransport* transport = nullptr;
    g.makeTransport = [&transport](const std::uint8_t*, std::size_t, MatchTransport::Callbacks) {
        auto made = std::make_unique<ScriptedTransport>();
        transport = made.get();
        return made;
    };
    NetworkGameServer server;
    NetworkGameClient client;
    FUZZ_CHECK(server.start(7));
    std::vector<Airplane*> planes;
    for (int i = 0; i < 8; ++i) {
        auto made = Target::create<Airplane>(*m, plane, i % 2, u"Wing");
        Airplane* a = made.get();
        m->addPlayerAirplane(std::move(made), false);
        planes.push_back(a);
        if (i == 0)
            g.localPlayer->airplaneId = static_cast<std::uint32_t>(a->id());
        else if (i < 7)
            (new NetworkPlayer(static_cast<std::uint8_t>(i)))->airplaneId = static_cast<std::uint32_t>(a->id());
    }
    MatchConnections connections = MatchConnections::none();
    connections.network = host ? static_cast<IGameListener*>(&server) : &client;
    const std::unique_ptr<Match> match = Match::create(std::move(mode), connections);
    FUZZ_CHECK(match != nullptr);
    client.joined = 1;
    client.state = size > 2 && data[1] == 0x55 ? NetworkGameClient::Loading : NetworkGameClient::Playing;
    transport->inbox.push_back({slot, std::vector<std::uint8_t>(data + 1, data + size)});
    const int ownId = planes[0]->id();
    if (host)
        server.processMessages();
    else
        client.processMessages();
    FUZZ_CHECK(m->findPlayerAirplane(ownId) == planes[0]);
    FUZZ_CHECK(m->weatherTarget() >= -1 && m->weatherTarget() < netmsg::WeatherMsg::kModes);
    for (const auto& e : m->entities()) {
        const Vec3 at = e->position();
        FUZZ_CHECK(std::isfinite(e->health()) && std::isfinite(at.x) && std::isfinite(at.y) && std::isfinite(at.z));
        FUZZ_CHECK(e->team() == 0 || e->team() == 1 || e->team() == kTeamNone);
    }
    m->leaveNetworkGame();
    NetworkGame::stop();
    g.mode = nullptr;
    g.makeTransport = nullptr;
    return 0;
}
