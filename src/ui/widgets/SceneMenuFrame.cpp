#include "ui/widgets/SceneMenuFrame.h"

#include "platform/Clock.h"
#include "platform/Language.h"
#include "platform/ScreenMetrics.h"
#include "platform/Settings.h"
#include "render/2d/CFont.h"
#include "render/2d/CSprite.h"
#include "render/2d/Render2D.h"
#include "render/2d/SpriteSets.h"
#include "ui/IMenuShowcase.h"
#include "ui/TextFitLog.h"
#include "ui/widgets/MenuAlert.h"
#include "ui/widgets/MenuPanel.h"
#include "ui/widgets/SpriteButton.h"
#include "ui/widgets/SpriteHComboBox.h"
#include "ui/widgets/SpriteLabel.h"
#include "ui/widgets/StatePanel.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <utility>

namespace {
IMenuShowcase* g_showcase = nullptr;
bool g_firstShowcaseShown = false;

constexpr int kTitleLeft = 236, kTitleMiddle = 237, kTitleRight = 238;
constexpr int kTopStrip = 153, kBottomStrip = 154;
constexpr std::array<int, 4> kCorners{kHudCornerFrames[0], kHudCornerFrames[1], kHudCornerFrames[2], kHudCornerFrames[3]};
constexpr int kBackdropBox = 97;
constexpr int kPanelBox = 95;
constexpr int kBalloonFrame = 164, kBalloonThumb = 181;
constexpr int kSideButtonFrame = 19;
constexpr int kBottomFrame = 204;
constexpr int kInfoButtonFrame = 176;
constexpr int kTierFrame = 199;
constexpr int kWeaponsFrame = 241;
constexpr int kTopButtonFrame = 93;
constexpr int kLanguageWithNarrowBalloon = 7;
constexpr int kShowcaseArrow = 84;   // a chevron pointing right, origin at its middle

int trunc(float v)
{
    return static_cast<int>(v);
}

// One of the six decoration pieces: a strip stretched across the screen or a
// corner frame placed at its corner (the frame's origin is that corner).
class DecorationPiece : public MenuItem {
public:
    using Sheet = CSprite* (*)();
    DecorationPiece(Sheet sheet, int frame, int px, int py, bool strip) : m_sheet(sheet), m_frame(frame), m_strip(strip)
    {
        anchorMode = kAnchorAbsolute;
        x = px;
        y = py;
        CSprite* sprite = sheet();
        sprite->frameBounds(frame, width, height);
        if (strip) {
            width = screenMetrics().screenWidth;
            if (py > 0)
                y = py - height;
        }
        alignment = kAlignLeft | kAlignTop;
    }
    void draw() override
    {
        CSprite* sprite = m_sheet();
        if (m_strip)
            sprite->drawNinePatch(m_frame, static_cast<float>(absX), static_cast<float>(absY),
                                  static_cast<float>(width), static_cast<float>(height));
        else
            sprite->drawFrame(m_frame, static_cast<float>(absX), static_cast<float>(absY));
    }
    // Corner pieces sit with their origin on the point; layout must not move them.
    void layout(int, int) override
    {
        absX = x;
        absY = y;
    }

private:
    Sheet m_sheet;
    int m_frame;
    bool m_strip;
};

CSprite* menusSheet()
{
    return getSprite(kSpriteSetMenus);
}

// A touch zone without a picture; placeTouchZones sizes it.
SpriteButton* makeZone(MenuContainer& parentPanel, MenuAction action)
{
    auto* zone = new SpriteButton(-1, -1, 1, std::u16string_view());
    zone->alignment = 10;
    zone->anchorMode = MenuItem::kAnchorAbsolute;
    zone->focusable = false;
    zone->playClickSound = false;
    zone->onClick = std::move(action);
    parentPanel.addItem(zone);
    return zone;
}
}  // namespace

void setMenuShowcase(IMenuShowcase* showcase)
{
    g_showcase = showcase;
}

IMenuShowcase* menuShowcase()
{
    return g_showcase;
}

void restorePlayerPlane()
{
    Settings& s = settings();
    s.currentPlaneId = s.localPlaneId;
    IMenuShowcase* scene = g_showcase;
    if (!scene || !scene->isLocked(s.currentPlaneId))
        return;
    const std::vector<int> available = scene->planeList(1);
    const int first = available.empty() ? 0 : available.front();
    s.currentPlaneId = static_cast<std::uint8_t>(first);
    s.localPlaneId = static_cast<std::uint8_t>(first);
    s.save();
}

SceneMenuFrame::SceneMenuFrame(bool, bool noShowcase, bool noBottomPanel, bool) : showcaseHidden(noShowcase)
{
    const ScreenMetrics& m = screenMetrics();
    const float a = m.uiScale;
    CSprite* menus = getSprite(kSpriteSetMenus);

    topButton = std::make_unique<SpriteButton>(kSpriteSetMenus, kTopButtonFrame, 0, std::u16string_view());
    topButton->x = trunc(10.0f * a);
    topButton->y = trunc(10.0f * a);
    topButton->enabled = false;
    topButton->focusable = false;
    topButton->layout(0, 0);

    titleLabel = new ResizableLabel(u"");
    titleLabel->setup(kTitleLeft, kTitleMiddle, kTitleRight, 2);
    titleLabel->anchorMode = kAnchorAbsolute;
    titleLabel->alignment = 0x48;
    titleLabel->x = m.halfWidth;
    titleLabel->y = trunc(25.0f * a);
    addItem(titleLabel);
    backButton()->alignment = 10;
    backButton()->y = trunc(25.0f * a);

    buildDecorations();

    sideRow = new MenuPanel(kLayoutRow);
    sideRow->touchMode = kTouchPage;
    sideRow->bottomUp = true;
    sideRow->spacing = 0;
    {
        SpriteButton probe(kSpriteSetMenus, kSideButtonFrame, 1, std::u16string_view());
        probe.updateLabel();
        sideRow->width = probe.width;
        sideRow->height = probe.height;
        sideRow->anchorMode = kAnchorAbsolute;
        sideRow->x = m.screenWidth - probe.width / 2;
        sideRow->y = probe.height / 4;
    }
    addItem(sideRow);

    bottomPanel = new MenuPanel(menus, kBottomFrame, kLayoutRow);
    bottomPanel->touchMode = kTouchInside;
    bottomPanel->ninePatch = true;
    const int bh = bottomPanel->height;
    bottomPanel->paddingY = trunc(2.0f * a);
    bottomPanel->spacing = trunc(60.0f * a);
    bottomPanel->width = m.screenWidth;
    bottomPanel->height = bh;
    bottomPanel->fixedSize = true;
    bottomPanel->anchorMode = kAnchorAbsolute;
    bottomPanel->x = 0;
    bottomPanel->y = m.screenHeight - bh;
    if (!noBottomPanel)
        addItem(bottomPanel);
    const int bottomHeight = noBottomPanel ? 0 : bh;

    arrowPanel = new MenuPanel(kLayoutRow);
    arrowPanel->touchMode = kTouchPage;
    arrowPanel->anchorMode = kAnchorAbsolute;
    arrowPanel->x = 0;
    arrowPanel->y = trunc(122.0f * a);
    arrowPanel->width = m.screenWidth;
    arrowPanel->height = m.screenHeight - trunc(122.0f * a) - bottomHeight - trunc(10.0f * a);
    arrowPanel->fixedSize = true;
    addItem(arrowPanel);
    zoneUp = makeZone(*arrowPanel, [this] { startCameraMove3(); });
    zoneDown = makeZone(*arrowPanel, [this] { startCameraMove4(); });

    if (noBottomPanel) {
        delete bottomPanel;
        bottomPanel = nullptr;
    }
    if (!showcaseHidden)
        buildShowcase(bottomHeight);
    placeTouchZones();
    buildBalloon();
}

void SceneMenuFrame::placeTouchZones()
{
    const ScreenMetrics& m = screenMetrics();
    const float a = m.uiScale;
    // Up and down share the right edge, each half of the panel's height.
    const int zoneW = trunc(100.0f * a);
    const int halfPanel = arrowPanel->height / 2;
    for (SpriteButton* zone : {zoneUp, zoneDown}) {
        zone->x = m.screenWidth - zoneW;
        zone->width = zoneW;
        zone->height = halfPanel;
    }
    zoneUp->y = arrowPanel->y;
    zoneDown->y = arrowPanel->y + halfPanel;
    if (!zoneLeft || !zoneRight)
        return;
    // Left and right: a strip along the panel's bottom, half the screen each.
    const int zoneH = trunc(50.0f * a);
    zoneLeft->x = 0;
    zoneRight->x = m.halfWidth;
    for (SpriteButton* zone : {zoneLeft, zoneRight}) {
        zone->y = arrowPanel->y + arrowPanel->height - zoneH;
        zone->width = m.halfWidth;
        zone->height = zoneH;
    }
}

SceneMenuFrame::~SceneMenuFrame() = default;

void SceneMenuFrame::buildDecorations()
{
    const ScreenMetrics& m = screenMetrics();
    const std::array<DecorationPiece*, 6> pieces{
        new DecorationPiece(menusSheet, kTopStrip, 0, 0, true),
        new DecorationPiece(menusSheet, kBottomStrip, 0, m.screenHeight, true),
        // The corners alone: the HUD's whole sheet is not needed for them.
        new DecorationPiece(getHudCornersSprite, kCorners[0], 0, 0, false),
        new DecorationPiece(getHudCornersSprite, kCorners[1], 0, m.screenHeight, false),
        new DecorationPiece(getHudCornersSprite, kCorners[2], m.screenWidth, 0, false),
        new DecorationPiece(getHudCornersSprite, kCorners[3], m.screenWidth, m.screenHeight, false),
    };
    for (DecorationPiece* piece : pieces) {
        addItem(piece);
        decorations.push_back(piece);
    }
}

void SceneMenuFrame::buildShowcase(int bottomHeight)
{
    const ScreenMetrics& m = screenMetrics();
    const float a = m.uiScale;

    zoneLeft = makeZone(*arrowPanel, [this] { startCameraMove2(); });
    zoneRight = makeZone(*arrowPanel, [this] { startCameraMove1(); });

    infoButton = new SpriteButton(kSpriteSetMenus, kInfoButtonFrame, 2, std::u16string_view());
    infoButton->alignment = 0x60;
    infoButton->anchorMode = kAnchorAbsolute;
    infoButton->focusable = false;
    infoButton->x = m.halfWidth;
    infoButton->y = m.halfHeight;
    infoButton->onClick = [this] { showPlaneDescription(); };
    arrowPanel->addItem(infoButton);

    const int panelMiddle = arrowPanel->y + arrowPanel->height / 2;
    planeIndicator = new SpritePageIndicator(trunc(16.0f * m.screenScaleX), 1);
    planeIndicator->alignment = 0x50;
    planeIndicator->anchorMode = kAnchorAbsolute;
    planeIndicator->x = m.halfWidth;
    planeIndicator->y = m.screenHeight - bottomHeight - trunc(20.0f * a);
    planeIndicator->focusable = true;
    // Forwarders into the virtual slots, so a page that overrides a move changes the dots too.
    planeIndicator->onPrevious = [this] { startCameraMove2(); };
    planeIndicator->onNext = [this] { startCameraMove1(); };
    addItem(planeIndicator);

    variantIndicator = new SpritePageIndicator(trunc(16.0f * m.screenScaleX), 1, true);
    variantIndicator->alignment = 0x24;
    variantIndicator->anchorMode = kAnchorAbsolute;
    variantIndicator->x = m.screenWidth - variantIndicator->width + trunc(5.0f * a);
    variantIndicator->y = panelMiddle;
    variantIndicator->focusable = true;
    variantIndicator->onPrevious = [this] { startCameraMove3(); };
    variantIndicator->onNext = [this] { startCameraMove4(); };
    addItem(variantIndicator);

    buildStatePanel(panelMiddle);

    tierButton = new SpriteButton(kSpriteSetMenus, kTierFrame, 2, 1222);
    tierButton->alignment = 0x48;
    tierButton->anchorMode = kAnchorAbsolute;
    tierButton->enabled = false;
    tierButton->focusable = false;
    addItem(tierButton);
    tierNextButton = new SpriteButton2();
    tierPreviousButton = new SpriteButton2();
    tierNextButton->onClick = [this] {
        if (singlePlane)
            return;
        if (g_showcase)
            g_showcase->snapCameraToMode1();
        cameraMove = 5;
    };
    tierPreviousButton->onClick = [this] {
        if (singlePlane)
            return;
        if (g_showcase)
            g_showcase->snapCameraToMode1();
        cameraMove = 6;
    };
    for (SpriteButton2* arrow : {tierNextButton, tierPreviousButton}) {
        arrow->alignment = 10;
        arrow->anchorMode = kAnchorAbsolute;
        arrow->focusable = true;
        addItem(arrow);
    }
    giveInputPriority(tierNextButton);
}

void SceneMenuFrame::buildStatePanel(int panelMiddle)
{
    const float a = screenMetrics().uiScale;
    CSprite* menus = getSprite(kSpriteSetMenus);
    statePanel = new StatePanel();
    statePanel->anchorMode = kAnchorAbsolute;
    statePanel->alignment = 0x22;
    statePanel->x = trunc(30.0f * a);
    statePanel->y = panelMiddle;
    statePanel->paddingY = trunc(130.0f * a);
    statePanel->onTap = [this] {
        openWeapons();
    };
    statePanel->placeItem(new SpriteLabel(1, u" "));
    constexpr std::array<int, 4> kIcons{125, 124, 109, 126};
    for (int i = 0; i < 4; ++i)
        bars[i] = new StateItem(kIcons[static_cast<std::size_t>(i)], statePanel);
    // Room for the bars below the weapons button and for the tier title under them.
    int tierW = 0, tierH = 0;
    menus->frameBounds(kTierFrame, tierW, tierH);
    statePanel->width = std::max(bars[0]->width, tierW) + 2 * statePanel->paddingX;
    statePanel->height = statePanel->paddingY + 5 * (bars[0]->height + statePanel->spacing) + tierH;
    statePanel->fixedSize = true;
    weaponsButton = new SpriteButton(kSpriteSetMenus, kWeaponsFrame, 1, std::u16string_view());
    weaponsButton->alignment = 0x48;
    weaponsButton->x = statePanel->width / 2;
    weaponsButton->y = trunc(40.0f * a);
    weaponsButton->enabled = false;
    weaponsButton->onClick = [this] {
        openWeapons();
    };
    statePanel->addItem(weaponsButton);
    for (int i = 0; i < 2; ++i) {
        auto* icon = new StateIcon();
        icon->x = weaponsButton->x;
        icon->y = weaponsButton->y + weaponsButton->height * (i + 1) / 3;
        statePanel->addItem(icon);
        (i == 0 ? weaponIcon1 : weaponIcon2) = icon;
    }
    addItem(statePanel);
}

void SceneMenuFrame::buildBalloon()
{
    const ScreenMetrics& m = screenMetrics();
    const float a = m.uiScale;
    CSprite* menus = getSprite(kSpriteSetMenus);
    infoBalloon = new MenuPanel(menus, kPanelBox, kLayoutList);
    infoBalloon->ninePatch = true;
    infoBalloon->touchMode = kTouchList;
    menus->frameBounds(kBalloonFrame, infoBalloon->width, infoBalloon->height);
    infoBalloon->fixedSize = true;
    infoBalloon->setScrollBar(kBalloonThumb, -3.0f * a, 0.0f);
    infoBalloon->alignment = 0x60;
    infoBalloon->anchorMode = kAnchorAbsolute;
    infoBalloon->y = arrowPanel->y + arrowPanel->height / 2;
    infoBalloon->x = m.halfWidth - infoBalloon->width / 2;
    infoBalloon->visible = false;
    infoBalloon->enabled = false;
    infoLabel = new SpriteLabel(2, u" ");
    infoLabel->alignment = 0x48;
    infoBalloon->placeItem(infoLabel);
    addItem(infoBalloon);
    if (!showcaseHidden)
        giveInputPriority(infoBalloon);
}

void SceneMenuFrame::layoutShowcaseItems()
{
    const float a = screenMetrics().uiScale;
    // The tier title along the inside of the statistics panel's bottom edge,
    // its arrows half a title height above, reaching from its centre outwards.
    tierButton->updateLabel();
    const int panelBottom = statePanel->y + statePanel->height / 2;
    tierButton->x = statePanel->x + statePanel->width / 2;
    tierButton->y = panelBottom - tierButton->height;
    const int arrowW = trunc(0.8f * static_cast<float>(tierButton->width));
    for (SpriteButton2* arrow : {tierNextButton, tierPreviousButton}) {
        arrow->width = arrowW;
        arrow->height = tierButton->height * 2;
        arrow->y = tierButton->y - tierButton->height / 2;
    }
    tierNextButton->x = tierButton->x;
    tierPreviousButton->x = tierButton->x - arrowW;
    // The balloon between the statistics and the variant dots.
    const int right = statePanel->x + statePanel->width;
    infoBalloon->x = right + trunc((static_cast<float>(variantIndicator->x - right) - 40.0f * a) / 2.0f);
}

void SceneMenuFrame::onShow()
{
    // A page without a title shows no empty plate.
    titleLabel->visible = !titleLabel->shownText().empty();
    restorePlayerPlane();
    m_showcase = Showcase{showAllPlanes ? 0 : 1, settings().currentPlaneId, -1};
    if (tierButton && g_showcase) {
        currentTier = std::max(0, g_showcase->planeTier(m_showcase.planeId));
        setupShowcase(false);
    }
    if (!showcaseHidden) {
        setPlaneIndicator();
        setVariantIndicator();
        infoBalloon->visible = false;
        infoBalloon->enabled = false;
        if (!g_firstShowcaseShown) {
            g_firstShowcaseShown = true;
            arrowHighlight = 1.0f;
        }
        refreshStats(true);
        layoutShowcaseItems();
    }
    if (g_showcase) {
        g_showcase->createShowcasePlane(m_showcase.planeId);
        g_showcase->setSceneShown();
        if (g_showcase->cameraMode() != 0)
            g_showcase->returnCameraToDefault();
    }
    layout(0, 0);
    focusedItem = backButton();
    rebuildFocusLinks();
}

void SceneMenuFrame::onHide()
{
    settings().save();
    if (g_showcase)
        g_showcase->setSceneShown();
}

void SceneMenuFrame::update()
{
    MenuContainer::update();
    const float dt = frameDelta();
    if (!showcaseHidden) {
        if (arrowHighlight > 0.0f)
            arrowHighlight = std::max(0.0f, arrowHighlight - 0.35f * dt);
        if (infoBalloon->visible) {
            balloonAlpha = std::min(1.0f, balloonAlpha + 6.0f * dt);
            textAlpha = std::min(1.0f, textAlpha + 6.0f * dt);
        }
    }
    infoBalloon->alpha = balloonAlpha;
    advanceCameraMove(dt);
}

void SceneMenuFrame::drawDecorations()
{
    for (MenuItem* piece : decorations)
        piece->draw();
}

void SceneMenuFrame::draw()
{
    const ScreenMetrics& m = screenMetrics();
    if (showcaseHidden && backdrop)
        getSprite(kSpriteSetMenus)->drawNinePatch(kBackdropBox, -50.0f, -50.0f,
                                                  static_cast<float>(m.screenWidth + 100),
                                                  static_cast<float>(m.screenHeight + 100));
    if (!fullDraw) {
        drawDecorations();
        return;
    }
    MenuFrame::draw();
    CSprite* menus = getSprite(kSpriteSetMenus);
    for (auto line = connectorLines.rbegin(); line != connectorLines.rend(); ++line) {
        if (line->visible)
            menus->drawBarBetween(static_cast<float>(line->x0), static_cast<float>(line->y0),
                                  static_cast<float>(line->x1), static_cast<float>(line->y1), line->style);
    }
    drawArrowHighlight(*menus);
}

void SceneMenuFrame::drawArrowHighlight(CSprite& menus) const
{
    // The first showcase after start shows, fading, how the planes are
    // browsed: left and right beside the plane dots (the bottom touch strip),
    // up and down over the right edge's touch zones (the variants).
    if (arrowHighlight <= 0.0f || !arrowPanel || !arrowPanel->visible)
        return;
    // Beside a notice or question box the arrows would read as the box's
    // own; they belong to the page, which the box covers.
    if (const MenuAlert* alert = MenuAlert::existing(); alert && alert != this && !alert->closed)
        return;
    constexpr float kQuarterTurn = 1.5707964f;
    const Color4 before = menus.color();
    menus.setColorBytes(255, 255, 255, static_cast<std::uint8_t>(std::min(arrowHighlight, 1.0f) * 255.0f));
    int w = 0, h = 0;
    menus.frameBounds(kShowcaseArrow, w, h);
    const float side = static_cast<float>(std::max(w, h));
    const auto arrow = [&](float x, float y, float turn) {
        menus.drawFrame(kShowcaseArrow, x, y, turn);
        textFitLog().addPicture({x - side / 2.0f, y - side / 2.0f, side, side}, "ShowcaseArrow");
    };
    if (planeIndicator && planeIndicator->visible && zoneLeft && zoneLeft->enabled) {
        const float ui = screenMetrics().uiScale, gap = 40.0f * ui;
        float y = static_cast<float>(planeIndicator->absY + planeIndicator->height / 2);
        float left = static_cast<float>(planeIndicator->absX) - gap;
        float right = static_cast<float>(planeIndicator->absX + planeIndicator->width) + gap;
        // On small screens the state panel and its tier button reach the
        // dots: the arrows stand over the row's ends instead, clear of both.
        if (statePanel && statePanel->visible &&
            left - side / 2.0f < static_cast<float>(statePanel->absX + statePanel->width)) {
            y = static_cast<float>(planeIndicator->absY) - side / 2.0f - 4.0f * ui;
            left = static_cast<float>(planeIndicator->absX) + side / 2.0f;
            right = static_cast<float>(planeIndicator->absX + planeIndicator->width) - side / 2.0f;
        }
        arrow(left, y, 2.0f * kQuarterTurn);
        arrow(right, y, 0.0f);
    }
    for (const auto& [zone, turn] : {std::pair{zoneUp, -kQuarterTurn}, std::pair{zoneDown, kQuarterTurn}})
        if (zone && zone->enabled)
            arrow(static_cast<float>(zone->absX + zone->width / 2), static_cast<float>(zone->absY + zone->height / 2),
                  turn);
    menus.setColor(before);
}

void SceneMenuFrame::rebuildConnectorLines()
{
    titleLabel->updateSize();
    titleLabel->layout(0, 0);
    connectorLines.clear();
}

bool SceneMenuFrame::infoShown() const
{
    return infoBalloon->visible;
}

void SceneMenuFrame::showInfo(const char16_t* text)
{
    if (!infoBalloon->visible && text) {
        const float a = screenMetrics().uiScale;
        const float share = currentLanguage() == kLanguageWithNarrowBalloon ? 0.9f : 0.95f;
        std::u16string wrapped(std::u16string_view(text).size() * 2 + 8, u'\0');
        if (CFont* font = getFont(infoLabel->fontId))
            font->wrap(text, share * static_cast<float>(infoBalloon->width), wrapped);
        else
            wrapped = text;
        infoLabel->setText(wrapped.c_str());
        infoLabel->updateSize();
        balloonAlpha = 0.0f;
        textAlpha = 0.0f;
        infoBalloon->paddingY = (infoBalloon->height - infoLabel->height) / 2;
        infoBalloon->visible = true;
        infoBalloon->enabled = true;
        infoBalloon->layout(0, 0);
        if (infoLabel->height > infoBalloon->height) {
            infoBalloon->paddingY = trunc(10.0f * a);
            infoBalloon->layout(0, 0);
        }
        layout(0, 0);
        return;
    }
    if (infoBalloon->visible && !balloonTouched) {
        infoBalloon->visible = false;
        infoBalloon->enabled = false;
    }
}

FilledMenuFrame::FilledMenuFrame() : SceneMenuFrame(true, true, true, true)
{
    const ScreenMetrics& m = screenMetrics();
    const float a = m.uiScale;
    width = m.screenWidth;
    height = m.screenHeight;
    backButton()->visible = true;
    backButton()->enabled = true;

    auto* contentPanel = new MenuPanel(kLayoutRow);
    contentPanel->touchMode = kTouchList;
    contentPanel->anchorMode = kAnchorAbsolute;
    contentPanel->x = 0;
    contentPanel->width = m.screenWidth;
    contentPanel->height = trunc(static_cast<float>(m.screenHeight) - 217.0f * a);
    contentPanel->fixedSize = true;
    contentPanel->y = m.screenHeight - contentPanel->height;
    contentPanel->paddingX = trunc(80.0f * a);
    // Taller screens give the content more room above the first row.
    contentPanel->paddingY = trunc((m.screenHeight >= 758 ? 150.0f : 120.0f) * a);
    contentPanel->spacing = trunc((m.screenWidth >= 1024 ? 73.0f : 58.0f) * a);
    contentPanel->setScrollBar(MenuContainer::kDefaultThumbFrame, 4.0f * a, 0.0f);
    addItem(contentPanel);
    bottomPanel = contentPanel;

    giveInputPriority(backButton());
    bringToFront(backButton());
    layout(0, 0);
    arrowPanel->visible = false;
    arrowPanel->enabled = false;
}

void FilledMenuFrame::onShow()
{
    titleLabel->updateSize();
    SceneMenuFrame::onShow();
}

void SceneMenuFrame::showSinglePlane()
{
    singlePlane = true;
    swipeMovesCamera = false;
    cameraMove = 0;
    for (MenuItem* item : {static_cast<MenuItem*>(arrowPanel), static_cast<MenuItem*>(planeIndicator),
                           static_cast<MenuItem*>(variantIndicator), static_cast<MenuItem*>(tierButton),
                           static_cast<MenuItem*>(tierNextButton), static_cast<MenuItem*>(tierPreviousButton)})
        if (item) {
            item->visible = false;
            item->enabled = false;
            item->focusable = false;
        }
}
