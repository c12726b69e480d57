// The network side of a skirmish: the host's and the client's checks each
// frame, the airplane events both sides exchange, and the ends of a network
// match (the host lost, the match over for good).
#include "entities/aircraft/Airplane.h"
#include "modes/IGameListener.h"
#include "modes/kinds/GameModeCustom.h"
#include "modes/progress/MissionStats.h"
#include "modes/progress/ScoreMgr.h"
#include "platform/Language.h"
#include "platform/Log.h"
#include "platform/Text.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

constexpr std::uint8_t kCountsBit = 1, kHostOwnedBit = 2, kDestroyedBit = 4, kCameraBit = 8;


}  // namespace

bool GameModeCustom::updateNetworkMatch()
{
    if (isSinglePlayer())
        return true;
    if (isNetworkClient() && (!m_listener || !m_listener->matchActive() || respawnStalled)) {
        logWarning("modes", "the host is taken as lost: %s",
                   respawnStalled ? "no respawn came for an airplane whose wait had ended" : "the match is not active");
        endMatch();
        onServerLost();
        return false;
    }
    const ScoreMgr& sm = ScoreMgr::instance();
    // Nobody may join for the last minute only.
    if (isNetworkServer() && closeJoinsNearEnd && sm.timeLimit > 0.0f && m_listener &&
        (sm.timeLimit - sm.elapsed()) / 60.0f < 1.0f)
        m_listener->setAcceptingJoins(false);
    return true;
}

void GameModeCustom::updateReadyNotice()
{
    IModeMessages& messages = m_services.messagesOrNone();
    const bool ready = ScoreMgr::instance().ready();
    if (!ready) {
        if (!messages.hasNotice()) {
            messages.clearNotices();
            messages.pushNotice(getStringByIndex(kNotReadyText), 0.0f, 1, 0);
        }
    } else if (ready != m_readyShown) {
        messages.clearNotices();
    }
    m_readyShown = ready;
}

void GameModeCustom::updateAfterMatch(float dt)
{
    if (m_endMenuPending) {
        // The end menu opens one frame after the freeze, so the frame that ended the match finishes first.
        m_hooks.hudOrNone().releaseAllButtons();
        if (isNetworkServer() && closeJoinsAfterMatch && m_listener)
            m_listener->setAcceptingJoins(false);
        finishMatch();
        // Without a restart the network match is over for everybody.
        if (m_restartCountdown < 0.0f && m_listener) {
            if (isNetworkClient())
                m_listener->disconnect();
            else
                m_listener->sendEvents();  // the match's end goes out before the mode lets go
            m_listener = nullptr;
        }
        openEndMenu();
        m_endMenuPending = false;
        return;
    }
    if (m_listener) {
        m_listener->update(IGameListener::Phase::Receive);
        if (m_restartCountdown >= 0.0f && isNetworkClient() && !m_listener->peerConnected()) {
            m_listener->disconnect();
            m_listener = nullptr;
            onServerLost();
            return;
        }
    }
    if (m_restartCountdown > 0.0f) {
        m_restartCountdown -= dt;
        if (m_restartCountdown <= 0.0f) {
            m_restartCountdown = 0.0f;
            if (!isNetworkClient())
                startNextMatch();
        }
    }
}

void GameModeCustom::endMatch()
{
    IModeProgress& progress = m_hooks.progressOrNone();
    const bool counted = m_type == GameType::FreeForAll || m_type == GameType::TeamDeathmatch ||
                         m_type == GameType::CaptureTheFlag || m_type == GameType::DestroyTheBase ||
                         m_type == GameType::LastManStanding;
    if (!isSinglePlayer() && counted)
        progress.countEvent(71);
    playStopped = true;
    controlsFrozen = false;
    playEndMusic();
    if (m_listener) {
        m_listener->stopNetworkGame();
        m_listener = nullptr;
    }
    matchOutcome() = MatchOutcome::NoResult;
    ScoreMgr& sm = ScoreMgr::instance();
    // A match already scored at its end (left from its end table) is not
    // scored again. Survival cut short records the waves it reached; without
    // a time limit all of its time is still left.
    const bool timeLeft = sm.timeLimit <= 0.0f || sm.timeLimit - sm.elapsed() > 30.0f;
    if (!m_matchFinished && m_type == GameType::Survival && timeLeft) {
        finishMatch();
    } else if (!m_matchFinished) {
        const MissionStats& stats = missionStats();
        sm.finishMatchPoints(stats.shotsFired, stats.shotsHit, stats.missilesFired, stats.missilesHit);
    }
    sm.stopScoring();
    // A match ended this way has no end table: nothing may open it a frame later.
    m_endMenuPending = false;
}

void GameModeCustom::onServerLost()
{
    ++m_serverLost;
    IModeOverlays& overlays = m_services.overlaysOrNone();
    overlays.closeOverlay();
    overlays.openPauseScreen(PauseMenu::ServerLost);
}

void GameModeCustom::restartMatch()
{
    resetMatch(false, false);
    m_services.overlaysOrNone().setPaused(false);
    m_services.overlaysOrNone().closeOverlay();
}

std::uint8_t GameModeCustom::eventFlags(const Target& victim, bool counts, int kind) const
{
    std::uint8_t flags = 0;
    if (isNetworkServer()) {
        if (counts)
            flags |= kCountsBit;
        if (isOnline() && victim.networkRole == NetworkRole::Local)
            flags |= kHostOwnedBit;
    }
    if (kind == 4)
        flags |= kDestroyedBit;
    else if (kind == 8)
        flags |= kCameraBit;
    return flags;
}

bool GameModeCustom::countsForScore(const Target* victim, const std::uint8_t* hostFlags) const
{
    if (!victim || victim->kind() != TargetKind::Airplane)
        return false;
    if (isNetworkClient() && hostFlags)
        return (*hostFlags & kCountsBit) != 0;
    return true;
}

void GameModeCustom::onAirplaneEvent(Target& victim, Target* killer, CrashCause cause, std::uint8_t flags,
                                     float respawnTime, const Vec3& position, const Quat& orientation)
{
    if (playStopped)
        return;
    if ((flags & kDestroyedBit) == 0) {
        if (isNetworkServer()) {
            // A joiner says its own airplane is down: what follows is the
            // host's to decide, and the others hear it from here. Only a fall
            // the host waits for ends so; a late or repeated word does nothing.
            if (endFall(victim) && victim.isActive() && !victim.isAlive())
                finishDeath(victim, victim.lastAttacker, victim.deathCause);
            return;
        }
        // The host's word that the death is over: the peer that reported it
        // tells the others itself, so nothing here is posted.
        (void)endFall(victim);
        if ((flags & kCameraBit) != 0 && killer)
            m_hooks.cameraOrNone().onKill(victim, *killer);
        Airplane* airplane = victim.kind() == TargetKind::Airplane ? static_cast<Airplane*>(&victim) : nullptr;
        if (respawnTime == -1.0f) {
            withdrawFromPlay(victim);
            // An airplane keeps its place in its flight body.
            if (airplane)
                airplane->setPositionAndStop(position);
            else
                victim.setPosition(position);
        } else {
            respawnQuietly(victim, respawnTime, &position);
        }
        if (airplane)
            airplane->setOrientation(orientation);
        // An airplane that went out with an event shows its death; one back at once does not.
        if (flags != 0 && !victim.isGroundTarget() && !victim.isActive() && victim.isAlive())
            victim.onDestroyed(cause);
        return;
    }
    if (victim.lifeState() == LifeState::Destroyed)
        return;
    if (victim.lifeState() == LifeState::Dying) {
        // Already falling: a crash reported now only ends the fall early.
        if (cause != CrashCause::KilledByDamage)
            victim.onDestroyed(cause);
        return;
    }
    bool counts = true;
    std::uint8_t sent = flags;
    if (isNetworkServer()) {
        counts = countsForScore(&victim, nullptr);
        sent = eventFlags(victim, counts, 4);
    } else {
        counts = countsForScore(&victim, &flags);
    }
    if (isNetworkClient())
        countOnlineKill(killer);
    countKillEvents(killer, victim);
    if (!counts || cause == CrashCause::KilledByDamage)
        postEventText(EventKind::ShotDown, victim, killer);
    if (killer)
        victim.lastAttacker = killer;
    if (victim.isAlive())
        victim.onDestroyed(cause);
    if (cause != CrashCause::None)
        ScoreMgr::instance().onKill(&victim, killer, cause, !counts);
    // This machine's own airplane falls here and its end is told to the
    // host; the host waits for a joiner's word on its airplane. Anybody
    // else's end comes from the host.
    const bool endsHere = victim.networkRole == NetworkRole::Local || isNetworkServer();
    if (endsHere && victim.isActive() && !victim.isAlive()) {
        startFall(victim);
        if (&victim == m_playerAirplane)
            m_hooks.hudOrNone().releaseAllButtons();
    }
    if (!isNetworkServer())
        return;
    postDestroyed(victim, killer, cause, sent, respawnDelayFor(victim));
    // The others learn its state even where the death itself is not relayed
    // (its own crash, which they see from its flight).
    onAirplaneStateChanged(victim, static_cast<int>(victim.lifeState()), killer, 0, 0);
}

void GameModeCustom::onAirplaneStateChanged(Target& airplane, int state, Target* other, int a, int b)
{
    if (playStopped)
        return;
    airplane.setLifeState(static_cast<LifeState>(state));
    if (isNetworkServer())
        post(matchevent::StateChanged{EntityHandle(&airplane), state, EntityHandle(other), a, b, false});
}

void GameModeCustom::removeAirplaneForGood(Target& entity, int team)
{
    GameMode::removeAirplaneForGood(entity, team);
    if (!isNetworkClient() && entity.kind() == TargetKind::Airplane)
        ScoreMgr::instance().refilePlayer(static_cast<Airplane&>(entity));
}

Target* GameModeCustom::applyPeerModeValue(const peerevent::ModeValue& event)
{
    // Only the host counts rounds and waves.
    if (isNetworkClient())
        setModeValue(event.value, event.index);
    return nullptr;
}

Target* GameModeCustom::applyPeerTeamFlag(const peerevent::TeamFlag& event)
{
    // The host's word: its switch-team button shows or hides with it.
    if (isNetworkClient() && teamChangeAllowed != event.teamChange) {
        teamChangeAllowed = event.teamChange;
        logInfo("modes", "the host %s team changes", teamChangeAllowed ? "opened" : "closed");
    }
    return nullptr;
}

bool GameModeCustom::respawnText(std::u16string& out) const
{
    const Airplane* a = m_playerAirplane;
    if (!a || a->isActive())
        return false;
    constexpr std::size_t kUnits = 128;
    char16_t buf[kUnits];
    if (a->respawnTimer > 0.0f) {
        wideFormatW(buf, kUnits, getStringByIndex(kRespawnCountdownText).c_str(),
                    static_cast<int>(a->respawnTimer + 1.0f));
        out = buf;
        return true;
    }
    if (!isNetworkClient())
        return false;
    const bool queued = std::find(m_respawnQueue.begin(), m_respawnQueue.end(), a) != m_respawnQueue.end();
    const bool outForRound = m_type == GameType::LastManStanding || (!queued && a->respawnTimer != -1.0f);
    out = getStringByIndex(outForRound ? kOutText : kWaitingText);
    return true;
}

Target* GameModeCustom::applyPeerDestroyed(const peerevent::Destroyed& event)
{
    Target* victim = event.victimId >= 0 ? findPlayerAirplane(event.victimId) : nullptr;
    if (!victim)
        return nullptr;
    Target* killer = event.killerId >= 0 ? findPlayerAirplane(event.killerId) : nullptr;
    onAirplaneEvent(*victim, killer, static_cast<CrashCause>(event.cause), event.flags, event.respawnTime,
                    event.position, event.orientation);
    // A death of an airplane already out of play waits for the host's
    // respawn like the host's own copy does; without a place in the queue
    // it would be gone for good. One still in play waits for its fall's end.
    if ((event.flags & kDestroyedBit) != 0 && !victim->isActive() && !isWaitingOrOut(*victim)) {
        if (event.respawnTime >= 0.0f)
            respawnAirplane(*victim, std::max(event.respawnTime, 0.01f), nullptr);
        else
            eliminateAirplane(*victim);
    }
    return victim;
}

Target* GameModeCustom::applyPeerMatchEnd(const peerevent::MatchEnd& event)
{
    if (event.hasData)
        applyServerData(event.data);
    if (event.hasCountdown && std::isfinite(event.countdown))
        onMatchEnded(event.countdown);
    return nullptr;
}

Target* GameModeCustom::applyPeerRestart()
{
    restartMatch();
    return nullptr;
}
