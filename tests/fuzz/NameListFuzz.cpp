// libFuzzer entry for the .lst reader: any bytes must parse without a fault,
// and every name it keeps must be a safe record name.
#include "gamedata/records/RecordFile.h"
#include "platform/Log.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const bool quiet = [] {
        setLogCapture([](LogLevel, const std::string&, const std::string&) {});
        return true;
    }();
    (void)quiet;
    std::vector<NameListEntry> names;
    parseNameList(std::string_view(reinterpret_cast<const char*>(data), size), "fuzz.lst", names);
    int lastLine = 0;
    for (const NameListEntry& entry : names) {
        if (!isRecordName(entry.name) || entry.line <= lastLine)
            std::abort();
        lastLine = entry.line;
    }
    return 0;
}
