// "tq2_settings.bin": whatever blocks read in, the record encodes to a file
// that decodes whole and encodes to the same bytes again.
#include "FuzzTarget.h"

#include "platform/Settings.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzz::silenceLog();
    Settings settings;
    (void)settings.decode(fuzz::bytes(data, size));
    settings.sanitize();
    const std::vector<std::uint8_t> written = settings.encode();
    Settings back;
    FUZZ_CHECK(back.decode(written) == 2);
    FUZZ_CHECK(back.encode() == written);
    return 0;
}
