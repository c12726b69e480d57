#include "MenusTestSupport.h"
#include "StagedMenuData.h"
#include "support/ui/FakeMenuShowcase.h"

#include "gamedata/records/PlaneList.h"
#include "gamedata/records/WeaponList.h"
#include "menus/settings/JoyCfgMenuFrame.h"
#include "menus/settings/PlanePaintingMenuFrame.h"
#include "menus/settings/ProfileMenuFrame.h"
#include "menus/settings/SetKeysMenuFrame.h"
#include "menus/settings/WeaponSelectionMenuFrame.h"
#include "platform/Controls.h"
#include "platform/Input.h"
#include "ui/MenuNavigation.h"
#include "ui/widgets/HMenuItemsSlider.h"
#include "ui/widgets/MenuPanel.h"
#include "ui/widgets/SpriteButton.h"
#include "ui/widgets/SpriteCheckbox.h"
#include "ui/widgets/SceneMenuFrame.h"
#include "ui/widgets/SpriteHComboBox.h"
#include "ui/widgets/SpriteLabel.h"
#include "ui/widgets/SpriteSlider.h"

#include <cmath>
#include <string>

namespace {
// The staged records and English texts, mounted once for every test here.
void mountStagedData()
{
    mountStagedMenuData();
    static bool weapons = false;
    if (weapons)
        return;
    weapons = true;
    ASSERT_TRUE(WeaponList::instance().load(WeaponList::kListPath, stagedMenuTexts()));
}

std::string narrow(std::u16string_view text)
{
    std::string out;
    for (char16_t c : text)
        out += static_cast<char>(c);
    return out;
}

int scancodeOf(int keyIndex)
{
    return Input::keyInfo(keyIndex).keyCode;
}

struct PlayerPage : PageTest {
    void SetUp() override
    {
        PageTest::SetUp();
        mountStagedData();
        input() = Input();
        settings().controlDevice = 0;
        controls().setCurrentScheme(0);
        controls().setDefaultsProfile0();
        controls().setDefaultsProfile1();
    }
    void TearDown() override
    {
        input() = Input();
        PageTest::TearDown();
    }
    // One menu frame: the page's update, then the input frame ends.
    void frame(MenuFrame& page)
    {
        page.update();
        input().endFrame();
    }
    void tapKey(MenuFrame& page, int keyIndex)
    {
        input().keyDown(scancodeOf(keyIndex));
        frame(page);
        input().keyUp(scancodeOf(keyIndex));
        frame(page);
    }
    // Opens the capture of a row and waits out the input delay.
    void openCapture(SetKeysMenuFrame& page, int action, int slot)
    {
        page.onBindingButton(*page.bindingButtons[action][slot]);
        for (int i = 0; i < SetKeysMenuFrame::kInputDelay; ++i)
            frame(page);
    }
};

using KeySetup = PlayerPage;
using ControllerPage = PlayerPage;
using ProfilePage = PlayerPage;
using PaintingPage = PlayerPage;
using WeaponPage = PlayerPage;

constexpr int kKeyA = 10, kKeyB = 11;  // key table indices of two letters
}  // namespace

// ---- Key set-up: the capture state machine over synthetic input ----

TEST_F(KeySetup, KeyPressedDuringTheDelayIsIgnoredAndTheNextOneBinds)
{
    SetKeysMenuFrame page;
    page.applyControlType();
    page.onShow();
    const int radar = static_cast<int>(ControlAction::Radar);
    page.onBindingButton(*page.bindingButtons[radar][1]);
    EXPECT_EQ(page.captureRow, radar);
    EXPECT_EQ(page.captureSlot, 1);
    // The key that opened the capture is still going down: it must not bind.
    input().keyDown(scancodeOf(kKeyA));
    frame(page);
    input().keyUp(scancodeOf(kKeyA));
    for (int i = 1; i < SetKeysMenuFrame::kInputDelay; ++i)
        frame(page);
    EXPECT_TRUE(page.capturing());
    EXPECT_NE(controls().binding(radar).code2, kKeyA);
    // A second press while capturing is ignored too.
    page.onBindingButton(*page.bindingButtons[0][0]);
    EXPECT_EQ(page.captureRow, radar);

    tapKey(page, kKeyB);
    EXPECT_FALSE(page.capturing());
    EXPECT_EQ(controls().binding(radar).kind2, BindingKind::Key);
    EXPECT_EQ(controls().binding(radar).code2, kKeyB);
    EXPECT_EQ(narrow(page.bindingButtons[radar][1]->labelText()), Input::keyInfo(kKeyB).displayName);
}

// A binding clicked with the mouse waits for its key in red: the row's name
// and the button, its focus colour too (the click gave it the focus); the
// key that comes turns them back to white.
TEST_F(KeySetup, AClickedBindingWaitsInRedUntilItsKeyComes)
{
    SetKeysMenuFrame page;
    page.applyControlType();
    goToFrame(&page);
    frame(page);
    const int roll = 0;
    const SpriteButtonR& button = *page.bindingButtons[roll][0];
    const SpriteLabel& label = *page.rowLabels[roll];
    auto red = [](Color4 c) { return c.r == 255 && c.g == 0 && c.b == 0 && c.a == 255; };
    auto white = [](Color4 c) { return c.r == 255 && c.g == 255 && c.b == 255; };
    ASSERT_TRUE(white(button.color) && white(label.textColor));
    const int x = button.absX + button.width / 2, y = button.absY + button.height / 2;
    dispatchTouchDown(x, y);
    dispatchTouchUp(x, y);
    ASSERT_TRUE(page.capturing()) << "a click at " << x << ", " << y;
    for (int i = 0; i < SetKeysMenuFrame::kInputDelay; ++i)
        frame(page);
    EXPECT_TRUE(red(button.color) && red(button.textColor)) << "the button waits in red";
    EXPECT_TRUE(button.useFocusColor && red(button.focusColor)) << "red under the focus too";
    EXPECT_TRUE(red(label.textColor)) << "the row's name waits in red";
    tapKey(page, kKeyB);
    EXPECT_FALSE(page.capturing());
    EXPECT_EQ(controls().binding(roll).code1, kKeyB);
    EXPECT_TRUE(white(button.color) && white(button.textColor) && white(label.textColor));
    EXPECT_FALSE(button.useFocusColor);
}

TEST_F(KeySetup, EscClosesWithoutChangeAndGraveClears)
{
    SetKeysMenuFrame page;
    page.applyControlType();
    page.onShow();
    const ActionBinding before = controls().binding(0);
    openCapture(page, 0, 0);
    EXPECT_TRUE(page.onEscape()) << "Esc while capturing is the page's";
    tapKey(page, Input::kKeyEsc);
    EXPECT_FALSE(page.capturing());
    EXPECT_EQ(controls().binding(0).kind1, before.kind1);
    EXPECT_EQ(controls().binding(0).code1, before.code1);
    EXPECT_FALSE(page.onEscape()) << "without a capture Esc goes back";

    openCapture(page, 0, 0);
    tapKey(page, Input::kKeyGrave);
    EXPECT_EQ(controls().binding(0).kind1, BindingKind::None);
    EXPECT_TRUE(page.bindingButtons[0][0]->labelText().empty());
}

TEST_F(KeySetup, AKeyTakenFromAnotherActionOfTheGroupLeavesIt)
{
    SetKeysMenuFrame page;
    page.applyControlType();
    page.onShow();
    const ActionBinding rollLeft = controls().binding(0);
    ASSERT_EQ(rollLeft.kind1, BindingKind::Key);
    const int eject = static_cast<int>(ControlAction::Eject);
    openCapture(page, eject, 0);
    tapKey(page, rollLeft.code1);
    EXPECT_EQ(controls().binding(eject).code1, rollLeft.code1);
    EXPECT_NE(controls().binding(0).kind1 == BindingKind::Key && controls().binding(0).code1 == rollLeft.code1, true);
    EXPECT_TRUE(page.bindingButtons[0][0]->labelText().empty());
}

TEST_F(KeySetup, AxisBindsOnlyOnAPairedActionOrAsATrigger)
{
    settings().controlDevice = 1;
    SetKeysMenuFrame page;
    page.applyControlType();
    EXPECT_TRUE(page.joystickButton->visible);
    page.onShow();
    const int pad = 7;
    ASSERT_EQ(input().controllerAdded(pad, "Test Pad", 6, 12, true), 0);
    input().joystick(0).triggerAxis.fill(0);

    // Radar has no pair: a full-range stick moved all the way does nothing.
    const int radar = static_cast<int>(ControlAction::Radar);
    openCapture(page, radar, 0);
    input().joystickAxis(pad, 2, 32767);
    frame(page);
    EXPECT_TRUE(page.capturing());
    input().joystickAxis(pad, 2, 0);
    frame(page);

    // Marked as a trigger, the same axis binds.
    input().joystick(0).triggerAxis[2] = 1;
    page.setCaptureTarget(-1, -1);
    openCapture(page, radar, 0);
    input().joystickAxis(pad, 2, 32767);
    frame(page);
    EXPECT_FALSE(page.capturing());
    EXPECT_EQ(controls().binding(radar).kind1, BindingKind::Axis1);
    EXPECT_EQ(controls().binding(radar).code1, 2);
    input().joystickAxis(pad, 2, 0);
    frame(page);

    // Roll Left has a pair: a stick binds at once, on both halves.
    const int rollLeft = static_cast<int>(ControlAction::Roll_Left);
    ASSERT_GE(controls().binding(rollLeft).pairedAction, 0);
    openCapture(page, rollLeft, 0);
    input().joystickAxis(pad, 3, -32767);
    frame(page);
    EXPECT_EQ(controls().binding(rollLeft).kind1, BindingKind::Axis1);
    EXPECT_EQ(controls().binding(rollLeft).code1, 3);
    EXPECT_EQ(controls().binding(controls().binding(rollLeft).pairedAction).code1, 3);

    // A controller button binds as a button of controller 1.
    openCapture(page, radar, 1);
    input().joystickButton(pad, 9, true);
    frame(page);
    EXPECT_EQ(controls().binding(radar).kind2, BindingKind::Button1);
    EXPECT_EQ(controls().binding(radar).code2, 9);
}

TEST_F(KeySetup, MouseButtonZeroIsRefusedOnMenuActionsAndTheClickIsNotTakenTwice)
{
    SetKeysMenuFrame page;
    page.applyControlType();
    page.onShow();
    const int select = static_cast<int>(ControlAction::Menu_Select);
    const ActionBinding before = controls().binding(select);
    openCapture(page, select, 1);
    input().mouseButton(1, true);
    frame(page);
    EXPECT_FALSE(page.capturing()) << "the capture closes";
    EXPECT_EQ(controls().binding(select).kind2, before.kind2);
    EXPECT_EQ(controls().binding(select).code2, before.code2);
    EXPECT_EQ(page.inputDelay, SetKeysMenuFrame::kInputDelay);
    input().mouseButton(1, false);
    frame(page);
    // Until the delay has run out no binding button opens a capture.
    const int weapon = static_cast<int>(ControlAction::Weapon_1);
    page.onBindingButton(*page.bindingButtons[weapon][1]);
    EXPECT_FALSE(page.capturing());
    for (int i = 0; i < SetKeysMenuFrame::kInputDelay; ++i)
        frame(page);

    openCapture(page, weapon, 1);
    input().mouseButton(3, true);
    frame(page);
    EXPECT_EQ(controls().binding(weapon).kind2, BindingKind::Mouse);
    EXPECT_GT(controls().binding(weapon).code2, 0);
}

TEST_F(KeySetup, ResetRestoresTheSchemeAndRowsFollowTheShownFlags)
{
    SetKeysMenuFrame page;
    page.applyControlType();
    EXPECT_FALSE(page.joystickButton->visible);
    page.onShow();
    int shown = 0;
    for (int a = 0; a < kControlActionCount; ++a) {
        const bool offered = controls().binding(a).shown != 0;
        EXPECT_EQ(page.rowLabels[a] != nullptr, offered) << a;
        shown += offered ? 1 : 0;
    }
    EXPECT_GT(shown, 10);
    const int eject = static_cast<int>(ControlAction::Eject);
    const ActionBinding original = controls().binding(eject);
    openCapture(page, eject, 0);
    tapKey(page, kKeyB);
    ASSERT_EQ(controls().binding(eject).code1, kKeyB);
    page.onReset();
    EXPECT_EQ(controls().binding(eject).code1, original.code1);
    EXPECT_EQ(narrow(page.bindingButtons[eject][0]->labelText()),
              controls().bindingName(original.kind1, original.code1));
}

TEST_F(KeySetup, TheListFollowsTheFocusDownAndBackUp)
{
    SetKeysMenuFrame page;
    page.applyControlType();
    page.onShow();
    MenuPanel& list = *page.list();
    int last = -1;
    for (int a = 0; a < kControlActionCount; ++a)
        if (page.bindingButtons[a][0])
            last = a;
    SpriteButtonR* bottom = page.bindingButtons[last][0];
    ASSERT_GT(bottom->absY + bottom->height, list.absY + list.height) << "the last row starts out of view";
    page.focusedItem = bottom;
    for (int i = 0; i < 60 * 30 && bottom->absY + bottom->height > list.absY + list.height; ++i)
        page.update();
    EXPECT_LE(bottom->absY + bottom->height, list.absY + list.height);
    EXPECT_LT(list.scrollY, 0.0f);
    SpriteButtonR* top = page.bindingButtons[0][0];
    EXPECT_LT(top->absY, list.absY);
    page.focusedItem = top;
    for (int i = 0; i < 60 * 30 && top->absY < list.absY; ++i)
        page.update();
    EXPECT_GE(top->absY, list.absY);
}

// ---- Controller page ----

TEST_F(ControllerPage, MeterTextPlacesTheMarkAndClampsBothEnds)
{
    EXPECT_EQ(narrow(axisMeterText(-1.0f)), "[|--------------------]");
    EXPECT_EQ(narrow(axisMeterText(0.0f)), "[----------|----------]");
    EXPECT_EQ(narrow(axisMeterText(1.0f)), "[--------------------|]");
    EXPECT_EQ(narrow(axisMeterText(5.0f)), "[--------------------|]");
    EXPECT_EQ(narrow(axisMeterText(-3.0f)), "[|--------------------]");
    EXPECT_EQ(narrow(axisMeterText(std::nanf(""))), "[|--------------------]");
}

TEST_F(ControllerPage, TwelveButtonsMakeARowOfEightAndOneOfFourAndBoxesSetFlags)
{
    const int pad = 3;
    ASSERT_EQ(input().controllerAdded(pad, "Twelve", 4, 12, false), 0);
    input().joystick(0).triggerAxis = {0, 0, 1, 0, 0, 0, 0, 0};
    JoyCfgMenuFrame page;
    page.onShow();
    const auto& buttons = page.pads[0].buttons;
    ASSERT_EQ(buttons.size(), 12u);
    for (int i = 1; i < 8; ++i)
        EXPECT_EQ(buttons[i]->offsetY, buttons[0]->offsetY);
    for (int i = 9; i < 12; ++i)
        EXPECT_EQ(buttons[i]->offsetY, buttons[8]->offsetY);
    EXPECT_GT(buttons[8]->offsetY, buttons[0]->offsetY);
    EXPECT_EQ(buttons[8]->offsetX, buttons[0]->offsetX);
    EXPECT_TRUE(page.pads[0].axes[2].trigger->checked);
    EXPECT_EQ(page.pads[0].axes[3].trigger, page.pads[0].axes[3].trigger);
    EXPECT_EQ(page.pads[0].axes[4].meter, nullptr) << "four axes only";

    page.pads[0].axes[1].inverted->checked = true;
    page.applyAxisFlags();
    EXPECT_EQ(input().joystick(0).invertedAxis[1], 1);
    EXPECT_EQ(input().joystick(0).triggerAxis[2], 1);

    // Held buttons turn red, the meter follows the axis.
    input().joystickButton(pad, 5, true);
    input().joystickAxis(pad, 0, 32767);
    page.update();
    EXPECT_EQ(buttons[5]->textColor.g, 0);
    EXPECT_EQ(buttons[4]->textColor.r, JoyCfgMenuFrame::kIdleColour.r);
    EXPECT_EQ(narrow(page.pads[0].axes[0].meter->shownText()), "[--------------------|]");
}

TEST_F(ControllerPage, AControllerLeavingTakesThePageBack)
{
    const int pad = 4;
    ASSERT_EQ(input().controllerAdded(pad, "Going", 2, 4, true), 0);
    SetKeysMenuFrame below;
    JoyCfgMenuFrame page;
    goToFrame(&below);
    goToFrame(&page);
    page.update();
    EXPECT_EQ(currentFrame(), &page);
    input().controllerRemoved(pad);
    page.update();
    EXPECT_EQ(currentFrame(), &below);
}

// ---- Pilot profile ----

TEST_F(ProfilePage, NamesAreCleanedWholeThenCutAndAlwaysSaved)
{
    ProfileMenuFrame page;
    settings().playerName = u"Ace";
    page.onShow();
    EXPECT_EQ(page.nameLabel->labelText(), u"Ace");

    page.onTextEntered(u"Ab''");
    EXPECT_EQ(settings().playerName, u"Ace") << "a name the cleaning empties keeps the old one";
    EXPECT_TRUE(saved_file_exists(Settings::kFileName)) << "yet the file is written";

    page.onTextEntered(u"ABCDEFGHIJKLMNOPQRSTUVWXY");
    EXPECT_EQ(settings().playerName, u"ABCDEFGHIJKLMNOPQRS");
    EXPECT_EQ(page.nameLabel->labelText(), u"ABCDEFGHIJKLMNOPQRS");
    EXPECT_EQ(onDisk().playerName, u"ABCDEFGHIJKLMNOPQRS");

    removeSaved(Settings::kFileName);
    page.onTextCancelled(u"Ace");
    EXPECT_EQ(settings().playerName, u"Ace");
    EXPECT_TRUE(saved_file_exists(Settings::kFileName));
}

TEST_F(ProfilePage, RankPicksNameAndInsigniaAndPointsAddUp)
{
    ProfileMenuFrame page;
    settings().playerRank = 17;
    settings().pointsSP = 1200000;
    settings().pointsMP = 34;
    page.onShow();
    EXPECT_EQ(page.insignia->frame, 38);
    EXPECT_EQ(page.rankLabel->labelText(), getStringByIndex(155));
    EXPECT_EQ(narrow(page.pointsLabel->labelText()), narrow(getStringByIndex(1170)) + ": 1200034");
    settings().playerRank = 0;
    page.onShow();
    EXPECT_EQ(page.insignia->frame, 21);
    EXPECT_EQ(page.rankLabel->labelText(), getStringByIndex(138));
    EXPECT_EQ(rankInsigniaFrame(40), 38);
    EXPECT_EQ(rankInsigniaFrame(-2), 21);
}

// ---- Plane painting ----

TEST_F(PaintingPage, SmallMovesWriteNothingAndLeavingStoresOnlyChanges)
{
    const int plane = settings().localPlaneId;
    const int newColours = settings().eventTallyAt(false, PlanePaintingMenuFrame::kNewColoursEvent);
    PlanePaint stored{120.0f, 0.5f, 0.5f, 200.0f, 0.25f, 0.75f};
    settings().setPaint(plane, stored);
    PlanePaintingMenuFrame page;
    page.onShow();
    EXPECT_NEAR(page.colours[0][0], 120.0f, 2.0f);
    page.update();
    page.onHide();
    EXPECT_FALSE(saved_file_exists(Settings::kFileName)) << "nothing moved: no file";
    EXPECT_EQ(settings().paintAt(plane), stored);

    // Colour 1 changed, back to colour 0, leave: the whole row is stored.
    page.onShow();
    page.toggleColourSlot();
    EXPECT_TRUE(saved_file_exists(Settings::kFileName)) << "switching colours saves";
    removeSaved(Settings::kFileName);
    EXPECT_EQ(page.colourSlot, 1);
    EXPECT_EQ(page.slotButton->frame, 70);
    page.hueSlider->setValue(0.9f);
    page.update();
    EXPECT_EQ(page.changedMask, 2);
    page.toggleColourSlot();
    page.update();
    page.onHide();
    EXPECT_NEAR(settings().paintAt(plane).hue1, 324.0f, 2.0f);
    EXPECT_NEAR(settings().paintAt(plane).hue0, 120.0f, 2.0f);
    EXPECT_NEAR(onDisk().paintAt(plane).hue1, 324.0f, 2.0f);
    EXPECT_EQ(settings().eventTallyAt(false, PlanePaintingMenuFrame::kNewColoursEvent), newColours + 1)
        << "storing new colours counts for the achievements, once";
}

TEST_F(PaintingPage, ResetToFactoryColoursSetsBitsOnlyForRealChanges)
{
    const int plane = settings().localPlaneId;
    const PlanePaint factory = settings().defaultPaintTable[plane];
    settings().setPaint(plane, factory);
    PlanePaintingMenuFrame page;
    page.onShow();
    page.resetToDefaults();
    EXPECT_EQ(page.changedMask, 0);
    page.update();
    page.onHide();
    EXPECT_FALSE(saved_file_exists(Settings::kFileName));

    PlanePaint painted = factory;
    painted.value1 = factory.value1 > 0.5f ? 0.1f : 0.9f;
    settings().setPaint(plane, painted);
    page.onShow();
    page.resetToDefaults();
    EXPECT_EQ(page.changedMask, 2);
    page.revertColours();
    EXPECT_EQ(page.changedMask, 0);
    EXPECT_NEAR(page.colours[1][2], painted.value1, 0.001f);
}

TEST_F(PaintingPage, HueBeyondTheTrackPutsTheThumbAtItsEnd)
{
    const int plane = settings().localPlaneId;
    settings().setPaint(plane, PlanePaint{400.0f, 0.5f, 0.5f, 10.0f, 0.5f, 0.5f});
    PlanePaintingMenuFrame page;
    page.onShow();
    EXPECT_FLOAT_EQ(page.hueSlider->value, 1.0f);
    EXPECT_EQ(page.hueSlider->touchPoint(), page.hueSlider->thumbPosition() + page.hueSlider->halfThumb)
        << "placed through the setter: no stale touch point pulls it";
    for (int i = 0; i < 30; ++i)
        page.update();
    EXPECT_FLOAT_EQ(page.hueSlider->value, 1.0f);
    EXPECT_FLOAT_EQ(page.colours[0][0], 360.0f);
    EXPECT_EQ(page.changedMask, 0);
}

// ---- One plane on the profile and painting pages ----

namespace {
// Three planes of three families over two tiers, so every way of browsing has
// somewhere to go.
struct ThreePlanes {
    ThreePlanes()
    {
        scene.add({0, 0, 0});
        scene.add({1, 0, 1});
        scene.add({2, 1, 2});
        setMenuShowcase(&scene);
    }
    ~ThreePlanes() { setMenuShowcase(nullptr); }
    FakeMenuShowcase scene;
};

// Every way a showcase page browses: tier arrows, page dots by tap and by
// Select, touch zones, page keys and a drag; then the frames to finish any move.
void tryEveryWayToBrowse(SceneMenuFrame& page)
{
    for (SpriteButton2* arrow : {page.tierNextButton, page.tierPreviousButton}) {
        EXPECT_FALSE(arrow->visible);
        EXPECT_FALSE(arrow->enabled);
        EXPECT_FALSE(arrow->focusable);
        arrow->onClick();
    }
    page.planeIndicator->activate();
    page.variantIndicator->activate();
    page.planeIndicator->onPrevious();
    for (SpriteButton* zone : {page.zoneLeft, page.zoneRight, page.zoneUp, page.zoneDown})
        if (zone && zone->onClick)
            zone->onClick();
    page.scrollRight();
    page.scrollDown();
    page.startCameraMove1();
    page.startCameraMove4();
    page.onSwipe(-3000.0f, 0.0f);
    EXPECT_EQ(page.cameraMove, 0);
    for (int i = 0; i < 120; ++i)
        page.update();
}
}  // namespace

TEST_F(PaintingPage, NothingOnThePageBrowsesAndLeavingStoresOnlyThePaintedPlane)
{
    ThreePlanes planes;
    settings().localPlaneId = 0;
    settings().currentPlaneId = 0;
    const PlanePaint first{10.0f, 0.5f, 0.5f, 20.0f, 0.5f, 0.5f};
    const PlanePaint second{200.0f, 0.25f, 0.25f, 220.0f, 0.25f, 0.25f};
    settings().setPaint(0, first);
    settings().setPaint(1, second);
    PlanePaintingMenuFrame page;
    goToFrame(&page);
    EXPECT_TRUE(page.singlePlane);
    tryEveryWayToBrowse(page);
    EXPECT_EQ(settings().localPlaneId, 0) << "the page never changes the player's plane";
    EXPECT_EQ(page.showcase().planeId, 0);

    // The player's plane changes under the page (another page, a network
    // choice): the colours edited for plane 0 still go to plane 0 alone.
    page.hueSlider->setValue(0.5f);
    page.update();
    settings().localPlaneId = 1;
    page.onHide();
    EXPECT_NEAR(settings().paintAt(0).hue0, 180.0f, 2.0f);
    EXPECT_EQ(settings().paintAt(1), second);
    clearFrameHistory();
}

TEST_F(ProfilePage, TheSinglePlaneStaysAndTwoHiddenPlaceholdersShapeTheStrip)
{
    ThreePlanes planes;
    settings().localPlaneId = 0;
    settings().currentPlaneId = 0;
    FilledMenuFrame plain;
    ProfileMenuFrame page;
    const int reference = plain.sideRow->width;
    EXPECT_EQ(page.sideRow->width, reference);
    EXPECT_EQ(page.sideRow->x, plain.sideRow->x - reference) << "moved left by one reference width";
    ASSERT_EQ(page.sideRow->itemCount(), 2);
    for (int i = 0; i < 2; ++i) {
        SpriteButton* placeholder = page.placeholders[i];
        ASSERT_NE(placeholder, nullptr);
        EXPECT_TRUE(page.sideRow->itemAt(0) == placeholder || page.sideRow->itemAt(1) == placeholder);
        EXPECT_EQ(placeholder->frame, i == 0 ? 23 : 21);
        EXPECT_FALSE(placeholder->visible);
        EXPECT_FALSE(placeholder->enabled);
        EXPECT_FALSE(placeholder->focusable);
    }
    goToFrame(&page);
    tryEveryWayToBrowse(page);
    EXPECT_EQ(settings().localPlaneId, 0);
    EXPECT_EQ(page.showcase().planeId, 0);
    clearFrameHistory();
}

// ---- Weapon selection ----

TEST_F(WeaponPage, StatisticsNeverDivideByZero)
{
    WeaponCfg noSpread;
    noSpread.spread = 0.0f;
    EXPECT_EQ(weaponStatistic(noSpread, 5), 0.0f);
    EXPECT_EQ(statisticFill(3.0f, 0.0f), 0.0f);
    EXPECT_EQ(statisticFill(std::nanf(""), 2.0f), 0.0f);
    EXPECT_EQ(statisticFill(4.0f, 2.0f), 1.0f);
    EXPECT_FLOAT_EQ(statisticFill(1.0f, 4.0f), 0.25f);
    WeaponSelectionMenuFrame page;
    for (float m : page.maxima)
        EXPECT_TRUE(std::isfinite(m));
}

TEST_F(WeaponPage, DefaultSlotRoundTripsAsMinusOneAndNextWraps)
{
    settings().weaponLoadout = {-1, -1, -1};
    WeaponSelectionMenuFrame page;
    page.planeId = settings().localPlaneId;
    page.onShow();
    for (int i = 0; i < 60; ++i)
        page.update();
    EXPECT_TRUE(page.defaultBoxes[0]->checked);
    const PlaneCfg* plane = PlaneList::instance().findById(page.planeId);
    ASSERT_NE(plane, nullptr);
    const WeaponCfg* own = WeaponList::instance().findByName(plane->sp_weapon0);
    ASSERT_NE(own, nullptr);
    EXPECT_EQ(page.weaponForSlot(0, -1), own->weapon_id);
    EXPECT_EQ(page.dots[0]->currentPage, page.indexOfWeapon(0, own->weapon_id));
    page.onHide();
    EXPECT_EQ(settings().weaponLoadout[1], -1);
    EXPECT_EQ(onDisk().weaponLoadout[1], -1);

    // Next from the last card wraps to the first and leaves the default.
    page.onShow();
    const int last = page.dots[1]->pageCount - 1;
    page.selectWeapon(1, last);
    page.nextWeapon1();
    EXPECT_EQ(page.dots[1]->currentPage, 0);
    EXPECT_EQ(page.chosen[1], page.weaponIdAt(1, 0));
    EXPECT_FALSE(page.defaultBoxes[1]->checked);
    page.onHide();
    EXPECT_EQ(settings().weaponLoadout[2], page.weaponIdAt(1, 0));

    // Checking the box again goes back to the plane's own weapon.
    page.onShow();
    EXPECT_FALSE(page.defaultBoxes[1]->checked);
    page.defaultBoxes[1]->checked = true;
    page.onDefaultToggled(*page.defaultBoxes[1]);
    EXPECT_EQ(page.chosen[1], -1);
    page.onHide();
    EXPECT_EQ(settings().weaponLoadout[2], -1);
}

TEST_F(WeaponPage, StoredIdsNamingNoWeaponMeanThePlanesOwn)
{
    settings().weaponLoadout = {-1, 999, 4000};
    EXPECT_EQ(loadoutWeapon(0), -1);
    EXPECT_EQ(loadoutWeapon(1), -1);
    WeaponSelectionMenuFrame page;
    page.onShow();
    EXPECT_EQ(page.chosen[0], -1);
    EXPECT_TRUE(page.defaultBoxes[0]->checked);
}

TEST_F(WeaponPage, SmokeShowsOneRowAndUnknownPicturesDrawNothing)
{
    WeaponSelectionMenuFrame page;
    WeaponCfg smoke;
    smoke.type = WeaponSelectionMenuFrame::kSmokeType;
    smoke.reloadTime = 1.0f;
    smoke.frameUsed = 9000;
    auto* card = static_cast<MenuContainer*>(page.buildWeaponList(smoke));
    int rows = 0;
    const SpriteButton* picture = nullptr;
    for (MenuItem* item : card->drawList()) {
        if (auto* row = dynamic_cast<WeaponStateItem*>(item)) {
            ++rows;
            EXPECT_EQ(row->stringId, 1651);
        }
        if (auto* button = dynamic_cast<SpriteButton*>(item))
            picture = button;
    }
    EXPECT_EQ(rows, 1);
    ASSERT_NE(picture, nullptr);
    EXPECT_EQ(picture->frame, -1);
    delete card;

    WeaponCfg rocket;
    rocket.frameUsed = 1;
    card = static_cast<MenuContainer*>(page.buildWeaponList(rocket));
    rows = 0;
    for (MenuItem* item : card->drawList())
        rows += dynamic_cast<WeaponStateItem*>(item) ? 1 : 0;
    EXPECT_EQ(rows, 6);
    delete card;
}
