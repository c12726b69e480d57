// The account's "steam_userstats.txt": statistics, achievements and installed
// games; whatever it reads, the queries answer without a fault.
#include "FuzzTarget.h"

#include "platform/Steam.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzz::silenceLog();
    Steam account;
    account.parseStats(fuzz::text(data, size));
    std::int32_t value = 0;
    (void)account.getStat("stat", value);
    (void)account.isAchieved("achievement");
    (void)account.isAppInstalled(4242);
    // Read twice, the file gives the same account.
    Steam again;
    again.parseStats(fuzz::text(data, size));
    FUZZ_CHECK(again.isAppInstalled(4242) == account.isAppInstalled(4242));
    return 0;
}
