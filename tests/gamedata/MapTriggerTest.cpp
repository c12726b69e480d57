#include "support/gamedata/MapTestHooks.h"

#include "gamedata/map/MapLoader.h"
#include "platform/Log.h"

#include <gtest/gtest.h>

namespace {

MapTrigger shaped(int shape, Vec3 size, float radius)
{
    MapTrigger t;
    t.shape = shape;
    t.pos = {100.0f, 50.0f, -20.0f};
    t.size = size;
    t.radius = radius;
    return t;
}

TEST(MapTriggerShape, SphereBoxAndCylinderGrowByTheExtraRadius)
{
    const MapTrigger sphere = shaped(MapTrigger::Sphere, {1, 1, 1}, 10.0f);
    EXPECT_TRUE(sphere.contains({109.0f, 50.0f, -20.0f}, 0.0f));
    EXPECT_FALSE(sphere.contains({111.0f, 50.0f, -20.0f}, 0.0f));
    EXPECT_TRUE(sphere.contains({111.0f, 50.0f, -20.0f}, 2.0f));
    EXPECT_FALSE(sphere.contains({107.5f, 57.5f, -20.0f}, 0.0f));  // corner of the cube, outside the ball

    const MapTrigger box = shaped(MapTrigger::Box, {10, 5, 20}, 1.0f);
    EXPECT_TRUE(box.contains({109.0f, 54.0f, -39.0f}, 0.0f));
    EXPECT_FALSE(box.contains({100.0f, 56.0f, -20.0f}, 0.0f));
    EXPECT_TRUE(box.contains({100.0f, 56.0f, -20.0f}, 1.5f));
    EXPECT_FALSE(box.contains({112.0f, 50.0f, -20.0f}, 1.5f));

    // A cylinder ignores height within its half height, then ends flat.
    const MapTrigger cylinder = shaped(MapTrigger::Cylinder, {1, 100, 1}, 30.0f);
    EXPECT_TRUE(cylinder.contains({100.0f, 149.0f, 9.0f}, 0.0f));
    EXPECT_FALSE(cylinder.contains({100.0f, 151.0f, -20.0f}, 0.0f));
    EXPECT_TRUE(cylinder.contains({100.0f, 151.0f, -20.0f}, 2.0f));
    EXPECT_FALSE(cylinder.contains({125.0f, 50.0f, 0.0f}, 0.0f));  // 32 from the axis
    EXPECT_TRUE(cylinder.contains({125.0f, 50.0f, 0.0f}, 2.5f));
}

// A world loaded from text with recording hooks.
struct TriggerWorld : testing::Test {
    GameWorld world;
    RecordingHooks hooks;
    FakeEntity a, b, c;
    std::vector<std::string> warnings;

    void SetUp() override
    {
        setLogCapture([this](LogLevel, const std::string&, const std::string& m) { warnings.push_back(m); });
        world.init();
        world.setHooks(hooks.hooks());
    }
    void TearDown() override { setLogCapture({}); }
    void load(const std::string& text)
    {
        ASSERT_TRUE(MapLoader::loadEdtText(world, text, "test.edt"));
        // The objects in play at the start get their entities, as the mission spawner gives them.
        FakeEntity* entities[] = {&a, &b, &c};
        for (int i = 0, next = 0; i < world.objectCount() && next < 3; ++i)
            if (world.object(i)->spawn == 0)
                world.object(i)->entity = entities[next++];
    }
};

TEST_F(TriggerWorld, ConditionsFireOnceAndRunTheirActionsInOrder)
{
    load(R"(
        Worldspawn { spawn 0 1000 0 }
        MapObject { name "a" unit "tank" team 1 }
        MapObject { name "b" unit "tank" team 1 }
        MapObject { name "c" unit "tank" team 1 }
        MapTrigger { name "enter" shape Sphere pos 0 0 0 radius 100 exec [
            TriggerAction { type Notice text "NO_SUCH_KEY" }
            TriggerAction { type Sun value 0.25 } ] }
        MapTrigger { name "two" condition Count total 2 objects "a b c" exec [ TriggerAction { type Checkpoint } ] }
        MapTrigger { name "all" condition Destroyed objects "a b c" exec [ TriggerAction { type Win value 7 } ] }
        MapTrigger { name "later" condition Timer delay 10 exec [ TriggerAction { type Music text "m.mp3" value 1 } ] }
        MapTrigger { name "follow" condition AfterTrigger after "later" exec [ TriggerAction { type StopMusic } ] }
        MapTrigger { name "lost" condition Lost exec [ TriggerAction { type Fail value 3 } ] }
    )");
    hooks.player = {500.0f, 0.0f, 0.0f};
    world.applySunAndFog(1.0f);
    EXPECT_TRUE(hooks.calls.empty());

    // The player's own radius counts: 105 from the centre with radius 5 enters.
    hooks.player = {105.0f, 0.0f, 0.0f};
    world.applySunAndFog(1.0f);
    EXPECT_EQ(hooks.calls, (std::vector<std::string>{"notice:1:NO_SUCH_KEY", "sun:25"}));
    world.applySunAndFog(1.0f);
    EXPECT_EQ(hooks.calls.size(), 2u) << "a trigger fires once";

    a.gone = true;
    world.applySunAndFog(1.0f);
    EXPECT_FALSE(hooks.called("checkpoint"));
    b.gone = true;
    world.applySunAndFog(1.0f);
    EXPECT_TRUE(hooks.called("checkpoint"));
    EXPECT_FALSE(hooks.called("win:7"));
    // Gone by its state alone (the entity already left the world).
    world.removeEntity(&c);
    world.object(2)->setState(MapObject::kStateGone);
    world.applySunAndFog(1.0f);
    EXPECT_TRUE(hooks.called("win:7"));

    // Timers count from the start; the follower fires the tick after.
    hooks.calls.clear();
    for (int i = 0; i < 6; ++i)
        world.applySunAndFog(1.0f);
    // A looping tune opens over what plays; the stop comes from the follower.
    EXPECT_EQ(hooks.calls, (std::vector<std::string>{"music:m.mp3:loop", "stopmusic"}));
    EXPECT_TRUE(world.music.empty());

    hooks.alive = false;
    world.applySunAndFog(1.0f);
    EXPECT_TRUE(hooks.called("fail:3"));
}

TEST_F(TriggerWorld, ActionsReachTheHudTheModeAndOtherTriggers)
{
    load(R"(
        MapObject { name "a" unit "ship" team 1 }
        MapObject { name "b" unit "ship" team 1 }
        MapObject { name "reserve" unit "tank" team 1 spawn 1 active false }
        MapTrigger { name "go" condition Timer exec [
            TriggerAction { type Notice text "K" target "4" }
            TriggerAction { type Countdown value 90.7 text "LABEL" }
            TriggerAction { type Objective target "goal" }
            TriggerAction { type Waypoint }
            TriggerAction { type AllowLoss }
            TriggerAction { type Spawn target "reserve nobody" }
            TriggerAction { type Enable target "off" }
            TriggerAction { type Effect text "smoke.psc" }
            TriggerAction { type Sound text "a.wav b.wav" }
            TriggerAction { type Weather value 2 }
            TriggerAction { type Comic text "end1" }
            TriggerAction { type ClearMessages }
            TriggerAction { type HideCountdown } ] }
        MapTrigger { name "goal" kind Objective enabled false condition Destroyed objects "a b" exec [
            TriggerAction { type ForbidLoss } ] }
        MapTrigger { name "off" enabled false condition Timer exec [ TriggerAction { type Disable target "goal" } ] }
    )");
    world.applySunAndFog(0.5f);
    const std::vector<std::string> expected = {
        "notice:4:K",  "countdown:90:LABEL", "objective:goal", "goal",           "goal",
        "waypoint:go", "loss:on",            "spawn:reserve",  "effect:smoke.psc", "sound:a.wav",
        "sound:b.wav", "weather:2",          "comic:end1",     "clear",          "countdown:-1000:"};
    EXPECT_EQ(hooks.calls, expected);
    EXPECT_EQ(hooks.icon, 0) << "the notice icon is reset after the push";
    EXPECT_TRUE(world.playerLossAllowed);
    EXPECT_TRUE(world.findObject("reserve")->active);
    EXPECT_EQ(world.findTrigger("goal")->targetTotal(), 2);

    // The enabled trigger runs next tick and disables the objective.
    hooks.calls.clear();
    world.applySunAndFog(0.5f);
    EXPECT_EQ(hooks.calls, std::vector<std::string>{});
    a.gone = b.gone = true;
    world.notifyGroundTargets();
    EXPECT_EQ(world.findTrigger("goal")->done, 2);
    EXPECT_EQ(world.object(0)->state, MapObject::kStateGone);
    world.applySunAndFog(0.5f);
    EXPECT_FALSE(hooks.called("loss:off")) << "the disabled objective never fires";
}

TEST_F(TriggerWorld, LandmarksLeaveTheListWithTheirWholeGroup)
{
    load(R"(
        MapTrigger { name "tower" pos 0 0 0 radius 50 group 1 landmark 2 notice "TOWER" }
        MapTrigger { name "tower_far" pos 5000 0 0 radius 50 group 1 landmark 2 notice "TOWER" }
        MapTrigger { name "lake" pos 0 0 0 radius 500 group 2 landmark 5 notice "LAKE" }
        MapTrigger { name "silent" pos 9000 0 0 radius 10 exec [ TriggerAction { type Win } ] }
    )");
    ASSERT_EQ(world.landmarkTriggers().size(), 3u);
    std::vector<int> events;
    const int reached = world.checkLandmarks({30.0f, 0.0f, 0.0f}, 25.0f, [&](MapTrigger& t) {
        events.push_back(MapTrigger::kLandmarkEventBase + t.landmark);
    });
    EXPECT_EQ(reached, 2);
    EXPECT_EQ(events, (std::vector<int>{75, 78}));
    EXPECT_TRUE(world.landmarkTriggers().empty());
    // The mission tick leaves landmarks to the game mode.
    world.applySunAndFog(1.0f);
    EXPECT_TRUE(hooks.calls.empty());
}

TEST_F(TriggerWorld, ALandmarkWithoutAGroupLeavesTheListAlone)
{
    load(R"(
        MapTrigger { name "mill" pos 0 0 0 radius 50 landmark 1 notice "MILL" }
        MapTrigger { name "barn" pos 20 0 0 radius 50 landmark 3 notice "BARN" }
        MapTrigger { name "far" pos 9000 0 0 radius 50 landmark 4 notice "FAR" }
    )");
    ASSERT_EQ(world.landmarkTriggers().size(), 3u);
    std::vector<std::string> reached;
    const auto note = [&](MapTrigger& t) { reached.push_back(t.name); };
    EXPECT_EQ(world.checkLandmarks({0.0f, 0.0f, 0.0f}, 1.0f, note), 2);
    EXPECT_EQ(reached, (std::vector<std::string>{"mill", "barn"}));
    ASSERT_EQ(world.landmarkTriggers().size(), 1u);
    EXPECT_EQ(world.landmarkTriggers()[0]->name, "far");
    EXPECT_EQ(world.checkLandmarks({0.0f, 0.0f, 0.0f}, 1.0f, note), 0) << "a reached landmark is not met again";
}

TEST_F(TriggerWorld, AReEnabledTimerStartsItsTimeAgain)
{
    load(R"(
        MapTrigger { name "alarm" condition Timer delay 5 exec [ TriggerAction { type Notice text "ALARM" } ] }
    )");
    MapTrigger& alarm = *world.findTrigger("alarm");
    world.applySunAndFog(3.0f);
    world.enableTrigger(alarm, false);
    world.applySunAndFog(10.0f);
    EXPECT_FALSE(alarm.fired) << "a disabled timer does not run";
    world.enableTrigger(alarm, true);
    world.applySunAndFog(4.0f);
    EXPECT_FALSE(alarm.fired) << "the 3 s before the pause do not count again";
    world.applySunAndFog(1.5f);
    EXPECT_TRUE(alarm.fired);
    // Off and on again after it fired, it fires once more in its own time
    // (the rescue over home waters arms itself so).
    world.enableTrigger(alarm, false);
    world.enableTrigger(alarm, true);
    EXPECT_FALSE(alarm.fired);
    world.applySunAndFog(5.5f);
    EXPECT_TRUE(alarm.fired);
    // Enabling a trigger that is already on keeps its time.
    world.init();
    world.setHooks(hooks.hooks());
    load(R"(
        MapTrigger { name "bell" condition Timer delay 5 exec [ TriggerAction { type Notice text "BELL" } ] }
    )");
    MapTrigger& bell = *world.findTrigger("bell");
    world.applySunAndFog(3.0f);
    world.enableTrigger(bell, true);
    world.applySunAndFog(2.5f);
    EXPECT_TRUE(bell.fired);
}

// A match restart on the same map: every trigger as the map gives it, whatever
// the last match's script enabled, disabled, fired or timed.
TEST_F(TriggerWorld, ARearmedMapPlaysItsScriptAgainFromTheStart)
{
    load(R"(
        MapTrigger { name "music" condition Timer delay 2 exec [ TriggerAction { type Music text "m.mp3" value 1 } ] }
        MapTrigger { name "swap" condition Timer delay 4 exec [
            TriggerAction { type Disable target "horn" }
            TriggerAction { type Enable target "siren" } ] }
        MapTrigger { name "horn" condition Timer delay 30 exec [ TriggerAction { type Sound text "horn.wav" } ] }
        MapTrigger { name "siren" enabled false condition Timer delay 1 exec [ TriggerAction { type Sound text "siren.wav" } ] }
        MapTrigger { name "goal" kind Objective condition Destroyed objects "x" exec [ TriggerAction { type Win } ] }
        MapTrigger { name "effect_dummy_fire" condition Timer exec [ TriggerAction { type Effect text "fire.psc" } ] }
        MapObject { name "x" unit "tank" team 1 }
    )");
    const auto play = [&](float seconds) {
        for (float t = 0.0f; t < seconds; t += 0.5f)
            world.tickTriggers(0.5f);
    };
    play(10.0f);
    ASSERT_EQ(hooks.calls, (std::vector<std::string>{"objective:goal", "goal", "music:m.mp3:loop", "sound:siren.wav"}));
    ASSERT_FALSE(world.findTrigger("horn")->enabled);

    world.rearmTriggers();
    hooks.calls.clear();
    EXPECT_TRUE(world.findTrigger("horn")->enabled);
    EXPECT_FALSE(world.findTrigger("siren")->enabled);
    EXPECT_EQ(world.findTrigger("music")->elapsed, 0.0f);
    // No timer fires before its own time has run again.
    play(1.5f);
    EXPECT_EQ(hooks.calls, (std::vector<std::string>{"objective:goal", "goal"})) << "the objective registers anew";
    play(35.0f);
    EXPECT_EQ(hooks.calls,
              (std::vector<std::string>{"objective:goal", "goal", "music:m.mp3:loop", "sound:siren.wav"}));
    EXPECT_FALSE(hooks.called("sound:horn.wav")) << "disabled again by this match's script";
    EXPECT_FALSE(hooks.called("effect:fire.psc")) << "an effect point's smoke starts with the level, not by the script";
}

TEST_F(TriggerWorld, TheSunActionsValueIsHeldToDawnAndDusk)
{
    load(R"(
        MapTrigger { name "night" condition Timer exec [ TriggerAction { type Sun value 7 } ] }
        MapTrigger { name "dark" condition Timer delay 1 exec [ TriggerAction { type Sun value -3 } ] }
        MapTrigger { name "noon" condition Timer delay 2 exec [ TriggerAction { type Sun value 0.5 } ] }
    )");
    world.applySunAndFog(0.5f);
    EXPECT_FLOAT_EQ(world.sunValue, 0.96f);
    world.applySunAndFog(1.0f);
    EXPECT_FLOAT_EQ(world.sunValue, 0.04f);
    world.applySunAndFog(1.0f);
    EXPECT_FLOAT_EQ(world.sunValue, 0.5f);
    EXPECT_EQ(hooks.calls, (std::vector<std::string>{"sun:96", "sun:4", "sun:50"}));
}

}  // namespace
