#include "net/room/RoomClient.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <future>
#include <string>
#include <thread>
#include <vector>

namespace {
using Bytes = std::vector<std::uint8_t>;

struct StreamListener : IRoomServerListener {
    std::vector<std::string> events;
    std::size_t infoLength = 0;
    std::uint8_t infoLast = 0;
    void onDisconnected() override { events.push_back("disconnected"); }
    void onJoinServer(std::uint32_t, std::uint16_t port, std::uint32_t) override
    {
        events.push_back("join " + std::to_string(port));
    }
    void onConnectionLost() override { events.push_back("lost"); }
    void onRoomEntry(const std::uint8_t*) override { events.push_back("entry"); }
    void onRoomNotice(const char*, std::uint16_t) override { events.push_back("notice"); }
    void onRoomNotice2(const char*, std::uint16_t) override { events.push_back("notice2"); }
    void onRoomLeft() override { events.push_back("left"); }
    void onRoomError(const char* text) override { events.push_back("error " + std::string(text)); }
    void onRoomInfo(const std::uint8_t* message, std::size_t length) override
    {
        infoLength = length;
        infoLast = message[length - 1];
        events.push_back("info");
    }
    void onConnectFailed() override { events.push_back("failed"); }
    void onConnected() override { events.push_back("connected"); }
    void onRoomMessage(const char*) override { events.push_back("message"); }
};

Bytes typeOnly(std::uint16_t type)
{
    return {static_cast<std::uint8_t>(type & 0xFF), static_cast<std::uint8_t>(type >> 8)};
}

// A room-details answer: the 311-byte head, saying `extra` bytes follow
// (byte 38 set so the extra counts), then that many bytes.
Bytes roomInfo(std::uint32_t extra, std::size_t sent)
{
    Bytes b(RoomClient::kInfoHead + sent, 5);
    b[0] = 31;
    b[1] = 0;
    for (int i = 0; i < 4; ++i)
        b[2 + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(extra >> (8 * i));
    b[38] = 1;
    if (!b.empty())
        b.back() = 0xEE;
    return b;
}

// Feeds on a worker: a reader that stops checking lengths can spin for
// ever, and a hang must fail the run rather than stall it.
void feedWithin(RoomClient& client, const Bytes& bytes, std::size_t piece)
{
    auto done = std::async(std::launch::async, [&] {
        for (std::size_t at = 0; at < bytes.size(); at += piece)
            client.feed(bytes.data() + at, std::min(piece, bytes.size() - at));
    });
    if (done.wait_for(std::chrono::seconds(10)) != std::future_status::ready) {
        ADD_FAILURE() << "the reader did not return";
        std::fflush(nullptr);
        std::_Exit(1);
    }
}
}  // namespace

TEST(RoomStream, AnInfoLongerThanTheBufferEndsTheSessionInsteadOfWaitingForIt)
{
    RoomClient client;
    StreamListener listener;
    client.setListener(&listener);
    feedWithin(client, roomInfo(RoomClient::kInfoExtraMax + 1, RoomClient::kInfoExtraMax + 1), 4096);
    EXPECT_EQ(listener.events, (std::vector<std::string>{"disconnected"}));
}

TEST(RoomStream, AnInfoThatJustFitsArrivesWholeThroughAnySplit)
{
    for (std::size_t piece : {1u, 7u, 311u, 2000u}) {
        RoomClient client;
        StreamListener listener;
        client.setListener(&listener);
        Bytes stream = roomInfo(RoomClient::kInfoExtraMax, RoomClient::kInfoExtraMax);
        const Bytes left = typeOnly(27);
        stream.insert(stream.end(), left.begin(), left.end());
        feedWithin(client, stream, piece);
        EXPECT_EQ(listener.events, (std::vector<std::string>{"info", "left"})) << piece;
        EXPECT_EQ(listener.infoLength, RoomClient::kBuffer) << piece;
        EXPECT_EQ(listener.infoLast, 0xEE) << piece;
    }
}

// Without byte 38 the extra count means nothing: the head alone is the message.
TEST(RoomStream, TheExtraCountIsReadOnlyWhenTheHeadSaysSo)
{
    RoomClient client;
    StreamListener listener;
    client.setListener(&listener);
    Bytes head = roomInfo(600, 0);
    head[38] = 0;
    Bytes stream = head;
    const Bytes left = typeOnly(27);
    stream.insert(stream.end(), left.begin(), left.end());
    feedWithin(client, stream, 50);
    EXPECT_EQ(listener.events, (std::vector<std::string>{"info", "left"}));
    EXPECT_EQ(listener.infoLength, RoomClient::kInfoHead);
}

// Unknown types cost one byte each until the stream is in step again;
// fixed-size messages wait for their last byte.
TEST(RoomStream, UnknownBytesAreSkippedOneAtATimeAndFixedMessagesWaitForTheirEnd)
{
    RoomClient client;
    StreamListener listener;
    client.setListener(&listener);
    Bytes stream{0xFF};  // with the 27 after it: type 0x1BFF, unknown
    const Bytes left = typeOnly(27);
    stream.insert(stream.end(), left.begin(), left.end());
    Bytes error(130, 'e');
    error[0] = 28;
    error[1] = 0;
    error[129] = 0;
    feedWithin(client, stream, 1);
    EXPECT_EQ(listener.events, (std::vector<std::string>{"left"}));
    feedWithin(client, Bytes(error.begin(), error.end() - 1), 64);
    EXPECT_EQ(listener.events.size(), 1u) << "one byte short";
    feedWithin(client, Bytes{0}, 1);
    ASSERT_EQ(listener.events.size(), 2u);
    EXPECT_EQ(listener.events[1], "error " + std::string(127, 'e'));
}
