#pragma once
#include "menus/ingame/EndTableFrame.h"
#include "menus/ingame/ScoreEntry.h"

// The score table of matches without teams (free-for-all, survival, last man
// standing alone): pause menu, end-of-match table and score peek. Its
// continue leads to the game result.
class SkirmishEndMenuFrame : public EndTableFrame {
public:
    using ScoreEntry = ::ScoreEntry;
    static constexpr int kFfaTitle = 26, kSurvivalTitle = 16, kLmsTitle = 25;

    SkirmishEndMenuFrame();

    // MenuFrame
    void update() override;
    void onShow() override;
    void onHide() override;
    // Resumes or leaves; the key is taken, so back never runs besides it.
    bool onEscape() override;
    void rebuildConnectorLines() override;

    void rebuildTable() override;
    void showHeadline() override;
    int titleString() const override;
    // The headings over the columns the rows use now.
    void placeColumnHeadings();

    SpriteLabel* titleText = nullptr;
    SpriteLabel* waveLabel = nullptr;
    MenuPanel* headerStrip = nullptr;
    MenuPanel* table = nullptr;
    std::vector<SpriteLabel*> headings;
};
