#pragma once
#include "ui/MenuHooks.h"
#include "ui/MenuItem.h"
#include "ui/widgets/SceneMenuFrame.h"

#include <string>
#include <vector>

class Achievements;
class HMenuItemsSlider;
class KTAchievement;
class SpritePageIndicator;

// One achievement row: its icon (or the lock with a progress bar) and name.
class AchItem : public MenuItem {
public:
    static constexpr int kSheet = 12, kBarFrame = 0, kFillFrame = 1, kLockedFrame = 2, kIconBase = 3;
    static constexpr float kTextGap = 10.0f;   // between the icon and the name, at UI scale 1
    AchItem(const KTAchievement& achievement, int nameString, int rowWidth);

    void draw() override;
    bool drawsOwnFocus() override { return true; }
    // The name keeps to the row.
    bool framesText() const override { return true; }
    // Whether the bar under the lock is drawn.
    bool showsBar() const;

    const KTAchievement& achievement;
    int nameString;
    // The name broken into lines no wider than the row beside the icon,
    // made with the row so that drawing does not wrap it every frame.
    std::u16string shownName;
};

// Every achievement of the game as a row, the earned ones first, two columns
// to a page, on pages swiped sideways with their dots. Collections whose
// members are all earned are completed when the page is shown.
class AchievementsMenuFrame : public FilledMenuFrame {
public:
    static constexpr int kTitleString = 733;

    explicit AchievementsMenuFrame(Achievements* source = nullptr);

    void onShow() override;

    void buildItems();
    void nextPage();
    void prevPage();
    void onPageChanged(int page);
    // Marks the collections whose members are all earned.
    void completeCollections();
    static int rowHeight();

    HMenuItemsSlider* pager = nullptr;
    SpritePageIndicator* indicator = nullptr;
    // Every row in placement order; grows with the list.
    std::vector<AchItem*> rows;
    int rowsPerColumn = 1;

private:
    void placeRow(AchItem* row, int index, MenuContainer*& page, MenuContainer* columns[2]);
    void goToPage(int page);

    Achievements* m_source;
};
