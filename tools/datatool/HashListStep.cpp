// The data-file hash list: every file written so far with its MurmurHash2,
// computed from the staged bytes.
#include "DataTool.h"

#include "platform/FileHashList.h"

#include <fstream>
#include <sstream>

namespace {
bool buildHashList(DataContext& context)
{
    std::vector<FileHashList::Entry> entries;
    for (const std::string& name : context.writtenFiles()) {
        std::ifstream in(context.stageDir() / name, std::ios::binary);
        std::ostringstream bytes;
        bytes << in.rdbuf();
        if (!in) {
            context.error("cannot read back " + name);
            return false;
        }
        const std::string data = bytes.str();
        entries.push_back({murmurHash2(std::span<const std::uint8_t>(
                               reinterpret_cast<const std::uint8_t*>(data.data()), data.size())),
                           name});
    }
    return context.writeFile(kFileHashListName, FileHashList::format(entries));
}
}  // namespace

SKYFRONT_DATA_STEP(900, "hash list", buildHashList);
