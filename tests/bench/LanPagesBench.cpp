// Per-frame cost of the LAN game list with twenty games listed and of the
// chat page over a match at 1280 x 720: update, and update with the 2-D draw.
#include "MenuBenchTarget.h"
#include "GlTestContext.h"

#include "menus/ingame/MPChatMenuFrame.h"
#include "menus/multiplayer/MultiPlayerMenuFrameWIFI.h"
#include "net/match/ServerInfo.h"
#include "platform/Clock.h"
#include "ui/MenuNavigation.h"

#include <benchmark/benchmark.h>

#include <memory>
#include <string>
#include <vector>

namespace {
struct Bench {
    RenderBuffer target;
    std::unique_ptr<MenuFrame> page;
    std::vector<std::uint8_t> pixel;

    bool ready(benchmark::State& state)
    {
        if (!readyMenuTarget(state, target))
            return false;
        setFrameDelta(1.0f / 60.0f);
        return true;
    }
    void openLanList()
    {
        auto made = std::make_unique<MultiPlayerMenuFrameWIFI>();
        goToFrame(made.get());
        // The transport's cap: twenty answering hosts.
        for (int i = 0; i < 20; ++i) {
            ServerInfo info;
            info.clear();
            info.setName(u"Game number " + std::u16string(1, static_cast<char16_t>(u'A' + i)));
            info.bytes[ServerInfo::GameType] = static_cast<std::uint8_t>(2 + i % 5);
            info.bytes[ServerInfo::MaxPlayers] = 8;
            made->addRow(info.bytes, i);
        }
        page = std::move(made);
    }
    void openChat()
    {
        auto made = std::make_unique<MPChatMenuFrame>();
        made->closeOverlay = [] {};
        goToFrame(made.get());
        page = std::move(made);
    }
    void sync() { GlTestContext::instance()->device().readPixels(0, 0, 1, 1, pixel); }
    ~Bench() { clearFrameHistory(); }
};

void lanListUpdate(benchmark::State& state)
{
    Bench bench;
    if (!bench.ready(state))
        return;
    bench.openLanList();
    for (auto _ : state)
        updateMenuFrames();
}
BENCHMARK(lanListUpdate)->Unit(benchmark::kMicrosecond);

void lanListDraw(benchmark::State& state)
{
    Bench bench;
    if (!bench.ready(state))
        return;
    bench.openLanList();
    for (auto _ : state) {
        updateMenuFrames();
        drawMenuFrames();
        bench.sync();
    }
}
BENCHMARK(lanListDraw)->Unit(benchmark::kMicrosecond);

void chatDraw(benchmark::State& state)
{
    Bench bench;
    if (!bench.ready(state))
        return;
    bench.openChat();
    for (auto _ : state) {
        updateMenuFrames();
        drawMenuFrames();
        bench.sync();
    }
}
BENCHMARK(chatDraw)->Unit(benchmark::kMicrosecond);
}  // namespace
BENCHMARK_MAIN();
