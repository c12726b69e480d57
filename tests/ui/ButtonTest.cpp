#include "UiTestSupport.h"

#include "platform/File.h"
#include "platform/Language.h"
#include "render/2d/CFont.h"
#include "render/2d/SpriteSheet.h"
#include "support/TempDir.h"
#include "ui/MenuFrame.h"
#include "ui/widgets/SpriteButton.h"
#include "ui/widgets/SpriteLabel.h"

#include <fstream>
#include <iterator>
#include <string>

namespace {

// The staged small font, read without a texture: measures like the game's.
CFont& stagedFont()
{
    static CFont font;
    if (!font.isLoaded()) {
        std::ifstream in(SKYFRONT_STAGE_DIR "/data/fonts/font1.bspr", std::ios::binary);
        const std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(in), {}};
        SpriteSheet sheet;
        if (readSpriteSheet(bytes, sheet))
            (void)font.loadSheet(std::move(sheet), 1.0f);
    }
    return font;
}

// What fired, in order.
struct Recorder {
    std::string order;
    MenuSoundLog* sounds = nullptr;
    void click() { order += "click(" + std::to_string(sounds->size()) + ") "; }
    void second() { order += "second "; }
};

struct TargetFrame : MenuFrame {
    void onShow() override { ++shows; }
    int shows = 0;
};

struct Buttons : MenuTest {
    Recorder recorder;
    void SetUp() override
    {
        MenuTest::SetUp();
        recorder.sounds = &sounds;
    }
    SpriteButton* textButton(std::u16string_view label)
    {
        auto* button = new SpriteButton(-1, -1, -1, label);
        button->onClick = [this] { recorder.click(); };
        return button;
    }
};

TEST_F(Buttons, AnEmptyTextButtonHasTheMinimumSize)
{
    SpriteButton button(-1, -1, 1, u"");
    EXPECT_EQ(button.width, 90);
    EXPECT_EQ(button.height, 50);
    ASSERT_TRUE(setScreenSize(1920, 1080));
    button.updateLabel();
    EXPECT_EQ(button.width, 180);
    EXPECT_EQ(button.height, static_cast<int>(50.0f * 1080.0f / 640.0f));
}

TEST_F(Buttons, ATextButtonGrowsWithItsLabel)
{
    SpriteButton button(-1, -1, -1, u"");
    button.font = &stagedFont();
    ASSERT_TRUE(button.font->isLoaded());
    button.setText(u"A rather long label for a button");
    const float measured = button.font->measure(u"A rather long label for a button").width;
    EXPECT_EQ(button.width, static_cast<int>(20.0f + measured));
    EXPECT_EQ(button.labelX, button.width / 2);
    button.setText(std::u16string(100, u'x'));
    EXPECT_EQ(button.label.size(), SpriteButton::kMaxLabel);
}

TEST_F(Buttons, FiresOnceOnAReleaseOverIt)
{
    MenuContainer list;
    list.touchMode = MenuContainer::kTouchInside;
    list.width = list.height = 400;
    SpriteButton* button = textButton(u"Go");
    list.addItem(button);
    list.layout(0, 0);
    list.onTouchDown(10, 10);
    EXPECT_TRUE(button->pressed);
    list.onTouchUp(12, 12);
    EXPECT_EQ(recorder.order, "click(1) ");
    EXPECT_FALSE(button->pressed);
}

TEST_F(Buttons, NoFireAfterAOnePixelScrollAndThePressedLookIsCleared)
{
    MenuContainer list;
    list.touchMode = MenuContainer::kTouchInside;
    list.width = list.height = 400;
    SpriteButton* button = textButton(u"Go");
    list.addItem(button);
    list.layout(0, 0);
    list.onTouchDown(10, 10);
    list.scrollY = -1.0f;
    list.layout(0, 0);
    EXPECT_FALSE(list.onTouchUp(10, 10));
    EXPECT_EQ(recorder.order, "");
    EXPECT_FALSE(button->pressed);
}

TEST_F(Buttons, NoFireOnAReleaseOutside)
{
    SpriteButton* button = textButton(u"Go");
    button->layout(0, 0);
    button->onTouchDown(10, 10);
    EXPECT_FALSE(button->onTouchUp(500, 500));
    EXPECT_EQ(recorder.order, "");
    EXPECT_FALSE(button->pressed);
    button->onTouchDown(10, 10);
    button->onTouchCancel();
    EXPECT_FALSE(button->pressed);
    delete button;
}

TEST_F(Buttons, SoundThenCallbacksThenTargetPage)
{
    TargetFrame target;
    MenuFrame start;
    goToFrame(&start);
    SpriteButton* button = textButton(u"Go");
    button->onClick2 = [this] { recorder.second(); };
    button->targetFrame = &target;
    button->activate();
    EXPECT_EQ(recorder.order, "click(1) second ");
    EXPECT_EQ(sounds, std::vector<MenuSound>(2, MenuSound::Click));
    EXPECT_EQ(currentFrame(), &target);
    EXPECT_EQ(target.shows, 1);
    button->playClickSound = false;
    sounds.clear();
    button->fire();
    EXPECT_EQ(sounds.size(), 1u);   // only the target page's click
    delete button;
}

TEST_F(Buttons, WithoutAClickActionOnlyTheTargetPageOpens)
{
    TargetFrame target;
    SpriteButton button(-1, -1, -1, u"Go");
    button.onClick = nullptr;
    button.targetFrame = &target;
    button.activate();
    EXPECT_EQ(recorder.order, "");
    EXPECT_EQ(sounds, std::vector<MenuSound>{MenuSound::Click});
    EXPECT_EQ(currentFrame(), &target);
}

TEST_F(Buttons, AConfirmationHoldsTheClickBack)
{
    int asked = 0;
    MenuAction held;
    setMenuAlertHooks({[&](int id, MenuAction confirmed) {
                           asked = id;
                           held = std::move(confirmed);
                       },
                       nullptr});
    SpriteButton* button = textButton(u"Quit");
    button->confirmStringId = 12;
    button->activate();
    EXPECT_EQ(asked, 12);
    EXPECT_EQ(recorder.order, "");
    delete button;  // the alert's action outlives the button
    held();
    EXPECT_EQ(recorder.order, "click(1) ");
}

TEST_F(Buttons, ReleaseButtonReportsNothingYetCallsBack)
{
    SpriteButtonR button(-1, -1, -1, 0);
    int presses = 0, releases = 0;
    button.onPress = [&] { ++presses; };
    button.onRelease = [&] { ++releases; };
    button.width = button.height = 100;
    button.layout(0, 0);
    EXPECT_FALSE(button.onTouchDown(10, 10));
    EXPECT_FALSE(button.onTouchUp(10, 10));
    EXPECT_EQ(presses, 1);
    EXPECT_EQ(releases, 1);
    EXPECT_FALSE(button.pressed);
}

TEST_F(Buttons, ResizableButtonWithoutFramesIsASmallSquare)
{
    ResizableButton button(u"Back");
    EXPECT_EQ(button.width, 5);
    EXPECT_EQ(button.height, 5);
    EXPECT_FLOAT_EQ(button.touchMargin, 2.0f);
}

// Two languages whose string 9 differ in length.
struct LanguageChange : Buttons {
    TempDir data;
    void SetUp() override
    {
        Buttons::SetUp();
        data.write("data/strings/tables.cfg", "StringTableList { tables [ StringTableFile { name \"main\" } ] }");
        data.write("data/strings/EN/main.str", "9 - \"Back\"\n");
        data.write("data/strings/FR/main.str", "9 - \"Retour en arriere\"\n");
        setDataRoot(data.folder());
        ASSERT_TRUE(setLanguageByCode("EN"));
    }
    void TearDown() override
    {
        unloadStringTables();
        Buttons::TearDown();
    }
};

TEST_F(LanguageChange, TheNextLayoutOrDrawMeasuresAgain)
{
    SpriteButton button(-1, -1, -1, 9);
    button.font = &stagedFont();
    button.updateLabel();
    const int english = button.width;
    ASSERT_TRUE(setLanguageByCode("FR"));
    button.layout(0, 0);
    EXPECT_GT(button.width, english);
    EXPECT_EQ(button.labelText(), u"Retour en arriere");
}

// ---- Labels ----

struct Labels : MenuTest {
    TempDir data;
    void SetUp() override
    {
        MenuTest::SetUp();
        data.write("data/strings/tables.cfg", "StringTableList { tables [ StringTableFile { name \"main\" } ] }");
        data.write("data/strings/EN/main.str", "3 - \"Two\\nlines\"\n");
        setDataRoot(data.folder());
        ASSERT_TRUE(setLanguageByCode("EN"));
    }
    void TearDown() override
    {
        unloadStringTables();
        MenuTest::TearDown();
    }
};

TEST_F(Labels, WithoutTextTheSizeIsZero)
{
    SpriteLabel label(0, u"");
    EXPECT_EQ(label.width, 0);
    EXPECT_EQ(label.height, 0);
}

TEST_F(Labels, LiteralTextIsCutAtFiveHundredElevenUnits)
{
    SpriteLabel label(0, u"");
    label.setText(std::u16string(600, u'a'));
    EXPECT_EQ(label.text.size(), SpriteLabel::kMaxText);
    EXPECT_EQ(label.stringId, -1);
}

TEST_F(Labels, LocalizedTextComesFromTheTableAndDummyWhenMissing)
{
    SpriteLabel label(0, 3, nullptr);
    EXPECT_EQ(label.shownText(), u"Two\nlines");
    SpriteLabel missing(0, 1234, nullptr);
    EXPECT_EQ(missing.shownText(), u"DUMMY");
}

TEST_F(Labels, ARightAnchoredLabelIsHitToTheLeftOfItsPosition)
{
    SpriteLabel label(0, u"");
    label.width = 100;
    label.height = 20;
    label.x = 300;
    label.y = 100;
    label.textFlags = CFont::kRight;
    label.layout(0, 0);
    EXPECT_TRUE(label.contains(250, 110, 0.0f));
    EXPECT_FALSE(label.contains(350, 110, 0.0f));
}

}  // namespace
