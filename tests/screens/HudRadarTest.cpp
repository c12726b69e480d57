#include "support/screens/HudMarkerFakes.h"
#include "support/entities/SimHost.h"

#include "gamedata/map/MapTrigger.h"
#include "modes/GameMode.h"
#include "modes/GameModeFactory.h"
#include "modes/kinds/TriggerWaypoint.h"
#include "screens/hud/GameHud.h"
#include "screens/hud/HudMarkerFeed.h"

#include <gtest/gtest.h>

namespace {

struct HudRadarTest : HudCameraFixture, ::testing::Test {
    HudElementList list;
    FakeHudObjects objects;

    HudRadarTest()
    {
        frame.viewedVelocity = {0.0f, 0.0f, -100.0f};  // flying north
        list.layoutRadar(false, 1000.0f, 10.0f, 190.0f, 190.0f, 12.0f, 1280, 720);
        list.update(frame, objects);
    }
    HudMarker& add(std::uintptr_t key, Vec3 at, int kind = 0, int team = 1)
    {
        objects.at(key, at);
        return list.markers.add(keyRef(key), kind, false, team, frame, objects, nullptr);
    }
};

TEST_F(HudRadarTest, LayoutSmallAndLargeAndABadPlaceDrawsNothing)
{
    EXPECT_FLOAT_EQ(list.radarCentre.x, 1095.0f);
    EXPECT_FLOAT_EQ(list.radarCentre.y, 105.0f);
    EXPECT_FLOAT_EQ(list.radarRadius, 89.0f);
    EXPECT_FLOAT_EQ(list.radarScale, 89.0f / 20000.0f);
    list.layoutRadar(true, 1000.0f, 10.0f, 190.0f, 190.0f, 12.0f, 1280, 720);
    EXPECT_FLOAT_EQ(list.radarCentre.x, 640.0f);
    EXPECT_FLOAT_EQ(list.radarRadius, 270.0f);
    // A place lower than the rim: no radius, and nothing projects.
    list.layoutRadar(false, 1000.0f, 10.0f, 190.0f, 8.0f, 12.0f, 1280, 720);
    EXPECT_FLOAT_EQ(list.radarRadius, 0.0f);
    Vec2 out;
    float fade = 0.0f;
    EXPECT_FALSE(list.projectToRadar({0.0f, -100.0f}, 100.0f, -1.0f, out, fade));
}

TEST_F(HudRadarTest, ProjectionTurnsWithTheHeadingCutsByRangeAndFadesAtTheRim)
{
    Vec2 out;
    float fade = 0.0f;
    // Flying north, a contact ahead is straight up.
    ASSERT_TRUE(list.projectToRadar({0.0f, -10000.0f}, 10000.0f, -1.0f, out, fade));
    EXPECT_NEAR(out.x, 0.0f, 1e-3f);
    EXPECT_NEAR(out.y, -44.5f, 1e-3f);
    EXPECT_FLOAT_EQ(fade, 1.0f);
    // Flying east, a contact east is ahead (up) and one north is to the left.
    list.updateSweep(0.0f, {100.0f, 0.0f});
    ASSERT_TRUE(list.projectToRadar({10000.0f, 0.0f}, 10000.0f, -1.0f, out, fade));
    EXPECT_NEAR(out.x, 0.0f, 1e-3f);
    EXPECT_NEAR(out.y, -44.5f, 1e-3f);
    ASSERT_TRUE(list.projectToRadar({0.0f, -10000.0f}, 10000.0f, -1.0f, out, fade));
    EXPECT_NEAR(out.x, -44.5f, 1e-3f);

    // Range factors: the plane's and the object's cut the reach together.
    list.rangeFactor = 0.5f;
    EXPECT_FALSE(list.projectToRadar({12000.0f, 0.0f}, 12000.0f, 1.0f, out, fade));
    EXPECT_TRUE(list.projectToRadar({9000.0f, 0.0f}, 9000.0f, 1.0f, out, fade));
    EXPECT_TRUE(list.projectToRadar({12000.0f, 0.0f}, 12000.0f, -1.0f, out, fade));
    list.rangeFactor = -1.0f;

    // Just outside: on the rim; twice the radius fades out completely.
    ASSERT_TRUE(list.projectToRadar({30000.0f, 0.0f}, 30000.0f, -1.0f, out, fade));
    EXPECT_NEAR(std::hypot(out.x, out.y), 89.0f, 1e-3f);
    EXPECT_NEAR(fade, 0.5f, 1e-4f);
    ASSERT_TRUE(list.projectToRadar({40000.0f, 0.0f}, 40000.0f, -1.0f, out, fade));
    EXPECT_NEAR(fade, 0.0f, 1e-4f);
}

TEST_F(HudRadarTest, ZoomFollowsTheNearestEnemyGradually)
{
    add(1, {0.0f, 0.0f, -7000.0f});
    list.update(frame, objects);
    EXPECT_EQ(list.zoomLevel, 0);
    EXPECT_NEAR(list.zoom, 0.1f * 2.5f + 0.9f * 1.0f, 1e-5f);
    add(1, {0.0f, 0.0f, -3500.0f});
    list.update(frame, objects);
    EXPECT_EQ(list.zoomLevel, 1);
    // Kept until beyond the keep distance of 5000.
    add(1, {0.0f, 0.0f, -4800.0f});
    list.update(frame, objects);
    EXPECT_EQ(list.zoomLevel, 1);
    add(1, {0.0f, 0.0f, -5200.0f});
    list.update(frame, objects);
    EXPECT_EQ(list.zoomLevel, 0);
    add(1, {0.0f, 0.0f, -8900.0f});
    list.update(frame, objects);
    EXPECT_EQ(list.zoomLevel, 0);
    add(1, {0.0f, 0.0f, -9100.0f});
    for (int i = 0; i < 200; ++i)
        list.update(frame, objects);
    EXPECT_EQ(list.zoomLevel, -1);
    EXPECT_FLOAT_EQ(list.zoom, 1.0f);  // snapped
    // Friends and missiles do not zoom.
    add(2, {0.0f, 0.0f, -1000.0f}, 0, 0);
    add(3, {0.0f, 0.0f, -1000.0f}, HudMarkers::kMissileKind, 1);
    list.update(frame, objects);
    EXPECT_EQ(list.zoomLevel, -1);
}

TEST_F(HudRadarTest, MissileTrailsKeepFivePointsTakenEveryHalfSecond)
{
    HudMarker& m = add(1, {0.0f, 0.0f, -1000.0f}, HudMarkers::kMissileKind);
    EXPECT_EQ(m.trailCount, 1);
    frame.dt = 0.25f;
    for (int i = 1; i <= 12; ++i) {
        objects.at(1, {static_cast<float>(i) * 100.0f, 0.0f, -1000.0f});
        list.update(frame, objects);
    }
    // 3 s at 0.5 s a point: full at five.
    EXPECT_EQ(m.trailCount, 5);
    EXPECT_FLOAT_EQ(m.trail[4].x, 1200.0f);
    EXPECT_FLOAT_EQ(m.trail[3].x, 1100.0f);  // the last place before the newest point was taken
    HudMarker& plane = add(2, {0.0f, 0.0f, -1000.0f});
    list.update(frame, objects);
    EXPECT_EQ(plane.trailCount, 1);
    // The player's own plane and locked-up avionics keep contacts off the radar.
    objects.objects[2].isPlayerPlane = true;
    list.update(frame, objects);
    EXPECT_FALSE(plane.radarVisible);
    objects.objects[2].isPlayerPlane = false;
    frame.playerFlightState = 2;
    list.update(frame, objects);
    EXPECT_FALSE(plane.radarVisible);
}

TEST_F(HudRadarTest, ApproachLampBlinksByNearnessInTheGlideColour)
{
    list.setGauge(0.0f, 0.0f);
    EXPECT_FLOAT_EQ(list.lampPeriod, 2.5f);
    EXPECT_EQ(list.lampColor.r, 255);
    EXPECT_EQ(list.lampColor.g, 0);
    list.setGauge(1.0f, 1.0f);
    EXPECT_FLOAT_EQ(list.lampPeriod, 0.25f);
    EXPECT_EQ(list.lampColor.r, 0);
    EXPECT_EQ(list.lampColor.g, 255);
    list.setGauge(7.0f, -2.0f);  // clamped
    EXPECT_FLOAT_EQ(list.lampPeriod, 0.25f);
    EXPECT_EQ(list.lampColor.r, 255);

    EXPECT_FLOAT_EQ(HudElementList::lampLevel(1.0f, 0.004f), 0.0f);
    EXPECT_FLOAT_EQ(HudElementList::lampLevel(1.0f, 0.996f), 0.0f);
    EXPECT_FLOAT_EQ(HudElementList::lampLevel(1.0f, 0.5f), 1.0f);
    EXPECT_FLOAT_EQ(HudElementList::lampLevel(1.0f, 0.75f), 1.0f);
    EXPECT_NEAR(HudElementList::lampLevel(1.0f, 0.1275f), 0.5f, 1e-4f);
    EXPECT_NEAR(HudElementList::lampLevel(1.0f, 0.8725f), 0.5f, 1e-4f);

    // The lamp restarts its period when it runs out, and is dark while off.
    frame.lampOn = true;
    frame.lampA = 0.0f;
    list.lampTimeLeft = 0.0f;
    list.update(frame, objects);
    EXPECT_FLOAT_EQ(list.lampTimeLeft, 2.5f);
    frame.lampOn = false;
    list.update(frame, objects);
    EXPECT_FLOAT_EQ(list.lampTimeLeft, 0.0f);
}

TEST(HudDial, ValueWrapsOnceByATurn)
{
    HudDial d;
    d.setValue(400.0f);
    EXPECT_FLOAT_EQ(d.value(), 40.0f);
    d.setValue(-400.0f);
    EXPECT_FLOAT_EQ(d.value(), -40.0f);
    d.setValue(360.0f);
    EXPECT_FLOAT_EQ(d.value(), 360.0f);
}

// A target deleted from the world leaves its marker reading nothing: no
// dangling pointer, and the lock reticle that held it lets go.
TEST(HudMarkerEntities, ADeletedTargetLeavesNoReferenceBehind)
{
    SimHost host;
    HudElementList list;
    HudCameraFixture view;
    GameHudObjects& objects = gameHudObjects();
    objects.setMode(nullptr);
    auto target = std::make_unique<Target>(host, TargetKind::LandUnit, 1);
    target->setPosition({0.0f, 0.0f, -900.0f});
    Target* t = host.addTarget(std::move(target));
    ASSERT_NE(t, nullptr);
    const HudMarkerRef ref = hudMarkerRef(*t);
    list.markers.add(ref, 3, false, 1, view.frame, objects, nullptr);
    HudLockWeapon& w = view.frame.weapons[0];
    w.present = w.locking = true;
    w.targets[0] = ref;
    w.targetCount = 1;
    list.updateTargets(view.frame, objects);
    HudMarker& m = *list.markers.find(ref);
    EXPECT_TRUE(m.visible);
    EXPECT_EQ(m.lockA, 0);

    host.remove(t);  // between frames: deleted at once
    // A new target may take the old id; the marker must not follow it.
    auto other = std::make_unique<Target>(host, TargetKind::LandUnit, 1);
    other->setPosition({0.0f, 0.0f, -500.0f});
    host.addTarget(std::move(other));
    view.frame.weapons[0] = HudLockWeapon{};
    list.updateTargets(view.frame, objects);
    list.update(view.frame, objects);
    EXPECT_FALSE(m.info.alive);
    EXPECT_FALSE(m.visible);
    EXPECT_FALSE(m.radarVisible);
    EXPECT_EQ(m.lockA, -1);
    list.markers.remove(ref);
    EXPECT_TRUE(list.markers.list().empty());
}

}  // namespace

// A waypoint is no target: the HUD reads its point and radius while the mode
// lists it, and nothing once it is hidden.
TEST(HudMarkerEntities, AWaypointIsReadOnlyWhileItsModeListsIt)
{
    std::unique_ptr<GameMode> mode = createGameMode(static_cast<int>(GameType::FreeFlight));
    ASSERT_NE(mode, nullptr);
    GameHudObjects& objects = gameHudObjects();
    objects.setMode(mode.get());
    const MapTrigger trigger;
    TriggerWaypoint waypoint(trigger, {100.0f, 50.0f, -2000.0f}, 350.0f);
    const HudMarkerRef ref = hudMarkerRef(waypoint);
    HudObjectInfo info;
    EXPECT_FALSE(objects.read(ref, info));   // never followed before the mode lists it

    mode->showWaypointMarker(waypoint);
    mode->showWaypointMarker(waypoint);
    ASSERT_EQ(mode->waypoints().size(), 1u);
    ASSERT_TRUE(objects.read(ref, info));
    EXPECT_EQ(info.position.z, -2000.0f);
    EXPECT_EQ(info.radius, 350.0f);
    EXPECT_TRUE(info.alive);
    EXPECT_FALSE(info.isPlayerPlane);

    mode->hideWaypointMarker(waypoint);
    EXPECT_FALSE(objects.read(ref, info));
    objects.setMode(nullptr);
}

// The modes add a marker again whenever its entity changes: a goal keeps its
// mark through that, and a waypoint is always one.
TEST(HudMarkerEntities, AGoalKeepsItsMarkWhenItsMarkerIsAddedAgain)
{
    SimHost host;
    HudElementList& list = HudElementList::instance();
    list.reset();
    gameHudObjects().setMode(nullptr);
    Target* t = host.addTarget(std::make_unique<Target>(host, TargetKind::LandUnit, 1));
    ASSERT_NE(t, nullptr);
    const HudMarkerRef ref = hudMarkerRef(*t);
    gameHud().addMarker(*t, 3, 1, true);
    ASSERT_NE(list.markers.find(ref), nullptr);
    EXPECT_FALSE(list.markers.find(ref)->always);
    gameHud().markObjective(*t);
    EXPECT_TRUE(list.markers.find(ref)->always);
    gameHud().addMarker(*t, 3, 1, false);
    EXPECT_TRUE(list.markers.find(ref)->always);

    const MapTrigger trigger;
    TriggerWaypoint waypoint(trigger, {0.0f, 0.0f, -500.0f}, 10.0f);
    gameHud().addMarker(waypoint, HudMarkers::kWaypointKind, 255, true);
    ASSERT_NE(list.markers.find(hudMarkerRef(waypoint)), nullptr);
    EXPECT_TRUE(list.markers.find(hudMarkerRef(waypoint))->always);
    list.reset();
}
