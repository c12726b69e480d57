// The radar's state (layout, sweep, zoom, trails), the approach lamp's blink
// and the list's life cycle.
#include "screens/hud/HudMarkers.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr float kTurn = 6.25f;
constexpr float kTrailStep = 0.5f;
constexpr float kZoomFactors[2] = {2.5f, 5.0f};

}  // namespace

HudElementList& HudElementList::instance()
{
    // Never destroyed: the game mode may still remove markers while the
    // program's statics go away.
    static HudElementList* list = new HudElementList;
    return *list;
}

void HudElementList::reset()
{
    clear();
    zoom = 1.0f;
    zoomLevel = -1;
    enabled = true;
    gunsight = {};
    gunsightHighlight = false;
}

void HudElementList::clear() { markers.list().clear(); }

void HudElementList::update(const HudMarkerFrame& frame, const IHudObjects& objects)
{
    viewedPosition = {frame.viewedPosition.x, frame.viewedPosition.z};
    viewedVelocity = {frame.viewedVelocity.x, frame.viewedVelocity.z};
    rangeFactor = frame.viewedRangeFactor;
    viewedTeam = frame.viewedTeam;
    updateSweep(frame.dt, viewedVelocity);
    updateGauge(frame);
    for (auto& m : markers.list())
        markers.updateRadar(*m, frame, objects);
    updateZoom();
}

void HudElementList::updateSweep(float dt, Vec2 velocity)
{
    sweepTime += dt;
    sweepAngle = (sweepTime - std::floor(sweepTime)) * kTurn;
    heading = std::atan2(velocity.y, velocity.x);
    rotation = {std::cos(-heading - kPi / 2.0f), std::sin(-heading - kPi / 2.0f)};
}

void HudElementList::updateGauge(const HudMarkerFrame& frame)
{
    if (!frame.lampOn) {
        lampTimeLeft = 0.0f;
        return;
    }
    lampTimeLeft -= frame.dt;
    if (lampTimeLeft <= 0.0f)
        setGauge(frame.lampA, frame.lampB);
}

void HudElementList::setGauge(float a, float b)
{
    a = std::clamp(std::isfinite(a) ? a : 0.0f, 0.0f, 1.0f);
    b = std::clamp(std::isfinite(b) ? b : 0.0f, 0.0f, 1.0f);
    lampPeriod = lampTimeLeft = (1.0f - a) * 2.25f + 0.25f;
    lampColor = {static_cast<std::uint8_t>(255.0f - 255.0f * b), static_cast<std::uint8_t>(255.0f * b), 0, 255};
}

float HudElementList::lampLevel(float p, float t)
{
    if (p <= 0.0f || t <= 0.005f * p || t >= p - 0.005f * p)
        return 0.0f;
    if (t > 0.25f * p && t <= 0.75f * p)
        return 1.0f;
    // The fade bands between the dark edges and the lit middle.
    if (t <= 0.25f * p)
        return (t - 0.005f * p) / (0.245f * p);
    return (p - 0.005f * p - t) / (0.245f * p);
}

void HudElementList::updateZoom()
{
    auto levelFor = [](float d, float extra) {
        int level = -1;
        for (int i = 0; i < 2; ++i) {
            const float entry = std::floor(kRadarReach / kZoomFactors[i]) + extra;
            if (entry > d)
                level = i;
        }
        return level;
    };
    int entryLevel = -1, keepLevel = -1;
    for (const auto& m : markers.list()) {
        if (!m->radarVisible || m->kind == HudMarkers::kMissileKind || m->team == HudMarker::kTeamNoneHud ||
            m->trailCount < 1 || m->info.isViewedPlane)
            continue;
        if (m->team == viewedTeam)
            continue;
        const float d = m->trailDistance[static_cast<std::size_t>(m->trailCount - 1)];
        entryLevel = std::max(entryLevel, levelFor(d, 0.0f));
        keepLevel = std::max(keepLevel, levelFor(d, 1000.0f));
    }
    if (entryLevel >= zoomLevel)
        zoomLevel = entryLevel;
    else if (keepLevel < zoomLevel)
        zoomLevel = keepLevel;
    const float factor = zoomLevel < 0 ? 1.0f : kZoomFactors[zoomLevel];
    zoom = 0.1f * factor + 0.9f * zoom;
    if (std::fabs(zoom - factor) < 0.001f)
        zoom = factor;
}

void HudMarkers::updateRadar(HudMarker& m, const HudMarkerFrame& f, const IHudObjects& objects)
{
    m.radarVisible = false;
    HudObjectInfo& info = m.info;
    if (!objects.read(m.object, info)) {
        info.alive = false;
        return;
    }
    bool shown = false;
    if (info.alive)
        shown = (!info.attached && f.relationCode(m.team) != 2) || m.always;
    if (info.hidden)
        shown = false;
    if (m.kind == 17 && !f.campaign())
        shown = true;
    if (info.isPlayerPlane || f.lockMode() || !m.showOnRadar)
        shown = false;
    m.radarVisible = shown;
    if (!shown)
        return;
    const Vec2 now{info.position.x, info.position.z};
    if (m.kind == kMissileKind) {
        m.trailTimer -= f.dt;
        if (m.trailTimer <= 0.0f || m.trailCount == 0) {
            if (m.trailCount == static_cast<int>(m.trail.size()))
                std::rotate(m.trail.begin(), m.trail.begin() + 1, m.trail.end());
            else
                ++m.trailCount;
            m.trailTimer = kTrailStep;
        }
    } else {
        m.trailCount = 1;
    }
    m.trail[static_cast<std::size_t>(m.trailCount - 1)] = now;
    m.velocity = {info.velocity.x, info.velocity.z};
    for (int i = 0; i < m.trailCount; ++i) {
        const Vec2 p = m.trail[static_cast<std::size_t>(i)];
        const float dx = p.x - f.viewedPosition.x, dz = p.y - f.viewedPosition.z;
        m.trailDistance[static_cast<std::size_t>(i)] = std::sqrt(dx * dx + dz * dz);
    }
}

void HudElementList::layoutRadar(bool isLarge, float placeX, float placeY, float placeW, float placeH,
                                 float rimWidth, int screenWidth, int screenHeight)
{
    large = isLarge;
    if (large) {
        radarCentre = {static_cast<float>(screenWidth) / 2.0f, static_cast<float>(screenHeight) / 2.0f};
        radarRadius = 3.0f * static_cast<float>(screenHeight) / 8.0f;
    } else {
        radarCentre = {placeX + placeW / 2.0f, placeY + placeH / 2.0f};
        radarRadius = (placeH - rimWidth) / 2.0f;
    }
    // A place smaller than its rim (bad data) leaves no radar to draw.
    if (!(radarRadius > 0.0f) || !std::isfinite(radarRadius))
        radarRadius = 0.0f;
    radarScale = radarRadius / kRadarReach;
}

bool HudElementList::projectToRadar(Vec2 point, float distance, float radarFactor, Vec2& out, float& fade) const
{
    fade = 1.0f;
    if (!(radarRadius > 0.0f))
        return false;
    const float dx = point.x - viewedPosition.x, dz = point.y - viewedPosition.y;
    const float x = dx * rotation.x - dz * rotation.y;
    const float z = dx * rotation.y + dz * rotation.x;
    if (rangeFactor != -1.0f && radarFactor != -1.0f && distance > kRadarReach * rangeFactor * radarFactor)
        return false;
    out = {x * radarScale * zoom, z * radarScale * zoom};
    const float d = std::sqrt(out.x * out.x + out.y * out.y);
    const float r = radarRadius;
    if (d > r) {
        fade = 1.0f - (d - r) / r;
        out = {out.x * r / d, out.y * r / d};
    }
    return true;
}
