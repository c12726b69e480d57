#include "menus/settings/LanguageMenuFrame.h"

#include "menus/MenuFrameRegistry.h"
#include "menus/MenuPages.h"
#include "menus/frontend/MainMenuFrame.h"
#include "menus/settings/OptionsMenuFrame.h"
#include "platform/Language.h"
#include "platform/Log.h"
#include "platform/ScreenMetrics.h"
#include "platform/Settings.h"
#include "platform/Text.h"
#include "render/2d/SpriteSets.h"
#include "screens/PauseScreen.h"
#include "ui/MenuNavigation.h"
#include "ui/widgets/MenuAlert.h"
#include "ui/widgets/MenuPanel.h"
#include "ui/widgets/SpriteButton.h"
#include "ui/widgets/SpriteLabel.h"

#include <algorithm>
#include <string>

LanguageMenuFrame* MenuFrameRegistry::languageMenu()
{
    return slot<LanguageMenuFrame>(Page::Language);
}

LanguageMenuFrame::LanguageMenuFrame()
{
    switchLanguage = [](int index) {
        if (!setLanguageByIndex(index))
            logWarning("menus", "language %d has no texts; the English ones stay", index);
        reloadFonts();
    };
    const ScreenMetrics& m = screenMetrics();
    const int gap = static_cast<int>(50.0f * m.uiScale);
    useOwnLayout(*this, kTitleString, kBackString);

    auto row = [gap] {
        auto* panel = new MenuPanel(getSprite(kSpriteSetMenus), 95, kLayoutRow);
        panel->ninePatch = true;
        panel->fixedSize = true;
        panel->anchorMode = kAnchorAbsolute;
        panel->alignment = 0x0A;
        panel->touchMode = kTouchInside;
        panel->spacing = gap;
        panel->paddingX = gap;
        panel->paddingY = gap;
        return panel;
    };
    upperRow = row();
    lowerRow = row();
    for (int i = 0; i < kLanguageCount; ++i) {
        auto* flag = new SpriteButton(kFlagSet, languageTable[i].flagFrame, 1, 0);
        flag->tag = i;
        flag->focusable = true;
        flag->onClick = [this] { onLanguage(); };
        flag->updateLabel();
        flags[i] = flag;
    }
    // Rows sized by the first flag at its full size. On narrow screens the
    // flags close up so the rows stay on the screen with room left of them
    // for the line down to the lower row.
    const int fw = flags[0]->width, fh = flags[0]->height;
    const int edge = static_cast<int>(20.0f * m.uiScale);
    const int across = std::max(0, std::min(gap, (m.screenWidth - 2 * edge - kFlagsPerRow * fw) / (kFlagsPerRow + 1)));
    for (MenuPanel* panel : {upperRow, lowerRow}) {
        panel->spacing = across;
        panel->paddingX = across;
        panel->width = kFlagsPerRow * fw + (kFlagsPerRow + 1) * across;
        panel->height = fh + 2 * gap;
        panel->x = m.screenWidth / 2 - panel->width / 2;
    }
    // Every flag keeps its full-size cell, so a scaled one stays centred in it.
    for (int i = 0; i < kLanguageCount; ++i) {
        flags[i]->fixedWidth = fw;
        (i < kFlagsPerRow ? upperRow : lowerRow)->placeItem(flags[i]);
    }
    giveInputPriority(backButton());
    bringToFront(backButton());
    titleLabel->layout(0, 0);
    const int titleBottom = titleLabel->absY + titleLabel->height;
    const int q = (m.screenHeight - 2 * upperRow->height - titleLabel->absY - titleLabel->height) / 3;
    upperRow->y = titleBottom + q;
    lowerRow->y = upperRow->y + upperRow->height + q;
    addItem(upperRow);
    addItem(lowerRow);
    markCurrent(currentLanguage());
    layout(0, 0);
    rebuildConnectorLines();
    focusedItem = flags[0];
}

void LanguageMenuFrame::onShow()
{
    FilledMenuFrame::onShow();
    // Keys start on the first flag, English, whatever language is in use.
    focusedItem = flags[0];
    refocus();
}

void LanguageMenuFrame::markCurrent(int current)
{
    for (SpriteButton* flag : flags) {
        flag->frame = languageTable[flag->tag].flagFrame;
        const bool chosen = flag->tag == current;
        flag->scale = chosen ? kCurrentScale : kFlagScale;
        // The cell is the full-size flag: a small one sits in its middle.
        const float inset = chosen ? 0.0f : (1.0f - kFlagScale) / 2.0f;
        flag->offsetX = inset * static_cast<float>(flag->fixedWidth);
        flag->offsetY = inset * static_cast<float>(flag->height);
    }
    upperRow->layout(0, 0);
    lowerRow->layout(0, 0);
}

SpriteButton* LanguageMenuFrame::firingFlag() const
{
    for (MenuPanel* panel : {upperRow, lowerRow})
        if (auto* touched = dynamic_cast<SpriteButton*>(panel->touchedChild()))
            return touched;
    MenuItem* activated = menuActivatedItem();
    if (activated && activated != backButton())
        for (SpriteButton* flag : flags)
            if (flag == activated)
                return flag;
    return nullptr;
}

void LanguageMenuFrame::onLanguage()
{
    if (SpriteButton* flag = firingFlag()) {
        if (flag->tag == settings().languageIndex)
            return;
        chooseLanguage(flag->tag);
    }
    raiseLanguageChanged();
}

void LanguageMenuFrame::chooseLanguage(int index)
{
    Settings& s = settings();
    s.languageIndex = index;
    s.save();
    if (switchLanguage)
        switchLanguage(index);
    markCurrent(index);
    titleLabel->updateSize();
    titleLabel->layout(0, 0);
    rebuildConnectorLines();
}

void LanguageMenuFrame::rebuildConnectorLines()
{
    connectorLines.clear();
    const int titleMid = titleLabel->absY + titleLabel->height / 2;
    const int ux = upperRow->absX, uy = upperRow->absY, uw = upperRow->width;
    const int lowerMid = lowerRow->absY + lowerRow->height / 2;
    const int titleLeft = titleLabel->absX;
    connectorLines.push_back({titleLeft, titleMid, ux + uw / 3, uy, true, 0});
    connectorLines.push_back({titleLabel->absX + titleLabel->width / 2, titleMid, ux + 2 * uw / 3, uy, true, 0});
    // The branch to the lower row leaves the first line above the upper row
    // and goes round the row's left end, so it crosses neither row nor flag.
    // Never above the middle of the gap under the title, where the back button may stand.
    const int titleBottom = titleLabel->absY + titleLabel->height;
    const int branchY = std::max(uy - titleLabel->height, (titleBottom + uy) / 2);
    const int branchX = connectorPointAtY(titleLeft, titleMid, ux + uw / 3, uy, branchY);
    const int side = ux / 2;
    connectorLines.push_back({branchX, branchY, side, branchY, true, 0});
    connectorLines.push_back({side, branchY, side, lowerMid, true, 0});
    connectorLines.push_back({side, lowerMid, ux, lowerMid, true, 0});
}

void rebuildMenusForLanguage()
{
    // An alert left open would answer into pages that are about to go.
    if (MenuAlert* alert = MenuAlert::existing())
        alert->hideModal();
    clearFrameHistory();
    // The pause screen may still hold the control-type panel of the first game.
    pauseScreen().frame = nullptr;
    MenuFrameRegistry::deleteAll();
    goToFrame(MenuFrameRegistry::mainMenu());
    goToFrame(MenuFrameRegistry::optionsMenu());
    LanguageMenuFrame* page = MenuFrameRegistry::languageMenu();
    goToFrame(page);
    // The rebuilt page's own title, as UTF-8, says which texts it now shows.
    const std::string title =
        wideToUtf8(page && page->titleLabel ? page->titleLabel->shownText() : std::u16string_view{});
    const int language = currentLanguage();
    logInfo("menus", "pages rebuilt in language %d (%s): \"%s\"", language,
            languageTable[language < 0 ? 0 : language].code, title.c_str());
}
