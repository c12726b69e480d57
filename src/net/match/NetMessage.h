#pragma once
#include "net/transport/LanTransport.h"
#include "platform/Math.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

// The match messages host and clients exchange over the transport. Byte 0 is
// the type; multi-byte fields are little-endian; airplane ids travel as i16
// (-1 none); quaternion components as i16 x 32000. Every decoder checks the
// length (exact, or the least the type needs) and the check tag before it
// reads, refuses floats that are not numbers, and reads nothing past the
// message; a refused message leaves the object as it was. Encoders write
// from byte 0 and return the length, or 0 when the message does not fit
// `out` or would exceed kMaxMessage (logged: it would never arrive).
namespace netmsg {

// The transport's limit: a longer message could be made but never sent.
constexpr std::size_t kMaxMessage = LanTransport::kMaxPayload;

// Times a peer sends, held to what a match can mean before anything counts
// with them or turns them into whole seconds: a respawn wait is at most the
// set-up's one byte of seconds (-1: out), a count-down at most an hour, an
// elapsed match time at most a day. Not a number counts as the lowest.
constexpr float kMaxRespawnWait = 255.0f, kMaxCountdown = 3600.0f, kMaxElapsed = 86400.0f;
float peerSeconds(float value, float lowest, float highest);
inline float respawnSeconds(float value) { return peerSeconds(value, -1.0f, kMaxRespawnWait); }

enum Type : std::uint8_t {
    JoinRequest = 0, PlayerInfo = 0, PlayerLeft = 1, JoinComplete = 2, AirplaneState = 3, Health = 5,
    Welcome = 6, Chat = 7, AirplaneDestroyed = 8, WeaponLaunch = 9, Flares = 10, Weather = 12, Eject = 23,
    Ready = 35, TeamSwitch = 39, TeamRequest = 40, FlagEvent = 41, EntityRecord = 54, JoinEnd = 55,
    Respawn = 56, TakeOut = 57, ModeValue = 64, ServerData = 65, MatchEnd = 66, Restart = 67, Relay = 68,
    TeamFlag = 69, ScoreEvent = 70, WeaponHit = 71, AirplaneStateChange = 72, FlightState = 73
};

constexpr std::uint32_t kPlayerInfoTag = 0x7d1acb91, kPlayerLeftTag = 0xe1ab449b, kJoinCompleteTag = 0x840ea576,
                        kWelcomeTag = 0xb1f4c65b, kDestroyedTag = 0x194fba65, kEjectTag = 0x71717171,
                        kReadyTag = 0x51515151, kTeamSwitchTag = 0x18181818, kTeamRequestTag = 0x19191919,
                        kFlagEventTag = 0x61616161, kEntityRecordTag = 0x845eb576, kRespawnTag = 0x13131313,
                        kTakeOutTag = 0x12121212, kModeValueTag = 0x12341234, kServerDataTag = 0x41414141,
                        kMatchEndTag = 0x81818181, kRestartTag = 0x11112222, kTeamFlagTag = 0x43214321,
                        kScoreEventTag = 0x23232323, kStateChangeTag = 0x07070707;

// Quantisation of what travels as fixed point.
std::int16_t quatWord(float component);   // clamped to -1..1, x 32000, truncated
float quatComponent(std::int16_t word);   // x 1/32000
std::int8_t healthByte(float health);     // clamped to -1..1, x 125, truncated toward zero
float healthValue(std::int8_t byte);      // x 0.008

struct PlayerLeftMsg {
    static constexpr std::size_t kSize = 8;
    bool quiet = false;
    int airplaneId = -1;
    int encode(std::span<std::uint8_t> out) const;
    bool decode(std::span<const std::uint8_t> in);
};

struct JoinCompleteMsg {
    static constexpr std::size_t kSize = 135;
    int mapIndex = 0;
    int gameType = 0;
    int weatherMode = 0;  // i8
    std::uint32_t weatherWord = 0;
    float matchValue = 0.0f;
    float sunValue = 1.0f;
    std::uint32_t team2Total = 0, team1Total = 0;
    std::uint32_t respawnDelay = 0;
    int scoreLimit = 0;
    int matchMinutes = 0;
    int playerCount = 0;
    int playerId = 0;
    int airplaneId = 0;
    bool teamMatch = false;
    float pointsFactor = 1.0f;
    std::uint32_t optionFlags = 0;
    std::u16string gameName;  // at most 31 units
    std::array<std::uint32_t, 4> setupValues{};
    int encode(std::span<std::uint8_t> out) const;
    bool decode(std::span<const std::uint8_t> in);
};

// The airplane's state block (34 bytes written from byte 0) behind type and id.
struct AirplaneStateMsg {
    static constexpr std::size_t kMinSize = 3;
    // Sets bytes 0-2 of a block the airplane wrote; false when it is too short or too long.
    static bool frame(std::span<std::uint8_t> block, int airplaneId);
    // The id at byte 1; false for a message too short or too long.
    static bool peekId(std::span<const std::uint8_t> in, int& airplaneId);
};

struct HealthMsg {
    static constexpr std::size_t kSize = 2;
    float health = 1.0f;  // as it reads back
    int encode(std::span<std::uint8_t> out) const;
    bool decode(std::span<const std::uint8_t> in);
};

struct WelcomeMsg {
    static constexpr std::size_t kSize = 9;
    std::uint32_t weatherWord = 0;
    int encode(std::span<std::uint8_t> out) const;
    bool decode(std::span<const std::uint8_t> in);
};

// Client form: 7, the text, a zero. Relayed form (host to clients): 7, u32
// sender airplane id, the text, a zero. A received text ends at its first
// zero or at the message end.
struct ChatMsg {
    std::uint32_t senderId = 0;
    std::u16string text;
    int encodeClient(std::span<std::uint8_t> out) const;
    int encodeRelayed(std::span<std::uint8_t> out) const;
    bool decodeClient(std::span<const std::uint8_t> in);
    bool decodeRelayed(std::span<const std::uint8_t> in);
};

struct AirplaneDestroyedMsg {
    static constexpr std::size_t kSize = 35;
    int kind = 0;
    int flags = 0;
    int victimId = -1;
    int killerId = -1;
    float respawnTime = 0.0f;
    Vec3 position;
    Quat orientation;
    int encode(std::span<std::uint8_t> out) const;
    bool decode(std::span<const std::uint8_t> in);
    // A death comes in two messages: at the hit (the destroyed flag) and
    // once the airplane is down (its respawn or out for good). Logged as
    // sent or heard.
    bool atTheHit() const { return (flags & 4) != 0; }
    void log(const char* way) const;
};

// Client form 5 bytes (no owner), host form 7 bytes.
struct WeaponLaunchMsg {
    static constexpr std::size_t kClientSize = 5, kHostSize = 7;
    int weaponId = 0;
    int ownerId = -1;
    int targetId = -1;
    int last = 0xFF;
    int encodeClient(std::span<std::uint8_t> out) const;
    int encodeHost(std::span<std::uint8_t> out) const;
    bool decodeClient(std::span<const std::uint8_t> in);
    bool decodeHost(std::span<const std::uint8_t> in);
};

// Client form 1 byte, host form 3 bytes.
struct FlaresMsg {
    int airplaneId = -1;
    int encodeClient(std::span<std::uint8_t> out) const;
    int encodeHost(std::span<std::uint8_t> out) const;
    bool decodeClient(std::span<const std::uint8_t> in);
    bool decodeHost(std::span<const std::uint8_t> in);
};

struct WeatherMsg {
    static constexpr std::size_t kSize = 2;
    static constexpr int kModes = 4;  // the scene's weather modes 0-3
    int mode = 0;
    int encode(std::span<std::uint8_t> out) const;
    bool decode(std::span<const std::uint8_t> in);
};

// Client form 5 bytes, host form 7 bytes.
struct EjectMsg {
    int airplaneId = -1;
    int encodeClient(std::span<std::uint8_t> out) const;
    int encodeHost(std::span<std::uint8_t> out) const;
    bool decodeClient(std::span<const std::uint8_t> in);
    bool decodeHost(std::span<const std::uint8_t> in);
};

struct ReadyMsg {
    static constexpr std::size_t kSize = 5;
    int encode(std::span<std::uint8_t> out) const;
    bool decode(std::span<const std::uint8_t> in);
};

struct TeamSwitchMsg {
    static constexpr std::size_t kSize = 32;
    int airplaneId = -1;
    int team = 0;  // 0, 1 or 255
    float value = 0.0f;
    Vec3 position;
    Quat orientation;
    int encode(std::span<std::uint8_t> out) const;
    bool decode(std::span<const std::uint8_t> in);
};

struct TeamRequestMsg {
    static constexpr std::size_t kSize = 6;
    int value = 0;
    int encode(std::span<std::uint8_t> out) const;
    bool decode(std::span<const std::uint8_t> in);
};

struct FlagEventMsg {
    static constexpr std::size_t kSize = 10;
    int event = 0;  // 0 taken, 1 captured, 2 returned, 3 dropped
    int flagId = -1;
    int playerId = -1;
    int encode(std::span<std::uint8_t> out) const;
    bool decode(std::span<const std::uint8_t> in);
};

// PlayerInfoMsg (type 0) and EntityRecordMsg (type 54): the mode's record
// with the type, the quiet bit, the owner and the tag laid over it.
struct RecordMsg {
    static constexpr std::size_t kMinSize = 30;
    static constexpr std::size_t kClearedHead = 30;
    // Lays the framing over a record written into `message`.
    static void frame(std::span<std::uint8_t> message, std::uint8_t type, bool quiet, int ownerId);
    // Checks length, type and tag; the owner and quiet bit out, and a copy of
    // the record with the framing cleared, as the mode's reader takes it.
    static bool decode(std::span<const std::uint8_t> in, std::uint8_t type, int& ownerId, bool& quiet,
                       std::vector<std::uint8_t>& record);
};

struct JoinEndMsg {
    static constexpr std::size_t kSize = 3;
    int playerId = 0;
    int encode(std::span<std::uint8_t> out) const;
    bool decode(std::span<const std::uint8_t> in);
};

struct RespawnMsg {
    static constexpr std::size_t kSize = 31;
    int airplaneId = -1;
    float value = 0.0f;
    Vec3 position;
    Quat orientation;
    int encode(std::span<std::uint8_t> out) const;
    bool decode(std::span<const std::uint8_t> in);
};

struct TakeOutMsg {
    static constexpr std::size_t kSize = 7;
    int airplaneId = -1;
    int encode(std::span<std::uint8_t> out) const;
    bool decode(std::span<const std::uint8_t> in);
};

struct ModeValueMsg {
    static constexpr std::size_t kSize = 11;
    int index = 0;
    float value = 0.0f;
    int encode(std::span<std::uint8_t> out) const;
    bool decode(std::span<const std::uint8_t> in);
};

// ServerDataMsg (n + 5) and MatchEndMsg (n + 9, the restart count-down last).
struct ServerDataMsg {
    std::vector<std::uint8_t> data;
    int encode(std::span<std::uint8_t> out) const;
    bool decode(std::span<const std::uint8_t> in);
};

struct MatchEndMsg {
    std::vector<std::uint8_t> data;
    float countdown = 0.0f;
    int encode(std::span<std::uint8_t> out) const;
    // The data and count-down are split by the mode's reader (it knows n):
    // this only checks the framing and hands on bytes 5 to the end.
    bool decode(std::span<const std::uint8_t> in);
    std::vector<std::uint8_t> tail;  // bytes 5.. as received
};

struct RestartMsg {
    static constexpr std::size_t kSize = 5;
    int encode(std::span<std::uint8_t> out) const;
    bool decode(std::span<const std::uint8_t> in);
};

struct RelayMsg {
    static constexpr std::size_t kHead = 6;
    std::vector<std::uint8_t> payload;
    int encode(std::span<std::uint8_t> out) const;
    bool decode(std::span<const std::uint8_t> in);
};

// Whether players may still change teams in the host's match.
struct TeamFlagMsg {
    static constexpr std::size_t kSize = 6;
    bool teamChange = false;
    int encode(std::span<std::uint8_t> out) const;
    bool decode(std::span<const std::uint8_t> in);
};

struct ScoreEventMsg {
    static constexpr std::size_t kRecordSize = 36;
    int airplaneId = -1;
    int kind = 0;
    // Kind 0 fills all nine words, kind 1 the second; others send none.
    std::array<std::int32_t, 9> record{};
    int encode(std::span<std::uint8_t> out) const;
    bool decode(std::span<const std::uint8_t> in);
};

struct WeaponHitMsg {
    static constexpr std::size_t kSize = 6;
    int weaponId = 0;
    int victimId = 0;
    int attackerId = 0;
    int encode(std::span<std::uint8_t> out) const;
    bool decode(std::span<const std::uint8_t> in);
};

struct AirplaneStateChangeMsg {
    static constexpr std::size_t kSize = 12;
    int a = 0, b = 0;
    int state = 0;
    int airplaneId = -1;
    int otherId = -1;
    int encode(std::span<std::uint8_t> out) const;
    bool decode(std::span<const std::uint8_t> in);
};

struct FlightStateMsg {
    static constexpr std::size_t kSize = 8;
    static constexpr int kMaxState = 11;
    int airplaneId = -1;
    int state = 0;
    float time = 0.0f;
    int encode(std::span<std::uint8_t> out) const;
    bool decode(std::span<const std::uint8_t> in);
};

}  // namespace netmsg
