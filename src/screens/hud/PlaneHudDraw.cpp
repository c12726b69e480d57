// What the HUD draws each frame, in its fixed order.
#include "screens/hud/PlaneHud.h"

#include "modes/progress/AchievementPopup.h"
#include "screens/GameControls.h"
#include "ui/MenuFrame.h"
#include "ui/TextFitLog.h"

#include "platform/Clock.h"
#include "platform/Language.h"
#include "platform/Random.h"
#include "platform/ScreenMetrics.h"
#include "platform/Settings.h"
#include "platform/Text.h"
#include "render/2d/CFont.h"
#include "render/Graphics.h"
#include "render/2d/Render2D.h"
#include "render/2d/SpriteSets.h"
#include "screens/hud/HudMessageQueue.h"

#include <algorithm>
#include <cmath>
#include <string>

namespace {

// Scaled units between the bottom edge and the line of the respawn countdown.
constexpr float kBottomLineRise = 60.0f;

struct DialScale {
    float speedFull, speedLimit, altitudeFull, altitudeLimit;
};
DialScale dialScale()
{
    if (settings().metricUnits != 0)
        return {1200.0f, 1100.0f, 12000.0f, 11000.0f};
    return {800.0f, 700.0f, 36000.0f, 33000.0f};
}

// The dials' words and scale, from the HUD's string table.
constexpr int kMphText = 4860, kKmhText = 4861, kFeetText = 4862, kMetresText = 4863, kScaleText = 4864;
constexpr Color4 kDialInk{177, 245, 181, 255}, kDialWordInk{177, 245, 181, 160};

// A text centred on a point of a dial face 120 art pixels wide, `size` art
// pixels high.
void dialText(std::u16string_view text, float x, float y, float face, float ax, float ay, float size, Color4 ink,
              float room = 64.0f)
{
    CFont* font = getFont(0);
    if (!font || text.empty())
        return;
    const float k = face / 120.0f;
    font->setScale(1.0f, 1.0f);
    // Wide words shrink to the face's inner width.
    const float scale = HudButton::fitScale(font->lineHeight(), font->measure(text).width, size * k, room * k);
    font->setScale(scale, scale);
    font->setColor(ink);
    drawText(font, text, x + ax * k, y + ay * k, CFont::kCentreX | CFont::kCentreY);
    font->setScale(1.0f, 1.0f);
    font->setColor(Color4{});
}

std::u16string scaleWord(int factor)
{
    char16_t out[32];
    wideFormatW(out, 32, getStringByIndex(kScaleText).c_str(), factor);
    return out;
}

// The unit words of both dials and the altimeter's thousands, in the
// player's language and units; the speed dial's numbers are in its art.
void drawDialTexts(bool altimeter, float x, float y, float face)
{
    const bool metric = settings().metricUnits != 0;
    if (!altimeter) {
        dialText(getStringByIndex(metric ? kKmhText : kMphText), x, y, face, 60.0f, 46.0f, 11.0f, kDialWordInk, 52.0f);
        // Eight steps to the full scale: 100 mph or 150 km/h each.
        dialText(scaleWord(metric ? 150 : 100), x, y, face, 60.0f, 76.0f, 10.0f, kDialWordInk, 40.0f);
        return;
    }
    const std::u16string line = getStringByIndex(metric ? kMetresText : kFeetText) + u" " + scaleWord(1000);
    dialText(line, x, y, face, 60.0f, 43.0f, 11.0f, kDialWordInk, 76.0f);
    // A quarter turn is 9000 ft or 3000 m.
    const int step = metric ? 3 : 9;
    const float places[4][3] = {
        {60.0f, 27.0f, 12.0f}, {92.0f, 60.0f, 12.0f}, {60.0f, 100.0f, 10.0f}, {28.0f, 60.0f, 12.0f}};
    for (int i = 0; i < 4; ++i) {
        const std::string digits = std::to_string(i * step);
        dialText(std::u16string(digits.begin(), digits.end()), x, y, face, places[i][0], places[i][1], places[i][2],
                 kDialInk);
    }
}

Color4 grey(int level, std::uint8_t alpha = 255)
{
    const auto v = static_cast<std::uint8_t>(std::clamp(level, 0, 255));
    return Color4{v, v, v, alpha};
}

void drawQueue(bool paused)
{
    if (paused)
        return;
    HudMessageQueue& queue = HudMessageQueue::instance();
    queue.drawNotices();
    queue.drawCentre();
    queue.drawLong();
    queue.drawScoreLine();
}

}  // namespace

void PlaneHud::drawHealth()
{
    CSprite& s = *m_sheet;
    const int p = static_cast<int>(std::lround(healthPercent * 255.0f / 100.0f));
    for (const HealthIndicator& h : health) {
        if (!h.visible)
            continue;
        // The damaged segment brightens as the sound one over it darkens.
        const CSprite::Rect r = elementRect(&s, h.module);
        s.setColor(grey(255 - p));
        s.drawModule(h.module, r.x + shakeOffset.x, r.y + shakeOffset.y);
        s.setColor(grey(p));
        s.drawModule(h.second, r.x + shakeOffset.x, r.y + shakeOffset.y);
    }
    s.setColor(Color4{});
    const int value = static_cast<int>(healthPercent);
    const int digits[3] = {value / 100, value / 10 % 10, value % 10};
    const CSprite::Rect first = elementRect(&s, kHealthHundreds);
    const CSprite::Rect second = elementRect(&s, kHealthTens);
    const float step = second.x - first.x;
    float x = first.x + shakeOffset.x;
    const float y = first.y + shakeOffset.y;
    // Three digits always, as on a counter drum: 75 reads "075".
    for (int i = 0; i < 3; ++i) {
        s.drawModule(HudButton::kFirstDigitModule + digits[i], x, y);
        x += step;
    }
    s.drawModule(kPercent, x, y);
}

void PlaneHud::drawBoostGauge()
{
    CSprite& s = *m_sheet;
    const CSprite::Rect dial = elementRect(&s, kAltimeter);
    const CSprite::Rect empty = s.frameRect(kGaugeEmptyFrame);
    const float x = dial.x + dial.w + 6.0f * screenMetrics().screenScaleX + shakeOffset.x;
    const float y = dial.y + (dial.h - empty.h) / 2.0f + shakeOffset.y;
    s.drawFrame(kGaugeEmptyFrame, x, y);
    // The full gauge is cut to the reserve from the top.
    const Color4 c = Color4::lerp(Color4{255, 0, 0, 255}, Color4{}, boostFraction);
    s.setColor(c);
    pushClipRect();
    setClipRect(x, y + empty.h * (1.0f - boostFraction), empty.w, empty.h * boostFraction);
    s.drawFrame(kGaugeFullFrame, x, y);
    popClipRect();
    s.setColor(Color4{});
}

void PlaneHud::drawEjectWarning()
{
    if (!m_ejectButton || !m_ejectButton->visible)
        return;
    CSprite& s = *m_sheet;
    ejectBlinkValue += 0.05f;
    if (ejectBlinkValue > 2.0f)
        ejectBlinkValue -= 2.0f;
    const float ramp = ejectBlinkValue <= 1.0f ? ejectBlinkValue : 2.0f - ejectBlinkValue;
    s.setColor(grey(static_cast<int>(127.0f + 128.0f * ramp)));
    const Vec2 p = m_ejectButton->screenPos();
    const float off = 8.0f * ramp * screenMetrics().screenScaleX;
    const float aw = s.moduleWidth(kEjectArrowLeft);
    const float ay = p.y - s.moduleHeight(kEjectArrowLeft) - 4.0f;
    s.drawModule(kEjectArrowLeft, p.x + m_ejectButton->size.x / 2.0f - aw - off, ay);
    s.drawModule(kEjectArrowRight, p.x + m_ejectButton->size.x / 2.0f + off, ay);
    s.setColor(Color4{});
}

void PlaneHud::drawCounter()
{
    for (HudButton* link : m_linkButtons)
        if (link && link->visible) {
            link->draw();
            break;
        }
    if (!m_counterButton)
        return;
    const HudPlaneState& plane = m_state.player;
    if (m_counterButton->visible && plane.counter > 0) {
        if (CFont* font = getFont(2)) {
            const Vec2 p = m_counterButton->screenPos();
            std::u16string text;
            for (char c : std::to_string(plane.counter))
                text.push_back(static_cast<char16_t>(c));
            font->draw(text, m_counterButton->shownX() + m_counterButton->size.x / 2.0f,
                       p.y + m_counterButton->size.y / 2.0f, CFont::kCentreX | CFont::kCentreY);
        }
    }
    if (plane.counter > 0) {
        m_counterButton->opacity = 1.0f;
        m_counterButton->enabled = true;
    } else if (!plane.hasTarget && !counterForced) {
        m_counterButton->opacity = 0.6f;
        m_counterButton->enabled = false;
    }
}

CSprite::Rect PlaneHud::keyTagRect(const HudButton& b, float w, float h)
{
    const ScreenMetrics& m = screenMetrics();
    const float gap = 2.0f * m.uiScale, edge = 4.0f * m.uiScale;
    const Vec2 p = b.screenPos();
    const float x = std::clamp(b.shownX() + (b.size.x - w) / 2.0f, edge, static_cast<float>(m.screenWidth) - edge - w);
    // Under the button, clear of its icon and count; over it where the
    // screen's bottom edge leaves no room.
    float y = p.y + b.size.y + gap;
    if (y + h > static_cast<float>(m.screenHeight) - edge)
        y = p.y - gap - h;
    return {x, y, w, h};
}

void PlaneHud::drawKeyHints()
{
    CFont* font = getFont(0);
    if (!font)
        return;
    const float scale = 0.8f * screenMetrics().uiScale;
    for (HudPanel& panel : m_panels) {
        if (!panel.visible)
            continue;
        for (const std::unique_ptr<HudButton>& b : panel.buttons) {
            if (!b->visible || b->notDrawn || b->module < 0)
                continue;
            const std::u16string key = keyHint(b->id);
            if (key.empty())
                continue;
            // A dark tag beside the button, the key's name in it.
            font->setScale(scale, scale);
            const CSprite::Rect r = keyTagRect(*b, font->measure(key).width + 8.0f * scale, font->lineHeight() * scale);
            drawFilledRect(r.x, r.y, r.w, r.h, 11, 22, 32, 200);
            TextFrameScope frame(r.x, r.y, r.w, r.h, "HudKeyTag");
            font->setColor(Color4{177, 245, 181, 255});
            drawText(font, key, r.x + r.w / 2.0f, r.y + r.h / 2.0f, CFont::kCentreX | CFont::kCentreY);
        }
    }
    font->setScale(1.0f, 1.0f);
    font->setColor(Color4{});
}

void PlaneHud::drawPlay()
{
    CSprite& s = *m_sheet;
    const HudPlaneState& plane = m_state.player;
    // The health and the gauge lie under the panels: the plates leave them
    // a clear window.
    if (plane.exists && plane.inPlay && plane.health > 0.0f) {
        drawHealth();
        drawBoostGauge();
    }
    s.setColor(tint);
    drawPanels();
    m_dpad.draw();
    for (HudControl* c : m_controlList)
        c->draw();
    drawEjectWarning();
    drawCounter();
    if (m_state.relativeMouse)
        drawKeyHints();
    // A blackout takes the radar and the pop-ups with it. Under a held
    // score page the pop-ups wait for the page (draw()).
    popupsTaken = true;
    if (!m_state.blackingOut) {
        drawRadarPass();
        if (!achievementPopup().entries().empty() && !GameControls::peekedScores())
            achievementPopup().draw();
    }
    // The marks that follow the world lie over the plates and buttons.
    if (plane.exists && plane.inPlay)
        drawMarkerPass();
    if (markerSet && markerShown)
        s.drawFrame(kMarkerFrame, markerPoint.x, markerPoint.y);
    drawMessages(m_state.paused);
    if (hitFlashTimer > 0.0f) {
        hitFlashTimer -= frameDelta();
        const CSprite::Rect r = elementRect(&s, kHitFlash);
        s.drawModule(kHitFlash, r.x, r.y);
    }
    drawReticle();
    s.setColor(Color4{});
}

void PlaneHud::drawMessages(bool paused)
{
    if (paused)
        return;
    drawQueue(false);
    drawPlayerList(m_state.playerTeam, m_state.gameType);
}

bool PlaneHud::updatesMessages() const { return active && m_built; }

void PlaneHud::drawRoundOver()
{
    drawQueue(m_state.paused);
    if (m_pauseButton)
        m_pauseButton->draw();
    if (m_state.spectating)
        drawMarkerPass();
}

void PlaneHud::drawFade()
{
    if (fade.direction == 0 || fade.duration <= 0.0f)
        return;
    const float k = std::clamp(fade.remaining / fade.duration, 0.0f, 1.0f);
    const float alpha = fade.direction > 0 ? k * 255.0f : (1.0f - k) * 255.0f;
    const ScreenMetrics& m = screenMetrics();
    drawFilledRect(0.0f, 0.0f, static_cast<float>(m.screenWidth), static_cast<float>(m.screenHeight), 0, 0, 0,
                   static_cast<std::uint8_t>(alpha));
}

float PlaneHud::blackoutStrength(float past, float range, float phase)
{
    if (!(past > 0.0f))
        return 0.0f;
    // A range of zero or less blacks out at once past the start.
    const float over = range > 0.0f ? past / range : 1.0f;
    return std::clamp(over - 0.25f * std::fabs(std::sin(2.0943952f * phase)), 0.0f, 1.0f);
}

void PlaneHud::drawBlackout()
{
    const float k = blackoutStrength(m_state.faintPast, m_state.faintRange, m_state.scenePhase);
    if (k <= 0.0f)
        return;
    Graphics* g = graphics();
    if (!g)
        return;
    flushSpriteBatch();
    RenderState& state = g->state();
    const bool was = state.alternativeBlend;
    state.alternativeBlend = true;
    const ScreenMetrics& m = screenMetrics();
    drawFilledRect(0.0f, 0.0f, static_cast<float>(m.screenWidth), static_cast<float>(m.screenHeight), 0, 0, 0,
                   static_cast<std::uint8_t>(std::lround(k * 255.0f)));
    flushSpriteBatch();
    state.alternativeBlend = was;
}

void PlaneHud::drawDial(int module, float value, float limit, float fullScale, int jitter, int highlight)
{
    CSprite& s = *m_sheet;
    const CSprite::Rect r = elementRect(&s, module);
    const float x = r.x + shakeOffset.x, y = r.y + shakeOffset.y;
    const bool highlighted = dialHighlight[static_cast<std::size_t>(highlight)];
    if (highlighted)
        s.setColor(Color4::lerp(Color4{}, HudPanel::kHighlightColor, std::fabs(std::sin(dialPulse))));
    if (textFitLog().enabled()) {
        textFitLog().pushFrame({x, y, r.w, r.h}, highlighted ? "HudDial highlighted" : "HudDial", false);
        textFitLog().popFrame();
    }
    s.drawModule(module, x, y);
    s.setColor(Color4{});
    drawDialTexts(module == kAltimeter, x, y, r.w);
    if (module == kAltimeter)
        drawDrums();
    const float j = static_cast<float>(jitter);
    const float needle = std::clamp(value + j, 0.001f, limit + j);
    s.drawFrame(kNeedleFrame, x + r.w / 2.0f, y + r.h / 2.0f, needleAngle(needle, fullScale));
    s.drawFrame(kHubFrame, x + r.w / 2.0f, y + r.h / 2.0f);
}

void PlaneHud::drawDrums()
{
    CSprite& s = *m_sheet;
    const CSprite::Rect w = elementRect(&s, kDrumWindow);
    const float x0 = w.x + shakeOffset.x, y0 = w.y + shakeOffset.y;
    flushSpriteBatch();
    pushClipRect();
    setClipRect(x0, y0, w.w, w.h);
    const std::array<Drum, 3> drums = altimeterDrums(altitudeValue);
    const float digitW = s.moduleWidth(HudButton::kFirstDigitModule);
    const float digitH = s.moduleHeight(HudButton::kFirstDigitModule);
    const float pitch = std::max(w.h, digitH + 2.0f);
    // Ones at 5/6 of the window, tens 2/6 further left, hundreds 4/6.
    const float centres[3] = {x0 + w.w * 5.0f / 6.0f, x0 + w.w * 3.0f / 6.0f, x0 + w.w * 1.0f / 6.0f};
    for (std::size_t i = 0; i < 3; ++i) {
        const float cy = y0 + w.h / 2.0f - drums[i].roll * pitch;
        for (int k = -1; k <= 1; ++k) {
            const int digit = (drums[i].digit + k + 10) % 10;
            s.drawModule(HudButton::kFirstDigitModule + digit, centres[i] - digitW / 2.0f,
                         cy + static_cast<float>(k) * pitch - digitH / 2.0f);
        }
    }
    flushSpriteBatch();
    popClipRect();
}

void PlaneHud::drawDials()
{
    const DialScale d = dialScale();
    dialPulse += 5.0f * frameDelta();
    if (speedDialShown)
        drawDial(kSpeedDial, m_speedText.value, d.speedLimit, d.speedFull, static_cast<int>(randU32() & 3u) - 2, 0);
    if (altimeterShown)
        drawDial(kAltimeter, m_altitudeText.value, d.altitudeLimit, d.altitudeFull, randModulo(100) - 50, 1);
}

void PlaneHud::drawReticle()
{
    if (!reticle.onScreen)
        return;
    m_sheet->drawFrame(kReticleFrame, reticle.shown.x, reticle.shown.y);
}

void PlaneHud::draw()
{
    if (!m_built || !m_sheet || sheetGone() || (!active && !roundOver))
        return;
    begin2D();
    drawContents();
    end2D();
    // The held score table has a 2-D pass of its own over the HUD; the view
    // stays as bright as in play.
    if (MenuFrame* page = GameControls::peekedScores()) {
        begin2D();
        page->draw();
        // The pop-ups lie over the page, as over the pause page.
        if (popupsTaken && !m_state.blackingOut && !achievementPopup().entries().empty())
            achievementPopup().draw();
        end2D();
    }
}

void PlaneHud::drawContents()
{
    if (!m_built || !m_sheet || sheetGone())
        return;
    if (roundOver) {
        const ScreenMetrics& m = screenMetrics();
        m_sheet->drawFrame(kFastForwardFrame, static_cast<float>(m.screenWidth) - 80.0f * m.screenScaleX,
                           static_cast<float>(m.screenHeight) - 80.0f * m.screenScaleY);
    }
    if (!active)
        return;
    if (!roundOver && controlsActive)
        drawPlay();
    else
        drawRoundOver();
    // The dead player's countdown, or the flag carrier's warning, standing on
    // a line just above the bottom edge.
    if (!m_state.respawnText.empty() && !m_state.paused) {
        if (CFont* font = getFont(2)) {
            const ScreenMetrics& m = screenMetrics();
            // A warning (the carrier's missile alarm) keeps its place; the line
            // stands on top of its box instead of across it.
            float y = static_cast<float>(m.screenHeight) - kBottomLineRise * m.screenScaleY;
            const CSprite::Rect box = HudMessageQueue::instance().warningBox();
            if (box.h > 0.0f)
                y = std::min(y, box.y);
            drawText(font, m_state.respawnText, m.screenWidth / 2.0f, y, CFont::kCentreX | CFont::kBottom);
        }
    }
    drawFade();
    // The hard pull darkens the whole HUD but its dials.
    drawBlackout();
    if (!roundOver)
        drawDials();
}
