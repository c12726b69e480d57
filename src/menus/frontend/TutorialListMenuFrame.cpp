#include "menus/frontend/TutorialListMenuFrame.h"

#include "menus/MenuFrameRegistry.h"
#include "menus/frontend/PlayMenuFrame.h"
#include "modes/GameMode.h"
#include "modes/GameModeFactory.h"
#include "modes/GameType.h"
#include "platform/Language.h"
#include "platform/Log.h"
#include "platform/ScreenMetrics.h"
#include "platform/Settings.h"
#include "render/2d/CFont.h"
#include "render/2d/CSprite.h"
#include "render/2d/SpriteSets.h"
#include "screens/GameScreen.h"
#include "screens/GameStart.h"
#include "ui/MenuNavigation.h"
#include "ui/widgets/MenuPanel.h"
#include "ui/widgets/SpriteLabel.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <typeinfo>

TutorialListMenuFrame* MenuFrameRegistry::tutorialListMenu()
{
    return slot<TutorialListMenuFrame>(Page::TutorialList);
}

namespace {
constexpr int kTutorialType = static_cast<int>(GameType::Tutorial);
constexpr int kTutorialMap = 1;
}  // namespace

TutorialListMenuFrame::TutorialListMenuFrame()
{
    launch = [](int type, int map, int tutorialIndex) {
        const GameStartResult result = createGame(type, false, map, gameScreen(), tutorialIndex);
        logInfo("menus", "tutorial %d start: result %d", tutorialIndex, static_cast<int>(result));
    };
    // Until the lessons have a game mode of their own the factory hands out
    // the base rules, which would fly an empty lesson: the entries stay off.
    tutorialsAvailable = [] {
        const std::unique_ptr<GameMode> mode = createGameMode(kTutorialType);
        if (!mode)
            return false;
        const GameMode& made = *mode;
        return typeid(made) != typeid(GameMode);
    };
    const ScreenMetrics& m = screenMetrics();
    const float a = m.uiScale, sx = m.screenScaleX;
    backButton()->labelStringId = kBackString;
    backButton()->updateLabel();
    titleLabel->stringId = kTitleString;
    titleLabel->updateSize();
    content()->visible = false;
    content()->enabled = false;

    const int spare = std::max(0, static_cast<int>((static_cast<float>(m.screenHeight) - 122.0f * a - 45.0f * a -
                                                    40.0f * a - 360.0f * a) / 2.0f));
    row = new MenuPanel(kLayoutRow);
    row->anchorMode = kAnchorAbsolute;
    row->fixedSize = true;
    row->touchMode = kTouchList;
    row->width = m.screenWidth;
    row->height = static_cast<int>(static_cast<float>(m.screenHeight) - 207.0f * a) - spare;
    row->spacing = static_cast<int>(20.0f * sx);
    row->x = 0;
    row->y = static_cast<int>(167.0f * a) + spare;
    row->kinetic = true;

    const int padW = static_cast<int>(100.0f * a), padH = static_cast<int>(50.0f * a);
    row->placeItem(new MenuSpacer(padW, padH));
    const bool available = tutorialsAvailable();
    for (int i = 0; i < kTutorialCount; ++i) {
        auto* entry = new TutorialEntry(i);
        const bool offered = i != kHiddenTutorial;
        entry->visible = offered;
        entry->enabled = offered && available;
        entry->focusable = entry->enabled;
        entries[i] = entry;
        row->placeItem(entry);
    }
    row->placeItem(new MenuSpacer(padW, padH));
    firstEntry = entries[0];
    if (!focusedItem || focusedItem == backButton())
        focusedItem = firstEntry->enabled ? static_cast<MenuItem*>(firstEntry) : backButton();
    row->layout(0, 0);
    addItem(row);
    giveInputPriority(backButton());
    bringToFront(backButton());
    pageStep = 0;
    layout(0, 0);
    layout(0, 0);
}

void TutorialListMenuFrame::onShow()
{
    titleLabel->updateSize();
    SceneMenuFrame::onShow();
    if (firstEntry->enabled)
        focusedItem = firstEntry;
    rebuildFocusLinks();
}

void TutorialListMenuFrame::update()
{
    if (pageStep != 0) {
        const float leftmost = static_cast<float>(row->width - row->contentWidth);
        if (row->scrollX > leftmost && row->itemCount() > 0) {
            const float step = static_cast<float>(firstEntry->width) / 10.0f;
            row->scrollX += pageStep > 0 ? -step : step;
        }
        pageStep += pageStep > 0 ? -1 : 1;
    }
    row->layout(0, 0);
    SceneMenuFrame::update();
}

void TutorialListMenuFrame::start(int tutorialIndex)
{
    Settings& s = settings();
    s.localPlaneId = 0;
    s.skirmishType = kTutorialType;
    mapChoice().selectedMap = kTutorialMap;
    if (launch)
        launch(kTutorialType, kTutorialMap, tutorialIndex);
}
