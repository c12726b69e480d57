#pragma once
#include "modes/IGameListener.h"
#include "modes/ModeHooks.h"

#include <string>
#include <utility>
#include <vector>

// A network listener that only writes down what the mode told it.
class RecordingListener : public IGameListener {
public:
    struct Destroyed {
        const Target* victim;
        const Target* killer;
        CrashCause cause;
        int flags = 0;
        float respawnTime = 0.0f;
    };
    // What the network game answers the mode.
    bool active = true, connected = true;
    std::vector<bool> acceptingJoins;
    std::vector<std::string> calls;  // operation names in call order
    std::vector<Destroyed> destroyed;
    std::vector<const Target*> added, takenOut;
    int receives = 0, sends = 0, launches = 0;

    int count(const std::string& name) const;

    void update(Phase phase) override;
    void onAirplaneAdded(Target& airplane) override;
    void onAirplaneRemoved(Target&) override { calls.push_back("removed"); }
    void onAirplaneRespawned(Target&) override { calls.push_back("respawned"); }
    void onAirplaneStateChanged(Target&, int, int, int, int, bool) override { calls.push_back("stateChanged"); }
    void onAirplaneDestroyed(Target& victim, Target* killer, CrashCause cause, int, float, bool) override;
    void onFlaresLaunched(Target&) override { calls.push_back("flares"); }
    void onPilotEjected(Target&) override { calls.push_back("ejected"); }
    void onWeaponLaunched(int, Target*, Target*) override;
    void onSunValue(float, float) override { calls.push_back("sun"); }
    void onAirplaneTakenOut(Target& airplane) override;
    void onModeValue(int, int) override { calls.push_back("modeValue"); }
    void onFlagEvent(int, Target&, Target*) override { calls.push_back("flag"); }
    void onMatchEnded(float) override { calls.push_back("matchEnded"); }
    void onChat(std::u16string_view, Target*) override { calls.push_back("chat"); }
    void onWeatherChange(int, float) override { calls.push_back("weather"); }
    void onTeamRequest(Target&, int) override { calls.push_back("teamRequest"); }
    void onRestart() override { calls.push_back("restart"); }
    void onTeamFlag() override { calls.push_back("teamFlag"); }
    void onScoreEvent(Target&, int, int) override { calls.push_back("scoreEvent"); }
    void onWeaponHit(Target&, Target*, int) override { calls.push_back("weaponHit"); }
    void onFlightState(Target&, int, float) override { calls.push_back("flightState"); }
    bool matchActive() const override { return active; }
    bool peerConnected() const override { return connected; }
    void setAcceptingJoins(bool accept) override
    {
        calls.push_back("acceptJoins");
        acceptingJoins.push_back(accept);
    }
    void disconnect() override { calls.push_back("disconnect"); }
    void stopNetworkGame() override { calls.push_back("stopNetwork"); }
};

// The HUD and camera as the mode drives them, written down.
class RecordingHud : public IModeHud, public IModeCamera, public IModeScores {
public:
    std::vector<const IGameEntity*> markers;
    std::vector<int> removedMessages;
    std::vector<const Target*> forgottenByCamera, forgottenByScores;
    int hitIndicators = 0, releases = 0;
    std::vector<std::pair<const Target*, const Target*>> kills;  // victim, attacker
    struct Pushed {
        int kind, stringId;
        std::u16string text;
        bool isLong;
    };
    std::vector<Pushed> pushed;

    void addMarker(const IGameEntity& entity, int, int, bool) override { markers.push_back(&entity); }
    void removeMarker(const IGameEntity& entity) override { std::erase(markers, &entity); }
    std::vector<const IGameEntity*> goals;
    void markObjective(const IGameEntity& entity) override { goals.push_back(&entity); }
    std::vector<std::pair<const IGameEntity*, int>> markerFlags;
    void setMarkerFlag(const IGameEntity& entity, int flag) override { markerFlags.emplace_back(&entity, flag); }
    void removeMessage(int id) override { removedMessages.push_back(id); }
    void raiseHitIndicator() override { ++hitIndicators; }
    void releaseAllButtons() override { ++releases; }
    void forget(const Target& entity) override;
    void onKill(const Target& victim, const Target& attacker) override { kills.emplace_back(&victim, &attacker); }
    // The kill cam: what it was told to follow; watching holds it as a real camera would.
    std::vector<const Target*> killCams;
    bool watching = false;
    bool watchingOther() const override { return watching; }
    void startKillCam(const Target& airplane) override { killCams.push_back(&airplane); }
    void pushWithSound(int kind, int stringId, std::u16string_view text) override
    {
        pushed.push_back({kind, stringId, std::u16string(text), false});
    }
    void pushLong(int stringId, std::u16string_view text) override
    {
        pushed.push_back({0, stringId, std::u16string(text), true});
    }

    ModeHooks hooks() { return ModeHooks{this, this, nullptr, this}; }
};
