#pragma once
// A small room server for tests and local play: keeps rooms, answers the
// client's requests and, in a script mode, plays a misbehaving server.
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

class StandInRoomServer {
public:
    struct Options {
        std::uint16_t port = 11489;             // 0 takes a free port
        std::uint32_t hostAddress = 0;          // message 10: network byte order, 0 = this server
        std::uint16_t hostPort = 6026;          // message 10: the game host's port
        std::string script;                     // empty: a well-behaved server
        std::uint16_t redirectPort = 0;         // script "redirect": where message 18 points
        // Rooms open from the start, "NAME:MODE:MAP[:RANK[:KIND:VALUE[:private][:password=TEXT]]]"
        // each (a host named "host"); KIND and VALUE are the room's plane filter, "private"
        // keeps it off the list, and a password lets in only a join that gives it
        // (request 33; error 4 otherwise).
        std::vector<std::string> rooms;
    };
    // The scripts: "split" (answers in three pieces), "notices" (11, 12, 13, 27, 28-30
    // without terminators), "close" (16), "redirect" (18), "biginfo" (31 over 713 extra
    // bytes), "type9", "unknown" (types without a size), "silence", "partial".
    explicit StandInRoomServer(Options options);
    ~StandInRoomServer();

    bool start();  // binds and runs its thread; false when the port cannot be had
    void stop();
    std::uint16_t port() const { return port_; }
    std::vector<std::uint8_t> lastHello() const;
    int helloCount() const { return helloCount_; }
    int roomCount() const;
    // Answers sent so far, and a wait until one more than `seen` has gone out
    // (false after `milliseconds` without one); `seen` is brought up to date.
    // The room clients of tests wait on this instead of the clock.
    int answersSent() const { return answers_; }
    bool waitForAnswer(int& seen, int milliseconds);

private:
    struct Room {
        std::uint16_t number = 0;
        std::string name;
        std::uint8_t capacity = 0;
        std::uint8_t players = 0;
        std::vector<std::uint8_t> info;
        std::vector<std::string> names;
        std::vector<std::uint32_t> ranks;  // each player's, the host's first
        // Opened with the private option: off the list and out of quick
        // matches, joined by its name only.
        bool isPrivate = false;
        std::string password;
    };
    struct Client {
        int fd = -1;
        std::vector<std::uint8_t> in;
        bool greeted = false;
        std::string name;
        std::uint32_t rank = 0;
    };

    void run();
    void openListedRooms();
    // False when the client is to be closed.
    bool serve(Client& client);
    bool handle(Client& client, const std::uint8_t* message, std::uint16_t type);
    void greet(Client& client);
    void offerQuickMatch(Client& client);
    void send(const Client& client, const std::vector<std::uint8_t>& bytes) const;
    std::vector<std::uint8_t> entryOf(const Room& room) const;
    std::vector<std::uint8_t> joinServer() const;
    Room* findRoom(std::uint16_t number);
    Room* findRoom(const std::string& name);

    Options options_;
    int listenFd_ = -1;
    std::uint16_t port_ = 0;
    std::thread thread_;
    std::atomic<bool> stop_{false};
    mutable std::mutex lock_;
    std::vector<std::uint8_t> lastHello_;
    std::atomic<int> helloCount_{0};
    mutable std::atomic<int> answers_{0};
    mutable std::mutex answerLock_;
    mutable std::condition_variable answered_;
    std::map<std::uint16_t, Room> rooms_;
    std::uint16_t nextRoom_ = 1;
};
