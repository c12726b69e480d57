#pragma once
#include "menus/frontend/ComicCfg.h"
#include "render/2d/CFont.h"
#include "render/2d/CSprite.h"
#include "ui/MenuFrame.h"

#include <functional>
#include <string>

class MenuPanel;
class SpriteButton;
class SpriteLabel;

// One slide as it lies on the screen: its sheet, size, zoom and place, and
// the view it follows while it is not the current one.
struct ComicSlideView {
    CSprite sheet;
    ComicSlideView* neighbour = nullptr;
    int side = 0;                 // 0 left of the neighbour, 1 right of it
    int width = 0, height = 0;    // frame 0's bounds
    float v = 1.5f;               // easing speed
    bool zoomed = false, firstSlide = false, lastSlide = false;
    float zoom = 1.0f;
    float x = 0.0f, y = 0.0f;     // the picture's top-left on the screen
    int textStart = -1;           // text id of the slide's first box

    // The zoom at which the picture fills the screen's width; 1 for a picture without size.
    float fitZoom(int screenWidth) const;
    // Back to the whole picture across the screen, centred vertically.
    void fit(int screenWidth, int screenHeight);
    // Doubles the zoom about the point, or fits again when zoomed.
    void toggleZoom(float px, float py, int screenWidth, int screenHeight);
    // Moves the picture with the finger; half as far past the first or last slide's edge.
    void pan(float dx, float dy, int screenWidth, int screenHeight);
    // One frame of easing toward the fit zoom and the allowed place.
    void ease(bool easing, float dt, int screenWidth, int screenHeight);
    // Takes x from the neighbour it follows.
    void follow();
};

// A comic: full-screen slides with their speech texts, turned by swiping or
// by the bar's buttons and zoomed by a double tap. A game mode loads a comic
// into it and shows it on the pause screen; its end button leads back to play
// or on to the result of the won mission.
class ComicsMenuFrame : public MenuFrame {
public:
    static constexpr int kBarFrame = 99;
    static constexpr int kBackString = 9, kPreviousString = 1195, kNextString = 1196;
    static constexpr int kEndToPlayString = 18, kEndToResultString = 1198;
    static constexpr float kDoubleTapSeconds = 1.0f, kDoubleTapDistanceSq = 1600.0f;

    ComicsMenuFrame();
    ~ComicsMenuFrame() override;

    // Reads the comic (ComicCfg::load) with its end mode.
    bool loadComic(std::string_view name, int endMode);
    bool loadComicPath(std::string_view path, int endMode);
    ComicCfg& comic() { return m_comic; }

    void onShow() override;
    void onHide() override;
    void update() override;
    void draw() override;
    bool onTouchDown(int x, int y) override;
    bool onTouchMove(int x, int y) override;
    bool onTouchUp(int x, int y) override;
    bool onEscape() override;
    // Left and right turn the pages; up and down move along the bar.
    void moveFocus(int direction) override;

    void previousPage();
    void nextPage();
    void onEnd();

    // Loads a slide's sheet: "data/comics/<name>_2x.bspr" at scale 1, else
    // "data/comics/<name>.bspr" at scale 2. False when neither loads.
    static bool loadComicSheet(CSprite& sprite, const std::string& name);
    // The font "data/comics/<name>_<language code>.bspr" of the current
    // language when it has one, else as a sheet above.
    static bool loadComicFont(CFont& font, const std::string& name);

    int page() const { return m_page; }
    int slideCount() const { return m_comic.slideCount(); }
    ComicSlideView& previousView() { return *m_prev; }
    ComicSlideView& currentView() { return *m_current; }
    ComicSlideView& nextView() { return *m_next; }
    float barAlpha() const;
    bool touchDown() const { return m_touchDown; }
    float timeSinceTap() const { return m_timeSinceTap; }
    bool shown() const { return m_shown; }

    // The result page of the won mission (end mode 3); without one the
    // comic's end lets play go on.
    std::function<MenuFrame*()> resultPage;

    MenuPanel* bar = nullptr;
    SpriteButton* backInBar = nullptr;
    SpriteButton* previousButton = nullptr;
    SpriteLabel* pageLabel = nullptr;
    SpriteButton* nextButton = nullptr;
    SpriteButton* endButton = nullptr;

private:
    void setupSlide(ComicSlideView& view, int index);
    void setNeighbours();
    void updateBar();
    void goPrevious(bool resetX);
    void goNext(bool resetX);
    void drawSlide(ComicSlideView& view);
    void leave();

    ComicCfg m_comic;
    ComicSlideView m_views[3];
    ComicSlideView* m_prev = &m_views[0];
    ComicSlideView* m_current = &m_views[1];
    ComicSlideView* m_next = &m_views[2];
    int m_page = 0;
    CFont m_font;
    CSprite m_background;
    bool m_touchDown = false;
    float m_lastX = 0.0f, m_lastY = 0.0f;
    float m_tapX = 0.0f, m_tapY = 0.0f;
    float m_timeSinceTap = 1000.0f;
    bool m_shown = false;
};
