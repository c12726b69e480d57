#include "modes/tutorials/TutorialGameMode.h"

#include "entities/ai/AirplaneAI.h"
#include "entities/aircraft/Airplane.h"
#include "gamedata/records/PlaneList.h"
#include "modes/ITutorialHud.h"
#include "modes/progress/Achievements.h"
#include "modes/tutorials/BindingHint.h"
#include "modes/tutorials/DummyWP.h"
#include "platform/Log.h"
#include "platform/Settings.h"

TutorialGameMode::TutorialGameMode(int index, int forcedControlType)
    : GameModeCustom(GameType::Tutorial, false), m_index(index), m_forcedControlType(forcedControlType)
{
    respawnDelaySetting = kSinglePlayerRespawn;
}

TutorialGameMode::~TutorialGameMode()
{
    // A mode dropped without its level cleared still gives the player's values back.
    settings().endForcedValues();
    enableAllActions();
}

bool TutorialGameMode::startLevel()
{
    if (!GameModeCustom::startLevel())
        return false;
    step = 0;
    reminderTimer = -1.0f;
    reminderTextId = 0;
    startMatch();
    setUpHud();
    return true;
}

void TutorialGameMode::onHudBuilt()
{
    setUpHud();
    if (autopilot)
        hud().setCameraMode(kAutopilotCamera);
}

void TutorialGameMode::resetRound()
{
    savedControlType = settings().playerControlType();
    settings().forceControlType(m_forcedControlType);
    GameModeCustom::resetRound();
}

void TutorialGameMode::clearLevel()
{
    hideWaypointMarkers();
    settings().endForcedValues();
    settings().controlType = savedControlType;
    settings().save();
    ScoreMgr::instance().setListener(nullptr);
    m_listener = nullptr;
    GameModeCustom::clearLevel();
}

void TutorialGameMode::update(float dt)
{
    if (playStopped)
        return;
    stepFrame(dt);
    if (!playStopped)
        GameMode::update(dt);
}

void TutorialGameMode::stepFrame(float dt)
{
    m_frameDt = dt;
    settings().forceControlType(m_forcedControlType);
    if (reminderTextId != 0 && reminderTimer > 0.0f) {
        reminderTimer -= dt;
        if (reminderTimer < 0.0f) {
            showReminder(reminderTextId);
            reminderTimer = reminderRepeat();
        }
    }
    giveStickBack(dt);
    if (writesMask())
        setEnabledActions(stepMask());
    const int before = step;
    runStep(dt);
    if (step != before)
        logInfo("tutorial", "tutorial %d: step %d", m_index, step);
}

void TutorialGameMode::showReminder(int textId)
{
    const int action = reminderAction(textId);
    if (action >= 0)
        pushBindingHint(hud(), textId, action, kReminderRepeat);
    else
        hud().pushTutorialLine(textId, kReminderRepeat);
}

void TutorialGameMode::tutorialHudHook() { hud().popOldestNotice(); }

bool TutorialGameMode::autopilotManoeuvring(const Airplane& airplane) const
{
    const auto* ai = dynamic_cast<const AirplaneAI*>(airplane.aiController());
    return ai && ai->state() != Manoeuvre::Navigate;
}

void TutorialGameMode::setAirplaneVector(Airplane& airplane, const Vec3& stick)
{
    if (usesInputLock() && &airplane == m_playerAirplane) {
        const auto* ai = dynamic_cast<const AirplaneAI*>(airplane.aiController());
        if (ai && ai->state() == Manoeuvre::Navigate)
            inputGrace = kInputGrace;
        if (inputGrace > 0.0f) {
            inputGrace -= m_frameDt;
        } else if (inputLock && autopilotManoeuvring(airplane)) {
            return;
        }
    }
    GameMode::setAirplaneVector(airplane, stick);
}

void TutorialGameMode::setAirplaneVectorXYZ(Airplane& airplane, float noseUp, float turn, float roll)
{
    if (usesInputLock() && &airplane == m_playerAirplane && inputLock && autopilotManoeuvring(airplane))
        return;
    GameMode::setAirplaneVectorXYZ(airplane, noseUp, turn, roll);
}

bool TutorialGameMode::playerStickFlies(Airplane& airplane, bool moved)
{
    auto* ai = dynamic_cast<AirplaneAI*>(airplane.aiController());
    if (!ai) {
        m_stickTaken = nullptr;
        return true;
    }
    if (!moved)
        return m_stickTaken == ai;  // a centred stick still levels what it flies
    if (m_stickTaken != ai)
        logInfo("tutorial", "tutorial %d: the player's keys take the airplane from the autopilot", m_index);
    // The player's autopilot navigating without a goal only watches.
    ai->setState(Manoeuvre::Navigate);
    m_stickTaken = ai;
    m_stickRest = 0.0f;
    return true;
}

void TutorialGameMode::giveStickBack(float dt)
{
    if (!m_stickTaken)
        return;
    auto* ai = m_playerAirplane ? dynamic_cast<AirplaneAI*>(m_playerAirplane->aiController()) : nullptr;
    if (ai != m_stickTaken) {
        m_stickTaken = nullptr;  // switched off or made anew meanwhile
        return;
    }
    m_stickRest += dt;
    if (m_stickRest < kStickRest)
        return;
    m_stickTaken = nullptr;
    ai->setState(Manoeuvre::Patrol);
    logInfo("tutorial", "tutorial %d: the autopilot flies again", m_index);
}

void TutorialGameMode::onAirplaneDestroyed(Target& victim, Target* attacker, CrashCause cause)
{
    if (&victim != m_playerAirplane) {
        GameModeCustom::onAirplaneDestroyed(victim, attacker, cause);
        return;
    }
    // The player never dies in a tutorial.
    putBackPlayer(*m_playerAirplane, cause);
}

ITutorialHud& TutorialGameMode::hud() const { return m_hooks.tutorialOrNone(); }

void TutorialGameMode::line(int textId, float seconds)
{
    logInfo("tutorial", "tutorial %d: line %d", m_index, textId);
    hud().pushTutorialLine(textId, seconds);
}

void TutorialGameMode::hint(int textId, ControlAction action, float seconds)
{
    pushBindingHint(hud(), textId, static_cast<int>(action), seconds);
}

void TutorialGameMode::notice(int textId, float seconds, ControlAction a, ControlAction b, int c)
{
    hud().pushNotice(formatBindingText(textId, static_cast<int>(a), static_cast<int>(b), c), seconds);
}

void TutorialGameMode::clearNotices() { hud().clearNotices(); }

bool TutorialGameMode::hintsDone(float dt)
{
    stepTimer -= dt;
    return stepTimer < 0.0f || hud().noticeCount() == 0;
}

void TutorialGameMode::setReminder(int textId, float delay)
{
    reminderTextId = textId;
    reminderTimer = delay;
}

void TutorialGameMode::reminderOff()
{
    reminderTextId = 0;
    reminderTimer = -1.0f;
}

int TutorialGameMode::pitchAction(bool up) const
{
    // With inverted pitch the other key raises the nose.
    const bool inverted = settings().invertPitch != 0;
    return static_cast<int>(up != inverted ? ControlAction::Pitch_Up : ControlAction::Pitch_Down);
}

float TutorialGameMode::groundAt(float x, float z) const { return groundHeightAt(x, z); }

Airplane* TutorialGameMode::addPlayerInSquadron()
{
    if (squadronA)
        removeSquadron(*squadronA);
    squadronA = addSquadron(std::make_unique<Squadron>());
    const PlaneList& planes = PlaneList::instance();
    const PlaneCfg* cfg = planes.findById(settings().localPlaneId);
    if (!cfg && planes.count() > 0)
        cfg = planes.at(0);
    if (!cfg)
        return nullptr;
    const PlanePaint paint = settings().paintAt(cfg->plane_id);
    Airplane* a = createAirplane(&paint, cfg->plane_id, 0, 0.0f, squadronA, true);
    if (!a)
        return nullptr;
    a->pilotName = localPilotName();
    setSquadronLeader(a, squadronA);
    return a;
}

void TutorialGameMode::startInAir()
{
    Airplane* a = addPlayerInSquadron();
    if (!a)
        return;
    squadronA->spare = 0;
    squadronA->playerSquadron = true;
    // The player's already, so its squadron stays led through the respawn.
    setPlayerAirplane(a);
    const Vec3 at{kStartX, groundAt(kStartX, kStartZ) + kStartHeight, kStartZ};
    respawnAirplane(*a, 0.0f, &at);
    setPlayerAirplane(a);
    autopilot = true;
    reapplyPlayerAutopilot();
    hud().setCameraMode(kAutopilotCamera);
}

Airplane* TutorialGameMode::makeWingman(float x, float z)
{
    if (!m_playerAirplane)
        return nullptr;
    const Airplane& player = *m_playerAirplane;
    const PlanePaint paint = paintOf(player);
    Airplane* w = createAirplane(&paint, player.record().plane_id, player.team(), 1.0f, player.squadron, true);
    if (!w)
        return nullptr;
    if (auto* ai = dynamic_cast<AirplaneAI*>(w->aiController())) {
        ai->setState(Manoeuvre::Formation);
        ai->runManoeuvre();
    }
    const Vec3 at{x, groundAt(x, z) + 4000.0f, z};
    respawnAirplane(*w, 0.0f, &at);
    return w;
}

void TutorialGameMode::runLastStep(float dt, float& endCount, float distance, bool timerOnly)
{
    settings().setTutorialDone(m_index, 1);
    stepTimer -= dt;
    if (stepTimer < 0.0f || (!timerOnly && hud().noticeCount() == 0))
        endCount += dt;
    if (endCount >= kEndWait)
        finishTutorial(distance);
}

void TutorialGameMode::finishTutorial(float distance)
{
    ITutorialHud& h = hud();
    if (m_playerAirplane)
        h.lookAtPoint(m_playerAirplane->position(), distance);
    h.clearNotices();
    h.stopMusicStream();
    h.setHudActive(false);
    playStopped = true;
    controlsFrozen = false;
    playEndMusic();
    IModeOverlays& overlays = m_services.overlaysOrNone();
    overlays.closeOverlay();
    overlays.openPauseScreen(PauseMenu::TutorialWin);
    ++m_winMenus;
}

void TutorialGameMode::notifyCompletion()
{
    if (m_notified)
        return;
    m_notified = true;
    // The game's achievements unless the mode was given a progress hook.
    if (m_hooks.progress)
        m_hooks.progress->countEvent(kCompletionEvent + m_index);
    else
        achievements().notifyEvent(kCompletionEvent + m_index);
}

void TutorialGameMode::showWaypoint(DummyWP& waypoint, const Vec3& at)
{
    waypoint.setPosition(at);
    if (!m_markerShown)
        showWaypointMarker(waypoint);
    m_markerShown = true;
    m_shownWaypoint = &waypoint;
}

void TutorialGameMode::hideWaypoint(DummyWP& waypoint)
{
    if (m_markerShown)
        hideWaypointMarker(waypoint);
    m_markerShown = false;
    m_shownWaypoint = nullptr;
}

void TutorialGameMode::hideWaypointMarkers()
{
    if (m_shownWaypoint)
        hideWaypoint(*m_shownWaypoint);
}

bool TutorialGameMode::reached(const DummyWP& waypoint) const
{
    if (!m_playerAirplane)
        return false;
    const Vec3 d = m_playerAirplane->position() - waypoint.position();
    return d.x * d.x + d.y * d.y + d.z * d.z < kWaypointReachSq;
}

void TutorialGameMode::resetPlayerControls() { ::resetPlayerControls(); }
