// The data-file hash list: every file written so far with its MurmurHash2,
// computed from the staged bytes.
#include "DataTool.h"

#include "platform/FileHashList.h"


namespace {
bool buildHashList(DataContext& context)
{
    std::vector<FileHashList::Entry> entries;
    for (const std::string& name : context.writtenFiles()) {
        std::string data;
        if (!readSourceFile(context.stageDir() / name, data)) {
            context.error("cannot read back " + name);
            return false;
        }
        entries.push_back({murmurHash2(std::span<const std::uint8_t>(
                               reinterpret_cast<const std::uint8_t*>(data.data()), data.size())),
                           name});
    }
    return context.writeFile(kFileHashListName, FileHashList::format(entries));
}
}  // namespace

SKYFRONT_DATA_STEP(900, "hash list", buildHashList);
