#include "net/match/NetMessage.h"

#include "platform/ByteReader.h"
#include "platform/ByteWriter.h"
#include "platform/Log.h"

#include <algorithm>
#include <bit>
#include <cmath>

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

// A writer over exactly the message's bytes; one that fails at its first
// write when the message does not fit `out` or the transport.
ByteWriter writerFor(std::span<std::uint8_t> out, std::size_t length)
{
    if (refuseOverlong(length) || length > out.size())
        return ByteWriter(std::span<std::uint8_t>{});
    return ByteWriter(out.first(length));
}

int finish(const ByteWriter& w, std::size_t length)
{
    return !w.failed() && w.size() == length ? static_cast<int>(length) : 0;
}

bool framed(std::span<const std::uint8_t> in, std::size_t length, std::uint8_t type)
{
    return in.size() == length && in[0] == type;
}

// A reader past the type byte.
ByteReader body(std::span<const std::uint8_t> in) { return ByteReader(in.subspan(1)); }

bool tag(ByteReader& r, std::uint32_t expected)
{
    std::uint32_t got = 0;
    return r.u32(got) && got == expected;
}

void putVec(ByteWriter& w, const Vec3& v)
{
    w.f32(v.x);
    w.f32(v.y);
    w.f32(v.z);
}

bool readVec(ByteReader& r, Vec3& v) { return r.f32(v.x) && r.f32(v.y) && r.f32(v.z); }

// A name of 16-bit units, at most `units` - 1 of them, ended by a zero.
void putName(ByteWriter& w, const std::u16string& name, std::size_t units)
{
    const std::size_t n = std::min(name.size(), units - 1);
    for (std::size_t i = 0; i < n; ++i)
        w.u16(name[i]);
    w.zeros(2 * (units - n));
}

// Up to `units` - 1 units, ending at the first zero; what is left of the
// reader (an odd byte, say) ends the name too.
std::u16string readName(ByteReader& r, std::size_t units)
{
    std::u16string name;
    std::uint16_t unit = 0;
    for (std::size_t i = 0; i + 1 < units && r.remaining() >= 2 && r.u16(unit) && unit != 0; ++i)
        name.push_back(static_cast<char16_t>(unit));
    return name;
}

void putQuatXyzw(ByteWriter& w, const Quat& q)
{
    w.i16(quatWord(q.x));
    w.i16(quatWord(q.y));
    w.i16(quatWord(q.z));
    w.i16(quatWord(q.w));
}

bool readQuatXyzw(ByteReader& r, Quat& q)
{
    std::int16_t x = 0, y = 0, z = 0, w = 0;
    if (!r.i16(x) || !r.i16(y) || !r.i16(z) || !r.i16(w))
        return false;
    q = Quat{quatComponent(x), quatComponent(y), quatComponent(z), quatComponent(w)};
    return true;
}

}  // namespace

std::int16_t quatWord(float component)
{
    const float c = std::isfinite(component) ? std::clamp(component, -1.0f, 1.0f) : 0.0f;
    return static_cast<std::int16_t>(c * 32000.0f);
}

float quatComponent(std::int16_t word) { return static_cast<float>(word) * 0.00003125f; }

float peerSeconds(float value, float lowest, float highest)
{
    return std::isnan(value) ? lowest : std::clamp(value, lowest, highest);
}

std::int8_t healthByte(float health)
{
    const float h = std::isfinite(health) ? std::clamp(health, -1.0f, 1.0f) : 0.0f;
    return static_cast<std::int8_t>(h * 125.0f);
}

float healthValue(std::int8_t byte) { return static_cast<float>(byte) * 0.008f; }

// ---- PlayerLeftMsg
int PlayerLeftMsg::encode(std::span<std::uint8_t> out) const
{
    ByteWriter w = writerFor(out, kSize);
    w.u8(PlayerLeft);
    w.u8(quiet ? 1 : 0);
    w.u16(static_cast<std::uint16_t>(airplaneId));
    w.u32(kPlayerLeftTag);
    return finish(w, kSize);
}

bool PlayerLeftMsg::decode(std::span<const std::uint8_t> in)
{
    if (!framed(in, kSize, PlayerLeft))
        return false;
    ByteReader r = body(in);
    std::uint8_t q = 0;
    std::int16_t id = 0;
    if (!r.u8(q) || !r.i16(id) || !tag(r, kPlayerLeftTag))
        return false;
    quiet = (q & 1) != 0;
    airplaneId = id;
    return true;
}

// ---- JoinCompleteMsg
int JoinCompleteMsg::encode(std::span<std::uint8_t> out) const
{
    ByteWriter w = writerFor(out, kSize);
    w.u8(JoinComplete);
    w.u8(static_cast<std::uint8_t>(mapIndex));
    w.u8(static_cast<std::uint8_t>(gameType));
    w.u32(kJoinCompleteTag);
    w.u8(static_cast<std::uint8_t>(weatherMode));
    w.zeros(4);
    w.u32(weatherWord);
    w.f32(matchValue);
    w.f32(sunValue);
    w.u32(team2Total);
    w.u32(team1Total);
    w.u32(respawnDelay);
    w.u8(static_cast<std::uint8_t>(scoreLimit));
    w.u8(static_cast<std::uint8_t>(matchMinutes));
    w.u8(static_cast<std::uint8_t>(playerCount));
    w.u8(static_cast<std::uint8_t>(playerId));
    w.zeros(4);
    w.u16(static_cast<std::uint16_t>(airplaneId));
    w.u8(teamMatch ? 1 : 0);
    w.f32(pointsFactor);
    w.u32(optionFlags);
    putName(w, gameName, 32);
    for (std::uint32_t v : setupValues)
        w.u32(v);
    return finish(w, kSize);
}

bool JoinCompleteMsg::decode(std::span<const std::uint8_t> in)
{
    if (!framed(in, kSize, JoinComplete))
        return false;
    ByteReader r = body(in);
    JoinCompleteMsg m;
    std::uint8_t map = 0, type = 0, weather = 0, limit = 0, minutes = 0, players = 0, player = 0, team = 0;
    std::uint16_t airplane = 0;
    if (!r.u8(map) || !r.u8(type) || !tag(r, kJoinCompleteTag) || !r.u8(weather) || !r.skip(4) ||
        !r.u32(m.weatherWord) || !r.f32(m.matchValue) || !r.f32(m.sunValue) || !r.u32(m.team2Total) ||
        !r.u32(m.team1Total) || !r.u32(m.respawnDelay) || !r.u8(limit) || !r.u8(minutes) || !r.u8(players) ||
        !r.u8(player) || !r.skip(4) || !r.u16(airplane) || !r.u8(team) || !r.f32(m.pointsFactor) ||
        !r.u32(m.optionFlags))
        return false;
    ByteReader name(in.subspan(55, 64));
    m.gameName = readName(name, 32);
    if (!r.skip(64))
        return false;
    for (std::uint32_t& v : m.setupValues)
        if (!r.u32(v))
            return false;
    m.mapIndex = map;
    m.gameType = type;
    m.weatherMode = static_cast<std::int8_t>(weather);
    m.scoreLimit = limit;
    m.matchMinutes = minutes;
    m.playerCount = players;
    m.playerId = player;
    m.airplaneId = airplane;
    m.teamMatch = team != 0;
    *this = m;
    return true;
}

// ---- AirplaneStateMsg
bool AirplaneStateMsg::frame(std::span<std::uint8_t> block, int airplaneId)
{
    if (block.size() < kMinSize || refuseOverlong(block.size()))
        return false;
    ByteWriter w(block.first(kMinSize));
    w.u8(AirplaneState);
    w.u16(static_cast<std::uint16_t>(airplaneId));
    return !w.failed();
}

bool AirplaneStateMsg::peekId(std::span<const std::uint8_t> in, int& airplaneId)
{
    if (in.size() < kMinSize || in.size() > kMaxMessage || in[0] != AirplaneState)
        return false;
    ByteReader r = body(in);
    std::uint16_t id = 0;
    if (!r.u16(id))
        return false;
    airplaneId = id;
    return true;
}

// ---- HealthMsg
int HealthMsg::encode(std::span<std::uint8_t> out) const
{
    ByteWriter w = writerFor(out, kSize);
    w.u8(Health);
    w.u8(static_cast<std::uint8_t>(healthByte(health)));
    return finish(w, kSize);
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
    ByteWriter w = writerFor(out, kSize);
    w.u8(Welcome);
    w.u32(kWelcomeTag);
    w.u32(weatherWord);
    return finish(w, kSize);
}

bool WelcomeMsg::decode(std::span<const std::uint8_t> in)
{
    if (!framed(in, kSize, Welcome))
        return false;
    ByteReader r = body(in);
    std::uint32_t word = 0;
    if (!tag(r, kWelcomeTag) || !r.u32(word))
        return false;
    weatherWord = word;
    return true;
}

// ---- ChatMsg
namespace {
int encodeChat(std::span<std::uint8_t> out, const std::u16string& text, bool relayed, std::uint32_t sender)
{
    const std::size_t length = (relayed ? 5 : 1) + 2 * text.size() + 2;
    if (refuseOverlong(length))
        return 0;
    ByteWriter w = writerFor(out, length);
    w.u8(Chat);
    if (relayed)
        w.u32(sender);
    for (char16_t unit : text)
        w.u16(unit);
    w.u16(0);
    return finish(w, length);
}

bool decodeChat(std::span<const std::uint8_t> in, std::size_t head, std::u16string& text)
{
    if (in.size() < head || in.size() > kMaxMessage || in[0] != Chat)
        return false;
    // An unterminated or odd-length text ends at the message end.
    ByteReader r(in.subspan(head));
    text = readName(r, (in.size() - head) / 2 + 1);
    return true;
}
}  // namespace

int ChatMsg::encodeClient(std::span<std::uint8_t> out) const { return encodeChat(out, text, false, 0); }
int ChatMsg::encodeRelayed(std::span<std::uint8_t> out) const { return encodeChat(out, text, true, senderId); }
bool ChatMsg::decodeClient(std::span<const std::uint8_t> in) { return decodeChat(in, 1, text); }

bool ChatMsg::decodeRelayed(std::span<const std::uint8_t> in)
{
    std::u16string got;
    if (!decodeChat(in, 5, got))
        return false;
    ByteReader r = body(in);
    (void)r.u32(senderId);
    text = std::move(got);
    return true;
}

// ---- AirplaneDestroyedMsg
int AirplaneDestroyedMsg::encode(std::span<std::uint8_t> out) const
{
    ByteWriter w = writerFor(out, kSize);
    w.u8(AirplaneDestroyed);
    w.u8(static_cast<std::uint8_t>(kind));
    w.u8(static_cast<std::uint8_t>(flags));
    w.u32(kDestroyedTag);
    w.u16(static_cast<std::uint16_t>(victimId));
    w.u16(static_cast<std::uint16_t>(killerId));
    w.f32(respawnTime);
    putVec(w, position);
    putQuatXyzw(w, orientation);
    return finish(w, kSize);
}

bool AirplaneDestroyedMsg::decode(std::span<const std::uint8_t> in)
{
    if (!framed(in, kSize, AirplaneDestroyed))
        return false;
    ByteReader r = body(in);
    AirplaneDestroyedMsg m;
    std::uint8_t k = 0, f = 0;
    std::int16_t victim = 0, killer = 0;
    if (!r.u8(k) || !r.u8(f) || !tag(r, kDestroyedTag) || !r.i16(victim) || !r.i16(killer) ||
        !r.f32(m.respawnTime) || !readVec(r, m.position) || !readQuatXyzw(r, m.orientation))
        return false;
    m.kind = k;
    m.flags = f;
    m.victimId = victim;
    m.killerId = killer;
    m.respawnTime = respawnSeconds(m.respawnTime);
    *this = m;
    return true;
}

void AirplaneDestroyedMsg::log(const char* way) const
{
    logInfo("net", "death message %s: airplane %d %s (cause %d, flags %d), respawn time %.1f", way, victimId,
            atTheHit() ? "destroyed" : "death over", kind, flags, static_cast<double>(respawnTime));
}

// ---- WeaponLaunchMsg
int WeaponLaunchMsg::encodeClient(std::span<std::uint8_t> out) const
{
    ByteWriter w = writerFor(out, kClientSize);
    w.u8(WeaponLaunch);
    w.u8(static_cast<std::uint8_t>(weaponId));
    w.u16(static_cast<std::uint16_t>(targetId));
    w.u8(static_cast<std::uint8_t>(last));
    return finish(w, kClientSize);
}

int WeaponLaunchMsg::encodeHost(std::span<std::uint8_t> out) const
{
    ByteWriter w = writerFor(out, kHostSize);
    w.u8(WeaponLaunch);
    w.u8(static_cast<std::uint8_t>(weaponId));
    w.u16(static_cast<std::uint16_t>(ownerId));
    w.u16(static_cast<std::uint16_t>(targetId));
    w.u8(static_cast<std::uint8_t>(last));
    return finish(w, kHostSize);
}

bool WeaponLaunchMsg::decodeClient(std::span<const std::uint8_t> in)
{
    if (!framed(in, kClientSize, WeaponLaunch))
        return false;
    ByteReader r = body(in);
    std::uint8_t weapon = 0, end = 0;
    std::int16_t target = 0;
    if (!r.u8(weapon) || !r.i16(target) || !r.u8(end))
        return false;
    weaponId = weapon;
    ownerId = -1;
    targetId = target;
    last = end;
    return true;
}

bool WeaponLaunchMsg::decodeHost(std::span<const std::uint8_t> in)
{
    if (!framed(in, kHostSize, WeaponLaunch))
        return false;
    ByteReader r = body(in);
    std::uint8_t weapon = 0, end = 0;
    std::int16_t owner = 0, target = 0;
    if (!r.u8(weapon) || !r.i16(owner) || !r.i16(target) || !r.u8(end))
        return false;
    weaponId = weapon;
    ownerId = owner;
    targetId = target;
    last = end;
    return true;
}

// ---- FlaresMsg
int FlaresMsg::encodeClient(std::span<std::uint8_t> out) const
{
    ByteWriter w = writerFor(out, 1);
    w.u8(Flares);
    return finish(w, 1);
}

int FlaresMsg::encodeHost(std::span<std::uint8_t> out) const
{
    ByteWriter w = writerFor(out, 3);
    w.u8(Flares);
    w.u16(static_cast<std::uint16_t>(airplaneId));
    return finish(w, 3);
}

bool FlaresMsg::decodeClient(std::span<const std::uint8_t> in) { return framed(in, 1, Flares); }

bool FlaresMsg::decodeHost(std::span<const std::uint8_t> in)
{
    if (!framed(in, 3, Flares))
        return false;
    ByteReader r = body(in);
    std::int16_t id = 0;
    if (!r.i16(id))
        return false;
    airplaneId = id;
    return true;
}

// ---- WeatherMsg
int WeatherMsg::encode(std::span<std::uint8_t> out) const
{
    ByteWriter w = writerFor(out, kSize);
    w.u8(Weather);
    w.u8(static_cast<std::uint8_t>(mode));
    return finish(w, kSize);
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
    ByteWriter w = writerFor(out, 5);
    w.u8(Eject);
    w.u32(kEjectTag);
    return finish(w, 5);
}

int EjectMsg::encodeHost(std::span<std::uint8_t> out) const
{
    ByteWriter w = writerFor(out, 7);
    w.u8(Eject);
    w.u16(static_cast<std::uint16_t>(airplaneId));
    w.u32(kEjectTag);
    return finish(w, 7);
}

bool EjectMsg::decodeClient(std::span<const std::uint8_t> in)
{
    if (!framed(in, 5, Eject))
        return false;
    ByteReader r = body(in);
    return tag(r, kEjectTag);
}

bool EjectMsg::decodeHost(std::span<const std::uint8_t> in)
{
    if (!framed(in, 7, Eject))
        return false;
    ByteReader r = body(in);
    std::int16_t id = 0;
    if (!r.i16(id) || !tag(r, kEjectTag))
        return false;
    airplaneId = id;
    return true;
}

// ---- ReadyMsg
int ReadyMsg::encode(std::span<std::uint8_t> out) const
{
    ByteWriter w = writerFor(out, kSize);
    w.u8(Ready);
    w.u32(kReadyTag);
    return finish(w, kSize);
}

bool ReadyMsg::decode(std::span<const std::uint8_t> in)
{
    if (!framed(in, kSize, Ready))
        return false;
    ByteReader r = body(in);
    return tag(r, kReadyTag);
}

// ---- TeamSwitchMsg
int TeamSwitchMsg::encode(std::span<std::uint8_t> out) const
{
    ByteWriter w = writerFor(out, kSize);
    w.u8(TeamSwitch);
    w.u32(kTeamSwitchTag);
    w.u16(static_cast<std::uint16_t>(airplaneId));
    w.u8(static_cast<std::uint8_t>(team));
    w.f32(value);
    putVec(w, position);
    putQuatXyzw(w, orientation);
    return finish(w, kSize);
}

bool TeamSwitchMsg::decode(std::span<const std::uint8_t> in)
{
    if (!framed(in, kSize, TeamSwitch))
        return false;
    ByteReader r = body(in);
    TeamSwitchMsg m;
    std::int16_t id = 0;
    std::uint8_t t = 0;
    if (!tag(r, kTeamSwitchTag) || !r.i16(id) || !r.u8(t) || (t != 0 && t != 1 && t != 255) || !r.f32(m.value) ||
        !readVec(r, m.position) || !readQuatXyzw(r, m.orientation))
        return false;
    m.airplaneId = id;
    m.team = t;
    m.value = respawnSeconds(m.value);
    *this = m;
    return true;
}

// ---- TeamRequestMsg
int TeamRequestMsg::encode(std::span<std::uint8_t> out) const
{
    ByteWriter w = writerFor(out, kSize);
    w.u8(TeamRequest);
    w.u32(kTeamRequestTag);
    w.u8(static_cast<std::uint8_t>(value));
    return finish(w, kSize);
}

bool TeamRequestMsg::decode(std::span<const std::uint8_t> in)
{
    if (!framed(in, kSize, TeamRequest))
        return false;
    ByteReader r = body(in);
    std::uint8_t v = 0;
    if (!tag(r, kTeamRequestTag) || !r.u8(v))
        return false;
    value = v;
    return true;
}

// ---- FlagEventMsg
int FlagEventMsg::encode(std::span<std::uint8_t> out) const
{
    ByteWriter w = writerFor(out, kSize);
    w.u8(FlagEvent);
    w.u8(static_cast<std::uint8_t>(event));
    w.u16(static_cast<std::uint16_t>(flagId));
    w.u32(kFlagEventTag);
    w.u16(static_cast<std::uint16_t>(playerId));
    return finish(w, kSize);
}

bool FlagEventMsg::decode(std::span<const std::uint8_t> in)
{
    if (!framed(in, kSize, FlagEvent))
        return false;
    ByteReader r = body(in);
    std::uint8_t e = 0;
    std::int16_t flag = 0, player = 0;
    if (!r.u8(e) || e > 3 || !r.i16(flag) || !tag(r, kFlagEventTag) || !r.i16(player))
        return false;
    event = e;
    flagId = flag;
    playerId = player;
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
    ByteWriter w(message.subspan(10, 4));
    w.u32(type == EntityRecord ? kEntityRecordTag : kPlayerInfoTag);
}

bool RecordMsg::decode(std::span<const std::uint8_t> in, std::uint8_t type, int& ownerId, bool& quiet,
                       std::vector<std::uint8_t>& record)
{
    if (in.size() < kMinSize || in.size() > kMaxMessage || in[0] != type)
        return false;
    ByteReader r(in.subspan(10, 4));
    if (!tag(r, type == EntityRecord ? kEntityRecordTag : kPlayerInfoTag))
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
    ByteWriter w = writerFor(out, kSize);
    w.u8(JoinEnd);
    w.u16(static_cast<std::uint16_t>(playerId));
    return finish(w, kSize);
}

bool JoinEndMsg::decode(std::span<const std::uint8_t> in)
{
    if (!framed(in, kSize, JoinEnd))
        return false;
    ByteReader r = body(in);
    std::uint16_t id = 0;
    if (!r.u16(id))
        return false;
    playerId = id;
    return true;
}

// ---- RespawnMsg
int RespawnMsg::encode(std::span<std::uint8_t> out) const
{
    // x, y and z lead the message; w comes last.
    ByteWriter w = writerFor(out, kSize);
    w.u8(Respawn);
    w.i16(quatWord(orientation.x));
    w.i16(quatWord(orientation.y));
    w.i16(quatWord(orientation.z));
    w.u32(kRespawnTag);
    w.u16(static_cast<std::uint16_t>(airplaneId));
    w.f32(value);
    putVec(w, position);
    w.i16(quatWord(orientation.w));
    return finish(w, kSize);
}

bool RespawnMsg::decode(std::span<const std::uint8_t> in)
{
    if (!framed(in, kSize, Respawn))
        return false;
    ByteReader r = body(in);
    RespawnMsg m;
    std::int16_t x = 0, y = 0, z = 0, w = 0, id = 0;
    if (!r.i16(x) || !r.i16(y) || !r.i16(z) || !tag(r, kRespawnTag) || !r.i16(id) || !r.f32(m.value) ||
        !readVec(r, m.position) || !r.i16(w))
        return false;
    m.airplaneId = id;
    m.orientation = Quat{quatComponent(x), quatComponent(y), quatComponent(z), quatComponent(w)};
    m.value = respawnSeconds(m.value);
    *this = m;
    return true;
}

// ---- TakeOutMsg
int TakeOutMsg::encode(std::span<std::uint8_t> out) const
{
    ByteWriter w = writerFor(out, kSize);
    w.u8(TakeOut);
    w.u32(kTakeOutTag);
    w.u16(static_cast<std::uint16_t>(airplaneId));
    return finish(w, kSize);
}

bool TakeOutMsg::decode(std::span<const std::uint8_t> in)
{
    if (!framed(in, kSize, TakeOut))
        return false;
    ByteReader r = body(in);
    std::int16_t id = 0;
    if (!tag(r, kTakeOutTag) || !r.i16(id))
        return false;
    airplaneId = id;
    return true;
}

// ---- ModeValueMsg
int ModeValueMsg::encode(std::span<std::uint8_t> out) const
{
    ByteWriter w = writerFor(out, kSize);
    w.u8(ModeValue);
    w.u16(static_cast<std::uint16_t>(index));
    w.u32(kModeValueTag);
    w.f32(value);
    return finish(w, kSize);
}

bool ModeValueMsg::decode(std::span<const std::uint8_t> in)
{
    if (!framed(in, kSize, ModeValue))
        return false;
    ByteReader r = body(in);
    std::int16_t i = 0;
    float v = 0.0f;
    if (!r.i16(i) || !tag(r, kModeValueTag) || !r.f32(v))
        return false;
    index = i;
    value = v;
    return true;
}

// ---- ServerDataMsg
int ServerDataMsg::encode(std::span<std::uint8_t> out) const
{
    if (data.empty())
        return 0;
    ByteWriter w = writerFor(out, data.size() + 5);
    w.u8(ServerData);
    w.u32(kServerDataTag);
    w.bytes(data);
    return finish(w, data.size() + 5);
}

bool ServerDataMsg::decode(std::span<const std::uint8_t> in)
{
    if (in.size() < 6 || in.size() > kMaxMessage || in[0] != ServerData)
        return false;
    ByteReader r = body(in);
    if (!tag(r, kServerDataTag))
        return false;
    data.assign(in.begin() + 5, in.end());
    return true;
}

// ---- MatchEndMsg
int MatchEndMsg::encode(std::span<std::uint8_t> out) const
{
    ByteWriter w = writerFor(out, data.size() + 9);
    w.u8(MatchEnd);
    w.u32(kMatchEndTag);
    w.bytes(data);
    w.f32(countdown);
    return finish(w, data.size() + 9);
}

bool MatchEndMsg::decode(std::span<const std::uint8_t> in)
{
    if (in.size() < 9 || in.size() > kMaxMessage || in[0] != MatchEnd)
        return false;
    ByteReader r = body(in);
    if (!tag(r, kMatchEndTag))
        return false;
    tail.assign(in.begin() + 5, in.end());
    return true;
}

// ---- RestartMsg
int RestartMsg::encode(std::span<std::uint8_t> out) const
{
    ByteWriter w = writerFor(out, kSize);
    w.u8(Restart);
    w.u32(kRestartTag);
    return finish(w, kSize);
}

bool RestartMsg::decode(std::span<const std::uint8_t> in)
{
    if (!framed(in, kSize, Restart))
        return false;
    ByteReader r = body(in);
    return tag(r, kRestartTag);
}

// ---- RelayMsg
int RelayMsg::encode(std::span<std::uint8_t> out) const
{
    ByteWriter w = writerFor(out, payload.size() + kHead);
    w.u8(Relay);
    w.zeros(3);
    w.u16(static_cast<std::uint16_t>(payload.size()));
    w.bytes(payload);
    return finish(w, payload.size() + kHead);
}

bool RelayMsg::decode(std::span<const std::uint8_t> in)
{
    if (in.size() < kHead || in.size() > kMaxMessage || in[0] != Relay)
        return false;
    ByteReader r = body(in);
    std::uint16_t n = 0;
    if (!r.skip(3) || !r.u16(n) || n != r.remaining())
        return false;
    payload.assign(in.begin() + kHead, in.end());
    return true;
}

// ---- TeamFlagMsg
int TeamFlagMsg::encode(std::span<std::uint8_t> out) const
{
    ByteWriter w = writerFor(out, kSize);
    w.u8(TeamFlag);
    w.u32(kTeamFlagTag);
    w.u8(teamChange ? 1 : 0);
    return finish(w, kSize);
}

bool TeamFlagMsg::decode(std::span<const std::uint8_t> in)
{
    if (!framed(in, kSize, TeamFlag))
        return false;
    ByteReader r = body(in);
    std::uint8_t v = 0;
    if (!tag(r, kTeamFlagTag) || !r.u8(v))
        return false;
    teamChange = (v & 1) != 0;
    return true;
}

// ---- ScoreEventMsg
namespace {
std::size_t scoreEventLength(int kind) { return kind == 0 ? 44 : kind == 1 ? 12 : 8; }
}  // namespace

int ScoreEventMsg::encode(std::span<std::uint8_t> out) const
{
    const std::size_t length = scoreEventLength(kind);
    ByteWriter w = writerFor(out, length);
    w.u8(ScoreEvent);
    w.u32(kScoreEventTag);
    w.u16(static_cast<std::uint16_t>(airplaneId));
    w.u8(static_cast<std::uint8_t>(kind));
    if (kind == 0)
        for (std::int32_t v : record)
            w.i32(v);
    else if (kind == 1)
        w.i32(record[1]);
    return finish(w, length);
}

bool ScoreEventMsg::decode(std::span<const std::uint8_t> in)
{
    if (in.size() < 8 || in[0] != ScoreEvent)
        return false;
    ByteReader r = body(in);
    std::int16_t id = 0;
    std::uint8_t k = 0;
    if (!tag(r, kScoreEventTag) || !r.i16(id) || !r.u8(k) || in.size() != scoreEventLength(k))
        return false;
    std::array<std::int32_t, 9> words{};
    if (k == 0) {
        for (std::int32_t& v : words)
            (void)r.i32(v);
    } else if (k == 1) {
        (void)r.i32(words[1]);
    }
    kind = k;
    airplaneId = id;
    record = words;
    return true;
}

// ---- WeaponHitMsg
int WeaponHitMsg::encode(std::span<std::uint8_t> out) const
{
    ByteWriter w = writerFor(out, kSize);
    w.u8(WeaponHit);
    w.u8(static_cast<std::uint8_t>(weaponId));
    w.u16(static_cast<std::uint16_t>(victimId));
    w.u16(static_cast<std::uint16_t>(attackerId));
    return finish(w, kSize);
}

bool WeaponHitMsg::decode(std::span<const std::uint8_t> in)
{
    if (!framed(in, kSize, WeaponHit))
        return false;
    ByteReader r = body(in);
    std::uint8_t weapon = 0;
    std::uint16_t victim = 0, attacker = 0;
    if (!r.u8(weapon) || !r.u16(victim) || !r.u16(attacker))
        return false;
    weaponId = weapon;
    victimId = victim;
    attackerId = attacker;
    return true;
}

// ---- AirplaneStateChangeMsg
int AirplaneStateChangeMsg::encode(std::span<std::uint8_t> out) const
{
    ByteWriter w = writerFor(out, kSize);
    w.u8(AirplaneStateChange);
    w.u8(static_cast<std::uint8_t>(a));
    w.u8(static_cast<std::uint8_t>(b));
    w.u32(kStateChangeTag);
    w.u8(static_cast<std::uint8_t>(state));
    w.u16(static_cast<std::uint16_t>(airplaneId));
    w.u16(static_cast<std::uint16_t>(otherId));
    return finish(w, kSize);
}

bool AirplaneStateChangeMsg::decode(std::span<const std::uint8_t> in)
{
    if (!framed(in, kSize, AirplaneStateChange))
        return false;
    ByteReader r = body(in);
    std::uint8_t va = 0, vb = 0, s = 0;
    std::int16_t id = 0, other = 0;
    if (!r.u8(va) || !r.u8(vb) || !tag(r, kStateChangeTag) || !r.u8(s) || !r.i16(id) || !r.i16(other))
        return false;
    a = va;
    b = vb;
    state = s;
    airplaneId = id;
    otherId = other;
    return true;
}

// ---- FlightStateMsg
int FlightStateMsg::encode(std::span<std::uint8_t> out) const
{
    ByteWriter w = writerFor(out, kSize);
    w.u8(FlightState);
    w.u16(static_cast<std::uint16_t>(airplaneId));
    w.u8(static_cast<std::uint8_t>(state));
    w.f32(time);
    return finish(w, kSize);
}

bool FlightStateMsg::decode(std::span<const std::uint8_t> in)
{
    if (!framed(in, kSize, FlightState))
        return false;
    ByteReader r = body(in);
    std::int16_t id = 0;
    std::uint8_t s = 0;
    float t = 0.0f;
    if (!r.i16(id) || !r.u8(s) || s > kMaxState || !r.f32(t))
        return false;
    airplaneId = id;
    state = s;
    time = t;
    return true;
}

}  // namespace netmsg
