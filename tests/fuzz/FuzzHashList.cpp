// "data/filehashes.lst": every entry that reads in formats and reads back the same.
#include "FuzzTarget.h"

#include "platform/FileHashList.h"

#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzz::silenceLog();
    FileHashList list;
    list.parse(fuzz::text(data, size), "fuzz.lst");
    const std::vector<FileHashList::Entry> entries(list.entries().begin(), list.entries().end());
    FileHashList back;
    back.parse(FileHashList::format(entries), "written.lst");
    FUZZ_CHECK(back.entries().size() == entries.size());
    for (std::size_t i = 0; i < entries.size(); ++i)
        FUZZ_CHECK(back.entries()[i].hash == entries[i].hash && back.entries()[i].name == entries[i].name);
    return 0;
}
