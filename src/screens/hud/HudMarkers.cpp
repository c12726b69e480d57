// The marker list: which objects are marked, and where each one shows on
// the screen this frame (marker, edge arrow, lead point, lock reticles).
#include "screens/hud/HudMarkers.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr float kEdge = 1.05f;

Vec2 toPixels(Vec2 ndc, const HudMarkerFrame& f)
{
    return {(ndc.x + 1.0f) * static_cast<float>(f.screenWidth) / 2.0f,
            (ndc.y + 1.0f) * static_cast<float>(f.screenHeight) / 2.0f};
}

float squaredDistance(const Vec3& a, const Vec3& b)
{
    const float dx = a.x - b.x, dy = a.y - b.y, dz = a.z - b.z;
    return dx * dx + dy * dy + dz * dz;
}

Color4 scaled(Color4 c, float k)
{
    k = std::clamp(k, 0.0f, 1.0f);
    return {static_cast<std::uint8_t>(c.r * k), static_cast<std::uint8_t>(c.g * k), static_cast<std::uint8_t>(c.b * k),
            c.a};
}

constexpr Color4 kLockColors[2] = {{255, 0, 0, 255}, {255, 165, 0, 255}};

}  // namespace

bool HudLockWeapon::holds(const HudMarkerRef& r) const
{
    for (int i = 0; i < targetCount && i < static_cast<int>(targets.size()); ++i)
        if (targets[static_cast<std::size_t>(i)] == r)
            return true;
    return false;
}

int HudMarkerFrame::relationCode(int team) const
{
    if (team == HudMarker::kTeamNoneHud)
        return 2;
    return hasPlayer && team == playerTeam ? 0 : 1;
}

// ---- The list ----

HudMarker* HudMarkers::find(const HudMarkerRef& object)
{
    for (auto& m : m_markers)
        if (m->object == object)
            return m.get();
    return nullptr;
}

HudMarker& HudMarkers::add(const HudMarkerRef& object, int kind, bool always, int team, const HudMarkerFrame& frame,
                           const IHudObjects& objects, const HudSideCodes* sides)
{
    HudMarker* m = find(object);
    if (!m) {
        m_markers.push_back(std::make_unique<HudMarker>());
        m = m_markers.back().get();
        m->object = object;
        HudObjectInfo info;
        const bool known = objects.read(object, info);
        // The player's own missiles stay at the end, drawn over the rest.
        if (!(kind == kMissileKind && known && !info.targetsPlayer))
            sort();
    }
    m->always = always;
    m->kind = kind;
    m->team = team;
    m->side.kind = kind;
    HudInsignia::update(m->side, frame.relationCode(team), sides);
    updateRadar(*m, frame, objects);
    return *m;
}

void HudMarkers::sort()
{
    if (m_markers.size() < 2)
        return;
    const std::size_t last = m_markers.size() - 1;
    std::size_t first = last;
    while (first > 0 && m_markers[first - 1]->kind == kMissileKind)
        --first;
    if (first != last)
        std::swap(m_markers[first], m_markers[last]);
}

void HudMarkers::remove(const HudMarkerRef& object)
{
    std::erase_if(m_markers, [&](const auto& m) { return m->object == object; });
}

void HudMarkers::setAddFlag(const HudMarkerRef& object, bool on)
{
    if (HudMarker* m = find(object))
        m->always = on;
}

void HudMarkers::setDrawFlagA(const HudMarkerRef& object, bool on)
{
    if (HudMarker* m = find(object))
        m->showOnScreen = on;
}

void HudMarkers::setDrawFlagB(const HudMarkerRef& object, bool on)
{
    if (HudMarker* m = find(object))
        m->showOnRadar = on;
}

void HudMarkers::setHighlighted(const HudMarkerRef& object)
{
    if (HudMarker* m = find(object))
        m->highlighted = true;
}

void HudMarkers::refresh(const HudMarkerFrame& frame, const HudSideCodes* sides)
{
    for (auto& m : m_markers)
        HudInsignia::update(m->side, frame.relationCode(m->team), sides);
}

void HudMarkers::clearLocks()
{
    for (auto& m : m_markers) {
        m->lockA = m->lockB = -1;
        m->lockTimeA = m->lockTimeB = 0.0f;
    }
}

// ---- Screen update ----

float HudMarkers::depthScale(float depth)
{
    if (depth < 3000.0f)
        return 0.7f;
    if (depth <= 16000.0f)
        return 0.7f - (depth - 3000.0f) * 0.25f / 13000.0f;
    return 0.45f;
}

float HudMarkers::edgeScale(float s)
{
    if (s < 0.1f)
        return 0.7f;
    if (s <= 1.0f)
        return (s - 0.1f) * 0.4f / 0.9f + 0.8f;
    return 1.2f;
}

float HudMarkers::leadWindow(float d)
{
    if (d <= 500.0f)
        return 0.7f;
    if (d < 1000.0f)
        return 0.5f - (d - 500.0f) * 0.3f / 1000.0f;
    return 0.3f;
}

void HudMarkers::placeOffScreen(HudMarker& m, const HudMarkerFrame& f, Vec2 p, float w, float d2)
{
    const HudObjectInfo& info = m.info;
    m.offScreen = true;
    m.visible = !(m.notLockable && !m.always) && !info.hidden;
    const int relation = f.relationCode(m.team);
    m.arrowShown = relation == 1 || m.kind == kWaypointKind || m.kind == HudInsignia::kFlagKind ||
                   (m.kind == 1 && m.always);
    if (p.x != 0.0f && p.y != 0.0f)
        m.arrowAngle = w > 0.0f ? std::atan2(-p.y, -p.x) : std::atan2(p.y, p.x);
    const float c = std::cos(m.arrowAngle), s = std::sin(m.arrowAngle);
    const float k = 1.0f / std::max(std::fabs(c), std::fabs(s));
    const Vec2 edge{c * k, s * k};
    if (w > 0.0f) {
        m.scale = 1.2f;
    } else {
        const float dx = p.x - edge.x, dy = p.y - edge.y;
        m.scale = edgeScale(dx * dx + dy * dy);
    }
    if (!m.always) {
        if (d2 > 2.5e7f && f.campaign())
            m.scale = 0.2f;
        if (m.kind != 0 && m.kind != 1)
            m.scale = 0.4f;
    }
    m.screen = toPixels(edge, f);
}

void HudMarkers::updateTargets(HudMarker& m, const HudMarkerFrame& f, const IHudObjects& objects)
{
    if (!m.showOnScreen && !m.always)
        return;
    m.scale = 1.0f;
    m.visible = m.offScreen = m.leadVisible = m.onTarget = false;
    m.anchorShown = false;
    if (!objects.read(m.object, m.info)) {
        // Gone from the world: nothing to show and nothing to lock.
        m.info.alive = false;
        m.lockA = m.lockB = -1;
        m.lockTimeA = m.lockTimeB = 0.0f;
        return;
    }
    const HudObjectInfo& info = m.info;
    m.playerColor = info.playerColor;
    if (info.isViewedPlane && f.viewedIsPlayer)
        return;
    const float d2 = squaredDistance(info.position, f.cameraPosition);
    if (!m.always && d2 > kHiddenDistanceSq)
        return;
    if (!f.camera)
        return;
    Vec2 p;
    const float w = projectToScreen(*f.camera, info.position, p);
    if (w >= 0.0f || std::fabs(p.x) >= kEdge || std::fabs(p.y) >= kEdge) {
        placeOffScreen(m, f, p, w, d2);
    } else {
        m.visible = true;
        if (f.relationCode(m.team) != 1 && !m.always && m.kind != 0 && !f.matchType)
            m.visible = false;
        if (info.attached && d2 > 4e6f && !m.always)
            m.visible = false;
        m.scale = depthScale(-w);
        m.screen = toPixels(p, f);
        if (m.always) {
            Vec2 a;
            const Vec3 ap{info.position.x + 2.0f * info.anchorOffset.x, info.position.y + 2.0f * info.anchorOffset.y,
                          info.position.z + 2.0f * info.anchorOffset.z};
            if (projectToScreen(*f.camera, ap, a) < 0.0f && std::fabs(a.x) < kEdge && std::fabs(a.y) < kEdge) {
                m.anchor = toPixels(a, f);
                m.anchorShown = true;
            }
        }
    }
    if (f.spectating) {
        m.lockA = m.lockB = -1;
        return;
    }
    if (f.viewedIsPlayer && f.relationCode(m.team) == 1) {
        if (info.hitReport) {
            m.flash = true;
            m.flashTimer = kFlashTime;
        }
        if (m.flashTimer > 0.0f)
            m.flashTimer = std::max(0.0f, m.flashTimer - f.dt);
        m.flash = m.flashTimer > 0.0f;
        computeLead(m, f, objects);
        m.notLockable = info.notLockable;
        m.visible = m.visible && (!m.notLockable || m.always);
        updateLocks(m, f);
    }
}

void HudMarkers::computeLead(HudMarker& m, const HudMarkerFrame& f, const IHudObjects& objects)
{
    if ((m.kind != 0 && m.kind != 1) || !f.hasPlayer || !f.playerHasGun || !f.camera)
        return;
    const float d2 = squaredDistance(m.info.position, f.playerPosition);
    if (d2 > kLeadRangeSq)
        return;
    const Vec3 aim = objects.leadPoint(m.object, f.playerPosition, f.gunSpeed + f.playerSpeed);
    Vec2 p;
    if (projectToScreen(*f.camera, aim, p) >= 0.0f)
        return;
    const float window = leadWindow(std::sqrt(d2));
    if (std::fabs(p.x) >= window || std::fabs(p.y) >= window)
        return;
    m.leadVisible = true;
    m.lead = toPixels(p, f);
    const float half = (static_cast<float>(f.screenWidth) / 2.0f + static_cast<float>(f.screenHeight) / 2.0f) * 0.5f;
    const Vec2 g = m_list.gunsight;
    const float q = 1.0f - (std::fabs(m.lead.x - g.x) + std::fabs(m.lead.y - g.y)) / half;
    if (q >= kOnTargetQuality) {
        m.onTarget = true;
        m_list.gunsightHighlight = true;
        m.leadQuality = (q - kOnTargetQuality) / (1.0f - kOnTargetQuality);
    }
}

void HudMarkers::updateLocks(HudMarker& m, const HudMarkerFrame& f)
{
    int found[2] = {-1, -1};
    int n = 0;
    for (int i = 0; i < static_cast<int>(f.weapons.size()) && n < 2; ++i) {
        const HudLockWeapon& w = f.weapons[static_cast<std::size_t>(i)];
        if (w.present && w.locking && w.holds(m.object))
            found[n++] = i;
    }
    if (n == 0) {
        m.lockA = m.lockB = -1;
    } else if (n == 1) {
        if (found[0] == m.lockB) {
            m.lockA = -1;
        } else {
            m.lockA = found[0];
            m.lockB = -1;
        }
    } else {
        if (!(m.lockA == found[0] && m.lockB == found[1]) && !(m.lockA == found[1] && m.lockB == found[0])) {
            m.lockA = found[0];
            m.lockB = found[1];
        }
        const float da = f.weapons[static_cast<std::size_t>(m.lockA)].delay;
        const float db = f.weapons[static_cast<std::size_t>(m.lockB)].delay;
        if (da > 0.0f && db > 0.0f && db < da)
            std::swap(m.lockA, m.lockB);
    }
    auto reticle = [&](int slot, float& time, Color4& color) {
        if (slot < 0) {
            time = 0.0f;
            return;
        }
        const HudLockWeapon& w = f.weapons[static_cast<std::size_t>(slot)];
        if (w.delay <= 0.0f) {
            color = scaled(kLockColors[w.lockKind == 1 ? 1 : 0], time);
            time += f.dt;
        } else {
            time = 0.0f;
        }
    };
    reticle(m.lockA, m.lockTimeA, m.lockColorA);
    reticle(m.lockB, m.lockTimeB, m.lockColorB);
    if (m.lockTimeA < 0.85f)
        m.pulse = (std::fabs(std::sin(static_cast<float>(f.clock) * kPi * 1.4f)) + 0.6f) * m.scale;
}

void HudElementList::updateTargets(const HudMarkerFrame& frame, const IHudObjects& objects)
{
    gunsightHighlight = false;
    for (auto& m : markers.list())
        markers.updateTargets(*m, frame, objects);
}

// ---- Rules the drawing reads ----

int HudMarkers::arrowFrame(const HudMarker& m, const HudMarkerFrame& f)
{
    const int relation = f.relationCode(m.team);
    if (!m.always && m.kind != 6 && m.kind != HudInsignia::kFlagKind) {
        if (m.playerColor >= 0)
            return 173;
        if (relation == 0 && (m.kind == 0 || m.kind == 1))
            return 93;
        if (relation == 1)
            return 95;
        return -1;
    }
    if (m.kind == 6)
        return 97;
    if (m.kind == HudInsignia::kFlagKind)
        return 96;
    return relation == 2 ? 111 : relation == 0 ? 112 : 113;
}

int HudMarkers::healthPercent(float health, float maxHealth)
{
    if (!(maxHealth > 0.0f) || !std::isfinite(health))
        return 1;
    const float p = health / maxHealth * 100.0f;
    return std::clamp(static_cast<int>(p), 1, 100);
}

std::u16string HudMarkers::labelText(const HudMarker& m, const HudMarkerFrame& f, const std::u16string& name)
{
    if (m.kind != 0 || name.empty() || !f.matchType)
        return {};
    if (!f.showNames)
        return name;
    std::u16string out = name;
    out += u' ';
    const bool network = m.playerColor >= 0;
    if (!network) {
        out += f.relationCode(m.team) == 1 ? u'\x08' : u'\x07';
        out += u';';
    }
    for (char c : std::to_string(healthPercent(m.info.health, m.info.maxHealth)))
        out += static_cast<char16_t>(c);
    out += u'%';
    if (!network) {
        out += u'\x01';
        out += u';';
    }
    return out;
}

int HudMarkers::radarIcon(int kind, int variant, bool campaign)
{
    switch (kind) {
    case 0: return 110;
    case 1: return variant == 2 ? 102 : 110;
    case 2:
    case 6: return 119;
    case 3:
    case 4:
    case 5: return 92;
    case 8: return 154;
    case 9:
    case 10:
    case 11: return 100;
    case 16: return 101;
    case 17: return campaign ? -1 : 152;
    case 19: return 120;
    case 20:
    case 22: return -1;
    case 21: return 153;
    default: return 110;
    }
}

void HudDial::setValue(float value)
{
    if (value > 360.0f)
        value -= 360.0f;
    else if (value < -360.0f)
        value += 360.0f;
    m_value = value;
}
