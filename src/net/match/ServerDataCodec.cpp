#include "net/match/ServerDataCodec.h"

#include "net/match/NetMessage.h"
#include "platform/ByteReader.h"
#include "platform/ByteWriter.h"

#include <bit>
#include <cmath>

namespace {
// A time in seconds the kinds read as 0 when it is not a number, held to
// what a match can mean (elapsed time and count-downs turn into whole seconds).
bool readFloat(ByteReader& r, float& v, float notANumber = 0.0f, float lowest = -netmsg::kMaxCountdown,
               float highest = netmsg::kMaxCountdown)
{
    std::uint32_t raw = 0;
    if (!r.u32(raw))
        return false;
    v = std::bit_cast<float>(raw);
    v = std::isfinite(v) ? netmsg::peerSeconds(v, lowest, highest) : notANumber;
    return true;
}
}  // namespace

int serverDataSize(ServerData::Layout layout)
{
    switch (layout) {
    case ServerData::Layout::Time: return 4;
    case ServerData::Layout::Flags: return 9;
    case ServerData::Layout::Rounds: return 8;
    case ServerData::Layout::LastStand: return 13;
    case ServerData::Layout::Waves: return 10;
    default: return 0;
    }
}

int encodeServerData(const ServerData& data, std::span<std::uint8_t> out)
{
    const auto size = static_cast<std::size_t>(serverDataSize(data.layout));
    if (size == 0 || out.size() < size)
        return 0;
    ByteWriter w(out.first(size));
    w.f32(data.elapsed);
    switch (data.layout) {
    case ServerData::Layout::Flags:
        w.u16(static_cast<std::uint16_t>(data.carriers[0]));
        w.u16(static_cast<std::uint16_t>(data.carriers[1]));
        w.u8(data.flagsHome);
        break;
    case ServerData::Layout::Rounds: w.f32(data.timer); break;
    case ServerData::Layout::LastStand:
        w.f32(data.timer);
        w.u8(data.playStopped ? 1 : 0);
        w.f32(data.restartCountdown);
        break;
    case ServerData::Layout::Waves:
        w.f32(data.timer);
        w.i16(static_cast<std::int16_t>(data.wave));
        break;
    default: break;
    }
    return w.failed() || w.size() != size ? 0 : static_cast<int>(size);
}

int decodeServerData(std::span<const std::uint8_t> in, ServerData::Layout layout, ServerData& out)
{
    const auto size = static_cast<std::size_t>(serverDataSize(layout));
    if (size == 0 || in.size() < size)
        return 0;
    ByteReader r(in.first(size));
    ServerData d;
    d.layout = layout;
    // The time layout's clients skip a time that is not a number; the kinds take it as 0.
    const bool ok =
        readFloat(r, d.elapsed, layout == ServerData::Layout::Time ? -1.0f : 0.0f, -1.0f, netmsg::kMaxElapsed);
    std::uint16_t c0 = 0, c1 = 0;
    std::uint8_t stopped = 0;
    std::int16_t wave = 0;
    switch (layout) {
    case ServerData::Layout::Flags:
        if (!r.u16(c0) || !r.u16(c1) || !r.u8(d.flagsHome))
            return 0;
        d.carriers = {c0, c1};
        break;
    case ServerData::Layout::Rounds:
        if (!readFloat(r, d.timer))
            return 0;
        break;
    case ServerData::Layout::LastStand:
        if (!readFloat(r, d.timer) || !r.u8(stopped) || !readFloat(r, d.restartCountdown))
            return 0;
        d.playStopped = stopped != 0;
        break;
    case ServerData::Layout::Waves:
        if (!readFloat(r, d.timer) || !r.i16(wave))
            return 0;
        d.wave = wave;
        break;
    default: break;
    }
    if (!ok || !r.atEnd())
        return 0;
    out = d;
    return static_cast<int>(size);
}
