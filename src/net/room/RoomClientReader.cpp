// The main thread's reader of the room server's messages. Bytes are kept in
// the buffer until a whole message has arrived, so a server that stops in the
// middle of one never blocks the game.
#include "net/room/RoomClient.h"

#include "platform/ByteReader.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include <arpa/inet.h>
#include <poll.h>
#include <sys/socket.h>

namespace {

// The field at a message's offset; the message was checked to be long enough.
std::uint16_t u16(const std::uint8_t* at)
{
    std::uint16_t v = 0;
    ByteReader(std::span<const std::uint8_t>(at, 2)).u16(v);
    return v;
}

std::uint32_t u32(const std::uint8_t* at)
{
    std::uint32_t v = 0;
    ByteReader(std::span<const std::uint8_t>(at, 4)).u32(v);
    return v;
}

// The fixed size of each message type; 0 for the unknown ones.
std::size_t fixedSize(std::uint16_t type)
{
    switch (type) {
    case 2: case 7: case 11: case 16: case 27: return 2;
    case 8: return 4;
    case 10: return 12;
    case 12: case 13: return 36;
    case 14: return 307;
    case 18: return 8;
    case 28: return 130;
    case 29: return 514;
    case 30: return 1023;
    case 31: return RoomClient::kInfoHead;
    default: return 0;
    }
}

// A zero-terminated copy of a text field that may lack its terminator.
template <std::size_t N>
const char* boundedText(std::array<char, N>& out, const std::uint8_t* at, std::size_t field)
{
    const std::size_t length = strnlen(reinterpret_cast<const char*>(at), std::min(field, N - 1));
    std::memcpy(out.data(), at, length);
    out[length] = 0;
    return out.data();
}

}  // namespace

std::size_t RoomClient::messageSize(bool& fatal) const
{
    fatal = false;
    if (buffered_ < 2)
        return 0;
    const std::uint16_t type = u16(buffer_.data());
    const std::size_t size = fixedSize(type);
    if (size == 0)
        return 1;  // unknown (and type 9): one byte is dropped
    if (type == 31 && buffered_ >= kInfoHead) {
        const std::uint32_t extra = u32(&buffer_[2]);
        if (extra != 0 && buffer_[38] != 0) {
            if (extra > kInfoExtraMax) {
                fatal = true;
                return 0;
            }
            return buffered_ >= kInfoHead + extra ? kInfoHead + extra : 0;
        }
    }
    return buffered_ >= size ? size : 0;
}

void RoomClient::poll(bool wait)
{
    bool justConnected = false;
    if (threadStarted_ && finished_) {
        joinThread();
        threadStarted_ = false;
        justConnected = connected_;
        if (listener_) {
            if (connected_)
                listener_->onConnected();
            else
                listener_->onConnectFailed();
        }
    }
    bool firstPass = true;
    while (connected_) {
        const int fd = socket_;
        pollfd readable{fd, POLLIN, 0};
        const int ready = ::poll(&readable, 1, wait && firstPass ? 1 : 0);
        firstPass = false;
        if (ready < 0) {
            std::perror("kevent error: ");
            return;
        }
        if (ready == 0 || !(readable.revents & (POLLIN | POLLHUP | POLLERR)))
            return;
        const ssize_t got = ::recv(fd, buffer_.data() + buffered_, buffer_.size() - buffered_, MSG_DONTWAIT);
        if (got < 0 && (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR))
            return;
        if (got <= 0) {
            lostConnection(justConnected);
            return;
        }
        buffered_ += static_cast<std::size_t>(got);
        if (!handleBuffered())
            return;
    }
}

bool RoomClient::handleBuffered()
{
    for (;;) {
        bool fatal = false;
        const std::size_t size = messageSize(fatal);
        if (fatal) {
            // Longer than the buffer can hold: the stream cannot be trusted.
            closeSocket();
            state_ = State::Idle;
            if (listener_)
                listener_->onDisconnected();
            return false;
        }
        if (size == 0)
            return true;
        if (!handleMessage(size))
            return false;
    }
}

void RoomClient::feed(const std::uint8_t* data, std::size_t length)
{
    while (length > 0) {
        const std::size_t take = std::min(length, buffer_.size() - buffered_);
        std::memcpy(buffer_.data() + buffered_, data, take);
        buffered_ += take;
        data += take;
        length -= take;
        if (!handleBuffered())
            return;
    }
}

bool RoomClient::handleMessage(std::size_t size)
{
    std::array<std::uint8_t, kBuffer> message{};
    std::memcpy(message.data(), buffer_.data(), size);
    buffered_ -= size;
    std::memmove(buffer_.data(), buffer_.data() + size, buffered_);
    if (size == 1)
        return true;
    const std::uint16_t type = u16(message.data());
    const State state = state_;
    IRoomServerListener* listener = listener_;
    std::array<char, kBuffer> text{};
    switch (type) {
    case 2:
        if (state == State::CreatePending)
            state_ = State::Succeeded;
        break;
    case 7:
        if (state == State::JoinPending)
            state_ = State::Succeeded;
        break;
    case 8:
        errorCode_ = u16(&message[2]);
        if (state == State::JoinPending || state == State::CreatePending)
            state_ = State::Failed;
        break;
    case 10:
        if ((state == State::Succeeded || state == State::Connected) && listener) {
            std::uint32_t address = 0;
            std::memcpy(&address, &message[4], 4);
            if (address == 0)
                address = address_.sin_addr.s_addr;
            listener->onJoinServer(address, u16(&message[2]), u32(&message[8]));
        }
        break;
    case 11:
        if ((state == State::Succeeded || state == State::Connected) && listener)
            listener->onConnectionLost();
        break;
    case 12:
    case 13:
        if (listener) {
            const char* notice = boundedText(text, &message[4], 32);
            if (type == 12)
                listener->onRoomNotice(notice, u16(&message[2]));
            else
                listener->onRoomNotice2(notice, u16(&message[2]));
        }
        break;
    case 14:
        if (state != State::Succeeded && listener)
            listener->onRoomEntry(message.data());
        if (state_ == State::DetailsPending)
            state_ = State::Failed;
        break;
    case 16:
        serverClosed();
        return false;
    case 18: {
        std::uint32_t address = 0;
        std::memcpy(&address, &message[2], 4);
        redirect(address, u16(&message[6]));
        return false;
    }
    case 27:
        if (listener)
            listener->onRoomLeft();
        break;
    case 28:
    case 29:
    case 30:
        if (listener)
            listener->onRoomError(boundedText(text, &message[2], size - 2));
        break;
    case 31:
        if (listener)
            listener->onRoomInfo(message.data(), size);
        if (state_ == State::DetailsPending)
            state_ = State::Failed;
        break;
    default:
        break;
    }
    return true;
}

void RoomClient::lostConnection(bool retry)
{
    closeSocket();
    if (retry && retries_ > 0) {
        --retries_;
        resolved_ = false;
        if (connect() == 0)
            return;
    }
    state_ = State::Idle;
    connected_ = false;
    if (listener_)
        listener_->onDisconnected();
}

void RoomClient::serverClosed()
{
    lostConnection(true);
}

void RoomClient::redirect(std::uint32_t address, std::uint16_t port)
{
    closeSocket();
    address_ = sockaddr_in{};
    address_.sin_family = AF_INET;
    address_.sin_addr.s_addr = address;
    address_.sin_port = htons(port);
    resolved_ = true;
    retries_ = 0;
    if (connect() == 0)
        return;
    state_ = State::Idle;
    connected_ = false;
    if (listener_)
        listener_->onDisconnected();
}
