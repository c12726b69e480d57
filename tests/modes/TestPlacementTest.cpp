// The scripted runs' placements: a foe held straight ahead of the guns and
// the player over the enemy flag, each in a real kind of game on the
// generated data.
#include "entities/aircraft/Airplane.h"
#include "entities/ground/Flag.h"
#include "modes/GameMode.h"
#include "modes/TestPlacement.h"
#include "modes/kinds/GameModeCTF.h"
#include "platform/Random.h"

#include "CampaignFixture.h"
#include "support/modes/ModeHarness.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {
struct Placement : testing::Test {
    ModeHarness harness;

    void SetUp() override
    {
        seedRandom(31, 7);
        std::string error;
        ASSERT_TRUE(harness.mountData(error)) << error;
    }
    void TearDown() override { harness.finish(); }
    GameMode* start(GameType type) { return harness.start(static_cast<int>(type), harness.firstSkirmishMap()); }
};

// The foe is the nearest enemy, flies without a pilot on the player's heading
// and is still ahead of the guns a second later.
TEST_F(Placement, TheFoeFliesStraightAheadOfTheGuns)
{
    GameMode* mode = start(GameType::TeamDeathmatch);
    ASSERT_NE(mode, nullptr);
    Airplane& me = *mode->playerAirplane();
    auto* foe = static_cast<Airplane*>(TestPlacement::place(*mode, TestPlacement::Kind::Foe));
    ASSERT_NE(foe, nullptr);
    EXPECT_NEAR(vec3DistanceExact(foe->position(), me.position()), TestPlacement::kFoeAhead, 1.0f);
    EXPECT_NE(foe->team(), me.team());
    EXPECT_EQ(foe->aiController(), nullptr);
    EXPECT_GT(vec3Dot(me.forward(), foe->forward()), 0.999f);
    harness.run(1.0f);
    const Vec3 ahead = foe->position() - me.position();
    EXPECT_LT(vec3Length(ahead), 900.0f) << "within the guns' range";
    EXPECT_GT(vec3Dot(vec3NormalizeOr(ahead, Vec3{}), me.forward()), 0.98f) << "in front of the nose";
}

// Over the enemy flag the next frame takes it; a second later the carrier is
// over its own flag, and the game's own rules score the capture.
TEST_F(Placement, TheEnemyFlagIsTakenThenCapturedByTheGamesRules)
{
    auto* ctf = dynamic_cast<GameModeCTF*>(start(GameType::CaptureTheFlag));
    ASSERT_NE(ctf, nullptr);
    Airplane& me = *ctf->playerAirplane();
    Flag* enemy = ctf->flagOfTeam(me.team() == 0 ? 1 : 0);
    Flag* own = ctf->flagOfTeam(me.team());
    ASSERT_TRUE(enemy && own);
    EXPECT_FALSE(TestPlacement::bringFlagHome(*ctf)) << "no flag carried yet";
    TestPlacement placement(TestPlacement::Kind::Flag);
    bool placed = false;
    for (int i = 0; i < 400 && !placed; ++i) {
        placed = placement.update(*ctf, ModeHarness::kFrame);
        ctf->update(ModeHarness::kFrame);
    }
    ASSERT_TRUE(placed);
    EXPECT_EQ(placement.placed(), 1);
    Vec3 home = own->homePosition() - me.position();
    home.y = 0.0f;
    EXPECT_GT(vec3Dot(vec3NormalizeOr(home, Vec3{}), me.forward()), 0.999f);
    EXPECT_EQ(enemy->carrier(), &me);

    const int capturedBefore = me.scores[Airplane::kScoreFlagsCaptured];
    for (int i = 0; i < 120 && !placement.done(); ++i) {
        placement.update(*ctf, ModeHarness::kFrame);
        ctf->update(ModeHarness::kFrame);
    }
    ASSERT_TRUE(placement.done());
    ctf->update(ModeHarness::kFrame);
    EXPECT_EQ(enemy->carrier(), nullptr);
    EXPECT_EQ(enemy->state(), Flag::State::Home);
    EXPECT_EQ(me.scores[Airplane::kScoreFlagsCaptured], capturedBefore + 1);
}

// Nothing is placed before the player has flown the delay, the next foe
// only once the last is down, three in all; no flag outside capture the flag.
TEST_F(Placement, FoesComeOneAfterTheOtherAfterTheDelayAndNothingWhereNothingFits)
{
    GameMode* mode = start(GameType::FreeForAll);
    ASSERT_NE(mode, nullptr);
    EXPECT_EQ(TestPlacement::place(*mode, TestPlacement::Kind::Flag), nullptr);
    EXPECT_EQ(TestPlacement::place(*mode, TestPlacement::Kind::None), nullptr);
    EXPECT_EQ(TestPlacement::kindByName("foe"), TestPlacement::Kind::Foe);
    EXPECT_EQ(TestPlacement::kindByName("flag"), TestPlacement::Kind::Flag);
    EXPECT_EQ(TestPlacement::kindByName("landmark"), TestPlacement::Kind::Landmark);
    EXPECT_EQ(TestPlacement::kindByName("Foe"), TestPlacement::Kind::None);

    TestPlacement placement(TestPlacement::Kind::Foe);
    const int frames = static_cast<int>(TestPlacement::kDelay / ModeHarness::kFrame);
    const auto step = [&](int n) {
        for (int i = 0; i < n; ++i)
            placement.update(*mode, ModeHarness::kFrame);
    };
    step(frames - 2);
    EXPECT_EQ(placement.placed(), 0);
    step(4);
    EXPECT_EQ(placement.placed(), 1);
    step(3 * frames);
    EXPECT_EQ(placement.placed(), 1) << "the foe is still up";
    for (int kill = 0; kill < TestPlacement::kFoes; ++kill) {
        Airplane& me = *mode->playerAirplane();
        Target* foe = nullptr;
        for (const auto& e : mode->entities())
            if (e->kind() == TargetKind::Airplane && e.get() != &me && e->isActive() &&
                vec3DistanceExact(e->position(), me.position()) < TestPlacement::kFoeAhead + 1.0f)
                foe = e.get();
        ASSERT_NE(foe, nullptr);
        mode->damageAirplane(*foe, &me, 1000.0f, foe->position(), nullptr, true);
        mode->update(ModeHarness::kFrame);
        step(frames + 2);
    }
    EXPECT_EQ(placement.placed(), TestPlacement::kFoes);
    EXPECT_TRUE(placement.done());
    EXPECT_FALSE(placement.update(*mode, std::nanf("")));
}
}  // namespace

namespace {
struct ShipPlacement : CampaignMission {};

// In the ship mission the airplane is put low, level and short of the
// nearest freighter, heading on as it was with the ship off to one side
// ahead; the freighters several km away no longer need a long flight.
TEST_F(ShipPlacement, TheAirplaneFliesLowTowardTheNearestShip)
{
    ASSERT_NE(start(1, 2), nullptr) << "the ship mission";
    harness.run(1.0f);
    Airplane& me = *mode->playerAirplane();
    const Vec3 heading = me.forward();
    ASSERT_EQ(TestPlacement::place(*mode, TestPlacement::Kind::Ship), &me);
    const Target* ship = nullptr;
    for (const auto& e : mode->entities())
        if ((e->kind() == TargetKind::Ship2 || e->kind() == TargetKind::Carrier) && e->isActive() && e->isAlive() &&
            (!ship || vec3DistanceSq(e->position(), me.position()) < vec3DistanceSq(ship->position(), me.position())))
            ship = e.get();
    ASSERT_NE(ship, nullptr);
    Vec3 to = ship->position() - me.position();
    to.y = 0.0f;
    EXPECT_NEAR(vec3Length(to), std::hypot(TestPlacement::kShipShort, TestPlacement::kShipAside), 1.0f);
    EXPECT_NEAR(me.position().y - std::max(mode->groundHeightAt(me.position().x, me.position().z), 0.0f),
                TestPlacement::kShipAbove, 1.0f);
    EXPECT_NEAR(me.forward().y, 0.0f, 1e-3f) << "level";
    EXPECT_GT(vec3Dot(vec3NormalizeOr(Vec3{heading.x, 0.0f, heading.z}, Vec3{}), me.forward()), 0.999f);
    EXPECT_GT(vec3Dot(vec3NormalizeOr(to, Vec3{}), me.forward()), 0.9f) << "the ship ahead";
    // It stays there: the next frames fly on from the placement.
    const Vec3 placed = me.position();
    harness.run(0.25f);
    EXPECT_LT(vec3DistanceExact(me.position(), placed), me.speed() * 0.25f + 20.0f);
}

// A mission without ships has nothing to place and changes nothing.
TEST_F(ShipPlacement, AMissionWithoutShipsPlacesNothing)
{
    ASSERT_NE(start(0, 0), nullptr);
    Airplane& me = *mode->playerAirplane();
    const Vec3 before = me.position();
    EXPECT_EQ(TestPlacement::place(*mode, TestPlacement::Kind::Ship), nullptr);
    EXPECT_EQ(me.position().x, before.x);
    EXPECT_EQ(me.position().z, before.z);
}
}  // namespace
