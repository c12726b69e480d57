#pragma once
#include "gamedata/MissionSave.h"
#include "gamedata/map/MapHooks.h"
#include "modes/GameMode.h"
#include "modes/kinds/TriggerWaypoint.h"
#include "modes/progress/ScoreMgr.h"

#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

class MapObject;

// What the last campaign mission left for the result and failure pages.
struct CampaignStats {
    int failureReason = -1;  // text id of the failure; -1 none
    void reset() { *this = CampaignStats{}; }
};
CampaignStats& campaignStats();

// One scripted campaign mission: the map's objects and triggers in play, the
// mission's end (failure when the player's airplane or pilot is lost, the win
// with medal, progress, unlocks and the end pages), the mission points and the
// checkpoints. The mode is the world's host: trigger actions reach it through
// IMapHost, the checkpoint file through ICheckpointHost.
class GameModeCampaign : public GameMode, public IScoreMatch, public IMapHost, public ICheckpointHost {
public:
    // The failure text when the reason names none.
    static constexpr int kDefaultFailureText = 382;
    // Achievement events: a mission ended, won, failed; a flawless win of
    // campaign c, mission m is kFlawlessEventBase + 5 c + m.
    static constexpr int kMissionEndedEvent = 4, kMissionWonEvent = 5, kMissionFailedEvent = 6;
    static constexpr int kFlawlessEventBase = 132;
    static constexpr int kMissionsWithEvents = 5;
    // The camera's orbit around the player's airplane after the end.
    static constexpr float kEndOrbitDistance = 1000.0f;
    static constexpr float kEndOrbitPitch = 0.5235988f;

    GameModeCampaign();
    ~GameModeCampaign() override;

    void setMapRecord(const MapInfoCfg* record) override;
    int campaign() const;
    int mission() const;
    bool opensFirstMission() const override { return campaign() == 0 && mission() == 0; }

    // Level: the world loaded with this mode as its host, the round reset and
    // the mission's objects in play (no checkpoint laid over it).
    bool startLevel() override;
    void clearLevel() override;
    void update(float dt) override;
    // The draw-time refresh of the world's ground targets and objectives.
    void drawOverlay() override;
    void resetRound() override;

    void onAirplaneDestroyed(Target& victim, Target* attacker, CrashCause cause) override;
    void deleteAirplane(Target& entity) override;
    void onParachuteFinished(Parachute& parachute) override;
    std::unique_ptr<Target> removePlayerAirplane(Target& entity) override;
    void setPlayerAirplane(Airplane* airplane) override;
    // 2 for the neutral id, 0 for team 0 (friends), else 1.
    static int playerColorCode(int team);
    PauseMenu getPauseMenu() const override { return PauseMenu::Campaign; }
    void fillReport(MatchReport& out) const override;

    void endMission(bool won, int reasonTextId) override;
    // Also the map's checkpoint action. Nothing while the player's airplane is not alive.
    void saveCheckpoint() override;
    // The result of the last save (tests).
    bool lastSaveWritten() const { return m_lastSave; }
    bool resumeCheckpoint(int value) override;
    bool missionEnded() const { return playStopped && m_ended; }
    // Set by the start before the level: 1 lays the mission's checkpoint over its start.
    int resumeValue = 0;
    void setResumeValue(int value) override { resumeValue = value == 1 ? 1 : 0; }
    void setChosenPlane(int planeId) override { chosenPlaneId = planeId; }
    // The plane chosen in the menus for the player; -1 (or a plane the list
    // lacks) flies the mission's own.
    int chosenPlaneId = -1;

    // The points the win pays: by the medal just earned against the best
    // medal stored for the mission and difficulty; 0 for no improvement.
    int missionPoints() const;
    static int missionPoints(int points, int newMedal, int storedMedal, int difficulty);
    // The best medal stored for the mission at the difficulty (0 none).
    int storedMedal() const;

    // IScoreMatch
    int matchBonusPercent() const override { return missionPoints(); }

    // IMapHost
    bool playerPosition(Vec3& position, float& radius) const override;
    void setPlayerLossAllowed(bool allowed) override { playerLossAllowed = allowed; }
    void spawnEffect(const std::string& effect, const Vec3& position) override { spawnMapEffect(effect, position); }
    void setSunValue(float value) override { GameMode::setSunValue(value); }
    void applyLightAndFog(const Color4& light, float fogStart, float fogDensity) override;
    void startWeather(int kind) override { GameMode::startWeather(kind, 5.0f); }
    void showComic(const std::string& name) override { (void)GameMode::showComic(name); }
    void countEvent(int eventId) override { m_hooks.progressOrNone().countEvent(eventId); }
    void spawnObject(MapObject& object) override;
    void markGoal(MapObject& object) override;
    void addWaypointMarker(MapTrigger& trigger) override;

    // ICheckpointHost
    MissionKey missionKey() const override;
    void writeStats(File& file) override;
    bool readStats(File& file) override;
    bool playerState(PlayerCheckpoint& out) const override;
    void spawnMission(GameWorld& world) override;
    void applyPlayerState(const PlayerCheckpoint& state) override;
    void countCheckpointRestart() override;

    // The map object an entity was made for; null for none.
    MapObject* objectOf(const Target& entity) const;
    // The entities of the trigger's listed objects still in play.
    std::vector<Target*> goalTargets(const MapTrigger& trigger) const;
    // How often a light and fog value reached the scene (tests, the benchmark).
    int lightAndFogUpdates() const { return m_lightUpdates; }

private:
    void failMission(int reasonTextId);
    void winMission();
    // The plane the statistics events name: the player's, the lost one, else the selected one.
    int playerPlaneId() const;
    // The player's airplane leaves for good and the mission fails.
    void losePlayerAirplane();
    Target* spawnFromObject(MapObject& object, int index);
    Airplane* spawnAirplane(MapObject& object);
    Squadron* squadronNamed(const std::string& name);
    // Listed by an objective that has started.
    bool isGoal(const MapObject& object) const;

    std::unordered_map<const Target*, MapObject*> m_objectOf;
    std::unordered_map<std::string, Squadron*> m_squadronOf;
    std::vector<std::unique_ptr<TriggerWaypoint>> m_triggerWaypoints;
    bool m_ended = false;
    int m_lightUpdates = 0;
    int m_lostPlaneId = -1;
    bool m_lastSave = false;
};
