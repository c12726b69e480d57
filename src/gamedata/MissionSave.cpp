#include "gamedata/MissionSave.h"

#include "gamedata/map/GameWorld.h"
#include "platform/ByteReader.h"
#include "platform/ByteWriter.h"
#include "platform/File.h"
#include "platform/Log.h"

#include <zlib.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdio>
#include <cstring>

namespace {
constexpr char kMagic[4] = {'S', 'K', 'C', 'P'};
constexpr std::size_t kMaxText = 255;
constexpr std::size_t kMaxTable = 4096;

void putVec3(ByteWriter& out, const Vec3& v)
{
    out.f32(v.x);
    out.f32(v.y);
    out.f32(v.z);
}

// A length byte and at most kMaxText characters.
void putText(ByteWriter& out, const std::string& s)
{
    const std::size_t n = std::min(s.size(), kMaxText);
    out.u8(static_cast<std::uint8_t>(n));
    out.bytes(s.data(), n);
}

bool readVec3(ByteReader& in, Vec3& v) { return in.f32(v.x) && in.f32(v.y) && in.f32(v.z); }
bool readBool(ByteReader& in, bool& b)
{
    std::uint8_t v = 0;
    if (!in.u8(v) || v > 1)
        return false;
    b = v == 1;
    return true;
}
bool readText(ByteReader& in, std::string& s)
{
    std::uint8_t n = 0;
    if (!in.u8(n))
        return false;
    s.resize(n);
    return n == 0 || in.bytes(s.data(), n);
}

std::uint32_t crcOf(std::span<const std::uint8_t> bytes)
{
    return static_cast<std::uint32_t>(crc32(0L, bytes.data(), static_cast<uInt>(bytes.size())));
}
}  // namespace

std::string MissionSave::fileName(const MissionKey& key)
{
    char name[64];
    std::snprintf(name, sizeof name, "missionSavc%dm%d_%d.sav", key.campaign, key.mission, key.difficulty);
    return name;
}

std::vector<std::uint8_t> MissionSave::encode(const CheckpointData& data)
{
    ByteWriter out;
    out.bytes(kMagic, 4);
    out.u16(kVersion);
    out.u16(0);
    out.u32(0);  // file size, filled below
    out.i32(data.key.campaign);
    out.i32(data.key.mission);
    out.i32(data.key.difficulty);
    out.bytes(data.stats);
    out.f32(data.gameClock);
    putVec3(out, data.player.position);
    out.f32(data.player.orientation.x);
    out.f32(data.player.orientation.y);
    out.f32(data.player.orientation.z);
    out.f32(data.player.orientation.w);
    out.f32(data.player.speed);
    out.f32(data.player.health);
    out.f32(data.player.throttle);
    out.u32(static_cast<std::uint32_t>(data.objects.size()));
    for (const CheckpointData::Object& o : data.objects) {
        out.u8(o.active ? 1 : 0);
        out.i32(o.state);
        out.f32(o.health);
    }
    out.u32(static_cast<std::uint32_t>(data.triggers.size()));
    for (const CheckpointData::Trigger& t : data.triggers) {
        out.u8(t.enabled ? 1 : 0);
        out.u8(t.fired ? 1 : 0);
        out.u8(t.started ? 1 : 0);
        out.f32(t.elapsed);
    }
    out.u8(data.playerLossAllowed ? 1 : 0);
    out.f32(data.sunValue);
    out.f32(data.countdown);
    putText(out, data.countdownLabel);
    putText(out, data.music);
    out.u8(data.musicLoops ? 1 : 0);
    std::vector<std::uint8_t> bytes = out.take();
    // The file size goes into the header's third word, the check sum after everything.
    const auto total = static_cast<std::uint32_t>(bytes.size() + 4);
    ByteWriter size{std::span(bytes).subspan(8, 4)};
    size.u32(total);
    ByteWriter crc;
    crc.u32(crcOf(bytes));
    const std::vector<std::uint8_t> tail = crc.take();
    bytes.insert(bytes.end(), tail.begin(), tail.end());
    return bytes;
}

std::optional<CheckpointData> MissionSave::decode(std::span<const std::uint8_t> bytes)
{
    if (bytes.size() < 16 || bytes.size() > kMaxFileBytes || std::memcmp(bytes.data(), kMagic, 4) != 0)
        return std::nullopt;
    const std::span<const std::uint8_t> body = bytes.first(bytes.size() - 4);
    ByteReader tail(bytes.last(4));
    std::uint32_t storedCrc = 0;
    if (!tail.u32(storedCrc) || storedCrc != crcOf(body))
        return std::nullopt;

    ByteReader in(body);
    CheckpointData data;
    std::uint8_t magic[4];
    std::uint16_t version = 0, reserved = 0;
    std::uint32_t size = 0;
    if (!in.bytes(magic, 4) || !in.u16(version) || !in.u16(reserved) || !in.u32(size) || version != kVersion ||
        size != bytes.size())
        return std::nullopt;
    std::int32_t campaign = 0, mission = 0, difficulty = 0;
    if (!in.i32(campaign) || !in.i32(mission) || !in.i32(difficulty) || !in.bytes(data.stats.data(), data.stats.size()))
        return std::nullopt;
    data.key = {campaign, mission, difficulty};
    Quat& q = data.player.orientation;
    if (!in.f32(data.gameClock) || !readVec3(in, data.player.position) || !in.f32(q.x) || !in.f32(q.y) ||
        !in.f32(q.z) || !in.f32(q.w) || !in.f32(data.player.speed) || !in.f32(data.player.health) ||
        !in.f32(data.player.throttle))
        return std::nullopt;
    // An orientation that cannot be made a unit turns the plane into nonsense.
    if (!quatCanNormalize(q))
        return std::nullopt;
    q = quatNormalize(q);
    std::uint32_t count = 0;
    if (!in.u32(count) || count > kMaxTable)
        return std::nullopt;
    data.objects.resize(count);
    for (CheckpointData::Object& o : data.objects)
        if (!readBool(in, o.active) || !in.i32(o.state) || !in.f32(o.health))
            return std::nullopt;
    if (!in.u32(count) || count > kMaxTable)
        return std::nullopt;
    data.triggers.resize(count);
    for (CheckpointData::Trigger& t : data.triggers)
        if (!readBool(in, t.enabled) || !readBool(in, t.fired) || !readBool(in, t.started) || !in.f32(t.elapsed))
            return std::nullopt;
    if (!readBool(in, data.playerLossAllowed) || !in.f32(data.sunValue) || !in.f32(data.countdown) ||
        !readText(in, data.countdownLabel) || !readText(in, data.music) || !readBool(in, data.musicLoops) ||
        !in.atEnd())
        return std::nullopt;
    return data;
}

void MissionSave::captureWorld(const GameWorld& world, CheckpointData& data)
{
    data.gameClock = world.clock();
    data.objects.clear();
    for (int i = 0; i < world.objectCount(); ++i) {
        const MapObject& o = *world.object(i);
        data.objects.push_back({o.active, o.isGone() ? MapObject::kStateGone : o.state, o.health});
    }
    data.triggers.clear();
    for (int i = 0; i < world.triggerCount(); ++i) {
        const MapTrigger& t = *world.trigger(i);
        data.triggers.push_back({t.enabled, t.fired, t.started, t.elapsed});
    }
    data.playerLossAllowed = world.playerLossAllowed;
    data.sunValue = world.sunValue;
    data.countdown = world.countdownEnd >= 0.0f ? std::max(world.countdownEnd - world.clock(), 0.0f) : -1.0f;
    data.countdownLabel = world.countdownLabel;
    data.music = world.music;
    data.musicLoops = world.musicLoops;
}

bool MissionSave::applyWorld(const CheckpointData& data, GameWorld& world)
{
    if (data.objects.size() != static_cast<std::size_t>(world.objectCount()) ||
        data.triggers.size() != static_cast<std::size_t>(world.triggerCount()))
        return false;
    world.setClock(data.gameClock);
    for (int i = 0; i < world.objectCount(); ++i) {
        MapObject& o = *world.object(i);
        const CheckpointData::Object& saved = data.objects[static_cast<std::size_t>(i)];
        o.active = saved.active;
        o.state = saved.state;
        o.health = saved.health;
    }
    for (int i = 0; i < world.triggerCount(); ++i) {
        MapTrigger& t = *world.trigger(i);
        const CheckpointData::Trigger& saved = data.triggers[static_cast<std::size_t>(i)];
        t.enabled = saved.enabled;
        t.fired = saved.fired;
        t.started = false;  // objectives register again with the fresh HUD
        t.elapsed = saved.elapsed;
    }
    world.playerLossAllowed = data.playerLossAllowed;
    world.sunValue = data.sunValue;
    world.countdownEnd = data.countdown >= 0.0f ? data.gameClock + data.countdown : -1.0f;
    world.countdownLabel = data.countdownLabel;
    world.music = data.music;
    world.musicLoops = data.musicLoops;

    const MapHooks& hooks = world.hooks();
    hooks.hostOrNone().setPlayerLossAllowed(world.playerLossAllowed);
    if (world.sunValue >= 0.0f)
        hooks.hostOrNone().setSunValue(world.sunValue);
    if (world.countdownEnd >= 0.0f)
        hooks.hudOrNone().setCountdown(std::floor(data.countdown), mapLabelText(world.countdownLabel).c_str());
    if (!world.music.empty())
        hooks.audioOrNone().playMusic(world.music, world.musicLoops);
    return true;
}

namespace {
enum class CheckpointFile { MissingOrGood, DamagedKept, DamagedNotKept };

// A checkpoint the game cannot read is the player's all the same: its bytes
// are kept beside it (or the file moved aside when it cannot be read at all)
// before anything writes over it or deletes it. One that cannot be kept stays
// where it is, and the file layer refuses to write over it or delete it.
CheckpointFile keepDamagedCheckpoint(const std::string& name)
{
    const std::string keptName = name + ".bad";
    std::vector<std::uint8_t> bytes;
    std::string kept;
    bool keptNow = false;
    if (!readSaveFile(name, MissionSave::kMaxFileBytes, bytes)) {
        const UnreadSaveFile unread = keepUnreadSaveFile(name, keptName, kept);
        if (unread == UnreadSaveFile::Missing)
            return CheckpointFile::MissingOrGood;
        keptNow = unread == UnreadSaveFile::Kept;
    } else if (MissionSave::decode(bytes)) {
        return CheckpointFile::MissingOrGood;
    } else {
        const KeptSaveFile result = keepDamagedSaveFile(name, keptName, bytes, kept);
        if (result == KeptSaveFile::KeptBefore)
            return CheckpointFile::DamagedKept;
        keptNow = result == KeptSaveFile::Kept;
    }
    if (!keptNow) {
        logWarning("checkpoint", "%s: damaged and could not be kept; left as it is", name.c_str());
        return CheckpointFile::DamagedNotKept;
    }
    logWarning("checkpoint", "%s: damaged; kept as %s", name.c_str(), kept.c_str());
    return CheckpointFile::DamagedKept;
}
}  // namespace

bool MissionSave::save(const GameWorld& world, ICheckpointHost& host)
{
    CheckpointData data;
    if (!host.playerState(data.player))
        return false;
    data.key = host.missionKey();
    FileBuffer stats;
    host.writeStats(stats);
    if (stats.size() != CheckpointData::kStatsBytes) {
        logWarning("checkpoint", "statistics block of %zu bytes, not %zu: not saved", stats.size(),
                   CheckpointData::kStatsBytes);
        return false;
    }
    std::copy(stats.bytes().begin(), stats.bytes().end(), data.stats.begin());
    captureWorld(world, data);
    const std::vector<std::uint8_t> bytes = encode(data);
    // A damaged checkpoint that cannot be kept is not written over.
    if (keepDamagedCheckpoint(fileName(data.key)) == CheckpointFile::DamagedNotKept)
        return false;
    if (!writeSaveFileAtomic(fileName(data.key), bytes)) {
        logWarning("checkpoint", "%s: cannot be written; the previous checkpoint stays", fileName(data.key).c_str());
        return false;
    }
    return true;
}

std::optional<CheckpointData> MissionSave::load(ICheckpointHost& host)
{
    const MissionKey key = host.missionKey();
    const std::string name = fileName(key);
    std::vector<std::uint8_t> bytes;
    std::optional<CheckpointData> data;
    if (readSaveFile(name, kMaxFileBytes, bytes))
        data = decode(bytes);
    if (!data) {
        if (keepDamagedCheckpoint(name) != CheckpointFile::MissingOrGood)
            logWarning("checkpoint", "%s: damaged, the mission starts from the beginning", name.c_str());
        return std::nullopt;
    }
    if (!(data->key == key)) {
        logWarning("checkpoint", "%s: belongs to another mission, ignored", name.c_str());
        return std::nullopt;
    }
    return data;
}

bool MissionSave::resume(GameWorld& world, ICheckpointHost& host, int value)
{
    std::optional<CheckpointData> data;
    if (value == 1)
        data = load(host);
    if (data && (data->objects.size() != static_cast<std::size_t>(world.objectCount()) ||
                 data->triggers.size() != static_cast<std::size_t>(world.triggerCount()))) {
        logWarning("checkpoint", "%s: made for another version of the map, ignored",
                   fileName(host.missionKey()).c_str());
        data.reset();
    }
    if (data) {
        // Objects destroyed before the checkpoint stay out of the spawn.
        for (int i = 0; i < world.objectCount(); ++i)
            world.object(i)->state = data->objects[static_cast<std::size_t>(i)].state;
    }
    host.spawnMission(world);
    if (!data)
        return false;
    applyWorld(*data, world);
    FileBuffer stats(std::vector<std::uint8_t>(data->stats.begin(), data->stats.end()));
    host.readStats(stats);
    host.applyPlayerState(data->player);
    host.countCheckpointRestart();
    return true;
}

bool MissionSave::remove(ICheckpointHost& host)
{
    const std::string name = fileName(host.missionKey());
    // A won mission needs no checkpoint; a damaged one that could not be kept
    // stays where it is rather than be lost.
    if (keepDamagedCheckpoint(name) == CheckpointFile::DamagedNotKept)
        return false;
    return removeSaveFile(name);
}
