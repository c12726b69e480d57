#include "support/modes/PilotPlane.h"

#include "entities/aircraft/Airplane.h"
#include "modes/GameMode.h"

void pilotSteer(GameMode& mode, float pitch, float yaw, float roll, float throttle)
{
    Airplane* a = mode.playerAirplane();
    if (!a || a->aiController())
        return;
    // Nose up, turn (left > 0), roll (left wing down > 0).
    mode.setAirplaneVectorXYZ(*a, pitch, -yaw, -roll);
    if (throttle != 0.0f)
        a->setThrottleCommand(throttle);
}

void pilotTrigger(GameMode& mode, int group, bool down)
{
    if (Airplane* a = mode.playerAirplane())
        mode.applyAirplaneInput(*a, group, down ? 1.0f : 0.0f);
}

void pilotBoost(GameMode& mode, bool on)
{
    if (Airplane* a = mode.playerAirplane())
        a->setCommandValue(on);
}

void pilotToggleAutopilot(GameMode& mode)
{
    mode.autopilot = !mode.autopilot;
    mode.reapplyPlayerAutopilot();
}

void pilotEject(GameMode& mode)
{
    if (Airplane* a = mode.playerAirplane())
        mode.ejectPilot(*a, 0.0f, false);
}

void pilotSquadronOrder(GameMode& mode, int command)
{
    if (Airplane* a = mode.playerAirplane())
        mode.setSquadronOrder(*a, command);
}

void pilotRelease(GameMode& mode)
{
    if (Airplane* a = mode.playerAirplane()) {
        a->setControlVector({});
        a->setThrottleCommand(0.0f);
    }
}
