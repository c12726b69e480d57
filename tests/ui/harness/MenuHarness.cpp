#include "harness/MenuHarness.h"

#include "platform/Clock.h"
#include "platform/File.h"
#include "platform/Input.h"
#include "platform/Language.h"
#include "platform/ScreenMetrics.h"
#include "render/2d/SpriteSets.h"
#include "render/assets/ImageWriter.h"
#include "ui/MenuNavigation.h"

#include <filesystem>

void MenuHarness::SetUp()
{
    GlTest::SetUp();
    if (IsSkipped())
        return;
    setDataRoot(std::string(SKYFRONT_STAGE_DIR) + "/");
    setSaveFolder(m_save.folder());
    ASSERT_TRUE(setLanguageByCode("EN"));
    clearFrameHistory();
    controls().setCurrentScheme(0);
    controls().setHandler(&m_actions);

    AppHooks hooks;
    hooks.drawScreens = [this] {
        clearTo(clearColor);
        if (drawHook)
            drawHook();
        else
            drawMenuFrames();
    };
    hooks.updateScreens = [this] {
        controls().updateMenuActions(frameDelta());
        if (updateHook)
            updateHook();
        else
            updateMenuFrames();
    };
    hooks.touch = [this](const TouchEvent& event) {
        if (touchHook) {
            touchHook(event);
            return;
        }
        switch (event.kind) {
        case TouchEvent::Kind::Down:
            dispatchTouchDown(event.x, event.y);
            break;
        case TouchEvent::Kind::Move:
            dispatchTouchMove(event.x, event.y);
            break;
        case TouchEvent::Kind::Up:
            dispatchTouchUp(event.x, event.y);
            break;
        case TouchEvent::Kind::Cancel:
            dispatchTouchCancel();
            break;
        case TouchEvent::Kind::Scroll:
            dispatchScroll(event.dx, event.dy);
            break;
        case TouchEvent::Kind::Back:
            dispatchBackKey();
            break;
        }
    };
    hooks.back = [this] {
        if (backHook)
            backHook();
        else
            dispatchBackKey();
    };
    hooks.rebuildMenusForLanguage = [this] {
        if (languageRebuild)
            languageRebuild();
    };
    m_app = std::make_unique<App>(std::move(hooks));
    // Every pass is one 60th of a second, whatever the machine's speed, so
    // animations, scrolls and the focus pulse run the same in every run.
    TestOptions steady;
    steady.fixedFrameDelta = 1.0f / 60.0f;
    m_app->setTestOptions(steady);
    resetFrameClock();
    // Events left from an earlier test must not reach this one.
    SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
    boot(960, 640);
}

void MenuHarness::TearDown()
{
    if (!IsSkipped()) {
        // The test's pages are gone: the last frames run without them.
        clearFrameHistory();
        if (m_leftDown)
            mouseUp(0, 0);
        step();
        controls().setHandler(nullptr);
        m_app.reset();
        unloadStringTables();
        setScreenSize(960, 640);
    }
    GlTest::TearDown();
}

void MenuHarness::boot(int width, int height)
{
    m_width = width;
    m_height = height;
    ASSERT_TRUE(setScreenSize(width, height));
    setSpriteLoadScale(screenMetrics().spriteScale);
    unloadSprite(kSpriteSetMenus);
    reloadFonts();
    useTarget(width, height);
    gfx().setScreenSize(width, height);
}

void MenuHarness::step(int frames)
{
    for (int i = 0; i < frames; ++i)
        m_app->runPass();
}

void MenuHarness::pushMouse(Uint32 type, int x, int y)
{
    SDL_Event event{};
    event.type = type;
    if (type == SDL_MOUSEMOTION) {
        event.motion.x = x;
        event.motion.y = y;
        event.motion.state = m_leftDown ? SDL_BUTTON_LMASK : 0;
    } else {
        event.button.button = SDL_BUTTON_LEFT;
        event.button.state = type == SDL_MOUSEBUTTONDOWN ? SDL_PRESSED : SDL_RELEASED;
        event.button.clicks = 1;
        event.button.x = x;
        event.button.y = y;
    }
    ASSERT_EQ(SDL_PushEvent(&event), 1) << SDL_GetError();
}

void MenuHarness::mouseDown(int x, int y)
{
    m_leftDown = true;
    pushMouse(SDL_MOUSEBUTTONDOWN, x, y);
}

void MenuHarness::mouseMove(int x, int y)
{
    pushMouse(SDL_MOUSEMOTION, x, y);
}

void MenuHarness::mouseUp(int x, int y)
{
    m_leftDown = false;
    pushMouse(SDL_MOUSEBUTTONUP, x, y);
}

void MenuHarness::click(int x, int y)
{
    mouseDown(x, y);
    step();
    mouseUp(x, y);
    step();
}

void MenuHarness::keyDown(SDL_Scancode key)
{
    SDL_Event event{};
    event.type = SDL_KEYDOWN;
    event.key.state = SDL_PRESSED;
    event.key.keysym.scancode = key;
    event.key.keysym.sym = SDL_GetKeyFromScancode(key);
    ASSERT_EQ(SDL_PushEvent(&event), 1) << SDL_GetError();
}

void MenuHarness::keyUp(SDL_Scancode key)
{
    SDL_Event event{};
    event.type = SDL_KEYUP;
    event.key.state = SDL_RELEASED;
    event.key.keysym.scancode = key;
    event.key.keysym.sym = SDL_GetKeyFromScancode(key);
    ASSERT_EQ(SDL_PushEvent(&event), 1) << SDL_GetError();
}

void MenuHarness::pressKey(SDL_Scancode key)
{
    keyDown(key);
    step();
    keyUp(key);
    step();
}

void MenuHarness::typeText(const char* utf8)
{
    SDL_Event event{};
    event.type = SDL_TEXTINPUT;
    SDL_strlcpy(event.text.text, utf8, sizeof(event.text.text));
    ASSERT_EQ(SDL_PushEvent(&event), 1) << SDL_GetError();
}

void MenuHarness::MenuActions::onMenuAction(ControlAction action)
{
    handleMenuAction(action);
}

Rgba MenuHarness::screenPixel(int x, int y)
{
    return pixel(x, m_height - 1 - y);
}

std::vector<Rgba> MenuHarness::screenPixels()
{
    const std::vector<Rgba> bottomUp = rect(0, 0, m_width, m_height);
    std::vector<Rgba> rows(bottomUp.size());
    for (int y = 0; y < m_height; ++y) {
        for (int x = 0; x < m_width; ++x)
            rows[static_cast<std::size_t>(y) * m_width + x] =
                bottomUp[static_cast<std::size_t>(m_height - 1 - y) * m_width + x];
    }
    return rows;
}

std::string MenuHarness::savePicture(const std::string& name)
{
    // The writer takes the rows as the target holds them, bottom first.
    const std::vector<Rgba> rows = rect(0, 0, m_width, m_height);
    std::vector<std::uint8_t> rgba;
    rgba.reserve(rows.size() * 4);
    for (const Rgba& c : rows)
        rgba.insert(rgba.end(), {c.r, c.g, c.b, c.a});
    const std::string path = std::string(SKYFRONT_BINARY_DIR) + "/" + name;
    std::error_code ec;
    std::filesystem::create_directories(std::filesystem::path(path).parent_path(), ec);
    if (!writePngFile(path, m_width, m_height, rgba))
        ADD_FAILURE() << "cannot write " << path;
    return path;
}
