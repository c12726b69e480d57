#include "platform/ScreenMetrics.h"

namespace {
ScreenMetrics g_metrics;
}  // namespace

ScreenMetrics computeScreenMetrics(int width, int height)
{
    ScreenMetrics m;
    m.screenWidth = width;
    m.screenHeight = height;
    m.halfWidth = width / 2;
    m.halfHeight = height / 2;
    m.screenScaleX = static_cast<float>(width) / 960.0f;
    m.screenScaleY = static_cast<float>(height) / 640.0f;
    if (height < 401)
        m.uiScale = 0.5f;
    else if (height < 591)
        m.uiScale = 0.75f;
    else if (height < 1201)
        m.uiScale = 1.0f;
    else
        m.uiScale = 2.0f;
    // The HUD and the pages are laid out 960 wide: on screens narrower than
    // wide screens (4:3, 5:4) the step by height alone would let them overlap.
    const float widthStep = width < 720 ? 0.5f : width < 960 ? 0.75f : width < 1920 ? 1.0f : 2.0f;
    if (widthStep < m.uiScale)
        m.uiScale = widthStep;
    m.spriteScale = m.uiScale * 2.0f;
    m.aspect = static_cast<float>(width) / static_cast<float>(height);
    return m;
}

const ScreenMetrics& screenMetrics()
{
    return g_metrics;
}

bool setScreenSize(int width, int height)
{
    if (width <= 0 || height <= 0)
        return false;
    g_metrics = computeScreenMetrics(width, height);
    return true;
}
