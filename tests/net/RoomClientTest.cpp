#include "net/room/RoomClient.h"

#include "platform/Options.h"

#include "StandInRoomServer.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include <arpa/inet.h>

namespace {

struct RecordingRoomListener : IRoomServerListener {
    std::vector<std::string> events;
    std::uint32_t joinAddress = 0;
    std::uint16_t joinPort = 0;
    std::vector<std::uint8_t> info;
    std::map<int, std::vector<std::uint8_t>> entries;  // by room number

    void onDisconnected() override { events.push_back("disconnected"); }
    void onJoinServer(std::uint32_t address, std::uint16_t port, std::uint32_t) override
    {
        joinAddress = address;
        joinPort = port;
        events.push_back("join");
    }
    void onConnectionLost() override { events.push_back("lost"); }
    void onRoomEntry(const std::uint8_t* entry) override
    {
        const int number = entry[2] | (entry[3] << 8);
        events.push_back("entry " + std::to_string(number));
        entries[number].assign(entry, entry + 307);
    }
    void onRoomNotice(const char* text, std::uint16_t number) override
    {
        events.push_back("notice " + std::to_string(number) + " " + std::to_string(std::strlen(text)));
    }
    void onRoomNotice2(const char* text, std::uint16_t) override
    {
        events.push_back("notice2 " + std::to_string(std::strlen(text)));
    }
    void onRoomLeft() override { events.push_back("left"); }
    void onRoomError(const char* text) override { events.push_back("error " + std::to_string(std::strlen(text))); }
    void onRoomInfo(const std::uint8_t* message, std::size_t length) override
    {
        info.assign(message, message + length);
        events.push_back("info");
    }
    void onConnectFailed() override { events.push_back("failed"); }
    void onConnected() override { events.push_back("connected"); }
    void onRoomMessage(const char*) override { events.push_back("message"); }

    bool has(const std::string& event) const
    {
        return std::find(events.begin(), events.end(), event) != events.end();
    }
};

RoomClient::Config configFor(std::uint16_t port, std::vector<int>* attempts = nullptr, int* sleeps = nullptr)
{
    RoomClient::Config config;
    config.table = RoomClient::makeTable({"127.0.0.1", port}, {"127.0.0.1", port}, {"127.0.0.1", port});
    // The client's one-second waits shortened, but not so far that a slow,
    // loaded machine misses the answer of a server thread.
    config.sleep = [sleeps](int) {
        if (sleeps)
            ++*sleeps;
        std::this_thread::sleep_for(std::chrono::milliseconds(25));
    };
    if (attempts)
        config.onAttempt = [attempts](int entry) { attempts->push_back(entry); };
    return config;
}

template <typename Done>
bool pollUntil(RoomClient& client, Done done)
{
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    for (;;) {
        client.poll(false);
        if (done())
            return true;
        if (std::chrono::steady_clock::now() > end)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
}

// A stand-in server on a free port and a client connected to it.
struct RoomSession {
    explicit RoomSession(const std::string& script = {}, std::uint16_t redirectPort = 0)
    {
        StandInRoomServer::Options options;
        options.port = 0;
        options.hostPort = 7001;
        options.script = script;
        options.redirectPort = redirectPort;
        server = std::make_unique<StandInRoomServer>(options);
        if (!server->start())
            throw std::runtime_error("no room server");
        client = std::make_unique<RoomClient>(configFor(server->port(), nullptr, &sleeps));
        client->setListener(&listener);
        client->setAccount(0x01020304);
    }
    bool connect(const char* name = "pilot")
    {
        client->connectAsync(name, 3, 5);
        return pollUntil(*client, [&] { return listener.has("connected") || listener.has("failed"); }) &&
               listener.has("connected");
    }

    RecordingRoomListener listener;
    std::unique_ptr<StandInRoomServer> server;
    std::unique_ptr<RoomClient> client;
    int sleeps = 0;
};

std::array<std::uint8_t, 110> gameInfo(std::uint8_t mark)
{
    std::array<std::uint8_t, 110> info{};
    info.fill(mark);
    return info;
}

}  // namespace

TEST(RoomClient, SaysHelloByteForByte)
{
    RoomSession session;
    session.client->connectAsyncFlagged("ace", 0x0102, 0x0A0B0C0D);
    ASSERT_TRUE(pollUntil(*session.client, [&] { return session.server->helloCount() == 1; }));
    EXPECT_EQ(session.client->state(), RoomClient::State::Connected);
    std::vector<std::uint8_t> expected(124, 0);
    expected[2] = 0x41;
    expected[4] = 0x02;
    expected[5] = 0x01;
    expected[6] = 1;
    std::memcpy(&expected[8], "ace", 3);
    std::memcpy(&expected[40], "vrek", 4);
    expected[104] = 0x0D, expected[105] = 0x0C, expected[106] = 0x0B, expected[107] = 0x0A;
    expected[108] = 0x04, expected[109] = 0x03, expected[110] = 0x02, expected[111] = 0x01;
    EXPECT_EQ(session.server->lastHello(), expected);
}

TEST(RoomClient, CreatesListsJoinsAndIsRefused)
{
    RoomSession host;
    ASSERT_TRUE(host.connect("host"));
    const auto info = gameInfo(7);
    EXPECT_EQ(host.client->createRoom(info.data(), 4, 0, "dusk"), 0);
    EXPECT_EQ(host.client->state(), RoomClient::State::Succeeded);
    EXPECT_EQ(host.server->roomCount(), 1);
    EXPECT_TRUE(host.listener.has("join")) << "2 and 10 came in one segment and one poll";
    ASSERT_TRUE(pollUntil(*host.client, [&] { return host.listener.has("join"); }));
    EXPECT_EQ(host.listener.joinPort, 7001);
    EXPECT_EQ(host.listener.joinAddress, htonl(INADDR_LOOPBACK)) << "0 means the room server's own address";
    EXPECT_EQ(host.client->createRoom(info.data(), 4, 0, "dusk"), 3) << "a taken name";
    EXPECT_EQ(host.client->state(), RoomClient::State::Failed);

    // A second player on the same server.
    RecordingRoomListener guestListener;
    RoomClient guest(configFor(host.server->port()));
    guest.setListener(&guestListener);
    guest.connectAsync("guest", 1, 1);
    ASSERT_TRUE(pollUntil(guest, [&] { return guestListener.has("connected"); }));
    guest.requestRoomList();
    ASSERT_TRUE(pollUntil(guest, [&] { return guestListener.has("entry 1"); }));
    EXPECT_EQ(guest.joinRoomByName("nowhere"), 1);
    EXPECT_EQ(guest.errorCode(), 1);
    EXPECT_EQ(guest.joinRoomById(1), 0);
    guest.requestRoomDetails(1);
    ASSERT_TRUE(pollUntil(guest, [&] { return guestListener.has("info"); }));
    EXPECT_EQ(guest.state(), RoomClient::State::Failed);
    ASSERT_GE(guestListener.info.size(), 311u + 11u);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&guestListener.info[311])), "host");

    guest.leave();
    EXPECT_FALSE(guest.connected());
    EXPECT_TRUE(guestListener.has("disconnected"));
    EXPECT_EQ(guest.listener(), nullptr);
}

// The stand-in honours what the browser reads: a private room stays off the
// list and out of reach by number but is joined by its name, and a room's
// plane filter reaches the list as its host set it.
TEST(RoomClient, APrivateRoomIsJoinedByNameAndFiltersReachTheList)
{
    StandInRoomServer::Options options;
    options.port = 0;
    options.rooms = {"Jets only:2:0:3:1:9", "Hidden hangar:2:1:3:2:1:private"};
    StandInRoomServer server(options);
    ASSERT_TRUE(server.start());
    RecordingRoomListener host;
    RoomClient owner(configFor(server.port()));
    owner.setListener(&host);
    owner.connectAsync("owner", 1, 1);
    ASSERT_TRUE(pollUntil(owner, [&] { return host.has("connected"); }));
    auto info = gameInfo(0);
    EXPECT_EQ(owner.createRoom(info.data(), 4, 1, "Back room"), 0);  // the private option
    EXPECT_EQ(server.roomCount(), 3);

    RecordingRoomListener guestListener;
    RoomClient guest(configFor(server.port()));
    guest.setListener(&guestListener);
    guest.connectAsync("guest", 1, 1);
    ASSERT_TRUE(pollUntil(guest, [&] { return guestListener.has("connected"); }));
    guest.requestRoomList();
    ASSERT_TRUE(pollUntil(guest, [&] { return guestListener.has("entry 1"); }));
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    guest.poll(false);
    EXPECT_EQ(guestListener.entries.size(), 1u) << "only the open room is listed";
    const std::vector<std::uint8_t>& jets = guestListener.entries[1];
    ASSERT_EQ(jets.size(), 307u);
    EXPECT_EQ(jets[43 + 77], 1);  // the plane filter kind and value, in the room's description
    EXPECT_EQ(jets[43 + 81], 9);

    EXPECT_EQ(guest.joinRoomById(2), 1) << "a private room has no number to join by";
    EXPECT_EQ(guest.joinRoomByName("Hidden hangar"), 0);
    EXPECT_EQ(guest.joinRoomByName("Back room"), 0);
    guest.leave();
    owner.leave();
    server.stop();
}

// A locked room by its number: without its password, or with another, the
// server says "wrong password"; with it, the join goes through.
TEST(RoomClient, ALockedRoomOpensToItsPasswordOnly)
{
    StandInRoomServer::Options options;
    options.port = 0;
    options.rooms = {"Locked gate:2:0:3:0:0:password=kestrel"};
    StandInRoomServer server(options);
    ASSERT_TRUE(server.start());
    RecordingRoomListener listener;
    RoomClient guest(configFor(server.port()));
    guest.setListener(&listener);
    guest.connectAsync("guest", 1, 1);
    ASSERT_TRUE(pollUntil(guest, [&] { return listener.has("connected"); }));
    for (const char* password : {"", "heron"}) {
        EXPECT_EQ(guest.joinRoomById(1, password), RoomClient::kWrongPassword) << password;
        EXPECT_EQ(guest.errorCode(), RoomClient::kWrongPassword);
    }
    EXPECT_EQ(guest.joinRoomById(1), RoomClient::kWrongPassword);
    EXPECT_EQ(guest.joinRoomById(1, "kestrel"), 0);
    guest.leave();
    server.stop();
}

TEST(RoomClient, ARequestWithoutAnswerIsMinusOneAfterTenWaits)
{
    RoomSession session("silence");
    ASSERT_TRUE(session.connect());
    EXPECT_EQ(session.client->joinRoomById(4), -1);
    EXPECT_EQ(session.sleeps, 10);
    EXPECT_EQ(session.client->state(), RoomClient::State::JoinPending);
}

TEST(RoomClient, LeaveWhileUnconnectedCallsNothing)
{
    RecordingRoomListener listener;
    RoomClient client(configFor(1));
    client.setListener(&listener);
    client.leave();
    EXPECT_TRUE(listener.events.empty());
    EXPECT_EQ(client.listener(), &listener);
    EXPECT_EQ(client.joinRoomById(1), -1);
}

TEST(RoomClient, ScriptedServerFaults)
{
    {
        RoomSession session("notices");
        ASSERT_TRUE(session.connect());
        ASSERT_TRUE(pollUntil(*session.client, [&] { return session.listener.has("error 1021"); }));
        const std::vector<std::string> expected{"connected", "lost",      "notice 77 32", "notice2 32", "left",
                                                "error 128", "error 512", "error 1021"};
        EXPECT_EQ(session.listener.events, expected);
    }
    for (const char* script : {"type9", "unknown"}) {
        RoomSession session(script);
        ASSERT_TRUE(session.connect());
        EXPECT_TRUE(pollUntil(*session.client, [&] { return session.listener.has("left"); })) << script;
    }
    {
        RoomSession session("split");
        ASSERT_TRUE(session.connect());
        const auto info = gameInfo(1);
        EXPECT_EQ(session.client->createRoom(info.data(), 2, 0, "pieces"), 0) << "one message in three segments";
    }
    {
        RoomSession session("partial");
        ASSERT_TRUE(session.connect());
        const auto start = std::chrono::steady_clock::now();
        for (int i = 0; i < 20; ++i)
            session.client->poll(false);
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1)) << "a half message never blocks";
        EXPECT_TRUE(session.client->connected());
    }
    {
        RoomSession session("biginfo");
        ASSERT_TRUE(session.connect());
        session.client->requestRoomDetails(1);
        ASSERT_TRUE(pollUntil(*session.client, [&] { return session.listener.has("disconnected"); }));
        EXPECT_FALSE(session.listener.has("info"));
        EXPECT_FALSE(session.client->connected());
    }
}

TEST(RoomClient, ServerCloseRetriesAndRedirectMovesOn)
{
    {
        // Every retry meets the same closing server: seven more attempts, then the end.
        RoomSession session("close");
        ASSERT_TRUE(session.connect());
        ASSERT_TRUE(pollUntil(*session.client, [&] { return session.listener.has("disconnected"); }));
        EXPECT_EQ(session.server->helloCount(), 8);
        EXPECT_EQ(session.client->state(), RoomClient::State::Idle);
    }
    {
        StandInRoomServer::Options options;
        options.port = 0;
        StandInRoomServer target(options);
        ASSERT_TRUE(target.start());
        RoomSession session("redirect", target.port());
        ASSERT_TRUE(session.connect());
        ASSERT_TRUE(pollUntil(*session.client, [&] { return target.helloCount() == 1; }));
        EXPECT_TRUE(session.client->connected());
        EXPECT_EQ(session.client->retriesLeft(), 0);
        target.stop();
        ASSERT_TRUE(pollUntil(*session.client, [&] { return session.listener.has("disconnected"); }));
    }
}

TEST(RoomClient, TheServerSettingPicksTableEntries)
{
    std::vector<int> attempts;
    RecordingRoomListener listener;
    RoomClient::fixedServer = 2;
    {
        RoomClient client(configFor(1, &attempts));  // nothing listens on port 1
        client.setListener(&listener);
        client.connectAsync("x", 0, 0);
        ASSERT_TRUE(pollUntil(client, [&] { return listener.has("failed"); }));
    }
    EXPECT_EQ(attempts, std::vector<int>(8, 2));
    attempts.clear();
    listener.events.clear();
    RoomClient::fixedServer = -1;
    {
        RoomClient client(configFor(1, &attempts));
        client.setListener(&listener);
        client.connectAsync("x", 0, 0);
        ASSERT_TRUE(pollUntil(client, [&] { return listener.has("failed"); }));
    }
    EXPECT_EQ(attempts, (std::vector<int>{0, 1, 2, 3, 4, 5, 6, 0}));
}

TEST(RoomClient, EndpointsParse)
{
    RoomClient::Endpoint endpoint;
    ASSERT_TRUE(RoomClient::parseEndpoint("rooms.example:1200", endpoint));
    EXPECT_EQ(endpoint.host, "rooms.example");
    EXPECT_EQ(endpoint.port, 1200);
    ASSERT_TRUE(RoomClient::parseEndpoint("10.0.0.2", endpoint));
    EXPECT_EQ(endpoint.port, RoomClient::kDefaultPort);
    EXPECT_FALSE(RoomClient::parseEndpoint(":80", endpoint));
    EXPECT_FALSE(RoomClient::parseEndpoint("h:", endpoint));
    EXPECT_FALSE(RoomClient::parseEndpoint("h:70000", endpoint));
    EXPECT_FALSE(RoomClient::parseEndpoint("h:12x", endpoint));

    const auto config = RoomClient::configFor("rooms.example:1200");
    EXPECT_EQ(config.table[6].host, "rooms.example");
    EXPECT_EQ(config.table[6].port, 1200);
    EXPECT_EQ(RoomClient::configFor("bad:port").table[0].port, RoomClient::kDefaultPort);
}

TEST(RoomClient, TheRoomServerOptionNamesTheEndpoint)
{
    OptionTable defaults;
    EXPECT_EQ(defaults.roomServer(), "127.0.0.1:11489");
    OptionTable given;
    const char* args[] = {"-roomserver", "10.1.1.1:2000"};
    given.parse(args);
    EXPECT_EQ(given.roomServer(), "10.1.1.1:2000");
    EXPECT_NE(OptionTable::usage().find("-roomserver HOST[:PORT]"), std::string::npos);
}
