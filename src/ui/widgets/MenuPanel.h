#pragma once
#include "ui/MenuContainer.h"

class CSprite;

// The general sub-container of a page: an optional background (one frame,
// scaled, tiled or a nine-patch), a dim rectangle, an alpha and an overlay
// frame drawn over its children.
class MenuPanel : public MenuContainer {
public:
    explicit MenuPanel(int layout);
    // Placed in the parent when one is given.
    MenuPanel(int layout, int w, int h, MenuContainer* parentItem);
    // The background frame of the sprite; the panel takes the frame's size.
    MenuPanel(CSprite* background, int frame, int layout);

    // MenuItem
    void draw() override;
    bool framesText() const override;
    // MenuContainer: a list that does not fit scrolls the focused child into view.
    void scrollToChild(MenuItem* child) override;

    float alpha = 1.0f;             // 0 or below: nothing of the panel is drawn
    float backgroundScale = 1.0f;   // children are drawn only at exactly 1
    bool dim = false;
    bool tiled = false;
    bool ninePatch = false;
    int overlayFrame = -1;

private:
    void init(int layout);
    void drawBackground(CSprite& sprite);
};

// An empty item that only takes room in a layout.
class MenuSpacer : public MenuItem {
public:
    MenuSpacer(int w, int h, MenuContainer* parentItem = nullptr);
};
