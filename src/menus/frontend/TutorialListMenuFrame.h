#pragma once
#include "menus/frontend/TutorialEntry.h"
#include "ui/widgets/SceneMenuFrame.h"

#include <functional>

class MenuPanel;

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
