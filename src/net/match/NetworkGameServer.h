#pragma once
#include "modes/IGameListener.h"
#include "modes/MatchEvents.h"
#include "net/match/NetMessage.h"
#include "net/match/NetworkGame.h"
#include "net/match/NetworkPlayer.h"

#include <array>
#include <cstdint>
#include <span>
#include <vector>

class Airplane;

// The host's side of a network game: takes clients in, reads what they send
// on behalf of their airplanes, and sends the events the mode posted to its
// outbox as messages for every player. Main thread only, but for the
// transport's callbacks.
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
    void sendEvents() override;
    bool matchActive() const override { return running(); }
    void setAcceptingJoins(bool accept) override;
    void stopNetworkGame() override;

    // Airplane states sent since the start (one count per airplane, whatever the players).
    int statesSent = 0;

    // The mode's event as its message (those that have none are dropped).
    void sendEvent(const MatchEvent& event);

private:
    void sendEvent(const matchevent::AirplaneAdded& e);
    void sendEvent(const matchevent::AirplaneRespawned& e);
    void sendEvent(const matchevent::AirplaneDestroyed& e);
    void sendEvent(const matchevent::FlaresLaunched& e);
    void sendEvent(const matchevent::PilotEjected& e);
    void sendEvent(const matchevent::WeaponLaunched& e);
    void sendEvent(const matchevent::AirplaneTakenOut& e);
    void sendEvent(const matchevent::ModeValue& e);
    void sendEvent(const matchevent::FlagChanged& e);
    void sendEvent(const matchevent::MatchEnded& e);
    void sendEvent(const matchevent::Chat& e);
    void sendEvent(const matchevent::WeatherChanged& e);
    void sendEvent(const matchevent::Restarted& e);
    void sendEvent(const matchevent::TeamFlag& e);
    // A team change asked for once the window closed: the asker flies on.
    void refuseTeamChange(NetworkPlayer& player, Airplane& airplane);
    void sendEvent(const matchevent::ScoreEvent& e);
    void sendEvent(const matchevent::FlightState& e);
    void sendEvent(const matchevent::AirplaneRemoved& e);
    void sendEvent(const matchevent::TeamRequest& e);
    void sendEvent(const matchevent::StateChanged& e);
    void sendEvent(const matchevent::SunValue&) {}
    void sendEvent(const matchevent::WeaponHit&) {}
    void sendTeamSwitch(Airplane& airplane, int team);
    int ownerIdOf(EntityHandle airplane) const;
    std::span<const std::uint8_t> eventBytes(int length) const;

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
    static std::vector<std::uint8_t> serverDataBytes(const ServerData& data);

    std::array<std::uint8_t, netmsg::kMaxMessage + 8> m_buffer{};
    std::array<std::uint8_t, netmsg::kMaxMessage + 8> m_in{};
    // The events are encoded apart: a flush may run while m_buffer holds a message about to go.
    std::array<std::uint8_t, netmsg::kMaxMessage + 8> m_eventBuffer{};
    bool m_sendingEvents = false;
    float m_clockMark = 0.0f;
    // The state sender walks the whole entity list, which may pass 255.
    int m_stateCursor = 0;
};
