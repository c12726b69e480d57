#pragma once
#include "menus/ingame/EndTableFrame.h"
#include "menus/ingame/ScoreEntry.h"

#include <array>

// The score tables of team matches and the dogfight: both teams side by
// side with their totals, the bases or flags column where the mode has one,
// and a switch-team button. Pause menu, end table and score peek as the
// individual table.
class TeamSkirmishEndMenuFrame : public EndTableFrame {
public:
    using ScoreEntry = ::ScoreEntry;
    static constexpr int kSwitchTeamText = 10;
    static constexpr int kBasesHeading = 1183, kFlagsHeading = 1184;

    TeamSkirmishEndMenuFrame();

    // MenuFrame
    void draw() override;
    void update() override;
    void onShow() override;
    void onHide() override;
    bool onEscape() override;

    void rebuildTable() override;
    void showHeadline() override;
    int titleString() const override;
    // Places the headings for the mode and decides the switch-team button.
    void layoutColumns();
    void onSwitchTeam();
    // Whether the local player may switch now (the button's rule).
    static bool switchTeamAllowed();

    static GameType titleType(GameType type);

    std::array<MenuPanel*, 2> tables{};
    std::array<MenuPanel*, 2> headerStrips{};
    std::array<SpriteLabel*, 2> totals{};
    std::array<std::vector<SpriteLabel*>, 2> headings;   // score, deaths, plane, bases, flags
    SpriteLabel* titleText = nullptr;
    SpriteLabel* missionLabel = nullptr;
    ResizableButton* switchButton = nullptr;
};
