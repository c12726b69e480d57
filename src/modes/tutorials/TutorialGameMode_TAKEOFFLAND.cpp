#include "modes/tutorials/TutorialGameMode_TAKEOFFLAND.h"

#include "entities/aircraft/Airplane.h"
#include "entities/ground/Runway.h"
#include "gamedata/map/GameWorld.h"
#include "gamedata/map/MapEntities.h"
#include "gamedata/records/PlaneList.h"
#include "modes/ITutorialHud.h"
#include "modes/tutorials/TutorialOverlay.h"
#include "platform/Log.h"
#include "platform/Settings.h"

namespace {
constexpr float kDegToRadian = 0.017453292f;
}  // namespace

TutorialGameMode_TAKEOFFLAND::TutorialGameMode_TAKEOFFLAND() : TutorialGameMode(kIndex, 0) {}

TutorialGameMode_TAKEOFFLAND::~TutorialGameMode_TAKEOFFLAND() { hideWaypointMarkers(); }

Vec3 TutorialGameMode_TAKEOFFLAND::alongRunway() const
{
    // The way the aircraft faces when it stands on the runway.
    return quatRotateVector(quatFromEuler(runwayHeading, 0.0f, 0.0f), {0.0f, 0.0f, -1.0f});
}

void TutorialGameMode_TAKEOFFLAND::standOnRunway(Airplane& airplane)
{
    airplane.setLanded(m_runway);
    airplane.setSpeed(0.0f);
    airplane.setThrottleCommand(0.0f);
    airplane.setThrottleSetting(0.0f);
    airplane.setOrientation(quatFromEuler(runwayHeading, 0.0f, 0.0f));
    airplane.updateAttitudeAngles();
}

void TutorialGameMode_TAKEOFFLAND::buildPlayers()
{
    Airplane* a = addPlayerInSquadron();
    if (!a)
        return;
    squadronA->playerSquadron = true;
    autopilot = false;

    createRunways();
    const EditorItem* item = m_world ? m_world->findItemByModel(kRunwayModel) : nullptr;
    if (item) {
        for (Target* t : m_runways)
            if (t->mapItem >= 0 && m_world->item(t->mapItem) == item) {
                m_runway = static_cast<Runway*>(t);
                break;
            }
    }
    if (!m_runway) {
        // Without the field the lesson starts in the air where the others do.
        logWarning("tutorial", "the map has no \"%s\": the take-off starts in the air", kRunwayModel);
        m_runwayPoint = {kStartX, groundAt(kStartX, kStartZ), kStartZ};
        startPoint = m_runwayPoint + Vec3{0.0f, kStartHeight, 0.0f};
        respawnAirplane(*a, 0.0f, &startPoint);
        setPlayerAirplane(a);
        return;
    }
    runwayHeading = (item->angles.y + 90.0f) * kDegToRadian;
    m_runwayPoint = m_runway->position();
    startPoint = m_runwayPoint + Vec3{0.0f, a->dimensions().groundOffset + 10.0f, 0.0f};
    respawnAirplane(*a, 0.0f, &startPoint);
    setPlayerAirplane(a);
    standOnRunway(*a);
}

void TutorialGameMode_TAKEOFFLAND::startMatch()
{
    stepTimer = 20.0f;
    step = 0;
    phase = 0.0f;
}

void TutorialGameMode_TAKEOFFLAND::setUpHud()
{
    ITutorialHud& h = hud();
    h.hideAllButtons();
    h.setDirectionPad(true);
    h.showButtonGroup(ITutorialHud::kRadarGroup, 0);
}

std::uint64_t TutorialGameMode_TAKEOFFLAND::extraMask() const
{
    return step == 2 || step == 3 || step == 6 ? kFlightMask : 0u;
}

void TutorialGameMode_TAKEOFFLAND::levelFlight(float dt)
{
    counter += dt;
    if (Airplane* a = m_playerAirplane) {
        Vec3 v = a->controlVector();
        v.x = -a->forward().y;
        v.z = -a->bankValue();
        a->setControlVector(v);
    }
}

void TutorialGameMode_TAKEOFFLAND::runStep(float dt)
{
    ITutorialHud& h = hud();
    Airplane* a = m_playerAirplane;
    switch (step) {
    case 0:
        clearNotices();
        step = 1;
        stepTimer = 13.0f;
        if (a)
            a->setThrottleForSpeed(0.0f);
        line(656, 5.0f);
        line(657, 8.0f);
        break;
    case 1:
        if (a)
            a->setThrottleForSpeed(0.0f);
        if (!hintsDone(dt))
            break;
        step = 2;
        phase = 0.0f;
        line(658, 6.0f);
        line(659, 6.0f);
        setReminder(661, 13.0f);
        h.setDirectionPadPulse(true);
        break;
    case 2:
        if (!a || a->position().y < 500.0f)
            break;
        clearNotices();
        step = 3;
        line(663, 5.0f);
        line(664, 5.0f);
        setReminder(665, 8.0f);
        counter = 0.0f;
        showWaypoint(m_waypoint, m_runwayPoint + alongRunway() * 2600.0f + Vec3{0.0f, 600.0f, 0.0f});
        h.setDirectionPadPulse(false);
        break;
    case 3:
        if (!reached(m_waypoint))
            break;
        clearNotices();
        step = 4;
        reminderTimer = 8.0f;
        reminderTextId = 0;
        counter = 0.0f;
        stepTimer = 2.0f;
        break;
    case 4:
        levelFlight(dt);
        if (counter <= stepTimer)
            break;
        // Behind the dark screen the aircraft is put on the approach.
        step = 5;
        if (a) {
            const Vec3 at = m_runwayPoint - alongRunway() * 3600.0f + Vec3{0.0f, 500.0f, 0.0f};
            a->setLanded(nullptr);
            a->setPositionAndStop(at);
            a->setSpeed(kApproachSpeed);
            a->setThrottleForSpeed(kApproachSpeed);
            a->setOrientation(quatFromEuler(runwayHeading, 0.0f, 0.0f));
            a->updateAttitudeAngles();
        }
        counter = 0.0f;
        stepTimer = 2.0f;
        break;
    case 5:
        levelFlight(dt);
        if (a && a->speed() > kApproachSpeed)
            a->setThrottleForSpeed(kApproachSpeed);
        if (counter <= 2.0f)
            break;
        clearNotices();
        step = 6;
        line(666, 5.0f);
        line(667, 8.0f);
        setReminder(668, 8.0f);
        counter = 0.0f;
        showWaypoint(m_waypoint, m_runwayPoint + Vec3{0.0f, 100.0f, 0.0f});
        break;
    case 6:
        if (!a || a->speed() != 0.0f || !a->onRunway())
            break;
        clearNotices();
        step = 7;
        stepTimer = 7.0f;
        line(669, 5.0f);
        line(670, 5.0f);
        reminderTextId = 0;
        hideWaypoint(m_waypoint);
        counter = 0.0f;
        notifyCompletion();
        break;
    case 7:
        if (a)
            a->setThrottleForSpeed(0.0f);
        runLastStep(dt, counter, 1000.0f, false);
        break;
    default:
        break;
    }
}

void TutorialGameMode_TAKEOFFLAND::putBackPlayer(Airplane& airplane, CrashCause)
{
    if (step < 4) {
        // Back on the runway for another take-off.
        const Vec3 at = m_runwayPoint + Vec3{0.0f, airplane.dimensions().groundOffset, 0.0f};
        respawnAirplane(airplane, 0.0f, m_runway ? &at : &startPoint);
        if (m_runway)
            standOnRunway(airplane);
        phase = 0.0f;
        step = 2;
        clearNotices();
        line(671, 6.0f);
        setReminder(673, 13.0f);
        hud().setDirectionPadPulse(true);
        return;
    }
    // The approach again, behind the dark screen.
    step = 4;
    clearNotices();
    reminderTimer = 8.0f;
    reminderTextId = 0;
    counter = 0.0f;
    stepTimer = 2.0f;  // the dark screen's time, whichever step crashed
    airplane.setLanded(nullptr);
    airplane.setSpeed(kApproachSpeed);
    airplane.setThrottleForSpeed(kApproachSpeed);
    airplane.setOrientation(quatFromEuler(-1.5707964f, 0.0f, 0.0f));
    airplane.updateAttitudeAngles();
    m_waypoint.setPosition(m_runwayPoint + Vec3{0.0f, 200.0f, 0.0f});
    airplane.onDestroyed(CrashCause::Ground);
    const Vec3 at{m_runwayPoint.x - 4000.0f, m_runwayPoint.y + 800.0f, m_runwayPoint.z};
    respawnAirplane(airplane, kRespawnDelay, &at);
    // The wreck's place must not become the place it comes back at.
    airplane.setPositionAndStop(at);
}

void TutorialGameMode_TAKEOFFLAND::drawHud()
{
    if (playStopped || m_services.overlaysOrNone().overlayOpenOrQueued())
        return;
    if (step > 5 || step == 2 || step == 3)
        return;
    TutorialOverlay::begin();
    if (step <= 1)
        TutorialOverlay::drawRedPanel();
    else
        TutorialOverlay::drawDarkScreen();
    TutorialOverlay::end();
}
