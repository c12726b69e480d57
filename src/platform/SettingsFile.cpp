// The layout of "tq2_settings.bin":
//   "SETS", u32 version, u32 block count, then per block
//   u32 id (0 options, 1 profile), u32 payload length, u32 CRC-32 of the plain
//   payload, and the payload scrambled with an xorshift keystream.
// A payload is a run of fields {u16 id, u16 length, little-endian bytes}, so a
// field added later is skipped by an older reader and a field whose length
// changed keeps its current value instead of misreading its neighbours.
#include "platform/Settings.h"

#include <zlib.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>
#include <map>
#include <type_traits>

namespace {
constexpr std::uint8_t kMagic[4] = {'S', 'E', 'T', 'S'};
constexpr std::uint32_t kVersion = 1;
constexpr std::uint32_t kBlockOptions = 0, kBlockProfile = 1;
constexpr std::uint32_t kMaxPayload = 1u << 20;
constexpr std::size_t kBlockHeader = 12;

void putU32(std::vector<std::uint8_t>& out, std::uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

std::uint32_t getU32(const std::uint8_t* bytes)
{
    return std::uint32_t{bytes[0]} | std::uint32_t{bytes[1]} << 8 | std::uint32_t{bytes[2]} << 16 |
           std::uint32_t{bytes[3]} << 24;
}

// Scrambling only keeps the values from being edited by eye; the CRC catches damage.
void scramble(std::span<std::uint8_t> bytes, std::uint32_t blockId)
{
    std::uint32_t state = 0x5EEDF00Du ^ (blockId * 0x9E3779B9u) ^ static_cast<std::uint32_t>(bytes.size());
    if (state == 0)
        state = 0x5EEDF00Du;
    for (auto& byte : bytes) {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        byte ^= static_cast<std::uint8_t>(state);
    }
}

std::uint32_t crcOf(std::span<const std::uint8_t> bytes)
{
    return static_cast<std::uint32_t>(
        crc32(crc32(0L, Z_NULL, 0), bytes.data(), static_cast<uInt>(bytes.size())));
}

template <class T>
void putValue(std::vector<std::uint8_t>& out, T value)
{
    static_assert(std::is_trivially_copyable_v<T> && sizeof(T) <= 4);
    std::uint32_t bits = 0;
    if constexpr (std::is_same_v<T, float>)
        bits = std::bit_cast<std::uint32_t>(value);
    else
        bits = static_cast<std::uint32_t>(value);
    for (std::size_t i = 0; i < sizeof(T); ++i)
        out.push_back(static_cast<std::uint8_t>(bits >> (8 * i)));
}

template <class T>
T getValue(const std::uint8_t* bytes)
{
    std::uint32_t bits = 0;
    for (std::size_t i = 0; i < sizeof(T); ++i)
        bits |= std::uint32_t{bytes[i]} << (8 * i);
    if constexpr (std::is_same_v<T, float>)
        return std::bit_cast<float>(bits);
    else
        return static_cast<T>(bits);
}

// Accepts any value of the type: the check for fields without a range.
struct AnyValue {
    template <class T>
    bool operator()(T) const { return true; }
};

struct Range {
    double low, high;
    template <class T>
    bool operator()(T value) const
    {
        if constexpr (std::is_same_v<T, float>) {
            if (!std::isfinite(value))
                return false;
        }
        return value >= low && value <= high;
    }
};

bool validPaint(const PlanePaint& paint)
{
    const Range hue{0.0, 360.0}, unit{0.0, 1.0};
    return hue(paint.hue0) && hue(paint.hue1) && unit(paint.saturation0) && unit(paint.saturation1) &&
           unit(paint.value0) && unit(paint.value1);
}

// skirmishConfig mixes counts and skill fractions: each word has its own check.
bool validSkirmishWord(std::size_t index, std::uint32_t word)
{
    const std::size_t entry = index / Settings::kEntryWords, slot = index % Settings::kEntryWords;
    const bool skill = (entry <= Settings::kEntryCTF && slot == 5) || (entry == Settings::kEntryFFA && slot == 4);
    if (skill)
        return Range{0.0, 1.0}(std::bit_cast<float>(word));
    if (index == Settings::kWeaponRuleWord)
        return (word & 0xFF) <= 2 && word <= 0x1FF;
    return Range{-1.0, 100000.0}(static_cast<std::int32_t>(word));
}

class FieldWriter {
public:
    explicit FieldWriter(std::vector<std::uint8_t>& out) : m_out(out) {}

    template <class T, class Check = AnyValue>
    void number(std::uint16_t id, const T& value, Check = {})
    {
        header(id, sizeof(T));
        putValue(m_out, value);
    }
    template <class T, std::size_t N, class Check = AnyValue>
    void table(std::uint16_t id, const std::array<T, N>& values, Check = {})
    {
        header(id, sizeof(T) * N);
        for (const T& value : values)
            putValue(m_out, value);
    }
    // A table that may grow: written whole like any other.
    template <class T, std::size_t N>
    void grownTable(std::uint16_t id, const std::array<T, N>& values)
    {
        table(id, values);
    }
    void text(std::uint16_t id, const std::u16string& value, std::size_t maxUnits)
    {
        const std::size_t units = std::min(value.size(), maxUnits);
        header(id, units * 2);
        for (std::size_t i = 0; i < units; ++i)
            putValue(m_out, static_cast<std::uint16_t>(value[i]));
    }
    template <std::size_t N>
    void paints(std::uint16_t id, const std::array<PlanePaint, N>& rows)
    {
        header(id, sizeof(PlanePaint) * N);
        for (const PlanePaint& row : rows)
            for (float v : {row.hue0, row.saturation0, row.value0, row.hue1, row.saturation1, row.value1})
                putValue(m_out, v);
    }

private:
    void header(std::uint16_t id, std::size_t length)
    {
        putValue(m_out, id);
        putValue(m_out, static_cast<std::uint16_t>(length));
    }
    std::vector<std::uint8_t>& m_out;
};

// Reads fields found in a block that passed its check. A field that is
// missing, has another length or holds a value out of range keeps the
// record's current value; in a table only the bad entries do.
class FieldReader {
public:
    explicit FieldReader(const std::map<std::uint16_t, std::span<const std::uint8_t>>& fields) : m_fields(fields) {}

    template <class T, class Check = AnyValue>
    void number(std::uint16_t id, T& value, Check check = {})
    {
        const auto bytes = find(id, sizeof(T));
        if (bytes.empty())
            return;
        const T read = getValue<T>(bytes.data());
        if (check(read) && Range{-1e30, 1e30}(read))
            value = read;
    }
    template <class T, std::size_t N, class Check = AnyValue>
    void table(std::uint16_t id, std::array<T, N>& values, Check check = {})
    {
        const auto bytes = find(id, sizeof(T) * N);
        if (bytes.empty())
            return;
        for (std::size_t i = 0; i < N; ++i) {
            const T read = getValue<T>(bytes.data() + i * sizeof(T));
            if constexpr (std::is_invocable_r_v<bool, Check, std::size_t, T>) {
                if (check(i, read))
                    values[i] = read;
            } else if (check(read)) {
                values[i] = read;
            }
        }
    }
    // A table that grew since older files were written: a shorter stored
    // table fills its first entries and leaves the rest.
    template <class T, std::size_t N>
    void grownTable(std::uint16_t id, std::array<T, N>& values)
    {
        const auto it = m_fields.find(id);
        if (it == m_fields.end() || it->second.size() % sizeof(T) != 0 || it->second.size() > sizeof(T) * N)
            return;
        for (std::size_t i = 0; i < it->second.size() / sizeof(T); ++i)
            values[i] = getValue<T>(it->second.data() + i * sizeof(T));
    }
    void text(std::uint16_t id, std::u16string& value, std::size_t maxUnits)
    {
        const auto it = m_fields.find(id);
        if (it == m_fields.end() || it->second.size() % 2 != 0 || it->second.size() / 2 > maxUnits)
            return;
        std::u16string read;
        for (std::size_t i = 0; i < it->second.size(); i += 2) {
            const auto unit = static_cast<char16_t>(getValue<std::uint16_t>(it->second.data() + i));
            if (unit == 0)
                return;
            read.push_back(unit);
        }
        value = std::move(read);
    }
    template <std::size_t N>
    void paints(std::uint16_t id, std::array<PlanePaint, N>& rows)
    {
        const auto bytes = find(id, sizeof(PlanePaint) * N);
        if (bytes.empty())
            return;
        for (std::size_t i = 0; i < N; ++i) {
            const std::uint8_t* p = bytes.data() + i * sizeof(PlanePaint);
            const PlanePaint row{getValue<float>(p), getValue<float>(p + 4), getValue<float>(p + 8),
                                 getValue<float>(p + 12), getValue<float>(p + 16), getValue<float>(p + 20)};
            if (validPaint(row))
                rows[i] = row;
        }
    }

private:
    std::span<const std::uint8_t> find(std::uint16_t id, std::size_t length) const
    {
        const auto it = m_fields.find(id);
        if (it == m_fields.end() || it->second.size() != length)
            return {};
        return it->second;
    }
    const std::map<std::uint16_t, std::span<const std::uint8_t>>& m_fields;
};

const Range kByteFlag{0, 255};

// One list of the options block for writing and reading. Field ids are
// stored in the file: never reuse or renumber one.
template <class S, class V>
void visitOptions(S& s, V& v)
{
    v.number(1, s.languageIndex, Range{-1, Settings::kLanguageCount - 1});
    v.number(2, s.soundOn, kByteFlag);
    v.number(3, s.musicOn, kByteFlag);
    v.number(4, s.soundVolume, Range{0, 1});
    v.number(5, s.musicVolume, Range{0, 1});
    v.number(6, s.controlType, Range{0, 2});
    v.number(7, s.controlDevice, Range{0, 2});
    const Range sensitivity{Settings::kMinSensitivity, Settings::kMaxSensitivity};
    v.number(8, s.keyboardSensitivity, sensitivity);
    v.number(9, s.joystickSensitivity, sensitivity);
    v.number(10, s.mouseSensitivity, sensitivity);
    v.number(11, s.flipControls);
    v.number(12, s.invertPitch);
    v.number(13, s.metricUnits);
    v.number(14, s.aimAssist);
    v.number(15, s.markerDetails);
    v.number(16, s.flightHintEnabled);
    v.number(17, s.tutorialPromptAnswered);
    v.number(18, s.achievementNameVariant);
    v.number(19, s.chosenViewMode, Range{0, 15});
    v.number(20, s.localPlaneId);
    v.number(21, s.savedDifficulty, Range{0, 2});
    v.number(22, s.skirmishType, Range{0, 31});
    v.number(23, s.skirmishMap, Range{-1, 4095});
    v.number(24, s.skirmishOption, Range{0, 1000});
    v.number(25, s.aiSkill, Range{0, 1});
    v.number(26, s.sunValue, Range{0, 1});
    v.table(27, s.skirmishConfig, validSkirmishWord);
    v.table(28, s.weaponLoadout, Range{-1, 65535});
    v.paints(29, s.planePaintTable);
    for (int i = 0; i < Settings::kChatPresetCount; ++i)
        v.text(static_cast<std::uint16_t>(30 + i), s.chatPresets[i], Settings::kMaxChatPresetUnits);
    v.text(36, s.defaultRoomName, Settings::kMaxRoomNameUnits);
    v.number(37, s.countdownSkip, Range{0, 1000000});
    v.number(38, s.focusSwitchDelay, Range{0, 60});
}

template <class S, class V>
void visitProfile(S& s, V& v)
{
    v.text(1, s.playerName, Settings::kMaxPlayerNameUnits);
    v.table(2, s.playerAccount);
    v.number(3, s.playerRank, Range{0, Settings::kMaxRank});
    v.number(4, s.pointsSP, Range{0, 2147483647.0});
    v.number(5, s.pointsMP, Range{0, 2147483647.0});
    v.table(6, s.planeUnlocked);
    v.table(7, s.campaignAccess);
    v.table(8, s.campaignProgress);
    v.table(9, s.campaignResults);
    v.number(10, s.unlockOnlineMultiplayer);
    v.number(11, s.unlockFFA);
    v.number(12, s.unlockDTB);
    v.number(13, s.unlockSurvivalCoop);
    v.number(14, s.unlockFreeFlight);
    v.number(15, s.unlockPlanePainting);
    v.number(16, s.unlockWeaponChoice);
    v.number(17, s.unlockWeaponPack);
    v.number(18, s.unlockAcrobaticSmoke);
    v.number(19, s.rated);
    v.table(20, s.achievementDone);
    v.grownTable(21, s.eventTalliesSP);
    v.grownTable(22, s.eventTalliesMP);
    v.table(23, s.tutorialDone);
    v.number(24, s.dogfightIndex, Range{0, Settings::kDogfightCount - 1});
    v.number(25, s.dogfightsUnlocked, Range{0, Settings::kDogfightCount});
    v.number(26, s.dogfightSkill, Range{0, 1});
    v.number(27, s.dogfightEnemyCount, Range{0, 64});
    v.number(28, s.dogfightMissileEnemies, Range{0, 64});
    v.number(29, s.dogfightParam4, Range{-1000, 1000});
    v.number(30, s.dogfightParam5, Range{-1000, 1000});
    v.table(31, s.dogfightDone);
    v.table(32, s.dogfightMedals, Range{0, 3});
    v.number(33, s.bestWaveSP, Range{0, 1000000});
    v.number(34, s.bestWaveMP, Range{0, 1000000});
    v.number(35, s.profileResetPending);
}

void appendBlock(std::vector<std::uint8_t>& out, std::uint32_t id, std::vector<std::uint8_t> payload)
{
    putU32(out, id);
    putU32(out, static_cast<std::uint32_t>(payload.size()));
    putU32(out, crcOf(payload));
    scramble(payload, id);
    out.insert(out.end(), payload.begin(), payload.end());
}

// Splits a plain payload into its fields; false when a field runs past the end.
bool splitFields(std::span<const std::uint8_t> payload, std::map<std::uint16_t, std::span<const std::uint8_t>>& fields)
{
    std::size_t pos = 0;
    while (pos < payload.size()) {
        if (payload.size() - pos < 4)
            return false;
        const auto id = getValue<std::uint16_t>(payload.data() + pos);
        const auto length = getValue<std::uint16_t>(payload.data() + pos + 2);
        pos += 4;
        if (payload.size() - pos < length)
            return false;
        fields.emplace(id, payload.subspan(pos, length));
        pos += length;
    }
    return true;
}
}  // namespace

std::vector<std::uint8_t> Settings::encode() const
{
    // The player's own values, never the ones a tutorial forces.
    Settings own = *this;
    own.controlType = playerControlType();
    own.flightHintEnabled = playerFlightHint();

    std::vector<std::uint8_t> out(std::begin(kMagic), std::end(kMagic));
    putU32(out, kVersion);
    putU32(out, 2);
    std::vector<std::uint8_t> options, profile;
    FieldWriter optionsWriter(options), profileWriter(profile);
    visitOptions(own, optionsWriter);
    visitProfile(own, profileWriter);
    appendBlock(out, kBlockOptions, std::move(options));
    appendBlock(out, kBlockProfile, std::move(profile));
    return out;
}

int Settings::decode(std::span<const std::uint8_t> bytes)
{
    if (bytes.size() < 12 || std::memcmp(bytes.data(), kMagic, 4) != 0 || getU32(bytes.data() + 4) != kVersion)
        return 0;
    const std::uint32_t blockCount = getU32(bytes.data() + 8);
    const std::int32_t forcedControlType = controlType;
    const std::uint8_t forcedFlightHint = flightHintEnabled;
    if (m_forcingControlType)
        controlType = m_ownControlType;
    if (m_forcingFlightHint)
        flightHintEnabled = m_ownFlightHint;

    int applied = 0;
    std::size_t pos = 12;
    for (std::uint32_t block = 0; block < blockCount && block < 16; ++block) {
        if (bytes.size() - pos < kBlockHeader)
            break;
        const std::uint32_t id = getU32(bytes.data() + pos);
        const std::uint32_t length = getU32(bytes.data() + pos + 4);
        const std::uint32_t crc = getU32(bytes.data() + pos + 8);
        pos += kBlockHeader;
        if (length > kMaxPayload || bytes.size() - pos < length)
            break;
        std::vector<std::uint8_t> payload(bytes.begin() + static_cast<std::ptrdiff_t>(pos),
                                          bytes.begin() + static_cast<std::ptrdiff_t>(pos + length));
        pos += length;
        scramble(payload, id);
        std::map<std::uint16_t, std::span<const std::uint8_t>> fields;
        if (crcOf(payload) != crc || !splitFields(payload, fields))
            continue;
        FieldReader reader(fields);
        if (id == kBlockOptions)
            visitOptions(*this, reader);
        else if (id == kBlockProfile)
            visitProfile(*this, reader);
        else
            continue;
        ++applied;
    }

    if (m_forcingControlType) {
        m_ownControlType = controlType;
        controlType = forcedControlType;
    }
    if (m_forcingFlightHint) {
        m_ownFlightHint = flightHintEnabled;
        flightHintEnabled = forcedFlightHint;
    }
    return applied;
}
