#include "net/room/RoomClient.h"

#include "platform/ByteWriter.h"
#include "platform/Log.h"

#include <chrono>
#include <cstring>

#include <arpa/inet.h>
#include <netdb.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <unistd.h>

std::atomic<int> RoomClient::fixedServer{-1};

namespace {

// A text in a zero-padded field, always leaving a terminator.
void putText(ByteWriter& w, std::size_t field, const std::string& text)
{
    const std::size_t n = std::min(text.size(), field - 1);
    w.bytes(text.data(), n);
    w.zeros(field - n);
}

}  // namespace

std::array<RoomClient::Endpoint, RoomClient::kEntries> RoomClient::makeTable(const Endpoint& first,
                                                                            const Endpoint& second,
                                                                            const Endpoint& third)
{
    return {first, second, third, first, second, third, second};
}

bool RoomClient::parseEndpoint(const std::string& text, Endpoint& out)
{
    const std::size_t colon = text.rfind(':');
    Endpoint endpoint;
    endpoint.host = text.substr(0, colon);
    if (colon != std::string::npos) {
        const std::string port = text.substr(colon + 1);
        if (port.empty() || port.size() > 5 || port.find_first_not_of("0123456789") != std::string::npos)
            return false;
        const unsigned long value = std::stoul(port);
        if (value == 0 || value > 65535)
            return false;
        endpoint.port = static_cast<std::uint16_t>(value);
    }
    if (endpoint.host.empty())
        return false;
    out = endpoint;
    return true;
}

RoomClient::Config RoomClient::configFor(const std::string& text)
{
    Endpoint endpoint{"127.0.0.1", kDefaultPort};
    if (!parseEndpoint(text, endpoint))
        logWarning("net", "room server \"%s\" is not HOST[:PORT]; using %s", text.c_str(), endpoint.host.c_str());
    Config config;
    config.table = makeTable(endpoint, endpoint, endpoint);
    return config;
}

RoomClient::RoomClient() : RoomClient(Config{}) {}

RoomClient::RoomClient(Config config) : config_(std::move(config))
{
    for (Endpoint& endpoint : config_.table)
        if (endpoint.host.empty())
            endpoint = {"127.0.0.1", kDefaultPort};
    const int fixed = fixedServer;
    serverIndex_ = fixed == -1 ? 0 : fixed;
}

bool RoomClient::setConfig(Config config)
{
    if (connected_ || threadStarted_)
        return false;
    config_ = std::move(config);
    resolved_ = false;
    return true;
}

RoomClient::~RoomClient()
{
    joinThread();
    closeSocket();
}

void RoomClient::sleepMs(int ms) const
{
    if (config_.sleep)
        config_.sleep(ms);
    else
        std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

void RoomClient::joinThread()
{
    if (thread_.joinable())
        thread_.join();
}

int RoomClient::connectAsync(const char* name, std::uint16_t aircraft, std::uint32_t rank)
{
    return startConnect(name, aircraft, rank, false);
}

int RoomClient::connectAsyncFlagged(const char* name, std::uint16_t aircraft, std::uint32_t rank)
{
    return startConnect(name, aircraft, rank, true);
}

int RoomClient::startConnect(const char* name, std::uint16_t aircraft, std::uint32_t rank, bool flagged)
{
    // Two connect threads would write one socket and state.
    joinThread();
    if (name) {
        name_.fill(0);
        std::strncpy(name_.data(), name, name_.size() - 1);
    }
    aircraft_ = aircraft;
    rank_ = rank;
    helloFlag_ = flagged ? 1 : 0;
    retries_ = 7;
    const int fixed = fixedServer;
    serverIndex_ = fixed == -1 ? 0 : fixed;
    entry_ = 0;
    resolved_ = false;
    finished_ = false;
    threadStarted_ = true;
    thread_ = std::thread([this] {
        connect();
        finished_ = true;
    });
    return 0;
}

bool RoomClient::resolveServer()
{
    address_ = sockaddr_in{};
    resolved_ = false;
    const int fixed = fixedServer;
    if (fixed == -1) {
        if (serverIndex_ < 0 || serverIndex_ >= kEntries)
            serverIndex_ = 0;
        entry_ = serverIndex_;
        serverIndex_ = (serverIndex_ + 1) % kEntries;
    } else {
        entry_ = fixed >= 0 && fixed < kEntries ? fixed : 0;
    }
    if (config_.onAttempt)
        config_.onAttempt(entry_);
    const Endpoint& endpoint = config_.table[entry_];
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* result = nullptr;
    if (::getaddrinfo(endpoint.host.c_str(), nullptr, &hints, &result) != 0 || !result)
        return false;
    address_ = *reinterpret_cast<const sockaddr_in*>(result->ai_addr);
    address_.sin_port = htons(endpoint.port);
    ::freeaddrinfo(result);
    resolved_ = true;
    return true;
}

int RoomClient::connect()
{
    for (;;) {
        if (!resolved_)
            resolveServer();
        if (resolved_) {
            closeSocket();
            const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
            if (fd >= 0 && ::connect(fd, reinterpret_cast<const sockaddr*>(&address_), sizeof address_) == 0) {
                const int on = 1;
                ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
                socket_ = fd;
                buffered_ = 0;
                connected_ = true;
                state_ = State::Connected;
                std::array<std::uint8_t, kHelloSize> hello{};
                buildHello(hello);
                sendAll(hello.data(), hello.size());
                return 0;
            }
            if (fd >= 0)
                ::close(fd);
        }
        if (retries_ <= 0)
            return -1;
        --retries_;
        resolved_ = false;
    }
}

void RoomClient::buildHello(std::array<std::uint8_t, kHelloSize>& hello) const
{
    hello.fill(0);
    ByteWriter w(hello);
    w.u16(0);
    w.u16(0x41);
    w.u16(aircraft_);
    w.u16(helloFlag_);
    w.bytes(name_.data(), name_.size() - 1);
    w.zeros(1);
    w.bytes("vrek", 4);
    w.zeros(60);
    w.u32(rank_);
    w.u32(account_);
}

bool RoomClient::sendAll(const std::uint8_t* data, std::size_t length)
{
    const int fd = socket_;
    while (fd >= 0 && length > 0) {
        const ssize_t sent = ::send(fd, data, length, MSG_NOSIGNAL);
        if (sent <= 0)
            return false;
        data += sent;
        length -= static_cast<std::size_t>(sent);
    }
    return fd >= 0;
}

void RoomClient::closeSocket()
{
    const int fd = socket_.exchange(-1);
    if (fd >= 0)
        ::close(fd);
    connected_ = false;
    buffered_ = 0;
}

int RoomClient::waitWhile(State pending)
{
    for (int i = 0; i < 10 && state_ == pending; ++i) {
        poll(true);
        if (state_ != pending)
            break;
        sleepMs(1000);
    }
    if (state_ == State::Succeeded)
        return 0;
    return errorCode_ != 0 ? errorCode_ : -1;
}

int RoomClient::createRoom(const std::uint8_t* serverInfo, std::uint8_t maxPlayers, std::uint8_t option,
                           const std::string& roomName)
{
    if (!connected_)
        return -1;
    std::array<std::uint8_t, 148> message{};
    ByteWriter w(message);
    w.u16(1);
    putText(w, 32, roomName);
    w.u8(maxPlayers);
    w.u8(option);
    w.u16(kServerInfoSize);
    w.bytes(serverInfo, kServerInfoSize);
    errorCode_ = 0;  // a silent server must not report an older refusal
    sendAll(message.data(), message.size());
    state_ = State::CreatePending;
    const int result = waitWhile(State::CreatePending);
    if (result != 0)
        state_ = State::Failed;
    return result;
}

int RoomClient::joinRoomById(std::uint16_t room)
{
    if (!connected_)
        return -1;
    std::array<std::uint8_t, 4> message{};
    ByteWriter w(message);
    w.u16(4);
    w.u16(room);
    errorCode_ = 0;
    sendAll(message.data(), message.size());
    state_ = State::JoinPending;
    return waitWhile(State::JoinPending);
}

int RoomClient::joinRoomById(std::uint16_t room, const std::string& password)
{
    if (password.empty())
        return joinRoomById(room);
    if (!connected_)
        return -1;
    // A room kept behind a password: the number and the password in one request.
    std::array<std::uint8_t, kJoinWithPasswordSize> message{};
    ByteWriter w(message);
    w.u16(33);
    w.u16(room);
    putText(w, 32, password);
    errorCode_ = 0;
    sendAll(message.data(), message.size());
    state_ = State::JoinPending;
    return waitWhile(State::JoinPending);
}

int RoomClient::joinRoomByName(const std::string& roomName)
{
    if (!connected_)
        return -1;
    std::array<std::uint8_t, 34> message{};
    ByteWriter w(message);
    w.u16(5);
    putText(w, 32, roomName);
    errorCode_ = 0;
    sendAll(message.data(), message.size());
    state_ = State::JoinPending;
    return waitWhile(State::JoinPending);
}

void RoomClient::requestRoomList()
{
    const std::uint8_t messages[4] = {6, 0, 15, 0};
    sendAll(messages, sizeof messages);
}

void RoomClient::requestRoomDetails(std::uint16_t room)
{
    std::array<std::uint8_t, 4> message{};
    ByteWriter w(message);
    w.u16(32);
    w.u16(room);
    state_ = State::DetailsPending;
    sendAll(message.data(), message.size());
}

void RoomClient::leave()
{
    if (!connected_)
        return;
    connected_ = false;
    state_ = State::Idle;
    const std::uint8_t message[2] = {16, 0};
    sendAll(message, sizeof message);
    closeSocket();
    if (IRoomServerListener* listener = listener_) {
        listener_ = nullptr;
        listener->onDisconnected();
    }
}
