#include "harness/MenuHarness.h"

#include "gamedata/records/PlaneList.h"
#include "gamedata/records/WeaponList.h"
#include "menus/settings/JoyCfgMenuFrame.h"
#include "menus/settings/PlanePaintingMenuFrame.h"
#include "menus/settings/ProfileMenuFrame.h"
#include "menus/settings/SetKeysMenuFrame.h"
#include "menus/settings/WeaponSelectionMenuFrame.h"
#include "platform/Controls.h"
#include "platform/Input.h"
#include "platform/Settings.h"
#include "ui/MenuContainer.h"
#include "ui/MenuNavigation.h"
#include "ui/widgets/HMenuItemsSlider.h"
#include "ui/widgets/SpriteButton.h"
#include "ui/widgets/SpriteCheckbox.h"
#include "ui/widgets/SpriteHComboBox.h"
#include "ui/widgets/SpriteKeyboard.h"
#include "ui/widgets/SpriteLabel.h"
#include "ui/widgets/SpriteSlider.h"

#include <SDL.h>

#include <filesystem>
#include <string>

namespace {
struct Size {
    int w, h;
};
constexpr Size kSizes[] = {{960, 640}, {1920, 1080}};

struct PlayerPagesGl : MenuHarness {
    void SetUp() override
    {
        MenuHarness::SetUp();
        if (IsSkipped())
            return;
        std::filesystem::create_directories(std::string(SKYFRONT_BINARY_DIR) + "/menus/player");
        ASSERT_TRUE(PlaneList::instance().load());
        ASSERT_TRUE(WeaponList::instance().load());
        saved = settings();
        controls().setDefaultsProfile0();
        settings().controlDevice = 0;
    }
    void TearDown() override
    {
        settings() = saved;
        WeaponList::instance().clear();
        PlaneList::instance().clear();
        MenuHarness::TearDown();
    }
    std::string name(const char* page, const Size& s) const
    {
        return std::string("menus/player/") + page + "_" + std::to_string(s.w) + "x" + std::to_string(s.h) + ".png";
    }
    void centreClick(const MenuItem& item)
    {
        click(item.absX + item.width / 2, item.absY + item.height / 2);
    }
    // Pixels within the rectangle that are clearly red / differ between two frames.
    int count(int x0, int y0, int x1, int y1, bool (*test)(const Rgba&))
    {
        const std::vector<Rgba> pixels = screenPixels();
        int n = 0;
        for (int y = std::max(y0, 0); y < std::min(y1, screenHeight()); ++y)
            for (int x = std::max(x0, 0); x < std::min(x1, screenWidth()); ++x)
                n += test(pixels[static_cast<std::size_t>(y * screenWidth() + x)]) ? 1 : 0;
        return n;
    }
    Settings saved;
};

bool red(const Rgba& c) { return c.r > 180 && c.g < 80 && c.b < 80; }
bool bright(const Rgba& c) { return c.r + c.g + c.b > 400; }
}  // namespace

TEST_F(PlayerPagesGl, KeySetupCapturesAKeyShownInRed)
{
    for (const Size& s : kSizes) {
        boot(s.w, s.h);
        controls().setDefaultsProfile0();
        SetKeysMenuFrame page;
        page.applyControlType();
        goToFrame(&page);
        step(20);
        EXPECT_EQ(count(0, 0, s.w, s.h, red), 0);
        const int eject = static_cast<int>(ControlAction::Pitch_Down);
        SpriteButtonR& button = *page.bindingButtons[eject][0];
        centreClick(button);
        step(3);
        ASSERT_TRUE(page.capturing()) << button.absX << "," << button.absY << " " << button.width << "x" << button.height
                                      << " row " << page.captureRow << " delay " << page.inputDelay;
        EXPECT_GT(count(0, 0, s.w, s.h, red), 200) << "the row is red while it waits";
        savePicture(name("setkeys_capture", s));
        step(10);
        pressKey(SDL_SCANCODE_K);
        step(2);
        EXPECT_FALSE(page.capturing());
        EXPECT_EQ(controls().binding(eject).kind1, BindingKind::Key);
        EXPECT_EQ(controls().binding(eject).code1, Input::keyIndexOfScancode(SDL_SCANCODE_K));
        EXPECT_EQ(count(0, 0, s.w, s.h, red), 0);
        savePicture(name("setkeys", s));
        clearFrameHistory();
    }
}

TEST_F(PlayerPagesGl, ControllerPageMeterFollowsTheInjectedAxis)
{
    ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER), 0) << SDL_GetError();
    const int index = SDL_JoystickAttachVirtual(SDL_JOYSTICK_TYPE_GAMECONTROLLER, 6, 12, 0);
    ASSERT_GE(index, 0) << SDL_GetError();
    const SDL_JoystickID id = SDL_JoystickGetDeviceInstanceID(index);
    step(2);
    ASSERT_TRUE(input().joystick(0).connected()) << "the event pump opened the controller";
    for (const Size& s : kSizes) {
        boot(s.w, s.h);
        JoyCfgMenuFrame page;
        goToFrame(&page);
        step(10);
        ASSERT_TRUE(page.pads[0].connected);
        SpriteLabel& meter = *page.pads[0].axes[0].meter;
        const std::u16string before(meter.shownText());
        savePicture(name("joycfg", s));
        const std::vector<Rgba> rest = screenPixels();
        SDL_Event motion{};
        motion.type = SDL_CONTROLLERAXISMOTION;
        motion.caxis.which = id;
        motion.caxis.axis = 0;
        motion.caxis.value = 32767;
        ASSERT_EQ(SDL_PushEvent(&motion), 1);
        step(3);
        EXPECT_NE(std::u16string(meter.shownText()), before);
        EXPECT_EQ(meter.shownText(), axisMeterText(1.0f));
        const std::vector<Rgba> moved = screenPixels();
        int changed = 0;
        for (int y = meter.absY; y < meter.absY + meter.height; ++y)
            for (int x = meter.absX; x < meter.absX + meter.width; ++x) {
                const Rgba& a = rest[static_cast<std::size_t>(y * s.w + x)];
                const Rgba& b = moved[static_cast<std::size_t>(y * s.w + x)];
                changed += std::abs(a.r - b.r) + std::abs(a.g - b.g) + std::abs(a.b - b.b) > 120 ? 1 : 0;
            }
        EXPECT_GT(changed, 10) << "the mark moved on screen";
        savePicture(name("joycfg_moved", s));
        motion.caxis.value = 0;
        ASSERT_EQ(SDL_PushEvent(&motion), 1);

        // A held button's focused item stays red through the focus pulse; released, it is grey again.
        SpriteButton& held = *page.pads[0].buttons[SDL_CONTROLLER_BUTTON_LEFTSHOULDER];
        page.focusedItem = &held;
        held.parent->scrollToChild(&held);
        SDL_Event press{};
        press.type = SDL_CONTROLLERBUTTONDOWN, press.cbutton.which = id;
        press.cbutton.button = SDL_CONTROLLER_BUTTON_LEFTSHOULDER;
        ASSERT_EQ(SDL_PushEvent(&press), 1);
        step(30);
        const auto redIn = [&] { return count(held.absX, held.absY, held.absX + held.width, held.absY + held.height, red); };
        for (int i = 0; i < 4; ++i, step(7))
            EXPECT_GT(redIn(), 10) << "held, frame group " << i;
        savePicture(name("joycfg_held", s));
        press.type = SDL_CONTROLLERBUTTONUP;
        ASSERT_EQ(SDL_PushEvent(&press), 1);
        step(3);
        EXPECT_EQ(redIn(), 0);
        clearFrameHistory();
    }
    SDL_JoystickDetachVirtual(index);
    step(2);
}

TEST_F(PlayerPagesGl, ProfileTakesATypedName)
{
    for (const Size& s : kSizes) {
        boot(s.w, s.h);
        settings().playerName = u"Pilot";
        settings().playerRank = 5;
        ProfileMenuFrame page;
        goToFrame(&page);
        step(20);
        EXPECT_GT(count(0, 0, s.w, s.h, bright), 2000);
        savePicture(name("profile", s));
        centreClick(*page.nameButton);
        step(5);
        ASSERT_TRUE(SpriteKeyboard::instance().visible);
        for (int i = 0; i < 5; ++i)
            pressKey(SDL_SCANCODE_BACKSPACE);
        typeText("Maverick");
        step(2);
        savePicture(name("profile_keyboard", s));
        pressKey(SDL_SCANCODE_RETURN);
        step(30);
        EXPECT_EQ(settings().playerName, u"Maverick");
        EXPECT_EQ(page.nameLabel->labelText(), u"Maverick");
        EXPECT_TRUE(std::filesystem::exists(saveFolder().path() / Settings::kFileName));
        clearFrameHistory();
    }
}

TEST_F(PlayerPagesGl, PaintingTracksShowTheColourAndTheHueDragIsStored)
{
    for (const Size& s : kSizes) {
        boot(s.w, s.h);
        const int plane = settings().localPlaneId;
        settings().setPaint(plane, PlanePaint{0.0f, 1.0f, 1.0f, 200.0f, 0.5f, 0.5f});
        FilledMenuFrame below;
        PlanePaintingMenuFrame page;
        goToFrame(&below);
        goToFrame(&page);
        step(10);
        // The saturation track: full red at its top, white at its bottom.
        const VerticalSlider& sat = *page.saturationSlider;
        const int cx = sat.absX + sat.width / 2;
        // Points a fifth and nine tenths down a track, clear of the thumbs at its top.
        auto along = [](const VerticalSlider& v, float f) {
            return v.absY + v.halfThumb + static_cast<int>(f * static_cast<float>(v.height - 2 * v.halfThumb));
        };
        const Rgba top = screenPixel(cx, along(sat, 0.2f));
        const Rgba bottom = screenPixel(cx, along(sat, 0.9f));
        EXPECT_GT(top.r, 200) << top;
        EXPECT_LT(top.g, 90) << top;
        EXPECT_GT(bottom.g, 180) << bottom;
        // The value track: bright at its top, black at its bottom.
        const VerticalSlider& val = *page.valueSlider;
        const int vx = val.absX + val.width / 2;
        EXPECT_GT(screenPixel(vx, along(val, 0.2f)).r, 150);
        EXPECT_LT(screenPixel(vx, along(val, 0.9f)).r, 40);
        savePicture(name("painting", s));

        // The hue thumb dragged a third of the way: the tracks turn green.
        SpriteSlider& hue = *page.hueSlider;
        const int y = hue.absY + hue.height / 2;
        const int x = hue.absX + hue.thumbPosition() + hue.halfThumb;
        mouseDown(x, y);
        step(1);
        for (int i = 1; i <= 10; ++i) {
            mouseMove(x + i * hue.trackLength / 30, y);
            step(1);
        }
        mouseUp(x + hue.trackLength / 3, y);
        step(10);
        EXPECT_NEAR(page.colours[0][0], 120.0f, 12.0f);
        const Rgba green = screenPixel(cx, along(sat, 0.2f));
        EXPECT_GT(green.g, 180) << green;
        EXPECT_LT(green.r, 90) << green;
        savePicture(name("painting_green", s));
        goBack();
        step(2);
        EXPECT_NEAR(settings().paintAt(plane).hue0, 120.0f, 12.0f);
        clearFrameHistory();
    }
}

TEST_F(PlayerPagesGl, WeaponCardsDrawAndADotChoosesTheWeapon)
{
    for (const Size& s : kSizes) {
        boot(s.w, s.h);
        settings().weaponLoadout = {-1, -1, -1};
        FilledMenuFrame below;
        WeaponSelectionMenuFrame page;
        goToFrame(&below);
        goToFrame(&page);
        step(20);
        EXPECT_GT(count(0, 0, s.w, s.h, bright), 3000);
        savePicture(name("weapons", s));
        SpritePageIndicator& dots = *page.dots[0];
        ASSERT_GE(dots.pageCount, 2);
        const int target = dots.currentPage == 0 ? 1 : 0;
        // The dots are spread from the row's left end.
        const int step_ = dots.dotWidth + dots.spacing;
        click(dots.absX + target * step_ + dots.dotWidth / 2, dots.absY + dots.height / 2);
        step(30);
        EXPECT_EQ(dots.currentPage, target);
        EXPECT_EQ(page.chosen[0], page.weaponIdAt(0, target));
        EXPECT_FALSE(page.defaultBoxes[0]->checked);
        savePicture(name("weapons_chosen", s));
        goBack();
        step(2);
        EXPECT_EQ(settings().weaponLoadout[1], page.weaponIdAt(0, target));
        clearFrameHistory();
    }
}
