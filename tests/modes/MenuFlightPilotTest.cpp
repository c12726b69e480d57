// The airplane behind the menus: a top-level pilot flying the menu map's
// loop, from where the map starts the flight, on the generated data.
#include "entities/ai/AirplaneAI.h"
#include "entities/aircraft/Airplane.h"
#include "gamedata/map/GameWorld.h"
#include "gamedata/records/MapLists.h"
#include "gamedata/records/PlaneList.h"
#include "modes/GameMode.h"
#include "modes/GameType.h"
#include "modes/IMenuFlight.h"
#include "modes/kinds/GameModeFreeFlight.h"
#include "support/modes/ModeHarness.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

namespace {

float heading(const Vec3& f) { return std::atan2(-f.x, -f.z); }

// The smallest turn from one heading to another, in radians.
float turnBetween(float from, float to)
{
    float d = to - from;
    while (d > kPi)
        d -= 2.0f * kPi;
    while (d < -kPi)
        d += 2.0f * kPi;
    return d;
}

// Where in the map's own order each point of the pilot's list is; -1 for a
// point the map's loop does not have.
std::vector<int> mapOrder(const std::vector<Vec3>& flown, const std::vector<Vec3>& map)
{
    std::vector<int> order;
    for (const Vec3& p : flown) {
        const auto it = std::find_if(map.begin(), map.end(), [&](const Vec3& q) { return vec3DistanceSq(p, q) < 1.0f; });
        order.push_back(it == map.end() ? -1 : static_cast<int>(it - map.begin()));
    }
    return order;
}

struct MenuFlightPilot : testing::Test {
    ModeHarness harness;
    GameMode* mode = nullptr;
    Airplane* plane = nullptr;

    void SetUp() override
    {
        std::string error;
        ASSERT_TRUE(harness.mountData(error)) << error;
        const MapInfoCfg* menu = MapLists::instance().menuMap();
        ASSERT_NE(menu, nullptr);
        mode = harness.start(static_cast<int>(GameType::MenuBackground), menu);
        ASSERT_NE(mode, nullptr);
        ASSERT_NE(mode->world(), nullptr);
        plane = mode->playerAirplane();
        ASSERT_NE(plane, nullptr);
    }
    void TearDown() override { harness.finish(); }

    AirplaneAI* pilotOf(const Airplane& a) const { return dynamic_cast<AirplaneAI*>(a.aiController()); }
    std::vector<Vec3> mapLoop() const { return mode->world()->pathPoints(GameModeMenu::kLoopPath); }
};

// A pilot of the top level holds every point of the map's "menu" loop, in
// the loop's order one way round or the other.
TEST_F(MenuFlightPilot, TheShownAirplaneHasATopPilotWithTheMapsLoop)
{
    const AirplaneAI* pilot = pilotOf(*plane);
    ASSERT_NE(pilot, nullptr);
    EXPECT_FLOAT_EQ(pilot->skill(), 1.0f);
    EXPECT_EQ(plane->aiLevel, 10);
    const std::vector<Vec3> loop = mapLoop();
    ASSERT_GE(loop.size(), 3u) << "the data tool writes the menu loop";
    ASSERT_EQ(pilot->waypoints.size(), loop.size());
    const std::vector<int> order = mapOrder(pilot->waypoints, loop);
    const int n = static_cast<int>(loop.size());
    const int step = (order[1] - order[0] + n) % n == 1 ? 1 : n - 1;
    for (std::size_t i = 0; i < order.size(); ++i) {
        ASSERT_GE(order[i], 0) << "point " << i << " is not on the map's loop";
        EXPECT_EQ(order[(i + 1) % order.size()], (order[i] + step) % n) << "point " << i;
    }
}

// The flight starts before the map's start point on its start heading and
// stays there: the flight body moves with the airplane, so the next steps do
// not put it back where it respawned.
TEST_F(MenuFlightPilot, TheFlightStartsWhereTheMapPutsIt)
{
    const Worldspawn& start = mode->world()->worldspawn();
    const float h = start.startHeading * 0.017453292f;
    const Vec3 forward{-std::sin(h), 0.0f, -std::cos(h)};
    const Vec3 expected = start.spawn - forward * GameModeMenu::kApproach;
    EXPECT_LT(vec3DistanceExact(plane->position(), expected), 20.0f);
    EXPECT_GT(vec3Dot(plane->forward(), forward), 0.999f);
    const float speed = plane->speed();
    harness.run(0.5f);
    EXPECT_LT(vec3DistanceExact(plane->position(), expected), speed * 0.5f + 20.0f);
    EXPECT_GT(vec3DistanceExact(plane->position(), expected), 10.0f) << "it flies";
}

// Two minutes and a half: the pilot turns round the loop past its points, high
// over the ground, and never turns back on its way.
TEST_F(MenuFlightPilot, ThePilotFliesRoundTheLoopWellAboveTheGround)
{
    const std::vector<Vec3> loop = mapLoop();
    const std::vector<Vec3> route = pilotOf(*plane)->waypoints;
    std::vector<int> reached;
    std::vector<float> nearest(loop.size(), 1e9f);
    float lowest = 1e9f, turned = 0.0f;
    float lastHeading = heading(plane->forward());
    for (int i = 0; i < 150 * 60; ++i) {
        mode->update(ModeHarness::kFrame);
        const Vec3 p = plane->position();
        lowest = std::min(lowest, p.y - mode->groundHeightAt(p.x, p.z));
        for (std::size_t k = 0; k < loop.size(); ++k)
            nearest[k] = std::min(nearest[k], std::hypot(p.x - loop[k].x, p.z - loop[k].z));
        for (int k = 0; k < static_cast<int>(route.size()); ++k)  // within 400: where the pilot turns on
            if (std::hypot(p.x - route[k].x, p.z - route[k].z) < 400.0f && (reached.empty() || reached.back() != k))
                reached.push_back(k);
        const float now = heading(plane->forward());
        turned += turnBetween(lastHeading, now);
        lastHeading = now;
    }
    ASSERT_EQ(mode->playerAirplane(), plane) << "still the same airplane";
    EXPECT_GT(lowest, 500.0f) << "height over the ground";
    int passed = 0;
    for (float d : nearest)
        passed += d < 600.0f ? 1 : 0;
    EXPECT_GE(passed, 4) << "points of the loop flown over";
    for (std::size_t i = 0; i < reached.size(); ++i)
        EXPECT_EQ(reached[i], static_cast<int>(i % route.size())) << "the points reached in order from the first";
    // Round the loop one way: the turns add up rather than cancel.
    EXPECT_GT(std::fabs(turned), kPi) << "turned " << turned;
}

// A newly chosen plane flies on from where the old one was, with a pilot of
// its own on the same loop.
TEST_F(MenuFlightPilot, AnotherPlaneFliesOnWithItsOwnPilot)
{
    harness.run(2.0f);
    const PlaneCfg* other = PlaneList::instance().at(PlaneList::instance().count() - 1);
    ASSERT_NE(&plane->record(), other);
    const Vec3 where = plane->position();
    Airplane* shown = mode->menuFlight()->showPlane(other->plane_id);
    ASSERT_NE(shown, nullptr);
    ASSERT_NE(shown, plane);
    const AirplaneAI* pilot = pilotOf(*shown);
    ASSERT_NE(pilot, nullptr);
    EXPECT_FLOAT_EQ(pilot->skill(), 1.0f);
    EXPECT_EQ(pilot->waypoints.size(), mapLoop().size());
    mode->update(ModeHarness::kFrame);
    EXPECT_LT(vec3DistanceExact(shown->position(), where), 30.0f) << "not back at a respawn point";
}

// The loop's order from a position and heading: round the way the nose turns,
// first the point most nearly ahead.
TEST(MenuLoopOrder, TheLoopStartsAheadAndRunsTheWayTheNoseTurns)
{
    // A square turning from +x toward +z, seen from above.
    const std::vector<Vec3> square{{1000, 0, 0}, {0, 0, 1000}, {-1000, 0, 0}, {0, 0, -1000}};
    // East of the middle heading +z: the square's own way, the point at +z first.
    std::vector<Vec3> along = GameModeMenu::loopAhead(square, Vec3{1000, 0, 200}, Vec3{0, 0, 1});
    ASSERT_EQ(along.size(), 4u);
    EXPECT_FLOAT_EQ(along[0].z, 1000.0f);
    EXPECT_FLOAT_EQ(along[1].x, -1000.0f);
    // The same place heading -z: reversed, starting with the point dead ahead
    // though it is the nearest, then -z and -x.
    std::vector<Vec3> against = GameModeMenu::loopAhead(square, Vec3{1000, 0, 200}, Vec3{0, 0, -1});
    EXPECT_FLOAT_EQ(against[0].x, 1000.0f);
    EXPECT_FLOAT_EQ(against[1].z, -1000.0f);
    EXPECT_FLOAT_EQ(against[2].x, -1000.0f);
    // Nothing to order.
    EXPECT_TRUE(GameModeMenu::loopAhead({}, Vec3{}, Vec3{0, 0, -1}).empty());
    EXPECT_EQ(GameModeMenu::loopAhead({Vec3{5, 0, 5}}, Vec3{}, Vec3{0, 0, -1}).size(), 1u);
}

}  // namespace
