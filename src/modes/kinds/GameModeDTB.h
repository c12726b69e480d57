#pragma once
#include "modes/kinds/GameModeCustom.h"

#include <cstdint>
#include <span>
#include <vector>

class GroundTarget;

// Destroy the base: each team defends its bases and attacks the other's; a
// team that loses its last base loses the round, and after a countdown every
// base is rebuilt.
class GameModeDTB : public GameModeCustom {
public:
    static constexpr float kBaseHealth = 4.0f;
    static constexpr float kGuardEngage = 3000.0f, kGuardRelease = 5000.0f;
    static constexpr float kSpawnDistance = 2000.0f;
    static constexpr int kRoundInText = 98, kRoundStartText = 99;
    static constexpr int kTeamNameText0 = 184, kTeamNameText1 = 185, kBaseNameText = 1814;

    GameModeDTB();

    void update(float dt) override;
    void updateRules(float dt) override;
    void resetRound() override;
    void clearLevel() override;
    std::unique_ptr<Target> removePlayerAirplane(Target& entity) override;
    void onAirplaneDestroyed(Target& victim, Target* attacker, CrashCause cause) override;
    void onAirplaneEvent(Target& victim, Target* killer, CrashCause cause, std::uint8_t flags, float respawnTime,
                         const Vec3& position, const Quat& orientation) override;
    void respawnQuietly(Target& entity, float delay, const Vec3* position) override;
    void getSpawnPoint(const Target& entity, Vec3& position, Quat& orientation) const override;
    void attachAI(Airplane& airplane, float skill, bool replace, AIKind kind = AIKind::Pilot) override;
    PauseMenu getPauseMenu() const override { return PauseMenu::TeamMatch; }
    void fillReport(MatchReport& out) const override;
    Target* addNetworkPlayer(const PlayerRecord& record, bool ownRecord) override;

    const std::vector<GroundTarget*>& bases(int team) const { return team == 0 ? m_bases0 : m_bases1; }
    float roundTimer() const { return m_roundTimer; }
    float roundRestartDelay = 10.0f;

    // Starts the countdown to the next round (at once for 0 or less).
    void startRoundCountdown(float t);
    // The same without telling peers.
    void setRoundCountdown(float t);
    void startMatch();
    bool startLevel() override;
    void startNextMatch() override;
    // The autopilot's target: a live base of the other team (kept when it has one).
    void giveBaseTarget(Airplane& airplane);
    void reassignBots();

    void setModeValue(int value, int index) override;
    ServerData::Layout serverDataLayout() const override { return ServerData::Layout::Rounds; }
    void fillServerData(ServerData& out) const override;
    void applyServerData(const ServerData& data) override;
    void fillBaseRecord(const GroundTarget& base, PlayerRecord& out) const;
    void fillPlayerRecord(const Target& entity, PlayerRecord& out) const override;

protected:
    void buildPlayers() override;

private:
    void createBases();
    void onBaseLost(GroundTarget& base, Target& attacker);
    std::vector<GroundTarget*> liveBases(int team) const;
    GroundTarget* randomBase(int team, bool liveOnly) const;
    void guard(Airplane& bot, GroundTarget& base);
    void attack(Airplane& bot, GroundTarget* base);

    std::vector<GroundTarget*> m_bases0, m_bases1;
    float m_roundTimer = 0.0f;
    bool m_roundTick = false;
    int m_bots0 = 0, m_bots1 = 0;
};
