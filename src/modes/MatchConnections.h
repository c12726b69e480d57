#pragma once
#include "modes/IGameListener.h"
#include "modes/ModeHooks.h"
#include "modes/ModeServices.h"

#include <string>
#include <vector>

// Every connection a match calls upward, given once when the match is made:
// the HUD, camera, progress, scores and tutorial hooks, the scene, messages,
// overlays and end pages services, and the network game. The running game
// fills every one (a single player game with NoNetwork); a match with an
// empty connection does not start.
struct MatchConnections {
    ModeHooks hooks;
    ModeServices services;
    IGameListener* network = nullptr;

    // Every connection a do-nothing object, for tests and tools that run a
    // mode headless; they replace the ones they watch.
    static MatchConnections none();
    // The names of the empty connections ("hud", "network", ...); empty when every one is filled.
    std::vector<std::string> missing() const;
    // "hud=GameHud camera=..." with the class behind each connection ("-" when empty).
    std::string describe() const;
};

// The network connection of a single player game: nothing is sent, nothing
// arrives, and the match never loses its (absent) host.
class NoNetwork final : public IGameListener {
public:
    void update(Phase) override {}
    bool wantsEvents() const override { return false; }
};

// The one of the program; it holds no state.
NoNetwork& noNetwork();
