#include "UiTestSupport.h"
#include "support/TempDir.h"

#include "platform/File.h"
#include "platform/Input.h"
#include "platform/Language.h"
#include "ui/IMenuShowcase.h"
#include "ui/widgets/MenuPanel.h"
#include "ui/widgets/MenuAlert.h"
#include "ui/widgets/SceneMenuFrame.h"
#include "ui/widgets/SpriteButton.h"
#include "ui/widgets/SpriteEditBox.h"
#include "ui/widgets/SpriteKeyboard.h"
#include "ui/widgets/SpriteLabel.h"

#include <memory>
#include <string>
#include <vector>

namespace {
struct Alerts : MenuTest {
    void SetUp() override
    {
        MenuTest::SetUp();
        setMenuShowcase(nullptr);
        MenuAlert::instance().closed = true;
        page = std::make_unique<FilledMenuFrame>();
        goToFrame(page.get());
    }
    void TearDown() override
    {
        MenuAlert::instance().closed = true;
        MenuTest::TearDown();
    }
    static MenuAlert& alert() { return MenuAlert::instance(); }
    std::unique_ptr<FilledMenuFrame> page;
};

// A listener that counts what the keyboard tells it.
struct Listener : IKeyboardListener {
    void onTextAccepted(std::u16string_view text) override { accepted.emplace_back(text); }
    void onTextCancelled(std::u16string_view text) override { cancelled.emplace_back(text); }
    std::vector<std::u16string> accepted, cancelled;
};

struct Keyboard : Alerts {
    void SetUp() override
    {
        Alerts::SetUp();
        box = new SpriteEditBox(u"Pilot", page->content());
        box->ownerFrame = page.get();
        box->onChange = [this](std::u16string_view text) { changes.emplace_back(text); };
        page->rebuildFocusLinks();
    }
    void TearDown() override
    {
        keyboard().hide();
        keyboard().listener = nullptr;
        Alerts::TearDown();
    }
    static SpriteKeyboard& keyboard() { return SpriteKeyboard::instance(); }
    void typed(std::string_view utf8)
    {
        input().textInput(utf8);
        keyboard().update();
    }
    void pressEnterAndClose()
    {
        keyboard().type(Input::kTypedEnter);
        keyboard().update();
    }
    SpriteEditBox* box = nullptr;
    std::vector<std::u16string> changes;
};
}  // namespace

TEST_F(Alerts, AMessageByAnUnknownNumberShowsDummyAndEveryShowOpensTheOneAlert)
{
    TempDir data;
    data.write("data/strings/tables.cfg", "StringTableList { tables [ StringTableFile { name \"main\" } ] }");
    data.write("data/strings/EN/main.str", "3 - \"Three\"\n");
    setDataRoot(data.folder());
    ASSERT_TRUE(setLanguageByCode("EN"));
    showMessageById(999999);
    unloadStringTables();
    EXPECT_TRUE(alert().modalOpen());
    EXPECT_EQ(alert().textLabel->shownText().find(u"DUMMY"), 0u);
    showMessage(u"Second");
    EXPECT_EQ(alert().textLabel->shownText(), u"Second");
    EXPECT_EQ(&alert(), MenuAlert::existing());
    EXPECT_EQ(getInputFrame(), &alert());
}

TEST_F(Alerts, TheBackKeyClosesWithoutACallbackOnEveryKind)
{
    int runs = 0;
    showConfirm(9, [&runs] { ++runs; });
    dispatchBackKey();
    EXPECT_FALSE(alert().modalOpen());
    showQuestionAlert([&runs] { ++runs; }, [&runs] { ++runs; });
    dispatchBackKey();
    EXPECT_FALSE(alert().modalOpen());
    showAlert(u"Text", [&runs] { ++runs; });
    handleMenuAction(ControlAction::Menu_Back);
    EXPECT_FALSE(alert().modalOpen());
    EXPECT_EQ(runs, 0);
    EXPECT_EQ(currentFrame(), page.get());   // the page under it stays
}

TEST_F(Alerts, TheQuestionFocusesCloseWhichOnlyCloses)
{
    int a = 0, b = 0;
    showQuestionAlert([&a] { ++a; }, [&b] { ++b; });
    EXPECT_EQ(alert().focusedItem, alert().closeButton());
    EXPECT_TRUE(alert().buttonA->visible);
    EXPECT_TRUE(alert().buttonB->visible);
    handleMenuAction(ControlAction::Menu_Select);
    EXPECT_FALSE(alert().modalOpen());
    EXPECT_EQ(a + b, 0);
    showQuestionAlert([&a] { ++a; }, [&b] { ++b; });
    alert().buttonB->fire();
    EXPECT_EQ(b, 1);
    EXPECT_EQ(a, 0);
}

TEST_F(Alerts, AConfirmRunsItsCallbackFromCloseAndButtonAOnlyCloses)
{
    int runs = 0;
    showConfirm(9, [&runs] { ++runs; });
    EXPECT_EQ(alert().focusedItem, alert().buttonA);   // the safe answer first
    alert().buttonA->fire();
    EXPECT_EQ(runs, 0);
    showConfirm(9, [&runs] { ++runs; });
    alert().closeButton()->fire();
    EXPECT_EQ(runs, 1);
    EXPECT_FALSE(alert().modalOpen());
}

TEST_F(Alerts, ACallbackMayOpenTheAlertAgain)
{
    showAlert(u"First", [] { showMessage(u"Reopened"); });
    alert().closeButton()->fire();
    EXPECT_TRUE(alert().modalOpen());
    EXPECT_EQ(alert().textLabel->shownText(), u"Reopened");
    alert().closeButton()->fire();
    EXPECT_FALSE(alert().modalOpen());
}

TEST_F(Alerts, AButtonsConfirmationGoesThroughTheAlertHook)
{
    setMenuAlertHooks({[](int id, MenuAction confirmed) { showConfirm(id, std::move(confirmed)); }, {}});
    int clicks = 0;
    SpriteButton button(u"Quit");
    button.confirmStringId = 9;
    button.onClick = [&clicks] { ++clicks; };
    button.fire();
    EXPECT_TRUE(alert().modalOpen());
    EXPECT_EQ(clicks, 0);
    alert().closeButton()->fire();
    EXPECT_EQ(clicks, 1);
}

TEST_F(Alerts, TheAlertIsCentredAtItsArtSize)
{
    showMessage(u"Centred");
    const ScreenMetrics& m = screenMetrics();
    EXPECT_EQ(alert().width, static_cast<int>(700.0f * m.uiScale));
    EXPECT_EQ(alert().height, static_cast<int>(400.0f * m.uiScale));
    EXPECT_EQ(alert().absX, (m.screenWidth - alert().width) / 2);
    EXPECT_EQ(alert().absY, (m.screenHeight - alert().height) / 2);
}

TEST_F(Alerts, ClearingTheHistoryForgetsTheAlertsCallbacksAndTheKeyboardsListener)
{
    showAlert(u"Bye", [] { FAIL() << "a callback of a forgotten page ran"; });
    Listener listener;
    SpriteKeyboard::instance().listener = &listener;
    SpriteKeyboard::instance().show();
    clearFrameHistory();
    EXPECT_EQ(SpriteKeyboard::instance().listener, nullptr);
    EXPECT_FALSE(SpriteKeyboard::instance().modalOpen());
    alert().closeButton()->fire();
}

TEST_F(Keyboard, TypedTextIsEditedUpToTheLimitAndEnterHandsItBack)
{
    box->activate();
    ASSERT_TRUE(keyboard().modalOpen());
    EXPECT_FALSE(page->fullDraw);
    EXPECT_EQ(keyboard().editText(), u"Pilot");
    typed("s Ace");
    EXPECT_EQ(keyboard().editText(), u"Pilots Ace");
    typed("ABCDEFGHIJKLMNOP");
    EXPECT_EQ(keyboard().editText().size(), 19u);
    pressEnterAndClose();
    EXPECT_FALSE(keyboard().modalOpen());
    EXPECT_EQ(box->text().size(), 19u);
    ASSERT_EQ(changes.size(), 1u);
    EXPECT_EQ(changes[0], box->text());
    EXPECT_TRUE(page->fullDraw);
    EXPECT_EQ(page->focusedItem, page->backButton());
}

TEST_F(Keyboard, EnterOnBlanksRestoresTheStartingTextAndStaysOpen)
{
    box->activate();
    for (int i = 0; i < 5; ++i)
        keyboard().type(Input::kTypedBackspace);
    typed("   ");
    keyboard().type(Input::kTypedEnter);
    keyboard().update();
    EXPECT_TRUE(keyboard().modalOpen());
    EXPECT_EQ(keyboard().editText(), u"Pilot");
    EXPECT_EQ(keyboard().caret, 5);
    EXPECT_TRUE(changes.empty());
}

TEST_F(Keyboard, BackspaceAtTheStartDoesNothing)
{
    box->activate();
    keyboard().caret = 0;
    keyboard().type(Input::kTypedBackspace);
    EXPECT_EQ(keyboard().editText(), u"Pilot");
    keyboard().caret = 5;
    keyboard().type(Input::kTypedBackspace);
    EXPECT_EQ(keyboard().editText(), u"Pilo");
}

TEST_F(Keyboard, CancelTellsTheListenerOnceWithTheStartingText)
{
    Listener listener;
    keyboard().setText(u"Start");
    keyboard().listener = &listener;
    keyboard().show();
    keyboard().type(u'X');
    keyboard().cancel();
    keyboard().cancel();   // a second press of close before the closing step
    for (int i = 0; i < 3; ++i)
        keyboard().update();
    EXPECT_TRUE(listener.accepted.empty());
    ASSERT_EQ(listener.cancelled.size(), 1u);
    EXPECT_EQ(listener.cancelled[0], u"Start");
}

TEST_F(Keyboard, TheBackKeyCancelsAndGivesTheOwnerPageBack)
{
    box->activate();
    typed("xyz");
    handleMenuAction(ControlAction::Menu_Back);
    updateMenuFrames();
    EXPECT_FALSE(keyboard().modalOpen());
    EXPECT_EQ(box->text(), u"Pilot");
    EXPECT_TRUE(box->cancelled);
    ASSERT_EQ(changes.size(), 1u);
    EXPECT_EQ(changes[0], u"Pilot");
    EXPECT_TRUE(page->fullDraw);
    EXPECT_EQ(page->focusedItem, page->backButton());
    EXPECT_NE(box->neighbour(MenuItem::kUp), nullptr);   // the links are back
    EXPECT_EQ(currentFrame(), page.get());
}

TEST_F(Keyboard, EnterWhileOpenDoesNotPressTheButtonUnderIt)
{
    box->activate();
    handleMenuAction(ControlAction::Menu_Select);
    EXPECT_TRUE(keyboard().modalOpen());
    EXPECT_FALSE(keyboard().closing());
}

// Every page that asks for text opens the keyboard this one way.
TEST_F(Keyboard, OpeningOverAPageTakesItsFocusAndLinksAndLeavesOnlyItsFlatDraw)
{
    Listener listener;
    ASSERT_NE(box->neighbour(MenuItem::kUp), nullptr);
    keyboard().openOver(page.get(), listener, u"Squadron", 10, 0.5f);
    ASSERT_TRUE(keyboard().modalOpen());
    EXPECT_EQ(keyboard().listener, &listener);
    EXPECT_EQ(keyboard().editText(), u"Squadron");
    EXPECT_FLOAT_EQ(keyboard().brightness, 0.5f);
    EXPECT_FALSE(page->fullDraw);
    EXPECT_EQ(page->focusedItem, keyboard().closeButton.get());
    EXPECT_EQ(menuFocusedItem(), keyboard().closeButton.get());
    for (int side : {MenuItem::kUp, MenuItem::kDown, MenuItem::kLeft, MenuItem::kRight})
        EXPECT_EQ(box->neighbour(side), nullptr);
    typed("ABCDE");
    EXPECT_EQ(keyboard().editText(), u"SquadronAB");   // held to the length asked
    pressEnterAndClose();
    ASSERT_EQ(listener.accepted.size(), 1u);
    EXPECT_EQ(listener.accepted[0], u"SquadronAB");
    EXPECT_TRUE(changes.empty());   // the box under it heard nothing

    // With no page under it the keyboard still takes the focus.
    keyboard().openOver(nullptr, listener, u"", 19);
    EXPECT_TRUE(keyboard().modalOpen());
    EXPECT_EQ(menuFocusedItem(), keyboard().closeButton.get());
}

TEST(EditBox, ALongTextKeepsItsMaskInStep)
{
    SpriteEditBox box(std::u16string(300, u'a'), nullptr);
    EXPECT_EQ(box.text().size(), 255u);
    EXPECT_EQ(box.maskText(), std::u16string(255, u'*'));
    box.setText(u"abc");
    EXPECT_EQ(box.maskText(), u"***");
    SpriteEditBox twenty(u"twenty characters ok", nullptr);
    EXPECT_EQ(twenty.text().size(), 20u);
}

TEST(EditBox, NameRulesCleanTheAcceptedName)
{
    SpriteEditBox box(u"", nullptr);
    box.nameRules = true;
    box.onTextAccepted(u"..Red  Baron");
    EXPECT_EQ(box.text(), u"Red Baron");
    box.onTextAccepted(u"ab");
    EXPECT_EQ(box.text(), u"");
}

TEST(SanitizeName, CollapsesRunsDropsLeadersAndEmptiesShortNames)
{
    EXPECT_EQ(sanitizeNameText(u"..Ace"), u"Ace");
    EXPECT_EQ(sanitizeNameText(u"Red  Baron"), u"Red Baron");
    EXPECT_EQ(sanitizeNameText(u"a b"), u"a b");
    EXPECT_EQ(sanitizeNameText(u"ab"), u"");
    EXPECT_EQ(sanitizeNameText(u"a.b"), u"");   // the dot is a symbol
    EXPECT_EQ(sanitizeNameText(u"''Top,,Gun"), u"Top,Gun");
    EXPECT_EQ(sanitizeNameText(u""), u"");
}

TEST(SanitizeName, NeverWritesPastItsOutput)
{
    const std::u16string longName(255, u'q');
    std::u16string out(64, u'#');
    out.push_back(u'!');   // a guard unit after the buffer
    const std::size_t n = sanitizeNameText(std::span<char16_t>(out.data(), 64), longName);
    EXPECT_EQ(n, 63u);
    EXPECT_EQ(out[63], u'\0');
    EXPECT_EQ(out[64], u'!');
    EXPECT_EQ(sanitizeNameText(std::span<char16_t>(), longName), 0u);
    char16_t one[1] = {u'x'};
    EXPECT_EQ(sanitizeNameText(one, longName), 0u);
    EXPECT_EQ(one[0], u'\0');
}
