#pragma once
#include <functional>
#include <initializer_list>

class FilledMenuFrame;

class MenuFrame;
class MenuItem;
class MenuPanel;
class ResizableButton;
class ResizableLabel;
class SpriteLabel;

// What the pages over a running game reach beyond the menus: the network
// pages built elsewhere and the game starts. main.cpp sets the network pages;
// the starts default to the game's own, and tests put recording fakes in.
struct InGameLinks {
    std::function<MenuFrame*()> multiPlayer;   // the multiplayer hub
    std::function<MenuFrame*()> lanGames;      // the local-network game list
    std::function<MenuFrame*()> onlineRooms;   // the online room page
    // The current campaign mission from its beginning or, with
    // resumeFromCheckpoint set, from its checkpoint.
    std::function<void()> startCampaignMission;
    // Tutorial `index` on the tutorial map.
    std::function<void(int index)> startTutorial;
};
InGameLinks& inGameLinks();
// The game's own starts again (tests end with it).
void resetInGameLinks();

// The overlay closes, the game below takes the input again and runs on.
void resumeGame();
// The menu screen becomes current: the game screen leaves (ending the game).
void showMenuScreen();

// The label draws in its own white, whatever colour the game's drawing left
// the font in.
void useOwnTextColor(SpriteLabel& label);

// The parts the pause pages share. L is the line height of font 1.
int pauseLineHeight();
// The stacked band across the top with the stretched banner and the title
// (font 1, centred on (W/2, L)); its height is 3L + L/2.
MenuPanel* buildPauseTopBar(int titleStringId, SpriteLabel** titleOut, ResizableLabel** bannerOut);
// A text button of the pause pages: menu frames 158, 156, 157, font 2.
ResizableButton* makePauseButton(int stringId);
// The horizontal row along the bottom edge, screen-wide.
MenuPanel* buildPauseButtonRow();
// Equal gaps: the spacing is (width - content width) / (buttons + 1), and
// the leading margin takes the same with half the remainder.
void spreadPauseButtons(MenuPanel& row);

// The page covers the whole screen and drops the page's own back button, title
// and content panel: the pages over a game bring their own bands.
void coverScreenAsOverlay(FilledMenuFrame& page);
// Places the buttons in the row in order, spreads them and gives `focus` the focus.
void fillPauseButtonRow(FilledMenuFrame& page, MenuPanel& row, std::initializer_list<ResizableButton*> buttons,
                        ResizableButton* focus);
// Each showing: the row spread again, the page laid out twice (the second
// pass sees the sizes the first settled) and the focus back on `focus`.
void refreshPausePage(MenuFrame& page, MenuPanel& row, MenuItem* focus);
