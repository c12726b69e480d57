#include "MenusTestSupport.h"
#include "support/sound/FakeAudioDevice.h"
#include "support/TestPak.h"
#include "support/sound/TestWav.h"

#include "menus/settings/AudioMenuFrame.h"
#include "menus/settings/GraphicsSettingsMenuFrame.h"
#include "platform/Options.h"
#include "sound/Sound.h"
#include "sound/SoundTable.h"
#include "ui/widgets/MenuPanel.h"
#include "ui/widgets/SpriteButton.h"
#include "ui/widgets/SpriteLabel.h"
#include "ui/widgets/SpriteCheckbox.h"
#include "ui/widgets/SpriteHComboBox.h"
#include "ui/widgets/SpriteSlider.h"

namespace {
using Res = GraphicsSettingsMenuFrame::Resolution;

struct GraphicsPage : PageTest {
    void SetUp() override
    {
        PageTest::SetUp();
        keep = startupGraphics();
        clearQuitKeepingSettings();
    }
    void TearDown() override
    {
        startupGraphics() = keep;
        clearQuitKeepingSettings();
        PageTest::TearDown();
    }
    GraphicsConfig keep;
};

struct AudioPage : PageTest {
    void SetUp() override
    {
        PageTest::SetUp();
        data.write(kMenuMusic, makeWav(1000, 2, 16, tone(50, 1000, 2000)));
        auto device = std::make_unique<FakeAudioDevice>();
        fake = device.get();
        ASSERT_TRUE(Sound::init(std::move(device)));
    }
    void TearDown() override
    {
        Sound::close();
        PageTest::TearDown();
    }
    TempDir data;
    FileLayerScope scope{saves.folder(), data.folder()};
    FakeAudioDevice* fake = nullptr;
};
}  // namespace

TEST(GraphicsModes, DuplicatesGoAndTheListStaysShortOfTheBoxLimit)
{
    const std::vector<Res> modes = {{1920, 1080}, {1920, 1080}, {1280, 720}, {0, 0}, {1280, 720}, {800, 600}};
    const std::vector<Res> kept = packableResolutions(modes);
    EXPECT_EQ(kept, (std::vector<Res>{{1920, 1080}, {1280, 720}, {800, 600}}));
    std::vector<Res> many;
    for (int i = 0; i < 1000; ++i)
        many.push_back({1000 + i, 1000});
    const std::vector<Res> packed = packableResolutions(many);
    std::size_t units = 1;
    for (const Res& r : packed)
        units += std::to_string(r.width).size() + 3 + std::to_string(r.height).size() + 1;
    EXPECT_LT(units, SpriteHComboBox::kMaxUnits);
    EXPECT_GT(packed.size(), 100u);
}

TEST_F(GraphicsPage, ReturningToTheShownValueHidesApply)
{
    startupGraphics() = {1280, 720, 0, 2, 1};
    GraphicsSettingsMenuFrame page({{1920, 1080}, {1280, 720}});
    goToFrame(&page);
    EXPECT_EQ(page.resolutionBox->selected, 1);
    EXPECT_EQ(page.qualityBox->selected, 1);
    EXPECT_FALSE(page.applyShown());
    page.qualityBox->select(2);
    page.onChoiceChanged();
    EXPECT_TRUE(page.applyShown());
    EXPECT_TRUE(page.restartNote->visible);
    page.qualityBox->select(1);
    page.onChoiceChanged();
    EXPECT_FALSE(page.applyShown());
}

TEST_F(GraphicsPage, FullScreenStoredAndAnyChangeWritesModeOneAndQuitsKeepingSettings)
{
    startupGraphics() = {1600, 900, 2, 0, 0};
    GraphicsSettingsMenuFrame page({{1920, 1080}, {1280, 720}});
    goToFrame(&page);
    // Shown as the nearest ends: the last mode item, the first quality; the
    // window's own size is listed among the screen's and shown.
    EXPECT_EQ(page.modeBox->selected, 1);
    EXPECT_EQ(page.qualityBox->selected, 0);
    EXPECT_EQ(page.resolutions(), (std::vector<Res>{{1920, 1080}, {1600, 900}, {1280, 720}}));
    EXPECT_EQ(page.resolutionBox->selected, 1);
    page.resolutionBox->select(0);
    page.onChoiceChanged();
    ASSERT_TRUE(page.applyShown());
    removeSaved(Settings::kFileName);
    page.applyAndQuit();
    EXPECT_TRUE(quitKeepingSettingsRequested());
    EXPECT_FALSE(saved_file_exists(Settings::kFileName));
    const GraphicsConfig written = loadGraphicsConfig();
    EXPECT_EQ(written.mode, 1);
    EXPECT_EQ(written.width, 1920);
    EXPECT_EQ(written.height, 1080);
    EXPECT_EQ(written.quality, 1);
    EXPECT_EQ(written.vsync, 1);
}

// A window size the screen does not list is shown in its place among the
// screen's sizes and kept when only the quality changes; stepping away and
// back to it hides apply again.
TEST_F(GraphicsPage, AnUnlistedWindowKeepsItsSizeWhenOnlyTheQualityChanges)
{
    EXPECT_EQ(withWindowSize({{800, 600}, {1280, 720}}, {1000, 700}),
              (std::vector<Res>{{800, 600}, {1000, 700}, {1280, 720}}));
    EXPECT_EQ(withWindowSize({{1280, 720}, {800, 600}}, {1920, 1200}),
              (std::vector<Res>{{1920, 1200}, {1280, 720}, {800, 600}}));
    EXPECT_EQ(withWindowSize({{1280, 720}}, {0, 0}), (std::vector<Res>{{1280, 720}}));
    EXPECT_TRUE(withWindowSize({}, {1000, 700}).empty());
    startupGraphics() = {1000, 700, 0, 2, 1};
    GraphicsSettingsMenuFrame page({{1920, 1080}, {1280, 720}, {800, 600}});
    goToFrame(&page);
    ASSERT_EQ(page.resolutions().size(), 4u);
    EXPECT_EQ(page.resolutionBox->selected, 2);
    page.resolutionBox->stepLeft();
    page.onChoiceChanged();
    EXPECT_TRUE(page.applyShown());
    page.resolutionBox->stepRight();
    page.onChoiceChanged();
    EXPECT_FALSE(page.applyShown());
    page.qualityBox->select(2);
    page.onChoiceChanged();
    ASSERT_TRUE(page.applyShown());
    page.applyAndQuit();
    const GraphicsConfig written = loadGraphicsConfig();
    EXPECT_EQ(written.width, 1000);
    EXPECT_EQ(written.height, 700);
    EXPECT_EQ(written.quality, 3);
}

TEST_F(GraphicsPage, ControllerStepsTheFocusedBoxAndReachesApply)
{
    startupGraphics() = {1280, 720, 0, 2, 1};
    GraphicsSettingsMenuFrame page({{1920, 1080}, {1280, 720}});
    goToFrame(&page);
    // The page opens on its back button.
    ASSERT_EQ(page.focusedItem, page.backButton());
    page.focusedItem = page.qualityBox;
    // Left and right step the focused box with wrap-around and keep the focus.
    page.moveFocus(MenuItem::kRight);
    EXPECT_EQ(page.qualityBox->selected, 2);
    EXPECT_EQ(page.focusedItem, page.qualityBox);
    EXPECT_EQ(page.qualityBox->lastStep, 0);
    EXPECT_TRUE(page.applyShown());
    page.moveFocus(MenuItem::kRight);
    EXPECT_EQ(page.qualityBox->selected, 0);
    page.moveFocus(MenuItem::kLeft);
    page.moveFocus(MenuItem::kLeft);
    EXPECT_EQ(page.qualityBox->selected, 1);
    EXPECT_FALSE(page.applyShown());
    // Down walks the boxes; a step there changes only that box.
    page.moveFocus(MenuItem::kDown);
    ASSERT_EQ(page.focusedItem, page.modeBox);
    page.moveFocus(MenuItem::kDown);
    ASSERT_EQ(page.focusedItem, page.resolutionBox);
    page.moveFocus(MenuItem::kLeft);
    EXPECT_EQ(page.resolutionBox->selected, 0);
    EXPECT_EQ(page.qualityBox->selected, 1);
    EXPECT_EQ(page.modeBox->selected, 0);
    ASSERT_TRUE(page.applyShown());
    // The apply button shown is the next stop down, and activation applies.
    page.moveFocus(MenuItem::kDown);
    ASSERT_EQ(page.focusedItem, page.applyButton);
    page.activateFocused();
    EXPECT_TRUE(quitKeepingSettingsRequested());
    EXPECT_EQ(loadGraphicsConfig().width, 1920);
}

TEST_F(GraphicsPage, WithoutDisplayModesApplyNeverShows)
{
    startupGraphics() = {1280, 720, 0, 2, 1};
    GraphicsSettingsMenuFrame page(std::vector<Res>{});
    goToFrame(&page);
    page.qualityBox->select(0);
    page.onChoiceChanged();
    EXPECT_FALSE(page.applyShown());
    page.applyAndQuit();
    EXPECT_FALSE(quitKeepingSettingsRequested());
    EXPECT_FALSE(saved_file_exists("graphics.cfg"));
}

TEST_F(AudioPage, SoundOffSilencesButKeepsTheVolume)
{
    settings().soundOn = 1;
    settings().soundVolume = 0.55f;
    AudioMenuFrame page;
    page.gameScreenCurrent = [] { return false; };
    goToFrame(&page);
    page.soundSwitch->activate();
    EXPECT_EQ(settings().soundOn, 0);
    EXPECT_FLOAT_EQ(fake->masterVolume(), 0.0f);
    EXPECT_FLOAT_EQ(settings().soundVolume, 0.55f);
    EXPECT_FALSE(page.soundVolume->sliderEnabled);
    EXPECT_EQ(page.soundRow->backgroundFrame, 144);
    EXPECT_EQ(onDisk().soundOn, 0);
    page.soundSwitch->activate();
    EXPECT_FLOAT_EQ(fake->masterVolume(), 0.55f);
    EXPECT_EQ(page.soundRow->backgroundFrame, 145);
}

TEST_F(AudioPage, VolumesReachTheSoundLibraryAndAreSavedOnHide)
{
    AudioMenuFrame page;
    page.gameScreenCurrent = [] { return false; };
    goToFrame(&page);
    page.onSoundVolume(0.3f);
    EXPECT_FLOAT_EQ(fake->masterVolume(), 0.3f);
    page.onMusicVolume(0.0f);
    ASSERT_NE(globalSources().music, nullptr);
    EXPECT_FLOAT_EQ(settings().musicVolume, 0.0f);
    removeSaved(Settings::kFileName);
    page.onHide();
    EXPECT_FLOAT_EQ(onDisk().musicVolume, 0.0f);
    EXPECT_FLOAT_EQ(onDisk().soundVolume, 0.3f);
}

TEST_F(AudioPage, MusicOnStartsTheMenuPieceOnlyOutsideAGame)
{
    settings().musicOn = 0;
    AudioMenuFrame page;
    bool inGame = true;
    page.gameScreenCurrent = [&] { return inGame; };
    goToFrame(&page);
    SoundSourceStreamed* music = globalSources().music;
    ASSERT_NE(music, nullptr);
    music->stop();
    page.musicSwitch->activate();
    EXPECT_EQ(settings().musicOn, 1);
    EXPECT_FALSE(music->isPlaying());
    page.musicSwitch->activate();
    inGame = false;
    page.musicSwitch->activate();
    EXPECT_TRUE(music->isPlaying());
    EXPECT_EQ(music->fileName(), kMenuMusic);
}
