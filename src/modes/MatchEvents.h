#pragma once
#include "entities/EntityHandle.h"
#include "entities/Target.h"
#include "entities/aircraft/AirplaneState.h"
#include "modes/PlayerRecord.h"
#include "modes/ServerData.h"
#include "platform/Math.h"

#include <array>
#include <cstdint>
#include <string>
#include <variant>

// What the mode tells the network game, one struct per event. Each names its
// entities by handle and copies the state its message needs as it was when it
// happened: the network game reads the events after the frame, when an entity
// named here may be gone already (its handle still gives the id it had; an
// empty handle stands for "none").
namespace matchevent {

// An airplane (or entity) joined the match: its player record as it was then.
struct AirplaneAdded {
    EntityHandle airplane;
    bool isPlayer = false;  // the player's own airplane: nothing is sent for it
    ::PlayerRecord record;
};
// Only airplanes; value is the seconds left before it flies (0: at once).
struct AirplaneRespawned {
    EntityHandle airplane;
    float value = 0.0f;
    Vec3 position;
    Quat orientation;
};
struct AirplaneDestroyed {
    EntityHandle victim;
    EntityHandle killer;
    CrashCause cause = CrashCause::None;
    int flags = 0;
    float respawnTime = 0.0f;  // -1: out for good
    NetworkRole victimRole = NetworkRole::Local;
    Vec3 position;
    Quat orientation;
};
struct FlaresLaunched {
    EntityHandle airplane;
    NetworkRole role = NetworkRole::Local;
};
struct PilotEjected {
    EntityHandle airplane;
    NetworkRole role = NetworkRole::Local;
};
struct WeaponLaunched {
    int weaponId = -1;
    EntityHandle owner;
    EntityHandle target;
    NetworkRole ownerRole = NetworkRole::Local;
};
struct SunValue {
    float value = 1.0f;
};
struct AirplaneTakenOut {
    EntityHandle airplane;
};
struct ModeValue {
    int value = 0;
    int index = 0;
};
struct FlagChanged {
    int event = 0;  // FlagEvent
    EntityHandle flag;
    EntityHandle player;
};
// The kind's server data as it stood when the match ended.
struct MatchEnded {
    float countdown = 0.0f;
    ::ServerData serverData;
};
struct Chat {
    EntityHandle sender;
    std::u16string text;
};
struct WeatherChanged {
    int mode = 0;
    float duration = 0.0f;
};
struct Restarted {};
// Whether players may still change teams (the host closes it past half of a timed match).
struct TeamFlag {
    bool teamChange = false;
};
// audience: 0 everybody, 1 the airplane's owner only, 2 everybody but the owner.
struct ScoreEvent {
    EntityHandle airplane;
    int kind = 0;
    int audience = 0;
    std::array<std::int32_t, 9> record{};
};
struct WeaponHit {
    EntityHandle victim;
    EntityHandle attacker;
    int weaponId = -1;
};
struct FlightState {
    EntityHandle airplane;
    int state = 0;
    float time = 0.0f;
};
// An airplane left the match on the host (not a player's leaving): peers drop it without a line.
struct AirplaneRemoved {
    EntityHandle airplane;
};
// An airplane taken out to change to the team: the host's switch (where it
// comes back, and when) or a client's request for its own airplane.
struct TeamRequest {
    EntityHandle airplane;
    int team = 0;
    float respawnTime = -1.0f;
    Vec3 position;
    Quat orientation;
};
// An airplane's life state changed on the host; other may be empty.
struct StateChanged {
    EntityHandle airplane;
    int state = 0;
    EntityHandle other;
    int a = 0, b = 0;
    bool toAll = false;
};

}  // namespace matchevent

using MatchEvent =
    std::variant<matchevent::AirplaneAdded, matchevent::AirplaneRespawned, matchevent::AirplaneDestroyed,
                 matchevent::FlaresLaunched, matchevent::PilotEjected, matchevent::WeaponLaunched,
                 matchevent::SunValue, matchevent::AirplaneTakenOut, matchevent::ModeValue,
                 matchevent::FlagChanged, matchevent::MatchEnded, matchevent::Chat, matchevent::WeatherChanged,
                 matchevent::Restarted, matchevent::TeamFlag, matchevent::ScoreEvent, matchevent::WeaponHit,
                 matchevent::FlightState, matchevent::AirplaneRemoved, matchevent::TeamRequest,
                 matchevent::StateChanged>;

// What a peer tells the mode, decoded and checked by the network game.
namespace peerevent {

// A player record: a new airplane, or with own the player's own.
struct PlayerRecord {
    ::PlayerRecord record;
    bool own = false;
};
struct PlayerLeft {
    int airplaneId = -1;
};
// An airplane's state as its owner's side sent it.
struct AirplaneState {
    int airplaneId = -1;
    AirplaneNetState state;
};
struct Health {
    int airplaneId = -1;
    float health = 0.0f;
};
struct Destroyed {
    int victimId = -1;
    int killerId = -1;
    int cause = 0;
    std::uint8_t flags = 0;
    float respawnTime = 0.0f;
    Vec3 position;
    Quat orientation;
};
struct WeaponLaunch {
    int weaponId = -1;
    int ownerId = -1;
    int targetId = -1;
};
struct Flares {
    int airplaneId = -1;
};
struct Weather {
    int mode = 0;
    float duration = 0.0f;
};
struct Eject {
    int airplaneId = -1;
};
struct TeamSwitch {
    int airplaneId = -1;
    int team = 0;
    float value = -1.0f;  // below 0: no respawn
    Vec3 position;
    Quat orientation;
};
struct Flag {
    int event = 0;
    int flagId = -1;
    int playerId = -1;
};
// Back into play after delay seconds, at the place when given, else at the spawn point.
struct Respawn {
    int airplaneId = -1;
    float delay = 0.0f;
    bool placed = false;
    Vec3 position;
    Quat orientation;
};
struct TakeOut {
    int airplaneId = -1;
};
// Out of the match until asked back (a joining player waiting for its start).
struct Eliminate {
    int airplaneId = -1;
};
struct ServerData {
    ::ServerData data;
};
// The kind's server data (when it came readable) and the restart countdown
// (when it came at all).
struct MatchEnd {
    bool hasData = false;
    ::ServerData data;
    bool hasCountdown = false;
    float countdown = 0.0f;
};
struct Restart {};
struct FlightState {
    int airplaneId = -1;
    int state = 0;
    float time = 0.0f;
};
// The host's round or wave countdown: value seconds, index the wave.
struct ModeValue {
    int value = 0;
    int index = 0;
};
// Whether players may still change teams (the host closes it past half of a timed match).
struct TeamFlag {
    bool teamChange = false;
};
// A client asks to change its airplane to the team.
struct TeamRequest {
    int airplaneId = -1;
    int team = 0;
};
struct StateChange {
    int airplaneId = -1;
    int state = 0;
    int otherId = -1;
    int a = 0, b = 0;
};

}  // namespace peerevent

using PeerEvent =
    std::variant<peerevent::PlayerRecord, peerevent::PlayerLeft, peerevent::AirplaneState, peerevent::Health,
                 peerevent::Destroyed, peerevent::WeaponLaunch, peerevent::Flares, peerevent::Weather,
                 peerevent::Eject, peerevent::TeamSwitch, peerevent::Flag, peerevent::Respawn, peerevent::TakeOut,
                 peerevent::Eliminate, peerevent::ServerData, peerevent::MatchEnd, peerevent::Restart,
                 peerevent::FlightState, peerevent::ModeValue, peerevent::TeamFlag, peerevent::TeamRequest,
                 peerevent::StateChange>;
