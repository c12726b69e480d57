#pragma once
#include <string_view>

class MenuFrame;

// The page of that name ("setup", "controls", "graphics", "audio",
// "achievements", "howtoplay", "credits", "main", "play", "tutorials",
// "options", "othersettings", "language"); null for any other name.
MenuFrame* menuPageByName(std::string_view name);
// The set-up page readied for a skirmish of its game type, its map starting
// the game through the game start. Used by "-menupage setup".
void prepareSkirmishSetup();
