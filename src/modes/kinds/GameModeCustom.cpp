#include "modes/kinds/GameModeCustom.h"

#include "entities/aircraft/Airplane.h"
#include "entities/ground/GroundTarget.h"
#include "entities/weapons/Weapon.h"
#include "gamedata/map/GameWorld.h"
#include "gamedata/records/MapInfoCfg.h"
#include "modes/AchievementEvents.h"
#include "modes/BotNames.h"
#include "modes/GameModeGlobals.h"
#include "modes/Match.h"
#include "modes/IGameListener.h"
#include "modes/kinds/MatchRules.h"
#include "modes/progress/MissionStats.h"
#include "platform/Random.h"
#include "platform/Log.h"
#include "platform/Settings.h"
#include "sound/Sound.h"
#include "sound/SoundSource.h"
#include "sound/SoundTable.h"

#include <algorithm>
#include <cmath>
#include <cstring>

GameModeCustom::GameModeCustom(GameType type, bool teamScoring) : GameMode(type)
{
    ScoreMgr& sm = ScoreMgr::instance();
    sm.reset(teamScoring);
    sm.attach(this, this);
}

GameModeCustom::~GameModeCustom()
{
    ScoreMgr& sm = ScoreMgr::instance();
    sm.clearPlayers();
    sm.attach(nullptr, nullptr);
}

bool GameModeCustom::startLevel()
{
    m_endMenuPending = false;
    if (!GameMode::startLevel())
        return false;
    resetRound();
    if (isNetworkClient() && joinedMatchSetup().valid)
        applyJoinedSetup(joinedMatchSetup());
    buildPlayers();
    resetMatch(false, false);
    return true;
}

void GameModeCustom::applyJoinedSetup(const JoinedMatchSetup& setup)
{
    setTeamMatch(setup.teamMatch);
    ScoreMgr& sm = ScoreMgr::instance();
    sm.scoreLimit = std::clamp(setup.scoreLimit, 0, 255);
    sm.timeLimit = static_cast<float>(std::clamp(setup.minutes, 0, 255)) * 60.0f;
    if (setup.respawnDelay > 0)
        respawnDelaySetting = static_cast<float>(std::min(setup.respawnDelay, 255));
    if (!setup.gameName.empty())
        setServerName(setup.gameName);
}

void GameModeCustom::clearLevel()
{
    ScoreMgr::instance().clearPlayers();
    GameMode::clearLevel();
    squadronA = squadronB = nullptr;
}

void GameModeCustom::resetRound()
{
    GameMode::resetRound();
    BotNames::clear();
    respawnDelaySetting = isSinglePlayer() ? kSinglePlayerRespawn
                                           : static_cast<float>(settings().skirmishWord(Settings::kEntryHost, 3));
    m_readyShown = true;
    // A joiner's own set-up says nothing of the host's match: the host tells
    // it with the join and whenever it closes or opens team changes.
    if (isNetworkClient())
        teamChangeAllowed = true;
    else if (!isSinglePlayer())
        teamChangeAllowed = (settings().skirmishWord(Settings::kEntryHost, kTeamChangeWord) & 0xFF) != 0;
    // The room's weapon filter: a joiner takes the host's, which it heard with the join.
    weaponRule = isSinglePlayer() ? 0 : static_cast<int>(matchOptions());
    // A timed match takes no joiner in its last minute nor after its end (last man standing differs).
    closeJoinsNearEnd = true;
    closeJoinsAfterMatch = true;
    m_restartCountdown = -1.0f;
}

std::uint32_t GameModeCustom::matchOptions() const
{
    if (isNetworkClient() && joinedMatchSetup().valid)
        return joinedMatchSetup().optionFlags;
    return settings().skirmishWord(Settings::kEntryFurther, 0);
}

Target* GameModeCustom::addPlayerAirplane(std::unique_ptr<Target> entity, bool relay)
{
    Target* added = GameMode::addPlayerAirplane(std::move(entity), relay);
    if (added && added->kind() == TargetKind::Airplane)
        ScoreMgr::instance().addPlayer(static_cast<Airplane&>(*added));
    return added;
}

std::unique_ptr<Target> GameModeCustom::removePlayerAirplane(Target& entity)
{
    (void)endFall(entity);
    ScoreMgr::instance().forget(entity);
    return GameMode::removePlayerAirplane(entity);
}

void GameModeCustom::changeTeam(Target& entity, int team)
{
    GameMode::changeTeam(entity, team);
    if (entity.kind() == TargetKind::Airplane)
        ScoreMgr::instance().refilePlayer(static_cast<Airplane&>(entity));
}

float GameModeCustom::respawnDelay() const
{
    return isSinglePlayer() ? kSinglePlayerRespawn : respawnDelaySetting;
}

float GameModeCustom::respawnDelayFor(const Target& entity) const
{
    const auto* unit = dynamic_cast<const GroundTarget*>(&entity);
    if (entity.isGroundTarget() && (entity.mapItem >= 0 || (unit && unit->mapObjectIndex >= 0)))
        return kMapObjectRespawn;
    return respawnDelay();
}

void GameModeCustom::onAirplaneDestroyed(Target& victim, Target* attacker, CrashCause cause)
{
    if (victim.lifeState() == LifeState::Destroyed || playStopped)
        return;
    if (victim.lifeState() == LifeState::Dying) {
        // The fall ends early (the ground, a collision): the wreck starts
        // here and the frame's clean-up brings the respawn.
        if (cause != CrashCause::KilledByDamage)
            victim.onDestroyed(cause);
        return;
    }
    Target* killer = attacker ? attacker : victim.lastAttacker;
    const bool counts = countsForScore(&victim, nullptr);
    const std::uint8_t flags = eventFlags(victim, counts, 4);
    if (!counts || cause == CrashCause::KilledByDamage)
        postEventText(EventKind::ShotDown, victim, killer);
    victim.onDestroyed(cause);
    if (cause != CrashCause::None)
        ScoreMgr::instance().onKill(&victim, scoredKiller(victim, killer), cause, !counts);
    countKillEvents(killer, victim);
    victim.lastAttacker = killer;
    // Peers hear of the death now and of its end (the respawn, or out for
    // good) once the airplane is down.
    postDestroyed(victim, killer, cause, flags, respawnDelayFor(victim));
    if (victim.lifeState() == LifeState::Dying && victim.isActive()) {
        // Shot down: it falls burning out of control until it crashes or
        // breaks up, and only then waits out its respawn.
        startFall(victim);
        if (&victim == m_playerAirplane)
            m_hooks.hudOrNone().releaseAllButtons();
        return;
    }
    finishDeath(victim, killer, cause);
}

void GameModeCustom::startFall(Target& victim)
{
    if (!isFalling(victim))
        m_falling.push_back({&victim, 0.0f});
}

bool GameModeCustom::endFall(const Target& entity)
{
    return std::erase_if(m_falling, [&](const Fall& f) { return f.entity == &entity; }) > 0;
}

void GameModeCustom::endOverdueFalls(float dt)
{
    std::vector<Target*> overdue;
    for (Fall& f : m_falling) {
        f.age += dt;
        if (f.age > kFallWait && f.entity->networkRole == NetworkRole::RemoteClient)
            overdue.push_back(f.entity);
    }
    for (Target* e : overdue) {
        (void)endFall(*e);
        if (!e->isActive() || e->isAlive())
            continue;
        logWarning("modes", "airplane %d: its owner never said its fall was over; it is ended here", e->id());
        finishDeath(*e, e->lastAttacker, e->deathCause);
    }
}

void GameModeCustom::respawnQuietly(Target& entity, float delay, const Vec3* position)
{
    (void)endFall(entity);
    GameMode::respawnQuietly(entity, delay, position);
}

Target* GameModeCustom::scoredKiller(const Target& victim, Target* killer) const
{
    // A client's own death reaches the host without a killer (the host alone
    // decides kills), so the client scores it without one too.
    if (isNetworkClient() && &victim == m_playerAirplane)
        return nullptr;
    return killer;
}

void GameModeCustom::finishDeath(Target& victim, Target* killer, CrashCause cause)
{
    if (killer && killer->isActive())
        m_hooks.cameraOrNone().onKill(victim, *killer);
    if (&victim == m_playerAirplane)
        m_hooks.hudOrNone().releaseAllButtons();
    const std::uint8_t flags = eventFlags(victim, countsForScore(&victim, nullptr), 8);
    if (staysOutWhenDown(victim)) {
        // The death's end says it stays out, or peers would wait for a
        // respawn that never comes.
        keepOut(victim);
        postDestroyed(victim, killer, cause, flags, -1.0f);
    } else {
        const float delay = respawnDelayFor(victim);
        // The score limit may have ended the match: the airplane still waits out its delay.
        respawnQuietly(victim, delay, nullptr);
        postDestroyed(victim, killer, cause, flags, delay);
    }
    deathFinished(victim);
}

void GameModeCustom::keepOut(Target& victim)
{
    (void)endFall(victim);
    Vec3 at = victim.position();
    Quat orientation;
    getSpawnPoint(victim, at, orientation);
    withdrawFromPlay(victim);
    std::erase(m_respawnQueue, &victim);
    victim.respawnTimer = -1.0f;
    m_hooks.cameraOrNone().forget(victim);
    victim.setPosition(at);
}

void GameModeCustom::deleteAirplane(Target& entity)
{
    // Only the end of a fall: an entity taken out meanwhile is removed as asked.
    const bool fallEnded = endFall(entity) && entity.isActive() && entity.lifeState() == LifeState::Destroyed;
    if (!fallEnded) {
        // Another's airplane on a joiner: its death ends on the host's word,
        // which may come after its wreck is down here. Until then it waits
        // out of play; removed, it would be gone for the rest of the match.
        if (isNetworkClient() && entity.kind() == TargetKind::Airplane && entity.networkRole != NetworkRole::Local &&
            entity.hasId()) {
            withdrawFromPlay(entity);
            return;
        }
        GameMode::deleteAirplane(entity);
        return;
    }
    // The killer is shown only while it still flies.
    Target* killer = entity.lastAttacker;
    if (killer && std::find(m_active.begin(), m_active.end(), killer) == m_active.end())
        killer = entity.lastAttacker = nullptr;
    finishDeath(entity, killer, entity.deathCause);
}

void GameModeCustom::update(float dt)
{
    if (playStopped) {
        updateAfterMatch(dt);
        return;
    }
    if (!updateNetworkMatch())
        return;
    updateTeamChangeWindow();
    if (isNetworkServer())
        endOverdueFalls(dt);
    GameMode::update(dt);
    if (!playStopped)
        ScoreMgr::instance().updateTimer(dt);
    updateMatchSky(dt);
    if (!isSinglePlayer())
        updateReadyNotice();
}

void GameModeCustom::freezeMatch()
{
    playStopped = true;
    controlsFrozen = false;
    playEndMusic();
    m_endMenuPending = true;
    if (m_playerAirplane)
        m_hooks.cameraOrNone().orbit(*m_playerAirplane, 100.0f, 0.5235988f);
}

void GameModeCustom::finishMatch()
{
    ScoreMgr& sm = ScoreMgr::instance();
    sm.decideWinner();
    const bool won = m_playerAirplane && sm.isWinner(*m_playerAirplane);
    IModeProgress& progress = m_hooks.progressOrNone();
    switch (m_type) {
    case GameType::FreeForAll:
        progress.countEvent(28);
        if (won) {
            const auto& players = sm.group(0).players;
            const bool rout = players.size() > 1 &&
                              players[0]->scores[Airplane::kScorePoints] - players[1]->scores[Airplane::kScorePoints] >= 10;
            if (settings().skirmishFloat(Settings::kEntryFFA, 4) > 0.5f &&
                m_playerAirplane->scores[Airplane::kScoreDeaths] == 0 && rout)
                progress.countEvent(68);
            progress.countEvent(33);
        }
        break;
    case GameType::TeamDeathmatch:
        progress.countEvent(29);
        if (won)
            progress.countEvent(34);
        break;
    case GameType::CaptureTheFlag:
        progress.countEvent(modeevent::kCtfPlayed);
        if (won) {
            const int own = m_playerAirplane->team() & 1;
            // Won without the other side scoring once.
            if (sm.group(own ^ 1).score == 0 && sm.group(own).score > 5)
                progress.countEvent(modeevent::kCtfFlawless);
            progress.countEvent(modeevent::kCtfWon);
        }
        break;
    case GameType::DestroyTheBase:
        progress.countEvent(modeevent::kDtbPlayed);
        if (won)
            progress.countEvent(modeevent::kDtbWon);
        break;
    case GameType::LastManStanding:
        progress.countEvent(modeevent::kLmsPlayed);
        if (won)
            progress.countEvent(modeevent::kLmsWon);
        break;
    default: break;
    }
    matchOutcome() = won ? MatchOutcome::Won : MatchOutcome::Lost;
    if (!isSinglePlayer() && m_playerAirplane && m_playerAirplane->scores[Airplane::kScoreDeaths] == 0)
        progress.countEvent(72);
    const MissionStats& stats = missionStats();
    sm.finishMatchPoints(stats.shotsFired, stats.shotsHit, stats.missilesFired, stats.missilesHit);
    m_matchFinished = true;
    if (posting()) {
        // Every joiner ends on the host's table, whatever deaths crossed on the way.
        if (isNetworkServer())
            for (const auto& e : m_entities)
                if (e->kind() == TargetKind::Airplane && sm.groupOf(*e))
                    postScoreEvent(*e, 0, 0);
        matchevent::MatchEnded ended;
        ended.countdown = m_restartCountdown;
        fillServerData(ended.serverData);
        post(std::move(ended));
    }
}

void GameModeCustom::openEndMenu()
{
    ++m_endMenusOpened;
    IModeOverlays& overlays = m_services.overlaysOrNone();
    // Capture the flag lets an open page go without its leave; the others
    // close it first. Either way the pause screen drops what waits in the
    // queue and opens with the table.
    if (m_type != GameType::CaptureTheFlag)
        overlays.closeOverlay();
    overlays.openPauseScreen(getPauseMenu());
}

void GameModeCustom::onMatchEnded(float countdown)
{
    ScoreMgr& sm = ScoreMgr::instance();
    if (sm.active())
        sm.endMatch();
    else if (!playStopped)
        freezeMatch();
    m_restartCountdown = countdown;
}

void GameModeCustom::startNextMatch()
{
    startNextMatchWith(true, true);
}

void GameModeCustom::startNextMatchWith(bool respawn, bool scoring)
{
    resetMatch(respawn, respawn, {}, scoring);
    m_services.overlaysOrNone().setPaused(false);
    m_services.overlaysOrNone().closeOverlay();
    post(matchevent::Restarted{});
    if (m_listener && isNetworkServer())
        m_listener->setAcceptingJoins(true);
}

int GameModeCustom::matchBonusPercent() const
{
    if (matchOutcome() == MatchOutcome::NoResult)
        return 0;
    ScoreMgr& sm = ScoreMgr::instance();
    if (m_type == GameType::FreeForAll && m_playerAirplane) {
        static constexpr int kByPlace[3] = {100, 50, 30};
        const int place = sm.placeOf(*m_playerAirplane);
        if (place >= 0 && place < 3)
            return kByPlace[place];
    }
    if (m_type == GameType::FreeForAll || m_type == GameType::TeamDeathmatch ||
        m_type == GameType::CaptureTheFlag || m_type == GameType::DestroyTheBase) {
        if (m_playerAirplane && sm.isWinner(*m_playerAirplane))
            return 100;
        return sm.isDraw() ? 50 : 0;
    }
    return 0;
}

void GameModeCustom::updateSpectatorCamera()
{
    IModeCamera& camera = m_hooks.cameraOrNone();
    if (camera.watchingOther())
        return;
    // Outside the kill cam the followed airplane is the player's own.
    Target* followed = m_playerAirplane;
    if (!followed || matchrules::inPlay(*this, *followed))
        return;
    Target* const exclude[] = {followed};
    if (Target* next = findNextTarget(followed, exclude, static_cast<int>(TargetKind::Airplane), TeamRule::Any, 0.0f))
        camera.startKillCam(*next);
}

void GameModeCustom::updateTeamChangeWindow()
{
    const ScoreMgr& sm = ScoreMgr::instance();
    if (!isNetworkServer() || sm.timeLimit <= 0.0f)
        return;
    if (sm.timeLimit - sm.elapsed() >= sm.timeLimit * 0.5f)
        return;
    const bool was = teamChangeAllowed;
    teamChangeAllowed = false;
    if (was)
        post(matchevent::TeamFlag{false});
}

Airplane* GameModeCustom::firstHumanAirplane() const
{
    for (const auto& e : m_entities)
        if (e->kind() == TargetKind::Airplane && !static_cast<Airplane&>(*e).aiPilot)
            return static_cast<Airplane*>(e.get());
    return nullptr;
}

void GameModeCustom::resetMatch(bool respawnPlayers, bool respawnBots, std::span<const TargetKind> skipKinds,
                                bool scoring)
{
    m_services.messagesOrNone().clearNotices();
    setGameClock(0.0f);
    // A match's accuracy bonus counts this match's missiles only, not those of earlier ones.
    MissionStats& stats = missionStats();
    stats.resetRound();
    stats.missilesFired = stats.missilesHit = 0;
    ScoreMgr::instance().startMatch(scoring);
    playStopped = false;
    m_matchFinished = false;
    // The end tune and the freeze's orbit belong to the match that ended.
    const SoundSourceStreamed* music = globalSources().music;
    const bool musicBefore = music && music->isPlaying();
    Sound::stopAll();
    // The map starts its music and sounds again for the new match.
    if (m_world)
        m_world->rearmTriggers();
    initMatchLimits();
    m_restartCountdown = -1.0f;
    m_readyShown = ScoreMgr::instance().ready();
    IModeCamera& camera = m_hooks.cameraOrNone();
    const int viewBefore = camera.mode();
    camera.setChosenView();
    // While the autopilot flies the player's airplane its own view stays.
    if (autopilot && m_playerAirplane)
        camera.setMode(IModeCamera::kAutopilotView);
    logInfo("modes", "match reset: view mode %d to %d, music %s to %s", viewBefore, camera.mode(),
            musicBefore ? "playing" : "silent", music && music->isPlaying() ? "playing" : "silent");
    clearMatchObjects();
    if (!isNetworkClient() && (respawnPlayers || respawnBots))
        respawnAll(respawnPlayers, respawnBots, skipKinds);
    if (isNetworkServer()) {
        const bool allowed = (settings().skirmishWord(Settings::kEntryHost, kTeamChangeWord) & 0xFF) != 0;
        const bool changed = allowed != teamChangeAllowed;
        teamChangeAllowed = allowed;
        if (changed)
            post(matchevent::TeamFlag{allowed});
    }
}

void GameModeCustom::clearMatchObjects()
{
    removeAllMissiles();
    for (Weapon* w : m_weapons)
        w->reset();
}

void GameModeCustom::respawnAll(bool players, bool bots, std::span<const TargetKind> skipKinds)
{
    std::vector<Target*> chosen;
    for (const auto& e : m_entities) {
        if (std::find(skipKinds.begin(), skipKinds.end(), e->kind()) != skipKinds.end())
            continue;
        const bool bot = e->kind() == TargetKind::Airplane && static_cast<Airplane&>(*e).aiPilot;
        const bool player = e->kind() == TargetKind::Airplane && !bot;
        if ((bot && bots) || (player && players))
            chosen.push_back(e.get());
    }
    // Respawning may move entities in the list: the choice is made first.
    for (Target* a : chosen)
        respawnAirplane(*a, 0.0f, nullptr);
}

float GameModeCustom::matchLength() const
{
    if (m_type == GameType::Survival || m_type == GameType::Dogfight)
        return 1800.0f;
    const float limit = std::floor(ScoreMgr::instance().timeLimit);
    return limit > 0.0f ? limit : 3600.0f;
}

float GameModeCustom::sunAt(float elapsed) const
{
    const bool dim = m_type == GameType::Survival || m_type == GameType::Dogfight;
    const float lo = dim ? 0.3f : 0.1f, hi = dim ? 0.7f : 0.9f;
    return std::clamp(lo + (hi - lo) * elapsed / matchLength(), lo, hi);
}

void GameModeCustom::initMatchLimits()
{
    const float length = matchLength();
    float p = 0.0f;
    // The map's chance of rain, else of snow; the change brings that weather.
    m_weatherKind = kWeatherRain;
    if (const MapInfoCfg* map = m_mapRecord) {
        p = map->rainProb >= 1.0f ? map->rainProb : map->snowProb;
        if (map->rainProb < 1.0f)
            m_weatherKind = kWeatherSnow;
    }
    m_weatherTimer = -1.0f;
    if (p > 0.0f && static_cast<float>(randModulo(10000)) < 100.0f * p)
        m_weatherTimer = length / 3.0f + 5.0f - static_cast<float>(randModulo(10));
}

void GameModeCustom::updateMatchSky(float dt)
{
    if (!isNetworkClient() && m_weatherTimer > 0.0f) {
        m_weatherTimer -= dt;
        if (m_weatherTimer <= 0.0f) {
            // Each change turns the map's weather on, the next one off again.
            const bool showing = m_services.sceneOrNone().weatherMode() == m_weatherKind;
            startWeather(showing ? 0 : m_weatherKind, 20.0f);
            m_weatherTimer = matchLength() / 3.0f + 20.0f + 5.0f - static_cast<float>(randModulo(10));
        }
    }
    if (m_type == GameType::FreeFlight)
        return;
    const float sun = sunAt(ScoreMgr::instance().elapsed());
    setSunValue(sun);
}

void GameModeCustom::fillServerData(ServerData& out) const
{
    out.layout = ServerData::Layout::Time;
    out.elapsed = ScoreMgr::instance().elapsed();
}

void GameModeCustom::applyServerData(const ServerData& data)
{
    if (std::isfinite(data.elapsed) && data.elapsed >= 0.0f)
        ScoreMgr::instance().setElapsed(data.elapsed);
}
