#pragma once
#include <string_view>

class MenuFrame;

// The page of that name ("setup", "controls", "graphics", "audio",
// "achievements", "howtoplay", "credits", "setkeys", "joycfg", "profile",
// "painting", "weapons"); null for any other name.
MenuFrame* menuPageByName(std::string_view name);
// The set-up page readied for a skirmish of its game type, its map starting
// the game through the game start. Used by "-menupage setup".
void prepareSkirmishSetup();
// The weapon choice for that plane, as the scene pages' weapons button opens it.
void openWeaponSelection(int planeId);
