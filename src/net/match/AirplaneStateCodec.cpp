#include "net/match/AirplaneStateCodec.h"

#include "platform/ByteReader.h"
#include "platform/ByteWriter.h"

#include <algorithm>
#include <cmath>

namespace {
constexpr float kHealthScale = 125.0f;
constexpr float kUnitScale = 127.0f;
constexpr std::size_t kHead = 3;  // the message's type and airplane id

std::int16_t quatWord(float unit) { return static_cast<std::int16_t>(std::clamp(unit, -1.0f, 1.0f) * 32000.0f); }

std::uint8_t packI8(float value, float scale)
{
    const float v = std::isfinite(value) ? std::clamp(value, -1.0f, 1.0f) : 0.0f;
    return static_cast<std::uint8_t>(static_cast<std::int8_t>(v * scale));
}

float unpackI8(std::uint8_t byte, float scale)
{
    return std::clamp(static_cast<float>(static_cast<std::int8_t>(byte)) / scale, -1.0f, 1.0f);
}
}  // namespace

int encodeAirplaneState(const AirplaneNetState& s, std::span<std::uint8_t> out)
{
    constexpr auto size = static_cast<std::size_t>(AirplaneNetState::kSize);
    if (out.size() < size)
        return 0;
    ByteWriter w(out.first(size));
    w.zeros(kHead);
    w.f32(s.position.x);
    w.f32(s.position.y);
    w.f32(s.position.z);
    const Quat q = quatNormalize(s.orientation);
    w.i16(quatWord(q.x));
    w.i16(quatWord(q.y));
    w.i16(quatWord(q.z));
    w.i16(quatWord(q.w));
    w.f32(s.speed);
    w.u8(packI8(s.health, kHealthScale));
    w.u8(packI8(s.throttle, kUnitScale));
    w.u8(packI8(s.inputs.x, kUnitScale));
    w.u8(packI8(s.inputs.y, kUnitScale));
    w.u8(packI8(s.inputs.z, kUnitScale));
    w.u8(static_cast<std::uint8_t>(std::clamp(s.flightState, 0, AirplaneNetState::kMaxFlightState)));
    w.u8(s.flags);
    return w.failed() ? 0 : AirplaneNetState::kSize;
}

bool decodeAirplaneState(std::span<const std::uint8_t> in, AirplaneNetState& out)
{
    if (in.size() < static_cast<std::size_t>(AirplaneNetState::kSize))
        return false;
    ByteReader r(in.subspan(kHead));
    AirplaneNetState s;
    std::int16_t qx = 0, qy = 0, qz = 0, qw = 0;
    std::uint8_t health = 0, throttle = 0, i0 = 0, i1 = 0, i2 = 0, state = 0, flags = 0;
    if (!r.f32(s.position.x) || !r.f32(s.position.y) || !r.f32(s.position.z) || !r.i16(qx) || !r.i16(qy) ||
        !r.i16(qz) || !r.i16(qw) || !r.f32(s.speed) || !r.u8(health) || !r.u8(throttle) || !r.u8(i0) ||
        !r.u8(i1) || !r.u8(i2) || !r.u8(state) || !r.u8(flags))
        return false;
    const Quat q{qx / 32000.0f, qy / 32000.0f, qz / 32000.0f, qw / 32000.0f};
    const float length = std::sqrt(q.x * q.x + q.y * q.y + q.z * q.z + q.w * q.w);
    if (length < 0.5f)
        return false;
    s.orientation = {q.x / length, q.y / length, q.z / length, q.w / length};
    const float limit = AirplaneNetState::kWorldLimit;
    s.position = {std::clamp(s.position.x, -limit, limit), std::clamp(s.position.y, -limit, limit),
                  std::clamp(s.position.z, -limit, limit)};
    s.speed = std::clamp(s.speed, 0.0f, AirplaneNetState::kSpeedLimit);
    s.health = unpackI8(health, kHealthScale);
    s.throttle = unpackI8(throttle, kUnitScale);
    s.inputs = {unpackI8(i0, kUnitScale), unpackI8(i1, kUnitScale), unpackI8(i2, kUnitScale)};
    s.flightState = state <= AirplaneNetState::kMaxFlightState ? state : 0;
    s.flags = flags;
    out = s;
    return true;
}
