#include "ui/widgets/MenuAlert.h"

#include "platform/Language.h"
#include "platform/ScreenMetrics.h"
#include "render/2d/CFont.h"
#include "render/2d/CSprite.h"
#include "render/2d/SpriteSets.h"
#include "ui/widgets/MenuPanel.h"
#include "ui/widgets/SpriteButton.h"
#include "ui/widgets/SpriteLabel.h"

#include <algorithm>
#include <utility>

namespace {
constexpr int kAlertBox = 96;
constexpr int kCloseString = 9, kCancelString = 38;
constexpr int kQuestionString = 1210, kQuestionA = 1211, kQuestionB = 1212;
constexpr int kNoticeString = 380, kNoticeButton = 1164;
constexpr int kButtonLeft = 158, kButtonMiddle = 156, kButtonRight = 157;
// The close button's round caps and its cross: a word there would run under
// the text, which spans the box's middle eight tenths.
constexpr int kCloseLeft = 39, kCloseRight = 40, kCloseCross = 41;

MenuAlert* g_alert = nullptr;

ResizableButton* makeButton(MenuAlert& alert, int stringId, std::uint32_t align)
{
    auto* button = new ResizableButton(stringId);
    button->setup(kButtonLeft, kButtonMiddle, kButtonRight, 2);
    button->alignment = align;
    button->anchorMode = MenuItem::kAnchorParent;
    button->focusable = true;
    alert.placeItem(button);
    return button;
}
}  // namespace

MenuAlert& MenuAlert::instance()
{
    if (!g_alert) {
        g_alert = new MenuAlert();   // lives for the whole program
        setMenuAlert(g_alert);
    }
    return *g_alert;
}

MenuAlert* MenuAlert::existing()
{
    return g_alert;
}

MenuAlert::MenuAlert()
{
    titleLabel->setText(u"");
    titleLabel->visible = false;
    // The alert is a box over the page, not a page: no strips, corners or content panel.
    for (MenuItem* piece : decorations)
        piece->visible = false;
    bottomPanel->visible = false;
    bottomPanel->enabled = false;
    sideRow->visible = false;
    backdrop = false;

    layoutMode = kLayoutStacked;
    touchMode = kTouchPage;
    backgroundFrame = kAlertBox;
    paddingY = 0;
    anchorMode = kAnchorAbsolute;
    alignment = kAlignLeft | kAlignTop;
    fixedSize = true;

    ResizableButton* close = backButton();
    close->anchorMode = kAnchorParent;
    close->onClick = [this] { onCloseButton(); };
    close->focusable = true;
    close->labelStringId = kCloseString;
    close->updateLabel();
    close->visible = true;
    close->enabled = true;

    buttonA = makeButton(*this, kCancelString, kAlignRight | kAlignTop);
    buttonA->onClick = [this] { onButtonA(); };
    buttonB = makeButton(*this, kCancelString, kAlignLeft | kAlignTop);
    buttonB->setText(u"");
    buttonB->onClick = [this] { onButtonB(); };
    buttonB->visible = false;
    buttonB->enabled = false;

    textLabel = new SpriteLabel(2, u"");
    textLabel->anchorMode = kAnchorParent;
    textLabel->alignment = kAlignCentreX | kAlignCentreY;
    placeItem(textLabel);
    closed = true;
    fitToScreen();
}

void MenuAlert::fitToScreen()
{
    const ScreenMetrics& m = screenMetrics();
    const float a = m.uiScale;
    setBackground(getSprite(kSpriteSetMenus), true);
    width = static_cast<int>(700.0f * a);
    height = static_cast<int>(400.0f * a);
    x = (m.screenWidth - width) / 2;
    y = (m.screenHeight - height) / 2;
    ResizableButton* close = backButton();
    close->icon = kCloseCross;
    close->setup(kCloseLeft, MenuFrame::kBackMiddle, kCloseRight, MenuFrame::kBackFont);
    // Its centre, not its top, stands on the line: the scene page's back
    // button is aligned by its top.
    close->alignment = kAlignLeft | kAlignCentreY;
    close->x = static_cast<int>(20.0f * a);
    close->y = static_cast<int>(144.5f * a);
    for (ResizableButton* button : {buttonA, buttonB})
        button->setup(kButtonLeft, kButtonMiddle, kButtonRight, 2);
    buttonA->x = static_cast<int>(static_cast<float>(width) - 10.0f * m.screenScaleX);
    buttonA->y = static_cast<int>(static_cast<float>(height - buttonA->height) - 10.0f * m.screenScaleX);
    buttonB->x = static_cast<int>(10.0f * m.screenScaleX);
    buttonB->y = buttonA->y;
}

void MenuAlert::forgetListeners()
{
    closeCallback = nullptr;
    callbackA = nullptr;
    callbackB = nullptr;
}

void MenuAlert::onShow()
{
    closed = false;
    layout(0, 0);
    rebuildFocusLinks();
    if (!focusedItem || !focusedItem->enabled || !focusedItem->visible) {
        for (MenuItem* item : {static_cast<MenuItem*>(buttonA), static_cast<MenuItem*>(backButton()),
                               static_cast<MenuItem*>(buttonB)}) {
            if (item->enabled && item->visible) {
                focusedItem = item;
                break;
            }
        }
    }
}

bool MenuAlert::onEscape()
{
    closed = true;
    return true;
}

namespace {
void runAfterClose(MenuAlert& alert, const MenuAction& callback)
{
    alert.closed = true;
    // A copy: the callback may open the alert again and replace it.
    if (MenuAction run = callback)
        run();
}
}  // namespace

void MenuAlert::onCloseButton()
{
    runAfterClose(*this, closeCallback);
}

void MenuAlert::onButtonA()
{
    runAfterClose(*this, callbackA);
}

void MenuAlert::onButtonB()
{
    runAfterClose(*this, callbackB);
}

void MenuAlert::setText(std::u16string_view text)
{
    const int wrapWidth = std::max(static_cast<int>(0.8f * static_cast<float>(width)), 1);
    std::u16string wrapped(text.size() * 2 + 8, u'\0');
    if (CFont* font = getFont(textLabel->fontId); font && font->isLoaded())
        font->wrap(text, static_cast<float>(wrapWidth), wrapped);
    else
        wrapped.assign(text);
    textLabel->setText(wrapped.c_str());
    textLabel->updateSize();
    textLabel->x = width / 2;
    textLabel->y = height / 2;
    layout(0, 0);
}

void MenuAlert::setupCloseAndOptionalButton(std::u16string_view text, bool showA)
{
    buttonA->visible = buttonA->enabled = showA;
    buttonA->labelStringId = kCancelString;
    buttonA->updateLabel();
    buttonB->visible = buttonB->enabled = false;
    backButton()->labelStringId = kCloseString;
    backButton()->updateLabel();
    setText(text);
}

void MenuAlert::setupTwoButtons(std::u16string_view text)
{
    buttonA->visible = buttonA->enabled = true;
    buttonA->labelStringId = kQuestionA;
    buttonA->updateLabel();
    backButton()->labelStringId = kCloseString;
    backButton()->updateLabel();
    backButton()->visible = backButton()->enabled = true;
    buttonB->visible = buttonB->enabled = true;
    buttonB->labelStringId = kQuestionB;
    buttonB->updateLabel();
    focusedItem = backButton();
    setText(text);
}

void MenuAlert::setupSingleButton(std::u16string_view text)
{
    buttonA->visible = buttonA->enabled = true;
    buttonA->labelStringId = kNoticeButton;
    buttonA->updateLabel();
    setText(text);
    buttonB->visible = buttonB->enabled = false;
    layout(0, 0);
}

void showAlert(std::u16string_view text, MenuAction callback)
{
    MenuAlert& alert = MenuAlert::instance();
    alert.fitToScreen();
    alert.setupCloseAndOptionalButton(text, false);
    alert.closeCallback = std::move(callback);
    alert.callbackA = nullptr;
    alert.callbackB = nullptr;
    alert.focusedItem = nullptr;
    alert.onShow();
}

void showMessage(std::u16string_view text)
{
    showAlert(text, nullptr);
}

void showMessageById(int stringId)
{
    showAlert(getStringByIndex(stringId), nullptr);
}

void showConfirm(int stringId, MenuAction callback)
{
    MenuAlert& alert = MenuAlert::instance();
    alert.fitToScreen();
    alert.setupCloseAndOptionalButton(getStringByIndex(stringId), true);
    alert.closeCallback = std::move(callback);
    alert.callbackA = nullptr;
    alert.callbackB = nullptr;
    alert.focusedItem = nullptr;
    alert.onShow();
}

void showQuestionAlert(MenuAction callbackA, MenuAction callbackB)
{
    MenuAlert& alert = MenuAlert::instance();
    alert.fitToScreen();
    alert.setupTwoButtons(getStringByIndex(kQuestionString));
    alert.closeCallback = nullptr;
    alert.callbackA = std::move(callbackA);
    alert.callbackB = std::move(callbackB);
    alert.onShow();
}

void showNoticeAlert()
{
    MenuAlert& alert = MenuAlert::instance();
    alert.fitToScreen();
    alert.setupSingleButton(getStringByIndex(kNoticeString));
    alert.closeCallback = nullptr;
    alert.callbackA = [] {};
    alert.callbackB = nullptr;
    alert.focusedItem = nullptr;
    alert.onShow();
}
