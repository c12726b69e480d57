// The airplane on screen: its model, paint, propeller and damage soot, the
// cockpit view's parts, and the links effects keep to it.
#include "entities/aircraft/Airplane.h"

#include "entities/weapons/Weapon.h"
#include "gamedata/AirplaneModel.h"
#include "platform/Settings.h"
#include "render/Graphics.h"
#include "render/assets/Model.h"
#include "render/assets/ModelBuffers.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <iterator>
#include <span>

namespace {
constexpr float kTwoPi = 6.2831853f;
// Revolutions a second of an idling and of a full-throttle propeller.
constexpr float kIdleTurns = 6.0f, kFullTurns = 24.0f;
// Beyond this distance an airplane drawn with marker details grows with the
// distance, so that it stays a visible shape rather than a pixel.
constexpr float kDetailDistance = 3000.0f;
constexpr float kMaxDetailScale = 3.0f;

// Nodes the cockpit view leaves out: the pilot sits inside them.
bool insideCockpit(const std::string& name) { return name == "body" || name == "canopy"; }

Mat4 spin(float angle) { return mat4MakeRotationZ(angle); }
}  // namespace

void Airplane::setPaintRow(int row)
{
    m_paintRow = (m_model && row >= 0 && row < m_model->paintCount()) ? row : 0;
    m_hasOwnPaint = false;
}

void Airplane::setOwnPaint(const PlanePaint& paint)
{
    m_ownPaint = paint;
    m_hasOwnPaint = true;
}

ModelPaint Airplane::currentPaint() const
{
    const SkinPreviewPaint& preview = skinPreviewPaint();
    if (preview.model && preview.model == m_model) {
        const float* c = preview.colors;
        return AirplaneModel::modelPaint(PlanePaint{c[0], c[1], c[2], c[3], c[4], c[5]}, m_model->paintMask());
    }
    if (m_hasOwnPaint)
        return AirplaneModel::modelPaint(m_ownPaint, m_model->paintMask());
    return m_model->modelPaint(m_paintRow);
}

AirplaneDimensions Airplane::dimensions() const
{
    AirplaneDimensions d;
    if (!m_model)
        return d;
    d.length = m_model->length();
    d.span = m_model->span();
    d.width = m_model->span();
    d.height = m_model->height();
    d.radius = m_model->radius();
    d.groundOffset = m_model->groundOffset();
    d.eyePoint = m_model->eyePoint();
    return d;
}

bool Airplane::nodeWorldPoint(const char* name, Vec3& out) const
{
    if (!m_model || !m_model->hasNode(name))
        return false;
    out = mat4TransformPoint(m_matrix, m_model->nodePoint(name));
    return true;
}

bool Airplane::markerDetails() { return settings().markerDetails != 0; }

bool Airplane::canLock(const Target& target) const
{
    for (int slot = 0; slot < kWeaponSlots; ++slot) {
        const Weapon* w = weapon(slot);
        if (w && w->isEnabled() && w->needsLock() && w->canLock(target))
            return true;
    }
    return false;
}

void Airplane::updateVisual(float dt)
{
    if (!std::isfinite(dt) || dt <= 0.0f)
        return;
    const bool turning = lifeState() == LifeState::Alive && m_flightState != FlightState::EngineDead &&
                         m_flightState != FlightState::Critical;
    const float turns = turning ? kIdleTurns + (kFullTurns - kIdleTurns) * std::max(m_body.throttle, 0.0f) : 0.0f;
    m_propellerAngle = std::fmod(m_propellerAngle + turns * kTwoPi * dt, kTwoPi);
}

Mat4* Airplane::getTransform(Mat4* out)
{
    if (out)
        *out = m_matrix;
    return out;
}

void Airplane::systemGone(PSystem* system)
{
    if (!system)
        return;
    for (PSystem*& slot : effectSlots)
        if (slot == system)
            slot = nullptr;
    if (boostSystem == system)
        boostSystem = nullptr;
    if (wreckSystem == system)
        wreckSystem = nullptr;
}

float Airplane::drawRadius() const
{
    float reach = m_radius;
    if (m_model)
        reach = std::max(reach, reachFromOrigin(m_model->model().boundsMin(), m_model->model().boundsMax()));
    return markerDetails() ? reach * kMaxDetailScale : reach;
}

void Airplane::draw(const DrawView& view, DrawPass pass)
{
    if (!m_model || pass != DrawPass::Opaque)
        return;
    ModelPaint paint = currentPaint();
    // Smoke leaves soot, fire more, a falling wreck is black with it.
    const float soot = lifeState() != LifeState::Alive ? 0.65f : 0.16f * static_cast<float>(m_damageLevel);
    const auto shade = static_cast<std::uint8_t>(255.0f * (1.0f - soot));
    paint.tint = Color4{shade, shade, shade, 255};

    Mat4 world = m_matrix;
    if (markerDetails()) {
        const float distance = vec3Length(m_position - view.eye);
        if (distance > kDetailDistance) {
            const float scale = std::min(distance / kDetailDistance, kMaxDetailScale);
            world = mat4ScaledCopy(world, scale, scale, scale);
        }
    }
    ModelDrawOptions options;
    options.paint = &paint;
    options.turnedNode = m_model->nodeIndex("propeller");
    options.turn = spin(m_propellerAngle);
    drawModel(m_model->model(), world, options);
    drawEffects();
}

void Airplane::drawHeatDistortion(const DrawView&)
{
    if (!m_model || lifeState() != LifeState::Alive)
        return;
    const int jet = m_model->nodeIndex("jet");
    Graphics* device = graphics();
    if (jet < 0 || !device)
        return;
    // The exhaust's shimmer grows with the throttle; boost doubles it.
    const float strength = 0.01f * (0.5f + std::max(m_body.throttle, 0.0f)) * (isBoosting() ? 2.0f : 1.0f);
    const Mat4 saved = device->worldMatrix();
    device->setWorldMatrix(mat4Multiply(m_matrix, m_model->model().node(static_cast<std::size_t>(jet))->matrix));
    drawModelNodeDistortion(m_model->model(), jet, strength);
    device->setWorldMatrix(saved);
}

void Airplane::drawParts(const DrawView&)
{
    if (!m_model || !isActive())
        return;
    const ModelPaint paint = currentPaint();
    const Model& model = m_model->model();
    int skipped[8];
    std::size_t count = 0;
    for (std::size_t i = 0; i < model.nodeCount() && count < std::size(skipped); ++i)
        if (insideCockpit(model.node(i)->name))
            skipped[count++] = static_cast<int>(i);
    ModelDrawOptions options;
    options.paint = &paint;
    options.turnedNode = m_model->nodeIndex("propeller");
    options.turn = spin(m_propellerAngle);
    options.skippedNodes = std::span<const int>(skipped, count);
    drawModel(model, m_matrix, options);
}
