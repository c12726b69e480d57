#include "modes/kinds/GameModeCampaign.h"

#include "entities/aircraft/Airplane.h"
#include "gamedata/map/GameWorld.h"
#include "gamedata/records/MapInfoCfg.h"
#include "gamedata/records/PlaneCfg.h"
#include "modes/kinds/GameModeCustom.h"
#include "modes/progress/MissionStats.h"
#include "modes/progress/UnlocksMgr.h"
#include "platform/Clock.h"
#include "platform/Log.h"
#include "platform/Settings.h"

#include <algorithm>
#include <cmath>

CampaignStats& campaignStats()
{
    static CampaignStats stats;
    return stats;
}

IModeEndPages& ModeServices::endPagesOrNone() const
{
    static IModeEndPages none;
    return endPages ? *endPages : none;
}

GameModeCampaign::GameModeCampaign() : GameMode(GameType::Campaign)
{
    ScoreMgr& sm = ScoreMgr::instance();
    sm.reset(false);
    sm.attach(this, this);
}

GameModeCampaign::~GameModeCampaign()
{
    GameModeCampaign::clearLevel();
    // A mode made after this one may be scored already.
    ScoreMgr& sm = ScoreMgr::instance();
    if (sm.attachedMode() == this)
        sm.attach(nullptr, nullptr);
}

void GameModeCampaign::setMapRecord(const MapInfoCfg* record) { GameMode::setMapRecord(record); }

int GameModeCampaign::campaign() const { return m_mapRecord ? m_mapRecord->campaign_id : -1; }
int GameModeCampaign::mission() const { return m_mapRecord ? m_mapRecord->index : -1; }

bool GameModeCampaign::startLevel()
{
    m_ended = false;
    campaignStats().reset();
    missionStats() = MissionStats{};
    matchOutcome() = MatchOutcome::NoResult;
    if (!GameMode::startLevel())
        return false;
    // The mission flies at the hour its record gives; the scene made next takes it.
    setSunValue(m_mapRecord && std::isfinite(m_mapRecord->sunValue) ? std::clamp(m_mapRecord->sunValue, 0.0f, 1.0f)
                                                                    : 0.5f);
    ScoreMgr::instance().attach(this, this);
    MapHooks hooks = m_world->hooks();
    hooks.host = this;
    m_world->setHooks(hooks);
    resetRound();
    setDifficulty(difficulty);
    createRunways();
    createRoads();
    createTunnels();
    createEffectDummies();
    (void)resumeCheckpoint(resumeValue);
    return true;
}

void GameModeCampaign::clearLevel()
{
    if (ScoreMgr::instance().attachedMode() == this)
        ScoreMgr::instance().clearPlayers();
    GameMode::clearLevel();   // takes the waypoints off the HUD first
    m_objectOf.clear();
    m_squadronOf.clear();
    m_triggerWaypoints.clear();
}

void GameModeCampaign::resetRound()
{
    GameMode::resetRound();
    ScoreMgr& sm = ScoreMgr::instance();
    sm.reset(false);
    sm.timeLimit = 0.0f;
    sm.scoreLimit = 0;
    playerLossAllowed = false;
}

void GameModeCampaign::update(float dt)
{
    GameMode::update(dt);
    if (playStopped || !m_world)
        return;
    missionStats().gameTime += dt;
    m_world->applySunAndFog(dt);
}

void GameModeCampaign::drawOverlay()
{
    if (m_world)
        m_world->notifyGroundTargets();
}

void GameModeCampaign::applyLightAndFog(const Color4& light, float fogStart, float fogDensity)
{
    ++m_lightUpdates;
    m_services.sceneOrNone().setLightAndFog(light, fogStart, fogDensity);
}

bool GameModeCampaign::playerPosition(Vec3& position, float& radius) const
{
    const Airplane* p = m_playerAirplane;
    if (!p || !p->isActive() || !p->isAlive())
        return false;
    position = p->position();
    radius = p->radius();
    return true;
}

// Deaths.

void GameModeCampaign::onAirplaneDestroyed(Target& victim, Target* attacker, CrashCause cause)
{
    if (victim.lifeState() == LifeState::Destroyed)
        return;
    if (victim.lifeState() == LifeState::Dying) {
        // Shot down already and counted then: the fall ends (the ground, a
        // collision) and only the wreck remains.
        if (cause != CrashCause::KilledByDamage)
            victim.onDestroyed(cause);
        return;
    }
    Target* killer = attacker ? attacker : victim.lastAttacker;
    MissionStats& stats = missionStats();
    if (victim.team() == 1 && killer && killer == m_playerAirplane)
        ++stats.enemiesKilled;
    else if (victim.team() == 0 && &victim != m_playerAirplane)
        ++stats.friendlyLosses;
    // A falling airplane's crash is the end of a kill counted already.
    if (victim.lifeState() != LifeState::Dying)
        countKillEvents(killer, victim);
    const bool counts = victim.kind() == TargetKind::Airplane;
    if (MapObject* object = objectOf(victim)) {
        object->setState(MapObject::kStateGone);
        if (m_world)
            m_world->removeEntity(object->entity);
    }
    if (cause != CrashCause::None)
        ScoreMgr::instance().onKill(&victim, killer, cause, !counts);
    if (killer && killer->isActive())
        m_hooks.cameraOrNone().onKill(victim, *killer);
    if (&victim == m_playerAirplane)
        m_hooks.hudOrNone().releaseAllButtons();
    // No respawn and nothing relayed: a mission is played alone.
    victim.onDestroyed(cause);
}

void GameModeCampaign::deleteAirplane(Target& entity)
{
    if (&entity != m_playerAirplane || !m_playerAirplane) {
        removeEntity(entity);
        return;
    }
    // A pilot under the parachute decides when he lands.
    if (m_playerAirplane->parachute)
        return;
    losePlayerAirplane();
}

void GameModeCampaign::onParachuteFinished(Parachute& parachute)
{
    // The player's pilot is down: the airplane he left, still flying or not,
    // is lost with him, as at a crash without a parachute.
    if (!m_playerAirplane || parachute.owner != static_cast<IAirplaneFx*>(m_playerAirplane))
        return;
    logInfo("modes", "the player's pilot is down under his parachute");
    losePlayerAirplane();
}

void GameModeCampaign::losePlayerAirplane()
{
    if (!m_playerAirplane)
        return;
    m_lostPlaneId = playerPlaneId();
    // A loss the mission allows ends nothing: its script takes the pilot on.
    if (!playerLossAllowed)
        m_hooks.progressOrNone().setCheckpointEventParams(m_lostPlaneId);
    removeEntity(*m_playerAirplane);
    m_playerAirplane = nullptr;
    if (!playerLossAllowed)
        endMission(false, -1);
}

std::unique_ptr<Target> GameModeCampaign::removePlayerAirplane(Target& entity)
{
    // Nothing keeps pointing at it: not the score groups and winners, the
    // map object it was made for, nor the player pointer.
    ScoreMgr::instance().forget(entity);
    if (auto it = m_objectOf.find(&entity); it != m_objectOf.end()) {
        if (m_world && it->second->entity)
            m_world->removeEntity(it->second->entity);
        m_objectOf.erase(it);
    }
    std::unique_ptr<Target> owned = GameMode::removePlayerAirplane(entity);
    if (owned && owned.get() == m_playerAirplane)
        m_playerAirplane = nullptr;
    return owned;
}

void GameModeCampaign::setPlayerAirplane(Airplane* airplane)
{
    GameMode::setPlayerAirplane(airplane);
    if (airplane) {
        airplane->aiPilot = false;
        airplane->aiLevel = std::clamp(playerRank, 0, 10);
    }
}

int GameModeCampaign::playerColorCode(int team)
{
    if (team == kTeamNone)
        return 2;
    return team == 0 ? 0 : 1;
}

// The end.

void GameModeCampaign::endMission(bool won, int reasonTextId)
{
    if (playStopped)
        return;
    IModeHud& hud = m_hooks.hudOrNone();
    hud.releaseAllButtons();
    if (m_playerAirplane)
        m_hooks.cameraOrNone().orbit(*m_playerAirplane, kEndOrbitDistance, kEndOrbitPitch);
    setTimeScale(1.0f);
    playStopped = true;
    m_ended = true;
    controlsFrozen = false;
    playEndMusic();
    m_hooks.progressOrNone().countEvent(kMissionEndedEvent);
    if (won)
        winMission();
    else
        failMission(reasonTextId);
    ScoreMgr::instance().stopScoring();
    IModeOverlays& overlays = m_services.overlaysOrNone();
    overlays.closeOverlay();
    // The failure or result page is set: the campaign pause must not replace it.
    overlays.openPauseScreen(PauseMenu::MissionEnd);
}

int GameModeCampaign::playerPlaneId() const
{
    if (m_playerAirplane)
        return m_playerAirplane->record().plane_id;
    return m_lostPlaneId >= 0 ? m_lostPlaneId : settings().localPlaneId;
}

void GameModeCampaign::failMission(int reasonTextId)
{
    m_hooks.progressOrNone().setMissionEventParams(playerPlaneId());
    matchOutcome() = MatchOutcome::Lost;
    campaignStats().failureReason = reasonTextId;
    m_services.endPagesOrNone().showCampaignFailure(reasonTextId >= 1 ? reasonTextId : kDefaultFailureText);
    m_hooks.progressOrNone().countEvent(kMissionFailedEvent);
}

void GameModeCampaign::winMission()
{
    matchOutcome() = MatchOutcome::Won;
    ScoreMgr& sm = ScoreMgr::instance();
    const MissionStats& stats = missionStats();
    sm.medal = m_mapRecord ? stats.medal(*m_mapRecord, difficulty) : 1;
    sm.finishMatchPoints(stats.shotsFired, stats.shotsHit, stats.missilesFired, stats.missilesHit);
    IModeProgress& progress = m_hooks.progressOrNone();
    progress.countEvent(kMissionWonEvent);
    const int c = campaign(), m = mission();
    // Only missions the event table has room for count a flawless win.
    const int flawless = kFlawlessEventBase + kMissionsWithEvents * c + m;
    if (m_playerAirplane && m_playerAirplane->isAlive() && c >= 0 && c < Settings::kCampaignCount && m >= 0 &&
        m < kMissionsWithEvents && flawless < Settings::kEventIdCount)
        progress.countEvent(flawless);
    progress.setMedalEventParams(playerPlaneId(), sm.medal);

    IModeEndPages& pages = m_services.endPagesOrNone();
    // A comic that does not load leads to the result page, never to an empty comic.
    const bool comic = m_mapRecord && !m_mapRecord->comicEnd.empty() &&
                       pages.showEndComic("data/comics/" + m_mapRecord->comicEnd + ".cfg");
    if (!comic)
        pages.showMissionResult();

    Settings& s = settings();
    if (c >= 0 && c < Settings::kCampaignCount && m >= 0 && m < Settings::kMissionsPerCampaign) {
        s.setCampaignProgress(c, m, 1);
        // The mission list reads these bytes as "open": a win opens the next one.
        if (m + 1 < Settings::kMissionsPerCampaign)
            s.setCampaignProgress(c, m + 1, 1);
        UnlocksMgr::instance().onCampaignMissionWin(c, m);
    }
    (void)MissionSave::remove(*this);
    s.save();
    // The airplane flies on behind the pages.
    if (m_playerAirplane)
        attachAI(*m_playerAirplane, 1.0f, true);
}

int GameModeCampaign::missionPoints(int points, int newMedal, int storedMedal, int level)
{
    auto byMedal = [points](int medal) {
        switch (medal) {
        case 1: return points / 3;
        case 2: return 2 * points / 3;
        case 3: return points;
        default: return 0;
        }
    };
    int earned = byMedal(newMedal), stored = byMedal(storedMedal);
    if (level == 0) {
        earned = earned * 3 / 10;
        stored = stored * 3 / 10;
    } else if (level == 2) {
        earned *= 2;
        stored *= 2;
    }
    if (storedMedal > newMedal || earned < stored)
        return 0;
    return earned - stored;
}

int GameModeCampaign::storedMedal() const
{
    const std::uint32_t result = settings().campaignResultAt(campaign(), mission());
    // Byte 0 normal, byte 1 hard, byte 2 easy.
    const int shift = difficulty == 2 ? 8 : difficulty == 0 ? 16 : 0;
    return static_cast<int>((result >> shift) & 0xFFu);
}

int GameModeCampaign::missionPoints() const
{
    if (!m_mapRecord)
        return 0;
    return missionPoints(std::max(m_mapRecord->missionPoints, 0), ScoreMgr::instance().medal, storedMedal(),
                         difficulty);
}

// Checkpoints.

void GameModeCampaign::saveCheckpoint()
{
    m_lastSave = false;
    if (!m_world || !m_playerAirplane || !m_playerAirplane->isAlive() || playStopped)
        return;
    m_lastSave = MissionSave::save(*m_world, *this);
    if (m_lastSave)
        logInfo("modes", "checkpoint saved at %.1f s", gameClock());
}

bool GameModeCampaign::resumeCheckpoint(int value)
{
    if (!m_world)
        return false;
    // Scoring starts before the checkpoint's statistics are read back over it.
    ScoreMgr& sm = ScoreMgr::instance();
    sm.startMatch();
    const bool resumed = MissionSave::resume(*m_world, *this, value);
    if (resumed) {
        logInfo("modes", "mission resumed from its checkpoint");
        // Objects a trigger brought in before the checkpoint come back too.
        for (int i = 0; i < m_world->objectCount(); ++i) {
            MapObject& o = *m_world->object(i);
            if (o.active && o.spawn != 0 && !o.isGone())
                spawnObject(o);
        }
    }
    if (m_playerAirplane)
        sm.addPlayer(*m_playerAirplane);
    return resumed;
}

MissionKey GameModeCampaign::missionKey() const { return MissionKey{campaign(), mission(), difficulty}; }

void GameModeCampaign::writeStats(File& file) { ScoreMgr::instance().writeStats(file); }

bool GameModeCampaign::readStats(File& file) { return ScoreMgr::instance().readStats(file); }

bool GameModeCampaign::playerState(PlayerCheckpoint& out) const
{
    const Airplane* p = m_playerAirplane;
    if (!p || !p->isActive() || !p->isAlive())
        return false;
    out.position = p->position();
    out.orientation = p->orientation();
    out.speed = p->speed();
    out.health = p->maxHealth() > 0.0f ? p->health() / p->maxHealth() : 1.0f;
    out.throttle = p->throttleSetting();
    return true;
}

void GameModeCampaign::applyPlayerState(const PlayerCheckpoint& state)
{
    Airplane* p = m_playerAirplane;
    if (!p)
        return;
    p->setPositionAndStop(state.position);
    p->setOrientation(state.orientation);
    p->setSpeed(state.speed);
    const float share = std::isfinite(state.health) ? std::clamp(state.health, 0.01f, 1.0f) : 1.0f;
    p->setHealth(p->maxHealth() * share);
    p->setThrottleSetting(std::isfinite(state.throttle) ? std::clamp(state.throttle, -1.0f, 1.0f) : 0.0f);
}

void GameModeCampaign::countCheckpointRestart() { ++missionStats().checkpointRestarts; }
