#include "effects/world/Parachute.h"

#include "effects/AircraftFx.h"
#include "effects/EffectScene.h"
#include "gamedata/AirplaneModel.h"
#include "platform/Log.h"
#include "platform/Random.h"
#include "render/Graphics.h"
#include "render/assets/Model.h"
#include "render/assets/ModelBuffers.h"
#include "render/assets/TextureCache.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace {
constexpr const char* kNodeNames[10] = {"body", "legs", "hands", "chute", "seat",
                                        "jet1", "jet2", "blow1", "blow2", "blow3"};
enum Node { kBody, kLegs, kHands, kChute, kSeat, kJet1, kJet2, kBlow1, kBlow2, kBlow3 };
// Where the seat sits in the airplane's model space.
const Vec3 kSeatOffset{0.0f, 0.6f, -0.5f};

std::array<std::uint8_t, Parachute::kIdCount> s_ids{};
const Model* s_model = nullptr;
bool s_modelTried = false;

Vec3 axisX(const Mat4& m) { return {m.m[0], m.m[1], m.m[2]}; }
Vec3 axisY(const Mat4& m) { return {m.m[4], m.m[5], m.m[6]}; }
Vec3 axisZ(const Mat4& m) { return {m.m[8], m.m[9], m.m[10]}; }

void moveBy(Mat4& m, const Vec3& d)
{
    m.m[12] += d.x;
    m.m[13] += d.y;
    m.m[14] += d.z;
}
}  // namespace

const Model* Parachute::sharedModel()
{
    if (!s_modelTried) {
        s_modelTried = true;
        s_model = loadModel("data/models/paratrooper_generic.glm", kModelKeepCpuData);
        if (!s_model)
            logWarning("effects", "parachute: the paratrooper model did not load; pilots eject unseen");
    }
    return s_model;
}

void Parachute::releaseShared()
{
    s_model = nullptr;
    s_modelTried = false;
}

int Parachute::idsInUse()
{
    return static_cast<int>(std::count(s_ids.begin(), s_ids.end(), std::uint8_t{1}));
}

Color4 Parachute::tintFlash(float f)
{
    auto scaled = [f](float v) {
        return static_cast<std::uint8_t>(std::clamp(std::lround(v * f), 0L, 255L));
    };
    return {scaled(218.0f), scaled(165.0f), scaled(32.0f), scaled(255.0f)};
}

Parachute::Parachute(IAirplaneFx& airplane) : owner(&airplane)
{
    const Mat4& am = airplane.fxMatrix();
    const Quat q = quatNormalize(quatFromMatrix(am));
    const float heading = std::atan2(2.0f * (q.z * q.x + q.w * q.y), 1.0f - 2.0f * (q.x * q.x + q.y * q.y));
    targetOrientation = quatFromAngleY(heading);
    const Model* model = sharedModel();
    isPlayer = airplane.fxIsPlayer();
    orientation = quatMulAxisX(q, kPi / 6.0f);
    position = airplane.fxPosition();
    matrix = mat4FromQuatPosition(orientation, position);
    for (int i = 0; i < 10; ++i)
        m_nodes[i] = model ? model->findNodeIndex(kNodeNames[i]) : -1;
    m_ownerMatrix = am;
    m_ownerSpeed = airplane.fxSpeed();
    m_ownerDirection = airplane.fxFlightDirection();
    velocity = m_ownerDirection * m_ownerSpeed + axisY(am) * 5.0f;
    if (const AirplaneModel* am2 = airplane.fxModel()) {
        m_canopyModel = &am2->model();
        m_canopyNode = am2->nodeIndex("canopy");
    }
    if (isPlayer)
        if (IPoolCamera* camera = poolCamera())
            camera->lookAtPoint(&position, (model ? model->radius() : 2.0f) * 4.0f, 0.6283185f, 10.0f, 0, 1.0f);
    const float d2 = vec3DistanceSq(position, effectScene().cameraPosition);
    scale = d2 <= 10000.0f ? 1.0f : std::clamp(std::sqrt(d2), 100.0f, 2000.0f) / 200.0f + 0.5f;
    mat4ScaleUniform(matrix, scale);
    seatMatrix = canopyMatrix = am;
    for (int i = 0; i < kIdCount; ++i)
        if (!s_ids[static_cast<std::size_t>(i)]) {
            s_ids[static_cast<std::size_t>(i)] = 1;
            id = i;
            break;
        }
}

Parachute::~Parachute()
{
    if (owner)
        owner->fxParachuteGone(this);
    // The 65th and later share no entry to give back.
    if (id >= 0 && id < kIdCount)
        s_ids[static_cast<std::size_t>(id)] = 0;
}

Mat4* Parachute::getTransform(Mat4* out)
{
    *out = matrix;
    return out;
}

void Parachute::ownerGone()
{
    if (!owner)
        return;
    m_ownerMatrix = owner->fxMatrix();
    m_ownerSpeed = owner->fxSpeed();
    m_ownerDirection = owner->fxFlightDirection();
    owner = nullptr;
}

void Parachute::followOwner()
{
    if (!owner)
        return;
    m_ownerMatrix = owner->fxMatrix();
    m_ownerSpeed = owner->fxSpeed();
    m_ownerDirection = owner->fxFlightDirection();
}

float Parachute::tumbleAngle() const
{
    if (time <= 0.7f)
        return 0.0f;
    if (time <= 0.8f)
        return (time - 0.7f) / 0.1f * kPi / 2.0f;
    if (time <= 2.7f)
        return kPi / 2.0f + 2.0f * kPi * (time - 0.8f) / 1.9f;
    if (time <= 3.45f)
        return 5.0f * kPi / 2.0f - ((time - 2.7f) / 0.75f) * kPi / 2.0f;
    return 2.0f * kPi;
}

void Parachute::freeFlight(float dt)
{
    if (time > 0.7f) {
        orientation = quatSlerp(orientation, targetOrientation, std::min(2.0f * dt, 1.0f));
        const float t = effectScene().time;
        orientation = quatMulAxisX(orientation, std::sin(t * kPi / 2.0f) * kPi / 6.0f * dt);
        orientation = quatMulAxisZ(orientation, std::cos(t * kPi) * kPi / 6.0f * dt);
        orientation = quatNormalize(orientation);
        position = position + velocity * dt;
        position.y -= time * 9.8f * dt;
        matrix = mat4FromQuatPosition(orientation, position);
        mat4ScaleUniform(matrix, scale);
    } else {
        matrix = m_ownerMatrix;
        mat4TranslateV(matrix, kSeatOffset);
        position = {matrix.m[12], matrix.m[13], matrix.m[14]};
        velocity = axisZ(m_ownerMatrix) * -m_ownerSpeed;
        velocity.y += 2.0f;
    }
    mat4RotateX(matrix, tumbleAngle());
}

void Parachute::moveCanopyAndSeat(float dt)
{
    if (time > 0.6f) {
        mat4RotateX(canopyMatrix, 10.995574f * dt);
        moveBy(canopyMatrix, canopyVelocity * dt);
        canopyVelocity = canopyVelocity * 0.995f;
    } else {
        canopyMatrix = m_ownerMatrix;
        // Blown off into the airstream: it falls back from the airplane at once.
        canopyVelocity = m_ownerDirection * -m_ownerSpeed - axisY(m_ownerMatrix) * randRange(10.0f, 20.0f);
        canopyVelocity.y -= randRange(5.0f, 15.0f);
    }
    if (time > 2.05f) {
        Vec3 step = seatVelocity * dt;
        step.y -= time * 9.8f * dt;
        moveBy(seatMatrix, step);
        seatVelocity = seatVelocity * 0.995f;
    } else {
        seatVelocity = velocity + axisX(m_ownerMatrix) * randRange(10.0f, 20.0f);
        seatVelocity.y -= randRange(5.0f, 15.0f);
        seatMatrix = matrix;
    }
}

void Parachute::scaleChute()
{
    if (time <= 2.3f) {
        chuteScaleXZ = chuteScaleY = 0.0f;
    } else if (time <= 2.7f) {
        const float k = (time - 2.3f) / 0.4f;
        chuteScaleXZ = 0.25f * k * k;
        chuteScaleY = 1.25f * k * k;
    } else if (time <= 3.45f) {
        const float k = std::sqrt((time - 2.7f) / 0.75f);
        chuteScaleXZ = k + 0.25f;
        chuteScaleY = 1.25f - 0.25f * k;
    } else if (time < 5.95f) {
        chuteScaleXZ = 1.25f - ((time - 3.45f) / 2.5f) * 0.25f;
        chuteScaleY = 1.0f;
    } else {
        chuteScaleXZ = chuteScaleY = 1.0f;
    }
}

void Parachute::update(float dt)
{
    if (done)
        return;
    if (time <= 0.7f && !owner) {
        done = true;
        return;
    }
    followOwner();
    if (time > 0.6f && time < 0.7f)
        seatReleased = 0;
    freeFlight(dt);
    moveCanopyAndSeat(dt);
    legAngle = time > 2.05f ? std::max(legAngle - 3.0f * dt, -1.3f) : 0.0f;
    handAngle = time > 2.7f ? std::min(handAngle + 7.0f * dt, 2.6f) : 0.0f;
    scaleChute();
    if (time > 0.7f && time <= 2.7f)
        velocity = velocity * 0.995f;
    else if (time > 2.7f)
        velocity = velocity * 0.95f;
    time += dt;
    done = time > kLifetime;
}

void Parachute::drawNode(int node, const Mat4& world) const
{
    if (node < 0)
        return;
    graphics()->setWorldMatrix(world);
    drawModelNode(*s_model, node);
}

void Parachute::drawFlames() const
{
    Graphics& g = *graphics();
    if (owner && m_canopyModel && m_canopyNode >= 0 && m_canopyModel->isUploaded()) {
        setLitModelState(AirplaneModel::canopyTexture());
        g.setWorldMatrix(canopyMatrix);
        drawModelNode(*m_canopyModel, m_canopyNode);
    }
    RenderState& st = g.state();
    st.blend = kBlendAdditive;
    st.polygonOffset = false;
    st.perVertexColor = false;
    if (time > 0.7f && time < 2.55f) {
        st.color = tintFlash(1.0f);
        drawNode(randModulo(4) == 0 ? m_nodes[kJet2] : m_nodes[kJet1], seatMatrix);
    }
    if (time > 0.5f && time < 0.6f) {
        const float f = (time - 0.5f) / 0.1f;
        const float twoPi = 2.0f * kPi;
        if (f < 0.5f) {
            st.color = tintFlash(std::sin(twoPi * f));
            drawNode(m_nodes[kBlow1], m_ownerMatrix);
        }
        if (f > 0.25f && f <= 0.75f) {
            st.color = tintFlash(std::sin(twoPi * (f - 0.25f)));
            drawNode(m_nodes[kBlow2], m_ownerMatrix);
        }
        if (f > 0.5f) {
            st.color = tintFlash(std::sin(twoPi * (f - 0.5f)));
            drawNode(m_nodes[kBlow3], m_ownerMatrix);
        }
    }
    st.color = Color4{255, 255, 255, 255};
    st.blend = kBlendPremultiplied;
}

void Parachute::render(int pass)
{
    Graphics* g = graphics();
    if (!g || !s_model || !s_model->isUploaded() || done)
        return;
    if (!owner && time <= 0.7f)
        return;
    const EffectScene& scene = effectScene();
    if (scene.hasFrustum && !sphereInFrustum(scene.camera, position, s_model->radius() * scale))
        return;
    g->pushState();
    g->state().playerDraw = isPlayer;
    ModelBuffers::bindShared();
    if (pass != 0) {
        setLitModelState(s_model->firstTexture());
        drawNode(m_nodes[kBody], matrix);
        Mat4 legs = matrix;
        mat4RotateX(legs, legAngle);
        drawNode(m_nodes[kLegs], legs);
        Mat4 hands = matrix;
        mat4RotateX(hands, handAngle);
        drawNode(m_nodes[kHands], hands);
        drawNode(m_nodes[kSeat], seatMatrix);
        if (chuteScaleY > 0.0f)
            drawNode(m_nodes[kChute], mat4ScaledCopy(matrix, chuteScaleXZ, chuteScaleY, chuteScaleXZ));
    } else {
        setLitModelState(s_model->firstTexture());
        drawFlames();
    }
    g->state().playerDraw = false;
    g->popState();
}
