#pragma once
#include <string_view>

class Target;
enum class CrashCause : int;

// The network game the mode reports to: the server on the host, the client
// elsewhere, none in single player. The mode calls update(Receive) first and
// update(Send) last each frame; every other call reports one game event,
// which the implementation turns into its match message or ignores.
class IGameListener {
public:
    enum class Phase : int { Receive = 0, Send = 1 };

    virtual ~IGameListener() = default;

    virtual void update(Phase phase) = 0;
    virtual void onAirplaneAdded(Target& airplane) = 0;
    virtual void onAirplaneRemoved(Target& airplane) = 0;
    virtual void onAirplaneRespawned(Target& airplane) = 0;
    virtual void onAirplaneStateChanged(Target& airplane, int state, int other, int a, int b, bool toAll) = 0;
    // killer may be null; respawnTime in seconds, -1 when out for good.
    virtual void onAirplaneDestroyed(Target& victim, Target* killer, CrashCause cause, int flags,
                                     float respawnTime, bool toAll) = 0;
    virtual void onFlaresLaunched(Target& airplane) = 0;
    virtual void onPilotEjected(Target& airplane) = 0;
    // owner and target may be null (a relayed launch whose owner left).
    virtual void onWeaponLaunched(int weaponId, Target* owner, Target* target) = 0;
    virtual void onSunValue(float value, float extra) = 0;
    virtual void onAirplaneTakenOut(Target& airplane) = 0;
    virtual void onModeValue(int value, int index) = 0;
    virtual void onFlagEvent(int event, Target& flag, Target* player) = 0;
    virtual void onMatchEnded(float countdown) = 0;
    virtual void onChat(std::u16string_view text, Target* airplane) = 0;
    virtual void onWeatherChange(int mode, float duration) = 0;
    virtual void onTeamRequest(Target& airplane, int team) = 0;
    virtual void onRestart() = 0;
    virtual void onTeamFlag() = 0;
    virtual void onScoreEvent(Target& airplane, int kind, int audience) = 0;
    virtual void onWeaponHit(Target& victim, Target* attacker, int weaponId) = 0;
    virtual void onFlightState(Target& airplane, int state, float time) = 0;

    // The network game's state as the mode asks for it. A client's match is
    // lost when matchActive turns false (transport gone or the host ended
    // it) or, during a restart countdown, when peerConnected does.
    virtual bool matchActive() const { return true; }
    virtual bool peerConnected() const { return true; }
    // The host's transport takes new players or turns them away.
    virtual void setAcceptingJoins(bool /*accept*/) {}
    // A client drops its connection to the host.
    virtual void disconnect() {}
    // The match is over for good: leave the room and stop the network game.
    virtual void stopNetworkGame() {}
};
