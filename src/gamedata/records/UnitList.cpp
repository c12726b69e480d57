#include "gamedata/records/UnitList.h"

#include "gamedata/records/RecordFile.h"
#include "platform/Language.h"
#include "platform/Log.h"

UnitList& UnitList::instance()
{
    static UnitList list;
    return list;
}

bool UnitList::load(std::string_view listPath) { return load(listPath, findStringTable()); }

bool UnitList::load(std::string_view listPath, const StringTable& texts)
{
    clear();
    std::vector<NameListEntry> names;
    readNameList(listPath, names);
    for (const NameListEntry& entry : names) {
        auto unit = std::make_unique<UnitCfg>();
        std::string error;
        if (loadListedRecord(*unit, "data/units/", entry, error)) {
            if (findByName(unit->name))
                error = "\"" + unit->name + "\" listed twice";
        }
        if (!error.empty()) {
            reportSkippedRecord(listPath, entry, error);
            continue;
        }
        unit->displayId = resolveTextKey(texts, unit->display);
        m_units.push_back(std::move(unit));
    }
    if (m_units.empty()) {
        logWarning("gamedata", "%.*s: no unit record loaded", int(listPath.size()), listPath.data());
        return false;
    }
    return true;
}

const UnitCfg* UnitList::at(int index) const
{
    return index >= 0 && index < count() ? m_units[static_cast<std::size_t>(index)].get() : nullptr;
}

const UnitCfg* UnitList::findByName(std::string_view name) const
{
    for (const auto& unit : m_units)
        if (unit->name == name)
            return unit.get();
    return nullptr;
}
