#include "net/match/LanMatchTransport.h"

LanMatchTransport::LanMatchTransport(LanTransport::Config config, const std::uint8_t* identity, std::size_t length,
                                     Callbacks callbacks)
    : m_lan(std::move(config))
{
    (void)m_lan.init(identity, length);
    if (callbacks.clientConnected)
        m_lan.setClientConnected(std::move(callbacks.clientConnected));
    if (callbacks.clientDisconnected)
        m_lan.setClientDisconnected(std::move(callbacks.clientDisconnected));
    if (callbacks.serverListChanged)
        m_lan.setServerListChanged(std::move(callbacks.serverListChanged));
    if (callbacks.copyServerInfo)
        m_lan.setCopyServerInfo(std::move(callbacks.copyServerInfo));
}

LanMatchTransport::~LanMatchTransport() { stop(); }

bool LanMatchTransport::startServer(int peerLimit)
{
    if (!m_lan.startServer())
        return false;
    m_lan.setPeerLimit(peerLimit);
    m_lan.setAccepting(false);
    m_lan.startThread();
    return true;
}

bool LanMatchTransport::startClient()
{
    if (m_lan.openClientSocket() != 0)
        return false;
    m_lan.startThread();
    return true;
}

void LanMatchTransport::connectTo(std::uint32_t addressNetworkOrder, std::uint16_t port)
{
    m_lan.connectTo(addressNetworkOrder, port);
}

int LanMatchTransport::queueReliable(const std::uint8_t* message, std::size_t length, int peer)
{
    return m_lan.queueReliable(message, length, peer);
}

int LanMatchTransport::sendUnreliable(const std::uint8_t* message, std::size_t length, int peer)
{
    return m_lan.sendUnreliable(message, length, peer);
}

int LanMatchTransport::take(int& peer, std::uint8_t* out, std::size_t capacity)
{
    if (m_lan.peekAnyReliable(peer) > 0)
        return m_lan.takeReliable(peer, out, capacity);
    if (m_lan.peekAnySequenced(peer) > 0)
        return m_lan.takeSequenced(peer, out, capacity);
    return 0;
}

void LanMatchTransport::stop()
{
    m_lan.stopThread();
    m_lan.closeSocket();
}
