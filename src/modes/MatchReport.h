#pragma once
#include "modes/GameType.h"
#include "modes/progress/ScoreMgr.h"

#include <array>
#include <optional>
#include <string>

// How this machine takes part in the match.
enum class MatchRole : int { Alone = 0, Host = 1, Client = 2 };

// What the pages, the HUD and net read of the running match, filled by the
// mode (GameMode::fillReport) so that no reader needs to know the mode's kind.
// Refilling the same report each frame allocates nothing once its texts have
// grown to their length. A kind's section is present only while that kind runs.
struct MatchReport {
    GameType type = GameType::FreeForAll;
    MatchRole role = MatchRole::Alone;
    bool online = false;            // through the room server
    // A network match's name: the host's own, or the one in the host's join
    // answer; empty alone and until the match's network start.
    std::u16string serverName;
    bool playStopped = false;       // the match or mission is over (or frozen)
    int difficulty = 1;             // 0 easy, 1 normal, 2 hard

    // Teams and totals, as the score keeper holds them.
    bool teamScoring = false;
    std::array<int, 2> teamScores{};
    // The team of the player's airplane; -1 without one.
    int playerTeam = -1;
    // In single player, the order of the squadron the player leads; else -1.
    int playerGroupIndex = -1;
    MatchPoints totals;             // the local player's points summed over the matches
    int medal = 0;

    // Time, in seconds.
    float timeLimit = 0.0f;         // 0: none
    float elapsed = 0.0f;
    // Until the next match starts after an ended one; -1 while none is due.
    float restartCountdown = -1.0f;
    // The line under the HUD: while the player's airplane is out the respawn
    // countdown or a client's waiting notice, while it carries the enemy flag
    // out of bounds the warning to turn back; empty while none is shown.
    std::u16string respawnText;
    // The player's airplane is out of play, waiting to fly again.
    bool waitingToFly = false;

    // Capture the flag: the entity id of the airplane carrying each team's
    // flag (-1 none), and whether the flag stands at its home.
    struct Flags {
        std::array<int, 2> carrierId{-1, -1};
        std::array<bool, 2> home{true, true};
    };
    // Survival: the wave (0 first) and its countdown, its size, the reward so far.
    struct Waves {
        int wave = 0;
        float countdown = 0.0f;
        int enemies = 0;
        int reward = 0;
    };
    // Last man standing, destroy the base and the dogfights.
    struct Rounds {
        bool running = false;        // a round is being fought (no countdown to it)
        float countdown = 0.0f;      // to the start of the next round
        bool teamMode = false;
        int outCount = 0;            // last man standing: players out this round
        int opponents = 0;
        std::array<int, 2> basesLeft{};  // destroy the base: each team's live bases
        int dogfight = -1;           // the dogfight's index (0..19); -1 in other kinds
        bool won = false;            // the dogfight was won
        int reward = 0;              // what the dogfight's win pays
    };
    // A campaign mission: which, and how it ended.
    struct Campaign {
        int campaign = -1, mission = -1;  // -1 without a mission record
        bool ended = false;               // won or failed, play stopped
        int failureReason = -1;           // the failure's text id; -1 none
        int missionPoints = 0;            // what the win pays at the medal earned
    };
    std::optional<Flags> flags;
    std::optional<Waves> waves;
    std::optional<Rounds> rounds;
    std::optional<Campaign> campaign;

    bool isNetworkGame() const { return role != MatchRole::Alone; }
    bool isSinglePlayer() const { return role == MatchRole::Alone; }
    bool isNetworkClient() const { return role == MatchRole::Client; }
};
