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
        const std::string path = "data/units/" + entry.name + ".cfg";
        auto unit = std::make_unique<UnitCfg>();
        if (!loadRecordFile(*unit, path))
            continue;
        std::string error;
        if (unit->name.empty())
            unit->name = entry.name;
        if (unit->name != entry.name)
            error = "record name \"" + unit->name + "\" differs from its list entry";
        else if (!unit->validate(error))
            ;
        else if (findByName(unit->name))
            error = "listed twice";
        if (!error.empty()) {
            logWarning("gamedata", "%.*s:%d: %s: %s, record skipped", int(listPath.size()), listPath.data(),
                       entry.line, path.c_str(), error.c_str());
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
