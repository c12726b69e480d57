#pragma once
#include <cstddef>
#include <cstdint>

// What the room-server client reports; filled by the match layer's handler.
// Texts are zero-terminated copies bounded by their field; the whole-message
// arguments point at the message as received.
class IRoomServerListener {
public:
    virtual ~IRoomServerListener() = default;
    virtual void onDisconnected() = 0;
    virtual void onJoinServer(std::uint32_t address, std::uint16_t port, std::uint32_t value) = 0;  // address in network byte order
    virtual void onConnectionLost() = 0;
    virtual void onRoomEntry(const std::uint8_t* entry) = 0;  // the 307-byte message
    virtual void onRoomNotice(const char* text, std::uint16_t number) = 0;
    virtual void onRoomNotice2(const char* text, std::uint16_t number) = 0;
    virtual void onRoomLeft() = 0;
    virtual void onRoomError(const char* text) = 0;
    // The 311-byte head and its extra bytes; the area after the head is zero when none came.
    virtual void onRoomInfo(const std::uint8_t* message, std::size_t length) = 0;
    virtual void onConnectFailed() = 0;
    virtual void onConnected() = 0;
    virtual void onRoomMessage(const char* text) = 0;
};
