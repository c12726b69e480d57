#include "net/transport/LanTransport.h"

#include "platform/ByteWriter.h"
#include "platform/Log.h"

#include <algorithm>
#include <cstring>
#include <random>

#include <arpa/inet.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {
// Connection tokens never repeat within a run, and start anywhere in a new one.
std::atomic<std::uint32_t> nextToken{std::random_device{}()};
}  // namespace

LanTransport::LanTransport() : LanTransport(Config{}) {}

LanTransport::LanTransport(Config config)
    : config_(std::move(config)), peers_(std::make_unique<std::array<Peer, kPeers>>())
{
    init(nullptr, 0);
}

LanTransport::~LanTransport()
{
    stopThread();
    closeSocket();
}

Clock::TimeStamp LanTransport::now() const
{
    if (config_.clock)
        return config_.clock();
    Clock::TimeStamp stamp;
    Clock::timeOfDay(stamp);
    return stamp;
}

std::int64_t LanTransport::since(const Clock::TimeStamp& then) const
{
    const Clock::TimeStamp at = now();
    const std::int64_t ms = (static_cast<std::int64_t>(at.seconds) - then.seconds) * 1000;
    return ms + (static_cast<std::int64_t>(at.microseconds) - then.microseconds) / 1000;
}

bool LanTransport::init(const std::uint8_t* identity, std::size_t length)
{
    if (length > kMaxBlob)
        return false;
    std::scoped_lock lock(callbackLock_, ringLock_);
    peerLimit_ = kPeers;
    identity_.fill(0);
    if (identity && length)
        std::memcpy(identity_.data(), identity, length);
    identityLength_ = static_cast<std::uint32_t>(length);
    ownIndex_ = 0;
    connectedCount_ = 0;
    connected_ = false;
    client_ = false;
    foundCount_ = 0;
    state_ = State::Closed;
    accepting_ = false;
    for (Peer& peer : *peers_) {
        resetPeer(peer);
        peer.lastHeard = peer.ackTimer = peer.resendRequestTimer = peer.sendTimer = now();
    }
    return true;
}

void LanTransport::resetRings(Peer& peer)
{
    for (int i = 0; i < kRing; ++i) {
        peer.receive[i].length = peer.send[i].length = 0;
        peer.receive[i].sent = peer.send[i].sent = 0;
        peer.sequenced[i].type = 12;
        peer.sequenced[i].length = 0;
    }
    peer.receiveFree = peer.sendFree = peer.sequencedFree = kRing - 1;
    peer.head = peer.readIndex = peer.lastAckedHead = 0;
    peer.base = peer.tail = peer.nextToSend = 0;
    peer.nextExpected = peer.sequencedRead = peer.sequencedSendCounter = 0;
    peer.lateRun = 0;
    peer.sequencedHeard = now();
    peer.narrowData = peer.narrowRequests = 0;
    peer.narrow = false;
}

void LanTransport::resetPeer(Peer& peer)
{
    resetRings(peer);
    peer.connected = false;
    peer.address = sockaddr_in{};
    peer.token = kNoToken;
}

sockaddr_in LanTransport::addressOf(std::uint32_t hostOrderAddress, std::uint16_t port) const
{
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = htonl(hostOrderAddress);
    return address;
}

bool LanTransport::startServer()
{
    if (socket_ < 0) {
        const int fd = ::socket(AF_INET, SOCK_DGRAM, 0);
        if (fd < 0) {
            logWarning("net", "no UDP socket: %s", std::strerror(errno));
            return false;
        }
        const sockaddr_in bindAddress = addressOf(INADDR_ANY, config_.bindPort);
        if (::bind(fd, reinterpret_cast<const sockaddr*>(&bindAddress), sizeof bindAddress) != 0) {
            // Hosting unbound would look like a game nobody can join.
            logWarning("net", "cannot bind port %u: %s", config_.bindPort, std::strerror(errno));
            ::close(fd);
            return false;
        }
        socket_ = fd;
    }
    client_ = false;
    accepting_ = true;
    state_ = State::Serving;
    return true;
}

int LanTransport::openClientSocket()
{
    if (socket_ < 0) {
        const int fd = ::socket(AF_INET, SOCK_DGRAM, 0);
        if (fd < 0)
            return -1;
        const int on = 1;
        if (::setsockopt(fd, SOL_SOCKET, SO_BROADCAST, &on, sizeof on) != 0) {
            ::close(fd);
            return -1;
        }
        socket_ = fd;
    }
    client_ = true;
    return 0;
}

void LanTransport::connectTo(std::uint32_t address, std::uint16_t port)
{
    openClientSocket();
    Peer& server = (*peers_)[0];
    {
        std::lock_guard lock(ringLock_);
        server.address = sockaddr_in{};
        server.address.sin_family = AF_INET;
        server.address.sin_port = htons(port);
        server.address.sin_addr.s_addr = address;
        // Rings still full of the last connection's numbers are not carried into the new one.
        if (server.connected.exchange(false))
            --connectedCount_;
        resetRings(server);
    }
    connected_ = false;
    refusal_ = Refusal::None;
    connectToken_ = nextToken++ & 0xFFFFu;
    sendConnect();
}

void LanTransport::dropServer()
{
    {
        std::lock_guard lock(ringLock_);
        Peer& server = (*peers_)[0];
        if (server.connected.exchange(false))
            --connectedCount_;
        resetPeer(server);
    }
    connected_ = false;
    state_ = State::Discovering;
}

void LanTransport::sendConnect()
{
    std::array<std::uint8_t, kBlobCapacity + 5> packet{};
    packet[0] = static_cast<std::uint8_t>(PacketType::Connect);
    packet[1] = kVersion;
    packet[2] = static_cast<std::uint8_t>(identityLength_);
    std::memcpy(packet.data() + 3, identity_.data(), identityLength_);
    // The connection's token after the identity: the host tells a retry from
    // the same socket (a new connection) from a repeat of this one.
    std::size_t length = identityLength_ + 3;
    if (const std::uint32_t token = connectToken_; token != kNoToken) {
        packet[length++] = static_cast<std::uint8_t>(token);
        packet[length++] = static_cast<std::uint8_t>(token >> 8);
    }
    Peer& server = (*peers_)[0];
    sockaddr_in to;
    {
        std::lock_guard lock(ringLock_);
        to = server.address;
        server.lastHeard = now();
    }
    // Connecting before the first packet leaves: a host on the same machine
    // answers at once, and an accept read before it would be dropped.
    state_ = State::Connecting;
    // A lost server leaves a cleared address: nothing goes out to it.
    if (to.sin_port != 0)
        sendTimes(to, packet.data(), length, 3);
}

void LanTransport::broadcastDiscovery()
{
    {
        std::lock_guard lock(callbackLock_);
        foundCount_ = 0;
    }
    discoveryTime_ = now();
    const std::uint8_t packet[3] = {static_cast<std::uint8_t>(PacketType::Discovery), kVersion, 0};
    sendTimes(addressOf(config_.discoveryAddress, config_.remotePort), packet, sizeof packet, 7);
    {
        std::lock_guard lock(ringLock_);
        Peer& server = (*peers_)[0];
        server.address.sin_port = 0;
        server.lastHeard = now();
    }
    state_ = State::Discovering;
}

void LanTransport::closeSocket()
{
    const int fd = socket_.exchange(-1);
    if (fd < 0)
        return;
    ::close(fd);
    state_ = State::Closed;
    for (Peer& peer : *peers_)
        peer.connected = false;
    connected_ = false;
}

std::uint16_t LanTransport::boundPort() const
{
    sockaddr_in address{};
    socklen_t size = sizeof address;
    if (socket_ < 0 || ::getsockname(socket_, reinterpret_cast<sockaddr*>(&address), &size) != 0)
        return 0;
    return ntohs(address.sin_port);
}

void LanTransport::sendTo(const sockaddr_in& to, const std::uint8_t* data, std::size_t length)
{
    if (config_.send) {
        config_.send(to, data, length);
        return;
    }
    const int fd = socket_;
    if (fd < 0)
        return;
    ::sendto(fd, data, length, MSG_NOSIGNAL, reinterpret_cast<const sockaddr*>(&to), sizeof to);
}

void LanTransport::sendTimes(const sockaddr_in& to, const std::uint8_t* data, std::size_t length, int times)
{
    for (int i = 0; i < times; ++i)
        sendTo(to, data, length);
}

void LanTransport::setPeerLimit(int limit)
{
    peerLimit_ = std::clamp(limit, 1, kPeers);
}

bool LanTransport::peerConnected(int peer) const
{
    return peer >= 0 && peer < kPeers && (*peers_)[peer].connected;
}

LanTransport::FreeCounts LanTransport::freeCounts(int peer) const
{
    std::lock_guard lock(ringLock_);
    if (peer < 0 || peer >= kPeers)
        return {};
    const Peer& p = (*peers_)[peer];
    return {p.receiveFree, p.sendFree, p.sequencedFree};
}

sockaddr_in LanTransport::peerAddress(int peer) const
{
    std::lock_guard lock(ringLock_);
    return peer >= 0 && peer < kPeers ? (*peers_)[peer].address : sockaddr_in{};
}

int LanTransport::queueReliable(const std::uint8_t* payload, std::size_t length, int peer)
{
    if (peer < 0 || peer >= kPeers || length == 0 || length > kMaxPayload)
        return -1;
    std::lock_guard lock(ringLock_);
    Peer& p = (*peers_)[peer];
    if (p.sendFree <= 0)
        return -1;
    ReliableSlot& slot = p.send[p.tail % kRing];
    slot.type = static_cast<std::uint8_t>(PacketType::Reliable);
    slot.sequence = p.tail;
    slot.sent = 0;
    std::memcpy(slot.payload.data(), payload, length);
    slot.length = static_cast<std::uint16_t>(length);
    --p.sendFree;
    ++p.tail;
    return 0;
}

int LanTransport::sendUnreliable(const std::uint8_t* payload, std::size_t length, int peer)
{
    if (peer < 0 || peer >= kPeers || length == 0 || length > kMaxPayload)
        return -1;
    std::array<std::uint8_t, kSlotPayload + 8> packet{};
    sockaddr_in to;
    {
        std::lock_guard lock(ringLock_);
        Peer& p = (*peers_)[peer];
        packet[1] = p.sequencedSendCounter;
        ++p.sequencedSendCounter;
        to = p.address;
    }
    packet[0] = static_cast<std::uint8_t>(PacketType::Sequenced);
    ByteWriter(std::span(packet).subspan(2, 2)).u16(static_cast<std::uint16_t>(length));
    packet[4] = static_cast<std::uint8_t>(ownIndex_);
    if (length)
        std::memcpy(packet.data() + 5, payload, length);
    packet[5 + length] = packet[1];
    if (to.sin_port != 0)
        sendTo(to, packet.data(), length + 6);
    return 0;
}

int LanTransport::peekAnyReliable(int& peer)
{
    std::lock_guard lock(ringLock_);
    for (int i = 0; i < kPeers; ++i) {
        const Peer& p = (*peers_)[i];
        // Only what arrived in order: the head stops at the first gap.
        if (p.readIndex != p.head) {
            peer = i;
            return p.receive[p.readIndex % kRing].length;
        }
    }
    return 0;
}

int LanTransport::takeReliable(int peer, std::uint8_t* out, std::size_t capacity)
{
    if (peer < 0 || peer >= kPeers)
        return 0;
    std::lock_guard lock(ringLock_);
    Peer& p = (*peers_)[peer];
    ReliableSlot& slot = p.receive[p.readIndex % kRing];
    const int length = slot.length;
    if (p.readIndex == p.head || length == 0 || static_cast<std::size_t>(length) > capacity)
        return 0;
    std::memcpy(out, slot.payload.data(), length);
    slot.length = 0;
    ++p.receiveFree;
    ++p.readIndex;
    return length;
}

int LanTransport::nextSequenced(Peer& p)
{
    // Everything waiting lies between the read number and the next expected
    // one (at most 63 apart); lost or dropped numbers leave empty slots.
    for (; p.sequencedRead != p.nextExpected; ++p.sequencedRead) {
        const SequencedSlot& slot = p.sequenced[p.sequencedRead % kRing];
        if (slot.length != 0 && slot.sequence == p.sequencedRead)
            return slot.length;
    }
    return 0;
}

int LanTransport::peekSequenced(int peer)
{
    if (peer < 0 || peer >= kPeers)
        return 0;
    std::lock_guard lock(ringLock_);
    return nextSequenced((*peers_)[peer]);
}

int LanTransport::peekAnySequenced(int& peer)
{
    for (int i = 0; i < kPeers; ++i) {
        if (const int length = peekSequenced(i)) {
            peer = i;
            return length;
        }
    }
    return 0;
}

int LanTransport::takeSequenced(int peer, std::uint8_t* out, std::size_t capacity)
{
    if (peer < 0 || peer >= kPeers)
        return 0;
    std::lock_guard lock(ringLock_);
    Peer& p = (*peers_)[peer];
    const int length = nextSequenced(p);
    if (length == 0 || static_cast<std::size_t>(length) > capacity)
        return 0;
    SequencedSlot& slot = p.sequenced[p.sequencedRead % kRing];
    std::memcpy(out, slot.payload.data(), length);
    slot.length = 0;
    ++p.sequencedFree;
    ++p.sequencedRead;
    return length;
}

void LanTransport::setClientConnected(ClientConnected callback)
{
    std::lock_guard lock(callbackLock_);
    clientConnected_ = std::move(callback);
}

void LanTransport::setClientDisconnected(ClientDisconnected callback)
{
    std::lock_guard lock(callbackLock_);
    clientDisconnected_ = std::move(callback);
}

void LanTransport::setServerListChanged(ServerListChanged callback)
{
    std::lock_guard lock(callbackLock_);
    serverListChanged_ = std::move(callback);
}

void LanTransport::setCopyServerInfo(CopyServerInfo callback)
{
    std::lock_guard lock(callbackLock_);
    copyServerInfo_ = std::move(callback);
}

std::vector<LanTransport::FoundServer> LanTransport::foundServers() const
{
    std::lock_guard lock(callbackLock_);
    return {found_.begin(), found_.begin() + foundCount_};
}

int LanTransport::threadLoop()
{
    running_ = true;
    while (!stop_)
        poll();
    running_ = false;
    return 0;
}

void LanTransport::startThread()
{
    if (thread_.joinable())
        return;
    stop_ = false;
    thread_ = std::thread(&LanTransport::threadMain, this);
}

void LanTransport::stopThread()
{
    stop_ = true;
    if (thread_.joinable())
        thread_.join();
}
