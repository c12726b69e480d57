// The wrecks that move on their own: an aircraft hit in the air flies on,
// tumbles, burns and blows apart; a ship drifts, heels over and sinks.
#include "effects/world/Gibs.h"

#include "effects/AircraftFx.h"
#include "effects/EffectList.h"
#include "effects/EffectScene.h"
#include "effects/particles/PConfig.h"
#include "effects/particles/PSystem.h"
#include "platform/Log.h"
#include "platform/Random.h"
#include "render/assets/Model.h"
#include "sound/Sound.h"
#include "sound/SoundSource.h"
#include "sound/SoundTable.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {
Vec3 axisZ(const Mat4& m) { return {m.m[8], m.m[9], m.m[10]}; }
Vec3 translation(const Mat4& m) { return {m.m[12], m.m[13], m.m[14]}; }

Vec3 randomSigned(float lo, float hi)
{
    const float x = randRangeSigned(lo, hi);
    const float y = randRangeSigned(lo, hi);
    return {x, y, randRangeSigned(lo, hi)};
}

Vec3 randomBox(float lo, float hi)
{
    const float x = randRange(lo, hi);
    const float y = randRange(lo, hi);
    return {x, y, randRange(lo, hi)};
}

PSystem* makeSystem(const char* name, const Vec3& direction, float sizeRatio)
{
    const PConfig* config = getParticleConfig(name);
    if (!config || !config->loaded)
        return nullptr;
    auto* s = new PSystem(config, direction);
    s->sizeFactor = config->sizeScale * sizeRatio / 128.0f;
    return s;
}

void place(PSystem* s, const Vec3& p)
{
    if (!s)
        return;
    s->setPosition(p.x, p.y, p.z);
    addEffect(s);
}

float groundUnder(const Vec3& p, Vec3& normal)
{
    normal = {0.0f, 1.0f, 0.0f};
    float h = 0.0f;
    const IEffectGround* ground = effectScene().ground;
    if (!ground || !ground->groundAt(p.x, p.z, h, normal) || h <= 0.0f) {
        normal = {0.0f, 1.0f, 0.0f};
        return 0.0f;
    }
    return h;
}

void playShipSound(SoundName name, const Vec3& at)
{
    if (SoundSourceBuffered* s = Sound::createSource3D(soundTable()[name], at))
        s->setMinMaxDistance(800.0f, 6000.0f);
}
}  // namespace

// ---- an aircraft hit in the air ----

void PlaneAirGibs::start(const Mat4& m, const Vec3& a, const Vec3& b, int)
{
    startPieces(m, b);
    speed = vec3Length(a);
    m_sizeRoot = std::min(std::sqrt(vec3Length(axisZ(m))), 2.0f);
    fire = makeSystem("plane_burn_air.psc", {0.0f, 1.0f, 0.0f}, m_sizeRoot);
    if (fire) {
        fire->parent = this;
        fire->offset = {};
        fire->localDirection = {0.0f, 0.0f, 1.0f};
        fire->carryParticles = false;
        place(fire, position());
    }
    fallTime = randRange(1.5f, 3.0f);
    pitchRate = randRange(-1.5f, 1.5f);
    rollRate = randRange(-3.5f, 3.5f);
    for (std::size_t i = 0; i < pieces.size(); ++i) {
        Piece& p = pieces[i];
        p.attached = true;
        const Model::Node* node = model->node(i);
        const float keep = node && node->name.rfind("body", 0) == 0 ? 0.1f : 0.9f;
        if (rand01() > keep) {
            p.detachTime = randRange(fallTime / 3.0f, fallTime);
            p.velocity = {randRange(-50.0f, 50.0f), randRange(-50.0f, 50.0f), randRange(-50.0f, 50.0f)};
        } else {
            p.detachTime = fallTime;
            p.velocity = {randRange(-150.0f, 150.0f), randRange(-150.0f, 150.0f), randRange(-150.0f, 150.0f)};
        }
    }
    cameraPoint = position();
}

PlaneAirGibs::~PlaneAirGibs()
{
    // A camera still following the wreck must not keep a dangling point.
    IPoolCamera* camera = poolCamera();
    if (camera && viewerRole == 3 && camera->followsPoint(&cameraPoint))
        camera->followPoint(nullptr);
    if (camera)
        camera->systemGone(&cameraPoint);
}

void PlaneAirGibs::systemGone(PSystem* system)
{
    if (system == fire)
        fire = nullptr;
}

void PlaneAirGibs::explode(float ground, const Vec3& normal)
{
    const Vec3 p = position();
    if (p.y >= ground)
        place(makeSystem("plane_explode_air.psc", -vec3NormalizeOr(axisZ(matrix), {0.0f, 0.0f, 1.0f}), m_sizeRoot), p);
    else if (ground > 1.0f)
        place(makeSystem("plane_explode_ground.psc", normal, m_sizeRoot), p);
    else
        place(makeSystem("plane_explode_water.psc", {0.0f, 1.0f, 0.0f}, m_sizeRoot), p);
}

void PlaneAirGibs::update(float dt)
{
    if (age < 0.0f)
        return;
    const Vec3 z = vec3NormalizeOr(axisZ(matrix), {0.0f, 0.0f, 1.0f});
    if (fallTime > 0.0f) {
        matrix.m[12] -= z.x * speed * dt;
        matrix.m[13] -= z.y * speed * dt;
        matrix.m[14] -= z.z * speed * dt;
        mat4RotateX(matrix, pitchRate * dt);
        mat4RotateZ(matrix, rollRate * dt);
    }
    for (std::size_t i = 0; i < pieces.size(); ++i) {
        if (!pieceMoves(i))
            continue;
        Piece& p = pieces[i];
        if (p.detachTime > 0.0f && p.detachTime < dt) {
            p.attached = false;
            p.velocity = p.velocity - z * (speed * 0.6f);
        }
        p.detachTime -= dt;
    }
    Gibs::update(dt);
    fallTime -= dt;
    Vec3 normal;
    const float h = groundUnder(position(), normal);
    if (position().y < h && fallTime > 0.0f) {
        fallTime = -0.1f;
        for (Piece& p : pieces)
            if (p.attached && p.detachTime > 0.0f)
                p.detachTime = 0.001f;
    }
    if (fallTime < 0.0f) {
        if (fire) {
            fire->stop();
            fire = nullptr;
        }
        // Its own once-flag: a wreck whose fire never loaded still explodes.
        if (!exploded) {
            exploded = true;
            explode(h, normal);
        }
    }
    alive = fallTime > -6.0f;
    cameraPoint = position();
    if (!cameraDone) {
        cameraDone = true;
        if (IPoolCamera* camera = poolCamera()) {
            if (viewerRole == 2) {
                camera->lookAtPoint(&cameraPoint, 200.0f, 1.5707964f, 3.0f, 0, 1.0f);
                logInfo("effects", "wreck %d watched by the camera", id);
            }
            else if (viewerRole == 3)
                camera->followPoint(&cameraPoint);
        }
    }
}

// ---- a ship ----

int ShipGibs::sinkCount(float size, float scale)
{
    if (!(scale > 0.0f))
        scale = 1.0f;
    if (!(size > 0.0f))
        size = 1.0f;
    const float n = size / (scale * 200.0f) + 1.0f;
    return std::clamp(static_cast<int>(std::min(n, 1000.0f)), 1, kMaxSinkSystems);
}

float ShipGibs::sinkSpacing(float size, int count)
{
    return count > 1 ? size / static_cast<float>(count - 1) : 0.0f;
}

float ShipGibs::sizeMeasure() const
{
    const float s = model ? model->size() : 1.0f;
    return s > 0.0f ? s : 1.0f;
}

const char* ShipGibs::waveName() const
{
    const float s = sizeMeasure();
    return s > 800.0f ? "ship_carr_wave.psc" : s > 500.0f ? "ship_bttl_wave.psc" : "ship_boat_wave.psc";
}

void ShipGibs::start(const Mat4& m, const Vec3& a, const Vec3& b, int)
{
    startPieces(m, b);
    scale = b;
    if (!(scale.x > 0.0f))
        scale.x = 1.0f;
    speed = vec3Length(a);
    hull = m;
    sinkRate = randRange(15.0f, 25.0f);
    pitchRate = randRange(-0.05f, 0.05f);
    rollRate = randRange(-0.25f, 0.25f);
    pitch = roll = 0.0f;
    sinkTime = randRange(5.0f, 8.0f);
    const int n = static_cast<int>(pieces.size());
    std::vector<int> order(static_cast<std::size_t>(n));
    if (n > 0)
        randomPermutation(order.data(), n);
    int explosive = 3 + randModulo(5);
    bool anyExpl = false;
    for (int k = 0; k < n; ++k) {
        const int i = order[static_cast<std::size_t>(k)];
        Piece& p = pieces[static_cast<std::size_t>(i)];
        const Model::Node* node = model->node(static_cast<std::size_t>(i));
        p.attached = true;
        p.detachTime = 99999.0f;
        const float nodeSize = node && node->size > 0.0f ? node->size : 1.0f;
        const float kk = std::clamp(200.0f / nodeSize * scale.x + 1.0f, 2.0f, 10.0f);
        p.spin = randomSigned(kk, 2.0f * kk) * 0.3f;
        if (node && node->name.find("expl") != std::string::npos) {
            anyExpl = true;
            if (explosive-- > 0)
                p.detachTime = randRange(0.0f, sinkTime / 2.0f);
        }
    }
    pointCount = 0;
    if (!anyExpl) {
        const int count = std::clamp(static_cast<int>((rand01() * 0.7f + 0.3f) * 5.0f), 1, kMaxPoints);
        const Vec3 lo = model->boundsMin(), hi = model->boundsMax();
        for (int i = 0; i < count; ++i) {
            const Vec3 r = randomBox(0.0f, 1.0f);
            points[i].position = {lerpf(lo.x, hi.x, r.x) * scale.x, lerpf(lo.y, hi.y, r.y) * scale.y,
                                  lerpf(lo.z, hi.z, r.z) * scale.z};
            points[i].delay = randRange(0.0f, sinkTime / 6.0f);
        }
        pointCount = count;
    }
    playShipSound(SoundName::FxsExplWaterBig, position());
    playShipSound(SoundName::FxsExplShip, position());
}

void ShipGibs::moveHull(float dt)
{
    speed = std::max(speed - speed / 3.0f * dt, 0.0f);
    const Vec3 z = vec3NormalizeOr(axisZ(hull), {0.0f, 0.0f, 1.0f});
    hull.m[12] -= z.x * speed * dt;
    hull.m[13] -= z.y * speed * dt;
    hull.m[14] -= z.z * speed * dt;
    const float f = sinkTime > 0.0f ? std::max((3.5f - sinkTime) / 3.5f, 0.0f) : -sinkTime;
    if (roll >= -1.0471976f && roll < 1.0471976f) {
        mat4RotateZ(hull, rollRate * dt * f);
        roll += rollRate * dt * f;
    }
    if (pitch >= -0.31415927f && pitch < 0.31415927f) {
        mat4RotateX(hull, pitchRate * dt * f);
        pitch += pitchRate * dt * f;
    }
    if (sinkTime <= 0.0f)
        hull.m[13] -= sinkRate * dt * f;
    matrix = hull;
    if (rocking > 0.0f) {
        const float a = sizeMeasure() > scale.x * 400.0f ? 0.06f : 0.1f;
        mat4RotateZ(matrix, rocking * std::sin(phase) * a);
        mat4RotateX(matrix, rocking * std::sin(phase * 0.4321f) * a * 0.4f);
        phase += 3.0f * dt;
        rocking -= dt;
    }
}

void ShipGibs::detachPieces(float dt)
{
    const bool big = sizeMeasure() > 800.0f;
    for (std::size_t i = 0; i < pieces.size(); ++i) {
        if (!pieceMoves(i))
            continue;
        Piece& p = pieces[i];
        if (p.detachTime > 0.0f && p.detachTime < dt) {
            const Vec3 offset = translation(model->node(i)->matrix);
            if (PSystem* s = makeSystem("ship_explode_01.psc", {0.0f, 1.0f, 0.0f}, big ? 1.8f : 1.0f)) {
                s->parent = this;
                s->offset = offset;
                s->localDirection = {0.0f, 1.0f, 0.0f};
                s->stopBelowZero = true;
                place(s, mat4TransformPoint(matrix, offset));
            }
            p.attached = false;
            Vec3 v{randRangeSigned(200.0f, 350.0f), randRangeSigned(250.0f, 400.0f), randRangeSigned(200.0f, 350.0f)};
            v.y = std::fabs(v.y) * 0.125f;
            p.velocity = big ? v * 0.8f : v;
            if (PSystem* w = makeSystem(waveName(), {0.0f, 0.0f, 1.0f}, 1.0f)) {
                w->parent = this;
                w->offset = {0.0f, 1.0f, 0.0f};
                w->localDirection = {0.0f, 0.0f, 1.0f};
                place(w, position());
            }
            rocking = std::min(rocking + 1.0f, 3.0f);
        }
        p.detachTime -= dt;
    }
}

void ShipGibs::firePoints(float dt)
{
    for (int i = 0; i < pointCount; ++i) {
        Point& pt = points[i];
        if (pt.delay > 0.0f && pt.delay < dt) {
            if (PSystem* s = makeSystem("ship_explode_01.psc", {0.0f, 1.0f, 0.0f}, 1.0f)) {
                s->parent = this;
                s->offset = pt.position;
                s->localDirection = {0.0f, 1.0f, 0.0f};
                s->stopBelowZero = true;
                place(s, mat4TransformPoint(matrix, pt.position));
            }
            if (PSystem* w = makeSystem(waveName(), {0.0f, 0.0f, 1.0f}, 1.0f)) {
                w->parent = this;
                w->localDirection = {0.0f, 0.0f, 1.0f};
                place(w, position());
            }
            rocking += 1.0f;
        }
        pt.delay -= dt;
    }
}

void ShipGibs::sink()
{
    const float s = sizeMeasure();
    const int n = sinkCount(s, scale.x);
    const float spacing = sinkSpacing(s, n);
    const Vec3 z = vec3NormalizeOr(axisZ(hull), {0.0f, 0.0f, 1.0f});
    for (int i = 0; i < n; ++i) {
        const float along = (static_cast<float>(n - 1) / 2.0f - static_cast<float>(i)) * spacing;
        Vec3 p = position() + z * along;
        p.y = 0.5f;
        place(makeSystem("ship_sink_01.psc", {0.0f, 1.0f, 0.0f}, scale.x), p);
    }
}

void ShipGibs::update(float dt)
{
    if (age < 0.0f)
        return;
    const float sinkBefore = sinkTime;
    sinkTime -= dt;
    moveHull(dt);
    detachPieces(dt);
    firePoints(dt);
    std::vector<float> heights(pieces.size());
    for (std::size_t i = 0; i < pieces.size(); ++i)
        heights[i] = pieces[i].matrix.m[13];
    Gibs::update(dt);
    for (std::size_t i = 0; i < pieces.size(); ++i) {
        const Piece& p = pieces[i];
        if (!pieceMoves(i) || p.attached || !(heights[i] > 0.0f) || p.matrix.m[13] > 0.0f)
            continue;
        const float ratio = randRange(0.02f, 0.035f) * model->node(i)->size * 0.5f;
        place(makeSystem("ship_gibs_water.psc", {0.0f, 1.0f, 0.0f}, ratio), {p.matrix.m[12], 0.0f, p.matrix.m[14]});
    }
    if (sinkBefore > 0.0f && sinkBefore < dt)
        sink();
    alive = sinkTime > -15.0f;
}
