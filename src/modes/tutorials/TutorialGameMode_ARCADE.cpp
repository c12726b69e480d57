#include "modes/tutorials/TutorialGameMode_ARCADE.h"

#include "entities/aircraft/Airplane.h"
#include "modes/ITutorialHud.h"
#include "modes/tutorials/TutorialOverlay.h"
#include "platform/Clock.h"
#include "platform/ScreenMetrics.h"
#include "platform/Settings.h"

namespace {
bool metric() { return settings().metricUnits != 0; }
}  // namespace

TutorialGameMode_ARCADE::TutorialGameMode_ARCADE() : TutorialGameMode(kIndex, 1) {}

TutorialGameMode_ARCADE::~TutorialGameMode_ARCADE() { hideWaypointMarkers(); }

void TutorialGameMode_ARCADE::buildPlayers()
{
    startInAir();
    inputLock = false;
}

void TutorialGameMode_ARCADE::setUpHud() { hud().hideAllButtons(); }

void TutorialGameMode_ARCADE::startMatch()
{
    step = 0;
    stepTimer = 20.0f;
    phase = counter = inputGrace = 0.0f;
    savedFlightHint = settings().playerFlightHint();
}

std::uint64_t TutorialGameMode_ARCADE::extraMask() const
{
    using A = ControlAction;
    const std::uint64_t steer = bitOf(A::Pitch_Up) | bitOf(A::Pitch_Down) | bitOf(A::Yaw_Left) | bitOf(A::Yaw_Right) |
                                bitOf(A::Accelerate) | bitOf(A::Brake);
    switch (step) {
    case 2: return bitOf(A::Accelerate);
    case 3: return bitOf(A::Brake);
    case 4: return bitOf(A::Yaw_Left);
    case 5: return bitOf(A::Yaw_Right);
    case 7: return std::uint64_t{1} << pitchAction(true);
    case 8: return std::uint64_t{1} << pitchAction(false);
    case 10: return bitOf(A::Boost);
    case 12: return bitOf(A::Autopilot);
    case 13: return steer | bitOf(A::Autopilot);
    case 14: return steer;
    default: return 0;
    }
}

int TutorialGameMode_ARCADE::reminderAction(int textId) const
{
    using A = ControlAction;
    switch (textId) {
    case 547:
    case 549: return static_cast<int>(A::Accelerate);
    case 557:
    case 559: return static_cast<int>(A::Brake);
    case 563: return static_cast<int>(A::Yaw_Left);
    case 567: return static_cast<int>(A::Yaw_Right);
    case 576: return pitchAction(true);
    case 597: return pitchAction(false);
    case 617: return static_cast<int>(A::Autopilot);
    case 624: return static_cast<int>(A::Boost);
    default: return -1;
    }
}

bool TutorialGameMode_ARCADE::holdInput(int component, float sign)
{
    Airplane* a = m_playerAirplane;
    if (!a)
        return false;
    Vec3 v = a->controlVector();
    float& value = component == 0 ? v.x : v.y;
    if (value * sign <= 0.0f)
        return false;
    value = sign;
    a->setControlVector(v);
    return true;
}

void TutorialGameMode_ARCADE::runStep(float dt)
{
    ITutorialHud& h = hud();
    Airplane* a = m_playerAirplane;
    using A = ControlAction;
    switch (step) {
    case 0:
        step = 1;
        stepTimer = 13.0f;
        line(541, 6.0f);
        line(542, 7.0f);
        if (a)
            a->setThrottleForSpeed(100.0f);
        break;
    case 1: {
        if (a)
            a->setThrottleForSpeed(100.0f);
        if (!hintsDone(dt))
            break;
        step = 2;
        phase = 0.0f;
        line(543, 7.0f);
        notice(546, 6.0f, A::Accelerate, A::Brake);
        const int fast = metric() ? 549 : 547;
        hint(fast, A::Accelerate, 6.0f);
        setReminder(fast, 8.0f);
        if (a)
            detachAI(*a);
        break;
    }
    case 2:
        if (!a || a->speed() <= kFastSpeed)
            break;
        clearNotices();
        step = 3;
        reminderOff();
        line(553, 8.0f);
        line(554, 6.0f);
        setReminder(metric() ? 559 : 557, 8.0f);
        resetPlayerControls();
        break;
    case 3:
        if (!a || a->speed() >= kSlowSpeed)
            break;
        clearNotices();
        step = 4;
        reminderOff();
        line(561, 5.0f);
        line(562, 10.0f);
        setReminder(563, 8.0f);
        counter = 0.0f;
        resetPlayerControls();
        detachAI(*a);
        break;
    case 4:
    case 5: {
        const bool left = step == 4;
        inputLock = false;
        if (holdInput(1, left ? 1.0f : -1.0f)) {
            inputLock = true;
            counter += dt;
        }
        if (counter <= 3.0f)
            break;
        clearNotices();
        resetPlayerControls();
        counter = 0.0f;
        if (left) {
            step = 5;
            inputLock = false;
            line(566, 5.0f);
            setReminder(567, 8.0f);
        } else {
            step = 7;
            setReminder(576, 8.0f);
            notice(575, 8.0f, A::Pitch_Up, A::Pitch_Down);
            hint(576, static_cast<A>(pitchAction(true)), 6.0f);
        }
        break;
    }
    case 7:
        // The nose-up input, whichever key gives it.
        if (holdInput(0, 1.0f))
            counter += dt;
        if (counter <= 1.0f)
            break;
        clearNotices();
        savedFlightHint = settings().playerFlightHint();
        settings().forceFlightHint(1);
        step = 6;
        line(584, 7.0f);
        setReminder(585, 8.0f);
        counter = 0.0f;
        stepTimer = 7.0f;
        resetPlayerControls();
        if (a)
            a->setThrottleForSpeed(900.0f);
        break;
    case 6:
        // One frame: the climbing line goes with the clearing.
        clearNotices();
        step = 8;
        line(588, 7.0f);
        resetPlayerControls();
        if (a)
            a->setThrottleForSpeed(900.0f);
        hint(593, static_cast<A>(pitchAction(false)), 6.0f);
        counter = 0.0f;
        stepTimer = 7.0f;
        setReminder(597, 8.0f);
        break;
    case 8:
        if (holdInput(0, -1.0f))
            counter += dt;
        if (counter <= 1.0f)
            break;
        clearNotices();
        step = 10;
        line(622, 5.0f);
        setReminder(624, 8.0f);
        resetPlayerControls();
        h.setDirectionPadPulse(false);
        h.setButtonVisible(ITutorialHud::kBoostButton, true);
        h.setButtonHighlighted(ITutorialHud::kBoostButton, true);
        counter = 0.0f;
        stepTimer = 3.0f;
        break;
    case 10:
        if (a && a->isBoosting())
            stepTimer -= dt;
        if (stepTimer >= 0.0f)
            break;
        clearNotices();
        step = 11;
        line(626, 7.0f);
        reminderTimer = 0.0f;  // no more reminders
        resetPlayerControls();
        if (a)
            a->setCommandValue(false);
        break;
    case 11:
        if (h.noticeCount() != 0)
            break;
        clearNotices();
        step = 12;
        line(602, 7.0f);
        line(615, 7.0f);
        setReminder(617, 8.0f);
        hint(617, A::Autopilot, 5.0f);
        counter = 0.0f;
        resetPlayerControls();
        if (a)
            a->setThrottleForSpeed(900.0f);
        h.setButtonVisible(ITutorialHud::kBoostButton, false);
        h.setButtonHighlighted(ITutorialHud::kBoostButton, false);
        h.setButtonVisible(ITutorialHud::kAutopilotButton, true);
        h.setButtonHighlighted(ITutorialHud::kAutopilotButton, true);
        break;
    case 12: {
        if (!a || !a->aiController())
            break;
        clearNotices();
        step = 13;
        line(620, 5.0f);
        line(604, 5.0f);
        line(605, 7.0f);
        line(606, 7.0f);
        setReminder(607, 8.0f);
        counter = 0.0f;
        const Vec3 p = a->position();
        showWaypoint(m_waypoint, {p.x - 6000.0f, groundAt(p.x, p.z) + 1500.0f, p.z - 4000.0f});
        h.setButtonHighlighted(ITutorialHud::kAutopilotButton, false);
        break;
    }
    case 13: {
        if (!a || !reached(m_waypoint))
            break;
        clearNotices();
        step = 14;
        line(608, 5.0f);
        line(609, 5.0f);
        line(610, 5.0f);
        setReminder(610, 8.0f);
        counter = 0.0f;
        const Vec3 p = a->position();
        showWaypoint(m_waypoint, {p.x - 5000.0f, groundAt(p.x, p.z) + 1500.0f, p.z + 4000.0f});
        break;
    }
    case 14:
        if (!a || !reached(m_waypoint))
            break;
        clearNotices();
        step = 17;
        line(611, 5.0f);
        line(612, 5.0f);
        line(613, 5.0f);
        counter = 0.0f;
        reminderTextId = 0;
        hideWaypoint(m_waypoint);
        autopilot = true;
        reapplyPlayerAutopilot();
        notifyCompletion();
        break;
    case 17:
        runLastStep(dt, counter, 1000.0f, false);
        break;
    default:
        break;
    }
}

void TutorialGameMode_ARCADE::putBackPlayer(Airplane& airplane, CrashCause)
{
    clearNotices();
    line(614, 5.0f);
    Vec3 p = airplane.position();
    p.y += 2500.0f + groundAt(p.x, p.z);
    respawnAirplane(airplane, 0.0f, &p);
}

void TutorialGameMode_ARCADE::drawHud()
{
    if (playStopped || m_services.overlaysOrNone().overlayOpenOrQueued())
        return;
    const bool panel = m_playerAirplane && m_playerAirplane->aiController() && step < 12;
    ITutorialHud::Rect r;
    const bool arrow = step == 12 && hud().elementRect(kAutopilotElement, r);
    if (!panel && !arrow)
        return;
    TutorialOverlay::begin();
    if (panel)
        TutorialOverlay::drawRedPanel();
    if (arrow) {
        const float s = screenMetrics().uiScale;
        const float opacity = TutorialOverlay::pulse(phase, frameDelta());
        TutorialOverlay::drawArrow(TutorialOverlay::arrowOnScreen(r, -0.7853982f, 5.1f * s - s * opacity / 50.0f), opacity);
    }
    TutorialOverlay::end();
}
