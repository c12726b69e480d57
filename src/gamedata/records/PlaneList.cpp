#include "gamedata/records/PlaneList.h"

#include "gamedata/records/RecordFile.h"
#include "platform/Language.h"
#include "platform/Log.h"
#include "platform/Settings.h"

#include <algorithm>

PlaneList& PlaneList::instance()
{
    static PlaneList list;
    return list;
}

void PlaneList::clear()
{
    m_planes.clear();
    m_selection.clear();
    m_tierCount = 0;
}

bool PlaneList::load(std::string_view listPath)
{
    return load(listPath, findStringTable(), settings());
}

bool PlaneList::load(std::string_view listPath, const StringTable& texts, Settings& target)
{
    clear();
    m_settings = &target;
    std::vector<NameListEntry> names;
    readNameList(listPath, names);
    for (const NameListEntry& entry : names) {
        auto plane = std::make_unique<PlaneCfg>();
        std::string error;
        if (loadListedRecord(*plane, "data/planes/", entry, error)) {
            if (const PlaneCfg* other = byId(plane->plane_id))
                error = "plane_id " + std::to_string(plane->plane_id) + " already used by \"" + other->name + "\"";
            else if (findByName(plane->name))
                error = "\"" + plane->name + "\" listed twice";
        }
        if (!error.empty()) {
            reportSkippedRecord(listPath, entry, error);
            continue;
        }
        plane->strInfoId = resolveTextKey(texts, plane->pStrInfo);
        m_tierCount = std::max(m_tierCount, plane->plane_tier + 1);
        const auto row = static_cast<std::size_t>(plane->plane_id);
        target.defaultPaintTable[row] = plane->paints.at(0)->toPaint();
        // A plane the player never painted flies in its factory colours.
        if (target.planePaintTable[row] == PlanePaint{})
            target.planePaintTable[row] = target.defaultPaintTable[row];
        if (!plane->pHidden)
            m_selection.push_back(plane->plane_id);
        m_planes.push_back(std::move(plane));
    }
    if (m_planes.empty()) {
        logWarning("gamedata", "%.*s: no plane record loaded; the game needs at least one aircraft",
                   int(listPath.size()), listPath.data());
        return false;
    }
    return true;
}

const PlaneCfg* PlaneList::at(int index) const
{
    return index >= 0 && index < count() ? m_planes[static_cast<std::size_t>(index)].get() : nullptr;
}

const PlaneCfg* PlaneList::byId(int planeId) const
{
    for (const auto& plane : m_planes)
        if (plane->plane_id == planeId)
            return plane.get();
    return nullptr;
}

const PlaneCfg* PlaneList::findById(int planeId) const
{
    const PlaneCfg* plane = byId(planeId);
    return plane ? plane : at(0);
}

const PlaneCfg* PlaneList::findByName(std::string_view name) const
{
    const int index = indexByName(name);
    return index < 0 ? nullptr : at(index);
}

int PlaneList::indexByName(std::string_view name) const
{
    for (std::size_t i = 0; i < m_planes.size(); ++i)
        if (m_planes[i]->name == name)
            return static_cast<int>(i);
    return -1;
}

int PlaneList::idByName(std::string_view name) const
{
    const PlaneCfg* plane = findByName(name);
    return plane ? plane->plane_id : -1;
}

float PlaneList::valueById(int planeId) const
{
    const PlaneCfg* plane = byId(planeId);
    if (!plane)
        return -1.0f;
    const float stats = plane->pWeaponry + plane->pStructure + plane->pAerodynamics + plane->pLuck;
    return stats * (1.0f + 0.1f * static_cast<float>(plane->plane_tier));
}

bool PlaneList::isLocked(int planeId) const
{
    const PlaneCfg* plane = byId(planeId);
    if (!plane)
        return true;
    if (plane->pStartUnlocked)
        return false;
    const Settings& s = m_settings ? *m_settings : settings();
    return s.planeUnlockedAt(planeId) == 0;
}

std::vector<int> PlaneList::listAvailable() const
{
    std::vector<int> ids;
    for (int id : m_selection)
        if (!isLocked(id))
            ids.push_back(id);
    return ids;
}

std::vector<int> PlaneList::listForMenu() const
{
    std::vector<int> ids;
    std::vector<const std::string*> families;
    for (int id : m_selection) {
        const std::string& file = byId(id)->file;
        if (std::none_of(families.begin(), families.end(), [&](const std::string* f) { return *f == file; })) {
            families.push_back(&file);
            ids.push_back(id);
        }
    }
    return ids;
}

std::vector<int> PlaneList::variantIds(int planeId) const
{
    std::vector<int> ids;
    const PlaneCfg* plane = byId(planeId);
    if (!plane)
        return ids;
    for (const auto& other : m_planes)
        if (other->file == plane->file)
            ids.push_back(other->plane_id);
    return ids;
}

std::vector<int> PlaneList::unlockedVariants(int planeId) const
{
    std::vector<int> ids = variantIds(planeId);
    std::erase_if(ids, [this](int id) { return isLocked(id); });
    return ids;
}

std::vector<int> PlaneList::lockedVariants(int planeId) const
{
    std::vector<int> ids = variantIds(planeId);
    std::erase_if(ids, [this](int id) { return !isLocked(id); });
    return ids;
}

bool PlaneList::anyVariantUnlocked(int planeId) const { return !unlockedVariants(planeId).empty(); }

int PlaneList::variantId(int k, int planeId) const
{
    const std::vector<int> ids = variantIds(planeId);
    return k >= 0 && k < static_cast<int>(ids.size()) ? ids[static_cast<std::size_t>(k)] : planeId;
}

bool PlaneList::unlockByName(std::string_view name) const
{
    const int id = idByName(name);
    if (id < 0 || id > PlaneCfg::kMaxPlaneId)
        return false;
    Settings& s = m_settings ? *m_settings : settings();
    s.setPlaneUnlocked(id, 1);
    return true;
}
