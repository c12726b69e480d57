// "/proc/self/smaps": whatever the text, only whole, page-aligned, resident
// ranges are named for release.
#include "FuzzTarget.h"

#include "platform/LibraryPages.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    for (const LibraryMapping& m : releasableLibraryMappings(fuzz::text(data, size))) {
        FUZZ_CHECK(m.start < m.end);
        FUZZ_CHECK(m.start % 4096 == 0 && m.end % 4096 == 0);
        FUZZ_CHECK(m.residentBytes > 0);
    }
    return 0;
}
