#include "platform/sys/App.h"
#include "platform/Log.h"
#include "platform/Options.h"
#include "platform/ScreenMetrics.h"
#include "render/Graphics.h"
#include "render/Renderer.h"
#include "render/gl/GraphicsES20.h"
#include "render/gl/GraphicsES20Extensions.h"
#include "render/fx/PostProcess.h"
#include "render/2d/SpriteSets.h"

#include <cstdio>
#include <utility>

namespace {
// The one renderer. stopRenderer frees its GL names before the window goes,
// so destroying it at exit calls no GL.
GraphicsES20& renderer()
{
    static GraphicsES20 device;
    return device;
}

GraphicsES20Extensions& rendererExtensions()
{
    static GraphicsES20Extensions extensions(renderer());
    return extensions;
}

bool startRenderer()
{
    const ScreenMetrics& metrics = screenMetrics();
    GraphicsES20& device = renderer();
    if (!device.init(metrics.screenWidth, metrics.screenHeight)) {
        logWarning("game", "renderer cannot start: %s", device.error().c_str());
        return false;
    }
    setGraphics(&device);
    device.setQualityTier(startupGraphics().quality);
    GraphicsES20Extensions& extensions = rendererExtensions();
    if (!extensions.load()) {
        logWarning("game", "renderer cannot start: %s", extensions.error().c_str());
        return false;
    }
    setGraphicsExtensions(&extensions);
    // Without its own scene target the scene simply draws to the screen.
    if (!PostProcess::createTargets())
        logInfo("game", "no scene target, drawing straight to the screen");
    setSpriteLoadScale(metrics.spriteScale);
    return true;
}

// The screen's viewport and the 2-D pass follow the drawable after a resize.
void resizeRenderer(int width, int height)
{
    Graphics* device = graphics();
    if (!device)
        return;
    device->setScreenSize(width, height);
    if (!device->currentRenderTarget())
        device->setRenderTarget(nullptr);
}

// Every GL name goes while the window's context still lives.
void stopRenderer()
{
    shutdownRenderer();
}

void clearScreen(float r, float g, float b)
{
    Graphics* device = graphics();
    if (!device)
        return;
    device->setRenderTarget(nullptr);
    device->setClearColor(Color4{static_cast<std::uint8_t>(r * 255.0f + 0.5f), static_cast<std::uint8_t>(g * 255.0f + 0.5f),
                                 static_cast<std::uint8_t>(b * 255.0f + 0.5f), 255});
    device->clear();
}
}  // namespace

int main(int argc, char** argv)
{
    // The subsystems above the platform register their screens, sound and
    // overlays here as they join the game; until then the loop shows the empty screen.
    AppHooks hooks;
    hooks.startRenderer = startRenderer;
    hooks.stopRenderer = stopRenderer;
    hooks.clearScreen = clearScreen;
    hooks.screenResized = resizeRenderer;
    App app(std::move(hooks));
    return app.run(argc, argv);
}
