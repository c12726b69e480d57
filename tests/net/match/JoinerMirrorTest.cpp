// A joiner's picture of the match is the host's: a host of each kind plays
// with a joiner it really serves; everything it sends that joiner is then
// played into a joined client of the same kind, and the client's airplanes,
// teams, scores, flags, bases and wave must be the host's own.
#include "entities/aircraft/Airplane.h"
#include "entities/ground/Flag.h"
#include "entities/ground/GroundTarget.h"
#include "modes/GameModeGlobals.h"
#include "modes/Match.h"
#include "modes/MatchReport.h"
#include "modes/kinds/GameModeCTF.h"
#include "modes/kinds/GameModeDTB.h"
#include "modes/kinds/GameModeSRV.h"
#include "net/match/NetMessage.h"
#include "net/match/NetworkGameHandler.h"
#include "net/match/PlayerRecordCodec.h"

#include "MatchOverFakeNet.h"

#include <gtest/gtest.h>

#include <functional>
#include <algorithm>
#include <map>
#include <memory>
#include <optional>
#include <vector>

namespace {

using matchtest::bytesOf;
using Bytes = std::vector<std::uint8_t>;

// What a side shows of the match.
struct Picture {
    std::map<int, std::pair<int, int>> airplanes;  // id: team, points
    std::optional<MatchReport::Flags> flags;
    std::optional<MatchReport::Waves> waves;
    std::array<int, 2> basesLeft{-1, -1};
    std::map<int, std::array<bool, 3>> bases;  // id: alive, active, in play
    std::array<int, 2> flagStates{-1, -1};      // carried by its own team or an enemy, home, dropped
};

Picture pictureOf(const GameMode& mode)
{
    Picture p;
    for (const auto& e : mode.entities())
        if (e->kind() == TargetKind::Airplane)
            p.airplanes[e->id()] = {e->team(), static_cast<const Airplane&>(*e).scores[Airplane::kScorePoints]};
    MatchReport report;
    mode.fillReport(report);
    p.flags = report.flags;
    p.waves = report.waves;
    if (report.rounds && report.rounds->teamMode && mode.gameType() == GameType::DestroyTheBase)
        p.basesLeft = report.rounds->basesLeft;
    if (const auto* ctf = dynamic_cast<const GameModeCTF*>(&mode))
        for (int team = 0; team < 2; ++team)
            if (const Flag* f = ctf->flagOfTeam(team))
                p.flagStates[static_cast<std::size_t>(team)] = static_cast<int>(f->state());
    if (const auto* dtb = dynamic_cast<const GameModeDTB*>(&mode))
        for (int team = 0; team < 2; ++team)
            for (const GroundTarget* b : dtb->bases(team))
                p.bases[b->id()] = {b->isAlive(), b->isActive(), b->inPlay};
    return p;
}

struct JoinerMirror : matchtest::MatchOverFakeNet {
    JoinerMirror() : MatchOverFakeNet(73) {}
    std::vector<Bytes> toWing1;  // all the host sent Wing1 (slot 0), in order

    void keep()
    {
        for (const auto& s : fake->sent)
            if (s.peer == 0)
                toWing1.push_back(s.bytes);
        fake->sent.clear();
    }
    void hostFrames(int n)
    {
        for (int i = 0; i < n; ++i) {
            frames(1);
            keep();
        }
    }
    // The host of the kind with Wing2 in play; `before` plays on it, then
    // Wing1 joins and flies too.
    GameModeCustom* host(int type, const std::function<void(GameModeCustom&)>& before = {})
    {
        GameModeCustom* mode = hostWith(type, {{1, u"Wing2"}}, 120);
        if (!mode)
            return nullptr;
        if (before)
            before(*mode);
        fake->sent.clear();
        JoinRequest request;
        request.planeId = settings().localPlaneId;
        request.name = u"Wing1";
        Bytes bytes(JoinRequest::kSize);
        encodeJoinRequest(request, bytes);
        fake->inbox.push_back({0, bytes});
        fake->inbox.push_back({0, bytesOf(netmsg::ReadyMsg{})});
        hostFrames(120);
        joined = toWing1.size();
        atJoin = pictureOf(*mode);
        return mode;
    }
    // The messages and the host's picture when Wing1 had joined.
    std::size_t joined = 0;
    Picture atJoin;
    // The joiner as it was just after its join, then after everything.
    void expectJoinerMirrorsTheHost(int type, const Picture& atEnd)
    {
        {
            SCOPED_TRACE("just joined");
            GameModeCustom* client = joiner(type, joined);
            ASSERT_NE(client, nullptr);
            expectSame(atJoin, pictureOf(*client));
        }
        SCOPED_TRACE("at the end");
        GameModeCustom* client = joiner(type);
        ASSERT_NE(client, nullptr);
        expectSame(atEnd, pictureOf(*client));
    }
    // The host's match gone, Wing1's client joins with what it was sent.
    // Only the first `count` messages when given: the joiner as it was then.
    GameModeCustom* joiner(int type, std::size_t count = ~std::size_t{0})
    {
        const std::size_t end = std::min(count, toWing1.size());
        harness.finish();
        handler.reset();
        handler = std::make_unique<NetworkGameHandler>();
        NetworkGameClient& client = handler->client;
        if (!client.connectTo(0x7F000001u, 6026))
            return nullptr;
        fake->isConnected = true;
        fake->inbox.push_back({0, bytesOf(netmsg::WelcomeMsg{})});
        std::size_t next = 0;
        // The messages up to and with the first of the type.
        const auto feedThrough = [&](int type) {
            while (next < end) {
                fake->inbox.push_back({0, toWing1[next]});
                if (toWing1[next++][0] == type)
                    break;
            }
        };
        // Up to the join's set-up; the client then loads its level.
        feedThrough(netmsg::JoinComplete);
        client.processMessages();
        GameModeCustom* mode = startMode(type, false);
        if (!mode)
            return nullptr;
        feedThrough(netmsg::JoinEnd);
        client.processMessages();
        client.applyJoinState();
        client.active = 1;
        for (; next < end; ++next) {
            fake->inbox.push_back({0, toWing1[next]});
            client.processMessages();
        }
        frames(2);
        return mode;
    }
    Airplane* botOfTeam(GameMode& mode, int team) const
    {
        for (const auto& e : mode.entities())
            if (e->kind() == TargetKind::Airplane && e->team() == team && e->isActive() && e->isAlive() &&
                e.get() != mode.playerAirplane() && static_cast<Airplane&>(*e).networkRole == NetworkRole::Local)
                return static_cast<Airplane*>(e.get());
        return nullptr;
    }
    // The host's player scores a kill, then switches team by the page's road.
    void scoreAndSwitch(GameMode& mode)
    {
        Airplane* own = mode.playerAirplane();
        ASSERT_NE(own, nullptr);
        Airplane* enemy = botOfTeam(mode, 1 - own->team());
        if (!enemy)
            for (const auto& e : mode.entities())
                if (e->kind() == TargetKind::Airplane && e->team() != own->team() && e->isActive())
                    enemy = static_cast<Airplane*>(e.get());
        ASSERT_NE(enemy, nullptr);
        mode.damageAirplane(*enemy, own, 1e9f, enemy->position(), nullptr, true);
        hostFrames(60);
        mode.removeAirplaneForGood(*own, 1 - own->team());
        hostFrames(60);
    }
    void expectSame(const Picture& host, const Picture& joiner)
    {
        for (const auto& [id, plane] : host.airplanes) {
            const auto there = joiner.airplanes.find(id);
            ASSERT_NE(there, joiner.airplanes.end()) << "airplane " << id;
            EXPECT_EQ(there->second.first, plane.first) << "team of airplane " << id;
            EXPECT_EQ(there->second.second, plane.second) << "points of airplane " << id;
        }
        ASSERT_EQ(host.flags.has_value(), joiner.flags.has_value());
        if (host.flags) {
            EXPECT_EQ(joiner.flags->carrierId, host.flags->carrierId);
            EXPECT_EQ(joiner.flags->home, host.flags->home);
        }
        ASSERT_EQ(host.waves.has_value(), joiner.waves.has_value());
        if (host.waves) {
            EXPECT_EQ(joiner.waves->wave, host.waves->wave);
        }
        EXPECT_EQ(joiner.basesLeft, host.basesLeft);
        EXPECT_EQ(joiner.bases, host.bases);
        EXPECT_EQ(joiner.flagStates, host.flagStates);
    }
};

TEST_F(JoinerMirror, TeamDeathmatchTeamsAndScoresAfterASwitch)
{
    GameModeCustom* mode = host(3);
    ASSERT_NE(mode, nullptr);
    scoreAndSwitch(*mode);
    const Picture hostSide = pictureOf(*mode);
    expectJoinerMirrorsTheHost(3, hostSide);
}

TEST_F(JoinerMirror, CaptureTheFlagCarriersAndFlags)
{
    // A player of each team takes the other team's flag before Wing1 joins.
    auto* mode = dynamic_cast<GameModeCTF*>(host(4, [this](GameModeCustom& m) {
        auto& ctf = static_cast<GameModeCTF&>(m);
        for (int team = 0; team < 2; ++team) {
            Airplane* carrier = nullptr;
            for (const auto& e : ctf.entities())
                if (e->kind() == TargetKind::Airplane && e->team() == team && e->isActive() && e->isAlive())
                    carrier = static_cast<Airplane*>(e.get());
            Flag* flag = ctf.flagOfTeam(1 - team);
            ASSERT_TRUE(carrier && flag) << team;
            ctf.onFlagTaken(*flag, *carrier);
            frames(2);
        }
    }));
    ASSERT_NE(mode, nullptr);
    const Picture hostSide = pictureOf(*mode);
    ASSERT_TRUE(hostSide.flags);
    EXPECT_NE(hostSide.flags->carrierId[0], -1);
    EXPECT_NE(hostSide.flags->carrierId[1], -1);
    expectJoinerMirrorsTheHost(4, hostSide);
}

// Wing1 joins a running round; then team 1's base is destroyed.
TEST_F(JoinerMirror, DestroyTheBaseBasesOfEachTeam)
{
    auto* mode = dynamic_cast<GameModeDTB*>(host(5, [this](GameModeCustom& m) {
        auto& dtb = static_cast<GameModeDTB&>(m);
        ASSERT_FALSE(dtb.bases(0).empty());
        for (int i = 0; i < 30 * 60 && !dtb.bases(0).front()->isTargetable(); ++i)
            frames(1);  // the round's count-down
    }));
    ASSERT_NE(mode, nullptr);
    ASSERT_FALSE(mode->bases(0).empty());
    ASSERT_FALSE(mode->bases(1).empty());
    scoreAndSwitch(*mode);
    GroundTarget* destroyed = mode->bases(1).front();
    mode->damageTarget(*destroyed, nullptr, 1e9f, destroyed->position(), nullptr);
    hostFrames(60);
    ASSERT_FALSE(destroyed->isAlive());
    const Picture hostSide = pictureOf(*mode);
    expectJoinerMirrorsTheHost(5, hostSide);
}

// A base destroyed before the joiner came: the join's records must carry it.
TEST_F(JoinerMirror, ABaseDestroyedBeforeTheJoinIsDownOnTheJoiner)
{
    auto* mode = dynamic_cast<GameModeDTB*>(host(5, [this](GameModeCustom& m) {
        auto& dtb = static_cast<GameModeDTB&>(m);
        ASSERT_FALSE(dtb.bases(1).empty());
        GroundTarget* base = dtb.bases(1).front();
        for (int i = 0; i < 30 * 60 && !base->isTargetable(); ++i)
            frames(1);
        dtb.damageTarget(*base, dtb.playerAirplane(), 1e9f, base->position(), nullptr);
        frames(60);
        ASSERT_FALSE(base->isAlive());
    }));
    ASSERT_NE(mode, nullptr);
    GameModeCustom* client = joiner(5, joined);
    ASSERT_NE(client, nullptr);
    expectSame(atJoin, pictureOf(*client));
}

TEST_F(JoinerMirror, SurvivalWave)
{
    // A wave shot down before Wing1 joins, two after.
    const auto nextWave = [this](GameModeSRV& m) {
        const int before = m.currentWave();
        for (int i = 0; i < 60 * 60 && m.currentWave() == before; ++i) {
            for (const auto& e : m.entities())
                if (e->kind() == TargetKind::Airplane && e->team() == 1 && e->isActive() && e->isAlive())
                    m.damageAirplane(static_cast<Airplane&>(*e), m.playerAirplane(), 1e9f, e->position(), nullptr,
                                     true);
            frames(1);
            keep();
        }
        ASSERT_GT(m.currentWave(), before);
    };
    auto* mode = dynamic_cast<GameModeSRV*>(host(6, [&](GameModeCustom& m) { nextWave(static_cast<GameModeSRV&>(m)); }));
    ASSERT_NE(mode, nullptr);
    nextWave(*mode);
    nextWave(*mode);
    hostFrames(60);
    const Picture hostSide = pictureOf(*mode);
    expectJoinerMirrorsTheHost(6, hostSide);
}

}  // namespace
