#pragma once
#include <cstdint>
#include <span>

// How an achievement decides that it is earned.
enum class AchievementKind : std::uint8_t { None = 0, Counter = 1, EventMatch = 2, TimedEventMatch = 3 };

// One row of the achievement table; the row's position is its index.
struct AchievementRow {
    const char* steamName;
    int nameText;          // string number of its name; -1 when it has no object
    AchievementKind kind;
    const char* events;    // a counter's event, or a match's steps (0: any events, then the next step)
    int target;            // a counter's target; a match's number of steps
    bool fromTallies;      // a counter starts from the event's lifetime tallies
    const char* resets;    // event ids that start it over; "" for none
};

constexpr int kAchievementRows = 100;
constexpr float kTimedMatchWindow = 120.0f;  // seconds

std::span<const AchievementRow> achievementRows();
// The name text of the achievement object; -1 outside 0..99 or without an object.
int achievementNameText(int index);

// The statistics mirrored to the account platform, by statistics index.
struct StatRow {
    const char* steamName;
    int event;
};
constexpr int kStatRows = 8;
std::span<const StatRow> statRows();

// Events that also count as a wider event: 5 and 6 as 4, 9 and 10 as 8,
// 18 and 19 as 17, 21 and 22 as 20.
int eventFamily(int id);
// The event or a member of its family.
bool eventMatches(int wanted, int id);
