#include "modes/tutorials/TutorialGameMode.h"

#include "modes/tutorials/TutorialGameMode_ARCADE.h"
#include "modes/tutorials/TutorialGameMode_CONTROLS.h"
#include "modes/tutorials/TutorialGameMode_HUD.h"
#include "modes/tutorials/TutorialGameMode_MANEUVERSSQUAD.h"
#include "modes/tutorials/TutorialGameMode_SIMPLEWEAPONS.h"
#include "modes/tutorials/TutorialGameMode_TAKEOFFLAND.h"

std::unique_ptr<GameMode> createTutorialMode(int index)
{
    switch (index) {
    case 0: return std::make_unique<TutorialGameMode_HUD>();
    case 1: return std::make_unique<TutorialGameMode_ARCADE>();
    case 2: return std::make_unique<TutorialGameMode_CONTROLS>();
    case 3: return std::make_unique<TutorialGameMode_TAKEOFFLAND>();
    case 4: return std::make_unique<TutorialGameMode_SIMPLEWEAPONS>();
    case 5: return std::make_unique<TutorialGameMode_MANEUVERSSQUAD>();
    default: return nullptr;
    }
}
