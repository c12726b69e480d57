#pragma once
#include <string_view>

class AchievementsMenuFrame;
class AudioMenuFrame;
class ControlsMenuFrame;
class CreditsMenuFrame;
class GameSetupMenuFrame;
class GraphicsSettingsMenuFrame;
class HowToPlayMenuFrame;
class MenuFrame;

// The set-up and information pages: each made on its first request and kept
// for the rest of the run.
GameSetupMenuFrame& gameSetupMenu();
ControlsMenuFrame& controlsMenu();
GraphicsSettingsMenuFrame& graphicsSettingsMenu();
AudioMenuFrame& audioMenu();
AchievementsMenuFrame& achievementsMenu();
HowToPlayMenuFrame& howToPlayMenu();
CreditsMenuFrame& creditsMenu();

// The page of that name ("setup", "controls", "graphics", "audio",
// "achievements", "howtoplay", "credits"); null for any other name.
MenuFrame* menuPageByName(std::string_view name);
// The set-up page readied for a skirmish of its game type, its map starting
// the game through the game start. Used by "-menupage setup".
void prepareSkirmishSetup();
