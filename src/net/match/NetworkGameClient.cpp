#include "net/match/NetworkGameClient.h"

#include "entities/aircraft/Airplane.h"
#include "gamedata/records/MapLists.h"
#include "gamedata/records/PlaneList.h"
#include "gamedata/records/WeaponList.h"
#include "modes/GameMode.h"
#include "modes/GameModeGlobals.h"
#include "modes/Match.h"
#include "modes/PlayerRecord.h"
#include "modes/ServerData.h"
#include "modes/progress/ScoreMgr.h"
#include "net/match/AirplaneStateCodec.h"
#include "net/match/NetworkPlayer.h"
#include "net/match/PlayerRecordCodec.h"
#include "net/match/ServerDataCodec.h"
#include "platform/ByteReader.h"
#include "platform/ByteWriter.h"
#include "platform/Settings.h"

#include <algorithm>
#include <arpa/inet.h>
#include <cmath>
#include <cstring>

namespace {
Airplane* asAirplane(Target* t)
{
    return t && t->kind() == TargetKind::Airplane ? static_cast<Airplane*>(t) : nullptr;
}

bool isJoinableType(int type)
{
    return type == 2 || type == 3 || type == 4 || type == 5 || type == 6 || type == 10 || type == 13;
}
}  // namespace

bool NetworkGameClient::startClient(bool discovery)
{
    NetworkGlobals& g = netGlobals();
    g.joinDelay = kJoinDelay;
    joined = 0;
    stop();
    g.hosting = false;
    state = Browsing;
    const std::u16string& own = settings().playerName;
    const std::u16string name = own.empty() ? std::u16string(u"Pilot") : own.substr(0, 31);
    ByteWriter out;
    for (char16_t c : name)
        out.u16(c);
    out.u16(0);
    const std::vector<std::uint8_t> identity = out.take();
    MatchTransport::Callbacks callbacks;
    if (discovery)
        callbacks.serverListChanged = [] { netGlobals().discoveredChanged = true; };
    g.transport = makeTransport(identity.data(), identity.size(), std::move(callbacks));
    pointsFactor = 1.0f;
    m_clockMark = 0.0f;
    if (!g.transport || !g.transport->startClient()) {
        stop();
        return false;
    }
    return true;
}

bool NetworkGameClient::startLan() { return startClient(true); }

bool NetworkGameClient::connectTo(std::uint32_t address, std::uint16_t port)
{
    if (!startClient(false))
        return false;
    state = Asked;
    serverAddress = address;
    serverPort = port;
    transport()->connectTo(htonl(address), port);
    return true;
}

void NetworkGameClient::clearServerList()
{
    discoveredGames.clear();
    netGlobals().discoveredChanged = false;
    if (MatchTransport* t = transport())
        t->broadcastDiscovery();
}

bool NetworkGameClient::joinListedServer(int n)
{
    MatchTransport* t = transport();
    if (!t || n < 0 || n >= static_cast<int>(discoveredGames.size()))
        return false;
    netGlobals().joinDelay = kJoinDelay;
    joined = 0;
    // The game port (6026, or the one the tests set) of the listed host.
    t->connectTo(discoveredGames[static_cast<std::size_t>(n)].address, netGlobals().lanConfig.remotePort);
    state = Asked;
    return true;
}

LanTransport::Refusal NetworkGameClient::refusal() const
{
    const MatchTransport* t = netGlobals().transport.get();
    return t ? t->refusal() : LanTransport::Refusal::None;
}

void NetworkGameClient::abandonJoin()
{
    if (MatchTransport* t = transport())
        t->dropServer();
    state = Browsing;
    joined = 0;
}

void NetworkGameClient::copyDiscovered()
{
    NetworkGlobals& g = netGlobals();
    MatchTransport* t = transport();
    if (!t || !g.discoveredChanged.exchange(false))
        return;
    for (const LanTransport::FoundServer& found : t->foundServers()) {
        auto same = std::find_if(discoveredGames.begin(), discoveredGames.end(),
                                 [&](const DiscoveredGame& d) { return d.address == found.address; });
        DiscoveredGame entry;
        entry.address = found.address;
        entry.quality = static_cast<std::uint32_t>(found.quality);
        entry.info = found.info;
        if (same != discoveredGames.end())
            *same = entry;
        else
            discoveredGames.push_back(entry);
    }
}

Target* NetworkGameClient::airplaneById(int id) const
{
    GameMode* m = mode();
    return m && id >= 0 ? m->findPlayerAirplane(id) : nullptr;
}

Target* NetworkGameClient::ownAirplane() const
{
    const NetworkPlayer* local = netGlobals().localPlayer;
    if (!local || !local->hasAirplane())
        return nullptr;
    return airplaneById(static_cast<int>(local->airplaneId));
}

void NetworkGameClient::update(Phase phase)
{
    // Drained whatever the connection's state, so the outbox never grows.
    sendEvents();
    MatchTransport* t = transport();
    if (!active || !t)
        return;
    if (state != Browsing && !t->connected()) {
        state = Browsing;
        return;
    }
    if (phase == Phase::Receive)
        processMessages();
    else
        sendStates(step(m_clockMark));
}

bool NetworkGameClient::matchActive() const { return running() && state != Browsing; }

bool NetworkGameClient::peerConnected() const
{
    const MatchTransport* t = netGlobals().transport.get();
    return t && t->connected();
}

void NetworkGameClient::disconnect()
{
    sendEvents();
    if (netGlobals().onStopRequested)
        netGlobals().onStopRequested();
    else
        stop();
    state = Browsing;
    joined = 0;
    joinedMatchSetup() = JoinedMatchSetup{};
}

// ---- receive

void NetworkGameClient::processMessages()
{
    MatchTransport* t = transport();
    if (!t)
        return;
    copyDiscovered();
    if (state == Asked && t->connected())
        state = Accepted;
    int peer = 0;
    for (int guard = 0; guard < 2 * 64; ++guard) {
        const int length = t->take(peer, m_in.data(), m_in.size());
        if (length <= 0 || peer != 0)
            break;
        const std::span<const std::uint8_t> message{m_in.data(), static_cast<std::size_t>(length)};
        const int type = message[0];
        if (!joined && type != netmsg::JoinComplete && type != netmsg::Welcome)
            continue;
        if (type == netmsg::JoinComplete) {
            if (!joined)
                handleJoinComplete(message);
            // The map loads before anything else is read.
            return;
        }
        handle(message);
        if (!transport())
            return;
    }
}

void NetworkGameClient::handle(std::span<const std::uint8_t> message)
{
    switch (message[0]) {
    case netmsg::Welcome: {
        netmsg::WelcomeMsg welcome;
        if (!welcome.decode(message))
            return;
        if (!netGlobals().localPlayer) {
            NetworkPlayer::deleteAll();
            sendJoinRequest();
        }
        state = Welcomed;
        return;
    }
    case netmsg::EntityRecord:
        handleEntityRecord(message);
        return;
    case netmsg::JoinEnd:
        handleJoinEnd(message);
        return;
    default:
        handleEvent(message);
    }
}

void NetworkGameClient::sendJoinRequest()
{
    const Settings& s = settings();
    JoinRequest request;
    request.planeValue = PlaneList::instance().valueById(s.localPlaneId);
    request.rank = std::min<int>(s.playerRank, 17);
    request.name = s.playerName.empty() ? std::u16string(u"Pilot") : s.playerName.substr(0, 31);
    request.planeId = s.localPlaneId;
    if (s.localPlaneId < s.planePaintTable.size())
        request.paint = s.planePaintTable[s.localPlaneId];
    request.loadout = {s.weaponLoadout[1], s.weaponLoadout[2]};
    request.playerWords = {static_cast<std::int32_t>(s.playerAccount[0]), static_cast<std::int32_t>(s.playerAccount[1]),
                           static_cast<std::int32_t>(s.playerAccount[2]), static_cast<std::int32_t>(s.playerAccount[3])};
    const int n = encodeJoinRequest(request, m_buffer);
    sendReliable(n);
}

void NetworkGameClient::handleJoinComplete(std::span<const std::uint8_t> message)
{
    netmsg::JoinCompleteMsg join;
    if (!join.decode(message))
        return;
    // A map or kind of game this side cannot play ends the join.
    if (!isJoinableType(join.gameType) || join.mapIndex >= MapLists::kSlots ||
        !MapLists::instance().skirmishMap(join.mapIndex)) {
        disconnect();
        return;
    }
    NetworkPlayer::deleteAll();
    netGlobals().localPlayer = nullptr;
    playerId = static_cast<std::uint8_t>(join.playerId);
    join.pointsFactor = std::clamp(join.pointsFactor, 1.0f, 4.0f);
    pointsFactor = join.pointsFactor;
    m_join = join;
    // The match about to load plays by the host's set-up, not this side's settings.
    JoinedMatchSetup& setup = joinedMatchSetup();
    setup.valid = true;
    setup.scoreLimit = join.scoreLimit;
    setup.minutes = join.matchMinutes;
    setup.respawnDelay = static_cast<int>(std::min<std::uint32_t>(join.respawnDelay, 255));
    setup.teamMatch = join.teamMatch;
    setup.optionFlags = join.optionFlags;
    setup.gameName = join.gameName;
    Settings& s = settings();
    s.skirmishType = join.gameType;
    s.skirmishMap = join.mapIndex;
    state = Loading;
    active = 0;
    joined = 1;
}

void NetworkGameClient::handleEntityRecord(std::span<const std::uint8_t> message)
{
    GameMode* m = mode();
    int owner = 0;
    bool quiet = false;
    std::vector<std::uint8_t> bytes;
    PlayerRecord record;
    if (state != Loading || !m || !netmsg::RecordMsg::decode(message, netmsg::EntityRecord, owner, quiet, bytes) ||
        !decodePlayerRecord(bytes, m->recordLimits(), record))
        return;
    const bool own = owner == playerId;
    Target* t = m->applyPeerEvent(peerevent::PlayerRecord{record, own});
    if (own && t && !netGlobals().localPlayer) {
        auto* local = new NetworkPlayer(playerId);
        local->airplaneId = static_cast<std::uint32_t>(t->id());
        netGlobals().localPlayer = local;
    }
}

void NetworkGameClient::handleJoinEnd(std::span<const std::uint8_t> message)
{
    netmsg::JoinEndMsg end;
    if (state != Loading || !end.decode(message))
        return;
    const Airplane* own = asAirplane(ownAirplane());
    state = own && own->isOutOfMatch() ? Waiting : Playing;
    netGlobals().sendAccumulator = 0.0f;
}

void NetworkGameClient::applyJoinState()
{
    GameMode* m = mode();
    if (!m)
        return;
    // The host's team totals count players who have left too: the records
    // the join brought cannot give them.
    ScoreMgr::instance().setTeamCounters(static_cast<int>(std::min<std::uint32_t>(m_join.team1Total, 1u << 30)),
                                         static_cast<int>(std::min<std::uint32_t>(m_join.team2Total, 1u << 30)));
    m->setSunValue(m_join.sunValue);
    (void)m->applyPeerEvent(peerevent::Weather{m_join.weatherMode, 0.0f});
}

void NetworkGameClient::handleEvent(std::span<const std::uint8_t> message)
{
    GameMode* m = mode();
    if (!m)
        return;
    switch (message[0]) {
    case netmsg::PlayerInfo: {
        int owner = 0;
        bool quiet = false;
        std::vector<std::uint8_t> bytes;
        PlayerRecord record;
        if (!netmsg::RecordMsg::decode(message, netmsg::PlayerInfo, owner, quiet, bytes) || owner == playerId ||
            !decodePlayerRecord(bytes, m->recordLimits(), record))
            return;
        Target* t = m->applyPeerEvent(peerevent::PlayerRecord{record, false});
        if (t && !quiet) {
            formatJoinLeaveLine(*t, kJoinedText);
            pushChatLine();
        }
        return;
    }
    case netmsg::PlayerLeft: {
        netmsg::PlayerLeftMsg left;
        Target* t = left.decode(message) ? airplaneById(left.airplaneId) : nullptr;
        if (!t || t == ownAirplane() || t == m->playerAirplane())
            return;
        if (!left.quiet) {
            formatJoinLeaveLine(*t, kLeftText);
            pushChatLine();
        }
        ScoreMgr::instance().forget(*t);
        (void)m->applyPeerEvent(peerevent::PlayerLeft{left.airplaneId});
        return;
    }
    case netmsg::AirplaneState: {
        int id = -1;
        if (AirplaneNetState block; netmsg::AirplaneStateMsg::peekId(message, id) && decodeAirplaneState(message, block))
            (void)m->applyPeerEvent(peerevent::AirplaneState{id, block});
        return;
    }
    case netmsg::Health: {
        netmsg::HealthMsg health;
        Target* own = ownAirplane();
        if (own && health.decode(message))
            (void)m->applyPeerEvent(peerevent::Health{own->id(), health.health});
        return;
    }
    case netmsg::Chat: {
        netmsg::ChatMsg chat;
        if (chat.decodeRelayed(message))
            addChatLine(chat.senderId <= PlayerRecord::kMaxEntityId ? airplaneById(static_cast<int>(chat.senderId))
                                                                    : nullptr,
                        chat.text);
        return;
    }
    case netmsg::AirplaneDestroyed: {
        netmsg::AirplaneDestroyedMsg d;
        if (!d.decode(message))
            return;
        d.log("heard");
        (void)m->applyPeerEvent(peerevent::Destroyed{d.victimId, d.killerId, d.kind, static_cast<std::uint8_t>(d.flags),
                                                     d.respawnTime, d.position, d.orientation});
        return;
    }
    case netmsg::WeaponLaunch: {
        netmsg::WeaponLaunchMsg launch;
        if (launch.decodeHost(message) && WeaponList::instance().findById(launch.weaponId))
            (void)m->applyPeerEvent(peerevent::WeaponLaunch{launch.weaponId, launch.ownerId, launch.targetId});
        return;
    }
    case netmsg::Flares: {
        netmsg::FlaresMsg flares;
        if (flares.decodeHost(message))
            (void)m->applyPeerEvent(peerevent::Flares{flares.airplaneId});
        return;
    }
    case netmsg::Weather: {
        netmsg::WeatherMsg weather;
        if (weather.decode(message))
            (void)m->applyPeerEvent(peerevent::Weather{weather.mode, 20.0f});
        return;
    }
    case netmsg::Eject: {
        netmsg::EjectMsg eject;
        if (eject.decodeHost(message))
            (void)m->applyPeerEvent(peerevent::Eject{eject.airplaneId});
        return;
    }
    case netmsg::TeamSwitch: {
        netmsg::TeamSwitchMsg sw;
        if (!sw.decode(message))
            return;
        Target* a = m->applyPeerEvent(peerevent::TeamSwitch{sw.airplaneId, sw.team, sw.value, sw.position, sw.orientation});
        if (a && a == ownAirplane() && state == Waiting) {
            state = Playing;
            netGlobals().joinDelay = kJoinDelay;
        }
        return;
    }
    case netmsg::FlagEvent: {
        netmsg::FlagEventMsg flag;
        if (flag.decode(message))
            (void)m->applyPeerEvent(peerevent::Flag{flag.event, flag.flagId, flag.playerId});
        return;
    }
    case netmsg::Respawn: {
        netmsg::RespawnMsg r;
        if (!r.decode(message))
            return;
        Target* a = m->applyPeerEvent(peerevent::Respawn{r.airplaneId, r.value, true, r.position, r.orientation});
        if (a && a == ownAirplane() && r.value >= 0.0f && state == Waiting)
            state = Playing;
        return;
    }
    case netmsg::TakeOut: {
        netmsg::TakeOutMsg out;
        if (out.decode(message))
            (void)m->applyPeerEvent(peerevent::TakeOut{out.airplaneId});
        return;
    }
    case netmsg::ServerData: {
        netmsg::ServerDataMsg data;
        ServerData decoded;
        if (data.decode(message) && decodeServerData(data.data, m->serverDataLayout(), decoded) > 0)
            (void)m->applyPeerEvent(peerevent::ServerData{decoded});
        return;
    }
    case netmsg::MatchEnd: {
        netmsg::MatchEndMsg end;
        if (!end.decode(message))
            return;
        // The mode's data, then the count-down.
        peerevent::MatchEnd ended;
        const ServerData::Layout layout = m->serverDataLayout();
        const int n = decodeServerData(end.tail, layout, ended.data);
        ended.hasData = n > 0;
        if (ended.hasData || layout == ServerData::Layout::None) {
            ByteReader rest(std::span<const std::uint8_t>(end.tail).subspan(static_cast<std::size_t>(n)));
            ended.hasCountdown = rest.f32(ended.countdown);
            ended.countdown = netmsg::peerSeconds(ended.countdown, -1.0f, netmsg::kMaxCountdown);
        }
        (void)m->applyPeerEvent(ended);
        return;
    }
    case netmsg::Restart: {
        netmsg::RestartMsg restart;
        if (restart.decode(message))
            (void)m->applyPeerEvent(peerevent::Restart{});
        return;
    }
    case netmsg::ScoreEvent: {
        netmsg::ScoreEventMsg score;
        Airplane* a = score.decode(message) ? asAirplane(airplaneById(score.airplaneId)) : nullptr;
        if (a)
            ScoreMgr::instance().applyNetworkRecord(score.kind, a, score.record);
        return;
    }
    case netmsg::FlightState: {
        netmsg::FlightStateMsg fs;
        if (fs.decode(message))
            (void)m->applyPeerEvent(peerevent::FlightState{fs.airplaneId, fs.state, fs.time});
        return;
    }
    case netmsg::ModeValue: {
        netmsg::ModeValueMsg mv;
        if (!mv.decode(message) || !std::isfinite(mv.value))
            return;
        const int seconds = static_cast<int>(std::lround(std::clamp(mv.value, 0.0f, 3600.0f)));
        (void)m->applyPeerEvent(peerevent::ModeValue{seconds, mv.index});
        return;
    }
    case netmsg::TeamFlag: {
        netmsg::TeamFlagMsg flag;
        if (flag.decode(message))
            (void)m->applyPeerEvent(peerevent::TeamFlag{flag.teamChange});
        return;
    }
    case netmsg::AirplaneStateChange: {
        netmsg::AirplaneStateChangeMsg change;
        if (change.decode(message))
            (void)m->applyPeerEvent(
                peerevent::StateChange{change.airplaneId, change.state, change.otherId, change.a, change.b});
        return;
    }
    default:
        // The rest is not for clients.
        return;
    }
}

// ---- send

void NetworkGameClient::sendReliable(int length)
{
    // What the mode posted before goes first: the order on the wire is the order of play.
    sendEvents();
    if (MatchTransport* t = transport(); t && length > 0)
        (void)t->queueReliable(m_buffer.data(), static_cast<std::size_t>(length), 0);
}

void NetworkGameClient::sendStates(float dt)
{
    NetworkGlobals& g = netGlobals();
    MatchTransport* t = transport();
    Target* own = ownAirplane();
    if (own && own->isActive() && t) {
        g.sendAccumulator += dt;
        if (g.sendAccumulator > 0.05f) {
            AirplaneNetState block;
            const int n = own->netState(block) ? encodeAirplaneState(block, {m_buffer.data(), netmsg::kMaxMessage}) : 0;
            if (n > 0 && netmsg::AirplaneStateMsg::frame({m_buffer.data(), static_cast<std::size_t>(n)}, own->id()))
                (void)t->sendUnreliable(m_buffer.data(), static_cast<std::size_t>(n), 0);
            g.sendAccumulator -= 0.05f;
            if (g.sendAccumulator > 0.05f)
                g.sendAccumulator = 0.0f;
        }
    }
    if (state == Waiting) {
        g.joinDelay -= dt;
        if (g.joinDelay < 0.0f) {
            netmsg::ReadyMsg ready;
            sendReliable(ready.encode(m_buffer));
            state = Playing;
        }
    }
}

void NetworkGameClient::sendEvents()
{
    GameMode* m = mode();
    if (m_sendingEvents || !m || m->outbox().empty())
        return;
    m_sendingEvents = true;
    for (const MatchEvent& e : m->outbox().take())
        sendEvent(e);
    m_sendingEvents = false;
}

void NetworkGameClient::sendEvent(const MatchEvent& event)
{
    std::visit([this](const auto& e) { sendEvent(e); }, event);
}

void NetworkGameClient::sendEventBytes(int length)
{
    if (MatchTransport* t = transport(); t && length > 0)
        (void)t->queueReliable(m_eventBuffer.data(), static_cast<std::size_t>(length), 0);
}

void NetworkGameClient::sendEvent(const matchevent::AirplaneDestroyed& e)
{
    // Only this machine's own airplane is reported; the host decides the rest.
    Target* own = ownAirplane();
    if (!own || !e.victim.refersTo(own))
        return;
    netmsg::AirplaneDestroyedMsg d;
    d.kind = static_cast<int>(e.cause);
    d.flags = e.flags;
    d.victimId = e.victim.id();
    d.killerId = -1;
    d.respawnTime = e.respawnTime;
    d.position = e.position;
    d.orientation = e.orientation;
    d.log("sent");
    sendEventBytes(d.encode(m_eventBuffer));
}

void NetworkGameClient::sendEvent(const matchevent::TeamRequest& e)
{
    // Only this machine's own airplane asks; the host's switch answers.
    Target* own = ownAirplane();
    if (!own || !e.airplane.refersTo(own) || own->kind() != TargetKind::Airplane)
        return;
    netmsg::TeamRequestMsg request;
    request.value = e.team;
    sendEventBytes(request.encode(m_eventBuffer));
}

void NetworkGameClient::sendEvent(const matchevent::FlaresLaunched& e)
{
    if (e.role != NetworkRole::Local)
        return;
    netmsg::FlaresMsg flares;
    sendEventBytes(flares.encodeClient(m_eventBuffer));
}

void NetworkGameClient::sendEvent(const matchevent::PilotEjected& e)
{
    if (e.role != NetworkRole::Local)
        return;
    netmsg::EjectMsg eject;
    sendEventBytes(eject.encodeClient(m_eventBuffer));
}

void NetworkGameClient::sendEvent(const matchevent::WeaponLaunched& e)
{
    if (e.owner.isEmpty() || e.ownerRole != NetworkRole::Local)
        return;
    netmsg::WeaponLaunchMsg launch;
    launch.weaponId = e.weaponId;
    launch.targetId = e.target.id();
    sendEventBytes(launch.encodeClient(m_eventBuffer));
}

void NetworkGameClient::sendEvent(const matchevent::Chat& e)
{
    netmsg::ChatMsg chat;
    chat.text = e.text;
    const int n = chat.encodeClient(m_eventBuffer);
    if (MatchTransport* t = transport(); t && n > 0)
        (void)t->sendUnreliable(m_eventBuffer.data(), static_cast<std::size_t>(n), 0);
}

void NetworkGameClient::sendEvent(const matchevent::WeaponHit& e)
{
    if (e.attacker.isEmpty() || e.victim.isEmpty())
        return;
    netmsg::WeaponHitMsg hit;
    hit.weaponId = e.weaponId;
    hit.victimId = e.victim.id();
    hit.attackerId = e.attacker.id();
    sendEventBytes(hit.encode(m_eventBuffer));
}
