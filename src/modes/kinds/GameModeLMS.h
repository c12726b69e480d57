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
    void respawnAirplane(Target& entity, float delay, const Vec3* position) override;
    void respawnQuietly(Target& entity, float delay, const Vec3* position) override;
    void respawnEliminated(Target& entity) override;
    void getSpawnPoint(const Target& entity, Vec3& position, Quat& orientation) const override;
    PauseMenu getPauseMenu() const override { return m_teamMode ? PauseMenu::TeamMatch : PauseMenu::Match; }
    void fillReport(MatchReport& out) const override;
    Airplane* addServerPlayer(const JoinRequest& request, int team) override;
    void restartMatch() override;
    void startNextMatch() override;
    int matchBonusPercent() const override;
    ServerData::Layout serverDataLayout() const override { return ServerData::Layout::LastStand; }
    void fillServerData(ServerData& out) const override;
    void applyServerData(const ServerData& data) override;

    void startMatch();
    void startRoundCountdown(float t);
    // The team a joining player gets.
    int joinTeam();
    bool roundFinished() const;
    void putOut(Target& victim);

    bool teamMode() const { return m_teamMode; }
    bool roundRunning() const { return m_roundRunning; }
    float roundTimer() const { return m_roundTimer; }
    int outCount() const { return m_outCount; }
    int opponents() const { return m_opponents; }

protected:
    // The shot-down leave play at once.
    bool fallsBeforeRespawn() const override { return false; }
    void buildPlayers() override;

private:
    void countOpponents();

    int m_nextTeam = 1;
    float m_roundTimer = 0.0f;
    bool m_roundTick = false;
    bool m_roundRunning = false;
    int m_outCount = 1;
    int m_opponents = 0;
    bool m_teamMode = false;
};
