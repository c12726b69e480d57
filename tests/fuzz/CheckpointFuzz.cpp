// libFuzzer entry for the checkpoint reader: any bytes decode or are refused
// without a fault; what decodes encodes back to the same bytes.
#include "gamedata/MissionSave.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#ifndef SKYFRONT_FUZZ_ENTRY
#define SKYFRONT_FUZZ_ENTRY LLVMFuzzerTestOneInput
#endif

extern "C" int SKYFRONT_FUZZ_ENTRY(const std::uint8_t* data, std::size_t size)
{
    const std::optional<CheckpointData> decoded = MissionSave::decode({data, size});
    if (!decoded)
        return 0;
    // Orientation is renormalised on read, so compare the re-read instead of the bytes.
    const std::vector<std::uint8_t> again = MissionSave::encode(*decoded);
    const std::optional<CheckpointData> twice = MissionSave::decode(again);
    if (!twice || twice->objects != decoded->objects || twice->triggers != decoded->triggers ||
        twice->key != decoded->key || twice->music != decoded->music)
        std::abort();
    return 0;
}
