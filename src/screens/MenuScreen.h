#pragma once
#include "screens/IGameScreen.h"

// The screen behind the menus. It loads in 18 steps, once a run, from the menu
// loading screen; entering it again later does not repeat them.
class MenuScreen : public IGameScreen {
public:
    static constexpr int kLoadSteps = 18;

    float loadStep() override;
    bool isLoaded() const override { return m_loaded; }
    void init() override;
    void update() override;
    void draw() override;
    void onTouchDown(int id, int x, int y) override;
    void onTouchUp(int id, int x, int y) override;
    void onTouchMove(int id, int x, int y) override;

    int trackedTouch() const { return m_touchId; }
    int loadCounter() const { return m_step; }

private:
    void loadSettingsAndLanguage();

    int m_touchId = 0;   // the touch being followed; 0 none
    bool m_loaded = false;
    bool m_initDone = false;
    int m_step = 0;      // lives for the whole run
};

MenuScreen& menuScreen();
