// The .lst lists of record names: any bytes parse, every kept name is a safe
// record name, and the entries keep their lines in order.
#include "FuzzTarget.h"

#include "gamedata/records/RecordFile.h"

#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzz::silenceLog();
    std::vector<NameListEntry> names;
    parseNameList(fuzz::text(data, size), "fuzz.lst", names);
    int lastLine = 0;
    for (const NameListEntry& entry : names) {
        FUZZ_CHECK(isRecordName(entry.name));
        FUZZ_CHECK(entry.line > lastLine);
        lastLine = entry.line;
    }
    return 0;
}
