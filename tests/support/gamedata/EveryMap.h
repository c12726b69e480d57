#pragma once
#include "gamedata/records/MapLists.h"

#include <vector>

// Every map record of the lists: the menu flight's, the skirmish maps in slot
// order, then each campaign's missions. The menu's is null when it did not load.
inline std::vector<const MapInfoCfg*> everyMap(const MapLists& maps)
{
    std::vector<const MapInfoCfg*> all{maps.menuMap()};
    for (int slot = 0; slot < MapLists::kSlots; ++slot)
        if (const MapInfoCfg* map = maps.skirmishMap(slot))
            all.push_back(map);
    for (int c = 0; c < MapLists::kCampaigns; ++c)
        for (int m = 0; m < maps.countCampaign(c); ++m)
            all.push_back(maps.campaignMission(c, m));
    return all;
}
