#include "modes/PlayerAirplaneInput.h"

#include "entities/aircraft/Airplane.h"
#include "modes/GameMode.h"
#include "platform/Settings.h"

void steerPlayerAirplane(GameMode& mode, float pitch, float yaw, float roll, float throttle)
{
    Airplane* a = mode.playerAirplane();
    const bool moved = pitch != 0.0f || yaw != 0.0f || roll != 0.0f || throttle != 0.0f;
    if (!a || !mode.playerStickFlies(*a, moved))
        return;
    // The chosen control type (forced by the tutorials) decides how the stick
    // flies; an autopilot leaves the plane on full control, so set it each time.
    a->setControlType(settings().controlType == 1 ? ControlType::Arcade : ControlType::Full);
    // The mode's vector: nose up, turn (left > 0), roll (left wing down > 0).
    mode.setAirplaneVectorXYZ(*a, pitch, -yaw, -roll);
    if (throttle != 0.0f)
        a->setThrottleCommand(throttle);
}

void pullPlayerTrigger(GameMode& mode, int group, bool down)
{
    mode.setTriggerHeld(group, down);
    if (Airplane* a = mode.playerAirplane())
        mode.applyAirplaneInput(*a, group, down ? 1.0f : 0.0f);
}

void setPlayerBoost(GameMode& mode, bool on)
{
    if (Airplane* a = mode.playerAirplane())
        a->setCommandValue(on);
}

void togglePlayerAutopilot(GameMode& mode)
{
    mode.autopilot = !mode.autopilot;
    mode.reapplyPlayerAutopilot();
}

void ejectPlayerPilot(GameMode& mode)
{
    if (Airplane* a = mode.playerAirplane())
        mode.ejectPilot(*a, 0.0f, false);
}

void orderPlayerSquadron(GameMode& mode, int command)
{
    if (Airplane* a = mode.playerAirplane())
        mode.setSquadronOrder(*a, command);
}

void releasePlayerAirplane(GameMode& mode)
{
    if (Airplane* a = mode.playerAirplane()) {
        a->setControlVector({});
        a->setThrottleCommand(0.0f);
    }
}
