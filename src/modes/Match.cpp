#include "modes/Match.h"

#include "modes/GameMode.h"
#include "modes/progress/IGameModeInfo.h"
#include "platform/Log.h"

#include <limits>

namespace {
std::unique_ptr<Match> g_current;
MatchState g_spare;
// The running match's state or the spare one: the frame reads the clock and
// the distance table often, so the choice is made once per match.
MatchState* g_state = &g_spare;
bool g_resultBooked = false;

// What progression reads of the running match.
class CurrentMatchInfo : public IGameModeInfo {
public:
    bool isNetworkClient() const override { return g_current && g_current->mode().isNetworkClient(); }
    bool isNetworkServer() const override { return g_current && g_current->mode().isNetworkServer(); }
    bool isSinglePlayer() const override { return !g_current || g_current->mode().isSinglePlayer(); }
    int difficulty() const override { return g_current ? g_current->mode().difficulty : 1; }
};
CurrentMatchInfo g_info;

bool validId(int id) { return id >= 0 && id < DistanceTable::kSize; }
}  // namespace

std::unique_ptr<Match> Match::create(std::unique_ptr<GameMode> mode, const MatchConnections& connections)
{
    if (!mode) {
        logWarning("game", "no match started: there is no game mode");
        return nullptr;
    }
    const std::vector<std::string> missing = connections.missing();
    if (!missing.empty()) {
        std::string names;
        for (const std::string& name : missing)
            names += (names.empty() ? "" : ", ") + name;
        logWarning("game", "no match started: the connections %s are empty", names.c_str());
        return nullptr;
    }
    logInfo("game", "match of type %d connected: %s", static_cast<int>(mode->gameType()),
            connections.describe().c_str());
    return std::unique_ptr<Match>(new Match(std::move(mode), connections));
}

Match::Match(std::unique_ptr<GameMode> mode, const MatchConnections& connections)
    : m_connections(connections), m_state(std::make_unique<MatchState>()), m_mode(std::move(mode))
{
    static unsigned made = 0;
    m_number = ++made;
    m_mode->connect(m_connections);
}

Match::~Match() = default;

Match* currentMatch() { return g_current.get(); }
GameMode* modeOf(Match* match) { return match ? &match->mode() : nullptr; }
const GameMode* modeOf(const Match* match) { return match ? &match->mode() : nullptr; }

void setCurrentMatch(std::unique_ptr<Match> match)
{
    endMatch();
    g_current = std::move(match);
    if (g_current) {
        g_state = &g_current->state();
        setCurrentMatchInfo(&g_info);
        g_resultBooked = false;
    }
}

bool startMatch(std::unique_ptr<GameMode> mode, const MatchConnections& connections)
{
    std::unique_ptr<Match> match = Match::create(std::move(mode), connections);
    if (!match)
        return false;
    setCurrentMatch(std::move(match));
    return true;
}

void endMatch()
{
    // Nobody may reach the match through the accessor while it tears down.
    std::unique_ptr<Match> old = std::move(g_current);
    g_state = &g_spare;
    if (old)
        setCurrentMatchInfo(nullptr);
    old.reset();
}

MatchState& matchState() { return *g_state; }
DistanceTable& distanceTable() { return matchState().distances; }
TeamCounters& teamCounters() { return matchState().teams; }
MatchOutcome& matchOutcome() { return matchState().outcome; }
MissionStats& missionStats() { return matchState().stats; }
bool& gameResultBooked() { return g_resultBooked; }
float gameClock() { return matchState().clock; }
void setGameClock(float seconds) { matchState().clock = seconds; }

float DistanceTable::at(int a, int b) const
{
    if (!validId(a) || !validId(b))
        return std::numeric_limits<float>::max();
    return m_values[a * kSize + b];
}

void DistanceTable::set(int a, int b, float distanceSq)
{
    if (!validId(a) || !validId(b))
        return;
    m_values[a * kSize + b] = distanceSq;
    m_values[b * kSize + a] = distanceSq;
}

void DistanceTable::clear()
{
    for (float& v : m_values)
        v = 0.0f;
}

void TeamCounters::add(int team, int delta)
{
    if (team == 0)
        team0 += delta;
    else if (team == 1)
        team1 += delta;
}
