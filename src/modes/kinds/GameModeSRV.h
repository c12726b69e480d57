#pragma once
#include "modes/kinds/GameModeCustom.h"

#include <cstdint>
#include <span>

// Survival: the players (team 0) against waves of enemies that grow with
// each wave; a player shot down is out until the match ends, which it does
// when no player is left.
class GameModeSRV : public GameModeCustom {
public:
    static constexpr float kFirstCountdown = 10.0f, kWaveCountdown = 5.0f;
    static constexpr int kWaveStartText = 101, kWaveInText = 102;
    static constexpr int kJoinsCloseAtWave = 5;
    static constexpr float kPlayerCircle = 1000.0f, kStartCircle = 2000.0f;
    static constexpr Vec3 kPlayerStart{12679.454f, 0.0f, 4755.814f};

    struct WaveRow {
        float skill;
        int formation;
        int enemies;
        int missiles;
    };
    // The schedule row of wave w (0 for anything below 0).
    static WaveRow waveRow(int w);
    // The points of a match that reached wave with the previous best: a
    // fifth for waves reached before, full points for new ones.
    static int rewardFor(int wave, int best);

    GameModeSRV();

    bool startLevel() override;
    void update(float dt) override;
    void updateRules(float dt) override;
    void resetRound() override;
    Target* addPlayerAirplane(std::unique_ptr<Target> entity, bool relay) override;
    void getSpawnPoint(const Target& entity, Vec3& position, Quat& orientation) const override;
    Airplane* addServerPlayer(const JoinRequest& request, int team) override;
    void finishMatch() override;
    int matchBonusPercent() const override;
    void fillReport(MatchReport& out) const override;
    void setModeValue(int value, int index) override;
    ServerData::Layout serverDataLayout() const override { return ServerData::Layout::Waves; }
    void fillServerData(ServerData& out) const override;
    void applyServerData(const ServerData& data) override;

    void startMatch();
    void startCountdown(float t);
    // The same without telling peers.
    void setCountdown(float t);
    void makeWave();
    // The wave's row taken and the last wave's bots deleted.
    void startWaveRow();
    // A new bot of the wave armed and held out of play until the wave is placed (nothing for null).
    void holdWaveBot(Airplane* bot, int index);
    void placeWave();
    bool teamIn(int team) const;

    int currentWave() const { return m_wave; }
    float waveTimer() const { return m_waveTimer; }
    int reward() const { return m_reward; }
    int waveEnemyCount() const { return m_row.enemies; }

protected:
    bool staysOutWhenDown(const Target& victim) const override { return victim.kind() == TargetKind::Airplane; }
    void buildPlayers() override;
    void deathFinished(Target& victim) override;

private:
    float m_waveTimer = 0.0f;
    bool m_waveTick = false;
    int m_wave = 0;
    WaveRow m_row{0.2f, 0, 1, 0};
    int m_reward = 0;
};
