#pragma once
#include "gamedata/records/MapInfoCfg.h"

#include <array>
#include <memory>
#include <string_view>

class StringTable;

// The map records of the skirmish list, the three campaign lists and the
// menu flight. Lists: "data/maps/skirmish.lst", "data/maps/campaign1.lst" to
// "campaign3.lst"; records "data/maps/configs/<name>.cfg".
class MapLists {
public:
    static constexpr int kSlots = 32;
    static constexpr int kCampaigns = 3;
    // Campaign progress keeps 16 missions a campaign; a longer list is cut there.
    static constexpr int kMaxCampaignMissions = 16;
    static constexpr const char* kFolder = "data/maps/";
    static constexpr const char* kMenuMapPath = "data/maps/configs/mainmenu.cfg";

    static MapLists& instance();

    // Reads every list from folder (kFolder in the game). A record that fails
    // is skipped with one message. Skirmish maps fill the slots from 0 in
    // list order; a campaign mission keeps the slot of its list line, which
    // must match its "index" and "campaign_id". False when no skirmish map loaded.
    bool load(std::string_view folder = kFolder);
    bool load(std::string_view folder, const StringTable& texts);
    void clear();

    // Skirmish slot i; null when empty or out of range.
    const MapInfoCfg* skirmishMap(int slot) const;
    // Filled skirmish slots, at least 1 so that rotations may take it as a modulus.
    int countNonCampaign() const;
    // Filled mission slots of a campaign; 0 for an unknown campaign.
    int countCampaign(int campaign) const;
    // Entry campaign x 32 + mission of the mission table; null when empty or out of range.
    const MapInfoCfg* campaignMission(int campaign, int mission) const;
    const MapInfoCfg* campaignMissionAt(int tableIndex) const;
    // The menu flight's record; null when it did not load.
    const MapInfoCfg* menuMap() const { return m_menu.get(); }

private:
    bool loadCampaign(int campaign, const std::string& folder, const StringTable& texts);
    std::array<std::unique_ptr<MapInfoCfg>, kSlots> m_skirmish;
    std::array<std::unique_ptr<MapInfoCfg>, kSlots * kCampaigns> m_campaignMissionTable;
    std::unique_ptr<MapInfoCfg> m_menu;
};
