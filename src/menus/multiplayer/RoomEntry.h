#pragma once
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

// One room as the room server announces it (message 14, 307 bytes,
// little-endian): 2 room number, 4 players, 5 maximum players, 7 the room
// name (34 bytes), 41 the description length, 43 the room's 110-byte game
// description, 299 the host's rank, 303 minutes left in its match. Readers
// never trust the bytes: texts stop at their field, numbers are held to range.
class RoomEntry {
public:
    static constexpr std::size_t kSize = 307;
    static constexpr std::size_t kNameAt = 7, kNameBytes = 34;
    static constexpr std::size_t kInfoAt = 43, kInfoSize = 110;
    static constexpr std::size_t kRankAt = 299, kMinutesAt = 303;
    // Description offsets the list reads.
    static constexpr std::size_t kModeAt = 0x40, kMapAt = 0x41, kMaxAt = 0x42, kTimeAt = 0x46,
                                 kPlaneKindAt = 0x4D, kPlaneValueAt = 0x51, kModeFilterAt = 0x56,
                                 kOptionAt = 0x57;
    static constexpr int kMaxRank = 17;

    RoomEntry() = default;
    explicit RoomEntry(const std::uint8_t* message) { assign(message); }
    void assign(const std::uint8_t* message);

    // A room the list may show: a whole description, a map the game has and
    // a mode rooms are played in.
    static bool acceptable(const std::uint8_t* message, int mapCount);
    static bool listedMode(int mode);

    std::uint16_t number() const { return u16(2); }
    int players() const { return bytes[4]; }
    int maxPlayers() const { return bytes[5]; }
    // The room name up to its zero, at most 33 characters.
    std::string name() const;
    int descriptionLength() const { return u16(41); }
    const std::uint8_t* info() const { return bytes.data() + kInfoAt; }
    int mode() const { return bytes[kInfoAt + kModeAt]; }
    int mapIndex() const { return bytes[kInfoAt + kMapAt]; }
    int infoMaxPlayers() const { return bytes[kInfoAt + kMaxAt]; }
    int timeLimit() const { return bytes[kInfoAt + kTimeAt]; }
    int planeKind() const { return i32(kInfoAt + kPlaneKindAt); }
    int planeValue() const { return i32(kInfoAt + kPlaneValueAt); }
    int modeFilter() const { return bytes[kInfoAt + kModeFilterAt]; }
    bool lastManOption() const { return (bytes[kInfoAt + kOptionAt] & 1) != 0; }
    // The host's rank as sent (any u32 value; the brackets treat strays).
    std::int64_t hostRank() const { return u32(kRankAt); }
    int minutesLeft() const { return i32(kMinutesAt); }
    void setPlayers(int n) { bytes[4] = static_cast<std::uint8_t>(n); }

    std::array<std::uint8_t, kSize> bytes{};

private:
    std::uint16_t u16(std::size_t at) const;
    std::uint32_t u32(std::size_t at) const;
    std::int32_t i32(std::size_t at) const { return static_cast<std::int32_t>(u32(at)); }
};

// The rank brackets that order the room list: ranks 0-3 bit 0, 4-5 bits 0
// and 1, 6 bit 1, 7-9 bits 1 and 2, 10-17 bit 2, any other value bit 3.
int rankBrackets(std::int64_t rank);
// 0 when the two ranks share a bracket, else the host's lowest bracket minus
// the player's: negative for a host in a lower bracket.
int bracketDistance(std::int64_t playerRank, std::int64_t hostRank);
// The list order's key: rooms of higher brackets by distance, then those of
// lower brackets after them (100 - distance), the farthest last.
int bracketSortKey(int bracket);
// Whether a row of key A and host rank A goes after one of key B and rank B:
// a greater key; on equal keys below 100 a higher rank, at 100 or more a lower one.
bool roomFollows(int keyA, std::int64_t rankA, int keyB, std::int64_t rankB);

// One line of a room's player list (message 31).
struct RoomPlayerLine {
    std::string name;
    int rank = -1;  // 0-17
};
// Reads the player list: the ranks at offset 6 (eight u16), the count at 38,
// one name offset a player from 39, the zero-ended names from 311. At most 8
// players; a name stops at its zero, the message's end and 63 characters; a
// name offset past the message gives an empty name; ranks above 17 are held at 17.
// Returns the number of lines filled (0 for a message shorter than its head).
int readRoomPlayers(const std::uint8_t* message, std::size_t length, std::array<RoomPlayerLine, 8>& out);
