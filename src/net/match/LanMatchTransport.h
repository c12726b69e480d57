#pragma once
#include "net/match/MatchTransport.h"

// The real one: a LanTransport and its network thread.
class LanMatchTransport : public MatchTransport {
public:
    LanMatchTransport(LanTransport::Config config, const std::uint8_t* identity, std::size_t length,
                      Callbacks callbacks);
    ~LanMatchTransport() override;

    bool startServer(int peerLimit) override;
    bool startClient() override;
    void connectTo(std::uint32_t addressNetworkOrder, std::uint16_t port) override;
    void broadcastDiscovery() override { m_lan.broadcastDiscovery(); }
    void setAccepting(bool accepting) override { m_lan.setAccepting(accepting); }
    void setRefusal(LanTransport::Refusal reason) override { m_lan.setRefusal(reason); }
    LanTransport::Refusal refusal() const override { return m_lan.refusal(); }
    void dropServer() override { m_lan.dropServer(); }
    bool connected() const override { return m_lan.connected(); }
    bool peerConnected(int slot) const override { return m_lan.peerConnected(slot); }
    int queueReliable(const std::uint8_t* message, std::size_t length, int peer) override;
    int sendUnreliable(const std::uint8_t* message, std::size_t length, int peer) override;
    int take(int& peer, std::uint8_t* out, std::size_t capacity) override;
    std::vector<LanTransport::FoundServer> foundServers() const override { return m_lan.foundServers(); }
    void stop() override;

    LanTransport& lan() { return m_lan; }

private:
    LanTransport m_lan;
};
