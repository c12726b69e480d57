#pragma once
#include "menus/frontend/BriefingMapMenu.h"
#include "ui/widgets/SceneMenuFrame.h"
#include "ui/widgets/SpriteLabel.h"

#include <functional>
#include <memory>
#include <string>

class MenuPanel;
class ResizableButton;
class SpriteCheckbox;
struct MapInfoCfg;

// The side's flag from the HUD sheet before a line of text.
class BriefingFlagLabel : public SpriteLabel {
public:
    BriefingFlagLabel();
    void draw() override;
    // The icon and the text after it, wrapped to the width; the label sized to both.
    void set(int flagFrame, std::u16string_view line, int maxWidth);

    int flagFrame = 0;
};

// The last page before a campaign mission: the briefing text, the side's
// flag and proposed plane, the animated map, the difficulty, fly and, when a
// checkpoint of the mission exists at the chosen difficulty, resume.
class BriefingMenuFrame : public FilledMenuFrame {
public:
    static constexpr int kBackString = 12, kTitleString = 1765;
    static constexpr int kFlyString = 47, kResumeString = 45, kPlaneString = 6;
    static constexpr int kDifficultyStrings[3] = {1785, 1786, 1787};
    static constexpr int kPanelFrame = 95, kScrollThumbFrame = 115;

    BriefingMenuFrame();
    ~BriefingMenuFrame() override;

    // The mission's record (not owned); null for none.
    void setMission(const MapInfoCfg* record) { m_mission = record; }
    const MapInfoCfg* mission() const { return m_mission; }

    void onShow() override;
    void onHide() override;
    void draw() override;
    void update() override;
    void rebuildConnectorLines() override;

    void onFly();
    void onFlyResume();
    // A difficulty box was checked or clicked while checked.
    void onDifficultyChecked(int box);
    void onDifficultyUnchecked(int box);
    // The checkpoint file of the mission at the difficulty.
    static std::string checkpointName(const MapInfoCfg& record, int difficulty);
    // Shows resume when the mission's checkpoint at the difficulty exists.
    void updateResume(int difficulty);

    BriefingMapMenu* map() const { return m_map.get(); }

    // Starts the mission; the game start when empty (tests record it).
    std::function<void(int campaign, int mission, int difficulty, int resume)> startMission;

    int sideMargin = 0, panelSize = 0, band = 0;
    MenuPanel* leftPanel = nullptr;
    MenuPanel* rightPanel = nullptr;
    MenuPanel* difficultyPanel = nullptr;
    SpriteLabel* briefingLabel = nullptr;
    BriefingFlagLabel* flagLabel = nullptr;
    SpriteCheckbox* difficultyBoxes[3] = {nullptr, nullptr, nullptr};
    ResizableButton* flyButton = nullptr;
    ResizableButton* resumeButton = nullptr;

private:
    void fly(int resume);
    // The briefing text (-1 none) and the flag line, laid into the left panel.
    void fillLeftPanel(int briefingText, int flagFrame, std::u16string_view flagLine);
    void placeButtons();
    int checkedDifficulty() const;

    const MapInfoCfg* m_mission = nullptr;
    std::unique_ptr<BriefingMapMenu> m_map;
    bool m_shown = false;
};
