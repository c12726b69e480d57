#include "screens/LoadingScreen.h"

#include "platform/Clock.h"
#include "platform/ScreenMetrics.h"
#include "render/Graphics.h"
#include "render/2d/CSprite.h"
#include "render/2d/Render2D.h"
#include "render/2d/SpriteSets.h"
#include "screens/Screens.h"

#include <algorithm>
#include <cmath>

namespace {
constexpr Color4 kClearColor{0, 4, 10, 255};
constexpr Color4 kFillColor{0, 4, 8, 255};
constexpr float kSpinnerInset = 10.0f;   // pixels at UI scale 1, beside the spinner's own extent
}  // namespace

void LoadingScreen::prepare(IGameScreen* next)
{
    m_next = next;
    m_progress = 0.0f;
    m_started = false;
}

void LoadingScreen::update()
{
    if (!m_started) {
        m_started = true;   // the first frame only shows the screen
        return;
    }
    if (!m_next)
        return;
    m_progress = m_next->loadStep();
    if (m_progress == 1.0f) {
        setCurrentScreen(m_next);
        unloadSprite(kArtSpriteSet);
    }
}

void LoadingScreen::draw()
{
    Graphics* device = graphics();
    if (device) {
        device->setClearColor(kClearColor);
        device->clear();
    }
    begin2D();
    const ScreenMetrics& metrics = screenMetrics();
    CSprite* art = getSprite(kArtSpriteSet);
    drawFilledRect(0.0f, 0.0f, static_cast<float>(metrics.screenWidth), static_cast<float>(metrics.screenHeight),
                   kFillColor.r, kFillColor.g, kFillColor.b, kFillColor.a);
    art->drawFrame(0, static_cast<float>(metrics.halfWidth), static_cast<float>(metrics.halfHeight));

    m_spinnerAngle = std::remainder(m_spinnerAngle + kSpinRate * frameDelta(), 2.0f * 3.14159265f);
    const CSprite::Rect spinner = art->frameRect(1);
    const float extent = std::max({std::abs(spinner.x), std::abs(spinner.y), std::abs(spinner.x + spinner.w),
                                   std::abs(spinner.y + spinner.h)});
    const float inset = extent + kSpinnerInset * metrics.uiScale;
    art->drawFrame(1, metrics.screenWidth - inset, metrics.screenHeight - inset, m_spinnerAngle);
    end2D();
    if (device)
        device->restoreDefaultClearColor();
}

LoadingScreen& gameLoadingScreen()
{
    static LoadingScreen screen;
    return screen;
}

LoadingScreen& menuLoadingScreen()
{
    static LoadingScreen screen;
    return screen;
}
