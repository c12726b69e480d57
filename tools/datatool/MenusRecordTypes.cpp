#include "RecordTypes.h"

#include "menus/frontend/ComicCfg.h"

SKYFRONT_RECORD_TYPE(ComicCfg);
