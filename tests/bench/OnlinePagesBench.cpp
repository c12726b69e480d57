// The online room browser at 1280 x 720 with 100 rooms listed: the page's
// update (the sort after the last announcement, the scroll) and its 2-D draw.
#include "MenuBenchTarget.h"

#include "gamedata/records/MapLists.h"
#include "menus/MenuFrameRegistry.h"
#include "menus/multiplayer/MultiPlayerMenuFrameOnline.h"
#include "menus/multiplayer/RoomEntry.h"
#include "platform/Settings.h"
#include "ui/MenuNavigation.h"

#include <benchmark/benchmark.h>

#include <array>
#include <cstring>

namespace {
std::array<std::uint8_t, RoomEntry::kSize> room(unsigned number, int maps)
{
    std::array<std::uint8_t, RoomEntry::kSize> b{};
    b[0] = 14;
    b[2] = static_cast<std::uint8_t>(number);
    b[3] = static_cast<std::uint8_t>(number >> 8);
    b[4] = static_cast<std::uint8_t>(1 + number % 7);
    b[5] = 8;
    const std::string name = "Room " + std::to_string(number);
    std::memcpy(&b[7], name.data(), name.size());
    b[41] = 110;
    static constexpr int kModes[] = {2, 3, 4, 5, 6, 10, 13};
    b[43 + 0x40] = static_cast<std::uint8_t>(kModes[number % 7]);
    b[43 + 0x41] = static_cast<std::uint8_t>(number % static_cast<unsigned>(maps));
    b[43 + 0x42] = 8;
    b[43 + 0x4D] = static_cast<std::uint8_t>(number % 3);
    b[299] = static_cast<std::uint8_t>((number * 7) % 18);
    return b;
}

// Arg: the rooms listed (0 is the page's own frame without a list).
void onlineRoomsUpdateAndDraw(benchmark::State& state)
{
    const unsigned rooms = static_cast<unsigned>(state.range(0));
    MenuBenchFrame frame;
    if (!frame.ready(state))
        return;
    if (!MapLists::instance().load()) {
        state.SkipWithError("no map lists");
        return;
    }
    settings().playerRank = 8;
    MultiPlayerMenuFrameOnline* page = MenuFrameRegistry::onlineMenu();
    goToFrame(page);
    const int maps = MapLists::instance().countNonCampaign();
    for (unsigned n = 1; n <= rooms; ++n)
        page->onRoomEntry(room(n, maps).data());
    int frames = 0;
    for (auto _ : state) {
        // Now and then a room's players change, as the server reports them.
        if (rooms > 0 && ++frames % 30 == 0)
            page->onRoomEntry(room(static_cast<unsigned>(1 + frames % 100), maps).data());
        updateMenuFrames();
        drawMenuFrames();
        frame.sync();
    }
    state.counters["rows"] = static_cast<double>(page->rows().size());
    clearFrameHistory();
    MenuFrameRegistry::deleteAll();
    MapLists::instance().clear();
}
BENCHMARK(onlineRoomsUpdateAndDraw)->Arg(0)->Arg(100)->Unit(benchmark::kMicrosecond);
}  // namespace

BENCHMARK_MAIN();
