// Per-frame cost of the scene pages at 1280 x 720: the showcase page stepping
// through its planes (bars gliding, camera moves) and a filled page with the
// on-screen keyboard open. Update and the 2-D draw, on whatever GL the display offers.
#include "MenuBenchTarget.h"
#include "support/ui/FakeMenuShowcase.h"

#include "ui/widgets/MenuPanel.h"
#include "ui/widgets/SceneMenuFrame.h"
#include "ui/widgets/SpriteEditBox.h"
#include "ui/widgets/SpriteKeyboard.h"

#include <benchmark/benchmark.h>

#include <memory>

namespace {

struct Bench : MenuBenchFrame {
    FakeMenuShowcase scene;
    std::unique_ptr<SceneMenuFrame> showcasePage;
    std::unique_ptr<FilledMenuFrame> filledPage;
    SpriteEditBox* box = nullptr;

    bool ready(benchmark::State& state)
    {
        if (!MenuBenchFrame::ready(state))
            return false;
        for (int id = 0; id < 12; ++id) {
            const float v = static_cast<float>(id % 5) / 4.0f;
            scene.add({id, id / 4, id / 2, id % 3 == 2, {{v, 1.0f - v, 0.5f, v * 0.5f}}, id % 12, (id + 3) % 12});
        }
        setMenuShowcase(&scene);
        return true;
    }
    void openShowcase()
    {
        showcasePage = std::make_unique<SceneMenuFrame>(false, false, false, false);
        goToFrame(showcasePage.get());
        showcasePage->showInfo(u"A long-range escort fighter with six heavy machine guns. Fast, sturdy and forgiving.");
    }
    void openKeyboard()
    {
        filledPage = std::make_unique<FilledMenuFrame>();
        filledPage->titleLabel->setText(u"Pilot");
        box = new SpriteEditBox(u"Red Baron", filledPage->content());
        box->ownerFrame = filledPage.get();
        goToFrame(filledPage.get());
        box->openKeyboard();
    }
    // A new plane move whenever the last one ended.
    void keepBrowsing()
    {
        if (showcasePage->cameraMove == 0)
            showcasePage->startCameraMove1();
    }
    ~Bench()
    {
        if (SpriteKeyboard* keyboard = SpriteKeyboard::existing()) {
            keyboard->hide();
            keyboard->listener = nullptr;
        }
        clearFrameHistory();
        setMenuShowcase(nullptr);
    }
};

void showcaseUpdate(benchmark::State& state)
{
    Bench bench;
    if (!bench.ready(state))
        return;
    bench.openShowcase();
    for (auto _ : state) {
        bench.keepBrowsing();
        updateMenuFrames();
    }
}
BENCHMARK(showcaseUpdate)->Unit(benchmark::kMicrosecond);

void showcaseDraw(benchmark::State& state)
{
    Bench bench;
    if (!bench.ready(state))
        return;
    bench.openShowcase();
    for (auto _ : state) {
        bench.keepBrowsing();
        updateMenuFrames();
        drawMenuFrames();
        bench.sync();   // waits for the frame
    }
}
BENCHMARK(showcaseDraw)->Unit(benchmark::kMicrosecond);

void keyboardPageDraw(benchmark::State& state)
{
    Bench bench;
    if (!bench.ready(state))
        return;
    bench.openKeyboard();
    timeMenuFrames(state, bench);
}
BENCHMARK(keyboardPageDraw)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
