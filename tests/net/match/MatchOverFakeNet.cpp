#include "MatchOverFakeNet.h"

#include "entities/aircraft/Airplane.h"
#include "modes/GameMode.h"
#include "modes/GameModeFactory.h"
#include "modes/GameModeGlobals.h"
#include "modes/Match.h"
#include "modes/PlayerRecord.h"
#include "net/match/NetworkPlayer.h"
#include "net/match/PlayerRecordCodec.h"
#include "platform/Random.h"

namespace matchtest {

std::vector<std::uint8_t> recordBytes(const GameMode& mode, const Target& entity)
{
    PlayerRecord record;
    mode.fillPlayerRecord(entity, record);
    std::vector<std::uint8_t> bytes(netmsg::kMaxMessage);
    bytes.resize(static_cast<std::size_t>(encodePlayerRecord(record, bytes)));
    return bytes;
}

void MatchOverFakeNet::SetUp()
{
    seedRandom(m_seed, 1);
    std::string error;
    ASSERT_TRUE(harness.mountData(error)) << error;
    settings().setSkirmishWord(Settings::kEntryFFA, 2, 0);
    settings().setSkirmishWord(Settings::kEntryTD, 2, 0);
    settings().setSkirmishWord(Settings::kEntryTD, 3, 0);
    // Team changes open, as the create pages host a team match.
    settings().setSkirmishWord(Settings::kEntryHost, 5, 1);
    netGlobals().makeTransport = [this](const std::uint8_t*, std::size_t, MatchTransport::Callbacks) {
        auto made = std::make_unique<FakeMatchTransport>();
        fake = made.get();
        return made;
    };
    handler = std::make_unique<NetworkGameHandler>();
}

void MatchOverFakeNet::TearDown()
{
    harness.finish();
    handler.reset();
    netGlobals().makeTransport = nullptr;
    joinedMatchSetup() = JoinedMatchSetup{};
    settings() = saved;
}

GameModeCustom* MatchOverFakeNet::startMode(int type, bool hosting)
{
    harness.network = hosting ? static_cast<IGameListener*>(&handler->server) : &handler->client;
    if (m_role == Role::AfterLevel) {
        auto* mode = dynamic_cast<GameModeCustom*>(harness.start(type, harness.firstSkirmishMap()));
        if (mode)
            mode->setNetwork(true, hosting, false);
        return mode;
    }
    std::unique_ptr<GameMode> made = createGameMode(type);
    if (!made)
        return nullptr;
    made->setNetwork(true, hosting, false);
    return dynamic_cast<GameModeCustom*>(harness.start(std::move(made), harness.firstSkirmishMap()));
}

void MatchOverFakeNet::frames(int n)
{
    for (int i = 0; i < n; ++i)
        modeOf(currentMatch())->runFrame(ModeHarness::kFrame);
}

GameModeCustom* MatchOverFakeNet::hostWith(int type, const std::vector<Joiner>& joiners, int settle)
{
    netGlobals().serverInfo.clear();
    if (!handler->server.start(7))
        return nullptr;
    GameModeCustom* mode = startMode(type, true);
    if (!mode)
        return nullptr;
    NetworkGame::openToPlayers();
    for (const Joiner& j : joiners) {
        JoinRequest request;
        request.planeId = settings().localPlaneId;
        request.name = j.name;
        std::vector<std::uint8_t> bytes(JoinRequest::kSize);
        encodeJoinRequest(request, bytes);
        fake->inbox.push_back({j.slot, bytes});
        fake->inbox.push_back({j.slot, bytesOf(netmsg::ReadyMsg{})});
    }
    frames(settle);
    fake->sent.clear();
    return mode;
}

Airplane* MatchOverFakeNet::joinerOf(GameMode& mode, int playerId)
{
    const NetworkPlayer* p = NetworkPlayer::findById(playerId);
    Target* t = p ? mode.findPlayerAirplane(static_cast<int>(p->airplaneId)) : nullptr;
    return t && t->kind() == TargetKind::Airplane ? static_cast<Airplane*>(t) : nullptr;
}

GameModeCustom* MatchOverFakeNet::joinedClient(int type, const netmsg::JoinCompleteMsg& setup, bool ownOut,
                                               const std::vector<int>& others)
{
    NetworkGameClient& client = handler->client;
    if (!client.connectTo(0x7F000001u, 6026))
        return nullptr;
    fake->isConnected = true;
    fake->inbox.push_back({0, bytesOf(netmsg::WelcomeMsg{})});
    netmsg::JoinCompleteMsg join = setup;
    join.gameType = type;
    join.playerId = 2;
    fake->inbox.push_back({0, bytesOf(join)});
    client.processMessages();
    GameModeCustom* mode = startMode(type, false);
    Airplane* own = mode ? mode->playerAirplane() : nullptr;
    if (!own)
        return nullptr;
    std::vector<std::uint8_t> record = recordBytes(*mode, *own);
    if (ownOut)
        record[1] = static_cast<std::uint8_t>(PlayerRecord::State::OutForGood);
    netmsg::RecordMsg::frame(record, netmsg::EntityRecord, false, 2);
    fake->inbox.push_back({0, record});
    for (int id : others) {
        std::vector<std::uint8_t> other = record;
        other[6] = static_cast<std::uint8_t>(id);
        other[7] = 0;
        netmsg::RecordMsg::frame(other, netmsg::EntityRecord, false, 3);  // another player's
        fake->inbox.push_back({0, other});
    }
    fake->inbox.push_back({0, bytesOf(netmsg::JoinEndMsg{})});
    client.processMessages();
    client.applyJoinState();
    client.active = 1;
    return mode;
}

void MatchOverFakeNet::receive(const std::vector<std::uint8_t>& message, int peer)
{
    fake->inbox.push_back({peer, message});
    handler->client.processMessages();
}

}  // namespace matchtest
