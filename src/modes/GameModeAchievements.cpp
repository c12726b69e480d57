#include "modes/GameMode.h"

#include "entities/aircraft/Airplane.h"
#include "entities/ground/GroundTarget.h"
#include "gamedata/records/UnitCfg.h"
#include "modes/AchievementEvents.h"

namespace {
// A kill while the engine is dead (alone or with the avionics) or in the
// middle of a manoeuvre is a stunt.
constexpr float kStuntManoeuvre = 0.1f;

bool isBridge(const Target& victim)
{
    const auto* ground = dynamic_cast<const GroundTarget*>(&victim);
    return ground && ground->unit() && ground->unit()->isBridge();
}
}  // namespace

void GameMode::countLevelStartEvents(bool firstMission)
{
    IModeProgress& progress = m_hooks.progressOrNone();
    progress.countEvent(modeevent::kLevelBegins);
    if (firstMission)
        progress.countEvent(modeevent::kFirstMissionStart);
    progress.countEvent(modeevent::kLevelStart);
}

void GameMode::countKillEvents(const Target* killer, const Target& victim)
{
    if (!m_playerAirplane)
        return;
    IModeProgress& progress = m_hooks.progressOrNone();
    if (&victim == m_playerAirplane) {
        progress.countEvent(modeevent::kPlayerDeath);
        if (m_type == GameType::Survival)
            progress.countEvent(modeevent::kSurvivalDeath);
    }
    if (!killer || killer != m_playerAirplane || &victim == m_playerAirplane)
        return;
    switch (victim.kind()) {
    case TargetKind::Airplane:
    case TargetKind::AirTarget:
        // A survival client sees the host's airplanes die too: only its own kills are airplane kills.
        if (!(m_type == GameType::Survival && isNetworkClient() && victim.networkRole == NetworkRole::Remote))
            progress.countEvent(modeevent::kKillAirplane);
        progress.countEvent(modeevent::kKill);
        break;
    case TargetKind::Vehicle:
    case TargetKind::Vehicle2:
        progress.countEvent(modeevent::kKillVehicle);
        progress.countEvent(modeevent::kKill);
        break;
    case TargetKind::Submarine:
        progress.countEvent(modeevent::kKillSubmarine);
        progress.countEvent(modeevent::kKill);
        break;
    case TargetKind::Ship:
    case TargetKind::Ship2:
        progress.countEvent(modeevent::kKillShip);
        progress.countEvent(modeevent::kKill);
        break;
    case TargetKind::Carrier:
        progress.countEvent(modeevent::kKillCarrier);
        progress.countEvent(modeevent::kKill);
        break;
    case TargetKind::Building:
        progress.countEvent(isBridge(victim) ? modeevent::kKillBridge : modeevent::kKillBuilding);
        return;
    case TargetKind::Base:
        progress.countEvent(modeevent::kKillBuilding);
        return;
    default:
        if (victim.team() == kTeamNone || victim.team() == m_playerAirplane->team())
            break;
        progress.countEvent(modeevent::kKill);
        break;
    }
    // The stunt is the player's own: a kill the autopilot flew is none.
    if (m_playerAirplane->aiController())
        return;
    const FlightState state = m_playerAirplane->flightState();
    if (state == FlightState::EngineDead || state == FlightState::Critical ||
        m_playerAirplane->manoeuvreValue > kStuntManoeuvre)
        progress.countEvent(modeevent::kStuntKill);
}

void GameMode::countOnlineKill(const Target* killer)
{
    if (m_online && m_playerAirplane && killer == m_playerAirplane)
        m_hooks.progressOrNone().countEvent(modeevent::kOnlineKill);
}
