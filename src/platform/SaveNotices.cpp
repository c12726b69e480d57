#include "platform/SaveNotices.h"

#include "platform/File.h"
#include "platform/Log.h"

#include <atomic>
#include <string>

namespace {
enum : int { kRaised = 1, kShown = 2 };
std::atomic<int> g_state[kSaveNoticeCount];

std::atomic<int>& stateOf(SaveNotice notice)
{
    const int index = static_cast<int>(notice);
    return g_state[index >= 0 && index < kSaveNoticeCount ? index : 0];
}
}  // namespace

void raiseSaveNotice(SaveNotice notice)
{
    stateOf(notice) |= kRaised;
}

void setAsideUnreadSaveFile(const char* name, const char* keptName, const char* instead, SaveNotice notice)
{
    std::string keptAs;
    const UnreadSaveFile unread = keepUnreadSaveFile(name, keptName, keptAs);
    if (unread == UnreadSaveFile::Missing)
        return;
    const char* note = unread == UnreadSaveFile::Kept ? "; the file is kept as "
                                                      : "; the file could not be kept and is left as it is";
    logWarning("platform", "%s: not read; %s%s%s", name, instead, note, keptAs.c_str());
    raiseSaveNotice(notice);
}

bool takeSaveNotice(SaveNotice notice)
{
    std::atomic<int>& state = stateOf(notice);
    int seen = state.load();
    while (seen == kRaised) {
        if (state.compare_exchange_weak(seen, kRaised | kShown))
            return true;
    }
    return false;
}

void clearSaveNotices()
{
    for (std::atomic<int>& state : g_state)
        state = 0;
}
