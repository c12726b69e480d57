// Every kind of match played on loopback by a host and two joiners, each a
// netpeer process: a joiner dies, one crashes by itself (carrying the flag
// in capture the flag), one switches team, survival reaches a later wave and
// last man standing plays several rounds. At the end every peer must hold
// the same score table, teams, wave and number of matches. The second joiner
// is named in another script in each kind: every log writes it as typed.
#include "NetPeerRun.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

namespace {

using PeerRun = matchtest::NetPeerRun;

// The lines of the final table ("score", "team", "wave", "matches"), without their times.
std::vector<std::string> finalTable(const PeerRun& p)
{
    return p.lines({" score ", " team ", " wave ", " matches "}, true);
}

struct KindRun {
    const char* name;
    int type;
    std::vector<std::string> host, wing1, wing2;
    std::string wing2Name;  // what "Wing2" in the actions stands for
};

std::vector<std::string> repeated(const std::string& action, int from, int to, int step)
{
    std::vector<std::string> out;
    for (int t = from; t < to; t += step)
        out.insert(out.end(), {"--at", std::to_string(t) + ":" + action});
    return out;
}

std::vector<std::string> joined(std::vector<std::string> a, const std::vector<std::string>& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

class KindsOnLoopback : public testing::TestWithParam<KindRun> {};

TEST_P(KindsOnLoopback, HostAndJoinersAgreeAtTheEnd)
{
    const KindRun& run = GetParam();
    TempDir dir;
    PeerRun host;
    std::vector<std::string> hostArgs{"--host", "--port", "0", "--type", std::to_string(run.type), "--players", "4",
                                      "--seconds", "240", "--name", "Hostess", "--at", "1:await:2"};
    for (std::string arg : run.host) {
        if (const auto at = arg.find("Wing2"); at != std::string::npos)
            arg.replace(at, 5, run.wing2Name);
        hostArgs.push_back(arg);
    }
    ASSERT_TRUE(host.spawn(hostArgs, (dir.path() / "host.log").string()));
    const int port = host.awaitPort();
    ASSERT_NE(port, 0) << host.log();
    const std::string target = "127.0.0.1:" + std::to_string(port);
    PeerRun wings[2];
    const std::vector<std::string>* actions[2] = {&run.wing1, &run.wing2};
    for (int i = 0; i < 2; ++i) {
        std::vector<std::string> args{"--join", target, "--seconds", "240", "--name", i == 0 ? "Wing1" : run.wing2Name};
        ASSERT_TRUE(wings[i].spawn(joined(args, *actions[i]), (dir.path() / ("wing" + std::to_string(i + 1) + ".log")).string()));
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
    }
    host.wait();
    wings[0].wait();
    wings[1].wait();

    const std::string hostLog = host.log();
    ASSERT_EQ(host.exitCode, 0) << hostLog;
    const std::vector<std::string> table = finalTable(host);
    EXPECT_GE(table.size(), 7u) << hostLog;  // three scores, three teams, the matches
    for (const PeerRun& w : wings) {
        const std::string log = w.log();
        EXPECT_EQ(w.exitCode, 0) << log;
        EXPECT_EQ(log.find("host lost"), std::string::npos) << log;
        EXPECT_EQ(finalTable(w), table) << "host:\n" << hostLog << "\njoiner:\n" << log;
    }
    const auto named = [&](const std::string& row) { return row.find(" " + run.wing2Name + " ") != std::string::npos; };
    EXPECT_NE(std::find_if(table.begin(), table.end(), named), table.end()) << hostLog;

    // What each kind must have shown every peer on the way.
    const std::string w1 = wings[0].log(), w2 = wings[1].log();
    switch (run.type) {
    case 3:
    case 4:
    case 5:
        // Wing1 asked for the other team; everybody has it there.
        EXPECT_NE(w1.find("asked for team"), std::string::npos) << w1;
        for (const PeerRun* p : {&host, &wings[0], &wings[1]}) {
            const std::string log = p->log();
            const std::string asked = w1.substr(w1.find("asked for team ") + 15, 1);
            EXPECT_NE(log.find(" team Wing1 " + asked), std::string::npos) << log;
        }
        break;
    default: break;
    }
    if (run.type == 4) {
        // Every side showed the flag taken by Wing1 and dropped at its own crash
        // (Wing1's own lines say "you" instead of its name).
        for (const PeerRun* p : {&host, &wings[1]})
            EXPECT_GE(p->count(" notice Wing1"), 2) << p->log();
        EXPECT_GE(wings[0].count(" notice "), 2) << w1;
    }
    if (run.type == 5) {
        // The host's round start reached the joiners.
        EXPECT_GE(wings[0].count(" notice "), 1) << w1;
        EXPECT_GE(wings[1].count(" notice "), 1) << w2;
    }
    if (run.type == 6) {
        // A later wave than the first, and the joiners saw it start.
        const auto at = hostLog.find(" wave ");
        ASSERT_NE(at, std::string::npos) << hostLog;
        EXPECT_GE(std::stoi(hostLog.substr(at + 6)), 1) << hostLog;
        EXPECT_GE(wings[0].count(" notice "), 2) << w1;
    }
    if (run.type == 13) {
        // Several rounds, and both joiners there for every one.
        EXPECT_EQ(host.count("match ended"), 3) << hostLog;
        EXPECT_EQ(wings[0].count("match ended"), 3) << w1;
        EXPECT_EQ(wings[1].count("match ended"), 3) << w2;
    }
}

// Host times count from its start; "await:2" holds every later host action
// until both joiners fly. Joiner times count from their own join.
const KindRun kRuns[] = {
    {"FreeForAll", 2, joined({"--at", "4:destroy:Wing2", "--at", "16:end"}, {}), {"--at", "8:crash"}, {}, "Лётчик"},
    {"TeamDeathmatch", 3, {"--at", "4:destroy:Wing2", "--at", "18:end"}, {"--at", "4:team", "--at", "10:crash"}, {},
     "飞行员"},
    {"CaptureTheFlag", 4, {"--at", "3:flag:Wing1", "--at", "12:destroy:Wing2", "--at", "22:end"},
     {"--at", "8:crash", "--at", "14:team"}, {}, "パイロット"},
    {"DestroyTheBase", 5, {"--at", "4:destroy:Wing2", "--at", "20:end"}, {"--at", "4:team", "--at", "16:crash"}, {},
     "조종사"},
    {"Survival", 6, joined(repeated("destroy:bot", 13, 22, 1), {"--at", "24:destroy:Wing2", "--at", "30:end"}),
     {"--at", "26:crash"}, {}, "Wing2"},
    {"LastManStanding", 13, joined({"--matches", "3"}, repeated("destroy", 22, 140, 2)),
     {"--matches", "3", "--at", "30:crash"}, {"--matches", "3"}, "Ёжик"},
};

INSTANTIATE_TEST_SUITE_P(EveryKind, KindsOnLoopback, testing::ValuesIn(kRuns),
                         [](const testing::TestParamInfo<KindRun>& info) { return std::string(info.param.name); });

}  // namespace
