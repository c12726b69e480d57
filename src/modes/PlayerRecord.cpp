#include "modes/PlayerRecord.h"

#include "platform/ByteReader.h"

#include <algorithm>
#include <bit>
#include <cmath>

namespace {
void put8(std::span<std::uint8_t> out, int at, int v) { out[static_cast<std::size_t>(at)] = static_cast<std::uint8_t>(v); }

void put16(std::span<std::uint8_t> out, int at, int v)
{
    put8(out, at, v & 0xFF);
    put8(out, at + 1, (v >> 8) & 0xFF);
}

void put32(std::span<std::uint8_t> out, int at, std::int32_t v)
{
    const auto u = static_cast<std::uint32_t>(v);
    for (int i = 0; i < 4; ++i)
        put8(out, at + i, static_cast<int>((u >> (8 * i)) & 0xFF));
}

std::int16_t paintWord(float v)
{
    const float clamped = std::isfinite(v) ? std::clamp(v, -1.0f, 1.0f) : 0.0f;
    return static_cast<std::int16_t>(clamped * PlayerRecord::kPaintScale);
}

bool skip(ByteReader& r, std::size_t n)
{
    std::uint8_t ignored = 0;
    for (std::size_t i = 0; i < n; ++i)
        if (!r.u8(ignored))
            return false;
    return true;
}

PlanePaint readPaint(const std::int16_t (&words)[6])
{
    const float s = PlayerRecord::kPaintScale;
    return PlanePaint{words[0] * 360.0f / s, words[1] / s, words[2] / s,
                      words[3] * 360.0f / s, words[4] / s, words[5] / s};
}

void putPaint(std::span<std::uint8_t> out, int at, const PlanePaint& p)
{
    const float words[6] = {p.hue0 / 360.0f, p.saturation0, p.value0, p.hue1 / 360.0f, p.saturation1, p.value1};
    for (int i = 0; i < 6; ++i)
        put16(out, at + 2 * i, paintWord(words[i]));
}

// A name of kNameUnits units with a 0 among them; false without one.
bool readName(ByteReader& r, std::u16string& name)
{
    name.clear();
    bool terminated = false;
    for (int i = 0; i < PlayerRecord::kNameUnits; ++i) {
        std::uint16_t unit = 0;
        if (!r.u16(unit))
            return false;
        if (unit == 0)
            terminated = true;
        if (!terminated)
            name.push_back(static_cast<char16_t>(unit));
    }
    return terminated;
}

void putName(std::span<std::uint8_t> out, int at, const std::u16string& name)
{
    const std::size_t units = std::min<std::size_t>(name.size(), PlayerRecord::kNameUnits - 1);
    for (std::size_t i = 0; i < units; ++i)
        put16(out, at + 2 * static_cast<int>(i), name[i]);
}

bool readWeaponId(ByteReader& r, const PlayerRecordLimits& limits, int& id)
{
    std::uint16_t raw = 0;
    if (!r.u16(raw))
        return false;
    if (raw == PlayerRecord::kNoWeapon) {
        id = -1;
        return true;
    }
    if (raw > 255 || (limits.isKnownWeapon && !limits.isKnownWeapon(raw)))
        return false;
    id = raw;
    return true;
}

// Six paint words, six zero bytes, then the weapon ids: both records carry
// the plane's look and loadout the same way.
bool readPaintAndWeapons(ByteReader& r, const PlayerRecordLimits& limits, PlanePaint& paint, std::span<int> weaponIds)
{
    std::int16_t words[6] = {};
    for (auto& w : words)
        if (!r.i16(w))
            return false;
    paint = readPaint(words);
    if (!skip(r, 6))
        return false;
    for (int& id : weaponIds)
        if (!readWeaponId(r, limits, id))
            return false;
    return true;
}

bool readAirplanePart(ByteReader& r, const PlayerRecordLimits& limits, PlayerRecord& out)
{
    for (auto& v : out.stats)
        if (!r.i32(v))
            return false;
    std::uint8_t planeId = 0;
    if (!r.i32(out.spawnCounter) || !r.bytes(out.stateBlock.data(), out.stateBlock.size()) || !r.u8(planeId))
        return false;
    out.planeId = planeId;
    if (!readPaintAndWeapons(r, limits, out.paint, out.weaponIds))
        return false;
    return readName(r, out.name);
}
}  // namespace

bool isMapEntityKind(int kind)
{
    return (kind >= 1 && kind <= 5) || (kind >= 8 && kind <= 11) || kind == 17 || kind == 21;
}

int encodePlayerRecord(const PlayerRecord& rec, std::span<std::uint8_t> out)
{
    const int size = rec.isAirplane() ? PlayerRecord::kAirplaneSize : PlayerRecord::kEntitySize;
    if (out.size() < static_cast<std::size_t>(size))
        return 0;
    std::fill(out.begin(), out.begin() + size, std::uint8_t{0});
    put8(out, 1, static_cast<int>(rec.state));
    put8(out, 2, rec.team);
    put8(out, 4, rec.role == 0 ? 2 : rec.role);
    put8(out, 5, rec.kind);
    put16(out, 6, rec.entityId);
    put16(out, 8, rec.mapItem);
    for (int i = 0; i < 4; ++i)
        put32(out, 14 + 4 * i, rec.playerValues[static_cast<std::size_t>(i)]);
    if (!rec.isAirplane())
        return size;
    for (int i = 0; i < 9; ++i)
        put32(out, 34 + 4 * i, rec.stats[static_cast<std::size_t>(i)]);
    put32(out, 70, rec.spawnCounter);
    std::copy(rec.stateBlock.begin(), rec.stateBlock.end(), out.begin() + PlayerRecord::kStateBlockOffset);
    put8(out, 74, 3);
    put16(out, 75, rec.entityId);
    put8(out, 109, rec.planeId);
    putPaint(out, 110, rec.paint);
    for (int i = 0; i < 3; ++i) {
        const int id = rec.weaponIds[static_cast<std::size_t>(i)];
        put16(out, 128 + 2 * i, id < 0 ? PlayerRecord::kNoWeapon : id);
    }
    putName(out, PlayerRecord::kNameOffset, rec.name);
    return size;
}

bool decodePlayerRecord(std::span<const std::uint8_t> in, const PlayerRecordLimits& limits, PlayerRecord& out)
{
    if (in.size() < static_cast<std::size_t>(PlayerRecord::kEntitySize))
        return false;
    ByteReader r(in);
    std::uint8_t zero = 0, state = 0, team = 0, role = 0, kind = 0;
    std::int16_t id = 0, item = 0;
    if (!r.u8(zero) || !r.u8(state) || !r.u8(team) || !r.u8(zero) || !r.u8(role) || !r.u8(kind) || !r.i16(id) ||
        !r.i16(item) || !skip(r, 4))
        return false;
    if (id < 0 || id > PlayerRecord::kMaxEntityId || role > 2)
        return false;
    const bool validItem = item >= 0 && item < limits.itemCount;
    if (item != -1 && !validItem)
        return false;
    if (isMapEntityKind(kind) && !validItem)
        return false;
    out.state = state == 2 ? PlayerRecord::State::OutForGood
                           : state == 4 ? PlayerRecord::State::Waiting : PlayerRecord::State::InPlay;
    out.team = team;
    out.role = role;
    out.kind = kind;
    out.entityId = id;
    out.mapItem = item;
    for (auto& v : out.playerValues)
        if (!r.i32(v))
            return false;
    if (!out.isAirplane())
        return true;
    if (in.size() < static_cast<std::size_t>(PlayerRecord::kAirplaneSize) || !skip(r, 4))
        return false;
    return readAirplanePart(r, limits, out);
}

int encodeJoinRequest(const JoinRequest& request, std::span<std::uint8_t> out)
{
    if (out.size() < static_cast<std::size_t>(JoinRequest::kSize))
        return 0;
    std::fill(out.begin(), out.begin() + JoinRequest::kSize, std::uint8_t{0});
    put32(out, 1, static_cast<std::int32_t>(JoinRequest::kTag));
    put32(out, 5, std::bit_cast<std::int32_t>(request.planeValue));
    put8(out, 9, request.rank);
    putName(out, 10, request.name);
    put8(out, 74, request.planeId);
    putPaint(out, 75, request.paint);
    for (int i = 0; i < 2; ++i) {
        const int id = request.loadout[static_cast<std::size_t>(i)];
        put16(out, 93 + 2 * i, id < 0 ? PlayerRecord::kNoWeapon : id);
    }
    put16(out, 97, request.settingsValue);
    for (int i = 0; i < 4; ++i)
        put32(out, 99 + 4 * i, request.playerWords[static_cast<std::size_t>(i)]);
    return JoinRequest::kSize;
}

bool decodeJoinRequest(std::span<const std::uint8_t> in, const PlayerRecordLimits& limits, JoinRequest& out)
{
    if (in.size() < static_cast<std::size_t>(JoinRequest::kSize))
        return false;
    ByteReader r(in);
    std::uint8_t zero = 0, rank = 0, planeId = 0;
    std::uint32_t tag = 0;
    std::uint16_t settingsValue = 0;
    if (!r.u8(zero) || !r.u32(tag) || tag != JoinRequest::kTag || !r.f32(out.planeValue) || !r.u8(rank))
        return false;
    // A joiner's name ends at its 0 or after 31 units; its rank and weapons
    // are held to what exists (an unknown weapon: the plane's own).
    out.name.clear();
    bool ended = false;
    for (int i = 0; i < PlayerRecord::kNameUnits; ++i) {
        std::uint16_t unit = 0;
        if (!r.u16(unit))
            return false;
        ended = ended || unit == 0 || i == PlayerRecord::kNameUnits - 1;
        if (!ended)
            out.name.push_back(static_cast<char16_t>(unit));
    }
    if (!r.u8(planeId))
        return false;
    out.rank = std::min<int>(rank, 17);
    out.planeId = planeId;
    std::int16_t words[6] = {};
    for (auto& w : words)
        if (!r.i16(w))
            return false;
    out.paint = readPaint(words);
    if (!skip(r, 6))
        return false;
    for (int& id : out.loadout) {
        std::uint16_t raw = 0;
        if (!r.u16(raw))
            return false;
        const bool known = raw != PlayerRecord::kNoWeapon && raw <= 255 &&
                           (!limits.isKnownWeapon || limits.isKnownWeapon(raw));
        id = known ? raw : -1;
    }
    if (!r.u16(settingsValue))
        return false;
    out.settingsValue = settingsValue;
    for (auto& w : out.playerWords)
        if (!r.i32(w))
            return false;
    return true;
}
