#pragma once
#include "modes/ModeHooks.h"
#include "modes/ModeServices.h"
#include "modes/progress/ScoreMgr.h"
#include "net/match/NetworkGameHandler.h"
#include "platform/StringTable.h"

#include <cstdint>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

class GameModeCustom;

// One headless peer of a network match: hosts (--host) or joins (--join
// ADDR:PORT), plays through the game's own modes with the AI flying its
// airplane, runs scripted actions at given times and writes a line log of
// what it saw, ending with the score table. The exit code is the verdict.
class NetPeer : public IModeHud {
public:
    struct Action {
        float at = 0.0f;
        std::string kind;  // chat, destroy, crash, team, flag, drop, missile, eject, quit, end, await
        std::string text;
    };
    struct Options {
        bool host = false;
        std::string address = "127.0.0.1";
        std::uint16_t port = 0;  // host: 0 takes a free port
        int gameType = 2;
        int map = 0;
        int players = 8;
        int scoreLimit = 0;
        int minutes = 10;
        int expectJoiners = 0;  // host: the joiners that must reach play
        float seconds = 60.0f;  // the longest run
        std::string name = "Pilot";
        int rank = 0;  // the pilot's rank, as a profile keeps it (0..17)
        std::string stageDir;
        std::vector<Action> actions;
        std::string until;  // a HUD line holding this text ends the run with 0
        int matches = 1;    // the run ends after this many ends of a match
        bool teams = false;  // host: last man standing by teams
        int weapons = 0;     // host: the weapon rule (1 missiles only, 2 guns only)
        float whereEvery = 0.0f;  // > 0: where each airplane in play is, that often
    };

    // False, with a message on stderr, for options it cannot use.
    static bool parse(int argc, char** argv, Options& out);

    explicit NetPeer(Options options);
    ~NetPeer() override;
    int run();

    // IModeHud: every line the HUD would show goes to the log.
    void pushWithSound(int kind, int stringId, std::u16string_view text) override;
    void pushLong(int stringId, std::u16string_view text) override;

private:
    bool loadData();
    bool startHost();
    bool joinHost();
    bool startMode(int gameType, int mapIndex, bool hosting);
    void frame();
    void runActions();
    // False while the action cannot be done yet.
    bool act(const Action& action);
    void logScores();
    void logWhere();
    // Each airplane and map unit out of play, waiting to come back or out for
    // good: a joiner's once it has joined, the host's as each joiner comes.
    void logDown();
    // A missile from close behind the named pilot's airplane, or at the
    // nearest live base of the other team; false while there is none.
    bool fireMissile(const std::string& at);
    // The match's option word: the weapon rule and the team variant.
    std::uint32_t matchOptions() const;
    // Logs each change of the live bases of both teams and of the flags' states.
    void watchObjectives();
    // Host: counts joiners who came (again) and whether each has flown yet.
    void trackArrivals();
    void log(const std::string& line);
    // A death message of the match as sent or heard, with its pilot's name.
    void logDeathMessage(const std::string& message);

    // The notices a round or wave start pushes go to the log too.
    struct StartNotices : IModeMessages {
        NetPeer* peer = nullptr;
        void pushNotice(std::u16string_view text, float duration, int, int) override;
    };

    Options m_options;
    StartNotices m_notices;
    // The own airplane's gun hits go to the log, so a run can tell its pilot fought.
    struct GunHits : IModeProgress {
        NetPeer* peer = nullptr;
        void onPlayerShots(int fired, int hits) override;
    };
    GunHits m_gunHits;
    std::string m_scratch;  // the save folder of this run
    StringTable m_texts;
    NetworkGameHandler m_handler;
    GameModeCustom* m_mode = nullptr;
    float m_time = 0.0f;
    std::size_t m_nextAction = 0;
    float m_actionDelay = 0.0f;  // how long the actions that waited held up the rest
    bool m_quit = false;
    bool m_untilSeen = false;
    float m_untilQuitAt = -1.0f;
    bool m_matchEnded = false;
    int m_matchesEnded = 0;
    float m_nextWhere = 0.0f;
    bool m_lost = false;
    int m_bestState = 0;
    std::map<std::string, bool> m_basesUp;  // each base standing, as last logged
    std::map<std::string, int> m_baseHealth;  // each base's health in tenths, as last logged
    bool m_basesOpen = false;
    std::map<std::string, int> m_health;  // each pilot's health in tenths, as last logged
    // Host: joiners seen arriving, a player back after leaving counting anew;
    // the ids among those present whose airplanes have not been in play yet.
    int m_arrivals = 0;
    std::vector<int> m_present;
    std::vector<int> m_notFlown;
};
