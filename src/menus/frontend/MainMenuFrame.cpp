#include "menus/frontend/MainMenuFrame.h"

#include "effects/screen/ScreenSplats.h"
#include "gamedata/records/PlaneList.h"
#include "menus/MenuFrameRegistry.h"
#include "menus/frontend/FrontendLinks.h"
#include "menus/frontend/PlayMenuFrame.h"
#include "menus/frontend/TutorialListMenuFrame.h"
#include "menus/settings/OptionsMenuFrame.h"
#include "platform/Language.h"
#include "platform/Log.h"
#include "platform/ScreenMetrics.h"
#include "platform/Settings.h"
#include "platform/Text.h"
#include "render/2d/CFont.h"
#include "render/2d/SpriteSets.h"
#include "screens/QuitGameOverlay.h"
#include "screens/scene/AirplaneCameraPlane.h"
#include "screens/scene/MenuCamera.h"
#include "screens/scene/SceneCameras.h"
#include "ui/MenuNavigation.h"
#include "ui/widgets/MenuAlert.h"
#include "ui/widgets/MenuPanel.h"
#include "ui/widgets/SpriteButton.h"
#include "ui/widgets/SpriteLabel.h"
#include "ui/widgets/SpriteHComboBox.h"
#include "ui/widgets/StatePanel.h"

#include <algorithm>
#include <vector>

MainMenuFrame* MenuFrameRegistry::mainMenu()
{
    return slot<MainMenuFrame>(Page::MainMenu);
}

MainMenuFrame::MainMenuFrame() : SceneMenuFrame(false, false, false, false)
{
    titleLabel->visible = false;
    onlineButton = addButton(kOnlineFrame, kOnlineString, [this] { onOnlineButton(); });
    playButton = addButton(kPlayFrame, kPlayString, [this] { onPlay(); });
    multiplayerButton = addButton(kMultiplayerFrame, kMultiplayerString, [this] { onMultiplayer(); });
    profileButton = addButton(kProfileFrame, kProfileString, [this] { onProfile(); });
    optionsButton = addButton(kOptionsFrame, kOptionsString, [this] { onOptions(); });
    quitButton = addButton(kQuitFrame, kQuitString, [this] { onQuit(); });
    pendingPlane = -1;
    noticeText.clear();
    // The one page that browses: locked planes too, each telling what unlocks it.
    showAllPlanes = true;

    const ScreenMetrics& m = screenMetrics();
    // The bar grows to hold the large buttons; what stands above it moves up with it.
    const int pad = static_cast<int>(6.0f * m.uiScale);
    const int lift = std::max(0, playButton->height + 2 * pad - bottomPanel->height);
    bottomPanel->height += lift;
    bottomPanel->y -= lift;
    bottomPanel->paddingY = pad;
    arrowPanel->height -= lift;
    placeTouchZones();
    if (planeIndicator)
        planeIndicator->y -= lift;
    // The statistics, the variant dots and the balloon stay centred in the room left above the bar.
    for (MenuItem* item : std::initializer_list<MenuItem*>{statePanel, variantIndicator, infoBalloon})
        if (item)
            item->y -= lift / 2;
    bottomPanel->spacing = static_cast<int>(m.uiScale * 40.0f);
    bottomPanel->paddingX = 0;
    bottomPanel->layout(bottomPanel->absX, bottomPanel->absY);
    bottomPanel->paddingX = (m.screenWidth - bottomPanel->contentWidth) / 2;
    layout(0, 0);
    focusedItem = playButton;
}

MainMenuFrame::~MainMenuFrame()
{
    if (UnlocksMgr::instance().listener() == this)
        UnlocksMgr::instance().setListener(nullptr);
}

SpriteButton* MainMenuFrame::addButton(int frame, int stringId, MenuAction action)
{
    auto* button = new SpriteButton(kSpriteSetMenus, frame, kButtonFont, stringId);
    button->pressedFrameOffset = 1;
    button->labelAlignment = MenuItem::kAlignCentreX | MenuItem::kAlignBottom;
    button->focusable = true;
    button->onClick = std::move(action);
    // The name sits in the dark band at the foot of the picture (8 to 116
    // across and 84 to 116 down of the 124-square art) and shrinks to fit it.
    button->labelBox = {8.0f / 124.0f, 84.0f / 124.0f, 116.0f / 124.0f, 116.0f / 124.0f};
    button->updateLabel();
    bottomPanel->placeItem(button);
    return button;
}

void MainMenuFrame::enableLinked()
{
    const FrontendLinks& links = frontendLinks();
    setButtonAvailable(*multiplayerButton, static_cast<bool>(links.multiPlayer));
    setButtonAvailable(*onlineButton, static_cast<bool>(links.onlineQuickMatch));
    setButtonAvailable(*profileButton, static_cast<bool>(links.profile));
}

void MainMenuFrame::onShow()
{
    SceneMenuFrame::onShow();
    menuCamera().setMode(0);
    ScreenSplats::reset();
    settings().save();
    enableLinked();
    focusedItem = playButton;
    rebuildFocusLinks();
}

void MainMenuFrame::rebuildFocusLinks()
{
    SceneMenuFrame::rebuildFocusLinks();
    std::vector<SpriteButton*> row;
    for (SpriteButton* button : {onlineButton, playButton, multiplayerButton, profileButton, optionsButton, quitButton})
        if (button->enabled && button->visible)
            row.push_back(button);
    for (std::size_t i = 0; i < row.size(); ++i) {
        row[i]->links[kLeft] = i > 0 ? row[i - 1] : nullptr;
        row[i]->links[kRight] = i + 1 < row.size() ? row[i + 1] : nullptr;
    }
}

void MainMenuFrame::update()
{
    SceneMenuFrame::update();
    if (pendingPlane >= 0 && menuShowcasePlane().airplane()) {
        refreshShowcase(pendingPlane);
        showInfo(noticeText.c_str());
        logInfo("menus", "the main menu shows the unlock of plane %d", pendingPlane);
        pendingPlane = -1;
    }
}

bool MainMenuFrame::onEscape()
{
    onQuit();
    return true;
}

void MainMenuFrame::onOnlineButton()
{
    if (tutorialQuestionDue())
        showQuestionAlert([this] { openTutorials(); }, [this] { onOnline(); });
    else
        onOnline();
}

void MainMenuFrame::onPlay()
{
    goToFrame(MenuFrameRegistry::playMenu());
}

void MainMenuFrame::onMultiplayer()
{
    if (tutorialQuestionDue())
        showQuestionAlert([this] { openTutorials(); }, [this] { openMultiplayer(); });
    else
        openMultiplayer();
}

void MainMenuFrame::onProfile()
{
    if (frontendLinks().profile)
        goToFrame(frontendLinks().profile());
}

void MainMenuFrame::onOptions()
{
    goToFrame(MenuFrameRegistry::optionsMenu());
}

void MainMenuFrame::onQuit()
{
    QuitGameOverlay::instance().show();
    logInfo("menus", "page shown: QuitGameOverlay");
}

void MainMenuFrame::openMultiplayer()
{
    settings().tutorialPromptAnswered = 1;
    settings().save();
    if (frontendLinks().multiPlayer)
        goToFrame(frontendLinks().multiPlayer());
    rebuildFocusLinks();
}

void MainMenuFrame::onOnline()
{
    settings().tutorialPromptAnswered = 1;
    settings().save();
    if (frontendLinks().onlineQuickMatch)
        goToFrame(frontendLinks().onlineQuickMatch());
}

void MainMenuFrame::openTutorials()
{
    clearFrameHistory();
    goToFrame(this);
    goToFrame(MenuFrameRegistry::playMenu());
    goToFrame(MenuFrameRegistry::tutorialListMenu());
    rebuildFocusLinks();
}

void MainMenuFrame::onItemUnlocked(const UnlockItem& item, UnlockEventType event, const std::string& message)
{
    pendingPlane = -1;
    if (item.type() != UnlockItemType::Plane || event != UnlockEventType::HasZubGame || message.empty() ||
        message == "0")
        return;
    const std::u16string& format = getStringById(message);
    const PlaneCfg* plane = PlaneList::instance().findByName(item.parameterString);
    if (format == u"DUMMY" || !plane)
        return;
    char16_t buffer[kNoticeUnits];
    wideFormatW(buffer, kNoticeUnits, format.c_str(), plane->fullname);
    noticeText = buffer;
    pendingPlane = plane->plane_id;
}
