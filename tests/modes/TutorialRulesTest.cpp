#include "entities/aircraft/Airplane.h"
#include "entities/aircraft/Squadron.h"
#include "entities/ground/GroundTarget.h"
#include "entities/ground/Runway.h"
#include "gamedata/map/GameWorld.h"
#include "gamedata/map/MapEntities.h"
#include "gamedata/records/MapLists.h"
#include "gamedata/records/WeaponList.h"
#include "modes/GameModeFactory.h"
#include "modes/GameModeGlobals.h"
#include "modes/tutorials/BindingHint.h"
#include "modes/tutorials/DummyWP.h"
#include "modes/tutorials/TutorialGameMode_ARCADE.h"
#include "modes/tutorials/TutorialGameMode_CONTROLS.h"
#include "modes/tutorials/TutorialGameMode_HUD.h"
#include "modes/tutorials/TutorialGameMode_MANEUVERSSQUAD.h"
#include "modes/tutorials/TutorialGameMode_SIMPLEWEAPONS.h"
#include "modes/tutorials/TutorialGameMode_TAKEOFFLAND.h"
#include "platform/Controls.h"
#include "platform/Language.h"
#include "platform/Settings.h"

#include "TutorialRun.h"

#include <vector>

// The rules the six tutorials share and the edge cases of each, on the
// generated tutorial map with the recording HUD.
namespace {
using A = ControlAction;
constexpr std::uint64_t bit(A a) { return TutorialGameMode::bitOf(a); }

struct Tutorial : testing::Test {
    TutorialRun run;

    void startTutorial(int index)
    {
        settings() = Settings{};
        std::string error;
        ASSERT_TRUE(run.start(index, error)) << error;
    }
    Airplane& plane() { return *run.mode->playerAirplane(); }
    // Runs until the step is reached (the pilot holds whatever the test set).
    bool reach(int step, float seconds = 120.0f)
    {
        return run.runUntil([&] { return run.step() == step; }, seconds);
    }
    // The steps seen, in order, while the script runs.
    std::vector<int> stepsUntil(int last, float seconds, const std::function<void()>& script)
    {
        std::vector<int> seen{run.step()};
        (void)run.runUntil(
            [&] {
                if (seen.back() != run.step())
                    seen.push_back(run.step());
                script();
                return run.step() == last;
            },
            seconds);
        return seen;
    }
};
}  // namespace

// ---- The action mask ----

TEST_F(Tutorial, MaskIsTheBaseMaskPlusWhatTheStepTeaches)
{
    startTutorial(1);
    run.frame();
    EXPECT_EQ(enabledActions(), TutorialGameMode::kBaseMask);
    run.mode->detachAI(plane());  // the player has the controls from step 2 on
    EXPECT_EQ(TutorialGameMode::kBaseMask, 0x7E1000000ull) << "Menu and the six menu actions";
    run.mode->step = 2;
    run.frame();
    EXPECT_EQ(enabledActions(), TutorialGameMode::kBaseMask | bit(A::Accelerate));
    // A disabled action does not get through the dispatch.
    run.pilot->hold(A::Brake, true);
    run.frame();
    EXPECT_EQ(run.pilot->actionsStarted(A::Brake), 0);
    EXPECT_LT(plane().throttleCommand(), 1.01f);
    run.mode->step = 3;
    run.frame();
    run.frame();
    EXPECT_EQ(enabledActions(), TutorialGameMode::kBaseMask | bit(A::Brake));
    EXPECT_LT(plane().throttleCommand(), 0.0f) << "the brake works once its step lets it";
}

TEST_F(Tutorial, EveryActionIsEnabledAgainAfterQuitOrRestart)
{
    startTutorial(2);
    run.mode->step = 22;
    run.frame();
    EXPECT_NE(enabledActions(), ~std::uint64_t{0});
    // Quit: leaving the game screen clears the level.
    run.mode->clearLevel();
    EXPECT_EQ(enabledActions(), ~std::uint64_t{0});
    // Restart: a new mode is made, the old one goes.
    startTutorial(2);
    run.frame();
    EXPECT_NE(enabledActions(), ~std::uint64_t{0});
    run.harness.finish();
    EXPECT_EQ(enabledActions(), ~std::uint64_t{0});
}

TEST_F(Tutorial, TakeOffLeavesTheMaskAloneUntilThePlayerMayFly)
{
    startTutorial(3);
    setEnabledActions(~std::uint64_t{0});
    run.frame();
    EXPECT_EQ(enabledActions(), ~std::uint64_t{0}) << "steps 0 and 1 do not write the mask";
    EXPECT_TRUE(plane().onRunway());
    run.run(5.0f);
    EXPECT_EQ(run.step(), 1);
    EXPECT_LT(plane().speed(), 1.0f) << "the throttle is held at 0 on the runway";
    ASSERT_TRUE(reach(2, 20.0f));
    run.frame();
    EXPECT_EQ(enabledActions(), TutorialGameMode::kBaseMask | TutorialGameMode::kFlightMask);
    // Standing on the runway all this time has not wrecked it.
    auto* lesson = static_cast<TutorialGameMode_TAKEOFFLAND*>(run.mode);
    ASSERT_NE(lesson->runway(), nullptr);
    EXPECT_TRUE(lesson->runway()->isActive());
    EXPECT_EQ(run.mode->findRunwayAt(plane().position(), 5.0f), lesson->runway());
}

// ---- Reminders ----

TEST_F(Tutorial, ReminderComesAfterItsDelayThenEveryTenSeconds)
{
    startTutorial(5);
    run.mode->step = 99;  // a step without a case: only the frame runs
    run.mode->reminderTextId = 715;
    run.mode->reminderTimer = 4.0f;
    run.run(3.9f);
    EXPECT_EQ(run.hud.pushedCount(715), 0);
    run.run(0.2f);
    EXPECT_EQ(run.hud.pushedCount(715), 1);
    run.run(9.8f);
    EXPECT_EQ(run.hud.pushedCount(715), 1);
    run.run(0.3f);
    EXPECT_EQ(run.hud.pushedCount(715), 2);
}

TEST_F(Tutorial, ReminderOfIdZeroOrTimerBelowZeroNeverShows)
{
    startTutorial(5);
    run.mode->step = 99;
    run.mode->reminderTextId = 0;
    run.mode->reminderTimer = 1.0f;
    run.run(30.0f);
    EXPECT_TRUE(run.hud.pushed.empty());
    run.mode->reminderTextId = 715;
    run.mode->reminderTimer = -1.0f;
    run.run(30.0f);
    EXPECT_TRUE(run.hud.pushed.empty());
}

TEST_F(Tutorial, WeaponsRemindEveryTwentySecondsAndTheLinkReminderNamesItsKey)
{
    startTutorial(4);
    run.mode->step = 99;
    run.mode->reminderTextId = TutorialGameMode_SIMPLEWEAPONS::kLinkReminder;
    run.mode->reminderTimer = 0.5f;
    run.run(1.0f);
    ASSERT_EQ(run.hud.pushed.size(), 1u);
    EXPECT_EQ(run.hud.pushed[0].lineId, 0) << "a binding hint is a notice";
    EXPECT_NE(run.hud.pushed[0].text.find(u"L"), std::u16string::npos) << "the default key of Link_Weapons";
    run.run(19.0f);
    EXPECT_EQ(run.hud.pushed.size(), 1u);
    run.run(1.0f);
    EXPECT_EQ(run.hud.pushed.size(), 2u);
}

// ---- Binding hints and the waypoint ----

TEST_F(Tutorial, WaypointHasNoVelocityWhereverItIsAndNamesItself)
{
    startTutorial(1);
    DummyWP wp;
    wp.setPosition({1000.0f, 2000.0f, -3000.0f});
    const Vec3 v = wp.velocity();
    EXPECT_EQ(v.x, 0.0f);
    EXPECT_EQ(v.y, 0.0f);
    EXPECT_EQ(v.z, 0.0f);
    EXPECT_EQ(wp.displayName(false), getStringByIndex(DummyWP::kNameText));
    EXPECT_FALSE(wp.canBeTargeted());
}

TEST_F(Tutorial, ThePlayersAircraftCarriesTheProfilesName)
{
    for (int index : {0, 3}) {   // in the air, and on the runway
        settings() = Settings{};
        settings().playerName = u"Wren";
        std::string error;
        ASSERT_TRUE(run.start(index, error)) << error;
        EXPECT_EQ(plane().pilotName, u"Wren") << "tutorial " << index;
    }
}

// ---- Forced settings and the completion flag ----

TEST_F(Tutorial, SavesDuringAndAfterATutorialKeepThePlayersControlType)
{
    settings() = Settings{};
    settings().controlType = 0;
    std::string error;
    ASSERT_TRUE(run.start(1, error)) << error;
    run.frame();
    EXPECT_EQ(settings().controlType, 1) << "arcade forces type 1";
    // An achievement earned mid-tutorial saves at once; so does a shut-down from the quit overlay.
    settings().save();
    Settings reread;
    ASSERT_TRUE(reread.load());
    EXPECT_EQ(reread.controlType, 0);
    EXPECT_EQ(reread.flightHintEnabled, 1);
    // Leaving the tutorial gives the value back and saves it.
    run.harness.finish();
    EXPECT_EQ(settings().controlType, 0);
    ASSERT_TRUE(reread.load());
    EXPECT_EQ(reread.controlType, 0);
}

TEST_F(Tutorial, ArcadeFlightHintIsForcedFromStepSevenAndGivenBack)
{
    settings() = Settings{};
    settings().flightHintEnabled = 0;
    std::string error;
    ASSERT_TRUE(run.start(1, error)) << error;
    run.mode->step = 7;
    run.mode->counter = 2.0f;
    run.pilot->hold(A::Pitch_Up, true);
    run.frame();
    run.frame();
    EXPECT_EQ(settings().flightHintEnabled, 1);
    settings().save();
    Settings reread;
    ASSERT_TRUE(reread.load());
    EXPECT_EQ(reread.flightHintEnabled, 0);
    run.mode->clearLevel();
    EXPECT_EQ(settings().flightHintEnabled, 0);
}

TEST_F(Tutorial, CompletionFlagIsSetWhenTheLastStepBeginsAndThePageFiveSecondsLater)
{
    startTutorial(5);
    run.mode->step = TutorialGameMode_MANEUVERSSQUAD::kLastStep;
    run.mode->stepTimer = 0.0f;
    EXPECT_EQ(settings().tutorialDoneAt(5), 0);
    run.frame();
    EXPECT_EQ(settings().tutorialDoneAt(5), 1);
    EXPECT_TRUE(run.overlays.opened.empty());
    run.run(4.8f);
    EXPECT_TRUE(run.overlays.opened.empty());
    run.run(0.4f);
    ASSERT_EQ(run.overlays.count(PauseMenu::TutorialWin), 1);
    EXPECT_TRUE(run.mode->playStopped);
    EXPECT_EQ(run.hud.lookAts, 1);
    EXPECT_EQ(run.hud.musicStops, 1);
    EXPECT_EQ(run.progress.count(63), 1) << "the squadron tutorial counts once its page is up";
    run.run(2.0f);
    EXPECT_EQ(run.overlays.count(PauseMenu::TutorialWin), 1) << "nothing runs once play stopped";
}

TEST_F(Tutorial, PauseMenuIsTheTutorialsAndTappingTheNoticeLetsItGo)
{
    startTutorial(0);
    EXPECT_EQ(run.mode->getPauseMenu(), PauseMenu::Tutorial);
    run.hud.pushTutorialLine(419, 8.0f);
    run.hud.pushTutorialLine(420, 8.0f);
    run.mode->tutorialHudHook();
    EXPECT_EQ(run.hud.noticeCount(), 1);
}

// ---- The HUD tutorial ----

TEST_F(Tutorial, HudTutorialWithTheMouseSkipsTheCameraSteps)
{
    startTutorial(0);
    settings().controlDevice = 2;
    const std::vector<int> seen = stepsUntil(4, 60.0f, [] {});
    EXPECT_EQ(seen, (std::vector<int>{0, 1, 4}));
    EXPECT_FALSE(run.hud.pushedLine(422)) << "no drag line";
}

TEST_F(Tutorial, HudTutorialCountsALongDragAndEndsTheCameraStepAwayAndBack)
{
    startTutorial(0);
    run.mode->step = 2;
    run.hud.camera = 2;
    for (float look : {0.1f, 0.15f, 0.08f, 0.08f, 0.2f}) {   // across the centre, never far from it
        EXPECT_EQ(run.step(), 2);
        run.hud.drag = look;
        run.frame();
    }
    ASSERT_EQ(run.step(), 3);
    run.hud.drag = 0.0f;
    run.run(1.0f);
    EXPECT_EQ(run.step(), 3) << "still in the chase view";
    for (int view : {0, 1}) {
        run.hud.camera = view;
        run.frame();
        EXPECT_EQ(run.step(), 3) << "away from the chase view, in view " << view;
    }
    run.hud.camera = 2;
    run.frame();
    EXPECT_EQ(run.step(), 4) << "back in the chase view";
    // Coming into the step outside the chase view, the way back alone does.
    startTutorial(0);
    run.mode->step = 2;
    run.hud.camera = 3;
    run.hud.drag = 1.0f;
    run.frame();
    ASSERT_EQ(run.step(), 3);
    run.hud.camera = 2;
    run.frame();
    EXPECT_EQ(run.step(), 4);
}

TEST_F(Tutorial, HudTutorialLiftsTheAircraftOnlyOffTheGround)
{
    startTutorial(0);
    const Vec3 before = plane().position();
    run.mode->onAirplaneDestroyed(plane(), nullptr, CrashCause::Water);
    EXPECT_FLOAT_EQ(plane().position().y, before.y);
    run.mode->onAirplaneDestroyed(plane(), nullptr, CrashCause::Ground);
    EXPECT_FLOAT_EQ(plane().position().y, before.y + 200.0f);
    EXPECT_TRUE(plane().isActive());
}

TEST_F(Tutorial, HudTutorialHidesWhatItRevealsLater)
{
    startTutorial(0);
    EXPECT_FALSE(run.hud.buttonVisible(ITutorialHud::kCameraButton));
    EXPECT_FALSE(run.hud.dialShown[0] || run.hud.dialShown[1] || run.hud.dialShown[2]);
    EXPECT_FALSE(run.hud.gaugesShown);
    EXPECT_TRUE(run.hud.dragOn) << "the drag lesson needs the camera drag";
    // Again once the HUD is built at the end of the load.
    run.hud.gaugesShown = true;
    run.mode->onHudBuilt();
    EXPECT_FALSE(run.hud.gaugesShown);
}

// ---- Arcade ----

TEST_F(Tutorial, ArcadeLeftTurnCountsOverSeveralPresses)
{
    startTutorial(1);
    run.mode->detachAI(plane());  // as step 1 does
    run.mode->step = 4;
    run.frame();
    for (int press = 0; press < 4 && run.step() == 4; ++press) {
        run.pilot->hold(A::Yaw_Left, true);
        run.run(0.8f);
        run.pilot->hold(A::Yaw_Left, false);
        run.run(0.5f);
        if (press < 3) {
            EXPECT_EQ(run.step(), 4) << "after press " << press;
        }
    }
    EXPECT_EQ(run.step(), 5) << "3 s of left turn in four presses";
}

TEST_F(Tutorial, ArcadeInvertedPitchSwapsTheMasksOnly)
{
    startTutorial(1);
    run.mode->detachAI(plane());  // as step 1 does
    settings().invertPitch = 1;
    run.mode->step = 7;
    run.frame();
    EXPECT_EQ(enabledActions(), TutorialGameMode::kBaseMask | bit(A::Pitch_Down));
    // The nose-up input still counts whatever key gives it.
    run.pilot->hold(A::Pitch_Down, true);
    run.run(1.2f);
    EXPECT_NE(run.step(), 7);
    run.mode->step = 8;
    run.frame();
    EXPECT_EQ(enabledActions(), TutorialGameMode::kBaseMask | bit(A::Pitch_Up));
}

TEST_F(Tutorial, ArcadeStepSixLastsOneFrameAndTakesTheClimbLineAlong)
{
    startTutorial(1);
    run.mode->detachAI(plane());  // as step 1 does
    run.mode->step = 7;
    run.mode->counter = 2.0f;
    run.pilot->hold(A::Pitch_Up, true);
    run.frame();
    ASSERT_EQ(run.step(), 6);
    EXPECT_TRUE(run.hud.pushedLine(584));
    run.frame();
    EXPECT_EQ(run.step(), 8);
    for (const auto& e : run.hud.queue)
        EXPECT_NE(e.lineId, 584);
}

TEST_F(Tutorial, ArcadeAutopilotBeforeItsStepAdvancesNothing)
{
    startTutorial(1);
    ASSERT_TRUE(reach(2, 30.0f));
    // Step 2 lets only the throttle through: the autopilot key does nothing.
    run.pilot->tap(A::Autopilot);
    run.frame();
    EXPECT_EQ(run.pilot->actionsStarted(A::Autopilot), 0);
    EXPECT_EQ(plane().aiController(), nullptr);
    EXPECT_EQ(run.step(), 2);
}

TEST_F(Tutorial, ArcadeCrashOnTheWaypointsPutsTheAircraftHigherAndKeepsTheWaypoint)
{
    startTutorial(1);
    run.mode->detachAI(plane());  // as step 1 does
    auto* arcade = static_cast<TutorialGameMode_ARCADE*>(run.mode);
    run.mode->step = 12;
    run.pilot->tap(A::Autopilot);
    run.frame();
    run.frame();
    ASSERT_EQ(run.step(), 13);
    const Vec3 wp = arcade->waypoint().position();
    const Vec3 before = plane().position();
    run.mode->onAirplaneDestroyed(plane(), nullptr, CrashCause::Ground);
    EXPECT_GT(plane().position().y, before.y + 2499.0f);
    EXPECT_TRUE(plane().isActive());
    EXPECT_EQ(arcade->waypoint().position().x, wp.x);
    EXPECT_TRUE(run.hud.pushedLine(614));
}

// ---- Controls ----

TEST_F(Tutorial, ControlsWithTheMouseFliesTheShortExerciseFirst)
{
    startTutorial(2);
    settings().controlDevice = 2;
    auto* lesson = static_cast<TutorialGameMode_CONTROLS*>(run.mode);
    std::vector<int> seen = stepsUntil(17, 600.0f, [&] {
        Airplane& a = plane();
        const int s = run.step();
        if (s == 24 || s == 27)
            a.setPositionAndStop(lesson->waypoint().position());  // flown there
        run.pilot->hold(A::Accelerate, s == 2);
        run.pilot->hold(A::Brake, s == 3);
    });
    EXPECT_EQ(seen, (std::vector<int>{0, 23, 24, 27, 1, 2, 3, 16, 17}));
    EXPECT_TRUE(lesson->skipRecovery);
}

TEST_F(Tutorial, ControlsEjectWorksOnlyInItsStep)
{
    startTutorial(2);
    run.mode->step = 10;
    run.mode->ejectPilot(plane(), 0.0f, true);
    EXPECT_TRUE(plane().ejectFlag()) << "no ejection before step 22";
    EXPECT_EQ(run.mode->parachuteCount(), 0);
    run.mode->step = TutorialGameMode_CONTROLS::kEjectStep;
    run.mode->ejectPilot(plane(), 0.0f, false);
    EXPECT_FALSE(plane().ejectFlag());
    EXPECT_EQ(run.mode->parachuteCount(), 1);
    run.frame();
    EXPECT_EQ(run.step(), 28);
    EXPECT_TRUE(plane().ejectFlag()) << "the aircraft is made ready again";
    EXPECT_NE(plane().aiController(), nullptr) << "and flies on under the autopilot";
    EXPECT_EQ(run.progress.count(60), 1);
}

TEST_F(Tutorial, ControlsStallCannotEndWhileTheThrottleIsHeldOpen)
{
    startTutorial(2);
    run.mode->detachAI(plane());
    run.mode->step = 15;
    run.pilot->hold(A::Accelerate, true);
    run.run(2.0f);
    EXPECT_EQ(enabledActions(), TutorialGameMode::kBaseMask);
    EXPECT_LT(plane().throttleCommand(), 0.0f) << "the engine is cut every frame";
}

TEST_F(Tutorial, ControlsLevellingStepNeedsNoInputAndTheWaypointReminderStops)
{
    startTutorial(2);
    run.mode->step = 9;
    run.mode->stepTimer = 7.0f;
    run.run(6.9f);
    EXPECT_EQ(run.step(), 9);
    run.run(0.2f);
    EXPECT_EQ(run.step(), 10);
    // Leaving the last waypoint ends its reminder, so the notices can run out.
    auto* lesson = static_cast<TutorialGameMode_CONTROLS*>(run.mode);
    run.mode->step = 18;
    run.mode->reminderTextId = 522;
    run.mode->reminderTimer = 3.0f;
    plane().setPositionAndStop(lesson->waypoint().position());
    run.frame();
    ASSERT_EQ(run.step(), 21);
    EXPECT_EQ(run.mode->reminderTextId, 0);
    EXPECT_TRUE(run.runUntil([&] { return run.step() == 22; }, 30.0f));
}

// ---- Take-off and landing ----

TEST_F(Tutorial, TakeOffCrashBeforeTheApproachStartsAgainOnTheRunway)
{
    startTutorial(3);
    auto* lesson = static_cast<TutorialGameMode_TAKEOFFLAND*>(run.mode);
    ASSERT_NE(lesson->runway(), nullptr);
    run.mode->step = 3;
    plane().setPositionAndStop(plane().position() + Vec3{0.0f, 300.0f, 0.0f});
    run.mode->onAirplaneDestroyed(plane(), nullptr, CrashCause::Ground);
    EXPECT_EQ(run.step(), 2);
    EXPECT_TRUE(plane().onRunway());
    EXPECT_EQ(plane().speed(), 0.0f);
    EXPECT_TRUE(run.hud.pushedLine(671));
    EXPECT_TRUE(run.hud.padPulse);
}

TEST_F(Tutorial, TakeOffCrashOnTheApproachRepeatsItAfterTheDelay)
{
    startTutorial(3);
    auto* lesson = static_cast<TutorialGameMode_TAKEOFFLAND*>(run.mode);
    run.mode->step = 6;
    run.mode->onAirplaneDestroyed(plane(), nullptr, CrashCause::Ground);
    EXPECT_EQ(run.step(), 4);
    EXPECT_FALSE(plane().isActive());
    run.run(1.7f);
    EXPECT_FALSE(plane().isActive());
    run.run(0.2f);
    EXPECT_TRUE(plane().isActive());
    EXPECT_GT(plane().position().y, lesson->runwayPoint().y + 700.0f) << "back in the air, not at the wreck";
    EXPECT_TRUE(reach(6, 5.0f));
}

namespace {
// The take-off lesson on a map whose field lost its runway model.
class TakeOffWithoutTheField : public TutorialGameMode_TAKEOFFLAND {
protected:
    void buildPlayers() override
    {
        for (int i = 0; i < m_world->itemCount(); ++i)
            if (m_world->item(i)->model == kRunwayModel)
                m_world->item(i)->model = "runway_field.glm_9";
        TutorialGameMode_TAKEOFFLAND::buildPlayers();
    }
};
}  // namespace

TEST_F(Tutorial, TakeOffWithoutARunwayStartsInTheAir)
{
    startTutorial(3);
    run.harness.finish();
    settings() = Settings{};
    GameMode* mode =
        run.harness.start(std::make_unique<TakeOffWithoutTheField>(), MapLists::instance().skirmishMap(1));
    ASSERT_NE(mode, nullptr);
    auto* lesson = static_cast<TutorialGameMode_TAKEOFFLAND*>(mode);
    EXPECT_EQ(lesson->runway(), nullptr);
    ASSERT_NE(mode->playerAirplane(), nullptr);
    const Vec3 p = mode->playerAirplane()->position();
    EXPECT_NEAR(p.x, TutorialGameMode::kStartX, 1.0f);
    EXPECT_GT(p.y, mode->groundHeightAt(p.x, p.z) + 1500.0f);
    // It runs into the lessons without a runway to read, crashes included.
    for (int i = 0; i < 60 * 30; ++i)
        mode->update(TutorialRun::kFrame);
    EXPECT_GE(lesson->step, 2);
    mode->onAirplaneDestroyed(*mode->playerAirplane(), nullptr, CrashCause::Ground);
    lesson->step = 6;
    mode->onAirplaneDestroyed(*mode->playerAirplane(), nullptr, CrashCause::Ground);
    for (int i = 0; i < 60 * 5; ++i)
        mode->update(TutorialRun::kFrame);
    EXPECT_TRUE(mode->playerAirplane()->isActive());
}

// ---- Weapons ----

TEST_F(Tutorial, WeaponsPlayerTakesNoDamageAndDealsFiveTimesAsMuch)
{
    startTutorial(4);
    ASSERT_TRUE(reach(2, 30.0f));
    auto* lesson = static_cast<TutorialGameMode_SIMPLEWEAPONS*>(run.mode);
    Airplane* drone = lesson->drone();
    ASSERT_NE(drone, nullptr);
    const float health = plane().health();
    run.mode->damageAirplane(plane(), drone, 1000.0f, plane().position(), nullptr, true);
    run.mode->killAirplane(plane(), 1000.0f);
    EXPECT_EQ(plane().health(), health);
    run.mode->onAirplaneDestroyedNoKiller(plane(), nullptr, CrashCause::CollisionPair);
    EXPECT_TRUE(plane().isActive());
    const float before = drone->health();
    run.mode->damageAirplane(*drone, &plane(), 0.01f, drone->position(), nullptr, false);
    const float byPlayer = before - drone->health();
    drone->setHealth(before);
    run.mode->damageAirplane(*drone, nullptr, 0.01f, drone->position(), nullptr, false);
    const float byOther = before - drone->health();
    ASSERT_GT(byOther, 0.0f);
    EXPECT_NEAR(byPlayer / byOther, 5.0f, 0.01f);
}

TEST_F(Tutorial, WeaponsDroneLostInACrashComesBackWithoutCounting)
{
    startTutorial(4);
    ASSERT_TRUE(reach(2, 30.0f));
    auto* lesson = static_cast<TutorialGameMode_SIMPLEWEAPONS*>(run.mode);
    Airplane* drone = lesson->drone();
    ASSERT_NE(drone, nullptr);
    run.mode->onAirplaneDestroyed(*drone, nullptr, CrashCause::Water);
    EXPECT_EQ(lesson->kills, 0);
    EXPECT_TRUE(drone->isActive());
    EXPECT_NEAR(drone->position().y, plane().position().y + 80.0f, 1.0f);
    run.mode->onAirplaneDestroyed(*drone, &plane(), CrashCause::KilledByDamage);
    EXPECT_EQ(lesson->kills, 1);
    EXPECT_EQ(lesson->drone(), drone) << "before step 10 it is put back";
}

// The drone flown into the player's airplane: the frame reports both sides
// of the collision, and the lesson drops both: nothing is put back or counted.
TEST_F(Tutorial, WeaponsDroneRammingThePlayerIsIgnored)
{
    startTutorial(4);
    ASSERT_TRUE(reach(2, 30.0f));
    auto* lesson = static_cast<TutorialGameMode_SIMPLEWEAPONS*>(run.mode);
    Airplane* drone = lesson->drone();
    ASSERT_NE(drone, nullptr);
    const int spawns = drone->spawnCounter;
    const int playerSpawns = plane().spawnCounter;
    drone->setPositionAndStop(plane().position() + Vec3{0.0f, 1.0f, 0.0f});
    run.frame();
    EXPECT_EQ(drone->spawnCounter, spawns) << "the drone was put back above the player";
    EXPECT_EQ(plane().spawnCounter, playerSpawns);
    EXPECT_TRUE(drone->isActive());
    EXPECT_TRUE(drone->isAlive());
    EXPECT_TRUE(plane().isActive());
    EXPECT_EQ(lesson->kills, 0);
    EXPECT_LT(vec3Length(drone->position() - plane().position()), 40.0f);
}

TEST_F(Tutorial, WeaponsTargetsFromTheMissileLessonOnAreRemovedAndDeleted)
{
    startTutorial(4);
    ASSERT_TRUE(reach(2, 30.0f));
    auto* lesson = static_cast<TutorialGameMode_SIMPLEWEAPONS*>(run.mode);
    run.mode->step = 10;
    Airplane* drone = lesson->drone();
    ASSERT_NE(drone, nullptr);
    const std::size_t entities = run.mode->entities().size();
    run.mode->onAirplaneDestroyed(*drone, &plane(), CrashCause::KilledByDamage);
    EXPECT_EQ(lesson->drone(), nullptr) << "forgotten first";
    EXPECT_EQ(run.mode->pendingDeletions(), 1);
    run.frame();  // the drone step steers nothing now
    EXPECT_EQ(run.mode->entities().size(), entities - 1);
    // The ship: in the world's list with its own index.
    lesson->spawnNavalTarget();
    GroundTarget* ship = lesson->ship();
    ASSERT_NE(ship, nullptr);
    EXPECT_EQ(ship->mapObjectIndex, run.mode->world()->objectCount() - 1);
    EXPECT_EQ(lesson->ownedShipObjects(), 0);
    EXPECT_NEAR(ship->position().x, 10035.3f, 1.0f);
    EXPECT_GT(run.mode->world()->groundOrSeaHeightAt(ship->position().x, ship->position().z), 1100.0f)
        << "the tarn holds the ship";
}

// A torpedo still running from the torpedo lesson must not end the bomb
// lesson: its ship comes back, and only the bomb counts.
TEST_F(Tutorial, WeaponsBombLessonShipSunkByALeftOverTorpedoIsMadeAgain)
{
    startTutorial(4);
    ASSERT_TRUE(reach(2, 30.0f));
    auto* lesson = static_cast<TutorialGameMode_SIMPLEWEAPONS*>(run.mode);
    run.mode->step = 13;
    run.mode->stepTimer = 0.0f;
    run.frame();
    ASSERT_EQ(run.step(), 14);
    const WeaponCfg* torpedo = WeaponList::instance().findByName("torpedo_1");
    const WeaponCfg* bomb = WeaponList::instance().findByName("bomb_1");
    ASSERT_NE(torpedo, nullptr);
    ASSERT_NE(bomb, nullptr);
    GroundTarget* first = lesson->ship();
    ASSERT_NE(first, nullptr);
    run.mode->damageAirplane(*first, &plane(), 0.01f, first->position(), torpedo, false);
    run.mode->onAirplaneDestroyed(*first, &plane(), CrashCause::KilledByDamage);
    EXPECT_EQ(lesson->kills, 0);
    GroundTarget* second = lesson->ship();
    ASSERT_NE(second, nullptr) << "another ship waits for the bomb";
    EXPECT_NE(second, first);
    EXPECT_NEAR(second->position().x, 10035.3f, 1.0f);
    run.frame();
    EXPECT_EQ(run.step(), 14);

    run.mode->damageAirplane(*second, &plane(), 0.01f, second->position(), bomb, false);
    run.mode->onAirplaneDestroyed(*second, &plane(), CrashCause::KilledByDamage);
    EXPECT_EQ(lesson->kills, 1);
    EXPECT_EQ(lesson->ship(), nullptr);
}

TEST_F(Tutorial, WeaponsShipTheWorldCannotTakeIsKeptByTheModeWithoutAnIndex)
{
    startTutorial(4);
    GameWorld& world = *run.mode->world();
    while (world.objectCount() < GameWorld::kMaxItems)
        world.addObject(std::make_unique<MapObject>());
    auto* lesson = static_cast<TutorialGameMode_SIMPLEWEAPONS*>(run.mode);
    lesson->spawnNavalTarget();
    ASSERT_NE(lesson->ship(), nullptr);
    EXPECT_EQ(lesson->ship()->mapObjectIndex, -1) << "never an index past the list";
    EXPECT_EQ(lesson->ownedShipObjects(), 1);
    EXPECT_EQ(world.objectCount(), GameWorld::kMaxItems);
    run.run(1.0f);  // the ship lives on its object
    run.harness.finish();
}

TEST_F(Tutorial, WeaponsLessonHandsTheWeaponOutAgainWhenItIsSpent)
{
    startTutorial(4);
    ASSERT_TRUE(reach(2, 30.0f));
    run.mode->step = 9;
    run.mode->stepTimer = 0.0f;
    run.frame();
    ASSERT_EQ(run.step(), 10);
    run.hud.queue.clear();
    // Eight rockets a rack: the trigger held until they are gone, then pulled again.
    const int before = run.mode->missilesRegistered();
    run.pilot->hold(ControlAction::Weapon_1, true);
    run.run(8.0f);
    run.pilot->hold(ControlAction::Weapon_1, false);
    run.run(0.5f);
    run.pilot->hold(ControlAction::Weapon_1, true);
    run.run(4.0f);
    EXPECT_GT(run.mode->missilesRegistered() - before, 8) << "a missed salvo must not end the lesson in empty racks";
}

TEST_F(Tutorial, WeaponsLinkLessonEndsWhenThePairIsLinked)
{
    startTutorial(4);
    run.mode->step = 5;
    run.mode->stepTimer = 0.0f;
    run.run(8.0f);
    ASSERT_EQ(run.step(), 7);
    EXPECT_TRUE(run.hud.buttonVisible(20));
    run.run(2.0f);
    EXPECT_EQ(run.step(), 7);
    // The link key reaches the HUD, which shows the pair's first button; the
    // lesson sees it in the same frame.
    run.pilot->tap(A::Link_Weapons);
    run.frame();
    EXPECT_EQ(run.pilot->actionsStarted(A::Link_Weapons), 1) << "the step lets the link through";
    EXPECT_TRUE(run.hud.buttonVisible(19));
    EXPECT_FALSE(run.hud.buttonVisible(20));
    EXPECT_EQ(run.step(), 8);
    EXPECT_FALSE(run.hud.weaponButtonsEnabled) << "greyed while the next lesson is explained";
}

// ---- Squadron ----

TEST_F(Tutorial, SquadronOrdersAdvanceOnlyInTheirSteps)
{
    startTutorial(5);
    auto* squad = static_cast<TutorialGameMode_MANEUVERSSQUAD*>(run.mode);
    ASSERT_TRUE(reach(2, 30.0f));
    for (Airplane* w : squad->wingmen())
        ASSERT_NE(w, nullptr);
    // The key hint names the key that gives the attack order, not the one
    // that only cycles the orders and never ends the step.
    std::u16string attackKey, cycleKey;
    ASSERT_TRUE(controls().getActionBindingText(static_cast<int>(A::Squadron_CmdA), attackKey));
    ASSERT_TRUE(controls().getActionBindingText(static_cast<int>(A::Squadron_Cmd), cycleKey));
    bool hinted = false;
    for (const auto& e : run.hud.pushed)
        if (e.lineId == 0) {
            hinted = true;
            EXPECT_NE(e.text.find(attackKey), std::u16string::npos);
            EXPECT_EQ(e.text.find(cycleKey), std::u16string::npos);
        }
    EXPECT_TRUE(hinted);
    run.pilot->tap(A::Squadron_Cmd);
    run.frame();
    run.frame();
    EXPECT_EQ(run.step(), 2) << "cycling the orders is not the attack order";
    // The defend order in the attack step only does what it always does.
    run.mode->setSquadronOrder(plane(), TutorialGameMode_MANEUVERSSQUAD::kDefendOrder);
    run.frame();
    EXPECT_EQ(run.step(), 2);
    run.pilot->tap(A::Squadron_CmdA);
    run.frame();
    run.frame();
    ASSERT_EQ(run.step(), 3);
    for (Airplane* w : squad->wingmen())
        EXPECT_EQ(w->squadron, nullptr);
    ASSERT_NE(plane().squadron, nullptr);
    EXPECT_EQ(plane().squadron->leader(), &plane()) << "the player still leads";
    run.frame();
    EXPECT_NE(enabledActions() & bit(A::Squadron_CmdD), 0u);
    run.mode->setSquadronOrder(plane(), TutorialGameMode_MANEUVERSSQUAD::kAttackOrder);
    run.frame();
    EXPECT_EQ(run.step(), 3);
    run.pilot->tap(A::Squadron_CmdD);
    run.frame();
    run.frame();
    EXPECT_EQ(run.step(), TutorialGameMode_MANEUVERSSQUAD::kLastStep);
    for (Airplane* w : squad->wingmen())
        EXPECT_EQ(w->squadron, plane().squadron);
}

TEST_F(Tutorial, SquadronEndComesTwentySecondsAfterTheLastStepBegins)
{
    startTutorial(5);
    ASSERT_TRUE(reach(2, 30.0f));
    run.pilot->tap(A::Squadron_CmdA);
    ASSERT_TRUE(reach(3, 1.0f));
    run.pilot->tap(A::Squadron_CmdD);
    ASSERT_TRUE(reach(TutorialGameMode_MANEUVERSSQUAD::kLastStep, 1.0f));
    const float begun = run.elapsed;
    // Notices running out do not shorten the wait.
    run.hud.queue.clear();
    ASSERT_TRUE(run.runUntil([&] { return run.overlays.count(PauseMenu::TutorialWin) > 0; }, 30.0f));
    EXPECT_NEAR(run.elapsed - begun, 20.0f, 0.1f);
    EXPECT_EQ(run.hud.lookAtDistance, 1000.0f);
}

// ---- The factory ----

TEST_F(Tutorial, GameTypeNineBuildsTheTutorialOfTheIndex)
{
    std::string error;
    ASSERT_TRUE(run.harness.mountData(error)) << error;
    for (int index = 0; index < 6; ++index) {
        tutorialIndex() = index;
        std::unique_ptr<GameMode> made = createGameMode(static_cast<int>(GameType::Tutorial));
        auto* tutorial = dynamic_cast<TutorialGameMode*>(made.get());
        ASSERT_NE(tutorial, nullptr) << index;
        EXPECT_EQ(tutorial->index(), index);
    }
    tutorialIndex() = 6;
    EXPECT_EQ(createGameMode(static_cast<int>(GameType::Tutorial)), nullptr);
}
