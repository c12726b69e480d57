// Per-frame cost of the LAN game list with twenty games listed and of the
// chat page over a match at 1280 x 720: update, and update with the 2-D draw.
#include "MenuBenchTarget.h"

#include "menus/ingame/MPChatMenuFrame.h"
#include "menus/multiplayer/MultiPlayerMenuFrameWIFI.h"
#include "net/match/ServerInfo.h"

#include <benchmark/benchmark.h>

#include <memory>
#include <string>

namespace {
struct Bench : MenuBenchFrame {
    std::unique_ptr<MenuFrame> page;

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
};

void lanListUpdate(benchmark::State& state)
{
    Bench bench;
    if (!bench.ready(state))
        return;
    bench.openLanList();
    timeMenuUpdates(state);
}
BENCHMARK(lanListUpdate)->Unit(benchmark::kMicrosecond);

void lanListDraw(benchmark::State& state)
{
    Bench bench;
    if (!bench.ready(state))
        return;
    bench.openLanList();
    timeMenuFrames(state, bench);
}
BENCHMARK(lanListDraw)->Unit(benchmark::kMicrosecond);

void chatDraw(benchmark::State& state)
{
    Bench bench;
    if (!bench.ready(state))
        return;
    bench.openChat();
    timeMenuFrames(state, bench);
}
BENCHMARK(chatDraw)->Unit(benchmark::kMicrosecond);
}  // namespace
BENCHMARK_MAIN();
