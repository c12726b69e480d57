// Any bytes to the decoder of every match message kind (byte 0 picks the
// kind, the rest is the message with its type byte set). A refused message
// leaves the object exactly as it was; an accepted one holds values in their
// ranges and encodes to bytes that decode and encode to the same bytes again.
#include "FuzzTarget.h"

#include "net/match/NetMessage.h"

#include <array>
#include <cmath>
#include <vector>

namespace {
using namespace netmsg;
using Bytes = std::vector<std::uint8_t>;
using In = std::span<const std::uint8_t>;
using Out = std::span<std::uint8_t>;

template <typename Msg>
Bytes encoded(const Msg& m, int (Msg::*encode)(Out) const)
{
    Bytes out(kMaxMessage + 8);
    const int n = (m.*encode)(out);
    out.resize(static_cast<std::size_t>(n > 0 ? n : 0));
    return out;
}

// `grows`: the encoder may add bytes a received message lacked (a chat's
// missing terminator), so a message at the limit may not encode again.
template <typename Msg, typename Range>
void check(In in, const Msg& sentinel, bool (Msg::*decode)(In), int (Msg::*encode)(Out) const, Range inRange,
           bool grows = false)
{
    const Bytes before = encoded(sentinel, encode);
    FUZZ_CHECK(!before.empty());
    Msg m = sentinel;
    if (!(m.*decode)(in)) {
        FUZZ_CHECK(encoded(m, encode) == before);
        return;
    }
    FUZZ_CHECK(inRange(m));
    const Bytes first = encoded(m, encode);
    if (first.empty() && grows && in.size() + 6 > kMaxMessage)
        return;
    FUZZ_CHECK(!first.empty() && first.size() <= kMaxMessage);
    Msg back = sentinel;
    FUZZ_CHECK((back.*decode)(first));
    FUZZ_CHECK(inRange(back));
    FUZZ_CHECK(encoded(back, encode) == first);
}

bool unitQuat(const Quat& q)
{
    for (float c : {q.x, q.y, q.z, q.w})
        if (!std::isfinite(c) || std::fabs(c) > 1.03f)
            return false;
    return true;
}

bool finite(const Vec3& v) { return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z); }

bool plainText(const std::u16string& text, std::size_t most)
{
    return text.size() <= most && text.find(u'\0') == std::u16string::npos;
}

bool anyValue(const auto&) { return true; }

// Sentinels away from every default, so a field written before a refusal shows.
JoinCompleteMsg joinSentinel()
{
    JoinCompleteMsg j;
    j.mapIndex = 3;
    j.gameType = 4;
    j.weatherMode = 2;
    j.matchValue = 0.5f;
    j.sunValue = 0.25f;
    j.team1Total = 7;
    j.team2Total = 8;
    j.playerId = 5;
    j.airplaneId = 300;
    j.pointsFactor = 2.0f;
    j.gameName = u"sentinel";
    return j;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzz::silenceLog();
    if (size < 2)
        return 0;
    Bytes message(data + 1, data + size);
    const int kind = data[0] % 30;
    static constexpr std::array<std::uint8_t, 30> kTypes{
        PlayerLeft, JoinComplete, Health, Welcome, Chat, Chat, AirplaneDestroyed, WeaponLaunch, WeaponLaunch,
        Flares, Flares, Weather, Eject, Eject, TeamSwitch, TeamRequest, FlagEvent, JoinEnd, Respawn, TakeOut,
        ModeValue, ServerData, Relay, TeamFlag, ScoreEvent, WeaponHit, AirplaneStateChange, FlightState,
        PlayerInfo, EntityRecord};
    message[0] = kTypes[static_cast<std::size_t>(kind)];
    const In in(message);

    switch (kind) {
    case 0: {
        PlayerLeftMsg s;
        s.quiet = true;
        s.airplaneId = 12;
        check(in, s, &PlayerLeftMsg::decode, &PlayerLeftMsg::encode, anyValue<PlayerLeftMsg>);
        break;
    }
    case 1:
        check(in, joinSentinel(), &JoinCompleteMsg::decode, &JoinCompleteMsg::encode, [](const JoinCompleteMsg& j) {
            return std::isfinite(j.matchValue) && std::isfinite(j.sunValue) && std::isfinite(j.pointsFactor) &&
                   plainText(j.gameName, 31) && j.weatherMode >= -128 && j.weatherMode <= 127;
        });
        break;
    case 2: {
        HealthMsg s;
        s.health = 0.5f;
        check(in, s, &HealthMsg::decode, &HealthMsg::encode,
              [](const HealthMsg& h) { return std::fabs(h.health) <= 1.03f; });
        break;
    }
    case 3: {
        WelcomeMsg s;
        s.weatherWord = 77;
        check(in, s, &WelcomeMsg::decode, &WelcomeMsg::encode, anyValue<WelcomeMsg>);
        break;
    }
    case 4:
    case 5: {
        ChatMsg s;
        s.senderId = 9;
        s.text = u"sentinel";
        const bool relayed = kind == 5;
        check(in, s, relayed ? &ChatMsg::decodeRelayed : &ChatMsg::decodeClient,
              relayed ? &ChatMsg::encodeRelayed : &ChatMsg::encodeClient,
              [](const ChatMsg& c) { return plainText(c.text, kMaxMessage / 2); }, true);
        break;
    }
    case 6: {
        AirplaneDestroyedMsg s;
        s.kind = 2;
        s.victimId = 4;
        s.respawnTime = 3.0f;
        s.position = {1.0f, 2.0f, 3.0f};
        check(in, s, &AirplaneDestroyedMsg::decode, &AirplaneDestroyedMsg::encode, [](const AirplaneDestroyedMsg& d) {
            return std::isfinite(d.respawnTime) && finite(d.position) && unitQuat(d.orientation);
        });
        break;
    }
    case 7:
    case 8: {
        WeaponLaunchMsg s;
        s.weaponId = 5;
        s.ownerId = kind == 8 ? 6 : -1;
        s.targetId = 7;
        const bool host = kind == 8;
        check(in, s, host ? &WeaponLaunchMsg::decodeHost : &WeaponLaunchMsg::decodeClient,
              host ? &WeaponLaunchMsg::encodeHost : &WeaponLaunchMsg::encodeClient,
              [](const WeaponLaunchMsg& w) { return w.weaponId >= 0 && w.weaponId <= 255; });
        break;
    }
    case 9:
    case 10: {
        FlaresMsg s;
        s.airplaneId = 8;
        const bool host = kind == 10;
        check(in, s, host ? &FlaresMsg::decodeHost : &FlaresMsg::decodeClient,
              host ? &FlaresMsg::encodeHost : &FlaresMsg::encodeClient, anyValue<FlaresMsg>);
        break;
    }
    case 11: {
        WeatherMsg s;
        s.mode = 2;
        check(in, s, &WeatherMsg::decode, &WeatherMsg::encode,
              [](const WeatherMsg& w) { return w.mode >= 0 && w.mode < WeatherMsg::kModes; });
        break;
    }
    case 12:
    case 13: {
        EjectMsg s;
        s.airplaneId = 9;
        const bool host = kind == 13;
        check(in, s, host ? &EjectMsg::decodeHost : &EjectMsg::decodeClient,
              host ? &EjectMsg::encodeHost : &EjectMsg::encodeClient, anyValue<EjectMsg>);
        break;
    }
    case 14: {
        TeamSwitchMsg s;
        s.airplaneId = 10;
        s.team = 1;
        s.value = 2.0f;
        check(in, s, &TeamSwitchMsg::decode, &TeamSwitchMsg::encode, [](const TeamSwitchMsg& t) {
            return (t.team == 0 || t.team == 1 || t.team == 255) && std::isfinite(t.value) && finite(t.position) &&
                   unitQuat(t.orientation);
        });
        break;
    }
    case 15: {
        TeamRequestMsg s;
        s.value = 1;
        check(in, s, &TeamRequestMsg::decode, &TeamRequestMsg::encode,
              [](const TeamRequestMsg& t) { return t.value >= 0 && t.value <= 255; });
        break;
    }
    case 16: {
        FlagEventMsg s;
        s.event = 2;
        s.flagId = 11;
        s.playerId = 12;
        check(in, s, &FlagEventMsg::decode, &FlagEventMsg::encode,
              [](const FlagEventMsg& f) { return f.event >= 0 && f.event <= 3; });
        break;
    }
    case 17: {
        JoinEndMsg s;
        s.playerId = 3;
        check(in, s, &JoinEndMsg::decode, &JoinEndMsg::encode, anyValue<JoinEndMsg>);
        break;
    }
    case 18: {
        RespawnMsg s;
        s.airplaneId = 13;
        s.value = 4.0f;
        check(in, s, &RespawnMsg::decode, &RespawnMsg::encode, [](const RespawnMsg& r) {
            return std::isfinite(r.value) && finite(r.position) && unitQuat(r.orientation);
        });
        break;
    }
    case 19: {
        TakeOutMsg s;
        s.airplaneId = 14;
        check(in, s, &TakeOutMsg::decode, &TakeOutMsg::encode, anyValue<TakeOutMsg>);
        break;
    }
    case 20: {
        ModeValueMsg s;
        s.index = 15;
        s.value = 6.0f;
        check(in, s, &ModeValueMsg::decode, &ModeValueMsg::encode,
              [](const ModeValueMsg& v) { return std::isfinite(v.value); });
        break;
    }
    case 21: {
        ServerDataMsg s;
        s.data = {1, 2, 3};
        check(in, s, &ServerDataMsg::decode, &ServerDataMsg::encode,
              [](const ServerDataMsg& d) { return !d.data.empty() && d.data.size() + 5 <= kMaxMessage; });
        break;
    }
    case 22: {
        RelayMsg s;
        s.payload = {4, 5};
        check(in, s, &RelayMsg::decode, &RelayMsg::encode,
              [](const RelayMsg& r) { return r.payload.size() + RelayMsg::kHead <= kMaxMessage; });
        break;
    }
    case 23: {
        TeamFlagMsg s;
        s.teamChange = true;
        check(in, s, &TeamFlagMsg::decode, &TeamFlagMsg::encode, anyValue<TeamFlagMsg>);
        break;
    }
    case 24: {
        ScoreEventMsg s;
        s.airplaneId = 16;
        s.kind = 0;
        s.record.fill(17);
        check(in, s, &ScoreEventMsg::decode, &ScoreEventMsg::encode, [](const ScoreEventMsg& e) {
            for (std::size_t i = 0; i < e.record.size(); ++i)
                if (e.record[i] != 0 && (e.kind == 2 || (e.kind == 1 && i != 1)))
                    return false;
            return e.kind >= 0 && e.kind <= 255;
        });
        break;
    }
    case 25: {
        WeaponHitMsg s;
        s.weaponId = 18;
        s.victimId = 19;
        s.attackerId = 20;
        check(in, s, &WeaponHitMsg::decode, &WeaponHitMsg::encode, anyValue<WeaponHitMsg>);
        break;
    }
    case 26: {
        AirplaneStateChangeMsg s;
        s.state = 3;
        s.airplaneId = 21;
        check(in, s, &AirplaneStateChangeMsg::decode, &AirplaneStateChangeMsg::encode, anyValue<AirplaneStateChangeMsg>);
        break;
    }
    case 27: {
        FlightStateMsg s;
        s.airplaneId = 22;
        s.state = 5;
        s.time = 1.5f;
        check(in, s, &FlightStateMsg::decode, &FlightStateMsg::encode, [](const FlightStateMsg& f) {
            return f.state >= 0 && f.state <= FlightStateMsg::kMaxState && std::isfinite(f.time);
        });
        break;
    }
    default: {
        // A player or entity record: the framing laid back over the record
        // the reader hands on gives the message as received.
        int owner = 99;
        bool quiet = true;
        std::vector<std::uint8_t> record{42};
        if (!RecordMsg::decode(in, message[0], owner, quiet, record)) {
            FUZZ_CHECK(owner == 99 && quiet && record == std::vector<std::uint8_t>{42});
            break;
        }
        FUZZ_CHECK(owner >= 0 && owner <= 255 && record.size() == message.size());
        RecordMsg::frame(record, message[0], quiet, owner);
        FUZZ_CHECK(record == message);
        break;
    }
    }
    return 0;
}
