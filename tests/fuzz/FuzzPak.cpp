// Paks: the input as a ZIP archive on disk, mounted, and the seeds' entries
// opened and read whole.
#include "FuzzTarget.h"

#include "platform/File.h"
#include "platform/Pak.h"

#include <cstdio>
#include <string>
#include <unistd.h>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzz::silenceLog();
    static const std::string path = "/tmp/skyfront-fuzz-" + std::to_string(getpid()) + ".pak";
    std::FILE* out = std::fopen(path.c_str(), "wb");
    if (!out)
        return 0;
    const bool written = std::fwrite(data, 1, size, out) == size;
    std::fclose(out);
    if (written && mountPak(path)) {
        for (const char* name : {"data/a.cfg", "data/strings/EN/main.str", "data/b/c.bin", "empty"}) {
            if (auto file = openFromMountedPaks(name)) {
                std::vector<std::uint8_t> bytes;
                FUZZ_CHECK(file->readAll(bytes) && bytes.size() == file->size());
            }
        }
        unmountAllPaks();
    }
    std::remove(path.c_str());
    return 0;
}
