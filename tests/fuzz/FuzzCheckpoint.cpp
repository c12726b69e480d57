// The mission checkpoint reader: any bytes decode or are refused without a
// fault, and what decodes encodes back to a file that reads the same. Each
// input is also fed with its checksum (and then its size field) made right, so
// the fuzzer reaches the fields behind those checks.
#include "FuzzTarget.h"

#include "gamedata/MissionSave.h"
#include "support/Crc32.h"

#include <cmath>
#include <vector>

namespace {
void check(std::span<const std::uint8_t> bytes)
{
    const std::optional<CheckpointData> decoded = MissionSave::decode(bytes);
    if (!decoded)
        return;
    const Quat& q = decoded->player.orientation;
    FUZZ_CHECK(std::fabs(q.x * q.x + q.y * q.y + q.z * q.z + q.w * q.w - 1.0f) < 1e-4f);
    // The orientation is renormalised on reading, so the second read is compared, not the bytes.
    const std::optional<CheckpointData> again = MissionSave::decode(MissionSave::encode(*decoded));
    FUZZ_CHECK(again);
    FUZZ_CHECK(again->key == decoded->key);
    FUZZ_CHECK(again->objects == decoded->objects);
    FUZZ_CHECK(again->triggers == decoded->triggers);
    FUZZ_CHECK(again->music == decoded->music && again->countdownLabel == decoded->countdownLabel);
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzz::silenceLog();
    check({data, size});
    if (size < 16)
        return 0;
    std::vector<std::uint8_t> sealed(data, data + size);
    sealTestCrc32(sealed);
    check(sealed);
    const auto length = static_cast<std::uint32_t>(size);
    for (int i = 0; i < 4; ++i)
        sealed[8 + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(length >> (8 * i));
    sealTestCrc32(sealed);
    check(sealed);
    return 0;
}
