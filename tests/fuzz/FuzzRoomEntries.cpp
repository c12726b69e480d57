// Room announcements and player lists: any bytes become a run of 307-byte
// room entries offered to the online room browser, then a player list for
// the lobby of its first room. No row may come from a bad entry, and a player
// line stays within its bounds.
#include "FuzzTarget.h"

#include "menus/multiplayer/MultiPlayerMenuFrameOnline.h"
#include "menus/multiplayer/RoomEntry.h"
#include "platform/ScreenMetrics.h"

#include <algorithm>
#include <array>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzz::silenceLog();
    static const bool screen = setScreenSize(1280, 720);
    (void)screen;
    constexpr int kMaps = 6;
    if (size == 0)
        return 0;
    const std::uint8_t flags = data[0];
    ++data;
    --size;

    static MultiPlayerMenuFrameOnline* page = [] {
        auto* made = new MultiPlayerMenuFrameOnline();
        made->mapCount = [] { return kMaps; };
        return made;
    }();
    page->refresh();

    std::size_t at = 0;
    for (; at + RoomEntry::kSize <= size && at < 40 * RoomEntry::kSize; at += RoomEntry::kSize) {
        std::array<std::uint8_t, RoomEntry::kSize> entry{};
        std::copy_n(data + at, RoomEntry::kSize, entry.begin());
        // Most entries the fuzzer makes are short; let some through the length test.
        if (flags & 1) {
            entry[41] = 110;
            entry[42] = 0;
        }
        if (flags & 2)
            entry[2] = entry[3] = 0;  // all one room: every later one is an update
        page->onRoomEntry(entry.data());
        for (auto* row : page->rows())
            FUZZ_CHECK(RoomEntry::acceptable(row->room.bytes.data(), kMaps));
        if (page->listDirty)
            page->sortRows();
    }
    const std::vector<MultiPlayerMenuFrameOnline::MPServerMenuEntry*> rows = page->rows();
    if (!rows.empty())
        page->openDetails(*rows.front());
    const std::uint8_t* list = data + at;
    const std::size_t length = size - at;
    std::array<RoomPlayerLine, 8> lines;
    const int n = readRoomPlayers(list, length, lines);
    FUZZ_CHECK(n >= 0 && n <= 8);
    for (const RoomPlayerLine& line : lines) {
        FUZZ_CHECK(line.name.size() <= 63);
        FUZZ_CHECK(line.rank >= -1 && line.rank <= RoomEntry::kMaxRank);
    }
    page->onRoomInfo(list, length);
    for (const auto* row : page->playerRows)
        FUZZ_CHECK(row->name.size() <= 63);
    page->onBack();
    return 0;
}
