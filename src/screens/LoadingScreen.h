#pragma once
#include "screens/IGameScreen.h"

// The screen shown while another screen loads: it calls that screen's load
// step once a frame and makes it current when the step reports exactly 1.0.
// Two instances: the game loading screen and the menu loading screen.
class LoadingScreen : public IGameScreen {
public:
    static constexpr int kArtSpriteSet = 5;   // frame 0 the picture, frame 1 the spinner
    static constexpr float kSpinRate = -5.0f; // radians a second

    // Starts loading `next` afresh: progress 0, not started.
    void prepare(IGameScreen* next);

    void update() override;
    void draw() override;
    void drawFaded(float) override { draw(); }
    float loadStep() override { return 1.0f; }
    bool isLoaded() const override { return true; }

    IGameScreen* next() const { return m_next; }
    float progress() const { return m_progress; }
    bool started() const { return m_started; }

private:
    IGameScreen* m_next = nullptr;
    float m_progress = 0.0f;
    bool m_started = false;
    float m_spinnerAngle = 0.0f;
};

LoadingScreen& gameLoadingScreen();
LoadingScreen& menuLoadingScreen();
