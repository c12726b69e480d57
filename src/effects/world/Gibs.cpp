#include "effects/world/Gibs.h"

#include "effects/EffectList.h"
#include "effects/EffectScene.h"
#include "effects/particles/PConfig.h"
#include "effects/particles/PSystem.h"
#include "platform/Log.h"
#include "platform/Random.h"
#include "render/Graphics.h"
#include "render/assets/Model.h"
#include "render/assets/ModelBuffers.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {
constexpr std::size_t kMaxNameLength = 63;
constexpr float kLife = 5.0f;

Vec3 randomSigned(float lo, float hi)
{
    const float x = randRangeSigned(lo, hi);
    const float y = randRangeSigned(lo, hi);
    return {x, y, randRangeSigned(lo, hi)};
}

// A particle system at p, linked; sizeRatio scales the description's size.
PSystem* spawnAt(const char* name, const Vec3& p, const Vec3& direction, float sizeRatio)
{
    const PConfig* config = getParticleConfig(name);
    if (!config || !config->loaded)
        return nullptr;
    auto* s = new PSystem(config, direction);
    s->sizeFactor = config->sizeScale * sizeRatio / 128.0f;
    s->setPosition(p.x, p.y, p.z);
    addEffect(s);
    return s;
}

}  // namespace

std::string Gibs::modelName(std::string_view fileName, bool useGibsModel)
{
    const std::size_t slash = fileName.find_last_of("/\\");
    std::string_view base = slash == std::string_view::npos ? fileName : fileName.substr(slash + 1);
    base = base.substr(0, base.find('.'));
    std::string name(base);
    if (name.empty())
        return {};
    if (useGibsModel) {
        const std::size_t ful = name.find("_ful");
        if (ful != std::string::npos)
            name.resize(ful);
        name += "_gibs";
    }
    // A name too long for the model table is a model that is not there.
    if (name.empty() || name.size() > kMaxNameLength)
        return {};
    return name;
}

Gibs* Gibs::create(std::string_view fileName, GibsKind kind, bool useGibsModel)
{
    const std::string name = modelName(fileName, useGibsModel);
    if (name.empty()) {
        logWarning("effects", "wreck: no gibs model name for '%.*s'", static_cast<int>(fileName.size()), fileName.data());
        return nullptr;
    }
    const Model* model = loadModel("data/models/" + name + ".glm", kModelKeepCpuData);
    if (!model)
        return nullptr;
    return createWith(model, kind);
}

Gibs* Gibs::createWith(const Model* model, GibsKind kind)
{
    if (!model)
        return nullptr;
    switch (kind) {
    case GibsKind::PlaneAir: return new PlaneAirGibs(model);
    case GibsKind::PlaneGround: return new PlaneGroundGibs(model);
    case GibsKind::Vehicle: return new VehicleGibs(model);
    case GibsKind::Ship: return new ShipGibs(model);
    case GibsKind::Plain: break;
    }
    return new Gibs(model);
}

Gibs::Gibs(const Model* m) : model(m)
{
    id = takeId();
    pieces.resize(model ? model->nodeCount() : 0);
}

Gibs::~Gibs()
{
    if (age >= 0.0f)
        logInfo("effects", "wreck %d ended after %.1f s", id, age);
}

Mat4* Gibs::getTransform(Mat4* out)
{
    *out = matrix;
    return out;
}

bool Gibs::pieceMoves(std::size_t i) const
{
    const Model::Node* node = model ? model->node(i) : nullptr;
    return node && !node->isHelper();
}

void Gibs::startPieces(const Mat4& m, const Vec3& launch)
{
    matrix = m;
    baseVelocity = launch;
    for (std::size_t i = 0; i < pieces.size(); ++i) {
        Piece& p = pieces[i];
        p.attached = false;
        p.matrix = mat4Multiply(matrix, model->node(i)->matrix);
        p.spin = randomSigned(5.0f, 15.0f);
        p.velocity = baseVelocity + randomSigned(15.0f, 50.0f);
    }
    age = 0.0f;
}

void Gibs::start(const Mat4& m, const Vec3& a, const Vec3&, int)
{
    startPieces(m, a);
}

void Gibs::update(float dt)
{
    if (age < 0.0f)
        return;
    key = vec3DistanceSq(position(), effectScene().cameraPosition);
    age += dt;
    alive = age < kLife;
    for (std::size_t i = 0; i < pieces.size(); ++i) {
        if (!pieceMoves(i))
            continue;
        Piece& p = pieces[i];
        if (p.attached) {
            p.matrix = mat4Multiply(matrix, model->node(i)->matrix);
            continue;
        }
        mat4RotateX(p.matrix, p.spin.x * dt);
        mat4RotateY(p.matrix, p.spin.y * dt);
        mat4RotateZ(p.matrix, p.spin.z * dt);
        p.matrix.m[12] += p.velocity.x * dt;
        p.matrix.m[13] += p.velocity.y * dt;
        p.matrix.m[14] += p.velocity.z * dt;
        p.velocity.y += gravity * dt;
    }
}

void Gibs::drawModel()
{
    Graphics* g = graphics();
    if (!g || !model || age < 0.0f || !model->isUploaded())
        return;
    setLitModelState(model->firstTexture());
    // A piece's matrix already holds its node's own placement.
    for (std::size_t i = 0; i < pieces.size(); ++i) {
        if (!pieceMoves(i))
            continue;
        g->setWorldMatrix(pieces[i].matrix);
        drawModelNode(*model, static_cast<int>(i));
    }
}

void ShipGibs::drawModelVariant()
{
    Graphics* g = graphics();
    if (!g || !model || age < 0.0f || !model->isUploaded())
        return;
    for (std::size_t i = 0; i < pieces.size(); ++i) {
        if (!pieceMoves(i))
            continue;
        g->setWorldMatrix(pieces[i].matrix);
        drawModelNodeDistortion(*model, static_cast<int>(i), kHeatShimmer);
    }
}

void VehicleGibs::start(const Mat4& m, const Vec3& a, const Vec3&, int)
{
    startPieces(m, a * 0.25f);
}

void PlaneGroundGibs::start(const Mat4& m, const Vec3& a, const Vec3& b, int surface)
{
    startPieces(m, b * 0.25f);
    const Vec3 normal = vec3NormalizeOr(a, {0.0f, 1.0f, 0.0f});
    spawnAt(surface == 1 ? "plane_explode_ground.psc" : "plane_explode_building.psc", position(), normal, 1.0f);
}

namespace {
WreckCounts s_counts;
}

const WreckCounts& wreckCounts() { return s_counts; }

Gibs* startWreck(std::string_view modelFile, GibsKind kind, const Mat4& m, const Vec3& a, const Vec3& b, int surface,
                 int viewerRole)
{
    ++s_counts.requested;
    s_counts.lastKind = kind;
    s_counts.lastPosition = Vec3{m.m[12], m.m[13], m.m[14]};
    Gibs* wreck = Gibs::create(modelFile, kind, true);
    if (!wreck)
        return nullptr;
    ++s_counts.made;
    if (kind == GibsKind::PlaneAir)
        static_cast<PlaneAirGibs*>(wreck)->viewerRole = viewerRole;
    wreck->start(m, a, b, surface);
    addEffect(wreck);
    logInfo("effects", "wreck %d of '%s' (kind %d) at %.2f s", wreck->id, wreck->model->name().c_str(),
            static_cast<int>(kind), effectScene().time);
    return wreck;
}
