// The mission checkpoint reader: any bytes decode or are refused without a
// fault, and what decodes encodes back to a file that reads the same.
#include "FuzzTarget.h"

#include "gamedata/MissionSave.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::optional<CheckpointData> decoded = MissionSave::decode({data, size});
    if (!decoded)
        return 0;
    // The orientation is renormalised on reading, so the second read is compared, not the bytes.
    const std::optional<CheckpointData> again = MissionSave::decode(MissionSave::encode(*decoded));
    FUZZ_CHECK(again);
    FUZZ_CHECK(again->key == decoded->key);
    FUZZ_CHECK(again->objects == decoded->objects);
    FUZZ_CHECK(again->triggers == decoded->triggers);
    FUZZ_CHECK(again->music == decoded->music && again->countdownLabel == decoded->countdownLabel);
    return 0;
}
