#include "modes/BotNames.h"

#include "platform/Random.h"

#include <array>

namespace {
constexpr std::array<std::u16string_view, BotNames::kCount> kNames = {
    u"Ash",    u"Brenner", u"Corvin", u"Dace",    u"Eske",   u"Falk",   u"Garrow", u"Hale",  u"Ivers",
    u"Jory",   u"Kestrel", u"Lund",   u"Marek",   u"Nyle",   u"Orrin",  u"Pike",   u"Quill", u"Rook",
    u"Sable",  u"Tarn",    u"Ulric",  u"Vance",   u"Wren",   u"Yarrow", u"Zeke",   u"Moss",  u"Thorne",
};
std::array<bool, BotNames::kCount> g_taken{};

int nextFree(int from)
{
    for (int k = 1; k <= BotNames::kCount; ++k) {
        const int i = (from + k) % BotNames::kCount;
        if (!g_taken[static_cast<std::size_t>(i)])
            return i;
    }
    return -1;
}
}  // namespace

std::u16string BotNames::pick()
{
    const std::uint32_t n = mwcStep(randomState()) % kCount;
    if (takenCount() == kCount)
        return std::u16string(kNames[n]);
    int index = g_taken[0] ? nextFree(0) : 0;
    for (std::uint32_t step = 0; step < n; ++step)
        index = nextFree(index);
    g_taken[static_cast<std::size_t>(index)] = true;
    return std::u16string(kNames[static_cast<std::size_t>(index)]);
}

void BotNames::release(std::u16string_view name)
{
    for (std::size_t i = 0; i < kNames.size(); ++i)
        if (kNames[i] == name) {
            g_taken[i] = false;
            return;
        }
}

void BotNames::clear() { g_taken.fill(false); }

bool BotNames::isTaken(int index) { return index >= 0 && index < kCount && g_taken[static_cast<std::size_t>(index)]; }

int BotNames::takenCount()
{
    int n = 0;
    for (bool t : g_taken)
        n += t ? 1 : 0;
    return n;
}

std::u16string_view BotNames::name(int index)
{
    return index >= 0 && index < kCount ? kNames[static_cast<std::size_t>(index)] : std::u16string_view{};
}
