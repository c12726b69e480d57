#include "effects/particles/PSystem.h"

#include "effects/EffectList.h"
#include "effects/EffectScene.h"
#include "effects/particles/PConfig.h"
#include "effects/particles/ParticleBatches.h"
#include "effects/screen/ScreenSplats.h"
#include "platform/Random.h"
#include "render/fx/ParticleSprites.h"
#include "sound/Sound.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>

namespace {
constexpr float kDegrees = kPi / 180.0f;
constexpr float kSplatKey = 5625.0f;      // 75 units, squared
constexpr float kPrewarmStep = 0.2f;
constexpr float kMinAspect = 0.01f;
constexpr float kSortDeadBand = 20.0f;
constexpr float kSoundMinDistance = 400.0f, kSoundMaxDistance = 4000.0f;
// Descriptions are data: a pre-warm or an emission rate beyond these would
// only stall the frame, never show more.
constexpr float kMaxTimeSkip = 60.0f;
constexpr int kMaxStepsPerUpdate = 600;

struct Pool {
    std::array<Particle, kParticlePoolSize> records;
    Particle* free = nullptr;
    int live = 0;
    Pool()
    {
        for (int i = kParticlePoolSize - 1; i >= 0; --i) {
            records[static_cast<std::size_t>(i)].next = free;
            free = &records[static_cast<std::size_t>(i)];
        }
    }
};

Pool& pool()
{
    static Pool* all = new Pool;
    return *all;
}

Particle* takeParticle()
{
    Pool& p = pool();
    Particle* record = p.free;
    if (!record)
        return nullptr;
    p.free = record->next;
    ++p.live;
    *record = Particle{};
    return record;
}

void returnParticle(Particle* record)
{
    Pool& p = pool();
    record->alive = false;
    record->next = p.free;
    p.free = record;
    --p.live;
}

float lerp(float a, float b, float t)
{
    return a + (b - a) * t;
}

// A value in [min, max] when max > min, else min.
float rollRange(float min, float max)
{
    return max > min ? randRange(min, max) : min;
}

// Random integer between a and b inclusive, either order.
int randBetween(int a, int b)
{
    if (a > b)
        std::swap(a, b);
    const long long span = static_cast<long long>(b) - a + 1;
    if (span <= 1)
        return a;
    if (span > std::numeric_limits<int>::max())
        return a + static_cast<int>(randU32() % static_cast<std::uint32_t>(std::numeric_limits<int>::max()));
    return a + randModulo(static_cast<int>(span));
}

// The stage's values over `previous`: an unset Min keeps the previous value.
void rollStage(const PStage& stage, Particle::StageValues& out, const Particle::StageValues& previous)
{
    out = previous;
    if (stage.sizeMin >= kUnsetBelow)
        out.size = rollRange(stage.sizeMin, stage.sizeMax);
    if (stage.aspectMin >= kUnsetBelow)
        out.aspect = std::max(rollRange(stage.aspectMin, stage.aspectMax), kMinAspect);
    if (stage.speedMin >= kUnsetBelow)
        out.speed = rollRange(stage.speedMin, stage.speedMax);
    if (stage.rotSpeedMin >= kUnsetBelow)
        out.rotSpeed = rollRange(stage.rotSpeedMin, stage.rotSpeedMax) * kDegrees;
    out.color = Color4::lerp(stage.colorMin, stage.colorMax, rand01());
}

// 1 / the segment's duration; below 0 for a segment that lasts no time.
float segmentInvLife(const PStage& stage)
{
    if (stage.lifeMin < kUnsetBelow)
        return -1.0f;
    const float life = rollRange(stage.lifeMin, stage.lifeMax);
    return life > 0.0f && std::isfinite(life) ? 1.0f / life : -1.0f;
}

bool nonZero(const Vec3& v)
{
    return v.x != 0.0f || v.y != 0.0f || v.z != 0.0f;
}

float particleSize(const Particle& p)
{
    return lerp(p.current.size, p.nextValues.size, p.t);
}

float particleAspect(const Particle& p)
{
    return std::max(lerp(p.current.aspect, p.nextValues.aspect, p.t), kMinAspect);
}

std::uint8_t scaleByte(std::uint8_t value, float factor)
{
    return static_cast<std::uint8_t>(std::clamp(std::lround(static_cast<float>(value) * factor), 0L, 255L));
}
}  // namespace

int liveParticleCount()
{
    return pool().live;
}

PSystem::PSystem(const PConfig* cfg, const Vec3& dir) : config(cfg), direction(dir)
{
    id = takeId();
    orientation = emitterMatrix(direction);
    groupStates.resize(static_cast<std::size_t>(config->groupCount()));
    for (int i = 0; i < config->groupCount(); ++i) {
        const PGroup& group = *config->groups.at(i);
        GroupState& state = groupStates[static_cast<std::size_t>(i)];
        state.enabled = group.enabled;
        state.remaining = group.countMin < kUnsetBelow ? 0 : group.countMin;
        if (group.countMin < group.countMax)
            state.remaining = randBetween(group.countMin, group.countMax);
        state.timer = group.spawnInterval - group.spawnDelay;
    }
    timeSkip = config->timeSkip;
    soundDelay = config->soundDelay;
    sizeFactor = config->sizeScale / 128.0f;
    timeScale = config->timeScale;
}

PSystem::~PSystem()
{
    if (parent)
        parent->systemGone(this);
    while (particles) {
        Particle* record = particles;
        particles = record->next;
        returnParticle(record);
    }
}

void PSystem::setPosition(float x, float y, float z)
{
    position = {x, y, z};
    key = vec3DistanceSq(position, effectScene().cameraPosition);
}

void PSystem::stop()
{
    emitTimer = -1.0f;
    emitting = true;
    for (GroupState& state : groupStates)
        state.remaining = 0;
}

void PSystem::ownerGone(PSystemParent* owner)
{
    if (!owner || owner != parent)
        return;
    stop();
    parent = nullptr;
    offset = {0.0f, 0.0f, 0.0f};
    localDirection = {0.0f, 1.0f, 0.0f};
    carryParticles = false;
}

int PSystem::particleCount() const
{
    int n = 0;
    for (const Particle* p = particles; p; p = p->next)
        ++n;
    return n;
}

void PSystem::update(float dt)
{
    const Vec3 oldPosition = position;
    if (emitTimer > 0.0f) {
        if (dt <= emitTimer) {
            emitTimer -= dt;
        } else {
            emitting = false;
            emitTimer = -1.0f;
        }
    }
    if (followsParent())
        followOwner(oldPosition);
    if (position.y < 0.0f && stopBelowZero)
        stop();
    key = vec3DistanceSq(position, effectScene().cameraPosition);
    decideSplats();

    // A frame without time runs no step and leaves alive as it was.
    const bool wasAlive = alive;
    float remaining = dt, step = dt;
    if (timeSkip > 0.0f) {
        remaining = std::min(timeSkip, kMaxTimeSkip);
        step = kPrewarmStep;
        timeSkip = 0.0f;
    }
    if (!(remaining > 0.0f) || !std::isfinite(remaining)) {
        alive = wasAlive || !emitting;
        finishFrame();
        return;
    }
    alive = !emitting;
    // A thousandth of a step left over is rounding, not another step: a pre-warm
    // of 1 s is five steps of 0.2 s.
    for (int steps = 0; remaining > step * 0.001f && steps < kMaxStepsPerUpdate; ++steps) {
        if (emitting)
            emitGroups(step, oldPosition);
        stepParticles(step);
        remaining -= step;
        playSound(step);
    }
    finishFrame();
}

void PSystem::followOwner(const Vec3& oldPosition)
{
    parent->getTransform(&parentMatrix);
    position = mat4TransformPoint(parentMatrix, offset);
    direction = rotateVector3x3(parentMatrix, localDirection);
    orientation = emitterMatrix(direction);
    if (!carryParticles)
        return;
    const Vec3 moved = position - oldPosition;
    for (Particle* p = particles; p; p = p->next) {
        p->position = p->position + moved;
        if (p->group->inheritFixedParent) {
            Vec3 d = direction;
            p->direction = vec3Normalize(d);
        }
    }
}

void PSystem::decideSplats()
{
    if (!(key < kSplatKey) || splatsDone)
        return;
    splatsDone = true;
    if (rand01() < config->debrisSparks)
        ScreenSplats::spawn(32, ScreenSplats::kSparks, 0.0f);
    if (rand01() < config->debrisOil)
        ScreenSplats::spawn(32, ScreenSplats::kOil, 0.0f);
}

void PSystem::emitGroups(float step, const Vec3& oldPosition)
{
    for (int i = 0; i < config->groupCount() && i < static_cast<int>(groupStates.size()); ++i) {
        const PGroup& group = *config->groups.at(i);
        GroupState& state = groupStates[static_cast<std::size_t>(i)];
        if (!state.enabled || group.stageCount() < 1 || !(state.remaining > 0 || state.remaining == -1))
            continue;
        alive = true;
        const float interval = group.spawnInterval;
        if (!(interval > 0.0f)) {
            // One a step; an unlimited group without an interval emits nothing.
            if (state.timer >= 0.0f && state.remaining > 0) {
                emit(i, position, 255, nullptr, particles);
                --state.remaining;
            }
        } else {
            const float n = std::floor(state.timer / interval);
            int k = 0;
            while (state.timer >= interval && (state.remaining > 0 || state.remaining == -1)) {
                if (k >= kParticlePoolSize) {
                    // More than the pool holds in one step: the rest could not show anyway.
                    state.timer = std::fmod(state.timer, interval);
                    break;
                }
                state.timer -= interval;
                Vec3 at = position;
                if (k > 0 && !carryParticles && followsParent())
                    at = oldPosition + (position - oldPosition) * (static_cast<float>(k) / n);
                emit(i, at, 255, nullptr, particles);
                ++k;
                if (state.remaining > 0)
                    --state.remaining;
            }
        }
        state.timer += step;
    }
}

void PSystem::emit(int g, const Vec3& p, std::uint8_t alpha, const Vec3* inherited, Particle*& list)
{
    if (g < 0 || g >= config->groupCount() || g >= static_cast<int>(groupStates.size()))
        return;
    const PGroup& group = *config->groups.at(g);
    if (group.stageCount() < 1)
        return;   // nothing to live through: children of a stage-less group too
    GroupState& state = groupStates[static_cast<std::size_t>(g)];
    if (group.priority < 1.0f && effectQualityTier() < 2) {
        state.thinning += group.priority;
        if (state.thinning < 1.0f)
            return;
        state.thinning -= 1.0f;
    }
    Particle* record = takeParticle();
    if (!record)
        return;
    record->next = list;
    list = record;
    record->system = this;
    record->group = &group;
    record->alive = true;

    const float theta = randRange(group.angleMin, group.angleMax) * kDegrees;
    const float phi = rand01() * 2.0f * kPi;
    const Vec3 l{std::cos(phi) * std::sin(theta), std::cos(theta), std::sin(phi) * std::sin(theta)};
    const Vec3 o = Vec3{rollRange(group.posMin.x, group.posMax.x), rollRange(group.posMin.y, group.posMax.y),
                        rollRange(group.posMin.z, group.posMax.z)} *
                   sizeFactor;
    if (inherited) {
        Vec3 d = l - *inherited;
        record->direction = vec3Normalize(d);
    } else {
        record->direction = rotateVector3x3(nonZero(group.emitDir) ? group.emitter : orientation, l);
    }
    record->position = p + (followsParent() ? mat4TransformPoint(parentMatrix, o) : rotateVector3x3(orientation, o));
    record->rotation = rollRange(group.rotStartMin, group.rotStartMax) * kDegrees;
    record->fade = fade;
    record->stage = 0;
    rollStage(group.stage(0), record->current, Particle::StageValues{});
    if (group.stageCount() >= 2)
        rollStage(group.stage(1), record->nextValues, record->current);
    else
        record->nextValues = record->current;
    record->invLife = segmentInvLife(group.stage(0));
    record->animId = randBetween(group.animIdMin, group.animIdMax);
    record->alpha = alpha;
}

void PSystem::stepParticles(float step)
{
    const float ds = step * timeScale;
    Particle* children = nullptr;
    Particle** link = &particles;
    while (Particle* p = *link) {
        const PGroup& group = *p->group;
        const int stages = group.stageCount();
        p->t = p->invLife < 0.0f ? 1.0f : p->t + ds * p->invLife;
        p->age += ds;
        if (group.animTime > 0.0f) {
            p->animPhase += ds / group.animTime;
            p->animPhase -= std::floor(p->animPhase);
        }
        if (p->t >= 1.0f) {
            ++p->stage;
            if (p->stage + 1 >= stages) {
                p->alive = false;
            } else {
                p->current = p->nextValues;
                rollStage(group.stage(p->stage + 1), p->nextValues, p->current);
                p->invLife = segmentInvLife(group.stage(p->stage));
                p->t = 0.0f;
            }
        }
        if (p->alive) {
            const float speed = lerp(p->current.speed, p->nextValues.speed, p->t);
            p->position = p->position + p->direction * (speed * ds * sizeFactor);
            p->position = p->position + group.gravity * (p->age * p->age * 0.5f * sizeFactor);
            p->rotation += ds * lerp(p->current.rotSpeed, p->nextValues.rotSpeed, p->t);
            p->childTimer += ds;
            const float threshold = p->stage + 1 < stages
                                        ? lerp(group.stage(p->stage).childTime, group.stage(p->stage + 1).childTime, p->t)
                                        : group.stage(p->stage).childTime;
            p->childDue = p->childTimer >= threshold;
            if (p->childDue)
                p->childTimer -= threshold;
            if (p->childDue)
                emitChildren(*p, children);
        }
        if (!p->alive) {
            *link = p->next;
            returnParticle(p);
        } else {
            alive = true;
            link = &p->next;
        }
    }
    // Children join the head after the walk, so none is stepped before its first frame.
    while (children) {
        Particle* child = children;
        children = child->next;
        child->next = particles;
        particles = child;
        alive = true;
    }
}

void PSystem::emitChildren(Particle& source, Particle*& list)
{
    const PGroup& group = *source.group;
    const int stages = group.stageCount();
    const float f = source.stage + 1 >= stages - 1 ? std::min(source.t, 1.0f) : 0.0f;
    const int targets[2] = {group.childGrp, group.childGrp2};
    const int limits[2] = {group.maxChildCountGrp1, group.maxChildCountGrp2};
    int* counts[2] = {&source.childCount1, &source.childCount2};
    for (int k = 0; k < 2; ++k) {
        const int g = targets[k];
        if (g < 0 || g >= config->groupCount())
            continue;
        if (limits[k] > 0 && *counts[k] >= limits[k])
            continue;
        const PGroup& child = *config->groups.at(g);
        std::uint8_t alpha = 255;
        if (child.capAlpha) {
            const float base = k == 0 ? static_cast<float>(source.alpha) : 255.0f;
            alpha = static_cast<std::uint8_t>(std::clamp(std::lround((1.0f - f) * base), 0L, 255L));
        }
        emit(g, source.position, alpha, child.inheritDirection ? &source.direction : nullptr, list);
        ++*counts[k];
    }
}

void PSystem::playSound(float step)
{
    // The step that runs the delay out plays it, also when the delay is a
    // whole number of steps (0.05 s at 20 frames a second); a delay of 0
    // means no sound.
    if (soundDelay > 0.0f && soundDelay <= step && config->soundID >= 0 && Sound::isStarted()) {
        if (SoundData* sound = soundTable().explosion(config->soundID)) {
            if (SoundSourceBuffered* source = Sound::createSource3D(sound, position))
                source->setMinMaxDistance(kSoundMinDistance, kSoundMaxDistance);
        }
    }
    soundDelay -= step;
}

void PSystem::finishFrame()
{
    const EffectScene& scene = effectScene();
    Vec3 boxMin{1.0e30f, 1.0e30f, 1.0e30f}, boxMax{-1.0e30f, -1.0e30f, -1.0e30f};
    int count = 0;
    for (Particle* p = particles; p; p = p->next) {
        // Half the quad's side is its size (the drawn one), so the corner reach is s x 1.41.
        const float s = particleSize(*p) * sizeFactor;
        const float r = particleAspect(*p);
        const float radius = r >= 0.95f && r <= 1.05f ? s * 1.41f : std::sqrt(r * s * s + s * s / r);
        aabbAddSphere(boxMin, boxMax, p->position, std::fabs(radius));
        p->key = vec3DistanceSq(p->position, scene.cameraPosition);
        ++count;
    }
    if (count == 0) {
        visible = false;
        return;
    }
    const Vec3 centre = (boxMin + boxMax) * 0.5f, half = (boxMax - boxMin) * 0.5f;
    visible = !scene.hasFrustum || boxInFrustum(scene.camera, centre, half);
    if (!visible)
        return;
    effectScene().visibleParticles += count;
    sortParticles();
}

void PSystem::sortParticles()
{
    // Bubble passes up to the last swap of the pass before; the list is
    // nearly sorted from frame to frame.
    Particle* end = nullptr;
    while (particles && particles->next != end) {
        Particle* lastSwap = nullptr;
        Particle** link = &particles;
        while ((*link)->next != end) {
            Particle* a = *link;
            Particle* b = a->next;
            const float pa = a->group->priority, pb = b->group->priority;
            if (pb < pa || (pb == pa && b->key - a->key > kSortDeadBand)) {
                a->next = b->next;
                b->next = a;
                *link = b;
                lastSwap = a;
                link = &b->next;
            } else {
                link = &a->next;
            }
        }
        if (!lastSwap)
            break;
        end = lastSwap;
    }
}

void PSystem::draw(int pass)
{
    const EffectScene& scene = effectScene();
    if (key > scene.viewDistanceSq)
        return;
    if (pass == 0 ? !drawLate : (drawLate || (pass == 1) != (key <= kNearEffectKey)))
        return;
    ParticleSpriteBatch* batch = particleBatch(pass);
    const ParticleAtlas* atlas = particleAtlas();
    if (!batch || !atlas)
        return;
    const int animations = static_cast<int>(atlas->animations.size());
    if (animations == 0)
        return;
    for (const Particle* p = particles; p; p = p->next) {
        const PGroup& group = *p->group;
        Vec3 a = scene.cameraRight, b = scene.cameraUp;
        switch (group.type) {
        case 1:   // along the system's direction, turned to the camera
            a = direction;
            vec3Normalize(a);
            b = vec3CrossB(a, scene.cameraForward);
            vec3Normalize(b);
            break;
        case 2: {   // flat across the system's direction
            Vec3 d = direction;
            vec3Normalize(d);
            const Vec3 aux = d.y > 0.5f ? Vec3{-1.0f, 0.0f, 0.0f} : Vec3{0.0f, 1.0f, 0.0f};
            a = vec3CrossB(d, aux);
            vec3Normalize(a);
            b = vec3CrossB(d, a);
            vec3Normalize(b);
            break;
        }
        case 3: {   // lying on the ground along the particle's course
            a = {p->direction.x, 0.0f, p->direction.z};
            if (vec3Dot(a, a) < 1.0e-8f)
                a = {1.0f, 0.0f, 0.0f};
            vec3Normalize(a);
            b = {-a.z, 0.0f, a.x};
            break;
        }
        default:
            break;
        }
        const float c = std::cos(p->rotation), s = std::sin(p->rotation);
        const Vec3 ra = a * c + b * s, rb = b * c - a * s;
        const float size = particleSize(*p) * sizeFactor;
        const float root = std::sqrt(particleAspect(*p));
        const Vec3 axisX = ra * (size * root), axisY = rb * (size / root);

        Color4 color = Color4::lerp(p->current.color, p->nextValues.color, p->t);
        if (p->alpha != 255) {
            color.r = std::min(color.r, p->alpha);
            color.g = std::min(color.g, p->alpha);
            color.b = std::min(color.b, p->alpha);
            color.a = std::min(color.a, p->alpha);
        }
        color.a = scaleByte(color.a, p->fade);
        const int stageIndex = std::clamp(p->stage, 0, group.stageCount() - 1);
        const float alphaShare = static_cast<float>(color.a) / 255.0f;
        switch (group.stage(stageIndex).blend) {
        case 0:
            color.a = 0;
            break;
        case 1:
            color = {scaleByte(color.r, alphaShare), scaleByte(color.g, alphaShare), scaleByte(color.b, alphaShare), 0};
            break;
        case 3:
            color = {scaleByte(color.r, alphaShare), scaleByte(color.g, alphaShare), scaleByte(color.b, alphaShare),
                     color.a};
            break;
        default:
            break;
        }
        const int animation = std::clamp(p->animId, 0, animations - 1);
        const int frames = atlas->frameCount(animation);
        if (frames < 1)
            continue;
        float phase = std::floor(p->animPhase * static_cast<float>(frames));
        if (!(phase >= 0.0f))
            phase = 0.0f;
        const int frame = static_cast<int>(std::min(phase, static_cast<float>(frames - 1)));
        batch->add(p->position, axisX, axisY, color, animation, frame, group.animLightMap);
    }
}
