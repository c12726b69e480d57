#pragma once
#include "ui/widgets/SceneMenuFrame.h"
#include "ui/widgets/SpriteButton.h"

#include <functional>

class MenuPanel;

// One tutorial of the list: its thumbnail, its name and, once done, a mark.
class TutorialEntry : public SpriteButton {
public:
    static constexpr int kThumbSet = 14;
    static constexpr int kFirstNameString = 189;
    static constexpr int kDoneFrame = 128, kNamePlateFrame = 134;

    explicit TutorialEntry(int tutorialIndex);

    void draw() override;
    // Starts only a tap: a drag of the row that ends on an entry starts nothing.
    bool onTouchUp(int x, int y) override;
    void activate() override;

    int thumbSet = kThumbSet;
    int tutorialIndex = 0;
};

// The tutorials as a row of picture buttons; one starts its lesson as a game.
// Kept through the language rebuild.
class TutorialListMenuFrame : public FilledMenuFrame {
public:
    static constexpr int kTutorialCount = 6;
    static constexpr int kHiddenTutorial = 1;   // the arcade lesson is not offered
    static constexpr int kTitleString = 727, kBackString = 726;

    TutorialListMenuFrame();

    void update() override;
    void onShow() override;
    void scrollRight() override { pageStep = 10; }
    void scrollLeft() override { pageStep = -10; }

    // Sets the choices a tutorial flies with, then starts it.
    void start(int tutorialIndex);

    MenuPanel* row = nullptr;
    TutorialEntry* firstEntry = nullptr;
    TutorialEntry* entries[kTutorialCount] = {};
    int pageStep = 0;
    // The game start; createGame unless a test sets its own.
    std::function<void(int type, int map, int tutorialIndex)> launch;
    // True while the lessons' game modes can be made; entries stay off otherwise.
    std::function<bool()> tutorialsAvailable;
};
