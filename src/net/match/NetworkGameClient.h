#pragma once
#include "modes/IGameListener.h"
#include "net/match/NetMessage.h"
#include "net/match/NetworkGame.h"

#include <array>
#include <cstdint>
#include <span>
#include <vector>

// A client's side of a network game: finds games, joins one through the
// handshake, follows the host's messages and sends what its own airplane does.
class NetworkGameClient : public IGameListener, public NetworkGame {
public:
    // 0 browsing, 1 connection asked, 2 accepted, 3 welcomed and asked to
    // join, 4 join applied (map loading), 5 waiting out of the match, 6 in play.
    enum State : int { Browsing = 0, Asked = 1, Accepted = 2, Welcomed = 3, Loading = 4, Waiting = 5, Playing = 6 };
    static constexpr float kJoinDelay = 3.0f;

    struct DiscoveredGame {
        std::uint32_t address = 0;  // network byte order: the key
        std::uint32_t quality = 0;
        std::array<std::uint8_t, 256> info{};
    };

    // Starts a browsing client (discovery on); false when its socket fails.
    bool startLan();
    // Starts a client and asks the host at the address (host byte order) to take it.
    bool connectTo(std::uint32_t address, std::uint16_t port);
    void clearServerList();
    // Asks the n-th listed game to take this client; false past the list.
    bool joinListedServer(int n);

    // The receive phase: the discovered games, then every waiting message.
    void processMessages();
    // The kept join applied to the loaded mode: team totals, sun, weather.
    void applyJoinState();
    void sendJoinRequest();

    int state = Browsing;
    float pointsFactor = 1.0f;
    std::uint32_t serverAddress = 0;
    std::uint16_t serverPort = 0;
    std::vector<DiscoveredGame> discoveredGames;
    // The match the host described in its join answer (valid from state 4).
    const netmsg::JoinCompleteMsg& joinSetup() const { return m_join; }

    // IGameListener
    void update(Phase phase) override;
    void onAirplaneAdded(Target&) override {}
    void onAirplaneRemoved(Target&) override {}
    void onAirplaneRespawned(Target&) override {}
    void onAirplaneStateChanged(Target&, int, int, int, int, bool) override {}
    void onAirplaneDestroyed(Target& victim, Target* killer, CrashCause cause, int flags, float respawnTime,
                             bool toAll) override;
    void onFlaresLaunched(Target& airplane) override;
    void onPilotEjected(Target& airplane) override;
    void onWeaponLaunched(int weaponId, Target* owner, Target* target) override;
    void onSunValue(float, float) override {}
    void onAirplaneTakenOut(Target&) override {}
    void onModeValue(int, int) override {}
    void onFlagEvent(int, Target&, Target*) override {}
    void onMatchEnded(float) override {}
    void onChat(std::u16string_view text, Target* airplane) override;
    void onWeatherChange(int, float) override {}
    void onTeamRequest(Target& airplane, int team) override;
    void onRestart() override {}
    void onTeamFlag() override {}
    void onScoreEvent(Target&, int, int) override {}
    void onWeaponHit(Target& victim, Target* attacker, int weaponId) override;
    void onFlightState(Target&, int, float) override {}
    bool matchActive() const override;
    bool peerConnected() const override;
    void disconnect() override;
    void stopNetworkGame() override { disconnect(); }

private:
    bool startClient(bool discovery);
    void copyDiscovered();
    void handle(std::span<const std::uint8_t> message);
    void handleJoinComplete(std::span<const std::uint8_t> message);
    void handleEntityRecord(std::span<const std::uint8_t> message);
    void handleJoinEnd(std::span<const std::uint8_t> message);
    void handleEvent(std::span<const std::uint8_t> message);
    void sendStates(float dt);
    void sendReliable(int length);
    Target* airplaneById(int id) const;
    Target* ownAirplane() const;

    netmsg::JoinCompleteMsg m_join;
    std::array<std::uint8_t, netmsg::kMaxMessage + 8> m_buffer{};
    std::array<std::uint8_t, netmsg::kMaxMessage + 8> m_in{};
    float m_clockMark = 0.0f;
};
