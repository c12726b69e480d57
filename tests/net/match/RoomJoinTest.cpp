#include "StandInRoomServer.h"
#include "support/net/PacedRoomConfig.h"

#include "net/match/NetworkGameHandler.h"
#include "net/match/ServerInfo.h"
#include "net/transport/LanTransport.h"
#include "platform/Settings.h"

#include "support/TempDir.h"
#include "support/modes/ModeHarness.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <fstream>
#include <sstream>
#include <thread>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>

extern char** environ;

namespace {

struct RecordingRoomEvents : IRoomEvents {
    int entries = 0, connects = 0;
    void onRoomEntry(const std::uint8_t*) override { ++entries; }
    void onRoomLeft() override {}
    void onRoomError(const char*) override {}
    void onRoomInfo(const std::uint8_t*, std::size_t) override {}
    void onConnectFailed() override {}
    void onConnected() override { ++connects; }
    void onRoomMessage(const char*) override {}
};

// A peer-program host on a free port, stopped when the test ends.
struct HostPeer {
    pid_t pid = -1;
    std::uint16_t port = 0;

    bool start(const TempDir& dir, const std::string& name)
    {
        const std::string logPath = (dir.path() / "host.log").string();
        std::vector<std::string> args{NETPEER_PATH, "--host", "--port", "0", "--seconds", "12", "--name", name};
        std::vector<char*> argv;
        for (std::string& a : args)
            argv.push_back(a.data());
        argv.push_back(nullptr);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 1, logPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        const int rc = posix_spawn(&pid, NETPEER_PATH, &actions, nullptr, argv.data(), environ);
        posix_spawn_file_actions_destroy(&actions);
        if (rc != 0)
            return false;
        for (int i = 0; i < 100 && port == 0; ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
            std::ifstream in(logPath);
            std::stringstream text;
            text << in.rdbuf();
            if (auto at = text.str().find(" port "); at != std::string::npos)
                port = static_cast<std::uint16_t>(std::stoi(text.str().substr(at + 6)));
        }
        return port != 0;
    }
    ~HostPeer()
    {
        if (pid <= 0)
            return;
        int status = 0;
        kill(pid, SIGTERM);
        waitpid(pid, &status, 0);
    }
};

// A peer-program host that a stand-in room server points its rooms at; the
// handler joins the first room it is shown and goes on to the game itself.
TEST(RoomJoin, TheFirstRoomShownIsJoinedAndLeadsToItsGameHost)
{
    ModeHarness harness;
    std::string error;
    ASSERT_TRUE(harness.mountData(error)) << error;
    TempDir dir;
    HostPeer host;
    ASSERT_TRUE(host.start(dir, "Roomhost"));
    const std::uint16_t hostPort = host.port;

    StandInRoomServer::Options options;
    options.port = 0;
    options.hostPort = hostPort;
    StandInRoomServer server(options);
    ASSERT_TRUE(server.start());
    // Somebody opened a room for the game.
    RoomClient owner(pacedRoomConfig(server));
    owner.connectAsync("owner", 1, 1);
    for (const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(60);
         !owner.connected() && std::chrono::steady_clock::now() < end;) {
        owner.poll(false);
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    ServerInfo info;
    info.clear();
    ASSERT_EQ(owner.createRoom(info.bytes.data(), 8, 0, "evening"), 0);

    const Settings saved = settings();
    settings().playerAccount = {0x01020304u, 0, 0, 0};
    RecordingRoomEvents events;
    {
        // The game makes its handler first and learns the endpoint ("-roomserver") later.
        NetworkGameHandler handler;
        ASSERT_TRUE(handler.room.setConfig(pacedRoomConfig(server)));
        handler.setRoomEvents(&events);
        // An unarmed handler shown a game ignores it.
        handler.onJoinServer(0x0100007Fu, hostPort, 0);
        EXPECT_EQ(handler.roomJoinState, -1);

        handler.connectRoomServer(true, false);
        bool asked = false;
        const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(60);
        while (handler.client.state < NetworkGameClient::Loading && std::chrono::steady_clock::now() < end) {
            handler.update(0.005f);
            if (!asked && handler.room.connected()) {
                handler.sendRoomQueries();
                asked = true;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        EXPECT_EQ(events.connects, 1);
        EXPECT_FALSE(handler.room.setConfig(RoomClient::Config{}));  // not while connected
        EXPECT_EQ(events.entries, 0);  // joined at once, not listed
        EXPECT_EQ(handler.roomJoinState, 4);
        ASSERT_EQ(handler.client.state, NetworkGameClient::Loading);
        EXPECT_EQ(handler.client.joinSetup().gameType, 2);
        EXPECT_EQ(handler.client.playerId, 1);
        // The hello names the player's account: its number, then three zero words.
        const std::vector<std::uint8_t> hello = server.lastHello();
        ASSERT_GE(hello.size(), 124u);
        const std::uint32_t account = hello[108] | (hello[109] << 8) | (hello[110] << 16) |
                                      (static_cast<std::uint32_t>(hello[111]) << 24);
        EXPECT_EQ(account, settings().playerAccount[0]);
        EXPECT_EQ(std::vector<std::uint8_t>(hello.begin() + 112, hello.begin() + 124), std::vector<std::uint8_t>(12));
        handler.disconnect();
        EXPECT_FALSE(NetworkGame::running());
    }
    owner.leave();
    server.stop();
    settings() = saved;
}

// The main menu's quick match asks for no list: the flagged hello alone must
// bring the fullest room with a seat, which the handler joins; with no such
// room the server says so instead of leaving the player waiting.
TEST(RoomJoin, AQuickMatchIsOfferedAnOpenRoomOrToldThereIsNone)
{
    ModeHarness harness;
    std::string error;
    ASSERT_TRUE(harness.mountData(error)) << error;
    TempDir dir;
    HostPeer host;
    ASSERT_TRUE(host.start(dir, "Quickhost"));

    StandInRoomServer::Options options;
    options.port = 0;
    options.hostPort = host.port;
    StandInRoomServer server(options);
    ASSERT_TRUE(server.start());

    struct ErrorEvents : RecordingRoomEvents {
        std::string error;
        void onRoomError(const char* text) override { error = text ? text : ""; }
    };
    const auto quickMatch = [&](ErrorEvents& events, int untilState) {
        NetworkGameHandler handler;
        EXPECT_TRUE(handler.room.setConfig(pacedRoomConfig(server)));
        handler.setRoomEvents(&events);
        handler.connectRoomServer(true, false);
        const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(60);
        while (handler.client.state < untilState && events.error.empty() && std::chrono::steady_clock::now() < end) {
            handler.update(0.005f);
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        const int reached = handler.client.state;
        handler.disconnect();
        return reached;
    };

    ErrorEvents alone;
    quickMatch(alone, NetworkGameClient::Loading);
    EXPECT_NE(alone.error.find("free seat"), std::string::npos) << alone.error;
    EXPECT_EQ(alone.entries, 0);

    RoomClient owner(pacedRoomConfig(server));
    owner.connectAsync("owner", 1, 1);
    for (const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(60);
         !owner.connected() && std::chrono::steady_clock::now() < end;) {
        owner.poll(false);
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    ServerInfo info;
    info.clear();
    ASSERT_EQ(owner.createRoom(info.bytes.data(), 8, 0, "evening"), 0);

    ErrorEvents joining;
    EXPECT_EQ(quickMatch(joining, NetworkGameClient::Loading), NetworkGameClient::Loading);
    EXPECT_TRUE(joining.error.empty()) << joining.error;
    EXPECT_EQ(joining.entries, 0);  // joined at once, not listed
    EXPECT_FALSE(NetworkGame::running());
    owner.leave();
    server.stop();
}

// A game host that turns the join away ends the join at once, with its
// reason: the online pages take the busy sign down when the join state falls
// to 0, and a refusal must not leave it up for the whole 10 s wait.
TEST(RoomJoin, AJoinTheGameHostTurnsAwayEndsAtOnceWithTheHostsReason)
{
    ModeHarness harness;
    std::string error;
    ASSERT_TRUE(harness.mountData(error)) << error;
    for (const LanTransport::Refusal reason : {LanTransport::Refusal::Full, LanTransport::Refusal::Closed}) {
        SCOPED_TRACE(static_cast<int>(reason));
        LanTransport::Config config;
        config.bindPort = 0;
        config.announceAddress = 0;
        LanTransport gameHost(config);
        ASSERT_TRUE(gameHost.startServer());
        gameHost.setRefusal(reason);
        gameHost.setAccepting(false);
        gameHost.startThread();

        StandInRoomServer::Options options;
        options.port = 0;
        options.hostPort = gameHost.boundPort();
        options.rooms = {"evening:2:0"};
        StandInRoomServer server(options);
        ASSERT_TRUE(server.start());
        {
            NetworkGameHandler handler;
            ASSERT_TRUE(handler.room.setConfig(pacedRoomConfig(server)));
            handler.connectRoomServer(true, false);
            // The game's time from the room's join on. A loopback host may
            // answer inside the very update that asks it, so the host's reason
            // (below) is what shows it was asked.
            float waited = 0.0f;
            const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(60);
            while (handler.roomJoinState != 0 && std::chrono::steady_clock::now() < end) {
                handler.update(0.005f);
                if (handler.roomJoinState >= 2)
                    waited += 0.005f;
                std::this_thread::sleep_for(std::chrono::milliseconds(5));
            }
            EXPECT_EQ(handler.roomJoinState, 0);
            EXPECT_LT(waited, 2.0f) << "the join waited out its time";
            EXPECT_EQ(handler.client.refusal(), reason) << "the host was never asked, or its reason was lost";
            EXPECT_LT(handler.client.state, NetworkGameClient::Loading);
            handler.disconnect();
        }
        gameHost.stopThread();
        server.stop();
    }
}

// A browsing client finds the host on the local network, lists its game
// description and joins it from the list.
TEST(LanJoin, ABrowsingClientListsTheHostAndJoinsIt)
{
    ModeHarness harness;
    std::string error;
    ASSERT_TRUE(harness.mountData(error)) << error;
    TempDir dir;
    HostPeer host;
    ASSERT_TRUE(host.start(dir, "Lanhost"));
    NetworkGlobals& g = netGlobals();
    g.lanConfig = LanTransport::Config{};
    g.lanConfig.remotePort = host.port;
    g.lanConfig.discoveryAddress = 0x7F000001u;
    g.lanConfig.announceAddress = 0;
    {
        NetworkGameHandler handler;
        handler.startLanBrowse();
        ASSERT_TRUE(NetworkGame::running());
        EXPECT_EQ(handler.client.state, NetworkGameClient::Browsing);
        for (int i = 0; i < 12000 && handler.client.discoveredGames.empty(); ++i) {
            handler.client.processMessages();
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
            if (i % 100 == 99)
                handler.client.clearServerList();  // as the list page's refresh does
        }
        ASSERT_EQ(handler.client.discoveredGames.size(), 1u);
        ServerInfo listed;
        std::copy_n(handler.client.discoveredGames[0].info.begin(), ServerInfo::kSize, listed.bytes.begin());
        EXPECT_EQ(listed.name(), u"Lanhost");
        EXPECT_EQ(listed.u32(ServerInfo::Marker2), 789456u);

        handler.joinListedServer(0);
        EXPECT_EQ(handler.lanJoinState, 3);
        const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(60);
        while (handler.client.state < NetworkGameClient::Loading && std::chrono::steady_clock::now() < end) {
            handler.update(0.005f);
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        EXPECT_EQ(handler.lanJoinState, 4);
        EXPECT_EQ(handler.client.state, NetworkGameClient::Loading);
        handler.disconnect();
    }
    g.lanConfig = LanTransport::Config{};
}

}  // namespace
