#include "net/match/NetworkGameServer.h"

#include "entities/aircraft/Airplane.h"
#include "gamedata/records/PlaneCfg.h"
#include "gamedata/records/PlaneList.h"
#include "gamedata/records/WeaponCfg.h"
#include "gamedata/records/WeaponList.h"
#include "modes/GameMode.h"
#include "modes/PlayerRecord.h"
#include "modes/ServerData.h"
#include "modes/progress/ScoreMgr.h"
#include "net/match/AirplaneStateCodec.h"
#include "net/match/NetworkPlayer.h"
#include "net/match/PlayerRecordCodec.h"
#include "net/match/ServerDataCodec.h"
#include "platform/Log.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {
constexpr int kMaxClients = 7;

Airplane* asAirplane(Target* t)
{
    return t && t->kind() == TargetKind::Airplane ? static_cast<Airplane*>(t) : nullptr;
}

}  // namespace

bool NetworkGameServer::start(int maxClients)
{
    stop();
    NetworkGlobals& g = netGlobals();
    g.hosting = true;
    g.localPlayer = new NetworkPlayer(0);
    MatchTransport::Callbacks callbacks;
    callbacks.clientConnected = [this](int slot, const std::uint8_t* identity) { onClientConnected(slot, identity); };
    callbacks.clientDisconnected = [this](int slot) { onClientDisconnected(slot); };
    callbacks.copyServerInfo = [this](std::uint8_t* blob, std::uint32_t* length) { copyServerInfo(blob, length); };
    g.transport = makeTransport(g.serverInfo.bytes.data(), ServerInfo::kSize, std::move(callbacks));
    if (!g.transport || !g.transport->startServer(std::clamp(maxClients, 1, kMaxClients))) {
        stop();
        g.hosting = false;
        return false;
    }
    m_stateCursor = 0;
    m_clockMark = 0.0f;
    statesSent = 0;
    return true;
}

void NetworkGameServer::onClientConnected(int slot, const std::uint8_t* identity)
{
    NetEvent e;
    e.kind = NetEvent::Connected;
    e.slot = static_cast<std::uint8_t>(slot);
    if (identity)
        std::memcpy(e.identity.data(), identity, e.identity.size());
    NetworkGlobals& g = netGlobals();
    std::lock_guard lock(g.eventLock);
    g.events.push_back(e);
}

void NetworkGameServer::onClientDisconnected(int slot)
{
    NetEvent e;
    e.kind = NetEvent::Disconnected;
    e.slot = static_cast<std::uint8_t>(slot);
    NetworkGlobals& g = netGlobals();
    std::lock_guard lock(g.eventLock);
    g.events.push_back(e);
}

void NetworkGameServer::copyServerInfo(std::uint8_t* blob, std::uint32_t* length)
{
    // The reader keeps the player count current on the main thread, under the same lock.
    NetworkGlobals& g = netGlobals();
    std::lock_guard lock(g.eventLock);
    std::memcpy(blob, g.serverInfo.bytes.data(), ServerInfo::kSize);
    *length = ServerInfo::kSize;
}

void NetworkGameServer::broadcastExcept(std::span<const std::uint8_t> message, int exceptId)
{
    // What the mode posted before goes first: the order on the wire is the order of play.
    sendEvents();
    MatchTransport* t = transport();
    if (!t || message.empty() || message.size() > netmsg::kMaxMessage)
        return;
    for (std::size_t i = 1; i < NetworkPlayer::count(); ++i) {
        const NetworkPlayer* p = NetworkPlayer::at(i);
        if (p->id == NetworkPlayer::kNoId || p->id == 0 || p->id == exceptId)
            continue;
        (void)t->queueReliable(message.data(), message.size(), p->id - 1);
    }
}

void NetworkGameServer::sendSequencedExcept(std::span<const std::uint8_t> message, int exceptId)
{
    sendEvents();
    MatchTransport* t = transport();
    if (!t || message.empty() || message.size() > netmsg::kMaxMessage)
        return;
    for (std::size_t i = 1; i < NetworkPlayer::count(); ++i) {
        const NetworkPlayer* p = NetworkPlayer::at(i);
        if (p->id == NetworkPlayer::kNoId || p->id == 0 || p->id == exceptId)
            continue;
        (void)t->sendUnreliable(message.data(), message.size(), p->id - 1);
    }
}

void NetworkGameServer::sendTo(int playerId, std::span<const std::uint8_t> message)
{
    sendEvents();
    MatchTransport* t = transport();
    if (!t || playerId < 1 || playerId > kMaxClients || message.empty() || message.size() > netmsg::kMaxMessage)
        return;
    (void)t->queueReliable(message.data(), message.size(), playerId - 1);
}

int NetworkGameServer::ownerIdOf(const Target& airplane) const
{
    if (!airplane.hasId())
        return NetworkPlayer::kNoId;
    const NetworkPlayer* p = NetworkPlayer::findByAirplane(airplane.id());
    return p ? p->id : NetworkPlayer::kNoId;
}

void NetworkGameServer::update(Phase phase)
{
    // Drained whatever the transport's state, so the outbox never grows.
    sendEvents();
    if (!transport())
        return;
    if (phase == Phase::Receive)
        processMessages();
    else
        sendStates(step(m_clockMark));
}

// ---- receive

void NetworkGameServer::drainEvents()
{
    NetworkGlobals& g = netGlobals();
    std::deque<NetEvent> events;
    {
        std::lock_guard lock(g.eventLock);
        events.swap(g.events);
    }
    // Handled outside the event lock: the sends below take the transport's ring lock.
    for (const NetEvent& e : events) {
        NetworkPlayer* player = NetworkPlayer::findById(e.slot + 1);
        if (e.kind == NetEvent::Disconnected && player) {
            GameMode* m = mode();
            Target* airplane = m && player->hasAirplane() ? m->findPlayerAirplane(static_cast<int>(player->airplaneId))
                                                         : nullptr;
            if (airplane && m) {
                formatJoinLeaveLine(*airplane, kLeftText);
                pushChatLine();
                netmsg::PlayerLeftMsg left;
                left.airplaneId = airplane->id();
                const int owner = ownerIdOf(*airplane);
                const int n = left.encode(m_buffer);
                broadcastExcept({m_buffer.data(), static_cast<std::size_t>(n)}, owner);
                // The score keeper forgets the airplane before it goes.
                ScoreMgr::instance().forget(*airplane);
                (void)m->applyPeerEvent(peerevent::PlayerLeft{left.airplaneId});
            }
            delete player;
        } else if (e.kind == NetEvent::Connected && !player) {
            netmsg::WelcomeMsg welcome;
            const int n = welcome.encode(m_buffer);
            if (MatchTransport* t = transport())
                (void)t->queueReliable(m_buffer.data(), static_cast<std::size_t>(n), e.slot);
        }
    }
}

void NetworkGameServer::processMessages()
{
    MatchTransport* t = transport();
    if (!t)
        return;
    drainEvents();
    int slot = 0;
    // Bounded: one pass takes at most what both rings of every peer hold.
    for (int guard = 0; guard < 2 * 64 * kMaxClients; ++guard) {
        const int length = t->take(slot, m_in.data(), m_in.size());
        if (length <= 0)
            break;
        handle(slot, {m_in.data(), static_cast<std::size_t>(length)});
        if (!transport())
            return;
    }
    NetworkGlobals& g = netGlobals();
    std::lock_guard lock(g.eventLock);
    g.serverInfo.bytes[ServerInfo::PlayerCount] =
        static_cast<std::uint8_t>(std::min<std::size_t>(NetworkPlayer::count(), 255));
}

void NetworkGameServer::handle(int slot, std::span<const std::uint8_t> message)
{
    if (message.empty() || slot < 0 || slot >= kMaxClients)
        return;
    const int type = message[0];
    if (type == netmsg::JoinRequest) {
        handleJoinRequest(slot, message);
        return;
    }
    // Everything else speaks for the sender's airplane: none, nothing done.
    NetworkPlayer* player = NetworkPlayer::findById(slot + 1);
    GameMode* m = mode();
    if (!player || !m || !player->hasAirplane())
        return;
    Target* own = m->findPlayerAirplane(static_cast<int>(player->airplaneId));
    Airplane* airplane = asAirplane(own);
    if (!airplane)
        return;
    switch (type) {
    case netmsg::AirplaneState:
        if (AirplaneNetState state; airplane->isActive() && decodeAirplaneState(message, state)) {
            // Health is the host's to decide: the owner only echoes what its
            // last HealthMsg said, and that echo would undo the hits since.
            state.health = airplane->health();
            (void)airplane->applyNetState(state);
        }
        break;
    case netmsg::Chat:
        handleChat(*player, *airplane, message);
        break;
    case netmsg::AirplaneDestroyed:
        handleDestroyed(*airplane, message);
        break;
    case netmsg::WeaponLaunch: {
        netmsg::WeaponLaunchMsg launch;
        if (!launch.decodeClient(message) || !WeaponList::instance().findById(launch.weaponId))
            break;
        Target* target = launch.targetId >= 0 ? m->findPlayerAirplane(launch.targetId) : nullptr;
        (void)m->launchWeaponById(launch.weaponId, airplane, target, airplane->position());
        break;
    }
    case netmsg::Flares:
        if (netmsg::FlaresMsg flares; flares.decodeClient(message))
            m->relayFlares(*airplane);
        break;
    case netmsg::Eject:
        if (netmsg::EjectMsg eject; eject.decodeClient(message))
            m->ejectPilot(*airplane, 1.0f, true);
        break;
    case netmsg::Ready:
        if (netmsg::ReadyMsg ready; ready.decode(message))
            handleReady(*player, *airplane);
        break;
    case netmsg::TeamRequest: {
        netmsg::TeamRequestMsg request;
        if (!request.decode(message) || (request.value != 0 && request.value != 1))
            break;
        // Past half of a timed match the host takes no more team changes; the
        // asker flies on as it was.
        if (!m->teamChangeAllowed) {
            refuseTeamChange(*player, *airplane);
            break;
        }
        // Out, moved and back later as the host's own switch would; everybody hears where.
        if (m->applyPeerEvent(peerevent::TeamRequest{airplane->id(), request.value}))
            sendTeamSwitch(*airplane, request.value);
        break;
    }
    case netmsg::Relay:
        handleRelay(player->id, message);
        break;
    case netmsg::WeaponHit:
        handleWeaponHit(message);
        break;
    default:
        break;  // 72 and everything a client never sends
    }
}

void NetworkGameServer::handleJoinRequest(int slot, std::span<const std::uint8_t> message)
{
    GameMode* m = mode();
    if (!m || NetworkPlayer::findById(slot + 1))
        return;
    // A request that does not decode leaves no player: the client may ask again.
    JoinRequest request;
    if (!decodeJoinRequest(message, m->recordLimits(), request))
        return;
    auto* player = new NetworkPlayer(static_cast<std::uint8_t>(slot + 1));
    Airplane* a = m->addServerPlayer(request, -1);
    if (!a || !player->isRegistered()) {
        // A request that makes no airplane leaves no player: the client may ask again.
        if (a)
            (void)m->applyPeerEvent(peerevent::PlayerLeft{a->id()});
        delete player;
        return;
    }
    player->airplaneId = static_cast<std::uint32_t>(a->id());
    // Out of the match until the client says it is ready.
    (void)m->applyPeerEvent(peerevent::Eliminate{a->id()});
    ScoreMgr::instance().addPlayer(*a);
    sendJoinState(request.planeId, *player);
    sendPlayerInfo(a->id(), false, player->id);
    formatJoinLeaveLine(*a, kJoinedText);
    pushChatLine();
}

void NetworkGameServer::sendJoinState(int planeId, NetworkPlayer& player)
{
    GameMode* m = mode();
    if (!m)
        return;
    const NetworkGlobals& g = netGlobals();
    const ScoreMgr& sm = ScoreMgr::instance();
    netmsg::JoinCompleteMsg join;
    join.mapIndex = g.serverInfo.bytes[ServerInfo::MapIndex];
    join.gameType = static_cast<int>(m->gameType());
    join.weatherMode = m->services().sceneOrNone().weatherMode();
    join.sunValue = m->sunValue();
    join.team2Total = static_cast<std::uint32_t>(sm.group(1).score);
    join.team1Total = static_cast<std::uint32_t>(sm.group(0).score);
    join.respawnDelay = g.serverInfo.bytes[ServerInfo::RespawnDelay];
    join.scoreLimit = std::clamp(sm.scoreLimit, 0, 255);
    join.matchMinutes = std::clamp(static_cast<int>(sm.timeLimit / 60.0f), 0, 255);
    join.playerCount = static_cast<int>(std::min<std::size_t>(NetworkPlayer::count(), 255));
    join.playerId = player.id;
    join.airplaneId = static_cast<int>(player.airplaneId);
    join.teamMatch = sm.teamScoring();
    const PlaneList& planes = PlaneList::instance();
    const PlaneCfg* plane = nullptr;
    for (int i = 0; i < planes.count() && !plane; ++i)
        if (planes.at(i)->plane_id == planeId)
            plane = planes.at(i);
    if (!plane && planes.count() > 0)
        plane = planes.at(0);
    join.pointsFactor = plane ? plane->ap_bonus : 1.0f;
    join.optionFlags = g.serverInfo.u32(ServerInfo::OptionFlags);
    join.gameName = g.serverInfo.name();
    int n = join.encode(m_buffer);
    sendTo(player.id, {m_buffer.data(), static_cast<std::size_t>(n)});

    for (const auto& e : m->entities()) {
        if (!e->hasId())
            continue;
        n = writeRecord(*m, *e);
        if (n <= 0)
            continue;
        netmsg::RecordMsg::frame({m_buffer.data(), static_cast<std::size_t>(n)}, netmsg::EntityRecord, false,
                                 ownerIdOf(*e));
        sendTo(player.id, {m_buffer.data(), static_cast<std::size_t>(n)});
    }
    sendServerData(&player);
    // Whether the joiner's switch-team button shows.
    netmsg::TeamFlagMsg teams;
    teams.teamChange = m->teamChangeAllowed;
    n = teams.encode(m_buffer);
    sendTo(player.id, {m_buffer.data(), static_cast<std::size_t>(n)});
    netmsg::JoinEndMsg end;
    end.playerId = player.id;
    n = end.encode(m_buffer);
    sendTo(player.id, {m_buffer.data(), static_cast<std::size_t>(n)});
}

void NetworkGameServer::sendPlayerInfo(int airplaneId, bool quiet, int exceptId)
{
    GameMode* m = mode();
    Target* e = m ? m->findPlayerAirplane(airplaneId) : nullptr;
    if (!e)
        return;
    const int n = writeRecord(*m, *e);
    if (n <= 0)
        return;
    netmsg::RecordMsg::frame({m_buffer.data(), static_cast<std::size_t>(n)}, netmsg::PlayerInfo, quiet, ownerIdOf(*e));
    broadcastExcept({m_buffer.data(), static_cast<std::size_t>(n)}, exceptId);
}

int NetworkGameServer::writeRecord(const GameMode& m, const Target& entity)
{
    PlayerRecord record;
    m.fillPlayerRecord(entity, record);
    return encodePlayerRecord(record, {m_buffer.data(), netmsg::kMaxMessage});
}

std::vector<std::uint8_t> NetworkGameServer::serverData() const
{
    const GameMode* m = mode();
    if (!m || m->serverDataLayout() == ServerData::Layout::None)
        return {};
    ServerData data;
    m->fillServerData(data);
    return serverDataBytes(data);
}

std::vector<std::uint8_t> NetworkGameServer::serverDataBytes(const ServerData& data)
{
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(serverDataSize(data.layout)));
    bytes.resize(static_cast<std::size_t>(encodeServerData(data, bytes)));
    return bytes;
}

void NetworkGameServer::sendServerData(NetworkPlayer* player)
{
    netmsg::ServerDataMsg data;
    data.data = serverData();
    if (data.data.empty())
        return;
    const int length = data.encode(m_buffer);
    if (length <= 0)
        return;
    if (player)
        sendTo(player->id, {m_buffer.data(), static_cast<std::size_t>(length)});
    else
        broadcast({m_buffer.data(), static_cast<std::size_t>(length)});
}

void NetworkGameServer::handleReady(NetworkPlayer& player, Airplane& airplane)
{
    GameMode* m = mode();
    if (!m || airplane.isActive())
        return;
    sendServerData(&player);
    (void)m->applyPeerEvent(peerevent::Respawn{airplane.id(), 0.0f, false, {}, {}});
    // Everybody, the joiner included, sees the airplane come into play.
    netmsg::RespawnMsg respawn;
    respawn.airplaneId = airplane.id();
    respawn.value = std::max(airplane.respawnTimer, 0.0f);
    respawn.position = airplane.position();
    respawn.orientation = airplane.orientation();
    const int n = respawn.encode(m_buffer);
    broadcast({m_buffer.data(), static_cast<std::size_t>(n)});
}

void NetworkGameServer::refuseTeamChange(NetworkPlayer& player, Airplane& airplane)
{
    // The asker's airplane never left: only the closed flag goes back, so it
    // keeps its speed, boost, health, flares and ammunition.
    netmsg::TeamFlagMsg closed;
    closed.teamChange = false;
    const int n = closed.encode(m_buffer);
    sendTo(player.id, {m_buffer.data(), static_cast<std::size_t>(n)});
    logInfo("net", "a team change of airplane %d refused: team changes are closed", airplane.id());
}

void NetworkGameServer::handleDestroyed(Airplane& airplane, std::span<const std::uint8_t> message)
{
    netmsg::AirplaneDestroyedMsg destroyed;
    GameMode* m = mode();
    if (!m || !destroyed.decode(message))
        return;
    destroyed.victimId = airplane.id();
    destroyed.log("heard");
    Target* killer = destroyed.killerId >= 0 ? m->findPlayerAirplane(destroyed.killerId) : nullptr;
    m->onAirplaneEvent(airplane, killer, static_cast<CrashCause>(destroyed.kind),
                       static_cast<std::uint8_t>(destroyed.flags), destroyed.respawnTime, destroyed.position,
                       destroyed.orientation);
    // A crash the client saw for itself: the host brings the airplane back
    // after its delay, as for the deaths it decides.
    if (!airplane.isActive() && !m->isWaitingOrOut(airplane) && destroyed.respawnTime >= 0.0f)
        (void)m->applyPeerEvent(peerevent::Respawn{airplane.id(), std::max(destroyed.respawnTime, 0.01f), false, {}, {}});
}

void NetworkGameServer::handleChat(NetworkPlayer& player, Target& airplane, std::span<const std::uint8_t> message)
{
    netmsg::ChatMsg chat;
    if (!chat.decodeClient(message))
        return;
    addChatLine(&airplane, chat.text);
    chat.senderId = static_cast<std::uint32_t>(airplane.id());
    const int n = chat.encodeRelayed(m_buffer);
    if (n > 0)
        sendSequencedExcept({m_buffer.data(), static_cast<std::size_t>(n)}, player.id);
}

void NetworkGameServer::handleWeaponHit(std::span<const std::uint8_t> message)
{
    netmsg::WeaponHitMsg hit;
    GameMode* m = mode();
    if (!m || !hit.decode(message))
        return;
    Target* victim = m->findPlayerAirplane(hit.victimId);
    Target* attacker = m->findPlayerAirplane(hit.attackerId);
    const WeaponCfg* weapon = WeaponList::instance().findById(hit.weaponId);
    if (!victim || !attacker || !weapon)
        return;
    const int type = weapon->type;
    if (type != 2 && type != 3 && type != 4 && type != 5 && type != 7)
        return;
    m->damageAirplane(*victim, attacker, weapon->damage, victim->position(), weapon, true);
}

void NetworkGameServer::handleRelay(int senderId, std::span<const std::uint8_t> message)
{
    netmsg::RelayMsg relay;
    if (!relay.decode(message))
        return;
    for (std::size_t i = 1; i < NetworkPlayer::count(); ++i) {
        const NetworkPlayer* p = NetworkPlayer::at(i);
        if (p->id == senderId || p->id == NetworkPlayer::kNoId || p->id == 0)
            continue;
        sendTo(p->id, message);
        return;
    }
}

// ---- send

void NetworkGameServer::sendStates(float dt)
{
    GameMode* m = mode();
    MatchTransport* t = transport();
    NetworkGlobals& g = netGlobals();
    if (!m || !t || NetworkPlayer::count() <= 1)
        return;
    const auto list = m->entities();
    int activeCount = 0;
    for (const auto& e : list)
        if (e->kind() == TargetKind::Airplane && e->isActive())
            ++activeCount;
    g.sendAccumulator += static_cast<float>(activeCount) * dt / 0.1f;
    const int size = static_cast<int>(list.size());
    while (g.sendAccumulator > 1.0f) {
        g.sendAccumulator -= 1.0f;
        if (size == 0)
            continue;
        for (int tries = 0; tries < size; ++tries) {
            const int index = m_stateCursor % size;
            m_stateCursor = (index + 1) % size;
            Target& e = *list[static_cast<std::size_t>(index)];
            if (e.kind() != TargetKind::Airplane || !e.isActive())
                continue;
            AirplaneNetState block;
            const int n = e.netState(block) ? encodeAirplaneState(block, {m_buffer.data(), netmsg::kMaxMessage}) : 0;
            const int owner = ownerIdOf(e);
            if (n > 0 && netmsg::AirplaneStateMsg::frame({m_buffer.data(), static_cast<std::size_t>(n)}, e.id())) {
                sendSequencedExcept({m_buffer.data(), static_cast<std::size_t>(n)}, owner);
                ++statesSent;
            }
            if (owner >= 1 && owner <= kMaxClients) {
                netmsg::HealthMsg health;
                health.health = e.health();
                std::array<std::uint8_t, netmsg::HealthMsg::kSize> h{};
                (void)health.encode(h);
                (void)t->sendUnreliable(h.data(), h.size(), owner - 1);
            }
            break;
        }
    }
}

// ---- the mode's events

void NetworkGameServer::sendEvents()
{
    GameMode* m = mode();
    if (m_sendingEvents || !m || m->outbox().empty())
        return;
    m_sendingEvents = true;
    for (const MatchEvent& e : m->outbox().take())
        sendEvent(e);
    m_sendingEvents = false;
}

void NetworkGameServer::sendEvent(const MatchEvent& event)
{
    std::visit([this](const auto& e) { sendEvent(e); }, event);
}

int NetworkGameServer::ownerIdOf(EntityHandle airplane) const
{
    if (airplane.isEmpty())
        return NetworkPlayer::kNoId;
    const NetworkPlayer* p = NetworkPlayer::findByAirplane(airplane.id());
    return p ? p->id : NetworkPlayer::kNoId;
}

std::span<const std::uint8_t> NetworkGameServer::eventBytes(int length) const
{
    return {m_eventBuffer.data(), static_cast<std::size_t>(std::max(length, 0))};
}

void NetworkGameServer::sendEvent(const matchevent::AirplaneAdded& e)
{
    if (e.isPlayer) {
        if (NetworkGlobals& g = netGlobals(); g.localPlayer)
            g.localPlayer->airplaneId = static_cast<std::uint32_t>(e.airplane.id());
        return;
    }
    const int n = encodePlayerRecord(e.record, {m_eventBuffer.data(), netmsg::kMaxMessage});
    if (n <= 0)
        return;
    const std::span<std::uint8_t> message{m_eventBuffer.data(), static_cast<std::size_t>(n)};
    const int owner = ownerIdOf(e.airplane);
    netmsg::RecordMsg::frame(message, netmsg::PlayerInfo, true, owner);
    broadcastExcept(message, owner);
}

void NetworkGameServer::sendEvent(const matchevent::AirplaneRespawned& e)
{
    netmsg::RespawnMsg respawn;
    respawn.airplaneId = e.airplane.id();
    respawn.value = e.value;
    respawn.position = e.position;
    respawn.orientation = e.orientation;
    broadcast(eventBytes(respawn.encode(m_eventBuffer)));
}

void NetworkGameServer::sendEvent(const matchevent::AirplaneDestroyed& e)
{
    // A client's own crash into the ground, the sea or a prop: its owner
    // knows; everybody else hears it from here and scores it as the host did.
    const CrashCause c = e.cause;
    const bool ownCrash = e.victimRole == NetworkRole::RemoteClient &&
                          (c == CrashCause::Ground || c == CrashCause::Water || c == CrashCause::Prop);
    // A joiner's airplane is down when its owner says so: only the others need hearing it.
    const bool ownEnd = e.victimRole == NetworkRole::RemoteClient && (e.flags & 4) == 0;
    netmsg::AirplaneDestroyedMsg destroyed;
    destroyed.kind = static_cast<int>(c);
    destroyed.flags = e.flags;
    destroyed.victimId = e.victim.id();
    destroyed.killerId = e.killer.id();
    destroyed.respawnTime = e.respawnTime;
    destroyed.position = e.position;
    destroyed.orientation = e.orientation;
    destroyed.log("sent");
    const std::span<const std::uint8_t> bytes = eventBytes(destroyed.encode(m_eventBuffer));
    if (ownCrash || ownEnd)
        broadcastExcept(bytes, ownerIdOf(e.victim));
    else
        broadcast(bytes);
}

void NetworkGameServer::sendEvent(const matchevent::FlaresLaunched& e)
{
    netmsg::FlaresMsg flares;
    flares.airplaneId = e.airplane.id();
    broadcastExcept(eventBytes(flares.encodeHost(m_eventBuffer)), ownerIdOf(e.airplane));
}

void NetworkGameServer::sendEvent(const matchevent::PilotEjected& e)
{
    netmsg::EjectMsg eject;
    eject.airplaneId = e.airplane.id();
    broadcast(eventBytes(eject.encodeHost(m_eventBuffer)));
}

void NetworkGameServer::sendEvent(const matchevent::WeaponLaunched& e)
{
    netmsg::WeaponLaunchMsg launch;
    launch.weaponId = e.weaponId;
    launch.ownerId = e.owner.id();
    launch.targetId = e.target.id();
    broadcastExcept(eventBytes(launch.encodeHost(m_eventBuffer)), ownerIdOf(e.owner));
}

void NetworkGameServer::sendEvent(const matchevent::AirplaneTakenOut& e)
{
    netmsg::TakeOutMsg out;
    out.airplaneId = e.airplane.id();
    broadcast(eventBytes(out.encode(m_eventBuffer)));
}

void NetworkGameServer::sendEvent(const matchevent::ModeValue& e)
{
    netmsg::ModeValueMsg msg;
    msg.index = e.index;
    msg.value = static_cast<float>(e.value);
    broadcast(eventBytes(msg.encode(m_eventBuffer)));
}

void NetworkGameServer::sendEvent(const matchevent::FlagChanged& e)
{
    netmsg::FlagEventMsg msg;
    msg.event = e.event;
    msg.flagId = e.flag.id();
    msg.playerId = e.player.id();
    broadcast(eventBytes(msg.encode(m_eventBuffer)));
}

void NetworkGameServer::sendEvent(const matchevent::MatchEnded& e)
{
    netmsg::MatchEndMsg end;
    end.countdown = e.countdown;
    end.data = serverDataBytes(e.serverData);
    broadcast(eventBytes(end.encode(m_eventBuffer)));
}

void NetworkGameServer::sendEvent(const matchevent::Chat& e)
{
    netmsg::ChatMsg chat;
    chat.text = e.text;
    chat.senderId = e.sender.isEmpty() ? 0xFFFFu : static_cast<std::uint32_t>(e.sender.id());
    const int n = chat.encodeRelayed(m_eventBuffer);
    if (n > 0)
        sendSequencedExcept(eventBytes(n), e.sender.isEmpty() ? 255 : ownerIdOf(e.sender));
}

void NetworkGameServer::sendEvent(const matchevent::WeatherChanged& e)
{
    netmsg::WeatherMsg weather;
    weather.mode = e.mode;
    broadcast(eventBytes(weather.encode(m_eventBuffer)));
}

void NetworkGameServer::sendEvent(const matchevent::Restarted&)
{
    netmsg::RestartMsg msg;
    broadcast(eventBytes(msg.encode(m_eventBuffer)));
}

void NetworkGameServer::sendEvent(const matchevent::TeamFlag& e)
{
    netmsg::TeamFlagMsg msg;
    msg.teamChange = e.teamChange;
    broadcast(eventBytes(msg.encode(m_eventBuffer)));
}

void NetworkGameServer::sendEvent(const matchevent::ScoreEvent& e)
{
    netmsg::ScoreEventMsg msg;
    msg.airplaneId = e.airplane.id();
    msg.kind = e.kind;
    std::copy_n(e.record.begin(), std::min(e.record.size(), msg.record.size()), msg.record.begin());
    const std::span<const std::uint8_t> bytes = eventBytes(msg.encode(m_eventBuffer));
    const int owner = ownerIdOf(e.airplane);
    if (e.audience == 0)
        broadcast(bytes);
    else if (e.audience == 1) {
        if (owner >= 1 && owner <= kMaxClients)
            sendTo(owner, bytes);
    } else
        broadcastExcept(bytes, owner);
}

void NetworkGameServer::sendEvent(const matchevent::FlightState& e)
{
    netmsg::FlightStateMsg msg;
    msg.airplaneId = e.airplane.id();
    msg.state = e.state;
    msg.time = e.time;
    broadcast(eventBytes(msg.encode(m_eventBuffer)));
}

void NetworkGameServer::sendEvent(const matchevent::AirplaneRemoved& e)
{
    netmsg::PlayerLeftMsg left;
    left.quiet = true;
    left.airplaneId = e.airplane.id();
    broadcastExcept(eventBytes(left.encode(m_eventBuffer)), ownerIdOf(e.airplane));
}

void NetworkGameServer::sendEvent(const matchevent::TeamRequest& e)
{
    netmsg::TeamSwitchMsg msg;
    msg.airplaneId = e.airplane.id();
    msg.team = e.team;
    msg.value = e.respawnTime;
    msg.position = e.position;
    msg.orientation = e.orientation;
    broadcast(eventBytes(msg.encode(m_eventBuffer)));
}

void NetworkGameServer::sendEvent(const matchevent::StateChanged& e)
{
    netmsg::AirplaneStateChangeMsg msg;
    msg.a = e.a;
    msg.b = e.b;
    msg.state = e.state;
    msg.airplaneId = e.airplane.id();
    msg.otherId = e.other.id();
    const std::span<const std::uint8_t> bytes = eventBytes(msg.encode(m_eventBuffer));
    if (e.toAll)
        broadcast(bytes);
    else
        broadcastExcept(bytes, ownerIdOf(e.airplane));
}

void NetworkGameServer::sendTeamSwitch(Airplane& airplane, int team)
{
    netmsg::TeamSwitchMsg msg;
    msg.airplaneId = airplane.id();
    msg.team = team;
    msg.value = airplane.respawnTimer;
    msg.position = airplane.position();
    msg.orientation = airplane.orientation();
    const int n = msg.encode(m_buffer);
    broadcast({m_buffer.data(), static_cast<std::size_t>(n)});
}

void NetworkGameServer::setAcceptingJoins(bool accept)
{
    if (MatchTransport* t = transport()) {
        // Closed by the match (its last minute, its end): a joiner is told so.
        t->setRefusal(accept ? LanTransport::Refusal::None : LanTransport::Refusal::Closed);
        t->setAccepting(accept);
    }
}

void NetworkGameServer::stopNetworkGame()
{
    sendEvents();
    if (netGlobals().onStopRequested)
        netGlobals().onStopRequested();
    else
        stop();
}
