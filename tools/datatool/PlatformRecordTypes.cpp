#include "RecordTypes.h"

#include "platform/StringTableListCfg.h"

SKYFRONT_RECORD_TYPE(StringTableListCfg);
