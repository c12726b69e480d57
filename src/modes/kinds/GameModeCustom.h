#pragma once
#include "modes/GameMode.h"
#include "modes/progress/ScoreMgr.h"

#include <cstdint>
#include <span>

// How the last match ended for the local player.
enum class MatchOutcome : int { Lost = 0, Won = 1, NoResult = 2 };
MatchOutcome& matchOutcome();

// The base of every skirmish kind and free flight: the end-of-match sequence
// (freeze, the end menu one frame later, restart countdown, next match),
// respawn delays, bots and spawn positions, the team-change window and the
// weather and sun over the match time. Kinds build their players in
// buildPlayers and configure the score keeper in resetRound.
class GameModeCustom : public GameMode, public IScoreMatch {
public:
    static constexpr float kSinglePlayerRespawn = 5.0f;
    static constexpr float kMapObjectRespawn = 60.0f;
    static constexpr float kSpawnClearance = 1000.0f;
    static constexpr int kSpawnAttempts = 32;

    GameModeCustom(GameType type, bool teamScoring);
    ~GameModeCustom() override;

    bool startLevel() override;
    void clearLevel() override;
    void update(float dt) override;
    void resetRound() override;
    PauseMenu getPauseMenu() const override { return PauseMenu::Match; }

    Target* addPlayerAirplane(std::unique_ptr<Target> entity, bool relay) override;
    std::unique_ptr<Target> removePlayerAirplane(Target& entity) override;
    void onAirplaneDestroyed(Target& victim, Target* attacker, CrashCause cause) override;
    void changeTeam(Target& entity, int team) override;
    float respawnDelay() const override;
    // The delay of this entity: map objects' ground units wait a minute.
    virtual float respawnDelayFor(const Target& entity) const;

    // End of the match.
    void freezeMatch() override;
    virtual void finishMatch();
    virtual void openEndMenu();
    void onMatchEnded(float countdown);
    void startNextMatch();
    float restartCountdown() const { return m_restartCountdown; }
    bool endMenuPending() const { return m_endMenuPending; }
    int endMenusOpened() const { return m_endMenusOpened; }
    int matchBonusPercent() const override;
    bool messagesMuted() const override { return m_muted; }
    void setMessagesMuted(bool on) { m_muted = on; }

    // The host closes team changes once less than half the time is left.
    void updateTeamChangeWindow();
    Airplane* firstHumanAirplane() const;

    // Starts a further match; respawns the players and bots asked for.
    void resetMatch(bool respawnPlayers, bool respawnBots);
    // Match length for the sun and weather (seconds) and the sun at a time.
    float matchLength() const;
    float sunAt(float elapsed) const;
    void initMatchLimits();
    void updateMatchSky(float dt);
    float weatherTimer() const { return m_weatherTimer; }

    // Server data: the elapsed match time.
    int writeServerData(std::span<std::uint8_t> out) const;
    int readServerData(std::span<const std::uint8_t> in);

    // Bots and spawn positions.
    Airplane* spawnBot(int team, float skill, Squadron* squadron, bool keepInGame, int planeId);
    bool isSpawnOccupied(const Vec3& point, float radius, const Target* ignore) const;
    Vec3 spawnOnCircle(const Vec3& centre, float radius, bool faceCentre, Quat* orientation) const;
    Vec3 spawnInSector(const Vec3& base, float directionAngle, float spread, float distance) const;
    Vec3 spawnAwayFromOthers(const Target& entity, float radius, bool facing, Quat* orientation) const;
    Vec3 mapCentre() const;

    float respawnDelaySetting = kSinglePlayerRespawn;
    Squadron* squadronA = nullptr;
    Squadron* squadronB = nullptr;

protected:
    // Builds the player's airplane and the bots of a new level.
    virtual void buildPlayers() {}
    float spawnHeightAt(float x, float z) const;

    bool m_endMenuPending = false;
    bool m_readyShown = true;
    bool m_muted = false;
    float m_weatherTimer = -1.0f;
    float m_restartCountdown = -1.0f;
    int m_endMenusOpened = 0;
};
