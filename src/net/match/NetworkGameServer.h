#pragma once
#include "modes/IGameListener.h"
#include "net/match/NetMessage.h"
#include "net/match/NetworkGame.h"
#include "net/match/NetworkPlayer.h"

#include <array>
#include <cstdint>
#include <span>
#include <vector>

class Airplane;

// The host's side of a network game: takes clients in, reads what they send
// on behalf of their airplanes, and turns the mode's events into messages
// for every player. Main thread only, but for the transport's callbacks.
class NetworkGameServer : public IGameListener, public NetworkGame {
public:
    // Stops any game, makes the host's own player (id 0) and starts the
    // transport with at most min(maxClients, 7) clients, not yet accepting.
    // False when the socket cannot be had (no game then runs).
    bool start(int maxClients);

    // Network thread, under the transport's callback lock.
    void onClientConnected(int slot, const std::uint8_t* identity);
    void onClientDisconnected(int slot);
    void copyServerInfo(std::uint8_t* blob, std::uint32_t* length);

    // Reliable to every registered remote player (but exceptId; 255 skips nobody).
    void broadcast(std::span<const std::uint8_t> message) { broadcastExcept(message, NetworkPlayer::kNoId); }
    void broadcastExcept(std::span<const std::uint8_t> message, int exceptId);
    // Sequenced to every registered remote player but exceptId.
    void sendSequencedExcept(std::span<const std::uint8_t> message, int exceptId);
    void sendTo(int playerId, std::span<const std::uint8_t> message);

    // The receive phase: connect and disconnect events, then every message.
    void processMessages();
    // The send phase: the airplanes' states in turn, about ten a second each.
    void sendStates(float dt);

    void sendPlayerInfo(int airplaneId, bool quiet, int exceptId);
    void sendJoinState(int planeId, NetworkPlayer& player);
    void sendServerData(NetworkPlayer* player);

    // IGameListener
    void update(Phase phase) override;
    void onAirplaneAdded(Target& airplane) override;
    void onAirplaneRemoved(Target& airplane) override;
    void onAirplaneRespawned(Target& airplane) override;
    void onAirplaneStateChanged(Target& airplane, int state, int other, int a, int b, bool toAll) override;
    void onAirplaneDestroyed(Target& victim, Target* killer, CrashCause cause, int flags, float respawnTime,
                             bool toAll) override;
    void onFlaresLaunched(Target& airplane) override;
    void onPilotEjected(Target& airplane) override;
    void onWeaponLaunched(int weaponId, Target* owner, Target* target) override;
    void onSunValue(float, float) override {}
    void onAirplaneTakenOut(Target& airplane) override;
    void onModeValue(int value, int index) override;
    void onFlagEvent(int event, Target& flag, Target* player) override;
    void onMatchEnded(float countdown) override;
    void onChat(std::u16string_view text, Target* airplane) override;
    void onWeatherChange(int mode, float duration) override;
    void onTeamRequest(Target& airplane, int team) override;
    void onRestart() override;
    void onTeamFlag() override;
    void onScoreEvent(Target& airplane, int kind, int audience) override;
    void onWeaponHit(Target&, Target*, int) override {}
    void onFlightState(Target& airplane, int state, float time) override;
    bool matchActive() const override { return running(); }
    void setAcceptingJoins(bool accept) override;
    void stopNetworkGame() override;

    // Airplane states sent since the start (one count per airplane, whatever the players).
    int statesSent = 0;

private:
    void drainEvents();
    void handle(int slot, std::span<const std::uint8_t> message);
    void handleJoinRequest(int slot, std::span<const std::uint8_t> message);
    void handleReady(NetworkPlayer& player, Airplane& airplane);
    void handleDestroyed(Airplane& airplane, std::span<const std::uint8_t> message);
    void handleChat(NetworkPlayer& player, Target& airplane, std::span<const std::uint8_t> message);
    void handleWeaponHit(std::span<const std::uint8_t> message);
    void handleRelay(int senderId, std::span<const std::uint8_t> message);
    int ownerIdOf(const Target& airplane) const;
    // The entity's player record in m_buffer from byte 0; its length, or 0.
    int writeRecord(const GameMode& mode, const Target& entity);
    // The mode's server data as sent; empty when the mode sends none.
    std::vector<std::uint8_t> serverData() const;

    std::array<std::uint8_t, netmsg::kMaxMessage + 8> m_buffer{};
    std::array<std::uint8_t, netmsg::kMaxMessage + 8> m_in{};
    float m_clockMark = 0.0f;
};
