#pragma once
#include <string>
#include <string_view>

// The names AI pilots fly under: 27 names, each taken by at most one pilot
// while others are free. A new game mode frees them all.
class BotNames {
public:
    static constexpr int kCount = 27;

    // A free name chosen by the shared random generator, now taken. With all
    // names taken it returns one of them again (taken twice), never waits.
    static std::u16string pick();
    // Frees the name; an unknown name changes nothing.
    static void release(std::u16string_view name);
    static void clear();
    static bool isTaken(int index);
    static int takenCount();
    static std::u16string_view name(int index);  // empty outside 0..kCount-1
};
