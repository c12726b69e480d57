#include "menus/settings/ProfileMenuFrame.h"

#include "menus/MenuFrameRegistry.h"
#include "menus/MenuPages.h"
#include "menus/frontend/AchievementsMenuFrame.h"
#include "menus/settings/PlanePaintingMenuFrame.h"
#include "platform/Language.h"
#include "platform/Log.h"
#include "platform/ScreenMetrics.h"
#include "platform/Settings.h"
#include "platform/Text.h"
#include "render/2d/SpriteSets.h"
#include "ui/IMenuShowcase.h"
#include "ui/MenuNavigation.h"
#include "ui/widgets/MenuPanel.h"
#include "ui/widgets/SpriteButton.h"
#include "ui/widgets/SpriteHComboBox.h"
#include "ui/widgets/SpriteKeyboard.h"
#include "ui/widgets/SpriteLabel.h"
#include "ui/widgets/StatePanel.h"

#include <algorithm>
#include <array>
#include <string>

ProfileMenuFrame* MenuFrameRegistry::profileMenu()
{
    return slot<ProfileMenuFrame>(Page::Profile);
}

namespace {
std::u16string cut(std::u16string_view text, std::size_t units)
{
    return std::u16string(text.substr(0, std::min(text.size(), units)));
}

SpriteButton* addPlaceholder(MenuContainer& strip, int frameNumber)
{
    auto* item = new SpriteButton(kSpriteSetMenus, frameNumber, 1, std::u16string_view());
    item->visible = false;
    item->enabled = false;
    item->focusable = false;
    item->interactive = false;
    strip.placeItem(item);
    return item;
}

SpriteButton* addDisplay(MenuContainer& page, int set, int frameNumber, float x, float y, std::u16string_view text)
{
    auto* item = new SpriteButton(set, frameNumber, 2, text);
    item->anchorMode = MenuItem::kAnchorAbsolute;
    // Each line is centred on its row.
    item->alignment = MenuItem::kAlignLeft | MenuItem::kAlignCentreY;
    item->labelAlignment = MenuItem::kAlignLeft | MenuItem::kAlignCentreY;
    item->interactive = false;
    item->focusable = false;
    item->enabled = false;
    item->x = static_cast<int>(x);
    item->y = static_cast<int>(y);
    item->updateLabel();
    page.addItem(item);
    return item;
}
}  // namespace

int rankInsigniaFrame(int rank)
{
    return std::min(ProfileMenuFrame::kFirstInsignia + std::max(rank, 0), ProfileMenuFrame::kLastInsignia);
}

ProfileMenuFrame::ProfileMenuFrame() : SceneMenuFrame(false, false, false, false)
{
    swipeMovesCamera = false;
    const ScreenMetrics& m = screenMetrics();
    const float s = m.uiScale;
    const float H = static_cast<float>(m.screenHeight);
    backButton()->labelStringId = kBackString;
    backButton()->visible = true;
    backButton()->enabled = true;
    backButton()->updateLabel();
    // Two hidden placeholders shape the top-right strip, which then stands one
    // reference width further left.
    const int reference = sideRow->width;
    sideRow->width = 3 * reference;
    placeholders[0] = addPlaceholder(*sideRow, kPlaceholderFrames[0]);
    sideRow->width = 2 * reference;
    placeholders[1] = addPlaceholder(*sideRow, kPlaceholderFrames[1]);
    sideRow->width = reference;
    sideRow->x -= reference;
    titleLabel->stringId = kTitleString;
    titleLabel->updateSize();

    achievementsButton =
        addBarButton(*bottomPanel, kAchievementsFrame, kAchievementsString, [this] { openAchievements(); });
    nameButton = addBarButton(*bottomPanel, kNameFrame, kNameString, [this] { onEditName(); });
    paintingButton = addBarButton(*bottomPanel, kPaintingFrame, kPaintingString, [this] { openPlanePainting(); });
    // The three buttons sit at the right end of the bar, 15 from the edge.
    bottomPanel->spacing = static_cast<int>(40.0f * s);
    int content = 0;
    for (SpriteButton* button : {achievementsButton, nameButton, paintingButton})
        content += button->width;
    content += 2 * bottomPanel->spacing;
    fitBarToButtons(*bottomPanel);
    bottomPanel->paddingX = std::max(0, bottomPanel->width - content - static_cast<int>(15.0f * s));
    bottomPanel->layout(0, 0);

    nameLabel = addDisplay(*this, -1, -1, 92.0f * s, H - 100.0f * s, u"PLAYER!");
    rankLabel = addDisplay(*this, -1, -1, 92.0f * s, H - 60.0f * s, u"RANK: ACE");
    pointsLabel = addDisplay(*this, -1, -1, 92.0f * s, H - 140.0f * s, u"RANK: ACE");
    insignia = addDisplay(*this, kRankSet, kFirstInsignia, 20.0f * s, H - 100.0f * s, u"");

    if (statePanel)
        sendToBack(statePanel);
    giveInputPriority(backButton());
    bringToFront(backButton());
    if (weaponsButton)
        giveInputPriority(weaponsButton);
    layout(0, 0);
    placeTexts();
}

void ProfileMenuFrame::onShow()
{
    SceneMenuFrame::onShow();
    // The plane is shown, not browsed.
    showSinglePlane();
    languageIndex = settings().languageIndex;
    layout(0, 0);
    showName();
    const Settings& record = settings();
    logInfo("menus", "profile of \"%s\"", wideToUtf8(record.playerName).c_str());
    const int rank = std::min<int>(record.playerRank, Settings::kMaxRank);
    rankLabel->setText(cut(getStringByIndex(kFirstRankString + rank), kMaxLabelUnits));
    std::u16string points = std::u16string(getStringByIndex(kPointsString)) + u": ";
    for (char c : std::to_string(static_cast<long long>(record.pointsSP) + record.pointsMP))
        points.push_back(static_cast<char16_t>(c));
    pointsLabel->setText(cut(points, kMaxLabelUnits));
    insignia->frame = rankInsigniaFrame(rank);
    insignia->updateLabel();
    placeTexts();
    focusedItem = backButton();
    rebuildFocusLinks();
}

void ProfileMenuFrame::placeTexts()
{
    const ScreenMetrics& m = screenMetrics();
    const float s = m.uiScale;
    const float H = static_cast<float>(m.screenHeight);
    const int gap = static_cast<int>(10.0f * s);
    int left = 0;
    int lift = std::max(0, rankLabel->height / 2 + static_cast<int>(H - 60.0f * s) - (bottomPanel->y - gap / 2));
    const int top = static_cast<int>(H - 140.0f * s) - pointsLabel->height / 2 - lift;
    layout(0, 0);
    if (statePanel && statePanel->visible && top < statePanel->absY + statePanel->height + gap)
        left = statePanel->absX + statePanel->width + gap;
    pointsLabel->y = static_cast<int>(H - 140.0f * s) - lift;
    nameLabel->y = static_cast<int>(H - 100.0f * s) - lift;
    rankLabel->y = static_cast<int>(H - 60.0f * s) - lift;
    insignia->y = nameLabel->y;
    for (SpriteButton* text : {pointsLabel, nameLabel, rankLabel})
        text->x = left + static_cast<int>(92.0f * s);
    // The insignia centred in the margin left of the texts.
    insignia->x = left + (rankLabel->x - left - insignia->width) / 2;
    layout(0, 0);
}

void ProfileMenuFrame::showName()
{
    nameLabel->setText(cut(settings().playerName, kMaxLabelUnits));
    nameLabel->layout(0, 0);
}

void ProfileMenuFrame::onEditName()
{
    SpriteKeyboard& keyboard = SpriteKeyboard::instance();
    keyboard.widthLimitFont = getFont(2);
    keyboard.maxWidth = static_cast<int>(500.0f * screenMetrics().uiScale);
    keyboard.keyFontId = keyboard.textFontId = 2;
    // The whole typed text is cleaned before it is cut, so the keyboard takes all it can hold.
    keyboard.openOver(this, *this, settings().playerName, static_cast<int>(SpriteKeyboard::kMaxText));
}

void ProfileMenuFrame::onTextEntered(std::u16string_view text)
{
    fullDraw = true;
    std::array<char16_t, SpriteKeyboard::kMaxText + 1> cleaned{};
    const std::size_t n = sanitizeNameText(cleaned, text);
    // A name the cleaning empties keeps the old one; the file is written either way.
    if (n > 0)
        settings().playerName = cut(std::u16string_view(cleaned.data(), n), kMaxNameUnits);
    showName();
    settings().save();
    logInfo("menus", "pilot name now \"%s\"", wideToUtf8(settings().playerName).c_str());
    focusedItem = nameButton;
    rebuildFocusLinks();
}

void ProfileMenuFrame::onTextCancelled(std::u16string_view startText)
{
    onTextEntered(startText);
    focusedItem = nameButton;
    rebuildFocusLinks();
}

void ProfileMenuFrame::openAchievements()
{
    if (AchievementsMenuFrame* page = MenuFrameRegistry::achievementsMenu())
        goToFrame(page);
}

void ProfileMenuFrame::openPlanePainting()
{
    if (IMenuShowcase* scene = menuShowcase())
        scene->returnCameraToDefault();
    if (PlanePaintingMenuFrame* page = MenuFrameRegistry::planePaintingMenu())
        goToFrame(page);
}
