#include "modes/GameModeFactory.h"

#include "modes/GameMode.h"
#include "modes/GameModeGlobals.h"
#include "modes/kinds/GameModeCampaign.h"
#include "modes/kinds/GameModeFFA.h"
#include "modes/kinds/GameModeFreeFlight.h"
#include "modes/kinds/GameModeCTF.h"
#include "modes/kinds/GameModeDF.h"
#include "modes/kinds/GameModeDTB.h"
#include "modes/kinds/GameModeLMS.h"
#include "modes/kinds/GameModeSRV.h"
#include "modes/tutorials/TutorialGameMode.h"

std::unique_ptr<GameMode> createGameMode(int gameType)
{
    if (!isKnownGameType(gameType))
        return nullptr;
    switch (static_cast<GameType>(gameType)) {
    case GameType::Campaign: return std::make_unique<GameModeCampaign>();
    case GameType::FreeForAll: return std::make_unique<GameModeFFA>();
    case GameType::TeamDeathmatch: return std::make_unique<GameModeTD>();
    case GameType::FreeFlight: return std::make_unique<GameModeFreeFlight>();
    case GameType::MenuBackground: return std::make_unique<GameModeMenu>();
    case GameType::CaptureTheFlag: return std::make_unique<GameModeCTF>();
    case GameType::DestroyTheBase: return std::make_unique<GameModeDTB>();
    case GameType::Survival: return std::make_unique<GameModeSRV>();
    case GameType::Dogfight: return std::make_unique<GameModeDF>();
    case GameType::LastManStanding: return std::make_unique<GameModeLMS>();
    case GameType::Tutorial: return createTutorialMode(tutorialIndex());
    default: break;
    }
    // The other types play by the base rules until their own kind exists.
    return std::make_unique<GameMode>(static_cast<GameType>(gameType));
}
