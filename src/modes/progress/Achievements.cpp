#include "modes/progress/Achievements.h"

#include "modes/progress/AchievementPopup.h"
#include "modes/progress/AchievementTable.h"
#include "modes/progress/IGameModeInfo.h"
#include "modes/progress/UnlocksMgr.h"
#include "platform/Clock.h"
#include "platform/Log.h"
#include "platform/Settings.h"
#include "platform/Steam.h"

#include <algorithm>
#include <cstdint>
#include <limits>
#include <sstream>

namespace {
std::vector<int> parseIds(const char* text)
{
    std::vector<int> ids;
    std::istringstream in(text ? text : "");
    int id = 0;
    while (in >> id)
        ids.push_back(id);
    return ids;
}

bool contains(const std::vector<int>& ids, int id) { return std::find(ids.begin(), ids.end(), id) != ids.end(); }

// The landmark families a landmark's name text also counts.
int landmarkGroupEvent(int nameText)
{
    switch (nameText) {
    case 311: case 322: case 331: case 336: case 343:
        return 124;
    case 312: case 321: case 330: case 344:
        return 125;
    case 308: case 310: case 316: case 317: case 318: case 319: case 328:
    case 332: case 333: case 334: case 337: case 339: case 341: case 342:
        return 126;
    case 307: case 315: case 340:
        return 127;
    case 309: case 326: case 327:
        return 128;
    case 323: case 324: case 325:
        return 129;
    default:
        return 0;
    }
}

// Both tables' tallies, held to the counter's range (a file may hold any value).
int lifetimeTally(const Settings& settings, int event)
{
    const std::int64_t sum = std::int64_t{settings.eventTallyAt(false, event)} + settings.eventTallyAt(true, event);
    return static_cast<int>(std::clamp<std::int64_t>(sum, 0, std::numeric_limits<std::int32_t>::max()));
}

constexpr int kDeathEvent = 11;
constexpr int kLevelStartEvent = 2;
}  // namespace

void KTAchievement::unlock()
{
    Settings& s = m_owner.settings();
    done = true;
    s.setAchievementDone(index, 1);
    m_owner.showPopup(*this);
    // Saved after the unlocks it gives, so one write holds both.
    if (UnlocksMgr* unlocks = m_owner.unlocks())
        unlocks->onAchievement(index);
    s.save();
    Steam& account = m_owner.steam();
    const char* name = achievementRows()[static_cast<std::size_t>(index)].steamName;
    logInfo("progress", "achievement \"%s\" earned", name);
    account.setAchievement(name);
    account.storeStats();
}

void KTA_Counter::onEvent(int id)
{
    if (done || count >= target)
        return;
    if (contains(resets, id)) {
        reset();
        return;
    }
    if (!eventMatches(event, id))
        return;
    if (++count == target) {
        unlock();
        reset();
    }
}

float KTA_Counter::progress() const
{
    if (done)
        return 1.0f;
    return target > 0 ? std::clamp(static_cast<float>(count) / static_cast<float>(target), 0.0f, 1.0f) : 0.0f;
}

bool KTA_Event_Match::advance(int id)
{
    const int size = static_cast<int>(steps.size());
    const int waiting = steps[static_cast<std::size_t>(position)];
    if (waiting == 0) {
        if (position + 1 < size && eventMatches(steps[static_cast<std::size_t>(position + 1)], id)) {
            stamp(position, 2);
            position += 2;
        }
        return true;
    }
    if (!eventMatches(waiting, id)) {
        position = 0;
        return false;
    }
    stamp(position, 1);
    position += 1;
    return true;
}

void KTA_Event_Match::onEvent(int id)
{
    const int size = static_cast<int>(steps.size());
    if (done || position >= size)
        return;
    if (contains(resets, id)) {
        // A death mid-streak keeps the level's start: the streak counts on
        // after the respawn. Single player before the start waits for it.
        const bool waitingForStart = steps[static_cast<std::size_t>(position)] == kLevelStartEvent;
        if (id == kDeathEvent)
            position = waitingForStart && isSinglePlayerGame(currentMatchInfo()) ? 0 : 1;
        else
            position = 0;
        return;
    }
    if (!advance(id))
        return;
    if (position >= size) {
        unlock();
        position = 0;
    }
}

float KTA_Event_Match::progress() const
{
    if (done)
        return 1.0f;
    return steps.empty() ? 0.0f : static_cast<float>(position) / static_cast<float>(steps.size());
}

void KTA_Timed_Event_Match::stamp(int first, int count)
{
    const float t = m_owner.now();
    for (int i = first; i < first + count && i < static_cast<int>(times.size()); ++i)
        times[static_cast<std::size_t>(i)] = t;
}

void KTA_Timed_Event_Match::onEvent(int id)
{
    const int size = static_cast<int>(steps.size());
    if (done || position >= size)
        return;
    if (contains(resets, id)) {
        position = 0;
        return;
    }
    if (!advance(id) || position == 0)
        return;
    if (times[static_cast<std::size_t>(position - 1)] - times[0] > window) {
        position = 0;
        return;
    }
    if (position >= size) {
        unlock();
        position = 0;
    }
}

void KTA_StatCounter::onEvent(int id)
{
    if (!eventMatches(event, id))
        return;
    if (count < std::numeric_limits<int>::max())
        ++count;
    Steam& account = m_owner.steam();
    account.setStat(statRows()[static_cast<std::size_t>(index)].steamName, count);
    account.storeStats();
}

Achievements::Achievements() : Achievements(::settings(), ::steam(), &UnlocksMgr::instance(), achievementPopup()) {}

Achievements::Achievements(Settings& settings, Steam& steam, UnlocksMgr* unlocks, AchievementPopup& popup)
    : m_settings(&settings), m_steam(&steam), m_unlocks(unlocks), m_popup(&popup), m_clock(Clock::now)
{
}

std::unique_ptr<KTAchievement> Achievements::makeObject(int index, const AchievementRow& row)
{
    std::vector<int> events = parseIds(row.events);
    std::vector<int> resets = parseIds(row.resets);
    switch (row.kind) {
    case AchievementKind::Counter: {
        if (events.empty())
            return nullptr;
        auto counter = std::make_unique<KTA_Counter>(*this, index, row.nameText, events[0], row.target,
                                                     std::move(resets));
        // A counter that starts over within a game counts from 0: started from
        // lifetime tallies it could sit above its target for good.
        if (row.fromTallies && counter->resets.empty())
            counter->count = lifetimeTally(*m_settings, counter->event);
        return counter;
    }
    case AchievementKind::EventMatch:
        return std::make_unique<KTA_Event_Match>(*this, index, row.nameText, std::move(events), std::move(resets));
    case AchievementKind::TimedEventMatch:
        return std::make_unique<KTA_Timed_Event_Match>(*this, index, row.nameText, std::move(events),
                                                       std::move(resets), kTimedMatchWindow);
    default:
        return nullptr;
    }
}

void Achievements::buildTable()
{
    m_list.clear();
    m_stats.clear();
    const auto rows = achievementRows();
    for (int i = 0; i < static_cast<int>(rows.size()); ++i) {
        auto object = makeObject(i, rows[static_cast<std::size_t>(i)]);
        if (!object)
            continue;
        object->done = m_settings->achievementDoneAt(i) != 0;
        m_list.push_back(std::move(object));
    }
    for (int i = 0; i < kStatRows; ++i) {
        const StatRow& row = statRows()[static_cast<std::size_t>(i)];
        auto stat = std::make_unique<KTA_StatCounter>(*this, i, row.event);
        // Goes on from the account's value: a count from 0 would lower it.
        std::int32_t stored = 0;
        if (m_steam->getStat(row.steamName, stored) && stored > 0)
            stat->count = stored;
        m_stats.push_back(std::move(stat));
    }
    m_popup->clear();
}

void Achievements::notifyEvent(int id)
{
    // No event outside the tallies exists: such an id is a caller's fault.
    if (id < 0 || id >= Settings::kEventIdCount)
        return;
    const bool network = isNetworkGame(currentMatchInfo());
    const std::int32_t tally = m_settings->eventTallyAt(network, id);
    if (tally < std::numeric_limits<std::int32_t>::max())
        m_settings->setEventTally(network, id, tally + 1);
    // By index: an object earned here may count further events (landmarks).
    for (std::size_t i = 0; i < m_list.size(); ++i)
        m_list[i]->onEvent(id);
    for (std::size_t i = 0; i < m_stats.size(); ++i)
        m_stats[i]->onEvent(id);
}

KTAchievement* Achievements::find(int index) const
{
    for (const auto& object : m_list)
        if (object->index == index)
            return object.get();
    return nullptr;
}

void Achievements::showPopup(const KTAchievement& achievement)
{
    if (m_popup->full())
        return;
    const int name = achievement.nameText;
    if (name >= 305 && name <= 344) {
        notifyEvent(130);
        if (const int group = landmarkGroupEvent(name))
            notifyEvent(group);
    }
    int shown = name;
    if (name == 277 || name == 278)
        shown = m_settings->achievementNameVariant == 0 ? 277 : 278;
    m_popup->push(shown, achievement.index + 3);
}

Achievements& achievements()
{
    static Achievements instance;
    return instance;
}

void loadProgress()
{
    UnlocksMgr& unlocks = UnlocksMgr::instance();
    // A file that does not read has said why; no rule unlocks anything then.
    (void)unlocks.load();
    achievements().buildTable();
    unlocks.replayProgress();
}
