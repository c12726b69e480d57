// A tutorial frame's own work - forced settings, reminder, action mask and
// the step machine - without the world update, for the controls tutorial in
// a waypoint step and the arcade tutorial holding a turn, with a reminder
// due every frame. No data, window or HUD: the HUD hook answers nothing.
#include "entities/aircraft/Airplane.h"
#include "gamedata/records/PlaneCfg.h"
#include "modes/tutorials/TutorialGameMode_ARCADE.h"
#include "modes/tutorials/TutorialGameMode_CONTROLS.h"

#include <benchmark/benchmark.h>

namespace {
constexpr float kFrame = 1.0f / 60.0f;

template <typename Mode>
struct Lesson {
    PlaneCfg cfg;
    Mode mode;

    explicit Lesson(int step)
    {
        cfg.pMinSpeed = 107.0f;
        cfg.pSpeedSpan = 108.0f;
        auto made = Target::create<Airplane>(mode, cfg, 0, std::u16string());
        Airplane* a = made.get();
        mode.addPlayerAirplane(std::move(made), false);
        a->setPositionAndStop({0.0f, 2000.0f, 0.0f});
        a->setSpeed(150.0f);
        mode.setPlayerAirplane(a);
        mode.step = step;
    }
};

void controlsWaypointStep(benchmark::State& state)
{
    Lesson<TutorialGameMode_CONTROLS> lesson(17);
    for (auto _ : state) {
        lesson.mode.reminderTextId = 447;  // a binding hint: the key text formatted in
        lesson.mode.reminderTimer = 0.001f;  // shown this frame
        lesson.mode.stepFrame(kFrame);
        benchmark::DoNotOptimize(lesson.mode.step);
    }
}
BENCHMARK(controlsWaypointStep);

void arcadeTurnStep(benchmark::State& state)
{
    Lesson<TutorialGameMode_ARCADE> lesson(4);
    Airplane& a = *lesson.mode.playerAirplane();
    for (auto _ : state) {
        a.setControlVector({0.0f, 0.5f, 0.0f});
        lesson.mode.counter = 0.0f;
        lesson.mode.stepFrame(kFrame);
        benchmark::DoNotOptimize(lesson.mode.counter);
    }
}
BENCHMARK(arcadeTurnStep);
}  // namespace

BENCHMARK_MAIN();
