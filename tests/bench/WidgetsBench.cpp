// Per-frame cost of a settings page at 1280 x 720: 10 sliders, 10 check
// boxes, 5 number drums, 5 combo boxes and a carousel of 30 cards that keeps
// gliding from card to card. Update and draw, on whatever GL the display offers.
#include "MenuBenchTarget.h"
#include "ui/MenuFrame.h"
#include "ui/widgets/HMenuItemsSlider.h"
#include "ui/widgets/SpriteButton.h"
#include "ui/widgets/SpriteCheckbox.h"
#include "ui/widgets/SpriteCounter.h"
#include "ui/widgets/SpriteHComboBox.h"
#include "ui/widgets/SpriteSlider.h"

#include <benchmark/benchmark.h>

#include <memory>
#include <string>

namespace {

using namespace std::string_literals;

template <class T>
T* at(MenuFrame& page, T* item, int x, int y)
{
    item->anchorMode = MenuItem::kAnchorAbsolute;
    item->x = x;
    item->y = y;
    page.addItem(item);
    return item;
}

struct WidgetsPage : MenuFrame {
    HMenuItemsSlider* cards = nullptr;
    WidgetsPage()
    {
        for (int i = 0; i < 10; ++i) {
            at(*this, new SpriteSlider, 40, 20 + 45 * i)->setValue(static_cast<float>(i) / 9.0f);
            auto* box = at(*this, new SpriteCheckbox, 420, 20 + 45 * i);
            box->setText(u"Option");
            box->checked = i % 2 == 0;
        }
        for (int i = 0; i < 5; ++i) {
            at(*this, new SpriteCounter(u"Wave"), 620 + 120 * i, 20)->maximum = 600;
            at(*this, new SpriteHComboBox(u"Low\0Medium\0High\0Highest\0\0"s), 620 + 120 * (i % 3), 200 + 60 * (i / 3));
        }
        cards = at(*this, new HMenuItemsSlider, 0, 480);
        cards->height = 220;
        for (int i = 0; i < 30; ++i)
            cards->addItemWithIndex(new SpriteButton(kSpriteSetMenus, SpriteButton::kPushButtonFrame, 1, u"Card", nullptr), i + 1);
        focusedItem = itemAt(0);
    }
};

struct Bench : MenuBenchFrame {
    std::unique_ptr<WidgetsPage> page;
    bool ready(benchmark::State& state)
    {
        if (!MenuBenchFrame::ready(state))
            return false;
        page = std::make_unique<WidgetsPage>();
        goToFrame(page.get());
        return true;
    }
    // The carousel glides on to the next card whenever it came to rest.
    void keepMoving(int& direction)
    {
        HMenuItemsSlider& cards = *page->cards;
        if (cards.snapDirection() != 0)
            return;
        MenuItem* before = cards.currentItem();
        if (direction > 0)
            cards.nextPage();
        else
            cards.prevPage();
        if (cards.currentItem() == before)
            direction = -direction;
    }
    ~Bench() { clearFrameHistory(); }   // before the page goes
};

void widgetsUpdate(benchmark::State& state)
{
    Bench bench;
    if (!bench.ready(state))
        return;
    int direction = 1;
    for (auto _ : state) {
        bench.keepMoving(direction);
        updateMenuFrames();
    }
}
BENCHMARK(widgetsUpdate)->Unit(benchmark::kMicrosecond);

void widgetsDraw(benchmark::State& state)
{
    Bench bench;
    if (!bench.ready(state))
        return;
    int direction = 1;
    for (auto _ : state) {
        bench.keepMoving(direction);
        updateMenuFrames();
        drawMenuFrames();
        bench.sync();   // waits for the frame
    }
}
BENCHMARK(widgetsDraw)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
