#include "screens/ScreenInput.h"

#include "platform/Controls.h"
#include "platform/Settings.h"

void runPausedInput(bool hasPlayerAirplane, float dt)
{
    Controls& input = controls();
    if (hasPlayerAirplane)
        input.releasePlayerStick();
    input.updateMenuActions(dt);
}

void runPlayInput(bool overlayUp, float dt)
{
    Controls& input = controls();
    if (overlayUp)
        input.updateMenuActions(dt);
    else
        input.updateGameActions();
}

void applyControlDevice() { controls().setCurrentScheme(settings().controlDevice); }
