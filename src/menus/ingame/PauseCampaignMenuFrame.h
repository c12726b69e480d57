#pragma once
#include "menus/ingame/PauseOverlayFrame.h"
#include "platform/Math.h"

#include <string>
#include <vector>

class MenuPanel;
class PauseCampaignSlider;
class ResizableButton;
class ResizableLabel;
class SpriteLabel;
class SpritePageIndicator;

// What the objectives page counts, read from the HUD's markers, the game mode
// and the settings at the moment of pausing.
struct ObjectiveSnapshot {
    struct Marker {
        bool objective = false;
        int kind = 0;        // a target kind, 20 a waypoint
        int team = 255;      // 255: none
        Vec3 position;
        float radius = 1.0f; // a waypoint's trigger radius
    };
    std::vector<Marker> markers;
    bool hasPlayer = false;
    Vec3 playerPosition;
    int playerTeam = 0;
    bool metric = false;

    // The running game's markers, player airplane and unit setting.
    static ObjectiveSnapshot read();
};

// The campaign pause over a frozen mission: two pages (the objectives and the
// radio log) slid sideways under a banner, and quit, controls, sound, restart
// and resume along the bottom.
class PauseCampaignMenuFrame : public PauseOverlayFrame {
public:
    static constexpr int kTitleString = 12, kObjectivesString = 229, kLogString = 1026;
    static constexpr int kQuitString = 24, kControlsString = 19, kAudioString = 8, kRestartString = 130,
                         kResumeString = 129;
    static constexpr int kWaypointString = 230, kEnemiesString = 231, kFriendsString = 232, kClassString = 234;
    static constexpr int kFeetString = 4862, kMetresString = 4863;
    static constexpr int kWaypointKind = 20, kNoTeam = 255;
    static constexpr double kFeetPerUnit = 3.2808399;
    static constexpr int kListFrame = 95, kScrollThumbFrame = 182;

    // The enemy classes that get a row of their own, in row order, with their names.
    struct EnemyClass {
        int kinds[2];
        int nameString;
    };
    static constexpr EnemyClass kEnemyClasses[5] = {
        {{11, 11}, 236}, {{9, 10}, 240}, {{0, 0}, 237}, {{4, 5}, 238}, {{8, 8}, 239}};

    PauseCampaignMenuFrame();

    void onShow() override;

    // Both lists afresh from the running game.
    void fillObjectives();
    void fillObjectives(const ObjectiveSnapshot& snapshot);
    void onPageChanged(MenuItem* page);
    // Back to the menus: main, play and, for a mission, the mission list.
    void onQuit();
    // The mission from its beginning, not from a checkpoint.
    void onRestart();

    // The texts of the objective rows and of the log, as shown.
    std::vector<std::u16string> objectiveTexts() const;
    std::vector<std::u16string> logTexts() const;

    PauseCampaignSlider* slider = nullptr;
    ResizableButton* restartButton = nullptr;
    ResizableButton* quitButton = nullptr;
    ResizableButton* controlsButton = nullptr;
    SpriteLabel* title = nullptr;
    ResizableLabel* banner = nullptr;
    MenuPanel* topBar = nullptr;
    MenuPanel* buttonRow = nullptr;
    MenuPanel* objectivesPage = nullptr;
    MenuPanel* logPage = nullptr;
    MenuPanel* objectivesList = nullptr;
    SpriteLabel* objectivesHeading = nullptr;
    MenuPanel* logList = nullptr;
    SpriteLabel* logHeading = nullptr;
    SpritePageIndicator* pageIndicator = nullptr;

private:
    MenuPanel* buildPage(int headingString, int pageHeight, SpriteLabel** headingOut, MenuPanel** listOut);
    void addRow(MenuPanel& list, const std::u16string& text, bool wrapped);
    void addGap(MenuPanel& list);

    unsigned m_shownFor = 0;  // the match the page was last shown over
};
