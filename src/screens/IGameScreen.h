#pragma once

// Touches in screen pixels (origin top left); the id of a touch is never 0.
class ITouchListener {
public:
    virtual ~ITouchListener() = default;
    virtual void onTouchDown(int id, int x, int y) { (void)id, (void)x, (void)y; }
    virtual void onTouchUp(int id, int x, int y) { (void)id, (void)x, (void)y; }
    virtual void onTouchMove(int id, int x, int y) { (void)id, (void)x, (void)y; }
};

// A screen: the splash, the loading screens, the menu, the game, the pause
// overlay. Screens are static objects that live for the whole run; the
// switching functions of Screens.h call these.
class IGameScreen : public ITouchListener {
public:
    virtual void onBack() {}
    virtual void onTouchCancel(int id) { (void)id; }
    virtual void onScroll(int id, float dx, float dy) { (void)id, (void)dx, (void)dy; }
    virtual void onSwipe(int id, float vx, float vy) { (void)id, (void)vx, (void)vy; }
    virtual void draw() = 0;
    virtual void update() = 0;   // reads the frame delta
    // Drawn with an opacity 0..1.
    virtual void drawFaded(float alpha) { (void)alpha; }
    virtual void onEnter() {}    // became current, or opened as the overlay
    virtual void onLeave() {}    // stops being current, or the overlay closed
    virtual void onPause() {}    // an overlay opened above it
    virtual void onResume() {}   // the overlay above it closed
    virtual void init() {}
    // The next loading step; the progress 0..1, where exactly 1.0 means done.
    virtual float loadStep() { return 1.0f; }
    // As the open overlay: true lets the current screen go on updating below.
    virtual bool updatesScreenBelow() const { return false; }
    virtual bool isLoaded() const { return true; }
    // As the open overlay: true makes it the screen that takes the input.
    virtual bool takesInputAsOverlay() const { return true; }
};
