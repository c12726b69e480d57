#include "modes/tutorials/TutorialGameMode_MANEUVERSSQUAD.h"

#include "entities/ai/AirplaneAI.h"
#include "entities/aircraft/Airplane.h"
#include "modes/ITutorialHud.h"

TutorialGameMode_MANEUVERSSQUAD::TutorialGameMode_MANEUVERSSQUAD() : TutorialGameMode(kIndex, 0) {}

void TutorialGameMode_MANEUVERSSQUAD::buildPlayers()
{
    startInAir();
    if (!m_playerAirplane)
        return;
    // Behind the player (forward is -z).
    const Vec3 p = m_playerAirplane->position();
    m_wingmen[0] = makeWingman(p.x + 500.0f, p.z + 1000.0f);
    m_wingmen[1] = makeWingman(p.x - 500.0f, p.z + 1000.0f);
}

void TutorialGameMode_MANEUVERSSQUAD::startMatch()
{
    stepTimer = 20.0f;
    step = 0;
    phase = endCounter = 0.0f;
    orderGiven = false;
}

void TutorialGameMode_MANEUVERSSQUAD::setUpHud()
{
    ITutorialHud& h = hud();
    h.hideAllButtons();
    h.setDirectionPad(true);
    h.setCameraDrag(true);
    h.showButtonGroup(ITutorialHud::kRadarGroup, 0);
}

bool TutorialGameMode_MANEUVERSSQUAD::playerLeads() const
{
    return m_playerAirplane && m_playerAirplane->squadron &&
           m_playerAirplane->squadron->leader() == m_playerAirplane;
}

std::uint64_t TutorialGameMode_MANEUVERSSQUAD::extraMask() const
{
    std::uint64_t m = kFlightMask;
    if (playerLeads() && (step == 1 || step == 2 || step == 3 || step == kLastStep))
        m |= bitOf(ControlAction::Squadron_Cmd) | bitOf(ControlAction::Squadron_CmdA) |
             bitOf(ControlAction::Squadron_CmdD) | bitOf(ControlAction::Squadron_CmdF);
    return m;
}

void TutorialGameMode_MANEUVERSSQUAD::setSquadronOrder(Target& entity, int command)
{
    if (step == 2 && command == kAttackOrder) {
        // The wingmen break away; the player still leads the squadron.
        for (Airplane* w : m_wingmen) {
            if (!w)
                continue;
            if (w->squadron)
                w->squadron->remove(*w);
            if (auto* ai = dynamic_cast<AirplaneAI*>(w->aiController())) {
                ai->setState(Manoeuvre::BreakAway);
                ai->runManoeuvre();
            }
        }
        orderGiven = true;
    } else if (step == 3 && command == kDefendOrder && m_playerAirplane && m_playerAirplane->squadron) {
        for (Airplane* w : m_wingmen)
            if (w && !w->squadron)
                m_playerAirplane->squadron->add(*w);
        orderGiven = true;
    }
    TutorialGameMode::setSquadronOrder(entity, command);
}

void TutorialGameMode_MANEUVERSSQUAD::runStep(float dt)
{
    ITutorialHud& h = hud();
    switch (step) {
    case 0:
        step = 1;
        stepTimer = 10.0f;
        phase = 0.0f;
        reminderTimer = 15.0f;
        reminderTextId = 0;
        orderGiven = false;
        endCounter = 0.0f;
        clearNotices();
        if (m_playerAirplane) {
            const Vec3 p = m_playerAirplane->position();
            m_wingmen[2] = makeWingman(p.x + 400.0f, p.z + 1000.0f);
            m_wingmen[3] = makeWingman(p.x + 300.0f, p.z + 1000.0f);
        }
        break;
    case 1:
        // Only the timer: the squadron may chatter meanwhile.
        stepTimer -= dt;
        if (stepTimer >= 0.0f)
            break;
        step = 2;
        stepTimer = 15.0f;
        h.showSquadButtons(0);
        h.setButtonHighlighted(ITutorialHud::kSquadOrderA, true);
        clearNotices();
        hint(712, ControlAction::Squadron_CmdA, 8.0f);
        line(714, 8.0f);
        setReminder(715, 15.0f);
        orderGiven = false;
        break;
    case 2:
        if (!orderGiven)
            break;
        step = 3;
        h.setButtonHighlighted(ITutorialHud::kSquadOrderA, false);
        h.setButtonHighlighted(ITutorialHud::kSquadOrderD, true);
        clearNotices();
        line(716, 8.0f);
        line(717, 5.0f);
        line(718, 5.0f);
        setReminder(719, 15.0f);
        orderGiven = false;
        break;
    case 3:
        if (!orderGiven)
            break;
        step = kLastStep;
        h.setButtonHighlighted(ITutorialHud::kSquadOrderA, false);
        h.setButtonHighlighted(ITutorialHud::kSquadOrderD, false);
        clearNotices();
        line(720, 5.0f);
        line(722, 8.0f);
        line(724, 7.0f);
        reminderTextId = 0;
        endCounter = 0.0f;
        orderGiven = false;
        break;
    case kLastStep: {
        const int before = winMenusOpened();
        runLastStep(dt, endCounter, 1000.0f, true);
        // The completion counts once its page is up.
        if (winMenusOpened() > before)
            notifyCompletion();
        break;
    }
    default:
        break;
    }
}

void TutorialGameMode_MANEUVERSSQUAD::putBackPlayer(Airplane& airplane, CrashCause)
{
    clearNotices();
    line(725, 5.0f);
    Vec3 p = airplane.position();
    p.y += 1500.0f + groundAt(p.x, p.z);
    respawnAirplane(airplane, 0.0f, &p);
}
