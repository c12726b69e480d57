#pragma once
#include "gamedata/records/PlaneCfg.h"

#include <memory>
#include <string_view>
#include <vector>

class Settings;
class StringTable;

// The aircraft of "data/planes/planes.lst" in list order. Planes that share
// a model "file" are the variants of one family, in list order. Unlock state
// comes from the settings record: a plane is unlocked when its byte there is
// set or its record says it is unlocked from the start.
class PlaneList {
public:
    static constexpr const char* kListPath = "data/planes/planes.lst";

    static PlaneList& instance();

    // Reads the list and its records; a record that fails is skipped with one
    // message, its neighbours load. Fills the settings' factory paint table.
    // False, with a message, when no plane loaded: the game cannot start then.
    bool load(std::string_view listPath = kListPath);
    // The same with the texts resolved against that table (tests).
    bool load(std::string_view listPath, const StringTable& texts, Settings& settings);
    void clear();

    int count() const { return static_cast<int>(m_planes.size()); }
    // Null outside 0..count-1.
    const PlaneCfg* at(int index) const;
    // The plane with that id, else the first plane; null only for an empty list.
    const PlaneCfg* findById(int planeId) const;
    const PlaneCfg* findByName(std::string_view name) const;  // null when none
    int indexByName(std::string_view name) const;             // -1 when none
    // The plane_id of the named plane, -1 when none. Unlock tables are
    // indexed by this, never by the list index.
    int idByName(std::string_view name) const;
    // A bonus-weighted rating of the plane's statistics; -1 when no plane has the id.
    float valueById(int planeId) const;

    // Tiers: highest plane_tier + 1.
    int tierCount() const { return m_tierCount; }

    // Every plane a player may pick (not hidden), in list order.
    const std::vector<int>& selectionIds() const { return m_selection; }
    // The unlocked planes of the selection.
    std::vector<int> listAvailable() const;
    int countAvailable() const { return static_cast<int>(listAvailable().size()); }
    // One entry per family of the selection: its first variant.
    std::vector<int> listForMenu() const;

    bool isLocked(int planeId) const;
    bool anyVariantUnlocked(int planeId) const;
    // Ids of the planes sharing the model file of the given plane (empty
    // for an unknown id), all, unlocked or locked.
    std::vector<int> variantIds(int planeId) const;
    std::vector<int> unlockedVariants(int planeId) const;
    std::vector<int> lockedVariants(int planeId) const;
    // Variant k of the plane's family; the given id when there is none.
    int variantId(int k, int planeId) const;

    // Unlocks the named plane by its id; false for an unknown name.
    bool unlockByName(std::string_view name) const;

    // Which settings record the unlock queries read (tests use their own).
    void setSettings(Settings* settings) { m_settings = settings; }

private:
    const PlaneCfg* byId(int planeId) const;
    std::vector<std::unique_ptr<PlaneCfg>> m_planes;
    std::vector<int> m_selection;
    int m_tierCount = 0;
    Settings* m_settings = nullptr;
};
