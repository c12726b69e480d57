// String tables (.str): every entry that reads in formats and reads back the
// same; the table built from them answers every number and key.
#include "FuzzTarget.h"

#include "platform/File.h"
#include "platform/StringTable.h"

#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzz::silenceLog();
    std::vector<StringEntry> entries;
    std::string error;
    (void)parseStringTable(fuzz::text(data, size), "fuzz.str", entries, error);

    std::vector<StringEntry> back;
    FUZZ_CHECK(parseStringTable(formatStringTable(entries), "written.str", back, error));
    FUZZ_CHECK(back.size() == entries.size());
    for (std::size_t i = 0; i < entries.size(); ++i)
        FUZZ_CHECK(back[i].number == entries[i].number && back[i].key == entries[i].key &&
                   back[i].text == entries[i].text);

    FileBuffer file(std::vector<std::uint8_t>(data, data + size));
    StringTable table;
    if (table.load(file)) {
        for (int n = -1; n <= table.count(); ++n)
            (void)table.text(n);
        for (const StringEntry& entry : entries)
            (void)table.findId(entry.key);
    }
    return 0;
}
