#include "net/match/PlayerRecordCodec.h"

#include "entities/Target.h"
#include "net/match/AirplaneStateCodec.h"
#include "platform/ByteReader.h"
#include "platform/ByteWriter.h"

#include <algorithm>
#include <bit>
#include <cmath>

namespace {
constexpr int kFlagKind = static_cast<int>(TargetKind::Flag);
constexpr int kBaseKind = static_cast<int>(TargetKind::Base);
constexpr std::uint8_t kStateBlockType = 3;  // the state message's type, kept in the record's block

std::int16_t paintWord(float v)
{
    const float clamped = std::isfinite(v) ? std::clamp(v, -1.0f, 1.0f) : 0.0f;
    return static_cast<std::int16_t>(clamped * PlayerRecord::kPaintScale);
}

void putPaint(ByteWriter& w, const PlanePaint& p)
{
    const float words[6] = {p.hue0 / 360.0f, p.saturation0, p.value0, p.hue1 / 360.0f, p.saturation1, p.value1};
    for (float v : words)
        w.i16(paintWord(v));
}

bool readPaint(ByteReader& r, PlanePaint& paint)
{
    std::int16_t words[6] = {};
    for (auto& v : words)
        if (!r.i16(v))
            return false;
    const float s = PlayerRecord::kPaintScale;
    paint = PlanePaint{words[0] * 360.0f / s, words[1] / s, words[2] / s,
                       words[3] * 360.0f / s, words[4] / s, words[5] / s};
    return true;
}

void putWeaponId(ByteWriter& w, int id) { w.u16(id < 0 ? PlayerRecord::kNoWeapon : static_cast<std::uint16_t>(id)); }

// kNameUnits units: at most 31 of the name, then zeros.
void putName(ByteWriter& w, const std::u16string& name)
{
    const std::size_t units = std::min<std::size_t>(name.size(), PlayerRecord::kNameUnits - 1);
    for (std::size_t i = 0; i < units; ++i)
        w.u16(name[i]);
    w.zeros(2 * (PlayerRecord::kNameUnits - units));
}

// A name of kNameUnits units with a 0 among them; false without one.
bool readTerminatedName(ByteReader& r, std::u16string& name)
{
    name.clear();
    bool terminated = false;
    for (int i = 0; i < PlayerRecord::kNameUnits; ++i) {
        std::uint16_t unit = 0;
        if (!r.u16(unit))
            return false;
        terminated = terminated || unit == 0;
        if (!terminated)
            name.push_back(static_cast<char16_t>(unit));
    }
    return terminated;
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

int recordSize(const PlayerRecord& rec)
{
    if (rec.isAirplane())
        return PlayerRecord::kAirplaneSize;
    switch (rec.extra) {
    case PlayerRecord::Extra::FlagPosition: return PlayerRecord::kFlagSize;
    case PlayerRecord::Extra::BaseHealth: return PlayerRecord::kBaseHealthSize;
    default: return PlayerRecord::kEntitySize;
    }
}

void putStateBlock(ByteWriter& w, const PlayerRecord& rec)
{
    std::array<std::uint8_t, PlayerRecord::kStateBlockSize> block{};
    if (rec.hasStateBlock)
        (void)encodeAirplaneState(rec.stateBlock, block);
    w.u8(kStateBlockType);
    w.u16(static_cast<std::uint16_t>(rec.entityId));
    w.bytes(std::span<const std::uint8_t>(block).subspan(3));
}

void putAirplanePart(ByteWriter& w, const PlayerRecord& rec)
{
    w.zeros(4);
    for (std::int32_t v : rec.stats)
        w.i32(v);
    w.i32(rec.spawnCounter);
    putStateBlock(w, rec);
    w.u8(static_cast<std::uint8_t>(rec.planeId));
    putPaint(w, rec.paint);
    w.zeros(6);
    for (int id : rec.weaponIds)
        putWeaponId(w, id);
    putName(w, rec.name);
}

bool readAirplanePart(ByteReader& r, const PlayerRecordLimits& limits, PlayerRecord& rec)
{
    if (!r.skip(4))
        return false;
    for (auto& v : rec.stats)
        if (!r.i32(v))
            return false;
    std::array<std::uint8_t, PlayerRecord::kStateBlockSize> block{};
    std::uint8_t planeId = 0;
    if (!r.i32(rec.spawnCounter) || !r.bytes(block.data(), block.size()) || !r.u8(planeId))
        return false;
    // An unreadable block leaves the airplane where it is; the record still counts.
    rec.hasStateBlock = decodeAirplaneState(block, rec.stateBlock);
    rec.planeId = planeId;
    if (!readPaint(r, rec.paint) || !r.skip(6))
        return false;
    for (int& id : rec.weaponIds)
        if (!readWeaponId(r, limits, id))
            return false;
    return readTerminatedName(r, rec.name);
}

// A float of a flag's position; what is not a number reads as 0.
bool readCoordinate(ByteReader& r, float& v)
{
    std::uint32_t raw = 0;
    if (!r.u32(raw))
        return false;
    v = std::bit_cast<float>(raw);
    if (!std::isfinite(v))
        v = 0.0f;
    return true;
}

PlayerRecord::State stateOfBits(std::uint8_t bits)
{
    return (bits & 2) ? PlayerRecord::State::OutForGood
                      : (bits & 4) ? PlayerRecord::State::Waiting : PlayerRecord::State::InPlay;
}

// A flag's or base's record past its 30 bytes.
bool readExtra(ByteReader& r, PlayerRecord& rec)
{
    if (rec.kind == kFlagKind) {
        rec.extra = PlayerRecord::Extra::FlagPosition;
        return readCoordinate(r, rec.flagPosition.x) && readCoordinate(r, rec.flagPosition.y) &&
               readCoordinate(r, rec.flagPosition.z);
    }
    std::uint8_t raw = 0;
    if (!r.u8(raw))
        return false;
    rec.extra = PlayerRecord::Extra::BaseHealth;
    rec.baseHealth = static_cast<float>(static_cast<std::int8_t>(raw)) * 0.008f;
    // The whole health follows when the sender has it; a record that ends
    // at the byte, or whose float is no number, keeps the byte's -1..1.
    std::uint32_t whole = 0;
    if (r.u32(whole)) {
        const float h = std::bit_cast<float>(whole);
        if (std::isfinite(h))
            rec.baseHealth = std::clamp(h, -PlayerRecord::kMaxBaseHealth, PlayerRecord::kMaxBaseHealth);
    }
    return true;
}
}  // namespace

int encodePlayerRecord(const PlayerRecord& rec, std::span<std::uint8_t> out)
{
    const int size = recordSize(rec);
    if (out.size() < static_cast<std::size_t>(size))
        return 0;
    ByteWriter w(out.first(static_cast<std::size_t>(size)));
    w.u8(0);
    w.u8(static_cast<std::uint8_t>(rec.state));
    w.u8(static_cast<std::uint8_t>(rec.team));
    w.u8(0);
    w.u8(static_cast<std::uint8_t>(rec.role == 0 ? 2 : rec.role));
    w.u8(static_cast<std::uint8_t>(rec.kind));
    w.u16(static_cast<std::uint16_t>(rec.entityId));
    w.u16(static_cast<std::uint16_t>(rec.mapItem));
    w.zeros(4);
    for (std::int32_t v : rec.playerValues)
        w.i32(v);
    if (rec.isAirplane()) {
        putAirplanePart(w, rec);
    } else if (rec.extra == PlayerRecord::Extra::FlagPosition) {
        w.f32(rec.flagPosition.x);
        w.f32(rec.flagPosition.y);
        w.f32(rec.flagPosition.z);
    } else if (rec.extra == PlayerRecord::Extra::BaseHealth) {
        const float h = std::isfinite(rec.baseHealth) ? std::clamp(rec.baseHealth, -1.0f, 1.0f) : 0.0f;
        w.u8(static_cast<std::uint8_t>(static_cast<std::int8_t>(h * 125.0f)));
        w.f32(std::isfinite(rec.baseHealth)
                  ? std::clamp(rec.baseHealth, -PlayerRecord::kMaxBaseHealth, PlayerRecord::kMaxBaseHealth)
                  : 0.0f);
    }
    return w.failed() || w.size() != static_cast<std::size_t>(size) ? 0 : size;
}

bool decodePlayerRecord(std::span<const std::uint8_t> in, const PlayerRecordLimits& limits, PlayerRecord& out)
{
    if (in.size() < static_cast<std::size_t>(PlayerRecord::kEntitySize))
        return false;
    ByteReader r(in);
    std::uint8_t zero = 0, state = 0, team = 0, role = 0, kind = 0;
    std::uint16_t id = 0, item = 0;
    if (!r.u8(zero) || !r.u8(state) || !r.u8(team) || !r.u8(zero) || !r.u8(role) || !r.u8(kind) || !r.u16(id) ||
        !r.u16(item) || !r.skip(4))
        return false;
    // 0 is never sent: a record claiming it would make a foreign airplane local here.
    if (role == 0 || role > 2)
        return false;
    PlayerRecord rec;
    rec.team = team;
    rec.role = role;
    rec.kind = kind;
    for (auto& v : rec.playerValues)
        if (!r.i32(v))
            return false;
    // A flag or base is found by its map object index and checks its own id.
    if (kind == kFlagKind || kind == kBaseKind) {
        rec.state = stateOfBits(state);
        rec.entityId = id;
        rec.mapItem = item;
        if (!readExtra(r, rec))
            return false;
        out = rec;
        return true;
    }
    const auto entityId = static_cast<std::int16_t>(id);
    const auto mapItem = static_cast<std::int16_t>(item);
    if (entityId < 0 || entityId > PlayerRecord::kMaxEntityId)
        return false;
    // Units are named by their map object, runways and tunnels by their map item.
    const bool unit = kind >= 1 && kind <= 11;
    const bool validItem = mapItem >= 0 && mapItem < (unit ? limits.objectCount : limits.itemCount);
    if (mapItem != -1 && !validItem)
        return false;
    if (isMapEntityKind(kind) && !validItem)
        return false;
    rec.state = state == 2 ? PlayerRecord::State::OutForGood
                           : state == 4 ? PlayerRecord::State::Waiting : PlayerRecord::State::InPlay;
    rec.entityId = entityId;
    rec.mapItem = mapItem;
    if (rec.isAirplane() && !readAirplanePart(r, limits, rec))
        return false;
    out = rec;
    return true;
}

int encodeJoinRequest(const JoinRequest& request, std::span<std::uint8_t> out)
{
    constexpr auto size = static_cast<std::size_t>(JoinRequest::kSize);
    if (out.size() < size)
        return 0;
    ByteWriter w(out.first(size));
    w.u8(0);
    w.u32(JoinRequest::kTag);
    w.f32(request.planeValue);
    w.u8(static_cast<std::uint8_t>(request.rank));
    putName(w, request.name);
    w.u8(static_cast<std::uint8_t>(request.planeId));
    putPaint(w, request.paint);
    w.zeros(6);
    for (int id : request.loadout)
        putWeaponId(w, id);
    w.u16(static_cast<std::uint16_t>(request.settingsValue));
    for (std::int32_t v : request.playerWords)
        w.i32(v);
    return w.failed() ? 0 : JoinRequest::kSize;
}

bool decodeJoinRequest(std::span<const std::uint8_t> in, const PlayerRecordLimits& limits, JoinRequest& out)
{
    if (in.size() < static_cast<std::size_t>(JoinRequest::kSize))
        return false;
    ByteReader r(in);
    JoinRequest got;
    std::uint8_t zero = 0, rank = 0, planeId = 0;
    std::uint32_t tag = 0;
    std::uint16_t settingsValue = 0;
    if (!r.u8(zero) || !r.u32(tag) || tag != JoinRequest::kTag || !r.f32(got.planeValue) || !r.u8(rank))
        return false;
    // A joiner's name ends at its 0 or after 31 units; its rank and weapons
    // are held to what exists (an unknown weapon: the plane's own).
    bool ended = false;
    for (int i = 0; i < PlayerRecord::kNameUnits; ++i) {
        std::uint16_t unit = 0;
        if (!r.u16(unit))
            return false;
        ended = ended || unit == 0 || i == PlayerRecord::kNameUnits - 1;
        if (!ended)
            got.name.push_back(static_cast<char16_t>(unit));
    }
    if (!r.u8(planeId) || !readPaint(r, got.paint) || !r.skip(6))
        return false;
    got.rank = std::min<int>(rank, 17);
    got.planeId = planeId;
    for (int& id : got.loadout) {
        std::uint16_t raw = 0;
        if (!r.u16(raw))
            return false;
        const bool known = raw != PlayerRecord::kNoWeapon && raw <= 255 &&
                           (!limits.isKnownWeapon || limits.isKnownWeapon(raw));
        id = known ? raw : -1;
    }
    if (!r.u16(settingsValue))
        return false;
    got.settingsValue = settingsValue;
    for (auto& w : got.playerWords)
        if (!r.i32(w))
            return false;
    out = got;
    return true;
}
