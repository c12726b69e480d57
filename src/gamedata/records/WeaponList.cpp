#include "gamedata/records/WeaponList.h"

#include "gamedata/records/RecordFile.h"
#include "platform/Language.h"
#include "platform/Log.h"

WeaponList& WeaponList::instance()
{
    static WeaponList list;
    return list;
}

bool WeaponList::load(std::string_view listPath) { return load(listPath, findStringTable()); }

bool WeaponList::load(std::string_view listPath, const StringTable& texts)
{
    clear();
    std::vector<NameListEntry> names;
    readNameList(listPath, names);
    for (const NameListEntry& entry : names) {
        auto weapon = std::make_unique<WeaponCfg>();
        std::string error;
        if (loadListedRecord(*weapon, "data/weapons/", entry, error)) {
            if (const WeaponCfg* other = findById(weapon->weapon_id))
                error = "weapon_id " + std::to_string(weapon->weapon_id) + " already used by \"" + other->name + "\"";
            else if (findByName(weapon->name))
                error = "\"" + weapon->name + "\" listed twice";
        }
        if (!error.empty()) {
            reportSkippedRecord(listPath, entry, error);
            continue;
        }
        weapon->descriptionId = resolveTextKey(texts, weapon->description);
        m_weapons.push_back(std::move(weapon));
    }
    if (m_weapons.empty()) {
        logWarning("gamedata", "%.*s: no weapon record loaded", int(listPath.size()), listPath.data());
        return false;
    }
    return true;
}

const WeaponCfg* WeaponList::at(int index) const
{
    return index >= 0 && index < count() ? m_weapons[static_cast<std::size_t>(index)].get() : nullptr;
}

int WeaponList::indexByName(std::string_view name) const
{
    for (std::size_t i = 0; i < m_weapons.size(); ++i)
        if (m_weapons[i]->name == name)
            return static_cast<int>(i);
    return -1;
}

const WeaponCfg* WeaponList::findById(int weaponId) const
{
    for (const auto& weapon : m_weapons)
        if (weapon->weapon_id == weaponId)
            return weapon.get();
    return nullptr;
}

std::vector<const WeaponCfg*> WeaponList::listFor(int slot) const
{
    std::vector<const WeaponCfg*> found;
    for (const auto& weapon : m_weapons)
        if (weapon->slotUsed == slot || weapon->slotUsed < 0)
            found.push_back(weapon.get());
    return found;
}
