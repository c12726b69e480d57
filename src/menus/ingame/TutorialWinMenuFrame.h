#pragma once
#include "ui/MenuFrame.h"

class MenuPanel;
class SpriteButton;
class SpriteLabel;

// The finished lesson. It stays until the player picks the next lesson or the
// menus; after the last lesson "next" opens the menus on the campaign's missions.
class TutorialWinMenuFrame : public MenuFrame {
public:
    static constexpr int kPanelFrame = 204;
    static constexpr int kTitleString = 188, kDoneString = 241, kNextStringBase = 243, kBackString = 24;
    // The next button's label past the lessons that have a text of their own.
    static constexpr int kNextFallbackString = 18;
    static constexpr int kLastTutorial = 5, kTutorialCount = 6;

    TutorialWinMenuFrame();

    void update() override;
    void onShow() override;

    // The next lesson (the arcade one is skipped); after the last, the menus.
    void nextTutorial();
    // The menus: main, play, then the tutorial list or the mission list.
    void backToMenus();
    // The tutorial completing `index` leads to; -1 for the menus.
    static int followingTutorial(int index);

    MenuPanel* topPanel = nullptr;
    MenuPanel* bottomPanel = nullptr;
    SpriteButton* nextButton = nullptr;
    SpriteButton* backToMenusButton = nullptr;
    SpriteLabel* titleText = nullptr;
    SpriteLabel* doneText = nullptr;
};
