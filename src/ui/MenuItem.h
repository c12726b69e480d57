#pragma once
#include "platform/Math.h"

#include <array>
#include <cstdint>

class MenuContainer;

// The base of every element of the menu tree: a rectangle in screen pixels
// (origin top left, y down) with an anchor mode, alignment flags, visibility,
// focus links and the container that holds it. Owners set the fields
// directly, as for a record; layout computes the absolute position.
class MenuItem {
public:
    // Alignment flags: which part of the rectangle sits at the reference point.
    static constexpr std::uint32_t kAlignLeft = 0x02;      // wins over centre and right
    static constexpr std::uint32_t kAlignRight = 0x04;
    static constexpr std::uint32_t kAlignTop = 0x08;       // wins over centre and bottom
    static constexpr std::uint32_t kAlignBottom = 0x10;
    static constexpr std::uint32_t kAlignCentreY = 0x20;   // wins over bottom
    static constexpr std::uint32_t kAlignCentreX = 0x40;   // wins over right

    // Anchor modes; any value but 0 and 1 is placed by the parent's layout.
    static constexpr int kAnchorParent = 0;
    static constexpr int kAnchorAbsolute = 1;
    static constexpr int kAnchorPlaced = 3;

    // Focus link directions; the odd ones are the diagonals, never filled.
    static constexpr int kUp = 0, kRight = 2, kDown = 4, kLeft = 6;
    static constexpr int kLinkCount = 8;

    // Pick margin in units of the horizontal UI scale (scaled again by contains).
    static constexpr float kPickMargin = 10.0f;

    MenuItem() = default;
    virtual ~MenuItem() = default;
    MenuItem(const MenuItem&) = delete;
    MenuItem& operator=(const MenuItem&) = delete;

    virtual void draw() {}
    // False: the page draws the focus box around this item.
    virtual bool drawsOwnFocus() { return false; }
    virtual void update() {}
    virtual bool isContainer() const { return false; }
    // True when the item draws a frame (art or a box) its texts must stay in.
    virtual bool framesText() const { return false; }
    // Absolute position = offset + (dx, dy), truncated.
    virtual void moveBy(float dx, float dy);
    // Computes the absolute position from the origin (the parent's absolute
    // position plus what its layout adds).
    virtual void layout(int originX, int originY);
    // Input: true when handled; false lets the caller offer it elsewhere.
    virtual bool onTouchDown(int x, int y);
    virtual bool onTouchMove(int x, int y);
    virtual bool onTouchUp(int x, int y);
    virtual bool onTouchCancel() { return false; }
    virtual bool onScroll(float dx, float dy);
    virtual bool onSwipe(float vx, float vy);
    // This item when the point lies within the pick margin, else null.
    virtual MenuItem* pickAt(int x, int y);
    // The rectangle grown by margin x the horizontal UI scale, bounds included.
    virtual bool contains(int x, int y, float margin) const;
    virtual bool isInteractive() const { return interactive; }
    // Keyboard or controller activation (buttons fire here).
    virtual void activate() {}

    // Links this item to the target in that direction; the target's opposite
    // link is set back to this item only when it is still empty.
    void setNeighbour(int direction, MenuItem* target);
    void clearNeighbours() { links.fill(nullptr); }
    MenuItem* neighbour(int direction) const;

    std::uint32_t alignment = kAlignLeft | kAlignTop;
    bool focusable = false;
    std::array<MenuItem*, kLinkCount> links{};
    int anchorMode = kAnchorParent;
    MenuContainer* parent = nullptr;
    Color4 color;          // tint the widgets apply
    int tag = -1;          // free for the owner
    int x = 0, y = 0;      // position; written by layout in the placed mode
    int width = 0, height = 0;
    float offsetX = 0.0f, offsetY = 0.0f;
    int absX = 0, absY = 0;
    // A container's scroll offset, added to its children; a leaf's draw offset.
    float scrollX = 0.0f, scrollY = 0.0f;
    bool visible = true;   // hidden items are not drawn, take no room in lists, take no focus
    bool enabled = true;   // disabled items get no input and no focus
    bool interactive = false;
};
