#include "screens/hud/HudButton.h"

#include "platform/Clock.h"
#include "platform/Language.h"
#include "platform/Random.h"
#include "platform/ScreenMetrics.h"
#include "platform/Settings.h"
#include "render/2d/CFont.h"
#include "render/2d/CSprite.h"
#include "render/2d/SpriteSets.h"
#include "screens/hud/HudPanel.h"
#include "ui/TextFitLog.h"

#include <algorithm>
#include <cmath>
#include <string>

namespace {
bool flipOn() { return settings().flipControls != 0; }
}  // namespace

Vec2 HudButton::screenPos() const
{
    const Vec2 p = panel ? panel->position : Vec2{};
    return {basePos.x + p.x, basePos.y + p.y};
}

float HudButton::shownX() const
{
    const float x = screenPos().x;
    if (flipOn() && mirrorable)
        return static_cast<float>(screenMetrics().screenWidth) - x - size.x;
    return x;
}

bool HudButton::hitTest(float px, float py)
{
    if (!visible || !enabled)
        return false;
    if (sticky && touchId >= 0)
        return true;
    pos = screenPos();
    const float x = shownX();
    if (round) {
        const float cx = x + centreOffset.x, cy = pos.y + centreOffset.y;
        const float dx = px - cx, dy = py - cy;
        const float d2 = dx * dx + dy * dy;
        // Small rings are hit as if a finger-sized 100 scaled pixels across.
        const float grow = std::max(0.0f, std::floor((100.0f * screenMetrics().screenScaleX - size.x) / 2.0f));
        const float outer = outerRadius + grow;
        // A ring without a hole is hit at its very centre too.
        const bool outsideHole = innerRadius <= 0.0f || d2 > innerRadius * innerRadius;
        return outsideHole && d2 <= outer * outer;
    }
    const float m = kRectMargin;
    bool inX = false;
    if (reach.y == 0.0f)
        inX = px > x - m && px < x + size.x + m;
    else if (!flipOn() || !mirrorable)
        inX = px > x - m && px < x + size.x + reach.x + m;
    else
        inX = px > x - m - reach.x && px < x + size.x;
    if (!inX)
        return false;
    if (reach.y == 0.0f)
        return py > pos.y - m && py < pos.y + size.y + m;
    if (reach.y > 0.0f)
        return py > pos.y - m && py < pos.y + size.y + m + reach.y;
    return py > pos.y - m + reach.y && py < pos.y + size.y + m - reach.y;
}

void HudButton::startSwingIn(float duration)
{
    if (swing.active)
        return;
    const ScreenMetrics& m = screenMetrics();
    swing.savedBase = basePos;
    const Vec2 place = screenPos();
    const float cx = static_cast<float>(m.screenWidth) / 2.0f, cy = static_cast<float>(m.screenHeight) / 2.0f;
    const float dx = place.x - cx, dy = place.y - cy;
    swing.radius = std::sqrt(dx * dx + dy * dy);
    swing.startAngle = std::atan2(dy, dx);
    swing.pivot = {place.x - swing.radius * std::cos(swing.startAngle),
                   place.y - swing.radius * std::sin(swing.startAngle)};
    swing.angle = -kPi / 2.0f;
    swing.elapsed = 0.0f;
    swing.duration = duration;
    swing.active = true;
}

std::vector<int> HudButton::countModules(int count)
{
    std::vector<int> modules;
    if (count < 0)
        return modules;
    // The digit modules end at 9: larger counts take several digits.
    for (char c : std::to_string(std::min(count, 999)))
        modules.push_back(kFirstDigitModule + (c - '0'));
    return modules;
}

void HudButton::drawCount(float x, float y)
{
    const std::vector<int> modules = countModules(count);
    if (modules.empty() || !sheet)
        return;
    const float w = sheet->moduleWidth(kFirstDigitModule);
    float dx = x + size.x - w * static_cast<float>(modules.size());
    const float dy = y + size.y - sheet->moduleHeight(kFirstDigitModule);
    if (textFitLog().enabled()) {
        textFitLog().pushFrame({dx, dy, w * static_cast<float>(modules.size()), sheet->moduleHeight(kFirstDigitModule)},
                               "HudButton count", true);
        textFitLog().popFrame();
    }
    for (int module : modules) {
        sheet->drawModule(module, dx, dy);
        dx += w;
    }
}

float HudButton::fitScale(float lineHeight, float textWidth, float height, float width)
{
    if (lineHeight <= 0.0f || textWidth <= 0.0f)
        return 1.0f;
    return std::min(height / lineHeight, width / textWidth);
}

void HudButton::drawLabel(float x, float y, float rotation)
{
    CFont* font = label >= 0 ? getFont(0) : nullptr;
    if (!font)
        return;
    const std::u16string& text = getStringByIndex(label);
    font->setScale(1.0f, 1.0f);
    const float k = fitScale(font->lineHeight(), font->measure(text).width, size.y * labelHeight, size.x * 0.8f);
    font->setScale(k, k);
    Color4 c = labelColor;
    c.a = static_cast<std::uint8_t>(c.a * sheet->color().a / 255);
    font->setColor(c);
    drawText(font, text, x + size.x / 2.0f, y + size.y / 2.0f, CFont::kCentreX | CFont::kCentreY, rotation);
    font->setScale(1.0f, 1.0f);
    font->setColor(Color4{});
}

void HudButton::drawAt(float x, float y, float rotation)
{
    const int shown = pressed ? pressedModule : module;
    if (shown >= 0)
        sheet->drawModule(shown, x, y, 0, rotation);
    drawLabel(x, y, rotation);
    if (icon >= 0) {
        const Color4 saved = sheet->color();
        if (icon >= kTintedIconFirst && icon <= kTintedIconLast)
            sheet->setColor(kIconColor);
        float jx = 0.0f, jy = 0.0f;
        if (pressed && count < 0) {
            const float a = randAngle();
            jx = std::round(std::cos(a)), jy = std::round(std::sin(a));
        }
        sheet->drawModuleAt(icon, x + size.x / 2.0f + jx, y + size.y / 2.0f + jy, rotation);
        sheet->setColor(saved);
        if (textFitLog().enabled() && rotation == 0.0f) {
            const float w = sheet->moduleWidth(icon), h = sheet->moduleHeight(icon);
            textFitLog().pushFrame({x + (size.x - w) / 2.0f, y + (size.y - h) / 2.0f, w, h}, "HudButton icon", true);
            textFitLog().popFrame();
        }
    }
    drawCount(x, y);
}

void HudButton::draw()
{
    if (notDrawn || !visible || !sheet)
        return;
    Color4 c = tinted ? tint : Color4{};
    // A lesson asks for this button: it pulses towards orange, as the
    // highlighted panels, dials and pad do.
    if (highlighted) {
        pulsePhase += HudPanel::kPulseRate * frameDelta();
        c = Color4::lerp(c, HudPanel::kHighlightColor, std::fabs(std::sin(pulsePhase)));
    }
    if (opacity != 1.0f)
        c.a = static_cast<std::uint8_t>(std::clamp(static_cast<float>(c.a) * opacity, 0.0f, 255.0f));
    const Color4 saved = sheet->color();
    sheet->setColor(c);
    const bool mirrored = flipOn() && mirrorable;
    if (swing.active) {
        swing.elapsed += frameDelta();
        const float t = swing.duration > 0.0f ? swing.elapsed / swing.duration : 1.0f;
        swing.angle = -kPi / 2.0f + (swing.startAngle + kPi / 2.0f) * std::min(t, 1.0f);
        const float a = mirrored ? kPi - swing.angle : swing.angle;
        const float px = swing.pivot.x + swing.radius * std::cos(a);
        const float py = swing.pivot.y + swing.radius * std::sin(a);
        if (swing.elapsed > swing.duration) {
            swing.active = false;
            basePos = swing.savedBase;
        } else {
            drawAt(mirrored ? px - size.x : px, py, swing.angle - swing.startAngle);
            sheet->setColor(saved);
            return;
        }
    }
    pos = screenPos();
    // With -textboxes the button is listed, its label's frame and the place
    // its icon and count take.
    const bool logged = textFitLog().enabled() && (module >= 0 || pressedModule >= 0 || label >= 0);
    if (logged)
        textFitLog().pushFrame({shownX(), pos.y, size.x, size.y}, highlighted ? "HudButton highlighted" : "HudButton", true);
    drawAt(shownX(), pos.y, 0.0f);
    if (logged)
        textFitLog().popFrame();
    sheet->setColor(saved);
}
