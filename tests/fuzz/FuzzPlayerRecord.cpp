// libFuzzer entry for the network player record: any bytes decode without a
// fault, and whatever is accepted encodes back to a record that decodes to
// the same fields.
#include "modes/PlayerRecord.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    PlayerRecordLimits limits;
    limits.itemCount = 2048;
    limits.isKnownWeapon = [](int id) { return id % 3 != 0; };
    PlayerRecord record;
    if (!decodePlayerRecord(std::span<const std::uint8_t>(data, size), limits, record))
        return 0;
    if (record.entityId < 0 || record.entityId > PlayerRecord::kMaxEntityId || record.mapItem >= 2048 ||
        record.name.size() >= static_cast<std::size_t>(PlayerRecord::kNameUnits))
        std::abort();
    std::array<std::uint8_t, PlayerRecord::kAirplaneSize> again{};
    const int n = encodePlayerRecord(record, again);
    PlayerRecord back;
    if (n == 0 || !decodePlayerRecord(std::span<const std::uint8_t>(again.data(), static_cast<std::size_t>(n)),
                                      limits, back))
        std::abort();
    if (back.entityId != record.entityId || back.kind != record.kind || back.name != record.name ||
        back.weaponIds != record.weaponIds || back.stats != record.stats)
        std::abort();
    return 0;
}
