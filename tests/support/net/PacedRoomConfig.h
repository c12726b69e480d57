#pragma once
#include "StandInRoomServer.h"

#include "net/room/RoomClient.h"

#include <memory>

// A room client of the stand-in server on 127.0.0.1 whose blocking requests
// wait for the server's next answer, at most the game's own step of a
// second each time, rather than a few fixed milliseconds: on a busy machine
// the answer comes later, never too late.
inline RoomClient::Config pacedRoomConfig(StandInRoomServer& server)
{
    const std::uint16_t port = server.port();
    RoomClient::Config config;
    config.table = RoomClient::makeTable({"127.0.0.1", port}, {"127.0.0.1", port}, {"127.0.0.1", port});
    auto seen = std::make_shared<int>(server.answersSent());
    config.sleep = [&server, seen](int milliseconds) { server.waitForAnswer(*seen, milliseconds); };
    return config;
}
