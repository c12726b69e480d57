#include "StandInRoomServer.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <arpa/inet.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

using Bytes = std::vector<std::uint8_t>;

void putU16(Bytes& bytes, std::size_t at, std::uint16_t value)
{
    bytes[at] = static_cast<std::uint8_t>(value & 0xFF);
    bytes[at + 1] = static_cast<std::uint8_t>(value >> 8);
}

void putU32(Bytes& bytes, std::size_t at, std::uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        bytes[at + i] = static_cast<std::uint8_t>(value >> (8 * i));
}

std::uint16_t u16(const std::uint8_t* at)
{
    return static_cast<std::uint16_t>(at[0] | (at[1] << 8));
}

std::int32_t i32(const std::uint8_t* at)
{
    return static_cast<std::int32_t>(u16(at) | (static_cast<std::uint32_t>(u16(at + 2)) << 16));
}

Bytes message(std::uint16_t type, std::size_t size)
{
    Bytes bytes(size, 0);
    putU16(bytes, 0, type);
    return bytes;
}

void append(Bytes& to, const Bytes& more)
{
    to.insert(to.end(), more.begin(), more.end());
}

std::string textAt(const std::uint8_t* at, std::size_t field)
{
    return std::string(reinterpret_cast<const char*>(at), strnlen(reinterpret_cast<const char*>(at), field));
}

// The size of each message a client sends; 0 for types a client never sends.
std::size_t requestSize(std::uint16_t type)
{
    switch (type) {
    case 0: return 124;
    case 1: return 148;
    case 4: case 32: return 4;
    case 5: return 34;
    case 33: return 36;
    case 6: case 15: case 16: return 2;
    default: return 0;
    }
}

}  // namespace

StandInRoomServer::StandInRoomServer(Options options) : options_(std::move(options)) {}

StandInRoomServer::~StandInRoomServer()
{
    stop();
}

bool StandInRoomServer::start()
{
    listenFd_ = ::socket(AF_INET, SOCK_STREAM, 0);
    if (listenFd_ < 0)
        return false;
    const int on = 1;
    ::setsockopt(listenFd_, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(options_.port);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof address;
    if (::bind(listenFd_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        ::listen(listenFd_, 16) != 0 ||
        ::getsockname(listenFd_, reinterpret_cast<sockaddr*>(&address), &size) != 0) {
        ::close(listenFd_);
        listenFd_ = -1;
        return false;
    }
    port_ = ntohs(address.sin_port);
    openListedRooms();
    stop_ = false;
    thread_ = std::thread(&StandInRoomServer::run, this);
    return true;
}

void StandInRoomServer::openListedRooms()
{
    std::lock_guard lock(lock_);
    for (const std::string& text : options_.rooms) {
        std::vector<std::string> parts;
        std::size_t from = 0;
        for (std::size_t at; (at = text.find(':', from)) != std::string::npos; from = at + 1)
            parts.push_back(text.substr(from, at - from));
        parts.push_back(text.substr(from));
        if (parts.size() < 3 || parts[0].empty())
            continue;
        const int mode = std::atoi(parts[1].c_str());
        Room& room = rooms_[nextRoom_];
        room.number = nextRoom_++;
        room.name = parts[0].substr(0, 31);
        room.capacity = mode == 6 ? 4 : 8;
        room.players = 1;
        // The description as a create page writes it: name, mode, map, players, the two markers.
        room.info.assign(110, 0);
        for (std::size_t i = 0; i < room.name.size(); ++i)
            room.info[2 * i] = static_cast<std::uint8_t>(room.name[i]);
        room.info[64] = static_cast<std::uint8_t>(mode);
        room.info[65] = static_cast<std::uint8_t>(std::atoi(parts[2].c_str()));
        room.info[66] = room.capacity;
        room.info[69] = 1;
        room.info[70] = 10;
        const std::uint32_t markers[2] = {456, 789456};
        for (int m = 0; m < 2; ++m)
            for (int b = 0; b < 4; ++b)
                room.info[static_cast<std::size_t>(94 + 8 * m + b)] = static_cast<std::uint8_t>(markers[m] >> (8 * b));
        if (parts.size() > 5) {
            putU32(room.info, 77, static_cast<std::uint32_t>(std::atoi(parts[4].c_str())));
            putU32(room.info, 81, static_cast<std::uint32_t>(std::atoi(parts[5].c_str())));
        }
        for (std::size_t i = 6; i < parts.size(); ++i) {
            if (parts[i] == "private")
                room.isPrivate = true;
            else if (parts[i].rfind("password=", 0) == 0)
                room.password = parts[i].substr(9, 31);
        }
        room.names.push_back("host");
        room.ranks.push_back(parts.size() > 3 ? static_cast<std::uint32_t>(std::atoi(parts[3].c_str())) : 0u);
    }
}

void StandInRoomServer::stop()
{
    stop_ = true;
    if (thread_.joinable())
        thread_.join();
    if (listenFd_ >= 0)
        ::close(listenFd_);
    listenFd_ = -1;
}

std::vector<std::uint8_t> StandInRoomServer::lastHello() const
{
    std::lock_guard lock(lock_);
    return lastHello_;
}

int StandInRoomServer::roomCount() const
{
    std::lock_guard lock(lock_);
    return static_cast<int>(rooms_.size());
}

void StandInRoomServer::run()
{
    std::vector<Client> clients;
    while (!stop_) {
        std::vector<pollfd> fds{{listenFd_, POLLIN, 0}};
        for (const Client& client : clients)
            fds.push_back({client.fd, POLLIN, 0});
        if (::poll(fds.data(), fds.size(), 5) <= 0)
            continue;
        if (fds[0].revents & POLLIN) {
            const int fd = ::accept(listenFd_, nullptr, nullptr);
            if (fd >= 0) {
                const int on = 1;
                ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
                clients.push_back({fd, {}, false, {}});
            }
        }
        for (std::size_t i = 1; i < fds.size(); ++i) {
            if (!(fds[i].revents & (POLLIN | POLLHUP | POLLERR)))
                continue;
            Client& client = clients[i - 1];
            if (!serve(client)) {
                ::close(client.fd);
                client.fd = -1;
            }
        }
        clients.erase(std::remove_if(clients.begin(), clients.end(), [](const Client& c) { return c.fd < 0; }),
                      clients.end());
    }
    for (const Client& client : clients)
        ::close(client.fd);
}

bool StandInRoomServer::serve(Client& client)
{
    std::uint8_t chunk[2048];
    const ssize_t got = ::recv(client.fd, chunk, sizeof chunk, 0);
    if (got <= 0)
        return false;
    client.in.insert(client.in.end(), chunk, chunk + got);
    while (client.in.size() >= 2) {
        const std::uint16_t type = u16(client.in.data());
        const std::size_t size = requestSize(type);
        if (size == 0 || (type == 0) == client.greeted)
            return false;  // a stranger's bytes or a hello out of turn
        if (client.in.size() < size)
            break;
        const Bytes request(client.in.begin(), client.in.begin() + static_cast<std::ptrdiff_t>(size));
        client.in.erase(client.in.begin(), client.in.begin() + static_cast<std::ptrdiff_t>(size));
        if (!handle(client, request.data(), type))
            return false;
    }
    return true;
}

void StandInRoomServer::send(const Client& client, const Bytes& bytes) const
{
    if (options_.script == "split" && bytes.size() >= 3) {
        // Three segments with pauses, so the reader sees a message arrive in parts.
        const std::size_t cut[4] = {0, 1, bytes.size() / 2, bytes.size()};
        for (int i = 0; i < 3; ++i) {
            ::send(client.fd, bytes.data() + cut[i], cut[i + 1] - cut[i], MSG_NOSIGNAL);
            std::this_thread::sleep_for(std::chrono::milliseconds(3));
        }
    } else {
        ::send(client.fd, bytes.data(), bytes.size(), MSG_NOSIGNAL);
    }
    {
        std::lock_guard lock(answerLock_);
        ++answers_;
    }
    answered_.notify_all();
}

bool StandInRoomServer::waitForAnswer(int& seen, int milliseconds)
{
    std::unique_lock lock(answerLock_);
    const bool more = answered_.wait_for(lock, std::chrono::milliseconds(milliseconds),
                                         [&] { return answers_ != seen; });
    seen = answers_;
    return more;
}

void StandInRoomServer::greet(Client& client)
{
    const std::string& script = options_.script;
    Bytes out;
    if (script == "notices") {
        append(out, message(11, 2));
        for (std::uint16_t type : {12, 13}) {
            Bytes notice = message(type, 36);
            putU16(notice, 2, 77);
            std::fill(notice.begin() + 4, notice.end(), 'n');
            append(out, notice);
        }
        append(out, message(27, 2));
        for (auto [type, size] : {std::pair{28, 130}, std::pair{29, 514}, std::pair{30, 1023}}) {
            Bytes text = message(static_cast<std::uint16_t>(type), static_cast<std::size_t>(size));
            std::fill(text.begin() + 2, text.end(), 'e');
            append(out, text);
        }
    } else if (script == "close") {
        out = message(16, 2);
    } else if (script == "redirect") {
        out = message(18, 8);
        const std::uint32_t loopback = htonl(INADDR_LOOPBACK);
        std::memcpy(&out[2], &loopback, 4);
        putU16(out, 6, options_.redirectPort);
    } else if (script == "type9" || script == "unknown") {
        out = script == "type9" ? Bytes{9, 0} : Bytes{0x55, 0x55, 0x55};
        append(out, message(27, 2));
    } else if (script == "partial") {
        out = message(12, 18);  // half a notice, and never the rest
    }
    if (!out.empty())
        send(client, out);
}

// A flagged hello asks for a match rather than the list: the fullest room
// that still has a seat is offered, and the client joins it by itself.
void StandInRoomServer::offerQuickMatch(Client& client)
{
    Bytes out;
    {
        std::lock_guard lock(lock_);
        const Room* best = nullptr;
        for (const auto& [number, room] : rooms_)
            if (!room.isPrivate && room.players < room.capacity && (!best || room.players > best->players))
                best = &room;
        if (best) {
            out = entryOf(*best);
        } else {
            out = message(28, 130);
            const std::string text = "No room has a free seat. Open one from Multiplayer, Online.";
            std::memcpy(&out[2], text.data(), std::min<std::size_t>(text.size(), 127));
        }
    }
    send(client, out);
}

std::vector<std::uint8_t> StandInRoomServer::entryOf(const Room& room) const
{
    Bytes entry = message(14, 307);
    putU16(entry, 2, room.number);
    entry[4] = room.players;
    entry[5] = room.capacity;
    std::memcpy(&entry[7], room.name.data(), std::min<std::size_t>(room.name.size(), 31));
    putU16(entry, 41, 110);
    std::copy(room.info.begin(), room.info.end(), entry.begin() + 43);
    putU32(entry, 299, room.ranks.empty() ? 0 : room.ranks.front());
    return entry;
}

std::vector<std::uint8_t> StandInRoomServer::joinServer() const
{
    Bytes join = message(10, 12);
    putU16(join, 2, options_.hostPort);
    std::memcpy(&join[4], &options_.hostAddress, 4);
    putU32(join, 8, 1);
    return join;
}

StandInRoomServer::Room* StandInRoomServer::findRoom(std::uint16_t number)
{
    const auto found = rooms_.find(number);
    return found == rooms_.end() ? nullptr : &found->second;
}

StandInRoomServer::Room* StandInRoomServer::findRoom(const std::string& name)
{
    for (auto& [number, room] : rooms_)
        if (room.name == name)
            return &room;
    return nullptr;
}

bool StandInRoomServer::handle(Client& client, const std::uint8_t* request, std::uint16_t type)
{
    if (type == 0) {
        const bool valid = u16(request + 2) == 0x41 && std::memcmp(request + 40, "vrek", 4) == 0;
        if (!valid)
            return false;
        {
            std::lock_guard lock(lock_);
            lastHello_.assign(request, request + 124);
        }
        ++helloCount_;
        client.greeted = true;
        client.name = textAt(request + 8, 32);
        client.rank = static_cast<std::uint32_t>(request[104] | (request[105] << 8) | (request[106] << 16) |
                                                 (static_cast<std::uint32_t>(request[107]) << 24));
        greet(client);
        if (u16(request + 6) == 1 && options_.script.empty())
            offerQuickMatch(client);
        return true;
    }
    if (type == 16) {
        // Logged for the runs that check a player leaves the server.
        std::printf("roomserver: %s left (request 16)\n", client.name.c_str());
        std::fflush(stdout);
        return false;
    }
    if (options_.script == "silence")
        return true;
    std::lock_guard lock(lock_);
    Bytes out;
    if (type == 15) {
        for (const auto& [number, room] : rooms_)
            if (!room.isPrivate)
                append(out, entryOf(room));
    } else if (type == 1) {
        const std::string name = textAt(request + 2, 32);
        if (name.empty() || findRoom(name) || u16(request + 36) != 110) {
            out = message(8, 4);
            putU16(out, 2, 3);
        } else {
            Room& room = rooms_[nextRoom_];
            room.number = nextRoom_++;
            room.name = name;
            room.capacity = std::clamp<std::uint8_t>(request[34], 2, 8);
            room.players = 1;
            room.info.assign(request + 38, request + 148);
            room.isPrivate = request[35] != 0;
            room.names.push_back(client.name);
            room.ranks.push_back(client.rank);
            // Logged for the runs that check what a create page asked for.
            const std::uint8_t* info = request + 38;
            std::printf("roomserver: %s created room %s, plane rule %d:%d\n", client.name.c_str(), name.c_str(),
                        i32(info + 0x4D), i32(info + 0x51));
            std::fflush(stdout);
            out = message(2, 2);
            append(out, joinServer());
        }
    } else if (type == 4 || type == 5 || type == 33) {
        const bool byNumber = type != 5;
        Room* room = byNumber ? findRoom(u16(request + 2)) : findRoom(textAt(request + 2, 32));
        // A private room's number is never listed: only its name finds it.
        if (room && byNumber && room->isPrivate)
            room = nullptr;
        const std::string password = type == 33 ? textAt(request + 4, 32) : std::string();
        std::uint16_t refusal = !room ? 1 : room->players >= room->capacity ? 2 : 0;
        if (room && !room->password.empty() && password != room->password)
            refusal = 4;
        if (refusal != 0) {
            std::printf("roomserver: %s refused a room (request %u, error %u)\n", client.name.c_str(), type, refusal);
            std::fflush(stdout);
            out = message(8, 4);
            putU16(out, 2, refusal);
        } else {
            ++room->players;
            room->names.push_back(client.name);
            room->ranks.push_back(client.rank);
            out = message(7, 2);
            append(out, joinServer());
        }
    } else if (type == 32) {
        const Room* room = findRoom(u16(request + 2));
        out = message(31, 311);
        Bytes names;
        // Up to 8 players: each one's rank at 6, the count at 38, its name's place at 39.
        const std::size_t count = room ? std::min<std::size_t>(room->names.size(), 8) : 0;
        for (std::size_t i = 0; i < count && names.size() < 256; ++i) {
            putU16(out, 6 + 2 * i, static_cast<std::uint16_t>(std::min<std::uint32_t>(room->ranks[i], 0xFFFF)));
            out[39 + i] = static_cast<std::uint8_t>(names.size());
            const std::string& name = room->names[i];
            names.insert(names.end(), name.c_str(), name.c_str() + name.size() + 1);
        }
        if (options_.script == "biginfo")
            names.assign(800, 'x');
        putU32(out, 2, static_cast<std::uint32_t>(names.size()));
        out[38] = static_cast<std::uint8_t>(names.empty() ? 0 : std::max<std::size_t>(count, 1));
        append(out, names);
    }
    if (!out.empty())
        send(client, out);
    return true;
}
