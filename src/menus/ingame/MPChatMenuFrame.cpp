#include "menus/ingame/MPChatMenuFrame.h"

#include "entities/aircraft/Airplane.h"
#include "menus/MenuFrameRegistry.h"
#include "modes/GameMode.h"
#include "modes/GameModeGlobals.h"
#include "modes/Match.h"
#include "modes/IGameListener.h"
#include "net/match/NetworkGame.h"
#include "platform/Clock.h"
#include "platform/Language.h"
#include "platform/ScreenMetrics.h"
#include "platform/Settings.h"
#include "render/2d/CFont.h"
#include "render/2d/Render2D.h"
#include "render/2d/SpriteSets.h"
#include "screens/GameScreen.h"
#include "screens/PauseScreen.h"
#include "screens/Screens.h"
#include "screens/hud/HudMessageQueue.h"
#include "screens/hud/PlaneHud.h"
#include "ui/MenuNavigation.h"
#include "ui/widgets/MenuPanel.h"
#include "ui/widgets/SpriteButton.h"
#include "ui/widgets/SpriteEditBox.h"
#include "ui/widgets/SpriteKeyboard.h"
#include "ui/widgets/SpriteLabel.h"

#include <algorithm>

MPChatMenuFrame* MenuFrameRegistry::mpChatMenu()
{
    return slot<MPChatMenuFrame>(Page::MPChat);
}

namespace {
constexpr int kTextLeft = 158, kTextMiddle = 156, kTextRight = 157;
constexpr int kRowFont = 1;

float uiScale() { return screenMetrics().uiScale; }

// A stock line's text; "DUMMY" when the table has no such string.
std::u16string stockLine(int stringId)
{
    if (stringId < 0 || stringId >= stringCount())
        return u"DUMMY";
    return getStringByIndex(stringId);
}
}  // namespace

// ---- one line ----

MPChatMenuFrame::NetMsgEntry::NetMsgEntry(MPChatMenuFrame& page, const std::u16string* line) : m_page(page)
{
    fontId = kRowFont;
    anchorMode = kAnchorPlaced;
    if (!line) {
        index = -1;
        height = kSpacerHeight;
        return;
    }
    text = line->substr(0, kMaxText);
    height = static_cast<int>(static_cast<float>(kRowHeight) * uiScale());
    focusable = true;
    interactive = true;
}

void MPChatMenuFrame::NetMsgEntry::draw()
{
    if (!visible || isSpacer())
        return;
    CFont* font = getFont(fontId);
    const bool lit = pressed || menuFocusedItem() == this;
    const float x = static_cast<float>(absX) + scrollX, y = static_cast<float>(absY) + scrollY;
    if (lit) {
        const std::uint8_t level = focusPulseLevel();
        drawFilledRect(x, y, static_cast<float>(width), static_cast<float>(height), 40, 90, 140, level);
    }
    drawText(font, text, x + static_cast<float>(width) / 2.0f, y + static_cast<float>(height) / 2.0f,
             CFont::kCentreX | CFont::kCentreY);
}

bool MPChatMenuFrame::NetMsgEntry::onTouchDown(int x, int y)
{
    if (!isSpacer() && contains(x, y, kPickMargin * uiScale()))
        pressed = true;
    return true;
}

bool MPChatMenuFrame::NetMsgEntry::onTouchUp(int x, int y)
{
    const bool was = pressed;
    pressed = false;
    if (was && !isSpacer() && contains(x, y, kPickMargin * uiScale()))
        m_page.sendLine(text);
    return true;
}

void MPChatMenuFrame::NetMsgEntry::activate()
{
    if (!isSpacer())
        m_page.sendLine(text);
}

// ---- the page ----

MPChatMenuFrame::MPChatMenuFrame()
{
    closeOverlay = [] { closeOverlayScreen(); };
    content()->visible = false;
    content()->enabled = false;
    titleLabel->visible = false;
    backButton()->visible = false;
    backButton()->enabled = false;

    list = new MenuPanel(getSprite(kSpriteSetMenus), 95, kLayoutList);
    list->ninePatch = true;
    list->anchorMode = kAnchorAbsolute;
    list->fixedSize = true;
    list->touchMode = kTouchList;
    list->kinetic = true;
    list->childAlignment = kChildCentre;
    addItem(list);

    const int captionStrings[3] = {kStockCaption, kOwnCaption, kTypeCaption};
    for (std::size_t i = 0; i < captions.size(); ++i) {
        captions[i] = new SpriteLabel(2, captionStrings[i]);
        captions[i]->anchorMode = kAnchorAbsolute;
        addItem(captions[i]);
    }

    textBox = new SpriteEditBox(u"", nullptr);
    textBox->anchorMode = kAnchorAbsolute;
    textBox->maxLength = kTypedUnits;
    textBox->ownerFrame = this;
    textBox->onChange = [this](std::u16string_view typed) {
        if (textBox->cancelled)
            closeChat();
        else
            sendLine(typed);
    };
    addItem(textBox);

    closeButton = new ResizableButton(kCloseString);
    closeButton->setup(kTextLeft, kTextMiddle, kTextRight, 2);
    closeButton->anchorMode = kAnchorAbsolute;
    closeButton->focusable = true;
    closeButton->onClick = [this] { closeChat(); };
    addItem(closeButton);
    rebuildRows();
    placeItems();
}

void MPChatMenuFrame::placeItems()
{
    const ScreenMetrics& m = screenMetrics();
    const float a = m.uiScale;
    const int margin = static_cast<int>(20.0f * a);
    list->width = m.screenWidth / 2;
    list->x = margin;
    list->y = 2 * margin + captions[0]->height;
    list->height = m.screenHeight - list->y - margin;
    list->paddingY = margin / 2;
    for (int i = 0; i < list->itemCount(); ++i)
        list->itemAt(i)->width = list->width - margin;
    captions[0]->x = list->x + margin;
    captions[0]->y = margin;
    // The own lines follow the stock ones in the same list; their caption
    // stands beside the list, over the box and the close button.
    const int right = list->x + list->width + margin;
    const int rightWidth = m.screenWidth - right - margin;
    captions[1]->x = right;
    captions[1]->y = list->y;
    captions[2]->x = right;
    captions[2]->y = m.screenHeight / 2 - captions[2]->height - margin;
    textBox->updateLayout();
    textBox->x = right + std::max(0, (rightWidth - textBox->width) / 2);
    textBox->y = m.screenHeight / 2;
    closeButton->updateLabel();
    closeButton->x = right + std::max(0, (rightWidth - closeButton->width) / 2);
    closeButton->y = m.screenHeight - closeButton->height - margin;
    layout(0, 0);
}

void MPChatMenuFrame::rebuildRows()
{
    list->clear();
    list->scrollY = 0.0f;
    for (int id : kStockStrings) {
        const std::u16string line = stockLine(id);
        list->placeItem(new NetMsgEntry(*this, &line));
    }
    list->placeItem(new NetMsgEntry(*this, nullptr));
    for (const std::u16string& preset : settings().chatPresets)
        list->placeItem(new NetMsgEntry(*this, &preset));
    list->placeItem(new NetMsgEntry(*this, nullptr));
}

int MPChatMenuFrame::rowCount() const { return list->itemCount(); }

MPChatMenuFrame::NetMsgEntry* MPChatMenuFrame::row(int i) const
{
    return static_cast<NetMsgEntry*>(list->itemAt(i));
}

void MPChatMenuFrame::onShow()
{
    SceneMenuFrame::onShow();
    rebuildRows();
    placeItems();
    visible = true;
    if (typeAtOnce) {
        textBox->setText(u"");
        textBox->onTouchUp(textBox->absX + 2, textBox->absY + 2);
        typeAtOnce = false;
    }
    focusedItem = rowCount() > 0 ? static_cast<MenuItem*>(row(0)) : closeButton;
    rebuildFocusLinks();
}

void MPChatMenuFrame::draw()
{
    // While typing, the messages of the match stay readable above the keyboard.
    const SpriteKeyboard* keyboard = SpriteKeyboard::existing();
    if (keyboard && keyboard->visible) {
        // The HUD's own update already ticks the queue in an unpaused frame:
        // a second tick would age the messages twice as fast while typing.
        if (gamePaused() || !planeHud().updatesMessages())
            HudMessageQueue::instance().update(frameDelta());
        planeHud().drawMessages(gamePaused());
        return;
    }
    FilledMenuFrame::draw();
}

void MPChatMenuFrame::sendLine(std::u16string_view text)
{
    GameMode* mode = modeOf(currentMatch());
    // Without an airplane of its own the line has no sender: nothing to write.
    const Target* own = mode ? mode->playerAirplane() : nullptr;
    NetworkGame::addChatLine(own, text);
    if (mode)
        mode->postChat(text);
    closeChat();
}

void MPChatMenuFrame::closeChat()
{
    if (closeOverlay)
        closeOverlay();
}

bool MPChatMenuFrame::onEscape()
{
    closeChat();
    return true;
}

void openChatOverGame(bool typeAtOnce)
{
    MPChatMenuFrame* page = MenuFrameRegistry::mpChatMenu();
    if (!page)
        return;
    page->typeAtOnce = typeAtOnce;
    pauseScreen().frame = page;
    openPauseScreen();
}
