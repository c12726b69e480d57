#include "RecordTypes.h"

#include "modes/progress/UnlocksMgr.h"

SKYFRONT_RECORD_TYPE(UnlocksMgr);
