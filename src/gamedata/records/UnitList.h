#pragma once
#include "gamedata/records/UnitCfg.h"

#include <memory>
#include <string_view>
#include <vector>

class StringTable;

// The units of "data/units/units.lst" in list order.
class UnitList {
public:
    static constexpr const char* kListPath = "data/units/units.lst";

    static UnitList& instance();

    // A record that fails is skipped with one message; false when none loaded.
    bool load(std::string_view listPath = kListPath);
    bool load(std::string_view listPath, const StringTable& texts);
    void clear() { m_units.clear(); }

    int count() const { return static_cast<int>(m_units.size()); }
    const UnitCfg* at(int index) const;              // null outside 0..count-1
    const UnitCfg* findByName(std::string_view name) const;  // null when none

private:
    std::vector<std::unique_ptr<UnitCfg>> m_units;
};
