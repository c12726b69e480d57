#pragma once
#include "platform/Math.h"
#include "screens/IGameScreen.h"

#include <cstdint>

// The first screen: the game's logo fades in over black, holds, and hands over
// to the menu loading screen. A tap or the back key skips it.
class SplashesScreen : public IGameScreen {
public:
    static constexpr int kLogoSpriteSet = 16;
    struct Logo {
        float delay = 0.05f;      // seconds of black before the fade
        float fadeIn = 1.2f;
        float hold = 2.0f;
        float fadeOut = 0.0f;     // 0: the logo disappears at once after the hold
        int frame = 0;            // of the logo sprite set
        Color4 background{0, 0, 0, 255};
    };
    enum class Phase : int { Delay = 0, FadeIn = 1, Hold = 2, FadeOut = 3 };

    void update() override;
    void draw() override;
    void onTouchDown(int id, int x, int y) override;
    void onBack() override { nextLogo(); }
    void onLeave() override { m_loaded = false; }
    float loadStep() override;
    bool isLoaded() const override { return m_loaded; }

    // Skips to the next logo; after the last, the menu loading screen becomes
    // current with the menu screen to load.
    void nextLogo();

    Phase phase() const { return m_phase; }
    float phaseTime() const { return m_phaseTime; }
    Color4 tint() const { return m_tint; }
    int logoIndex() const { return m_logoIndex; }

private:
    void startLogo();

    int m_logoIndex = 0;
    bool m_loaded = false;
    Color4 m_tint{0, 0, 0, 0};
    float m_phaseTime = Logo{}.delay;
    Phase m_phase = Phase::Delay;
};

SplashesScreen& splashesScreen();
