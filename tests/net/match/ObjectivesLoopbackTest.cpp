// The objectives and kills of a network match as every machine sees them,
// each side a netpeer process on loopback: bases destroyed by a host and by a
// joiner and rebuilt at each round start, a dropped flag shown to a player
// who joins later, ships and guns the host has down down for a joiner too,
// and a joiner shot down by the host's missiles.
#include "NetPeerRun.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#include <signal.h>

namespace {

using PeerRun = matchtest::NetPeerRun;

std::vector<std::string> atEach(const std::string& action, int from, int to)
{
    std::vector<std::string> out;
    for (int t = from; t <= to; ++t)
        out.insert(out.end(), {"--at", std::to_string(t) + ":" + action});
    return out;
}

std::vector<std::string> joined(std::vector<std::string> a, const std::vector<std::string>& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

// The position of the first line holding text at or after `from`; npos when none.
std::size_t lineAfter(const std::string& log, const std::string& text, std::size_t from)
{
    return from == std::string::npos ? std::string::npos : log.find(text, from);
}

struct Match {
    TempDir dir;
    PeerRun host;
    std::string target;

    bool startHost(const std::vector<std::string>& args)
    {
        if (!host.spawn(joined({"--host", "--port", "0", "--players", "4"}, args), (dir.path() / "host.log").string()))
            return false;
        const int port = host.awaitPort();
        target = "127.0.0.1:" + std::to_string(port);
        return port != 0;
    }
    bool join(PeerRun& peer, const std::string& name, const std::vector<std::string>& args)
    {
        return peer.spawn(joined({"--join", target, "--name", name}, args), (dir.path() / (name + ".log")).string());
    }
};

// Round one: the host destroys the other team's only base. Round two: a
// joiner's missiles destroy the host's team's base. Each destroyed base is
// down on every machine and stands again at the next round start there.
TEST(ObjectivesOnLoopback, BasesFallToJoinersAndStandAgainEachRoundOnEveryMachine)
{
    Match m;
    ASSERT_TRUE(m.startHost(joined({"--type", "5", "--seconds", "90", "--name", "Hostess", "--at", "1:await:2"},
                                   joined(atEach("missile:base", 12, 15), {"--at", "60:end"}))));
    PeerRun wing1, wing2;
    // Joiner times count from its own start; round two has begun by then.
    ASSERT_TRUE(m.join(wing1, "Wing1", joined({"--seconds", "90"}, atEach("missile:base", 32, 40))));
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    ASSERT_TRUE(m.join(wing2, "Wing2", {"--seconds", "90"}));
    m.host.wait();
    wing1.wait();
    wing2.wait();

    const std::string w1 = wing1.log();
    ASSERT_EQ(m.host.exitCode, 0) << m.host.log();
    // The joiner's own missiles went at the other team's base in round two.
    ASSERT_NE(w1.find("missile 10 at Blue Base"), std::string::npos) << w1;
    for (const PeerRun* p : {&m.host, &wing1, &wing2}) {
        const std::string log = p->log();
        EXPECT_EQ(p->exitCode, 0) << log;
        std::size_t at = lineAfter(log, "base Red Base down", 0);
        at = lineAfter(log, "notice Bases rebuilt", at);
        at = lineAfter(log, "base Red Base up", at);
        at = lineAfter(log, "base Blue Base down", at);
        at = lineAfter(log, "bases closed", at);
        at = lineAfter(log, "base Blue Base up", at);
        at = lineAfter(log, "bases open", at);
        EXPECT_NE(at, std::string::npos) << "bases not downed and rebuilt in order:\n" << log;
        // Each base fell once: the second round's base fell to the joiner only.
        EXPECT_EQ(p->count("base Red Base down"), 1) << log;
        EXPECT_EQ(p->count("base Blue Base down"), 1) << log;
    }
}

// The host carries the enemy flag and drops it in the air; a player who
// joins after that has it lying where the host has it, not at its home.
TEST(ObjectivesOnLoopback, ALateJoinerSeesTheDroppedFlagWhereTheHostHasIt)
{
    Match m;
    // The match ends soon after the late join: given time, the host's pilot
    // flies back into the flag it dropped and takes it up again.
    ASSERT_TRUE(m.startHost({"--type", "4", "--seconds", "90", "--name", "Hostess", "--at", "1:await:1", "--at",
                             "8:flag:Hostess", "--at", "12:drop:Hostess", "--at", "26:end"}));
    PeerRun wing1, wing2;
    ASSERT_TRUE(m.join(wing1, "Wing1", {"--seconds", "90"}));
    // Late: once the host has dropped the flag.
    for (int i = 0; i < 600 && m.host.count("flag dropped at") == 0 && m.host.running(); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    ASSERT_EQ(m.host.count("flag dropped at"), 1) << m.host.log();
    ASSERT_TRUE(m.join(wing2, "Wing2", {"--seconds", "90"}));
    m.host.wait();
    wing1.wait();
    wing2.wait();

    const std::vector<std::string> hostFlags = m.host.lines({" flag 1 state"}, true);
    ASSERT_EQ(hostFlags.size(), 1u) << m.host.log();
    EXPECT_NE(hostFlags[0].find("state 3"), std::string::npos) << m.host.log();
    int hx = 0, hy = 0, hz = 0;
    ASSERT_EQ(std::sscanf(hostFlags[0].c_str(), "flag 1 state 3 at %d %d %d", &hx, &hy, &hz), 3) << hostFlags[0];
    for (const PeerRun* p : {&wing1, &wing2}) {
        const std::string log = p->log();
        EXPECT_EQ(p->exitCode, 0) << log;
        const std::vector<std::string> flags = p->lines({" flag 1 state"}, true);
        ASSERT_EQ(flags.size(), 1u) << log;
        int x = 0, y = 0, z = 0;
        ASSERT_EQ(std::sscanf(flags[0].c_str(), "flag 1 state 3 at %d %d %d", &x, &y, &z), 3) << log;
        // The same place to a few units (the positions travel as floats).
        EXPECT_LE(std::abs(x - hx) + std::abs(y - hy) + std::abs(z - hz), 6) << log << "\nhost: " << hostFlags[0];
    }
}

// Missiles of the host that do not kill at once: the host keeps the damage
// they did (a joiner's own state never puts its health back up) and the
// last one shoots the joiner down, a kill every machine credits to the host.
TEST(ObjectivesOnLoopback, AJoinerShotDownByTheHostsMissilesIsTheHostsKillEverywhere)
{
    Match m;
    // A team match: Wing1 alone in the other team, Wing2 the host's team-mate.
    std::vector<std::string> host = {"--type", "3", "--seconds", "90", "--name", "Hostess", "--score-limit", "1",
                                     "--at", "1:await:2"};
    // The small guided missile, one every two seconds, until the kill ends the match.
    for (int t = 6; t <= 40; t += 2)
        host.insert(host.end(), {"--at", std::to_string(t) + ":missile:Wing1:9"});
    ASSERT_TRUE(m.startHost(host));
    PeerRun wing1, wing2;
    ASSERT_TRUE(m.join(wing1, "Wing1", {"--seconds", "90"}));
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    ASSERT_TRUE(m.join(wing2, "Wing2", {"--seconds", "90"}));
    m.host.wait();
    wing1.wait();
    wing2.wait();

    const std::string hostLog = m.host.log();
    ASSERT_EQ(m.host.exitCode, 0) << hostLog;
    ASSERT_GE(m.host.count("missile 9 at Wing1"), 1) << hostLog;
    // On the host Wing1's health only goes down until it is shot down.
    int last = 10;
    for (const std::string& line : m.host.lines({" health Wing1 "}, true)) {
        const int tenths = std::stoi(line.substr(line.rfind(' ') + 1));
        EXPECT_LE(tenths, last) << "Wing1's health went back up on the host:\n" << hostLog;
        last = tenths;
    }
    EXPECT_EQ(last, 0) << hostLog;
    for (const PeerRun* p : {&m.host, &wing1, &wing2}) {
        const std::string log = p->log();
        EXPECT_EQ(p->exitCode, 0) << log;
        EXPECT_NE(log.find(" score Hostess 1 0"), std::string::npos) << log;
        EXPECT_NE(log.find(" score Wing1 "), std::string::npos) << log;
        EXPECT_EQ(log.find(" score Wing1 0 0"), std::string::npos) << "Wing1's death went uncounted:\n" << log;
    }
}

}  // namespace

namespace {

// A room's weapon filter reaches every player of its match: missiles only
// puts a missile where each gun was, guns only a gun where each missile was,
// on the host and on the joiner alike.
TEST(ObjectivesOnLoopback, TheRoomsWeaponFilterArmsEveryPlayerAlike)
{
    for (const char* rule : {"1", "2"}) {
        Match m;
        ASSERT_TRUE(m.startHost({"--type", "2", "--seconds", "60", "--weapons", rule, "--name", "Hostess", "--at",
                                 "1:await:1", "--at", "6:end"}));
        PeerRun wing;
        ASSERT_TRUE(m.join(wing, "Wing1", {"--seconds", "60"}));
        m.host.wait();
        wing.wait();
        const std::vector<std::string> hostArms = m.host.lines({" arms "}, true);
        ASSERT_EQ(hostArms.size(), 2u) << m.host.log();
        EXPECT_EQ(wing.lines({" arms "}, true), hostArms) << wing.log();
        for (const std::string& line : hostArms) {
            int a = 0, b = 0, c = 0;
            ASSERT_EQ(std::sscanf(line.substr(line.rfind("arms ") + 5).c_str(), "%*s %d %d %d", &a, &b, &c), 3) << line;
            // Weapon 3 is the simple missile, 0 the light machine gun.
            if (std::string(rule) == "1")
                EXPECT_EQ(a, 3) << line;
            else
                EXPECT_TRUE(b == 0 && c == 0) << line;
        }
    }
}

// Once the clock of a timed match runs its last minute the host takes no
// one more: a player who comes then never gets in.
// The host sinks the map's ships and shoots its guns before anybody joins;
// one who joins then sees each of them down, as the host does.
TEST(ObjectivesOnLoopback, UnitsTheHostHasDownAreDownForAJoiner)
{
    Match m;
    ASSERT_TRUE(m.startHost({"--type", "2", "--seconds", "14", "--name", "Hostess", "--at", "1:sink"}));
    for (int i = 0; i < 300 && m.host.count("sank") == 0 && m.host.running(); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    PeerRun late;
    ASSERT_TRUE(m.join(late, "Wing1", {"--seconds", "8"}));
    late.wait();
    m.host.wait();
    const std::vector<std::string> hostDown = m.host.lines({"units down"}, true);
    ASSERT_EQ(hostDown.size(), 1u) << m.host.log();
    EXPECT_GT(hostDown[0].size(), std::string("units down 0 1").size()) << "too few units went down";
    EXPECT_EQ(late.lines({"units down"}, true), hostDown) << late.log();
    EXPECT_NE(late.count("joined as player"), 0) << late.log();
}

// One who joins a survival match during a wave is out of it for good, the
// next wave's pilots wait for it and the units the host sank wait for their
// return: the joiner is told each of them and keeps each as the host does,
// neither waiting for a pilot who is out nor giving up one that comes back.
TEST(ObjectivesOnLoopback, AJoinerKeepsWhatIsOutForGoodAndWhatWaitsAsTheHostDoes)
{
    Match m;
    ASSERT_TRUE(m.startHost({"--type", "6", "--seconds", "30", "--name", "Hostess", "--at", "1:sink", "--at",
                             "2:destroy:bot"}));
    // Until the pilot's fall is over (the first wave comes at 10 s) as well as every unit's.
    const auto settled = [&] {
        const std::string log = m.host.log();
        const auto at = log.find(" sank ");
        return at != std::string::npos && m.host.count("death over") >= std::atoi(log.c_str() + at + 6) + 1;
    };
    for (int i = 0; i < 600 && !settled() && m.host.running(); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    ASSERT_TRUE(settled()) << m.host.log();
    PeerRun late;
    ASSERT_TRUE(m.join(late, "Wing1", {"--seconds", "4"}));
    late.wait();
    m.host.wait();
    // The host's lines as the joiner came, the joiner's once joined.
    const std::vector<std::string> hostDown = m.host.lines({" down "}, true);
    const auto has = [&](const char* end) {
        return std::ranges::any_of(hostDown, [&](const std::string& l) { return l.ends_with(end); });
    };
    ASSERT_TRUE(has(" out") && has(" waiting")) << m.host.log();
    EXPECT_EQ(late.lines({" down "}, true), hostDown) << late.log();
    EXPECT_NE(late.count("joined as player"), 0) << late.log();
}

TEST(ObjectivesOnLoopback, NoJoinInATimedMatchsLastMinute)
{
    Match m;
    ASSERT_TRUE(m.startHost({"--type", "2", "--minutes", "1", "--seconds", "60", "--name", "Hostess", "--at",
                             "1:await:1", "--at", "30:end"}));
    PeerRun first, late;
    ASSERT_TRUE(m.join(first, "Wing1", {"--seconds", "60"}));
    // The clock runs once two play; then comes the late one.
    for (int i = 0; i < 600 && m.host.count("awaited 1") == 0 && m.host.running(); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    ASSERT_TRUE(m.join(late, "Wing2", {"--seconds", "60"}));
    m.host.wait();
    first.wait();
    for (int i = 0; i < 100 && late.running(); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    const bool answered = !late.running();
    if (late.running())
        ::kill(late.pid, SIGKILL);
    late.wait();
    EXPECT_EQ(m.host.exitCode, 0) << m.host.log();
    EXPECT_EQ(m.host.count("players 2"), 0) << m.host.log();
    EXPECT_EQ(late.count("joined as player"), 0) << late.log();
    EXPECT_NE(first.count("joined as player"), 0) << first.log();
    // Told why, not left waiting on a host that never answers; the host's log names it.
    EXPECT_TRUE(answered);
    EXPECT_NE(late.count("turned the join away: no new players now"), 0) << late.log();
    EXPECT_NE(m.host.count("turned a join from 127.0.0.1"), 0) << m.host.log();
}

}  // namespace
