// The account's "steam_userstats.txt": statistics, achievements and installed
// games; whatever it reads, the queries answer without a fault, and what it
// kept of a damaged file is written back so that it reads back whole.
#include "FuzzTarget.h"

#include "platform/Steam.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzz::silenceLog();
    Steam account;
    const int skipped = account.parseStats(fuzz::text(data, size));
    FUZZ_CHECK(skipped >= 0);
    std::int32_t value = 0;
    (void)account.getStat("stat", value);
    (void)account.isAchieved("achievement");
    (void)account.isAppInstalled(4242);
    // Read twice, the file gives the same account.
    Steam again;
    again.parseStats(fuzz::text(data, size));
    FUZZ_CHECK(again.isAppInstalled(4242) == account.isAppInstalled(4242));
    // What a damaged file leaves is written back whole: the next start reads
    // every line of it and finds nothing to keep or report.
    const std::string written = account.statsText();
    Steam back;
    FUZZ_CHECK(back.parseStats(written) == 0);
    FUZZ_CHECK(back.statsText() == written);
    return 0;
}
