#include "platform/GamesDetection.h"
#include "platform/Log.h"

#include "platform/File.h"
#include "platform/internal/TextParsing.h"

#include <charconv>
#include <cstdio>
#include <string_view>
#include <vector>

namespace {
constexpr std::size_t kMaxListBytes = 64 * 1024;

struct Detection {
    GamesDetectionHooks hooks;
    std::vector<GamesDetectionEntry> entries;
};

Detection& detection()
{
    static Detection d;
    return d;
}
}  // namespace

void setGamesDetectionHooks(GamesDetectionHooks hooks)
{
    detection().hooks = std::move(hooks);
}

void loadGamesDetectionList()
{
    auto& entries = detection().entries;
    entries.clear();
    auto file = openFile(kGamesDetectionListName);
    std::vector<std::uint8_t> bytes;
    if (!file)
        return;
    if (file->size() > kMaxListBytes || !file->readAll(bytes)) {
        logWarning("platform", "%s: cannot be read", kGamesDetectionListName);
        return;
    }
    const std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    bool reported = false;
    textparsing::forEachLine(text, [&](std::string_view line, int lineNumber) {
        if (line.empty())
            return;
        GamesDetectionEntry entry;
        const auto result = std::from_chars(line.data(), line.data() + line.size(), entry.appId);
        const std::size_t digits = static_cast<std::size_t>(result.ptr - line.data());
        if (result.ec != std::errc() || digits + 1 >= line.size() || line[digits] != ' ') {
            if (!reported)
                logWarning("platform", "%s:%d: malformed line skipped", kGamesDetectionListName, lineNumber);
            reported = true;
            return;
        }
        entry.bundle = std::string(line.substr(digits + 1));
        entries.push_back(std::move(entry));
    });
}

void processGamesDetection()
{
    const Detection& d = detection();
    if (!d.hooks.isAppInstalled)
        return;
    for (const GamesDetectionEntry& entry : d.entries) {
        if (d.hooks.isAppInstalled(entry.appId)) {
            if (d.hooks.fireUnlockEvent)
                d.hooks.fireUnlockEvent(kUnlockEventHasOtherGame);
            return;
        }
    }
}

void clearGamesDetection()
{
    detection().entries.clear();
}

std::span<const GamesDetectionEntry> gamesDetectionList()
{
    return detection().entries;
}
