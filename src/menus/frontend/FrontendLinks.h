#pragma once
#include <functional>

class MenuFrame;
class SpriteButton;

// Pages the front-end leads to that are built elsewhere: each link is set
// where its page exists and hands out that page (through its getter). While a
// link is empty the button that leads there is disabled and skipped by focus.
struct FrontendLinks {
    std::function<MenuFrame*()> multiPlayer;
    // The online page readied for a quick match.
    std::function<MenuFrame*()> onlineQuickMatch;
    std::function<MenuFrame*()> profile;
    std::function<MenuFrame*()> campaignList;
    std::function<MenuFrame*()> dogFights;
    std::function<MenuFrame*()> customChat;
    // The online room browser, from the multiplayer page's online button.
    std::function<MenuFrame*()> onlineRooms;
};
FrontendLinks& frontendLinks();

// The tutorial question is due while the first tutorial is not done and the
// player never answered it with "play".
bool tutorialQuestionDue();
// Sets the answered flag, saving only when it changes.
void markTutorialQuestionAnswered();

// On or off, and greyed while off, so that a button leading nowhere yet
// reads as unavailable.
void setButtonAvailable(SpriteButton& button, bool available);
