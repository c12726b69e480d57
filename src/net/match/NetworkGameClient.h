#pragma once
#include "modes/IGameListener.h"
#include "modes/MatchEvents.h"
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
    // Asks the n-th listed game to take this client (a new connection, also
    // when it asked that host before); false past the list.
    bool joinListedServer(int n);
    // Why the host asked turned this client away; None while it has not.
    LanTransport::Refusal refusal() const;
    // A join that came to nothing: the host asked is given up, the list stays.
    void abandonJoin();

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
    void sendEvents() override;
    bool matchActive() const override;
    bool peerConnected() const override;
    void disconnect() override;
    void stopNetworkGame() override { disconnect(); }

    // The mode's event as this side's message: only what the own airplane
    // did goes to the host, which decides the rest.
    void sendEvent(const MatchEvent& event);

private:
    void sendEvent(const matchevent::AirplaneDestroyed& e);
    void sendEvent(const matchevent::TeamRequest& e);
    void sendEvent(const matchevent::FlaresLaunched& e);
    void sendEvent(const matchevent::PilotEjected& e);
    void sendEvent(const matchevent::WeaponLaunched& e);
    void sendEvent(const matchevent::Chat& e);
    void sendEvent(const matchevent::WeaponHit& e);
    void sendEventBytes(int length);
    template <typename Other>
    void sendEvent(const Other&)
    {
    }
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
    std::array<std::uint8_t, netmsg::kMaxMessage + 8> m_eventBuffer{};
    bool m_sendingEvents = false;
    float m_clockMark = 0.0f;
};
