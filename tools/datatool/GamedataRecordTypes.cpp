#include "RecordTypes.h"

#include "gamedata/records/MapInfoCfg.h"
#include "gamedata/records/PlaneCfg.h"
#include "gamedata/records/UnitCfg.h"
#include "gamedata/records/WeaponCfg.h"

SKYFRONT_RECORD_TYPE(PlaneCfg);
SKYFRONT_RECORD_TYPE(WeaponCfg);
SKYFRONT_RECORD_TYPE(UnitCfg);
SKYFRONT_RECORD_TYPE(MapInfoCfg);
