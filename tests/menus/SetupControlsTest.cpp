#include "StagedPageTest.h"

#include "menus/frontend/GameSetupMenuFrame.h"
#include "menus/settings/ControlsMenuFrame.h"
#include "menus/settings/SetKeysMenuFrame.h"
#include "platform/Controls.h"
#include "ui/widgets/MenuPanel.h"
#include "ui/widgets/SpriteButton.h"
#include "ui/widgets/SpriteCheckbox.h"
#include "ui/widgets/SpriteLabel.h"
#include "ui/widgets/SpriteSlider.h"

#include <memory>
#include <string>

namespace {
using GameSetup = PageTest;
using ControlsPage = PageTest;
using KeyLabels = StagedPageTest;

std::vector<GameSetupMenuFrame::MapEntry> threeMaps()
{
    return {{11, 1, -1}, {11, 2, -1}, {11, 3, -1}};
}

std::string shown(const SpriteLabel& label)
{
    std::string out;
    for (char16_t c : label.shownText())
        out += static_cast<char>(c);
    return out;
}

// Shown and enabled, or hidden and disabled, as the row operations set them.
bool on(const MenuItem* item)
{
    return item->visible && item->enabled;
}
bool off(const MenuItem* item)
{
    return !item->visible && !item->enabled;
}
}  // namespace

TEST_F(GameSetup, SliderEndsGiveTheRangeLimits)
{
    GameSetupMenuFrame page(threeMaps());
    page.onTimeSlider(0.0f);
    page.onSkillSlider(0.0f);
    page.onSunSlider(0.0f);
    EXPECT_EQ(settings().skirmishOption, 5);
    EXPECT_FLOAT_EQ(settings().aiSkill, 0.2f);
    EXPECT_FLOAT_EQ(settings().sunValue, 0.04f);
    EXPECT_EQ(shown(*page.timeLabel), "5");
    page.onTimeSlider(1.0f);
    page.onSkillSlider(1.0f);
    page.onSunSlider(1.0f);
    EXPECT_EQ(settings().skirmishOption, 20);
    EXPECT_FLOAT_EQ(settings().aiSkill, 1.0f);
    EXPECT_FLOAT_EQ(settings().sunValue, 0.96f);
    EXPECT_EQ(shown(*page.timeLabel), "20");
    // Out-of-range positions stay inside.
    page.onTimeSlider(3.0f);
    page.onSkillSlider(-2.0f);
    EXPECT_EQ(settings().skirmishOption, 20);
    EXPECT_FLOAT_EQ(settings().aiSkill, 0.2f);
}

TEST_F(GameSetup, SkillIconFollowsTheThirdsOfTheSlider)
{
    GameSetupMenuFrame page(threeMaps());
    page.skillSlider->value = 0.1f;
    page.onSkillSlider(0.1f);
    EXPECT_EQ(page.skillIcon->frame, 112);
    page.skillSlider->value = 0.5f;
    page.onSkillSlider(0.5f);
    EXPECT_EQ(page.skillIcon->frame, 111);
    page.skillSlider->value = 1.0f;
    page.onSkillSlider(1.0f);
    EXPECT_EQ(page.skillIcon->frame, 110);
}

TEST_F(GameSetup, StoredValuesArePlacedOnShowAndLongLimitShowsUntilMoved)
{
    settings().skirmishOption = 30;
    settings().aiSkill = 0.05f;
    settings().skirmishMap = -7;
    settings().save();
    GameSetupMenuFrame page(threeMaps());
    goToFrame(&page);
    EXPECT_EQ(shown(*page.timeLabel), "30");
    EXPECT_EQ(settings().skirmishOption, 30);
    EXPECT_FLOAT_EQ(page.timeSlider->value, 1.0f);
    EXPECT_FLOAT_EQ(settings().aiSkill, 0.2f);
    EXPECT_EQ(settings().skirmishMap, -1);
    page.onTimeSlider(page.timeSlider->value);
    EXPECT_EQ(settings().skirmishOption, 20);
}

TEST_F(GameSetup, MapChoiceStoresSavesAndStartsOnlyWithAHandler)
{
    GameSetupMenuFrame page(threeMaps());
    page.onMapChosen(2);
    EXPECT_EQ(settings().skirmishMap, 2);
    EXPECT_EQ(onDisk().skirmishMap, 2);
    int started = 0;
    page.startHandler = [&] { ++started; };
    page.randomMapButton->onRelease();
    EXPECT_EQ(started, 1);
    EXPECT_EQ(settings().skirmishMap, -1);
    EXPECT_EQ(onDisk().skirmishMap, -1);
}

TEST_F(GameSetup, StripHoldsSpacersAroundTheRandomMapAndOneButtonPerMap)
{
    GameSetupMenuFrame empty(std::vector<GameSetupMenuFrame::MapEntry>{});
    ASSERT_EQ(empty.mapStrip->itemCount(), 3);
    EXPECT_EQ(empty.mapStrip->itemAt(1), empty.randomMapButton);
    EXPECT_EQ(empty.randomMapButton->tag, -1);
    GameSetupMenuFrame page(threeMaps());
    ASSERT_EQ(page.mapStrip->itemCount(), 6);
    EXPECT_EQ(page.mapStrip->itemAt(4)->tag, 2);
    EXPECT_EQ(static_cast<SpriteButton*>(page.mapStrip->itemAt(2))->frame, 1);
}

TEST_F(GameSetup, EachRowOperationShowsExactlyItsRows)
{
    GameSetupMenuFrame page(threeMaps());
    page.layoutForPlay();
    EXPECT_TRUE(on(page.timeSlider) && on(page.timeLabel) && page.timeIcon->visible);
    EXPECT_TRUE(on(page.skillSlider) && page.skillIcon->visible);
    EXPECT_TRUE(off(page.sunSlider) && !page.sunIconMid->visible);
    EXPECT_TRUE(off(page.onlineOption));

    page.showModeChoice(true);
    EXPECT_TRUE(page.onlineHost);
    EXPECT_TRUE(on(page.timeSlider));
    EXPECT_TRUE(off(page.skillSlider) && !page.skillIcon->visible);
    EXPECT_TRUE(off(page.sunSlider));
    EXPECT_TRUE(off(page.onlineOption));

    page.showHostRows();
    EXPECT_TRUE(off(page.timeSlider) && off(page.skillSlider));
    EXPECT_TRUE(on(page.sunSlider) && page.sunIconLeft->visible && page.sunIconRight->visible);

    page.onlineOption->checked = true;
    page.showOptionRows(false);
    EXPECT_TRUE(off(page.timeSlider) && off(page.skillSlider) && off(page.sunSlider));
    EXPECT_TRUE(on(page.onlineOption));
    EXPECT_FALSE(page.onlineOption->checked);

    page.showOptionRows(true);
    EXPECT_TRUE(on(page.skillSlider));
    EXPECT_TRUE(on(page.onlineOption));   // unchanged with the skill row

    page.showModeChoice(false);
    page.showOptionRows(false);
    EXPECT_TRUE(off(page.onlineOption));
}

TEST_F(GameSetup, HideAppliesTheSlidersAndSaves)
{
    GameSetupMenuFrame page(threeMaps());
    goToFrame(&page);
    page.sunSlider->value = 1.0f;   // where a drag leaves it
    page.timeSlider->value = 0.0f;
    removeSaved(Settings::kFileName);
    page.onHide();
    EXPECT_EQ(onDisk().skirmishOption, 5);
    EXPECT_NEAR(onDisk().sunValue, 0.96f, 1e-4f);
}

TEST_F(GameSetup, KeyPagingStopsAtTheStripEnds)
{
    GameSetupMenuFrame page(threeMaps());
    goToFrame(&page);
    MenuPanel& strip = *page.mapStrip;
    strip.contentWidth = strip.width + 40;   // 40 pixels to scroll
    strip.itemAt(0)->width = 200;
    strip.itemAt(1)->width = 200;            // 40 pixels a frame
    page.scrollRight();
    page.update();
    page.update();
    EXPECT_GE(strip.scrollX, -40.0f);
    strip.scrollX = -40.0f;
    page.scrollRight();
    page.update();
    EXPECT_GE(strip.scrollX, -40.0f);
    page.scrollLeft();
    page.update();
    page.update();
    EXPECT_LE(strip.scrollX, 0.0f);
    EXPECT_EQ(page.pageScroll, -8);
}

TEST_F(ControlsPage, TouchingTheActiveDeviceBoxChangesNothing)
{
    settings().controlDevice = 1;
    ControlsMenuFrame page;
    goToFrame(&page);
    removeSaved(Controls::kFileName);
    ASSERT_TRUE(page.deviceBoxes[1]->checked);
    page.deviceBoxes[1]->activate();
    EXPECT_TRUE(page.deviceBoxes[1]->checked);
    EXPECT_EQ(settings().controlDevice, 1);
    EXPECT_FALSE(saved_file_exists(Controls::kFileName));
    EXPECT_TRUE(page.devicePanels[1]->visible);
    EXPECT_FALSE(page.devicePanels[0]->visible);
}

TEST_F(ControlsPage, DeviceChangeWritesControlsAndSettings)
{
    settings().controlDevice = 0;
    ControlsMenuFrame page;
    goToFrame(&page);
    removeSaved(Controls::kFileName);
    removeSaved(Settings::kFileName);
    page.deviceBoxes[2]->activate();
    EXPECT_EQ(settings().controlDevice, 2);
    EXPECT_FALSE(page.deviceBoxes[0]->checked);
    EXPECT_TRUE(page.devicePanels[2]->visible && page.devicePanels[2]->enabled);
    EXPECT_FALSE(page.devicePanels[0]->visible);
    EXPECT_TRUE(saved_file_exists(Controls::kFileName));
    EXPECT_EQ(controls().currentScheme(), 2);
    EXPECT_EQ(onDisk().controlDevice, 2);
}

TEST_F(ControlsPage, AStoredDeviceOutOfRangeChangesNoPanel)
{
    settings().controlDevice = 7;
    ControlsMenuFrame page;
    for (MenuPanel* panel : page.devicePanels)
        panel->visible = true;
    goToFrame(&page);
    for (int i = 0; i < 3; ++i) {
        EXPECT_TRUE(page.devicePanels[i]->visible);
        EXPECT_FALSE(page.deviceBoxes[i]->checked);
    }
}

TEST_F(ControlsPage, SensitivitiesSpanTheirRangeAndAreSavedOnHide)
{
    settings().keyboardSensitivity = 5.0f;   // a damaged value still places the thumb on the track
    EXPECT_FLOAT_EQ(sensitivityToPosition(5.0f), 1.0f);
    EXPECT_FLOAT_EQ(sensitivityToPosition(-3.0f), 0.0f);
    ControlsMenuFrame page;
    goToFrame(&page);
    page.onSensitivity(0, 0.0f);
    EXPECT_FLOAT_EQ(settings().keyboardSensitivity, 0.6f);
    page.onSensitivity(2, 1.0f);
    EXPECT_FLOAT_EQ(settings().mouseSensitivity, 1.7f);
    removeSaved(Settings::kFileName);
    removeSaved(Controls::kFileName);
    page.onHide();
    EXPECT_FLOAT_EQ(onDisk().mouseSensitivity, 1.7f);
    EXPECT_TRUE(saved_file_exists(Controls::kFileName));
}

// The first game's question says the control type can be changed here.
TEST_F(ControlsPage, TheControlTypeIsChangedHereAndSavedAtOnce)
{
    settings().controlType = 2;   // not chosen yet
    ControlsMenuFrame page;
    goToFrame(&page);
    EXPECT_FALSE(page.arcadeBox->checked);
    removeSaved(Settings::kFileName);
    page.arcadeBox->activate();
    EXPECT_EQ(settings().controlType, 1);
    EXPECT_EQ(onDisk().controlType, 1);
    page.arcadeBox->activate();
    EXPECT_EQ(settings().controlType, 0);
    EXPECT_EQ(onDisk().controlType, 0);
    // Inside a tutorial that forces the arcade type the box shows the
    // player's own choice, and a change takes effect when the tutorial ends.
    settings().forceControlType(1);
    page.onShow();
    EXPECT_FALSE(page.arcadeBox->checked);
    page.arcadeBox->activate();
    EXPECT_EQ(settings().playerControlType(), 1);
    settings().forceControlType(0);
    EXPECT_EQ(settings().controlType, 0);
    settings().endForcedValues();
    EXPECT_EQ(settings().controlType, 1);
}

TEST_F(ControlsPage, OptionBoxesSaveAtOnce)
{
    settings().invertPitch = 0;
    ControlsMenuFrame page;
    goToFrame(&page);
    removeSaved(Settings::kFileName);
    page.invertBox->activate();
    EXPECT_EQ(settings().invertPitch, 1);
    EXPECT_EQ(onDisk().invertPitch, 1);
    // The set-up button leads to the key set-up of the chosen device.
    EXPECT_TRUE(page.setupButtons[0]->enabled);
    settings().controlDevice = 2;
    page.openSetKeys();
    auto* keys = dynamic_cast<SetKeysMenuFrame*>(currentFrame());
    ASSERT_NE(keys, nullptr);
    EXPECT_EQ(keys->titleLabel->stringId, 1710);
    EXPECT_EQ(controls().currentScheme(), 2);
    EXPECT_FALSE(keys->joystickButton->visible);
}

// Every row of the key set-up names its own action, in every scheme that
// offers it: a label list one entry short shifts all rows below the gap.
TEST_F(KeyLabels, EveryRowNamesItsAction)
{
    static constexpr const char* kNames[kControlActionCount] = {
        "Roll Left", "Roll Right", "Pitch Up", "Pitch Down", "Yaw Left", "Yaw Right", "Accelerate", "Brake",
        "Fire Weapon 1", "Fire Weapon 2", "Fire Weapon 3", "Lock Target", "Change Camera", "Eject", "Autopilot",
        "Hide HUD", "Squadron Orders", "Squadron: Attack", "Squadron: Defend", "Squadron: Form Up", "Boost",
        "Link Weapons", "Chat", "Show Scores", "Pause Menu", "Console", "Zoom", "Look Around", "Fast Forward",
        "Menu Up", "Menu Down", "Menu Left", "Menu Right", "Menu Select", "Menu Back"};
    const int keepScheme = controls().currentScheme();
    for (int scheme = 0; scheme < 3; ++scheme) {
        controls().setDefaults(scheme);
        controls().setCurrentScheme(scheme);
        SetKeysMenuFrame page;
        page.onShow();
        int rows = 0;
        for (int action = 0; action < kControlActionCount; ++action) {
            const SpriteLabel* label = page.rowLabels[static_cast<std::size_t>(action)];
            if (!controls().binding(action).shown) {
                EXPECT_EQ(label, nullptr) << "scheme " << scheme << ", action " << action;
                continue;
            }
            ASSERT_NE(label, nullptr) << "scheme " << scheme << ", action " << action;
            EXPECT_EQ(shown(*label), kNames[action]) << "scheme " << scheme << ", action " << action;
            ++rows;
        }
        // The rows below the autopilot's are the ones a short list shifts.
        EXPECT_GT(rows, static_cast<int>(ControlAction::Autopilot)) << "scheme " << scheme;
        page.onHide();
    }
    controls().setCurrentScheme(keepScheme);
}
