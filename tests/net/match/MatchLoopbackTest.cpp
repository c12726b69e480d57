#include "NetPeerRun.h"
#include "UdpImpairmentProxy.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <map>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace {

using Peer = matchtest::NetPeerRun;

// The "score" lines at the end, without their times.
std::vector<std::string> scores(const Peer& p)
{
    return p.lines({" score "}, false);
}

// The "where" lines: each airplane in play and its x and z when the match stopped.
std::map<std::string, std::pair<int, int>> positions(const Peer& p)
{
    std::map<std::string, std::pair<int, int>> at;
    std::istringstream in(p.log());
    for (std::string line; std::getline(in, line);) {
        const auto w = line.find(" where ");
        if (w == std::string::npos)
            continue;
        std::istringstream fields(line.substr(w + 7));
        std::string name;
        int x = 0, z = 0;
        if (fields >> name >> x >> z)
            at[name] = {x, z};
    }
    return at;
}

// A host and seven joiners through a link that loses a tenth of the
// datagrams each way and reorders others: everybody plays, a chat and the
// host's kills reach every peer, one joiner quits and comes back, and the
// match ends by its score limit with the same table and positions everywhere.
TEST(MatchLoopback, AHostAndSevenJoinersPlayAFreeForAllToItsScoreLimit)
{
    TempDir dir;
    // Every step waits on what it needs (the host's port, seven in play, the
    // one who left back in play); nothing waits on the clock, so a loaded
    // machine only takes longer.
    Peer host;
    std::vector<std::string> hostArgs{"--host", "--port", "0", "--players", "8", "--score-limit", "3",
                                      "--seconds", "200", "--name", "Hostess", "--at", "1:await:7",
                                      "--at", "2:chat:hello all", "--at", "2.5:chat:hello all",
                                      "--at", "3:chat:hello all", "--at", "3.5:chat:hello all", "--at", "4:await:8"};
    // More kills than the limit needs: the AI flying the host's airplane may crash and lose points.
    // They come soon after the one who left is back: the AIs score too, and
    // the match must not reach its limit before then.
    for (int t = 5; t < 21; t += 2)
        hostArgs.insert(hostArgs.end(), {"--at", std::to_string(t) + ":destroy"});
    ASSERT_TRUE(host.spawn(hostArgs, (dir.path() / "host.log").string()));
    const std::uint16_t hostPort = host.awaitPort();
    ASSERT_NE(hostPort, 0) << host.log();

    UdpImpairmentProxy::Options options;
    options.upstreamPort = hostPort;
    options.seed = 52;
    options.toUpstream = {0.1, 0.0, 0.1, 0};
    options.toClient = {0.1, 0.0, 0.1, 0};
    UdpImpairmentProxy proxy(options);
    ASSERT_TRUE(proxy.start());
    const std::string target = "127.0.0.1:" + std::to_string(proxy.port());

    std::vector<Peer> joiners(7);
    for (int i = 0; i < 7; ++i) {
        std::vector<std::string> args{"--join", target, "--seconds", "200", "--name", "Wing" + std::to_string(i + 1)};
        // Wing3 leaves once the host's chat shows everybody is in play (or
        // late, should it lose both lines).
        if (i == 2)
            args.insert(args.end(), {"--until", "hello all", "--at", "16:quit"});
        ASSERT_TRUE(joiners[static_cast<std::size_t>(i)].spawn(args, (dir.path() / ("joiner" + std::to_string(i) + ".log")).string()));
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
    }
    // The joiner who quit comes back once the host has let it go.
    while (host.log().find("left the game") == std::string::npos && host.running())
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    Peer rejoiner;
    ASSERT_TRUE(rejoiner.spawn({"--join", target, "--seconds", "200", "--name", "Wing3"},
                               (dir.path() / "rejoiner.log").string()));
    host.wait();
    for (Peer& p : joiners)
        p.wait();
    rejoiner.wait();
    proxy.stop();

    const std::string hostLog = host.log();
    EXPECT_EQ(host.exitCode, 0) << hostLog;
    EXPECT_NE(hostLog.find("players 7"), std::string::npos) << hostLog;
    EXPECT_NE(hostLog.find("left the game"), std::string::npos) << hostLog;
    EXPECT_NE(hostLog.find("match ended"), std::string::npos) << hostLog;
    const std::vector<std::string> table = scores(host);
    EXPECT_EQ(table.size(), 8u) << hostLog;  // the host, the six who stayed and the one back
    int chats = 0;
    for (std::size_t i = 0; i < joiners.size(); ++i) {
        const Peer& p = joiners[i];
        const std::string log = p.log();
        EXPECT_EQ(p.exitCode, 0) << "joiner " << i << "\n" << log;
        EXPECT_NE(log.find("state 6"), std::string::npos) << log;
        if (i == 2)
            continue;
        // Chat travels sequenced: on this lossy, reordering link a line may be
        // lost or come late; said four times, one reaches nearly everybody.
        chats += log.find("hello all") != std::string::npos;
        EXPECT_NE(log.find("left the game"), std::string::npos) << log;
        EXPECT_NE(log.find("match ended"), std::string::npos) << log;
        EXPECT_EQ(scores(p), table) << "joiner " << i << "\n" << log;
    }
    EXPECT_GE(chats, 5);
    const std::string again = rejoiner.log();
    EXPECT_EQ(rejoiner.exitCode, 0) << again;
    EXPECT_NE(again.find("state 6"), std::string::npos) << again;
    EXPECT_EQ(scores(rejoiner), table) << again;
    EXPECT_NE(hostLog.find("players 7", hostLog.find("left the game")), std::string::npos) << "back to seven\n" << hostLog;

    // Where the airplanes were when play stopped agrees to within a few
    // hundred metres (the last states are a tenth of a second apart).
    const auto hostAt = positions(host);
    EXPECT_GE(hostAt.size(), 2u) << hostLog;
    for (const Peer* p : {&joiners[0], &joiners[4], &rejoiner}) {
        for (const auto& [name, at] : positions(*p)) {
            const auto there = hostAt.find(name);
            if (there == hostAt.end())
                continue;
            EXPECT_LT(std::abs(at.first - there->second.first) + std::abs(at.second - there->second.second), 600)
                << name << "\n" << p->log();
        }
    }
    EXPECT_GT(proxy.dropped(), 0u);
}

}  // namespace
