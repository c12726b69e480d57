#pragma once
#include "gamedata/records/WeaponCfg.h"

#include <memory>
#include <string_view>
#include <vector>

class StringTable;

// The weapons of "data/weapons/weapons.lst" in list order.
class WeaponList {
public:
    static constexpr const char* kListPath = "data/weapons/weapons.lst";

    static WeaponList& instance();

    // A record that fails is skipped with one message; false when none loaded.
    bool load(std::string_view listPath = kListPath);
    bool load(std::string_view listPath, const StringTable& texts);
    void clear() { m_weapons.clear(); }

    int count() const { return static_cast<int>(m_weapons.size()); }
    const WeaponCfg* at(int index) const;  // null outside 0..count-1
    const WeaponCfg* findByName(std::string_view name) const { return at(indexByName(name)); }  // null when none
    int indexByName(std::string_view name) const;  // list index; -1 when none
    const WeaponCfg* findById(int weaponId) const;  // null when none
    // The weapons a loadout slot may hold, in list order: "slotUsed" equal to
    // the slot or negative.
    std::vector<const WeaponCfg*> listFor(int slot) const;

private:
    std::vector<std::unique_ptr<WeaponCfg>> m_weapons;
};
