// Per-frame cost of a menu page of 200 buttons in a clipped scrolling list
// at 960 x 640: the update (a fling running, so the list lays out every
// frame) and the draw, on whatever GL the display offers.
#include "MenuBenchTarget.h"
#include "ui/MenuFrame.h"
#include "ui/widgets/SpriteButton.h"

#include <benchmark/benchmark.h>

#include <memory>
#include <string>

namespace {

constexpr int kItems = 200;

struct BenchPage : MenuFrame {
    MenuContainer* list = nullptr;
    BenchPage()
    {
        list = new MenuContainer;
        list->kinetic = true;
        list->width = 400;
        list->height = 480;
        list->x = 280;
        list->y = 80;
        addItem(list);
        for (int i = 0; i < kItems; ++i) {
            std::u16string label = u"Entry ";
            for (char c : std::to_string(i + 1))
                label += static_cast<char16_t>(c);
            new SpriteButton(kSpriteSetMenus, SpriteButton::kPushButtonFrame, 1, label, list);
        }
        list->setScrollBar(MenuContainer::kDefaultThumbFrame, 0.0f, 0.0f);
        focusedItem = list->itemAt(0);
    }
};

// The page on the staged data over a 960 x 640 target; null when there is no GL.
struct Bench : MenuBenchFrame {
    std::unique_ptr<BenchPage> page;
    bool ready(benchmark::State& state)
    {
        if (!MenuBenchFrame::ready(state, 960, 640))
            return false;
        page = std::make_unique<BenchPage>();
        goToFrame(page.get());
        return true;
    }
    ~Bench() { clearFrameHistory(); }   // before the page goes
};

void menuUpdate(benchmark::State& state)
{
    Bench bench;
    if (!bench.ready(state))
        return;
    for (auto _ : state) {
        // Keep a fling going, so every frame scrolls and lays the list out.
        if (bench.page->list->flingVelocityY == 0.0f) {
            bench.page->list->scrollY = 0.0f;
            bench.page->list->flingVelocityY = -3000.0f;
        }
        updateMenuFrames();
    }
}
BENCHMARK(menuUpdate)->Unit(benchmark::kMicrosecond);

void menuDraw(benchmark::State& state)
{
    Bench bench;
    if (!bench.ready(state))
        return;
    for (auto _ : state) {
        drawMenuFrames();
        bench.sync();   // waits for the frame
    }
}
BENCHMARK(menuDraw)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
