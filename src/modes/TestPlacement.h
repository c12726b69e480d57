#pragma once
#include <string_view>

class GameMode;
class Target;

// "-testplace": how a scripted run of the game reaches a kill or a flag
// capture without a pilot's hands. Only that test option makes one; play
// never does.
//   Foe:  the nearest enemy airplane, its pilot taken off, flies straight on
//         the player's heading a short way ahead of the guns; once it is
//         down the next one follows, three in all (a streak in one life).
//   Flag: the player's airplane starts over the enemy flag, heading for its
//         own flag; a second later, carrying the flag it took, it is over
//         its own flag, where the capture falls to the game's own rules
//         (capture the flag only).
//   Landmark: the player's airplane over the map's landmark of the lowest
//         number, level and on its heading, where the game's own landmark
//         check finds it.
//   LastLandmark: the same over the landmark of the highest number.
//   Ship, Deck, Bridge, Building: the player's airplane short of the nearest
//         ship; low across its after deck; under the nearest bridge's deck;
//         level at the nearest building, for the guns and missiles.
//   Tunnel: level through the nearest tunnel along its bore.
//   Carrier, Submarine: short of the nearest enemy one, the nose on it, and
//         again every few seconds while it floats.
//   Landing: slow just over the after deck of the nearest carrier of the
//         player's side, heading for its bow.
//   BurningFoe: as Foe, once, the foe on fire as a heavy hit leaves it.
//   FlagAway: as Flag, but a second later the carrier flies past the
//         arena's edge, and the nearest enemy, put behind it, fires a
//         heat seeker at it.
class TestPlacement {
public:
    enum class Kind : int { None = 0, Foe = 1, Flag = 2, Ship = 3, Landmark = 4, Deck = 5, Bridge = 6, Building = 7,
                            Tunnel = 8, Carrier = 9, Submarine = 10, LastLandmark = 11,
                            Landing = 12, Burning = 13, FlagAway = 14, BurningFoe = 15 };
    // Seconds the player's airplane flies in play before the placement.
    static constexpr float kDelay = 3.0f;
    static constexpr float kFoeAhead = 350.0f;
    static constexpr float kOverFlag = 180.0f;
    static constexpr int kFoes = 3;
    static constexpr float kCarryTime = 1.0f;
    // The ship's placement: this far short of it, aside and over the water.
    static constexpr float kShipShort = 300.0f;
    static constexpr float kShipAside = 80.0f;
    static constexpr float kShipAbove = 40.0f;
    static constexpr float kOverLandmark = 400.0f;
    // The passes start as far short of the model as the ground lets them, at
    // most kPassShort and at least kPassShortest, keeping the clearance over
    // the ground both ways; they fly at this speed, over a deck this high.
    static constexpr float kPassShort = 150.0f;
    static constexpr float kPassShortest = 30.0f;
    static constexpr float kGroundClearance = 4.0f;
    static constexpr float kPassSpeed = 300.0f;
    static constexpr float kDeckClearance = 6.0f;
    // A building is a prop at least this high, met from this far.
    static constexpr float kBuildingHeight = 8.0f;
    static constexpr float kBuildingShort = 300.0f;
    // The aim at a ship: this far short and above a point this high on it,
    // again after this many seconds, this many times at most.
    static constexpr float kSinkShort = 260.0f;
    static constexpr float kSinkAbove = 40.0f;
    static constexpr float kSinkAim = 4.0f;
    static constexpr float kSinkAgain = 1.2f;
    static constexpr int kSinkPasses = 20;
    // The landing: this high over the deck at this speed.
    static constexpr float kOverDeck = 3.0f;
    static constexpr float kLandingSpeed = 80.0f;
    // A burning airplane's health, just under the fire: its pilot may bail out.
    static constexpr float kBurningHealth = 0.25f;
    // Carried away: this far past the arena's edge, the missile's shooter
    // this far behind, with this weapon (a heat seeker).
    static constexpr float kPastArena = 1500.0f;
    static constexpr float kShooterBehind = 600.0f;
    static constexpr int kHeatSeeker = 7;
    // How long the burning foe's fire lasts, as a hit's state does.
    static constexpr float kFireTime = 12.0f;

    // "foe", "flag", "ship", "landmark", "lastlandmark", "deck", "bridge", "building", "tunnel",
    // "carrier", "submarine", "landing", "burning", "flagaway" or "burningfoe"; None for anything else.
    static Kind kindByName(std::string_view name);

    explicit TestPlacement(Kind kind) : m_kind(kind) {}
    Kind kind() const { return m_kind; }
    bool done() const { return m_done; }
    int placed() const { return m_placed; }
    // Once a frame while a match runs: places once the player's airplane has
    // been in play for the delay (and the last foe is down); true in the
    // frame it placed.
    bool update(GameMode& mode, float dt);
    // At once: the foe, the player's airplane over the enemy flag or short of
    // the nearest ship; null, with nothing changed, when the match has
    // nothing to place.
    static Target* place(GameMode& mode, Kind kind);
    // The player's airplane, carrying the enemy flag, over its own flag;
    // false, with nothing changed, when it carries none.
    static bool bringFlagHome(GameMode& mode);
    // The carrier past the arena's edge with a missile behind it; false, with
    // nothing changed, when it carries none.
    static bool carryFlagAway(GameMode& mode);

private:
    bool foeHeld(const GameMode& mode) const;
    bool targetFloats(const GameMode& mode) const;

    Kind m_kind;
    float m_inPlay = 0.0f;
    int m_placed = 0;
    int m_foeId = -1;
    int m_shipId = -1;
    bool m_done = false;
};
