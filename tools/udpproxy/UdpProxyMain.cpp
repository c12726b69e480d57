// udpproxy -upstream PORT [-port N] [-seed N] [-loss F] [-dup F] [-reorder F] [-delay MS]
// The impairments apply to both directions. Runs until killed.
#include "UdpImpairmentProxy.h"

#include <chrono>
#include <cstdio>
#include <string>
#include <thread>

int main(int argc, char** argv)
{
    UdpImpairmentProxy::Options options;
    UdpImpairmentProxy::Impairment both;
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string name = argv[i];
        const std::string value = argv[i + 1];
        if (name == "-upstream")
            options.upstreamPort = static_cast<std::uint16_t>(std::stoul(value));
        else if (name == "-port")
            options.listenPort = static_cast<std::uint16_t>(std::stoul(value));
        else if (name == "-seed")
            options.seed = static_cast<std::uint32_t>(std::stoul(value));
        else if (name == "-loss")
            both.loss = std::stod(value);
        else if (name == "-dup")
            both.duplicate = std::stod(value);
        else if (name == "-reorder")
            both.reorder = std::stod(value);
        else if (name == "-delay")
            both.delayMs = std::stoi(value);
        else {
            std::fprintf(stderr, "udpproxy: unknown option %s\n", name.c_str());
            return 2;
        }
    }
    if (options.upstreamPort == 0) {
        std::fprintf(stderr, "udpproxy: -upstream PORT is needed\n");
        return 2;
    }
    options.toUpstream = options.toClient = both;
    UdpImpairmentProxy proxy(options);
    if (!proxy.start()) {
        std::fprintf(stderr, "udpproxy: cannot listen\n");
        return 1;
    }
    std::printf("udpproxy: listening on port %u\n", proxy.port());
    std::fflush(stdout);
    for (;;)
        std::this_thread::sleep_for(std::chrono::seconds(60));
}
