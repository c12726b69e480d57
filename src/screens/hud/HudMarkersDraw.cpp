// Drawing the markers, the radar, the gunsight and the approach lamp.
#include "screens/hud/HudMarkers.h"

#include "platform/Language.h"
#include "render/2d/CFont.h"
#include "render/2d/CSprite.h"
#include "render/2d/SpriteSets.h"
#include "ui/TextFitLog.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {

constexpr Color4 kWhite{255, 255, 255, 255};
constexpr Color4 kRed{255, 0, 0, 255};
constexpr Color4 kYellow{255, 255, 0, 255};
constexpr Color4 kDarkRed{139, 0, 0, 255};
// The dials' unit words, which the waypoint distance shares.
constexpr int kFeetWord = 4862, kMetresWord = 4863;
constexpr int kChevronFrame = 90, kReachedFrame = 138, kHealthBarFrame = 91;
constexpr int kLeadModule = 96, kReticleFirst = 99, kReticleSecond = 98;

std::uint8_t byte(float v) { return static_cast<std::uint8_t>(std::clamp(v, 0.0f, 255.0f)); }

Color4 withAlpha(Color4 c, float alpha) { return {c.r, c.g, c.b, byte(alpha)}; }

Color4 faded(Color4 c, float k)
{
    k = std::clamp(k, 0.0f, 1.0f);
    return {byte(c.r * k), byte(c.g * k), byte(c.b * k), byte(c.a * k)};
}

void drawScaled(CSprite& s, int frame, float x, float y, float scale, float rotation, Color4 color)
{
    s.setColor(color);
    s.setScale(scale, scale);
    s.drawFrame(frame, x, y, rotation);
    s.setScale(1.0f, 1.0f);
}

// With -textboxes each insignia drawn goes in the picture's list with the
// marker's team and the player's, so a scripted run tells friend from foe
// by the truth rather than by what it expects to be in view.
void logInsignia(CSprite& s, int frame, const HudMarker& m, const HudMarkerFrame& f, float scale)
{
    s.setScale(scale, scale);
    const CSprite::Rect r = s.frameBoundsAt(frame, m.screen.x, m.screen.y);
    s.setScale(1.0f, 1.0f);
    char kind[48];
    std::snprintf(kind, sizeof kind, "marker team %d player %d", m.team, f.playerTeam);
    textFitLog().pushFrame({r.x, r.y, r.w, r.h}, kind, false);
    textFitLog().popFrame();
}

// A base's health bar goes in the list too, whole, with the share it fills.
void logHealthBar(CSprite& s, const HudMarker& m, const HudMarkerFrame& f, float y, float filled)
{
    const CSprite::Rect r = s.frameBoundsAt(kHealthBarFrame, m.screen.x, y);
    char kind[64];
    std::snprintf(kind, sizeof kind, "health bar team %d player %d filled %.3f", m.team, f.playerTeam, filled);
    textFitLog().pushFrame({r.x, r.y, r.w, r.h}, kind, false);
    textFitLog().popFrame();
}

// The compass letters, N, E, S and W in the player's language, from the HUD's string table.
constexpr int kNorthText = 4870;

// The letters stand upright at their places on a compass face turned by
// `turn` (north up when 0), `radius` from its centre and `size` pixels high.
void drawCompassLetters(Vec2 c, float radius, float turn, float size)
{
    CFont* font = getFont(0);
    if (!font)
        return;
    font->setScale(1.0f, 1.0f);
    const float k = size / std::max(font->lineHeight(), 1.0f);
    font->setScale(k, k);
    for (int i = 0; i < 4; ++i) {
        const float a = turn + static_cast<float>(i - 1) * kPi / 2.0f;
        font->setColor(i == 0 ? kWhite : Color4{177, 245, 181, 255});
        drawText(font, getStringByIndex(kNorthText + i), c.x + radius * std::cos(a), c.y + radius * std::sin(a),
                 CFont::kCentreX | CFont::kCentreY);
    }
    font->setScale(1.0f, 1.0f);
    font->setColor(kWhite);
}

Color4 markerColor(const HudMarker& m)
{
    if (m.playerColor >= 0 && m.playerColor < static_cast<int>(HudMarkers::kPlayerColors.size()))
        return HudMarkers::kPlayerColors[static_cast<std::size_t>(m.playerColor)];
    return m.side.color;
}

std::u16string ascii(const char* text)
{
    std::u16string out;
    for (const char* c = text; *c; ++c)
        out += static_cast<char16_t>(*c);
    return out;
}

}  // namespace

void HudElementList::drawMarkers(CSprite& sheet, const HudMarkerFrame& frame, const IHudObjects& objects)
{
    if (enabled) {
        updateTargets(frame, objects);
        for (auto& m : markers.list()) {
            if (!m->info.alive || !m->showOnScreen)
                continue;
            if (m->visible)
                drawMarker(sheet, *m, frame, objects);
            else if (!m->offScreen && m->notLockable)
                drawLabel(*m, frame, objects);
        }
    }
    drawGunsight(sheet, frame);
    sheet.setColor(kWhite);
}

void HudElementList::drawMarker(CSprite& sheet, HudMarker& m, const HudMarkerFrame& f, const IHudObjects& objects)
{
    const bool lockMode = f.lockMode();
    const bool other = f.relationCode(m.team) == 1;
    if (!m.offScreen) {
        if (lockMode || (other && (m.lockA >= 0 || m.lockB >= 0))) {
            drawLock(sheet, m, f);
            if (m.always && m.kind != 0 && m.kind != 1)
                drawWaypoint(sheet, m, f);
        } else {
            const int insignia = HudInsignia::frameForIndex(m.side);
            const bool sided = f.gameType == 1 || f.gameType == 9 || f.gameType == 11;
            if (insignia >= 0 && (sided || (m.kind != 0 && m.kind != 1))) {
                const float k = m.flash ? 1.0f + m.flashTimer : 1.0f;
                drawScaled(sheet, insignia, m.screen.x, m.screen.y, m.scale * k, -f.cameraRoll, kWhite);
                if (textFitLog().enabled())
                    logInsignia(sheet, insignia, m, f, m.scale * k);
            }
            if (m.always)
                drawWaypoint(sheet, m, f);
        }
    } else {
        if (lockMode)
            drawLock(sheet, m, f);
        else if (m.arrowShown)
            drawArrow(sheet, m, f);
        return;
    }
    drawLabel(m, f, objects);
    if (m.kind == 6 && m.info.maxHealth != 0.0f) {
        const float y = m.screen.y + 24.0f * m.scale;
        drawScaled(sheet, kHealthBarFrame, m.screen.x, y, 1.0f, 0.0f, Color4{60, 60, 60, 200});
        const float k = std::clamp(m.info.health / m.info.maxHealth, 0.0f, 1.0f);
        if (textFitLog().enabled())
            logHealthBar(sheet, m, f, y, k);
        if (m.info.health > 0.0f) {
            const CSprite::Rect r = sheet.frameRect(kHealthBarFrame);
            sheet.setColor(f.relationCode(m.team) == 0 ? Color4{0, 255, 0, 255} : kRed);
            sheet.setScale(k, 1.0f);
            sheet.drawFrame(kHealthBarFrame, m.screen.x + r.x * (1.0f - k), y);
            sheet.setScale(1.0f, 1.0f);
        }
    }
    if (m.leadVisible) {
        Color4 c = m.onTarget ? Color4{255, 0, 51, 200} : Color4{255, 204, 51, 200};
        if (m.playerColor >= 0)
            c = withAlpha(markerColor(m), m.onTarget ? 200.0f : 80.0f);
        sheet.setColor(c);
        sheet.drawModuleAt(kLeadModule, m.lead.x, m.lead.y);
    }
    sheet.setColor(kWhite);
}

void HudElementList::drawLock(CSprite& sheet, HudMarker& m, const HudMarkerFrame& f)
{
    const float cx = static_cast<float>(f.screenWidth) / 2.0f, cy = static_cast<float>(f.screenHeight) / 2.0f;
    const struct {
        int slot;
        float time;
        Color4 color;
        int frame;
    } reticles[2] = {{m.lockA, m.lockTimeA, m.lockColorA, kReticleFirst}, {m.lockB, m.lockTimeB, m.lockColorB, kReticleSecond}};
    for (const auto& r : reticles) {
        if (r.slot < 0 || r.time <= 0.0f)
            continue;
        // The reticle closes in from the centre as the lock completes.
        const float t = std::min(r.time, 1.0f);
        const float x = cx + (m.screen.x - cx) * t, y = cy + (m.screen.y - cy) * t;
        drawScaled(sheet, r.frame, x, y, 25.0f + (m.scale - 25.0f) * t, kPi * (1.0f - t), withAlpha(r.color, 255.0f));
    }
    if (m.lockTimeA < 0.85f) {
        const int insignia = HudInsignia::frameForIndex(m.side);
        if (insignia >= 0)
            drawScaled(sheet, insignia, m.screen.x, m.screen.y, m.pulse, 0.0f, kRed);
    }
}

void HudElementList::drawArrow(CSprite& sheet, HudMarker& m, const HudMarkerFrame& f)
{
    const int frame = HudMarkers::arrowFrame(m, f);
    if (frame < 0)
        return;
    Color4 color = markerColor(m);
    float scale = m.scale;
    m.threatTimer = std::max(0.0f, m.threatTimer - f.dt);
    if (m.info.targetsPlayer) {
        color = kYellow;
        scale *= 1.5f;
    } else if (m.info.playerTargetsIt) {
        color = kDarkRed;
        scale *= 1.5f;
    }
    drawScaled(sheet, frame, m.screen.x, m.screen.y, scale, m.arrowAngle - kPi, color);
}

void HudElementList::drawLabel(HudMarker& m, const HudMarkerFrame& f, const IHudObjects& objects)
{
    if (m.kind != 0)
        return;
    const std::u16string text = HudMarkers::labelText(m, f, objects.displayName(m.object));
    if (text.empty())
        return;
    CFont* font = getFont(0);
    if (!font)
        return;
    float k = (f.screenHeight >= 1024 ? 1.25f : 1.5f) * m.scale;
    if (m.flash)
        k *= 0.75f * m.flashTimer + 1.0f;
    const float x = m.screen.x, y = m.screen.y - 30.0f * m.scale;
    font->setScale(k, k);
    font->setColor(m.playerColor >= 0 ? markerColor(m) : kWhite);
    font->draw(text, x, y, CFont::kCentreX | CFont::kBottom);
    const float t = m.info.flightStateTime;
    if (m.info.flightState != 0 && t < 5.0f) {
        const float s = std::clamp(0.1f * t * t * t - 0.69f * t * t + t + 0.8f, 0.6f, 0.9f);
        font->setScale(s, s);
        font->setColor(kRed);
        font->draw(getStringByIndex(218 + m.info.flightState), x, y + 20.0f * m.scale, CFont::kCentreX);
    }
    font->setScale(1.0f, 1.0f);
    font->setColor(kWhite);
}

void HudElementList::drawWaypoint(CSprite& sheet, HudMarker& m, const HudMarkerFrame& f)
{
    if (!m.anchorShown)
        return;
    const Vec2 a = m.anchor;
    if (m.kind != HudMarkers::kWaypointKind) {
        drawScaled(sheet, kReachedFrame, a.x, a.y, m.scale, 0.0f, m.side.color);
        return;
    }
    if (m.info.waypointReached) {
        drawScaled(sheet, kReachedFrame, a.x, a.y, m.scale, 0.0f, kWhite);
    } else {
        const float h = std::max(1.0f, sheet.frameRect(kChevronFrame).h);
        m.waypointScroll = std::fmod(m.waypointScroll + h * f.dt, h);
        const float s = m.waypointScroll / h;
        const float dx = std::sin(f.cameraRoll), dy = std::cos(f.cameraRoll);
        for (int i = 0; i < 3; ++i) {
            const float off = m.waypointScroll + static_cast<float>(i) * h * 0.6f;
            const float alpha = i == 0 ? 255.0f * s : i == 2 ? 255.0f * (1.0f - s) : 255.0f;
            drawScaled(sheet, kChevronFrame, a.x - dx * off, a.y - dy * off, 0.6f * m.scale, -f.cameraRoll,
                       withAlpha(Color4{255, 255, 255, 255}, alpha));
        }
    }
    const float dx = m.info.position.x - f.cameraPosition.x, dy = m.info.position.y - f.cameraPosition.y,
                dz = m.info.position.z - f.cameraPosition.z;
    const float distance = std::max(0.0f, std::sqrt(dx * dx + dy * dy + dz * dz) - m.info.radius);
    // The number, then the unit word in the player's language (the dials' words).
    char number[24];
    std::snprintf(number, sizeof number, "%.0f ", static_cast<double>(f.metric ? distance : distance * 3.28084f));
    const std::u16string text = ascii(number) + getStringByIndex(f.metric ? kMetresWord : kFeetWord);
    if (CFont* font = getFont(0)) {
        font->setScale(1.2f * m.scale, 1.2f * m.scale);
        font->setColor(Color4{0, 128, 0, 255});
        font->draw(text, a.x, a.y + 24.0f * m.scale, CFont::kCentreX, -f.cameraRoll);
        font->setScale(1.0f, 1.0f);
        font->setColor(kWhite);
    }
}

void HudElementList::drawGunsight(CSprite& sheet, const HudMarkerFrame& f)
{
    if (!f.hasPlayer || !f.camera)
        return;
    gunsight = {};
    const Vec3 ahead{f.playerPosition.x + f.playerForward.x * kGunsightDistance,
                     f.playerPosition.y + f.playerForward.y * kGunsightDistance,
                     f.playerPosition.z + f.playerForward.z * kGunsightDistance};
    Vec2 p;
    if (projectToScreen(*f.camera, ahead, p) >= 0.0f || std::fabs(p.x) > 1.05f || std::fabs(p.y) > 1.05f)
        return;
    gunsight = {(p.x + 1.0f) * static_cast<float>(f.screenWidth) / 2.0f,
                (p.y + 1.0f) * static_cast<float>(f.screenHeight) / 2.0f};
    sheet.setColor(Color4{0, 0, 0, 255});
    sheet.drawFrame(kGunsightFrame, gunsight.x + 1.0f, gunsight.y + 1.0f);
    sheet.setColor(gunsightHighlight ? kRed : kWhite);
    sheet.drawFrame(kGunsightFrame, gunsight.x, gunsight.y);
    sheet.setColor(kWhite);
}

void HudElementList::drawTargetBox(CSprite& sheet, const HudMarkerFrame& f, float x, float y)
{
    if (!f.lampOn)
        return;
    const float k = lampLevel(lampPeriod, lampTimeLeft);
    if (k <= 0.0f)
        return;
    sheet.setColor(faded(lampColor, k));
    sheet.drawModule(kLampModule, x, y);
    sheet.setColor(withAlpha(kWhite, 255.0f * k));
    sheet.drawModule(kLampGlint, x, y);
    sheet.setColor(kWhite);
}

void HudElementList::drawRadar(CSprite& sheet, const HudMarkerFrame& f, float alertPhase, bool alert)
{
    if (!(radarRadius > 0.0f))
        return;
    Color4 tint = kWhite;
    if (alert) {
        const float k = std::fabs(std::sin(alertPhase));
        tint = {255, byte(255.0f - 115.0f * k), byte(255.0f - 255.0f * k), 255};
    }
    const Vec2 c = radarCentre;
    sheet.setColor(tint);
    if (!large) {
        sheet.drawFrame(104, c.x, c.y, sweepAngle);
        sheet.drawFrame(175, c.x, c.y, -heading - kPi / 2.0f);
        const float s = sheet.frameRect(104).w / 190.0f;
        drawCompassLetters(c, 83.0f * s, -heading - kPi / 2.0f, 12.0f * s);
    } else {
        const bool reference = (f.screenHeight == 640 && spriteLoadScale() == 2.0f) ||
                               (f.screenHeight == 480 && spriteLoadScale() == 1.0f);
        const float k = reference ? 0.8f : 1.0f;
        drawScaled(sheet, 106, c.x, c.y, k, -heading, tint);
        drawScaled(sheet, 105, c.x, c.y, k, heading, tint);
        const float s = k * sheet.frameRect(106).w / 480.0f;
        drawCompassLetters(c, 222.0f * s, heading, 18.0f * s);
    }
    sheet.setColor(kOwnPlaneColor);
    sheet.drawFrame(kOwnPlaneFrame, c.x, c.y, -kPi / 2.0f);
    for (const auto& m : markers.list())
        if (m->radarVisible && !m->info.isPlayerPlane)
            drawRadarIcon(sheet, *m, f, tint);
    sheet.setColor(kWhite);
}

void HudElementList::drawRadarIcon(CSprite& sheet, const HudMarker& m, const HudMarkerFrame& f, Color4 tint)
{
    if (m.trailCount < 1)
        return;
    const float radarFactor = m.info.radarFactor;
    const bool threat = m.kind == HudMarkers::kMissileKind && m.info.targetsPlayer;
    const Color4 base = threat ? kYellow : markerColor(m);
    (void)tint;
    if (m.kind == HudMarkers::kMissileKind && m.trailCount > 1) {
        for (int i = 0; i + 1 < m.trailCount; ++i) {
            Vec2 p;
            float fade = 1.0f;
            const auto k = static_cast<std::size_t>(i);
            if (projectToRadar(m.trail[k], m.trailDistance[k], radarFactor, p, fade) && fade >= 1.0f) {
                sheet.setColor(withAlpha(base, 63.0f + 192.0f * static_cast<float>(i) / static_cast<float>(m.trailCount)));
                sheet.drawFrame(101, radarCentre.x + p.x, radarCentre.y + p.y);
            }
        }
    }
    const auto newest = static_cast<std::size_t>(m.trailCount - 1);
    Vec2 p;
    float fade = 1.0f;
    if (!projectToRadar(m.trail[newest], m.trailDistance[newest], radarFactor, p, fade) || fade <= 0.0f)
        return;
    float sweep = 1.0f;
    if (!large) {
        float a = std::atan2(p.y, p.x);
        if (a < 0.0f)
            a += 6.25f;
        float s = sweepAngle;
        if (s < a) {
            s = s + 6.25f - a;
            a = 0.0f;
        }
        sweep = 1.0f - (s - a) / 6.5f;
    }
    const float scale = std::max(0.5f, 0.5f + 0.5f * fade);
    float angle = 0.0f;
    const int k = m.kind;
    if (k != 2 && k != 6 && k != 16 && k != 17 && k != 19)
        angle = std::atan2(m.velocity.y, m.velocity.x) - heading - kPi / 2.0f;
    const float x = radarCentre.x + p.x, y = radarCentre.y + p.y;
    if (m.always && k != 0 && k != 1) {
        const int frame = m.team == HudMarker::kTeamNoneHud ? 107 : f.relationCode(m.team) == 0 ? 108 : 109;
        drawScaled(sheet, frame, x, y, 0.6f * scale, 0.0f, faded(kWhite, sweep * fade));
        return;
    }
    const int icon = HudMarkers::radarIcon(k, m.info.variant, f.campaign());
    if (icon < 0)
        return;
    drawScaled(sheet, icon, x, y, scale, angle, faded(base, sweep * fade));
}
