// What a player's own airplane does is its own to tell: the host relays a
// joiner's own crash to the others but never back to it, and a joiner never
// takes a record of its own airplane for another player's.
#include "entities/aircraft/Airplane.h"
#include "gamedata/records/PlaneCfg.h"
#include "modes/PlayerRecord.h"
#include "modes/kinds/GameModeCustom.h"
#include "net/match/NetMessage.h"

#include "MatchOverFakeNet.h"

#include <gtest/gtest.h>

#include <map>
#include <vector>

namespace {

using matchtest::bytesOf;

struct OwnAirplaneEcho : matchtest::MatchOverFakeNet {
    OwnAirplaneEcho() : MatchOverFakeNet(77) {}
    // The destroyed messages about the airplane, by the peer they went to.
    std::map<int, int> destroyedTo(int victimId) const
    {
        std::map<int, int> to;
        for (const auto& s : fake->sent) {
            netmsg::AirplaneDestroyedMsg d;
            if (!s.bytes.empty() && s.bytes[0] == netmsg::AirplaneDestroyed && d.decode(s.bytes) &&
                d.victimId == victimId)
                ++to[s.peer];
        }
        return to;
    }
};

// Wing1 (slot 0) crashes by itself into the ground, the sea and a prop, and
// reports each; only Wing2 (slot 1) hears of it from the host. Shot down by
// the host, Wing1 hears of its death like everybody.
TEST_F(OwnAirplaneEcho, AJoinersOwnCrashGoesToTheOthersButNeverBackToIt)
{
    GameModeCustom* mode = hostWith(2, {{0, u"Wing1"}, {1, u"Wing2"}}, 60);
    ASSERT_NE(mode, nullptr);
    Airplane* wing1 = joinerOf(*mode, 1);
    ASSERT_NE(wing1, nullptr);
    ASSERT_NE(joinerOf(*mode, 2), nullptr);
    for (CrashCause cause : {CrashCause::Ground, CrashCause::Water, CrashCause::Prop}) {
        SCOPED_TRACE(static_cast<int>(cause));
        for (int i = 0; i < 20 * 60 && !wing1->isActive(); ++i)
            frames(1);
        ASSERT_TRUE(wing1->isActive());
        frames(60);
        fake->sent.clear();
        netmsg::AirplaneDestroyedMsg crash;
        crash.kind = static_cast<int>(cause);
        crash.flags = 4;
        crash.victimId = wing1->id();
        crash.killerId = -1;
        crash.respawnTime = 3.0f;
        crash.position = wing1->position();
        fake->inbox.push_back({0, bytesOf(crash)});
        frames(2);
        EXPECT_FALSE(wing1->isAlive()) << "the host applied the crash";
        // Its owner's word that the death is over goes the same way.
        crash.flags = 8;
        fake->inbox.push_back({0, bytesOf(crash)});
        frames(2);
        EXPECT_FALSE(wing1->isActive());
        const std::map<int, int> to = destroyedTo(wing1->id());
        EXPECT_EQ(to.count(0), 0u) << "echoed to its owner";
        ASSERT_EQ(to.count(1), 1u) << "the other joiner never heard";
        EXPECT_EQ(to.at(1), 2) << "the crash and the end of its death";
    }
    for (int i = 0; i < 20 * 60 && !wing1->isActive(); ++i)
        frames(1);
    ASSERT_TRUE(wing1->isActive());
    frames(60);
    fake->sent.clear();
    mode->damageAirplane(*wing1, mode->playerAirplane(), 1e9f, wing1->position(), nullptr, true);
    frames(2);
    const std::map<int, int> to = destroyedTo(wing1->id());
    EXPECT_EQ(to.count(0), 1u);
    EXPECT_EQ(to.count(1), 1u);
}

// A record of the joiner's own airplane framed as another player's news (its
// owner the joiner itself) changes nothing: no second airplane, the own one
// stays this machine's to fly, with its team and scores.
TEST_F(OwnAirplaneEcho, AJoinerIgnoresARecordOfItsOwnAirplane)
{
    netmsg::JoinCompleteMsg setup;
    GameModeCustom* mode = joinedClient(3, setup, false);
    ASSERT_NE(mode, nullptr);
    Airplane* own = mode->playerAirplane();
    ASSERT_NE(own, nullptr);
    frames(30);
    const int team = own->team();
    const NetworkRole role = own->networkRole;
    const std::size_t entities = mode->entities().size();
    own->scores[Airplane::kScorePoints] = 5;

    std::vector<std::uint8_t> record = matchtest::recordBytes(*mode, *own);
    // The host's view of it: the other team, other scores.
    auto* copy = mode->createAirplane(nullptr, own->record().plane_id, 1 - team, 0.0f, nullptr, false);
    ASSERT_NE(copy, nullptr);
    copy->scores[Airplane::kScorePoints] = 99;
    std::vector<std::uint8_t> other = matchtest::recordBytes(*mode, *copy);
    mode->removeEntity(*copy);
    frames(1);
    // Its own id in the host's record of the other team.
    other[6] = record[6];
    other[7] = record[7];
    netmsg::RecordMsg::frame(other, netmsg::PlayerInfo, false, 2);
    receive(other);
    frames(2);
    EXPECT_EQ(mode->playerAirplane(), own);
    EXPECT_EQ(own->team(), team);
    EXPECT_EQ(own->networkRole, role);
    EXPECT_EQ(own->scores[Airplane::kScorePoints], 5);
    EXPECT_EQ(mode->entities().size(), entities);
    EXPECT_EQ(mode->findPlayerAirplane(own->id()), own);
}

}  // namespace
