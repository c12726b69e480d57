#pragma once
// A real host and client LanTransport joined by a link the test scripts, on
// one clock run by hand. Every datagram either side sends meets a fate the
// script picks as it leaves: it passes, is lost, arrives twice or is held
// back until the test releases it (so any order can be made). Nothing runs on
// a thread: step() moves the clock, delivers what is in flight and runs one
// pass of each side, so a run is the same every time.
#include "net/transport/LanTransport.h"
#include "support/net/NetPeers.h"

#include <cstdint>
#include <functional>
#include <utility>
#include <vector>

#include <arpa/inet.h>

namespace nettest {

class ScriptedLink {
public:
    enum class Way { ToHost, ToClient };
    enum class Fate { Pass, Drop, Duplicate, Hold };
    struct Datagram {
        Way way = Way::ToHost;
        Bytes bytes;
        std::int64_t heldAtMs = 0;  // when it was held back
        std::uint8_t type() const { return bytes.empty() ? 0xFF : bytes[0]; }
        std::uint8_t number() const { return bytes.size() > 1 ? bytes[1] : 0; }
        bool data() const { return type() == 6 || type() == 7; }
    };

    static constexpr std::uint32_t kHostAddress = 0x0A010001u;  // 10.1.0.1, host order
    static constexpr std::uint32_t kClientAddress = 0x0A010002u;
    static constexpr std::uint16_t kClientPort = 40000;

    // Picks each datagram's fate as it is sent; empty: every one passes.
    std::function<Fate(const Datagram&)> script;
    ManualClock clock;
    std::vector<Datagram> sent;  // what either side sent, in order, whatever its fate
    std::vector<Datagram> held;

    ScriptedLink() : host_(config(Way::ToClient)), client_(config(Way::ToHost)) {}

    LanTransport& host() { return host_; }
    LanTransport& client() { return client_; }

    // A hosting host that accepts, and a client asking it to connect.
    bool startBoth()
    {
        const std::uint8_t info[4] = {'g', 'a', 'm', 'e'};
        const std::uint8_t name[4] = {'p', 0, 0, 0};
        if (!host_.init(info, sizeof info) || !host_.startServer() || !client_.init(name, sizeof name))
            return false;
        host_.setAccepting(true);
        client_.connectTo(htonl(kHostAddress), LanTransport::kDefaultPort);
        return true;
    }

    // Both started and connected within `steps` steps of 1 ms.
    bool connect(int steps = 50)
    {
        if (!startBoth())
            return false;
        for (int i = 0; i < steps && !(client_.connected() && host_.connectedCount() == 1); ++i)
            step();
        return client_.connected() && host_.connectedCount() == 1;
    }

    // The clock moves on, what was in flight arrives, then one pass of each side.
    void step(int ms = 1)
    {
        clock.advance(ms);
        std::vector<Datagram> arriving;
        arriving.swap(inFlight_);
        for (const Datagram& d : arriving)
            deliver(d);
        host_.poll();
        client_.poll();
    }

    // A held datagram goes on its way: it arrives on the next step.
    void release(std::size_t index)
    {
        inFlight_.push_back(std::move(held[index]));
        held.erase(held.begin() + static_cast<std::ptrdiff_t>(index));
    }
    void releaseAll()
    {
        while (!held.empty())
            release(0);
    }
    // A datagram as if it had been sent now, past the script.
    void inject(Datagram d) { inFlight_.push_back(std::move(d)); }

private:
    static sockaddr_in address(std::uint32_t hostOrder, std::uint16_t port)
    {
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_port = htons(port);
        a.sin_addr.s_addr = htonl(hostOrder);
        return a;
    }

    LanTransport::Config config(Way way)
    {
        LanTransport::Config c;
        c.bindPort = 0;
        c.remotePort = LanTransport::kDefaultPort;
        c.discoveryAddress = kHostAddress;
        c.announceAddress = 0;
        c.clock = [this] { return clock(); };
        c.waitMicroseconds = 0;
        c.send = [this, way](const sockaddr_in&, const std::uint8_t* data, std::size_t length) {
            Datagram d{way, Bytes(data, data + length)};
            sent.push_back(d);
            switch (script ? script(d) : Fate::Pass) {
            case Fate::Pass:
                inFlight_.push_back(std::move(d));
                break;
            case Fate::Duplicate:
                inFlight_.push_back(d);
                inFlight_.push_back(std::move(d));
                break;
            case Fate::Hold:
                d.heldAtMs = clock.ms();
                held.push_back(std::move(d));
                break;
            case Fate::Drop:
                break;
            }
        };
        return c;
    }

    void deliver(const Datagram& d)
    {
        if (d.way == Way::ToHost)
            host_.handleDatagram(d.bytes.data(), d.bytes.size(), address(kClientAddress, kClientPort));
        else
            client_.handleDatagram(d.bytes.data(), d.bytes.size(),
                                   address(kHostAddress, LanTransport::kDefaultPort));
    }

    std::vector<Datagram> inFlight_;
    LanTransport host_;
    LanTransport client_;
};

}  // namespace nettest
