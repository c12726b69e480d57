#pragma once
#include "modes/GameMode.h"
#include "modes/Match.h"
#include "modes/progress/ScoreMgr.h"

#include <algorithm>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

struct JoinedMatchSetup;
struct PlaneCfg;

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
    // The host entry's word with the team-change flag in its low byte.
    static constexpr int kTeamChangeWord = 5;
    // Texts: the respawn countdown, waiting for the host, out until the next round; waiting for players.
    static constexpr int kRespawnCountdownText = 100, kWaitingText = 181, kOutText = 182, kNotReadyText = 183;
    // The host waits this long for a joiner to end its own airplane's fall
    // (the longest fall and then some).
    static constexpr float kFallWait = 20.0f;

    GameModeCustom(GameType type, bool teamScoring);
    ~GameModeCustom() override;

    bool startLevel() override;
    void clearLevel() override;
    void update(float dt) override;
    // The kind's own frame after the shared one: objectives, countdowns,
    // rounds and waves. Nothing in the shared mode.
    virtual void updateRules(float /*dt*/) {}
    void resetRound() override;
    PauseMenu getPauseMenu() const override { return PauseMenu::Match; }
    // The restart countdown and the respawn line beside the shared part.
    void fillReport(MatchReport& out) const override;

    Target* addPlayerAirplane(std::unique_ptr<Target> entity, bool relay) override;
    std::unique_ptr<Target> removePlayerAirplane(Target& entity) override;
    // A shot-down airplane falls first; its respawn waits for the end of the fall.
    void deleteAirplane(Target& entity) override;
    void onAirplaneDestroyed(Target& victim, Target* attacker, CrashCause cause) override;
    // Any respawn ends a fall that was still under way.
    void respawnQuietly(Target& entity, float delay, const Vec3* position) override;
    void changeTeam(Target& entity, int team) override;
    void removeAirplaneForGood(Target& entity, int team) override;
    // Unless the match is over: the life state taken; the host tells the
    // peers (all of them with toAll, else all but the airplane's owner).
    void onAirplaneStateChanged(Target& airplane, int state, Target* other, int a, int b) override;
    float respawnDelay() const override;
    // The delay of this entity: map objects' ground units wait a minute.
    virtual float respawnDelayFor(const Target& entity) const;

    // End of the match.
    void freezeMatch() override;
    virtual void finishMatch();
    virtual void openEndMenu();
    void onMatchEnded(float countdown) override;
    virtual void startNextMatch();
    float restartCountdown() const { return m_restartCountdown; }
    bool endMenuPending() const { return m_endMenuPending; }
    int endMenusOpened() const { return m_endMenusOpened; }
    int matchBonusPercent() const override;
    bool messagesMuted() const override { return m_muted; }
    void setMessagesMuted(bool on) { m_muted = on; }

    // The match ends at once: frozen, scored, and any network game torn down
    // (the player left, or the host was lost).
    void endMatch() override;
    // The plane the player chose, with its own weapons, on team 0.
    void ensureLocalPlayer() override;
    // The host has gone: any overlay closes and the disconnect notice opens.
    void onServerLost();
    // Restart on the host's word (clients): nobody respawns, play resumes.
    void restartMatch() override;

    // A player whose airplane is out of play watches the next airplane still in it.
    void updateSpectatorCamera();

    // The host closes team changes once less than half the time is left and
    // tells the clients when that changed the flag.
    void updateTeamChangeWindow();
    // The byte sent with an airplane event: bit 0 counts for score and bit 1
    // owned by the host in an online game (both from the host only), bit 2
    // for kind 4 (destroyed), bit 3 for kind 8 (the camera's kill event).
    std::uint8_t eventFlags(const Target& victim, bool counts, int kind) const;
    // Whether the death scores: never for a non-airplane; a client with the
    // host's flags takes their bit 0.
    bool countsForScore(const Target* victim, const std::uint8_t* hostFlags) const;
    // An airplane event from the host (or a kind): destroyed (flag bit 2),
    // else out (respawnTime -1) or back after respawnTime at position.
    // Kinds add their own rules for a death a peer reports (flags dropped,
    // bases lost, players put out).
    void onAirplaneEvent(Target& victim, Target* killer, CrashCause cause, std::uint8_t flags, float respawnTime,
                         const Vec3& position, const Quat& orientation) override;
    static constexpr std::uint8_t kEventDestroyed = 4;
    // The line under the HUD while the player's airplane is out: the
    // respawn countdown, else (clients) waiting for the next round or for
    // the host; false when nothing is shown.
    bool respawnText(std::u16string& out) const;
    // The host stops taking joins in the last minute or after the match.
    bool closeJoinsNearEnd = true;
    bool closeJoinsAfterMatch = true;
    // The network match's option word: the weapon rule in its low byte, the
    // last-man-standing team variant in bit 8 (the host's settings, or what
    // a joiner heard from the host).
    std::uint32_t matchOptions() const;
    int serverLostNotices() const { return m_serverLost; }
    Airplane* firstHumanAirplane() const;

    // Starts a further match; respawns the players and bots asked for
    // (entities of the kinds to skip stay as they are) and starts scoring
    // when scoring is set.
    void resetMatch(bool respawnPlayers, bool respawnBots, std::span<const TargetKind> skipKinds = {},
                    bool scoring = true);
    // Every missile in flight removed and every weapon's trigger, timers and lock reset.
    virtual void clearMatchObjects();
    // Players (airplanes without an AI pilot) and bots back into play at
    // once at their spawn points, except entities of the kinds to skip.
    void respawnAll(bool players, bool bots, std::span<const TargetKind> skipKinds = {});
    // Match length for the sun and weather (seconds) and the sun at a time.
    float matchLength() const;
    float sunAt(float elapsed) const;
    void initMatchLimits();
    void updateMatchSky(float dt);
    float weatherTimer() const { return m_weatherTimer; }

    // The match's team flag: whether it scores by teams. Only last man
    // standing has both; a client takes the host's at its join and after.
    virtual void setTeamMatch(bool /*on*/) {}
    // A client's match plays by the host's limits, respawn delay, team flag
    // and name; called once its level is set up, before its players are built.
    void applyJoinedSetup(const JoinedMatchSetup& setup);

    // The host's round or wave countdown (value seconds; index the wave in
    // survival), applied on clients. The kinds without rounds ignore it.
    virtual void setModeValue(int /*value*/, int /*index*/) {}

    // Server data: the elapsed match time.
    ServerData::Layout serverDataLayout() const override { return ServerData::Layout::Time; }
    void fillServerData(ServerData& out) const override;
    void applyServerData(const ServerData& data) override;

    // Bots and spawn positions.
    Airplane* spawnBot(int team, float skill, Squadron* squadron, bool keepInGame, int planeId);
    // The same without telling peers.
    Airplane* buildBot(int team, float skill, Squadron* squadron, bool keepInGame, int planeId);
    bool isSpawnOccupied(const Vec3& point, float radius, const Target* ignore) const;
    // Where the airplanes in play and those waiting to respawn are.
    std::vector<Vec3> spawnBlockers(const Target* ignore) const;
    Vec3 spawnOnCircle(const Vec3& centre, float radius, bool faceCentre, Quat* orientation) const;
    Vec3 spawnInSector(const Vec3& base, float directionAngle, float spread, float distance) const;
    Vec3 spawnAwayFromOthers(const Target& entity, float radius, bool facing, Quat* orientation) const;
    Vec3 mapCentre() const;
    // The map's default spawn point and its orientation; the map centre
    // facing along -z without a world.
    Vec3 mapSpawnPoint() const;
    Quat mapSpawnOrientation() const;

    // The player's airplane (selected plane, own paint, chosen weapons) in
    // play at the point; null when no plane is loaded.
    Airplane* createPlayerAirplane(int team, float skill, Squadron* squadron, const Vec3& at);
    // The profile's name ("Pilot" when it has none), which tables and tags show.
    static std::u16string localPilotName();
    // The player's airplane at the kind's own spawn point for it.
    Airplane* createPlayerAtSpawn(int team, Squadron* squadron);
    // The plane's own weapons, then the player's chosen ones over them.
    void applyPlayerLoadout(Airplane& airplane) const;
    // A random row of the plane's paints; 0 when the plane has none.
    static int paintRowFor(const PlaneCfg& plane);

    float respawnDelaySetting = kSinglePlayerRespawn;
    Squadron* squadronA = nullptr;
    Squadron* squadronB = nullptr;

protected:
    Target* applyPeerDestroyed(const peerevent::Destroyed& event) override;
    Target* applyPeerMatchEnd(const peerevent::MatchEnd& event) override;
    Target* applyPeerRestart() override;
    Target* applyPeerModeValue(const peerevent::ModeValue& event) override;
    Target* applyPeerTeamFlag(const peerevent::TeamFlag& event) override;
    // Builds the player's airplane and the bots of a new level.
    virtual void buildPlayers() {}
    // Whether a shot-down entity stays out of play instead of waiting for a
    // respawn (one life a round, or until the match ends).
    virtual bool staysOutWhenDown(const Target& /*victim*/) const { return false; }
    // Out of play at its spawn point, waiting for nothing, without telling peers.
    void keepOut(Target& victim);
    // A death is over: the airplane waits for its respawn or stays out.
    virtual void deathFinished(Target& /*victim*/) {}
    // Shot down and still falling.
    bool isFalling(const Target& entity) const
    {
        return std::find_if(m_falling.begin(), m_falling.end(),
                            [&](const Fall& f) { return f.entity == &entity; }) != m_falling.end();
    }
    float spawnHeightAt(float x, float z) const;
    // The next match on the host's word: reset (everybody respawned when
    // asked), unpaused, peers told, joins taken again.
    void startNextMatchWith(bool respawn, bool scoring);

    bool m_endMenuPending = false;
    // The match has been scored at its end.
    bool m_matchFinished = false;
    bool m_readyShown = true;
    bool m_muted = false;
    float m_weatherTimer = -1.0f;
    int m_weatherKind = 1;   // the weather a change brings: rain 1, snow 2
    static constexpr int kWeatherRain = 1, kWeatherSnow = 2;
    float m_restartCountdown = -1.0f;
    int m_endMenusOpened = 0;
    int m_serverLost = 0;

private:
    // The network side of a running match; false when the match was lost.
    bool updateNetworkMatch();
    void updateAfterMatch(float dt);
    void updateReadyNotice();
    // The killer a death is scored with on this machine.
    Target* scoredKiller(const Target& victim, Target* killer) const;
    // The respawn of a dead entity: camera, HUD and the delayed return; peers
    // hear that the death is over.
    void finishDeath(Target& victim, Target* killer, CrashCause cause);
    void startFall(Target& victim);
    // Forgets the fall; true when the entity was falling.
    bool endFall(const Target& entity);
    // The host ends the falls of joiners' airplanes whose owners never said
    // the fall was over (they left, or their game does not say it).
    void endOverdueFalls(float dt);

    // Shot-down airplanes still falling (their killer kept as the last
    // attacker for the camera when the fall ends), with how long each has fallen.
    struct Fall {
        Target* entity = nullptr;
        float age = 0.0f;
    };
    std::vector<Fall> m_falling;
};
