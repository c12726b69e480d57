#pragma once
#include "ui/widgets/SceneMenuFrame.h"

#include <functional>

class MenuPanel;
class SpriteButton;

// The map of the game about to start and the last map the rotation handed
// out; program-wide, never saved.
struct MapChoice {
    int selectedMap = 0;
    int mapRotation = 0;
};
MapChoice& mapChoice();

// Every single-player way to play: the campaign, survival and the dogfights
// in the middle, six match kinds on the sides, the tutorials at the top. A
// match kind opens the set-up page, whose start comes back to startGame.
class PlayMenuFrame : public FilledMenuFrame {
public:
    static constexpr int kTitleString = 41, kBackString = 883, kSetupBackString = 726;
    static constexpr int kButtonFont = 1;
    static constexpr float kSideButtonScale = 0.75f, kTutorialsScale = 0.5f;

    PlayMenuFrame();

    void onShow() override;
    void rebuildConnectorLines() override;

    void onCampaign();
    void onSurvival();
    void onDogFights();
    void onMode2();
    void onMode3();
    void onMode4();
    void onMode5();
    void onMode13();
    void confirmCampaign();
    void confirmSurvival();
    void confirmDogFights();
    void confirmMode(int type);
    void openTutorials();
    // The set-up page's start: the chosen map or the next in rotation, the
    // match table filled from the chosen options, then the game.
    void startGame();
    // Sizes and places the three panels; adds them only while building.
    void buildList(bool addPanels);

    MenuPanel* centrePanel = nullptr;
    MenuPanel* leftPanel = nullptr;
    MenuPanel* rightPanel = nullptr;
    SpriteButton* campaignButton = nullptr;
    SpriteButton* survivalButton = nullptr;
    SpriteButton* dogFightsButton = nullptr;
    SpriteButton* ffaButton = nullptr;
    SpriteButton* freeFlightButton = nullptr;
    SpriteButton* lmsButton = nullptr;
    SpriteButton* ctfButton = nullptr;
    SpriteButton* dtbButton = nullptr;
    SpriteButton* tdButton = nullptr;
    SpriteButton* tutorialsButton = nullptr;

    // The count of maps the rotation walks and the game start; the map lists
    // and createGame unless a test sets its own.
    std::function<int()> mapCount;
    std::function<void(int type, int map)> launch;

    // A game-type button: the type's picture over its name; the host pages use it too.
    static SpriteButton* makeButton(int frame, int stringId, float scale, MenuAction action);
    // A framed side panel that lists game-type buttons; the host pages use it too.
    static MenuPanel* makeSidePanel();

private:
    void askFirst(MenuAction confirm);
};

// The two bent lines from the ends of the page's title down to the tops of
// the side panels; with an item under the title, they bend above it and
// pass outside its sides.
void addTitleElbows(SceneMenuFrame& page, const MenuPanel& left, const MenuPanel& right,
                    const MenuItem* keepClear = nullptr);

// The set-up page for free flight: type 10 and the rows free flight uses.
void openFreeFlightSetup();
