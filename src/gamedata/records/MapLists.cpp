#include "gamedata/records/MapLists.h"

#include "gamedata/records/RecordFile.h"
#include "platform/Language.h"
#include "platform/Log.h"

#include <algorithm>

namespace {
// Reads and checks one map record; null after one message.
std::unique_ptr<MapInfoCfg> loadMap(const std::string& folder, const std::string& listPath, const NameListEntry& entry,
                                    const StringTable& texts)
{
    auto map = std::make_unique<MapInfoCfg>();
    std::string error;
    if (!loadListedRecord(*map, folder + "configs/", entry, error)) {
        reportSkippedRecord(listPath, entry, error);
        return nullptr;
    }
    map->briefingId = std::max(resolveTextKey(texts, map->briefing_string), 0);
    return map;
}
}  // namespace

MapLists& MapLists::instance()
{
    static MapLists lists;
    return lists;
}

void MapLists::clear()
{
    for (auto& slot : m_skirmish)
        slot.reset();
    for (auto& slot : m_campaignMissionTable)
        slot.reset();
    m_menu.reset();
}

bool MapLists::load(std::string_view folder) { return load(folder, findStringTable()); }

bool MapLists::load(std::string_view folderView, const StringTable& texts)
{
    clear();
    const std::string folder(folderView);
    const std::string skirmishPath = folder + "skirmish.lst";
    std::vector<NameListEntry> names;
    readNameList(skirmishPath, names);
    int filled = 0;
    for (const NameListEntry& entry : names) {
        if (filled == kSlots) {
            logWarning("gamedata", "%s:%d: more than %d skirmish maps, the rest skipped", skirmishPath.c_str(),
                       entry.line, kSlots);
            break;
        }
        if (auto map = loadMap(folder, skirmishPath, entry, texts))
            m_skirmish[static_cast<std::size_t>(filled++)] = std::move(map);
    }
    for (int campaign = 0; campaign < kCampaigns; ++campaign)
        loadCampaign(campaign, folder, texts);

    const std::string menuPath = folder + "configs/mainmenu.cfg";
    auto menu = std::make_unique<MapInfoCfg>();
    if (MapInfoCfg::loadFromFile(*menu, menuPath, texts))
        m_menu = std::move(menu);

    if (filled == 0) {
        logWarning("gamedata", "%s: no skirmish map loaded", skirmishPath.c_str());
        return false;
    }
    return true;
}

bool MapLists::loadCampaign(int campaign, const std::string& folder, const StringTable& texts)
{
    const std::string listPath = folder + "campaign" + std::to_string(campaign + 1) + ".lst";
    std::vector<NameListEntry> names;
    if (!readNameList(listPath, names))
        return false;
    for (std::size_t slot = 0; slot < names.size(); ++slot) {
        const NameListEntry& entry = names[slot];
        if (static_cast<int>(slot) >= kMaxCampaignMissions) {
            logWarning("gamedata", "%s:%d: more than %d missions in a campaign, the rest skipped", listPath.c_str(),
                       entry.line, kMaxCampaignMissions);
            break;
        }
        auto map = loadMap(folder, listPath, entry, texts);
        if (!map)
            continue;
        if (map->campaign_id != campaign || map->index != static_cast<int>(slot)) {
            reportSkippedRecord(listPath, entry,
                                "mission \"" + entry.name + "\" says campaign " + std::to_string(map->campaign_id) +
                                    " mission " + std::to_string(map->index) + ", its list line is campaign " +
                                    std::to_string(campaign) + " mission " + std::to_string(slot));
            continue;
        }
        m_campaignMissionTable[static_cast<std::size_t>(campaign * kSlots) + slot] = std::move(map);
    }
    return true;
}

const MapInfoCfg* MapLists::skirmishMap(int slot) const
{
    return slot >= 0 && slot < kSlots ? m_skirmish[static_cast<std::size_t>(slot)].get() : nullptr;
}

int MapLists::countNonCampaign() const
{
    const auto filled = std::count_if(m_skirmish.begin(), m_skirmish.end(), [](const auto& m) { return m != nullptr; });
    return std::max(static_cast<int>(filled), 1);
}

int MapLists::countCampaign(int campaign) const
{
    if (campaign < 0 || campaign >= kCampaigns)
        return 0;
    const auto first = m_campaignMissionTable.begin() + campaign * kSlots;
    return static_cast<int>(std::count_if(first, first + kSlots, [](const auto& m) { return m != nullptr; }));
}

const MapInfoCfg* MapLists::campaignMission(int campaign, int mission) const
{
    if (campaign < 0 || campaign >= kCampaigns || mission < 0 || mission >= kSlots)
        return nullptr;
    return campaignMissionAt(campaign * kSlots + mission);
}

const MapInfoCfg* MapLists::campaignMissionAt(int tableIndex) const
{
    if (tableIndex < 0 || tableIndex >= kSlots * kCampaigns)
        return nullptr;
    return m_campaignMissionTable[static_cast<std::size_t>(tableIndex)].get();
}
