#pragma once
#include "modes/GameType.h"
#include "modes/ModeHooks.h"

#include <array>
#include <cstdint>
#include <vector>

class Airplane;
class File;
class GameMode;
class Target;
enum class CrashCause : int;

// The pilot ranks 0..17 and the points each needs; the result menus move the
// rank by the same table.
inline constexpr std::array<std::int32_t, 18> kRankThresholds = {
    0,     300,    1000,   2000,   3000,    5000,    7500,    10000,   15000,
    30000, 50000, 75000, 100000, 250000, 500000, 1000000, 2500000, 5000000};
// The highest rank whose threshold is at most points (0 when none).
int rankForPoints(std::int64_t points);

// Told after every change of the score table (the end-of-match menus).
class IScoreMgrListener {
public:
    virtual ~IScoreMgrListener() = default;
    virtual void onScoreChanged() = 0;
};

// What the score keeper needs of the match it scores beyond the base mode.
class IScoreMatch {
public:
    virtual ~IScoreMatch() = default;
    virtual void freezeMatch() {}
    // The bonus the match pays the local player at its end, as points.
    virtual int matchBonusPercent() const { return 0; }
    virtual bool messagesMuted() const { return false; }
    // Last man standing: the players of the team still in.
    virtual int playersStillIn(int /*team*/) const { return 0; }
};

struct ScoreGroup {
    int team = 0;
    std::vector<Airplane*> players;
    int kills = 0;
    int deaths = 0;
    int bases = 0;
    int flagsCaptured = 0;
    int flagsReturned = 0;
    int score = 0;

    void zero();
};

// The local player's points: of this match, and summed over matches.
struct MatchPoints {
    int kill = 0;
    int death = 0;
    int baseShare = 0;
    int accuracy = 0;
    int objective = 0;
    int matchBonus = 0;
};

// The one score keeper of the running game: groups, ranking, kills, flags and
// bases, lead and streak messages, the score and time limits, the winner and
// the local player's points.
class ScoreMgr : public IModeScores {
public:
    static constexpr int kNoTeam = 255;

    static ScoreMgr& instance();

    // The mode that is scored (null detaches); match may be null.
    void attach(GameMode* mode, IScoreMatch* match);
    GameMode* attachedMode() const { return m_mode; }
    void reset(bool teamScoring);
    // Scores zeroed for a new match; scoring runs from the start when asked
    // (the round kinds switch it on when their first round starts).
    void startMatch(bool scoring = true);
    // Scoring paused (between rounds) or running again, nothing else changed.
    void setScoring(bool on) { m_active = on; }
    void clearPlayers();
    void addPlayer(Airplane& airplane);
    void refilePlayer(Airplane& airplane);
    ScoreGroup* groupOf(const Target& entity);
    void forget(const Target& entity) override;

    // cause 0 counts nothing; spared deaths cost no death.
    void onKill(Target* victim, Target* killer, CrashCause cause, bool spared);
    void onFlagCaptured(Airplane& airplane);
    void onFlagReturned(Airplane& airplane);
    // baseDamageShare: the part of the base's damage the local player dealt (0..1).
    void onBaseDestroyed(Airplane& airplane, int baseTeam, float baseDamageShare);
    void notifyPlayerChanged(Airplane& airplane);
    // kind 0 takes all nine values, kind 1 only the out order.
    void applyNetworkRecord(int kind, Airplane* airplane, const std::array<std::int32_t, 9>& record);
    // A joining client's start in team deathmatch, capture the flag and
    // destroy the base: each team's kills, captures or bases as the host
    // counts them, which include players who have left.
    void setTeamCounters(int firstTeam, int secondTeam);
    void setOutOrder(Airplane& airplane, int value);

    void updateTimer(float dt);
    void checkScoreLimit();
    void endMatch();
    // Scoring stops without deciding anything (a match abandoned).
    void stopScoring() { m_active = m_ready = false; }
    void decideWinner();
    bool isWinner(const Airplane& airplane) const;
    bool isDraw() const;
    int placeOf(const Airplane& airplane);
    std::vector<Airplane*> leaders(int group);
    int compareEntries(const Airplane& a, const Airplane& b) const;
    void updateGroupScore(ScoreGroup& group);
    void updateReady();

    // Shots are counted over the match; no shots give an accuracy of 0.
    void finishMatchPoints(int gunsFired, int gunHits, int missilesFired, int missileHits);

    // The statistics block of a mission checkpoint: the player's score, this
    // match's kill and objective points and the mission statistics.
    void writeStats(File& file) const;
    // False, with nothing changed, for a block that ends early or holds
    // values no match can reach (negative counts, times that are not numbers).
    [[nodiscard]] bool readStats(File& file);

    void setListener(IScoreMgrListener* listener) { m_listener = listener; }
    IScoreMgrListener* listener() const { return m_listener; }
    float timeLimit = 0.0f;
    int scoreLimit = 0;
    int medal = 0;

    const ScoreGroup& group(int i) const { return m_groups[i & 1]; }
    int winningTeam() const { return m_winningTeam; }
    const std::vector<Airplane*>& winners() const { return m_winners; }
    float elapsed() const { return m_elapsed; }
    // The host's match time, received by a client.
    void setElapsed(float seconds) { m_elapsed = seconds; }
    bool teamScoring() const { return m_teamScoring; }
    bool active() const { return m_active; }
    bool ready() const { return m_ready; }
    const MatchPoints& matchPoints() const { return m_points; }
    const MatchPoints& totals() const { return m_totals; }
    int killTally() const { return m_killTally; }
    int deathTally() const { return m_deathTally; }

private:
    GameType type() const;
    bool isLocal(const Target* t) const;
    int localTeam() const;
    int leadingTeam() const;
    void changed();
    void sortGroup(ScoreGroup& group);
    void applyDeathPenalty(const Target* killer);
    bool announceLeaderChange(const std::vector<Airplane*>& before, const std::vector<Airplane*>& after);
    bool announceTeamLeadChange(int before, int after);
    void showLead(const Airplane* airplane, int which);  // 0 took, 1 lost, 2 tied
    void showTeamLead(int which);
    bool showPointsToWin(const Airplane* airplane);
    bool showStreak(const Airplane* airplane);
    bool muted() const { return m_match && m_match->messagesMuted(); }
    IModeHud& hud() const;
    void countEvent(int id) const;

    std::array<ScoreGroup, 2> m_groups{};
    std::vector<Airplane*> m_winners;
    int m_winningTeam = -1;
    float m_elapsed = 0.0f;
    bool m_teamScoring = false;
    bool m_active = false;
    bool m_ready = false;
    MatchPoints m_points;
    MatchPoints m_totals;
    int m_killTally = 0;
    int m_deathTally = 0;
    IScoreMgrListener* m_listener = nullptr;
    GameMode* m_mode = nullptr;
    IScoreMatch* m_match = nullptr;
};
