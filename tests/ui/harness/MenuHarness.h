#pragma once
#include "GlTestContext.h"
#include "platform/Controls.h"
#include "platform/sys/App.h"
#include "support/TempDir.h"
#include "MenuSoundLog.h"
#include "ui/MenuHooks.h"

#include <SDL.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

// Boots the menus on the staged data over an offscreen target of a chosen
// screen size, and drives them as a player would: SDL mouse, key and text
// events go through the game's event pump, frames run through the main
// loop's pass (touch dispatch, menu actions, menu update and draw) at a fixed
// step of 1/60 s, and the test reads back the current page, the save folder
// and the pixels.
class MenuHarness : public GlTest {
protected:
    void SetUp() override;
    void TearDown() override;

    // Screen metrics, sprite scale, target and fonts for a screen of that size.
    void boot(int width, int height);
    // Runs that many passes of the main loop.
    void step(int frames = 1);

    // Events in drawable pixels; each is handled at the next step.
    void mouseDown(int x, int y);
    void mouseMove(int x, int y);
    void mouseUp(int x, int y);
    // Down, a frame, up, a frame.
    void click(int x, int y);
    void keyDown(SDL_Scancode key);
    void keyUp(SDL_Scancode key);
    // Down, a frame, up, a frame.
    void pressKey(SDL_Scancode key);
    void typeText(const char* utf8);

    // Screen pixel (x, y), y down, of the last drawn frame.
    Rgba screenPixel(int x, int y);
    // The whole frame, screen rows top first.
    std::vector<Rgba> screenPixels();
    // Writes the last frame as a PNG under the build folder; its path.
    std::string savePicture(const std::string& name);

    int screenWidth() const { return m_width; }
    int screenHeight() const { return m_height; }
    std::vector<MenuSound> sounds() const { return m_sounds.list(); }
    const TempDir& saveFolder() const { return m_save; }
    Rgba clearColor{12, 20, 32, 255};
    // Run by the main loop after a frame that changed the language.
    std::function<void()> languageRebuild;
    // Set, these run the frame instead of the menu pages alone (a test that
    // drives the screens, the game below the pause screen included).
    std::function<void()> updateHook;
    std::function<void()> drawHook;
    std::function<void(const TouchEvent&)> touchHook;
    std::function<void()> backHook;

private:
    struct MenuActions : IControlsHandler {
        void onGameAction(int, bool) override {}
        void onMenuAction(ControlAction action) override;
        void applyFlightInput(const PlayerFlightInput&) override {}
        void touchStickAxes(float& x, float& y) const override { x = y = 0.0f; }
        void releasePlayerStick() override {}
        void resetPlayerControls() override {}
    };
    void pushMouse(Uint32 type, int x, int y);

    std::unique_ptr<App> m_app;
    MenuActions m_actions;
    RecordingSound m_sound{"click", "clickback"};
    MenuSoundLog m_sounds{m_sound};
    TempDir m_save;
    int m_width = 960, m_height = 640;
    bool m_leftDown = false;
};
