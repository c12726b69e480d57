#pragma once
#include "ui/MenuFrame.h"
#include "ui/MenuHooks.h"

#include <memory>
#include <string>
#include <vector>

class CSprite;
class MenuPanel;
class ResizableLabel;
class SpriteButton;
class SpriteButton2;
class SpriteLabel;
class SpritePageIndicator;
class StateIcon;
class StateItem;
class StatePanel;

// The page drawn over the 3-D menu scene, the base of every front-end page:
// decorations and a title, the plane showcase with its indicators, touch
// zones, tier title and statistics, an info balloon, a side row, an optional
// bottom panel and connector lines between items.
class SceneMenuFrame : public MenuFrame {
public:
    // Which plane list the showcase browses, which tier, which plane.
    struct Showcase {
        int selector = 1;
        int planeId = 0;
        int tier = -1;
    };
    struct ConnectorLine {
        int x0 = 0, y0 = 0, x1 = 0, y1 = 0;
        bool visible = true;
        int style = 0;
    };

    // Flags A and D change nothing here; the main menu passes all clear.
    SceneMenuFrame(bool flagA, bool noShowcase, bool noBottomPanel, bool flagD);
    ~SceneMenuFrame() override;

    // MenuItem / MenuContainer / MenuFrame
    void draw() override;
    void update() override;
    bool onTouchDown(int x, int y) override;
    bool onTouchMove(int x, int y) override;
    bool onTouchUp(int x, int y) override;
    bool onTouchCancel() override;
    bool onScroll(float dx, float dy) override;
    bool onSwipe(float vx, float vy) override;
    void onShow() override;
    void onHide() override;

    // The four page slots of the controller and the page keys.
    virtual void scrollRight() { startCameraMove1(); }
    virtual void scrollLeft() { startCameraMove2(); }
    virtual void scrollUp() { startCameraMove3(); }
    virtual void scrollDown() { startCameraMove4(); }

    virtual void rebuildConnectorLines();
    // Showcase (PlaneShowcase.cpp).
    virtual void selectPlane(int planeId);
    virtual void selectPreviousPlaneInTier();
    virtual void selectNextPlaneInTier();
    virtual void showPreviousVariant();
    virtual void showNextVariant();
    virtual void startCameraMove2();
    virtual void startCameraMove1();
    virtual void startCameraMove3();
    virtual void startCameraMove4();
    virtual void showPlaneDescription();

    // Opens the info balloon with the text; null (or a second call while it
    // is shown) closes it.
    void showInfo(const char16_t* text);
    bool infoShown() const;
    // Shows the plane as the main menu asks (and saves the settings).
    void refreshShowcase(int planeId);
    // The statistics bars and weapon icons of the shown plane.
    void refreshStats(bool snap);
    void nextPlaneGroup();
    void previousPlaneGroup();
    void setupShowcase(bool fromEnd);
    void fitTierTitle();

    bool hasShowcase() const { return !showcaseHidden; }
    const Showcase& showcase() const { return m_showcase; }
    std::vector<int> tierPlanes() const;
    int tierIndexOfShown() const;
    std::vector<int> variantList() const;

    SpritePageIndicator* planeIndicator = nullptr;
    SpritePageIndicator* variantIndicator = nullptr;
    SpriteButton* zoneLeft = nullptr;
    SpriteButton* zoneRight = nullptr;
    SpriteButton* zoneUp = nullptr;
    SpriteButton* zoneDown = nullptr;
    SpriteButton* infoButton = nullptr;
    std::unique_ptr<SpriteButton> topButton;
    ResizableLabel* titleLabel = nullptr;
    std::vector<MenuItem*> decorations;
    std::vector<ConnectorLine> connectorLines;
    bool showcaseHidden = false;
    SpriteButton* tierButton = nullptr;
    SpriteButton2* tierNextButton = nullptr;
    SpriteButton2* tierPreviousButton = nullptr;
    MenuPanel* arrowPanel = nullptr;
    // 1 on the first showcase page after start, fading to 0; drawn as arrows
    // over the touch zones.
    float arrowHighlight = 0.0f;
    StatePanel* statePanel = nullptr;
    StateItem* bars[4] = {nullptr, nullptr, nullptr, nullptr};
    SpriteButton* weaponsButton = nullptr;
    StateIcon* weaponIcon1 = nullptr;
    StateIcon* weaponIcon2 = nullptr;
    MenuPanel* infoBalloon = nullptr;
    SpriteLabel* infoLabel = nullptr;
    float balloonAlpha = 0.0f, textAlpha = 0.0f;
    MenuPanel* sideRow = nullptr;
    MenuPanel* bottomPanel = nullptr;
    int cameraMove = 0;
    float touchStartTime = 0.0f;
    float lastTouchX = 0.0f, lastTouchY = 0.0f;
    float dragX = 0.0f, dragY = 0.0f;
    bool touchOnShowcase = false, gestureConsumed = false, balloonTouched = false;
    bool showAllPlanes = false;
    // A drag, flick or swipe over the showcase moves the camera to the next
    // plane or view, unless a page that shows one plane turns it off.
    bool swipeMovesCamera = true;
    // The showcase shows the player's selected plane alone: no camera move
    // starts (page dots, touch zones, tier arrows, page keys or gestures),
    // so the page never changes the player's plane. Set by showSinglePlane.
    bool singlePlane = false;
    // Marks the showcase as showing the single selected plane and hides
    // every browsing item: arrow panel, dots, tier title and tier arrows.
    void showSinglePlane();
    int currentTier = 0;
    bool fullDraw = true;
    bool backdrop = true;
    // The camera's slide offsets this page drives.
    float slideX = 0.0f, slideY = 0.0f;
    // The weapons button and a tap on the statistics open the weapon choice
    // once that page exists; until then nothing is set and the button is off.
    MenuAction openWeaponChoice;
    // The page's own action, else the weapon choice hook with the shown plane.
    void openWeapons();
    bool canOpenWeapons() const { return openWeaponChoice || weaponChoiceHook(); }

protected:
    // Puts the touch zones on `arrowPanel` as it stands: a page that resizes
    // the panel calls it again.
    void placeTouchZones();
    void drawDecorations();
    void drawArrowHighlight(CSprite& menus) const;
    // The camera-move machine and the glide of the slide offsets.
    void advanceCameraMove(float dt);
    void startMoveFromSlide(bool horizontal);
    void setVariantIndicator();
    void setPlaneIndicator();
    void showVariant(int planeId);
    void planeShown(int planeId);

    Showcase m_showcase;

private:
    void buildDecorations();
    void buildShowcase(int bottomHeight);
    void buildStatePanel(int panelMiddle);
    void layoutShowcaseItems();
    void buildBalloon();
};

// A scene page without showcase whose content fills a large scrolling panel
// (bottomPanel): most option, list and result pages.
class FilledMenuFrame : public SceneMenuFrame {
public:
    FilledMenuFrame();
    void onShow() override;
    bool onTouchDown(int x, int y) override { return MenuContainer::onTouchDown(x, y); }
    bool onTouchMove(int x, int y) override { return MenuContainer::onTouchMove(x, y); }
    bool onTouchUp(int x, int y) override { return MenuContainer::onTouchUp(x, y); }

    // Pages add their items here. The page's `backdrop` flag is its dim
    // flag: set, the backdrop box darkens the scene behind it.
    MenuPanel* content() const { return bottomPanel; }
};

// The player's plane when the page is shown: the saved one, else the first
// unlocked (saved at once).
void restorePlayerPlane();
