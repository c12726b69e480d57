#include "entities/aircraft/AirplaneState.h"

#include "platform/ByteReader.h"

#include <algorithm>
#include <bit>
#include <cmath>

namespace {
void putF32(std::uint8_t* p, float v)
{
    const std::uint32_t raw = std::bit_cast<std::uint32_t>(v);
    p[0] = static_cast<std::uint8_t>(raw);
    p[1] = static_cast<std::uint8_t>(raw >> 8);
    p[2] = static_cast<std::uint8_t>(raw >> 16);
    p[3] = static_cast<std::uint8_t>(raw >> 24);
}

void putI16(std::uint8_t* p, float unit)
{
    const auto v = static_cast<std::int16_t>(std::clamp(unit, -1.0f, 1.0f) * 32000.0f);
    p[0] = static_cast<std::uint8_t>(v & 0xff);
    p[1] = static_cast<std::uint8_t>((static_cast<std::uint16_t>(v) >> 8) & 0xff);
}

std::uint8_t packI8(float value, float scale)
{
    const float v = std::isfinite(value) ? std::clamp(value, -1.0f, 1.0f) : 0.0f;
    return static_cast<std::uint8_t>(static_cast<std::int8_t>(v * scale));
}

float unpackI8(std::uint8_t byte, float scale) { return static_cast<float>(static_cast<std::int8_t>(byte)) / scale; }

constexpr float kHealthScale = 125.0f;
constexpr float kUnitScale = 127.0f;
}  // namespace

int encodeAirplaneState(const AirplaneNetState& s, std::span<std::uint8_t> out)
{
    if (out.size() < static_cast<std::size_t>(AirplaneNetState::kSize))
        return 0;
    std::uint8_t* p = out.data();
    p[0] = p[1] = p[2] = 0;
    putF32(p + 3, s.position.x);
    putF32(p + 7, s.position.y);
    putF32(p + 11, s.position.z);
    const Quat q = quatNormalize(s.orientation);
    putI16(p + 15, q.x);
    putI16(p + 17, q.y);
    putI16(p + 19, q.z);
    putI16(p + 21, q.w);
    putF32(p + 23, s.speed);
    p[27] = packI8(s.health, kHealthScale);
    p[28] = packI8(s.throttle, kUnitScale);
    p[29] = packI8(s.inputs.x, kUnitScale);
    p[30] = packI8(s.inputs.y, kUnitScale);
    p[31] = packI8(s.inputs.z, kUnitScale);
    p[32] = static_cast<std::uint8_t>(std::clamp(s.flightState, 0, AirplaneNetState::kMaxFlightState));
    p[33] = s.flags;
    return AirplaneNetState::kSize;
}

bool decodeAirplaneState(std::span<const std::uint8_t> in, AirplaneNetState& out)
{
    if (in.size() < static_cast<std::size_t>(AirplaneNetState::kSize))
        return false;
    ByteReader r(in.subspan(3));
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
    s.health = std::clamp(unpackI8(health, kHealthScale), -1.0f, 1.0f);
    s.throttle = std::clamp(unpackI8(throttle, kUnitScale), -1.0f, 1.0f);
    s.inputs = {std::clamp(unpackI8(i0, kUnitScale), -1.0f, 1.0f), std::clamp(unpackI8(i1, kUnitScale), -1.0f, 1.0f),
                std::clamp(unpackI8(i2, kUnitScale), -1.0f, 1.0f)};
    s.flightState = state <= AirplaneNetState::kMaxFlightState ? state : 0;
    s.flags = flags;
    out = s;
    return true;
}
