#pragma once
// The set-up the match protocol tests share: a headless mode whose network
// connection is the game's handler over a scripted transport, playing the
// host with joiners the test speaks for, or a client joined to a host the
// test plays.
#include "modes/kinds/GameModeCustom.h"
#include "net/match/NetMessage.h"
#include "net/match/NetworkGameHandler.h"
#include "platform/Settings.h"

#include "support/modes/ModeHarness.h"
#include "support/net/FakeMatchTransport.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class Airplane;
class GameMode;
class Target;

namespace matchtest {

template <typename Msg>
std::vector<std::uint8_t> bytesOf(const Msg& msg)
{
    std::vector<std::uint8_t> out(netmsg::kMaxMessage);
    out.resize(static_cast<std::size_t>(msg.encode(out)));
    return out;
}

// The entity's player record as the host sends it.
std::vector<std::uint8_t> recordBytes(const GameMode& mode, const Target& entity);

class MatchOverFakeNet : public testing::Test {
protected:
    // When the mode learns its network role: before its level, as in the
    // game, or after it (a match made alone and then taken online, whose
    // joined client waits for the host to let its airplane in).
    enum class Role { BeforeLevel, AfterLevel };
    explicit MatchOverFakeNet(std::uint32_t seed, Role role = Role::BeforeLevel) : m_seed(seed), m_role(role) {}

    void SetUp() override;
    // The match goes before the handler: its network connection is the handler.
    void TearDown() override;

    GameModeCustom* startMode(int type, bool hosting);
    void frames(int n);

    struct Joiner {
        int slot;
        std::u16string name;
    };
    // A host of the kind with the joiners in play after `settle` frames; what
    // it sent until then is forgotten.
    GameModeCustom* hostWith(int type, const std::vector<Joiner>& joiners, int settle);
    // The airplane of a joined player, by player id.
    Airplane* joinerOf(GameMode& mode, int playerId);

    // A client of the kind joined as player 2 with the host's set-up. The
    // host's record of its airplane has it out of play (to be let in later)
    // or in play; the host announced the airplanes with the ids of `others`
    // too, all of one other player.
    GameModeCustom* joinedClient(int type, const netmsg::JoinCompleteMsg& setup, bool ownOut = true,
                                 const std::vector<int>& others = {});
    void receive(const std::vector<std::uint8_t>& message, int peer = 0);

    ModeHarness harness;
    FakeMatchTransport* fake = nullptr;
    std::unique_ptr<NetworkGameHandler> handler;
    Settings saved = settings();

private:
    std::uint32_t m_seed;
    Role m_role;
};

}  // namespace matchtest
