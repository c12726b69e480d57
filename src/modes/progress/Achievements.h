#pragma once
#include <functional>
#include <memory>
#include <vector>

class Achievements;
class AchievementPopup;
class Settings;
class Steam;
class UnlocksMgr;
struct AchievementRow;

// One achievement (or statistics mirror) fed with the game's numbered events.
class KTAchievement {
public:
    KTAchievement(Achievements& owner, int index, int nameText) : m_owner(owner), index(index), nameText(nameText) {}
    virtual ~KTAchievement() = default;
    KTAchievement(const KTAchievement&) = delete;
    KTAchievement& operator=(const KTAchievement&) = delete;

    virtual void reset() {}
    virtual void onEvent(int id) = 0;
    // 0..1, shown by the achievement list.
    virtual float progress() const { return done ? 1.0f : 0.0f; }

    // Earns it: saved, shown, unlocks what it gives, reported to the account.
    void unlock();

protected:
    Achievements& m_owner;

public:
    const int index;
    int nameText;
    bool done = false;
};

// Earned when its event (or one of the event's family) has come `target` times.
class KTA_Counter : public KTAchievement {
public:
    KTA_Counter(Achievements& owner, int index, int nameText, int event, int target, std::vector<int> resets)
        : KTAchievement(owner, index, nameText), event(event), target(target), resets(std::move(resets)) {}
    void reset() override { count = 0; }
    void onEvent(int id) override;
    float progress() const override;

    int count = 0;
    const int event, target;
    const std::vector<int> resets;
};

// Earned when its steps come in order; a step of 0 lets any other events pass
// until the step after it comes.
class KTA_Event_Match : public KTAchievement {
public:
    KTA_Event_Match(Achievements& owner, int index, int nameText, std::vector<int> steps, std::vector<int> resets)
        : KTAchievement(owner, index, nameText), steps(std::move(steps)), resets(std::move(resets)) {}
    void reset() override { position = 0; }
    void onEvent(int id) override;
    float progress() const override;

    const std::vector<int> steps, resets;
    int position = 0;

protected:
    // Moves past the waiting step when id matches it; false when the match broke.
    bool advance(int id);
    // The time each step was matched; only the timed kind keeps them.
    virtual void stamp(int /*first*/, int /*count*/) {}
};

// As the plain match, but all steps must come within the window.
class KTA_Timed_Event_Match final : public KTA_Event_Match {
public:
    KTA_Timed_Event_Match(Achievements& owner, int index, int nameText, std::vector<int> steps,
                          std::vector<int> resets, float window)
        : KTA_Event_Match(owner, index, nameText, std::move(steps), std::move(resets)), window(window),
          times(this->steps.size(), 0.0f) {}
    void onEvent(int id) override;

    const float window;
    std::vector<float> times;

private:
    void stamp(int first, int count) override;
};

// Mirrors how often an event came into an account statistic; never earned.
class KTA_StatCounter final : public KTAchievement {
public:
    KTA_StatCounter(Achievements& owner, int index, int event) : KTAchievement(owner, index, -1), event(event) {}
    void onEvent(int id) override;

    int count = 0;
    const int event;
};

// The achievement objects, the event tallies and where an earned one goes.
class Achievements {
public:
    // On the game's settings, account, unlock manager and pop-ups.
    Achievements();
    // On the given ones (tests). Not owned; unlocks may be null.
    Achievements(Settings& settings, Steam& steam, UnlocksMgr* unlocks, AchievementPopup& popup);

    // Makes every object afresh from the table, the tallies and the saved done
    // flags, and empties the pop-up queue.
    void buildTable();
    // The one entry for game events: tallied for single or network play by
    // the current game mode, then handed to every object.
    void notifyEvent(int id);

    // The seconds the timed matches read; Clock::now unless replaced.
    void setClock(std::function<float()> clock) { m_clock = std::move(clock); }
    float now() const { return m_clock(); }

    // Null for an index without an object.
    KTAchievement* find(int index) const;
    const std::vector<std::unique_ptr<KTAchievement>>& list() const { return m_list; }
    const std::vector<std::unique_ptr<KTA_StatCounter>>& stats() const { return m_stats; }

    Settings& settings() const { return *m_settings; }
    Steam& steam() const { return *m_steam; }
    UnlocksMgr* unlocks() const { return m_unlocks; }
    AchievementPopup& popup() const { return *m_popup; }

    // The pop-up of an earned achievement, with the landmark events it counts.
    void showPopup(const KTAchievement& achievement);

private:
    std::unique_ptr<KTAchievement> makeObject(int index, const AchievementRow& row);

    Settings* m_settings;
    Steam* m_steam;
    UnlocksMgr* m_unlocks;
    AchievementPopup* m_popup;
    std::function<float()> m_clock;
    std::vector<std::unique_ptr<KTAchievement>> m_list;
    std::vector<std::unique_ptr<KTA_StatCounter>> m_stats;
};

// The one set of the program.
Achievements& achievements();

// The menu screen's loading of progression: the unlock rules read, the
// achievements built, every earned rule applied again without notice and the
// settings saved. After the settings and the plane list are loaded.
void loadProgress();
