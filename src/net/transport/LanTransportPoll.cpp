// The network thread's side of the transport: one pass of poll, the handler
// of received datagrams and the per-peer upkeep (acknowledgements, resends,
// time-outs).
#include "net/transport/LanTransport.h"

#include "platform/ByteReader.h"
#include "platform/ByteWriter.h"
#include "platform/Log.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include <arpa/inet.h>
#include <poll.h>
#include <sys/socket.h>

namespace {

// Carries over from one transport to the next, like the announce bursts do.
std::atomic<int> announceCountdown{0};

constexpr std::int64_t kAckDelayMs = 50;
constexpr int kAckBacklog = 35;
constexpr std::int64_t kResendMs = 100;
constexpr std::int64_t kTimeoutMs = 7000;
constexpr std::int64_t kRestartMs = 700;
constexpr std::int64_t kReconnectMs = 3000;
// A sequenced message up to half the number ring ahead of the next expected
// one is new, anything behind it is late: after a dead spell of any length
// short of 128 messages the next one to arrive is handed out.
constexpr int kSequencedWindow = 128;
// Late numbers in a row, each newer than the last, after a dead spell of 128
// or more: the sender has moved on, and the receiver follows it. At most 80
// a second come (eight airplanes), so such a spell lasts a second and more;
// copies held back on the way come far sooner.
constexpr int kLateRunToFollow = 4;
constexpr std::int64_t kSequencedSilenceMs = 1000;
// A six-bit peer past its 64th reliable message resends the number 64 below
// the one expected every 100 ms and names our base 64 below in its requests;
// a peer of ours never does either.
constexpr int kNarrowSigns = 10;
// A host names its refusals in the log once per asker and this long.
constexpr std::int64_t kRefusalLogMs = 3000;

// Sequence numbers run over the whole byte; a ring slot is the low six bits.
std::uint8_t distance(std::uint8_t from, std::uint8_t to)
{
    return static_cast<std::uint8_t>(to - from);
}

std::uint8_t next(std::uint8_t sequence)
{
    return static_cast<std::uint8_t>(sequence + 1);
}

int slotOf(std::uint8_t sequence)
{
    return sequence % LanTransport::kRing;
}

bool sameAddress(const sockaddr_in& a, const sockaddr_in& b)
{
    return a.sin_addr.s_addr == b.sin_addr.s_addr && a.sin_port == b.sin_port;
}

// A connect: the identity with its length, then perhaps the two-byte token.
bool isConnect(const std::uint8_t* data, std::size_t length)
{
    return length >= 3 && data[0] == 0 && data[1] == LanTransport::kVersion &&
           (static_cast<std::size_t>(data[2]) + 3 == length || static_cast<std::size_t>(data[2]) + 5 == length);
}

std::uint32_t tokenOf(const std::uint8_t* data, std::size_t length)
{
    if (static_cast<std::size_t>(data[2]) + 5 != length)
        return LanTransport::kNoToken;
    return data[length - 2] | static_cast<std::uint32_t>(data[length - 1]) << 8;
}

const char* refusalText(LanTransport::Refusal reason)
{
    return reason == LanTransport::Refusal::Full ? "the game is full" : "the match takes no new players now";
}

// The payload length at bytes 2-3 of a reliable or sequenced packet (its
// length was checked to hold the header).
std::size_t lengthField(const std::uint8_t* packet)
{
    std::uint16_t length = 0;
    ByteReader(std::span<const std::uint8_t>(packet + 2, 2)).u16(length);
    return length;
}
}  // namespace

int LanTransport::findPeer(const sockaddr_in& from) const
{
    for (int i = 0; i < kPeers; ++i) {
        const Peer& peer = (*peers_)[i];
        if (peer.connected && sameAddress(peer.address, from))
            return i;
    }
    return -1;
}

int LanTransport::findFreeSlot() const
{
    for (int i = 0; i < peerLimit_; ++i)
        if (!(*peers_)[i].connected)
            return i;
    return -1;
}

bool LanTransport::poll()
{
    const int fd = socket_;
    if (fd < 0)
        return false;
    pollfd wait{fd, POLLIN, 0};
    const timespec timeout{0, static_cast<long>(config_.waitMicroseconds) * 1000};
    const int ready = ::ppoll(&wait, 1, &timeout, nullptr);
    announce();
    const bool readable = ready > 0 && (wait.revents & POLLIN);
    if (readable) {
        sockaddr_in from{};
        socklen_t fromSize = sizeof from;
        // MSG_TRUNC gives the real size, so an oversized datagram is seen and discarded.
        const ssize_t got = ::recvfrom(fd, receiveBuffer_.data(), receiveBuffer_.size(), MSG_TRUNC,
                                       reinterpret_cast<sockaddr*>(&from), &fromSize);
        if (got > 0 && static_cast<std::size_t>(got) <= receiveBuffer_.size())
            handleDatagram(receiveBuffer_.data(), static_cast<std::size_t>(got), from);
    }
    if (client_ && !connected_) {
        bool retry = false;
        {
            // The main thread's connect writes both.
            std::lock_guard lock(ringLock_);
            const Peer& server = (*peers_)[0];
            retry = since(server.lastHeard) > kReconnectMs &&
                    (server.address.sin_port != 0 || state_ == State::Connecting);
        }
        if (retry)
            sendConnect();
        return readable;
    }
    for (int i = 0; i < peerLimit_; ++i)
        if ((*peers_)[i].connected)
            upkeep(i);
    return readable;
}

void LanTransport::announce()
{
    if (client_ || !accepting_ || connectedCount_ != 0 || state_ != State::Serving)
        return;
    if (--announceCountdown >= 0)
        return;
    announceCountdown = 20;
    if (config_.announceAddress == 0)
        return;
    std::array<std::uint8_t, kBlobCapacity + 2> packet{};
    packet[0] = static_cast<std::uint8_t>(PacketType::Description);
    packet[1] = static_cast<std::uint8_t>(identityLength_);
    std::memcpy(packet.data() + 2, identity_.data(), identityLength_);
    sendTimes(addressOf(config_.announceAddress, config_.remotePort), packet.data(), identityLength_ + 2, 3);
}

void LanTransport::handleDatagram(const std::uint8_t* data, std::size_t length, const sockaddr_in& from)
{
    if (length == 0 || length > kReceiveBuffer)
        return;
    // Nobody connects to a client: a connect naming its host as the sender is
    // forged, and taken as a new connection it would empty the rings of one
    // side alone and stall the match.
    if (client_ && data[0] == static_cast<std::uint8_t>(PacketType::Connect))
        return;
    const int index = findPeer(from);
    if (client_ && !connected_) {
        handleUnconnectedClient(data, length, from);
        return;
    }
    if (index >= 0) {
        handleKnownPeer(index, data, length);
        return;
    }
    if (client_)
        return;  // a connected client drops strangers
    if (!accepting_)
        refuse(data, length, from, refuseWith_);
    else if (connectedCount_ < peerLimit_)
        handleNewcomer(data, length, from);
    else
        refuse(data, length, from, Refusal::Full);
}

void LanTransport::handleUnconnectedClient(const std::uint8_t* data, std::size_t length, const sockaddr_in& from)
{
    const auto type = static_cast<PacketType>(data[0]);
    Peer& server = (*peers_)[0];
    if (type == PacketType::Refused && length == 2 && state_ == State::Connecting) {
        std::lock_guard lock(ringLock_);
        if (server.address.sin_port == 0 || !sameAddress(server.address, from))
            return;
        // No more asking: the host said why.
        refusal_ = data[1] == static_cast<std::uint8_t>(Refusal::Full) ? Refusal::Full : Refusal::Closed;
        server.address = sockaddr_in{};
        return;
    }
    if (type == PacketType::Accept && (length == 2 || length == 4) && state_ == State::Connecting) {
        if (data[1] >= kPeers)
            return;
        // An accept of an earlier connect from this socket is not this connection's.
        const std::uint32_t token = connectToken_;
        if (length == 4 && token != kNoToken && (data[2] | data[3] << 8) != static_cast<int>(token))
            return;
        {
            // Only the host asked may accept: anyone else on the network
            // could otherwise become this client's host.
            std::lock_guard lock(ringLock_);
            if (server.address.sin_port == 0 || !sameAddress(server.address, from))
                return;
            server.lastHeard = now();
        }
        {
            // A new connection: the host's slot numbers from 0 as well.
            std::lock_guard lock(ringLock_);
            resetRings(server);
        }
        if (!server.connected.exchange(true))
            ++connectedCount_;
        ownIndex_ = data[1];
        connected_ = true;
        return;
    }
    if (type != PacketType::Description || state_ != State::Discovering || length < 2 ||
        static_cast<std::size_t>(data[1]) + 2 != length)
        return;
    {
        std::lock_guard lock(ringLock_);
        server.lastHeard = now();
    }
    const std::int64_t ping = since(discoveryTime_);
    std::lock_guard lock(callbackLock_);
    FoundServer* entry = nullptr;
    for (int i = 0; i < foundCount_; ++i)
        if (found_[i].address == from.sin_addr.s_addr)
            entry = &found_[i];
    if (!entry) {
        if (foundCount_ >= kMaxFound)
            return;
        entry = &found_[foundCount_++];
        entry->address = from.sin_addr.s_addr;
        entry->quality = ping > 400 ? 0.0f : static_cast<float>(5 - ping * 5 / 400);
    }
    entry->info.fill(0);
    std::memcpy(entry->info.data(), data + 2, data[1]);
    if (serverListChanged_)
        serverListChanged_();
}

void LanTransport::handleNewcomer(const std::uint8_t* data, std::size_t length, const sockaddr_in& from)
{
    if (!accepting_)
        return;
    const auto type = static_cast<PacketType>(data[0]);
    if (type == PacketType::Connect && isConnect(data, length)) {
        const int slot = findFreeSlot();
        if (slot < 0)
            return;
        std::array<std::uint8_t, kBlobCapacity> identity{};
        std::memcpy(identity.data(), data + 3, data[2]);
        Peer& peer = (*peers_)[slot];
        {
            std::lock_guard lock(ringLock_);
            // What was queued to the slot's last holder after it went is not this client's.
            resetRings(peer);
            peer.address = from;
            peer.token = tokenOf(data, length);
            peer.lastHeard = peer.ackTimer = peer.resendRequestTimer = peer.sendTimer = now();
        }
        peer.connected = true;
        ++connectedCount_;
        connected_ = true;
        {
            std::lock_guard lock(callbackLock_);
            if (clientConnected_)
                clientConnected_(slot, identity.data());
        }
        sendAccept(from, slot, tokenOf(data, length));
        return;
    }
    if (type == PacketType::Discovery && length == 3 && data[1] == kVersion) {
        std::array<std::uint8_t, kBlobCapacity + 2> packet{};
        {
            std::lock_guard lock(callbackLock_);
            if (copyServerInfo_) {
                std::uint32_t size = identityLength_;
                copyServerInfo_(identity_.data(), &size);
                identityLength_ = size <= kMaxBlob ? size : static_cast<std::uint32_t>(kMaxBlob);
            }
        }
        packet[0] = static_cast<std::uint8_t>(PacketType::Description);
        packet[1] = static_cast<std::uint8_t>(identityLength_);
        std::memcpy(packet.data() + 2, identity_.data(), identityLength_);
        sendTimes(from, packet.data(), identityLength_ + 2, 3);
    }
}

void LanTransport::sendAccept(const sockaddr_in& to, int slot, std::uint32_t token)
{
    // The token comes back, so a client knows the accept is for its latest connect.
    std::uint8_t accept[4] = {static_cast<std::uint8_t>(PacketType::Accept), static_cast<std::uint8_t>(slot),
                              static_cast<std::uint8_t>(token), static_cast<std::uint8_t>(token >> 8)};
    sendTimes(to, accept, token == kNoToken ? 2 : 4, 3);
}

void LanTransport::refuse(const std::uint8_t* data, std::size_t length, const sockaddr_in& from, Refusal reason)
{
    if (reason == Refusal::None || !isConnect(data, length))
        return;
    const std::uint8_t packet[2] = {static_cast<std::uint8_t>(PacketType::Refused), static_cast<std::uint8_t>(reason)};
    sendTimes(from, packet, sizeof packet, 3);
    // The asker repeats its connect; the log names it once.
    if (sameAddress(lastRefused_, from) && since(lastRefusedAt_) <= kRefusalLogMs)
        return;
    lastRefused_ = from;
    lastRefusedAt_ = now();
    char address[INET_ADDRSTRLEN] = "?";
    ::inet_ntop(AF_INET, &from.sin_addr, address, sizeof address);
    logInfo("net", "turned a join from %s:%u away: %s", address, ntohs(from.sin_port), refusalText(reason));
}

void LanTransport::handleKnownPeer(int index, const std::uint8_t* data, std::size_t length)
{
    Peer& peer = (*peers_)[index];
    const auto type = static_cast<PacketType>(data[0]);
    if (type == PacketType::Connect) {
        if (!isConnect(data, length))
            return;
        // A new token is a new connection from the same socket (a retry);
        // without one, only a peer silent for a while can have restarted.
        const std::uint32_t token = tokenOf(data, length);
        bool fresh = false;
        {
            std::lock_guard lock(ringLock_);
            fresh = token != kNoToken ? token != peer.token : since(peer.lastHeard) > kRestartMs;
            peer.lastHeard = now();
            if (fresh) {
                // Both sides number both kinds from 0 again.
                resetRings(peer);
                peer.token = token;
            }
        }
        sendAccept(peer.address, index, token);
        if (!fresh)
            return;
        std::array<std::uint8_t, kBlobCapacity> identity{};
        std::memcpy(identity.data(), data + 3, data[2]);
        logInfo("net", "peer %d connected again: a new connection", index);
        std::lock_guard lock(callbackLock_);
        if (clientDisconnected_)
            clientDisconnected_(index);
        if (clientConnected_)
            clientConnected_(index, identity.data());
        return;
    }
    std::lock_guard lock(ringLock_);
    switch (type) {
    case PacketType::Ack:
        if (length >= 4) {
            peer.lastHeard = now();
            receiveAck(peer, data[1]);
        }
        break;
    case PacketType::ResendRequest:
        if (length >= 4) {
            peer.lastHeard = now();
            const std::uint8_t asked = data[1];
            if (asked != peer.base && slotOf(asked) == slotOf(peer.base))
                peer.narrow = peer.narrow || ++peer.narrowRequests >= kNarrowSigns;
            else if (distance(peer.base, asked) <= distance(peer.base, windowEnd(peer)))
                peer.narrowRequests = 0;
            resendOne(peer, asked);
        }
        break;
    case PacketType::Reliable:
    case PacketType::ReliableResent:
        receiveReliable(peer, data, length);
        break;
    case PacketType::Sequenced:
        receiveSequenced(index, peer, data, length);
        break;
    default:
        break;
    }
}

void LanTransport::receiveAck(Peer& peer, std::uint8_t acked)
{
    // Only what went out can be acknowledged, and nothing goes out at or
    // past the window's end: anything else is a stale or foreign number.
    if (distance(peer.base, acked) >= distance(peer.base, windowEnd(peer)))
        return;
    const ReliableSlot& last = peer.send[slotOf(acked)];
    if (last.length == 0 || last.sent != 1 || last.sequence != acked)
        return;
    for (std::uint8_t i = peer.base;; i = next(i)) {
        ReliableSlot& slot = peer.send[slotOf(i)];
        if (slot.length != 0) {
            slot.length = 0;
            slot.sent = 0;
            ++peer.sendFree;
        }
        if (i == acked)
            break;
    }
    peer.base = next(acked);
    if (distance(peer.base, peer.nextToSend) > distance(peer.base, peer.tail))
        peer.nextToSend = peer.base;
}

void LanTransport::receiveReliable(Peer& peer, const std::uint8_t* data, std::size_t length)
{
    if (peer.receiveFree <= 0 || length < 5 || data[length - 1] != data[1])
        return;
    const std::size_t declared = lengthField(data);
    if (declared + 5 != length || declared == 0 || declared > kMaxPayload)
        return;
    peer.lastHeard = now();
    const std::uint8_t sequence = data[1];
    if (sequence != peer.head && slotOf(sequence) == slotOf(peer.head))
        peer.narrow = peer.narrow || ++peer.narrowData >= kNarrowSigns;
    if (data[0] == static_cast<std::uint8_t>(PacketType::ReliableResent) && sequence != peer.head)
        return;
    if (distance(peer.head, sequence) >= kWindow) {
        // A copy of a slot delivered already: the sender never heard our
        // acknowledgement and would resend its base for ever, so the next
        // upkeep acknowledges the head again.
        if (peer.lastAckedHead == peer.head)
            peer.lastAckedHead = static_cast<std::uint8_t>(peer.head - 1);
        return;
    }
    // A full slot holds this number already or an older one not yet taken.
    ReliableSlot& slot = peer.receive[slotOf(sequence)];
    if (slot.length != 0)
        return;
    std::memcpy(slot.payload.data(), data + 4, declared);
    slot.length = static_cast<std::uint16_t>(declared);
    slot.sequence = sequence;
    --peer.receiveFree;
    peer.narrowData = 0;
    if (sequence != peer.head)
        return;
    for (int i = 0; i < kRing; ++i) {
        const ReliableSlot& at = peer.receive[slotOf(peer.head)];
        if (at.length == 0 || at.sequence != peer.head)
            break;
        peer.head = next(peer.head);
    }
    peer.resendRequestTimer = now();
}

void LanTransport::receiveSequenced(int index, Peer& peer, const std::uint8_t* data, std::size_t length)
{
    if (length < 6 || data[length - 1] != data[1])
        return;
    // A server's clients send their slot; a server sends 0, its client's peer index for it.
    if (data[4] != index)
        return;
    const std::size_t declared = lengthField(data);
    if (declared + 6 != length || declared == 0 || declared > kMaxPayload)
        return;
    peer.lastHeard = now();
    const std::uint8_t sequence = data[1];
    if (distance(peer.nextExpected, sequence) >= kSequencedWindow) {
        // Late copies come alone; a run that keeps going forward is the
        // sender numbering on past a dead spell of 128 or more.
        const int step = distance(peer.lastLate, sequence);
        const bool onward = peer.lateRun > 0 && step >= 1 && step < kSequencedWindow;
        peer.lateRun = onward ? peer.lateRun + 1 : 1;
        peer.lastLate = sequence;
        if (peer.lateRun < kLateRunToFollow || since(peer.sequencedHeard) <= kSequencedSilenceMs)
            return;
        // What still waits is older than anything the sender has now.
        for (SequencedSlot& old : peer.sequenced)
            old.length = 0;
        peer.sequencedFree = kRing - 1;
        peer.sequencedRead = peer.nextExpected = sequence;
    }
    peer.lateRun = 0;
    peer.sequencedHeard = now();
    // The reader takes numbers in order, so a new message never lands among
    // older unread ones: the oldest make room (they are stale by now).
    while (distance(peer.sequencedRead, sequence) >= kRing - 1) {
        SequencedSlot& old = peer.sequenced[slotOf(peer.sequencedRead)];
        if (old.length != 0 && old.sequence == peer.sequencedRead) {
            old.length = 0;
            ++peer.sequencedFree;
        }
        peer.sequencedRead = next(peer.sequencedRead);
    }
    SequencedSlot& slot = peer.sequenced[slotOf(sequence)];
    if (slot.length != 0)
        return;  // cannot be: everything waiting is older and at most 62 back
    std::memcpy(slot.payload.data(), data + 5, declared);
    slot.length = static_cast<std::uint16_t>(declared);
    slot.sequence = sequence;
    slot.sender = data[4];
    --peer.sequencedFree;
    peer.nextExpected = next(sequence);
}

void LanTransport::sendControl(Peer& peer, PacketType type, std::uint8_t value)
{
    const std::uint8_t packet[4] = {static_cast<std::uint8_t>(type), value, 0, 0};
    sendTo(peer.address, packet, sizeof packet);
}

void LanTransport::sendSlot(Peer& peer, ReliableSlot& slot, PacketType type)
{
    sendBuffer_[0] = static_cast<std::uint8_t>(type);
    sendBuffer_[1] = slot.sequence;
    ByteWriter(std::span(sendBuffer_).subspan(2, 2)).u16(slot.length);
    std::memcpy(sendBuffer_.data() + 4, slot.payload.data(), slot.length);
    sendBuffer_[4 + slot.length] = slot.sequence;
    sendTo(peer.address, sendBuffer_.data(), slot.length + 5u);
    slot.sent = 1;
}

void LanTransport::resendOne(Peer& peer, std::uint8_t sequence)
{
    if (distance(peer.base, sequence) >= distance(peer.base, windowEnd(peer)))
        return;
    ReliableSlot& slot = peer.send[slotOf(sequence)];
    if (slot.length == 0 || slot.sequence != sequence)
        return;
    sendSlot(peer, slot, PacketType::ReliableResent);
    peer.sendTimer = now();
}

std::uint8_t LanTransport::windowEnd(const Peer& peer) const
{
    // The end itself is outside: nothing 32 or more past the base goes out,
    // so the receiver never runs further ahead of the base than it takes.
    return distance(peer.base, peer.tail) > kWindow ? static_cast<std::uint8_t>(peer.base + kWindow) : peer.tail;
}

void LanTransport::resendFrom(Peer& peer, std::uint8_t start, int count)
{
    const std::uint8_t end = windowEnd(peer);
    if (distance(peer.base, start) >= distance(peer.base, end))
        return;
    int run = distance(start, end);
    if (count != 0 && count < run)
        run = count;
    for (int i = 0; i < run; ++i) {
        ReliableSlot& slot = peer.send[slotOf(static_cast<std::uint8_t>(start + i))];
        if (slot.length != 0)
            sendSlot(peer, slot, PacketType::Reliable);
    }
}

void LanTransport::upkeep(int index)
{
    Peer& peer = (*peers_)[index];
    bool narrow = false;
    {
        std::lock_guard lock(ringLock_);
        narrow = peer.narrow;
    }
    if (narrow) {
        // Served on, it would stall for good; the reason goes to the log.
        logWarning("net", "peer %d numbers its messages in six bits (an older version of the game): disconnected",
                   index);
        dropPeer(index);
        return;
    }
    {
        std::lock_guard lock(ringLock_);
        const int backlog = distance(peer.lastAckedHead, peer.head);
        if (backlog > kAckBacklog || (backlog != 0 && since(peer.ackTimer) > kAckDelayMs)) {
            sendControl(peer, PacketType::Ack, static_cast<std::uint8_t>(peer.head - 1));
            peer.lastAckedHead = peer.head;
            peer.ackTimer = now();
        }
        // Also the keep-alive that refreshes the other side's last heard.
        if (since(peer.resendRequestTimer) > kResendMs) {
            sendControl(peer, PacketType::ResendRequest, peer.head);
            peer.resendRequestTimer = now();
        }
        const bool baseFilled = peer.send[slotOf(peer.base)].length != 0;
        if (baseFilled && since(peer.sendTimer) > kResendMs) {
            resendFrom(peer, peer.base, 5);
            peer.sendTimer = now();
            peer.nextToSend = windowEnd(peer);
        } else if (baseFilled && peer.nextToSend != windowEnd(peer)) {
            resendFrom(peer, peer.nextToSend, 0);
            peer.nextToSend = windowEnd(peer);
            peer.sendTimer = now();
        }
    }
    if (since(peer.lastHeard) > kTimeoutMs)
        dropPeer(index);
}

void LanTransport::dropPeer(int index)
{
    Peer& peer = (*peers_)[index];
    peer.connected = false;
    if (!client_) {
        std::lock_guard lock(callbackLock_);
        if (clientDisconnected_)
            clientDisconnected_(index);
    }
    --connectedCount_;
    {
        std::lock_guard lock(ringLock_);
        resetPeer(peer);
    }
    if (connectedCount_ <= 0) {
        connectedCount_ = 0;
        connected_ = false;
    }
    if (client_)
        sendConnect();  // to the cleared address: nothing goes out
    else
        state_ = State::Serving;
}
