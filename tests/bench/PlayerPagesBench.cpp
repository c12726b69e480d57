// Per-frame cost of the painting page (three sliders and two gradient
// tracks) and of the weapon page (two lists of weapon cards) at 1280 x 720:
// update alone, and update with the 2-D draw.
#include "MenuBenchTarget.h"

#include "gamedata/records/PlaneList.h"
#include "gamedata/records/WeaponList.h"
#include "menus/settings/PlanePaintingMenuFrame.h"
#include "menus/settings/WeaponSelectionMenuFrame.h"
#include "ui/widgets/SpriteSlider.h"

#include <benchmark/benchmark.h>

#include <memory>

namespace {
struct Bench : MenuBenchFrame {
    std::unique_ptr<MenuFrame> page;

    bool ready(benchmark::State& state)
    {
        if (!MenuBenchFrame::ready(state))
            return false;
        if (!PlaneList::instance().load() || !WeaponList::instance().load()) {
            state.SkipWithError("no plane or weapon records: build the data target");
            return false;
        }
        return true;
    }
    template <typename T>
    T& open()
    {
        auto made = std::make_unique<T>();
        T& shown = *made;
        goToFrame(made.get());
        page = std::move(made);
        return shown;
    }
    ~Bench() { clearFrameHistory(); }   // before the page goes
};

void paintingUpdate(benchmark::State& state)
{
    Bench bench;
    if (!bench.ready(state))
        return;
    auto& page = bench.open<PlanePaintingMenuFrame>();
    int frame = 0;
    for (auto _ : state) {
        // The hue keeps moving, as under a dragging finger.
        page.hueSlider->setValue(static_cast<float>(++frame % 100) / 100.0f);
        updateMenuFrames();
    }
}
BENCHMARK(paintingUpdate)->Unit(benchmark::kMicrosecond);

void paintingDraw(benchmark::State& state)
{
    Bench bench;
    if (!bench.ready(state))
        return;
    auto& page = bench.open<PlanePaintingMenuFrame>();
    int frame = 0;
    for (auto _ : state) {
        page.hueSlider->setValue(static_cast<float>(++frame % 100) / 100.0f);
        updateMenuFrames();
        drawMenuFrames();
        bench.sync();
    }
}
BENCHMARK(paintingDraw)->Unit(benchmark::kMicrosecond);

void weaponsUpdate(benchmark::State& state)
{
    Bench bench;
    if (!bench.ready(state))
        return;
    auto& page = bench.open<WeaponSelectionMenuFrame>();
    int frame = 0;
    for (auto _ : state) {
        // A new card every second in the first list.
        if (++frame % 60 == 0)
            page.nextWeapon0();
        updateMenuFrames();
    }
}
BENCHMARK(weaponsUpdate)->Unit(benchmark::kMicrosecond);

void weaponsDraw(benchmark::State& state)
{
    Bench bench;
    if (!bench.ready(state))
        return;
    auto& page = bench.open<WeaponSelectionMenuFrame>();
    int frame = 0;
    for (auto _ : state) {
        if (++frame % 60 == 0)
            page.nextWeapon0();
        updateMenuFrames();
        drawMenuFrames();
        bench.sync();
    }
}
BENCHMARK(weaponsDraw)->Unit(benchmark::kMicrosecond);
}  // namespace
BENCHMARK_MAIN();
