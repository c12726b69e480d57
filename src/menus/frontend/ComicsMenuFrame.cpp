#include "menus/frontend/ComicsMenuFrame.h"

#include "menus/MenuFrameRegistry.h"
#include "platform/Clock.h"
#include "platform/File.h"
#include "platform/Language.h"
#include "platform/Log.h"
#include "platform/ScreenMetrics.h"
#include "platform/StringTable.h"
#include "platform/Text.h"
#include "render/2d/Render2D.h"
#include "render/2d/SpriteSets.h"
#include "screens/PauseScreen.h"
#include "screens/Screens.h"
#include "ui/IMenuShowcase.h"
#include "ui/MenuNavigation.h"
#include "ui/widgets/MenuPanel.h"
#include "ui/widgets/SpriteButton.h"
#include "ui/widgets/SpriteLabel.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cmath>

ComicsMenuFrame* MenuFrameRegistry::comicsMenu()
{
    return slot<ComicsMenuFrame>(Page::Comics);
}

namespace {
constexpr float kEase = 0.95f;
constexpr float kStartSpeed = 1.5f;

int screenW()
{
    return screenMetrics().screenWidth;
}
int screenH()
{
    return screenMetrics().screenHeight;
}

// Sheets may come from the data folder or a pak.
bool opens(const std::string& name)
{
    return openFile(name) != nullptr;
}

// Moves value toward [low, high] by at most step.
float approach(float value, float low, float high, float step)
{
    if (value < low)
        return std::min(value + step, low);
    if (value > high)
        return std::max(value - step, high);
    return value;
}
}  // namespace

// ---- ComicSlideView ----

float ComicSlideView::fitZoom(int screenWidth) const
{
    return width > 0 ? static_cast<float>(screenWidth) / static_cast<float>(width) : 1.0f;
}

void ComicSlideView::fit(int screenWidth, int screenHeight)
{
    zoomed = false;
    zoom = fitZoom(screenWidth);
    x = 0.0f;
    y = (static_cast<float>(screenHeight) - static_cast<float>(height) * zoom) / 2.0f;
}

void ComicSlideView::toggleZoom(float px, float py, int screenWidth, int screenHeight)
{
    if (zoomed) {
        fit(screenWidth, screenHeight);
        return;
    }
    if (zoom <= 0.0f)
        return;
    const float W = static_cast<float>(screenWidth), H = static_cast<float>(screenHeight);
    const float z = 2.0f * zoom;
    // The point under the finger stays under it.
    float nx = px - z * (px - x) / zoom;
    float ny = py - z * (py - y) / zoom;
    const float w = static_cast<float>(width) * z, h = static_cast<float>(height) * z;
    if (nx < 0.0f && px < W / 3.0f)
        nx = 0.0f;
    if (ny < 0.0f && py < H / 3.0f)
        ny = 0.0f;
    if (nx + w > W && px > 2.0f * W / 3.0f)
        nx = W - w;
    if (ny + h > H && py > 2.0f * H / 3.0f)
        ny = H - h;
    x = nx;
    y = ny;
    zoom = z;
    zoomed = true;
}

void ComicSlideView::pan(float dx, float dy, int screenWidth, int screenHeight)
{
    const float W = static_cast<float>(screenWidth), H = static_cast<float>(screenHeight);
    const float w = static_cast<float>(width) * zoom, h = static_cast<float>(height) * zoom;
    if ((firstSlide && dx > 0.0f && x > 0.0f) || (lastSlide && dx < 0.0f && x + w < W))
        dx *= 0.5f;
    x += dx;
    y += dy;
    if (h < H)
        y = (H - h) / 2.0f;
    else
        y = std::clamp(y, H - h, 0.0f);
}

void ComicSlideView::ease(bool easing, float dt, int screenWidth, int screenHeight)
{
    const float W = static_cast<float>(screenWidth), H = static_cast<float>(screenHeight);
    if (neighbour && width > 0) {
        const float fitted = fitZoom(screenWidth);
        if (zoom > fitted)
            zoom = std::max(zoom * kEase, fitted);
        else if (zoom < fitted)
            zoom = std::min(zoom / kEase, fitted);
        if (zoom == fitted)
            zoomed = false;
    }
    if (!easing) {
        v = kStartSpeed;
        return;
    }
    const float step = 10.0f * v * v;
    const float h = static_cast<float>(height) * zoom;
    if (h < H)
        y = approach(y, (H - h) / 2.0f, (H - h) / 2.0f, step);
    else
        y = approach(y, H - h, 0.0f, step);
    if (!neighbour) {
        const float w = static_cast<float>(width) * zoom;
        if (w < W)
            x = approach(x, (W - w) / 2.0f, (W - w) / 2.0f, step);
        else
            x = approach(x, W - w, 0.0f, step);
    }
    v += dt;
}

void ComicSlideView::follow()
{
    if (!neighbour)
        return;
    if (side == 0)
        x = neighbour->x - static_cast<float>(width) * zoom;
    else
        x = neighbour->x + static_cast<float>(neighbour->width) * neighbour->zoom;
}

// ---- ComicsMenuFrame ----

ComicsMenuFrame::ComicsMenuFrame()
{
    const ScreenMetrics& m = screenMetrics();
    const float s = m.uiScale;
    width = m.screenWidth;
    height = m.screenHeight;
    if (ResizableButton* back = backButton()) {
        back->visible = false;
        back->enabled = false;
    }
    CSprite* menus = getSprite(kSpriteSetMenus);
    bar = new MenuPanel(kLayoutRow);
    bar->anchorMode = kAnchorAbsolute;
    bar->backgroundFrame = kBarFrame;
    bar->setBackground(menus, false);
    // The track frame stretched along the whole bar.
    bar->ninePatch = true;
    bar->width = m.screenWidth;
    bar->height = std::max(bar->height, static_cast<int>(64.0f * s));
    bar->fixedSize = true;
    bar->touchMode = kTouchInside;
    bar->spacing = static_cast<int>(40.0f * s);
    // A row places its items from its own position, not from an offset.
    bar->y = m.screenHeight - bar->height;
    addItem(bar);
    auto makeButton = [&](int stringId) {
        auto* button = new SpriteButton(-1, -1, 2, stringId);
        button->focusable = true;
        button->interactive = true;
        return button;
    };
    backInBar = makeButton(kBackString);
    backInBar->visible = false;
    backInBar->enabled = false;
    previousButton = makeButton(kPreviousString);
    previousButton->onClick = [this] { previousPage(); };
    pageLabel = new SpriteLabel(2, std::u16string_view(u"1 / 1"));
    nextButton = makeButton(kNextString);
    nextButton->onClick = [this] { nextPage(); };
    endButton = makeButton(kEndToPlayString);
    endButton->onClick = [this] { onEnd(); };
    for (MenuItem* item : std::initializer_list<MenuItem*>{backInBar, previousButton, pageLabel, nextButton, endButton})
        bar->placeItem(item);
    updateBar();
    focusedItem = endButton;
}

ComicsMenuFrame::~ComicsMenuFrame() = default;

bool ComicsMenuFrame::loadComic(std::string_view name, int endMode)
{
    return m_comic.load(name, endMode);
}

bool ComicsMenuFrame::loadComicPath(std::string_view path, int endMode)
{
    return m_comic.loadPath(path, endMode);
}

bool ComicsMenuFrame::loadComicSheet(CSprite& sprite, const std::string& name)
{
    const std::string base = "data/comics/" + name;
    if (opens(base + "_2x.bspr") && sprite.load(base + "_2x.bspr", 1.0f))
        return true;
    return sprite.load(base + ".bspr", 2.0f);
}

bool ComicsMenuFrame::loadComicFont(CFont& font, const std::string& name)
{
    const std::string base = "data/comics/" + name;
    // Chinese, Japanese and Korean speech needs the language's own sheet.
    const int language = currentLanguage();
    if (language >= 0 && language < kLanguageCount) {
        std::string variant = base + "_";
        for (const char* c = languageTable[language].code; *c; ++c)
            variant += static_cast<char>(std::tolower(static_cast<unsigned char>(*c)));
        variant += ".bspr";
        if (opens(variant) && font.load(variant, 2.0f))
            return true;
    }
    if (opens(base + "_2x.bspr") && font.load(base + "_2x.bspr", 1.0f))
        return true;
    return font.load(base + ".bspr", 2.0f);
}

void ComicsMenuFrame::setupSlide(ComicSlideView& view, int index)
{
    view.sheet.free();
    view.width = view.height = 0;
    view.textStart = -1;
    const ComicSlide* slide = m_comic.slide(index);
    if (slide) {
        if (!loadComicSheet(view.sheet, slide->sprite))
            logWarning("menus", "comic slide \"%s\" did not load", slide->sprite.c_str());
        view.sheet.frameBounds(0, view.width, view.height);
        view.textStart = slide->txtStart.empty() ? -1 : findStringTable().findId(slide->txtStart);
    }
    view.fit(screenW(), screenH());
    view.firstSlide = index == 0;
    view.lastSlide = index == slideCount() - 1;
}

void ComicsMenuFrame::setNeighbours()
{
    m_current->neighbour = nullptr;
    m_prev->neighbour = m_current;
    m_prev->side = 0;
    m_next->neighbour = m_current;
    m_next->side = 1;
    for (ComicSlideView* view : {m_prev, m_current, m_next})
        view->v = kStartSpeed;
}

void ComicsMenuFrame::updateBar()
{
    char16_t text[32];
    wideFormat(text, 32, "%d / %d", m_page + 1, std::max(slideCount(), 1));
    pageLabel->setText(text);
    const bool hasNext = m_page + 1 < slideCount();
    nextButton->visible = hasNext;
    nextButton->enabled = hasNext;
    previousButton->visible = m_page > 0;
    previousButton->enabled = m_page > 0;
    // The bar's content centred.
    int content = 0, shown = 0, tallest = 0;
    for (MenuItem* item : bar->drawList())
        if (item->visible) {
            content += item->width;
            tallest = std::max(tallest, item->height);
            ++shown;
        }
    bar->paddingY = std::max(0, (bar->height - tallest) / 2);
    content += std::max(shown - 1, 0) * bar->spacing;
    bar->paddingX = std::max(0, (bar->width - content) / 2);
    bar->needsRelayout = true;
    bar->layout(0, 0);
    if (focusedItem && !focusedItem->visible)
        focusedItem = hasNext ? static_cast<MenuItem*>(nextButton) : endButton;
}

void ComicsMenuFrame::onShow()
{
    m_shown = true;
    // The slides and their background cover the screen: no 3-D scene behind them.
    if (IMenuShowcase* showcase = menuShowcase())
        showcase->setSceneHidden();
    m_prev = &m_views[0];
    m_current = &m_views[1];
    m_next = &m_views[2];
    for (ComicSlideView& view : m_views) {
        view.sheet.free();
        view.width = view.height = 0;
    }
    m_page = 0;
    endButton->labelStringId = m_comic.endMode == ComicCfg::kEndToResult ? kEndToResultString : kEndToPlayString;
    endButton->updateLabel();
    backInBar->visible = false;
    bar->alpha = 1.0f;
    m_touchDown = false;
    m_timeSinceTap = 1000.0f;
    if (slideCount() == 0) {
        // Nothing to read: straight on to what follows the comic.
        logWarning("menus", "a comic without slides ends at once");
        updateBar();
        onEnd();
        return;
    }
    setupSlide(*m_current, 0);
    if (slideCount() >= 2)
        setupSlide(*m_next, 1);
    setNeighbours();
    if (!loadComicFont(m_font, "comicsFont_normal"))
        logWarning("menus", "the comic font did not load");
    // Speech is inked dark on the white balloons.
    m_font.setColorBytes(24, 24, 28, 255);
    if (!loadComicSheet(m_background, "comics_bg"))
        logWarning("menus", "the comic background did not load");
    updateBar();
    focusedItem = slideCount() > 1 ? static_cast<MenuItem*>(nextButton) : endButton;
    rebuildFocusLinks();
    focusedItem = slideCount() > 1 ? static_cast<MenuItem*>(nextButton) : endButton;
}

void ComicsMenuFrame::onHide()
{
    // The end button hides the page and leaving it hides it again; once is enough.
    if (!m_shown)
        return;
    m_shown = false;
    if (IMenuShowcase* showcase = menuShowcase())
        showcase->setSceneShown();
    for (ComicSlideView& view : m_views) {
        view.sheet.free();
        view.width = view.height = 0;
    }
    m_background.free();
    m_font.free();
}

void ComicsMenuFrame::goPrevious(bool resetX)
{
    if (m_page <= 0)
        return;
    --m_page;
    m_next->sheet.free();
    ComicSlideView* oldNext = m_next;
    m_next = m_current;
    m_current = m_prev;
    m_prev = oldNext;
    if (m_page > 0)
        setupSlide(*m_prev, m_page - 1);
    if (resetX)
        m_current->x = 0.0f;
    setNeighbours();
    updateBar();
    logInfo("menus", "comic page %d of %d", m_page + 1, slideCount());
}

void ComicsMenuFrame::goNext(bool resetX)
{
    if (m_page + 1 >= slideCount())
        return;
    ++m_page;
    m_prev->sheet.free();
    ComicSlideView* oldPrev = m_prev;
    m_prev = m_current;
    m_current = m_next;
    m_next = oldPrev;
    if (m_page + 1 < slideCount())
        setupSlide(*m_next, m_page + 1);
    if (resetX)
        m_current->x = 0.0f;
    setNeighbours();
    updateBar();
    logInfo("menus", "comic page %d of %d", m_page + 1, slideCount());
}

void ComicsMenuFrame::previousPage()
{
    goPrevious(true);
}

void ComicsMenuFrame::nextPage()
{
    goNext(true);
}

void ComicsMenuFrame::leave()
{
    // Back to the game under the pause screen, or to the page before in the menus.
    if (overlayScreen())
        closeOverlayScreen();
    else if (currentFrame() == this)
        goBack();
}

void ComicsMenuFrame::onEnd()
{
    onHide();
    if (m_comic.endMode == ComicCfg::kEndToResult) {
        MenuFrame* result = resultPage ? resultPage() : nullptr;
        if (result) {
            pauseScreen().frame = result;
            dropOverlayScreens();
            openPauseScreen();
            return;
        }
        logWarning("menus", "no result page after the comic; play goes on");
    }
    leave();
}

bool ComicsMenuFrame::onEscape()
{
    onEnd();
    return true;
}

void ComicsMenuFrame::moveFocus(int direction)
{
    if (direction == kLeft)
        previousPage();
    else if (direction == kRight)
        nextPage();
    else
        MenuFrame::moveFocus(direction);
}

float ComicsMenuFrame::barAlpha() const
{
    return bar->alpha;
}

bool ComicsMenuFrame::onTouchDown(int px, int py)
{
    m_touchDown = true;
    const float x = static_cast<float>(px), y = static_cast<float>(py);
    if (py < screenH() - bar->height && m_shown && slideCount() > 0) {
        m_lastX = x;
        m_lastY = y;
        const float dx = x - m_tapX, dy = y - m_tapY;
        if (m_timeSinceTap >= kDoubleTapSeconds || dx * dx + dy * dy >= kDoubleTapDistanceSq) {
            m_tapX = x;
            m_tapY = y;
            m_timeSinceTap = 0.0f;
        } else {
            m_current->toggleZoom(x, y, screenW(), screenH());
            m_timeSinceTap = 1000.0f;
        }
    }
    MenuContainer::onTouchDown(px, py);
    return true;
}

bool ComicsMenuFrame::onTouchMove(int px, int py)
{
    const float x = static_cast<float>(px), y = static_cast<float>(py);
    if (py < screenH() - bar->height && m_shown && slideCount() > 0) {
        m_current->pan(x - m_lastX, y - m_lastY, screenW(), screenH());
        m_lastX = x;
        m_lastY = y;
        const float dx = x - m_tapX, dy = y - m_tapY;
        if (dx * dx + dy * dy > kDoubleTapDistanceSq)
            m_timeSinceTap = 1000.0f;
    }
    MenuContainer::onTouchMove(px, py);
    return true;
}

bool ComicsMenuFrame::onTouchUp(int px, int py)
{
    m_touchDown = false;
    MenuContainer::onTouchUp(px, py);
    return true;
}

void ComicsMenuFrame::update()
{
    const float dt = frameDelta();
    if (m_shown && slideCount() > 0) {
        m_prev->ease(true, dt, screenW(), screenH());
        m_next->ease(true, dt, screenW(), screenH());
        m_current->ease(!m_touchDown, dt, screenW(), screenH());
        if (!m_touchDown) {
            const float W = static_cast<float>(screenW());
            const float right = m_current->x + static_cast<float>(m_current->width) * m_current->zoom;
            if (m_current->x > W / 2.0f && m_page > 0)
                goPrevious(false);
            else if (right < W / 2.0f && m_page + 1 < slideCount())
                goNext(false);
        }
    }
    m_timeSinceTap += dt;
    if (m_touchDown)
        bar->alpha = std::min(bar->alpha + 20.0f * dt, 1.0f);
    else
        bar->alpha = std::max(bar->alpha - 0.25f * dt, 0.0f);
    MenuContainer::update();
}

void ComicsMenuFrame::drawSlide(ComicSlideView& view)
{
    const float W = static_cast<float>(screenW()), H = static_cast<float>(screenH());
    const float w = static_cast<float>(view.width) * view.zoom, h = static_cast<float>(view.height) * view.zoom;
    if (view.width <= 0 || view.x >= W || view.x + w <= 0.0f || view.y >= H || view.y + h <= 0.0f)
        return;
    const Transform2D place = Transform2D::translation(view.x, view.y) * Transform2D::scaling(view.zoom, view.zoom);
    view.sheet.transform() = place;
    const CSprite::Rect picture = view.sheet.frameRect(0);
    view.sheet.drawFrame(0, -picture.x, -picture.y);
    if (view.textStart >= 0 && m_font.isLoaded()) {
        m_font.glyphSprite().transform() = place;
        std::array<char16_t, 1024> wrapped{};
        for (int k = 1; k < view.sheet.frameCount(); ++k) {
            const CSprite::Rect box = view.sheet.frameRect(k);
            if (box.w <= 0.0f)
                continue;
            m_font.wrap(getStringByIndex(view.textStart + k - 1), box.w, wrapped);
            m_font.draw(wrapped.data(), box.x - picture.x + box.w / 2.0f, box.y - picture.y + box.h / 2.0f,
                        CFont::kCentreX | CFont::kCentreY);
        }
        m_font.glyphSprite().transform() = Transform2D{};
    }
    view.sheet.transform() = Transform2D{};
}

void ComicsMenuFrame::draw()
{
    if (!m_shown)
        return;
    const float W = static_cast<float>(screenW()), H = static_cast<float>(screenH());
    if (m_background.isLoaded()) {
        const float tw = m_background.moduleWidth(0), th = m_background.moduleHeight(0);
        if (tw >= 1.0f && th >= 1.0f)
            for (float ty = 0.0f; ty < H; ty += th)
                for (float tx = 0.0f; tx < W; tx += tw)
                    m_background.drawModule(0, tx, ty);
    } else {
        drawFilledRect(0.0f, 0.0f, W, H, 20, 20, 24, 255);
    }
    if (slideCount() > 0) {
        if (m_page > 0) {
            m_prev->follow();
            drawSlide(*m_prev);
        }
        drawSlide(*m_current);
        if (m_page + 1 < slideCount()) {
            m_next->follow();
            drawSlide(*m_next);
        }
    }
    MenuFrame::draw();
}
