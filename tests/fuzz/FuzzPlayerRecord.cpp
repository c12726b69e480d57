// libFuzzer entry for the network player record: any bytes decode without a
// fault, a decoded record never carries role 0 (that would make a foreign
// airplane local), and whatever is accepted encodes back to a record that
// decodes to the same fields.
#include "net/match/PlayerRecordCodec.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    PlayerRecordLimits limits;
    limits.itemCount = 2048;
    limits.objectCount = 512;
    limits.isKnownWeapon = [](int id) { return id % 3 != 0; };
    PlayerRecord record;
    if (!decodePlayerRecord(std::span<const std::uint8_t>(data, size), limits, record))
        return 0;
    if (record.role < 1 || record.role > 2)
        std::abort();
    // Flags and bases carry their own u16 id and map object index; the mode checks them.
    const bool flagOrBase = record.extra != PlayerRecord::Extra::None;
    if (!flagOrBase && (record.entityId < 0 || record.entityId > PlayerRecord::kMaxEntityId || record.mapItem >= 2048))
        std::abort();
    if (record.name.size() >= static_cast<std::size_t>(PlayerRecord::kNameUnits))
        std::abort();
    std::array<std::uint8_t, PlayerRecord::kAirplaneSize> again{};
    const int n = encodePlayerRecord(record, again);
    PlayerRecord back;
    if (n == 0 || !decodePlayerRecord(std::span<const std::uint8_t>(again.data(), static_cast<std::size_t>(n)),
                                      limits, back))
        std::abort();
    if (back.entityId != record.entityId || back.kind != record.kind || back.name != record.name ||
        back.weaponIds != record.weaponIds || back.stats != record.stats || back.role != record.role ||
        back.extra != record.extra || back.hasStateBlock != record.hasStateBlock)
        std::abort();
    return 0;
}
