#include "net/match/NetMessage.h"

#include "platform/ByteReader.h"
#include "platform/Log.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>

namespace netmsg {
namespace {

// A message the transport would refuse is refused here, where its maker can
// still be named in the log.
bool refuseOverlong(std::size_t length)
{
    if (length <= kMaxMessage)
        return false;
    logWarning("net", "a match message of %zu bytes is longer than the %zu the transport carries: not sent", length,
               kMaxMessage);
    return true;
}

// Little-endian writer over a fixed message; a write past the end marks it bad.
class Writer {
public:
    Writer(std::span<std::uint8_t> out, std::size_t length) : m_out(out), m_length(length)
    {
        m_ok = !refuseOverlong(length) && length <= out.size();
        if (m_ok)
            std::fill_n(out.begin(), length, std::uint8_t{0});
    }
    void u8(std::size_t at, int v)
    {
        if (at < m_length && m_ok)
            m_out[at] = static_cast<std::uint8_t>(v);
        else
            m_ok = false;
    }
    void u16(std::size_t at, int v)
    {
        u8(at, v & 0xFF);
        u8(at + 1, (v >> 8) & 0xFF);
    }
    void u32(std::size_t at, std::uint32_t v)
    {
        for (int i = 0; i < 4; ++i)
            u8(at + static_cast<std::size_t>(i), static_cast<int>((v >> (8 * i)) & 0xFF));
    }
    void f32(std::size_t at, float v) { u32(at, std::bit_cast<std::uint32_t>(v)); }
    void vec(std::size_t at, const Vec3& v)
    {
        f32(at, v.x);
        f32(at + 4, v.y);
        f32(at + 8, v.z);
    }
    void bytes(std::size_t at, std::span<const std::uint8_t> data)
    {
        if (!m_ok || at + data.size() > m_length) {
            m_ok = false;
            return;
        }
        std::copy(data.begin(), data.end(), m_out.begin() + static_cast<std::ptrdiff_t>(at));
    }
    int done() const { return m_ok ? static_cast<int>(m_length) : 0; }

private:
    std::span<std::uint8_t> m_out;
    std::size_t m_length;
    bool m_ok;
};

// Reader at an offset of a message whose length was checked already.
class Reader {
public:
    explicit Reader(std::span<const std::uint8_t> in) : m_in(in) {}
    int u8(std::size_t at) const { return m_in[at]; }
    int u16(std::size_t at) const { return m_in[at] | (m_in[at + 1] << 8); }
    int i16(std::size_t at) const { return static_cast<std::int16_t>(u16(at)); }
    std::uint32_t u32(std::size_t at) const
    {
        return m_in[at] | (m_in[at + 1] << 8) | (m_in[at + 2] << 16) | (static_cast<std::uint32_t>(m_in[at + 3]) << 24);
    }
    // False for NaN and infinity.
    bool f32(std::size_t at, float& out) const
    {
        out = std::bit_cast<float>(u32(at));
        return std::isfinite(out);
    }
    bool vec(std::size_t at, Vec3& out) const { return f32(at, out.x) && f32(at + 4, out.y) && f32(at + 8, out.z); }

private:
    std::span<const std::uint8_t> m_in;
};

bool framed(std::span<const std::uint8_t> in, std::size_t length, std::uint8_t type)
{
    return in.size() == length && in[0] == type;
}

bool tagged(std::span<const std::uint8_t> in, std::size_t at, std::uint32_t tag)
{
    return in.size() >= at + 4 && Reader(in).u32(at) == tag;
}

// A name of 16-bit units, at most `units` - 1 of them, ended by a zero.
void putName(Writer& w, std::size_t at, const std::u16string& name, std::size_t units)
{
    const std::size_t n = std::min(name.size(), units - 1);
    for (std::size_t i = 0; i < n; ++i)
        w.u16(at + 2 * i, name[i]);
}

std::u16string readName(std::span<const std::uint8_t> in, std::size_t at, std::size_t units)
{
    std::u16string name;
    Reader r(in);
    for (std::size_t i = 0; i + 1 < units && at + 2 * i + 1 < in.size(); ++i) {
        const auto unit = static_cast<char16_t>(r.u16(at + 2 * i));
        if (unit == 0)
            break;
        name.push_back(unit);
    }
    return name;
}

void putQuatXyzw(Writer& w, std::size_t at, const Quat& q)
{
    w.u16(at, quatWord(q.x));
    w.u16(at + 2, quatWord(q.y));
    w.u16(at + 4, quatWord(q.z));
    w.u16(at + 6, quatWord(q.w));
}

Quat readQuatXyzw(const Reader& r, std::size_t at)
{
    return Quat{quatComponent(static_cast<std::int16_t>(r.i16(at))), quatComponent(static_cast<std::int16_t>(r.i16(at + 2))),
                quatComponent(static_cast<std::int16_t>(r.i16(at + 4))), quatComponent(static_cast<std::int16_t>(r.i16(at + 6)))};
}

}  // namespace

std::int16_t quatWord(float component)
{
    const float c = std::isfinite(component) ? std::clamp(component, -1.0f, 1.0f) : 0.0f;
    return static_cast<std::int16_t>(c * 32000.0f);
}

float quatComponent(std::int16_t word) { return static_cast<float>(word) * 0.00003125f; }

std::int8_t healthByte(float health)
{
    const float h = std::isfinite(health) ? std::clamp(health, -1.0f, 1.0f) : 0.0f;
    return static_cast<std::int8_t>(h * 125.0f);
}

float healthValue(std::int8_t byte) { return static_cast<float>(byte) * 0.008f; }

// ---- PlayerLeftMsg
int PlayerLeftMsg::encode(std::span<std::uint8_t> out) const
{
    Writer w(out, kSize);
    w.u8(0, PlayerLeft);
    w.u8(1, quiet ? 1 : 0);
    w.u16(2, airplaneId);
    w.u32(4, kPlayerLeftTag);
    return w.done();
}

bool PlayerLeftMsg::decode(std::span<const std::uint8_t> in)
{
    if (!framed(in, kSize, PlayerLeft) || !tagged(in, 4, kPlayerLeftTag))
        return false;
    Reader r(in);
    quiet = (r.u8(1) & 1) != 0;
    airplaneId = r.i16(2);
    return true;
}

// ---- JoinCompleteMsg
int JoinCompleteMsg::encode(std::span<std::uint8_t> out) const
{
    Writer w(out, kSize);
    w.u8(0, JoinComplete);
    w.u8(1, mapIndex);
    w.u8(2, gameType);
    w.u32(3, kJoinCompleteTag);
    w.u8(7, weatherMode);
    w.u32(12, weatherWord);
    w.f32(16, matchValue);
    w.f32(20, sunValue);
    w.u32(24, team2Total);
    w.u32(28, team1Total);
    w.u32(32, respawnDelay);
    w.u8(36, scoreLimit);
    w.u8(37, matchMinutes);
    w.u8(38, playerCount);
    w.u8(39, playerId);
    w.u16(44, airplaneId);
    w.u8(46, teamMatch ? 1 : 0);
    w.f32(47, pointsFactor);
    w.u32(51, optionFlags);
    putName(w, 55, gameName, 32);
    for (std::size_t i = 0; i < 4; ++i)
        w.u32(119 + 4 * i, setupValues[i]);
    return w.done();
}

bool JoinCompleteMsg::decode(std::span<const std::uint8_t> in)
{
    // Read into a copy: a refused message leaves this one as it was.
    JoinCompleteMsg d;
    if (!framed(in, kSize, JoinComplete) || !tagged(in, 3, kJoinCompleteTag))
        return false;
    Reader r(in);
    if (!r.f32(16, d.matchValue) || !r.f32(20, d.sunValue) || !r.f32(47, d.pointsFactor))
        return false;
    d.mapIndex = r.u8(1);
    d.gameType = r.u8(2);
    d.weatherMode = static_cast<std::int8_t>(r.u8(7));
    d.weatherWord = r.u32(12);
    d.team2Total = r.u32(24);
    d.team1Total = r.u32(28);
    d.respawnDelay = r.u32(32);
    d.scoreLimit = r.u8(36);
    d.matchMinutes = r.u8(37);
    d.playerCount = r.u8(38);
    d.playerId = r.u8(39);
    d.airplaneId = r.u16(44);
    d.teamMatch = r.u8(46) != 0;
    d.optionFlags = r.u32(51);
    d.gameName = readName(in, 55, 32);
    for (std::size_t i = 0; i < 4; ++i)
        d.setupValues[i] = r.u32(119 + 4 * i);
    *this = std::move(d);
    return true;
}

// ---- AirplaneStateMsg
bool AirplaneStateMsg::frame(std::span<std::uint8_t> block, int airplaneId)
{
    if (block.size() < kMinSize || refuseOverlong(block.size()))
        return false;
    block[0] = AirplaneState;
    block[1] = static_cast<std::uint8_t>(airplaneId & 0xFF);
    block[2] = static_cast<std::uint8_t>((airplaneId >> 8) & 0xFF);
    return true;
}

bool AirplaneStateMsg::peekId(std::span<const std::uint8_t> in, int& airplaneId)
{
    if (in.size() < kMinSize || in.size() > kMaxMessage || in[0] != AirplaneState)
        return false;
    airplaneId = Reader(in).u16(1);
    return true;
}

// ---- HealthMsg
int HealthMsg::encode(std::span<std::uint8_t> out) const
{
    Writer w(out, kSize);
    w.u8(0, Health);
    w.u8(1, static_cast<std::uint8_t>(healthByte(health)));
    return w.done();
}

bool HealthMsg::decode(std::span<const std::uint8_t> in)
{
    if (!framed(in, kSize, Health))
        return false;
    health = healthValue(static_cast<std::int8_t>(in[1]));
    return true;
}

// ---- WelcomeMsg
int WelcomeMsg::encode(std::span<std::uint8_t> out) const
{
    Writer w(out, kSize);
    w.u8(0, Welcome);
    w.u32(1, kWelcomeTag);
    w.u32(5, weatherWord);
    return w.done();
}

bool WelcomeMsg::decode(std::span<const std::uint8_t> in)
{
    if (!framed(in, kSize, Welcome) || !tagged(in, 1, kWelcomeTag))
        return false;
    weatherWord = Reader(in).u32(5);
    return true;
}

// ---- ChatMsg
namespace {
int encodeChat(std::span<std::uint8_t> out, const std::u16string& text, bool relayed, std::uint32_t sender)
{
    const std::size_t head = relayed ? 5 : 1;
    const std::size_t length = head + 2 * text.size() + 2;
    if (refuseOverlong(length))
        return 0;
    Writer w(out, length);
    w.u8(0, Chat);
    if (relayed)
        w.u32(1, sender);
    for (std::size_t i = 0; i < text.size(); ++i)
        w.u16(head + 2 * i, text[i]);
    return w.done();
}

bool decodeChat(std::span<const std::uint8_t> in, std::size_t head, std::u16string& text)
{
    if (in.size() < head || in.size() > kMaxMessage || in[0] != Chat)
        return false;
    // An unterminated or odd-length text ends at the message end.
    text = readName(in, head, (in.size() - head) / 2 + 1);
    return true;
}
}  // namespace

int ChatMsg::encodeClient(std::span<std::uint8_t> out) const { return encodeChat(out, text, false, 0); }
int ChatMsg::encodeRelayed(std::span<std::uint8_t> out) const { return encodeChat(out, text, true, senderId); }
bool ChatMsg::decodeClient(std::span<const std::uint8_t> in) { return decodeChat(in, 1, text); }

bool ChatMsg::decodeRelayed(std::span<const std::uint8_t> in)
{
    if (!decodeChat(in, 5, text))
        return false;
    senderId = Reader(in).u32(1);
    return true;
}

// ---- AirplaneDestroyedMsg
int AirplaneDestroyedMsg::encode(std::span<std::uint8_t> out) const
{
    Writer w(out, kSize);
    w.u8(0, AirplaneDestroyed);
    w.u8(1, kind);
    w.u8(2, flags);
    w.u32(3, kDestroyedTag);
    w.u16(7, victimId);
    w.u16(9, killerId);
    w.f32(11, respawnTime);
    w.vec(15, position);
    putQuatXyzw(w, 27, orientation);
    return w.done();
}

bool AirplaneDestroyedMsg::decode(std::span<const std::uint8_t> in)
{
    // Read into a copy: a refused message leaves this one as it was.
    AirplaneDestroyedMsg d;
    if (!framed(in, kSize, AirplaneDestroyed) || !tagged(in, 3, kDestroyedTag))
        return false;
    Reader r(in);
    if (!r.f32(11, d.respawnTime) || !r.vec(15, d.position))
        return false;
    d.kind = r.u8(1);
    d.flags = r.u8(2);
    d.victimId = r.i16(7);
    d.killerId = r.i16(9);
    d.orientation = readQuatXyzw(r, 27);
    *this = std::move(d);
    return true;
}

// ---- WeaponLaunchMsg
int WeaponLaunchMsg::encodeClient(std::span<std::uint8_t> out) const
{
    Writer w(out, kClientSize);
    w.u8(0, WeaponLaunch);
    w.u8(1, weaponId);
    w.u16(2, targetId);
    w.u8(4, last);
    return w.done();
}

int WeaponLaunchMsg::encodeHost(std::span<std::uint8_t> out) const
{
    Writer w(out, kHostSize);
    w.u8(0, WeaponLaunch);
    w.u8(1, weaponId);
    w.u16(2, ownerId);
    w.u16(4, targetId);
    w.u8(6, last);
    return w.done();
}

bool WeaponLaunchMsg::decodeClient(std::span<const std::uint8_t> in)
{
    if (!framed(in, kClientSize, WeaponLaunch))
        return false;
    Reader r(in);
    weaponId = r.u8(1);
    ownerId = -1;
    targetId = r.i16(2);
    last = r.u8(4);
    return true;
}

bool WeaponLaunchMsg::decodeHost(std::span<const std::uint8_t> in)
{
    if (!framed(in, kHostSize, WeaponLaunch))
        return false;
    Reader r(in);
    weaponId = r.u8(1);
    ownerId = r.i16(2);
    targetId = r.i16(4);
    last = r.u8(6);
    return true;
}

// ---- FlaresMsg
int FlaresMsg::encodeClient(std::span<std::uint8_t> out) const
{
    Writer w(out, 1);
    w.u8(0, Flares);
    return w.done();
}

int FlaresMsg::encodeHost(std::span<std::uint8_t> out) const
{
    Writer w(out, 3);
    w.u8(0, Flares);
    w.u16(1, airplaneId);
    return w.done();
}

bool FlaresMsg::decodeClient(std::span<const std::uint8_t> in) { return framed(in, 1, Flares); }

bool FlaresMsg::decodeHost(std::span<const std::uint8_t> in)
{
    if (!framed(in, 3, Flares))
        return false;
    airplaneId = Reader(in).i16(1);
    return true;
}

// ---- WeatherMsg
int WeatherMsg::encode(std::span<std::uint8_t> out) const
{
    Writer w(out, kSize);
    w.u8(0, Weather);
    w.u8(1, mode);
    return w.done();
}

bool WeatherMsg::decode(std::span<const std::uint8_t> in)
{
    if (!framed(in, kSize, Weather) || in[1] >= kModes)
        return false;
    mode = in[1];
    return true;
}

// ---- EjectMsg
int EjectMsg::encodeClient(std::span<std::uint8_t> out) const
{
    Writer w(out, 5);
    w.u8(0, Eject);
    w.u32(1, kEjectTag);
    return w.done();
}

int EjectMsg::encodeHost(std::span<std::uint8_t> out) const
{
    Writer w(out, 7);
    w.u8(0, Eject);
    w.u16(1, airplaneId);
    w.u32(3, kEjectTag);
    return w.done();
}

bool EjectMsg::decodeClient(std::span<const std::uint8_t> in)
{
    return framed(in, 5, Eject) && tagged(in, 1, kEjectTag);
}

bool EjectMsg::decodeHost(std::span<const std::uint8_t> in)
{
    if (!framed(in, 7, Eject) || !tagged(in, 3, kEjectTag))
        return false;
    airplaneId = Reader(in).i16(1);
    return true;
}

// ---- ReadyMsg
int ReadyMsg::encode(std::span<std::uint8_t> out) const
{
    Writer w(out, kSize);
    w.u8(0, Ready);
    w.u32(1, kReadyTag);
    return w.done();
}

bool ReadyMsg::decode(std::span<const std::uint8_t> in) { return framed(in, kSize, Ready) && tagged(in, 1, kReadyTag); }

// ---- TeamSwitchMsg
int TeamSwitchMsg::encode(std::span<std::uint8_t> out) const
{
    Writer w(out, kSize);
    w.u8(0, TeamSwitch);
    w.u32(1, kTeamSwitchTag);
    w.u16(5, airplaneId);
    w.u8(7, team);
    w.f32(8, value);
    w.vec(12, position);
    putQuatXyzw(w, 24, orientation);
    return w.done();
}

bool TeamSwitchMsg::decode(std::span<const std::uint8_t> in)
{
    // Read into a copy: a refused message leaves this one as it was.
    TeamSwitchMsg d;
    if (!framed(in, kSize, TeamSwitch) || !tagged(in, 1, kTeamSwitchTag))
        return false;
    Reader r(in);
    d.team = r.u8(7);
    if ((d.team != 0 && d.team != 1 && d.team != 255) || !r.f32(8, d.value) || !r.vec(12, d.position))
        return false;
    d.airplaneId = r.i16(5);
    d.orientation = readQuatXyzw(r, 24);
    *this = std::move(d);
    return true;
}

// ---- TeamRequestMsg
int TeamRequestMsg::encode(std::span<std::uint8_t> out) const
{
    Writer w(out, kSize);
    w.u8(0, TeamRequest);
    w.u32(1, kTeamRequestTag);
    w.u8(5, value);
    return w.done();
}

bool TeamRequestMsg::decode(std::span<const std::uint8_t> in)
{
    if (!framed(in, kSize, TeamRequest) || !tagged(in, 1, kTeamRequestTag))
        return false;
    value = in[5];
    return true;
}

// ---- FlagEventMsg
int FlagEventMsg::encode(std::span<std::uint8_t> out) const
{
    Writer w(out, kSize);
    w.u8(0, FlagEvent);
    w.u8(1, event);
    w.u16(2, flagId);
    w.u32(4, kFlagEventTag);
    w.u16(8, playerId);
    return w.done();
}

bool FlagEventMsg::decode(std::span<const std::uint8_t> in)
{
    if (!framed(in, kSize, FlagEvent) || !tagged(in, 4, kFlagEventTag) || in[1] > 3)
        return false;
    Reader r(in);
    event = r.u8(1);
    flagId = r.i16(2);
    playerId = r.i16(8);
    return true;
}

// ---- RecordMsg
void RecordMsg::frame(std::span<std::uint8_t> message, std::uint8_t type, bool quiet, int ownerId)
{
    if (message.size() < kMinSize)
        return;
    message[0] = type;
    message[1] = static_cast<std::uint8_t>((message[1] & ~1u) | (quiet ? 1u : 0u));
    message[3] = static_cast<std::uint8_t>(ownerId);
    const std::uint32_t tag = type == EntityRecord ? kEntityRecordTag : kPlayerInfoTag;
    for (int i = 0; i < 4; ++i)
        message[static_cast<std::size_t>(10 + i)] = static_cast<std::uint8_t>((tag >> (8 * i)) & 0xFF);
}

bool RecordMsg::decode(std::span<const std::uint8_t> in, std::uint8_t type, int& ownerId, bool& quiet,
                       std::vector<std::uint8_t>& record)
{
    const std::uint32_t tag = type == EntityRecord ? kEntityRecordTag : kPlayerInfoTag;
    if (in.size() < kMinSize || in.size() > kMaxMessage || in[0] != type || !tagged(in, 10, tag))
        return false;
    ownerId = in[3];
    quiet = (in[1] & 1) != 0;
    record.assign(in.begin(), in.end());
    record[0] = 0;
    record[1] = static_cast<std::uint8_t>(record[1] & ~1u);
    record[3] = 0;
    std::fill_n(record.begin() + 10, 4, std::uint8_t{0});
    return true;
}

// ---- JoinEndMsg
int JoinEndMsg::encode(std::span<std::uint8_t> out) const
{
    Writer w(out, kSize);
    w.u8(0, JoinEnd);
    w.u16(1, playerId);
    return w.done();
}

bool JoinEndMsg::decode(std::span<const std::uint8_t> in)
{
    if (!framed(in, kSize, JoinEnd))
        return false;
    playerId = Reader(in).u16(1);
    return true;
}

// ---- RespawnMsg
int RespawnMsg::encode(std::span<std::uint8_t> out) const
{
    Writer w(out, kSize);
    w.u8(0, Respawn);
    w.u16(1, quatWord(orientation.x));
    w.u16(3, quatWord(orientation.y));
    w.u16(5, quatWord(orientation.z));
    w.u32(7, kRespawnTag);
    w.u16(11, airplaneId);
    w.f32(13, value);
    w.vec(17, position);
    w.u16(29, quatWord(orientation.w));
    return w.done();
}

bool RespawnMsg::decode(std::span<const std::uint8_t> in)
{
    // Read into a copy: a refused message leaves this one as it was.
    RespawnMsg d;
    if (!framed(in, kSize, Respawn) || !tagged(in, 7, kRespawnTag))
        return false;
    Reader r(in);
    if (!r.f32(13, d.value) || !r.vec(17, d.position))
        return false;
    d.airplaneId = r.i16(11);
    d.orientation = Quat{quatComponent(static_cast<std::int16_t>(r.i16(1))), quatComponent(static_cast<std::int16_t>(r.i16(3))),
                       quatComponent(static_cast<std::int16_t>(r.i16(5))), quatComponent(static_cast<std::int16_t>(r.i16(29)))};
    *this = std::move(d);
    return true;
}

// ---- TakeOutMsg
int TakeOutMsg::encode(std::span<std::uint8_t> out) const
{
    Writer w(out, kSize);
    w.u8(0, TakeOut);
    w.u32(1, kTakeOutTag);
    w.u16(5, airplaneId);
    return w.done();
}

bool TakeOutMsg::decode(std::span<const std::uint8_t> in)
{
    if (!framed(in, kSize, TakeOut) || !tagged(in, 1, kTakeOutTag))
        return false;
    airplaneId = Reader(in).i16(5);
    return true;
}

// ---- ModeValueMsg
int ModeValueMsg::encode(std::span<std::uint8_t> out) const
{
    Writer w(out, kSize);
    w.u8(0, ModeValue);
    w.u16(1, index);
    w.u32(3, kModeValueTag);
    w.f32(7, value);
    return w.done();
}

bool ModeValueMsg::decode(std::span<const std::uint8_t> in)
{
    // Read into a copy: a refused message leaves this one as it was.
    ModeValueMsg d;
    if (!framed(in, kSize, ModeValue) || !tagged(in, 3, kModeValueTag))
        return false;
    Reader r(in);
    d.index = r.i16(1);
    if (!r.f32(7, d.value))
        return false;
    *this = d;
    return true;
}

// ---- ServerDataMsg
int ServerDataMsg::encode(std::span<std::uint8_t> out) const
{
    if (data.empty())
        return 0;
    Writer w(out, data.size() + 5);
    w.u8(0, ServerData);
    w.u32(1, kServerDataTag);
    w.bytes(5, data);
    return w.done();
}

bool ServerDataMsg::decode(std::span<const std::uint8_t> in)
{
    if (in.size() < 6 || in.size() > kMaxMessage || in[0] != ServerData || !tagged(in, 1, kServerDataTag))
        return false;
    data.assign(in.begin() + 5, in.end());
    return true;
}

// ---- MatchEndMsg
int MatchEndMsg::encode(std::span<std::uint8_t> out) const
{
    Writer w(out, data.size() + 9);
    w.u8(0, MatchEnd);
    w.u32(1, kMatchEndTag);
    w.bytes(5, data);
    w.f32(5 + data.size(), countdown);
    return w.done();
}

bool MatchEndMsg::decode(std::span<const std::uint8_t> in)
{
    if (in.size() < 9 || in.size() > kMaxMessage || in[0] != MatchEnd || !tagged(in, 1, kMatchEndTag))
        return false;
    tail.assign(in.begin() + 5, in.end());
    return true;
}

// ---- RestartMsg
int RestartMsg::encode(std::span<std::uint8_t> out) const
{
    Writer w(out, kSize);
    w.u8(0, Restart);
    w.u32(1, kRestartTag);
    return w.done();
}

bool RestartMsg::decode(std::span<const std::uint8_t> in)
{
    return framed(in, kSize, Restart) && tagged(in, 1, kRestartTag);
}

// ---- RelayMsg
int RelayMsg::encode(std::span<std::uint8_t> out) const
{
    Writer w(out, payload.size() + kHead);
    w.u8(0, Relay);
    w.u16(4, static_cast<int>(payload.size()));
    w.bytes(kHead, payload);
    return w.done();
}

bool RelayMsg::decode(std::span<const std::uint8_t> in)
{
    if (in.size() < kHead || in.size() > kMaxMessage || in[0] != Relay)
        return false;
    const auto n = static_cast<std::size_t>(Reader(in).u16(4));
    if (n + kHead != in.size())
        return false;
    payload.assign(in.begin() + kHead, in.end());
    return true;
}

// ---- TeamFlagMsg
int TeamFlagMsg::encode(std::span<std::uint8_t> out) const
{
    Writer w(out, kSize);
    w.u8(0, TeamFlag);
    w.u32(1, kTeamFlagTag);
    w.u8(5, teamMatch ? 1 : 0);
    return w.done();
}

bool TeamFlagMsg::decode(std::span<const std::uint8_t> in)
{
    if (!framed(in, kSize, TeamFlag) || !tagged(in, 1, kTeamFlagTag))
        return false;
    teamMatch = (in[5] & 1) != 0;
    return true;
}

// ---- ScoreEventMsg
int ScoreEventMsg::encode(std::span<std::uint8_t> out) const
{
    const std::size_t length = kind == 0 ? 44 : kind == 1 ? 12 : 8;
    Writer w(out, length);
    w.u8(0, ScoreEvent);
    w.u32(1, kScoreEventTag);
    w.u16(5, airplaneId);
    w.u8(7, kind);
    if (kind == 0)
        for (std::size_t i = 0; i < record.size(); ++i)
            w.u32(8 + 4 * i, static_cast<std::uint32_t>(record[i]));
    else if (kind == 1)
        w.u32(8, static_cast<std::uint32_t>(record[1]));
    return w.done();
}

bool ScoreEventMsg::decode(std::span<const std::uint8_t> in)
{
    if (in.size() < 8 || in[0] != ScoreEvent || !tagged(in, 1, kScoreEventTag))
        return false;
    Reader r(in);
    const int k = r.u8(7);
    const std::size_t length = k == 0 ? 44 : k == 1 ? 12 : 8;
    if (in.size() != length)
        return false;
    kind = k;
    airplaneId = r.i16(5);
    record.fill(0);
    if (k == 0)
        for (std::size_t i = 0; i < record.size(); ++i)
            record[i] = static_cast<std::int32_t>(r.u32(8 + 4 * i));
    else if (k == 1)
        record[1] = static_cast<std::int32_t>(r.u32(8));
    return true;
}

// ---- WeaponHitMsg
int WeaponHitMsg::encode(std::span<std::uint8_t> out) const
{
    Writer w(out, kSize);
    w.u8(0, WeaponHit);
    w.u8(1, weaponId);
    w.u16(2, victimId);
    w.u16(4, attackerId);
    return w.done();
}

bool WeaponHitMsg::decode(std::span<const std::uint8_t> in)
{
    if (!framed(in, kSize, WeaponHit))
        return false;
    Reader r(in);
    weaponId = r.u8(1);
    victimId = r.u16(2);
    attackerId = r.u16(4);
    return true;
}

// ---- AirplaneStateChangeMsg
int AirplaneStateChangeMsg::encode(std::span<std::uint8_t> out) const
{
    Writer w(out, kSize);
    w.u8(0, AirplaneStateChange);
    w.u8(1, a);
    w.u8(2, b);
    w.u32(3, kStateChangeTag);
    w.u8(7, state);
    w.u16(8, airplaneId);
    w.u16(10, otherId);
    return w.done();
}

bool AirplaneStateChangeMsg::decode(std::span<const std::uint8_t> in)
{
    if (!framed(in, kSize, AirplaneStateChange) || !tagged(in, 3, kStateChangeTag))
        return false;
    Reader r(in);
    a = r.u8(1);
    b = r.u8(2);
    state = r.u8(7);
    airplaneId = r.i16(8);
    otherId = r.i16(10);
    return true;
}

// ---- FlightStateMsg
int FlightStateMsg::encode(std::span<std::uint8_t> out) const
{
    Writer w(out, kSize);
    w.u8(0, FlightState);
    w.u16(1, airplaneId);
    w.u8(3, state);
    w.f32(4, time);
    return w.done();
}

bool FlightStateMsg::decode(std::span<const std::uint8_t> in)
{
    // Read into a copy: a refused message leaves this one as it was.
    FlightStateMsg d;
    if (!framed(in, kSize, FlightState) || in[3] > kMaxState)
        return false;
    Reader r(in);
    d.airplaneId = r.i16(1);
    d.state = r.u8(3);
    if (!r.f32(4, d.time))
        return false;
    *this = d;
    return true;
}

}  // namespace netmsg
