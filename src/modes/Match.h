#pragma once
#include "modes/MatchConnections.h"
#include "modes/progress/MissionStats.h"

#include <memory>

class GameMode;

// Squared distances between entities by id, as of this frame's proximity pass.
// Ids outside 0..255 read as infinitely far and are never written.
class DistanceTable {
public:
    static constexpr int kSize = 256;
    float at(int a, int b) const;
    void set(int a, int b, float distanceSq);
    void clear();

private:
    float m_values[kSize * kSize] = {};
};

// How many entities each of teams 0 and 1 holds (added and moved by the mode).
struct TeamCounters {
    int team0 = 0;
    int team1 = 0;
    void add(int team, int delta);
};

// How the match ended for the local player.
enum class MatchOutcome : int { Lost = 0, Won = 1, NoResult = 2 };

// What one match keeps beside its mode; a new match starts from a fresh one.
struct MatchState {
    DistanceTable distances;
    TeamCounters teams;
    float clock = 0.0f;         // seconds since the round started
    MissionStats stats;         // the local player's
    MatchOutcome outcome = MatchOutcome::NoResult;
};

// One running game: the mode with its rules, the state of the match and the
// connections the mode calls upward, which it is given here once and keeps.
class Match {
public:
    // Null, with a log line naming what is missing, when a connection is
    // empty or there is no mode; otherwise the match, with a log line naming
    // the class behind each connection.
    static std::unique_ptr<Match> create(std::unique_ptr<GameMode> mode, const MatchConnections& connections);
    ~Match();
    Match(const Match&) = delete;
    Match& operator=(const Match&) = delete;

    GameMode& mode() { return *m_mode; }
    const GameMode& mode() const { return *m_mode; }
    const MatchConnections& connections() const { return m_connections; }
    MatchState& state() { return *m_state; }
    const MatchState& state() const { return *m_state; }
    // Counts the matches made since the program started, from 1: what
    // outlives a game (a page kept between games) tells a new one by it.
    unsigned number() const { return m_number; }

private:
    Match(std::unique_ptr<GameMode> mode, const MatchConnections& connections);

    MatchConnections m_connections;
    unsigned m_number = 0;
    std::unique_ptr<MatchState> m_state;  // the distance table is large: kept off the stack
    std::unique_ptr<GameMode> m_mode;     // last member: it goes first, while the state lives
};

// The running match; null between games.
Match* currentMatch();
// The mode of a match; null for none.
GameMode* modeOf(Match* match);
const GameMode* modeOf(const Match* match);
// Ends the running match (the level is cleared first) and makes this one
// current; null ends the running one only.
void setCurrentMatch(std::unique_ptr<Match> match);
// Makes a match of the mode current, as setCurrentMatch(Match::create(...));
// false, with the running match kept, when create refuses.
bool startMatch(std::unique_ptr<GameMode> mode, const MatchConnections& connections);
void endMatch();

// The running match's state; between games (and for a mode that no current
// match owns: tests, tools) a spare state of the program.
MatchState& matchState();
DistanceTable& distanceTable();
TeamCounters& teamCounters();
MatchOutcome& matchOutcome();
// Set once the result page has booked the finished game's points. It outlives
// the match (the page may be left after the game screen), and the next match
// made current clears it, so no road to the result books a game twice.
bool& gameResultBooked();
// Seconds since the round started; the mode's update advances it and the
// round reset zeroes it.
float gameClock();
void setGameClock(float seconds);
