// libFuzzer entry for the airplane's network state block: any bytes decode
// without a fault, and whatever is accepted is finite, in range and encodes
// back to a block that decodes again.
#include "net/match/AirplaneStateCodec.h"

#include <array>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    AirplaneNetState state;
    if (!decodeAirplaneState(std::span<const std::uint8_t>(data, size), state))
        return 0;
    const float values[] = {state.position.x, state.position.y, state.position.z, state.speed, state.health,
                            state.throttle,   state.inputs.x,   state.inputs.y,   state.inputs.z};
    for (float v : values)
        if (!std::isfinite(v))
            std::abort();
    const Quat& q = state.orientation;
    if (std::fabs(q.x * q.x + q.y * q.y + q.z * q.z + q.w * q.w - 1.0f) > 1e-3f || state.health < -1.0f ||
        state.health > 1.0f || state.speed < 0.0f || state.flightState < 0 ||
        state.flightState > AirplaneNetState::kMaxFlightState)
        std::abort();
    std::array<std::uint8_t, AirplaneNetState::kSize> again{};
    AirplaneNetState back;
    if (encodeAirplaneState(state, again) != AirplaneNetState::kSize || !decodeAirplaneState(again, back))
        std::abort();
    return 0;
}
