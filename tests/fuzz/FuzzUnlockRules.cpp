// The unlock rules file: any bytes load or are refused whole, and whatever
// loads can be fired with any deed and described for any plane without a
// fault, the description held below its limit.
#include "FuzzTarget.h"

#include "gamedata/records/PlaneList.h"
#include "modes/progress/UnlocksMgr.h"
#include "platform/File.h"
#include "platform/Settings.h"

#include <climits>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzz::silenceLog();
    static const PlaneList planes;
    Settings profile;
    UnlocksMgr manager(profile, planes);
    FileBuffer file(std::vector<std::uint8_t>(data, data + size));
    if (!manager.load(file)) {
        FUZZ_CHECK(manager.events().count() == 0);
        return 0;
    }
    for (int type = -1; type <= 13; ++type)
        manager.fireEvent(static_cast<UnlockEventType>(type));
    for (int value : {INT_MIN, -1, 0, 3, 17, 99, 100, INT_MAX}) {
        manager.onRank(value);
        manager.onAcePoints(value);
        manager.onDogfight(value);
        manager.onSurvivalWave(value);
        manager.onAchievement(value);
        manager.onCampaignMissionWin(value, value);
    }
    for (int id : {-1, 0, 1, 255, 256})
        FUZZ_CHECK(manager.describePlaneUnlock(id).size() < UnlocksMgr::kDescriptionUnits);
    return 0;
}
