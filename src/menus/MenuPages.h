#pragma once
#include "ui/MenuHooks.h"

#include <string_view>

class FilledMenuFrame;
class MenuFrame;
class MenuPanel;
class SpriteButton;

// The page of that name ("setup", "controls", "graphics", "audio",
// "achievements", "howtoplay", "credits", "main", "play", "tutorials",
// "options", "othersettings", "language", "campaigns", "missions:<1-3>",
// "briefing:<mission record>", "dogfights", "comic:<comic name>", "setkeys",
// "joycfg", "profile", "painting", "weapons", "pausecampaign", "campaignfail",
// "freeflightpause", "tutorialpause", "result", "multiplayer", "servers", "lan",
// "lancreate", "customchat", "online", "onlinecreate", "onlinefilters"); null
// for any other name.
MenuFrame* menuPageByName(std::string_view name);
// The mission list of campaign "1" to "3"; null for another text.
MenuFrame* campaignMissionsPage(std::string_view campaign);
// The briefing of the campaign mission with that record name; null for none.
MenuFrame* briefingPage(std::string_view missionName);
// The comics page with the comic loaded, its end leading back.
MenuFrame* comicPage(std::string_view comicName);
// The set-up page readied for a skirmish of its game type, its map starting
// the game through the game start. Used by "-menupage setup".
void prepareSkirmishSetup();
// The weapon choice for that plane, as the scene pages' weapons button opens it.
void openWeaponSelection(int planeId);
// A page that lays out its own items: the content panel hidden, the title
// and the back button with the page's own texts.
void useOwnLayout(FilledMenuFrame& page, int titleString, int backString);
// A button of a scene page's bottom bar, added to it: the icon frame with the
// label right of it, reached by the controller.
SpriteButton* addBarButton(MenuPanel& bar, int frameNumber, int stringId, MenuAction action);
// Makes the bottom bar tall enough for its buttons with a small margin and
// stands it on the screen's foot, the buttons centred in it: buttons as tall
// as the bar's art would otherwise hang past the screen's edge.
void fitBarToButtons(MenuPanel& bar);
// The x at height y of the connector line from (x0, y0) to (x1, y1), the
// point where a branch leaves it; an end's x when y lies beyond that end.
int connectorPointAtY(int x0, int y0, int x1, int y1, int y);
// The leading margin that keeps a bar's row of buttons of the content width
// inside the screen, `margin` from its edges, and as near `wanted` as that allows.
int barPaddingWithinScreen(int wanted, int content, int margin);
