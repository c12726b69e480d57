#pragma once
#include "menus/multiplayer/MultiPlayerMenuFrame.h"

#include <array>

// Picks one room server for every connect attempt before the room browser
// opens; the entry page's online button goes back to taking them in turn.
class MultiPlayerServersMenuFrame : public MultiPlayerMenuFrame {
public:
    static constexpr int kBackString = 116, kTitleString = 1023;
    // The room-server table entry each button fixes: the last one is entry 6.
    static constexpr std::array<int, 4> kServerEntries = {0, 1, 2, 6};

    MultiPlayerServersMenuFrame();

    void onServer(int button);
    void openOnline();

    std::array<SpriteButton*, 4> serverButtons{};
};
