// A joiner's picture of the match is the host's: a host of each kind plays
// with a joiner it really serves; everything it sends that joiner is then
// played into a joined client of the same kind, and the client's airplanes,
// teams, scores, flags, bases and wave must be the host's own.
#include "entities/aircraft/Airplane.h"
#include "entities/ground/Flag.h"
#include "entities/weapons/Weapon.h"
#include "entities/ground/GroundTarget.h"
#include "gamedata/map/GameWorld.h"
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

#include <cmath>
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
    std::map<int, std::array<bool, 4>> bases;  // id: alive, active, in play, targetable
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
                p.bases[b->id()] = {b->isAlive(), b->isActive(), b->inPlay, b->isTargetable()};
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
        harness.hud.forgottenByCamera.clear();
        harness.hud.insigniaRefreshes = 0;
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

Airplane* airplaneNamed(GameMode& mode, const std::u16string& name)
{
    for (const auto& e : mode.entities())
        if (e->kind() == TargetKind::Airplane && e->pilotName == name)
            return static_cast<Airplane*>(e.get());
    return nullptr;
}

// Then Wing1 itself changes sides: on its machine the switching airplanes go
// down where they fly, the camera lets them go and the insignia follow Wing1's
// new team.
TEST_F(JoinerMirror, TeamDeathmatchTeamsAndScoresAfterASwitch)
{
    GameModeCustom* mode = host(3);
    ASSERT_NE(mode, nullptr);
    scoreAndSwitch(*mode);
    // A shot-down Wing1 back in play: its joiner here never says its fall is
    // over, so the host ends the fall itself after a while.
    Airplane* wing1 = airplaneNamed(*mode, u"Wing1");
    ASSERT_NE(wing1, nullptr);
    for (int i = 0; i < 30 * 60 && !(wing1->isActive() && wing1->isAlive()); ++i)
        hostFrames(1);
    ASSERT_TRUE(wing1->isActive() && wing1->isAlive());
    const int hostId = mode->playerAirplane()->id(), wing1Team = wing1->team();
    mode->removeAirplaneForGood(*wing1, 1 - wing1Team);
    hostFrames(30);
    const Picture hostSide = pictureOf(*mode);
    expectJoinerMirrorsTheHost(3, hostSide);

    GameModeCustom* client = joiner(3);
    ASSERT_NE(client, nullptr);
    Airplane* own = client->playerAirplane();
    ASSERT_NE(own, nullptr);
    EXPECT_EQ(own->team(), 1 - wing1Team);
    EXPECT_GT(harness.hud.insigniaRefreshes, 0);
    auto* hostPlane = static_cast<Airplane*>(client->findPlayerAirplane(hostId));
    ASSERT_NE(hostPlane, nullptr);
    for (Airplane* a : {own, hostPlane}) {
        EXPECT_EQ(a->deathCause, CrashCause::Collision) << "went down, not vanished: " << a->id();
        EXPECT_NE(std::ranges::count(harness.hud.forgottenByCamera, a), 0) << a->id();
    }
}

// A joiner hears with its join whether the host still takes team changes:
// one who comes once they are closed is offered no Switch Team.
TEST_F(JoinerMirror, ALateJoinerHearsThatTeamChangesAreClosed)
{
    for (const bool open : {true, false}) {
        SCOPED_TRACE(open ? "open" : "closed");
        toWing1.clear();
        GameModeCustom* mode = host(3, [&](GameModeCustom& m) { m.teamChangeAllowed = open; });
        ASSERT_NE(mode, nullptr);
        GameModeCustom* client = joiner(3);
        ASSERT_NE(client, nullptr);
        EXPECT_EQ(client->teamChangeAllowed, open);
        harness.finish();
        handler.reset();
        handler = std::make_unique<NetworkGameHandler>();
    }
}

// Wing1 asks to change sides just as the host closes team changes: the host's
// refusal, played into Wing1's client, leaves its airplane flying as it was,
// with the speed, boost, health, flares and rounds it had, and no Switch Team.
TEST_F(JoinerMirror, ARefusedTeamChangeLeavesTheJoinersAirplaneAsItWas)
{
    GameModeCustom* mode = host(3);
    ASSERT_NE(mode, nullptr);
    Airplane* wing1 = airplaneNamed(*mode, u"Wing1");
    ASSERT_TRUE(wing1 && wing1->isActive() && wing1->isAlive());
    const std::size_t asked = toWing1.size();
    mode->teamChangeAllowed = false;
    netmsg::TeamRequestMsg request;
    request.value = 1 - wing1->team();
    fake->inbox.push_back({0, bytesOf(request)});
    hostFrames(2);
    ASSERT_GT(toWing1.size(), asked) << "no answer";

    GameModeCustom* client = joiner(3, asked);
    ASSERT_NE(client, nullptr);
    ASSERT_TRUE(client->teamChangeAllowed);
    Airplane* own = client->playerAirplane();
    ASSERT_TRUE(own && own->isActive() && own->isAlive());
    // A fight's wear: boost burnt and rounds spent, hits taken, a flare gone.
    Weapon* gun = nullptr;
    for (int slot = 0; slot < own->weaponCount(); ++slot)
        if (Weapon* w = own->weapon(slot); !gun && w && w->ammo() > 0)
            gun = w;
    ASSERT_NE(gun, nullptr);
    const int fullAmmo = gun->ammo();
    own->setCommandValue(true);
    gun->setFiring(true);
    frames(40);
    gun->setFiring(false);
    own->setCommandValue(false);
    own->setHealth(own->maxHealth() * 0.4f);
    ASSERT_TRUE(own->launchFlares());
    const float speed = own->speed(), boost = own->boostReserve(), health = own->health();
    const int flares = own->flareCount(), ammo = gun->ammo(), team = own->team();
    const Vec3 where = own->position();
    ASSERT_LT(boost, own->boostCapacity());
    ASSERT_LT(ammo, fullAmmo);

    // The page's road: the request goes to the host, the answer comes back.
    fake->sent.clear();
    client->removeAirplaneForGood(*own, 1 - team);
    handler->client.sendEvents();
    EXPECT_EQ(fake->count(netmsg::TeamRequest), 1);
    for (std::size_t i = asked; i < toWing1.size(); ++i)
        receive(toWing1[i]);
    EXPECT_FALSE(client->teamChangeAllowed);
    EXPECT_TRUE(own->isActive() && own->isAlive());
    EXPECT_EQ(own->team(), team);
    EXPECT_EQ(own->speed(), speed);
    EXPECT_EQ(own->boostReserve(), boost);
    EXPECT_EQ(own->health(), health);
    EXPECT_EQ(own->flareCount(), flares);
    EXPECT_EQ(gun->ammo(), ammo);
    EXPECT_EQ(own->position().x, where.x);
    EXPECT_EQ(own->position().z, where.z);
    frames(2);
    EXPECT_TRUE(own->isActive() && own->isAlive()) << "taken out after the refusal";
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

// A carried flag dropped after Wing1 joined lies where the host dropped it,
// though Wing1 last saw its carrier elsewhere.
TEST_F(JoinerMirror, ADroppedFlagLiesWhereTheHostDroppedIt)
{
    Airplane* carrier = nullptr;
    auto* mode = dynamic_cast<GameModeCTF*>(host(4, [&carrier, this](GameModeCustom& m) {
        auto& ctf = static_cast<GameModeCTF&>(m);
        for (const auto& e : ctf.entities())
            if (e->kind() == TargetKind::Airplane && e->team() == 0 && e->isActive() && e->isAlive())
                carrier = static_cast<Airplane*>(e.get());
        ASSERT_NE(carrier, nullptr);
        ctf.onFlagTaken(*ctf.flagOfTeam(1), *carrier);
        frames(2);
    }));
    ASSERT_NE(mode, nullptr);
    Flag* flag = mode->flagOfTeam(1);
    ASSERT_EQ(flag->carrier(), carrier);
    // Moved where no state of it has gone out yet, and dropped there.
    carrier->setPositionAndStop(carrier->position() + Vec3{700.0f, 0.0f, -400.0f});
    mode->onFlagDropped(*flag, *carrier);
    const Vec3 dropped = flag->position();
    // Its carrier goes down with it, as a carrier shot down does.
    mode->removeAirplaneForGood(*carrier, 0);
    hostFrames(3);
    ASSERT_EQ(flag->state(), Flag::State::Dropped);
    auto* client = dynamic_cast<GameModeCTF*>(joiner(4));
    ASSERT_NE(client, nullptr);
    const Flag* there = client->flagOfTeam(1);
    ASSERT_NE(there, nullptr);
    EXPECT_EQ(there->state(), Flag::State::Dropped);
    const Vec3 off = there->position() - dropped;
    EXPECT_LT(std::abs(off.x) + std::abs(off.y) + std::abs(off.z), 1.0f);
}

// Last man standing starts its round round the map's spawn point, wherever the
// map puts it: here far off the map's centre.
TEST_F(JoinerMirror, LastManStandingRoundStartsRoundTheMapsSpawnPoint)
{
    const Vec3 spawn{14000.0f, 1500.0f, -11000.0f};
    GameModeCustom* mode = host(13, [&spawn](GameModeCustom& m) {
        ASSERT_NE(m.world(), nullptr);
        m.world()->worldspawn().spawn = spawn;
    });
    ASSERT_NE(mode, nullptr);
    hostFrames(22 * 60);  // the host's count-down, then two seconds of the round
    const auto near = [&spawn](const GameMode& m) {
        int count = 0;
        for (const auto& e : m.entities()) {
            if (e->kind() != TargetKind::Airplane || !e->isActive())
                continue;
            const Vec3 p = e->position();
            const float fromSpawn = std::hypot(p.x - spawn.x, p.z - spawn.z);
            EXPECT_LT(fromSpawn, 8000.0f) << e->id();
            EXPECT_GT(std::hypot(p.x, p.z), 9000.0f) << e->id();
            ++count;
        }
        return count;
    };
    EXPECT_EQ(near(*mode), 3) << "the host, Wing1 and Wing2 in the round";
    GameModeCustom* client = joiner(13);
    ASSERT_NE(client, nullptr);
    EXPECT_EQ(near(*client), 3);
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

// A base destroyed before the joiner came: the join's records must carry it,
// and its marker no longer offers it as a target.
TEST_F(JoinerMirror, ABaseDestroyedBeforeTheJoinIsDownOnTheJoiner)
{
    int downId = -1;
    auto* mode = dynamic_cast<GameModeDTB*>(host(5, [this, &downId](GameModeCustom& m) {
        auto& dtb = static_cast<GameModeDTB&>(m);
        ASSERT_FALSE(dtb.bases(1).empty());
        GroundTarget* base = dtb.bases(1).front();
        downId = base->id();
        for (int i = 0; i < 30 * 60 && !base->isTargetable(); ++i)
            frames(1);
        dtb.damageTarget(*base, dtb.playerAirplane(), 1e9f, base->position(), nullptr);
        frames(60);
        ASSERT_FALSE(base->isAlive());
    }));
    ASSERT_NE(mode, nullptr);
    auto* client = dynamic_cast<GameModeDTB*>(joiner(5, joined));
    ASSERT_NE(client, nullptr);
    expectSame(atJoin, pictureOf(*client));
    const GroundTarget* down = client->bases(1).front();
    ASSERT_EQ(down->id(), downId);
    ASSERT_TRUE(harness.hud.lockable.contains(down));
    EXPECT_FALSE(harness.hud.lockable.at(down));
}

// The map's units the host shot down before Wing1 joined (told by the join's
// records) and after it (told by their deaths) are down on Wing1's machine
// and come back there when their wait ends, as on the host: none is left
// waiting for a word the host never sends about a unit.
TEST_F(JoinerMirror, MapUnitsDownForAJoinerComeBackWhenTheirWaitEnds)
{
    const auto shootDown = [](GameModeCustom& m, int every, int first) {
        std::vector<Target*> units;
        for (const auto& e : m.entities())
            if (e->isGroundTarget() && e->networkItem() >= 0 && e->isActive() && e->isAlive())
                units.push_back(e.get());
        for (std::size_t i = static_cast<std::size_t>(first); i < units.size(); i += static_cast<std::size_t>(every)) {
            units[i]->setHealth(0.0f);
            m.onAirplaneDestroyed(*units[i], m.playerAirplane(), CrashCause::KilledByDamage);
        }
        return units.size();
    };
    std::size_t units = 0;
    GameModeCustom* mode = host(2, [&](GameModeCustom& m) { units = shootDown(m, 2, 0); });
    ASSERT_NE(mode, nullptr);
    ASSERT_GE(units, 4u) << "the map has too few units";
    shootDown(*mode, 1, 0);
    hostFrames(3);

    GameModeCustom* client = joiner(2);
    ASSERT_NE(client, nullptr);
    const auto down = [&] {
        std::vector<int> out;
        for (const auto& e : client->entities())
            if (e->isGroundTarget() && e->networkItem() >= 0 && !e->isActive())
                out.push_back(e->networkItem());
        return out;
    };
    EXPECT_EQ(down().size(), units) << "every unit the host shot down is down here";
    frames(59 * 60);
    EXPECT_EQ(down().size(), units) << "none back before its wait ends";
    frames(3 * 60);
    EXPECT_TRUE(down().empty()) << "back when the wait ended";
    EXPECT_TRUE(client->respawnQueue().empty());
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
