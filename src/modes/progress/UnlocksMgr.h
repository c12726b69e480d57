#pragma once
#include "modes/progress/UnlockRecords.h"
#include "platform/CSerializable.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

class File;
class PlaneList;
class Settings;

// Told of every item newly unlocked with notice (the menus that show unlock
// notices register one).
class IUnlockListener {
public:
    virtual ~IUnlockListener() = default;
    virtual void onItemUnlocked(const UnlockItem& item, UnlockEventType event, const std::string& message) = 0;
};

// Applies the unlock rules of "data/specificinfo/specific_info.cfg": a deed
// reported here unlocks the items of every rule of its kind whose parameters
// it meets, in the settings record. Unlock state only ever grows, so a deed
// may be reported again without effect.
class UnlocksMgr final : public CSerializable {
public:
    static constexpr const char* kFileName = "data/specificinfo/specific_info.cfg";
    static constexpr std::size_t kDescriptionUnits = 512;

    // Works on the game's settings record and plane list.
    UnlocksMgr();
    // Works on the given ones (tests, tools). Not owned.
    UnlocksMgr(Settings& settings, const PlaneList& planes);

    static UnlocksMgr& instance();

    const char* typeName() const override { return "UnlockMgr"; }
    void describe(SerMembers& members) override;

    // Empties the rules and reads the file by name; false (no rules) when it
    // is missing or does not read.
    [[nodiscard]] bool load();
    [[nodiscard]] bool load(File& file);

    void setListener(IUnlockListener* listener) { m_listener = listener; }
    IUnlockListener* listener() const { return m_listener; }

    // Deeds. Threshold rules apply when their "parameterInt1" is at most the value.
    void fireEvent(UnlockEventType type);
    void onRank(int rank);
    void onAcePoints(int points);
    void onDogfight(int value);
    void onSurvivalWave(int wave);
    void onCampaignMissionWin(int campaign, int mission);
    void onAchievement(int index);
    // The first rate rule sets the rated flag, saves the settings and applies.
    void onRate();

    // The menu screen's pass at load: every progress rule again, without notice,
    // then the settings saved.
    void replayProgress();

    // Sets the item's state; true when it was not set before. Announces a new
    // item unless the rule or the item is silent.
    bool applyItem(const UnlockItem& item, UnlockEventType type, bool ruleSilent, const std::string& message);

    // How to unlock the plane: one line per rule unlocking it, in units below
    // kDescriptionUnits (a line that does not fit is left out).
    std::u16string describePlaneUnlock(int planeId) const;

    const CSerArray<UnlockEvent>& events() const { return m_events; }
    // Items unlocked with notice since the list was emptied; they belong to the rules.
    const std::vector<const UnlockItem*>& recent() const { return m_recent; }
    void clearRecent() { m_recent.clear(); }

private:
    template <class Match>
    void applyRules(UnlockEventType type, Match match);
    void applyRule(const UnlockEvent& rule);
    bool setItemState(const UnlockItem& item);
    int planeIdOf(const UnlockItem& item) const;

    Settings* m_settings = nullptr;
    const PlaneList* m_planes = nullptr;
    CSerArray<UnlockEvent> m_events;
    IUnlockListener* m_listener = nullptr;
    std::vector<const UnlockItem*> m_recent;
};
