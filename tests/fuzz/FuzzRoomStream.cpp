// libFuzzer entry for the room client's reader: any bytes, handed over in
// pieces of any size (the first byte picks it) and in any request state,
// never overrun, hang or leave the buffer with more than it can hold.
#include "FuzzTarget.h"

#include "net/room/RoomClient.h"

#include <cstring>

namespace {

struct QuietListener : IRoomServerListener {
    std::size_t textBytes = 0;
    void onDisconnected() override {}
    void onJoinServer(std::uint32_t, std::uint16_t, std::uint32_t) override {}
    void onConnectionLost() override {}
    void onRoomEntry(const std::uint8_t* entry) override { textBytes += entry[306]; }
    void onRoomNotice(const char* text, std::uint16_t) override { FUZZ_CHECK(std::strlen(text) <= 32); }
    void onRoomNotice2(const char* text, std::uint16_t) override { FUZZ_CHECK(std::strlen(text) <= 32); }
    void onRoomLeft() override {}
    void onRoomError(const char* text) override { FUZZ_CHECK(std::strlen(text) <= 1021); }
    void onRoomInfo(const std::uint8_t* message, std::size_t length) override
    {
        FUZZ_CHECK(length >= RoomClient::kInfoHead && length <= RoomClient::kBuffer);
        textBytes += message[length - 1];
    }
    void onConnectFailed() override {}
    void onConnected() override {}
    void onRoomMessage(const char*) override {}
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 1)
        return 0;
    RoomClient::Config config;
    // Redirects and closes reconnect: nothing listens on port 1 of the loopback.
    config.table = RoomClient::makeTable({"127.0.0.1", 1}, {"127.0.0.1", 1}, {"127.0.0.1", 1});
    config.sleep = [](int) {};
    RoomClient client(config);
    QuietListener listener;
    client.setListener(&listener);
    const std::size_t piece = 1 + (data[0] & 0x3F) * 17;
    for (std::size_t at = 1; at < size; at += piece)
        client.feed(data + at, std::min(piece, size - at));
    return 0;
}
