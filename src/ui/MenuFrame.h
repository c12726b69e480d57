#pragma once
#include "ui/MenuContainer.h"

#include <vector>

class ResizableButton;

// One full-screen menu page: a container in page mode with a back button and
// the item that key and controller navigation moves from. Pages are made
// once by their owners and live for the whole program.
class MenuFrame : public MenuContainer {
public:
    static constexpr int kBackStringId = 9;
    static constexpr int kBackLeftCap = 155, kBackMiddle = 156, kBackRightCap = 157;
    static constexpr int kBackFont = 1;
    static constexpr int kFocusBoxFrame = 94;

    MenuFrame();

    // MenuContainer
    void draw() override;
    void removeItem(MenuItem* item) override;
    void clear() override;

    // The page became current / stopped being current.
    virtual void onShow() {}
    virtual void onHide() {}
    virtual void refocus() { rebuildFocusLinks(); }
    // The back button's action: going back.
    virtual void onBack();
    // The back key; false lets the framework go back.
    virtual bool onEscape() { return false; }
    // Follows the focused item's link in that direction (0 up, 2 right, 4 down, 6 left).
    virtual void moveFocus(int direction);
    virtual void activateFocused();
    // Lays the page out and links every visible, enabled, focusable item to
    // its best neighbour in each of the four directions.
    virtual void rebuildFocusLinks();

    ResizableButton* backButton() const { return m_backButton; }

    MenuItem* focusedItem = nullptr;

private:
    // The pulsing boxes around the focused item, kept off the item itself and
    // cut where a list cuts the item.
    void drawFocusHighlight(const MenuItem& item);

    ResizableButton* m_backButton = nullptr;
};

// Appends the container's focusable items, depth first in draw order; hidden
// and disabled items and their children are left out.
void collectFocusableItems(const MenuContainer& container, std::vector<MenuItem*>& out);
// Links the item to its best neighbour among the items in each of the four
// directions (nearness and angle both count; the back links never overwrite).
void computeFocusNeighbours(MenuItem& item, const std::vector<MenuItem*>& items);
