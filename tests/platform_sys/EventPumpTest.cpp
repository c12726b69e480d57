#include "platform/sys/App.h"
#include "platform/sys/InputScriptPlayer.h"
#include "platform/Input.h"
#include "platform/ScreenMetrics.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

namespace {
// SDL with the dummy video driver: no window, but a real event queue that
// SDL_PushEvent feeds, drained by real passes of the main loop.
struct EventPumping : testing::Test {
    std::vector<TouchEvent> touches;
    std::vector<const char*> calls;   // order of the hooks
    std::vector<std::pair<int, int>> resizes;
    App* app = nullptr;
    std::optional<std::string> driver;   // the process's own, given back after the test

    void SetUp() override
    {
        if (const char* own = std::getenv("SDL_VIDEODRIVER"))
            driver = own;
        setenv("SDL_VIDEODRIVER", "dummy", 1);
        ASSERT_EQ(SDL_Init(SDL_INIT_VIDEO | SDL_INIT_EVENTS | SDL_INIT_JOYSTICK | SDL_INIT_GAMECONTROLLER), 0)
            << SDL_GetError();
        input() = Input();
        AppHooks hooks;
        hooks.touch = [this](const TouchEvent& event) { touches.push_back(event); calls.push_back("touch"); };
        hooks.back = [this] { calls.push_back("back"); };
        hooks.focusLost = [this] { calls.push_back("focusLost"); };
        hooks.focusGained = [this] { calls.push_back("focusGained"); };
        hooks.screenResized = [this](int width, int height) { resizes.emplace_back(width, height); };
        hooks.updateScreens = [this] { calls.push_back("updateScreens"); };
        hooks.updateSound = [this] { calls.push_back("updateSound"); };
        hooks.drawScreens = [this] { calls.push_back("drawScreens"); };
        hooks.updateQuitOverlay = [this] { calls.push_back("updateQuitOverlay"); };
        app = new App(std::move(hooks));
    }
    void TearDown() override
    {
        delete app;
        SDL_Quit();
        // The window tests after these need the real display's driver.
        if (driver)
            setenv("SDL_VIDEODRIVER", driver->c_str(), 1);
        else
            unsetenv("SDL_VIDEODRIVER");
    }

    static void pushButton(Uint32 type, int x, int y, Uint8 button = SDL_BUTTON_LEFT)
    {
        SDL_Event event{};
        event.type = type;
        event.button.button = button;
        event.button.state = type == SDL_MOUSEBUTTONDOWN ? SDL_PRESSED : SDL_RELEASED;
        event.button.x = x;
        event.button.y = y;
        SDL_PushEvent(&event);
    }
    static void pushMotion(int x, int y)
    {
        SDL_Event event{};
        event.type = SDL_MOUSEMOTION;
        event.motion.x = x;
        event.motion.y = y;
        SDL_PushEvent(&event);
    }
    static void pushKey(SDL_Keycode key, Uint8 repeat = 0)
    {
        SDL_Event event{};
        event.type = SDL_KEYDOWN;
        event.key.keysym.sym = key;
        event.key.repeat = repeat;
        SDL_PushEvent(&event);
    }
    static void pushWindow(Uint8 what, int data1 = 0, int data2 = 0)
    {
        SDL_Event event{};
        event.type = SDL_WINDOWEVENT;
        event.window.event = what;
        event.window.data1 = data1;
        event.window.data2 = data2;
        SDL_PushEvent(&event);
    }
};

TEST_F(EventPumping, MouseDownMoveUpArriveAsOneTouchSequenceWithANonZeroId)
{
    pushMotion(5, 5);  // no button held: no touch
    pushButton(SDL_MOUSEBUTTONDOWN, 10, 20);
    pushMotion(11, 21);
    pushMotion(30, 40);  // merged with the move before
    pushButton(SDL_MOUSEBUTTONUP, 31, 41);
    pushButton(SDL_MOUSEBUTTONDOWN, 1, 1, SDL_BUTTON_RIGHT);  // only the left button touches
    app->runPass();

    ASSERT_EQ(touches.size(), 3u);
    EXPECT_EQ(touches[0].kind, TouchEvent::Kind::Down);
    EXPECT_EQ(touches[1].kind, TouchEvent::Kind::Move);
    EXPECT_EQ(touches[2].kind, TouchEvent::Kind::Up);
    EXPECT_NE(touches[0].id, 0);
    EXPECT_EQ(touches[1].id, touches[0].id);
    EXPECT_EQ(touches[2].id, touches[0].id);
    EXPECT_EQ(touches[0].x, 10);
    EXPECT_EQ(touches[0].y, 20);
    EXPECT_EQ(touches[1].x, 30);
    EXPECT_EQ(touches[1].y, 40);
    EXPECT_EQ(touches[2].x, 31);
}

TEST_F(EventPumping, APassRunsItsStepsInOrderAndDispatchesTouchesBeforeTheScreenUpdate)
{
    pushButton(SDL_MOUSEBUTTONDOWN, 1, 1);
    app->runPass();
    const std::vector<const char*> expected = {"updateQuitOverlay", "drawScreens", "touch", "updateScreens",
                                               "updateSound"};
    EXPECT_EQ(calls, expected);
}

TEST_F(EventPumping, EscapeReachesTheBackHookOnceAndRepeatsDoNot)
{
    pushKey(SDLK_ESCAPE);
    pushKey(SDLK_ESCAPE, 1);
    pushKey(SDLK_a);
    app->runPass();
    EXPECT_EQ(std::count(calls.begin(), calls.end(), std::string_view("back")), 1);
    app->runPass();
    EXPECT_EQ(std::count(calls.begin(), calls.end(), std::string_view("back")), 1);
    pushKey(SDLK_AC_BACK);
    pushKey(SDLK_AC_BACK, 1);
    app->runPass();
    EXPECT_EQ(std::count(calls.begin(), calls.end(), std::string_view("back")), 2);
}

TEST_F(EventPumping, AResizeRewritesTheMetricsAndAZeroSizeIsIgnored)
{
    pushWindow(SDL_WINDOWEVENT_SIZE_CHANGED, 1280, 720);
    app->runPass();
    EXPECT_EQ(screenMetrics().screenWidth, 1280);
    EXPECT_EQ(screenMetrics().uiScale, 1.0f);
    EXPECT_EQ(screenMetrics().spriteScale, 2.0f);
    EXPECT_NEAR(screenMetrics().screenScaleX, 1.3333f, 1e-4f);

    pushWindow(SDL_WINDOWEVENT_SIZE_CHANGED, 0, 0);
    pushWindow(SDL_WINDOWEVENT_SIZE_CHANGED, 640, 0);
    app->runPass();
    EXPECT_EQ(screenMetrics().screenWidth, 1280);
    EXPECT_EQ(screenMetrics().screenHeight, 720);
    EXPECT_NEAR(screenMetrics().screenScaleY, 1.125f, 1e-6f);

    pushWindow(SDL_WINDOWEVENT_SIZE_CHANGED, 800, 400);
    app->runPass();
    EXPECT_EQ(screenMetrics().uiScale, 0.5f);

    // The renderer hears of every size the metrics took, never of the zero ones.
    const std::vector<std::pair<int, int>> expected = {{1280, 720}, {800, 400}};
    EXPECT_EQ(resizes, expected);
}

TEST_F(EventPumping, FocusLossCancelsAHeldTouchAndCallsTheFocusHooks)
{
    pushButton(SDL_MOUSEBUTTONDOWN, 3, 4);
    pushWindow(SDL_WINDOWEVENT_FOCUS_LOST);
    pushButton(SDL_MOUSEBUTTONUP, 3, 4);  // the press was already cancelled
    pushWindow(SDL_WINDOWEVENT_FOCUS_GAINED);
    app->runPass();
    ASSERT_EQ(touches.size(), 2u);
    EXPECT_EQ(touches[1].kind, TouchEvent::Kind::Cancel);
    EXPECT_EQ(touches[1].id, touches[0].id);
    EXPECT_EQ(std::count(calls.begin(), calls.end(), std::string_view("focusLost")), 1);
    EXPECT_EQ(std::count(calls.begin(), calls.end(), std::string_view("focusGained")), 1);
}

// A scripted run on a display shared with other windows: their pointer and
// focus traffic must not cancel or bend the script's own press and drag.
TEST_F(EventPumping, AScriptedRunIgnoresTheWindowSystemsMouseAndFocus)
{
    std::vector<ScriptEvent> events;
    InputScriptError error;
    ASSERT_TRUE(readInputScript("1 drag 100 50 300 50 2\n5 focuslost\n6 focusgained\n", events, error));
    InputScriptPlayer player;
    player.start(std::move(events), 0);
    app->events().setScriptOnly(true);
    for (int frame = 1; frame <= 4; ++frame) {
        player.pushFrame(frame, {});
        if (frame == 2) {
            pushWindow(SDL_WINDOWEVENT_FOCUS_LOST);
            pushMotion(640, 512);  // the pointer of the display crossing the window
            pushButton(SDL_MOUSEBUTTONUP, 640, 512);
            pushWindow(SDL_WINDOWEVENT_FOCUS_GAINED);
        }
        app->runPass();
    }
    ASSERT_EQ(touches.size(), 4u);
    EXPECT_EQ(touches[0].kind, TouchEvent::Kind::Down);
    EXPECT_EQ(touches[1].kind, TouchEvent::Kind::Move);
    EXPECT_EQ(touches[1].x, 200);
    EXPECT_EQ(touches[2].kind, TouchEvent::Kind::Move);
    EXPECT_EQ(touches[2].x, 300);
    EXPECT_EQ(touches[3].kind, TouchEvent::Kind::Up);
    EXPECT_EQ(touches[3].x, 300);
    EXPECT_EQ(std::count(calls.begin(), calls.end(), std::string_view("focusLost")), 0);
    // The script's own focus changes are heard, as the window system's would be.
    for (int frame = 5; frame <= 6; ++frame) {
        player.pushFrame(frame, {});
        app->runPass();
        EXPECT_EQ(std::count(calls.begin(), calls.end(), std::string_view("focusLost")), 1);
        EXPECT_EQ(std::count(calls.begin(), calls.end(), std::string_view("focusGained")), frame - 5);
    }
    EXPECT_EQ(touches.size(), 4u);

    // Without a script the same traffic is the player's own.
    touches.clear();
    app->events().setScriptOnly(false);
    pushButton(SDL_MOUSEBUTTONDOWN, 10, 10);
    pushWindow(SDL_WINDOWEVENT_FOCUS_LOST);
    app->runPass();
    ASSERT_EQ(touches.size(), 2u);
    EXPECT_EQ(touches[1].kind, TouchEvent::Kind::Cancel);
    EXPECT_EQ(std::count(calls.begin(), calls.end(), std::string_view("focusLost")), 2);

    // A fixed-step run without a script keeps the pointer but not the
    // display's focus changes, which would pause it at another run's whim.
    touches.clear();
    app->events().setScriptedFocusOnly(true);
    pushButton(SDL_MOUSEBUTTONDOWN, 10, 10);
    pushWindow(SDL_WINDOWEVENT_FOCUS_LOST);
    pushButton(SDL_MOUSEBUTTONUP, 10, 10);
    app->runPass();
    ASSERT_EQ(touches.size(), 2u);
    EXPECT_EQ(touches[1].kind, TouchEvent::Kind::Up);
    EXPECT_EQ(std::count(calls.begin(), calls.end(), std::string_view("focusLost")), 2);
}

TEST_F(EventPumping, TheWheelScrollsByTheUiScaledStep)
{
    ASSERT_TRUE(setScreenSize(1280, 720));
    SDL_Event event{};
    event.type = SDL_MOUSEWHEEL;
    event.wheel.y = 1;
    event.wheel.direction = SDL_MOUSEWHEEL_NORMAL;
    SDL_PushEvent(&event);
    SDL_PushEvent(&event);
    app->runPass();
    ASSERT_EQ(touches.size(), 1u);
    EXPECT_EQ(touches[0].kind, TouchEvent::Kind::Scroll);
    EXPECT_NE(touches[0].id, 0);
    EXPECT_FLOAT_EQ(touches[0].dy, -80.0f);
}

TEST_F(EventPumping, AQuitEventEndsTheLoopWithoutTheOverlay)
{
    EXPECT_FALSE(app->quitRequested());
    SDL_Event event{};
    event.type = SDL_QUIT;
    SDL_PushEvent(&event);
    app->runPass();
    EXPECT_TRUE(app->quitRequested());
}

// The window's close button quits at once, without the quit question.
TEST_F(EventPumping, TheCloseButtonQuitsAtOnce)
{
    pushWindow(SDL_WINDOWEVENT_CLOSE);
    app->runPass();
    EXPECT_TRUE(app->quitRequested());
}

// A script's events come out of the game's own pump at their frames.
TEST_F(EventPumping, AScriptPlaysKeysClicksTextAndTheVirtualController)
{
    std::vector<ScriptEvent> events;
    InputScriptError error;
    ASSERT_TRUE(readInputScript("1 key Enter\n2 clickfocus\n2 text Ace\n3 paddown a\n5 close\n", events, error));
    InputScriptPlayer player;
    player.start(std::move(events), 0);
    const auto centre = [](int& x, int& y) {
        x = 120;
        y = 80;
        return true;
    };
    const int enter = Input::keyIndexOfBindingName("Enter");
    player.pushFrame(1, centre);
    app->runPass();
    EXPECT_TRUE(input().keys().down(enter));
    player.pushFrame(2, centre);
    app->runPass();
    EXPECT_FALSE(input().keys().down(enter));   // released the frame after
    ASSERT_FALSE(touches.empty());
    EXPECT_EQ(touches.back().kind, TouchEvent::Kind::Down);
    EXPECT_EQ(touches.back().x, 120);
    EXPECT_EQ(touches.back().y, 80);
    player.pushFrame(3, centre);
    app->runPass();
    EXPECT_EQ(touches.back().kind, TouchEvent::Kind::Up);
    app->runPass();
    EXPECT_TRUE(input().joystick(0).connected());
    EXPECT_TRUE(input().joystick(0).buttons.down(0));
    EXPECT_TRUE(player.active());
    player.pushFrame(5, centre);
    app->runPass();
    EXPECT_TRUE(app->quitRequested());
    EXPECT_FALSE(player.active());
    // The shut-down lets go of the controller while SDL still runs: SDL frees
    // its joysticks as it quits, and a close after that reads freed memory.
    player.releasePad();
    EXPECT_EQ(SDL_NumJoysticks(), 0);
    app->runPass();
    EXPECT_FALSE(input().joystick(0).connected());
    player.releasePad();   // the destructor's second call finds nothing to do
    EXPECT_EQ(SDL_NumJoysticks(), 0);
}

TEST_F(EventPumping, KeysTextAndMouseButtonsReachTheInputState)
{
    SDL_Event key{};
    key.type = SDL_KEYDOWN;
    key.key.keysym.sym = SDLK_ESCAPE;
    key.key.keysym.scancode = SDL_SCANCODE_ESCAPE;
    SDL_PushEvent(&key);
    SDL_Event text{};
    text.type = SDL_TEXTINPUT;
    SDL_strlcpy(text.text.text, "Hi", sizeof(text.text.text));
    SDL_PushEvent(&text);
    pushButton(SDL_MOUSEBUTTONDOWN, 5, 5);
    app->events().pump();  // no end of frame yet: the presses are current
    EXPECT_TRUE(input().keys().pressed(Input::kKeyEsc));
    EXPECT_TRUE(input().mouseButtons().down(0));
    ASSERT_EQ(input().typedCount(), 2);
    EXPECT_EQ(input().typedAt(0), U'H');
    app->runPass();  // the pass ends the input frame
    EXPECT_FALSE(input().keys().pressed(Input::kKeyEsc));
}

TEST_F(EventPumping, MouseSteeringMakesNoTouchesAndCancelsAHeldOne)
{
    pushButton(SDL_MOUSEBUTTONDOWN, 5, 5);
    app->runPass();
    input().steeringMode = Input::kSteerMouse;
    pushMotion(9, 9);
    pushButton(SDL_MOUSEBUTTONUP, 9, 9);
    pushButton(SDL_MOUSEBUTTONDOWN, 9, 9);
    app->runPass();
    ASSERT_EQ(touches.size(), 2u);
    EXPECT_EQ(touches[1].kind, TouchEvent::Kind::Cancel);
    input().steeringMode = Input::kSteerNone;
}

TEST_F(EventPumping, AJoystickPluggedInAndOutFillsAndEmptiesASlot)
{
    const int index = SDL_JoystickAttachVirtual(SDL_JOYSTICK_TYPE_FLIGHT_STICK, 3, 6, 0);
    ASSERT_GE(index, 0) << SDL_GetError();
    app->runPass();
    ASSERT_TRUE(input().joystick(0).connected());
    EXPECT_EQ(input().joystick(0).axisCount, 3);
    EXPECT_EQ(input().joystick(0).buttonCount, 6);

    SDL_Joystick* stick = SDL_JoystickOpen(index);
    ASSERT_NE(stick, nullptr);
    SDL_JoystickSetVirtualButton(stick, 4, SDL_PRESSED);
    SDL_JoystickSetVirtualAxis(stick, 1, 32767);
    app->events().pump();
    EXPECT_TRUE(input().joystick(0).buttons.down(4));
    EXPECT_FLOAT_EQ(input().joystick(0).axes[1], 1.0f);
    SDL_JoystickClose(stick);

    ASSERT_EQ(SDL_JoystickDetachVirtual(index), 0);
    app->runPass();
    EXPECT_FALSE(input().joystick(0).connected());
}

TEST(TouchQueueing, AFullQueueDropsMovesButNeverPressesOrReleases)
{
    TouchQueue queue;
    queue.push({TouchEvent::Kind::Down, 1, 0, 0, 0, 0});
    for (int i = 0; queue.size() < TouchQueue::kMaxEvents; ++i) {
        queue.push({TouchEvent::Kind::Move, 1, i, i, 0, 0});
        queue.push({TouchEvent::Kind::Move, 2, i, i, 0, 0});  // alternating ids do not merge
    }
    queue.push({TouchEvent::Kind::Move, 1, 7, 7, 0, 0});
    queue.push({TouchEvent::Kind::Up, 1, 9, 9, 0, 0});
    queue.push({TouchEvent::Kind::Back, 0, 0, 0, 0, 0});
    const std::vector<TouchEvent> events = queue.takeAll();
    ASSERT_EQ(events.size(), TouchQueue::kMaxEvents + 2);
    EXPECT_EQ(events[events.size() - 2].kind, TouchEvent::Kind::Up);
    EXPECT_EQ(events.back().kind, TouchEvent::Kind::Back);
    EXPECT_EQ(queue.size(), 0u);
}
}  // namespace
