// libFuzzer entry for the join request a client sends the host: any bytes
// decode without a fault, and whatever is accepted encodes back to a request
// that decodes to the same fields.
#include "net/match/PlayerRecordCodec.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    PlayerRecordLimits limits;
    limits.isKnownWeapon = [](int id) { return id % 3 != 0; };
    JoinRequest request;
    if (!decodeJoinRequest(std::span<const std::uint8_t>(data, size), limits, request))
        return 0;
    if (request.rank > 17 || request.name.size() >= static_cast<std::size_t>(PlayerRecord::kNameUnits))
        std::abort();
    std::array<std::uint8_t, JoinRequest::kSize> again{};
    JoinRequest back;
    if (encodeJoinRequest(request, again) != JoinRequest::kSize || !decodeJoinRequest(again, limits, back))
        std::abort();
    if (back.name != request.name || back.loadout != request.loadout || back.playerWords != request.playerWords)
        std::abort();
    return 0;
}
