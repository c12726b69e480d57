#pragma once
#include "ui/MenuContainer.h"
#include "ui/MenuHooks.h"

#include <map>

// A horizontal carousel: the content is dragged or flung sideways and always
// comes to rest with one child centred, the current item. The owner hears of
// taps, of the child passing the centre and of the end of a snap; inside its
// action it reads the child and its index from reportedItem and reportedIndex.
class HMenuItemsSlider : public MenuContainer {
public:
    static constexpr float kSnapSpeed = 33.0f;      // x the horizontal UI scale, per frame
    static constexpr float kDragDistance = 16.0f;   // x the UI scale, from the touch-down
    static constexpr float kFlingDecay = 300.0f;
    static constexpr float kFlingStop = 17.0f;
    static constexpr int kFlingReach = 20;          // pixels since two moves back for a fling

    HMenuItemsSlider();

    // MenuItem
    void update() override;
    bool onTouchDown(int x, int y) override;
    bool onTouchMove(int x, int y) override;
    bool onTouchUp(int x, int y) override;
    bool onScroll(float dx, float dy) override;
    bool onSwipe(float vx, float vy) override;
    // MenuContainer
    void placeItem(MenuItem* item) override;

    // Placed with the index the callbacks report for it (others report 0).
    void addItemWithIndex(MenuItem* item, int index);
    // The n-th child becomes current and is centred at once.
    void scrollToIndex(int n);
    // The next (previous) child slides to the centre; nothing at the ends.
    void nextPage();
    void prevPage();

    MenuItem* currentItem() const { return m_current; }
    int indexOf(MenuItem* item) const;
    int snapDirection() const { return m_direction; }
    int axisLock() const { return m_axisLock; }
    float flingVelocity() const { return m_velocity; }
    // The child's centre minus the slider's, in pixels.
    int centreOffset(const MenuItem& child) const;

    // The child an action is about, and the index it was added with (0 by default).
    MenuItem* reportedItem() const { return m_reported; }
    int reportedIndex() const { return indexOf(m_reported); }

    MenuAction onTap;      // the centred child was tapped
    MenuAction onCentre;   // while dragging or flinging: the child nearest the finger or the centre
    MenuAction onSelect;   // a tap picked a child that was not current
    MenuAction onSnapped;  // a snap ended with the current child centred
    int edgeLimit = 0;   // rubber band at both ends; 0: half the width

protected:
    // The child whose centre is nearest the slider's centre becomes current.
    void snapToCentre();
    void makeCurrent(MenuItem* item);
    MenuItem* nearestTo(int px) const;
    MenuItem* nearestCentre() const;
    void reportCentre(MenuItem* item);
    void report(const MenuAction& action, MenuItem* item);
    void scrollBy(float step);
    void relayoutNow();

private:
    void updateSnap();
    void updateFling();
    float releaseVelocity(float dx, float dt) const;

    MenuItem* m_current = nullptr;
    MenuItem* m_reported = nullptr;
    std::map<MenuItem*, int> m_indexes;
    int m_direction = 0;
    float m_lastMoveTime = 0.0f, m_previousMoveTime = 0.0f, m_releaseTime = 0.0f;
    float m_velocity = 0.0f;   // pixels per frame
    bool m_sliderDragged = false;
    int m_axisLock = 0;
    int m_prevX = 0, m_prevY = 0, m_prev2X = 0, m_prev2Y = 0;
    int m_downX = 0, m_downY = 0;
};

// The carousel a paged container builds for its pages: its size, an edge
// limit of a fifth of its width.
class MenuContainerSlider : public HMenuItemsSlider {
public:
    MenuContainerSlider(float w, float h);
};
