// A carrier's deck: recovering an airplane that comes in low and slow,
// carrying it while the ship steams and turns, and the catapult launch.
#include "TestPlanes.h"

#include "entities/EntityIds.h"
#include "entities/aircraft/Airplane.h"
#include "entities/ground/CarrierDeck.h"
#include "support/entities/SimHost.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>

namespace {

struct Carriers : testing::Test {
    PlaneCfg cfg = testFighter();
    SimHost host;
    Target* ship = nullptr;
    std::unique_ptr<CarrierDeck> deck;
    Airplane* plane = nullptr;

    void SetUp() override
    {
        clearEntityIds();
        host.heightFunction = [](float, float) { return -40.0f; };  // open sea
        ship = host.addTarget(std::make_unique<Target>(host, TargetKind::Carrier, 0));
        ship->setActive(true);
        deck = std::make_unique<CarrierDeck>(*ship, nullptr);
        plane = host.add(Target::create<Airplane>(host, cfg, 0, std::u16string(u"p")));
        host.setPlayer(plane);
    }
    void TearDown() override { deck.reset(); }
};

TEST_F(Carriers, RecoversAnAirplaneCarriesItAndLaunchesIt)
{
    // Too fast over the deck: waved off.
    plane->setPositionAndStop({0.0f, deck->deckHeight() + plane->dimensions().groundOffset + 2.0f, 50.0f});
    plane->setSpeed(200.0f);
    EXPECT_FALSE(deck->recover(*plane));
    // Beside the deck: nothing.
    plane->setSpeed(70.0f);
    plane->setPositionAndStop({60.0f, deck->deckHeight() + 2.0f, 50.0f});
    EXPECT_FALSE(deck->recover(*plane));

    plane->setPositionAndStop({0.0f, deck->deckHeight() + plane->dimensions().groundOffset + 2.0f, 50.0f});
    ASSERT_TRUE(deck->recover(*plane));
    EXPECT_TRUE(plane->isLandedOnCarrier());
    EXPECT_EQ(plane->carrier(), deck.get());
    EXPECT_EQ(deck->carried().size(), 1u);
    EXPECT_FLOAT_EQ(plane->speed(), 0.0f);
    EXPECT_EQ(std::count(host.events.begin(), host.events.end(), int(Airplane::kEventLanded)), 1);

    // The ship steams north and turns through a quarter circle: the airplane rides along on the deck.
    ship->setVelocity({0.0f, 0.0f, -12.0f});
    plane->setThrottleCommand(0.0f);
    for (int frame = 0; frame < 600; ++frame) {
        ship->setPosition(ship->position() + Vec3{0.0f, 0.0f, -12.0f / 60.0f});
        deck->setHeading(1.5707963f * frame / 600.0f);
        deck->update(1.0f / 60.0f);
        host.step(1.0f / 60.0f);
        ASSERT_TRUE(deck->isOverDeck(plane->position(), 0.1f)) << frame;
        ASSERT_NEAR(plane->position().y, deck->deckHeight() + plane->dimensions().groundOffset, 1e-3f) << frame;
    }
    EXPECT_TRUE(host.crashes.empty()) << "the sea below the deck is never reached";

    // Full throttle fires the catapult: off the bow, flying, the deck empty.
    plane->setThrottleCommand(1.0f);
    host.step(1.0f / 60.0f);
    EXPECT_FALSE(plane->isLandedOnCarrier());
    EXPECT_TRUE(deck->carried().empty());
    EXPECT_GE(plane->speed(), CarrierDeck::kLaunchSpeed);
    EXPECT_EQ(std::count(host.events.begin(), host.events.end(), int(Airplane::kEventTookOff)), 1);
    for (int frame = 0; frame < 120; ++frame)
        host.step(1.0f / 60.0f);
    EXPECT_TRUE(host.crashes.empty());
    EXPECT_GT(plane->position().y, deck->deckHeight());
}

TEST_F(Carriers, ALostDeckOrAirplaneLeavesNoLinkBehind)
{
    deck->park(*plane, {0.0f, 0.0f, 0.0f});
    ASSERT_TRUE(plane->isLandedOnCarrier());
    deck.reset();
    EXPECT_FALSE(plane->isLandedOnCarrier());
    EXPECT_EQ(plane->carrier(), nullptr);

    deck = std::make_unique<CarrierDeck>(*ship, nullptr);
    deck->park(*plane, {0.0f, 0.0f, 500.0f});  // past the stern: kept on the deck
    EXPECT_TRUE(deck->isOverDeck(plane->position(), 0.01f));
    host.remove(plane);
    EXPECT_TRUE(deck->carried().empty());
    deck->update(0.1f);
}

}  // namespace

#include "entities/EntityRemoval.h"
#include "entities/ground/GroundTarget.h"
#include "gamedata/map/MapEntities.h"

#include <list>

namespace {
TEST(CarrierShips, AMapCarrierHasADeckThatSteamsWithItAndForgetsWhatLeaves)
{
    clearEntityIds();
    PlaneCfg cfg = testFighter();
    std::list<MapObject> objects;
    SimHost host;
    MapObject& object = objects.emplace_back();
    object.kind = static_cast<int>(TargetKind::Carrier);
    object.pos = {0.0f, 0.0f, 0.0f};
    auto* ship = static_cast<GroundTarget*>(host.addTarget(std::make_unique<GroundTarget>(host, object)));
    ship->setActive(true);
    ASSERT_TRUE(ship->isCarrier());
    ASSERT_NE(ship->deck(), nullptr);
    EXPECT_EQ(ship->drawGroup, DrawGroup::GroundUnits);

    Airplane* first = host.add(Target::create<Airplane>(host, cfg, 0, std::u16string(u"a")));
    Airplane* second = host.add(Target::create<Airplane>(host, cfg, 0, std::u16string(u"b")));
    ship->deck()->park(*first, {0.0f, 0.0f, 40.0f});
    ship->deck()->park(*second, {0.0f, 0.0f, -40.0f});
    EXPECT_EQ(ship->carried().size(), 2u);

    // Under way along a path: the airplanes ride on the deck.
    ship->setPath({{0.0f, 0.0f, 0.0f}, {0.0f, 0.0f, -3000.0f}}, false);
    ship->setPathSpeed(15.0f);
    for (int i = 0; i < 120; ++i)
        host.step(1.0f / 60.0f);
    EXPECT_LT(ship->position().z, -20.0f);
    EXPECT_TRUE(ship->deck()->isOverDeck(first->position(), 0.1f));
    EXPECT_NEAR(first->position().z - ship->position().z, 40.0f, 1.0f);

    // One airplane leaves the world: the deck forgets it at once.
    host.remove(second);
    EXPECT_EQ(ship->carried().size(), 1u);
    // The ship sinks: the other is off the deck.
    ship->onDestroyed(CrashCause::None);
    EXPECT_TRUE(ship->carried().empty());
    EXPECT_FALSE(first->isLandedOnCarrier());
}
}  // namespace

namespace {
TEST_F(Carriers, AnAirplaneComingInLowAndSlowOverTheDeckIsCaught)
{
    host.decks.push_back(deck.get());
    const float deckTop = deck->deckHeight() + plane->dimensions().groundOffset;
    plane->setPositionAndStop({0.0f, deckTop + 3.0f, 160.0f});
    plane->setOrientation(quatFromEuler(0.0f, -0.03f, 0.0f));
    plane->setSpeed(75.0f);
    plane->setThrottleForSpeed(75.0f);
    for (int i = 0; i < 180 && !plane->isLandedOnCarrier(); ++i)
        host.step(1.0f / 60.0f);
    EXPECT_TRUE(plane->isLandedOnCarrier());
    EXPECT_TRUE(host.crashes.empty());
    host.decks.clear();
}
}  // namespace
