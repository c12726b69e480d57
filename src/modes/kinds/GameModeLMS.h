#pragma once
#include "modes/kinds/GameModeCustom.h"

#include <cstdint>
#include <span>

// Last man standing: one life a round; the round (and the match) ends when
// at most one player, or only one team, is left.
class GameModeLMS : public GameModeCustom {
public:
    static constexpr float kSpawnRadius = 5000.0f;
    static constexpr float kHostCountdown = 20.0f, kSingleCountdown = 5.0f, kNextMatchCountdown = 5.0f;
    // A hosted match plays round after round: the end table shows this long.
    static constexpr float kHostRestartDelay = 10.0f;
    static constexpr int kBots = 9, kTeamBots = 4;
    static constexpr float kBotSkill = 0.6f;
    static constexpr int kRoundInText = 1672, kRoundStartText = 1673;

    GameModeLMS();

    bool startLevel() override;
    void update(float dt) override;
    void updateRules(float dt) override;
    void resetRound() override;
    std::unique_ptr<Target> removePlayerAirplane(Target& entity) override;
    void onAirplaneDestroyed(Target& victim, Target* attacker, CrashCause cause) override;
    void onAirplaneEvent(Target& victim, Target* killer, CrashCause cause, std::uint8_t flags, float respawnTime,
                         const Vec3& position, const Quat& orientation) override;
    void respawnAirplane(Target& entity, float delay, const Vec3* position) override;
    void respawnQuietly(Target& entity, float delay, const Vec3* position) override;
    void respawnEliminated(Target& entity) override;
    void getSpawnPoint(const Target& entity, Vec3& position, Quat& orientation) const override;
    PauseMenu getPauseMenu() const override { return m_teamMode ? PauseMenu::TeamMatch : PauseMenu::Match; }
    void fillReport(MatchReport& out) const override;
    Airplane* addServerPlayer(const JoinRequest& request, int team) override;
    void restartMatch() override;
    void finishMatch() override;
    void startNextMatch() override;
    int matchBonusPercent() const override;
    void setModeValue(int value, int index) override;
    void setTeamMatch(bool on) override;
    ServerData::Layout serverDataLayout() const override { return ServerData::Layout::LastStand; }
    void fillServerData(ServerData& out) const override;
    void applyServerData(const ServerData& data) override;

    void startMatch();
    void startRoundCountdown(float t);
    // The team a joining player gets.
    int joinTeam();
    bool roundFinished() const;
    // Shot down while the round runs: the next out order; it leaves play
    // once it is down.
    void putOut(Target& victim);

    bool teamMode() const { return m_teamMode; }
    bool roundRunning() const { return m_roundRunning; }
    float roundTimer() const { return m_roundTimer; }
    int outCount() const { return m_outCount; }
    int opponents() const { return m_opponents; }

protected:
    // One life a round: shot down while a round runs is out until the next.
    bool staysOutWhenDown(const Target& victim) const override
    {
        return m_roundRunning && victim.kind() == TargetKind::Airplane;
    }
    void buildPlayers() override;
    // The last fall of a round ends it.
    void deathFinished(Target& victim) override;

private:
    // A finished round freezes the match (never on a client: the host decides).
    void freezeWhenRoundOver();
    void countOpponents();

    int m_nextTeam = 1;
    float m_roundTimer = 0.0f;
    bool m_roundTick = false;
    bool m_roundRunning = false;
    int m_outCount = 1;
    int m_opponents = 0;
    bool m_teamMode = false;
};
