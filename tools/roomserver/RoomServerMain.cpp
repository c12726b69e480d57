// roomserver [-port N] [-host ADDRESS] [-hostport N] [-script NAME] [-redirect PORT] [-room NAME:MODE:MAP[:RANK[:KIND:VALUE[:private][:password=TEXT]]]]...
// Runs until killed; prints the port it listens on.
#include "StandInRoomServer.h"

#include <arpa/inet.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>
#include <thread>

int main(int argc, char** argv)
{
    StandInRoomServer::Options options;
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string name = argv[i];
        const std::string value = argv[i + 1];
        if (name == "-port")
            options.port = static_cast<std::uint16_t>(std::stoul(value));
        else if (name == "-hostport")
            options.hostPort = static_cast<std::uint16_t>(std::stoul(value));
        else if (name == "-redirect")
            options.redirectPort = static_cast<std::uint16_t>(std::stoul(value));
        else if (name == "-room")
            options.rooms.push_back(value);
        else if (name == "-script")
            options.script = value;
        else if (name == "-host")
            inet_pton(AF_INET, value.c_str(), &options.hostAddress);
        else {
            std::fprintf(stderr, "roomserver: unknown option %s\n", name.c_str());
            return 2;
        }
    }
    StandInRoomServer server(options);
    if (!server.start()) {
        std::fprintf(stderr, "roomserver: cannot listen on port %u\n", options.port);
        return 1;
    }
    std::printf("roomserver: listening on port %u\n", server.port());
    std::fflush(stdout);
    for (;;)
        std::this_thread::sleep_for(std::chrono::seconds(60));
}
