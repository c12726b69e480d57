#pragma once
#include "ui/MenuItem.h"

#include <array>
#include <memory>
#include <vector>

class CSprite;
class HMenuItemsSlider;
class SpritePageIndicator;

// An item that owns child items, lays them out by one of five modes, clips
// and draws them, routes touches to them and scrolls its content (drag with a
// rubber band, fling, spring-back, wheel, animated scroll-to, fading bars).
class MenuContainer : public MenuItem {
public:
    // Touch modes.
    static constexpr int kTouchInside = 0;   // touches must land inside; children get them at once
    static constexpr int kTouchPage = 1;     // anywhere, no clipping, grows with its content
    static constexpr int kTouchList = 2;     // a child gets its press only when the finger lifts without dragging
    // Layout modes.
    static constexpr int kLayoutList = 0, kLayoutRow = 1, kLayoutStacked = 2, kLayoutPaged = 3, kLayoutGrid = 4;
    // Child alignment of a vertical list.
    static constexpr int kChildLeft = 0, kChildCentre = 1, kChildRight = 2;
    static constexpr int kDefaultThumbFrame = 117;
    // Scroll-bar fade states.
    static constexpr int kBarHidden = 0, kBarFadingIn = 1, kBarFadingOut = 2, kBarShown = 3;

    MenuContainer();
    ~MenuContainer() override;

    // MenuItem
    void draw() override;
    void update() override;
    bool isContainer() const override { return true; }
    void layout(int originX, int originY) override;
    bool onTouchDown(int x, int y) override;
    bool onTouchMove(int x, int y) override;
    bool onTouchUp(int x, int y) override;
    bool onTouchCancel() override;
    bool onScroll(float dx, float dy) override;
    bool onSwipe(float vx, float vy) override;
    MenuItem* pickAt(int x, int y) override;
    bool contains(int x, int y, float margin) const override;
    bool isInteractive() const override { return false; }

    // Takes ownership; appended to both lists, not positioned. The form new
    // code uses: the caller keeps the returned reference, the container owns.
    template <typename T>
    T& add(std::unique_ptr<T> item)
    {
        T& added = *item;
        addItem(item.release());
        return added;
    }
    // The same from a raw pointer, for the older pages.
    virtual void addItem(MenuItem* item);
    // Takes ownership, positions the item by the layout mode and grows the content.
    virtual void placeItem(MenuItem* item);
    virtual void addItemFront(MenuItem* item);
    // Unlinks the item (not deleted; the caller owns it again) and lays out again.
    virtual void removeItem(MenuItem* item);
    virtual int itemCount() const { return static_cast<int>(m_drawList.size()); }
    // Null out of range.
    virtual MenuItem* itemAt(int index) const;
    // Deletes every child.
    virtual void clear();
    // The page background; with a background frame set, the size becomes the frame's.
    virtual void setBackground(CSprite* sprite, bool flag);
    virtual CSprite* getBackground() const { return m_frameBackground; }
    // Brings a focused child into view; nothing here (panels scroll to it).
    virtual void scrollToChild(MenuItem*) {}

    void sendToBack(MenuItem* item);         // drawn first
    void giveInputPriority(MenuItem* item);  // offered touches first
    void bringToFront(MenuItem* item);       // drawn last

    // Shows the scroll bar with that thumb frame of the menu sprite set.
    void setScrollBar(int thumbFrame, float offsetX, float offsetY);
    // Starts the animated scroll that brings the child to the middle.
    void scrollToItem(MenuItem* child);
    void recomputeOverscrollLimits();

    const std::vector<MenuItem*>& drawList() const { return m_drawList; }
    const std::vector<MenuItem*>& inputList() const { return m_inputList; }
    MenuItem* touchedChild() const { return m_touchedChild; }
    bool dragged() const { return m_dragged; }
    bool dragPending() const { return m_dragPending; }

    // Settings and state, set by owners as for a record.
    int touchMode = kTouchList;
    int contentWidth = 0, contentHeight = 0;
    bool swallowTouches = false;
    int layoutMode = kLayoutList;
    int childAlignment = kChildCentre;
    bool bottomUp = false;
    int spacing = 0;
    int paddingX = 0, paddingY = 0;
    int backgroundFrame = -1;
    bool fillWhenShort = false;
    bool filled = false;
    float clipMarginX = 0.0f, clipMarginY = 0.0f;
    // The item whose box this container's texts keep to when its own is not
    // the frame the player sees (a background drawn apart); null: its own.
    const MenuItem* textFrame = nullptr;
    int overscrollLimitX = 0, overscrollLimitY = 0;
    bool needsRelayout = false;
    bool fixedSize = false, overflowed = false;
    bool autoSize = false;
    bool kinetic = false;
    float flingVelocityX = 0.0f, flingVelocityY = 0.0f;
    bool scrollToXActive = false, scrollToYActive = false;
    float scrollTargetX = 0.0f, scrollTargetY = 0.0f;

    struct ScrollBar {
        bool shown = false;
        float offsetX = 0.0f, offsetY = 0.0f;
        int thumbFrame = kDefaultThumbFrame;
        int trackFrame = -1;
        int barWidth = 0, thumbHeight = 0;
        int state = kBarHidden;
        float alpha = 0.0f;
    };
    ScrollBar scrollBar;

    // Paged mode: the carousel of pages and its dots, made with the first item.
    HMenuItemsSlider* pageSlider = nullptr;
    SpritePageIndicator* pageIndicator = nullptr;

protected:
    // Lays this container out again where its anchor mode puts it.
    void relayoutSelf();
    void drawScrollBars();
    // The x of a placed child in a vertical list, by the child alignment.
    int listChildX(const MenuItem& child, int originX) const;
    void forget(MenuItem* item);
    // Paged mode: onto the last page, or a new page when it is full.
    void placePagedItem(MenuItem* item);

    std::vector<MenuItem*> m_drawList;   // owns the children; draw, layout, pick and update order
    std::vector<MenuItem*> m_inputList;  // the same items in the order touches are offered
    CSprite* m_frameBackground = nullptr;
    bool m_backgroundFlag = false;

    // Gesture state.
    int m_lastTouchX = 0, m_lastTouchY = 0;
    bool m_dragPending = false;
    MenuItem* m_touchedChild = nullptr;
    bool m_dragged = false;
    struct TouchSample {
        float time = 0.0f, x = 0.0f, y = 0.0f;
    };
    std::array<TouchSample, 4> m_samples{};
    int m_sampleIndex = 0;
    int m_sampleCount = 0;
};
