#include "screens/SplashesScreen.h"

#include "platform/Clock.h"
#include "platform/ScreenMetrics.h"
#include "render/Graphics.h"
#include "render/2d/CSprite.h"
#include "render/2d/Render2D.h"
#include "render/2d/SpriteSets.h"
#include "screens/LoadingScreen.h"
#include "screens/Screens.h"

#include <algorithm>
#include <array>

namespace {
// The game has one logo.
constexpr std::array<SplashesScreen::Logo, 1> kLogos{SplashesScreen::Logo{}};

std::uint8_t rampByte(float part, float whole)
{
    if (!(whole > 0.0f))
        return 255;
    const float value = std::clamp(part / whole, 0.0f, 1.0f) * 255.0f;
    return static_cast<std::uint8_t>(value);
}

Color4 grey(std::uint8_t level)
{
    return Color4{level, level, level, level};
}
}  // namespace

float SplashesScreen::loadStep()
{
    m_loaded = true;
    getSprite(kLogoSpriteSet);
    return 1.0f;
}

void SplashesScreen::startLogo()
{
    m_phase = Phase::Delay;
    m_phaseTime = kLogos[static_cast<std::size_t>(m_logoIndex)].delay;
    m_tint = grey(0);
}

void SplashesScreen::update()
{
    if (!m_loaded)
        loadStep();
    if (static_cast<std::size_t>(m_logoIndex) >= kLogos.size())
        return;
    const Logo& logo = kLogos[static_cast<std::size_t>(m_logoIndex)];
    m_phaseTime -= frameDelta();
    switch (m_phase) {
    case Phase::Delay:
        if (m_phaseTime <= 0.0f) {
            m_phase = Phase::FadeIn;
            m_phaseTime = logo.fadeIn;
            m_tint = grey(0);   // the fade starts from nothing, never a flash of full colour
        }
        break;
    case Phase::FadeIn:
        if (m_phaseTime > 0.0f) {
            m_tint = grey(rampByte(logo.fadeIn - m_phaseTime, logo.fadeIn));
        } else {
            m_phase = Phase::Hold;
            m_phaseTime = logo.hold;
            m_tint = grey(255);
        }
        break;
    case Phase::Hold:
        if (m_phaseTime <= 0.0f) {
            m_phase = Phase::FadeOut;
            m_phaseTime = logo.fadeOut;
            m_tint = grey(255);
        }
        break;
    case Phase::FadeOut:
        if (m_phaseTime > 0.0f)
            m_tint = grey(rampByte(m_phaseTime, logo.fadeOut));
        else
            nextLogo();
        break;
    }
}

void SplashesScreen::draw()
{
    if (!m_loaded || static_cast<std::size_t>(m_logoIndex) >= kLogos.size())
        return;
    const Logo& logo = kLogos[static_cast<std::size_t>(m_logoIndex)];
    Graphics* device = graphics();
    if (device) {
        device->setClearColor(logo.background);
        device->clear();
    }
    // A change of screen size may have moved the sheet to another scale.
    if (spriteLoadScale() == 4.0f)
        getSprite(kLogoSpriteSet);
    begin2D();
    const ScreenMetrics& metrics = screenMetrics();
    CSprite* sprite = getSprite(kLogoSpriteSet);
    const Color4 previous = sprite->color();
    sprite->setColor(m_tint);
    sprite->drawFrame(logo.frame, static_cast<float>(metrics.halfWidth), static_cast<float>(metrics.halfHeight));
    sprite->setColor(previous);
    end2D();
    if (device)
        device->restoreDefaultClearColor();
}

void SplashesScreen::onTouchDown(int, int, int)
{
    nextLogo();
}

void SplashesScreen::nextLogo()
{
    ++m_logoIndex;
    if (static_cast<std::size_t>(m_logoIndex) < kLogos.size()) {
        startLogo();
        return;
    }
    m_loaded = false;
    LoadingScreen& loading = menuLoadingScreen();
    loading.prepare(menuScreenToLoad());
    setCurrentScreen(&loading);
    unloadSprite(kLogoSpriteSet);
}

SplashesScreen& splashesScreen()
{
    static SplashesScreen screen;
    return screen;
}
