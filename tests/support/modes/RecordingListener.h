#pragma once
#include "modes/IGameListener.h"
#include "modes/MatchOutbox.h"
#include "modes/ModeHooks.h"

#include <map>

#include <string>
#include <utility>
#include <vector>

// A network game that only writes down what the mode asked of it. The
// events themselves wait in the mode's outbox: read them with readOutbox.
class RecordingListener : public IGameListener {
public:
    // What the network game answers the mode.
    bool active = true, connected = true;
    std::vector<bool> acceptingJoins;
    std::vector<std::string> calls;  // operation names in call order
    int receives = 0, sends = 0, flushes = 0;

    int count(const std::string& name) const;

    void update(Phase phase) override;
    void sendEvents() override { ++flushes; }
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

// The mode's outbox as tests check it: one name per event in order, and the
// details of the kinds tests look into (entities resolved now: null once gone).
struct PostedEvents {
    struct Destroyed {
        const Target* victim;
        const Target* killer;
        CrashCause cause;
        int flags = 0;
        float respawnTime = 0.0f;
    };
    std::vector<std::string> names;
    std::vector<Destroyed> destroyed;
    std::vector<const Target*> added, takenOut;
    int launches = 0;

    int count(const std::string& name) const;
};
PostedEvents readOutbox(const MatchOutbox& outbox);

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

    std::map<const IGameEntity*, bool> lockable;  // by marker: shown as a target
    void addMarker(const IGameEntity& entity, int, int, bool targetable) override
    {
        markers.push_back(&entity);
        lockable[&entity] = targetable;
    }
    void removeMarker(const IGameEntity& entity) override
    {
        std::erase(markers, &entity);
        lockable.erase(&entity);
    }
    std::vector<const IGameEntity*> goals;
    void markObjective(const IGameEntity& entity) override { goals.push_back(&entity); }
    std::vector<std::pair<const IGameEntity*, int>> markerFlags;
    void setMarkerFlag(const IGameEntity& entity, int flag) override { markerFlags.emplace_back(&entity, flag); }
    std::vector<int> postedMessages;
    void postMessage(int id) override { postedMessages.push_back(id); }
    void removeMessage(int id) override { removedMessages.push_back(id); }
    void raiseHitIndicator() override { ++hitIndicators; }
    void releaseAllButtons() override { ++releases; }
    int insigniaRefreshes = 0;
    void refreshInsignia() override { ++insigniaRefreshes; }
    void forget(const Target& entity) override;
    void onKill(const Target& victim, const Target& attacker) override { kills.emplace_back(&victim, &attacker); }
    // The kill cam: what it was told to follow; watching holds it as a real camera would.
    std::vector<const Target*> killCams;
    bool watching = false;
    bool watchingOther() const override { return watching; }
    const Target* watched = nullptr;  // the airplane the kill cam follows
    const Target* watchedAirplane() const override { return watched; }
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
