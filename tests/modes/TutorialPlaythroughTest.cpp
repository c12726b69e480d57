#include "entities/aircraft/Airplane.h"
#include "entities/aircraft/Squadron.h"
#include "entities/ground/GroundTarget.h"
#include "entities/ground/Runway.h"
#include "entities/weapons/MissileKinds.h"
#include "entities/weapons/Weapon.h"
#include "modes/tutorials/TutorialGameMode_ARCADE.h"
#include "modes/tutorials/TutorialGameMode_CONTROLS.h"
#include "modes/tutorials/TutorialGameMode_SIMPLEWEAPONS.h"
#include "modes/tutorials/TutorialGameMode_TAKEOFFLAND.h"
#include "platform/Settings.h"

#include "TutorialRun.h"

#include <algorithm>
#include <cmath>
#include <vector>

// Each tutorial played from step 0 to its completion page by a scripted
// pilot at the keys, within 15 simulated minutes on the generated data.
namespace {
using A = ControlAction;
constexpr float kLimit = 15.0f * 60.0f;

struct Playthrough : testing::Test {
    TutorialRun run;
    int frames = 0;

    void startTutorial(int index)
    {
        settings() = Settings{};
        std::string error;
        ASSERT_TRUE(run.start(index, error)) << error;
    }
    Airplane& plane() { return *run.mode->playerAirplane(); }
    bool finished() const { return run.overlays.count(PauseMenu::TutorialWin) > 0; }

    // Plays with the script called before every frame; true once the
    // completion page was asked for.
    bool play(const std::function<void()>& script)
    {
        return run.runUntil(
            [&] {
                ++frames;
                if (!finished() && run.mode->playerAirplane())
                    script();
                return finished();
            },
            kLimit);
    }

    // Exactly these of the flight keys, boost and trigger held.
    void keys(std::initializer_list<A> held) { keysOf(std::vector<A>(held)); }
    void keysOf(const std::vector<A>& held)
    {
        for (A a : {A::Roll_Left, A::Roll_Right, A::Pitch_Up, A::Pitch_Down, A::Yaw_Left, A::Yaw_Right,
                    A::Accelerate, A::Brake, A::Boost, A::Weapon_1})
            run.pilot->hold(a, std::find(held.begin(), held.end(), a) != held.end());
    }
    void tapEvery(A action, int period)
    {
        if (frames % period == 0)
            run.pilot->tap(action);
    }

    // Rudder and elevator towards the point, the way a player chases a marker.
    void steerTo(const Vec3& target, bool withRoll, A throttle = A::Accelerate)
    {
        const Airplane& a = plane();
        const Vec3 local = quatRotateVector(quatConjugate(a.orientation()), target - a.position());
        const float yaw = std::atan2(local.x, -local.z);
        const float pitch = std::atan2(local.y, std::sqrt(local.x * local.x + local.z * local.z));
        std::vector<A> held{throttle};
        if (yaw > 0.03f)
            held.push_back(A::Yaw_Right);
        else if (yaw < -0.03f)
            held.push_back(A::Yaw_Left);
        if (pitch - a.forward().y * 0.0f > 0.03f)
            held.push_back(A::Pitch_Up);
        else if (pitch < -0.03f)
            held.push_back(A::Pitch_Down);
        if (withRoll) {
            // Keep the wings level: the rudder turns.
            const float bank = a.bankValue();
            if (bank > 0.05f)
                held.push_back(A::Roll_Right);
            else if (bank < -0.05f)
                held.push_back(A::Roll_Left);
        }
        keysOf(held);
    }

    void expectCompletedOnce(int index)
    {
        EXPECT_TRUE(finished()) << "stuck in step " << run.step() << " after " << run.elapsed << " s";
        EXPECT_EQ(run.progress.count(TutorialGameMode::kCompletionEvent + index), 1);
        EXPECT_EQ(settings().tutorialDoneAt(index), 1);
        EXPECT_TRUE(run.mode->playStopped);
        EXPECT_FALSE(run.hud.hudActive);
        // After the end every action is enabled again.
        run.frame();
        EXPECT_EQ(enabledActions(), ~std::uint64_t{0});
    }
};
}  // namespace

TEST_F(Playthrough, HudTutorialFromTheFirstStepToItsPage)
{
    startTutorial(0);
    EXPECT_TRUE(play([&] {
        run.hud.drag = run.step() == 2 ? 1.0f : 0.0f;
        if (run.step() == 3)
            tapEvery(A::Camera, 20);
    }));
    expectCompletedOnce(0);
    EXPECT_FLOAT_EQ(run.hud.lookAtDistance, 50.0f);
}

TEST_F(Playthrough, ArcadeTutorialFromTheFirstStepToItsPage)
{
    startTutorial(1);
    auto* arcade = static_cast<TutorialGameMode_ARCADE*>(run.mode);
    EXPECT_TRUE(play([&] {
        switch (run.step()) {
        case 2: keys({A::Accelerate}); break;
        case 3: keys({A::Brake}); break;
        case 4: keys({A::Yaw_Left}); break;
        case 5: keys({A::Yaw_Right}); break;
        case 7: keys({A::Pitch_Up}); break;
        case 8: keys({A::Pitch_Down}); break;
        case 10: keys({A::Boost}); break;
        case 12: keys({}); tapEvery(A::Autopilot, 30); break;
        case 13:
        case 14:
            if (plane().aiController())
                tapEvery(A::Autopilot, 30);
            else
                steerTo(arcade->waypoint().position(), false);
            break;
        default: keys({}); break;
        }
    }));
    expectCompletedOnce(1);
}

TEST_F(Playthrough, ControlsTutorialFromTheFirstStepToItsPage)
{
    startTutorial(2);
    auto* lesson = static_cast<TutorialGameMode_CONTROLS*>(run.mode);
    EXPECT_TRUE(play([&] {
        switch (run.step()) {
        case 2: keys({A::Accelerate}); break;
        case 3: keys({A::Brake}); break;
        case 5: keys({A::Yaw_Left}); break;
        case 6: keys({A::Yaw_Right}); break;
        case 7: keys({A::Roll_Right}); break;
        case 8: keys({A::Roll_Left}); break;
        case 10: keys({A::Pitch_Up}); break;
        case 11: keys({A::Pitch_Down}); break;
        case 12: keys({A::Brake, A::Pitch_Up}); break;
        case 13: keys({A::Brake, A::Roll_Left, A::Pitch_Up}); break;
        case 14: {
            const float noseY = plane().forward().y;
            keys({A::Accelerate});
            run.pilot->hold(noseY < 0.4f ? A::Pitch_Up : A::Pitch_Down, true);
            break;
        }
        case 16: {
            keys({A::Accelerate});
            const float noseY = plane().forward().y;
            if (noseY < -0.05f)
                run.pilot->hold(A::Pitch_Up, true);
            break;
        }
        case 17:
        case 18: steerTo(lesson->waypoint().position(), true); break;
        case 22: keys({}); tapEvery(A::Eject, 30); break;
        default: keys({}); break;
        }
    }));
    expectCompletedOnce(2);
}

TEST_F(Playthrough, TakeOffAndLandingFromTheRunwayToItsPage)
{
    startTutorial(3);
    auto* lesson = static_cast<TutorialGameMode_TAKEOFFLAND*>(run.mode);
    ASSERT_NE(lesson->runway(), nullptr) << "the tutorial map has a runway item";
    EXPECT_TRUE(plane().onRunway());
    EXPECT_TRUE(play([&] {
        const Airplane& a = plane();
        switch (run.step()) {
        case 2:
            // Roll, then lift off and climb out along the runway.
            keys({A::Accelerate});
            if (a.speed() > a.flightParams().stallSpeed * 1.2f)
                run.pilot->hold(A::Pitch_Up, a.forward().y < 0.25f);
            break;
        case 3: steerTo(lesson->waypoint().position(), true); break;
        case 6: {
            if (a.isLanded()) {
                keys({A::Brake});
                break;
            }
            // Down the glide path towards the runway's middle, then hold the nose
            // just below the horizon for a soft touch-down, slowing all the way.
            const float height = a.position().y - lesson->runwayPoint().y;
            const Vec3 threshold = lesson->runwayPoint() - lesson->alongRunway() * 300.0f;
            // The throttle lever stays where it is left: brake down to a slow
            // approach, open up again before the stall.
            const float stall = a.flightParams().stallSpeed;
            const A throttle = a.speed() > stall + 45.0f   ? A::Brake
                               : a.speed() < stall + 25.0f ? A::Accelerate
                                                           : A::Chat;
            if (height > 25.0f) {
                steerTo(threshold, true, throttle);
            } else {
                const Vec3 along = lesson->alongRunway();
                const Vec3 ahead = a.position() + along * 400.0f;
                steerTo({ahead.x, a.position().y, ahead.z}, true, throttle);
                const float noseY = a.forward().y;
                run.pilot->hold(A::Pitch_Up, noseY < -0.03f);
                run.pilot->hold(A::Pitch_Down, noseY > 0.02f);
            }
            break;
        }
        default: keys({}); break;
        }
    }));
    expectCompletedOnce(3);
}

// The pilot flies the weapons tutorial at the keys from its first step to its
// page: the drone chased and shot down with the light guns, the heavy guns,
// the linked pair and the rockets; the link key links the pair; then the
// ship on the tarn, high above the sea, sunk by a torpedo run low over the
// water and by a bomb released where the bomb sight meets it. The autopilot
// stays on throughout: the flight keys take the airplane from it.
TEST_F(Playthrough, WeaponsTutorialFromTheFirstStepToItsPageByTheKeys)
{
    startTutorial(4);
    auto* lesson = static_cast<TutorialGameMode_SIMPLEWEAPONS*>(run.mode);
    // The deepest a torpedo of the lesson ran, over the tarn's level.
    float torpedoRun = 1e9f;
    bool tookStick = false;
    // The local direction to a point: yaw right of the nose, and off the nose in all.
    auto offNose = [&](const Vec3& p, float& yaw) {
        const Vec3 local = quatRotateVector(quatConjugate(plane().orientation()), p - plane().position());
        yaw = std::atan2(local.x, -local.z);
        return std::atan2(std::sqrt(local.x * local.x + local.y * local.y), -local.z);
    };
    // The trigger held while on target, let go now and then so that a lesson
    // weapon handed out again is fired as well.
    auto fireWhen = [&](bool onTarget) { run.pilot->hold(A::Weapon_1, onTarget && frames % 20 != 0); };
    EXPECT_TRUE(play([&] {
        const int s = run.step();
        tookStick = tookStick || run.mode->stickTakenFromAutopilot();
        const Airplane& a = plane();
        if (s == 7) {
            keys({});
            tapEvery(A::Link_Weapons, 30);
            return;
        }
        for (int i = 0; i < run.mode->missiles().count(); ++i)
            if (const auto* m = dynamic_cast<const SimpleMissile*>(run.mode->missiles().at(i)); m && m->isRunning())
                torpedoRun = std::min(torpedoRun, m->position().y);
        if (s == 12 || s == 14) {
            const GroundTarget* ship = lesson->ship();
            if (!ship)
                return keys({});
            const Vec3 at = ship->position();
            const float level = TutorialGameMode_SIMPLEWEAPONS::kShipPoint.y;
            const Vec3 p = a.position(), v = a.velocity();
            const float across = std::hypot(at.x - p.x, at.z - p.z);
            // High over the hills round the tarn, then a dive at the ship;
            // from too high above it, out again for a new run.
            const float h = p.y - level;
            if (across < 1300.0f && h > across * 0.8f + 300.0f) {
                const Vec3 out = vec3NormalizeOr(Vec3{p.x - at.x, 0.0f, p.z - at.z}, Vec3{1.0f, 0.0f, 0.0f});
                steerTo(at + out * 2500.0f + Vec3{0.0f, 1000.0f, 0.0f}, true);
            } else {
                steerTo({at.x, across > 1300.0f ? level + 1000.0f : level, at.z}, true);
            }
            // Where what is let go now meets the water, and how far short of
            // the ship along the line of flight.
            const float g = 9.81f;
            const float fall = (v.y + std::sqrt(std::max(v.y * v.y + 2.0f * g * h, 0.0f))) / g;
            const Vec3 entry{p.x + v.x * fall, level, p.z + v.z * fall};
            const Vec3 heading = vec3NormalizeOr(Vec3{v.x, 0.0f, v.z}, a.forward());
            const Vec3 toShip{at.x - entry.x, 0.0f, at.z - entry.z};
            const float along = vec3Dot(toShip, heading);
            const float wide = vec3Length(toShip - heading * along);
            if (s == 12) {
                // A torpedo runs on along the heading from where it enters the water.
                fireWhen(across < 1300.0f && along > 60.0f && along < 900.0f && wide < ship->radius() * 0.5f);
            } else {
                Vec3 impact;
                const Weapon* bomb = a.weapon(0);
                fireWhen(bomb && bomb->predictedImpact(impact) && std::hypot(impact.x - at.x, impact.z - at.z) < 25.0f);
            }
            return;
        }
        const Airplane* drone = lesson->drone();
        if (!TutorialGameMode_SIMPLEWEAPONS::isFiringStep(s) || !drone)
            return keys({});
        steerTo(drone->position(), true);
        float yaw = 0.0f;
        fireWhen(offNose(drone->position(), yaw) < 0.15f);
    }));
    EXPECT_TRUE(tookStick) << "the keys never took the airplane from the autopilot";
    EXPECT_GT(run.pilot->actionsStarted(A::Link_Weapons), 0);
    EXPECT_NEAR(torpedoRun, TutorialGameMode_SIMPLEWEAPONS::kShipPoint.y + SimpleMissile::kTorpedoDepth, 0.01f)
        << "a torpedo ran on the tarn at its level";
    EXPECT_TRUE(run.hud.pushedLine(651)) << "the torpedo lesson ended";
    EXPECT_TRUE(run.hud.pushedLine(653)) << "the bomb lesson ended";
    expectCompletedOnce(4);
}

TEST_F(Playthrough, SquadronTutorialFromTheFirstStepToItsPage)
{
    startTutorial(5);
    EXPECT_TRUE(play([&] {
        keys({});
        if (run.step() == 2)
            tapEvery(A::Squadron_CmdA, 40);
        if (run.step() == 3)
            tapEvery(A::Squadron_CmdD, 40);
    }));
    expectCompletedOnce(5);
}
