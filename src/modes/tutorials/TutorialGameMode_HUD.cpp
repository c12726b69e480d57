#include "modes/tutorials/TutorialGameMode_HUD.h"

#include "entities/ai/AirplaneAI.h"
#include "entities/aircraft/Airplane.h"
#include "modes/ITutorialHud.h"
#include "modes/tutorials/TutorialOverlay.h"
#include "platform/Clock.h"
#include "platform/Log.h"
#include "platform/ScreenMetrics.h"
#include "platform/Settings.h"

#include <cmath>

namespace {
using Dial = ITutorialHud::Dial;
constexpr float kClimbCeiling = 3000.0f;
}  // namespace

TutorialGameMode_HUD::TutorialGameMode_HUD() : TutorialGameMode(kIndex, 0) {}

void TutorialGameMode_HUD::startMatch()
{
    stepTimer = 20.0f;
    counter = 0.0f;
    step = 0;
    inputLock = true;
    m_dragTravel = m_lastDrag = 0.0f;
}

void TutorialGameMode_HUD::setUpHud()
{
    ITutorialHud& h = hud();
    h.hideAllButtons();
    // Hiding the buttons switches the camera drag off, and the first lesson is the drag.
    h.setCameraDrag(true);
    h.setButtonVisible(ITutorialHud::kCameraButton, false);
    h.setDialShown(Dial::Radar, false);
    h.setDialShown(Dial::Altimeter, false);
    h.setDialShown(Dial::SpeedDial, false);
    h.setWeaponGauges(false, false);
}

std::uint64_t TutorialGameMode_HUD::extraMask() const { return step >= 3 ? bitOf(ControlAction::Camera) : 0u; }

int TutorialGameMode_HUD::reminderAction(int textId) const
{
    return textId == kCameraReminder ? static_cast<int>(ControlAction::Camera) : -1;
}

void TutorialGameMode_HUD::climbOrHold()
{
    Airplane* a = m_playerAirplane;
    if (!a)
        return;
    const Vec3 p = a->position();
    if (p.y - groundAt(p.x, p.z) >= kClimbCeiling) {
        a->setThrottleForSpeed(187.5f);
        return;
    }
    a->setThrottleForSpeed(500.0f);
    if (auto* ai = dynamic_cast<AirplaneAI*>(a->aiController()))
        ai->goalPoint = p + Vec3{0.0f, 60.0f, -100.0f};
}

void TutorialGameMode_HUD::runStep(float dt)
{
    ITutorialHud& h = hud();
    Airplane* a = m_playerAirplane;
    switch (step) {
    case 0:
        clearNotices();
        step = 1;
        stepTimer = 17.0f;
        line(419, 8.0f);
        line(420, 7.0f);
        break;
    case 1:
        if (!hintsDone(dt))
            break;
        counter = 0.0f;
        if (settings().controlDevice == 2) {
            // The mouse steers the camera with the aircraft: no drag lesson.
            step = 4;
            break;
        }
        clearNotices();
        step = 2;
        line(422, 10.0f);
        setReminder(423, 13.0f);
        break;
    case 2:
        if (!viewTurnedByDrag(h.cameraDragAmount()))
            break;
        step = 3;
        setReminder(kCameraReminder, 15.0f);
        clearNotices();
        line(424, 8.0f);
        hint(kCameraReminder, ControlAction::Camera, 6.0f);
        line(436, 6.0f);
        h.setButtonVisible(ITutorialHud::kCameraButton, true);
        h.setButtonHighlighted(ITutorialHud::kCameraButton, true);
        logCameraButton();
        stepTimer = 22.0f;
        inputLock = h.cameraMode() != kChaseCamera;
        break;
    case 3:
        // Away from the chase view and back again, as the lesson's line asks.
        if (h.cameraMode() != kChaseCamera) {
            inputLock = true;
            break;
        }
        if (!inputLock)
            break;
        step = 4;
        reminderOff();
        clearNotices();
        h.setButtonHighlighted(ITutorialHud::kCameraButton, false);
        stepTimer = 8.0f;
        break;
    case 4:
        if (!hintsDone(dt))
            break;
        step = 5;
        reminderOff();
        clearNotices();
        line(425, 6.0f);
        h.setButtonHighlighted(ITutorialHud::kCameraButton, false);
        h.setWeaponGauges(true, true);
        stepTimer = 22.0f;
        break;
    case 5:
        if (!hintsDone(dt))
            break;
        step = 7;
        clearNotices();
        h.setWeaponGauges(true, false);
        h.setDialShown(Dial::SpeedDial, true);
        h.setDialHighlighted(Dial::SpeedDial, true);
        line(426, 8.0f);
        stepTimer = 11.0f;
        break;
    case 7:
        if (a)
            a->setThrottleForSpeed(100.0f);
        if (!hintsDone(dt))
            break;
        // The speed lines follow each other: no clearing.
        step = 8;
        line(427, 8.0f);
        stepTimer = 11.0f;
        break;
    case 8:
        if (a)
            a->setThrottleForSpeed(875.0f);
        if (!hintsDone(dt))
            break;
        step = 9;
        clearNotices();
        h.setDialShown(Dial::Altimeter, true);
        h.setDialHighlighted(Dial::SpeedDial, false);
        h.setDialHighlighted(Dial::Altimeter, true);
        line(428, 6.0f);
        stepTimer = 9.0f;
        break;
    case 9:
        if (a)
            a->setThrottleForSpeed(90.0f);
        if (!hintsDone(dt))
            break;
        step = 10;
        clearNotices();
        line(429, 10.0f);
        stepTimer = 10.0f;
        break;
    case 10:
        stepTimer -= dt;
        if (stepTimer >= 0.0f) {
            climbOrHold();
            break;
        }
        step = 11;
        h.setDialShown(Dial::Radar, true);
        h.setDialHighlighted(Dial::Altimeter, false);
        h.setDialHighlighted(Dial::Radar, true);
        clearNotices();
        line(430, 8.0f);
        line(431, 8.0f);
        counter = 0.0f;
        stepTimer = 18.0f;
        h.showButtonGroup(ITutorialHud::kRadarGroup, 0);
        break;
    case 11:
        if (!hintsDone(dt))
            break;
        h.setDialHighlighted(Dial::Radar, false);
        if (a) {
            const Vec3 p = a->position();
            (void)makeWingman(p.x + 500.0f, 10000.0f);
            (void)makeWingman(p.x - 500.0f, -10000.0f);
        }
        clearNotices();
        line(433, 5.0f);
        line(434, 6.0f);
        reminderOff();
        step = 12;
        stepTimer = 25.0f;
        phase = 0.0f;
        notifyCompletion();
        break;
    case 12:
        runLastStep(dt, phase, 50.0f, false);
        break;
    default:
        break;
    }
}

void TutorialGameMode_HUD::putBackPlayer(Airplane& airplane, CrashCause cause)
{
    if (cause != CrashCause::Ground)
        return;
    // Off the ground and nose up; the autopilot carries on.
    Vec3 p = airplane.position();
    p.y += 200.0f;
    airplane.setPosition(p);
    airplane.setPositionAndStop(p);
    airplane.setOrientation(quatMulAxisX(airplane.orientation(), 0.2f));
}

void TutorialGameMode_HUD::clearLevel()
{
    TutorialGameMode::clearLevel();
    ITutorialHud& h = hud();
    if (h.cameraMode() == 4) {
        h.setCameraMode(kAutopilotCamera);
        settings().chosenViewMode = 0;
        settings().save();
    }
}

void TutorialGameMode_HUD::logCameraButton()
{
    ITutorialHud::Rect r;
    if (hud().elementRect(kCameraElement, r))
        logInfo("tutorial", "tutorial %d: camera button at %d %d size %d %d", kIndex, static_cast<int>(r.x),
                static_cast<int>(r.y), static_cast<int>(r.w), static_cast<int>(r.h));
}

bool TutorialGameMode_HUD::viewTurnedByDrag(float amount)
{
    // The look follows the finger's place, so a long drag that starts left of
    // the centre and ends right of it may never be far from the centre: the
    // look's travel while a finger turns it counts as well as its reach.
    if (amount > kDragReach)
        return true;
    if (amount > 0.0f)
        m_dragTravel += std::fabs(amount - m_lastDrag);
    m_lastDrag = amount;
    return m_dragTravel > kDragTravel;
}

void TutorialGameMode_HUD::drawHud()
{
    if (playStopped || m_services.overlaysOrNone().overlayOpenOrQueued())
        return;
    const ScreenMetrics& m = screenMetrics();
    const float s = m.uiScale;
    const float dt = frameDelta();
    TutorialOverlay::begin();
    TutorialOverlay::drawRedPanel();
    if (step == 2) {
        m_drawPhase += TutorialOverlay::kGestureSpeed * s * dt;
        if (m_drawPhase > TutorialOverlay::kGestureReach * s)
            m_drawPhase = 0.0f;
        TutorialOverlay::drawGesture(m_drawPhase);
    } else {
        int element = -1;
        float rotation = 0.0f;
        if (step == 3 || step == 4)
            element = kCameraElement, rotation = -0.7853982f;
        else if (step == 5)
            element = kGaugesElement, rotation = -2.3561945f;
        else if (step == 7 || step == 8)
            element = kSpeedElement, rotation = -1.5707964f;
        else if (step == 9 || step == 10)
            element = kAltimeterElement, rotation = -0.7853982f;
        else if (step == 11)
            element = kRadarElement, rotation = -1.5707964f;
        ITutorialHud::Rect r;
        if (element >= 0 && hud().elementRect(element, r)) {
            // The lesson's lines hang under the dials: an arrow from below
            // would lie across them, so the dials are pointed at from the side.
            if (element == kSpeedElement || element == kAltimeterElement)
                rotation = TutorialOverlay::fromNearerSide(r, static_cast<float>(m.screenWidth));
            const float opacity = TutorialOverlay::pulse(m_drawPhase, dt);
            const float gap = (5.1f - opacity / 50.0f) * s;
            TutorialOverlay::drawArrow(TutorialOverlay::arrowOnScreen(r, rotation, gap), opacity);
        }
    }
    TutorialOverlay::end();
}
