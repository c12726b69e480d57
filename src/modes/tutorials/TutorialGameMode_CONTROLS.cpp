#include "modes/tutorials/TutorialGameMode_CONTROLS.h"

#include "entities/aircraft/Airplane.h"
#include "gamedata/map/GameWorld.h"
#include "modes/ITutorialHud.h"
#include "platform/Settings.h"

#include <algorithm>
#include <cmath>

namespace {
using A = ControlAction;
constexpr std::uint64_t bits(std::initializer_list<A> actions)
{
    std::uint64_t m = 0;
    for (A a : actions)
        m |= TutorialGameMode::bitOf(a);
    return m;
}
constexpr std::uint64_t kStickAndThrottle =
    bits({A::Roll_Left, A::Roll_Right, A::Pitch_Up, A::Pitch_Down, A::Accelerate, A::Brake});
bool metric() { return settings().metricUnits != 0; }
}  // namespace

TutorialGameMode_CONTROLS::TutorialGameMode_CONTROLS() : TutorialGameMode(kIndex, 0) {}

TutorialGameMode_CONTROLS::~TutorialGameMode_CONTROLS() { hideWaypointMarkers(); }

void TutorialGameMode_CONTROLS::setUpHud() { hud().hideAllButtons(); }

void TutorialGameMode_CONTROLS::startMatch()
{
    step = 0;
    stepTimer = 20.0f;
    phase = counter = inputGrace = 0.0f;
}

void TutorialGameMode_CONTROLS::update(float dt)
{
    // Fast forward is not offered while the controls are taught.
    hud().clearFastForward();
    TutorialGameMode::update(dt);
}

void TutorialGameMode_CONTROLS::clearLevel()
{
    TutorialGameMode::clearLevel();
    hud().clearFastForward();
}

std::uint64_t TutorialGameMode_CONTROLS::extraMask() const
{
    switch (step) {
    case 2: return bitOf(A::Accelerate);
    case 3: return bitOf(A::Brake);
    case 5: return bitOf(A::Yaw_Left);
    case 6: return bitOf(A::Yaw_Right);
    case 7: return bitOf(A::Roll_Right);
    case 8:
    case 9: return bitOf(A::Roll_Left);
    case 10: return std::uint64_t{1} << pitchAction(true);
    case 11: return std::uint64_t{1} << pitchAction(false);
    case 12: return bits({A::Pitch_Up, A::Pitch_Down, A::Brake});
    case 13: return bits({A::Roll_Left, A::Roll_Right, A::Pitch_Up, A::Pitch_Down, A::Brake});
    case 14:
    case 16: return kStickAndThrottle;
    case 17:
    case 18:
    case 21:
    case 24:
    case 27: return kFlightMask;
    case 22: return kFlightMask | bitOf(A::Eject);
    default: return 0;
    }
}

int TutorialGameMode_CONTROLS::reminderAction(int textId) const
{
    switch (textId) {
    case 447:
    case 449: return static_cast<int>(A::Accelerate);
    case 455:
    case 457: return static_cast<int>(A::Brake);
    case 461: return static_cast<int>(A::Yaw_Left);
    case 465: return static_cast<int>(A::Yaw_Right);
    case 470: return static_cast<int>(A::Roll_Right);
    case 474: return static_cast<int>(A::Roll_Left);
    case 483: return pitchAction(true);
    case 490: return pitchAction(false);
    case 532: return static_cast<int>(A::Eject);
    default: return -1;
    }
}

void TutorialGameMode_CONTROLS::showReminder(int textId)
{
    if (textId == kTightTurnReminder)
        notice(textId, 10.0f, A::Brake, A::Pitch_Up, static_cast<int>(A::Pitch_Down));
    else
        TutorialGameMode::showReminder(textId);
}

void TutorialGameMode_CONTROLS::setInputs(float noseUp, float turn, float roll)
{
    if (m_playerAirplane)
        m_playerAirplane->setControlVector({noseUp, turn, roll});
}

void TutorialGameMode_CONTROLS::keepPitch(bool avoidGround, bool levelWings)
{
    Airplane* a = m_playerAirplane;
    if (!a)
        return;
    Vec3 v = a->controlVector();
    const Vec3 p = a->position();
    const float noseY = a->forward().y;
    if (p.y < 2000.0f && noseY < 0.0f)
        v.x = 0.2f;
    else if (p.y > 3000.0f && noseY > 0.0f)
        v.x = -0.2f;
    else
        v.x = -noseY;
    if (avoidGround) {
        // Where the aircraft will be soon if it keeps its nose where it is.
        const float ahead = p.y + std::min((a->speed() * 2.0f + 30.0f) * noseY, 0.0f) -
                            a->dimensions().height * 0.5f;
        const float floor = m_world ? m_world->groundOrSeaHeightAt(p.x, p.z) : 0.0f;
        if (ahead < a->minimumHeight || ahead < floor)
            v.y = 0.2f;
    }
    if (levelWings)
        v.z = -a->bankValue();
    a->setControlVector(v);
}

void TutorialGameMode_CONTROLS::placeWaypoint(float dx, float dz)
{
    if (!m_playerAirplane)
        return;
    const Vec3 p = m_playerAirplane->position();
    showWaypoint(m_waypoint, {p.x + dx, groundAt(p.x, p.z) + 1500.0f, p.z + dz});
}

void TutorialGameMode_CONTROLS::runStep(float dt)
{
    ITutorialHud& h = hud();
    Airplane* a = m_playerAirplane;
    switch (step) {
    case 0:
        clearNotices();
        step = 1;
        stepTimer = 13.0f;
        line(439, 6.0f);
        line(440, 7.0f);
        if (settings().controlDevice == 2) {
            stepTimer += 7.0f;
            line(536, 7.0f);
            step = 23;
        }
        if (a) {
            detachAI(*a);
            a->setThrottleForSpeed(100.0f);
        }
        break;
    case 1:
        if (a)
            a->setThrottleForSpeed(100.0f);
        if (!hintsDone(dt))
            break;
        clearNotices();
        step = 2;
        phase = 0.0f;
        line(441, 7.0f);
        setReminder(metric() ? 449 : 447, 8.0f);
        notice(443, 10.0f, A::Accelerate, A::Brake);
        break;
    case 2:
        if (!a)
            break;
        a->setThrottleForSpeed(a->throttleCommand() > 0.0f ? 500.0f : 125.0f);
        if (a->speed() < kFastSpeed)
            break;
        clearNotices();
        step = 3;
        line(451, 8.0f);
        line(452, 6.0f);
        setReminder(metric() ? 457 : 455, 8.0f);
        resetPlayerControls();
        break;
    case 3:
        if (!a)
            break;
        a->setThrottleForSpeed(a->throttleCommand() >= 0.0f ? 312.928f : 100.584f);
        if (a->speed() >= kSlowSpeed)
            break;
        clearNotices();
        resetPlayerControls();
        a->setThrottleForSpeed(900.0f);
        line(459, 5.0f);
        reminderOff();
        counter = 0.0f;
        if (skipRecovery || settings().controlDevice == 2) {
            skipRecovery = true;
            step = 16;
            stepTimer = 0.0f;
        } else {
            step = 4;
            line(460, 10.0f);
            stepTimer = 16.0f;
        }
        break;
    case 4:
        if (!hintsDone(dt))
            break;
        clearNotices();
        step = 5;
        setReminder(461, 8.0f);
        resetPlayerControls();
        counter = 0.0f;
        break;
    case 5:
    case 6: {
        if (!a)
            break;
        const bool left = step == 5;
        inputLock = false;
        const float rate = a->headingVector().y;
        if (left ? rate > 0.0f : rate < 0.0f) {
            setInputs(0.0f, left ? 1.0f : -1.0f, 0.0f);
            inputLock = true;
            counter += dt;
        }
        if (counter <= 3.0f)
            break;
        clearNotices();
        counter = 0.0f;
        resetPlayerControls();
        setInputs(0.0f, 0.0f, 0.0f);
        if (left) {
            step = 6;
            line(464, 5.0f);
            setReminder(465, 8.0f);
        } else {
            step = 7;
            line(468, 5.0f);
            line(469, 5.0f);
            setReminder(470, 8.0f);
            detachAI(*a);
            inputLock = false;
            a->setThrottleForSpeed(900.0f);
        }
        break;
    }
    case 7:
    case 8: {
        if (!a)
            break;
        const bool right = step == 7;
        keepPitch(right, false);
        const float roll = a->controlVector().z;
        if (right ? roll < -0.5f : roll > 0.5f)
            counter += dt;
        if (counter <= 2.0f)
            break;
        clearNotices();
        counter = 0.0f;
        if (right) {
            step = 8;
            line(473, 5.0f);
            setReminder(474, 8.0f);
            setInputs(0.0f, 0.0f, 0.0f);
        } else {
            step = 9;
            line(477, 7.0f);
            reminderTextId = 0;
            stepTimer = 7.0f;
            setInputs(0.0f, 0.0f, 0.0f);
            resetPlayerControls();
        }
        break;
    }
    case 9:
        keepPitch(false, true);
        stepTimer -= dt;
        if (stepTimer > 0.0f)
            break;
        // The levelling line stays up.
        step = 10;
        setReminder(483, 8.0f);
        notice(482, 8.0f, A::Pitch_Up, A::Pitch_Down);
        hint(483, static_cast<A>(pitchAction(true)), 6.0f);
        counter = 0.0f;
        break;
    case 10:
        if (a && a->controlVector().x > 0.0f)
            counter += dt;
        if (counter <= 1.0f)
            break;
        clearNotices();
        step = 11;
        line(487, 7.0f);
        setReminder(490, 8.0f);
        counter = 0.0f;
        stepTimer = 7.0f;
        break;
    case 11:
        if (a && a->controlVector().x < 0.0f)
            counter += dt;
        if (counter <= 1.0f)
            break;
        clearNotices();
        step = 12;
        line(494, 7.0f);
        line(495, 7.0f);
        line(496, 8.0f);
        setReminder(kTightTurnReminder, 8.0f);
        stepTimer = 7.0f;
        counter = 0.0f;
        resetPlayerControls();
        if (a)
            a->setThrottleForSpeed(900.0f);
        break;
    case 12:
        if (a && a->throttleCommand() < 0.0f && std::fabs(a->controlVector().x) > 0.7f)
            counter += dt;
        if (counter <= 3.0f)
            break;
        clearNotices();
        step = 13;
        line(500, 7.0f);
        setReminder(501, 8.0f);
        counter = 0.0f;
        resetPlayerControls();
        if (a)
            a->setThrottleForSpeed(900.0f);
        break;
    case 13:
        if (a && a->bankValue() != 0.0f && a->controlVector().x != 0.0f)
            counter += dt;
        if (counter <= 3.0f)
            break;
        clearNotices();
        step = 14;
        line(502, 5.0f);
        line(503, 5.0f);
        line(metric() ? 505 : 504, 5.0f);
        setReminder(metric() ? 507 : 506, 8.0f);
        counter = 0.0f;
        h.setDialHighlighted(ITutorialHud::Dial::Altimeter, true);
        break;
    case 14:
        if (!a || a->position().y <= kClimbHeight)
            break;
        clearNotices();
        step = 15;
        h.setDialHighlighted(ITutorialHud::Dial::Altimeter, false);
        line(508, 5.0f);
        line(509, 7.0f);
        line(510, 5.0f);
        reminderTextId = 0;
        counter = 0.0f;
        releasePlayerStick();
        setEnabledActions(kBaseMask);
        break;
    case 15:
        if (!a)
            break;
        // The engine is cut whatever the player does.
        a->setThrottleForSpeed(0.0f);
        if (a->speed() >= kStallSpeed)
            break;
        clearNotices();
        step = 16;
        line(511, 5.0f);
        line(512, 5.0f);
        line(513, 7.0f);
        setReminder(514, 8.0f);
        counter = 0.0f;
        resetPlayerControls();
        break;
    case 16:
        if (a) {
            if (a->throttleCommand() > 0.0f)
                a->setThrottleForSpeed(900.0f);
            if (a->throttleCommand() == 1.0f && a->forward().y >= -0.1f)
                counter += dt;
        }
        if (counter <= 2.0f && !skipRecovery)
            break;
        clearNotices();
        step = 17;
        line(515, 5.0f);
        line(516, 5.0f);
        line(517, 7.0f);
        line(518, 7.0f);
        setReminder(519, 8.0f);
        counter = 0.0f;
        placeWaypoint(5000.0f, 4000.0f);
        resetPlayerControls();
        break;
    case 17:
        if (!reached(m_waypoint))
            break;
        clearNotices();
        step = 18;
        line(520, 5.0f);
        line(521, 5.0f);
        line(522, 5.0f);
        setReminder(522, 8.0f);
        counter = 0.0f;
        placeWaypoint(-5000.0f, 4000.0f);
        break;
    case 18:
        if (!reached(m_waypoint))
            break;
        clearNotices();
        step = 21;
        line(523, 5.0f);
        line(528, 5.0f);
        hideWaypoint(m_waypoint);
        // The waypoint reminder would keep the notice list from ever running empty.
        reminderOff();
        break;
    case 21:
        if (h.noticeCount() != 0)
            break;
        clearNotices();
        step = kEjectStep;
        hint(532, A::Eject, 5.0f);
        setReminder(532, 8.0f);
        counter = 0.0f;
        break;
    case kEjectStep:
        if (!a || a->ejectFlag())
            break;
        // The pilot is out; the aircraft flies on under the autopilot.
        a->setHealth(1.0f);
        a->setEjectFlag(true);
        a->setEjectCooldown(5.0f);
        attachAI(*a, 0.4f, false);
        clearNotices();
        step = 28;
        line(535, 5.0f);
        line(524, 5.0f);
        line(525, 5.0f);
        reminderTimer = 20.0f;
        reminderTextId = 0;
        counter = 0.0f;
        hideWaypoint(m_waypoint);
        attachAI(*a, 0.4f, false);
        notifyCompletion();
        break;
    case 23:
        if (a)
            a->setThrottleForSpeed(100.0f);
        if (!hintsDone(dt))
            break;
        clearNotices();
        line(537, 8.0f);
        if (a) {
            const Vec3 f = vec3NormalizeOr(a->forward(), {0.0f, 0.0f, -1.0f});
            showWaypoint(m_waypoint, a->position() + f * 2000.0f);
        }
        step = 24;
        setEnabledActions(kBaseMask | kFlightMask);
        break;
    case 24:
        if (!reached(m_waypoint))
            break;
        clearNotices();
        line(538, 5.0f);
        line(539, 8.0f);
        if (a) {
            const Vec3 f = vec3NormalizeOr(a->forward(), {0.0f, 0.0f, -1.0f});
            showWaypoint(m_waypoint, a->position() - f * 2000.0f);
        }
        step = 27;
        break;
    case 27:
        if (!reached(m_waypoint))
            break;
        clearNotices();
        line(540, 5.0f);
        stepTimer = 4.0f;
        step = 1;
        hideWaypoint(m_waypoint);
        break;
    case 28:
        runLastStep(dt, counter, 1000.0f, false);
        break;
    default:
        break;
    }
}

void TutorialGameMode_CONTROLS::ejectPilot(Airplane& airplane, float value, bool force)
{
    // Only the ejection lesson lets the pilot out.
    if (step != kEjectStep || !airplane.ejectFlag())
        return;
    (void)force;
    TutorialGameMode::ejectPilot(airplane, value, true);
}

void TutorialGameMode_CONTROLS::putBackPlayer(Airplane& airplane, CrashCause)
{
    Vec3 p = airplane.position();
    p.y += 1500.0f + groundAt(p.x, p.z);
    respawnAirplane(airplane, 0.0f, &p);
}
